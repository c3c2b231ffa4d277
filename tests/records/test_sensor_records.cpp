// Sensor-level record classes: filters, hemisphere, increment, boresight,
// tip offset, prediction filter, virtual sensor, source selection, P&O value.
#include <SXCmdIF/records/SXrecords.h>

#include "ReportCheck.h"

using namespace rectest;

namespace {

TEST(FilterCfg, LevelConstructorCopiesWholePreset)
{
    CFilterCfg eight(FILTER_LVL_RESERVED);
    EXPECT_EQ(eight.cfg.level, 6u);
    EXPECT_EQ(eight.cfg.F, 0.0f);
    CFilterCfg custom(FILTER_LVL_CUSTOM);
    EXPECT_EQ(custom.cfg.level, 2u);
    EXPECT_EQ(custom.cfg.Fhigh, 0.8f);
    // Beyond the presets: the last one, not memory past the table.
    CFilterCfg beyond(static_cast<eSorixFilterLevel>(40));
    EXPECT_EQ(beyond.cfg.level, 6u);
}

TEST(FilterCfg, FillClampsAndTakesPresetParameters)
{
    CFilterCfg f;
    f.Fill(8, 1, 2, 3, 4);
    EXPECT_EQ(f.cfg.level, 8u);
    EXPECT_EQ(f.cfg.F, 0.0f);
    EXPECT_EQ(f.cfg.MaxT, 0.0f);
    f.Fill(12, 1, 2, 3, 4);
    EXPECT_EQ(f.cfg.level, 8u);
    f.Fill(-1, 1, 2, 3, 4);
    EXPECT_EQ(f.cfg.level, 0u);
    EXPECT_EQ(f.cfg.Flow, 1.0f);
    f.Fill(3, 1, 2, 3, 4);
    EXPECT_EQ(f.cfg.F, 0.02f);
    f.Fill(4, 1, 2, 3, 4);
    EXPECT_EQ(f.cfg.Fhigh, 3.0f);

    const float p[4] = {0.3f, 0.4f, 0.5f, 0.6f};
    f.Fill(4, p);
    EXPECT_EQ(f.cfg.MaxT, 0.6f);
    f.Fill(4, nullptr);
    EXPECT_EQ(f.cfg.level, 4u);
    EXPECT_EQ(f.cfg.F, 0.0f);
    f.Fill(1, p);
    EXPECT_EQ(f.cfg.F, 0.2f);
    EXPECT_FALSE(f == p);
}

TEST(FilterCfg, SetPresetFindsTheFirstMatchingPreset)
{
    CFilterCfg f;
    f.Fill(4, 0.2f, 0.2f, 0.8f, 0.95f);
    f.SetPreset();
    EXPECT_EQ(f.cfg.level, 1u);
    f.Fill(4, 0.05f, 0.05f, 0.8f, 0.95f);
    f.SetPreset();
    EXPECT_EQ(f.cfg.level, 2u);
    f.Fill(4, 0, 0, 0, 0);
    f.SetPreset();
    EXPECT_EQ(f.cfg.level, 5u);
    f.Fill(4, 0.02f, 0.02f, 0.8f, 0.950005f);
    f.SetPreset();
    EXPECT_EQ(f.cfg.level, 3u);
    f.Fill(4, 0.3f, 0.3f, 0.8f, 0.95f);
    f.SetPreset();
    EXPECT_EQ(f.cfg.level, 4u);
    EXPECT_TRUE(f.Custom());
    f.cfg.level = 7;
    EXPECT_TRUE(f.Enhanced());
}

TEST(FilterCfg, EqualityByLevelAndForCustomByParameters)
{
    CFilterCfg a, b;
    a.Fill(2, 0, 0, 0, 0);
    b.cfg = a.cfg;
    b.cfg.F = 0.7f;
    EXPECT_TRUE(a == b);
    a.Fill(4, 0.1f, 0.2f, 0.3f, 0.4f);
    b.Fill(4, 0.1f, 0.2f, 0.3f, 0.4f);
    EXPECT_TRUE(a == b);
    b.cfg.Flow = 0.20002f;
    EXPECT_FALSE(a == b);
    b.cfg.Flow = 0.200009f;
    EXPECT_TRUE(a == b);
    b.cfg.level = 3;
    EXPECT_FALSE(a == b);
}

TEST(FilterCfg, Reports)
{
    CFilterCfg f;
    f.Fill(1, 0, 0, 0, 0);
    ExpectReports(
        "FILTER_CONFIG:FILTER_TRGT_POS\r\n   level: FILTER_LVL_LIGHT\r\n   F:     0.200000\r\n   Flow:  0.200000\r\n"
        "   Fhigh: 0.800000\r\n   MaxT:  0.950000\r\n",
        [&](std::string& t) { f.Report(t, true, false, FILTER_TRGT_POS); },
        [&](std::wstring& t) { f.ReportW(t, true, false, FILTER_TRGT_POS); });
    CFilterCfg none;
    ExpectReports(
        "level: FILTER_LVL_NONE, F:     0.000000, Flow:  1.000000, Fhigh: 0.000000, MaxT:  0.000000\r\n",
        [&](std::string& t) { none.Report(t, false, true, FILTER_TRGT_MAX); },
        [&](std::wstring& t) { none.ReportW(t, false, true, FILTER_TRGT_MAX); });
    EXPECT_EQ(Narrow([&](std::string& t) { none.Report(t, true, true, FILTER_TRGT_MAX); }),
              "FILTER_CONFIG:  level: FILTER_LVL_NONE,  F:     0.000000,  Flow:  1.000000,  Fhigh: 0.000000,  "
              "MaxT:  0.000000\r\n");
    EXPECT_EQ(Wide([&](std::wstring& t) { none.ReportW(t, true, true, FILTER_TRGT_MAX); }),
              L"FILTER_CONFIG: level: FILTER_LVL_NONE, F:     0.000000, Flow:  1.000000, Fhigh: 0.000000, "
              L"MaxT:  0.000000\r\n");
}

TEST(HemisphereCfg, PresetRecognition)
{
    CHemisphereCfg h;
    EXPECT_EQ(h.presetEnum, CHemisphereCfg::POS_X);
    EXPECT_EQ(h.cfg.vector[0], 1.0f);
    h.Fill(0, -2.5f, 0, false, false);
    EXPECT_EQ(h.presetEnum, CHemisphereCfg::NEG_Y);
    h.Fill(0.1f, 0.1f, 0, false, false);
    EXPECT_EQ(h.presetEnum, CHemisphereCfg::CUSTOM);
    h.Fill(0, 0, 0, false, false);
    EXPECT_EQ(h.presetEnum, CHemisphereCfg::CUSTOM);
    h.Fill(-3, 0, 0, false, false);
    EXPECT_EQ(h.presetEnum, CHemisphereCfg::NEG_X);
    h.Fill(0, 0, 0.5f, false, false);
    EXPECT_EQ(h.presetEnum, CHemisphereCfg::POS_Z);

    h.Fill(1, 0, 0, true, false);
    EXPECT_TRUE(h.AutoEn());
    EXPECT_TRUE(h.TrackEn());
    h.SetAutoEn(false);
    EXPECT_TRUE(h.TrackEn());
    EXPECT_FALSE(h.AutoEn());

    _HEMISPHERE_CONFIG negZ{{0u}, {0, 0, -1}};
    h = &negZ;
    EXPECT_TRUE(h == &negZ);
    EXPECT_EQ(h.presetEnum, CHemisphereCfg::NEG_Z);

    // A preset fill takes the preset's record and its value as given.
    h.Fill(CHemisphereCfg::NEG_Y, false, true);
    EXPECT_EQ(h.cfg.vector[1], -1.0f);
    EXPECT_TRUE(h.TrackEn());
    EXPECT_EQ(h.presetEnum, CHemisphereCfg::NEG_Y);
    h.Fill(static_cast<CHemisphereCfg::eHemPresetVal>(99), false, false);
    EXPECT_EQ(h.cfg.vector[0], 0.0f);
    EXPECT_EQ(h.presetEnum, 99u);
}

TEST(HemisphereCfg, EqualityIgnoresOtherBits)
{
    CHemisphereCfg a;
    _HEMISPHERE_CONFIG o = a.cfg;
    o.bf.res = 5;
    o.vector[0] = 1.000005f;
    EXPECT_TRUE(a == &o);
    o.bf.track_en = 1;
    EXPECT_FALSE(a == &o);
}

TEST(HemisphereCfg, ReportsDifferInTheEnableSpacing)
{
    CHemisphereCfg h;
    h.Fill(0, -2.5f, 0, false, true);
    EXPECT_EQ(Narrow([&](std::string& t) { h.Report(t, false, false); }),
              "NEG_Y : 0.000000, -2.500000, 0.000000\r\nbf.track_en :1 (ENABLED)\r\nbf.auto_en  :0 (DISABLED)\r\n");
    EXPECT_EQ(Wide([&](std::wstring& t) { h.ReportW(t, false, false); }),
              L"NEG_Y : 0.000000, -2.500000, 0.000000\r\nbf.track_en : 1 (ENABLED)\r\nbf.auto_en  : 0 (DISABLED)\r\n");
    EXPECT_EQ(Narrow([&](std::string& t) { h.Report(t, true, true); }),
              "HEMISPHERE_CONFIG: NEG_Y : 0.000000, -2.500000, 0.000000, bf.track_en :1 (ENABLED), "
              "bf.auto_en  :0 (DISABLED)\r\n");
}

TEST(IncrementCfg, AutoThresholdsAndEquality)
{
    CIncrementCfg inc;
    inc.Fill(true, -1.0f, 0.5f);
    EXPECT_TRUE(inc.PosAuto());
    EXPECT_FALSE(inc.OriAuto());
    ExpectReports(
        "enabled:  1 (TRUE), fPosThresh: -1.000000 (AUTO), fOriThresh: 0.500000 \r\n",
        [&](std::string& t) { inc.Report(t, false, true); }, [&](std::wstring& t) { inc.ReportW(t, false, true); });
    ExpectReports(
        "INCREMENT_CONFIG:\r\n   enabled:  1 (TRUE)\r\n   fPosThresh: -1.000000 (AUTO)\r\n   fOriThresh: 0.500000 \r\n",
        [&](std::string& t) { inc.Report(t, true, false); }, [&](std::wstring& t) { inc.ReportW(t, true, false); });

    _INCREMENT_CONFIG other = inc.cfg;
    other.enabled = 0;
    EXPECT_TRUE(inc == &other);
    other.fOriThresh = 0.6f;
    EXPECT_FALSE(inc == &other);
    inc.SetOriAuto();
    EXPECT_TRUE(inc.OriAuto());
    const float th[2] = {2, 3};
    CIncrementCfg fromFloats(th);
    EXPECT_EQ(fromFloats.cfg.enabled, 0u);
    EXPECT_EQ(fromFloats.cfg.fOriThresh, 3.0f);
}

TEST(BoresightCfg, EnabledAgainstTheNullOfTheUnits)
{
    CBoresightCfg q(2);
    EXPECT_EQ(q.cfg.ori[0], 1.0f);
    EXPECT_FALSE(q.Enabled());
    EXPECT_TRUE(q.IsQtrn());
    q.cfg.ori[3] = 0.1f;
    EXPECT_TRUE(q.Enabled());
    q.cfg.ori[3] = 0.0f;
    ExpectReports(
        "(w,x,y,z): (1.000000, 0.000000, 0.000000, 0.000000) (ORI_QUATERNION)\r\n",
        [&](std::string& t) { q.Report(t, 3, false, false); }, [&](std::wstring& t) { q.ReportW(t, 3, false, false); });
    ExpectReports(
        "BORESIGHT_CONFIG: (x,y,z): (1.000000, 0.000000, 0.000000) (ORI_EULER_RADIAN)\r\n",
        [&](std::string& t) { q.Report(t, 1, true, true); }, [&](std::wstring& t) { q.ReportW(t, 1, true, true); });
    ExpectReports(
        "(1.000000, 0.000000, 0.000000, 0.000000)\r\n", [&](std::string& t) { q.Report(t, 7, false, false); },
        [&](std::wstring& t) { q.ReportW(t, 7, false, false); });

    CBoresightCfg e(0, true);
    EXPECT_TRUE(e.ResetOrigin());
    EXPECT_FALSE(e.Enabled());
    e.cfg.ori[0] = 1.0f;
    EXPECT_TRUE(e.Enabled());
    // Assigning a record starts from Euler units and no reset.
    const float four[4] = {0, 1, 0, 0};
    q = four;
    EXPECT_EQ(q.Units(), 0u);
    EXPECT_EQ(q.Arg2(), 0u);
    EXPECT_TRUE(q == four);
    // Units beyond the defaults start from the Euler null.
    CBoresightCfg odd(9);
    EXPECT_EQ(odd.cfg.ori[0], 0.0f);
}

TEST(TipoffAndPnoData, Reports)
{
    CTipoffCfg tip;
    tip.Fill(1, 2, 3);
    ExpectReports(
        "TIP_OFFSET_CONFIG: (x,y,z): (1.000000, 2.000000, 3.000000)\r\n",
        [&](std::string& t) { tip.Report(t, true, true); }, [&](std::wstring& t) { tip.ReportW(t, true, true); });
    const float same[3] = {1, 2, 3.000001f};
    EXPECT_TRUE(tip == same);

    CPnoDataCfg pno;
    pno.Fill(1, 2, 3, 4, 5, 6);
    EXPECT_EQ(pno.cfg.ori[3], 0.0f);
    ExpectReports(
        "(x,y,z): (1.000000, 2.000000, 3.000000)\r\n(a,e,r): (4.000000, 5.000000, 6.000000)\r\n",
        [&](std::string& t) { pno.Report(t, false, false); }, [&](std::wstring& t) { pno.ReportW(t, false, false); });
    CPnoDataCfg other(pno);
    EXPECT_TRUE(pno == &other.cfg);
    other.cfg.ori[3] = 0.5f;
    EXPECT_FALSE(pno == &other.cfg);
}

TEST(SnsVirtAndSrcSelect, Reports)
{
    CSnsVirtCfg v;
    v.Fill(3, 7, 8, 9);
    EXPECT_TRUE(v == 3u);
    ExpectReports(
        "VIRTUAL_SNS_CONFIG: Input1:  3\r\n", [&](std::string& t) { v.Report(t, true, true); },
        [&](std::wstring& t) { v.ReportW(t, true, true); });
    v = 12u;
    EXPECT_EQ(v.cfg.word1, 7u);

    CSrcSelectCfg s;
    EXPECT_TRUE(s.Selected(0));
    EXPECT_FALSE(s.Selected(1));
    ExpectReports(
        "SRC_SEL_CONFIG: SRC_SEL_MAP: 0x0001\r\n", [&](std::string& t) { s.Report(t, true, true); },
        [&](std::wstring& t) { s.ReportW(t, true, true); });
    s.Fill(0xA);
    EXPECT_TRUE(s.Selected(35)); // bit 3
}

TEST(PredFiltCfg, FillForms)
{
    CPredFiltCfgExt pf;
    pf.Fill(true, false, 1500);
    EXPECT_EQ(pf.cfg.predTime, 0.02f);
    pf.Fill(true, false, 50);
    EXPECT_FLOAT_EQ(pf.cfg.predTime, 0.05f);
    EXPECT_EQ(pf.PredTimeMS(), 50u);
    EXPECT_TRUE(pf.QuatFilterOn());
    EXPECT_FALSE(pf.PosFilterOn());
    pf.Fill(false, true, 0.5f);
    EXPECT_EQ(pf.cfg.predTime, 0.5f);
    pf.Fill(false, true, 1.5f);
    EXPECT_EQ(pf.cfg.predTime, 0.02f);

    _NOISEPROFILE noise{};
    noise.Qr[2][2] = 7.0f;
    pf.Fill(false, false, 20, &noise);
    EXPECT_EQ(pf.cfg.noise.Qr[2][2], 7.0f);
    pf.cfg.predTime = -1.0f;
    EXPECT_EQ(pf.PredTimeMS(), 0u);
}

TEST(PredFiltCfg, ShortReportHasNoLineEnd)
{
    CPredFiltCfg pf;
    pf.Fill(true, false, 50);
    std::string t;
    pf.Report(t, true, true);
    t += "X";
    EXPECT_EQ(t, "PF_CONFIG: qFil_on:     1, pFil_on:     0, predTime ms, s :  50,  0.050X");
    ExpectReports(
        "qFil_on:     1\r\npFil_on:     0\r\npredTime ms, s :  50,  0.050",
        [&](std::string& s) { pf.Report(s, false, false); }, [&](std::wstring& s) { pf.ReportW(s, false, false); });

    _PF_CONFIG small{1, 1, 0.03f};
    CPredFiltCfg fromSmall(&small);
    EXPECT_EQ(fromSmall.cfg.pFil_on, 1u);
    EXPECT_EQ(fromSmall.cfg.reserved, 0u);
    EXPECT_EQ(static_cast<_PF_CONFIG*>(fromSmall)->predTime, 0.03f);
}

TEST(PredFiltCfg, ExtendedReportWithNoiseProfile)
{
    CPredFiltCfgExt pf;
    pf.cfg.qFil_on = 1;
    pf.cfg.noise.Rq[0][0] = -1.5f;
    pf.cfg.noise.Qq[0][1] = 0.25f;
    const std::string zero = " 0   ";
    const std::string expected = "qFil_on:         1\r\npFil_on:         0\r\npredTime ms, s :  20,  0.020\r\n"
                                 "noise profile: \r\n Rq[4][4]: -1.5 " +
                                 Repeat(zero, 15) + "\r\n Qq[3][3]: " + zero + " 0.25 " + Repeat(zero, 7) +
                                 "\r\n Rr[3][3]: " + Repeat(zero, 9) + "\r\n Qr[3][3]: " + Repeat(zero, 9) + "\r\n";
    ExpectReports(
        expected, [&](std::string& t) { pf.Report(t, false, false); },
        [&](std::wstring& t) { pf.ReportW(t, false, false); });
    // Under a header each matrix is indented twice.
    const std::string withHeader = Narrow([&](std::string& t) { pf.Report(t, true, false); });
    EXPECT_TRUE(StartsWith(withHeader, "PF_CONFIG:\r\n   qFil_on:         1\r\n"));
    EXPECT_NE(withHeader.find("noise profile: \r\n       Rq[4][4]: -1.5 "), std::string::npos);
}

} // namespace
