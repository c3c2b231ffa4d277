// Narrow/wide conversions with the current locale's multibyte conversion;
// the results are new arrays that the caller releases with delete[].
#pragma once

#include <cstdlib>

namespace sxplat {

inline wchar_t* NewWide(const char* text)
{
    size_t n = text ? mbstowcs(nullptr, text, 0) : 0;
    if (n == static_cast<size_t>(-1))
        n = 0;
    wchar_t* out = new wchar_t[n + 1];
    if (n)
        mbstowcs(out, text, n + 1);
    out[n] = L'\0';
    return out;
}

// Null when the conversion yields nothing.
inline char* NewNarrow(const wchar_t* text)
{
    size_t n = text ? wcstombs(nullptr, text, 0) : 0;
    if (n == 0 || n == static_cast<size_t>(-1))
        return nullptr;
    char* out = new char[n + 1];
    wcstombs(out, text, n);
    out[n] = '\0';
    return out;
}

} // namespace sxplat
