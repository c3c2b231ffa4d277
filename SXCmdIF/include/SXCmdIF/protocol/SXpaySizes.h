/** \file
 * Byte sizes of the command payloads, one per payload record. The command
 * catalogue refuses any other length; each record type must have its size.
 * \ingroup sx_records */
#pragma once

#include <cstdint>

/** \addtogroup sx_records
 * @{ */

constexpr uint32_t SX_PAYSIZE_BINARY_CONFIG = 4;       ///< Bytes of `_BINARY_CONFIG`.
constexpr uint32_t SX_PAYSIZE_ENUM_CONFIG = 4;         ///< Bytes of `_ENUM_CONFIG`.
constexpr uint32_t SX_PAYSIZE_INT32_CONFIG = 4;        ///< Bytes of `_INT32_CONFIG`.
constexpr uint32_t SX_PAYSIZE_FRAMERATE_CONFIG = 4;    ///< Bytes of `_FRAMERATE_CONFIG`.
constexpr uint32_t SX_PAYSIZE_STYLUS_CONFIG = 4;       ///< Bytes of `_STYLUS_CONFIG`.
constexpr uint32_t SX_PAYSIZE_SEUID_CONFIG = 4;        ///< Bytes of `_SEUID_CONFIG`.
constexpr uint32_t SX_PAYSIZE_SERIAL_CONFIG = 4;       ///< Bytes of `_SERIAL_CONFIG`.
constexpr uint32_t SX_PAYSIZE_STATION_MAP = 4;         ///< Bytes of `_STATION_MAP`.
constexpr uint32_t SX_PAYSIZE_UNITS_CONFIG = 8;        ///< Bytes of `_UNITS_CONFIG`.
constexpr uint32_t SX_PAYSIZE_SRC_CONFIG = 36;         ///< Bytes of `_SRC_CONFIG`.
constexpr uint32_t SX_PAYSIZE_SRCROT_CONFIG = 20;      ///< Bytes of `_SRCROT_CONFIG`.
constexpr uint32_t SX_PAYSIZE_SRC_SEL_CONFIG = 4;      ///< Bytes of `_SRC_SEL_CONFIG`.
constexpr uint32_t SX_PAYSIZE_HEMISPHERE_CONFIG = 16;  ///< Bytes of `_HEMISPHERE_CONFIG`.
constexpr uint32_t SX_PAYSIZE_FILTER_CONFIG = 20;      ///< Bytes of `_FILTER_CONFIG`.
constexpr uint32_t SX_PAYSIZE_TIP_OFFSET_CONFIG = 12;  ///< Bytes of `_TIP_OFFSET_CONFIG`.
constexpr uint32_t SX_PAYSIZE_INCREMENT_CONFIG = 12;   ///< Bytes of `_INCREMENT_CONFIG`.
constexpr uint32_t SX_PAYSIZE_BORESIGHT_CONFIG = 16;   ///< Bytes of `_BORESIGHT_CONFIG`.
constexpr uint32_t SX_PAYSIZE_PF_CONFIG = 12;          ///< Bytes of `_PF_CONFIG`.
constexpr uint32_t SX_PAYSIZE_PF_CONFIG_EXT = 188;     ///< Bytes of `_PF_CONFIG_EXT`.
constexpr uint32_t SX_PAYSIZE_VIRTUAL_SNS_CONFIG = 16; ///< Bytes of `_VIRTUAL_SNS_CONFIG`.
constexpr uint32_t SX_PAYSIZE_SENSOR_CONFIG = 276;     ///< Bytes of `_SENSOR_CONFIG`.
constexpr uint32_t SX_PAYSIZE_BLOCK_CONFIG = 4596;     ///< Bytes of `_BLOCK_CONFIG`.
constexpr uint32_t SX_PAYSIZE_WHOAMI_STRUCT = 192;     ///< Bytes of `_WHOAMI_STRUCT`.
constexpr uint32_t SX_PAYSIZE_BIT_STRUCT = 28;         ///< Bytes of `_BIT_STRUCT`.
constexpr uint32_t SX_PAYSIZE_SELFCAL_CONFIG = 12;     ///< Bytes of `_SELFCAL_CONFIG`.
constexpr uint32_t SX_PAYSIZE_SEUPNO = 16;        ///< Bytes of the header of a single-P&O body (`seuid` to `snscnt`).
constexpr uint32_t SX_PAYSIZE_CONT_FC_CONFIG = 4; ///< Bytes of the payload word of ::CMD_CONTINUOUS_PNO.
constexpr uint32_t SX_RECSIZE_NOISEPROFILE = 172; ///< Bytes of `_NOISEPROFILE`, a record without a command of its own.
constexpr uint32_t SX_RECSIZE_PNO = 28;           ///< Bytes of `_PNO`, a record without a command of its own.

/** @} */
