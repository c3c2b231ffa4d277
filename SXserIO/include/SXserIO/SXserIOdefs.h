/** \file
 * Export macro of the serial transport. The same sources are compiled into
 * libSXserIO, which exports the transport, and into libSXCmdIF, which keeps
 * it internal (built with SXSERIO_INTERNAL).
 * \ingroup sx_serial */
#pragma once

/** \addtogroup sx_serial
 * @{ */

#if defined(SXSERIO_INTERNAL)
#define SXSERIO_API
#elif defined(_WIN32) && defined(SXSERIO_BUILDING)
#define SXSERIO_API __declspec(dllexport)
#elif defined(_WIN32)
#define SXSERIO_API __declspec(dllimport)
#else
/** Marks what libSXserIO exports (default visibility); empty inside
 * libSXCmdIF. On Windows: exported from the DLL while it is built
 * (SXSERIO_BUILDING), imported from it by applications. */
#define SXSERIO_API __attribute__((visibility("default")))
#endif

/** @} */
