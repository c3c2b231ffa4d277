// The period a tracker's frame rate gives, the first guess of its
// FrameClock (which then learns the period from the frames).
#pragma once

#include <cstdint>

namespace sxframes {

// Nanoseconds between frames at a frame-rate code (0: a code the tracker
// does not have).
int64_t FramePeriodNs(uint32_t frameRateCode);
// Asks the device for its frame rate; 0 when it does not answer.
int64_t ReadFramePeriodNs(void* ctx, void* dev);

} // namespace sxframes
