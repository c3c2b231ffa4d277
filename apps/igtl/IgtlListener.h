// The listening socket: bound to one IPv4 address (the loopback unless told
// otherwise), with a listen queue that holds a burst of connections. A
// spare descriptor is kept so that running out of descriptors never leaves
// a connection in the queue, which would keep the socket readable and the
// poll loop spinning: the spare is given up to take the connection and
// close it. Without a spare the listener pauses for a moment instead.
#pragma once

#include <cstdint>
#include <string>

namespace sxigtl {

class IgtlListener {
public:
    IgtlListener() = default;
    ~IgtlListener();
    IgtlListener(const IgtlListener&) = delete;
    IgtlListener& operator=(const IgtlListener&) = delete;

    // Listens on address:port (port 0: a free one); the port, or -1.
    int Open(const std::string& address, int port);
    void Close();
    // The descriptor to poll, or -1 while the listener is paused.
    int PollFd(int64_t nowNs) const { return nowNs < m_pausedUntilNs ? -1 : m_fd; }

    // Takes a waiting connection: its descriptor (non-blocking) and the
    // peer as "A:P". -1 when none waits, or when it had to be closed for
    // want of a descriptor (then counted in refused).
    int Accept(std::string& peer, int64_t nowNs, uint64_t& refused);

private:
    void OutOfDescriptors(int64_t nowNs, uint64_t& refused);

    int m_fd = -1;
    int m_spareFd = -1;
    int64_t m_pausedUntilNs = 0;
};

} // namespace sxigtl
