// Table rows over the serial link, against the simulated tracker on a
// pseudo-terminal: end-to-end latency (into a P&O callback and to a reader
// woken by the device's P&O wait), command round trip, the reading thread's
// CPU, heap allocations on the receive path, memory over time and of a
// connected device, and connection times.
//
// Every SDK figure has its bare counterpart on the same pseudo-terminal in
// the same run: the SDK and a bare read loop take turns on the line (the
// SDK's device is released while the bare loop reads), so both see the
// same machine.
#include "Alternation.h"

#include <SXCmdIF/SXCmdIF.h>
#include "SXcontext.h"
#include "SXdevIO.h"
#include <SXCmdIF/protocol/SXcmd.h>
#include <simulator/SimTracker.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <termios.h>
#include <time.h>

namespace {

using sxperf::NowNs;

using sxperf::Latencies;
using sxperf::Ms;
using sxperf::Sleep;
using sxperf::StampSource;
using sxperf::Us;
using sxwire::GetLE32;

StampSource* g_source = nullptr;

// ---- the bare side ---------------------------------------------------------

int OpenLine(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return -1;
    termios t;
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    tcsetattr(fd, TCSANOW, &t);
    tcflush(fd, TCIOFLUSH);
    return fd;
}

// Reads whole frames until told to stop: poll, read what is there, cut it
// at the size words. It runs at the default priority, as the SDK's serial
// reading thread does.
struct BareReader {
    int fd = -1;
    std::atomic<bool> run{true};
    std::atomic<long> tid{0};
    Latencies* lat = nullptr;
    void Loop()
    {
        unsigned char buf[16384];
        size_t have = 0;
        tid = sxperf::Gettid();
        while (run.load(std::memory_order_relaxed)) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0)
                continue;
            const ssize_t n = read(fd, buf + have, sizeof buf - have);
            if (n <= 0)
                continue;
            have += static_cast<size_t>(n);
            size_t at = 0;
            while (have - at >= 8) {
                const uint32_t size = GetLE32(buf + at + 4);
                if (size + 8u > sizeof buf / 2) { // out of step: drop what is here
                    at = have;
                    break;
                }
                if (have - at < size + 8u)
                    break;
                if (GetLE32(buf + at) == SX_PREAMBLE_PNO)
                    lat->Note(buf + at);
                at += size + 8u;
            }
            std::memmove(buf, buf + at, have - at);
            have -= at;
        }
    }
};

// Writes a prepared command and reads its whole response.
bool BareEcho(int fd, const unsigned char* frame, int len, unsigned char* rsp)
{
    if (write(fd, frame, static_cast<size_t>(len)) != len)
        return false;
    size_t have = 0;
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 1000) <= 0)
            return false;
        const ssize_t n = read(fd, rsp + have, 1024 - have);
        if (n > 0)
            have += static_cast<size_t>(n);
        if (have >= 8 && have >= GetLE32(rsp + 4) + 8u)
            return true;
    }
}

// ---- the SDK side ---------------------------------------------------------

struct Sdk {
    void* ctx = nullptr;
    void* dev = nullptr;
    std::vector<long> readers; // the transport's threads
    std::vector<double> connectMs;

    bool Connect()
    {
        const auto before = sxperf::Tasks();
        const int64_t t0 = NowNs();
        const int r = sxctx_connectser(ctx, dev, 1, 0);
        connectMs.push_back(static_cast<double>(NowNs() - t0) / 1e6);
        if (r != 0) {
            std::fprintf(stderr, "sxctx_connectser: %d\n", r);
            return false;
        }
        readers = sxperf::NewTasks(before, sxperf::Tasks());
        return true;
    }
    void Release()
    {
        sxctx_dev_release(ctx, dev);
        dev = nullptr;
    }
    int64_t ReaderCpuNs() const
    {
        int64_t sum = 0;
        for (long t : readers)
            sum += std::max<int64_t>(0, sxperf::ThreadCpuNs(t));
        return sum;
    }
    CSXdevIO* Dev() const { return static_cast<CSXdevIO*>(dev); }
};

// Resident bytes of a range (its whole pages).
long ResidentKb(const void* p, size_t len)
{
    const long page = sysconf(_SC_PAGESIZE);
    uintptr_t a = reinterpret_cast<uintptr_t>(p) & ~static_cast<uintptr_t>(page - 1);
    const uintptr_t end = reinterpret_cast<uintptr_t>(p) + len;
    std::vector<unsigned char> vec((end - a + page - 1) / page);
    if (mincore(reinterpret_cast<void*>(a), end - a, vec.data()) != 0)
        return -1;
    long n = 0;
    for (unsigned char v : vec)
        n += v & 1;
    return n * page / 1024;
}

} // namespace

