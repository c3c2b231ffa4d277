// Checks that need no tracker: unknown handles, catalogue refusals made
// before the device is looked at, and missing out-parameters.
#include "DeviceLinks.h"

#include <SXCmdIF/protocol/SXframe.h>
#include <SXCmdIF/records/SXpayloads.h>

namespace {

class NoTracker : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(sxcmdif_init(&ctx), E_SX_SUCCESS); }
    void TearDown() override { sxcmdif_release(ctx); }
    void* ctx = nullptr;
    int bogus = 0;
    void* dev = &bogus; // not a device of any context
};

} // namespace

TEST_F(NoTracker, UnknownContextIsRefusedFirst)
{
    int dead = 0;
    void* out = &dead;
    _UNITS_CONFIG u{};
    _sxFrameInfo fi{};
    const char* text = nullptr;
    int n = 0;
    EXPECT_EQ(sxctx_connectusb(&dead, out, PID_SORIX), E_SXERR_INVALID_CONTEXT);
    EXPECT_EQ(sxctx_connectser(&dead, out, 1, 0), E_SXERR_INVALID_CONTEXT);
    EXPECT_EQ(sxctx_dev_count(&dead, &n), E_SXERR_INVALID_CONTEXT);
    EXPECT_EQ(sxcmd_dev_units(&dead, dev, CMD_ACTION_ACK, &u), E_SXERR_INVALID_CONTEXT);
    EXPECT_EQ(sxcmd_sns_ftthome(&dead, dev, 0, CMD_ACTION_GET, nullptr, eFTTHomeMethod{}), E_SXERR_INVALID_CONTEXT);
    EXPECT_EQ(sxctx_dev_fifopnof(&dead, dev, &fi), E_SXERR_INVALID_CONTEXT);
    EXPECT_EQ(sxcmd_dev_whoami_report(&dead, dev, &text), E_SXERR_INVALID_CONTEXT);
    EXPECT_EQ(out, &dead);
}

TEST_F(NoTracker, CatalogueChecksComeBeforeTheDevice)
{
    _UNITS_CONFIG u{};
    _FILTER_CONFIG f{};
    EXPECT_EQ(sxcmd_dev_units(ctx, dev, CMD_ACTION_ACK, &u), E_SXERR_INVALID_ACTION);
    EXPECT_EQ(sxcmd_dev_whoami(ctx, dev, nullptr), E_SXERR_INVALID_PARAMS);
    EXPECT_EQ(sxcmd_dev_units(ctx, dev, CMD_ACTION_SET, nullptr), E_SXERR_INVALID_PARAMS);
    EXPECT_EQ(sxcmd_sns_filter(ctx, dev, 0, CMD_ACTION_GET, nullptr, 0), E_SXERR_INVALID_PARAMS);
    EXPECT_EQ(sxcmd_dev_selfcalsave(ctx, dev, CMD_ACTION_GET), E_SXERR_INVALID_ACTION);
    // Allowed and complete: now the device decides.
    EXPECT_EQ(sxcmd_dev_units(ctx, dev, CMD_ACTION_GET, &u), E_CTXERR_INVALID_DEVHND);
    EXPECT_EQ(sxcmd_sns_filter(ctx, dev, 0, CMD_ACTION_RESET, nullptr, 0), E_CTXERR_INVALID_DEVHND);
    EXPECT_EQ(sxcmd_sns_filter(ctx, dev, 17, CMD_ACTION_GET, &f, 0), E_CTXERR_INVALID_DEVHND);
    EXPECT_EQ(sxcmd_sns_ftthome(ctx, dev, 0, CMD_ACTION_GET, nullptr, eFTTHomeMethod{}), E_SXERR_NOT_IMPLEMENTED);
}

