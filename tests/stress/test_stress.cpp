// Stress: four application threads issue commands and read P&O data on the
// devices of one context while they stream: two serial trackers at 960 Hz
// over pseudo-terminals and a USB tracker at 240 Hz on the emulated USB
// device. Every exchange ends with a documented code; a watchdog fails the
// test when no call has returned for 20 s (a deadlock). The run lasts
// SX_STRESS_SECONDS (60 by default; the sanitizer runs shorten it).
#include "testsupport/SimLink.h"

#include "testsupport/simusb/SimUsb.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <random>
#include <thread>

using namespace sxfault;
using namespace std::chrono_literals;

namespace {

class Watchdog {
public:
    explicit Watchdog(std::atomic<uint64_t>& progress) : m_progress(progress)
    {
        m_thread = std::thread([this] {
            uint64_t last = m_progress.load();
            auto since = Clock::now();
            while (!m_stop.load()) {
                std::this_thread::sleep_for(200ms);
                const uint64_t now = m_progress.load();
                if (now != last) {
                    last = now;
                    since = Clock::now();
                } else if (Clock::now() - since > 20s) {
                    std::fprintf(stderr, "stress: no call returned for 20 s: deadlock\n");
                    std::fflush(stderr);
                    std::abort();
                }
            }
        });
    }
    ~Watchdog()
    {
        m_stop = true;
        m_thread.join();
    }

private:
    std::atomic<uint64_t>& m_progress;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

struct Tally {
    std::mutex mtx;
    std::map<int, uint64_t> codes;
    std::map<std::string, uint64_t> undocumented;
    void Add(const char* what, int r)
    {
        std::lock_guard<std::mutex> lock(mtx);
        ++codes[Low(r)];
        if (!Documented(r))
            ++undocumented[std::string(what) + " " + std::to_string(r)];
    }
};

int Exchange(void* ctx, void* dev, std::mt19937& rng, Tally& tally)
{
    int r = 0;
    const char* what = "";
    switch (rng() % 12) {
    case 0: {
        _UNITS_CONFIG u{};
        what = "units";
        r = sxcmd_dev_units(ctx, dev, CMD_ACTION_GET, &u);
        break;
    }
    case 1: {
        _FRAMERATE_CONFIG f{};
        what = "framerate";
        r = sxcmd_dev_framerate(ctx, dev, CMD_ACTION_GET, &f);
        break;
    }
    case 2: {
        _FILTER_CONFIG f{};
        what = "filter";
        r = sxcmd_sns_filter(ctx, dev, static_cast<int>(rng() % 4), CMD_ACTION_GET, &f, 0);
        break;
    }
    case 3: {
        _WHOAMI_STRUCT w{};
        what = "whoami";
        r = sxcmd_dev_whoami(ctx, dev, &w);
        break;
    }
    case 4: {
        _HEMISPHERE_CONFIG h{};
        what = "hemisphere";
        r = sxcmd_sns_hemisphere(ctx, dev, 0, CMD_ACTION_GET, &h);
        if (r == 0)
            r = sxcmd_sns_hemisphere(ctx, dev, 0, CMD_ACTION_SET, &h);
        break;
    }
    case 5: {
        _sxFrameInfo f{};
        what = "fifopnofraw";
        r = sxctx_dev_fifopnofraw(ctx, dev, &f);
        if (r == 0 && (f.frameLen < 28 || sxwire::GetLE32(f.pFrame + 4) + 8 != f.frameLen))
            r = -1000; // a frame that is not whole
        break;
    }
    case 6: {
        _sxFrameInfo f{};
        what = "lastpnof";
        r = sxctx_dev_lastpnof(ctx, dev, &f);
        break;
    }
    case 7: {
        unsigned char buf[4096];
        unsigned char* p = buf;
        unsigned frames = 16;
        int len = sizeof buf;
        what = "readrawbuf";
        r = sxctx_dev_fifo_readrawbuf(ctx, dev, &frames, &p, &len);
        if (r == 0 && (len < 0 || len > static_cast<int>(sizeof buf)))
            r = -1001;
        break;
    }
    case 8: {
        unsigned frames;
        int bytes;
        what = "unread";
        r = sxctx_dev_fifo_unread_count(ctx, dev, &frames, &bytes);
        if (r == 0 && frames > 1920)
            r = -1002;
        break;
    }
    case 9: {
        _sxFrameInfo f{};
        what = "singlepno";
        r = sxcmd_dev_singlepno(ctx, dev, f, 0);
        break;
    }
    case 10: {
        void* id = nullptr;
        int seuid = 0;
        what = "info";
        r = sxdev_info(ctx, dev, &id, &seuid);
        break;
    }
    default: {
        _BIT_STRUCT b{};
        what = "bit";
        r = sxcmd_dev_bit(ctx, dev, &b);
        break;
    }
    }
    tally.Add(what, r);
    return r;
}

TEST(Stress, FourThreadsTwoSerialOneUsbStreaming)
{
    const int seconds = Seconds("SX_STRESS_SECONDS", 60);
    sxtest::usbemu::UsbTestbed bed;
    sxsim::SimConfig cfg;
    cfg.rateHz = 960;
    auto serial = StartSerial(2, cfg, true);
    ASSERT_EQ(serial.size(), 2u);
    sxsim::SimConfig ucfg;
    ucfg.rateHz = 240;
    ucfg.seuid = 9;
    auto usb = sxsim::UsbSim::Start(bed, ucfg);
    ASSERT_TRUE(usb);

    void* ctx = nullptr;
    ASSERT_EQ(sxcmdif_init(&ctx), 0);
    std::vector<void*> devs(3, nullptr);
    ASSERT_EQ(sxctx_connectser(ctx, devs[0], 1, 0), 0);
    ASSERT_EQ(sxctx_connectser(ctx, devs[1], 2, 0), 0);
    ASSERT_EQ(sxctx_connectusb(ctx, devs[2], PID_SORIX), 0);
    for (void* d : devs) {
        ASSERT_EQ(sxdev_timeoutms(ctx, d, 0, 200), 0);
        ASSERT_EQ(sxcmd_dev_contpno(ctx, d, CMD_ACTION_SET, nullptr, 0), 0);
    }

    std::atomic<uint64_t> progress{0};
    std::atomic<bool> stop{false};
    Tally tally;
    {
        Watchdog dog(progress);
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&, t] {
                std::mt19937 rng(static_cast<unsigned>(t * 7919 + 1));
                while (!stop.load()) {
                    // Threads 0 and 1 mostly on the serial devices, 2 and 3
                    // on all three.
                    void* d = devs[t < 2 ? (rng() % 4 == 0 ? 2 : t) : rng() % 3];
                    Exchange(ctx, d, rng, tally);
                    ++progress;
                }
            });
        }
        const auto end = Clock::now() + std::chrono::seconds(seconds);
        while (Clock::now() < end && !::testing::Test::HasFatalFailure())
            std::this_thread::sleep_for(100ms);
        stop = true;
        for (auto& t : threads)
            t.join();
        // Stopping and releasing end within their time as well.
        for (void* d : devs) {
            int r = 1;
            for (int i = 0; i < 5 && r != 0; ++i)
                r = sxcmd_dev_contpno(ctx, d, CMD_ACTION_RESET, nullptr, 0);
            EXPECT_EQ(r, 0);
            ++progress;
        }
        EXPECT_EQ(sxcmdif_release(ctx), 0);
        ++progress;
    }
    uint64_t total = 0;
    std::string summary;
    for (const auto& [code, n] : tally.codes) {
        total += n;
        summary += " " + std::to_string(code) + ":" + std::to_string(n);
    }
    std::printf("stress: %d s, %llu calls; codes%s\n", seconds, (unsigned long long)total, summary.c_str());
    for (const auto& [what, n] : tally.undocumented)
        ADD_FAILURE() << what << " (" << n << " times) is not a documented code";
    EXPECT_GT(tally.codes[0], total / 4); // most calls succeed
    (void)usb;
}

} // namespace
