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
#else
/** Marks what libSXserIO exports (default visibility); empty inside libSXCmdIF. */
#define SXSERIO_API __attribute__((visibility("default")))
#endif

/** @} */
