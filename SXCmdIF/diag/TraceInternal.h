// Trace state and the trace functions used inside the library only.
#pragma once

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

// The entry and exit lines of the context and device code.
#define SX_TRACE_ENTER() trTracefHP("%s : %s : %d\r\n", __FILE__, __PRETTY_FUNCTION__, __LINE__)
#define SX_TRACE_LEAVE() trTracefHP("\t >>>>leaving %s : %s : %d\r\n", __FILE__, __PRETTY_FUNCTION__, __LINE__)
#define SX_TRACE_ENTER7() trTracefHP7("%s : %s : %d\r\n", __FILE__, __PRETTY_FUNCTION__, __LINE__)
#define SX_TRACE_LEAVE7() trTracefHP7("\t >>>>leaving %s : %s : %d\r\n", __FILE__, __PRETTY_FUNCTION__, __LINE__)
