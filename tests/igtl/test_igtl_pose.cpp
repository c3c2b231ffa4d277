// Pose conversion: units to millimetres, the Euler and quaternion rotation
// conventions, and decoding whole frames of either record format.
#include <igtl/PnoPose.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

using namespace sxigtl;

namespace {

constexpr double kPi = 3.14159265358979323846;

void Put32(std::vector<unsigned char>& b, size_t off, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[off + static_cast<size_t>(i)] = static_cast<unsigned char>(v >> (8 * i));
}

void PutF(std::vector<unsigned char>& b, size_t off, float f)
{
    uint32_t v;
    std::memcpy(&v, &f, 4);
    Put32(b, off, v);
}

void Put16(std::vector<unsigned char>& b, size_t off, int16_t v)
{
    b[off] = static_cast<unsigned char>(static_cast<uint16_t>(v));
    b[off + 1] = static_cast<unsigned char>(static_cast<uint16_t>(v) >> 8);
}

// A frame with n records (content filled by the caller), preamble given.
std::vector<unsigned char> Frame(unsigned n, uint32_t hpinfo = 0, const char* preamble = "SXRP")
{
    std::vector<unsigned char> f(28 + 32 * n, 0);
    std::memcpy(f.data(), preamble, 4);
    Put32(f, 4, 20 + 32 * n);
    Put32(f, 8, 1);    // seuid
    Put32(f, 12, 777); // framenum
    Put32(f, 16, hpinfo);
    Put32(f, 20, n);
    return f;
}

size_t Rec(unsigned i)
{
    return 24 + 32 * i;
}

void ExpectRotation(const double r[3][3], const double want[3][3])
{
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(r[i][j], want[i][j], 1e-12) << "at " << i << "," << j;
}

} // namespace

TEST(IgtlPose, MillimetresPerUnit)
{
    EXPECT_EQ(MillimetresPer(0), 25.4);
    EXPECT_EQ(MillimetresPer(1), 304.8);
    EXPECT_EQ(MillimetresPer(2), 10.0);
    EXPECT_EQ(MillimetresPer(3), 1000.0);
    EXPECT_EQ(MillimetresPer(4), 0.0);
}

TEST(IgtlPose, EulerAnglesEachAxis)
{
    double r[3][3];
    EulerToRotation(0, 0, 0, r);
    const double id[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    ExpectRotation(r, id);

    // Azimuth 90: x turns into y.
    EulerToRotation(kPi / 2, 0, 0, r);
    const double az[3][3] = {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}};
    ExpectRotation(r, az);

    // Elevation 90: x turns into -z.
    EulerToRotation(0, kPi / 2, 0, r);
    const double el[3][3] = {{0, 0, 1}, {0, 1, 0}, {-1, 0, 0}};
    ExpectRotation(r, el);

    // Roll 90: y turns into z.
    EulerToRotation(0, 0, kPi / 2, r);
    const double ro[3][3] = {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}};
    ExpectRotation(r, ro);
}

TEST(IgtlPose, EulerOrderIsAzimuthThenElevationThenRoll)
{
    // Azimuth 90 then elevation 90: Rz * Ry.
    double r[3][3];
    EulerToRotation(kPi / 2, kPi / 2, 0, r);
    const double want[3][3] = {{0, -1, 0}, {0, 0, 1}, {-1, 0, 0}};
    ExpectRotation(r, want);
    // Elevation 90 then roll 90: Ry * Rx.
    EulerToRotation(0, kPi / 2, kPi / 2, r);
    const double want2[3][3] = {{0, 1, 0}, {0, 0, -1}, {-1, 0, 0}};
    ExpectRotation(r, want2);
}

TEST(IgtlPose, QuaternionMatchesEuler)
{
    // The quaternion of azimuth a about z, elevation e about y, roll r
    // about x: qz(a) * qy(e) * qx(r).
    const double a = 0.7, e = -0.4, ro = 1.9;
    const double cz = std::cos(a / 2), sz = std::sin(a / 2), cy = std::cos(e / 2), sy = std::sin(e / 2);
    const double cx = std::cos(ro / 2), sx = std::sin(ro / 2);
    const double w = cz * cy * cx + sz * sy * sx;
    const double x = cz * cy * sx - sz * sy * cx;
    const double y = cz * sy * cx + sz * cy * sx;
    const double z = sz * cy * cx - cz * sy * sx;
    double fromEuler[3][3], fromQ[3][3], fromScaled[3][3];
    EulerToRotation(a, e, ro, fromEuler);
    QuaternionToRotation(w, x, y, z, fromQ);
    ExpectRotation(fromQ, fromEuler);
    // Not normalised: the same rotation.
    QuaternionToRotation(3 * w, 3 * x, 3 * y, 3 * z, fromScaled);
    ExpectRotation(fromScaled, fromEuler);
}

