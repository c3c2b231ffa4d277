// Machines for the network tests (ROS 2 over DDS): network namespaces the
// test makes itself, joined by a veth pair (two) or by a bridge in the first
// one (more), with addresses only inside them and multicast on, so that DDS
// discovers by multicast as on a lab's network. Programs run inside them through
// `ip netns exec`, their output collected as it comes.
#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sxnetlab {

// Whether namespaces can be made here (root and iproute2); why not in why.
bool NamespacesAvailable(std::string& why);

class NetLab {
public:
    NetLab() = default;
    ~NetLab(); // removes the namespaces, whatever happened
    NetLab(const NetLab&) = delete;
    NetLab& operator=(const NetLab&) = delete;

    // Makes count (2 or more) namespaces; false with the failing command's
    // message in why.
    bool Make(int count, std::string& why);
    const std::string& Name(int i) const { return m_names.at(static_cast<size_t>(i)); }
    // Removes the namespaces (also done by the destructor).
    void Remove();

private:
    std::vector<std::string> m_names;
};

// A program running in a namespace (or here, for an empty name), with its
// standard output and error read into memory. A program left running when
// the object goes is killed; so is every one when the test's process dies.
class Child {
public:
    Child() = default;
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool Start(const std::string& ns, const std::vector<std::string>& argv,
               const std::map<std::string, std::string>& env = {});
    // Waits until standard output (error) holds text (true), or ms pass,
    // or the program ends without it (false).
    bool WaitForOutput(const std::string& text, int ms) { return WaitFor(m_out, text, ms); }
    bool WaitForError(const std::string& text, int ms) { return WaitFor(m_err, text, ms); }
    void Signal(int sig);
    // Waits up to ms for the program to end: its exit code, 128 + the
    // signal that ended it, or -1 when it was still running (it is killed).
    int Wait(int ms);
    std::string Out();
    std::string Err();
    int Pid() const { return m_pid; }

private:
    void ReadOutput(int outFd, int errFd);
    bool WaitFor(const std::string& stream, const std::string& text, int ms);

    int m_pid = -1;
    int m_status = -1;
    std::thread m_reader;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::string m_out, m_err;
    bool m_eof = false;
};

} // namespace sxnetlab
