/* The exported function interface of SXCmdIF: library entry, contexts and
 * build identification. Plain names have C linkage. */
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/SXerrors.h>

#ifdef __cplusplus
#include <cstddef>
#else
#include <stddef.h>
#endif

/* Creates a context and stores its handle through ctx. */
SXCMDIF_CAPI int sxcmdif_init(void** ctx);
/* Releases a context with all its devices. */
SXCMDIF_CAPI int sxcmdif_release(void* ctx);

SXCMDIF_CAPI const char* sxcmdif_version(void);
SXCMDIF_CAPI const wchar_t* sxcmdif_versionW(void);
SXCMDIF_CAPI const char* sxcmdif_date(void);
SXCMDIF_CAPI const wchar_t* sxcmdif_dateW(void);
SXCMDIF_CAPI const char* sxcmdif_time(void);
SXCMDIF_CAPI const wchar_t* sxcmdif_timeW(void);
SXCMDIF_CAPI const char* sxcmdif_datetime(void);
SXCMDIF_CAPI const wchar_t* sxcmdif_datetimeW(void);

/* Library-wide trace switch and level (0 to 7; any other value: off). */
SXCMDIF_CAPI void sxcmdif_trace(int level);
/* Trace level of one context and its devices. */
SXCMDIF_CAPI int sxctx_trace(void* ctx, int level);

#ifdef __cplusplus
/* Points standard output at the process's console (its terminal). */
SXCMDIF_API int sxcmdif_stdout();
/* Installs fn as the command-name source of the frame text dump. */
SXCMDIF_API int sxctx_setuthcmdstr(void* ctx, const char* (*fn)(unsigned int));
/* Removes the command-name override. */
SXCMDIF_API int sxctx_clearuthcmdstr(void* ctx);
#endif
