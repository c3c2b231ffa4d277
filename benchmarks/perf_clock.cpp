// Table rows of the frame clock model (common/frames/FrameClock): how far
// the measurement times it gives stray from the simulated tracker's own
// record of when each frame was measured, once one constant offset is taken
// away (the line's delay, which no host can see), beside the arrival time
// stamps strayed the same way; and what the model costs a frame.
//
// Each stream is the simulated tracker on a pseudo-terminal, its clock
// running 100 ppm fast, read through the library's queue as sxtool reads
// it; the model stamps every frame from its count and the library's arrival
// time stamp. The first seconds, in which the model learns the period, are
// reported apart.
#include "AllocHook.h"
#include "PerfRow.h"

#include <frames/FrameClock.h>
#include <simulator/SimTracker.h>
#include <simulator/TruthRing.h>

#include <SXCmdIF/SXCmdIF.h>
#include <sxwire/LEWords.h>
#include <SXCmdIF/protocol/SXframe.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

namespace {

using sxperf::Fmt;
using sxperf::NowNs;
using sxperf::Percentile;

constexpr double kDriftPpm = 100;

std::string Us(double us)
{
    return Fmt("%.0f µs", us);
}
constexpr double kSettleSeconds = 5;

struct Sample {
    uint32_t frame;
    int64_t arrivalNs, stampNs, truthNs;
};

struct Errors {
    size_t frames = 0;
    double p99Us = 0, maxUs = 0, arrivalP99Us = 0, settlingP99Us = 0;
    unsigned restarts = 0;
};

// |x - median(x)| of the values, in microseconds.
std::vector<double> Deviations(const std::vector<double>& ns)
{
    const double mid = Percentile(ns, 50);
    std::vector<double> d;
    d.reserve(ns.size());
    for (double v : ns)
        d.push_back(std::fabs(v - mid) / 1e3);
    return d;
}

// One stream of the given length; its samples for the cost figure.
Errors Stream(int hz, double jitterMs, double seconds, std::vector<Sample>& samples)
{
    Errors out;
    auto truth = std::make_unique<sxsim::TruthRing>();
    sxsim::SimConfig cfg;
    cfg.rateHz = hz;
    cfg.sensors = 4;
    cfg.driftPpm = kDriftPpm;
    std::string error;
    auto sim = sxsim::SerialSim::Start(cfg, &error);
    if (!sim) {
        std::fprintf(stderr, "simulator: %s\n", error.c_str());
        return out;
    }
    sim->SetTruthSink(truth.get());
    sxsim::FaultConfig line;
    line.jitterUs = static_cast<uint32_t>(jitterMs * 1000);
    sim->SetFaults(line);
    setenv("SXSERIO_PORTS", sim->SlavePath().c_str(), 1);
    void* ctx = nullptr;
    void* dev = nullptr;
    sxcmdif_init(&ctx);
    int rc = E_SXERR_NOTFOUND;
    for (int i = 0; i < 3 && rc != E_SX_SUCCESS; ++i)
        rc = sxctx_connectser(ctx, dev, 1, 0);
    if (rc != E_SX_SUCCESS) {
        std::fprintf(stderr, "connect: 0x%x\n", rc);
        sxcmdif_release(ctx);
        return out;
    }
    sxdev_tsenable(ctx, dev, true);
    sxframes::FrameClock clock;
    clock.SetNominalPeriodNs(1000000000LL / hz);
    samples.clear();
    samples.reserve(static_cast<size_t>(seconds * hz * 1.1) + 1000);
    sxcmd_dev_contpno(ctx, dev, CMD_ACTION_SET, nullptr, 0);
    const int64_t end = NowNs() + static_cast<int64_t>(seconds * 1e9);
    auto take = [&] {
        _sxFrameInfo f{};
        while (sxctx_dev_fifopnofraw(ctx, dev, &f) == E_SX_SUCCESS) {
            const uint32_t count = sxwire::GetLE32(f.pFrame + SX_OFF_FRAMENUM);
            const auto arrival = static_cast<int64_t>(f.timeStamp);
            samples.push_back({count, arrival, clock.Stamp(count, arrival).monotonicNs, 0});
        }
    };
    while (NowNs() < end) {
        take();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    sxcmd_dev_contpno(ctx, dev, CMD_ACTION_RESET, nullptr, 0);
    take();
    sxcmdif_release(ctx);
    sim->SetTruthSink(nullptr);
    sim.reset();

    // SX_PERF_DUMP=<prefix>: every frame into <prefix>.clock<Hz>j<ms>, "count
    // arrival truth stamp" (ns), to study the model on a real stream.
    if (const char* prefix = std::getenv("SX_PERF_DUMP"))
        if (FILE* f = std::fopen((std::string(prefix) + Fmt(".clock%.0f", hz) + Fmt("j%.0f", jitterMs)).c_str(), "w")) {
            for (const Sample& s : samples)
                std::fprintf(f, "%u %lld %lld %lld\n", s.frame, static_cast<long long>(s.arrivalNs),
                             static_cast<long long>(truth->At(s.frame)), static_cast<long long>(s.stampNs));
            std::fclose(f);
        }
    std::vector<double> err, late, early;
    const int64_t settled =
        samples.empty() ? 0 : samples.front().arrivalNs + static_cast<int64_t>(kSettleSeconds * 1e9);
    for (Sample& s : samples) {
        s.truthNs = truth->At(s.frame);
        if (s.truthNs == 0)
            continue;
        (s.arrivalNs < settled ? early : err).push_back(static_cast<double>(s.stampNs - s.truthNs));
        if (s.arrivalNs >= settled)
            late.push_back(static_cast<double>(s.arrivalNs - s.truthNs));
    }
    // One offset for the whole run, settling included.
    std::vector<double> all = early;
    all.insert(all.end(), err.begin(), err.end());
    const double mid = Percentile(all, 50);
    std::vector<double> d, e;
    for (double v : err)
        d.push_back(std::fabs(v - mid) / 1e3);
    for (double v : early)
        e.push_back(std::fabs(v - mid) / 1e3);
    out.frames = err.size();
    out.p99Us = Percentile(d, 99);
    out.maxUs = Percentile(d, 100);
    out.settlingP99Us = Percentile(e, 99);
    out.arrivalP99Us = Percentile(Deviations(late), 99);
    out.restarts = static_cast<unsigned>(clock.Restarts());
    std::fprintf(stderr,
                 "clock %d Hz, jitter %.0f ms: %zu frames; error p99 %.1f max %.1f us; first %.0f s p99 %.1f us; "
                 "arrivals p99 %.1f us; period %.3f ns (true %.3f); restarts %u\n",
                 hz, jitterMs, out.frames, out.p99Us, out.maxUs, kSettleSeconds, out.settlingP99Us, out.arrivalP99Us,
                 clock.PeriodNs(), 1e9 / hz / (1 + kDriftPpm * 1e-6), out.restarts);
    return out;
}

void ErrorRow(int hz, double jitterMs, double seconds, const Errors& e)
{
    const bool jitter = jitterMs > 0;
    const double p99Target = jitter ? 50 : 20;
    const bool met = e.frames > 0 && e.p99Us <= p99Target && (!jitter || e.maxUs <= 200) && e.restarts == 0;
    sxperf::Row(Fmt("measurement time, %.0f Hz, ", hz) + (jitter ? Fmt("%.0f ms jitter", jitterMs) : "no jitter"),
                Fmt("simulator at %.0f Hz", hz) + Fmt(", its clock 100 ppm fast, %.0f s", seconds) +
                    (jitter ? Fmt(", each frame written 0 to %.0f ms late", jitterMs) : "") +
                    "; stamps against the simulator's measurement times less one constant offset, after the "
                    "first " +
                    Fmt("%.0f s", kSettleSeconds) + Fmt(" (p99 %.0f µs in those)", e.settlingP99Us) +
                    Fmt("; p99 (max %.0f µs) beside the arrival time stamps' p99", e.maxUs),
                Us(e.p99Us), Us(e.arrivalP99Us) + " (arrival)",
                e.p99Us > 0 ? Fmt("%.3f ×", e.p99Us / e.arrivalP99Us) : "-",
                jitter ? "p99 ≤ 50 µs, max ≤ 200 µs" : "p99 ≤ 20 µs", sxperf::Verdict(met));
}

// The model alone on a recorded stream: nanoseconds a frame, and its heap
// allocations.
void CostRow(const std::vector<Sample>& samples)
{
    if (samples.empty())
        return;
    std::vector<double> perFrame;
    uint64_t allocs = 0;
    int64_t sink = 0;
    for (int run = 0; run < 21; ++run) {
        sxframes::FrameClock clock;
        clock.SetNominalPeriodNs(1000000000LL / 960);
        sxperf::g_allocs = 0;
        sxperf::g_countAllocs = true;
        const int64_t t0 = NowNs();
        for (const Sample& s : samples)
            sink += clock.Stamp(s.frame, s.arrivalNs).monotonicNs;
        const int64_t t1 = NowNs();
        sxperf::g_countAllocs = false;
        allocs += sxperf::g_allocs.load();
        perFrame.push_back(static_cast<double>(t1 - t0) / static_cast<double>(samples.size()));
    }
    const double ns = Percentile(perFrame, 50);
    std::fprintf(stderr, "clock cost: %.1f ns a frame (median of 21 runs over %zu frames), %llu allocations (%lld)\n",
                 ns, samples.size(), static_cast<unsigned long long>(allocs), static_cast<long long>(sink & 1));
    sxperf::Row("frame clock model, cost",
                Fmt("FrameClock::Stamp over the %.0f recorded frames of the 960 Hz run, ns a frame (median of 21 "
                    "runs; the fit of each quarter second included); heap allocations counted by a hook",
                    static_cast<double>(samples.size())),
                Fmt("%.0f ns", ns) + Fmt(", %.0f allocations", static_cast<double>(allocs)), "-", "-",
                "≤ 100 ns, 0 allocations", sxperf::Verdict(ns <= 100 && allocs == 0));
}

} // namespace

int main(int argc, char** argv)
{
    const sxperf::Args args = sxperf::ParseArgs(argc, argv);
    const double seconds = args.quick ? 15 : 60;
    // --only=HZ:JITTER_MS runs that stream alone (with SX_PERF_DUMP, to study it).
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--only=", 7) == 0) {
            std::vector<Sample> samples;
            const int hz = std::atoi(argv[i] + 7);
            const char* colon = std::strchr(argv[i], ':');
            const double jitter = colon ? std::atof(colon + 1) : 0;
            ErrorRow(hz, jitter, seconds, Stream(hz, jitter, seconds, samples));
            return 0;
        }
    std::vector<Sample> samples, kept;
    for (int hz : {240, 960}) {
        const Errors e = Stream(hz, 4, seconds, samples);
        ErrorRow(hz, 4, seconds, e);
        if (hz == 960)
            kept.swap(samples);
    }
    for (int hz : {240, 960})
        ErrorRow(hz, 0, seconds, Stream(hz, 0, seconds, samples));
    CostRow(kept);
    return 0;
}
