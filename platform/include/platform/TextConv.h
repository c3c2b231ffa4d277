// Narrow and wide texts converted with the current locale's multibyte
// conversion.
#pragma once

#include <cstdlib>
#include <memory>
#include <string>

namespace sxplat {

// A new array the caller releases with delete[]; empty where the locale
// cannot convert the text.
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

// A new array the caller releases with delete[]; null when the conversion
// yields nothing.
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

// NewWide as a string.
inline std::wstring WideString(const char* text)
{
    std::unique_ptr<wchar_t[]> w(NewWide(text));
    return std::wstring(w.get());
}

// For paths and descriptions: never fails, text the locale cannot convert
// is taken byte for byte.
inline std::wstring WidenBytewise(const std::string& text)
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

// WidenBytewise's converse, for names and descriptions the system gives
// wide: never fails, a character the locale cannot convert becomes its low
// byte (or '?' beyond 0xFF).
inline std::string NarrowBytewise(const std::wstring& text)
{
    std::string out;
    const size_t n = wcstombs(nullptr, text.c_str(), 0);
    if (n != static_cast<size_t>(-1)) {
        out.resize(n);
        wcstombs(&out[0], text.c_str(), n + 1);
        out.resize(n);
        return out;
    }
    for (wchar_t c : text)
        out.push_back(static_cast<unsigned long>(c) < 0x100 ? static_cast<char>(c) : '?');
    return out;
}

} // namespace sxplat
