/** \file
 * The payload records of the tracker's commands: plain little-endian
 * records copied byte for byte into and out of command frames. Every field
 * is a 32-bit word (or a byte array of a multiple of 4 bytes), so no record
 * has padding; the sizes and offsets below are checked at compile time.
 * \ingroup sx_records */
#pragma once

#include <cstddef>
#include <cstdint>

/** \addtogroup sx_records
 * @{ */

/** An on/off setting: sync mode, dual output, out-of-range mode (CBinaryCfg). */
struct _BINARY_CONFIG {
    int32_t value; ///< 0 off; any other value on.
};
/** An enumerated setting of a sensor: FTT mode, origin (CEnumCfg). */
struct _ENUM_CONFIG {
    uint32_t value; ///< An ::eFTTMode or ::eSensorOrigin value.
};
/** A plain 32-bit setting (::CMD_DISABLE_CAL). */
struct _INT32_CONFIG {
    uint32_t value; ///< The value.
};
/** The frame rate (CFrameRateCfg). */
struct _FRAMERATE_CONFIG {
    uint32_t frame_rate; ///< Code 0 to 5: 960 / 2^(5 - code) Hz.
};
/** The stylus mode (CStylusCfg). */
struct _STYLUS_CONFIG {
    uint32_t value; ///< An ::eStylusMode value.
};
/** The unit identifier (CSeuIDCfg). */
struct _SEUID_CONFIG {
    uint32_t seuID; ///< The unit identifier.
};
/** The sources a sensor uses (CSrcSelectCfg). */
struct _SRC_SEL_CONFIG {
    uint32_t SRC_SEL_MAP; ///< Bit n: source n selected.
};

/** The unit's serial line (CSerialCfg). */
struct _SERIAL_CONFIG {
    union {
        uint32_t sercfg; ///< The whole word.
        struct {
            uint32_t baudrate : 4; ///< An ::eBaud index.
            uint32_t parity : 2;   ///< An ::eParity value.
            uint32_t res : 26;     ///< Carried unchanged.
        };
    };
};

/** Detected sensors and sources (CStationMap). */
struct _STATION_MAP {
    union {
        uint32_t map; ///< The whole word.
        struct {
            uint32_t sensor_map : 16; ///< Bit n: sensor n detected.
            uint32_t res1 : 8;        ///< Reserved.
            uint32_t source_map : 4;  ///< Bit n: source n detected.
            uint32_t res2 : 4;        ///< Reserved.
        };
    };
};

/** Position and orientation units of P&O data (CUnitsCfg). */
struct _UNITS_CONFIG {
    uint32_t pos_units; ///< An ::eSorixPosUnits value.
    uint32_t ori_units; ///< An ::eSorixOriUnits value.
};

/** A source's configuration (CSrcCfg). Orientations are four floats:
 * azimuth, elevation, roll and an unused float for Euler units; w, x, y, z
 * for quaternions. */
struct _SRC_CONFIG {
    uint32_t srcfreq;    ///< The source frequency.
    float position[3];   ///< x, y, z in the position units.
    float rotation[4];   ///< The orientation.
    uint32_t startupHem; ///< An ::eSorixHemisphere code.
};

/** A source's rotation (CSrcRotCfg). */
struct _SRCROT_CONFIG {
    uint32_t srcfreq;  ///< The source frequency.
    float rotation[4]; ///< The orientation, as in `_SRC_CONFIG`.
};

/** A sensor's operating hemisphere (CHemisphereCfg). */
struct _HEMISPHERE_CONFIG {
    union {
        uint32_t bits; ///< The whole word.
        struct {
            uint32_t track_en : 1; ///< Track the hemisphere.
            uint32_t auto_en : 1;  ///< Automatic hemisphere (implies tracking).
            uint32_t res : 30;     ///< Reserved.
        };
    } bf;            ///< The enable bits.
    float vector[3]; ///< The hemisphere direction x, y, z.
};

/** A sensor's position or orientation filter (CFilterCfg). */
struct _FILTER_CONFIG {
    uint32_t level; ///< An ::eSorixFilterLevel value.
    float F;        ///< Filter factor.
    float Flow;     ///< Lowest factor.
    float Fhigh;    ///< Highest factor.
    float MaxT;     ///< Largest transition rate.
};

/** A sensor's tip offset, in the position units (CTipoffCfg). */
struct _TIP_OFFSET_CONFIG {
    float x; ///< x.
    float y; ///< y.
    float z; ///< z.
};

/** A sensor's increment thresholds: output only after a change this large (CIncrementCfg). */
struct _INCREMENT_CONFIG {
    uint32_t enabled; ///< 0 off, else on.
    float fPosThresh; ///< 0 or less: automatic.
    float fOriThresh; ///< 0 or less: automatic.
};

/** A sensor's boresight orientation, in the orientation units (CBoresightCfg). */
struct _BORESIGHT_CONFIG {
    float ori[4]; ///< Azimuth, elevation, roll and an unused float; or w, x, y, z.
};

/** A sensor's prediction filter (CPredFiltCfg). */
struct _PF_CONFIG {
    uint32_t qFil_on; ///< Orientation filter on (not 0).
    uint32_t pFil_on; ///< Position filter on (not 0).
    float predTime;   ///< Seconds.
};

