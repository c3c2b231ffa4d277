// Table rows over USB, against the simulated tracker on the emulated USB
// device of the test support (umockdev; about 2,000 transfers a second; its
// node polls ready only while a completion waits, as a usbfs node does):
// end-to-end latency, command round trip and the reading thread's CPU, each
// against a bare libusb loop on the same emulation in the same run. The SDK
// and the bare loop take turns on the device.
#include "Alternation.h"

#include <SXCmdIF/SXCmdIF.h>
#include "SXcontext.h"
#include "SXdevIO.h"
#include <SXCmdIF/protocol/SXcmd.h>
#include <SXCmdIF/protocol/SXusbIds.h>
#include "testsupport/simusb/SimUsb.h"

#include <libusb.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <thread>

#include <sched.h>
#include <sys/prctl.h>

namespace {

using sxperf::Latencies;
using sxperf::NowNs;
using sxperf::Sleep;
using sxperf::StampSource;
using sxperf::Us;
using sxwire::GetLE32;

constexpr unsigned char kEpIn = 0x81;
constexpr unsigned char kEpOut = 0x02;

// The least a program does to read the tracker over libusb: one bulk IN
// transfer always submitted, its completion resubmitting it, one thread
// handling events.
struct BareUsb {
    libusb_context* ctx = nullptr;
    libusb_device_handle* h = nullptr;
    libusb_transfer* xfer = nullptr;
    unsigned char buf[1024];
    Latencies* lat = nullptr;
    std::atomic<bool> run{true};
    std::atomic<bool> pending{false};
    std::atomic<long> tid{0};
    std::thread thread;
    std::vector<long> threads;

    static void LIBUSB_CALL Done(libusb_transfer* t)
    {
        auto* self = static_cast<BareUsb*>(t->user_data);
        if (t->status == LIBUSB_TRANSFER_COMPLETED && t->actual_length >= 16 && GetLE32(self->buf) == SX_PREAMBLE_PNO)
            self->lat->Note(self->buf);
        if (self->run.load() && t->status != LIBUSB_TRANSFER_CANCELLED && t->status != LIBUSB_TRANSFER_NO_DEVICE &&
            libusb_submit_transfer(t) == 0)
            return;
        self->pending = false;
    }
    bool Open()
    {
        const auto before = sxperf::Tasks();
        if (libusb_init(&ctx) != 0)
            return false;
        h = libusb_open_device_with_vid_pid(ctx, VID_MAKER, PID_SORIX);
        if (!h || libusb_claim_interface(h, 0) != 0)
            return false;
        threads = sxperf::NewTasks(before, sxperf::Tasks());
        return true;
    }
    void StartReading()
    {
        xfer = libusb_alloc_transfer(0);
        libusb_fill_bulk_transfer(xfer, h, kEpIn, buf, sizeof buf, Done, this, 0);
        pending = true;
        libusb_submit_transfer(xfer);
        thread = std::thread([this] {
            // The priority the SDK gives its reading thread, where allowed,
            // so that both wait for the emulation's thread alike.
            sched_param sp{};
            sp.sched_priority = 10;
            pthread_setschedparam(pthread_self(), SCHED_FIFO, &sp);
            tid = sxperf::Gettid();
            while (run.load()) {
                timeval tv{0, 100000};
                libusb_handle_events_timeout_completed(ctx, &tv, nullptr);
            }
            libusb_cancel_transfer(xfer);
            const int64_t t0 = NowNs();
            while (pending.load() && NowNs() - t0 < 2000000000LL) {
                timeval tv{0, 100000};
                libusb_handle_events_timeout_completed(ctx, &tv, nullptr);
            }
        });
        while (tid.load() == 0)
            std::this_thread::yield();
        threads.push_back(tid.load());
    }
    int64_t CpuNs() const
    {
        int64_t sum = 0;
        for (long t : threads)
            sum += std::max<int64_t>(0, sxperf::ThreadCpuNs(t));
        return sum;
    }
    void Close()
    {
        run = false;
        if (thread.joinable())
            thread.join();
        if (xfer && !pending.load())
            libusb_free_transfer(xfer);
        if (h) {
            libusb_release_interface(h, 0);
            libusb_close(h);
        }
        libusb_exit(ctx);
    }
};

bool SyncOut(libusb_device_handle* h, unsigned char* frame, int len)
{
    int n = 0;
    return libusb_bulk_transfer(h, kEpOut, frame, len, &n, 1000) == 0 && n == len;
}

struct Sdk {
    void* ctx = nullptr;
    void* dev = nullptr;
    std::vector<long> threads;
    std::vector<double> connectMs;
    bool Connect()
    {
        const auto before = sxperf::Tasks();
        const int64_t t0 = NowNs();
        const int r = sxctx_connectusb(ctx, dev, PID_SORIX);
        connectMs.push_back(static_cast<double>(NowNs() - t0) / 1e6);
        if (r != 0) {
            std::fprintf(stderr, "sxctx_connectusb: %d\n", r);
            return false;
        }
        threads = sxperf::NewTasks(before, sxperf::Tasks());
        return true;
    }
    void Release()
    {
        sxctx_dev_release(ctx, dev);
        dev = nullptr;
    }
    int64_t CpuNs() const
    {
        int64_t sum = 0;
        for (long t : threads)
            sum += std::max<int64_t>(0, sxperf::ThreadCpuNs(t));
        return sum;
    }
};

} // namespace

