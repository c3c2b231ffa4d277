// The latency rows of a link (perf_serial, perf_usb): the SDK and a bare
// loop on the same link take turns in segments, so that both see the same
// machine. A segment warms up, then keeps latencies for its length while the
// CPU time of its side's threads is counted; the SDK's sides are a P&O
// callback and a reader woken by the device's P&O wait.
#pragma once

#include "SimStamps.h"

#include <SXCmdIF/SXCmdIF.h>
#include "SXcontext.h"
#include "SXdevIO.h"

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

namespace sxperf {

// CPU and wall time a side spent in its measured segments.
struct SideTime {
    int64_t cpuNs = 0;
    int64_t wallNs = 0;
    double Share() const { return static_cast<double>(cpuNs) / static_cast<double>(wallNs); }
};

// Segments a side (see LatencyRows for why many) and each one's warm-up
// before its latencies are kept.
inline int LatencyRounds(bool quick)
{
    return quick ? 8 : 30;
}
constexpr double kSegmentWarmupSeconds = 0.3;

// One measured segment of a side whose link is running: warm-up, then
// latencies kept for `seconds` while cpu() (its threads' CPU time) is
// counted into the side's time.
template <class CpuFn>
void Segment(Latencies& lat, double seconds, CpuFn cpu, SideTime& time)
{
    Sleep(kSegmentWarmupSeconds);
    const int64_t c0 = cpu(), t0 = NowNs();
    lat.Start();
    Sleep(seconds);
    lat.Stop();
    const int64_t c1 = cpu(), t1 = NowNs();
    time.cpuNs += c1 - c0;
    time.wallNs += t1 - t0;
}

// The library's P&O callback into latencies.
inline void NoteFrame(void* arg, unsigned char* frame, unsigned int)
{
    static_cast<Latencies*>(arg)->Note(frame);
}

// A reader woken by the device's P&O wait, taking the newest frame (as
// sxctx_dev_lastpnof does), for as long as it lives.
class WokenReader {
public:
    WokenReader(void* ctx, void* dev, Latencies& lat)
        : m_thread([this, c = static_cast<CSXcontext*>(ctx), d = static_cast<CSXdevIO*>(dev), &lat] {
              while (m_run.load()) {
                  CFrameInfo f;
                  const int e = c->dev_nextpnof(d, f);
                  if (e == 0 && f.pFrame)
                      lat.Note(f.pFrame);
                  else
                      ++m_fails, m_last = e;
              }
          })
    {
    }
    ~WokenReader()
    {
        m_run = false;
        m_thread.join();
        if (m_fails)
            std::fprintf(stderr, "reader: %d waits failed, the last with %d\n", m_fails, m_last);
    }
    WokenReader(const WokenReader&) = delete;
    WokenReader& operator=(const WokenReader&) = delete;

private:
    std::atomic<bool> m_run{true};
    int m_fails = 0;
    int m_last = 0;
    std::thread m_thread;
};

// How a link's latency rows were measured.
struct LatencySetup {
    std::string link;      // "serial", "USB"
    std::string frames;    // where the simulator's frames go: "writes 16-sensor frames at 960 Hz on ..."
    std::string bareLoop;  // what the SDK alternates with: "a bare read loop"
    std::string readerEnd; // what the woken reader does, as its row says
    double seconds = 0;    // a side's stream
    int rounds = 0;        // segments a side
};

// The two latency rows of a link: into the callback, and to the woken
// reader, each against the bare loop. The figure is the median over the
// segments of each segment's p99: this machine stalls now and then for
// milliseconds (a virtual machine's host), in bursts that hit whichever
// side is running, and about 1 % of a side's samples fall into them, so
// that the p99 of all samples lands either side of that knee from run to
// run (0.35 to 3.1 x bare with the same code). Many short segments and
// their median give each side the machine's quiet typical tail; the p99
// of all samples is reported beside it.
inline void LatencyRows(const LatencySetup& s, const Latencies& cb, const Latencies& rd, const Latencies& bare)
{
    auto how = [&](const std::string& to, const Latencies& l) {
        return "simulator " + s.frames + ", " + Fmt("%.0f s", s.seconds) + " a side in " + std::to_string(s.rounds) +
               " segments alternating with " + s.bareLoop + "; time from the frame's writing to " + to +
               "; median of the segments' p99 (p99 of all samples " + Us(Percentile(l.us, 99)) + " / " +
               Us(Percentile(bare.us, 99)) + ", p50 " + Us(Percentile(l.us, 50)) + " / " + Us(Percentile(bare.us, 50)) +
               "; " + std::to_string(l.us.size()) + " / " + std::to_string(bare.us.size()) + " frames)";
    };
    const double b99 = bare.SegmentPercentile(99);
    const double c99 = cb.SegmentPercentile(99);
    const double r99 = rd.SegmentPercentile(99);
    Row("end-to-end latency, " + s.link + ", callback", how("the P&O callback", cb), Us(c99), Us(b99),
        Fmt("%.2f ×", c99 / b99), "p99 ≤ 1.5 × bare", Verdict(c99 / b99 <= 1.5 && !cb.us.empty()));
    Row("end-to-end latency, " + s.link + ", woken reader", how(s.readerEnd, rd), Us(r99), Us(b99),
        Fmt("%.2f ×", r99 / b99), "p99 ≤ 1.5 × bare", Verdict(r99 / b99 <= 1.5 && !rd.us.empty()));
}

} // namespace sxperf
