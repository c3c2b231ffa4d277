// Enumerated values that travel in payload records and P&O frames. Each
// enumeration ends with its maximum value, which also stands for "undefined".
#pragma once

enum eBaud {
    E_BR_1200 = 0,
    E_BR_2400 = 1,
    E_BR_4800 = 2,
    E_BR_9600 = 3,
    E_BR_19200 = 4,
    E_BR_38400 = 5,
    E_BR_57600 = 6,
    E_BR_115200 = 7,
    E_BR_230400 = 8,
    E_BR_460800 = 9,
    E_BR_921600 = 10,
    E_BR_1843200 = 11,
    E_BR_3686400 = 12,
    E_BR_7372800 = 13,
    E_BR_MAX = 14
};

enum eParity {
    E_PARITY_NONE = 0,
    E_PARITY_ODD = 1,
    E_PARITY_EVEN = 2,
    E_PARITY_MAX = 3
};

// Built-in-test error codes (the BITerr field of a P&O frame, the BIT result).
enum eBITerr {
    E_BITERR_NONE = 0,
    E_BITERR_SENSOR = 1,
    E_BITERR_SENSOR_PORT = 2,
    E_BITERR_SOURCE = 3,
    E_BITERR_SEU = 4,
    E_BITERR_DUPFREQ = 5,
    E_BITERR_RESERVED1 = 6,
    E_BITERR_RESERVED2 = 7,
    E_BITERR_MAX = 8
};

// Frame-rate codes: code n is 30 * 2^n frames per second.
enum eFrameRate {
    FR_30 = 0,
    FR_60 = 1,
    FR_120 = 2,
    FR_240 = 3,
    FR_480 = 4,
    FR_960 = 5,
    FR_MAX = 6
};

enum eSorixPosUnits {
    POS_INCH = 0,
    POS_FOOT = 1,
    POS_CM = 2,
    POS_METER = 3,
    POS_MAX = 4
};

enum eSorixOriUnits {
    ORI_EULER_DEGREE = 0,
    ORI_EULER_RADIAN = 1,
    ORI_QUATERNION = 2,
    ORI_MAX = 3
};

enum eSorixFilterLevel {
    FILTER_LVL_NONE = 0,
    FILTER_LVL_LIGHT = 1,
    FILTER_LVL_MEDIUM = 2,
    FILTER_LVL_HEAVY = 3,
    FILTER_LVL_CUSTOM = 4,
    FILTER_LVL_E_LIGHT = 5,
    FILTER_LVL_E_MEDIUM = 6,
    FILTER_LVL_E_HEAVY = 7,
    FILTER_LVL_RESERVED = 8,
    FILTER_LVL_MAX = 9
};

enum eSorixFilterTargets {
    FILTER_TRGT_PNO = 0,
    FILTER_TRGT_ORI = 1,
    FILTER_TRGT_POS = 2,
    FILTER_TRGT_MAX = 3
};

// Hemisphere codes as the tracker itself uses them (source start-up
// hemisphere); 6 lets the tracker choose.
enum eSorixHemisphere {
    E_SX_HEM_POS_X = 0,
    E_SX_HEM_POS_Y = 1,
    E_SX_HEM_POS_Z = 2,
    E_SX_HEM_NEG_X = 3,
    E_SX_HEM_NEG_Y = 4,
    E_SX_HEM_NEG_Z = 5,
    E_SX_HEM_AUTO = 6,
    E_SX_HEM_MAX = 7
};

enum eFTTMode {
    FTT_MODE_NONE = 0,
    FTT_MODE_1 = 1,
    FTT_MODE_2 = 2,
    FTT_MODE_3 = 3,
    FTT_MODE_MAX = 4
};

enum eFTTHomeMethod {
    FTTHOME_METHOD_0 = 0,
    FTTHOME_METHOD_1 = 1,
    FTTHOME_METHOD_2 = 2,
    FTTHOME_METHOD_3 = 3,
    FTTHOME_METHOD_MAX = 4
};

enum eSensorOrigin {
    SNS_ORIG_SRC1 = 0,
    SNS_ORIG_SRC2 = 1,
    SNS_ORIG_SRC3 = 2,
    SNS_ORIG_SRC4 = 3,
    SNS_ORIG_COMMON = 4,
    SNS_ORIG_MAX = 5
};

enum eStylusMode {
    STYLUS_MODE_MARK = 0,
    STYLUS_MODE_POINT = 1,
    STYLUS_MODE_LINE = 2,
    STYLUS_MODE_TOGGLE = 3,
    STYLUS_MODE_MAX = 4
};

enum eCalCorrectRate {
    CALCORRECT_SLOW = 0,
    CALCORRECT_MED = 1,
    CALCORRECT_FAST = 2,
    CALCORRECT_CUSTOM = 3,
    CALCORRECT_MAX = 4
};
