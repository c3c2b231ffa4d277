// Table rows "receive-path cost": the device object's DataReady on a
// 16-sensor P&O frame, into the P&O queue and into a P&O callback, called in
// a tight loop on a connected device (no transport in the loop), against the
// least any receive path must do with a frame: its CRC and one copy of it
// into a store. The three are timed in alternating blocks in the same run.
#include "PerfRow.h"

#include <SXCmdIF/SXCmdIF.h>
#include "SXdevIO.h"
#include <SXCmdIF/protocol/SXcmd.h>
#include <simulator/SimTracker.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr unsigned kFrames = 512; // distinct frames, as measured data is
constexpr unsigned kBlock = 2000; // frames per timed block

struct Frames {
    std::vector<unsigned char> bytes;
    std::vector<unsigned> len;
    unsigned stride = 0;
    unsigned char* at(unsigned k) { return bytes.data() + 1 + (k % kFrames) * stride; }
};

volatile unsigned g_sink;

void OnFrame(void* arg, unsigned char* frame, unsigned int length)
{
    *static_cast<unsigned*>(arg) += frame[length - 1];
}

// The bare minimum: check the CRC, copy the frame into a store of the
// device's size, front to back.
struct BareStore {
    std::vector<unsigned char> store = std::vector<unsigned char>(CSXdevIO::kStoreSize);
    uint32_t off = 0;
    unsigned ok = 0;
    void Take(const unsigned char* f, unsigned len)
    {
        const uint32_t covered = len - 4;
        const uint32_t crc = static_cast<uint32_t>(f[covered]) | static_cast<uint32_t>(f[covered + 1]) << 8;
        ok += CSXcmd::CalcCRC_Bytes(f, covered) == crc;
        if (off + len > CSXdevIO::kStoreSize)
            off = 0;
        std::memcpy(store.data() + off, f, len);
        off += len;
        if (off >= CSXdevIO::kStoreWrap)
            off = 0;
    }
};

} // namespace

int main(int argc, char** argv)
{
    const sxperf::Args args = sxperf::ParseArgs(argc, argv);

    // Frames of the simulated tracker: 16 sensors, moving.
    sxsim::SimConfig cfg;
    cfg.sensors = 16;
    cfg.rateHz = 960;
    Frames fr;
    {
        sxsim::SimUnit unit(cfg);
        unsigned char f[sxsim::kMaxPnoFrame];
        const size_t n = unit.BuildPnoFrame(f);
        fr.stride = static_cast<unsigned>(n);
        fr.bytes.resize(1 + kFrames * fr.stride);
        std::memcpy(fr.at(0), f, n);
        fr.len.push_back(static_cast<unsigned>(n));
        for (unsigned k = 1; k < kFrames; ++k) {
            const size_t m = unit.BuildPnoFrame(fr.at(k));
            fr.len.push_back(static_cast<unsigned>(m));
        }
    }

    // A connected device: the simulated tracker on a pseudo-terminal, quiet.
    std::string err;
    auto sim = sxsim::SerialSim::Start(cfg, &err);
    if (!sim) {
        std::fprintf(stderr, "simulator: %s\n", err.c_str());
        return 1;
    }
    setenv("SXSERIO_PORTS", sim->SlavePath().c_str(), 1);
    void* ctx = nullptr;
    void* devh = nullptr;
    if (sxcmdif_init(&ctx) != 0 || sxctx_connectser(ctx, devh, 1, 0) != 0) {
        std::fprintf(stderr, "connection failed\n");
        return 1;
    }
    CSXdevIO* dev = static_cast<CSXdevIO*>(devh);

    BareStore bare;
    unsigned cbSink = 0;
    unsigned k = 0;
    int bad = 0;
    auto blockBare = [&] {
        const int64_t t0 = sxperf::NowNs();
        for (unsigned i = 0; i < kBlock; ++i, ++k)
            bare.Take(fr.at(k), fr.len[k % kFrames]);
        return static_cast<double>(sxperf::NowNs() - t0) / kBlock;
    };
    auto blockDev = [&] {
        const int64_t t0 = sxperf::NowNs();
        for (unsigned i = 0; i < kBlock; ++i, ++k) {
            CFrameInfo f(fr.at(k), fr.len[k % kFrames]);
            bad += dev->DataReady(f) != 0;
        }
        return static_cast<double>(sxperf::NowNs() - t0) / kBlock;
    };

    const int rounds = args.quick ? 300 : 1500;
    std::vector<double> tBare, tQueue, tCb;
    for (int r = 0; r < rounds; ++r) {
        tBare.push_back(blockBare());
        sxdev_SetPnoCallback(ctx, devh, nullptr, nullptr);
        tQueue.push_back(blockDev());
        sxdev_SetPnoCallback(ctx, devh, OnFrame, &cbSink);
        tCb.push_back(blockDev());
        sxdev_SetPnoCallback(ctx, devh, nullptr, nullptr);
        sxctx_dev_resetpnocounters(ctx, devh);
    }
    g_sink = bare.ok + cbSink;
    if (bad != 0 || bare.ok != static_cast<unsigned>(rounds) * kBlock)
        std::fprintf(stderr, "frames refused: %d, bare CRC failures: %u\n", bad,
                     static_cast<unsigned>(rounds) * kBlock - bare.ok);

    const double b = sxperf::Percentile(tBare, 50);
    const double q = sxperf::Percentile(tQueue, 50);
    const double c = sxperf::Percentile(tCb, 50);
    const std::string how = "DataReady of a 16-sensor frame (" + std::to_string(fr.stride) +
                            " bytes), ns per frame, median of " + std::to_string(rounds) + " blocks of " +
                            std::to_string(kBlock) + " alternating with the bare minimum (CRC + one copy into a " +
                            "store of the device's size)";
    sxperf::Row("receive-path cost, queue", how + (bad ? "; FRAMES REFUSED" : ""), sxperf::Fmt("%.0f ns", q),
                sxperf::Fmt("%.0f ns", b), sxperf::Fmt("%.2f ×", q / b), "≤ 1.5 × bare",
                sxperf::Verdict(q / b <= 1.5 && bad == 0));
    sxperf::Row("receive-path cost, callback", "the same into a P&O callback", sxperf::Fmt("%.0f ns", c),
                sxperf::Fmt("%.0f ns", b), sxperf::Fmt("%.2f ×", c / b), "≤ 1.5 × bare",
                sxperf::Verdict(c / b <= 1.5 && bad == 0));

    sxctx_dev_release(ctx, devh);
    sxcmdif_release(ctx);
    return 0;
}
