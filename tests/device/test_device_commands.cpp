// Commands end to end, over both links: round trips, refusals, NAKs, lost,
// stale and corrupt answers, the generic commands and the reports.
#include "DeviceLinks.h"

#include <SXCmdIF/records/SXidentity.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

using namespace sxtest;

template <class Link>
class Commands : public DeviceTest<Link> {
};
TYPED_TEST_SUITE(Commands, Links, LinkNames);

TYPED_TEST(Commands, GetSetResetRoundTripsCarryThePayloadBytes)
{
    _UNITS_CONFIG set{2, 1}, got{9, 9};
    ASSERT_EQ(sxcmd_dev_units(this->ctx, this->dev, CMD_ACTION_SET, &set), E_SX_SUCCESS);
    ASSERT_EQ(sxcmd_dev_units(this->ctx, this->dev, CMD_ACTION_GET, &got), E_SX_SUCCESS);
    EXPECT_EQ(std::memcmp(&set, &got, sizeof set), 0);

    _FILTER_CONFIG f{}, back{};
    ASSERT_EQ(sxcmd_sns_filter(this->ctx, this->dev, 1, CMD_ACTION_GET, &f, 2), E_SX_SUCCESS);
    f.level = 3;
    f.F = 0.25f;
    ASSERT_EQ(sxcmd_sns_filter(this->ctx, this->dev, 1, CMD_ACTION_SET, &f, 2), E_SX_SUCCESS);
    ASSERT_EQ(sxcmd_sns_filter(this->ctx, this->dev, 1, CMD_ACTION_GET, &back, 2), E_SX_SUCCESS);
    EXPECT_EQ(std::memcmp(&f, &back, sizeof f), 0);
    // A RESET needs no payload.
    EXPECT_EQ(sxcmd_sns_filter(this->ctx, this->dev, 1, CMD_ACTION_RESET, nullptr, 2), E_SX_SUCCESS);
    EXPECT_EQ(sxcmd_dev_persist(this->ctx, this->dev), E_SX_SUCCESS);
}

TYPED_TEST(Commands, RefusalsSendNothing)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(50)); // the counts settle
    const uint64_t before = this->Answered();
    _UNITS_CONFIG u{};
    _FILTER_CONFIG f{};
    EXPECT_EQ(sxcmd_dev_units(this->ctx, this->dev, CMD_ACTION_ACK, &u), E_SXERR_INVALID_ACTION);
    EXPECT_EQ(sxcmd_dev_units(this->ctx, this->dev, CMD_ACTION_SET, nullptr), E_SXERR_INVALID_PARAMS);
    EXPECT_EQ(sxcmd_sns_filter(this->ctx, this->dev, 17, CMD_ACTION_SET, &f, 0), E_SXERR_INVALID_SENSOR);
    EXPECT_EQ(sxcmd_sns_filter(this->ctx, this->dev, -1, CMD_ACTION_GET, &f, 0), E_SXERR_INVALID_SENSOR_ACT);
    EXPECT_EQ(sxcmd_sns_generic(this->ctx, this->dev, 17, CMD_ACTION_GET, CMD_FILTER, &f, sizeof f, 0),
              E_SXERR_INVALID_SENSOR);
    // A frame larger than the transmit buffer is refused, not sent.
    std::vector<unsigned char> block(4596);
    EXPECT_EQ(sxcmd_dev_generic(this->ctx, this->dev, CMD_ACTION_SET, CMD_BLOCK_CFG, block.data(),
                                static_cast<unsigned>(block.size()), 0, 0),
              E_SXERR_INVALID_PARAMS);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(this->Answered(), before);
}

TYPED_TEST(Commands, NakLeavesTheBufferAndNakWarningIsAnAnswer)
{
    sxsim::FaultConfig nak;
    nak.nakAll = true;
    this->SetFaults(nak);
    _UNITS_CONFIG u{0xA5A5A5A5u, 0x5A5A5A5Au};
    EXPECT_EQ(sxcmd_dev_units(this->ctx, this->dev, CMD_ACTION_GET, &u), E_SXERR_NAK_RESP);
    EXPECT_EQ(u.pos_units, 0xA5A5A5A5u);
    EXPECT_EQ(u.ori_units, 0x5A5A5A5Au);

    sxsim::FaultConfig warn;
    warn.nakWarning = true;
    this->SetFaults(warn);
    EXPECT_EQ(sxcmd_dev_units(this->ctx, this->dev, CMD_ACTION_GET, &u), E_SX_SUCCESS);
    EXPECT_LE(u.pos_units, 3u);
}

