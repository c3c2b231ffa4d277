// Poses of a P&O frame as ROS 2 wants them (REP 103): positions in metres,
// orientations as unit quaternions (x, y, z, w), whatever units the tracker
// sends. The rotation convention is the one the OpenIGTLink server uses:
// azimuth a about z, then elevation e about the new y, then roll r about the
// newest x, so the quaternion is qz(a) * qy(e) * qx(r); a quaternion from
// the tracker (w, x, y, z) is normalised, and a zero one is the identity.
#pragma once

#include <cstdint>

namespace sxros2 {

constexpr unsigned kMaxSensors = 16;

struct SensorPose {
    unsigned sensor = 0;     // sfinfo bits 0 to 6, below kMaxSensors
    double position[3] = {}; // metres
    double rotation[4] = {}; // x, y, z, w
};

struct FramePoses {
    uint32_t frameCount = 0;
    unsigned bitError = 0; // hpinfo bits 4 to 7
    unsigned count = 0;    // poses in sensors
    SensorPose sensors[kMaxSensors];
};

// Metres per position unit (eSorixPosUnits: inch, foot, cm, metre); 0 for
// any other value.
double MetresPer(unsigned posUnits);

// The quaternion (x, y, z, w) of the four orientation values of a sensor
// record in the given orientation units (eSorixOriUnits: 0 degrees,
// 1 radians, 2 the quaternion w, x, y, z; 3 names no unit and is read as
// degrees, as the record classes do).
void OrientationToQuaternion(unsigned oriUnits, const float ori[4], double q[4]);

// Decodes a raw P&O frame (preamble to CRC, as the P&O callback gets it; any
// device family's preamble) into poses, plain and acceleration records
// alike. Reads nothing past length and allocates nothing. False when not
// even the frame's header fits.
bool DecodeFrame(const unsigned char* frame, unsigned length, FramePoses& out);

} // namespace sxros2
