/** \file
 * Enumerated values that travel in payload records and P&O frames. Each
 * enumeration ends with its maximum value, which also stands for "undefined".
 * Their names and texts come from the lookups of CSXcmd (CSXcmd::baudstr(), ...).
 * \ingroup sx_records */
#pragma once

/** \addtogroup sx_records
 * @{ */

/** Baud-rate index of the serial configuration word (`_SERIAL_CONFIG`): the rate in its name. */
enum eBaud {
    E_BR_1200 = 0,     ///< 1200 baud.
    E_BR_2400 = 1,     ///< 2400 baud.
    E_BR_4800 = 2,     ///< 4800 baud.
    E_BR_9600 = 3,     ///< 9600 baud.
    E_BR_19200 = 4,    ///< 19200 baud.
    E_BR_38400 = 5,    ///< 38400 baud.
    E_BR_57600 = 6,    ///< 57600 baud.
    E_BR_115200 = 7,   ///< 115200 baud.
    E_BR_230400 = 8,   ///< 230400 baud.
    E_BR_460800 = 9,   ///< 460800 baud.
    E_BR_921600 = 10,  ///< 921600 baud.
    E_BR_1843200 = 11, ///< 1843200 baud.
    E_BR_3686400 = 12, ///< 3686400 baud.
    E_BR_7372800 = 13, ///< 7372800 baud.
    E_BR_MAX = 14      ///< Undefined.
};

/** Parity of the serial configuration word. */
enum eParity {
    E_PARITY_NONE = 0, ///< No parity.
    E_PARITY_ODD = 1,  ///< Odd parity.
    E_PARITY_EVEN = 2, ///< Even parity.
    E_PARITY_MAX = 3   ///< Undefined.
};

/** Built-in-test error codes (the BITerr field of a P&O frame, the BIT result). */
enum eBITerr {
    E_BITERR_NONE = 0,        ///< No error.
    E_BITERR_SENSOR = 1,      ///< A sensor fault.
    E_BITERR_SENSOR_PORT = 2, ///< A sensor-port fault.
    E_BITERR_SOURCE = 3,      ///< A source fault.
    E_BITERR_SEU = 4,         ///< A fault of the unit.
    E_BITERR_DUPFREQ = 5,     ///< Two sources share a frequency.
    E_BITERR_RESERVED1 = 6,   ///< Reserved.
    E_BITERR_RESERVED2 = 7,   ///< Reserved.
    E_BITERR_MAX = 8          ///< Undefined.
};

/** Frame-rate codes: code n is 30 * 2^n frames per second. */
enum eFrameRate {
    FR_30 = 0,  ///< 30 frames a second.
    FR_60 = 1,  ///< 60 frames a second.
    FR_120 = 2, ///< 120 frames a second.
    FR_240 = 3, ///< 240 frames a second.
    FR_480 = 4, ///< 480 frames a second.
    FR_960 = 5, ///< 960 frames a second.
    FR_MAX = 6  ///< Undefined.
};

/** Position units of P&O data (`_UNITS_CONFIG`). */
enum eSorixPosUnits {
    POS_INCH = 0,  ///< Inches.
    POS_FOOT = 1,  ///< Feet.
    POS_CM = 2,    ///< Centimetres.
    POS_METER = 3, ///< Metres.
    POS_MAX = 4    ///< Undefined.
};

/** Orientation units of P&O data (`_UNITS_CONFIG`). */
enum eSorixOriUnits {
    ORI_EULER_DEGREE = 0, ///< Euler angles (azimuth, elevation, roll) in degrees.
    ORI_EULER_RADIAN = 1, ///< Euler angles in radians.
    ORI_QUATERNION = 2,   ///< Quaternion w, x, y, z.
    ORI_MAX = 3           ///< Undefined.
};

