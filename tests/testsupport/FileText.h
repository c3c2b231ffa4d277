// All that a test's log file (a tmpfile the code under test writes to)
// holds so far, read from its start.
#pragma once

#include <cstdio>
#include <string>

namespace sxtest {

inline std::string FileText(std::FILE* f)
{
    std::string s;
    if (!f)
        return s;
    std::fflush(f);
    std::rewind(f);
    char buf[512];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        s.append(buf, n);
    return s;
}

} // namespace sxtest
