// Export and linkage macros of the SXCmdIF library.
#pragma once

// Everything the library exports is marked with SXCMDIF_API; the library is
// built with hidden visibility, so unmarked code stays internal.
#define SXCMDIF_API __attribute__((visibility("default")))

#ifdef __cplusplus
#define SXCMDIF_EXTERN_C extern "C"
#else
#define SXCMDIF_EXTERN_C
#endif

// Plain-named exported function: C linkage.
#define SXCMDIF_CAPI SXCMDIF_EXTERN_C SXCMDIF_API