/** Filter levels (`_FILTER_CONFIG`): presets, custom, and the enhanced presets. */
enum eSorixFilterLevel {
    FILTER_LVL_NONE = 0,     ///< No filter.
    FILTER_LVL_LIGHT = 1,    ///< Light preset.
    FILTER_LVL_MEDIUM = 2,   ///< Medium preset.
    FILTER_LVL_HEAVY = 3,    ///< Heavy preset.
    FILTER_LVL_CUSTOM = 4,   ///< The record's own parameters.
    FILTER_LVL_E_LIGHT = 5,  ///< Enhanced light preset.
    FILTER_LVL_E_MEDIUM = 6, ///< Enhanced medium preset.
    FILTER_LVL_E_HEAVY = 7,  ///< Enhanced heavy preset.
    FILTER_LVL_RESERVED = 8, ///< Reserved.
    FILTER_LVL_MAX = 9       ///< Undefined.
};

/** Which filter of a sensor a filter command addresses (its `arg2`). */
enum eSorixFilterTargets {
    FILTER_TRGT_PNO = 0, ///< Both filters.
    FILTER_TRGT_ORI = 1, ///< The orientation filter.
    FILTER_TRGT_POS = 2, ///< The position filter.
    FILTER_TRGT_MAX = 3  ///< Undefined.
};

/** Hemisphere codes as the tracker itself uses them (source start-up hemisphere); 6 lets the tracker choose. */
enum eSorixHemisphere {
    E_SX_HEM_POS_X = 0, ///< +X.
    E_SX_HEM_POS_Y = 1, ///< +Y.
    E_SX_HEM_POS_Z = 2, ///< +Z.
    E_SX_HEM_NEG_X = 3, ///< -X.
    E_SX_HEM_NEG_Y = 4, ///< -Y.
    E_SX_HEM_NEG_Z = 5, ///< -Z.
    E_SX_HEM_AUTO = 6,  ///< The tracker chooses.
    E_SX_HEM_MAX = 7    ///< Undefined.
};

/** FTT modes of a sensor (`_ENUM_CONFIG`). */
enum eFTTMode {
    FTT_MODE_NONE = 0, ///< Off.
    FTT_MODE_1 = 1,    ///< Mode 1.
    FTT_MODE_2 = 2,    ///< Mode 2.
    FTT_MODE_3 = 3,    ///< Mode 3.
    FTT_MODE_MAX = 4   ///< Undefined.
};

/** Home methods of sxcmd_sns_ftthome(). */
enum eFTTHomeMethod {
    FTTHOME_METHOD_0 = 0,  ///< Method 0.
    FTTHOME_METHOD_1 = 1,  ///< Method 1.
    FTTHOME_METHOD_2 = 2,  ///< Method 2.
    FTTHOME_METHOD_3 = 3,  ///< Method 3.
    FTTHOME_METHOD_MAX = 4 ///< Undefined.
};

/** The origin a sensor's position is measured from (`_ENUM_CONFIG`). */
enum eSensorOrigin {
    SNS_ORIG_SRC1 = 0,   ///< Source 1.
    SNS_ORIG_SRC2 = 1,   ///< Source 2.
    SNS_ORIG_SRC3 = 2,   ///< Source 3.
    SNS_ORIG_SRC4 = 3,   ///< Source 4.
    SNS_ORIG_COMMON = 4, ///< The common origin.
    SNS_ORIG_MAX = 5     ///< Undefined.
};

/** Stylus modes (`_STYLUS_CONFIG`). */
enum eStylusMode {
    STYLUS_MODE_MARK = 0,   ///< Mark.
    STYLUS_MODE_POINT = 1,  ///< Point.
    STYLUS_MODE_LINE = 2,   ///< Line.
    STYLUS_MODE_TOGGLE = 3, ///< Toggle.
    STYLUS_MODE_MAX = 4     ///< Undefined.
};

/** Self-calibration correction rates (`_SELFCAL_CONFIG`). */
enum eCalCorrectRate {
    CALCORRECT_SLOW = 0,   ///< Slow.
    CALCORRECT_MED = 1,    ///< Medium.
    CALCORRECT_FAST = 2,   ///< Fast.
    CALCORRECT_CUSTOM = 3, ///< The record's custom rate.
    CALCORRECT_MAX = 4     ///< Undefined.
};

/** @} */
