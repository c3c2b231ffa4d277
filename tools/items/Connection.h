// How the applications connect (sxtool, the Python module), alike: a
// serial connection is tried again while nothing answers, since a unit that
// is still starting, or a loaded machine, may miss the connection's first
// commands; once connected, commands wait longer for their answers than the
// library's default.
#pragma once

#include <string>

namespace sxitems {

constexpr int kConnectAttempts = 3;
constexpr int kCommandTimeoutMs = 500;

// sxctx_connectser, up to attempts times while it finds no answer (at least
// once); the library's code.
int ConnectSerialRetried(void* ctx, void*& dev, int port, int cfg, int attempts);

// The library's texts end their lines in "\r\n"; applications show "\n".
void ToNewlines(std::string& text);

} // namespace sxitems
