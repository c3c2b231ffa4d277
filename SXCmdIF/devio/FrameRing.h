// A bounded double-ended queue of frame descriptors in fixed storage: the
// receive path appends without allocating. Appending to a full ring drops
// the oldest entry, so it never holds more than its bound.
#pragma once

#include <SXCmdIF/protocol/SXframeInfo.h>

#include <cstddef>

namespace sxdev {

template <size_t Bound>
class FrameRing {
public:
    size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    static constexpr size_t bound() { return Bound; }

    // Appends; when the ring already held Bound entries the oldest goes and
    // true is returned.
    bool push_back(const CFrameInfo& f)
    {
        m_slots[(m_head + m_count) % Bound] = f;
        if (m_count < Bound) {
            ++m_count;
            return false;
        }
        m_head = (m_head + 1) % Bound;
        return true;
    }
    CFrameInfo& front() { return m_slots[m_head]; }
    CFrameInfo& back() { return m_slots[(m_head + m_count - 1) % Bound]; }
    // i-th entry from the oldest.
    CFrameInfo& at(size_t i) { return m_slots[(m_head + i) % Bound]; }
    void pop_front()
    {
        m_head = (m_head + 1) % Bound;
        --m_count;
    }
    void pop_back() { --m_count; }
    void clear()
    {
        m_head = 0;
        m_count = 0;
    }

private:
    CFrameInfo m_slots[Bound];
    size_t m_head = 0;
    size_t m_count = 0;
};

} // namespace sxdev
