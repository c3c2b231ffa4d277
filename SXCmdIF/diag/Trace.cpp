#include "TraceInternal.h"

#include <SXCmdIF/diag/BxDebug.h>
#include <platform/Thread.h>

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>

bool g_bTraceOn = false;
int g_iTraceLevel = 0;

namespace {

constexpr int kTraceBuf = 4096;

// Trace lock A guards the trTracef buffer; trace lock B the two HP buffers.
std::mutex g_lockA;
std::mutex g_lockB;
char g_bufA[kTraceBuf];
char g_bufHP[kTraceBuf];
char g_bufHPShared[kTraceBuf];

using OutFn = void (*)(const char*, ...);

// Formats one message into buf (or the overflow text naming fn), appends it
// to the optional thread prefix and hands the line to out. Caller holds the
// lock that guards buf.
void Emit(char* buf, const char* fn, bool bPrefix, OutFn out, const char* fmt, va_list args)
{
    if (!fmt)
        fmt = "";
    std::string text;
    if (bPrefix) {
        char prefix[16];
        snprintf(prefix, sizeof prefix, "[%08x] : ", sxplat::CurrentThreadId());
        text = prefix;
    }
    va_list probe;
    va_copy(probe, args);
    int n = vsnprintf(nullptr, 0, fmt, probe);
    va_end(probe);
    if (n + 1 > kTraceBuf)
        snprintf(buf, kTraceBuf, "%s:%i : TraceBuffer size %i too small for formatted len %i\r\n", fn, __LINE__,
                 kTraceBuf, n);
    else
        vsnprintf(buf, kTraceBuf, fmt, args);
    text += buf;
    buf[0] = '\0';
    out("%s", text.c_str());
}

} // namespace

bool trTraceOn()
{
    return __atomic_load_n(&g_bTraceOn, __ATOMIC_RELAXED);
}

int trTraceLevel()
{
    return __atomic_load_n(&g_iTraceLevel, __ATOMIC_RELAXED);
}

void trSetTrace(bool on, int level)
{
    __atomic_store_n(&g_bTraceOn, on, __ATOMIC_RELAXED);
    __atomic_store_n(&g_iTraceLevel, level, __ATOMIC_RELAXED);
    BxDebug::BXDSetLevel(level);
}

#define SX_TRACE_A(name, out)                                                                                          \
    void name(void* p, const char* fmt, ...)                                                                           \
    {                                                                                                                  \
        if (p != nullptr || !trTraceOn())                                                                              \
            return;                                                                                                    \
        std::lock_guard<std::mutex> lock(g_lockA);                                                                     \
        va_list args;                                                                                                  \
        va_start(args, fmt);                                                                                           \
        Emit(g_bufA, #name, false, out, fmt, args);                                                                    \
        va_end(args);                                                                                                  \
    }
SX_TRACE_A(trTracef, BxDebug::BXDOUT3)
SX_TRACE_A(trTracef1, BxDebug::BXDOUT1)
#undef SX_TRACE_A

// The level functions of BxDebug write a line only up to the current level:
// a line they would drop is dropped here already, before the lock and the
// formatting, so a per-frame trace that is off costs one comparison. (The
// level 0 and the unlevelled forms pass always.)
#define SX_TRACE_B(name, level, prefix, out)                                                                           \
    void name(const char* fmt, ...)                                                                                    \
    {                                                                                                                  \
        if ((level) > static_cast<int>(BxDebug::BXDlev()))                                                             \
            return;                                                                                                    \
        std::lock_guard<std::mutex> lock(g_lockB);                                                                     \
        va_list args;                                                                                                  \
        va_start(args, fmt);                                                                                           \
        Emit(g_bufHPShared, #name, prefix, out, fmt, args);                                                            \
        va_end(args);                                                                                                  \
    }
SX_TRACE_B(trTracefHP0, 0, false, BxDebug::BXDOUT0)
SX_TRACE_B(trTracefHP1, 1, false, BxDebug::BXDOUT1)
SX_TRACE_B(trTracefHP5, 5, true, BxDebug::BXDOUT5)
SX_TRACE_B(trTracefHP7, 7, true, BxDebug::BXDOUT7)
SX_TRACE_B(trTracefHPx, 0, true, BxDebug::BXDOUT)
#undef SX_TRACE_B

void trTracefHP(const char* fmt, ...)
{
    if (BxDebug::BXDlev() <= 4)
        return;
    std::lock_guard<std::mutex> lock(g_lockB);
    va_list args;
    va_start(args, fmt);
    Emit(g_bufHP, "trTracefHP", true, BxDebug::BXDOUT5, fmt, args);
    va_end(args);
}
