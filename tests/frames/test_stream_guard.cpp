// The stream guard of the frames layer, in the process that hosts the
// emulated USB device: a tracker unplugged mid-stream is a lost line, and a
// tracker plugged in again (reset, as a power cycle leaves it) is connected
// again, its settings made again, and the gap closed by its first frame.
#include <frames/StreamGuard.h>
#include <items/ItemTable.h>
#include <items/SettingsJournal.h>

#include "testsupport/simusb/SimUsb.h"

#include <SXCmdIF/SXCmdIF.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace {

using Kind = sxframes::StreamEvent::Kind;
using Clock = std::chrono::steady_clock;

int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

sxsim::SimConfig Config()
{
    sxsim::SimConfig cfg;
    cfg.sensors = 2;
    cfg.rateHz = 120;
    return cfg;
}

class GuardOverUsb : public ::testing::Test {
protected:
    void SetUp() override
    {
        sims.push_back(sxsim::UsbSim::Start(bed, Config()));
        ASSERT_TRUE(sims.back());
        ASSERT_EQ(sxcmdif_init(&ctx), E_SX_SUCCESS);
        ASSERT_EQ(Connect(dev), E_SX_SUCCESS);
    }
    void TearDown() override
    {
        if (ctx) {
            EXPECT_EQ(sxcmdif_release(ctx), E_SX_SUCCESS);
        }
    }
    int Connect(void*& d)
    {
        const int rc = sxctx_connectusb(ctx, d, PID_SORIX);
        if (rc == E_SX_SUCCESS)
            sxdev_timeoutms(ctx, d, 0, 1000); // a loaded machine
        return rc;
    }
    // Takes frames and the guard's events until pred(event) holds or the
    // time is up; the events seen, the last one last.
    std::vector<sxframes::StreamEvent> Until(sxframes::StreamGuard& g, Kind kind, int seconds,
                                             sxframes::StreamGap* gap = nullptr)
    {
        std::vector<sxframes::StreamEvent> seen;
        const auto end = Clock::now() + std::chrono::seconds(seconds);
        while (Clock::now() < end) {
            _sxFrameInfo f{};
            while (g.Dev() && sxctx_dev_fifopnofraw(ctx, g.Dev(), &f) == E_SX_SUCCESS) {
                ++frames;
                sxframes::StreamGap closed;
                if (g.Frame(f.pFrame, f.frameLen, NowNs(), &closed) && gap)
                    *gap = closed;
            }
            for (sxframes::StreamEvent e; (e = g.Poll(NowNs())).kind != Kind::None;) {
                seen.push_back(e);
                if (e.kind == kind)
                    return seen;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return seen;
    }

    sxtest::usbemu::UsbTestbed bed;
    std::vector<std::unique_ptr<sxsim::UsbSim>> sims;
    void* ctx = nullptr;
    void* dev = nullptr;
    uint64_t frames = 0;
};

} // namespace

TEST_F(GuardOverUsb, UnpluggedIsALostLineAndPluggedInAgainStreamsOnWithItsSettings)
{
    // A setting the session made, noted as the applications note theirs.
    const sxitems::Item& units = *sxitems::FindItem("units");
    _UNITS_CONFIG cm{POS_CM, ORI_EULER_DEGREE};
    ASSERT_EQ(units.unit(ctx, dev, CMD_ACTION_SET, &cm, 0), E_SX_SUCCESS);
    sxitems::SettingsJournal journal;
    journal.Note(units, sxitems::ItemLevel::Unit, 0, CMD_ACTION_SET, &cm, 0);

    int attempts = 0;
    sxframes::StreamGuard::Options options;
    options.reconnect = true;
    sxframes::StreamGuard guard(
        ctx, dev, options,
        [&](void*& d) {
            ++attempts;
            if (d)
                sxctx_dev_release(ctx, d);
            d = nullptr;
            return Connect(d);
        },
        [&](void* d) { return sxcmd_dev_contpno(ctx, d, CMD_ACTION_SET, nullptr, 0); }, &journal);
    ASSERT_EQ(sxcmd_dev_contpno(ctx, dev, CMD_ACTION_SET, nullptr, 0), E_SX_SUCCESS);
    guard.Begin(NowNs());
    Until(guard, Kind::Lost, 1);
    ASSERT_GT(frames, 20u);

    bed.Unplug(sims.back()->Device());
    const auto unplugged = Clock::now();
    std::vector<sxframes::StreamEvent> seen = Until(guard, Kind::Lost, 10);
    ASSERT_FALSE(seen.empty());
    const sxframes::StreamEvent lost = seen.back();
    ASSERT_EQ(lost.kind, Kind::Lost);
    EXPECT_EQ(lost.cause, sxframes::LossCause::Unplugged);
    EXPECT_EQ(lost.text, "line lost: the USB device was unplugged; connecting again every second");
    std::printf("lost line found %lld ms after the unplugging\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - unplugged).count()));
    EXPECT_TRUE(guard.Lost());

    // Plugged in again: a tracker as a power cycle leaves it, in inches.
    sims.push_back(sxsim::UsbSim::Start(bed, Config()));
    ASSERT_TRUE(sims.back());
    sxframes::StreamGap gap;
    seen = Until(guard, Kind::Reconnected, 15, &gap);
    ASSERT_FALSE(seen.empty());
    ASSERT_EQ(seen.back().kind, Kind::Reconnected) << seen.back().text;
    EXPECT_GE(attempts, 1);
    EXPECT_FALSE(guard.Lost());
    EXPECT_NE(guard.Dev(), nullptr);
    EXPECT_EQ(gap.cause, sxframes::LossCause::Unplugged);
    EXPECT_TRUE(gap.estimated); // its frame count started again
    EXPECT_GT(gap.silentNs, 0);
    EXPECT_EQ(seen.back().missed, gap.missed);
    const sxframes::StreamCounts counts = guard.Counts();
    EXPECT_EQ(counts.losses, 1u);
    EXPECT_EQ(counts.reconnections, 1u);
    EXPECT_EQ(counts.framesMissed, gap.missed);

    // The settings made again: the new unit is in centimetres.
    _UNITS_CONFIG now{};
    ASSERT_EQ(sxcmd_dev_units(ctx, guard.Dev(), CMD_ACTION_GET, &now), E_SX_SUCCESS);
    EXPECT_EQ(now.pos_units, static_cast<uint32_t>(POS_CM));
    sxcmd_dev_contpno(ctx, guard.Dev(), CMD_ACTION_RESET, nullptr, 0);
}
