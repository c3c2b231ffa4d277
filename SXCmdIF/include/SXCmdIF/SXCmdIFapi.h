/** \file
 * The exported function interface of SXCmdIF: library entry, contexts and
 * build identification. Plain names have C linkage.
 * This header compiles as C and as C++.
 * \ingroup sx_library */
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/SXerrors.h>

#ifdef __cplusplus
#include <cstddef>
#else
#include <stddef.h>
#endif

/** \addtogroup sx_library
 * @{ */

/** Creates a context and stores its handle through ctx. Every later call
 * names the context; devices are connected through it. The context starts
 * with the trace level last given to sxcmdif_trace().
 * \param ctx receives the context handle; unchanged on failure
 * \retval E_SX_SUCCESS the handle is in *ctx
 * \retval E_SXERR_INVALID_PARAMS ctx is null
 * \retval E_SXERR_MEMORY_ALLOCATION the context could not be allocated or registered
 * \thread Any application thread. */
SXCMDIF_CAPI int sxcmdif_init(void** ctx);
/** Releases a context with all its devices (their transports are closed).
 * Calls already inside the context finish first; later calls with the
 * handle return ::E_SXERR_INVALID_CONTEXT.
 * \param ctx a context handle of sxcmdif_init()
 * \retval E_SX_SUCCESS released
 * \retval E_SXERR_INVALID_CONTEXT ctx is not a live context (for example released before)
 * \thread Any application thread; not from a P&O callback of one of its devices. */
SXCMDIF_CAPI int sxcmdif_release(void* ctx);

/** The library's version, "240212a v0.0.61".
 * \returns a constant text
 * \thread Any. */
SXCMDIF_CAPI const char* sxcmdif_version(void);
/** The wide form of sxcmdif_version(), converted with the current locale on
 * the first call of any of the wide build texts.
 * \returns a text that lives as long as the library
 * \thread Any. */
SXCMDIF_CAPI const wchar_t* sxcmdif_versionW(void);
/** The build date, as "Mar 19 2024".
 * \returns a constant text
 * \thread Any. */
SXCMDIF_CAPI const char* sxcmdif_date(void);
/** The wide form of sxcmdif_date().
 * \returns a text that lives as long as the library
 * \thread Any. */
SXCMDIF_CAPI const wchar_t* sxcmdif_dateW(void);
/** The build time, as "12:53:50".
 * \returns a constant text
 * \thread Any. */
SXCMDIF_CAPI const char* sxcmdif_time(void);
/** The wide form of sxcmdif_time().
 * \returns a text that lives as long as the library
 * \thread Any. */
SXCMDIF_CAPI const wchar_t* sxcmdif_timeW(void);
/** The build date and time joined by one blank.
 * \returns a constant text
 * \thread Any. */
SXCMDIF_CAPI const char* sxcmdif_datetime(void);
/** The wide form of sxcmdif_datetime().
 * \returns a text that lives as long as the library
 * \thread Any. */
SXCMDIF_CAPI const wchar_t* sxcmdif_datetimeW(void);

/** Sets the library-wide trace switch and level. Level 0 switches tracing
 * off; 1 to 7 switch it on at that level (7 also writes a line saying so);
 * any other value switches it off and is stored as given. Contexts created
 * afterwards take the stored level; existing ones keep theirs (see
 * sxctx_trace()).
 * \param level 0 to 7
 * \thread Any application thread. */
SXCMDIF_CAPI void sxcmdif_trace(int level);
/** Sets the trace level of one context and of each of its devices.
 * \param ctx a context handle
 * \param level the trace level (0 to 7)
 * \retval E_SX_SUCCESS set
 * \retval E_SXERR_INVALID_CONTEXT ctx is not a live context
 * \thread Any application thread. */
SXCMDIF_CAPI int sxctx_trace(void* ctx, int level);

/** An application's receiver of the library's trace lines (see
 * sxcmdif_set_trace_cb()).
 * \param arg the argument given to sxcmdif_set_trace_cb()
 * \param level the level the line was written at: 0 for lines written
 *        whatever the level, up to 7 for the most detailed
 * \param line one line, without its line end; valid during the call only */
typedef void (*sxcmdif_trace_cb)(void* arg, int level, const char* line);

/** Routes every trace line of the library and of its USB and serial
 * transports to fn instead of standard output, as libusb_set_log_cb() does
 * for libusb's messages; a null fn gives standard output back. The lines are
 * those the trace levels let through (sxcmdif_trace(), sxctx_trace(),
 * sxdev_trace()) and the few the library writes at any level, such as the
 * serial transport's trace setting at connection. Each call of fn carries
 * one line without its line end; blank lines are left out. The log file
 * (BxDebug::StartLog()) receives its lines as before.
 * \param fn the receiver, or null for standard output
 * \param arg handed to every call of fn
 * \thread Any application thread. fn is called on whichever thread writes
 * the line (the reading threads of the transports among them), never by two
 * threads at once, while the library holds its trace locks: it must return
 * soon and must not call the library. Once this function returns, the
 * receiver set before is not called any more. */
SXCMDIF_CAPI void sxcmdif_set_trace_cb(sxcmdif_trace_cb fn, void* arg);

#ifdef __cplusplus
/** Points standard output at the process's console, its controlling
 * terminal, and writes "sxcmdif_stdoutstdout\r\n" to it. Does nothing while
 * tracing is off. C++ only (exported under a decorated name).
 * \retval E_SX_SUCCESS reopened on the terminal, or tracing is off
 * \retval E_SXERR_NOTFOUND the process has no terminal; standard output is unchanged
 * \thread Any application thread. */
SXCMDIF_API int sxcmdif_stdout();
/** Installs fn as the command-name source of the frame text dumps, for the
 * whole process (whatever context is named). Creating a context removes it.
 * C++ only (exported under a decorated name).
 * \param ctx a context handle
 * \param fn gives the name of a command code
 * \retval E_SX_SUCCESS installed
 * \retval E_SXERR_INVALID_CONTEXT ctx is not a live context
 * \retval E_SXERR_INVALID_PARAMS fn is null
 * \thread Any application thread; fn is called on whichever thread dumps a frame. */
SXCMDIF_API int sxctx_setuthcmdstr(void* ctx, const char* (*fn)(unsigned int));
/** Removes the command-name source installed by sxctx_setuthcmdstr().
 * C++ only (exported under a decorated name).
 * \param ctx a context handle
 * \retval E_SX_SUCCESS removed (or none was installed)
 * \retval E_SXERR_INVALID_CONTEXT ctx is not a live context
 * \thread Any application thread. */
SXCMDIF_API int sxctx_clearuthcmdstr(void* ctx);
#endif

/** @} */
