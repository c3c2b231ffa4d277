// Poses of a P&O frame as OpenIGTLink wants them: a 4x4 homogeneous matrix
// per sensor, rotation from the orientation in whatever units the tracker
// sends, translation in millimetres.
//
// Rotation convention. The Euler angles are azimuth (a), elevation (e) and
// roll (r), applied as a rotation by a about z, then by e about the new y,
// then by r about the newest x:
//
//     R = Rz(a) * Ry(e) * Rx(r)
//
//         | ca*ce   ca*se*sr - sa*cr   ca*se*cr + sa*sr |
//       = | sa*ce   sa*se*sr + ca*cr   sa*se*cr - ca*sr |
//         | -se     ce*sr              ce*cr            |
//
// (ca = cos a, sa = sin a, and so on). A quaternion (w, x, y, z) gives the
// usual matrix of the same rotation after it is normalised; a zero
// quaternion gives the identity. The columns of R are the sensor's x, y, z
// axes in the tracker's frame, and the translation column is the sensor's
// position in that frame, so the matrix maps sensor coordinates to tracker
// coordinates.
#pragma once

#include <cstdint>
#include <vector>

namespace sxigtl {

using Matrix44 = float[4][4];

// Millimetres per position unit (eSorixPosUnits): inch, foot, cm, metre.
// Any other value: 0.
double MillimetresPer(unsigned posUnits);

// Row-major 3x3 rotation, in double precision.
void EulerToRotation(double azimuth, double elevation, double roll, double r[3][3]); // radians
void QuaternionToRotation(double w, double x, double y, double z, double r[3][3]);

// Rotation from the four orientation values of a sensor record in the
// given orientation units (eSorixOriUnits): 0 degrees, 1 radians, 2 the
// quaternion w, x, y, z. Units 3 name no unit and are read as degrees, as
// the record classes do.
void OrientationToRotation(unsigned oriUnits, const float ori[4], double r[3][3]);

struct SensorPose {
    unsigned sensor = 0;   // sfinfo bits 0 to 6
    unsigned posUnits = 0; // as the tracker sent them
    unsigned oriUnits = 0;
    float matrix[4][4] = {}; // rotation and position in mm; last row 0 0 0 1
};

struct FramePoses {
    uint32_t framenum = 0;
    unsigned bitError = 0; // hpinfo bits 4 to 7
    std::vector<SensorPose> sensors;
};

// Decodes a raw P&O frame (preamble to CRC, as the P&O callback gets it;
// any device family's preamble) into poses, plain and acceleration records
// alike. Reads nothing past length. False when not even the header fits.
bool DecodeFrame(const unsigned char* frame, unsigned length, FramePoses& out);

} // namespace sxigtl
