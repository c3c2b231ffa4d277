#include "frames/FrameClock.h"

#include <chrono>

namespace sxframes {

namespace {
int64_t SystemMinusMonotonicNs() {
    using namespace std::chrono;
    const int64_t mono = duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
    const int64_t sys = duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
    return sys - mono;
}
} // namespace

FrameClock::FrameClock() : m_systemOffsetNs(SystemMinusMonotonicNs()) {}

void FrameClock::SetNominalPeriodNs(int64_t periodNs) { m_nominalPeriodNs = periodNs; }

// For now a frame's measurement time is its arrival, kept from running
// backwards; the fit on the frame count replaces it.
FrameTime FrameClock::Stamp(uint32_t /*frameCount*/, int64_t arrivalMonotonicNs) {
    if (arrivalMonotonicNs > m_lastMonotonicNs) m_lastMonotonicNs = arrivalMonotonicNs;
    return FrameTime{m_lastMonotonicNs, m_lastMonotonicNs + m_systemOffsetNs};
}

void FrameClock::Reset() { m_lastMonotonicNs = 0; }

} // namespace sxframes
