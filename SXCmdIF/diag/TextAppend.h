// Appending formatted text to a caller's string.
#pragma once

#include <string>

namespace sxpno {

void AppendF(std::string& out, const char* fmt, ...) __attribute__((format(printf, 2, 3)));

// Widens ASCII output byte for byte.
void AppendWide(std::wstring& out, const std::string& text);

} // namespace sxpno
