#include "igtl/PnoPose.h"

#include <frames/SensorRecord.h>

#include <SXCmdIF/pno/SXseuPno.h>
#include <SXCmdIF/pno/SXsnsFrameA.h>
#include <sxwire/LEWords.h>
#include <SXCmdIF/protocol/SXframe.h>
#include <SXCmdIF/protocol/SXvocabEnums.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <cmath>

namespace sxigtl {

namespace {

constexpr double kPi = 3.14159265358979323846;

} // namespace

double MillimetresPer(unsigned posUnits)
{
    switch (posUnits) {
    case POS_INCH:
        return 25.4;
    case POS_FOOT:
        return 304.8;
    case POS_CM:
        return 10.0;
    case POS_METER:
        return 1000.0;
    default:
        return 0.0;
    }
}

void EulerToRotation(double azimuth, double elevation, double roll, double r[3][3])
{
    const double ca = std::cos(azimuth), sa = std::sin(azimuth);
    const double ce = std::cos(elevation), se = std::sin(elevation);
    const double cr = std::cos(roll), sr = std::sin(roll);
    r[0][0] = ca * ce;
    r[0][1] = ca * se * sr - sa * cr;
    r[0][2] = ca * se * cr + sa * sr;
    r[1][0] = sa * ce;
    r[1][1] = sa * se * sr + ca * cr;
    r[1][2] = sa * se * cr - ca * sr;
    r[2][0] = -se;
    r[2][1] = ce * sr;
    r[2][2] = ce * cr;
}

void QuaternionToRotation(double w, double x, double y, double z, double r[3][3])
{
    const double n = std::sqrt(w * w + x * x + y * y + z * z);
    if (!(n > 0.0) || !std::isfinite(n)) {
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                r[i][j] = i == j ? 1.0 : 0.0;
        return;
    }
    w /= n;
    x /= n;
    y /= n;
    z /= n;
    r[0][0] = 1.0 - 2.0 * (y * y + z * z);
    r[0][1] = 2.0 * (x * y - w * z);
    r[0][2] = 2.0 * (x * z + w * y);
    r[1][0] = 2.0 * (x * y + w * z);
    r[1][1] = 1.0 - 2.0 * (x * x + z * z);
    r[1][2] = 2.0 * (y * z - w * x);
    r[2][0] = 2.0 * (x * z - w * y);
    r[2][1] = 2.0 * (y * z + w * x);
    r[2][2] = 1.0 - 2.0 * (x * x + y * y);
}

void OrientationToRotation(unsigned oriUnits, const float ori[4], double r[3][3])
{
    switch (oriUnits) {
    case ORI_QUATERNION:
        QuaternionToRotation(ori[0], ori[1], ori[2], ori[3], r);
        return;
    case ORI_EULER_RADIAN:
        EulerToRotation(ori[0], ori[1], ori[2], r);
        return;
    default: {
        const double k = kPi / 180.0;
        EulerToRotation(ori[0] * k, ori[1] * k, ori[2] * k, r);
        return;
    }
    }
}

bool DecodeFrame(const unsigned char* frame, unsigned length, FramePoses& out)
{
    out.sensors.clear();
    CSXSeuPno pno;
    if (!sxframes::ExtractPnoBody(frame, length, pno))
        return false;

    out.framenum = pno.FrameNum();
    out.bitError = pno.BITerr();
    const unsigned count = pno.SensorCount();
    out.sensors.reserve(count);
    for (int i = 0; i < static_cast<int>(count); ++i) {
        const CSXSnsFrameA rec = sxframes::SensorRecord(pno, i);
        _UNITS_CONFIG units{};
        pno.SFUnits(i, &units);

        SensorPose pose;
        pose.sensor = rec.sfinfo & 0x7F;
        pose.posUnits = units.pos_units;
        pose.oriUnits = units.ori_units;
        double r[3][3];
        OrientationToRotation(pose.oriUnits, rec.ori, r);
        const double mm = MillimetresPer(pose.posUnits);
        for (int row = 0; row < 3; ++row) {
            for (int col = 0; col < 3; ++col)
                pose.matrix[row][col] = static_cast<float>(r[row][col]);
            pose.matrix[row][3] = static_cast<float>(static_cast<double>(rec.pos[row]) * mm);
        }
        pose.matrix[3][0] = pose.matrix[3][1] = pose.matrix[3][2] = 0.0f;
        pose.matrix[3][3] = 1.0f;
        out.sensors.push_back(pose);
    }
    return true;
}

} // namespace sxigtl
