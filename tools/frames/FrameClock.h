// When each P&O frame was measured. The tracker's frame count ticks once per
// measurement cycle, a far steadier clock than the arrival of the bytes,
// which jitters with the transport and the host. One FrameClock per
// connected tracker turns each frame's count and arrival time into its
// measurement time on the host's monotonic clock and on the system clock.
// Stamp runs where a frame is handed to the application: it never
// allocates and never makes a stamp run backwards.
#pragma once

#include <cstdint>

namespace sxframes {

// One instant on the host's two clocks.
struct FrameTime {
    int64_t monotonicNs; // the monotonic clock (as the library's time stamps)
    int64_t systemNs;    // the system clock: Unix epoch, UTC
};

class FrameClock {
public:
    FrameClock();

    // The period the tracker was set to, as a first guess before the fit has
    // learned it (0: unknown). A new rate set mid-stream is announced here.
    void SetNominalPeriodNs(int64_t periodNs);
    // One frame: its frame count and its arrival on the monotonic clock.
    FrameTime Stamp(uint32_t frameCount, int64_t arrivalMonotonicNs);
    // Forgets the fit (a new connection, or a stream restarted on purpose).
    void Reset();

    // Times the fit started again on a step it could not explain.
    uint64_t Restarts() const { return m_restarts; }

private:
    int64_t m_nominalPeriodNs = 0;
    int64_t m_lastMonotonicNs = 0;
    int64_t m_systemOffsetNs = 0; // system clock minus monotonic clock
    uint64_t m_restarts = 0;
};

} // namespace sxframes