TEST(IgtlPose, ZeroQuaternionIsIdentity)
{
    double r[3][3];
    QuaternionToRotation(0, 0, 0, 0, r);
    const double id[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    ExpectRotation(r, id);
}

TEST(IgtlPose, OrientationUnits)
{
    double deg[3][3], rad[3][3], quat[3][3], three[3][3];
    const float d[4] = {90.0f, 0.0f, 0.0f, 0.0f};
    const float rd[4] = {static_cast<float>(kPi / 2), 0.0f, 0.0f, 0.0f};
    const float q[4] = {static_cast<float>(std::sqrt(0.5)), 0.0f, 0.0f, static_cast<float>(std::sqrt(0.5))};
    OrientationToRotation(0, d, deg);
    OrientationToRotation(1, rd, rad);
    OrientationToRotation(2, q, quat);
    OrientationToRotation(3, d, three); // no unit: read as degrees
    const double az[3][3] = {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            EXPECT_NEAR(deg[i][j], az[i][j], 1e-12);
            EXPECT_NEAR(rad[i][j], az[i][j], 1e-7); // pi/2 in single precision
            EXPECT_NEAR(quat[i][j], az[i][j], 1e-7);
            EXPECT_NEAR(three[i][j], az[i][j], 1e-12);
        }
}

TEST(IgtlPose, DecodePlainRecordsInEveryPositionUnit)
{
    auto f = Frame(4);
    for (unsigned i = 0; i < 4; ++i) {
        Put32(f, Rec(i), (i + 2) | i << 8); // sensor i + 2, position units i, Euler degrees
        PutF(f, Rec(i) + 4, 1.0f);
        PutF(f, Rec(i) + 8, -2.0f);
        PutF(f, Rec(i) + 12, 0.5f);
    }
    FramePoses p;
    ASSERT_TRUE(DecodeFrame(f.data(), static_cast<unsigned>(f.size()), p));
    EXPECT_EQ(p.framenum, 777u);
    ASSERT_EQ(p.sensors.size(), 4u);
    const float mm[4] = {25.4f, 304.8f, 10.0f, 1000.0f};
    for (unsigned i = 0; i < 4; ++i) {
        const SensorPose& s = p.sensors[i];
        EXPECT_EQ(s.sensor, i + 2);
        EXPECT_EQ(s.posUnits, i);
        EXPECT_EQ(s.oriUnits, 0u);
        EXPECT_FLOAT_EQ(s.matrix[0][3], mm[i]);
        EXPECT_FLOAT_EQ(s.matrix[1][3], -2.0f * mm[i]);
        EXPECT_FLOAT_EQ(s.matrix[2][3], 0.5f * mm[i]);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(s.matrix[r][c], r == c ? 1.0f : 0.0f);
        EXPECT_EQ(s.matrix[3][3], 1.0f);
    }
}

TEST(IgtlPose, DecodeAccelerationRecords)
{
    auto f = Frame(2, 1); // mode 1: acceleration records
    // Sensor 0: degrees, azimuth 16384/32768 * 180 = 90.
    Put32(f, Rec(0), 0);
    PutF(f, Rec(0) + 4, 2.0f);
    Put16(f, Rec(0) + 16, 16384);
    // Sensor 5: quaternion (32767, 0, 0, 0) -> identity after normalising;
    // centimetres.
    Put32(f, Rec(1), 5 | 2u << 8 | 2u << 10);
    PutF(f, Rec(1) + 12, 3.0f);
    Put16(f, Rec(1) + 16, 32767);
    FramePoses p;
    ASSERT_TRUE(DecodeFrame(f.data(), static_cast<unsigned>(f.size()), p));
    ASSERT_EQ(p.sensors.size(), 2u);
    const SensorPose& a = p.sensors[0];
    EXPECT_EQ(a.sensor, 0u);
    EXPECT_FLOAT_EQ(a.matrix[0][3], 50.8f);
    EXPECT_NEAR(a.matrix[0][0], 0.0f, 1e-7);
    EXPECT_NEAR(a.matrix[0][1], -1.0f, 1e-7);
    EXPECT_NEAR(a.matrix[1][0], 1.0f, 1e-7);
    EXPECT_EQ(a.matrix[2][2], 1.0f);
    const SensorPose& b = p.sensors[1];
    EXPECT_EQ(b.sensor, 5u);
    EXPECT_EQ(b.oriUnits, 2u);
    EXPECT_FLOAT_EQ(b.matrix[2][3], 30.0f);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(b.matrix[r][c], r == c ? 1.0f : 0.0f);
}

TEST(IgtlPose, DecodeAnyPreambleAndStayInsideTheBytes)
{
    auto f = Frame(3, 0, "Q7BP");
    FramePoses p;
    ASSERT_TRUE(DecodeFrame(f.data(), static_cast<unsigned>(f.size()), p));
    EXPECT_EQ(p.sensors.size(), 3u);
    // Cut after the second record: two are read.
    ASSERT_TRUE(DecodeFrame(f.data(), 24 + 64, p));
    EXPECT_EQ(p.sensors.size(), 2u);
    // A size word claiming one record: one is read.
    Put32(f, 4, 20 + 32);
    ASSERT_TRUE(DecodeFrame(f.data(), static_cast<unsigned>(f.size()), p));
    EXPECT_EQ(p.sensors.size(), 1u);
    // Not even the header.
    EXPECT_FALSE(DecodeFrame(f.data(), 20, p));
    EXPECT_TRUE(p.sensors.empty());
    EXPECT_FALSE(DecodeFrame(nullptr, 100, p));
}

TEST(IgtlPose, BitErrorOfTheFrame)
{
    auto f = Frame(0, 0x30);
    FramePoses p;
    ASSERT_TRUE(DecodeFrame(f.data(), static_cast<unsigned>(f.size()), p));
    EXPECT_EQ(p.bitError, 3u);
    EXPECT_TRUE(p.sensors.empty());
}
