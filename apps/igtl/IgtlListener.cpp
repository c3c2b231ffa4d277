#include "igtl/IgtlListener.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace sxigtl {

namespace {

constexpr int64_t kPauseNs = 100000000; // 100 ms without a spare descriptor

int OpenSpare()
{
    return ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

} // namespace

IgtlListener::~IgtlListener()
{
    Close();
}

void IgtlListener::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (m_spareFd >= 0)
        ::close(m_spareFd);
    m_fd = m_spareFd = -1;
}

int IgtlListener::Open(const std::string& address, int port)
{
    Close();
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    if (::inet_pton(AF_INET, address.c_str(), &addr.sin_addr) != 1)
        return -1;
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_fd < 0)
        return -1;
    int one = 1;
    ::setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    socklen_t len = sizeof addr;
    if (::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(m_fd, SOMAXCONN) != 0 ||
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        Close();
        return -1;
    }
    m_spareFd = OpenSpare();
    return ntohs(addr.sin_port);
}

int IgtlListener::Accept(std::string& peer, int64_t nowNs, uint64_t& refused)
{
    for (;;) {
        sockaddr_in addr{};
        socklen_t len = sizeof addr;
        const int fd = ::accept4(m_fd, reinterpret_cast<sockaddr*>(&addr), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) {
            char ip[INET_ADDRSTRLEN] = "?";
            ::inet_ntop(AF_INET, &addr.sin_addr, ip, sizeof ip);
            peer = std::string(ip) + ":" + std::to_string(ntohs(addr.sin_port));
            return fd;
        }
        if (errno == EINTR || errno == ECONNABORTED)
            continue; // a connection that went before it was taken
        if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
            OutOfDescriptors(nowNs, refused);
        return -1;
    }
}

void IgtlListener::OutOfDescriptors(int64_t nowNs, uint64_t& refused)
{
    if (m_spareFd >= 0) {
        ::close(m_spareFd);
        const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) {
            ::close(fd);
            ++refused;
        }
        m_spareFd = OpenSpare();
    }
    if (m_spareFd < 0)
        m_pausedUntilNs = nowNs + kPauseNs;
}

} // namespace sxigtl
