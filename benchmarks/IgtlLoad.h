// The parts of the load program on `sxtool serve`: the server and its
// tracker as processes, the resources read from /proc, and the clients,
// good and hostile.
#pragma once

#include "PerfRow.h"
#include "ProcStats.h"

#include <arpa/inet.h>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace igtlload {

using namespace sxperf;

constexpr int kSensors = 4;
constexpr int kRateHz = 240;
constexpr size_t kHeader = 58;

// ---------------------------------------------------------------- processes

// Runs args with env added; its standard output comes through outFd, its
// standard error through errFd when given (else it is dropped: messages
// and the library's trace lines are not the table's).
inline pid_t Spawn(const std::vector<std::string>& args, const std::string& env, int& outFd, int* errFd = nullptr)
{
    int out[2], err[2] = {-1, -1};
    if (pipe(out) != 0 || (errFd && pipe(err) != 0))
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        dup2(errFd ? err[1] : open("/dev/null", O_WRONLY), 2);
        if (!env.empty())
            putenv(const_cast<char*>(env.c_str()));
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    outFd = out[0];
    if (errFd) {
        close(err[1]);
        *errFd = err[0];
    }
    return pid;
}

inline std::string ReadLine(int fd)
{
    std::string line;
    char c;
    while (read(fd, &c, 1) == 1 && c != '\n')
        line += c;
    return line;
}

inline int OpenFds(pid_t pid)
{
    int n = 0;
    const std::string path = "/proc/" + std::to_string(pid) + "/fd";
    if (DIR* d = opendir(path.c_str())) {
        while (dirent* e = readdir(d))
            n += e->d_name[0] != '.';
        closedir(d);
    }
    return n;
}

inline int FreePort()
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    close(s);
    return ntohs(a.sin_port);
}

// sxsim on a pseudo-terminal and `sxtool serve` on it. sxsim prints the
// frames it has sent once a second (--status: its status line, though its
// standard error is a pipe): the stream the readers are measured against is
// what it sent, so that a tracker slowed by a loaded machine is not taken
// for the server's fault.
class Server {
public:
    explicit Server(int maxClients)
    {
        int simOut = -1, simErr = -1, toolOut = -1;
        m_sim =
            Spawn({SXSIM_PATH, "--status", "--sensors", std::to_string(kSensors), "--rate", std::to_string(kRateHz)},
                  "", simOut, &simErr);
        const std::string tty = ReadLine(simOut);
        close(simOut);
        m_counts = std::thread([this, simErr] {
            for (std::string line; !(line = ReadLine(simErr)).empty();) {
                unsigned long long sent = 0;
                if (std::sscanf(line.c_str(), "sxsim: frames %llu sent", &sent) == 1) {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    m_sent.push_back({NowNs(), static_cast<double>(sent)});
                }
            }
            close(simErr);
        });
        port = FreePort();
        m_tool = Spawn({SXTOOL_PATH, "serve", "--serial", "1", "--port", std::to_string(port), "--max-clients",
                        std::to_string(maxClients)},
                       "SXSERIO_PORTS=" + tty, toolOut);
        ok = ReadLine(toolOut).rfind("listening on port", 0) == 0;
        // Its further lines (one per client) are drained and dropped.
        m_drain = std::thread([toolOut] {
            char buf[4096];
            while (read(toolOut, buf, sizeof buf) > 0) {
            }
            close(toolOut);
        });
    }
    ~Server()
    {
        if (Alive()) {
            kill(m_tool, SIGINT);
            waitpid(m_tool, nullptr, 0);
        }
        m_drain.join();
        kill(m_sim, SIGTERM);
        waitpid(m_sim, nullptr, 0);
        m_counts.join();
    }
    pid_t Pid() const { return m_tool; }
    // Whether `sxtool serve` still runs (it may have died under the load).
    bool Alive()
    {
        if (!m_exited && waitpid(m_tool, nullptr, WNOHANG) == m_tool)
            m_exited = true;
        return !m_exited;
    }
    // Why a measurement on this server cannot be trusted, or empty: the
    // server never listened, or died.
    std::string Fault()
    {
        if (!ok)
            return "the server did not start";
        if (!Alive())
            return "the server died";
        return std::string();
    }

