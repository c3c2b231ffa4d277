// Identity and built-in-test records.
#include <SXCmdIF/protocol/SXcmd.h>
#include <SXCmdIF/records/SXidentity.h>

#include "ReportText.h"

#include <cstring>

using namespace sxrec;

namespace {

void CopyField(char* field, size_t width, const char* from)
{
    if (!from)
        return;
    size_t n = 0;
    while (n < width && from[n])
        ++n;
    std::memcpy(field, from, n);
    std::memset(field + n, 0, width - n);
}

constexpr int kBitWords = 7;
constexpr int kLastListedBit = 16;

// The set bits of word among bits 0 to 16 as runs: "1", "1,2", "1-3",
// joined by commas; a run still open at bit 16 shows as "...".
template <typename Ch>
struct ListTexts {
    const Ch* empty;
    const Ch* comma;
    const Ch* one;   // prefix, bit
    const Ch* two;   // prefix, bit, bit
    const Ch* range; // prefix, first, last
    const Ch* open;
};

constexpr ListTexts<char> kList{"", ",", "%s%d", "%s%d,%d", "%s%d-%d", "..."};

// add(format, prefix, a, b): formats that use fewer values ignore the rest.
template <typename Ch, typename AddFn>
void BitList(uint32_t word, int base, const ListTexts<Ch>& t, AddFn add)
{
    int start = -1;
    const Ch* prefix = t.empty;
    for (int b = 0; b <= kLastListedBit; ++b) {
        if ((word >> b) & 1u) {
            if (start < 0)
                start = b;
            continue;
        }
        if (start < 0)
            continue;
        const int last = b - 1;
        if (last == start)
            add(t.one, prefix, start + base, 0);
        else if (last == start + 1)
            add(t.two, prefix, start + base, last + base);
        else
            add(t.range, prefix, start + base, last + base);
        prefix = t.comma;
        start = -1;
    }
    if (start >= 0)
        add(t.open, prefix, 0, 0);
}

} // namespace

// ---- CWhoAmI

void CWhoAmI::Fill(const char* deviceName, const char* serialNo, const char* ioproc, const char* bootFw,
                   const char* appFw)
{
    CopyField(cfg.device_name, sizeof cfg.device_name, deviceName);
    CopyField(cfg.hw_ser_no, sizeof cfg.hw_ser_no, serialNo);
    CopyField(cfg.ioproc, sizeof cfg.ioproc, ioproc);
    CopyField(cfg.dsp_bt_fw, sizeof cfg.dsp_bt_fw, bootFw);
    CopyField(cfg.dsp_app_fw, sizeof cfg.dsp_app_fw, appFw);
}

void CWhoAmI::MakePrintable()
{
    cfg.device_name[sizeof cfg.device_name - 1] = '\0';
    cfg.hw_ser_no[sizeof cfg.hw_ser_no - 1] = '\0';
    cfg.ioproc[sizeof cfg.ioproc - 1] = '\0';
    cfg.dsp_bt_fw[sizeof cfg.dsp_bt_fw - 1] = '\0';
    cfg.dsp_app_fw[sizeof cfg.dsp_app_fw - 1] = '\0';
}

void CWhoAmI::Report(std::string& text, bool header, bool oneLine)
{
    MakePrintable();
    const Look k("WHOAMI_STRUCT:", header, oneLine);
    Append(text, kWhoAmIBuf,
           "%s%sdevice_name: %s%s%shw_ser_no:   %s%s%sioproc:      %s%s%sdsp_bt_fw:   %s%s%sdsp_app_fw:  %s\r\n",
           k.lead, k.indent, cfg.device_name, k.sep, k.indent, cfg.hw_ser_no, k.sep, k.indent, cfg.ioproc, k.sep,
           k.indent, cfg.dsp_bt_fw, k.sep, k.indent, cfg.dsp_app_fw);
}

void CWhoAmI::ReportW(std::wstring& text, bool header, bool oneLine)
{
    AppendWidened(text, [&](std::string& narrow) { CWhoAmI::Report(narrow, header, oneLine); });
}

