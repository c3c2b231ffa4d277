// A stream of the simulated tracker read through the library as an
// application reads it, each frame stamped by a FrameClock and compared with
// the simulator's own record of when the frame was measured.
#pragma once

#include <frames/FrameClock.h>

#include <simulator/SimTracker.h>
#include <simulator/TruthRing.h>

#include <SXCmdIF/SXCmdIF.h>
#include <sxwire/LEWords.h>
#include <SXCmdIF/protocol/SXframe.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace clocktest {

struct Sample {
    uint32_t frame;
    int64_t arrivalNs;
    int64_t stampNs;
};

// Errors against the truth after removing one constant offset (the
// transport's delay, which no host can see): their 99th percentile and
// largest, and the arrivals' 99th percentile the same way, in microseconds.
struct Verdict {
    size_t frames = 0;
    double p99Us = 0, maxUs = 0, arrivalP99Us = 0;
};

inline double Percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[static_cast<size_t>(p / 100.0 * static_cast<double>(v.size() - 1))];
}

inline std::vector<double> Deviations(const std::vector<double>& v)
{
    const double mid = Percentile(v, 50);
    std::vector<double> d;
    for (double x : v)
        d.push_back(std::fabs(x - mid));
    return d;
}

inline int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class ClockRun {
public:
    ~ClockRun()
    {
        if (m_ctx)
            sxcmdif_release(m_ctx);
        if (m_sim)
            m_sim->SetTruthSink(nullptr);
    }

    // A simulated tracker at rateHz, its clock drifting by driftPpm, its
    // line delaying each frame by up to jitterMs; connected.
    void Start(int rateHz, double driftPpm, double jitterMs, uint32_t firstCount = 0)
    {
        sxsim::SimConfig cfg;
        cfg.rateHz = rateHz;
        cfg.sensors = 1;
        cfg.driftPpm = driftPpm;
        std::string error;
        m_sim = sxsim::SerialSim::Start(cfg, &error);
        ASSERT_TRUE(m_sim) << error;
        m_sim->SetTruthSink(m_truth.get());
        sxsim::FaultConfig line;
        line.jitterUs = static_cast<uint32_t>(jitterMs * 1000);
        m_sim->SetFaults(line);
        m_sim->Unit().SetFrameCount(firstCount);
        setenv("SXSERIO_PORTS", m_sim->SlavePath().c_str(), 1);
        ASSERT_EQ(sxcmdif_init(&m_ctx), E_SX_SUCCESS);
        Connect();
        m_clock.SetNominalPeriodNs(1000000000LL / rateHz);
        m_samples.reserve(200000);
    }
    // The serial connection allows its first answers only 50 ms: a loaded
    // machine is given three tries.
    void Connect()
    {
        int r = E_SXERR_NOTFOUND;
        for (int i = 0; i < 3 && r != E_SX_SUCCESS; ++i)
            r = sxctx_connectser(m_ctx, m_dev, 1, 0);
        ASSERT_EQ(r, E_SX_SUCCESS);
        ASSERT_EQ(sxdev_timeoutms(m_ctx, m_dev, 0, 1000), E_SX_SUCCESS);
        ASSERT_EQ(sxdev_tsenable(m_ctx, m_dev, true), E_SX_SUCCESS);
    }
    void Disconnect()
    {
        ASSERT_EQ(sxctx_dev_release(m_ctx, m_dev), E_SX_SUCCESS);
        m_dev = nullptr;
    }
    void Stream(bool on)
    {
        ASSERT_EQ(sxcmd_dev_contpno(m_ctx, m_dev, on ? CMD_ACTION_SET : CMD_ACTION_RESET, nullptr, 0), E_SX_SUCCESS);
    }
    // Sets the tracker's rate mid-stream and tells the clock, as an
    // application that sets it does.
    void SetRate(int hz)
    {
        _FRAMERATE_CONFIG rate{};
        rate.frame_rate = static_cast<uint32_t>(std::log2(hz / 30));
        ASSERT_EQ(sxcmd_dev_framerate(m_ctx, m_dev, CMD_ACTION_SET, &rate), E_SX_SUCCESS);
        m_clock.SetNominalPeriodNs(1000000000LL / hz);
    }
    // Takes the queued frames for the given time, each stamped as it is
    // taken; marks where the run stood before.
    size_t Read(double seconds)
    {
        const size_t mark = Taken();
        const int64_t end = NowNs() + static_cast<int64_t>(seconds * 1e9);
        while (NowNs() < end) {
            TakeQueued();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        TakeQueued();
        return mark;
    }
    // Frames through the P&O callback instead, stamped on the reading
    // thread, which holds itself up for stallMs every everyMs as a loaded
    // host would hold it: frames wait in the line, then come in a burst.
    void HoldUpReadingThread(int everyMs, int stallMs)
    {
        m_everyNs = static_cast<int64_t>(everyMs) * 1000000;
        m_stallMs = stallMs;
        m_nextStallNs = NowNs() + m_everyNs;
        ASSERT_EQ(sxdev_SetPnoCallback(m_ctx, m_dev, &ClockRun::OnFrame, this), E_SX_SUCCESS);
    }
    void StopCallback() { ASSERT_EQ(sxdev_SetPnoCallback(m_ctx, m_dev, nullptr, nullptr), E_SX_SUCCESS); }
    static void OnFrame(void* arg, unsigned char* frame, unsigned int length)
    {
        auto* self = static_cast<ClockRun*>(arg);
        const int64_t arrival = NowNs();
        if (length >= SX_OFF_FRAMENUM + 4) {
            const uint32_t count = sxwire::GetLE32(frame + SX_OFF_FRAMENUM);
            std::lock_guard<std::mutex> lock(self->m_samplesMtx);
            if (self->m_samples.size() < self->m_samples.capacity())
                self->m_samples.push_back({count, arrival, self->m_clock.Stamp(count, arrival).monotonicNs});
        }
        if (arrival >= self->m_nextStallNs) {
            std::this_thread::sleep_for(std::chrono::milliseconds(self->m_stallMs));
            self->m_nextStallNs = arrival + self->m_everyNs;
        }
    }
    void TakeQueued()
    {
        _sxFrameInfo f{};
        while (sxctx_dev_fifopnofraw(m_ctx, m_dev, &f) == E_SX_SUCCESS) {
            const uint32_t count = sxwire::GetLE32(f.pFrame + SX_OFF_FRAMENUM);
            const auto arrival = static_cast<int64_t>(f.timeStamp);
            std::lock_guard<std::mutex> lock(m_samplesMtx);
            m_samples.push_back({count, arrival, m_clock.Stamp(count, arrival).monotonicNs});
        }
    }
    // The frames taken from index from to to, frames the simulator has no
    // record of left out; the first settleS seconds after from are the
    // clock's to learn in.
    Verdict Judge(size_t from, size_t to, double settleS) const
    {
        std::vector<double> err, late;
        to = std::min(to, m_samples.size());
        if (from >= to)
            return {};
        const int64_t settled = m_samples[from].arrivalNs + static_cast<int64_t>(settleS * 1e9);
        for (size_t i = from; i < to; ++i) {
            const Sample& s = m_samples[i];
            const int64_t truth = m_truth->At(s.frame);
            if (truth == 0 || s.arrivalNs < settled)
                continue;
            err.push_back(static_cast<double>(s.stampNs - truth) / 1e3);
            late.push_back(static_cast<double>(s.arrivalNs - truth) / 1e3);
        }
        Verdict v;
        v.frames = err.size();
        const std::vector<double> d = Deviations(err);
        v.p99Us = Percentile(d, 99);
        v.maxUs = Percentile(d, 100);
        v.arrivalP99Us = Percentile(Deviations(late), 99);
        std::printf("clock: %zu frames, error p99 %.1f us, max %.1f us; arrivals p99 %.1f us\n", v.frames, v.p99Us,
                    v.maxUs, v.arrivalP99Us);
        return v;
    }
    // Every stamp after the one before, and never after its frame's arrival.
    void ExpectForwardAndCausal() const
    {
        for (size_t i = 0; i < m_samples.size(); ++i) {
            ASSERT_LE(m_samples[i].stampNs, m_samples[i].arrivalNs) << "frame " << m_samples[i].frame;
            if (i > 0) {
                ASSERT_GT(m_samples[i].stampNs, m_samples[i - 1].stampNs) << "frame " << m_samples[i].frame;
            }
        }
    }
    // The period the unit's clock really has at hz.
    static double TruePeriodNs(int hz, double driftPpm) { return 1e9 / hz / (1.0 + driftPpm * 1e-6); }

    sxframes::FrameClock& Clock() { return m_clock; }
    sxsim::SerialSim& Sim() { return *m_sim; }
    void* Ctx() const { return m_ctx; }
    void* Dev() const { return m_dev; }
    size_t Taken() const
    {
        std::lock_guard<std::mutex> lock(m_samplesMtx);
        return m_samples.size();
    }

private:
    std::unique_ptr<sxsim::TruthRing> m_truth = std::make_unique<sxsim::TruthRing>();
    std::unique_ptr<sxsim::SerialSim> m_sim;
    void* m_ctx = nullptr;
    void* m_dev = nullptr;
    sxframes::FrameClock m_clock;
    // Filled by the reading thread while the callback is set, read by the
    // test's thread meanwhile.
    mutable std::mutex m_samplesMtx;
    std::vector<Sample> m_samples;
    int64_t m_everyNs = 0, m_nextStallNs = 0;
    int m_stallMs = 0;
};

// What a settled clock must do on this line whatever the machine's load:
// stay well inside the arrivals' jitter.
constexpr double kLoadedP99Us = 1000;

inline std::ostream& operator<<(std::ostream& os, const Verdict& v)
{
    return os << v.frames << " frames, error p99 " << v.p99Us << " us, max " << v.maxUs << " us, arrivals p99 "
              << v.arrivalP99Us << " us";
}

} // namespace clocktest
