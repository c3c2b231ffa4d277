// Replays streams written by perf_clock with SX_PERF_DUMP ("count arrival
// truth stamp" a line, ns) through the frame clock model as it is now, and
// scores its stamps the way perf_clock does: against the simulator's
// measurement times less one constant offset, after the first 5 s, and
// again after the first 20 s (once the period is learned). Changes to the
// model can so be weighed on the same recorded streams, without the
// simulator and without the machine's quiet.
//
//   clock_replay FILE...   (a file name with "960" in it is a 960 Hz stream,
//                           any other 240 Hz)
#include "PerfRow.h"

#include <frames/FrameClock.h>

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

struct Frame {
    uint32_t count;
    int64_t arrivalNs, truthNs;
};

bool Load(const char* path, std::vector<Frame>& frames)
{
    FILE* f = std::fopen(path, "r");
    if (!f)
        return false;
    Frame fr{};
    int64_t stamp = 0;
    while (std::fscanf(f, "%" SCNu32 " %" SCNd64 " %" SCNd64 " %" SCNd64, &fr.count, &fr.arrivalNs, &fr.truthNs,
                       &stamp) == 4)
        frames.push_back(fr);
    std::fclose(f);
    return !frames.empty();
}

// p99 and max of |error - offset| in µs over the frames that arrived from
// fromNs on.
void Score(const std::vector<Frame>& frames, const std::vector<int64_t>& stamps, double offset, int64_t fromNs,
           double& p99Us, double& maxUs)
{
    std::vector<double> d;
    for (size_t i = 0; i < frames.size(); ++i)
        if (frames[i].truthNs != 0 && frames[i].arrivalNs >= fromNs)
            d.push_back(std::fabs(static_cast<double>(stamps[i] - frames[i].truthNs) - offset) / 1e3);
    p99Us = sxperf::Percentile(d, 99);
    maxUs = sxperf::Percentile(d, 100);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: clock_replay FILE... (written by perf_clock with SX_PERF_DUMP)\n");
        return 2;
    }
    int failed = 0;
    for (int a = 1; a < argc; ++a) {
        std::vector<Frame> frames;
        if (!Load(argv[a], frames)) {
            std::fprintf(stderr, "%s: no frames\n", argv[a]);
            ++failed;
            continue;
        }
        const int hz = std::strstr(argv[a], "960") ? 960 : 240;
        sxframes::FrameClock clock;
        clock.SetNominalPeriodNs(1000000000LL / hz);
        std::vector<int64_t> stamps;
        std::vector<double> all;
        size_t backwards = 0, afterArrival = 0;
        for (const Frame& f : frames) {
            const int64_t s = clock.Stamp(f.count, f.arrivalNs).monotonicNs;
            backwards += !stamps.empty() && s <= stamps.back();
            afterArrival += s > f.arrivalNs;
            stamps.push_back(s);
            if (f.truthNs != 0)
                all.push_back(static_cast<double>(s - f.truthNs));
        }
        const double offset = sxperf::Percentile(all, 50);
        double p99 = 0, max = 0, p99Late = 0, maxLate = 0;
        Score(frames, stamps, offset, frames.front().arrivalNs + 5000000000LL, p99, max);
        Score(frames, stamps, offset, frames.front().arrivalNs + 20000000000LL, p99Late, maxLate);
        std::printf("%s: %zu frames at %d Hz; after 5 s p99 %.1f max %.1f us; after 20 s p99 %.1f max %.1f us; "
                    "period %.3f ns; restarts %" PRIu64 "; stamps backwards %zu, after arrival %zu\n",
                    argv[a], frames.size(), hz, p99, max, p99Late, maxLate, clock.PeriodNs(), clock.Restarts(),
                    backwards, afterArrival);
    }
    return failed ? 1 : 0;
}
