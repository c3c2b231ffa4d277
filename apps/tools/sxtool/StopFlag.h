// Ctrl-C (SIGINT) and SIGTERM ask a running command to stop: the handler
// only sets a flag, and the command's loop ends at its next look at it.
#pragma once

#include <atomic>
#include <cstdint>

namespace sxtool {

void InstallStopHandlers();
const std::atomic<bool>& StopFlag();
bool StopRequested();
// Sleeps for ms milliseconds, or less when a signal arrives.
void SleepMs(int ms);
// The monotonic clock in nanoseconds (the clock of the library's P&O time
// stamps).
uint64_t MonotonicNs();

} // namespace sxtool