TEST_F(NoTracker, UnknownDeviceIs20AndReadersEmptyTheirRecord)
{
    _sxFrameInfo fi{reinterpret_cast<unsigned char*>(this), 5, 6, 7, 8};
    EXPECT_EQ(sxctx_dev_lastpnofraw(ctx, dev, &fi), E_CTXERR_INVALID_DEVHND);
    EXPECT_EQ(fi.pFrame, nullptr);
    EXPECT_EQ(fi.frameLen + fi.seqNum + uint64_t(fi.errCode) + fi.timeStamp, 0u);
    unsigned frames = 0;
    int bytes = 0;
    unsigned char buf[64];
    unsigned char* pbuf = buf;
    int len = sizeof buf;
    EXPECT_EQ(sxctx_dev_fifo_unread_count(ctx, dev, &frames, &bytes), E_CTXERR_INVALID_DEVHND);
    EXPECT_EQ(sxctx_dev_fifo_readrawbuf(ctx, dev, &frames, &pbuf, &len), E_CTXERR_INVALID_DEVHND);
    EXPECT_EQ(sxctx_dev_release(ctx, dev), E_CTXERR_INVALID_DEVHND);
    EXPECT_EQ(sxdev_timeoutms(ctx, dev, 1, 0), E_CTXERR_INVALID_DEVHND);
    EXPECT_EQ(sxdev_pnousb_buffer(ctx, dev, 8), E_CTXERR_INVALID_DEVHND);
    EXPECT_EQ(sxcmd_dev_singlepno(ctx, dev, fi, 0), E_CTXERR_INVALID_DEVHND);
    const char* text = "untouched";
    EXPECT_EQ(sxdev_report(ctx, dev, &text), E_CTXERR_INVALID_DEVHND);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(sxcmd_dev_bit_report(ctx, dev, &text), E_CTXERR_INVALID_DEVHND);
}

TEST_F(NoTracker, MissingOutParametersAre8)
{
    EXPECT_EQ(sxctx_dev_count(ctx, nullptr), E_SXERR_INVALID_PARAMS);
    EXPECT_EQ(sxctx_dev_report(ctx, nullptr), E_SXERR_INVALID_PARAMS);
    EXPECT_EQ(sxctx_dev_reportW(ctx, nullptr), E_SXERR_INVALID_PARAMS);
    EXPECT_EQ(sxdev_info(ctx, dev, nullptr, nullptr), E_SXERR_INVALID_PARAMS);
    EXPECT_EQ(sxdev_report(ctx, dev, nullptr), E_SXERR_INVALID_PARAMS);
    EXPECT_EQ(sxctx_dev_fifopnof(ctx, dev, nullptr), E_SXERR_INVALID_PARAMS);
    EXPECT_EQ(sxctx_dev_fifo_unread_count(ctx, dev, nullptr, nullptr), E_SXERR_INVALID_PARAMS);
    EXPECT_EQ(sxcmd_dev_whoami_reportW(ctx, dev, nullptr), E_SXERR_INVALID_PARAMS);
    unsigned len = 0;
    EXPECT_EQ(sxcmd_dev_generic1(ctx, dev, nullptr, nullptr, nullptr, nullptr, nullptr, &len, nullptr),
              E_SXERR_INVALID_PARAMS);
    // From C a reference out-parameter is a pointer, and may be null.
    auto connect = reinterpret_cast<int (*)(void*, void**, uint16_t)>(reinterpret_cast<void (*)()>(&sxctx_connectusb));
    EXPECT_EQ(connect(ctx, nullptr, PID_SORIX), E_SXERR_INVALID_PARAMS);
    auto single =
        reinterpret_cast<int (*)(void*, void*, _sxFrameInfo*, int)>(reinterpret_cast<void (*)()>(&sxcmd_dev_singlepno));
    EXPECT_EQ(single(ctx, dev, nullptr, 0), E_SXERR_INVALID_PARAMS);
    int n = -1;
    EXPECT_EQ(sxctx_dev_count(ctx, &n), E_SX_SUCCESS);
    EXPECT_EQ(n, 0);
    const char* text = nullptr;
    EXPECT_EQ(sxctx_dev_report(ctx, &text), E_SX_SUCCESS);
    EXPECT_STREQ(text, "");
}
