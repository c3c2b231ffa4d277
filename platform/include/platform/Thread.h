// The calling thread as the system knows it: the identifier printed in
// trace prefixes, the number the serial transport prints for its reading
// thread, and the priority of the USB reading thread.
#pragma once

#include <cstdint>
#include <thread>

namespace sxplat {

// The calling thread's 32-bit identifier: stable for the thread's life and
// what the system's own tools show for it.
uint32_t CurrentThreadId();

// The 32-bit number of a thread's native handle, as its starter prints it.
uint32_t ThreadHandleNumber(std::thread::id id);

// Raises the calling thread's priority as far as the system allows for a
// thread that blocks between completions; does nothing where it may not.
void RaiseThreadPriority();

} // namespace sxplat