void CWhoAmI::ReportSnum(std::string& text, bool label, bool lineEnd)
{
    MakePrintable();
    Append(text, kWhoAmIBuf, "%s%s %s", label ? "hw_ser_no: " : "", cfg.hw_ser_no, lineEnd ? "\r\n" : "");
}

void CWhoAmI::ReportSnumW(std::wstring& text, bool label, bool lineEnd)
{
    AppendWidened(text, [&](std::string& narrow) { CWhoAmI::ReportSnum(narrow, label, lineEnd); });
}

// ---- CBitResult

namespace {
void ReportBits(const _BIT_STRUCT& cfg, unsigned errcount, std::string& text, bool header, bool oneLine,
                OneLineIndent indent)
{
    const Look k("BIT_STRUCT:", header, oneLine, " ", indent);
    if (errcount == 0) {
        Append(text, kReportBuf, "%s%s%s\r\n", k.lead, k.indent, CSXcmd::bitcodestr(0));
        return;
    }
    Append(text, kReportBuf, "%s", k.lead);
    for (int i = 0; i < kBitWords; ++i)
        if (cfg.err[i])
            Append(text, kReportBuf, "%s%-20s :  0x%x%s", k.indent, CSXcmd::bitcodestr(i + 1), cfg.err[i], k.sep);
}
} // namespace

void CBitResult::SetMap()
{
    errmap = 0;
    errcount = 0;
    for (int i = 0; i < kBitWords; ++i) {
        if (cfg.err[i]) {
            errmap |= 1u << (i + 1);
            ++errcount;
        }
    }
}

// The wide twin has no one-space indent of a single line after its header.
void CBitResult::Report(std::string& text, bool header, bool oneLine) const
{
    ReportBits(cfg, errcount, text, header, oneLine, OneLineIndent::OneSpace);
}

void CBitResult::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(
        text, [&](std::string& narrow) { ReportBits(cfg, errcount, narrow, header, oneLine, OneLineIndent::None); });
}

void CBitResult::ReportDetail0(std::string& text, bool header, bool oneLine) const
{
    const Look k("", header, oneLine, " ", OneLineIndent::OneSpace);
    Append(text, kReportBuf, "%s%s%serrmap: 0x08%x\r\n", header ? "BIT_STRUCT: " : "", header ? k.sep : "", k.indent,
           errmap);
}

void CBitResult::ReportDetail0W(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) { CBitResult::ReportDetail0(narrow, header, oneLine); });
}

void CBitResult::ReportDetail(std::string& text, bool zeroBased, bool header, bool oneLine)
{
    MakePrintable();
    const char* sep = Sep(oneLine);
    const char* indent = "";
    if (errcount == 0) {
        Append(text, kReportBuf, "%s%s%s%s%s\r\n", header ? "Built-In Test Results: " : "", header ? sep : "",
               header ? sep : "", indent, CSXcmd::bitcodevalstr(0));
        return;
    }
    if (header)
        Append(text, kReportBuf, "%s%s%s%s%s", "Built-In Test Results: Errors Detected", sep, sep, "", "");
    else
        Append(text, kReportBuf, "%s%s%s%s%s", "", "", "", "Errors Detected:", sep);
    const int base = zeroBased ? 0 : 1;
    for (int i = 0; i < kBitWords; ++i) {
        if (!cfg.err[i])
            continue;
        std::string list;
        BitList(cfg.err[i], base, kList, [&list](const char* fmt, const char* prefix, int a, int b) {
            Append(list, kReportBuf, fmt, prefix, a, b);
        });
        Append(text, kReportBuf, "%s%-15s 0x%04x : %s%s", indent, CSXcmd::bitcodevalstr(i + 1), cfg.err[i],
               list.c_str(), sep);
    }
}

void CBitResult::ReportDetailW(std::wstring& text, bool zeroBased, bool header, bool oneLine)
{
    AppendWidened(text, [&](std::string& narrow) { CBitResult::ReportDetail(narrow, zeroBased, header, oneLine); });
}
