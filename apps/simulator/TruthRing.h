// The simulator's measurement times kept by frame count, for a test or a
// benchmark in the same process: set as the unit's TruthSink, then asked
// for any of the last 65,536 frames (68 s at 960 Hz).
#pragma once

#include <simulator/SimUnit.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace sxsim {

class TruthRing final : public TruthSink {
public:
    void Measured(uint32_t frameCount, int64_t monotonicNs) override
    {
        const size_t i = frameCount & (kSlots - 1);
        m_ns[i].store(monotonicNs, std::memory_order_relaxed);
        m_count[i].store(frameCount, std::memory_order_release);
    }
    // When the frame was measured; 0 when it is not known.
    int64_t At(uint32_t frameCount) const
    {
        const size_t i = frameCount & (kSlots - 1);
        return m_count[i].load(std::memory_order_acquire) == frameCount ? m_ns[i].load(std::memory_order_relaxed) : 0;
    }

private:
    static constexpr size_t kSlots = 1u << 16;
    std::array<std::atomic<int64_t>, kSlots> m_ns{};
    std::array<std::atomic<uint32_t>, kSlots> m_count{};
};

} // namespace sxsim
