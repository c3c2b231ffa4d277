// The viewer: serves one page (a 3D scene of the sensors, a table, a plot
// and the tracker's controls) over HTTP and the tracker's poses to it over a
// WebSocket, until asked to stop. Built on Boost.Beast; written against the
// SDK's installed interface only.
#pragma once

#include <frames/StreamGuard.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace sxviewer {

// A `set` from the page, checked for its shape (ControlMessage.h).
struct SetRequest {
    std::string item;
    std::vector<std::string> values;
    int sensor = -1;    // -1: not given
    std::string target; // empty: not given
};

// Sets an item as the application's own set command does, from the same
// item table and with the same checks: 0, the library's error code, or -1
// with error saying what the words lack. Called on the viewer's control
// thread.
using SetItemFn = std::function<int(void* ctx, void* dev, const SetRequest& request, std::string& error)>;

// Counters of a running viewer, readable from any thread.
struct ViewStats {
    std::atomic<uint64_t> framesReceived{0};     // P&O frames taken from the reading thread
    std::atomic<uint64_t> framesOverrun{0};      // frames the hand-off had no room for
    std::atomic<uint64_t> updatesBuilt{0};       // pose updates made (at most the display rate)
    std::atomic<uint64_t> updatesSent{0};        // pose updates whose last byte went to a browser
    std::atomic<uint64_t> updatesReplaced{0};    // pose updates a browser had not taken when a newer came
    std::atomic<int> browsers{0};                // WebSocket sessions open now
    std::atomic<int> connections{0};             // TCP connections open now (HTTP and WebSocket)
    std::atomic<uint64_t> connectionsRefused{0}; // beyond the connection limit, none to evict
    std::atomic<uint64_t> connectionsEvicted{0}; // plain HTTP connections closed to make room for a newcomer
    std::atomic<uint64_t> browsersRefused{0};    // upgrades refused: browser limit
    std::atomic<uint64_t> upgradesRefused{0};    // upgrades refused: foreign origin or host
    std::atomic<uint64_t> requestsRefused{0};    // HTTP requests answered with an error
    std::atomic<uint64_t> controlsApplied{0};    // control messages carried out
    std::atomic<uint64_t> controlsRefused{0};    // control messages refused (shape, rate, read-only, busy)
    std::atomic<uint64_t> browsersTimedOut{0};   // closed for a write that did not move, or silence
};

struct ViewOptions {
    int port = 8080;                       // 0: a free one
    std::string bindAddress = "127.0.0.1"; // IPv4 address to listen on; "0.0.0.0": every interface
    bool readOnly = false;                 // no controls on the page; control messages refused
    int maxBrowsers = 8;                   // WebSocket sessions at once; beyond, upgrades get 503
    int maxConnections = 32;               // TCP connections at once; a newcomer beyond evicts the
                                           // oldest plain HTTP connection (never a WebSocket)
    double displayHz = 60.0;               // most pose updates a second per browser
    std::string pageDir;                   // the page's files; empty: beside the program (installed layout)
    std::string recordDir = ".";           // where the record button writes
    std::string connection;                // how the tracker is connected, shown on the page
    SetItemFn setItem;                     // the page's `set`; null: refused
    int requestTimeoutMs = 2000;           // a request's header not whole this long after its first byte (or
                                           // after connecting), or a WebSocket handshake not done: closed
    int keepAliveIdleMs = 5000;            // a kept-alive connection waits this long for its next request
    int keepAliveRequests = 100;           // requests on one connection; the last is answered with close
    int idleTimeoutMs = 30000;             // a browser not answering pings this long: closed
    int stallTimeoutMs = 20000;            // a browser whose write has not moved this long: closed
    int sendBufferBytes = 64 * 1024;       // SO_SNDBUF of the connections (0: the system's)
    int controlsPerSecond = 10;            // control messages a second, one allowance for every browser
    std::atomic<int>* boundPort = nullptr; // receives the port once listening
    ViewStats* stats = nullptr;            // counters, when given
    // The stream's watch (frames/StreamGuard.h): its options, how to connect
    // again after a lost line (empty: no reconnection), and who hears of its
    // stalls, losses and reconnections besides the page (empty: nobody), on
    // the control thread.
    sxframes::StreamGuard::Options guard;
    sxframes::StreamGuard::ReconnectFn reconnect;
    std::function<void(const sxframes::StreamEvent&)> onStreamEvent;
};

// Serves until stop becomes true. Prints "viewer at http://ADDRESS:PORT/"
// and a line for each recording to out (null: nothing). Installs its own P&O
// callback and starts continuous output for the time it serves (both undone
// on return); never releases the device or the context (but after a lost
// line a reconnection may replace the device it started with). Returns 0, the
// library's error code of starting the output, -1 when the address or port
// cannot be opened, or -2 when the page's files cannot be read.
int View(void* ctx, void* dev, const ViewOptions& options, const std::atomic<bool>& stop, std::FILE* out);

} // namespace sxviewer
