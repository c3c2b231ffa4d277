// The tracker's controls, carried out on a thread of their own: the
// library's commands wait for the tracker's answers, and that must never
// hold up the frames or the browsers. Requests queue (a few at most; beyond,
// they are refused as busy); after each the tracker's state is read again
// and sent to every browser, and the answer to the browser that asked.
// Between requests the thread lets the stream guard look at the stream (it
// asks the tracker, and reconnects, on this thread too); a stall or a lost
// line shows in the state as its alert.
#pragma once

#include "viewer/ControlMessage.h"
#include "viewer/Hub.h"

#include <frames/FrameJson.h>
#include <frames/StreamGuard.h>

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <thread>

namespace sxviewer {

class PoseFeed;

class Controller {
public:
    static constexpr size_t kMaxQueued = 8;

    Controller(void* ctx, sxframes::StreamGuard& guard, Hub& hub, PoseFeed& feed, std::FILE* out);
    ~Controller();
    Controller(const Controller&) = delete;
    Controller& operator=(const Controller&) = delete;

    // Reads the state first, then takes requests until Stop.
    void Start(bool streaming);
    void Stop();
    // Queues a browser's request; false when the queue is full.
    bool Submit(uint64_t browser, const Control& control);

private:
    struct Job {
        uint64_t browser;
        Control control;
    };

    void Run();
    void Carry(const Job& job);
    // The command's result as the answer's message; true when it succeeded.
    bool Stream(bool on, std::string& message);
    void AnnounceRate(const std::string& hzWord);
    bool Set(const Control& c, std::string& message);
    void Record(const Job& job);
    void PostAnswer(uint64_t browser, int64_t id, bool ok, const std::string& message);
    void PostState();
    // The guard's events: to the application, and as the state's alert.
    void Watch();
    void* Dev() const { return m_guard.Dev(); }

    void* m_ctx;
    sxframes::StreamGuard& m_guard;
    std::string m_alert;    // a stall or a lost line, shown on the page
    sxframes::Json m_state; // the state last read from the tracker
    Hub& m_hub;
    PoseFeed& m_feed;
    std::FILE* m_out;
    bool m_streaming = false;

    std::mutex m_mtx;
    std::condition_variable m_cv;
    std::deque<Job> m_jobs;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace sxviewer
