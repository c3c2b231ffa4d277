// Watches a P&O stream for silence and for a lost line and, when asked,
// connects again after a loss: one piece of code for every application that
// streams (sxtool's stream, record, serve and view, the Python module, the
// ROS 2 publisher).
//
// The application tells the guard of every frame it takes (Frame) and asks
// it, from the thread that drives the stream, at least every 100 ms what
// happened (Poll). A silence of the stall time (1 s, or 5 frame periods when
// that is longer) is a stall. After a shorter silence the guard asks the
// tracker for its units, to tell a silent tracker from a lost line: a write
// that fails (hang-up, unplugged USB, a closed connection), or a tracker
// that answers and still sends no frames (it was reset), is a lost line.
// With reconnection on, the guard then tries every second: the
// application's reconnect replaces the device, the settings journal is made
// again, and the application's start begins the stream; the first frame
// after closes the gap, which tells how long it lasted and how many frames
// it missed.
#pragma once

#include <recording/SXrecording.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

namespace sxitems {
class SettingsJournal;
}

namespace sxframes {

// Why a stream lost its tracker (the numbers are those of a recording's gap
// record).
enum class LossCause : uint32_t {
    None = 0,
    HungUp = 1,        // the serial line was hung up: writing to it fails
    Unplugged = 2,     // the USB device is gone: writing to it fails
    Closed = 3,        // the device has no connection any more
    OutputStopped = 4, // the tracker answers but sends no frames: reset
};

// "the serial line was hung up", ...; "the line was lost" for a cause not
// known (the texts of a recording's gap records).
const char* LossText(LossCause cause);

// A gap in the stream that a reconnection closed.
struct StreamGap {
    LossCause cause = LossCause::None;
    int64_t lostNs = 0;     // monotonic clock: when the line was found lost
    int64_t resumedNs = 0;  // monotonic clock: the first frame after
    int64_t silentNs = 0;   // from the last frame before to the first after
    uint32_t missed = 0;    // frames the tracker measured meanwhile
    bool estimated = false; // missed is from the time at the frame rate (the frame count started again)
};

// The gap as a recording's gap record.
sxrec::RecordedGap GapRecord(const StreamGap& gap);

struct StreamEvent {
    enum class Kind {
        None,
        Stalled,     // no frame for the stall time (a warning)
        Flowing,     // frames again after a stall
        Lost,        // the line is lost (an error, unless reconnection is on)
        Reconnected, // the first frame after a reconnection
    };
    Kind kind = Kind::None;
    LossCause cause = LossCause::None; // Lost
    int code = 0;                      // Lost: the library's code that told it
    std::string text;                  // what to tell the user, without a program's name
    uint32_t missed = 0;               // Reconnected: frames missed in the gap
};

struct StreamCounts {
    uint64_t stalls = 0;
    uint64_t losses = 0;
    uint64_t reconnections = 0;
    uint64_t framesMissed = 0; // by the frame count, over the gaps reconnections closed
};

class StreamGuard {
public:
    // Replaces the lost device (dev on entry, to be released; null when an
    // attempt before left none) with a new connection made as the first one
    // was: the library's code, and in dev the new device (null when none).
    using ReconnectFn = std::function<int(void*& dev)>;
    // Begins the stream on a new device as the application first did (its
    // callback, the device's switches, continuous output): the library's code.
    using StartFn = std::function<int(void* dev)>;

    struct Options {
        bool reconnect = false;
        int64_t minStallNs = 1000000000;  // the stall time when 5 frame periods are shorter
        int64_t probeAfterNs = 250000000; // silence before the tracker is asked
        int64_t retryEveryNs = 1000000000;
    };

    // journal, when given, outlives the guard.
    StreamGuard(void* ctx, void* dev, const Options& options, ReconnectFn reconnect = {}, StartFn start = {},
                const sxitems::SettingsJournal* journal = nullptr);

    // The stream (re)begins at nowNs, on purpose: silence counts from here.
    void Begin(int64_t nowNs);
    // The application stopped the stream on purpose: no silence is a fault
    // until Begin.
    void Pause();

    // A frame taken at nowNs (any thread, one call at a time). True when it
    // closes a gap a reconnection left, which gap then describes.
    bool Frame(const unsigned char* frame, unsigned length, int64_t nowNs, StreamGap* gap = nullptr);
    // The thread that drives the stream: looks at the silence, asks the
    // tracker, reconnects when due (each may take as long as a command or a
    // connection). Returns the oldest event not yet returned, else None.
    StreamEvent Poll(int64_t nowNs);

    // The device streamed from: another after a reconnection.
    void* Dev() const;
    bool Lost() const;
    bool Stalled() const;
    StreamCounts Counts() const;
    // The silence that is a stall now.
    int64_t StallNs() const;

private:
    StreamEvent Take();
    void Probe(int64_t nowNs, int64_t silenceNs);
    void LoseLine(LossCause cause, int code, int64_t nowNs);
    void TryReconnect(int64_t nowNs);
    int64_t StallNsLocked() const;

    void* const m_ctx;
    const Options m_opt;
    ReconnectFn m_reconnect;
    StartFn m_start;
    const sxitems::SettingsJournal* m_journal;

    mutable std::mutex m_mtx;
    void* m_dev;
    std::deque<StreamEvent> m_events;
    StreamCounts m_counts;
    bool m_active = false;
    bool m_stalled = false;
    bool m_lost = false;
    bool m_gapPending = false;
    LossCause m_cause = LossCause::None;
    int64_t m_lostNs = 0;
    int64_t m_sinceNs = 0; // the last frame, or the stream's (re)start
    bool m_haveFrame = false;
    uint32_t m_lastFrameNum = 0;
    int64_t m_lastFrameNs = 0;
    int64_t m_periodNs = 0; // frame interval, smoothed
    int64_t m_nextProbeNs = 0;
    int m_answered = 0; // probes answered in this silence
    int64_t m_nextRetryNs = 0;
};

} // namespace sxframes