/** The noise profile of a prediction filter: row-major matrices (CPFNoise). */
struct _NOISEPROFILE {
    float Rq[4][4]; ///< 4 x 4.
    float Qq[3][3]; ///< 3 x 3.
    float Rr[3][3]; ///< 3 x 3.
    float Qr[3][3]; ///< 3 x 3.
};

/** A sensor's prediction filter with its noise profile; begins with the
 * twelve bytes of a _PF_CONFIG (CPredFiltCfgExt). */
struct _PF_CONFIG_EXT {
    uint32_t qFil_on;    ///< Orientation filter on (not 0).
    uint32_t pFil_on;    ///< Position filter on (not 0).
    float predTime;      ///< Prediction time in seconds.
    uint32_t reserved;   ///< Reserved.
    _NOISEPROFILE noise; ///< The noise profile.
};

/** A virtual sensor's input (CSnsVirtCfg). */
struct _VIRTUAL_SNS_CONFIG {
    uint32_t Input1; ///< The input.
    uint32_t word1;  ///< First word.
    uint32_t word2;  ///< Second word.
    uint32_t word3;  ///< Third word.
};

/** A position and orientation (CPnoDataCfg). */
struct _PNO {
    float pos[3]; ///< x, y, z in the position units.
    float ori[4]; ///< The orientation: three Euler angles and an unused float, or a quaternion.
};

/** A sensor's whole configuration (CSensBlockCfg). */
struct _SENSOR_CONFIG {
    _HEMISPHERE_CONFIG hemisphere; ///< Operating hemisphere.
    _FILTER_CONFIG filterPos;      ///< Position filter.
    _FILTER_CONFIG filterOri;      ///< Orientation filter.
    _TIP_OFFSET_CONFIG tipoff;     ///< Tip offset.
    _INCREMENT_CONFIG increment;   ///< Increment thresholds.
    _SRC_SEL_CONFIG srcSelect;     ///< Sources used.
    uint32_t snsOrigin;            ///< An ::eSensorOrigin value.
    _PF_CONFIG_EXT pfExt;          ///< Prediction filter.
};

/** The unit's whole configuration with all sixteen sensors (CBlockCfg). */
struct _BLOCK_CONFIG {
    uint32_t frameRate;        ///< An ::eFrameRate code.
    _UNITS_CONFIG units;       ///< Units.
    _SRC_CONFIG src[4];        ///< The four sources.
    int32_t syncMode;          ///< Sync mode.
    _STATION_MAP stationMap;   ///< Station map.
    uint32_t stylusMode;       ///< An ::eStylusMode value.
    uint32_t seuID;            ///< Unit identifier.
    int32_t dualOutMode;       ///< Dual output.
    _SERIAL_CONFIG serial;     ///< Serial line.
    _SENSOR_CONFIG sensor[16]; ///< The sixteen sensors.
};

/** The identity of the unit, a sensor or a source; texts are NUL-terminated
 * within their width when well formed (CWhoAmI). */
struct _WHOAMI_STRUCT {
    char device_name[64]; ///< Device name.
    char hw_ser_no[32];   ///< Hardware serial number.
    char ioproc[32];      ///< I/O processor firmware.
    char dsp_bt_fw[32];   ///< DSP boot firmware.
    char dsp_app_fw[32];  ///< DSP application firmware.
};

/** The built-in-test result: word i holds the error bits of BIT code i + 1
 * (CBitResult). */
struct _BIT_STRUCT {
    uint32_t err[7]; ///< Error bits of BIT codes 1 to 7.
};

/** Self-calibration state and correction rate (CSelfCalCfg). */
struct _SELFCAL_CONFIG {
    uint32_t state;           ///< Bits 0-7 operating state, 8-15 memory state.
    uint32_t correction_rate; ///< An ::eCalCorrectRate value.
    float custom_rate;        ///< The custom correction rate.
};

/** The self-calibration record as the statics store it; only the first 12
 * bytes are ever copied or compared. */
struct _SELFCAL_CONFIGu {
    uint32_t state;           ///< As `_SELFCAL_CONFIG`.
    uint32_t correction_rate; ///< As `_SELFCAL_CONFIG`.
    float custom_rate;        ///< As `_SELFCAL_CONFIG`.
    uint32_t unused;          ///< Not used.
};

/** @} */

static_assert(sizeof(_BINARY_CONFIG) == 4 && sizeof(_ENUM_CONFIG) == 4 && sizeof(_INT32_CONFIG) == 4 &&
                  sizeof(_FRAMERATE_CONFIG) == 4 && sizeof(_STYLUS_CONFIG) == 4 && sizeof(_SEUID_CONFIG) == 4 &&
                  sizeof(_SRC_SEL_CONFIG) == 4 && sizeof(_SERIAL_CONFIG) == 4 && sizeof(_STATION_MAP) == 4,
              "single-word records are 4 bytes");
