// Trace state and the trace functions used inside the library only.
#pragma once

#include <SXCmdIF/diag/BxDebug.h>
#include <SXCmdIF/diag/Trace.h>

// Trace switch: gates trTracef, trTracef1, the frame and buffer traces and
// the standard-output hook.
extern bool g_bTraceOn;
// The level last given to trSetTrace; new contexts take it over.
extern int g_iTraceLevel;

bool trTraceOn();
int trTraceLevel();
void trSetTrace(bool on, int level);

void trTracef(void* p, const char* fmt, ...) SX_TRACE_PRINTF(2, 3);
void trTracef1(void* p, const char* fmt, ...) SX_TRACE_PRINTF(2, 3);
void trTracefHP1(const char* fmt, ...) SX_TRACE_PRINTF(1, 2);
void trTracefHPx(const char* fmt, ...) SX_TRACE_PRINTF(1, 2);

// Whether BxDebug writes lines of this level now: the same test the trace
// functions make, inline, so that a line that is off costs one comparison
// and no call.
inline bool trLevelOn(int level)
{
    return level <= static_cast<int>(__atomic_load_n(&BxDebug::m_usDebugLevel, __ATOMIC_RELAXED));
}

// The entry and exit lines of the context and device code (trTracefHP
// writes from level 5, trTracefHP7 at level 7).
#define SX_TRACE_ENTER()                                                                                               \
    do {                                                                                                               \
        if (trLevelOn(5))                                                                                              \
            trTracefHP("%s : %s : %d\r\n", __FILE__, __PRETTY_FUNCTION__, __LINE__);                                   \
    } while (0)
#define SX_TRACE_LEAVE()                                                                                               \
    do {                                                                                                               \
        if (trLevelOn(5))                                                                                              \
            trTracefHP("\t >>>>leaving %s : %s : %d\r\n", __FILE__, __PRETTY_FUNCTION__, __LINE__);                    \
    } while (0)
#define SX_TRACE_ENTER7()                                                                                              \
    do {                                                                                                               \
        if (trLevelOn(7))                                                                                              \
            trTracefHP7("%s : %s : %d\r\n", __FILE__, __PRETTY_FUNCTION__, __LINE__);                                  \
    } while (0)
#define SX_TRACE_LEAVE7()                                                                                              \
    do {                                                                                                               \
        if (trLevelOn(7))                                                                                              \
            trTracefHP7("\t >>>>leaving %s : %s : %d\r\n", __FILE__, __PRETTY_FUNCTION__, __LINE__);                   \
    } while (0)
