// Unit-level record classes: binary and enumerated settings, serial line,
// unit identifier, frame rate, units, station map and sources.
#include <SXCmdIF/records/SXrecords.h>

#include "ReportCheck.h"

#include <cstdio>
#include <cstring>
#include <vector>

using namespace rectest;

namespace {

TEST(BinaryCfg, AnyNonZeroValueIsOn)
{
    CBinaryCfg b;
    b.Fill(5);
    EXPECT_TRUE(b.Enabled());
    EXPECT_TRUE(static_cast<bool>(b));
    ExpectReports(
        "5\r\n", [&](std::string& t) { b.Report(t, false, false); },
        [&](std::wstring& t) { b.ReportW(t, false, false); });
    ExpectReports(
        "BINARY_CONFIG:\r\n   5\r\n", [&](std::string& t) { b.Report(t, true, false); },
        [&](std::wstring& t) { b.ReportW(t, true, false); });
    ExpectReports(
        "BINARY_CONFIG: 5\r\n", [&](std::string& t) { b.Report(t, true, true); },
        [&](std::wstring& t) { b.ReportW(t, true, true); });
    ExpectReports(
        "TRUE", [&](std::string& t) { b.Brief(t, true); }, [&](std::wstring& t) { b.BriefW(t, true); });
    b = 0;
    ExpectReports(
        "DISABLED", [&](std::string& t) { b.Brief(t, false); }, [&](std::wstring& t) { b.BriefW(t, false); });
}

TEST(BinaryCfg, SyncModeAndDualOutputReports)
{
    CSyncModeCfg sync;
    sync = 1;
    ExpectReports(
        "SYNC MODE:       BINARY_CONFIG 1 (ENABLED)\r\n", [&](std::string& t) { sync.Report(t, true, true); },
        [&](std::wstring& t) { sync.ReportW(t, true, true); });
    ExpectReports(
        "SYNC MODE:\r\n   BINARY_CONFIG 1 (ENABLED)\r\n", [&](std::string& t) { sync.Report(t, true, false); },
        [&](std::wstring& t) { sync.ReportW(t, true, false); });
    ExpectReports(
        "ENABLED", [&](std::string& t) { sync.Brief(t); }, [&](std::wstring& t) { sync.BriefW(t); });

    CDualOutputCfg dual;
    dual.InitDefault();
    ExpectReports(
        "DUAL OUTPUT: BINARY_CONFIG 0 (DISABLED)\r\n", [&](std::string& t) { dual.Report(t, true, true); },
        [&](std::wstring& t) { dual.ReportW(t, true, true); });
    ExpectReports(
        "BINARY_CONFIG 0 (DISABLED)\r\n", [&](std::string& t) { dual.Report(t, false, true); },
        [&](std::wstring& t) { dual.ReportW(t, false, true); });

    // The virtual operations of the family dispatch to the derived class.
    CBinaryCfg* base = &sync;
    base->InitDefault();
    EXPECT_FALSE(base->Enabled());
}

TEST(EnumCfg, ReportsNameTheValue)
{
    CEnumCfg e(2u);
    ExpectReports(
        "ENUM_CONFIG: VAL: 2 : 2\r\n", [&](std::string& t) { e.Report(t, true, true); },
        [&](std::wstring& t) { e.ReportW(t, true, true); });

    CFTTCfg ftt(FTT_MODE_2);
    EXPECT_TRUE(ftt.Enabled());
    ExpectReports(
        "FTT_CONFIG:\r\n   VAL: 2 : FTT_MODE_2\r\n", [&](std::string& t) { ftt.Report(t, true, false); },
        [&](std::wstring& t) { ftt.ReportW(t, true, false); });

    const unsigned seven = 7;
    CSnsOrigCfg orig(&seven);
    ExpectReports(
        "VAL: 7 : undefined_sensor_origin\r\n", [&](std::string& t) { orig.Report(t, false, false); },
        [&](std::wstring& t) { orig.ReportW(t, false, false); });

    CStylusCfg stylus(STYLUS_MODE_POINT);
    EXPECT_TRUE(stylus.IsPT());
    EXPECT_FALSE(stylus.IsMrk());
    ExpectReports(
        "STYLUS_CONFIG: VAL: 1 : STYLUS_MODE_POINT\r\n", [&](std::string& t) { stylus.Report(t, true, true); },
        [&](std::wstring& t) { stylus.ReportW(t, true, true); });
    ExpectReports(
        "STYLUS_MODE_POINT", [&](std::string& t) { stylus.Brief(t); }, [&](std::wstring& t) { stylus.BriefW(t); });
    stylus.InitDefault();
    EXPECT_TRUE(stylus.IsMrk());
}

TEST(SerialCfg, FieldsAndReport)
{
    CSerialCfg s;
    s.Fill(7, 1, 3);
    EXPECT_EQ(static_cast<unsigned>(s), 0xD7u);
    EXPECT_EQ(s.BPS(), 115200);
    ExpectReports(
        "SERIAL_CONFIG:\r\n   sercfg:   0x00d7\r\n   baudrate: E_BR_115200\r\n   parity:   E_PARITY_ODD\r\n"
        "   res:      0x0003\r\n",
        [&](std::string& t) { s.Report(t, true, false); }, [&](std::wstring& t) { s.ReportW(t, true, false); });
    ExpectReports(
        "SERIAL_CONFIG: sercfg:   0x00d7, baudrate: E_BR_115200, parity:   E_PARITY_ODD, res:      0x0003\r\n",
        [&](std::string& t) { s.Report(t, true, true); }, [&](std::wstring& t) { s.ReportW(t, true, true); });
    ExpectReports(
        "baud 115200, parity odd", [&](std::string& t) { s.Brief(t); }, [&](std::wstring& t) { s.BriefW(t); });

    s.FillBPS(9600, 2);
    EXPECT_EQ(static_cast<unsigned>(s), 0x23u);
    EXPECT_TRUE(CSerialCfg(E_BR_9600, E_PARITY_EVEN) == 0x23u);
    s.FillBPS(1000, 0);
    EXPECT_EQ(s.Baud(), 14u);
    EXPECT_EQ(s.BPS(), 0);
    // Fields are masked to their widths.
    s.Fill(0x1F, 7, 0xFFFFFFFF);
    EXPECT_EQ(static_cast<unsigned>(s), 0xFFFFFFFFu);
}

TEST(SeuIDCfg, ReportUsesTheWideGap)
{
    CSeuIDCfg id(42u);
    ExpectReports(
        "SEUID_CONFIG:     SEU ID: 42\r\n", [&](std::string& t) { id.Report(t, true, true); },
        [&](std::wstring& t) { id.ReportW(t, true, true); });
    ExpectReports(
        "42", [&](std::string& t) { id.Brief(t); }, [&](std::wstring& t) { id.BriefW(t); });
    EXPECT_EQ(static_cast<int>(id), 42);
}

TEST(FrameRateCfg, RatesAndReports)
{
    CFrameRateCfg fr;
    EXPECT_EQ(fr.frame_rate, 3u);
    EXPECT_EQ(fr.FrequencyMS(), 4u);
    EXPECT_EQ(fr.MaxRate(), 240u);
    ExpectReports(
        "FRAMERATE_CONFIG: effective frame rate: 240 Hz, frame_rate: FR_240\r\n",
        [&](std::string& t) { fr.Report(t, true, true, true); },
        [&](std::wstring& t) { fr.ReportW(t, true, true, true); });
    ExpectReports(
        "FRAMERATE_CONFIG:\r\n   240 Hz\r\n", [&](std::string& t) { fr.Report(t, true, false, false); },
        [&](std::wstring& t) { fr.ReportW(t, true, false, false); });
    ExpectReports(
        "240 Hz", [&](std::string& t) { fr.ShortReport(t); }, [&](std::wstring& t) { fr.ShortReportW(t); });
    ExpectReports(
        "240", [&](std::string& t) { fr.ShortReport(t, false, true); },
        [&](std::wstring& t) { fr.ShortReportW(t, false, true); });

    const unsigned expected[] = {30, 60, 120, 240, 480, 960};
    for (unsigned code = 0; code < 6; ++code) {
        fr.Fill(code);
        EXPECT_EQ(fr.EffectiveRate(), expected[code]);
    }
    fr.Fill(7);
    EXPECT_EQ(fr.frame_rate, 5u);
    fr.Fill(0xFFFFFFFFu);
    EXPECT_EQ(fr.frame_rate, 0u);
    EXPECT_EQ(fr.FrequencyMS(), 33u);
    // A received code far out of range saturates instead of overflowing.
    const unsigned wild = 100;
    EXPECT_EQ(CFrameRateCfg(&wild).EffectiveRate(), 0xFFFFFFFFu);
}

TEST(UnitsCfg, ReportsAndShortTexts)
{
    CUnitsCfg u;
    EXPECT_TRUE(u.IsEuler());
    ExpectReports(
        "UNITS_CONFIG:     pos_units: POS_INCH, ori_units: ORI_EULER_DEGREE\r\n",
        [&](std::string& t) { u.Report(t, true, true, true); }, [&](std::wstring& t) { u.ReportW(t, true, true); });
    ExpectReports(
        "pos_units: POS_INCH\r\nori_units: ORI_EULER_DEGREE\r\n",
        [&](std::string& t) { u.Report(t, false, false, true); }, [&](std::wstring& t) { u.ReportW(t, false, false); });
    EXPECT_EQ(Narrow([&](std::string& t) { u.Report(t, false, false, false); }), "POS_INCH, ORI_EULER_DEGREE\r\n");
    ExpectReports(
        "Inch, Euler Deg", [&](std::string& t) { u.ShortReport(t, true, false); },
        [&](std::wstring& t) { u.ShortReportW(t, true, false); });
    ExpectReports(
        "IN,  DEG", [&](std::string& t) { u.ShortReport(t, false, true); },
        [&](std::wstring& t) { u.ShortReportW(t, false, true); });

    CUnitsCfg q(POS_CM, ORI_QUATERNION);
    EXPECT_FALSE(q.IsEuler());
    EXPECT_EQ(Narrow([&](std::string& t) { q.ShortReport(t, true, false); }), "CM,  Quat");
    EXPECT_STREQ(q.oriunitsstr(true), "Quat");
    EXPECT_STREQ(q.oriunitsstr(false), "ORI_QUATERNION");
    EXPECT_FALSE(q == &u.cfg);
}

TEST(StationMap, CountsAndEnabledSensors)
{
    CStationMap m(0x0300000Fu);
    EXPECT_EQ(m.sensorCount, 4u);
    EXPECT_EQ(m.sourceCount, 2u);
    EXPECT_EQ(m.enabledCount, 4u);
    m.SetEnabled(2);
    EXPECT_EQ(m.EnabledMap(), 0x4u);
    EXPECT_EQ(m.enabledCount, 1u);
    EXPECT_TRUE(m.IsEnabled(2));
    EXPECT_FALSE(m.IsEnabled(1));
    EXPECT_TRUE(m.IsDetected(1));
    EXPECT_TRUE(m.IsSrcDetected(1));
    EXPECT_FALSE(m.IsSrcDetected(2));
    ExpectReports(
        "STATION_MAP: \r\n   sensor_map:  0x0f\r\n   source_map:  0x3\r\n   enabled_map: 0x04\r\n",
        [&](std::string& t) { m.ReportEn(t, true, false); }, [&](std::wstring& t) { m.ReportEnW(t, true, false); });
    ExpectReports(
        "sensor count:  4\r\nsource count:  2\r\n", [&](std::string& t) { m.ReportCounts(t, false, false); },
        [&](std::wstring& t) { m.ReportCountsW(t, false, false); });
    ExpectReports(
        "STATION_MAP: , sensor count:  4, source count:  2\r\n", [&](std::string& t) { m.ReportCounts(t, true, true); },
        [&](std::wstring& t) { m.ReportCountsW(t, true, true); });

    std::vector<int> v{99};
    m.SensorVec(v);
    EXPECT_EQ(v, (std::vector<int>{99, 0, 1, 2, 3}));
    std::vector<int> s;
    m.SourceVec(s);
    EXPECT_EQ(s, (std::vector<int>{0, 1}));

    // A copy keeps the enabled map.
    CStationMap copy(m);
    EXPECT_EQ(copy.enabledMap, 0x4u);
    EXPECT_EQ(copy.sensorCount, 4u);
}

TEST(StationMap, FillDoesNotRecount)
{
    CStationMap m;
    m.Fill(0x3, 0x1);
    EXPECT_EQ(m.sensorCount, 0u);
    EXPECT_EQ(m.SensorMap(), 0x3u);
    EXPECT_EQ(m.SourceMap(), 0x1u);
    m.CountDetected();
    EXPECT_EQ(m.sensorCount, 2u);
    EXPECT_EQ(m.sourceCount, 1u);
    EXPECT_EQ(m.SnsDetectedCount(), 2u);

    CStationMap d;
    d.InitDefault();
    EXPECT_EQ(d.sensorCount, 4u);
    EXPECT_EQ(d.sourceCount, 0u);
    ExpectReports(
        "STATION_MAP:\r\n   sensor_map: 0x0f\r\n   source_map: 0x0\r\n",
        [&](std::string& t) { d.Report(t, true, false); }, [&](std::wstring& t) { d.ReportW(t, true, false); });
}

CSrcCfg SampleSource()
{
    const float f[7] = {1, 2, 3, 10, 20, 30, 0};
    CSrcCfg s(f);
    s.cfg.srcfreq = 5;
    s.StartupHem() = 6;
    return s;
}

TEST(SrcCfg, NarrowReportEulerAndQuaternion)
{
    CSrcCfg s = SampleSource();
    EXPECT_EQ(Narrow([&](std::string& t) { s.Report(t, true, false); }),
              "SRC_CONFIG:\r\n   srcfreq 5\r\n   position (1.000000, 2.000000, 3.000000) (Inch)\r\n"
              "   rotation (10.000000, 20.000000, 30.000000) (Deg)\r\n   startup hem Auto\r\n");
    // The narrow single-line report indents by one space under a header.
    EXPECT_EQ(Narrow([&](std::string& t) { s.Report(t, true, true); }),
              "SRC_CONFIG:  srcfreq 5,  position (1.000000, 2.000000, 3.000000) (Inch),  "
              "rotation (10.000000, 20.000000, 30.000000) (Deg),  startup hem Auto\r\n");
    s.Units().Fill(POS_METER, ORI_QUATERNION);
    const float q[4] = {1, 0, 0, 0};
    s = q;
    EXPECT_EQ(Narrow([&](std::string& t) { s.Report(t, false, true); }),
              "srcfreq 5, position (1.000000, 2.000000, 3.000000) (M), "
              "rotation (1.000000, 0.000000, 0.000000, 0.000000) (Quat), startup hem Auto\r\n");
}

TEST(SrcCfg, WideReportHasItsOwnLayout)
{
    CSrcCfg s = SampleSource();
    EXPECT_EQ(Wide([&](std::wstring& t) { s.ReportW(t, false, false); }),
              L"srcfreq, pos(x,y,z) POS_INCH ori(x,y,z) ORI_EULER_DEGREE: 5, (1.000000, 2.000000, 3.000000), "
              L"(10.000000, 20.000000, 30.000000), Auto\r\n");
    s.Units().Fill(POS_INCH, ORI_QUATERNION);
    EXPECT_EQ(Wide([&](std::wstring& t) { s.ReportW(t, true, true); }),
              L"SRC_CONFIG: srcfreq, pos(x,y,z) POS_INCH ori(w,x,y,z): 5, (1.000000, 2.000000, 3.000000), "
              L"(10.000000, 20.000000, 30.000000, 0.000000), Auto\r\n");
}

TEST(SrcCfg, LongOutputIsCutAtTheBuffer)
{
    const float big = 3.0e38f;
    const float f[7] = {big, big, big, big, big, big, big};
    CSrcCfg s(f);
    char full[2000];
    snprintf(full, sizeof full,
             "srcfreq 0\r\nposition (%f, %f, %f) (Inch)\r\nrotation (%f, %f, %f) (Deg)\r\nstartup hem POS_X\r\n", big,
             big, big, big, big, big);
    EXPECT_GT(strlen(full), 199u);
    EXPECT_EQ(Narrow([&](std::string& t) { s.Report(t, false, false); }), std::string(full).substr(0, 199));
    // The wide layout is its own, cut the same way.
    const std::wstring w = Wide([&](std::wstring& t) { s.ReportW(t, false, false); });
    EXPECT_EQ(w.size(), 199u);
    EXPECT_EQ(w.substr(0, 20), L"srcfreq, pos(x,y,z) ");
}

TEST(SrcCfg, NullAndComparisons)
{
    CSrcCfg euler;
    EXPECT_TRUE(euler.IsNull());
    CSrcCfg quat;
    quat.Units().Fill(POS_INCH, ORI_QUATERNION);
    EXPECT_FALSE(quat.IsNull());
    quat.Qw() = 1.0f;
    EXPECT_TRUE(quat.IsNull());
    quat.InitDefault();
    EXPECT_EQ(quat.cfg.rotation[0], 1.0f);

    CSrcCfg a = SampleSource();
    CSrcCfg b = SampleSource();
    b.X() = 1.000009f;
    EXPECT_TRUE(a.ComparePos(b));
    b.X() = 1.0001f;
    EXPECT_FALSE(a.ComparePos(b));
    // Equality looks at the frequency alone.
    EXPECT_TRUE(a == &b.cfg);
    b.cfg.srcfreq = 6;
    EXPECT_FALSE(a == &b.cfg);

    _PNO pno{{4, 5, 6}, {7, 8, 9, 1}};
    a.Fill(3, &pno);
    EXPECT_EQ(a.SrcFreq(), 3u);
    EXPECT_EQ(a.Z(), 6.0f);
    EXPECT_EQ(a.Qz(), 1.0f);
    EXPECT_EQ(a.StartupHem(), 0u);
}

TEST(SrcRotCfg, ReportAndFill)
{
    CSrcRotCfg r;
    r.Fill(1, 2, 3, 4, 2);
    EXPECT_EQ(Narrow([&](std::string& t) { r.Report(t, true, false); }),
              "SRCROT_CONFIG:\r\n   srcfreq 2\r\n   rotation (1.000000, 2.000000, 3.000000, 4.000000) \r\n");
    EXPECT_EQ(Wide([&](std::wstring& t) { r.ReportW(t, true, false); }),
              L"SRCROT_CONFIG:\r\n   srcfreq 2\r\n   rotation (1.000000, 2.000000, 3.000000, 4.000000) \r\n");
    // One-space indent in the narrow single-line report only.
    EXPECT_EQ(Narrow([&](std::string& t) { r.Report(t, true, true); }),
              "SRCROT_CONFIG:  srcfreq 2,  rotation (1.000000, 2.000000, 3.000000, 4.000000) \r\n");
    EXPECT_EQ(Wide([&](std::wstring& t) { r.ReportW(t, true, true); }),
              L"SRCROT_CONFIG: srcfreq 2, rotation (1.000000, 2.000000, 3.000000, 4.000000) \r\n");

    const float rot[4] = {1, 2, 3, 4.000005f};
    EXPECT_TRUE(r == rot);
    CSrcCfg src = SampleSource();
    CSrcRotCfg fromSrc(&src.cfg);
    EXPECT_EQ(fromSrc.SrcFreq(), 5u);
    EXPECT_EQ(fromSrc.Ro(), 30.0f);
    fromSrc.Units() = ORI_QUATERNION;
    fromSrc.InitDefault();
    EXPECT_EQ(fromSrc.Qw(), 1.0f);
}

} // namespace
