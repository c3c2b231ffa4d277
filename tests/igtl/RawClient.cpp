#include "RawClient.h"

#include <igtl_header.h>
#include <igtl_util.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace igtltest {

std::string RawMessage(const std::string& type, const std::string& name, const std::string& body)
{
    igtl_header h{};
    h.version = IGTL_HEADER_VERSION;
    // Names fill their fields, without a terminator when they are that long.
    std::memcpy(h.name, type.data(), std::min(type.size(), sizeof h.name));
    std::memcpy(h.device_name, name.data(), std::min(name.size(), sizeof h.device_name));
    h.body_size = body.size();
    h.crc = crc64(reinterpret_cast<unsigned char*>(const_cast<char*>(body.data())), body.size(), 0);
    igtl_header_convert_byte_order(&h);
    return std::string(reinterpret_cast<const char*>(&h), IGTL_HEADER_SIZE) + body;
}

RawClient::RawClient() : m_fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
{
}

RawClient::RawClient(int port, const char* address, int rcvbuf) : RawClient()
{
    if (rcvbuf > 0)
        ::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &rcvbuf, sizeof rcvbuf);
    Connect(port, address);
}

bool RawClient::Connect(int port, const char* address)
{
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    ::inet_pton(AF_INET, address, &addr.sin_addr);
    m_connected = ::connect(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    m_error = m_connected ? 0 : errno;
    return m_connected;
}

RawClient::~RawClient()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool RawClient::Send(const std::string& bytes)
{
    size_t off = 0;
    while (off < bytes.size()) {
        const ssize_t n = ::send(m_fd, bytes.data() + off, bytes.size() - off, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        off += static_cast<size_t>(n);
    }
    return true;
}

void RawClient::ShutdownSending()
{
    ::shutdown(m_fd, SHUT_WR);
}

bool RawClient::ReadExact(char* out, size_t n, int timeoutMs)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    size_t got = 0;
    while (got < n) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now()).count();
        pollfd p{m_fd, POLLIN, 0};
        if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0)
            return false;
        const ssize_t k = ::recv(m_fd, out + got, n - got, 0);
        if (k <= 0)
            return false;
        got += static_cast<size_t>(k);
    }
    return true;
}

bool RawClient::Next(RawReceived& m, int timeoutMs)
{
    igtl_header h;
    if (!ReadExact(reinterpret_cast<char*>(&h), IGTL_HEADER_SIZE, timeoutMs))
        return false;
    igtl_header_convert_byte_order(&h);
    m.type.assign(h.name, strnlen(h.name, IGTL_HEADER_TYPE_SIZE));
    m.name.assign(h.device_name, strnlen(h.device_name, IGTL_HEADER_NAME_SIZE));
    m.stamp = static_cast<double>(h.timestamp >> 32) + static_cast<double>(h.timestamp & 0xFFFFFFFFu) / 4294967296.0;
    m.body.assign(h.body_size, '\0');
    return h.body_size == 0 || ReadExact(&m.body[0], m.body.size(), timeoutMs);
}

bool RawClient::ClosedWithin(int timeoutMs)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    char buf[4096];
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now()).count();
        pollfd p{m_fd, POLLIN, 0};
        if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0)
            return false;
        const ssize_t k = ::recv(m_fd, buf, sizeof buf, 0);
        if (k == 0 || (k < 0 && errno == ECONNRESET))
            return true;
        if (k < 0)
            return false;
    }
}

} // namespace igtltest
