// Calls in progress on an object that another thread may release (a context
// or a device): each exported call holds a use, and the release, once the
// object is off its list so that no new use can begin, blocks until the last
// use is dropped. Below both the context and the device, which both count
// their uses with it.
#pragma once

#include <condition_variable>
#include <mutex>

namespace sxctx {

class UseCount {
public:
    void Add()
    {
        std::lock_guard<std::mutex> lock(m_mtx);
        ++m_nUses;
    }

    // The count and the wake-up under the mutex: the waiter sees the count
    // reach zero only after taking the mutex, that is after the last dropper
    // has let go of it and of the condition variable, so the object may be
    // destroyed as soon as WaitNone returns.
    void Drop()
    {
        std::lock_guard<std::mutex> lock(m_mtx);
        if (--m_nUses == 0)
            m_cv.notify_all();
    }

    // Blocks until no use is held. Only for an object that is off its list.
    void WaitNone()
    {
        std::unique_lock<std::mutex> lock(m_mtx);
        m_cv.wait(lock, [this] { return m_nUses == 0; });
    }

private:
    int m_nUses = 0;
    std::mutex m_mtx;
    std::condition_variable m_cv;
};

} // namespace sxctx
