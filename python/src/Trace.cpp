#include "Trace.h"

#include <SXCmdIF/SXCmdIF.h>

#include <pybind11/stl.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace sxpy {

namespace {

// Lines beyond this many wait in vain: the oldest are dropped and counted.
constexpr size_t kMaxQueued = 10000;

struct TraceQueue {
    std::mutex mutex;
    std::condition_variable cv;
    std::deque<std::pair<int, std::string>> lines;
    uint64_t dropped = 0;
    bool stopped = false;
};

TraceQueue& Queue()
{
    static auto* q = new TraceQueue; // the receiver may run until the process ends
    return *q;
}

void Receive(void*, int level, const char* line)
{
    TraceQueue& q = Queue();
    {
        std::lock_guard<std::mutex> lock(q.mutex);
        if (q.stopped)
            return;
        if (q.lines.size() >= kMaxQueued) {
            q.lines.pop_front();
            ++q.dropped;
        }
        q.lines.emplace_back(level, line);
    }
    q.cv.notify_one();
}

// The lines queued, waiting up to timeout seconds for one; None once stopped.
py::object Wait(double timeout)
{
    TraceQueue& q = Queue();
    std::vector<std::pair<int, std::string>> taken;
    {
        py::gil_scoped_release nogil;
        std::unique_lock<std::mutex> lock(q.mutex);
        q.cv.wait_for(lock, std::chrono::duration<double>(timeout > 0 ? timeout : 0),
                      [&] { return q.stopped || !q.lines.empty(); });
        taken.assign(q.lines.begin(), q.lines.end());
        q.lines.clear();
        if (q.stopped && taken.empty())
            return py::none();
    }
    return py::cast(taken);
}

void Stop()
{
    TraceQueue& q = Queue();
    {
        std::lock_guard<std::mutex> lock(q.mutex);
        q.stopped = true;
    }
    q.cv.notify_all();
}

uint64_t Dropped()
{
    std::lock_guard<std::mutex> lock(Queue().mutex);
    return Queue().dropped;
}

} // namespace

void RegisterTrace(py::module_& m)
{
    sxcmdif_set_trace_cb(&Receive, nullptr);
    m.def("_trace_wait", &Wait, py::arg("timeout"));
    m.def("_trace_stop", &Stop);
    m.def("_trace_dropped", &Dropped);
}

} // namespace sxpy
