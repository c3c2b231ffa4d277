#include "PtyPeer.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace sxtest {

PtyPeer::PtyPeer() : m_master(-1), m_slave(-1)
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
        throw std::runtime_error("no pseudo-terminal");
    char name[128];
    if (ptsname_r(m_master, name, sizeof name) != 0)
        throw std::runtime_error("ptsname failed");
    m_path = name;
    m_slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (m_slave < 0)
        throw std::runtime_error("cannot open the slave end");
    // Raw from the start: no echo, no line editing, before the port is set.
    termios t;
    if (tcgetattr(m_slave, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(m_slave, TCSANOW, &t);
    }
}

PtyPeer::~PtyPeer()
{
    Wait();
    if (m_slave >= 0)
        close(m_slave);
    if (m_master >= 0)
        close(m_master);
}

bool PtyPeer::Send(const Bytes& bytes)
{
    size_t done = 0;
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    while (done < bytes.size()) {
        const ssize_t r = write(m_master, bytes.data() + done, bytes.size() - done);
        if (r > 0) {
            done += static_cast<size_t>(r);
            continue;
        }
        if (r < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (Clock::now() > deadline)
            return false;
        pollfd p{m_master, POLLOUT, 0};
        poll(&p, 1, 20);
    }
    return true;
}

void PtyPeer::Play(std::vector<Step> steps)
{
    Wait();
    {
        std::lock_guard<std::mutex> lock(m_mtx);
        m_sentAt.clear();
    }
    m_player = std::thread([this, steps = std::move(steps)] {
        for (const Step& s : steps) {
            if (s.delayMs > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(s.delayMs));
            Send(s.bytes);
            std::lock_guard<std::mutex> lock(m_mtx);
            m_sentAt.push_back(Clock::now());
        }
    });
}

void PtyPeer::Wait()
{
    if (m_player.joinable())
        m_player.join();
}

std::vector<PtyPeer::Clock::time_point> PtyPeer::SentAt()
{
    std::lock_guard<std::mutex> lock(m_mtx);
    return m_sentAt;
}

Bytes PtyPeer::Receive(size_t n, int quietMs)
{
    Bytes out;
    unsigned char buf[4096];
    while (out.size() < n) {
        pollfd p{m_master, POLLIN, 0};
        if (poll(&p, 1, quietMs) <= 0)
            break;
        const size_t want = n - out.size() < sizeof buf ? n - out.size() : sizeof buf;
        const ssize_t r = read(m_master, buf, want);
        if (r <= 0) {
            if (r < 0 && (errno == EAGAIN || errno == EINTR))
                continue;
            break;
        }
        out.insert(out.end(), buf, buf + r);
    }
    return out;
}

size_t PtyPeer::Drain()
{
    size_t n = 0;
    unsigned char buf[4096];
    for (;;) {
        const ssize_t r = read(m_master, buf, sizeof buf);
        if (r <= 0)
            return n;
        n += static_cast<size_t>(r);
    }
}

void PtyPeer::HangUp()
{
    Wait();
    // The descriptor number stays taken (by /dev/null) until destruction.
    const int null = open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null >= 0) {
        dup2(null, m_master);
        close(null);
    }
}

Bytes Frame(const char* preamble, const Bytes& body)
{
    Bytes f(preamble, preamble + 4);
    const uint32_t n = static_cast<uint32_t>(body.size());
    for (int i = 0; i < 4; ++i)
        f.push_back(static_cast<unsigned char>(n >> (8 * i)));
    f.insert(f.end(), body.begin(), body.end());
    return f;
}

Bytes Frame(const char* preamble, size_t n, unsigned char first)
{
    Bytes body(n);
    for (size_t i = 0; i < n; ++i)
        body[i] = static_cast<unsigned char>(first + i);
    return Frame(preamble, body);
}

Bytes Concat(const Bytes& a, const Bytes& b)
{
    Bytes out(a);
    out.insert(out.end(), b.begin(), b.end());
    return out;
}

} // namespace sxtest
