// Test helper: the wide form of an ASCII text, character for character.
#pragma once

#include <string>

namespace sxtest {

inline std::wstring Widen(const char* s)
{
    std::wstring w;
    for (; s && *s; ++s)
        w.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*s)));
    return w;
}

} // namespace sxtest
