// Block records: the unit's whole configuration, one sensor's, and the view.
#include <SXCmdIF/records/SXrecords.h>

#include "ReportCheck.h"

#include <cstring>

using namespace rectest;

namespace {

// The hemisphere's wide form puts a space after the colon of each enable bit.
std::wstring HemisphereWide(const std::string& narrow)
{
    std::wstring w = Widen(narrow);
    for (const wchar_t* bit : {L"bf.track_en :", L"bf.auto_en  :"}) {
        const std::wstring from(bit);
        for (size_t at = w.find(from); at != std::wstring::npos; at = w.find(from, at + 1))
            w.insert(at + from.size(), L" ");
    }
    return w;
}

size_t Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

const std::string kFilterMedium = "   level: FILTER_LVL_MEDIUM\r\n   F:     0.050000\r\n   Flow:  0.050000\r\n"
                                  "   Fhigh: 0.800000\r\n   MaxT:  0.950000\r\n";

const std::string kDefaultSensorWithHeader =
    "HEMISPHERE_CONFIG:\r\n   POS_X : 1.000000, 0.000000, 0.000000\r\n   bf.track_en :0 (DISABLED)\r\n"
    "   bf.auto_en  :0 (DISABLED)\r\n"
    "FILTER_TRGT_POS FILTER_CONFIG:\r\n" +
    kFilterMedium + "FILTER_TRGT_ORI FILTER_CONFIG:\r\n" + kFilterMedium +
    "TIP_OFFSET_CONFIG:\r\n   (x,y,z): (0.000000, 0.000000, 0.000000)\r\n"
    "INCREMENT_CONFIG:\r\n   enabled:  0 (FALSE)\r\n   fPosThresh: 0.000000 (AUTO)\r\n"
    "   fOriThresh: 0.000000 (AUTO)\r\n";

TEST(BlockCfg, DefaultContents)
{
    CBlockCfg b;
    EXPECT_EQ(b.cfg.frameRate, 0u);
    b.InitDefault();
    EXPECT_EQ(*b.PFrameRate(), 3u);
    EXPECT_EQ(b.PStationMap()->map, 0xFu);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(b.PFilterPos(i)->level, 2u);
        EXPECT_EQ(b.PFilterOri(i)->level, 2u);
        EXPECT_EQ(b.PSensorBlock(i)->pfExt.predTime, 0.02f);
    }
}

TEST(BlockCfg, IndicesOutsideTheBlockAreRefused)
{
    CBlockCfg b;
    b.InitDefault();
    const CBlockCfg before(b);
    EXPECT_EQ(b.PSensorBlock(16), nullptr);
    EXPECT_EQ(b.PSrcCfg(4), nullptr);
    EXPECT_EQ(b.PFilterPos(-1), nullptr);
    _FILTER_CONFIG f{4, 1, 1, 1, 1};
    b.SetFilterPos(16, &f);
    b.SetFilterPos(3, nullptr);
    _SRC_CONFIG src{};
    b.SetSrcCfg(-1, &src);
    EXPECT_EQ(std::memcmp(&b.cfg, &before.cfg, sizeof b.cfg), 0);
    b.SetFilterPos(15, &f);
    EXPECT_EQ(b.cfg.sensor[15].filterPos.level, 4u);
}

TEST(BlockCfg, EqualityIgnoresSensorsAndSourcePositions)
{
    CBlockCfg a, b;
    a.InitDefault();
    b.InitDefault();
    b.cfg.sensor[3].tipoff.x = 9.0f;
    EXPECT_TRUE(a == &b.cfg);
    b.PSrcCfg(1)->position[0] = 4.0f;
    EXPECT_TRUE(a == &b.cfg);
    b.PSrcCfg(1)->srcfreq = 2;
    EXPECT_FALSE(a == &b.cfg);
    b.InitDefault();
    const unsigned seu = 77;
    b.SetSeuID(&seu);
    EXPECT_FALSE(a == &b.cfg);
    b.InitDefault();
    _SERIAL_CONFIG s{{0x17u}};
    b.SetSerial(&s);
    EXPECT_FALSE(a == &b.cfg);
}

