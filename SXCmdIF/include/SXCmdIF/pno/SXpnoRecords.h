/** \file
 * The P&O frame as it travels: header words and one 32-byte record per
 * sensor, all little-endian. Two record formats share the 32 bytes: plain
 * (float orientation) and acceleration (fixed-point orientation and
 * acceleration); the frame's hpinfo mode bits say which one a frame carries.
 * \ingroup sx_pno_decoding */
#pragma once

/** \addtogroup sx_pno_decoding
 * @{ */

/** A plain sensor record of a P&O frame (CSXSnsFrameA converts either kind). */
struct _SENFRAMEDATA {
    /** Sensor number (bits 0-6), position units (8-9), orientation units
     * (10-11), buttons (12-13), distortion (14-21), aux (22-31). */
    unsigned int sfinfo;
    float pos[3]; ///< x, y, z in the position units.
    float ori[4]; ///< Azimuth, elevation, roll, unused; or w, x, y, z.
};

/** An acceleration sensor record: orientation and acceleration as fractions
 * of full scale (value / 32768). */
struct _SENFRAMEDATA_A {
    unsigned int sfinfo; ///< As in `_SENFRAMEDATA`.
    float pos[3];        ///< x, y, z in the position units.
    short ori[4];        ///< Three used for Euler units, four for a quaternion.
    short accel[4];      ///< X, Y, Z, R.
};

/** One P&O frame from preamble to the end of sensor record 15. The CRC word
 * of a frame with fewer than 16 sensors lies where the absent records would
 * be. */
struct _SX_PNO {
    unsigned int preamble;    ///< "SXRP" (::SX_PREAMBLE_PNO).
    unsigned int size;        ///< 20 + 32 * snscnt.
    unsigned int seuid;       ///< The unit identifier.
    unsigned int framenum;    ///< The unit's frame count.
    unsigned int hpinfo;      ///< Mode (bits 0-3), BIT error (4-7), library error marks (8-10), lost frames (16-31).
    unsigned int snscnt;      ///< 0 to 16.
    _SENFRAMEDATA sfdata[16]; ///< The sensor records.
};

/** @} */

static_assert(sizeof(_SENFRAMEDATA) == 32, "sensor record is 32 bytes");
static_assert(sizeof(_SENFRAMEDATA_A) == 32, "acceleration record is 32 bytes");
static_assert(sizeof(_SX_PNO) == 536, "P&O record is 536 bytes");
