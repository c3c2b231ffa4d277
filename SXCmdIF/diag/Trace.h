// Exported trace printing functions: entry, exit and detail lines of the
// library, prefixed with the calling thread's identifier.
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>

#define SX_TRACE_PRINTF(f, a) __attribute__((format(printf, f, a)))

// Written at level 0, without thread prefix.
SXCMDIF_CAPI void trTracefHP0(const char* fmt, ...) SX_TRACE_PRINTF(1, 2);
// Written at level 5, with thread prefix.
SXCMDIF_CAPI void trTracefHP5(const char* fmt, ...) SX_TRACE_PRINTF(1, 2);
// Written at level 7, with thread prefix.
SXCMDIF_CAPI void trTracefHP7(const char* fmt, ...) SX_TRACE_PRINTF(1, 2);
// Written at level 5, with thread prefix; costs one comparison while the
// level is 4 or lower.
SXCMDIF_CAPI void trTracefHP(const char* fmt, ...) SX_TRACE_PRINTF(1, 2);