    // Frames the tracker sent between two moments, interpolated between its
    // counts (call it a second after t1, when the count after it is in).
    double FramesSent(int64_t t0, int64_t t1) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return SentAt(t1) - SentAt(t0);
    }

    int port = 0;
    bool ok = false;

private:
    struct Count {
        int64_t atNs;
        double sent;
    };
    double SentAt(int64_t t) const
    {
        for (size_t i = 1; i < m_sent.size(); ++i)
            if (m_sent[i].atNs >= t) {
                const Count &a = m_sent[i - 1], &b = m_sent[i];
                return a.sent +
                       (b.sent - a.sent) * static_cast<double>(t - a.atNs) / static_cast<double>(b.atNs - a.atNs);
            }
        return m_sent.empty() ? 0 : m_sent.back().sent;
    }

    pid_t m_sim = -1, m_tool = -1;
    bool m_exited = false;
    std::thread m_drain, m_counts;
    mutable std::mutex m_mutex;
    std::vector<Count> m_sent;
};

// CPU share and peak resident memory of the server over a stretch of time.
struct Usage {
    double cpuPercent = 0;
    long peakRssKb = 0;
};

class UsageMeter {
public:
    explicit UsageMeter(pid_t pid) : m_pid(pid), m_cpu0(CpuSeconds(pid)), m_t0(NowNs()) {}
    void Sample() { m_peak = std::max(m_peak, StatusKb(m_pid, "VmRSS:")); }
    Usage Done()
    {
        Sample();
        const double wall = static_cast<double>(NowNs() - m_t0) / 1e9;
        return {100.0 * (CpuSeconds(m_pid) - m_cpu0) / wall, m_peak};
    }

private:
    pid_t m_pid;
    double m_cpu0;
    int64_t m_t0;
    long m_peak = 0;
};

// ---------------------------------------------------------------- clients

inline std::string Message(const char* type, uint64_t bodySize = 0)
{
    std::string m(kHeader, '\0');
    m[1] = 1; // version 1, big-endian
    std::memcpy(&m[2], type, std::strlen(type));
    for (int i = 0; i < 8; ++i)
        m[42 + i] = static_cast<char>(bodySize >> (56 - 8 * i));
    return m; // an empty body's CRC is 0
}

inline int Connect(int port)
{
    const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        close(s);
        return -1;
    }
    return s;
}

