// The thread of one running unit: reads command bytes from its link, cuts
// them into frames, answers them, and sends P&O frames at absolute
// deadlines of the monotonic clock. Faults are applied here, between the
// unit and the link. The per-frame path takes no lock the link's user
// could hold, and allocates nothing.
#pragma once

#include <simulator/SimUnit.h>

#include <atomic>
#include <climits>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

namespace sxsim {

// What carries the unit's frames.
class SimLink {
public:
    enum class SendResult { Sent, Full, Closed };
    virtual ~SimLink() = default;
    // Polled for input (-1: nothing to poll); Events() for poll().
    virtual int Fd() const = 0;
    virtual short Events() const;
    // Reads what arrived into buf; closed is set when the line is gone.
    virtual size_t ReadInput(unsigned char* buf, size_t cap, bool& closed) = 0;
    // Sends one whole frame. mustDeliver: keep it for later rather than
    // refuse when the line is full (command answers).
    virtual SendResult Send(const unsigned char* data, size_t len, bool mustDeliver) = 0;
    // The line can take more bytes (POLLOUT).
    virtual void OnWritable() {}
    // Closes the line for good.
    virtual void Close() = 0;
    // A byte stream that garbage between frames makes sense on.
    virtual bool IsStream() const { return false; }
};

class SimRunner {
public:
    SimRunner(SimUnit& unit, std::unique_ptr<SimLink> link);
    ~SimRunner(); // stops and joins the thread
    SimRunner(const SimRunner&) = delete;
    SimRunner& operator=(const SimRunner&) = delete;

    bool Start(std::string* error);
    void Stop();
    void SetFaults(const FaultConfig& f);
    SimStats Stats() const;
    void SetQuiet(bool quiet);
    // Closes the link from the thread.
    void CloseLink();
    // Serves a new link from the thread's next round (the old one closed
    // first).
    void ReplaceLink(std::unique_ptr<SimLink> link);
    // Told every P&O frame's measurement time (null: no one); the sink
    // must outlive the runner or be replaced first.
    void SetTruthSink(TruthSink* sink) { m_truth.store(sink); }

private:
    struct Delayed {
        int64_t due = 0;
        size_t len = 0;
        unsigned char bytes[kMaxResponse];
    };
    static constexpr int kMaxDelayed = 8;
    static constexpr size_t kInCap = 2 * kMaxCommandFrame;
    // A P&O frame held back by the line's jitter, with what goes with it.
    struct LateFrame {
        int64_t due = 0;
        size_t len = 0;       // bytes of the frame written
        uint32_t garbage = 0; // garbage bytes before it
        bool cut = false;     // the frame is cut short
        unsigned char bytes[kMaxPnoFrame];
    };
    static constexpr int kMaxLate = 128; // 100 ms of jitter at 960 Hz, and more

    void Run();
    void Wake();
    void TakeFaults();
    void ParseInput(int64_t now);
    void HandleResponse(unsigned char* resp, size_t len, int64_t now);
    void Deliver(const unsigned char* bytes, size_t len);
    void SendDueResponses(int64_t now);
    int64_t EarliestDue() const;
    void EmitFrame(int64_t measuredNs, int64_t now);
    void SendFrame(const unsigned char* frame, size_t len, uint32_t garbage, bool cut);
    void SendLateFrames(int64_t now, bool all);
    int64_t NextLateDue() const { return m_lateCount ? m_late[m_lateHead].due : LLONG_MAX; }
    uint32_t NextRandom();
    bool Nth(uint32_t n, uint64_t count) const { return n != 0 && count % n == 0; }

    SimUnit& m_unit;
    std::unique_ptr<SimLink> m_link;
    std::thread m_thread;
    int m_wakeFd = -1;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_quiet{false};
    std::atomic<bool> m_closeRequest{false}; // cleared, and m_stop set, under m_mtxClose
    std::mutex m_mtxClose;
    std::condition_variable m_cvClosed;
    bool m_closed = false;
    std::mutex m_mtxLink;
    std::unique_ptr<SimLink> m_newLink; // under m_mtxLink, until the thread takes it
    std::atomic<bool> m_linkRequest{false};

    // Faults: written by any thread under the lock, taken by the thread
    // when the generation moves.
    mutable std::mutex m_mtxFaults;
    FaultConfig m_pendingFaults;
    std::atomic<uint64_t> m_faultGen{0};
    uint64_t m_faultGenSeen = 0;
    FaultConfig m_faults;

    std::atomic<uint64_t> m_sent{0}, m_dropped{0}, m_unsent{0}, m_answered{0}, m_injected{0};

    // The thread's own buffers.
    unsigned char m_in[kInCap];
    size_t m_inLen = 0;
    int64_t m_partialSince = 0;
    unsigned char m_resp[kMaxResponse];
    unsigned char m_frame[kMaxPnoFrame];
    Delayed m_delayed[kMaxDelayed];
    uint64_t m_cycle = 0;
    uint64_t m_responses = 0;
    std::atomic<TruthSink*> m_truth{nullptr};
    // Frames the jitter holds back, oldest first.
    LateFrame m_late[kMaxLate];
    int m_lateHead = 0;
    int m_lateCount = 0;
    int64_t m_lastDue = 0;
    uint64_t m_random = 0;
};

// Monotonic clock in nanoseconds.
int64_t MonotonicNs();

} // namespace sxsim
