// How the applications connect (sxtool, the Python module), alike: a
// serial connection is tried again while nothing answers, since a unit that
// is still starting, or a loaded machine, may miss the connection's first
// commands; once connected, commands wait longer for their answers than the
// library's default.
#pragma once

#include <SXCmdIF/records/SXpayloads.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace sxitems {

constexpr int kConnectAttempts = 3;
constexpr int kCommandTimeoutMs = 500;

// sxctx_connectser, up to attempts times while it finds no answer (at least
// once); the library's code.
int ConnectSerialRetried(void* ctx, void*& dev, int port, int cfg, int attempts);

// The trackers on USB one after another. The library opens the first
// tracker whose interfaces it can claim, so while each connection holds its
// tracker the next one opens the next. pick(identity) chooses the tracker
// to keep (dev, E_SX_SUCCESS); every other one is released again. seen
// receives the identity of each tracker opened, in bus order (empty for one
// whose first commands failed). Without a pick: the code of the first
// tracker that failed its first commands, else of the last attempt
// (E_SXERR_NOTFOUND when the bus had no more trackers).
int ConnectUsbWhere(void* ctx, void*& dev, const std::function<bool(const _WHOAMI_STRUCT&)>& pick,
                    std::vector<_WHOAMI_STRUCT>& seen);
// The tracker on USB with this hardware serial number.
int ConnectUsbSerial(void* ctx, void*& dev, const std::string& serial, std::vector<_WHOAMI_STRUCT>& seen);
// A text of the identity record, up to its terminator or its width.
template <size_t N>
std::string IdentityText(const char (&field)[N])
{
    return std::string(field, strnlen(field, N));
}
// "SIM-SEU-00000001, SIM-SEU-00000002"; "none" for none.
std::string SerialNumbers(const std::vector<_WHOAMI_STRUCT>& trackers);

// The library's texts end their lines in "\r\n"; applications show "\n".
void ToNewlines(std::string& text);

} // namespace sxitems
