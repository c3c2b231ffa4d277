// The command catalogue and the action table as constant data.
#pragma once

#include <SXCmdIF/protocol/SXcmdEnums.h>
#include <SXCmdIF/protocol/SXpaySizes.h>

#include "TextPair.h"

#include <cstdint>

namespace sxproto {

// What a command addresses; a sensor-level command carries the sensor in arg1.
enum eCmdScope : uint32_t { SCOPE_SENSOR = 0, SCOPE_UNIT = 1, SCOPE_NONE = 2 };

// Allowed actions: bit n accepts action n.
constexpr uint8_t ACT_SET = 1u << CMD_ACTION_SET;
constexpr uint8_t ACT_GET = 1u << CMD_ACTION_GET;
constexpr uint8_t ACT_RESET = 1u << CMD_ACTION_RESET;
constexpr uint8_t ACT_SGR = ACT_SET | ACT_GET | ACT_RESET;

struct CmdRow {
    eSorixCmds value; // CMD_MAX on rows without a command
    const char* name;
    const wchar_t* nameW;
    uint8_t actMask;
    eCmdScope scope;
    uint64_t paySize;
    const char* payName;
    const wchar_t* payNameW;
};

constexpr uint32_t kCmdRows = CMD_MAX + 1;

#define SX_CMD(v, pay, size, mask, scope)                                                                              \
    {                                                                                                                  \
        v, SX_NW(#v), mask, scope, size, SX_NW(pay)                                                                    \
    }
#define SX_CMD_UNDEF                                                                                                   \
    {                                                                                                                  \
        CMD_MAX, SX_NW("CMD_UNDEFINED"), 0, SCOPE_NONE, 0, SX_NW("NONE")                                               \
    }

inline constexpr CmdRow kCmdCatalogue[kCmdRows] = {
    SX_CMD(CMD_HEMISPHERE, "HEMISPHERE_CONFIG", SX_PAYSIZE_HEMISPHERE_CONFIG, ACT_SGR, SCOPE_SENSOR),
    SX_CMD(CMD_FILTER, "FILTER_CONFIG", SX_PAYSIZE_FILTER_CONFIG, ACT_SGR, SCOPE_SENSOR),
    SX_CMD(CMD_TIP_OFFSET, "TIP_OFFSET_CONFIG", SX_PAYSIZE_TIP_OFFSET_CONFIG, ACT_SGR, SCOPE_SENSOR),
    SX_CMD(CMD_INCREMENT, "INCREMENT_CONFIG", SX_PAYSIZE_INCREMENT_CONFIG, ACT_SGR, SCOPE_SENSOR),
    SX_CMD(CMD_BORESIGHT, "BORESIGHT_CONFIG", SX_PAYSIZE_BORESIGHT_CONFIG, ACT_SGR, SCOPE_SENSOR),
    SX_CMD(CMD_SENSOR_WHOAMI, "WHOAMI_STRUCT", SX_PAYSIZE_WHOAMI_STRUCT, ACT_GET, SCOPE_SENSOR),
    SX_CMD(CMD_FRAMERATE, "FRAMERATE_CONFIG", SX_PAYSIZE_FRAMERATE_CONFIG, ACT_SGR, SCOPE_UNIT),
    SX_CMD(CMD_UNITS, "UNITS_CONFIG", SX_PAYSIZE_UNITS_CONFIG, ACT_SGR, SCOPE_UNIT),
    SX_CMD(CMD_SRC_ROTATION, "SRCROT_CONFIG", SX_PAYSIZE_SRCROT_CONFIG, ACT_SGR, SCOPE_UNIT),
    SX_CMD(CMD_SYNC_MODE, "BINARY_CONFIG", SX_PAYSIZE_BINARY_CONFIG, ACT_SGR, SCOPE_UNIT),
    SX_CMD(CMD_STATION_MAP, "STATION_MAP", SX_PAYSIZE_STATION_MAP, ACT_GET, SCOPE_UNIT),
    SX_CMD(CMD_STYLUS, "STYLUS_CONFIG", SX_PAYSIZE_STYLUS_CONFIG, ACT_SGR, SCOPE_UNIT),
    // The wide payload names of 12 and 14 name the plain 32-bit record.
    {CMD_SEUID, SX_NW("CMD_SEUID"), ACT_SGR, SCOPE_UNIT, SX_PAYSIZE_SEUID_CONFIG, "SORIX_SEUID", L"INT32_CONFIG"},
    SX_CMD(CMD_DUAL_OUTPUT, "BINARY_CONFIG", SX_PAYSIZE_BINARY_CONFIG, ACT_SGR, SCOPE_UNIT),
    {CMD_SERIAL_CONFIG, SX_NW("CMD_SERIAL_CONFIG"), ACT_SGR, SCOPE_UNIT, SX_PAYSIZE_SERIAL_CONFIG, "SERIAL_CONFIG",
     L"INT32_CONFIG"},
    SX_CMD(CMD_BLOCK_CFG, "BLOCK_CONFIG", SX_PAYSIZE_BLOCK_CONFIG, ACT_RESET, SCOPE_UNIT),
    SX_CMD(CMD_FRAME_COUNT, "NONE", 0, ACT_RESET, SCOPE_UNIT),
    SX_CMD(CMD_BIT, "BIT_STRUCT", SX_PAYSIZE_BIT_STRUCT, ACT_GET, SCOPE_UNIT),
    SX_CMD(CMD_SINGLE_PNO, "SEUPNO", SX_PAYSIZE_SEUPNO, ACT_GET, SCOPE_UNIT),
    SX_CMD(CMD_CONTINUOUS_PNO, "CONT_FC_CONFIG", SX_PAYSIZE_CONT_FC_CONFIG, ACT_SET | ACT_RESET, SCOPE_UNIT),
    SX_CMD(CMD_WHOAMI, "WHOAMI_STRUCT", SX_PAYSIZE_WHOAMI_STRUCT, ACT_GET, SCOPE_UNIT),
    SX_CMD(CMD_INITIALIZE, "NONE", 0, ACT_SET, SCOPE_UNIT),
    SX_CMD(CMD_PERSIST, "NONE", 0, ACT_SET, SCOPE_UNIT),
    SX_CMD_UNDEF,
    SX_CMD(CMD_FTT_MODE, "ENUM_CONFIG", SX_PAYSIZE_ENUM_CONFIG, ACT_SGR, SCOPE_SENSOR),
    SX_CMD_UNDEF,
    SX_CMD(CMD_SENSOR_BLOCKCFG, "SENSOR_CONFIG", SX_PAYSIZE_SENSOR_CONFIG, ACT_RESET, SCOPE_SENSOR),
    SX_CMD(CMD_SOURCE_CFG, "SRC_CONFIG", SX_PAYSIZE_SRC_CONFIG, ACT_SGR, SCOPE_UNIT),
    SX_CMD(CMD_PREDFILTER_CFG, "PF_CONFIG", SX_PAYSIZE_PF_CONFIG, ACT_SGR, SCOPE_SENSOR),
    SX_CMD(CMD_PREDFILTER_EXT, "PF_CONFIG_EXT", SX_PAYSIZE_PF_CONFIG_EXT, ACT_SGR, SCOPE_SENSOR),
    SX_CMD(CMD_SRC_SELECT, "SRC_SEL_CONFIG", SX_PAYSIZE_SRC_SEL_CONFIG, ACT_SGR, SCOPE_SENSOR),
    SX_CMD(CMD_SNS_ORIGIN, "ENUM_CONFIG", SX_PAYSIZE_ENUM_CONFIG, ACT_SGR, SCOPE_SENSOR),
    SX_CMD(CMD_SNS_VIRTUAL, "VIRTUAL_SNS_CONFIG", SX_PAYSIZE_VIRTUAL_SNS_CONFIG, ACT_SGR, SCOPE_SENSOR),
    SX_CMD(CMD_SRC_WHOAMI, "WHOAMI_STRUCT", SX_PAYSIZE_WHOAMI_STRUCT, ACT_GET, SCOPE_UNIT),
    SX_CMD(CMD_DISABLE_CAL, "INT32_CONFIG", SX_PAYSIZE_INT32_CONFIG, ACT_SET | ACT_RESET, SCOPE_UNIT),
    SX_CMD(CMD_SELFCAL_STATE, "SELFCAL_CONFIG", SX_PAYSIZE_SELFCAL_CONFIG, ACT_SGR, SCOPE_UNIT),
    SX_CMD(CMD_SELFCAL_SAVE, "NONE", 0, ACT_SET | ACT_RESET, SCOPE_UNIT),
    SX_CMD(CMD_OOR_MODE, "BINARY_CONFIG", SX_PAYSIZE_BINARY_CONFIG, ACT_SGR, SCOPE_UNIT),
    SX_CMD(CMD_SELF_LEVEL, "SRCROT_CONFIG", SX_PAYSIZE_SRCROT_CONFIG, ACT_SGR, SCOPE_UNIT),
    SX_CMD_UNDEF,
    SX_CMD_UNDEF,
};

#undef SX_CMD
#undef SX_CMD_UNDEF

struct ActRow {
    eCmdActions value;
    const char* name;
    const wchar_t* nameW;
    const char* shortName;
};

constexpr uint32_t kActRows = CMD_ACTION_MAX + 1;

inline constexpr ActRow kActTable[kActRows] = {
    {CMD_ACTION_SET, SX_NW("CMD_ACTION_SET"), "ACTION_SET"},
    {CMD_ACTION_GET, SX_NW("CMD_ACTION_GET"), "ACTION_GET"},
    {CMD_ACTION_RESET, SX_NW("CMD_ACTION_RESET"), "ACT_RESET"},
    {CMD_ACTION_ACK, SX_NW("CMD_ACTION_ACK"), "ACTION_ACK"},
    {CMD_ACTION_NAK, SX_NW("CMD_ACTION_NAK"), "ACTION_NAK"},
    {CMD_ACTION_NAK_WARNING, SX_NW("CMD_ACTION_NAK_WARNING"), "NAK_WARN"},
    {CMD_ACTION_MAX, SX_NW("ACTION_UNDEFINED"), "ACT_UNDEF"},
};

// Every row sits at the index of its own value.
constexpr bool CatalogueIndexed()
{
    for (uint32_t i = 0; i < kCmdRows; ++i)
        if (kCmdCatalogue[i].value != CMD_MAX && static_cast<uint32_t>(kCmdCatalogue[i].value) != i)
            return false;
    for (uint32_t i = 0; i < kActRows; ++i)
        if (static_cast<uint32_t>(kActTable[i].value) != i)
            return false;
    return true;
}
static_assert(CatalogueIndexed(), "catalogue rows out of order");

} // namespace sxproto
