// Byte sizes of the command payloads, one per payload record. The command
// catalogue refuses any other length; each record type must have its size.
#pragma once

#include <cstdint>

constexpr uint32_t SX_PAYSIZE_BINARY_CONFIG = 4;
constexpr uint32_t SX_PAYSIZE_ENUM_CONFIG = 4;
constexpr uint32_t SX_PAYSIZE_INT32_CONFIG = 4;
constexpr uint32_t SX_PAYSIZE_FRAMERATE_CONFIG = 4;
constexpr uint32_t SX_PAYSIZE_STYLUS_CONFIG = 4;
constexpr uint32_t SX_PAYSIZE_SEUID_CONFIG = 4;
constexpr uint32_t SX_PAYSIZE_SERIAL_CONFIG = 4;
constexpr uint32_t SX_PAYSIZE_STATION_MAP = 4;
constexpr uint32_t SX_PAYSIZE_UNITS_CONFIG = 8;
constexpr uint32_t SX_PAYSIZE_SRC_CONFIG = 36;
constexpr uint32_t SX_PAYSIZE_SRCROT_CONFIG = 20;
constexpr uint32_t SX_PAYSIZE_SRC_SEL_CONFIG = 4;
constexpr uint32_t SX_PAYSIZE_HEMISPHERE_CONFIG = 16;
constexpr uint32_t SX_PAYSIZE_FILTER_CONFIG = 20;
constexpr uint32_t SX_PAYSIZE_TIP_OFFSET_CONFIG = 12;
constexpr uint32_t SX_PAYSIZE_INCREMENT_CONFIG = 12;
constexpr uint32_t SX_PAYSIZE_BORESIGHT_CONFIG = 16;
constexpr uint32_t SX_PAYSIZE_PF_CONFIG = 12;
constexpr uint32_t SX_PAYSIZE_PF_CONFIG_EXT = 188;
constexpr uint32_t SX_PAYSIZE_VIRTUAL_SNS_CONFIG = 16;
constexpr uint32_t SX_PAYSIZE_SENSOR_CONFIG = 276;
constexpr uint32_t SX_PAYSIZE_BLOCK_CONFIG = 4596;
constexpr uint32_t SX_PAYSIZE_WHOAMI_STRUCT = 192;
constexpr uint32_t SX_PAYSIZE_BIT_STRUCT = 28;
constexpr uint32_t SX_PAYSIZE_SELFCAL_CONFIG = 12;
// The P&O payloads: the header of a single-P&O body, and the word that
// starts continuous output.
constexpr uint32_t SX_PAYSIZE_SEUPNO = 16;
constexpr uint32_t SX_PAYSIZE_CONT_FC_CONFIG = 4;
// Records without a command of their own.
constexpr uint32_t SX_RECSIZE_NOISEPROFILE = 172;
constexpr uint32_t SX_RECSIZE_PNO = 28;
