// What the Windows tests share: the COM port the harness mapped the
// simulated tracker to (with_sim.sh), and waits that sleep.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

namespace wintest {

using Clock = std::chrono::steady_clock;

// The port of the simulated tracker, 0 outside the harness.
inline int SimPort()
{
    const char* text = std::getenv("SXWIN_COM");
    return text ? std::atoi(text) : 0;
}

inline long long MsSince(Clock::time_point t)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

// Polls done every 10 ms for at most ms; its last answer.
inline bool WaitUntil(const std::function<bool()>& done, int ms)
{
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (Clock::now() > end)
            return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

} // namespace wintest
