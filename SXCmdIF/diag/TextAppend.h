// Appending formatted text to a caller's string: the frame dumps and the
// P&O reports write with it.
#pragma once

#include <string>

namespace sxdiag {

void AppendF(std::string& out, const char* fmt, ...) __attribute__((format(printf, 2, 3)));

// Widens ASCII output byte for byte.
void AppendWide(std::wstring& out, const std::string& text);

} // namespace sxdiag
