// How sxtool's streaming commands (stream, record, serve, view, ros2) show what
// the stream guard of the frames layer saw: its events on standard error,
// their counts after the summary, and the exit code a run ends with.
#pragma once

#include "Options.h"

#include <frames/StreamGuard.h>

#include <functional>
#include <string>

namespace sxtool {

sxframes::StreamGuard::Options GuardOptions(const ConnectionOptions& conn);

class StreamWatch {
public:
    explicit StreamWatch(bool reconnect) : m_reconnect(reconnect) {}

    // Prints the event on standard error (a lost line not followed by a
    // reconnection as an error, the rest as warnings) and counts it. Called
    // from one thread at a time.
    void Tell(const sxframes::StreamEvent& e);
    // What was counted, to follow the summary; empty when nothing happened.
    std::string Summary() const;
    // The exit code of a run that ends now: kExitNoTracker after a lost line
    // not regained, kExitStalled while no frames come (short of the frames
    // or the time asked for), else kExitOk.
    int Exit() const;

private:
    bool m_reconnect;
    bool m_lost = false;
    bool m_stalled = false;
    sxframes::StreamCounts m_counts;
};

class Session;

// A server's share (serve, view, ros2): the guard's options from the session,
// reconnection through the session when asked for, its events to watch.
void WatchServedStream(Session& s, StreamWatch& watch, sxframes::StreamGuard::Options& options,
                       sxframes::StreamGuard::ReconnectFn& reconnect,
                       std::function<void(const sxframes::StreamEvent&)>& onEvent);
// The server's exit code (from ServerExit) unless the stream ended badly;
// the counts are said when anything happened.
int EndServedStream(const StreamWatch& watch, int serverExit);

} // namespace sxtool
