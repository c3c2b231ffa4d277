#include "testsupport/netns/NetLab.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace sxnetlab {

namespace {

constexpr const char* kPrefix = "sxr2-";

std::vector<char*> Argv(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    return argv;
}

// Runs a command to its end; false with its standard error (or why it could
// not run) in why.
bool Run(const std::vector<std::string>& args, std::string& why)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        why = std::strerror(errno);
        return false;
    }
    std::vector<char*> argv = Argv(args);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 2);
        const int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        execvp(argv[0], argv.data());
        std::fprintf(stderr, "cannot run %s: %s", argv[0], std::strerror(errno));
        _exit(127);
    }
    close(fds[1]);
    std::string err;
    char buf[512];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0)
            err.append(buf, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return true;
    std::string cmd;
    for (const std::string& a : args)
        cmd += (cmd.empty() ? "" : " ") + a;
    why = cmd + ": " + (err.empty() ? "failed" : err);
    while (!why.empty() && why.back() == '\n')
        why.pop_back();
    return false;
}

// Namespaces left by a test process that died before it could remove them.
void RemoveStale()
{
    DIR* d = opendir("/run/netns");
    if (!d)
        return;
    std::vector<std::string> stale;
    while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name.rfind(kPrefix, 0) != 0)
            continue;
        const int pid = std::atoi(name.c_str() + std::strlen(kPrefix));
        if (pid > 0 && kill(pid, 0) != 0 && errno == ESRCH)
            stale.push_back(name);
    }
    closedir(d);
    std::string ignored;
    for (const std::string& name : stale)
        Run({"ip", "netns", "del", name}, ignored);
}

std::string Address(int i)
{
    return "10.231.0." + std::to_string(i + 1) + "/24";
}

} // namespace

bool NamespacesAvailable(std::string& why)
{
    if (geteuid() != 0) {
        why = "not root";
        return false;
    }
    const std::string probe = kPrefix + std::to_string(getpid()) + "-probe";
    if (!Run({"ip", "netns", "add", probe}, why))
        return false;
    Run({"ip", "netns", "del", probe}, why);
    return true;
}

NetLab::~NetLab()
{
    Remove();
}

void NetLab::Remove()
{
    std::string ignored;
    for (const std::string& name : m_names)
        Run({"ip", "netns", "del", name}, ignored);
    m_names.clear();
}

bool NetLab::Make(int count, std::string& why)
{
    static std::atomic<int> labs{0};
    RemoveStale();
    const std::string base = kPrefix + std::to_string(getpid()) + "-" + std::to_string(labs++) + "-";
    for (int i = 0; i < count; ++i) {
        m_names.push_back(base + std::to_string(i));
        if (!Run({"ip", "netns", "add", m_names.back()}, why) ||
            !Run({"ip", "-n", m_names.back(), "link", "set", "lo", "up"}, why))
            return false;
    }
    // Each namespace's link to the others: the end of a veth pair, or, in
    // the first namespace once there are more than two, a bridge without
    // multicast snooping (every multicast goes to every port).
    std::vector<std::string> links(static_cast<size_t>(count), "v0");
    std::vector<std::vector<std::string>> cmds;
    if (count == 2) {
        links[1] = "v1";
        cmds.push_back(
            {"ip", "link", "add", "v0", "netns", Name(0), "type", "veth", "peer", "name", "v1", "netns", Name(1)});
    } else {
        links[0] = "br0";
        cmds.push_back({"ip", "-n", Name(0), "link", "add", "br0", "type", "bridge", "mcast_snooping", "0"});
        for (int i = 1; i < count; ++i) {
            const std::string port = "p" + std::to_string(i);
            cmds.push_back(
                {"ip", "link", "add", port, "netns", Name(0), "type", "veth", "peer", "name", "v0", "netns", Name(i)});
            cmds.push_back({"ip", "-n", Name(0), "link", "set", port, "master", "br0", "up"});
        }
    }
    for (int i = 0; i < count; ++i) {
        const std::string& ns = Name(i);
        const std::string& dev = links[static_cast<size_t>(i)];
        cmds.push_back({"ip", "-n", ns, "addr", "add", Address(i), "dev", dev});
        cmds.push_back({"ip", "-n", ns, "link", "set", dev, "multicast", "on", "up"});
        cmds.push_back({"ip", "-n", ns, "route", "add", "239.0.0.0/8", "dev", dev});
    }
    for (const auto& c : cmds)
        if (!Run(c, why))
            return false;
    return true;
}

Child::~Child()
{
    if (m_pid > 0 && m_status < 0)
        Wait(0);
    if (m_reader.joinable())
        m_reader.join();
}

bool Child::Start(const std::string& ns, const std::vector<std::string>& args,
                  const std::map<std::string, std::string>& env)
{
    std::vector<std::string> full;
    if (!ns.empty())
        full = {"ip", "netns", "exec", ns};
    full.insert(full.end(), args.begin(), args.end());
    std::vector<char*> argv = Argv(full);
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
        return false;
    const pid_t parent = getpid();
    m_pid = fork();
    if (m_pid == 0) {
        // Gone with the test, whatever ends it; `ip netns exec` keeps this
        // (it execs the program in its own process).
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        dup2(out[1], 1);
        dup2(err[1], 2);
        const int null = open("/dev/null", O_RDONLY);
        dup2(null, 0);
        for (const auto& [k, v] : env)
            setenv(k.c_str(), v.c_str(), 1);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    if (m_pid < 0) {
        close(out[0]);
        close(err[0]);
        return false;
    }
    m_reader = std::thread([this, o = out[0], e = err[0]] { ReadOutput(o, e); });
    return true;
}

void Child::ReadOutput(int outFd, int errFd)
{
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    int open = 2;
    char buf[4096];
    while (open > 0) {
        if (poll(fds, 2, -1) < 0 && errno != EINTR)
            break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            const ssize_t n = read(fds[i].fd, buf, sizeof buf);
            if (n < 0 && errno == EINTR)
                continue;
            std::lock_guard<std::mutex> lock(m_mutex);
            if (n > 0) {
                (i == 0 ? m_out : m_err).append(buf, static_cast<size_t>(n));
            } else {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
            m_changed.notify_all();
        }
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_eof = true;
    m_changed.notify_all();
}

bool Child::WaitFor(const std::string& stream, const std::string& text, int ms)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait_for(lock, std::chrono::milliseconds(ms),
                       [&] { return stream.find(text) != std::string::npos || m_eof; });
    return stream.find(text) != std::string::npos;
}

void Child::Signal(int sig)
{
    if (m_pid > 0 && m_status < 0)
        kill(m_pid, sig);
}

int Child::Wait(int ms)
{
    if (m_pid <= 0)
        return -1;
    if (m_status >= 0)
        return m_status;
    // The program has ended once its output has; one that keeps it open
    // past ms is killed.
    bool ended;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        ended = m_changed.wait_for(lock, std::chrono::milliseconds(ms), [&] { return m_eof; });
    }
    if (!ended)
        kill(m_pid, SIGKILL);
    int status = 0;
    while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (m_reader.joinable())
        m_reader.join();
    return ended ? m_status : -1;
}

std::string Child::Out()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_out;
}

std::string Child::Err()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_err;
}

} // namespace sxnetlab
