// What /proc says of a process: its CPU time and its memory.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/types.h>
#include <unistd.h>

namespace sxperf {

// A field of /proc/PID/status in kB ("VmRSS:", "VmHWM:"); -1 when unread.
inline long StatusKb(pid_t pid, const char* field)
{
    const std::string path = "/proc/" + std::to_string(pid) + "/status";
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f)
        return -1;
    char line[256];
    long kb = -1;
    const size_t n = std::strlen(field);
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, field, n) == 0)
            kb = std::strtol(line + n, nullptr, 10);
    std::fclose(f);
    return kb;
}

// User and system CPU of a process, in seconds.
inline double CpuSeconds(pid_t pid)
{
    const std::string path = "/proc/" + std::to_string(pid) + "/stat";
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f)
        return 0;
    char buf[1024];
    const size_t n = std::fread(buf, 1, sizeof buf - 1, f);
    std::fclose(f);
    buf[n] = '\0';
    // Fields after the command's closing parenthesis; utime and stime are
    // the 14th and 15th of the line.
    const char* p = std::strrchr(buf, ')');
    unsigned long ut = 0, st = 0;
    if (!p || std::sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &ut, &st) != 2)
        return 0;
    return static_cast<double>(ut + st) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

} // namespace sxperf
