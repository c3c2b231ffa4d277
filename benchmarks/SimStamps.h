// The simulated tracker's P&O records with the time each frame was built
// (it goes out right after), kept by frame count; and latencies of frames
// measured from those times. Set as the simulator's truth sink as well, it
// takes the time once the frame is built and is about to be written
// instead: this machine's host now and then stops it for milliseconds, and
// a stop in the middle of building a frame is the simulator's, not the
// line's or the library's.
#pragma once

#include "AllocHook.h"
#include "PerfRow.h"

#include <sxwire/LEWords.h>
#include <SXCmdIF/protocol/SXframe.h>
#include <simulator/PnoSource.h>
#include <simulator/SimUnit.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <string>
#include <memory>
#include <thread>
#include <vector>

namespace sxperf {

class StampSource : public sxsim::PnoSource, public sxsim::TruthSink {
public:
    static constexpr size_t kStamps = 1u << 16;
    StampSource() : m_inner(sxsim::MakeMotionSource(7, false)) {}
    unsigned Records(const sxsim::PnoRequest& req, unsigned char* out, unsigned maxRecords) override
    {
        t_allocsIgnored = true; // the simulator's thread is not the library
        m_stamps[req.framenum & (kStamps - 1)].store(NowNs(), std::memory_order_relaxed);
        return m_inner->Records(req, out, maxRecords);
    }
    // The truth sink: the frame is whole and goes out next. Its time replaces
    // the one taken as it was built; no reader has the frame yet.
    void Measured(uint32_t frameCount, int64_t) override
    {
        m_stamps[frameCount & (kStamps - 1)].store(NowNs(), std::memory_order_relaxed);
    }
    int64_t IntervalNs() const override { return m_intervalNs.load(std::memory_order_relaxed); }

    int64_t Stamp(uint32_t fc) const { return m_stamps[fc & (kStamps - 1)].load(std::memory_order_relaxed); }
    std::atomic<int64_t> m_intervalNs{0};

private:
    std::unique_ptr<sxsim::PnoSource> m_inner;
    std::array<std::atomic<int64_t>, kStamps> m_stamps{};
};

// Latencies in microseconds, kept only while recording is on; room is made
// before a measurement so that keeping one allocates nothing.
struct Latencies {
    const StampSource* source = nullptr;
    std::vector<double> us;
    std::vector<int64_t> when;  // arrival times, kept beside us for SX_PERF_DUMP
    std::vector<size_t> starts; // where each measured segment begins in us

    void Start()
    {
        starts.push_back(us.size());
        recording = true;
    }
    void Stop() { recording = false; }
    // The median over the segments of each segment's p-th percentile: a
    // stall of the machine that hits one segment moves it less than it moves
    // the percentile of all samples together.
    double SegmentPercentile(double p) const
    {
        std::vector<double> each;
        for (size_t k = 0; k < starts.size(); ++k) {
            const size_t end = k + 1 < starts.size() ? starts[k + 1] : us.size();
            if (end > starts[k])
                each.push_back(Percentile(
                    std::vector<double>(us.begin() + static_cast<long>(starts[k]), us.begin() + static_cast<long>(end)),
                    p));
        }
        return Percentile(each, 50);
    }
    std::atomic<bool> recording{false};
    void Note(const unsigned char* frame)
    {
        const int64_t now = NowNs();
        if (!recording.load(std::memory_order_relaxed) || us.size() == us.capacity())
            return;
        const int64_t t = source->Stamp(sxwire::GetLE32(frame + SX_OFF_FRAMENUM));
        if (t > 0 && now >= t) {
            us.push_back(static_cast<double>(now - t) / 1000.0);
            if (when.capacity() != 0)
                when.push_back(now);
        }
    }
    void Reserve(size_t n)
    {
        us.reserve(n);
        if (std::getenv("SX_PERF_DUMP"))
            when.reserve(n);
    }
    // The summary on standard error; with SX_PERF_DUMP=<prefix> also every
    // sample ("arrival ms, latency us") into <prefix>.<name>.
    void Dump(const char* name) const
    {
        if (const char* prefix = std::getenv("SX_PERF_DUMP"))
            if (FILE* f = std::fopen((std::string(prefix) + "." + name).c_str(), "w")) {
                for (size_t i = 0; i < us.size() && i < when.size(); ++i)
                    std::fprintf(f, "%.3f %.1f\n", static_cast<double>(when[i] - when[0]) / 1e6, us[i]);
                std::fclose(f);
            }
        std::fprintf(stderr, "latency %s: n %zu p50 %.0f p90 %.0f p99 %.0f p99.9 %.0f max %.0f us\n", name, us.size(),
                     Percentile(us, 50), Percentile(us, 90), Percentile(us, 99), Percentile(us, 99.9),
                     Percentile(us, 100));
    }
};

inline void Sleep(double s)
{
    std::this_thread::sleep_for(std::chrono::microseconds(static_cast<int64_t>(s * 1e6)));
}

inline std::string Ms(double ms)
{
    return Fmt("%.1f ms", ms);
}
inline std::string Us(double us)
{
    return Fmt("%.0f µs", us);
}

} // namespace sxperf
