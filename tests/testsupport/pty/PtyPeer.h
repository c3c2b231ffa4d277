// A pseudo-terminal whose slave end stands in for a serial port and whose
// master end is driven by the test: bytes sent at once or by a timed
// script on its own thread, and what the port wrote read back.
#pragma once

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sxtest {

using Bytes = std::vector<unsigned char>;

class PtyPeer {
public:
    using Clock = std::chrono::steady_clock;

    struct Step {
        int delayMs; // pause before these bytes
        Bytes bytes;
    };

    PtyPeer(); // throws std::runtime_error when no pseudo-terminal can be had
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    // The slave's device path, e.g. /dev/pts/3.
    const std::string& Path() const { return m_path; }
    int MasterFd() const { return m_master; }

    // Writes all bytes to the master end (waits at most 2 s for room).
    bool Send(const Bytes& bytes);
    bool Send(const std::string& text) { return Send(Bytes(text.begin(), text.end())); }

    // Plays the steps in order on a thread; Wait() joins it.
    void Play(std::vector<Step> steps);
    void Wait();
    // When each step's bytes were written (after Wait()).
    std::vector<Clock::time_point> SentAt();

    // What the port wrote: up to n bytes, ending when none came for quietMs.
    Bytes Receive(size_t n, int quietMs);
    // Bytes the port wrote that nobody read yet, dropped; returns their count.
    size_t Drain();
    // Closes the master end, so the port sees its line hung up.
    void HangUp();

private:
    int m_master;
    int m_slave; // held open so the terminal never hangs up between opens
    std::string m_path;
    std::thread m_player;
    std::mutex m_mtx;
    std::vector<Clock::time_point> m_sentAt;
};

// A frame: the four preamble letters, the body length as a little-endian
// 32-bit word, then the body.
Bytes Frame(const char* preamble, const Bytes& body);
// A frame whose body is n bytes counting up from first.
Bytes Frame(const char* preamble, size_t n, unsigned char first = 0);
Bytes Concat(const Bytes& a, const Bytes& b);

} // namespace sxtest
