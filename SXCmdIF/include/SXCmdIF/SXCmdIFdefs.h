/** \file
 * Export and linkage macros of the SXCmdIF library.
 * This header compiles as C and as C++.
 * \ingroup sx_library */
#pragma once

/** \addtogroup sx_library
 * @{ */

#if defined(_WIN32) && defined(SXCMDIF_BUILDING)
#define SXCMDIF_API __declspec(dllexport)
#elif defined(_WIN32)
#define SXCMDIF_API __declspec(dllimport)
#else
/** Marks everything the library exports (default visibility). The library
 * is built with hidden visibility, so unmarked code stays internal. On
 * Windows it marks what the DLL exports while it is built
 * (SXCMDIF_BUILDING) and what applications import from it. */
#define SXCMDIF_API __attribute__((visibility("default")))
#endif

/// \cond SX_INTERNAL
// printf-style format checks where the compiler has them (GCC, clang).
#if defined(__GNUC__)
#define SX_PRINTF(f, a) __attribute__((format(printf, f, a)))
#else
#define SX_PRINTF(f, a)
#endif
#define SX_TRACE_PRINTF(f, a) SX_PRINTF(f, a)
/// \endcond

#ifdef __cplusplus
/** `extern "C"` in C++, nothing in C. */
#define SXCMDIF_EXTERN_C extern "C"
#else
#define SXCMDIF_EXTERN_C
#endif

/** Marks an exported function with a plain name: C linkage, default visibility. */
#define SXCMDIF_CAPI SXCMDIF_EXTERN_C SXCMDIF_API

/** @} */
