// SXigtl: serves the P&O frames of a connected tracker to OpenIGTLink
// clients (TRANSFORM, TDATA, STATUS, capabilities).
#pragma once

#include <atomic>
#include <cstdio>
#include <string>

namespace sxigtl {

struct ServeOptions {
    int port = 18944;              // the port 3D Slicer uses by default
    double rateHz = 0.0;           // most TRANSFORM messages a second per client; 0: every frame
    std::string prefix = "Sensor"; // device names: <prefix><sensor number>
};

// Serves the device's P&O until stop becomes true, then closes every client.
// Prints "listening on port P" and a line for each client that connects or
// leaves to out. Starts and stops the device's continuous output itself.
// Returns 0, or an error code of the library (or -1 when the port cannot be
// opened).
int Serve(void* ctx, void* dev, const ServeOptions& options, const std::atomic<bool>& stop, std::FILE* out);

} // namespace sxigtl
