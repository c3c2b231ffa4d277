// Per-frame cost of the CRC and of the receive checks on the largest P&O
// frame (16 sensors, 540 bytes). The frames differ from one another, as
// measured data does, so branch prediction cannot learn one frame's bytes.
#include <SXCmdIF/protocol/SXcmd.h>

#include "sxwire/LEWords.h"

#include "NibbleCrc.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr unsigned kFrames = 512;
// Frames back to back from offset 1: they sit unaligned, as in the stores.
constexpr unsigned kStride = SX_PNO_FRAME_MAX;

struct PnoFrames {
    std::vector<unsigned char> store = std::vector<unsigned char>(1 + kFrames * kStride);
    PnoFrames()
    {
        uint32_t x = 2463534242u;
        for (unsigned k = 0; k < kFrames; ++k) {
            unsigned char* f = Frame(k);
            for (unsigned i = 0; i < SX_PNO_SIZE_MAX + 4; ++i) {
                x ^= x << 13;
                x ^= x >> 17;
                x ^= x << 5;
                f[i] = static_cast<unsigned char>(x);
            }
            sxwire::PutLE32(f, SX_PREAMBLE_PNO);
            sxwire::PutLE32(f + 4, SX_PNO_SIZE_MAX);
            sxwire::PutLE32(f + 12, k);
            sxwire::PutLE32(f + 16, 0);
            sxwire::PutLE32(f + 20, SX_PNO_SENSORS_MAX);
            sxwire::PutLE32(f + SX_PNO_SIZE_MAX + 4, CSXcmd::CalcCRC_Bytes(f, SX_PNO_SIZE_MAX + 4));
        }
    }
    unsigned char* Frame(unsigned k) { return store.data() + 1 + (k % kFrames) * kStride; }
};

PnoFrames& Frames()
{
    static PnoFrames frames;
    return frames;
}

void BM_CrcNibble540(benchmark::State& state)
{
    PnoFrames& p = Frames();
    unsigned k = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(NibbleCrc(p.Frame(k++), SX_PNO_FRAME_MAX));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * SX_PNO_FRAME_MAX);
}
BENCHMARK(BM_CrcNibble540);

void BM_Crc540(benchmark::State& state)
{
    PnoFrames& p = Frames();
    unsigned k = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(CSXcmd::CalcCRC_Bytes(p.Frame(k++), SX_PNO_FRAME_MAX));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * SX_PNO_FRAME_MAX);
}
BENCHMARK(BM_Crc540);

// Preamble, size and CRC, in the order the device object applies them.
void BM_ReceiveChecks540(benchmark::State& state)
{
    PnoFrames& p = Frames();
    unsigned k = 0;
    bool all = true;
    for (auto _ : state) {
        const unsigned char* f = p.Frame(k++);
        const unsigned* words = reinterpret_cast<const unsigned*>(f);
        const bool ok = CSXcmd::ValidatePreamble(words, SX_PREAMBLE_CMD, SX_PREAMBLE_PNO) &&
                        CSXcmd::ValidateSize(words, SX_PREAMBLE_CMD, SX_PREAMBLE_PNO) && CSXcmd::ValidateCRC(f);
        all = all && ok;
        benchmark::DoNotOptimize(all);
    }
    if (!all)
        state.SkipWithError("a frame failed its checks");
}
BENCHMARK(BM_ReceiveChecks540);

// The same checks bounded by the received length.
void BM_ReceiveChecksBounded540(benchmark::State& state)
{
    PnoFrames& p = Frames();
    unsigned k = 0;
    bool all = true;
    for (auto _ : state) {
        const unsigned char* f = p.Frame(k++);
        const bool ok = CSXcmd::ValidatePreambleN(f, SX_PNO_FRAME_MAX, SX_PREAMBLE_CMD, SX_PREAMBLE_PNO) &&
                        CSXcmd::ValidateSizeN(f, SX_PNO_FRAME_MAX, SX_PREAMBLE_CMD, SX_PREAMBLE_PNO) &&
                        CSXcmd::ValidateCRCN(f, SX_PNO_FRAME_MAX);
        all = all && ok;
        benchmark::DoNotOptimize(all);
    }
    if (!all)
        state.SkipWithError("a frame failed its checks");
}
BENCHMARK(BM_ReceiveChecksBounded540);

} // namespace
