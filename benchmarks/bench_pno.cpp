// CSV row and field-by-field dump of a 16-sensor P&O frame, per frame.
#include "diag/FrameDump.h"

#include <SXCmdIF/pno/SXseuPno.h>
#include <SXCmdIF/protocol/SXcmd.h>

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

std::vector<unsigned char> SixteenSensorFrame()
{
    std::vector<unsigned char> f(540);
    auto put = [&f](size_t off, uint32_t v) { std::memcpy(&f[off], &v, 4); };
    auto putf = [&f](size_t off, float v) { std::memcpy(&f[off], &v, 4); };
    put(0, SX_PREAMBLE_PNO);
    put(4, 532);
    put(8, 1);
    put(12, 123456);
    put(16, 0);
    put(20, 16);
    for (unsigned k = 0; k < 16; ++k) {
        const size_t r = 24 + 32 * k;
        put(r, k | (k % 3) << 10 | 1u << 12 | (k * 7u) << 14);
        for (int i = 0; i < 7; ++i)
            putf(r + 4 + 4 * i, 1.25f * (i + 1) - 0.5f * k);
    }
    put(536, CSXcmd::CalcCRC_Bytes(f.data(), 536));
    return f;
}

void BM_CSVReport(benchmark::State& state)
{
    const std::vector<unsigned char> f = SixteenSensorFrame();
    CSXSeuPno pno;
    pno.Extractraw(f.data(), static_cast<unsigned>(f.size()));
    std::string out;
    for (auto _ : state) {
        out.clear();
        pno.CSVReport(out, true, false, true);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CSVReport);

void BM_DumpPnoFrame(benchmark::State& state)
{
    const std::vector<unsigned char> f = SixteenSensorFrame();
    std::string out;
    for (auto _ : state) {
        out.clear();
        DumpPnoFrame(out, f.data(), static_cast<unsigned>(f.size()));
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DumpPnoFrame);

} // namespace
