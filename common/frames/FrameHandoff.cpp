#include "frames/FrameHandoff.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

namespace sxframes {

int64_t MonotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

FrameHandoff::FrameHandoff() : m_slots(new Slot[kSlots])
{
    m_fd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

FrameHandoff::~FrameHandoff()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void FrameHandoff::Callback(void* arg, unsigned char* frame, unsigned int length)
{
    static_cast<FrameHandoff*>(arg)->Push(frame, length, MonotonicNs());
}

void FrameHandoff::Push(const unsigned char* frame, unsigned length, int64_t stampNs)
{
    m_inFlight.fetch_add(1);
    if (!m_closed.load(std::memory_order_acquire) && frame) {
        const uint32_t head = m_head.load(std::memory_order_relaxed);
        const uint32_t tail = m_tail.load(std::memory_order_acquire);
        if (head - tail >= kSlots) {
            m_overruns.fetch_add(1, std::memory_order_relaxed);
        } else {
            Slot& s = m_slots[head % kSlots];
            s.stampNs = stampNs;
            s.length = length < kMaxFrame ? length : kMaxFrame;
            std::memcpy(s.frame, frame, s.length);
            m_head.store(head + 1, std::memory_order_release);
            const uint64_t one = 1;
            // Never blocks: the counter cannot come near its limit.
            ssize_t w = ::write(m_fd, &one, sizeof one);
            (void)w;
        }
    }
    if (m_inFlight.fetch_sub(1) == 1 && m_closed.load()) {
        std::lock_guard<std::mutex> lock(m_mtxIdle);
        m_cvIdle.notify_all();
    }
}

void FrameHandoff::WaitIdle()
{
    std::unique_lock<std::mutex> lock(m_mtxIdle);
    while (!m_cvIdle.wait_for(lock, std::chrono::milliseconds(100), [this] { return m_inFlight.load() == 0; })) {
    }
}

void FrameHandoff::ClearWake()
{
    uint64_t v;
    ssize_t r = ::read(m_fd, &v, sizeof v);
    (void)r;
}

const FrameHandoff::Slot* FrameHandoff::Front() const
{
    const uint32_t tail = m_tail.load(std::memory_order_relaxed);
    if (m_head.load(std::memory_order_acquire) == tail)
        return nullptr;
    return &m_slots[tail % kSlots];
}

void FrameHandoff::Pop()
{
    m_tail.store(m_tail.load(std::memory_order_relaxed) + 1, std::memory_order_release);
}

} // namespace sxframes
