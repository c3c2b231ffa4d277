/* Exported frame and error traces: command and action names, the block dump
 * of a buffer, a byte list and the system-error line. */
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>

#ifdef __cplusplus
#include <cstddef>
#else
#include <stdbool.h>
#include <stddef.h>
#endif

SXCMDIF_CAPI const char* trCmdStr(unsigned int cmd);
SXCMDIF_CAPI const wchar_t* trCmdStrW(unsigned int cmd);
/* The long action names ("CMD_ACTION_ACK", ...). */
SXCMDIF_CAPI const char* trActionStr(unsigned int action);
SXCMDIF_CAPI const wchar_t* trActionStrW(unsigned int action);

/* With tracing on and the level reached: "[thread] : label \r\n" and the
 * block dump of the buffer, straight to standard output (not logged). */
SXCMDIF_CAPI void trTraceFBuf(const void* buffer, int length, bool crlf, const char* label, int level);
/* With tracing on: the prefix and each byte as "xx ", at level 3. */
SXCMDIF_CAPI void trTraceHexBuf(const unsigned char* data, int length, bool crlf, const char* prefix);
/* At level 0, tracing on or off: a system error code with its Windows
 * Sockets name, the caller's text and the system's message. The context is
 * not used. */
SXCMDIF_CAPI void trTraceSysErr(void* context, int code, const char* text, const char* function, int line);
