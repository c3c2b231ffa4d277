/** \file
 * Texts of error codes: any 32-bit value yields a text. A composed text
 * (a code with its detail) stays valid until the next composed text of the
 * same width on the same thread.
 * This header compiles as C and as C++.
 * \ingroup sx_library */
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>

#ifdef __cplusplus
#include <cstddef>
#else
#include <stddef.h>
#endif

/** \addtogroup sx_library
 * @{ */

/** The text of an error value, the same as sxcmdif_errorStr().
 * \param value any value an exported function returned
 * \returns the code's name ("E_SX_SUCCESS", ...), for ::E_SXERR_INVALID_CRC
 *   and the `E_DEVIOERR_*` codes the name and the detail's text joined by
 *   " : ", "SX_ERR NOT DEFINED" for a value outside the table. Never null.
 * \thread Any; needs no context. A composed text lives in a buffer of the
 *   calling thread until its next composed narrow text. */
SXCMDIF_CAPI const char* trErrStr(int value);
/** The wide form of trErrStr(): the same characters.
 * \param value any value an exported function returned
 * \returns the text; never null.
 * \thread Any; a composed text lives until the calling thread's next composed wide text. */
SXCMDIF_CAPI const wchar_t* trErrStrW(int value);
/** The text of an error value, for applications.
 * \param value any value an exported function returned
 * \returns the text of trErrStr(); never null. For example 20 gives
 *   "E_CTXERR_INVALID_DEVHND Invalid Device Handle", 0x0014000A gives
 *   "E_SXERR_INVALID_CRC : CMD_WHOAMI".
 * \thread Any, also before sxcmdif_init(); a composed text lives until the
 *   calling thread's next composed narrow text. */
SXCMDIF_CAPI const char* sxcmdif_errorStr(int value);
/** The wide form of sxcmdif_errorStr().
 * \param value any value an exported function returned
 * \returns the text; never null.
 * \thread Any; a composed text lives until the calling thread's next composed wide text. */
SXCMDIF_CAPI const wchar_t* sxcmdif_errorStrW(int value);

/** @} */
