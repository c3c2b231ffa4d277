// Command codes and actions of the tracker's command protocol.
#pragma once

// Command codes: the `cmd` word of a command frame. Codes 23, 25 and 39
// have no command.
enum eSorixCmds {
    CMD_HEMISPHERE = 0,
    CMD_FILTER = 1,
    CMD_TIP_OFFSET = 2,
    CMD_INCREMENT = 3,
    CMD_BORESIGHT = 4,
    CMD_SENSOR_WHOAMI = 5,
    CMD_FRAMERATE = 6,
    CMD_UNITS = 7,
    CMD_SRC_ROTATION = 8,
    CMD_SYNC_MODE = 9,
    CMD_STATION_MAP = 10,
    CMD_STYLUS = 11,
    CMD_SEUID = 12,
    CMD_DUAL_OUTPUT = 13,
    CMD_SERIAL_CONFIG = 14,
    CMD_BLOCK_CFG = 15,
    CMD_FRAME_COUNT = 16,
    CMD_BIT = 17,
    CMD_SINGLE_PNO = 18,
    CMD_CONTINUOUS_PNO = 19,
    CMD_WHOAMI = 20,
    CMD_INITIALIZE = 21,
    CMD_PERSIST = 22,
    CMD_FTT_MODE = 24,
    CMD_SENSOR_BLOCKCFG = 26,
    CMD_SOURCE_CFG = 27,
    CMD_PREDFILTER_CFG = 28,
    CMD_PREDFILTER_EXT = 29,
    CMD_SRC_SELECT = 30,
    CMD_SNS_ORIGIN = 31,
    CMD_SNS_VIRTUAL = 32,
    CMD_SRC_WHOAMI = 33,
    CMD_DISABLE_CAL = 34,
    CMD_SELFCAL_STATE = 35,
    CMD_SELFCAL_SAVE = 36,
    CMD_OOR_MODE = 37,
    CMD_SELF_LEVEL = 38,
    CMD_MAX = 40
};

// The `action` word: requests (SET, GET, RESET) and response outcomes.
enum eCmdActions {
    CMD_ACTION_SET = 0,
    CMD_ACTION_GET = 1,
    CMD_ACTION_RESET = 2,
    CMD_ACTION_ACK = 3,
    CMD_ACTION_NAK = 4,
    CMD_ACTION_NAK_WARNING = 5,
    CMD_ACTION_MAX = 6
};
