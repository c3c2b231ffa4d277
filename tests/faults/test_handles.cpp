// Handles across threads: a device or a context released on one thread
// while other threads call into it. Each call either completes first or
// returns 20 (device) or 4 (context); nothing crashes or touches freed
// memory (the sanitizer builds see to the latter).
#include "FaultFixture.h"

#include <atomic>
#include <cwchar>
#include <random>
#include <shared_mutex>

using namespace sxfault;
using namespace std::chrono_literals;

namespace {

// Calls into ctx/dev in a loop until stop; counts results outside allowed.
struct Caller {
    std::atomic<bool> stop{false};
    std::atomic<int> bad{0}, calls{0}, refused{0};
    int refusal = 0; // the code of a released handle
    std::atomic<int> lastBad{0};
    // A frame handed out lives in its device's store, readable until the
    // device is released: the readers look at one only before the release
    // has begun (the application's side of that contract).
    std::shared_mutex frames;
    bool released = false;

    void MarkReleased()
    {
        std::unique_lock<std::shared_mutex> lock(frames);
        released = true;
    }

    void Run(void* ctx, void* dev, int which)
    {
        while (!stop.load()) {
            int r = 0;
            switch (which % 6) {
            case 0: {
                unsigned frames;
                int bytes;
                r = sxctx_dev_fifo_unread_count(ctx, dev, &frames, &bytes);
                break;
            }
            case 1: {
                _UNITS_CONFIG units{};
                r = sxcmd_dev_units(ctx, dev, CMD_ACTION_GET, &units);
                break;
            }
            case 2: {
                _sxFrameInfo f{};
                r = sxctx_dev_lastpnofraw(ctx, dev, &f);
                if (r == 0 && f.pFrame) {
                    std::shared_lock<std::shared_mutex> lock(frames);
                    if (!released) {
                        volatile unsigned char b = f.pFrame[f.frameLen - 1];
                        (void)b;
                    }
                }
                break;
            }
            case 3: {
                const char* text = nullptr;
                r = sxdev_report(ctx, dev, &text);
                break;
            }
            case 4:
                r = sxdev_timeoutms(ctx, dev, 0, 60);
                break;
            default: {
                unsigned char buf[2048];
                unsigned char* p = buf;
                unsigned frames = 3;
                int len = sizeof buf;
                r = sxctx_dev_fifo_readrawbuf(ctx, dev, &frames, &p, &len);
                break;
            }
            }
            ++calls;
            if (r == refusal)
                ++refused;
            else if (!(r == 0 || r == E_CTXERR_NO_MORE_DATA || r == E_CTXERR_DEV_RECV_QUEUE_EMPTY ||
                       r == E_SXERR_CMDRSP_MISMATCH || r == E_CTXERR_INVALID_DEVHND)) {
                lastBad = r;
                ++bad;
            }
        }
    }
};

class Handles : public SimFixture {};

TEST_F(Handles, DeviceReleasedWhileCalled)
{
    sxsim::SimConfig cfg;
    cfg.rateHz = 480;
    sims = StartSerial(1, cfg);
    ASSERT_EQ(sims.size(), 1u);
    ASSERT_EQ(sxcmdif_init(&ctx), 0);
    std::mt19937 rng(5);
    for (int round = 0; round < 12; ++round) {
        void* dev = nullptr;
        ASSERT_EQ(sxctx_connectser(ctx, dev, 1, 0), 0) << round;
        ASSERT_EQ(Stream(dev, true), 0);
        Caller c;
        c.refusal = E_CTXERR_INVALID_DEVHND;
        std::vector<std::thread> threads;
        for (int i = 0; i < 4; ++i)
            threads.emplace_back([&, i] { c.Run(ctx, dev, i + round); });
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + rng() % 80));
        c.MarkReleased();
        const int r = sxctx_dev_release(ctx, dev);
        EXPECT_TRUE(r == 0 || Documented(r)) << r;
        std::this_thread::sleep_for(20ms);
        c.stop = true;
        for (auto& t : threads)
            t.join();
        EXPECT_EQ(c.bad.load(), 0) << "round " << round << ", last " << c.lastBad.load();
        EXPECT_GT(c.refused.load(), 0) << round;
        // The sim keeps streaming after the release; let the line settle.
        std::this_thread::sleep_for(30ms);
    }
}

TEST_F(Handles, ContextReleasedWhileCalled)
{
    sxsim::SimConfig cfg;
    cfg.rateHz = 480;
    sims = StartSerial(1, cfg);
    ASSERT_EQ(sims.size(), 1u);
    std::mt19937 rng(9);
    for (int round = 0; round < 12; ++round) {
        void* c0 = nullptr;
        ASSERT_EQ(sxcmdif_init(&c0), 0);
        void* dev = nullptr;
        ASSERT_EQ(sxctx_connectser(c0, dev, 1, 0), 0) << round;
        ASSERT_EQ(sxcmd_dev_contpno(c0, dev, CMD_ACTION_SET, nullptr, 0), 0);
        Caller c;
        c.refusal = E_SXERR_INVALID_CONTEXT;
        std::vector<std::thread> threads;
        for (int i = 0; i < 4; ++i)
            threads.emplace_back([&, i] { c.Run(c0, dev, i + round); });
        // Threads that create and release contexts of their own at the
        // same time.
        std::thread churn([&] {
            while (!c.stop.load()) {
                void* x = nullptr;
                if (sxcmdif_init(&x) == 0)
                    sxcmdif_release(x);
            }
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + rng() % 80));
        c.MarkReleased();
        EXPECT_EQ(sxcmdif_release(c0), 0);
        std::this_thread::sleep_for(20ms);
        c.stop = true;
        for (auto& t : threads)
            t.join();
        churn.join();
        EXPECT_EQ(c.bad.load(), 0) << "round " << round << ", last " << c.lastBad.load();
        EXPECT_GT(c.refused.load(), 0) << round;
        std::this_thread::sleep_for(30ms);
    }
}

// Report texts of several threads on one context: each thread's text is its
// own and stays as it was while the other threads make reports.
TEST_F(Handles, ReportTextsOfThreadsStayApart)
{
    Start(2);
    std::string expected[2];
    for (int i = 0; i < 2; ++i) {
        const char* text = nullptr;
        ASSERT_EQ(sxdev_report(ctx, devs[static_cast<size_t>(i)], &text), 0);
        expected[i] = text;
    }
    ASSERT_NE(expected[0], expected[1]);
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 2; ++i)
        threads.emplace_back([&, i] {
            for (int n = 0; n < 2000; ++n) {
                const char* text = nullptr;
                const wchar_t* wide = nullptr;
                if (sxdev_report(ctx, devs[static_cast<size_t>(i)], &text) != 0)
                    ++wrong;
                std::this_thread::yield(); // the other thread's report comes between
                if (expected[i] != text || sxctx_dev_reportW(ctx, &wide) != 0 || std::wcslen(wide) < 2)
                    ++wrong;
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(wrong.load(), 0);
}

} // namespace
