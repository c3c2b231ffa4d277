// The binding's benchmark, C half: the same stream through a C callback
// (every frame, the reading thread's CPU), then the time of one GET of the
// units through the C call. The bare minimum the managed half is held to.
//   bench_c_callback SECONDS GETS      (the tracker: serial port 1)
// Prints one line "@c key=value ...".
#include <SXCmdIF/SXCmdIF.h>

#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

std::atomic<long> g_tid{0};
std::atomic<long> g_frames{0};
long g_gaps = 0;
uint32_t g_last = 0;
float g_sum = 0;

void OnFrame(void*, unsigned char* frame, unsigned int length)
{
    if (g_tid == 0)
        g_tid = static_cast<long>(syscall(SYS_gettid));
    CSXSeuPno pno;
    pno.Extractraw(frame, length);
    if (g_frames > 0 && pno.FrameNum() != g_last + 1)
        ++g_gaps;
    g_last = pno.FrameNum();
    for (unsigned k = 0; k < pno.SensorCount(); ++k)
        g_sum += pno.SensFrame(static_cast<int>(k))->pos[0]; // read every sensor, as the managed half does
    ++g_frames;
}

long long ThreadCpuNs(long tid)
{
    std::ifstream sched("/proc/self/task/" + std::to_string(tid) + "/schedstat");
    long long ns = 0;
    if (sched >> ns)
        return ns;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const int seconds = std::atoi(argv[1]), gets = std::atoi(argv[2]);
    void* ctx = nullptr;
    void* dev = nullptr;
    sxcmdif_init(&ctx);
    int rc = E_SXERR_NOTFOUND;
    for (int i = 0; i < 3 && (rc & 0xFFFF) == E_SXERR_NOTFOUND; ++i)
        rc = sxctx_connectser(ctx, dev, 1, 0);
    if (rc != 0 || sxdev_timeoutms(ctx, dev, 0, 500) != 0) {
        std::fprintf(stderr, "connect: %s\n", sxcmdif_errorStr(rc));
        return 1;
    }
    sxdev_SetPnoCallback(ctx, dev, OnFrame, nullptr);
    sxcmd_dev_contpno(ctx, dev, CMD_ACTION_SET, nullptr, 0);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const long frames0 = g_frames;
    const long long cpu0 = ThreadCpuNs(g_tid);
    const auto t0 = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const long long cpu1 = ThreadCpuNs(g_tid);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const long frames1 = g_frames;
    sxdev_SetPnoCallback(ctx, dev, nullptr, nullptr);
    sxcmd_dev_contpno(ctx, dev, CMD_ACTION_RESET, nullptr, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    sxctx_dev_resetpnocounters(ctx, dev);

    std::vector<long long> times(static_cast<size_t>(gets));
    for (auto& t : times) {
        _UNITS_CONFIG u{};
        const auto a = std::chrono::steady_clock::now();
        if (sxcmd_dev_units(ctx, dev, CMD_ACTION_GET, &u) != 0)
            return 1;
        t = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - a).count();
    }
    std::nth_element(times.begin(), times.begin() + gets / 2, times.end());
    // One call of an export that does no work, ns: p50 of batches of 1000.
    std::vector<long long> batches(200);
    const char* volatile sink = nullptr;
    for (auto& b : batches) {
        const auto a = std::chrono::steady_clock::now();
        for (int i = 0; i < 1000; ++i)
            sink = sxcmdif_version();
        b = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - a).count();
    }
    (void)sink;
    std::nth_element(batches.begin(), batches.begin() + 100, batches.end());
    std::printf("@c frames=%ld gaps=%ld rate=%.1f cpu_ms=%.1f cpu_pct=%.2f get_p50_ns=%lld trivial_call_p50_ns=%.1f\n",
                frames1 - frames0, g_gaps, (frames1 - frames0) / wall, (cpu1 - cpu0) / 1e6,
                100.0 * (cpu1 - cpu0) / 1e9 / wall, times[static_cast<size_t>(gets / 2)], batches[100] / 1000.0);
    sxcmdif_release(ctx);
    return g_gaps == 0 ? 0 : 1;
}
