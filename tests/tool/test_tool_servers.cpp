// serve and view as a user meets them before any client: the defaults in
// their help, and a port another program holds named as such.
#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace tooltest;

namespace {

// A port on the loopback that another socket listens on while it lives.
class HeldPort {
public:
    HeldPort()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (m_fd >= 0 && ::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 && ::listen(m_fd, 1) == 0 &&
            ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
            m_port = ntohs(addr.sin_port);
    }
    ~HeldPort()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    HeldPort(const HeldPort&) = delete;
    HeldPort& operator=(const HeldPort&) = delete;
    int Port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = 0;
};

} // namespace

TEST(Servers, HelpShowsTheDefaultsAndABusyPortIsNamed)
{
    const struct {
        const char* command;
        const char* defaultPort;
    } servers[] = {{"serve", "=18944"}, {"view", "=8080"}};
    for (const auto& s : servers) {
        const RunResult help = Tool({s.command, "--help"});
        ASSERT_EQ(help.exitCode, 0) << s.command;
        if (help.out.find("Not in this build") != std::string::npos)
            continue;
        EXPECT_NE(help.out.find(s.defaultPort), std::string::npos) << help.out;
        EXPECT_NE(help.out.find("--bind TEXT:IPV4=127.0.0.1"), std::string::npos) << help.out;

        HeldPort held;
        ASSERT_GT(held.Port(), 0);
        const std::string port = std::to_string(held.Port());
        const RunResult r = Tool({s.command, "--sim", "--port", port});
        EXPECT_EQ(r.exitCode, 1) << r.out;
        EXPECT_EQ(r.err, "sxtool: cannot listen on 127.0.0.1 port " + port +
                             ": address already in use (another program listens there; --port takes another)\n")
            << s.command;
    }
}
