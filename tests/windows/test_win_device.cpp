// The library on Windows (SXCmdIF.dll) against the simulated tracker on a
// COM port: connection, command round trips, P&O into the queue and into a
// callback with nothing lost, release while streaming, and USB without
// libusb-1.0.dll.
#include "WinTest.h"

#include <SXCmdIF/SXCmdIF.h>

#include <atomic>
#include <mutex>
#include <vector>

using namespace wintest;

namespace {

constexpr size_t kFrames = 2000; // at 240 Hz: about 8 s

// The P&O frame counts and queue sequence numbers that arrived.
struct Arrivals {
    std::mutex mutex;
    std::vector<uint32_t> counts, seqs;
    size_t Size()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return counts.size();
    }
    static void CB(void* arg, unsigned char* frame, unsigned int length)
    {
        auto* self = static_cast<Arrivals*>(arg);
        std::lock_guard<std::mutex> lock(self->mutex);
        if (length >= 28)
            self->counts.push_back(sxwire::GetLE32(frame + SX_OFF_FRAMENUM));
    }
};

void ExpectConsecutive(const std::vector<uint32_t>& v, const char* what)
{
    for (size_t i = 1; i < v.size(); ++i)
        ASSERT_EQ(v[i], v[i - 1] + 1) << what << " at " << i;
}

class WinDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_GT(SimPort(), 0) << "run through with_sim.sh";
        ASSERT_EQ(sxcmdif_init(&ctx), 0);
        ASSERT_EQ(sxctx_connectser(ctx, dev, SimPort(), 0), 0);
    }
    void TearDown() override
    {
        if (dev) {
            EXPECT_EQ(sxctx_dev_release(ctx, dev), 0);
        }
        EXPECT_EQ(sxcmdif_release(ctx), 0);
    }
    int Stream(bool on) { return sxcmd_dev_contpno(ctx, dev, on ? CMD_ACTION_SET : CMD_ACTION_RESET, nullptr, 0); }
    // The stop's answer may queue behind frames still in flight.
    void StopStream()
    {
        int r = 1;
        for (int i = 0; i < 5 && r != 0; ++i)
            r = Stream(false);
        EXPECT_EQ(r, 0);
    }

    void* ctx = nullptr;
    void* dev = nullptr;
};

} // namespace

TEST_F(WinDevice, ConnectsOnTheComPort)
{
    const wchar_t* text = nullptr;
    ASSERT_EQ(sxctx_dev_reportW(ctx, &text), 0);
    ASSERT_NE(text, nullptr);
    const std::wstring report(text);
    EXPECT_NE(report.find(L"SXSIM Tracker SEU"), std::wstring::npos) << report.c_str();
    int count = 0;
    EXPECT_EQ(sxctx_dev_count(ctx, &count), 0);
    EXPECT_EQ(count, 1);
}

TEST_F(WinDevice, GetSetResetRoundTrips)
{
    _UNITS_CONFIG units{};
    ASSERT_EQ(sxcmd_dev_units(ctx, dev, CMD_ACTION_GET, &units), 0);
    const _UNITS_CONFIG initial = units;
    _UNITS_CONFIG wanted = initial;
    wanted.pos_units = initial.pos_units == POS_CM ? POS_INCH : POS_CM;
    wanted.ori_units = initial.ori_units == ORI_QUATERNION ? ORI_EULER_DEGREE : ORI_QUATERNION;
    ASSERT_EQ(sxcmd_dev_units(ctx, dev, CMD_ACTION_SET, &wanted), 0);
    ASSERT_EQ(sxcmd_dev_units(ctx, dev, CMD_ACTION_GET, &units), 0);
    EXPECT_EQ(units.pos_units, wanted.pos_units);
    EXPECT_EQ(units.ori_units, wanted.ori_units);
    ASSERT_EQ(sxcmd_dev_units(ctx, dev, CMD_ACTION_RESET, &units), 0);
    ASSERT_EQ(sxcmd_dev_units(ctx, dev, CMD_ACTION_GET, &units), 0);
    EXPECT_EQ(units.pos_units, initial.pos_units);
    EXPECT_EQ(units.ori_units, initial.ori_units);
}

TEST_F(WinDevice, PnoIntoTheQueueNothingLost)
{
    Arrivals got;
    ASSERT_EQ(Stream(true), 0);
    const auto end = Clock::now() + std::chrono::seconds(30);
    while (got.counts.size() < kFrames && Clock::now() < end) {
        _sxFrameInfo f{};
        while (sxctx_dev_fifopnofraw(ctx, dev, &f) == 0) {
            ASSERT_GE(f.frameLen, 28u);
            got.counts.push_back(sxwire::GetLE32(f.pFrame + SX_OFF_FRAMENUM));
            got.seqs.push_back(f.seqNum);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    StopStream();
    ASSERT_GE(got.counts.size(), kFrames);
    ExpectConsecutive(got.counts, "frame count");
    ExpectConsecutive(got.seqs, "sequence number");
}

TEST_F(WinDevice, PnoIntoACallbackNothingLost)
{
    Arrivals got;
    ASSERT_EQ(sxdev_SetPnoCallback(ctx, dev, &Arrivals::CB, &got), 0);
    ASSERT_EQ(Stream(true), 0);
    EXPECT_TRUE(WaitUntil([&] { return got.Size() >= kFrames; }, 30000));
    StopStream();
    std::lock_guard<std::mutex> lock(got.mutex);
    ASSERT_GE(got.counts.size(), kFrames);
    ExpectConsecutive(got.counts, "frame count");
}

TEST_F(WinDevice, ReleaseWhileStreaming)
{
    ASSERT_EQ(Stream(true), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto t = Clock::now();
    EXPECT_EQ(sxctx_dev_release(ctx, dev), 0);
    EXPECT_LT(MsSince(t), 2000);
    dev = nullptr;
    int count = -1;
    EXPECT_EQ(sxctx_dev_count(ctx, &count), 0);
    EXPECT_EQ(count, 0);
}

// Without libusb-1.0.dll every USB connection fails as when libusb cannot
// be initialised: E_SXERR_LIBUSB with -1 as its detail.
TEST(WinUsb, ConnectionFailsWithoutTheDll)
{
    void* ctx = nullptr;
    ASSERT_EQ(sxcmdif_init(&ctx), 0);
    void* dev = nullptr;
    const int r = sxctx_connectusb(ctx, dev, PID_SORIX);
    EXPECT_EQ(r, static_cast<int>(0xFFFF0000u | E_SXERR_LIBUSB));
    EXPECT_EQ(dev, nullptr);
    EXPECT_STREQ(sxcmdif_errorStr(r), "E_SXERR_LIBUSB");
    EXPECT_EQ(sxcmdif_release(ctx), 0);
}
