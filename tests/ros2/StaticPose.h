// The simulated tracker's fixed poses (sxsim --static, --sim-static) as a
// ROS 2 subscriber should receive them, and the check of a received pose.
#pragma once

#include <cmath>
#include <cstring>

namespace ros2test {

constexpr double kPi = 3.14159265358979323846;
constexpr double kPositionTolerance = 1e-6; // metres
constexpr double kRotationTolerance = 1e-6;

// The rotation matrix Rz(a) Ry(e) Rx(r) of azimuth, elevation and roll in
// radians, as the OpenIGTLink server documents it.
inline void EulerMatrix(double a, double e, double ro, double r[3][3])
{
    const double ca = std::cos(a), sa = std::sin(a), ce = std::cos(e), se = std::sin(e);
    const double cr = std::cos(ro), sr = std::sin(ro);
    const double m[3][3] = {{ca * ce, ca * se * sr - sa * cr, ca * se * cr + sa * sr},
                            {sa * ce, sa * se * sr + ca * cr, sa * se * cr - ca * sr},
                            {-se, ce * sr, ce * cr}};
    std::memcpy(r, m, sizeof m);
}

// The rotation matrix of a unit quaternion (x, y, z, w).
inline void QuaternionMatrix(double x, double y, double z, double w, double r[3][3])
{
    const double m[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y - w * z), 2 * (x * z + w * y)},
                            {2 * (x * y + w * z), 1 - 2 * (x * x + z * z), 2 * (y * z - w * x)},
                            {2 * (x * z - w * y), 2 * (y * z + w * x), 1 - 2 * (x * x + y * y)}};
    std::memcpy(r, m, sizeof m);
}

// Whether a quaternion has unit length and the rotation of r.
inline bool IsRotation(double x, double y, double z, double w, const double r[3][3])
{
    if (std::fabs(x * x + y * y + z * z + w * w - 1.0) > kRotationTolerance)
        return false;
    double q[3][3];
    QuaternionMatrix(x, y, z, w, q);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (std::fabs(q[i][j] - r[i][j]) > kRotationTolerance)
                return false;
    return true;
}

// The simulated tracker's fixed pose of sensor k (x 10+k, y -5+2k, z 3.5
// inches; azimuth 10k, elevation 30, roll -45 degrees) as ROS 2 wants it:
// metres and a rotation matrix.
inline void StaticPose(unsigned k, double p[3], double r[3][3])
{
    p[0] = (10.0 + k) * 0.0254;
    p[1] = (-5.0 + 2.0 * k) * 0.0254;
    p[2] = 3.5 * 0.0254;
    EulerMatrix(10.0 * k * kPi / 180, 30.0 * kPi / 180, -45.0 * kPi / 180, r);
}

// Whether a pose is the fixed one of sensor k.
inline bool IsStaticPose(unsigned k, const double p[3], double x, double y, double z, double w)
{
    double want[3], r[3][3];
    StaticPose(k, want, r);
    for (int i = 0; i < 3; ++i)
        if (std::fabs(p[i] - want[i]) > kPositionTolerance)
            return false;
    return IsRotation(x, y, z, w, r);
}

} // namespace ros2test