int main(int argc, char** argv)
{
    const sxperf::Args args = sxperf::ParseArgs(argc, argv);
    const int rtBlocks = args.quick ? 2 : 4;
    const int rtPerBlock = args.quick ? 500 : 2500;
    const int latRounds = sxperf::LatencyRounds(args.quick);
    const double latSegment = args.streamSeconds / latRounds;
    std::string only;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--only=", 7) == 0)
            only = argv[i] + 7;
    auto want = [&](const char* part) { return only.empty() || only == part; };

    // The emulation's per-ioctl sleep is a real sleep with the default slack.
    prctl(PR_SET_TIMERSLACK, 1UL);
    sxtest::usbemu::UsbTestbed bed;
    sxsim::SimConfig cfg;
    cfg.sensors = 16;
    cfg.rateHz = 960;
    auto sim = sxsim::UsbSim::Start(bed, cfg);
    if (!sim) {
        std::fprintf(stderr, "simulator did not start\n");
        return 1;
    }
    auto owned = std::make_unique<StampSource>();
    StampSource* source = owned.get();
    sim->Unit().SetSource(std::move(owned));

    Sdk sdk;
    if (sxcmdif_init(&sdk.ctx) != 0 || !sdk.Connect())
        return 1;
    const unsigned seuid = static_cast<unsigned>(static_cast<CSXdevIO*>(sdk.dev)->SeuId());

    // ---- an idle connection (the connection stopped the stream) -------------
    if (want("idle")) {
        const double idleSeconds = args.quick ? 3 : 10;
        Sleep(0.5);
        const int64_t c0 = sdk.CpuNs(), t0 = NowNs();
        Sleep(idleSeconds);
        const double share = static_cast<double>(sdk.CpuNs() - c0) / static_cast<double>(NowNs() - t0);
        sxperf::Row("reading-thread CPU, USB, idle",
                    "CPU time of the threads the connection adds (reading thread and libusb's own), connected "
                    "and idle for " +
                        sxperf::Fmt("%.0f s", idleSeconds) + " with its bulk IN transfer submitted",
                    sxperf::Fmt("%.3f %%", share * 100), "—", "—", "≤ 0.2 % of one core",
                    sxperf::Verdict(share <= 0.002));
    }

    // ---- command round trip (the connection stopped the stream) ------------
    if (want("rtt")) {
        std::vector<double> sdkUs, bareUs;
        sdkUs.reserve(static_cast<size_t>(rtBlocks * rtPerBlock));
        bareUs.reserve(sdkUs.capacity());
        CSXcmd get(SX_PREAMBLE_CMD);
        get.Fill(seuid, CMD_UNITS, CMD_ACTION_GET, 0, 0, nullptr, 0);
        unsigned char frame[64];
        int len = 0;
        get.Prepare(frame, len);
        int failures = 0;
        for (int b = 0; b < rtBlocks; ++b) {
            _UNITS_CONFIG units{};
            for (int i = 0; i < rtPerBlock; ++i) {
                const int64_t t0 = NowNs();
                failures += sxcmd_dev_units(sdk.ctx, sdk.dev, CMD_ACTION_GET, &units) != 0;
                sdkUs.push_back(static_cast<double>(NowNs() - t0) / 1000.0);
            }
            sdk.Release();
            BareUsb bare;
            if (!bare.Open())
                return 1;
            unsigned char rsp[1024];
            for (int i = 0; i < rtPerBlock; ++i) {
                const int64_t t0 = NowNs();
                int n = 0;
                const bool ok = SyncOut(bare.h, frame, len) &&
                                libusb_bulk_transfer(bare.h, kEpIn, rsp, sizeof rsp, &n, 1000) == 0 && n >= 32;
                failures += !ok;
                bareUs.push_back(static_cast<double>(NowNs() - t0) / 1000.0);
            }
            bare.Close();
            if (!sdk.Connect())
                return 1;
        }
        const double s = sxperf::Percentile(sdkUs, 50), b = sxperf::Percentile(bareUs, 50);
        sxperf::Row("command round trip, USB",
                    "sxcmd_dev_units GET against the simulator on the emulated device, " +
                        std::to_string(sdkUs.size()) +
                        " times in blocks alternating with a bare libusb bulk OUT then bulk IN; p50 (p99 " +
                        Us(sxperf::Percentile(sdkUs, 99)) + " / " + Us(sxperf::Percentile(bareUs, 99)) + ")" +
                        (failures ? "; " + std::to_string(failures) + " FAILED" : ""),
                    Us(s), Us(b), sxperf::Fmt("%.2f ×", s / b), "p50 ≤ 1.5 × bare",
                    sxperf::Verdict(s / b <= 1.5 && failures == 0));
    }

    // ---- end-to-end latency and the reading thread's CPU -------------------
    if (want("latency")) {
        Latencies bare, cb, rd;
        bare.source = cb.source = rd.source = source;
        const size_t room = static_cast<size_t>(args.streamSeconds * 1000 * 2);
        bare.Reserve(room);
        cb.Reserve(room);
        rd.Reserve(room);
        sxperf::SideTime bareTime, sdkTime;
        int fc = 0;
        for (int r = 0; r < latRounds; ++r) {
            // The SDK into a callback (its connection stopped the stream).
            {
                sxdev_SetPnoCallback(sdk.ctx, sdk.dev, sxperf::NoteFrame, &cb);
                sxcmd_dev_contpno(sdk.ctx, sdk.dev, CMD_ACTION_SET, &fc, 0);
                sxperf::Segment(
                    cb, latSegment, [&] { return sdk.CpuNs(); }, sdkTime);
                sdk.Release();
            }
            // The SDK into the queue, a reader woken by the P&O wait.
            {
                if (!sdk.Connect())
                    return 1;
                sxcmd_dev_contpno(sdk.ctx, sdk.dev, CMD_ACTION_SET, &fc, 0);
                {
                    sxperf::WokenReader reader(sdk.ctx, sdk.dev, rd);
                    sxperf::Segment(
                        rd, latSegment, [&] { return sdk.CpuNs(); }, sdkTime);
                }
                sdk.Release();
            }
            // The bare libusb loop; the stream goes on from the SDK's start.
            {
                BareUsb bu;
                bu.lat = &bare;
                if (!bu.Open())
                    return 1;
                bu.StartReading();
                sxperf::Segment(
                    bare, latSegment, [&] { return bu.CpuNs(); }, bareTime);
                bu.Close();
            }
            if (!sdk.Connect())
                return 1;
        }
        bare.Dump("usb-bare");
        cb.Dump("usb-callback");
        rd.Dump("usb-reader");
        sxperf::LatencyRows({"USB", "sends 16-sensor frames at 960 Hz on the emulated device",
                             "a bare libusb transfer loop at the reading thread's priority",
                             "a reader woken by the device's P&O wait taking the newest frame", args.streamSeconds,
                             latRounds},
                            cb, rd, bare);
        const double share = sdkTime.Share();
        const double bareShare = bareTime.Share();
        sxperf::Row("reading-thread CPU, USB, streaming",
                    "CPU time of the threads the connection adds (reading thread and libusb's own) over the "
                    "latency runs, against the threads of a bare libusb event loop at the same real-time "
                    "priority (the emulated node polls ready only while a completion waits)",
                    sxperf::Fmt("%.1f %%", share * 100), sxperf::Fmt("%.1f %%", bareShare * 100),
                    sxperf::Fmt("%.2f ×", share / bareShare), "≤ 1.2 × bare",
                    sxperf::Verdict(share / bareShare <= 1.2 && bareShare > 0 && !cb.us.empty() && !rd.us.empty()));
    }

    sdk.Release();
    sxcmdif_release(sdk.ctx);
    return 0;
}
