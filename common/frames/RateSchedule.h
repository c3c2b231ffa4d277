// The schedule of a rate-limited stream (a server's or a publisher's "at
// most N a second"): a frame is due when its time has reached the schedule,
// which then moves on by one period (and starts again from this frame after
// a pause, so a pause is not made up with a burst).
#pragma once

#include <cstdint>

namespace sxframes {

// periodNs 0 or less: every frame is due. next is the schedule, 0 at first.
inline bool Due(int64_t& next, int64_t periodNs, int64_t nowNs)
{
    if (periodNs <= 0)
        return true;
    if (nowNs < next)
        return false;
    next += periodNs;
    if (next <= nowNs)
        next = nowNs + periodNs;
    return true;
}

} // namespace sxframes
