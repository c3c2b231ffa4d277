// The C++ half of sxcmdif.Tracker: one context with one device, the
// commands of the item table, P&O reading and the frame callback. Every
// call into the library runs without the GIL.
#pragma once

#include <pybind11/pybind11.h>

#include <frames/StreamGuard.h>
#include <items/SettingsJournal.h>
#include <frames/FrameClock.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>

struct _sxFrameInfo;

namespace sxsim {
class SerialSim;
}

namespace sxpy {

namespace py = pybind11;
struct RawFrame;

// What the reading thread's callback works with. It outlives the device's
// reading thread: the device is released (and its thread joined) first.
struct CallbackState {
    std::atomic<int> inflight{0};
    py::object fn;          // touched only with the GIL
    uint32_t delivered = 0; // likewise
    uint64_t errors = 0;    // exceptions the callback raised; likewise
    // The measurement times of the frames it delivers, on the reading
    // thread alone; others ask for a restart or a new period.
    sxframes::FrameClock clock;
    std::atomic<bool> restartClock{false};
    std::atomic<int64_t> periodNs{0};
};

class TrackerCore {
public:
    TrackerCore();
    ~TrackerCore();
    TrackerCore(const TrackerCore&) = delete;
    TrackerCore& operator=(const TrackerCore&) = delete;

    // timeoutMs: how long commands wait for their answers once connected;
    // retries: serial connections tried while nothing answers.
    // serial: the tracker with this hardware serial number (empty: the first).
    void OpenUsb(uint32_t tag, int pid, int timeoutMs, const std::string& serial);
    void OpenHub(int timeoutMs);
    void OpenSerial(int port, py::object cfg, int timeoutMs, int retries);
    void OpenSimulated(int sensors, int rate, int timeoutMs, int retries, const py::kwargs& options);
    // Stops continuous output, releases the device and the context, stops a
    // simulated tracker. Again: nothing.
    void Close();
    bool IsOpen() const { return m_dev != nullptr; }
    const std::string& Kind() const { return m_kind; }

    py::object Get(py::object item, py::object sensor, py::object source, py::object arg2);
    void Set(py::object item, py::object value, py::object sensor, py::object source, py::object arg2);
    void Reset(py::object item, py::object sensor, py::object source, py::object arg2);
    void Persist();
    py::object Identity();
    uint32_t SeuId();
    std::string Report();
    void SetTimeoutMs(py::object ms);
    int TimeoutMs() const { return m_timeoutMs; }
    void SetTrace(int level);

    void Start(bool clearQueue);
    void Stop();
    bool Streaming() const { return m_streaming; }
    // The oldest queued frame, waiting up to timeoutS; None when none came.
    py::object NextFrame(double timeoutS);
    // Every queued frame (at most maxFrames) as one structured array.
    py::object Read(py::object maxFrames);
    py::object Single();
    void OnFrame(py::object callback);
    uint64_t CallbackErrors() const { return m_cb.errors; }
    unsigned Pending();
    void ClearQueue();

    // stream()'s watch over the queue (frames/StreamGuard.h): begun with or
    // without reconnection; each step the oldest frame (or None when none
    // came within waitS, or when something happened) and the events as
    // (kind, text, code) tuples; ended with the counts as a dict.
    void WatchBegin(bool reconnect);
    py::tuple WatchNext(double waitS);
    py::dict WatchEnd();

    void SetFaults(const py::kwargs& faults);
    py::dict SimStats();
    std::string SimPath();

    // Closes every open tracker and keeps callbacks from entering Python;
    // run when the interpreter begins to shut down.
    static void ShutDownAll();

private:
    // Runs f (which calls the library) without the GIL, holding the use lock.
    template <class F>
    int Blocking(F&& f)
    {
        py::gil_scoped_release nogil;
        std::shared_lock<std::shared_mutex> lock(m_use);
        return f();
    }
    py::object Command(const char* verb, int action, py::object item, py::object value, py::object sensor,
                       py::object source, py::object arg2);
    // Creates the context and connects; the use lock is held. The way of
    // connecting is kept for a reconnection.
    int Connect(const std::function<int(void* ctx, void*& dev)>& connect);
    // The lost device released, a new one connected as the first was.
    int Reconnect(void*& dev);
    // Records the connection and gives its commands timeoutMs to answer.
    void Opened(const std::string& kind, int timeoutMs);
    void RequireOpen() const;
    void RequireNoCallback() const;
    void RequireNotInCallback(const char* what) const;

    void* m_ctx = nullptr;
    void* m_dev = nullptr;
    std::string m_kind;
    bool m_streaming = false;
    int m_timeoutMs = 50;
    // Measurement times of the frames read from the queue.
    std::mutex m_clockMtx;
    sxframes::FrameClock m_clock;
    // A frame taken from the queue: copied, and stamped by m_clock.
    void TakeQueued(const _sxFrameInfo& fi, RawFrame& raw);
    // A new frame period for both clocks; restart: a stream starts again.
    void SetFramePeriod(int64_t periodNs, bool restart);
    // Held shared by every call into the library, exclusively by Close.
    mutable std::shared_mutex m_use;
    CallbackState m_cb;
    std::unique_ptr<sxsim::SerialSim> m_sim;
    std::function<int(void* ctx, void*& dev)> m_connect;
    sxitems::SettingsJournal m_journal; // the settings made, for a new connection
    std::unique_ptr<sxframes::StreamGuard> m_guard;
};

} // namespace sxpy
