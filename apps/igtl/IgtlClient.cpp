#include "igtl/IgtlClient.h"

#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>

namespace sxigtl {

IgtlClient::IgtlClient(int fd, std::string peer, const BacklogLimits& limits, ServeStats& stats)
    : m_fd(fd), m_peer(std::move(peer)), m_limits(limits), m_stats(stats)
{
}

IgtlClient::~IgtlClient()
{
    Close();
}

void IgtlClient::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void IgtlClient::Erase(std::deque<Entry>::iterator it)
{
    m_bytes -= it->packet->size();
    if (it->kind == EntryKind::Answer)
        --m_answers;
    m_backlog.erase(it);
}

void IgtlClient::PopFront()
{
    Erase(m_backlog.begin());
    m_headOffset = 0;
}

void IgtlClient::Enqueue(const Packet& p, EntryKind kind, int64_t stampNs)
{
    if (dead || m_fd < 0)
        return;
    m_backlog.push_back({p, kind, stampNs});
    m_bytes += p->size();
    if (kind == EntryKind::Answer)
        ++m_answers;
    while (m_backlog.size() > 1 && (m_backlog.size() > m_limits.messages || m_bytes > m_limits.bytes)) {
        // The oldest goes, unless part of it is on the wire already: then
        // the one after it.
        Erase(m_headOffset > 0 ? m_backlog.begin() + 1 : m_backlog.begin());
        ++m_dropped;
        m_stats.messagesDropped.fetch_add(1, std::memory_order_relaxed);
    }
}

void IgtlClient::DropStale(int64_t nowNs)
{
    if (m_limits.maxAgeNs <= 0)
        return;
    // Stream entries are queued in the order of their frames: the stale
    // ones come before the first fresh one.
    size_t i = m_headOffset > 0 ? 1 : 0;
    while (i < m_backlog.size()) {
        const Entry& e = m_backlog[i];
        if (e.kind != EntryKind::Stream) {
            ++i;
            continue;
        }
        if (nowNs - e.stampNs <= m_limits.maxAgeNs)
            break;
        Erase(m_backlog.begin() + static_cast<std::ptrdiff_t>(i));
        ++m_dropped;
        m_stats.messagesDropped.fetch_add(1, std::memory_order_relaxed);
    }
}

void IgtlClient::Flush(int64_t nowNs)
{
    // Flush follows every Enqueue within the turn: a backlog that was
    // empty starts its wait here.
    if (!m_waiting && !m_backlog.empty())
        m_waitSinceNs = nowNs;
    if (Send(nowNs) > 0)
        m_tookNs = m_waitSinceNs = nowNs;
    m_waiting = !m_backlog.empty();
}

size_t IgtlClient::Send(int64_t nowNs)
{
    constexpr size_t kIov = 64;
    size_t total = 0;
    while (!dead && m_fd >= 0 && !m_backlog.empty()) {
        DropStale(nowNs);
        if (m_backlog.empty())
            return total;
        iovec iov[kIov];
        size_t n = 0;
        for (auto it = m_backlog.begin(); it != m_backlog.end() && n < kIov; ++it, ++n) {
            const std::vector<unsigned char>& b = *it->packet;
            const size_t off = n == 0 ? m_headOffset : 0;
            iov[n].iov_base = const_cast<unsigned char*>(b.data() + off);
            iov[n].iov_len = b.size() - off;
        }
        msghdr msg{};
        msg.msg_iov = iov;
        msg.msg_iovlen = n;
        const ssize_t sent = ::sendmsg(m_fd, &msg, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0) {
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                dead = true;
            return total;
        }
        total += static_cast<size_t>(sent);
        size_t left = static_cast<size_t>(sent);
        while (left > 0 && !m_backlog.empty()) {
            const size_t rest = m_backlog.front().packet->size() - m_headOffset;
            if (left >= rest) {
                left -= rest;
                PopFront();
                m_stats.messagesSent.fetch_add(1, std::memory_order_relaxed);
            } else {
                m_headOffset += left;
                left = 0;
            }
        }
        if (n < kIov && !m_backlog.empty())
            return total; // the socket is full
    }
    return total;
}

} // namespace sxigtl
