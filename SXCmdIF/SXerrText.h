/* Texts of error codes: any 32-bit value yields a text. A composed text
 * (a code with its detail) stays valid until the next composed text of the
 * same width on the same thread. */
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>

#ifdef __cplusplus
#include <cstddef>
#else
#include <stddef.h>
#endif

SXCMDIF_CAPI const char* trErrStr(int value);
SXCMDIF_CAPI const wchar_t* trErrStrW(int value);
SXCMDIF_CAPI const char* sxcmdif_errorStr(int value);
SXCMDIF_CAPI const wchar_t* sxcmdif_errorStrW(int value);
