// SXigtl: serves the P&O frames of a connected tracker to OpenIGTLink
// clients (TRANSFORM, TDATA, STATUS, capabilities).
#pragma once

#include <frames/StreamGuard.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace sxigtl {

// Counters of a running server, readable from any thread.
struct ServeStats {
    std::atomic<uint64_t> framesReceived{0};     // P&O frames taken from the reading thread
    std::atomic<uint64_t> framesOverrun{0};      // frames the hand-off had no room for (server behind)
    std::atomic<uint64_t> framesUndecodable{0};  // frames without a usable P&O body
    std::atomic<uint64_t> clientsAccepted{0};    // connections accepted so far
    std::atomic<int> clientsConnected{0};        // connections open now
    std::atomic<uint64_t> messagesSent{0};       // messages whose last byte went to a socket
    std::atomic<uint64_t> messagesDropped{0};    // dropped from full client backlogs, or P&O grown too old
    std::atomic<uint64_t> clientsRefused{0};     // connections closed at once: client limit, no descriptor
    std::atomic<uint64_t> clientsTimedOut{0};    // closed in the middle of a message they did not finish
    std::atomic<uint64_t> clientsEvicted{0};     // closed to make room for a newcomer (half-sent, stalled, idle)
    std::atomic<uint64_t> messagesRefused{0};    // requests with a body their type cannot have
    std::atomic<uint64_t> messagesIgnored{0};    // messages of types not served (skipped unread)
    std::atomic<uint64_t> requestsUnanswered{0}; // requests beyond a client's rate
};

struct ServeOptions {
    int port = 18944;              // the port 3D Slicer uses by default; 0 picks a free one
    double rateHz = 0.0;           // most TRANSFORM frames a second per client; 0: every frame
    std::string prefix = "Sensor"; // device names: <prefix><sensor number>

    std::string bindAddress = "127.0.0.1"; // IPv4 address to listen on; "0.0.0.0": every interface
    int maxClients = 32;                   // at most this many at once; see evictAfterMs for a newcomer beyond
    size_t backlogMessages = 4096;         // messages a client may have waiting; beyond, the oldest go
    size_t backlogBytes = 256 * 1024;      // the same, in bytes
    int maxAgeMs = 1000;                   // P&O older than this is dropped, never handed to a socket
    int sendBufferBytes = 64 * 1024;       // SO_SNDBUF of client sockets (0: the system's, which grows to MiBs)
    int partialTimeoutMs = 10000;          // a message begun and not finished for this long: the client goes
    int headerTimeoutMs = 2000;            // the same for a message's header (the shorter of the two applies)
    // With every slot taken, a newcomer evicts the client with the oldest
    // half-sent message, else one whose backlog has not moved for this
    // long, else one that has neither sent nor taken anything for this
    // long; when none qualifies, the newcomer is closed at once and counted.
    int evictAfterMs = 10000;
    int requestsPerSecond = 100;           // requests a client may have answered a second (0: no limit)
    int inputBytesPerSecond = 1 << 20;     // most a client is read a second (0: no limit)
    int staleMs = 1000;                    // no frame for this long: clients get a STATUS time-out
    std::atomic<int>* boundPort = nullptr; // receives the port once listening
    ServeStats* stats = nullptr;           // counters, when given
    // The stream's watch (frames/StreamGuard.h): its options, how to connect
    // again after a lost line (empty: no reconnection), and who hears of
    // its stalls, losses and reconnections (empty: nobody), on the server's thread.
    sxframes::StreamGuard::Options guard;
    sxframes::StreamGuard::ReconnectFn reconnect;
    std::function<void(const sxframes::StreamEvent&)> onStreamEvent;
};

// Serves the device's P&O until stop becomes true, then closes every client.
// Prints "listening on port P" and a line for each client that connects or
// leaves to out (null: nothing is printed). Starts and stops the device's
// continuous output itself and installs its own P&O callback for the time
// it serves (removed again on return, so frames go to the queue); it never
// releases the device or the context. Returns 0, or an error code of the
// library (E_SXERR_INVALID_PARAMS for a prefix too long for a device name
// or a client limit below 1, or the code of the continuous-output command),
// or -1 when the address or port cannot be opened. After a lost line it
// serves on without frames (clients hear of it in STATUS), or from the new
// connection once a reconnection made one; the device it started with may
// then be released.
int Serve(void* ctx, void* dev, const ServeOptions& options, const std::atomic<bool>& stop, std::FILE* out);

} // namespace sxigtl
