/** \file
 * Exported frame and error traces: command and action names, the block dump
 * of a buffer, a byte list and the system-error line.
 * This header compiles as C and as C++.
 * \ingroup sx_diagnostics */
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>

#ifdef __cplusplus
#include <cstddef>
#else
#include <stdbool.h>
#include <stddef.h>
#endif

/** \addtogroup sx_diagnostics
 * @{ */

/** The name of a command code, as CSXcmd::cmdstr() gives it.
 * \param cmd a command code
 * \returns the name; "undefined_cmd" for 40 or more
 * \thread Any. */
SXCMDIF_CAPI const char* trCmdStr(unsigned int cmd);
/** The wide form of trCmdStr().
 * \param cmd a command code
 * \returns the name
 * \thread Any. */
SXCMDIF_CAPI const wchar_t* trCmdStrW(unsigned int cmd);
/** The long name of an action ("CMD_ACTION_ACK", ...).
 * \param action an action
 * \returns the name; "undefined_action" for 6 or more
 * \thread Any. */
SXCMDIF_CAPI const char* trActionStr(unsigned int action);
/** The wide form of trActionStr().
 * \param action an action
 * \returns the name
 * \thread Any. */
SXCMDIF_CAPI const wchar_t* trActionStrW(unsigned int action);

/** With tracing on and the level reached: "[thread] : label \r\n" and the block dump of the buffer (hexadecimal
 * and characters, eight bytes a line, cut after 4 KB of text), straight to standard output (not logged).
 * \param buffer the bytes
 * \param length their number (0 or less: nothing)
 * \param crlf end with "\r\n"
 * \param label the label, or null
 * \param level the level the current level must reach
 * \thread Any. */
SXCMDIF_CAPI void trTraceFBuf(const void* buffer, int length, bool crlf, const char* label, int level);
/** With tracing on: the prefix and each byte as "xx ", at level 3 (the list stops within 4 KB).
 * \param data the bytes
 * \param length their number (0 or less: nothing)
 * \param crlf end with "\r\n"
 * \param prefix the prefix, or null
 * \thread Any. */
SXCMDIF_CAPI void trTraceHexBuf(const unsigned char* data, int length, bool crlf, const char* prefix);
/** At level 0, tracing on or off: a system error code with its Windows Sockets name ("WSAE NOT DEFINED" outside
 * 10035 to 10071 and 10091 to 10105), the caller's text and the system's message. The context is not used.
 * \param context not used
 * \param code an errno code
 * \param text the caller's text, or null
 * \param function the caller's function name, or null
 * \param line the caller's source line
 * \thread Any. */
SXCMDIF_CAPI void trTraceSysErr(void* context, int code, const char* text, const char* function, int line);

/** @} */
