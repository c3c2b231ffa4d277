// Every wide report is the narrow one widened, in all four header and
// line modes; the few classes whose wide form differs differ only where
// their texts say.
#include <SXCmdIF/records/SXrecords.h>

#include "ReportCheck.h"

using namespace rectest;

namespace {

using Report = std::function<void(std::string&, bool, bool)>;
using ReportW = std::function<void(std::wstring&, bool, bool)>;

struct Twin {
    const char* name;
    Report narrow;
    ReportW wide;
    // Narrow reports that indent by one space when both flags are set; in a
    // report made of several, the one-line header form is not compared.
    enum { Same, OneSpace, Composite } indent;
};

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The narrow text as the wide report writes it: the hemisphere's enable bits
// with a space after the colon, and, with header and single-line output, no
// one-space indent after the labels and separators of the classes that have it.
std::string AsWide(std::string n, bool unindent)
{
    n = ReplaceAll(n, "bf.track_en :", "bf.track_en : ");
    n = ReplaceAll(n, "bf.auto_en  :", "bf.auto_en  : ");
    if (unindent) {
        n = ReplaceAll(n, ",  ", ", ");
        for (const char* label : {"SRCROT_CONFIG: ", "FILTER_CONFIG:FILTER_TRGT_ORI ", "BIT_STRUCT: "})
            n = ReplaceAll(n, std::string(label) + " ", label);
    }
    return n;
}

void ExpectTwins(const Twin& twin)
{
    for (int mode = 0; mode < 4; ++mode) {
        const bool header = (mode & 1) != 0, oneLine = (mode & 2) != 0;
        std::string n;
        twin.narrow(n, header, oneLine);
        std::wstring w;
        twin.wide(w, header, oneLine);
        SCOPED_TRACE(std::string(twin.name) + (header ? " header" : "") + (oneLine ? " oneLine" : ""));
        EXPECT_FALSE(n.empty());
        if (header && oneLine && twin.indent == Twin::Composite)
            continue;
        EXPECT_EQ(w, Widen(AsWide(n, header && oneLine && twin.indent == Twin::OneSpace)));
        if (header && oneLine && twin.indent == Twin::OneSpace) {
            EXPECT_NE(n, AsWide(n, true)) << "the narrow form indents";
        }
        if (oneLine) {
            EXPECT_EQ(n.find("\r\n   "), std::string::npos) << "no indented lines in single-line output";
        }
    }
}

TEST(WideTwins, EveryReportWidensItsNarrowForm)
{
    CBinaryCfg bin(true);
    CSyncModeCfg sync;
    CDualOutputCfg dual;
    CEnumCfg en(3u);
    CFTTCfg ftt(FTT_MODE_1);
    CSnsOrigCfg orig(SNS_ORIG_COMMON);
    CStylusCfg stylus(STYLUS_MODE_TOGGLE);
    CSerialCfg serial(E_BR_921600, E_PARITY_ODD);
    CSeuIDCfg seu(7u);
    CFrameRateCfg fr;
    CUnitsCfg units(POS_CM, ORI_EULER_RADIAN);
    CStationMap map(0x0100000Bu);
    CSrcRotCfg rot;
    rot.Fill(0.5f, 1, 2, 3, 9);
    CFilterCfg filter(FILTER_LVL_HEAVY);
    CHemisphereCfg hem;
    CIncrementCfg inc;
    CBoresightCfg bore(1);
    CTipoffCfg tip;
    CPredFiltCfgExt pfe;
    CPredFiltCfg pf;
    CSnsVirtCfg virt;
    CSrcSelectCfg sel;
    CPnoDataCfg pno;
    CBlockCfg block;
    block.InitDefault();
    CSensBlockCfg sens;
    sens.InitDefault();
    CBlockCfgSens view(block.PSensorBlock(2));
    CWhoAmI who;
    who.Fill("unit", "s1", "i", "b", "a");
    _BIT_STRUCT bits{{0, 3, 0, 0, 1, 0, 0}};
    CBitResult bit(&bits);
    CSelfCalCfg cal(true);

    const Twin twins[] = {
        {"binary", [&](std::string& t, bool h, bool o) { bin.Report(t, h, o); },
         [&](std::wstring& t, bool h, bool o) { bin.ReportW(t, h, o); }, Twin::Same},
        {"sync", [&](std::string& t, bool h, bool o) { sync.Report(t, h, o); },
         [&](std::wstring& t, bool h, bool o) { sync.ReportW(t, h, o); }, Twin::Same},
        {"dual", [&](std::string& t, bool h, bool o) { dual.Report(t, h, o); },
         [&](std::wstring& t, bool h, bool o) { dual.ReportW(t, h, o); }, Twin::Same},
        {"enum", [&](std::string& t, bool h, bool o) { en.Report(t, h, o); },
         [&](std::wstring& t, bool h, bool o) { en.ReportW(t, h, o); }, Twin::Same},
        {"ftt", [&](std::string& t, bool h, bool o) { ftt.Report(t, h, o); },
         [&](std::wstring& t, bool h, bool o) { ftt.ReportW(t, h, o); }, Twin::Same},
        {"origin", [&](std::string& t, bool h, bool o) { orig.Report(t, h, o); },
         [&](std::wstring& t, bool h, bool o) { orig.ReportW(t, h, o); }, Twin::Same},
        {"stylus", [&](std::string& t, bool h, bool o) { stylus.Report(t, h, o); },
         [&](std::wstring& t, bool h, bool o) { stylus.ReportW(t, h, o); }, Twin::Same},
        {"serial", [&](std::string& t, bool h, bool o) { serial.Report(t, h, o); },
         [&](std::wstring& t, bool h, bool o) { serial.ReportW(t, h, o); }, Twin::Same},
        {"seuid", [&](std::string& t, bool h, bool o) { seu.Report(t, h, o); },
         [&](std::wstring& t, bool h, bool o) { seu.ReportW(t, h, o); }, Twin::Same},
        {"framerate", [&](std::string& t, bool h, bool o) { fr.Report(t, h, o, true); },
         [&](std::wstring& t, bool h, bool o) { fr.ReportW(t, h, o, true); }, Twin::Same},
        {"units", [&](std::string& t, bool h, bool o) { units.Report(t, h, o, true); },
         [&](std::wstring& t, bool h, bool o) { units.ReportW(t, h, o); }, Twin::Same},
        {"station", [&](std::string& t, bool h, bool o) { map.Report(t, h, o); },
         [&](std::wstring& t, bool h, bool o) { map.ReportW(t, h, o); }, Twin::Same},
        {"station counts", [&](std::string& t, bool h, bool o) { map.ReportCounts(t, h, o); },
         [&](std::wstring& t, bool h, bool o) { map.ReportCountsW(t, h, o); }, Twin::Same},
        {"station enabled", [&](std::string& t, bool h, bool o) { map.ReportEn(t, h, o); },
         [&](std::wstring& t, bool h, bool o) { map.ReportEnW(t, h, o); }, Twin::Same},
        {"srcrot", [&](std::string& t, bool h, bool o) { rot.Report(t, h, o); },
         [&](std::wstring& t, bool h, bool o) { rot.ReportW(t, h, o); }, Twin::OneSpace},
        {"filter", [&](std::string& t, bool h, bool o) { filter.Report(t, h, o, FILTER_TRGT_ORI); },
         [&](std::wstring& t, bool h, bool o) { filter.ReportW(t, h, o, FILTER_TRGT_ORI); }, Twin::OneSpace},
        {"increment", [&](std::string& t, bool h, bool o) { inc.Report(t, h, o); },
         [&](std::wstring& t, bool h, bool o) { inc.ReportW(t, h, o); }, Twin::Same},
        {"boresight", [&](std::string& t, bool h, bool o) { bore.Report(t, 3, h, o); },
         [&](std::wstring& t, bool h, bool o) { bore.ReportW(t, 3, h, o); }, Twin::Same},
        {"tipoff", [&](std::string& t, bool h, bool o) { tip.Report(t, h, o); },
         [&](std::wstring& t, bool h, bool o) { tip.ReportW(t, h, o); }, Twin::Same},
        {"predfilt ext", [&](std::string& t, bool h, bool o) { pfe.Report(t, h, o); },
         [&](std::wstring& t, bool h, bool o) { pfe.ReportW(t, h, o); }, Twin::Same},
        {"predfilt", [&](std::string& t, bool h, bool o) { pf.Report(t, h, o); },
         [&](std::wstring& t, bool h, bool o) { pf.ReportW(t, h, o); }, Twin::Same},
        {"virtual", [&](std::string& t, bool h, bool o) { virt.Report(t, h, o); },
         [&](std::wstring& t, bool h, bool o) { virt.ReportW(t, h, o); }, Twin::Same},
        {"srcselect", [&](std::string& t, bool h, bool o) { sel.Report(t, h, o); },
         [&](std::wstring& t, bool h, bool o) { sel.ReportW(t, h, o); }, Twin::Same},
        {"pno", [&](std::string& t, bool h, bool o) { pno.Report(t, h, o); },
         [&](std::wstring& t, bool h, bool o) { pno.ReportW(t, h, o); }, Twin::Same},
        {"whoami", [&](std::string& t, bool h, bool o) { who.Report(t, h, o); },
         [&](std::wstring& t, bool h, bool o) { who.ReportW(t, h, o); }, Twin::Same},
        {"bit", [&](std::string& t, bool h, bool o) { bit.Report(t, h, o); },
         [&](std::wstring& t, bool h, bool o) { bit.ReportW(t, h, o); }, Twin::OneSpace},
        {"bit detail", [&](std::string& t, bool h, bool o) { bit.ReportDetail(t, true, h, o); },
         [&](std::wstring& t, bool h, bool o) { bit.ReportDetailW(t, true, h, o); }, Twin::Same},
        {"selfcal", [&](std::string& t, bool h, bool o) { cal.Report(t, h, o); },
         [&](std::wstring& t, bool h, bool o) { cal.ReportW(t, h, o); }, Twin::Same},
        {"block sensors", [&](std::string& t, bool h, bool o) { block.ReportSensors(t, true, h, o); },
         [&](std::wstring& t, bool h, bool o) { block.ReportSensorsW(t, true, h, o); }, Twin::Composite},
        {"hemisphere", [&](std::string& t, bool h, bool o) { hem.Report(t, h, o); },
         [&](std::wstring& t, bool h, bool o) { hem.ReportW(t, h, o); }, Twin::Same},
        {"sensor block", [&](std::string& t, bool h, bool o) { sens.Report(t, h, o); },
         [&](std::wstring& t, bool h, bool o) { sens.ReportW(t, h, o); }, Twin::Composite},
        {"sensor view", [&](std::string& t, bool h, bool o) { view.Report(t, h, o); },
         [&](std::wstring& t, bool h, bool o) { view.ReportW(t, h, o); }, Twin::Composite},
    };
    for (const Twin& twin : twins)
        ExpectTwins(twin);
}

} // namespace
