// The payload records of the tracker's commands: plain little-endian
// records copied byte for byte into and out of command frames. Every field
// is a 32-bit word (or a byte array of a multiple of 4 bytes), so no record
// has padding; the sizes and offsets below are checked at compile time.
#pragma once

#include <cstddef>
#include <cstdint>

// Single-word records.
struct _BINARY_CONFIG {
    int32_t value; // 0 off; any other value on
};
struct _ENUM_CONFIG {
    uint32_t value; // an eFTTMode or eSensorOrigin value
};
struct _INT32_CONFIG {
    uint32_t value;
};
struct _FRAMERATE_CONFIG {
    uint32_t frame_rate; // code 0 to 5: 960 / 2^(5 - code) Hz
};
struct _STYLUS_CONFIG {
    uint32_t value; // an eStylusMode value
};
struct _SEUID_CONFIG {
    uint32_t seuID;
};
struct _SRC_SEL_CONFIG {
    uint32_t SRC_SEL_MAP; // bit n: source n selected
};

struct _SERIAL_CONFIG {
    union {
        uint32_t sercfg;
        struct {
            uint32_t baudrate : 4; // an eBaud value
            uint32_t parity : 2;   // an eParity value
            uint32_t res : 26;     // carried unchanged
        };
    };
};

struct _STATION_MAP {
    union {
        uint32_t map;
        struct {
            uint32_t sensor_map : 16; // bit n: sensor n detected
            uint32_t res1 : 8;
            uint32_t source_map : 4; // bit n: source n detected
            uint32_t res2 : 4;
        };
    };
};

struct _UNITS_CONFIG {
    uint32_t pos_units; // eSorixPosUnits
    uint32_t ori_units; // eSorixOriUnits
};

// Orientations in four floats: azimuth, elevation, roll and an unused float
// for Euler units; w, x, y, z for quaternions.
struct _SRC_CONFIG {
    uint32_t srcfreq;
    float position[3];
    float rotation[4];
    uint32_t startupHem; // a tracker hemisphere code
};

struct _SRCROT_CONFIG {
    uint32_t srcfreq;
    float rotation[4];
};

struct _HEMISPHERE_CONFIG {
    union {
        uint32_t bits;
        struct {
            uint32_t track_en : 1;
            uint32_t auto_en : 1;
            uint32_t res : 30;
        };
    } bf;
    float vector[3];
};

struct _FILTER_CONFIG {
    uint32_t level; // eSorixFilterLevel
    float F;
    float Flow;
    float Fhigh;
    float MaxT;
};

struct _TIP_OFFSET_CONFIG {
    float x;
    float y;
    float z;
};

struct _INCREMENT_CONFIG {
    uint32_t enabled;
    float fPosThresh; // 0 or less: automatic
    float fOriThresh; // 0 or less: automatic
};

struct _BORESIGHT_CONFIG {
    float ori[4];
};

struct _PF_CONFIG {
    uint32_t qFil_on;
    uint32_t pFil_on;
    float predTime; // seconds
};

// Row-major matrices.
struct _NOISEPROFILE {
    float Rq[4][4];
    float Qq[3][3];
    float Rr[3][3];
    float Qr[3][3];
};

// Begins with the twelve bytes of a _PF_CONFIG.
struct _PF_CONFIG_EXT {
    uint32_t qFil_on;
    uint32_t pFil_on;
    float predTime;
    uint32_t reserved;
    _NOISEPROFILE noise;
};

struct _VIRTUAL_SNS_CONFIG {
    uint32_t Input1;
    uint32_t word1;
    uint32_t word2;
    uint32_t word3;
};

struct _PNO {
    float pos[3];
    float ori[4];
};

struct _SENSOR_CONFIG {
    _HEMISPHERE_CONFIG hemisphere;
    _FILTER_CONFIG filterPos;
    _FILTER_CONFIG filterOri;
    _TIP_OFFSET_CONFIG tipoff;
    _INCREMENT_CONFIG increment;
    _SRC_SEL_CONFIG srcSelect;
    uint32_t snsOrigin; // eSensorOrigin
    _PF_CONFIG_EXT pfExt;
};

