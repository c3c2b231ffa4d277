// Narrow/wide conversions of paths and descriptions that never fail: text
// the locale cannot convert is taken byte for byte.
#pragma once

#include <cstdlib>
#include <string>

namespace sxser {

inline std::wstring Widen(const std::string& text)
{
    std::wstring out;
    const size_t n = mbstowcs(nullptr, text.c_str(), 0);
    if (n != static_cast<size_t>(-1)) {
        out.resize(n);
        mbstowcs(&out[0], text.c_str(), n + 1);
        out.resize(n);
        return out;
    }
    out.reserve(text.size());
    for (unsigned char c : text)
        out.push_back(static_cast<wchar_t>(c));
    return out;
}

inline std::string Narrow(const std::wstring& text)
{
    std::string out;
    const size_t n = wcstombs(nullptr, text.c_str(), 0);
    if (n != static_cast<size_t>(-1)) {
        out.resize(n);
        wcstombs(&out[0], text.c_str(), n + 1);
        out.resize(n);
        return out;
    }
    out.reserve(text.size());
    for (wchar_t c : text)
        out.push_back(c >= 0 && c < 256 ? static_cast<char>(c) : '?');
    return out;
}

} // namespace sxser