TYPED_TEST(Commands, LostStaleAndCorruptAnswers)
{
    _UNITS_CONFIG u{};
    _FRAMERATE_CONFIG fr{};
    sxsim::FaultConfig f;
    f.withholdResponses = true;
    this->SetFaults(f);
    EXPECT_EQ(sxcmd_dev_units(this->ctx, this->dev, CMD_ACTION_GET, &u), E_CTXERR_DEV_RECV_QUEUE_EMPTY);

    // An answer that comes after the time-out is found by the next command.
    f = {};
    f.faultCmd = CMD_UNITS;
    f.responseDelayMs = 300;
    this->SetFaults(f);
    ASSERT_EQ(sxdev_timeoutms(this->ctx, this->dev, 1, 0), E_SX_SUCCESS); // 50 ms
    EXPECT_EQ(sxcmd_dev_units(this->ctx, this->dev, CMD_ACTION_GET, &u), E_CTXERR_DEV_RECV_QUEUE_EMPTY);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    this->SetFaults({});
    ASSERT_EQ(sxdev_timeoutms(this->ctx, this->dev, 0, this->kPatientMs), E_SX_SUCCESS);
    // The simulated serial line sends a delayed answer when it next wakes
    // for a command, so there the stale answer may come a command later.
    int r = E_SX_SUCCESS;
    for (int i = 0; i < 5 && r == E_SX_SUCCESS; ++i)
        r = sxcmd_dev_framerate(this->ctx, this->dev, CMD_ACTION_GET, &fr);
    EXPECT_EQ(r, E_SXERR_CMDRSP_MISMATCH);
    EXPECT_EQ(sxcmd_dev_framerate(this->ctx, this->dev, CMD_ACTION_GET, &fr), E_SX_SUCCESS);

    f = {};
    f.faultCmd = CMD_UNITS;
    f.corruptResponseEveryN = 1;
    this->SetFaults(f);
    EXPECT_EQ(sxcmd_dev_units(this->ctx, this->dev, CMD_ACTION_GET, &u), E_SXERR_INVALID_CRC | (CMD_UNITS << 16));
}

TYPED_TEST(Commands, Generic1HandsBackTheResponseHeader)
{
    int seuid = 0, action = CMD_ACTION_GET, command = CMD_UNITS, arg1 = 0, arg2 = 0;
    unsigned len = 8;
    unsigned char buf[8] = {};
    ASSERT_EQ(sxcmd_dev_generic1(this->ctx, this->dev, &seuid, &action, &command, &arg1, &arg2, &len, buf),
              E_SX_SUCCESS);
    EXPECT_EQ(seuid, 7);
    EXPECT_EQ(command, CMD_UNITS);
    EXPECT_EQ(action, CMD_ACTION_ACK);
    EXPECT_EQ(len, 8u);

    sxsim::FaultConfig nak;
    nak.nakAll = true;
    this->SetFaults(nak);
    action = CMD_ACTION_GET;
    len = 8;
    std::memset(buf, 0xEE, sizeof buf);
    EXPECT_EQ(sxcmd_dev_generic1(this->ctx, this->dev, &seuid, &action, &command, &arg1, &arg2, &len, buf),
              E_SXERR_NAK_RESP);
    EXPECT_EQ(action, CMD_ACTION_NAK);
    EXPECT_EQ(command, CMD_UNITS);
    EXPECT_EQ(len, 0u); // the NAK carries no payload
    EXPECT_EQ(buf[0], 0xEE);

    // No answer: nothing is written back.
    sxsim::FaultConfig quiet;
    quiet.withholdResponses = true;
    this->SetFaults(quiet);
    action = CMD_ACTION_GET;
    command = CMD_UNITS;
    len = 8;
    EXPECT_EQ(sxcmd_dev_generic1(this->ctx, this->dev, &seuid, &action, &command, &arg1, &arg2, &len, buf),
              E_CTXERR_DEV_RECV_QUEUE_EMPTY);
    EXPECT_EQ(action, CMD_ACTION_GET);
    EXPECT_EQ(len, 8u);
}

TYPED_TEST(Commands, ReportsHandBackTheRecordTexts)
{
    const char* text = nullptr;
    ASSERT_EQ(sxcmd_dev_whoami_report(this->ctx, this->dev, &text), E_SX_SUCCESS);
    _WHOAMI_STRUCT who = this->link.Unit().UnitIdentity();
    CWhoAmI w(&who);
    std::string expect;
    w.Report(expect, false, false);
    EXPECT_EQ(text, expect);

    const wchar_t* wtext = nullptr;
    ASSERT_EQ(sxcmd_dev_bit_reportW(this->ctx, this->dev, &wtext), E_SX_SUCCESS);
    _BIT_STRUCT bit{};
    CBitResult b(&bit);
    std::wstring wexpect;
    b.ReportW(wexpect, false, false);
    EXPECT_EQ(std::wstring(wtext), wexpect);

    _WHOAMI_STRUCT sns = this->link.Unit().SensorIdentity(1);
    CWhoAmI s(&sns);
    expect.clear();
    s.ReportSnum(expect, false, false);
    ASSERT_EQ(sxcmd_sns_whoami_report(this->ctx, this->dev, 1, &text), E_SX_SUCCESS);
    EXPECT_EQ(text, expect);

    const char* keep = "kept";
    EXPECT_EQ(sxcmd_sns_whoami_report(this->ctx, this->dev, 17, &keep), E_SXERR_INVALID_SENSOR);
    EXPECT_STREQ(keep, "kept");

    char line[200];
    // "% 4u   %-16s   %s": the blank flag does nothing for an unsigned value.
    std::snprintf(line, sizeof line, "%4u   %-16s   %s\r\n", 7u, who.hw_ser_no, who.device_name);
    ASSERT_EQ(sxctx_dev_report(this->ctx, &text), E_SX_SUCCESS);
    EXPECT_EQ(text, std::string(line));
    ASSERT_EQ(sxdev_reportW(this->ctx, this->dev, &wtext), E_SX_SUCCESS);
    EXPECT_EQ(std::wstring(wtext), std::wstring(line, line + std::strlen(line)));

    void* identity = nullptr;
    int seuid = 0;
    ASSERT_EQ(sxdev_info(this->ctx, this->dev, &identity, &seuid), E_SX_SUCCESS);
    EXPECT_EQ(seuid, 7);
    EXPECT_EQ(std::memcmp(identity, &who, sizeof who), 0);
}

