/** \file
 * What the headers of the exported device interface share: the record types
 * their functions take (declared only) and the P&O callback type. This header
 * compiles as C and as C++. */
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/SXerrors.h>

/// \cond SX_INTERNAL
#ifdef __cplusplus
#include <cstddef>
#include <cstdint>
#include <SXCmdIF/protocol/SXcmdEnums.h>
#include <SXCmdIF/protocol/SXvocabEnums.h>
#else
#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>
#endif

struct _sxFrameInfo;
struct _BIT_STRUCT;
struct _BINARY_CONFIG;
struct _ENUM_CONFIG;
struct _FRAMERATE_CONFIG;
struct _SEUID_CONFIG;
struct _SELFCAL_CONFIG;
struct _SERIAL_CONFIG;
struct _SRC_CONFIG;
struct _SRCROT_CONFIG;
struct _WHOAMI_STRUCT;
struct _STATION_MAP;
struct _STYLUS_CONFIG;
struct _UNITS_CONFIG;
struct _BORESIGHT_CONFIG;
struct _FILTER_CONFIG;
struct _HEMISPHERE_CONFIG;
struct _INCREMENT_CONFIG;
struct _PF_CONFIG;
struct _PF_CONFIG_EXT;
struct _SRC_SEL_CONFIG;
struct _TIP_OFFSET_CONFIG;
struct _VIRTUAL_SNS_CONFIG;
struct _PNO;
/// \endcond

/** \addtogroup sx_pno_access
 * @{ */
/** The P&O callback of sxdev_SetPnoCallback(). Called on the transport's
 * reading thread with every P&O frame that passes the receive checks; while
 * it runs the device receives nothing further.
 * \param arg the argument given with the callback
 * \param frame the whole raw frame, preamble to CRC; valid only during the call
 * \param length the frame's length in bytes */
typedef void (*SXPnoCallback)(void* arg, unsigned char* frame, unsigned int length);
/** @} */
