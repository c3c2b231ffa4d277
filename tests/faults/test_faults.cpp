// Faults end to end with the simulated tracker: the device disappearing
// during streaming and during a command, garbage on the serial line, CRC
// errors, frames with too many sensors or a sensor number out of range,
// responses just before and just after the time-out, the P&O queue bound,
// a slow callback, and a context released while its devices stream.
#include "FaultFixture.h"

#include <atomic>
#include <set>

using namespace sxfault;
using namespace std::chrono_literals;

namespace {

int64_t MsSince(Clock::time_point t)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

// Frame counts follow each other with no gap.
void ExpectConsecutive(const std::vector<Received>& got)
{
    for (size_t i = 1; i < got.size(); ++i)
        ASSERT_EQ(got[i].framenum, got[i - 1].framenum + 1) << "gap after frame " << got[i - 1].framenum;
}

// The simulator's thread takes a new fault setting on its next round.
void Apply(sxsim::SerialSim& sim, const sxsim::FaultConfig& f)
{
    sim.SetFaults(f);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
}

class Faults : public SimFixture {};

TEST_F(Faults, DeviceGoneDuringStreaming)
{
    Start(1, {});
    void* dev = devs[0];
    ASSERT_EQ(Stream(dev, true), 0);
    std::this_thread::sleep_for(300ms);
    unsigned frames = 0;
    int bytes = 0;
    ASSERT_EQ(sxctx_dev_fifo_unread_count(ctx, dev, &frames, &bytes), 0);
    EXPECT_GT(frames, 0u);
    sims[0]->CloseLine();
    // Every later exchange ends, with a documented failure, within its time.
    for (int i = 0; i < 5; ++i) {
        _UNITS_CONFIG units{};
        const auto t = Clock::now();
        const int r = sxcmd_dev_units(ctx, dev, CMD_ACTION_GET, &units);
        EXPECT_TRUE(Documented(r)) << r;
        EXPECT_NE(r, 0);
        EXPECT_LT(MsSince(t), 1500);
    }
    // What was received stays readable.
    _sxFrameInfo f{};
    EXPECT_EQ(sxctx_dev_fifopnofraw(ctx, dev, &f), 0);
    const auto t = Clock::now();
    EXPECT_EQ(sxctx_dev_release(ctx, dev), 0);
    EXPECT_LT(MsSince(t), 2000);
    int count = -1;
    EXPECT_EQ(sxctx_dev_count(ctx, &count), 0);
    EXPECT_EQ(count, 0);
}

TEST_F(Faults, DeviceGoneDuringCommand)
{
    Start(1, {});
    void* dev = devs[0];
    ASSERT_EQ(sxdev_timeoutms(ctx, dev, 0, 1000), 0);
    sxsim::FaultConfig f;
    f.responseDelayMs = 400;
    Apply(*sims[0], f);
    std::thread unplug([&] {
        std::this_thread::sleep_for(100ms);
        sims[0]->CloseLine();
    });
    _UNITS_CONFIG units{};
    const auto t = Clock::now();
    const int r = sxcmd_dev_units(ctx, dev, CMD_ACTION_GET, &units);
    unplug.join();
    EXPECT_TRUE(Documented(r)) << r;
    EXPECT_TRUE(Low(r) == E_CTXERR_DEV_RECV_QUEUE_EMPTY || Low(r) == E_DEVIOERR_NO_CNX) << r;
    EXPECT_LT(MsSince(t), 1500);
    const int r2 = sxcmd_dev_units(ctx, dev, CMD_ACTION_GET, &units);
    EXPECT_TRUE(Documented(r2) && r2 != 0) << r2;
    EXPECT_EQ(sxctx_dev_release(ctx, dev), 0);
}

TEST_F(Faults, GarbageBeforeFramesLosesNoFrame)
{
    sxsim::SimConfig cfg;
    cfg.rateHz = 240;
    Start(1, cfg);
    sxsim::FaultConfig f;
    f.garbageEveryN = 3;
    f.garbageLen = 7;
    sims[0]->SetFaults(f);
    const auto before = sims[0]->Stats();
    const std::vector<Received> got = StreamFor(devs[0], 1500);
    const auto after = sims[0]->Stats();
    ASSERT_GT(got.size(), 100u);
    ExpectConsecutive(got);
    EXPECT_EQ(got.size(), after.framesSent - before.framesSent);
}

TEST_F(Faults, GarbageOfEveryLength)
{
    sxsim::SimConfig cfg;
    cfg.rateHz = 240;
    Start(1, cfg);
    for (uint32_t len : {1u, 3u, 8u, 31u, 64u}) {
        sxsim::FaultConfig f;
        f.garbageEveryN = 2;
        f.garbageLen = len;
        sims[0]->SetFaults(f);
        const auto before = sims[0]->Stats();
        const std::vector<Received> got = StreamFor(devs[0], 500);
        const auto after = sims[0]->Stats();
        ASSERT_GT(got.size(), 30u) << "garbage of " << len;
        ExpectConsecutive(got);
        EXPECT_EQ(got.size(), after.framesSent - before.framesSent) << "garbage of " << len;
    }
}

// A frame cut short takes the start of the next one as the rest of its
// body; that pair fails its CRC, the reader finds the frame after it, and
// nothing more is lost.
TEST_F(Faults, TruncatedFrameCostsItAndTheNextOnly)
{
    sxsim::SimConfig cfg;
    cfg.rateHz = 240;
    Start(1, cfg);
    sxsim::FaultConfig f;
    f.truncateEveryN = 10;
    sims[0]->SetFaults(f);
    const std::vector<Received> got = StreamFor(devs[0], 1500);
    ASSERT_GT(got.size(), 100u);
    int gaps = 0;
    for (size_t i = 1; i < got.size(); ++i) {
        const uint32_t step = got[i].framenum - got[i - 1].framenum;
        if (step == 1)
            continue;
        ++gaps;
        EXPECT_EQ(step, 3u) << "after frame " << got[i - 1].framenum;
    }
    EXPECT_GE(gaps, 10);
}

TEST_F(Faults, CrcErrorsDroppedOrMarked)
{
    sxsim::SimConfig cfg;
    cfg.rateHz = 240;
    Start(1, cfg);
    sxsim::FaultConfig f;
    f.corruptFrameEveryN = 4;
    sims[0]->SetFaults(f);
    std::vector<Received> got = StreamFor(devs[0], 1000);
    ASSERT_GT(got.size(), 50u);
    // Dropped: one frame count in four is missing, never two in a row.
    size_t gaps = 0;
    for (size_t i = 1; i < got.size(); ++i) {
        const uint32_t d = got[i].framenum - got[i - 1].framenum;
        ASSERT_TRUE(d == 1 || d == 2) << d;
        gaps += d - 1;
        EXPECT_EQ(got[i].hpinfo & 0xFF00u, 0u);
    }
    EXPECT_GT(gaps, got.size() / 4);

    // Passed on with the CRC mark.
    ASSERT_EQ(sxdev_pnofrmerr_allow(ctx, devs[0], true), 0);
    got = StreamFor(devs[0], 1000);
    ASSERT_GT(got.size(), 50u);
    size_t marked = 0;
    for (size_t i = 1; i < got.size(); ++i) {
        EXPECT_EQ(got[i].framenum, got[i - 1].framenum + 1);
        marked += (got[i].hpinfo & SX_HPINFO_CRCERR) ? 1 : 0;
    }
    EXPECT_NEAR(static_cast<double>(marked), got.size() / 4.0, 3.0);
}

TEST_F(Faults, TooManySensorsAndSensorNumbers)
{
    sxsim::SimConfig cfg;
    cfg.rateHz = 240;
    Start(1, cfg);
    sxsim::FaultConfig f;
    f.extraSensorEveryN = 5;
    f.sensor16EveryN = 7;
    sims[0]->SetFaults(f);
    std::vector<Received> got = StreamFor(devs[0], 1000);
    ASSERT_GT(got.size(), 50u);
    for (const Received& r : got) {
        EXPECT_LE(r.snscnt, 16u);
        EXPECT_EQ(r.hpinfo & 0xFF00u, 0u);
    }
    ASSERT_EQ(sxdev_pnofrmerr_allow(ctx, devs[0], true), 0);
    got = StreamFor(devs[0], 1000);
    size_t marked = 0, seventeen = 0;
    for (const Received& r : got) {
        marked += (r.hpinfo & SX_HPINFO_SNSERR) ? 1 : 0;
        seventeen += r.snscnt == 17 ? 1 : 0;
    }
    EXPECT_GT(seventeen, 0u);
    EXPECT_GE(marked, seventeen);
    // Sensor numbers unchecked: the frames with sensor 16 come through
    // unmarked.
    ASSERT_EQ(sxdev_pnofrmerr_allow(ctx, devs[0], false), 0);
    ASSERT_EQ(sxdev_pnovalidate_sensor(ctx, devs[0], false), 0);
    got = StreamFor(devs[0], 600);
    ASSERT_GT(got.size(), 30u);
}

TEST_F(Faults, ResponsesAroundTheTimeOut)
{
    Start(1, {});
    void* dev = devs[0];
    ASSERT_EQ(sxdev_timeoutms(ctx, dev, 0, 250), 0);
    sxsim::FaultConfig f;
    f.responseDelayMs = 150; // well inside the time-out
    Apply(*sims[0], f);
    _UNITS_CONFIG units{};
    EXPECT_EQ(sxcmd_dev_units(ctx, dev, CMD_ACTION_GET, &units), 0);

    f.responseDelayMs = 350; // after it
    Apply(*sims[0], f);
    const auto t = Clock::now();
    EXPECT_EQ(sxcmd_dev_units(ctx, dev, CMD_ACTION_GET, &units), E_CTXERR_DEV_RECV_QUEUE_EMPTY);
    EXPECT_LT(MsSince(t), 340);
    f.responseDelayMs = 0;
    Apply(*sims[0], f);
    std::this_thread::sleep_for(200ms); // the late answer arrives and waits
    // The next command of another kind discards it.
    _FRAMERATE_CONFIG rate{};
    const int r = sxcmd_dev_framerate(ctx, dev, CMD_ACTION_GET, &rate);
    EXPECT_TRUE(r == E_SXERR_CMDRSP_MISMATCH || r == 0) << r;
    EXPECT_EQ(sxcmd_dev_framerate(ctx, dev, CMD_ACTION_GET, &rate), 0);
    EXPECT_EQ(sxcmd_dev_units(ctx, dev, CMD_ACTION_GET, &units), 0);

    // Just before: 40 ms of margin, many times.
    ASSERT_EQ(sxdev_timeoutms(ctx, dev, 0, 120), 0);
    f.responseDelayMs = 80;
    Apply(*sims[0], f);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(sxcmd_dev_units(ctx, dev, CMD_ACTION_GET, &units), 0) << i;
    // Just after: 40 ms late; every exchange still ends with a documented
    // code and the device recovers once answers are quick again.
    f.responseDelayMs = 160;
    Apply(*sims[0], f);
    for (int i = 0; i < 5; ++i) {
        const int e = sxcmd_dev_units(ctx, dev, CMD_ACTION_GET, &units);
        EXPECT_TRUE(e == E_CTXERR_DEV_RECV_QUEUE_EMPTY || e == 0) << e; // a late answer matches the next GET
    }
    f.responseDelayMs = 0;
    Apply(*sims[0], f);
    std::this_thread::sleep_for(250ms);
    int ok = 0;
    for (int i = 0; i < 5; ++i)
        ok += sxcmd_dev_units(ctx, dev, CMD_ACTION_GET, &units) == 0;
    EXPECT_GE(ok, 4);
}

TEST_F(Faults, QueueBoundAt1920)
{
    sxsim::SimConfig cfg;
    cfg.rateHz = 960;
    Start(1, cfg);
    void* dev = devs[0];
    ASSERT_EQ(Stream(dev, true), 0);
    std::this_thread::sleep_for(2600ms); // about 2500 frames, none read
    int r = 1;
    for (int i = 0; i < 5 && r != 0; ++i)
        r = Stream(dev, false);
    ASSERT_EQ(r, 0);
    std::this_thread::sleep_for(150ms);
    unsigned frames = 0;
    int bytes = 0;
    ASSERT_EQ(sxctx_dev_fifo_unread_count(ctx, dev, &frames, &bytes), 0);
    EXPECT_EQ(frames, 1920u);
    std::vector<Received> got;
    Drain(dev, got);
    ASSERT_EQ(got.size(), 1920u);
    ExpectConsecutive(got); // the oldest went first
    EXPECT_GT(got.front().framenum, 400u);
}

TEST_F(Faults, SlowCallback)
{
    sxsim::SimConfig cfg;
    cfg.rateHz = 960;
    Start(1, cfg);
    void* dev = devs[0];
    static std::atomic<int> calls{0};
    calls = 0;
    auto slow = [](void*, unsigned char*, unsigned int) {
        ++calls;
        std::this_thread::sleep_for(std::chrono::milliseconds(4));
    };
    ASSERT_EQ(sxdev_SetPnoCallback(ctx, dev, slow, nullptr), 0);
    ASSERT_EQ(sxdev_timeoutms(ctx, dev, 0, 200), 0);
    ASSERT_EQ(Stream(dev, true), 0);
    const auto end = Clock::now() + 1500ms;
    int answered = 0;
    while (Clock::now() < end) {
        _UNITS_CONFIG units{};
        const int e = sxcmd_dev_units(ctx, dev, CMD_ACTION_GET, &units);
        EXPECT_TRUE(Documented(e)) << e;
        answered += e == 0;
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_GT(calls.load(), 100);
    EXPECT_GT(answered, 0);
    ASSERT_EQ(sxdev_SetPnoCallback(ctx, dev, nullptr, nullptr), 0);
    int r = 1;
    for (int i = 0; i < 10 && r != 0; ++i)
        r = Stream(dev, false);
    EXPECT_EQ(r, 0);
    const auto t = Clock::now();
    EXPECT_EQ(sxctx_dev_release(ctx, dev), 0);
    EXPECT_LT(MsSince(t), 3000);
}

TEST_F(Faults, ContextReleasedWhileDevicesStream)
{
    sxsim::SimConfig cfg;
    cfg.rateHz = 960;
    Start(2, cfg);
    static std::atomic<int> calls{0};
    calls = 0;
    auto count = [](void*, unsigned char*, unsigned int) { ++calls; };
    ASSERT_EQ(sxdev_SetPnoCallback(ctx, devs[1], count, nullptr), 0);
    ASSERT_EQ(Stream(devs[0], true), 0);
    ASSERT_EQ(Stream(devs[1], true), 0);
    std::this_thread::sleep_for(500ms);
    EXPECT_GT(calls.load(), 100);
    const auto t = Clock::now();
    ASSERT_EQ(sxcmdif_release(ctx), 0);
    EXPECT_LT(MsSince(t), 3000);
    void* released = ctx;
    ctx = nullptr;
    const int after = calls.load();
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(calls.load(), after); // no callback after the release returned
    unsigned frames = 0;
    int bytes = 0;
    EXPECT_EQ(sxctx_dev_fifo_unread_count(released, devs[0], &frames, &bytes), E_SXERR_INVALID_CONTEXT);
}

} // namespace
