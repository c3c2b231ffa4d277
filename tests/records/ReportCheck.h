// Helpers of the record tests: a narrow text widened byte for byte, and a
// check that a report appends exactly the expected text in both forms.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace rectest {

inline std::wstring Widen(const std::string& s)
{
    std::wstring w;
    for (unsigned char c : s)
        w.push_back(static_cast<wchar_t>(c));
    return w;
}

using NarrowFn = std::function<void(std::string&)>;
using WideFn = std::function<void(std::wstring&)>;

// Both reports append to what the text already holds; the wide one is the
// expected text widened.
inline void ExpectReports(const std::string& expected, const NarrowFn& narrow, const WideFn& wide)
{
    std::string n = "<>";
    narrow(n);
    EXPECT_EQ(n, "<>" + expected);
    std::wstring w = L"<>";
    wide(w);
    EXPECT_EQ(w, L"<>" + Widen(expected));
}

inline std::string Narrow(const NarrowFn& narrow)
{
    std::string n;
    narrow(n);
    return n;
}

inline std::wstring Wide(const WideFn& wide)
{
    std::wstring w;
    wide(w);
    return w;
}

inline bool StartsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

inline std::string Repeat(const std::string& s, int n)
{
    std::string r;
    for (int i = 0; i < n; ++i)
        r += s;
    return r;
}

} // namespace rectest
