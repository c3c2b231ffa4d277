// Identity, built-in-test and self-calibration records.
#include <SXCmdIF/records/SXrecords.h>

#include "ReportCheck.h"

#include <cstring>

using namespace rectest;

namespace {

TEST(WhoAmI, ReportsAndSerialNumber)
{
    CWhoAmI w;
    w.Fill("SEU", "1234", "io 1.0", "bt 2.0", "app 3.0");
    ExpectReports(
        "WHOAMI_STRUCT:\r\n   device_name: SEU\r\n   hw_ser_no:   1234\r\n   ioproc:      io 1.0\r\n"
        "   dsp_bt_fw:   bt 2.0\r\n   dsp_app_fw:  app 3.0\r\n",
        [&](std::string& t) { w.Report(t, true, false); }, [&](std::wstring& t) { w.ReportW(t, true, false); });
    ExpectReports(
        "device_name: SEU, hw_ser_no:   1234, ioproc:      io 1.0, dsp_bt_fw:   bt 2.0, dsp_app_fw:  app 3.0\r\n",
        [&](std::string& t) { w.Report(t, false, true); }, [&](std::wstring& t) { w.ReportW(t, false, true); });
    ExpectReports(
        "hw_ser_no: 1234 \r\n", [&](std::string& t) { w.ReportSnum(t, true, true); },
        [&](std::wstring& t) { w.ReportSnumW(t, true, true); });
    ExpectReports(
        "1234 ", [&](std::string& t) { w.ReportSnum(t, false, false); },
        [&](std::wstring& t) { w.ReportSnumW(t, false, false); });

    // A null text leaves its field; a shorter one clears the rest of it.
    w.Fill(nullptr, "9", nullptr, nullptr, nullptr);
    EXPECT_STREQ(w.cfg.device_name, "SEU");
    EXPECT_EQ(std::memcmp(w.cfg.hw_ser_no, "9\0\0\0", 4), 0);
}

TEST(WhoAmI, FullFieldsAreCutToTheirWidth)
{
    CWhoAmI w;
    std::memset(w.cfg.hw_ser_no, 'A', sizeof w.cfg.hw_ser_no);
    std::memset(w.cfg.dsp_app_fw, 'B', sizeof w.cfg.dsp_app_fw);
    const std::string text = Narrow([&](std::string& t) { w.ReportSnum(t, false, false); });
    EXPECT_EQ(text, std::string(31, 'A') + " ");
    EXPECT_EQ(reinterpret_cast<const unsigned char*>(&w.cfg)[95], 0);
    EXPECT_EQ(reinterpret_cast<const unsigned char*>(&w.cfg)[191], 0);

    // Fill never reads past a field's width.
    const std::string longName(100, 'N');
    w.Fill(longName.c_str(), nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(std::string(w.cfg.device_name, 64), std::string(64, 'N'));
    EXPECT_EQ(Narrow([&](std::string& t) { w.Report(t, false, false); }).substr(0, 13 + 63 + 2),
              "device_name: " + std::string(63, 'N') + "\r\n");
}

TEST(WhoAmI, WideTextsWidenEveryByte)
{
    CWhoAmI w;
    w.Fill("Caf\xe9 unit", "s\xff", "", "", "");
    const std::string narrow = Narrow([&](std::string& t) { w.Report(t, false, false); });
    EXPECT_EQ(Wide([&](std::wstring& t) { w.ReportW(t, false, false); }), Widen(narrow));
    EXPECT_NE(Widen(narrow).find(L"Caf\u00e9 unit"), std::wstring::npos);
}

TEST(BitResult, MapAndReport)
{
    _BIT_STRUCT r{{0, 0, 0x5, 0, 0, 0, 0}};
    CBitResult bit(&r);
    EXPECT_EQ(bit.errmap, 0x8u);
    EXPECT_EQ(bit.errcount, 1u);
    ExpectReports(
        "E_BITERR_SOURCE      :  0x5\r\n", [&](std::string& t) { bit.Report(t, false, false); },
        [&](std::wstring& t) { bit.ReportW(t, false, false); });
    ExpectReports(
        "BIT_STRUCT:\r\n   E_BITERR_SOURCE      :  0x5\r\n", [&](std::string& t) { bit.Report(t, true, false); },
        [&](std::wstring& t) { bit.ReportW(t, true, false); });

    _BIT_STRUCT two{{1, 0, 0, 0, 0, 0, 0x10}};
    CBitResult b2(&two);
    EXPECT_EQ(b2.errmap, 0x82u);
    EXPECT_EQ(b2.errcount, 2u);
    EXPECT_EQ(Narrow([&](std::string& t) { b2.Report(t, true, true); }),
              "BIT_STRUCT:  E_BITERR_SENSOR      :  0x1,  E_BITERR_RESERVED2   :  0x10, ");
    EXPECT_EQ(Wide([&](std::wstring& t) { b2.ReportW(t, true, true); }),
              L"BIT_STRUCT: E_BITERR_SENSOR      :  0x1, E_BITERR_RESERVED2   :  0x10, ");
}

TEST(BitResult, NoErrorIsOneLine)
{
    CBitResult none;
    EXPECT_EQ(none.errmap, 0u);
    ExpectReports(
        "E_BITERR_NONE\r\n", [&](std::string& t) { none.Report(t, false, false); },
        [&](std::wstring& t) { none.ReportW(t, false, false); });
    EXPECT_EQ(Narrow([&](std::string& t) { none.Report(t, true, true); }), "BIT_STRUCT:  E_BITERR_NONE\r\n");
    EXPECT_EQ(Wide([&](std::wstring& t) { none.ReportW(t, true, true); }), L"BIT_STRUCT: E_BITERR_NONE\r\n");
    ExpectReports(
        "Built-In Test Results: \r\n\r\nNo Error\r\n",
        [&](std::string& t) { none.ReportDetail(t, false, true, false); },
        [&](std::wstring& t) { none.ReportDetailW(t, false, true, false); });
    ExpectReports(
        "No Error\r\n", [&](std::string& t) { none.ReportDetail(t, false, false, true); },
        [&](std::wstring& t) { none.ReportDetailW(t, false, false, true); });
}

std::string DetailOf(uint32_t word, bool zeroBased)
{
    _BIT_STRUCT r{{word, 0, 0, 0, 0, 0, 0}};
    CBitResult bit(&r);
    std::string text;
    bit.ReportDetail(text, zeroBased, false, false);
    std::wstring wide;
    bit.ReportDetailW(wide, zeroBased, false, false);
    EXPECT_EQ(wide, Widen(text));
    return text;
}

TEST(BitResult, DetailListsRunsOfBits)
{
    EXPECT_EQ(DetailOf(0x1A7, false), "Errors Detected:\r\nSENSOR          0x01a7 : 1-3,6,8,9\r\n");
    EXPECT_EQ(DetailOf(0x1A7, true), "Errors Detected:\r\nSENSOR          0x01a7 : 0-2,5,7,8\r\n");
    EXPECT_EQ(DetailOf(0x18000, false), "Errors Detected:\r\nSENSOR          0x18000 : ...\r\n");
    EXPECT_EQ(DetailOf(0x10008, false), "Errors Detected:\r\nSENSOR          0x10008 : 4...\r\n");
    EXPECT_EQ(DetailOf(0x3, false), "Errors Detected:\r\nSENSOR          0x0003 : 1,2\r\n");
    // Bits above 16 are not listed.
    EXPECT_EQ(DetailOf(0x80000001, true), "Errors Detected:\r\nSENSOR          0x80000001 : 0\r\n");

    _BIT_STRUCT r{{0, 0x20, 0, 0, 0, 0, 0}};
    CBitResult bit(&r);
    ExpectReports(
        "Built-In Test Results: Errors Detected, , SENSOR PORT     0x0020 : 6, ",
        [&](std::string& t) { bit.ReportDetail(t, false, true, true); },
        [&](std::wstring& t) { bit.ReportDetailW(t, false, true, true); });
}

TEST(BitResult, ErrorMapLine)
{
    _BIT_STRUCT r{{1, 1, 0, 0, 0, 0, 0}};
    CBitResult bit(&r);
    EXPECT_EQ(bit.errmap, 0x6u);
    ExpectReports(
        "errmap: 0x086\r\n", [&](std::string& t) { bit.ReportDetail0(t, false, false); },
        [&](std::wstring& t) { bit.ReportDetail0W(t, false, false); });
    ExpectReports(
        "BIT_STRUCT: \r\n   errmap: 0x086\r\n", [&](std::string& t) { bit.ReportDetail0(t, true, false); },
        [&](std::wstring& t) { bit.ReportDetail0W(t, true, false); });
    ExpectReports(
        "BIT_STRUCT: ,  errmap: 0x086\r\n", [&](std::string& t) { bit.ReportDetail0(t, true, true); },
        [&](std::wstring& t) { bit.ReportDetail0W(t, true, true); });
}

TEST(SelfCalCfg, PresetRecognitionFromTheCustomRate)
{
    CSelfCalCfg s(true);
    s = 0.5f;
    EXPECT_EQ(s.cfg.correction_rate, 2u);
    EXPECT_EQ(s.cfg.state, 1u);
    s = 0.3f;
    EXPECT_EQ(s.cfg.correction_rate, 3u);
    s = 0.0f;
    EXPECT_EQ(s.cfg.correction_rate, 3u);
    EXPECT_EQ(s.cfg.state, 0u);
    s.FillState(0x301);
    s = 1.0f;
    EXPECT_EQ(s.cfg.correction_rate, 3u);
    EXPECT_TRUE(s.Instant());
    s = 0.020005f;
    EXPECT_EQ(s.cfg.correction_rate, 0u);
}

TEST(SelfCalCfg, AssignedStateSurvives)
{
    CSelfCalCfg s;
    s = 0x0301u;
    EXPECT_EQ(s.cfg.state, 0x301u);
    EXPECT_EQ(s.cfg.correction_rate, 3u);
    EXPECT_EQ(s.cfg.custom_rate, 0.0f);
}

TEST(SelfCalCfg, StatesAndPredicates)
{
    CSelfCalCfg s;
    s.InitDefault(true);
    EXPECT_EQ(s.cfg.state, 1u);
    EXPECT_EQ(s.cfg.correction_rate, 1u);
    EXPECT_EQ(s.cfg.custom_rate, 0.1f);
    EXPECT_TRUE(s.Enabled());
    EXPECT_FALSE(s.Collecting());
    EXPECT_FALSE(s.Saved());
    EXPECT_TRUE(s == &CSelfCalCfg::Default);
    EXPECT_FALSE(s == &CSelfCalCfg::DefaultDisabled);

    s.FillState(0x0301);
    EXPECT_EQ(s.OpState(), 1u);
    EXPECT_EQ(s.MemState(), 3u);
    EXPECT_TRUE(s.Saved());
    EXPECT_TRUE(s.NewUnsaved());
    s.FillState(0x0703);
    EXPECT_TRUE(s.Collecting());
    EXPECT_EQ(s.eMemState(), SELFCAL_MEM_MAX);
    s.FillState(0x09);
    EXPECT_EQ(s.eOpState(), SELFCAL_OP_MAX);
    s.cfg.correction_rate = 9;
    EXPECT_EQ(s.eRate(), CALCORRECT_CUSTOM);

    s.InitDisabled();
    EXPECT_TRUE(s.Disabled());
    EXPECT_TRUE(s.Custom());

    s.Fill(1, 2, 0.9f);
    EXPECT_EQ(s.cfg.custom_rate, 0.5f);
    s.Fill(1, 3, 0.9f);
    EXPECT_EQ(s.cfg.custom_rate, 0.9f);
    // A rate beyond the presets keeps the given value instead of reading past them.
    s.Fill(1, 7, 0.4f);
    EXPECT_EQ(s.cfg.custom_rate, 0.4f);

    EXPECT_STREQ(CSelfCalCfg::opstatestr(2), "SELFCAL_OP_MAX");
    EXPECT_STREQ(CSelfCalCfg::opstatestr(3), "SELFCAL_OP_ENABLED_AND_COLLECTING");
    EXPECT_STREQ(CSelfCalCfg::opstatestr(77), "SELFCAL_OP_MAX");
    EXPECT_STREQ(CSelfCalCfg::memstatestr(3, true), "Saved (New Unsaved)");
    EXPECT_STREQ(CSelfCalCfg::memstatestr(3, false), "SELFCAL_MEM_PERSIST_AND_NEWUNSAVED");
    EXPECT_STREQ(CSelfCalCfg::memstatestr(9, true), "MAX");
    EXPECT_STREQ(CSelfCalCfg::memstatestrW(1, true), L"Saved");
    EXPECT_STREQ(CSelfCalCfg::opstatestrW(0), L"SELFCAL_OP_DISABLED");
}

TEST(SelfCalCfg, ReportAndBrief)
{
    CSelfCalCfg s(true);
    ExpectReports(
        "state:           0x01 0x00  SELFCAL_OP_ENABLED, SELFCAL_NOMEM\r\n"
        "correction_rate: 0x01       CALCORRECT_MED\r\ncustom_rate:     0.10       \r\n",
        [&](std::string& t) { s.Report(t, false, false); }, [&](std::wstring& t) { s.ReportW(t, false, false); });
    ExpectReports(
        "SELFCAL_CONFIG: state:           0x01 0x00  SELFCAL_OP_ENABLED, SELFCAL_NOMEM, "
        "correction_rate: 0x01       CALCORRECT_MED, custom_rate:     0.10       \r\n",
        [&](std::string& t) { s.Report(t, true, true); }, [&](std::wstring& t) { s.ReportW(t, true, true); });
    EXPECT_EQ(Narrow([&](std::string& t) { s.Brief(t); }), "EnabledMED; No Saved Data");
    EXPECT_EQ(Wide([&](std::wstring& t) { s.BriefW(t, false, true); }), L" Enabled : MED;   No Saved Data");
    EXPECT_EQ(Wide([&](std::wstring& t) { s.BriefW(t); }), L" Enabled : MED\n No Saved Data");

    s.FillState(0x0103);
    s = 1.0f;
    EXPECT_EQ(Narrow([&](std::string& t) { s.Brief(t); }), "Collecting,EnabledINSTANT; Saved");
    EXPECT_NE(Narrow([&](std::string& t) { s.Report(t, false, false); }).find("1.00       (Instant)\r\n"),
              std::string::npos);
    s = 0.3f;
    // The wide short name of the custom rate is its long form.
    EXPECT_EQ(Narrow([&](std::string& t) { s.Brief(t); }), "Collecting,EnabledCUST; Saved");
    EXPECT_EQ(Wide([&](std::wstring& t) { s.BriefW(t, false, true); }), L" Collecting, Enabled : CUSTOM;   Saved");

    s.InitDisabled();
    EXPECT_EQ(Narrow([&](std::string& t) { s.Brief(t); }), "Disabled; No Saved Data");
}

} // namespace