TYPED_TEST(Commands, DeviceThatDisappearsFailsAndReleasesCleanly)
{
    ASSERT_EQ(this->StartStream(), E_SX_SUCCESS);
    ASSERT_TRUE(this->WaitQueued(2));
    this->link.Vanish();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    _UNITS_CONFIG u{};
    const int r = sxcmd_dev_units(this->ctx, this->dev, CMD_ACTION_GET, &u);
    if (TypeParam::kUsb) {
        const bool writeFailed = (r & 0xFFFF) == E_DEVIOERR_USB_WRITERR && (r >> 16) == -4; // LIBUSB_ERROR_NO_DEVICE
        EXPECT_TRUE(writeFailed || r == E_DEVIOERR_NO_CNX) << r;
    } else {
        // The line is gone: the write fails, or nothing answers.
        EXPECT_TRUE((r & 0xFFFF) == E_DEVIOERR_SER_WRITERR || r == E_CTXERR_DEV_RECV_QUEUE_EMPTY) << r;
    }
    sxctx_dev_release(this->ctx, this->dev);
    int n = -1;
    EXPECT_EQ(sxctx_dev_count(this->ctx, &n), E_SX_SUCCESS);
    EXPECT_EQ(n, 0);
}

TYPED_TEST(Commands, ContextReleasedWhileAnotherThreadCallsIntoIt)
{
    ASSERT_EQ(this->StartStream(), E_SX_SUCCESS);
    std::atomic<bool> go{true};
    std::atomic<int> unexpected{0};
    std::atomic<int> afterRelease{0};
    std::atomic<bool> released{false};
    void* ctx = this->ctx;
    void* dev = this->dev;
    std::thread caller([&] {
        while (go) {
            _UNITS_CONFIG u{};
            _sxFrameInfo fi{};
            const bool wasReleased = released;
            int r1 = sxcmd_dev_units(ctx, dev, CMD_ACTION_GET, &u);
            int r2 = sxctx_dev_lastpnofraw(ctx, dev, &fi);
            for (int r : {r1, r2}) {
                if (r != E_SX_SUCCESS && r != E_SXERR_INVALID_CONTEXT && r != E_CTXERR_INVALID_DEVHND &&
                    r != E_CTXERR_NO_MORE_DATA && r != E_CTXERR_DEV_RECV_QUEUE_EMPTY)
                    ++unexpected;
                if (wasReleased && r != E_SXERR_INVALID_CONTEXT)
                    ++unexpected;
            }
            if (wasReleased && ++afterRelease > 20)
                break;
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(sxcmdif_release(ctx), E_SX_SUCCESS);
    released = true;
    this->ctx = nullptr;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    go = false;
    caller.join();
    EXPECT_EQ(unexpected, 0);
    EXPECT_GT(afterRelease, 0);
}

// A command report the tracker refuses hands nothing back, narrow or wide:
// the caller's pointer keeps what it held. The device reports, which need
// no exchange, still hand back their text on the same context.
TYPED_TEST(Commands, RefusedReportsLeaveTheCallersPointer)
{
    sxsim::FaultConfig nak;
    nak.nakAll = true;
    this->SetFaults(nak);
    const char* keep = "kept";
    const wchar_t* wkeep = L"kept";
    EXPECT_EQ(sxcmd_dev_bit_report(this->ctx, this->dev, &keep), E_SXERR_NAK_RESP);
    EXPECT_EQ(sxcmd_dev_whoami_reportW(this->ctx, this->dev, &wkeep), E_SXERR_NAK_RESP);
    EXPECT_EQ(sxcmd_dev_sourcewhoami_report(this->ctx, this->dev, 0, &keep), E_SXERR_NAK_RESP);
    EXPECT_EQ(sxcmd_sns_whoami_reportW(this->ctx, this->dev, 1, &wkeep), E_SXERR_NAK_RESP);
    EXPECT_STREQ(keep, "kept");
    EXPECT_STREQ(wkeep, L"kept");

    ASSERT_EQ(sxdev_report(this->ctx, this->dev, &keep), E_SX_SUCCESS);
    EXPECT_EQ(std::string(keep).substr(0, 4), "   7");
    ASSERT_EQ(sxctx_dev_reportW(this->ctx, &wkeep), E_SX_SUCCESS);
    EXPECT_EQ(std::wstring(wkeep), std::wstring(keep, keep + std::strlen(keep)));
}
