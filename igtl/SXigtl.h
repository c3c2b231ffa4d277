// SXigtl: serves the P&O frames of a connected tracker to OpenIGTLink
// clients (TRANSFORM, TDATA, STATUS, capabilities).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace sxigtl {

// Counters of a running server, readable from any thread.
struct ServeStats {
    std::atomic<uint64_t> framesReceived{0};   // P&O frames taken from the reading thread
    std::atomic<uint64_t> framesOverrun{0};    // frames the hand-off had no room for (server behind)
    std::atomic<uint64_t> framesUndecodable{0};// frames without a usable P&O body
    std::atomic<uint64_t> clientsAccepted{0};  // connections accepted so far
    std::atomic<int> clientsConnected{0};      // connections open now
    std::atomic<uint64_t> messagesSent{0};     // messages whose last byte went to a socket
    std::atomic<uint64_t> messagesDropped{0};  // oldest messages dropped from full client backlogs
};

struct ServeOptions {
    int port = 18944;              // the port 3D Slicer uses by default; 0 picks a free one
    double rateHz = 0.0;           // most TRANSFORM frames a second per client; 0: every frame
    std::string prefix = "Sensor"; // device names: <prefix><sensor number>

    std::string bindAddress;       // IPv4 address to listen on; empty: every interface
    size_t backlogMessages = 4096; // messages a client may have waiting; beyond, the oldest go
    int sendBufferBytes = 0;       // SO_SNDBUF of client sockets; 0 keeps the system's
    int staleMs = 1000;            // no frame for this long: clients get a STATUS time-out
    std::atomic<int>* boundPort = nullptr; // receives the port once listening
    ServeStats* stats = nullptr;           // counters, when given
};

// Serves the device's P&O until stop becomes true, then closes every client.
// Prints "listening on port P" and a line for each client that connects or
// leaves to out (null: nothing is printed). Starts and stops the device's
// continuous output itself and installs its own P&O callback for the time
// it serves (removed again on return, so frames go to the queue); it never
// releases the device or the context. Returns 0, or an error code of the
// library (E_SXERR_INVALID_PARAMS for a prefix too long for a device name,
// or the code of the continuous-output command), or -1 when the port cannot
// be opened.
int Serve(void* ctx, void* dev, const ServeOptions& options, const std::atomic<bool>& stop, std::FILE* out);

} // namespace sxigtl