TEST(BlockCfg, SensorReportsFollowTheStationMap)
{
    CBlockCfg b;
    b.InitDefault();
    const std::string detected = Narrow([&](std::string& t) { b.ReportSensors(t, true, true, false); });
    EXPECT_EQ(Count(detected, "SENSOR_CONFIG["), 4u);
    EXPECT_TRUE(StartsWith(detected, "SENSOR_CONFIG[0]:\r\n" + kDefaultSensorWithHeader + "SENSOR_CONFIG[1]:\r\n"));
    EXPECT_NE(detected.find("SENSOR_CONFIG[3]:\r\n"), std::string::npos);
    EXPECT_EQ(detected.find("SENSOR_CONFIG[4]"), std::string::npos);

    const std::string all = Narrow([&](std::string& t) { b.ReportSensors(t, false, false, false); });
    EXPECT_EQ(Count(all, "POS_X : 1.000000"), 16u);
    EXPECT_EQ(Count(all, "SENSOR_CONFIG"), 0u);
    EXPECT_EQ(Wide([&](std::wstring& t) { b.ReportSensorsW(t, false, false, false); }), HemisphereWide(all));
}

TEST(BlockCfg, UnitReport)
{
    CBlockCfg b;
    b.InitDefault();
    std::string src;
    for (int i = 0; i < 4; ++i)
        src += "src " + std::to_string(i) +
               " srcfreq 0\r\nposition (0.000000, 0.000000, 0.000000) (Inch)\r\n"
               "rotation (0.000000, 0.000000, 0.000000) (Deg)\r\nstartup hem POS_X\r\n";
    const std::string expected = "240 Hz\r\npos_units: POS_INCH\r\nori_units: ORI_EULER_DEGREE\r\n" + src +
                                 "sensor_map: 0x0f\r\nsource_map: 0x0\r\nVAL: 0 : STYLUS_MODE_MARK\r\n"
                                 "BINARY_CONFIG 0 (DISABLED)\r\nSEU ID: 0\r\nBINARY_CONFIG 0 (DISABLED)\r\n"
                                 "sercfg:   0x0007\r\nbaudrate: E_BR_115200\r\nparity:   E_PARITY_NONE\r\n"
                                 "res:      0x0000\r\n";
    EXPECT_EQ(Narrow([&](std::string& t) { b.ReportSEU(t, false, false); }), expected);

    // Sources are printed in the default units, whatever the block's units.
    b.PUnits()->ori_units = ORI_QUATERNION;
    const std::string withHeader = Narrow([&](std::string& t) { b.ReportSEU(t, true, false); });
    EXPECT_TRUE(StartsWith(withHeader, "BLOCK_CONFIG: \r\nFRAMERATE_CONFIG:\r\n   240 Hz\r\nUNITS_CONFIG:\r\n"));
    EXPECT_NE(withHeader.find("src 2 SRC_CONFIG:\r\n   srcfreq 0\r\n"), std::string::npos);
    EXPECT_NE(withHeader.find("(Deg)"), std::string::npos);
    EXPECT_NE(withHeader.find("   ori_units: ORI_QUATERNION\r\n"), std::string::npos);

    const std::wstring wide = Wide([&](std::wstring& t) { b.ReportSEUW(t, false, false); });
    EXPECT_NE(wide.find(L"src 0 srcfreq, pos(x,y,z) POS_INCH ori(x,y,z) ORI_EULER_DEGREE: 0, "
                        L"(0.000000, 0.000000, 0.000000), (0.000000, 0.000000, 0.000000), POS_X\r\n"),
              std::wstring::npos);

    // The whole report is the unit part followed by all sixteen sensors.
    EXPECT_EQ(Narrow([&](std::string& t) { b.Report(t, false, true); }), Narrow([&](std::string& t) {
                  b.ReportSEU(t, false, true);
                  b.ReportSensors(t, false, false, true);
              }));
}

TEST(SensBlockCfg, EqualityAndPredictionFilter)
{
    CSensBlockCfg a, b;
    a.InitDefault();
    b.InitDefault();
    b.cfg.srcSelect.SRC_SEL_MAP = 6;
    b.cfg.pfExt.predTime = 0.5f;
    EXPECT_TRUE(a == &b.cfg);
    b.cfg.tipoff.z = 0.5f;
    EXPECT_FALSE(a == &b.cfg);
    b.cfg.tipoff.z = 0.0f;
    EXPECT_TRUE(a == &b.cfg);
    b.cfg.filterOri.level = 1;
    EXPECT_FALSE(a == &b.cfg);

    a.cfg.pfExt.noise.Rr[1][1] = 3.0f;
    _PF_CONFIG pf{1, 1, 0.04f};
    a.SetPredFilt(&pf);
    EXPECT_EQ(a.cfg.pfExt.qFil_on, 1u);
    EXPECT_EQ(a.cfg.pfExt.predTime, 0.04f);
    EXPECT_EQ(a.cfg.pfExt.noise.Rr[1][1], 3.0f);
    _PF_CONFIG_EXT ext{};
    a.SetPredFiltExt(&ext);
    EXPECT_EQ(a.cfg.pfExt.noise.Rr[1][1], 0.0f);
}

