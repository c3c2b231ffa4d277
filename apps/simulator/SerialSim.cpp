// The serial link: the master end of a pseudo-terminal pair (or a tty it is
// given), non-blocking. A frame that does not fit the line's buffer whole
// is not sent; a partly written one is finished before anything else.
#include <simulator/SimRunner.h>
#include <simulator/SimTracker.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace sxsim {

namespace {

bool MakeRaw(int fd)
{
    termios t;
    if (tcgetattr(fd, &t) != 0)
        return false;
    cfmakeraw(&t);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

class SerialLink final : public SimLink {
public:
    // fd: the end the simulator serves; holdFd: the other end of its own
    // pair, held open so the line does not hang up between applications.
    SerialLink(int fd, int holdFd) : m_fd(fd), m_hold(holdFd) {}
    ~SerialLink() override { Close(); }

    int Fd() const override { return m_fd; }
    short Events() const override { return static_cast<short>(POLLIN | (m_tailLen ? POLLOUT : 0)); }
    bool IsStream() const override { return true; }

    size_t ReadInput(unsigned char* buf, size_t cap, bool& closed) override
    {
        size_t total = 0;
        while (total < cap) {
            const ssize_t n = read(m_fd, buf + total, cap - total);
            if (n > 0) {
                total += static_cast<size_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
                closed = m_hold < 0; // a pair of our own never hangs up
            break;
        }
        if (cap == 0) { // the input store is full: drop what waits
            unsigned char sink[256];
            while (read(m_fd, sink, sizeof sink) > 0) {
            }
        }
        return total;
    }

    SendResult Send(const unsigned char* data, size_t len, bool mustDeliver) override
    {
        if (m_fd < 0)
            return SendResult::Closed;
        if (!Flush())
            return Keep(data, len, mustDeliver);
        const ssize_t n = write(m_fd, data, len);
        if (n == static_cast<ssize_t>(len))
            return SendResult::Sent;
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
                return Keep(data, len, mustDeliver);
            return SendResult::Closed;
        }
        // Begun: the rest goes first when the line takes more.
        std::memcpy(m_tail, data + n, len - static_cast<size_t>(n));
        m_tailLen = len - static_cast<size_t>(n);
        return SendResult::Sent;
    }

    void OnWritable() override { Flush(); }

    void Close() override
    {
        if (m_fd >= 0)
            close(m_fd);
        if (m_hold >= 0)
            close(m_hold);
        m_fd = m_hold = -1;
        m_tailLen = 0;
    }

private:
    // Writes the unfinished frame; true when nothing is left of it.
    bool Flush()
    {
        while (m_tailLen > 0) {
            const ssize_t n = write(m_fd, m_tail, m_tailLen);
            if (n <= 0)
                return false;
            std::memmove(m_tail, m_tail + n, m_tailLen - static_cast<size_t>(n));
            m_tailLen -= static_cast<size_t>(n);
        }
        return true;
    }

    SendResult Keep(const unsigned char* data, size_t len, bool mustDeliver)
    {
        if (!mustDeliver || m_tailLen + len > sizeof m_tail)
            return SendResult::Full;
        std::memcpy(m_tail + m_tailLen, data, len);
        m_tailLen += len;
        return SendResult::Sent;
    }

    int m_fd;
    int m_hold;
    unsigned char m_tail[4 * kMaxResponse];
    size_t m_tailLen = 0;
};

void SetError(std::string* error, const std::string& what)
{
    if (error)
        *error = what + ": " + std::strerror(errno);
}

// A new pseudo-terminal pair, its slave end in raw mode: false with error.
bool OpenPair(int& master, int& slave, std::string& name, std::string* error)
{
    master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master < 0) {
        SetError(error, "posix_openpt");
        return false;
    }
    char path[128];
    if (grantpt(master) != 0 || unlockpt(master) != 0 || ptsname_r(master, path, sizeof path) != 0) {
        SetError(error, "pseudo-terminal");
        close(master);
        return false;
    }
    slave = open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0 || !MakeRaw(slave)) {
        SetError(error, std::string("open ") + path);
        if (slave >= 0)
            close(slave);
        close(master);
        return false;
    }
    name = path;
    return true;
}

} // namespace

std::unique_ptr<SerialSim> SerialSim::Start(const SimConfig& cfg, std::string* error)
{
    int master = -1, slave = -1;
    std::string name;
    if (!OpenPair(master, slave, name, error))
        return nullptr;
    return Serve(master, slave, name, cfg, error);
}

bool SerialSim::ReopenLine(bool powerCycle, std::string* error)
{
    int master = -1, slave = -1;
    std::string name;
    if (!OpenPair(master, slave, name, error))
        return false;
    if (powerCycle)
        m_unit->PowerCycle();
    m_path = name;
    m_runner->ReplaceLink(std::make_unique<SerialLink>(master, slave));
    return true;
}

std::unique_ptr<SerialSim> SerialSim::StartOnPath(const std::string& tty, const SimConfig& cfg, std::string* error)
{
    const int fd = open(tty.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        SetError(error, "open " + tty);
        return nullptr;
    }
    if (isatty(fd) && !MakeRaw(fd)) {
        SetError(error, "raw mode " + tty);
        close(fd);
        return nullptr;
    }
    return Serve(fd, -1, tty, cfg, error);
}

std::unique_ptr<SerialSim> SerialSim::Serve(int fd, int holdFd, std::string path, const SimConfig& cfg,
                                            std::string* error)
{
    std::unique_ptr<SerialSim> sim(new SerialSim());
    sim->m_path = std::move(path);
    sim->m_unit = std::make_unique<SimUnit>(cfg);
    sim->m_runner = std::make_unique<SimRunner>(*sim->m_unit, std::make_unique<SerialLink>(fd, holdFd));
    if (!sim->m_runner->Start(error))
        return nullptr;
    return sim;
}

SerialSim::~SerialSim()
{
    if (m_runner)
        m_runner->Stop();
}

void SerialSim::SetFaults(const FaultConfig& f)
{
    m_runner->SetFaults(f);
}

SimStats SerialSim::Stats() const
{
    return m_runner->Stats();
}

void SerialSim::SetTruthSink(TruthSink* sink)
{
    m_runner->SetTruthSink(sink);
}

void SerialSim::GoQuiet(bool quiet)
{
    m_runner->SetQuiet(quiet);
}

void SerialSim::CloseLine()
{
    m_runner->CloseLink();
}

} // namespace sxsim
