/** \file
 * Exported trace printing functions: entry, exit and detail lines of the
 * library, prefixed with the calling thread's identifier ("[%08x] : ").
 * They write through BxDebug (standard output, or the receiver set with
 * sxcmdif_set_trace_cb(), and, while logging, the log file) and may be called from any thread.
 * This header compiles as C and as C++.
 * \ingroup sx_diagnostics */
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>

/** \addtogroup sx_diagnostics
 * @{ */

/** Writes a trace line at level 0 (whatever the level), without thread prefix.
 * \param fmt a printf format
 * \param ... its values
 * \thread Any. */
SXCMDIF_CAPI void trTracefHP0(const char* fmt, ...) SX_TRACE_PRINTF(1, 2);
/** Writes a trace line at level 5, with thread prefix.
 * \param fmt a printf format
 * \param ... its values
 * \thread Any. */
SXCMDIF_CAPI void trTracefHP5(const char* fmt, ...) SX_TRACE_PRINTF(1, 2);
/** Writes a trace line at level 7, with thread prefix.
 * \param fmt a printf format
 * \param ... its values
 * \thread Any. */
SXCMDIF_CAPI void trTracefHP7(const char* fmt, ...) SX_TRACE_PRINTF(1, 2);
/** Writes a trace line at level 5, with thread prefix; costs one comparison while the level is 4 or lower. The
 * entry and exit lines of the library go through it.
 * \param fmt a printf format
 * \param ... its values
 * \thread Any. */
SXCMDIF_CAPI void trTracefHP(const char* fmt, ...) SX_TRACE_PRINTF(1, 2);

/** @} */