static_assert(sizeof(_UNITS_CONFIG) == 8, "_UNITS_CONFIG size");
static_assert(sizeof(_SRC_CONFIG) == 36, "_SRC_CONFIG size");
static_assert(offsetof(_SRC_CONFIG, position) == 4 && offsetof(_SRC_CONFIG, rotation) == 16 &&
                  offsetof(_SRC_CONFIG, startupHem) == 32,
              "_SRC_CONFIG layout");
static_assert(sizeof(_SRCROT_CONFIG) == 20 && offsetof(_SRCROT_CONFIG, rotation) == 4, "_SRCROT_CONFIG");
static_assert(sizeof(_HEMISPHERE_CONFIG) == 16 && offsetof(_HEMISPHERE_CONFIG, vector) == 4, "_HEMISPHERE_CONFIG");
static_assert(sizeof(_FILTER_CONFIG) == 20 && offsetof(_FILTER_CONFIG, F) == 4 && offsetof(_FILTER_CONFIG, Flow) == 8 &&
                  offsetof(_FILTER_CONFIG, Fhigh) == 12 && offsetof(_FILTER_CONFIG, MaxT) == 16,
              "_FILTER_CONFIG");
static_assert(sizeof(_TIP_OFFSET_CONFIG) == 12, "_TIP_OFFSET_CONFIG size");
static_assert(sizeof(_INCREMENT_CONFIG) == 12 && offsetof(_INCREMENT_CONFIG, fPosThresh) == 4 &&
                  offsetof(_INCREMENT_CONFIG, fOriThresh) == 8,
              "_INCREMENT_CONFIG");
static_assert(sizeof(_BORESIGHT_CONFIG) == 16, "_BORESIGHT_CONFIG size");
static_assert(sizeof(_PF_CONFIG) == 12 && offsetof(_PF_CONFIG, predTime) == 8, "_PF_CONFIG");
static_assert(sizeof(_NOISEPROFILE) == 172 && offsetof(_NOISEPROFILE, Qq) == 64 && offsetof(_NOISEPROFILE, Rr) == 100 &&
                  offsetof(_NOISEPROFILE, Qr) == 136,
              "_NOISEPROFILE");
static_assert(sizeof(_PF_CONFIG_EXT) == 188 && offsetof(_PF_CONFIG_EXT, reserved) == 12 &&
                  offsetof(_PF_CONFIG_EXT, noise) == 16,
              "_PF_CONFIG_EXT");
static_assert(sizeof(_VIRTUAL_SNS_CONFIG) == 16, "_VIRTUAL_SNS_CONFIG size");
static_assert(sizeof(_PNO) == 28 && offsetof(_PNO, ori) == 12, "_PNO");
static_assert(sizeof(_SENSOR_CONFIG) == 276, "_SENSOR_CONFIG size");
static_assert(offsetof(_SENSOR_CONFIG, filterPos) == 16 && offsetof(_SENSOR_CONFIG, filterOri) == 36 &&
                  offsetof(_SENSOR_CONFIG, tipoff) == 56 && offsetof(_SENSOR_CONFIG, increment) == 68 &&
                  offsetof(_SENSOR_CONFIG, srcSelect) == 80 && offsetof(_SENSOR_CONFIG, snsOrigin) == 84 &&
                  offsetof(_SENSOR_CONFIG, pfExt) == 88 && offsetof(_SENSOR_CONFIG, pfExt.noise) == 104,
              "_SENSOR_CONFIG layout");
static_assert(sizeof(_BLOCK_CONFIG) == 4596, "_BLOCK_CONFIG size");
static_assert(offsetof(_BLOCK_CONFIG, units) == 4 && offsetof(_BLOCK_CONFIG, src) == 12 &&
                  offsetof(_BLOCK_CONFIG, syncMode) == 156 && offsetof(_BLOCK_CONFIG, stationMap) == 160 &&
                  offsetof(_BLOCK_CONFIG, stylusMode) == 164 && offsetof(_BLOCK_CONFIG, seuID) == 168 &&
                  offsetof(_BLOCK_CONFIG, dualOutMode) == 172 && offsetof(_BLOCK_CONFIG, serial) == 176 &&
                  offsetof(_BLOCK_CONFIG, sensor) == 180 && offsetof(_BLOCK_CONFIG, sensor[15]) == 4320,
              "_BLOCK_CONFIG layout");
static_assert(sizeof(_WHOAMI_STRUCT) == 192 && offsetof(_WHOAMI_STRUCT, hw_ser_no) == 64 &&
                  offsetof(_WHOAMI_STRUCT, ioproc) == 96 && offsetof(_WHOAMI_STRUCT, dsp_bt_fw) == 128 &&
                  offsetof(_WHOAMI_STRUCT, dsp_app_fw) == 160,
              "_WHOAMI_STRUCT");
static_assert(sizeof(_BIT_STRUCT) == 28, "_BIT_STRUCT size");
static_assert(sizeof(_SELFCAL_CONFIG) == 12 && offsetof(_SELFCAL_CONFIG, custom_rate) == 8, "_SELFCAL_CONFIG");
static_assert(sizeof(_SELFCAL_CONFIGu) == 16 && offsetof(_SELFCAL_CONFIGu, custom_rate) == 8, "_SELFCAL_CONFIGu");
