// Counting heap allocations: a program that links AllocHook.cpp has every
// malloc-family call (operator new included, which calls malloc) counted
// while counting is on, except on threads that opted out.
#pragma once

#include <atomic>
#include <cstdint>

namespace sxperf {

extern std::atomic<bool> g_countAllocs;
extern std::atomic<uint64_t> g_allocs;
// Set on a thread whose allocations are not the library's (a simulator).
extern thread_local bool t_allocsIgnored;

} // namespace sxperf
