// Calls in progress on an object that another thread may release (a context
// or a device): each exported call holds a use, and the release, once the
// object is off its list so that no new use can begin, blocks until the last
// use is dropped.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace sxctx {

class UseCount {
public:
    void Add() { m_nUses.fetch_add(1); }

    void Drop()
    {
        // Sequentially consistent with WaitNone: either the waiter's flag is
        // seen here, or the waiter's count check after setting it sees this
        // drop; a wake-up is never lost. The notification is made under the
        // waiter's mutex, so the waiter cannot return (and destroy the
        // object) before it is done.
        if (m_nUses.fetch_sub(1) == 1 && m_bWaiting.load()) {
            std::lock_guard<std::mutex> lock(m_mtx);
            m_cv.notify_all();
        }
    }

    // Blocks until no use is held. Only for an object that is off its list.
    void WaitNone()
    {
        m_bWaiting.store(true);
        std::unique_lock<std::mutex> lock(m_mtx);
        m_cv.wait(lock, [this] { return m_nUses.load() == 0; });
    }

private:
    std::atomic<int> m_nUses{0};
    std::atomic<bool> m_bWaiting{false};
    std::mutex m_mtx;
    std::condition_variable m_cv;
};

} // namespace sxctx
