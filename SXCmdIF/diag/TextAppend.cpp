#include "TextAppend.h"

#include <cstdarg>
#include <cstdio>

namespace sxdiag {

void AppendF(std::string& out, const char* fmt, ...)
{
    char buf[512];
    va_list args;
    va_start(args, fmt);
    va_list again;
    va_copy(again, args);
    const int n = vsnprintf(buf, sizeof buf, fmt, args);
    va_end(args);
    if (n > 0 && static_cast<size_t>(n) < sizeof buf) {
        out.append(buf, static_cast<size_t>(n));
    } else if (n > 0) {
        const size_t old = out.size();
        out.resize(old + static_cast<size_t>(n) + 1);
        vsnprintf(&out[old], static_cast<size_t>(n) + 1, fmt, again);
        out.resize(old + static_cast<size_t>(n));
    }
    va_end(again);
}

void AppendWide(std::wstring& out, const std::string& text)
{
    const size_t old = out.size();
    out.resize(old + text.size());
    for (size_t i = 0; i < text.size(); ++i)
        out[old + i] = static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
}

} // namespace sxdiag
