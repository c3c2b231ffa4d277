#include "ros2/RosPose.h"

#include <frames/SensorRecord.h>

#include <SXCmdIF/pno/SXseuPno.h>
#include <SXCmdIF/pno/SXsnsFrameA.h>
#include <SXCmdIF/protocol/SXvocabEnums.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <cmath>

namespace sxros2 {

namespace {

constexpr double kPi = 3.14159265358979323846;

void Identity(double q[4])
{
    q[0] = q[1] = q[2] = 0.0;
    q[3] = 1.0;
}

// qz(a) * qy(e) * qx(r), angles in radians.
void EulerToQuaternion(double a, double e, double r, double q[4])
{
    const double ca = std::cos(a / 2), sa = std::sin(a / 2);
    const double ce = std::cos(e / 2), se = std::sin(e / 2);
    const double cr = std::cos(r / 2), sr = std::sin(r / 2);
    q[0] = ca * ce * sr - sa * se * cr;
    q[1] = ca * se * cr + sa * ce * sr;
    q[2] = sa * ce * cr - ca * se * sr;
    q[3] = ca * ce * cr + sa * se * sr;
}

} // namespace

double MetresPer(unsigned posUnits)
{
    switch (posUnits) {
    case POS_INCH:
        return 0.0254;
    case POS_FOOT:
        return 0.3048;
    case POS_CM:
        return 0.01;
    case POS_METER:
        return 1.0;
    default:
        return 0.0;
    }
}

void OrientationToQuaternion(unsigned oriUnits, const float ori[4], double q[4])
{
    switch (oriUnits) {
    case ORI_QUATERNION: {
        const double w = ori[0], x = ori[1], y = ori[2], z = ori[3];
        const double n = std::sqrt(w * w + x * x + y * y + z * z);
        if (!(n > 0.0) || !std::isfinite(n)) {
            Identity(q);
            return;
        }
        q[0] = x / n;
        q[1] = y / n;
        q[2] = z / n;
        q[3] = w / n;
        return;
    }
    case ORI_EULER_RADIAN:
        EulerToQuaternion(ori[0], ori[1], ori[2], q);
        return;
    default: {
        const double k = kPi / 180.0;
        EulerToQuaternion(ori[0] * k, ori[1] * k, ori[2] * k, q);
        return;
    }
    }
}

bool DecodeFrame(const unsigned char* frame, unsigned length, FramePoses& out)
{
    out.count = 0;
    CSXSeuPno pno;
    if (!sxframes::ExtractPnoBody(frame, length, pno))
        return false;

    out.frameCount = pno.FrameNum();
    out.bitError = pno.BITerr();
    const unsigned count = pno.SensorCount() < kMaxSensors ? pno.SensorCount() : kMaxSensors;
    for (unsigned i = 0; i < count; ++i) {
        const CSXSnsFrameA rec = sxframes::SensorRecord(pno, static_cast<int>(i));
        _UNITS_CONFIG units{};
        pno.SFUnits(static_cast<int>(i), &units);
        // A sensor number beyond the tracker's sixteen has no topic.
        const unsigned sensor = rec.sfinfo & 0x7F;
        if (sensor >= kMaxSensors)
            continue;
        SensorPose& pose = out.sensors[out.count++];
        pose.sensor = sensor;
        const double m = MetresPer(units.pos_units);
        for (int axis = 0; axis < 3; ++axis)
            pose.position[axis] = static_cast<double>(rec.pos[axis]) * m;
        OrientationToQuaternion(units.ori_units, rec.ori, pose.rotation);
    }
    return true;
}

} // namespace sxros2
