#include "StopFlag.h"

#include <csignal>
#include <ctime>

namespace sxtool {

namespace {

std::atomic<bool> g_stop{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

extern "C" void OnStopSignal(int)
{
    g_stop.store(true);
}

} // namespace

void InstallStopHandlers()
{
#ifdef _WIN32
    // The runtime calls the handler on a thread of its own for Ctrl-C.
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
#else
    struct sigaction sa {};
    sa.sa_handler = OnStopSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0; // no SA_RESTART: a sleep ends early
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
#endif
}

const std::atomic<bool>& StopFlag()
{
    return g_stop;
}

bool StopRequested()
{
    return g_stop.load();
}

void SleepMs(int ms)
{
    timespec t{ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&t, nullptr);
}

uint64_t MonotonicNs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<uint64_t>(t.tv_sec) * 1000000000ull + static_cast<uint64_t>(t.tv_nsec);
}

} // namespace sxtool
