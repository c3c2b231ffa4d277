// What the table programs share: their arguments, one table row as a line
// the driver (run.sh) collects, percentiles, and the process's and a
// thread's resources read from /proc.
//
// A row line is "@row" and seven tab-separated fields: figure, how
// measured, measured value, bare-minimum value, ratio, target, verdict. The
// verdict is "met", "missed" or "reported" (a figure without a target).
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <dirent.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace sxperf {

struct Args {
    bool quick = false;
    // Seconds of a stream (latency, CPU) and of the memory-over-time run.
    double streamSeconds = 30;
    double memorySeconds = 300;
};

inline Args ParseArgs(int argc, char** argv)
{
    Args a;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0) {
            a.quick = true;
            a.streamSeconds = 8;
            a.memorySeconds = 15;
        } else if (std::strncmp(argv[i], "--stream=", 9) == 0) {
            a.streamSeconds = std::atof(argv[i] + 9);
        } else if (std::strncmp(argv[i], "--memory=", 9) == 0) {
            a.memorySeconds = std::atof(argv[i] + 9);
        }
    }
    return a;
}

inline std::string Fmt(const char* fmt, double v)
{
    char b[64];
    std::snprintf(b, sizeof b, fmt, v);
    return b;
}

inline void Row(const std::string& figure, const std::string& how, const std::string& measured, const std::string& bare,
                const std::string& ratio, const std::string& target, const std::string& verdict)
{
    std::printf("@row\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n", figure.c_str(), how.c_str(), measured.c_str(), bare.c_str(),
                ratio.c_str(), target.c_str(), verdict.c_str());
    std::fflush(stdout);
}

inline const char* Verdict(bool met)
{
    return met ? "met" : "missed";
}

// p in [0, 100]; nearest rank on a sorted copy.
inline double Percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    size_t k = static_cast<size_t>(p / 100.0 * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(k, v.size() - 1)];
}

inline int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Resident set of the process in kB (VmRSS).
inline long RssKb()
{
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, "VmRSS:", 6) == 0)
            kb = std::strtol(line + 6, nullptr, 10);
    std::fclose(f);
    return kb;
}

// CPU time a thread of this process has used, in nanoseconds (schedstat).
inline int64_t ThreadCpuNs(long tid)
{
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/task/%ld/schedstat", tid);
    FILE* f = std::fopen(path, "r");
    if (!f)
        return -1;
    long long ns = -1;
    if (std::fscanf(f, "%lld", &ns) != 1)
        ns = -1;
    std::fclose(f);
    return ns;
}

inline long Gettid()
{
    return static_cast<long>(syscall(SYS_gettid));
}

// The thread ids of this process.
inline std::vector<long> Tasks()
{
    std::vector<long> ids;
    if (DIR* d = opendir("/proc/self/task")) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.')
                ids.push_back(std::strtol(e->d_name, nullptr, 10));
        closedir(d);
    }
    return ids;
}

// Threads in after that were not in before.
inline std::vector<long> NewTasks(const std::vector<long>& before, const std::vector<long>& after)
{
    std::vector<long> out;
    for (long t : after)
        if (std::find(before.begin(), before.end(), t) == before.end())
            out.push_back(t);
    return out;
}

} // namespace sxperf
