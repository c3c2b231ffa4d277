// Helpers of the simulator's tests: command frames built by the protocol
// code, and a client on the slave end of a simulated serial line.
#pragma once

#include <sxwire/LEWords.h>
#include <SXCmdIF/protocol/SXcmd.h>
#include <SXCmdIF/protocol/SXframeInfo.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace simtest {

using Bytes = std::vector<unsigned char>;

// A command frame as the library builds it.
inline Bytes Command(uint32_t cmd, uint32_t action, uint32_t arg1 = 0, uint32_t arg2 = 0, const void* payload = nullptr,
                     unsigned len = 0, uint32_t preamble = SX_PREAMBLE_CMD)
{
    CSXcmd c(preamble);
    c.Fill(0, cmd, action, arg1, arg2, payload, len);
    Bytes b(c.FrameLen());
    int n = 0;
    c.Prepare(b.data(), n);
    b.resize(static_cast<size_t>(n));
    return b;
}

inline uint32_t Word(const Bytes& b, size_t off)
{
    return sxwire::GetLE32(b.data() + off);
}

// The slave end of a simulated line, raw.
class Client {
public:
    explicit Client(const std::string& path) : m_fd(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {
        termios t;
        if (m_fd >= 0 && tcgetattr(m_fd, &t) == 0) {
            cfmakeraw(&t);
            tcsetattr(m_fd, TCSANOW, &t);
        }
    }
    ~Client()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    bool Ok() const { return m_fd >= 0; }
    int Fd() const { return m_fd; }
    bool Send(const Bytes& b) { return write(m_fd, b.data(), b.size()) == static_cast<ssize_t>(b.size()); }

    // Bytes until none came for quietMs (or max bytes).
    Bytes ReadQuiet(int quietMs, size_t max = 1 << 20)
    {
        Bytes out;
        while (out.size() < max && Fill(quietMs))
            Take(out, max);
        return out;
    }
    // The next whole frame whose preamble is one of the two, skipping
    // anything before it (counted in skipped); empty on time-out.
    Bytes Frame(uint32_t pre1, uint32_t pre2, int timeoutMs = 3000, size_t* skipped = nullptr)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            size_t i = 0;
            while (i + 4 <= m_buf.size() && sxwire::GetLE32(m_buf.data() + i) != pre1 &&
                   sxwire::GetLE32(m_buf.data() + i) != pre2)
                ++i;
            if (i + 8 <= m_buf.size()) {
                const size_t len = sxwire::GetLE32(m_buf.data() + i + 4) + 8u;
                if (i + len <= m_buf.size()) {
                    if (skipped)
                        *skipped += i;
                    Bytes f(m_buf.begin() + static_cast<long>(i), m_buf.begin() + static_cast<long>(i + len));
                    m_buf.erase(m_buf.begin(), m_buf.begin() + static_cast<long>(i + len));
                    return f;
                }
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !Fill(static_cast<int>(left.count())))
                return {};
            Take(m_buf, 1 << 20);
        }
    }
    // Whether the line reports a hang-up within timeoutMs.
    bool HungUp(int timeoutMs)
    {
        pollfd p{m_fd, POLLIN, 0};
        if (poll(&p, 1, timeoutMs) <= 0)
            return false;
        unsigned char c[256];
        return (p.revents & POLLHUP) != 0 || read(m_fd, c, sizeof c) <= 0;
    }

private:
    bool Fill(int ms)
    {
        pollfd p{m_fd, POLLIN, 0};
        return poll(&p, 1, ms) > 0 && (p.revents & POLLIN);
    }
    void Take(Bytes& out, size_t max)
    {
        unsigned char tmp[4096];
        const ssize_t n = read(m_fd, tmp, sizeof tmp);
        if (n > 0)
            out.insert(out.end(), tmp, tmp + std::min<size_t>(static_cast<size_t>(n), max - out.size()));
    }

    int m_fd;
    Bytes m_buf;
};

} // namespace simtest
