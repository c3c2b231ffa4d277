#include "ListenProbe.h"

#include "Texts.h"

#ifndef _WIN32
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace sxtool {

std::string ListenFailure(const std::string& address, int port)
{
#ifdef _WIN32
    // The servers are part of the Linux build only.
    (void)address;
    (void)port;
    return std::string();
#else
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    if (::inet_pton(AF_INET, address.c_str(), &addr.sin_addr) != 1)
        return std::string();
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return std::string();
    // As the servers bind: an address left in TIME_WAIT is not in use.
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    int error = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 1) != 0)
        error = errno;
    ::close(fd);
    if (error == 0)
        return std::string();
    if (error == EADDRINUSE)
        return texts::kPortInUse;
    return std::strerror(error);
#endif
}

} // namespace sxtool
