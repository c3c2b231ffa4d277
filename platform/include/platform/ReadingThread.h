// The owner of a transport's reading thread: how it starts, how it stops and
// who joins it, written once for both transports. Each keeps its thread
// through a std::thread* of its own (the serial transport's is part of its
// exported layout) and goes through these functions only.
//
// The stop rule: the stopper clears the running flag and wakes the thread,
// then JoinReadingThread joins and frees it. A stop asked on the reading
// thread itself (from its data callback) cannot join: the thread stays owned
// and ends as soon as the callback returns and its loop sees the flag; the
// next stop or start from another thread joins it, and Close and the
// destructor always stop. The thread is never detached: a detached thread
// could still be in its loop when its owner is freed.
#pragma once

#include <atomic>
#include <thread>
#include <utility>

namespace sxplat {

// The transport whose reading thread the caller is; null on any other thread.
inline const void*& ReadingThreadOwner()
{
    thread_local const void* owner = nullptr;
    return owner;
}

// Whether the caller is the reading thread of owner.
inline bool OnReadingThread(const void* owner)
{
    return owner && ReadingThreadOwner() == owner;
}

// Starts body on a new thread, owned through thread (null before) on behalf
// of owner. False, with thread null, when no thread can be started.
template <class Body>
bool StartReadingThread(std::thread*& thread, const void* owner, Body&& body) noexcept
{
    try {
        thread = new std::thread([owner, run = std::forward<Body>(body)]() mutable {
            ReadingThreadOwner() = owner;
            run();
            ReadingThreadOwner() = nullptr;
        });
    } catch (...) {
        thread = nullptr;
    }
    return thread != nullptr;
}

// The transport's trace output for the owner's lines (a printf form).
using ReaderTraceFn = void (*)(const char* fmt, ...);

// A stop asked on owner's reading thread itself (from its data callback):
// clears running and says so; the thread ends once the callback returns and
// stays owned until a stop from another thread joins it. False, changing
// nothing, on any other thread.
inline bool StopFromReadingThread(const void* owner, std::atomic<bool>& running, ReaderTraceFn trace, const char* fn)
{
    if (!OnReadingThread(owner))
        return false;
    running = false;
    trace("%s : called on the reading thread, not joining\r\n", fn);
    return true;
}

// Joins and frees the thread owned through thread (not null, not the
// caller) once the caller has cleared the running flag and woken it,
// tracing under the name fn.
inline void JoinReadingThread(std::thread*& thread, ReaderTraceFn trace, const char* fn)
{
    // Never detached, so always joinable here.
    trace("%s : Thread joinable, joining\r\n", fn);
    thread->join();
    trace("%s : Thread JOINED\r\n", fn);
    delete thread;
    thread = nullptr;
}

// Before a start: a thread asked to stop but still owned (stopped from
// itself, or its flag cleared) is stopped and joined through stop. False
// when the caller is that very thread: it cannot replace itself.
template <class Stop>
bool JoinStoppedReadingThread(const std::thread* thread, const void* owner, const std::atomic<bool>& running,
                              Stop&& stop)
{
    if (!thread || running.load())
        return true;
    if (OnReadingThread(owner))
        return false;
    stop();
    return true;
}

} // namespace sxplat
