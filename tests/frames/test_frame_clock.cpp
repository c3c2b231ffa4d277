// The frame clock model against the simulated tracker's truth: each test
// streams through the library with one thing a real stream does (drift and
// jitter with lost frames, a wrapping and reset frame count, a rate set
// mid-stream, a stream stopped and started again, a held-up host, a tracker
// reconnected) and checks the stamps against when the simulator measured
// each frame. Stamps never run backwards nor come after their frame.
#include "ClockRun.h"

#include <chrono>
#include <thread>

using clocktest::ClockRun;
using clocktest::kLoadedP99Us;
using clocktest::Verdict;

TEST(FrameClock, LearnsTheDriftThroughJitterAndLostFrames)
{
    ClockRun run;
    run.Start(960, 400, 4);
    sxsim::FaultConfig f;
    f.jitterUs = 4000;
    f.dropEveryN = 5;
    run.Sim().SetFaults(f);
    run.Stream(true);
    run.Read(4);
    run.Stream(false);
    const Verdict v = run.Judge(0, run.Taken(), 1.5);
    ASSERT_GT(v.frames, 1500u) << v;
    EXPECT_LE(v.p99Us, kLoadedP99Us) << v;
    EXPECT_LT(v.p99Us * 3, v.arrivalP99Us) << v;
    // The nominal period is 400 ppm off: the frames told the real one.
    EXPECT_NEAR(run.Clock().PeriodNs() / ClockRun::TruePeriodNs(960, 400), 1.0, 100e-6);
    EXPECT_EQ(run.Clock().Restarts(), 0u);
    run.ExpectForwardAndCausal();
}

TEST(FrameClock, FollowsACountThatWrapsAndIsSetBack)
{
    ClockRun run;
    run.Start(960, -50, 2, 0xFFFFFFFFu - 900); // wraps about a second in
    run.Stream(true);
    run.Read(2.5);
    // Judged now: the counts after the reset are those after the wrap.
    const Verdict wrapped = run.Judge(0, run.Taken(), 1.0);
    EXPECT_GT(wrapped.frames, 1000u) << wrapped;
    EXPECT_LE(wrapped.p99Us, kLoadedP99Us) << wrapped;
    ASSERT_EQ(sxcmd_dev_reset_framecount(run.Ctx(), run.Dev()), E_SX_SUCCESS);
    const size_t reset = run.Read(2.5);
    run.Stream(false);
    const Verdict after = run.Judge(reset, run.Taken(), 1.5);
    EXPECT_GT(after.frames, 500u) << after;
    EXPECT_LE(after.p99Us, kLoadedP99Us) << after;
    EXPECT_EQ(run.Clock().Restarts(), 0u);
    EXPECT_EQ(run.Clock().Reanchors(), 1u);
    run.ExpectForwardAndCausal();
}

TEST(FrameClock, MovesToARateSetMidStream)
{
    ClockRun run;
    run.Start(480, 100, 2);
    run.Stream(true);
    run.Read(2);
    run.SetRate(960);
    const size_t faster = run.Read(2);
    run.SetRate(480);
    const size_t slower = run.Read(2);
    run.Stream(false);
    for (const Verdict& v :
         {run.Judge(0, faster, 1.0), run.Judge(faster, slower, 1.0), run.Judge(slower, run.Taken(), 1.0)}) {
        EXPECT_GT(v.frames, 300u) << v;
        EXPECT_LE(v.p99Us, kLoadedP99Us) << v;
    }
    EXPECT_NEAR(run.Clock().PeriodNs() / ClockRun::TruePeriodNs(480, 100), 1.0, 200e-6);
    EXPECT_EQ(run.Clock().Restarts(), 0u);
    EXPECT_EQ(run.Clock().Reanchors(), 2u);
    run.ExpectForwardAndCausal();
}

TEST(FrameClock, StartsAgainWhenAStreamIsStoppedAndStarted)
{
    ClockRun run;
    run.Start(960, 100, 2);
    run.Stream(true);
    run.Read(2);
    // Stopped and started again unannounced: the count stood still while
    // time went on, a step the clock finds and counts.
    run.Stream(false);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    run.TakeQueued();
    run.Stream(true);
    const size_t unannounced = run.Read(2.5);
    EXPECT_EQ(run.Clock().Restarts(), 1u);
    // Announced (Reset): nothing to find.
    run.Stream(false);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    run.TakeQueued();
    run.Clock().Reset();
    run.Stream(true);
    const size_t announced = run.Read(2);
    run.Stream(false);
    for (const Verdict& v : {run.Judge(unannounced, announced, 1.0), run.Judge(announced, run.Taken(), 1.0)}) {
        EXPECT_GT(v.frames, 500u) << v;
        EXPECT_LE(v.p99Us, kLoadedP99Us) << v;
    }
    EXPECT_EQ(run.Clock().Restarts(), 1u);
    run.ExpectForwardAndCausal();
}

TEST(FrameClock, KeepsStillThroughBurstsFromAHeldUpHost)
{
    ClockRun run;
    run.Start(960, 100, 0);
    run.HoldUpReadingThread(300, 30);
    run.Stream(true);
    // The callback alone takes the frames meanwhile: the samples are the
    // reading thread's until it is stopped.
    std::this_thread::sleep_for(std::chrono::seconds(4));
    run.Stream(false);
    run.StopCallback();
    const Verdict v = run.Judge(0, run.Taken(), 1.5);
    ASSERT_GT(v.frames, 2000u) << v;
    EXPECT_GT(v.arrivalP99Us, 10000) << "the host was not held up: " << v;
    EXPECT_LE(v.p99Us, kLoadedP99Us) << v;
    EXPECT_EQ(run.Clock().Restarts(), 0u);
    run.ExpectForwardAndCausal();
}

TEST(FrameClock, FollowsATrackerReconnectedWithItsCountFromZero)
{
    ClockRun run;
    run.Start(960, 100, 2, 5000000);
    run.Stream(true);
    run.Read(2);
    run.Stream(false);
    run.TakeQueued();
    run.Disconnect();
    run.Sim().Unit().SetFrameCount(0); // powered on again
    run.Connect();
    run.Stream(true);
    const size_t again = run.Read(2.5);
    run.Stream(false);
    const Verdict v = run.Judge(again, run.Taken(), 1.5);
    EXPECT_GT(v.frames, 500u) << v;
    EXPECT_LE(v.p99Us, kLoadedP99Us) << v;
    EXPECT_EQ(run.Clock().Restarts(), 0u);
    EXPECT_EQ(run.Clock().Reanchors(), 1u);
    run.ExpectForwardAndCausal();
}