TEST(SensBlockCfg, ReportLeavesOutTheHemisphere)
{
    CSensBlockCfg s;
    s.InitDefault();
    const std::string text = Narrow([&](std::string& t) { s.Report(t, true, false); });
    EXPECT_TRUE(StartsWith(text, "SENSOR_CONFIG: \r\nFILTER_TRGT_POS FILTER_CONFIG:\r\n"));
    EXPECT_EQ(text.find("HEMISPHERE"), std::string::npos);
    EXPECT_NE(text.find("SRC_SEL_CONFIG:\r\n   SRC_SEL_MAP: 0x0001\r\n"
                        "SNS_ORIG_CONFIG:\r\n   VAL: 0 : SNS_ORIG_SRC1\r\nPF_CONFIG:\r\n"),
              std::string::npos);
    EXPECT_EQ(Wide([&](std::wstring& t) { s.ReportW(t, true, false); }), Widen(text));
}

TEST(BlockCfgSens, BoundViewActsOnTheReferencedRecord)
{
    CBlockCfg block;
    block.InitDefault();
    CBlockCfgSens v0(block.PSensorBlock(0));
    CBlockCfgSens v5(block.PSensorBlock(5));
    block.cfg.sensor[0].tipoff.x = 2.5f;
    v5 = v0;
    EXPECT_EQ(block.cfg.sensor[5].tipoff.x, 2.5f);
    EXPECT_EQ(v5.pSensor, block.PSensorBlock(5));
    EXPECT_EQ(v0.pSensor, block.PSensorBlock(0));
    EXPECT_TRUE(v0 == block.PSensorBlock(5));

    v5.Init();
    EXPECT_EQ(block.cfg.sensor[5].filterPos.level, 0u);
    v5.InitDefault();
    EXPECT_EQ(block.cfg.sensor[5].filterPos.level, 2u);
    EXPECT_EQ(block.cfg.sensor[5].pfExt.predTime, 0.0f);
    _TIP_OFFSET_CONFIG tip{1, 2, 3};
    v5.SetTipoff(&tip);
    EXPECT_EQ(v5.Tipoff()->z, 3.0f);

    const std::string text = Narrow([&](std::string& t) { v0.Report(t, true, false); });
    EXPECT_TRUE(StartsWith(text, "SENSOR_CONFIG: \r\nHEMISPHERE_CONFIG:\r\n"));
    EXPECT_NE(text.find("HEMISPHERE_CONFIG:"), std::string::npos);
    EXPECT_EQ(Wide([&](std::wstring& t) { v0.ReportW(t, true, false); }), HemisphereWide(text));
}

TEST(BlockCfgSens, UnboundViewDoesNothing)
{
    CBlockCfgSens none;
    EXPECT_EQ(none.Hemisphere(), nullptr);
    EXPECT_EQ(none.TOP(), nullptr);
    _SENSOR_CONFIG s = CSensBlockCfg::Default;
    EXPECT_FALSE(none == &s);
    none.SetFilterPos(&s.filterPos);
    none.Fill(&s);
    none.Init();
    none = s;
    CBlockCfgSens bound(&s);
    s.tipoff.y = 4.0f;
    bound = none;
    EXPECT_EQ(s.tipoff.y, 4.0f);
    none = bound;
    EXPECT_EQ(none.pSensor, nullptr);
    ExpectReports(
        "SENSOR_CONFIG: \r\nNULL PTR", [&](std::string& t) { none.Report(t, true, false); },
        [&](std::wstring& t) { none.ReportW(t, true, false); });
    ExpectReports(
        "SENSOR_CONFIG: , NULL PTR", [&](std::string& t) { none.Report(t, true, true); },
        [&](std::wstring& t) { none.ReportW(t, true, true); });
}

} // namespace