inline bool SendAll(int fd, const std::string& b)
{
    for (size_t off = 0; off < b.size();) {
        const ssize_t n = send(fd, b.data() + off, b.size() - off, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        off += static_cast<size_t>(n);
    }
    return true;
}

// Reading clients on one epoll thread: each counts the TRANSFORM messages
// it receives while counting is on.
class Readers {
public:
    Readers(int port, int n) : m_ep(epoll_create1(EPOLL_CLOEXEC))
    {
        for (int i = 0; i < n; ++i) {
            auto c = std::make_unique<Conn>();
            c->fd = Connect(port);
            if (c->fd < 0) {
                ++m_unconnected;
                continue;
            }
            c->connectedNs = NowNs();
            epoll_event e{};
            e.events = EPOLLIN;
            e.data.ptr = c.get();
            epoll_ctl(m_ep, EPOLL_CTL_ADD, c->fd, &e);
            m_conns.push_back(std::move(c));
        }
        m_thread = std::thread([this] { Run(); });
    }
    ~Readers()
    {
        m_stop = true;
        m_thread.join();
        for (auto& c : m_conns)
            close(c->fd);
        close(m_ep);
    }
    void Count(bool on)
    {
        if (on) {
            for (auto& c : m_conns)
                c->transforms = 0;
            m_t0 = NowNs();
        } else {
            m_t1 = NowNs();
        }
        m_counting = on;
    }
    // Readers that could not connect.
    int Unconnected() const { return m_unconnected; }
    // The longest any reader waited from connecting to its first
    // TRANSFORM, in seconds (-1: one never had one).
    double FirstTransformSeconds() const
    {
        double worst = m_conns.empty() ? -1 : 0;
        for (auto& c : m_conns) {
            const int64_t first = c->firstTransformNs.load();
            if (first == 0)
                return -1;
            worst = std::max(worst, static_cast<double>(first - c->connectedNs) / 1e9);
        }
        return worst;
    }
    // When counting was on.
    int64_t From() const { return m_t0; }
    int64_t To() const { return m_t1; }
    // Each client's TRANSFORM messages as a share of the stream's, the
    // messages of that many frames (0 for a client that could not connect or
    // was closed).
    std::vector<double> Shares(size_t wanted, double frames) const
    {
        std::vector<double> v;
        for (auto& c : m_conns)
            v.push_back(c->closed ? 0.0 : static_cast<double>(c->transforms) / (frames * kSensors));
        v.resize(std::max(v.size(), wanted), 0.0);
        return v;
    }

private:
    struct Conn {
        int fd = -1;
        unsigned char head[kHeader];
        size_t have = 0;   // header bytes read
        uint64_t skip = 0; // body bytes still to read
        std::atomic<uint64_t> transforms{0};
        bool closed = false;
        int64_t connectedNs = 0;
        std::atomic<int64_t> firstTransformNs{0};
    };
    void Run()
    {
        epoll_event ev[64];
        unsigned char buf[65536];
        while (!m_stop) {
            const int n = epoll_wait(m_ep, ev, 64, 50);
            for (int i = 0; i < n; ++i) {
                Conn& c = *static_cast<Conn*>(ev[i].data.ptr);
                const ssize_t k = recv(c.fd, buf, sizeof buf, MSG_DONTWAIT);
                if (k <= 0) {
                    if (k == 0 || (errno != EAGAIN && errno != EINTR)) {
                        c.closed = true;
                        epoll_ctl(m_ep, EPOLL_CTL_DEL, c.fd, nullptr);
                    }
                    continue;
                }
                Parse(c, buf, static_cast<size_t>(k));
            }
        }
    }
    void Parse(Conn& c, const unsigned char* p, size_t n)
    {
        while (n > 0) {
            if (c.skip > 0) {
                const size_t k = static_cast<size_t>(std::min<uint64_t>(c.skip, n));
                c.skip -= k;
                p += k;
                n -= k;
                continue;
            }
            const size_t k = std::min(kHeader - c.have, n);
            std::memcpy(c.head + c.have, p, k);
            c.have += k;
            p += k;
            n -= k;
            if (c.have < kHeader)
                return;
            c.have = 0;
            for (int i = 0; i < 8; ++i)
                c.skip = c.skip << 8 | c.head[42 + i];
            if (std::memcmp(c.head + 2, "TRANSFORM", 10) == 0) {
                if (c.firstTransformNs.load() == 0)
                    c.firstTransformNs = NowNs();
                if (m_counting)
                    ++c.transforms;
            }
        }
    }

    int m_ep;
    std::vector<std::unique_ptr<Conn>> m_conns;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_counting{false};
    int64_t m_t0 = 0, m_t1 = 0;
    int m_unconnected = 0;
};

// Clients that misbehave, each on a thread of its own until stopped.
class Hostiles {
public:
    explicit Hostiles(int port) : m_port(port) {}
    ~Hostiles() { Stop(); }

    // Connected, never reading, never sending.
    void Stalled(int n)
    {
        for (int i = 0; i < n; ++i) {
            if (const int fd = Connect(m_port); fd >= 0)
                m_idle.push_back(fd);
            else
                ++m_unconnected;
        }
    }
    // Slot holders on one thread: each sends the first bytes of a header
    // (none: it only sits there) and never reads; it looks every 100 ms
    // whether it was closed, and connects again if so.
    void Holders(int n, size_t headerBytes)
    {
        const std::string start = Message("GET_STATUS").substr(0, headerBytes);
        std::vector<int> fds;
        for (int i = 0; i < n; ++i) {
            const int fd = Connect(m_port);
            if (fd < 0 || !SendAll(fd, start)) {
                ++m_unconnected;
                continue;
            }
            fds.push_back(fd);
        }
        m_threads.emplace_back([this, fds, start]() mutable {
            while (!m_stop) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                std::vector<pollfd> p;
                for (int fd : fds)
                    p.push_back({fd, POLLRDHUP, 0});
                if (poll(p.data(), p.size(), 0) <= 0)
                    continue;
                for (size_t i = 0; i < p.size(); ++i) {
                    if (!(p[i].revents & (POLLRDHUP | POLLHUP | POLLERR)))
                        continue;
                    close(fds[i]);
                    fds[i] = Connect(m_port);
                    if (fds[i] < 0 || !SendAll(fds[i], start))
                        return;
                    m_reconnects.fetch_add(1);
                }
            }
            for (int fd : fds)
                close(fd);
        });
    }
    // Clients that could not connect, and holders that connected again.
    int Unconnected() const { return m_unconnected; }
    uint64_t Reconnects() const { return m_reconnects.load(); }
    // Sends bytes without pause and never reads; with a body size of 2^40,
    // a body that never ends; with random, junk.
    void Flooder(const std::string& unit)
    {
        Loop([block = Repeated(unit)](int fd) { return SendAll(fd, block); }, false);
    }
    void Junk()
    {
        Loop(
            [rng = std::mt19937(7)](int fd) mutable {
                std::string b(4096, '\0');
                for (char& ch : b)
                    ch = static_cast<char>(rng());
                return SendAll(fd, b);
            },
            false);
    }
    // Sends a third of a header, then waits to be closed, and again.
    void HalfSender()
    {
        Loop(
            [](int fd) {
                // What it gets is read until the server closes it.
                char buf[4096];
                if (SendAll(fd, Message("GET_STATUS").substr(0, 20)))
                    while (recv(fd, buf, sizeof buf, 0) > 0) {
                    }
                return false;
            },
            true);
    }
    // Floods requests that are answered, and reads the answers.
    void ReadingFlooder(const std::string& unit)
    {
        Loop(
            [unit = Repeated(unit)](int fd) {
                char buf[65536];
                while (recv(fd, buf, sizeof buf, MSG_DONTWAIT) > 0) {
                }
                return SendAll(fd, unit);
            },
            false);
    }
    void Stop()
    {
        m_stop = true;
        for (int fd : m_live)
            shutdown(fd, SHUT_RDWR);
        for (std::thread& t : m_threads)
            t.join();
        m_threads.clear();
        for (int fd : m_idle)
            close(fd);
        m_idle.clear();
    }

private:
    // Some 32 KiB of the unit, for one send a step.
    static std::string Repeated(const std::string& unit)
    {
        std::string b;
        while (b.size() < 32768)
            b += unit;
        return b;
    }
    // Runs step on a connection until it fails, then (when reconnect) on a
    // new one, until stopped.
    template <class Step>
    void Loop(Step step, bool reconnect)
    {
        const int fd = Connect(m_port);
        if (fd < 0) {
            ++m_unconnected;
            return;
        }
        m_live.push_back(fd);
        m_threads.emplace_back([this, step, reconnect, fd]() mutable {
            int s = fd;
            while (!m_stop) {
                if (step(s))
                    continue;
                if (!reconnect || m_stop)
                    break;
                const int n = Connect(m_port);
                if (n < 0)
                    break;
                dup2(n, s); // keeps the descriptor Stop() shuts down
                close(n);
            }
        });
    }

    int m_port;
    int m_unconnected = 0;
    std::atomic<uint64_t> m_reconnects{0};
    std::atomic<bool> m_stop{false};
    std::vector<int> m_idle, m_live;
    std::vector<std::thread> m_threads;
};

} // namespace igtlload
