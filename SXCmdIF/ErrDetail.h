// The detail texts carried in the high half of some error codes.
#pragma once

#include <string>

namespace sxerr {

// The command name of a command code (for E_SXERR_INVALID_CRC).
const char* CommandName(unsigned cmd);
const wchar_t* CommandNameW(unsigned cmd);

// The transport's text of the detail of a device-level code (25 to 30);
// empty for every other code.
const char* DetailText(int value);

} // namespace sxerr
