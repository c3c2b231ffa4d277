// The P&O frame as it travels: header words and one 32-byte record per
// sensor, all little-endian. Two record formats share the 32 bytes: plain
// (float orientation) and acceleration (fixed-point orientation and
// acceleration); the frame's hpinfo mode bits say which one a frame carries.
#pragma once

// Plain sensor record.
struct _SENFRAMEDATA {
    unsigned int sfinfo; // sensor number, units, buttons, distortion, aux
    float pos[3];        // x, y, z in the position units
    float ori[4];        // azimuth, elevation, roll, unused; or w, x, y, z
};

// Acceleration sensor record: orientation and acceleration as fractions of
// full scale (value / 32768).
struct _SENFRAMEDATA_A {
    unsigned int sfinfo;
    float pos[3];
    short ori[4];   // three used for Euler units, four for a quaternion
    short accel[4]; // X, Y, Z, R
};

// One frame from preamble to the end of sensor record 15. The CRC word of a
// frame with fewer than 16 sensors lies where the absent records would be.
struct _SX_PNO {
    unsigned int preamble;
    unsigned int size;     // 20 + 32 * snscnt
    unsigned int seuid;
    unsigned int framenum;
    unsigned int hpinfo;   // mode, BIT error, library error marks, lost frames
    unsigned int snscnt;   // 0 to 16
    _SENFRAMEDATA sfdata[16];
};

static_assert(sizeof(_SENFRAMEDATA) == 32, "sensor record is 32 bytes");
static_assert(sizeof(_SENFRAMEDATA_A) == 32, "acceleration record is 32 bytes");
static_assert(sizeof(_SX_PNO) == 536, "P&O record is 536 bytes");
