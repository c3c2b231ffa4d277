/** \file
 * Command codes and actions of the tracker's command protocol.
 * \ingroup sx_commands */
#pragma once

/** \addtogroup sx_commands
 * @{ */

/** Command codes: the `cmd` word of a command frame. Codes 23, 25 and 39
 * have no command. Each code's payload record and allowed actions are in the
 * command catalogue (CSXcmd::paysize(), CSXcmd::ValidateAct()). */
enum eSorixCmds {
    CMD_HEMISPHERE = 0,       ///< A sensor's operating hemisphere (`_HEMISPHERE_CONFIG`).
    CMD_FILTER = 1,           ///< A sensor's position or orientation filter (`_FILTER_CONFIG`).
    CMD_TIP_OFFSET = 2,       ///< A sensor's tip offset (`_TIP_OFFSET_CONFIG`).
    CMD_INCREMENT = 3,        ///< A sensor's increment thresholds (`_INCREMENT_CONFIG`).
    CMD_BORESIGHT = 4,        ///< A sensor's boresight (`_BORESIGHT_CONFIG`).
    CMD_SENSOR_WHOAMI = 5,    ///< A sensor's identity (`_WHOAMI_STRUCT`, GET only).
    CMD_FRAMERATE = 6,        ///< The frame rate (`_FRAMERATE_CONFIG`).
    CMD_UNITS = 7,            ///< Position and orientation units (`_UNITS_CONFIG`).
    CMD_SRC_ROTATION = 8,     ///< A source's rotation (`_SRCROT_CONFIG`).
    CMD_SYNC_MODE = 9,        ///< Sync mode (`_BINARY_CONFIG`).
    CMD_STATION_MAP = 10,     ///< Detected sensors and sources (`_STATION_MAP`, GET only).
    CMD_STYLUS = 11,          ///< Stylus mode (`_STYLUS_CONFIG`).
    CMD_SEUID = 12,           ///< The unit identifier (`_SEUID_CONFIG`).
    CMD_DUAL_OUTPUT = 13,     ///< Dual output (`_BINARY_CONFIG`).
    CMD_SERIAL_CONFIG = 14,   ///< The unit's serial line (`_SERIAL_CONFIG`).
    CMD_BLOCK_CFG = 15,       ///< The whole configuration (`_BLOCK_CONFIG`, RESET only).
    CMD_FRAME_COUNT = 16,     ///< The frame count (no payload, RESET only).
    CMD_BIT = 17,             ///< The built-in-test result (`_BIT_STRUCT`, GET only).
    CMD_SINGLE_PNO = 18,      ///< One P&O record (GET only; the answer carries the P&O body).
    CMD_CONTINUOUS_PNO = 19,  ///< Continuous P&O output (a 4-byte word; SET starts, RESET stops).
    CMD_WHOAMI = 20,          ///< The unit's identity (`_WHOAMI_STRUCT`, GET only).
    CMD_INITIALIZE = 21,      ///< Initialise the unit (no payload, SET only).
    CMD_PERSIST = 22,         ///< Keep the configuration in the unit (no payload, SET only).
    CMD_FTT_MODE = 24,        ///< A sensor's FTT mode (`_ENUM_CONFIG`).
    CMD_SENSOR_BLOCKCFG = 26, ///< A sensor's whole configuration (`_SENSOR_CONFIG`, RESET only).
    CMD_SOURCE_CFG = 27,      ///< A source's configuration (`_SRC_CONFIG`).
    CMD_PREDFILTER_CFG = 28,  ///< A sensor's prediction filter (`_PF_CONFIG`).
    CMD_PREDFILTER_EXT = 29,  ///< A sensor's prediction filter with noise profile (`_PF_CONFIG_EXT`).
    CMD_SRC_SELECT = 30,      ///< The sources a sensor uses (`_SRC_SEL_CONFIG`).
    CMD_SNS_ORIGIN = 31,      ///< A sensor's origin (`_ENUM_CONFIG`).
    CMD_SNS_VIRTUAL = 32,     ///< A virtual sensor's input (`_VIRTUAL_SNS_CONFIG`).
    CMD_SRC_WHOAMI = 33,      ///< A source's identity (`_WHOAMI_STRUCT`, GET only).
    CMD_DISABLE_CAL = 34,     ///< Calibration switch (`_INT32_CONFIG`; SET and RESET).
    CMD_SELFCAL_STATE = 35,   ///< Self-calibration state (`_SELFCAL_CONFIG`).
    CMD_SELFCAL_SAVE = 36,    ///< Save or discard self-calibration data (no payload; SET and RESET).
    CMD_OOR_MODE = 37,        ///< Out-of-range mode (`_BINARY_CONFIG`).
    CMD_SELF_LEVEL = 38,      ///< Self-levelling (`_SRCROT_CONFIG`).
    CMD_MAX = 40              ///< One past the last code; stands for "undefined".
};

/** The `action` word: requests (SET, GET, RESET) and response outcomes. */
enum eCmdActions {
    CMD_ACTION_SET = 0,         ///< Request: write the payload.
    CMD_ACTION_GET = 1,         ///< Request: read into the payload.
    CMD_ACTION_RESET = 2,       ///< Request: restore the default.
    CMD_ACTION_ACK = 3,         ///< Answer: done.
    CMD_ACTION_NAK = 4,         ///< Answer: refused.
    CMD_ACTION_NAK_WARNING = 5, ///< Answer: done with a warning.
    CMD_ACTION_MAX = 6          ///< One past the last action; stands for "undefined".
};

/** @} */
