// What the parts of TrackerCore share: the shut-down flag, the callback's
// thread marker, the reading thread's callback, and the simulated tracker
// (a stand-in when the module is built without it).
#pragma once

#include "Frames.h"
#include "TrackerCore.h"

#include <SXCmdIF/SXCmdIF.h>

#ifdef SXPY_HAVE_SIM
#include <simulator/SimTracker.h>
#else
namespace sxsim {
class SerialSim {};
} // namespace sxsim
#endif

#include <atomic>
#include <chrono>
#include <cstdint>
#include <set>

namespace sxpy {

// Set once the interpreter begins to shut down: from then on the reading
// threads' callbacks leave Python alone.
extern std::atomic<bool> g_finalizing;

// The callback state whose callback runs on this thread, if any.
extern thread_local const CallbackState* t_inCallback;

// How long a poll of the P&O queue sleeps when it finds nothing.
constexpr auto kPollSleep = std::chrono::milliseconds(1);

// The library's P&O callback, on the transport's reading thread; its
// argument is a CallbackState.
void OnPno(void* arg, unsigned char* frame, unsigned int length);

// The monotonic clock in nanoseconds (the library's time stamps' clock).
uint64_t MonotonicNs();
// A queued frame copied out of the device's store.
void CopyFrame(const _sxFrameInfo& fi, RawFrame& raw);

} // namespace sxpy
