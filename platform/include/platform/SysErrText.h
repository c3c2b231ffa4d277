// System error codes and their texts: the calling thread's last error, as
// the trace lines print it, and the system's message for any code.
#pragma once

#include <string>

namespace sxplat {

// The calling thread's last system error code, and setting it (so a code
// read before a trace line survives the line's own output).
int LastError();
void RestoreLastError(int code);

// The system's short text for the calling thread's last error.
const char* LastErrorText();

// The system's message for a code; for a code the system does not define,
// "Non-Windows system error 0x<code>".
std::string SysErrText(unsigned int code);

} // namespace sxplat