int main(int argc, char** argv)
{
    const sxperf::Args args = sxperf::ParseArgs(argc, argv);
    const double idleSeconds = args.quick ? 3 : 10;
    const int rtBlocks = args.quick ? 2 : 4;
    const int rtPerBlock = args.quick ? 1000 : 2500;
    const int latRounds = sxperf::LatencyRounds(args.quick);
    const double latSegment = args.streamSeconds / latRounds;
    // --only=idle|rtt|first|latency|alloc|memory: one part alone (profiling).
    std::string only;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--only=", 7) == 0)
            only = argv[i] + 7;
    auto want = [&](const char* part) { return only.empty() || only == part; };

    sxsim::SimConfig cfg;
    cfg.sensors = 16;
    cfg.rateHz = 960;
    std::string err;
    auto sim = sxsim::SerialSim::Start(cfg, &err);
    if (!sim) {
        std::fprintf(stderr, "simulator: %s\n", err.c_str());
        return 1;
    }
    {
        auto src = std::make_unique<StampSource>();
        g_source = src.get();
        sim->Unit().SetSource(std::move(src));
        sim->SetTruthSink(g_source);
    }
    const std::string path = sim->SlavePath();
    setenv("SXSERIO_PORTS", path.c_str(), 1);

    Sdk sdk;
    if (sxcmdif_init(&sdk.ctx) != 0)
        return 1;

    // ---- a connected device: memory, connection time, idle CPU --------------
    Sleep(0.3);
    const long rss0 = sxperf::RssKb();
    if (!sdk.Connect())
        return 1;
    Sleep(1.0);
    const long rss1 = sxperf::RssKb();
    const double firstConnectMs = sdk.connectMs.front();
    if (want("idle")) {
        const int64_t c0 = sdk.ReaderCpuNs(), t0 = NowNs();
        Sleep(idleSeconds);
        const double share = static_cast<double>(sdk.ReaderCpuNs() - c0) / static_cast<double>(NowNs() - t0);
        sxperf::Row("reading-thread CPU, serial, idle",
                    "CPU time of the transport's reading thread, connected and idle for " +
                        sxperf::Fmt("%.0f s", idleSeconds),
                    sxperf::Fmt("%.3f %%", share * 100), "—", "—", "≤ 0.2 % of one core",
                    sxperf::Verdict(share <= 0.002 && !sdk.readers.empty())); // no thread found: nothing measured
    }
    const long addedKb = rss1 - rss0;
    if (want("idle"))
        sxperf::Row("memory of a connected device",
                    "VmRSS before sxctx_connectser and after it plus 1 s idle (the device object's 31 MB stores "
                    "are zero pages until written)",
                    sxperf::Fmt("%.2f MB", addedKb / 1024.0), "—", "—", "≤ 2 MB",
                    sxperf::Verdict(addedKb <= 2048 && rss0 > 0 && rss1 > 0));

    // ---- command round trip ---------------------------------------------------
    if (want("rtt")) {
        std::vector<double> sdkUs, bareUs;
        sdkUs.reserve(static_cast<size_t>(rtBlocks * rtPerBlock));
        bareUs.reserve(sdkUs.capacity());
        CSXcmd get(SX_PREAMBLE_CMD);
        get.Fill(static_cast<unsigned>(sdk.Dev()->SeuId()), CMD_UNITS, CMD_ACTION_GET, 0, 0, nullptr, 0);
        unsigned char frame[64];
        int len = 0;
        get.Prepare(frame, len);
        unsigned char rsp[1024];
        int failures = 0;
        for (int b = 0; b < rtBlocks; ++b) {
            _UNITS_CONFIG units{};
            for (int i = 0; i < rtPerBlock; ++i) {
                const int64_t t0 = NowNs();
                failures += sxcmd_dev_units(sdk.ctx, sdk.dev, CMD_ACTION_GET, &units) != 0;
                sdkUs.push_back(static_cast<double>(NowNs() - t0) / 1000.0);
            }
            sdk.Release();
            const int fd = OpenLine(path);
            for (int i = 0; i < rtPerBlock; ++i) {
                const int64_t t0 = NowNs();
                failures += !BareEcho(fd, frame, len, rsp);
                bareUs.push_back(static_cast<double>(NowNs() - t0) / 1000.0);
            }
            close(fd);
            if (!sdk.Connect())
                return 1;
        }
        const double s = sxperf::Percentile(sdkUs, 50), b = sxperf::Percentile(bareUs, 50);
        sxperf::Row("command round trip, serial",
                    "sxcmd_dev_units GET against the simulator, " + std::to_string(sdkUs.size()) +
                        " times in blocks alternating with a bare write-then-read of the same frame; p50 (p99 " +
                        Us(sxperf::Percentile(sdkUs, 99)) + " / " + Us(sxperf::Percentile(bareUs, 99)) + ")" +
                        (failures ? "; " + std::to_string(failures) + " FAILED" : ""),
                    Us(s), Us(b), sxperf::Fmt("%.2f ×", s / b), "p50 ≤ 1.5 × bare",
                    sxperf::Verdict(s / b <= 1.5 && failures == 0));
    }
    sdk.Release();

    // ---- init to first queued frame (this starts the stream) ---------------
    {
        Sdk fresh;
        const int64_t t0 = NowNs();
        sxcmdif_init(&fresh.ctx);
        fresh.Connect();
        int fc = 0;
        sxcmd_dev_contpno(fresh.ctx, fresh.dev, CMD_ACTION_SET, &fc, 0);
        unsigned frames = 0;
        int bytes = 0;
        while (frames == 0 && NowNs() - t0 < 5000000000LL) {
            sxctx_dev_fifo_unread_count(fresh.ctx, fresh.dev, &frames, &bytes);
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
        const double ms = static_cast<double>(NowNs() - t0) / 1e6;
        fresh.Release();
        sxcmdif_release(fresh.ctx);
        if (want("first"))
            sxperf::Row("connection time",
                        "sxctx_connectser to the simulator (first connection; median of " +
                            std::to_string(sdk.connectMs.size()) + " connections " +
                            Ms(sxperf::Percentile(sdk.connectMs, 50)) +
                            "); sxcmdif_init, connection and CMD_CONTINUOUS_PNO SET to the first queued frame",
                        Ms(firstConnectMs) + "; " + Ms(ms), "—", "—", "reported", "reported");
    }

    // ---- end-to-end latency and streaming CPU ------------------------------
    if (want("latency")) {
        Latencies bare, cb, rd;
        bare.source = cb.source = rd.source = g_source;
        const size_t room = static_cast<size_t>(args.streamSeconds * 1000 * 2);
        bare.Reserve(room);
        cb.Reserve(room);
        rd.Reserve(room);
        sxperf::SideTime bareTime, cbTime, readerTime;
        for (int r = 0; r < latRounds; ++r) {
            // The bare read loop.
            {
                BareReader br;
                br.fd = OpenLine(path);
                br.lat = &bare;
                std::thread t([&] { br.Loop(); });
                sxperf::Segment(
                    bare, latSegment, [&] { return sxperf::ThreadCpuNs(br.tid); }, bareTime);
                br.run = false;
                t.join();
                close(br.fd);
            }
            // The SDK into a callback.
            {
                if (!sdk.Connect())
                    return 1;
                sxdev_SetPnoCallback(sdk.ctx, sdk.dev, sxperf::NoteFrame, &cb);
                sxperf::Segment(
                    cb, latSegment, [&] { return sdk.ReaderCpuNs(); }, cbTime);
                sdk.Release();
            }
            // The SDK into the queue, with a reader woken by the P&O wait
            // that takes the newest frame.
            {
                if (!sdk.Connect())
                    return 1;
                {
                    sxperf::WokenReader reader(sdk.ctx, sdk.dev, rd);
                    sxperf::Segment(
                        rd, latSegment, [&] { return sdk.ReaderCpuNs(); }, readerTime);
                }
                sdk.Release();
            }
        }
        bare.Dump("bare");
        cb.Dump("callback");
        rd.Dump("reader");
        sxperf::LatencyRows({"serial", "writes 16-sensor frames at 960 Hz on a pseudo-terminal", "a bare read loop",
                             "a reader woken by the device's P&O wait taking the newest frame (as "
                             "sxctx_dev_lastpnof)",
                             args.streamSeconds, latRounds},
                            cb, rd, bare);
        // The two forms apart: a reader woken each frame costs the reading
        // thread a wake-up of another thread a frame, which the bare loop
        // has no counterpart of.
        const double bareShare = bareTime.Share();
        const auto cpuRow = [&](const char* form, const char* how, double share, bool measured) {
            sxperf::Row(std::string("reading-thread CPU, serial, streaming, ") + form,
                        "CPU time of the transport's reading thread over the latency runs (960 Hz × 16 sensors) " +
                            std::string(how) + ", against the bare read loop's thread",
                        sxperf::Fmt("%.2f %%", share * 100), sxperf::Fmt("%.2f %%", bareShare * 100),
                        sxperf::Fmt("%.2f ×", share / bareShare), "≤ 1.2 × bare",
                        sxperf::Verdict(share / bareShare <= 1.2 && measured));
        };
        cpuRow("callback", "handing frames to a callback", cbTime.Share(), !cb.us.empty());
        cpuRow("woken reader", "queueing them and waking a reader", readerTime.Share(), !rd.us.empty());
    }

    // ---- allocations: 100,000 frames received, queued and read -------------
    if (want("alloc")) {
        if (!sdk.Connect())
            return 1;
        sxcmd_dev_contpno(sdk.ctx, sdk.dev, CMD_ACTION_RESET, nullptr, 0);
        g_source->m_intervalNs = 50000; // 20 kHz
        sxctx_dev_resetpnocounters(sdk.ctx, sdk.dev);
        int fc = 0;
        sxcmd_dev_contpno(sdk.ctx, sdk.dev, CMD_ACTION_SET, &fc, 0);
        Sleep(0.2);
        const uint64_t target = 100000;
        uint64_t read = 0;
        const int64_t t0 = NowNs();
        // The hook itself: one allocation through a pointer the compiler
        // cannot see through must count one.
        void* (*volatile alloc)(size_t) = std::malloc;
        sxperf::g_allocs = 0;
        sxperf::g_countAllocs = true;
        std::free(alloc(16));
        const bool hookWorks = sxperf::g_allocs.exchange(0) == 1;
        while (read < target && NowNs() - t0 < 120000000000LL) {
            _sxFrameInfo f;
            if (sxctx_dev_fifopnofraw(sdk.ctx, sdk.dev, &f) == 0)
                ++read;
            else
                std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        sxperf::g_countAllocs = false;
        const uint64_t allocs = sxperf::g_allocs.load();
        const double secs = static_cast<double>(NowNs() - t0) / 1e9;
        sxcmd_dev_contpno(sdk.ctx, sdk.dev, CMD_ACTION_RESET, nullptr, 0);
        g_source->m_intervalNs = 0;
        sdk.Release();
        sxperf::Row("allocations",
                    "heap allocations (malloc family and operator new, counted by a hook) while " +
                        std::to_string(read) +
                        " frames are received over the line, queued and read with "
                        "sxctx_dev_fifopnofraw (" +
                        sxperf::Fmt("%.0f frames/s)", static_cast<double>(read) / secs),
                    std::to_string(allocs) + (hookWorks ? "" : " (THE HOOK COUNTS NOTHING)"), "0", "—", "0",
                    sxperf::Verdict(allocs == 0 && read == target && hookWorks));
    }

    // ---- memory over time --------------------------------------------------
    if (want("memory")) {
        if (!sdk.Connect())
            return 1;
        int fc = 0;
        sxcmd_dev_contpno(sdk.ctx, sdk.dev, CMD_ACTION_SET, &fc, 0);
        CSXdevIO* d = sdk.Dev();
        std::atomic<bool> run{true};
        uint64_t framesRead = 0; // none read: the run measured nothing
        std::thread reader([&] {
            while (run.load()) {
                _sxFrameInfo f;
                while (sxctx_dev_fifopnofraw(sdk.ctx, sdk.dev, &f) == 0)
                    ++framesRead;
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
        auto stores = [&] {
            return ResidentKb(d->PnoStore(), CSXdevIO::kStoreSize) + ResidentKb(d->CmdStore(), CSXdevIO::kStoreSize);
        };
        Sleep(1.0);
        const long rssA = sxperf::RssKb(), stA = stores();
        Sleep(args.memorySeconds);
        const long rssB = sxperf::RssKb(), stB = stores();
        run = false;
        reader.join();
        sxcmd_dev_contpno(sdk.ctx, sdk.dev, CMD_ACTION_RESET, nullptr, 0);
        sdk.Release();
        const long beyond = (rssB - rssA) - (stB - stA);
        sxperf::Row("memory over time",
                    "VmRSS growth from the first second to the end of a " + sxperf::Fmt("%.0f s", args.memorySeconds) +
                        " stream at 960 Hz read with sxctx_dev_fifopnofraw, less the store pages written "
                        "meanwhile (the P&O store's 15.5 MB fill once, then are reused: " +
                        sxperf::Fmt("RSS +%.0f kB", static_cast<double>(rssB - rssA)) +
                        sxperf::Fmt(", stores +%.0f kB)", static_cast<double>(stB - stA)),
                    sxperf::Fmt("%+.0f kB", static_cast<double>(beyond)), "—", "—", "0",
                    sxperf::Verdict(beyond <= 0 && framesRead > 0));
    }

    sxcmdif_release(sdk.ctx);
    return 0;
}
