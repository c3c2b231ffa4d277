// The calling thread's 32-bit identifier, as printed in trace prefixes.
#pragma once

#include <cstdint>
#include <sys/syscall.h>
#include <unistd.h>

namespace sxplat {

// The kernel thread id: stable for the thread's life and what ps/top/gdb show.
inline uint32_t CurrentThreadId()
{
    thread_local const uint32_t tid = static_cast<uint32_t>(::syscall(SYS_gettid));
    return tid;
}

} // namespace sxplat