struct _BLOCK_CONFIG {
    uint32_t frameRate;
    _UNITS_CONFIG units;
    _SRC_CONFIG src[4];
    int32_t syncMode;
    _STATION_MAP stationMap;
    uint32_t stylusMode;
    uint32_t seuID;
    int32_t dualOutMode;
    _SERIAL_CONFIG serial;
    _SENSOR_CONFIG sensor[16];
};

// Texts are NUL-terminated within their width when well formed.
struct _WHOAMI_STRUCT {
    char device_name[64];
    char hw_ser_no[32];
    char ioproc[32];
    char dsp_bt_fw[32];
    char dsp_app_fw[32];
};

// Word i: error bits of BIT code i + 1.
struct _BIT_STRUCT {
    uint32_t err[7];
};

struct _SELFCAL_CONFIG {
    uint32_t state;           // bits 0-7 operating state, 8-15 memory state
    uint32_t correction_rate; // eCalCorrectRate
    float custom_rate;
};

// The self-calibration record as the statics store it; only the first 12
// bytes are ever copied or compared.
struct _SELFCAL_CONFIGu {
    uint32_t state;
    uint32_t correction_rate;
    float custom_rate;
    uint32_t unused;
};

static_assert(sizeof(_BINARY_CONFIG) == 4 && sizeof(_ENUM_CONFIG) == 4 && sizeof(_INT32_CONFIG) == 4 &&
                  sizeof(_FRAMERATE_CONFIG) == 4 && sizeof(_STYLUS_CONFIG) == 4 &&
                  sizeof(_SEUID_CONFIG) == 4 && sizeof(_SRC_SEL_CONFIG) == 4 &&
                  sizeof(_SERIAL_CONFIG) == 4 && sizeof(_STATION_MAP) == 4,
              "single-word records are 4 bytes");
static_assert(sizeof(_UNITS_CONFIG) == 8, "_UNITS_CONFIG size");
static_assert(sizeof(_SRC_CONFIG) == 36, "_SRC_CONFIG size");
static_assert(offsetof(_SRC_CONFIG, position) == 4 && offsetof(_SRC_CONFIG, rotation) == 16 &&
                  offsetof(_SRC_CONFIG, startupHem) == 32,
              "_SRC_CONFIG layout");
static_assert(sizeof(_SRCROT_CONFIG) == 20 && offsetof(_SRCROT_CONFIG, rotation) == 4, "_SRCROT_CONFIG");
static_assert(sizeof(_HEMISPHERE_CONFIG) == 16 && offsetof(_HEMISPHERE_CONFIG, vector) == 4,
              "_HEMISPHERE_CONFIG");
static_assert(sizeof(_FILTER_CONFIG) == 20 && offsetof(_FILTER_CONFIG, F) == 4 &&
                  offsetof(_FILTER_CONFIG, Flow) == 8 && offsetof(_FILTER_CONFIG, Fhigh) == 12 &&
                  offsetof(_FILTER_CONFIG, MaxT) == 16,
              "_FILTER_CONFIG");
static_assert(sizeof(_TIP_OFFSET_CONFIG) == 12, "_TIP_OFFSET_CONFIG size");
static_assert(sizeof(_INCREMENT_CONFIG) == 12 && offsetof(_INCREMENT_CONFIG, fPosThresh) == 4 &&
                  offsetof(_INCREMENT_CONFIG, fOriThresh) == 8,
              "_INCREMENT_CONFIG");
static_assert(sizeof(_BORESIGHT_CONFIG) == 16, "_BORESIGHT_CONFIG size");
static_assert(sizeof(_PF_CONFIG) == 12 && offsetof(_PF_CONFIG, predTime) == 8, "_PF_CONFIG");
static_assert(sizeof(_NOISEPROFILE) == 172 && offsetof(_NOISEPROFILE, Qq) == 64 &&
                  offsetof(_NOISEPROFILE, Rr) == 100 && offsetof(_NOISEPROFILE, Qr) == 136,
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
static_assert(sizeof(_SELFCAL_CONFIGu) == 16 && offsetof(_SELFCAL_CONFIGu, custom_rate) == 8,
              "_SELFCAL_CONFIGu");
