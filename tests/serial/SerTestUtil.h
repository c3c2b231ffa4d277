// Shared pieces of the serial transport's tests: a transport with its
// protected members opened up, a callback that collects frames, and the
// port list variable.
#pragma once

#include <SXserIO/SXserIO.h>
#include "linux/Descriptor.h"
#include <testsupport/StdoutCapture.h>
#include <testsupport/pty/PtyPeer.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <pthread.h>
#include <string>
#include <sys/ioctl.h>
#include <thread>
#include <vector>

namespace sxtest {

class TestSerIO : public CSXserIO {
public:
    using CSXserIO::ClearContThreadFlag;
    using CSXserIO::CSXserIO;
    using CSXserIO::DataReady;
    using CSXserIO::DumpDCB;
    using CSXserIO::Findframe;
    using CSXserIO::PreambleTest;
    using CSXserIO::StartContThread;
    using CSXserIO::StopContThread;
    int Fd() const { return sxplat::Descriptor(m_hCom); }
    void* Port() const { return m_hCom; }
    unsigned char* FrameBuf() { return m_frameBuf; }
    unsigned char* RxStore() { return m_rxStore; }
    bool HasThread() const { return m_pthCont != nullptr; }
    int ModeZJ() const { return m_iModeZJ; }
};

// Collects every frame the reading thread hands over.
class Collector {
public:
    static void CB(void* arg, unsigned char* data, unsigned int len)
    {
        auto* self = static_cast<Collector*>(arg);
        std::lock_guard<std::mutex> lock(self->m_mtx);
        if (self->m_frames.empty()) {
            self->m_prefix = ThreadPrefix();
            self->m_thread = static_cast<unsigned int>(pthread_self());
        }
        self->m_frames.emplace_back(data, data + len);
        self->m_cv.notify_all();
    }
    // Waits until at least n frames came (or ms passed); true if they did.
    bool WaitFor(size_t n, int ms)
    {
        std::unique_lock<std::mutex> lock(m_mtx);
        return m_cv.wait_for(lock, std::chrono::milliseconds(ms), [&] { return m_frames.size() >= n; });
    }
    std::vector<Bytes> Frames()
    {
        std::lock_guard<std::mutex> lock(m_mtx);
        return m_frames;
    }
    // The trace prefix of the thread that made the first call, and its
    // thread handle as the transport prints it.
    std::string Prefix()
    {
        std::lock_guard<std::mutex> lock(m_mtx);
        return m_prefix;
    }
    unsigned int Thread()
    {
        std::lock_guard<std::mutex> lock(m_mtx);
        return m_thread;
    }

private:
    std::mutex m_mtx;
    std::condition_variable m_cv;
    std::vector<Bytes> m_frames;
    std::string m_prefix;
    unsigned int m_thread = 0;
};

// Waits (at most 2 s) until at least n bytes wait to be read on fd, so a
// test can rely on how the reads that follow cut the input.
inline bool WaitPending(int fd, int n)
{
    for (int i = 0; i < 400; ++i) {
        int waiting = 0;
        if (ioctl(fd, FIONREAD, &waiting) == 0 && waiting >= n)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

inline std::string Hex(unsigned int v)
{
    char text[16];
    snprintf(text, sizeof text, "%x", v);
    return text;
}

inline void SetPorts(const std::string& paths)
{
    setenv("SXSERIO_PORTS", paths.c_str(), 1);
}

inline Bytes Filler(size_t n, unsigned char value)
{
    return Bytes(n, value);
}

inline long long MsSince(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
}

inline std::wstring Wide(const std::string& s)
{
    return std::wstring(s.begin(), s.end());
}

} // namespace sxtest
