// Hand-off of P&O frames from the device's reading thread to a server's
// thread (the OpenIGTLink server, the viewer): a single-producer
// single-consumer ring of fixed slots, with an eventfd that wakes the
// consumer. The producer never waits and never allocates: when the ring is
// full the frame is counted and dropped.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

namespace sxframes {

class FrameHandoff {
public:
    static constexpr unsigned kMaxFrame = 540; // 16 sensors
    static constexpr unsigned kSlots = 512;    // about 2 s at 240 Hz

    struct Slot {
        int64_t stampNs; // monotonic clock when it was handed over
        unsigned length; // bytes in frame (at most kMaxFrame; longer ones are cut)
        unsigned char frame[kMaxFrame];
    };

    FrameHandoff();
    ~FrameHandoff();
    FrameHandoff(const FrameHandoff&) = delete;
    FrameHandoff& operator=(const FrameHandoff&) = delete;

    // False when the eventfd could not be made.
    bool Ok() const { return m_fd >= 0; }
    // The descriptor to poll for POLLIN.
    int Fd() const { return m_fd; }

    // The P&O callback: arg is the FrameHandoff.
    static void Callback(void* arg, unsigned char* frame, unsigned int length);
    // Producer side (reading thread).
    void Push(const unsigned char* frame, unsigned length, int64_t stampNs);
    // Once closed, Push takes nothing more.
    void Close() { m_closed.store(true); }
    // After Close: blocks until no producer call is still running, so that
    // the hand-off may be freed. The device removes a callback only after a
    // call under way has returned, so this rarely waits at all.
    void WaitIdle();

    // Consumer side: clears the wake-up, then the oldest slot or null.
    void ClearWake();
    const Slot* Front() const;
    void Pop();

    uint64_t Overruns() const { return m_overruns.load(std::memory_order_relaxed); }

private:
    std::unique_ptr<Slot[]> m_slots;
    alignas(64) std::atomic<uint32_t> m_head{0}; // next to write (producer)
    alignas(64) std::atomic<uint32_t> m_tail{0}; // next to read (consumer)
    alignas(64) std::atomic<uint64_t> m_overruns{0};
    // The last producer call after Close wakes WaitIdle. Both sides write
    // one of these two and read the other, sequentially consistent, so at
    // least one of them sees the other's write.
    std::atomic<int> m_inFlight{0};
    std::atomic<bool> m_closed{false};
    std::mutex m_mtxIdle;
    std::condition_variable m_cvIdle;
    int m_fd = -1;
};

// Monotonic clock in nanoseconds.
int64_t MonotonicNs();

} // namespace sxframes
