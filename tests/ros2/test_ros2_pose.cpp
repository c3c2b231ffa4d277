// Poses as ROS 2 wants them (metres, unit quaternions in the OpenIGTLink
// server's rotation convention), and the names and domain a user gives.
#include "StaticPose.h"

#include <ros2/RosPose.h>
#include <ros2/SXros2.h>

#include <SXCmdIF/protocol/SXvocabEnums.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <memory>
#include <random>
#include <vector>

using namespace ros2test;

namespace {

TEST(Ros2Pose, EulerAnglesGiveTheQuaternionOfTheServersRotation)
{
    // docs/igtl.md's example, sensor 0 of the simulator: azimuth 0,
    // elevation 30, roll -45 degrees is qy(30) qx(-45).
    const float example[4] = {0.0f, 30.0f, -45.0f, 0.0f};
    double q[4];
    sxros2::OrientationToQuaternion(ORI_EULER_DEGREE, example, q);
    EXPECT_NEAR(q[0], -0.3696438, 1e-7);
    EXPECT_NEAR(q[1], 0.2391176, 1e-7);
    EXPECT_NEAR(q[2], 0.0990458, 1e-7);
    EXPECT_NEAR(q[3], 0.8923991, 1e-7);

    const float angles[][3] = {{0, 0, 0},      {90, 0, 0},       {0, 90, 0},  {0, 0, 90},
                               {170, -60, 45}, {-135, 89, -179}, {30, 45, 60}};
    for (const auto& a : angles) {
        double r[3][3];
        EulerMatrix(a[0] * kPi / 180, a[1] * kPi / 180, a[2] * kPi / 180, r);
        const float degrees[4] = {a[0], a[1], a[2], 0};
        sxros2::OrientationToQuaternion(ORI_EULER_DEGREE, degrees, q);
        EXPECT_TRUE(IsRotation(q[0], q[1], q[2], q[3], r)) << a[0] << " " << a[1] << " " << a[2];
        // Units 3 name no unit and are degrees, as the record classes read them.
        sxros2::OrientationToQuaternion(3, degrees, q);
        EXPECT_TRUE(IsRotation(q[0], q[1], q[2], q[3], r)) << "units 3";
        const float radians[4] = {static_cast<float>(a[0] * kPi / 180), static_cast<float>(a[1] * kPi / 180),
                                  static_cast<float>(a[2] * kPi / 180), 0};
        sxros2::OrientationToQuaternion(ORI_EULER_RADIAN, radians, q);
        EulerMatrix(radians[0], radians[1], radians[2], r);
        EXPECT_TRUE(IsRotation(q[0], q[1], q[2], q[3], r)) << "radians";
    }
}

TEST(Ros2Pose, TrackerQuaternionsAreReorderedAndNormalisedAndZeroIsTheIdentity)
{
    struct Case {
        float wxyz[4];
        double xyzw[4];
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {
        {{2, 0, 0, 0}, {0, 0, 0, 1}},
        {{0, 0, 0, 3}, {0, 0, 1, 0}},
        {{0.5f, 0.5f, 0.5f, 0.5f}, {0.5, 0.5, 0.5, 0.5}},
        {{1, 2, 2, 4}, {0.4, 0.4, 0.8, 0.2}},
        {{0, 0, 0, 0}, {0, 0, 0, 1}},
        {{nan, 1, 0, 0}, {0, 0, 0, 1}},
    };
    for (const Case& c : cases) {
        double q[4];
        sxros2::OrientationToQuaternion(ORI_QUATERNION, c.wxyz, q);
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(q[i], c.xyzw[i], 1e-7) << c.wxyz[0] << " " << c.wxyz[1] << " " << c.wxyz[2] << " " << c.wxyz[3];
    }
}

TEST(Ros2Pose, PositionsInMetresWhateverTheUnits)
{
    EXPECT_EQ(sxros2::MetresPer(POS_INCH), 0.0254);
    EXPECT_EQ(sxros2::MetresPer(POS_FOOT), 0.3048);
    EXPECT_EQ(sxros2::MetresPer(POS_CM), 0.01);
    EXPECT_EQ(sxros2::MetresPer(POS_METER), 1.0);
    EXPECT_EQ(sxros2::MetresPer(4), 0.0);
}

// Whatever arrives, the decoder reads only the bytes it is given and finds
// at most sixteen sensors (AddressSanitizer sees any byte beyond).
TEST(Ros2Pose, DecodeReadsOnlyTheBytesGiven)
{
    sxros2::FramePoses poses;
    EXPECT_FALSE(sxros2::DecodeFrame(nullptr, 0, poses));
    const unsigned char shortFrame[7] = {'S', 'X', 'R', 'P', 0, 0, 0};
    EXPECT_FALSE(sxros2::DecodeFrame(shortFrame, sizeof shortFrame, poses));
    EXPECT_EQ(poses.count, 0u);

    std::mt19937 rng(31);
    for (unsigned length = 0; length <= 600; ++length) {
        std::vector<unsigned char> bytes(length);
        for (unsigned char& b : bytes)
            b = static_cast<unsigned char>(rng());
        // A size word and sensor count that claim more than there is.
        if (length >= 24) {
            bytes[4] = 0xFF;
            bytes[5] = 0xFF;
            bytes[20] = 40;
        }
        auto owned = std::make_unique<unsigned char[]>(length ? length : 1);
        std::copy(bytes.begin(), bytes.end(), owned.get());
        sxros2::DecodeFrame(owned.get(), length, poses);
        EXPECT_LE(poses.count, sxros2::kMaxSensors);
        for (unsigned i = 0; i < poses.count; ++i)
            EXPECT_LT(poses.sensors[i].sensor, sxros2::kMaxSensors);
    }
}

TEST(Ros2Names, NamespaceIsOneRosNameToken)
{
    std::string error;
    for (const char* ok : {"sx", "lab1", "Lab_2", "a"})
        EXPECT_TRUE(sxros2::ValidNamespace(ok, error)) << ok;
    for (const char* bad : {"", "1lab", "_lab", "lab__1", "lab/1", "/lab", "lab-1", "lab 1"})
        EXPECT_FALSE(sxros2::ValidNamespace(bad, error)) << bad;
    sxros2::ValidNamespace("lab/1", error);
    EXPECT_EQ(error, "'lab/1' is not a namespace: give one name of letters, digits and single underscores, "
                     "beginning with a letter, such as lab1");
}

TEST(Ros2Names, DomainComesFromRosDomainIdElseZero)
{
    int domain = -1;
    std::string error;
    unsetenv("ROS_DOMAIN_ID");
    EXPECT_TRUE(sxros2::DomainFromEnvironment(domain, error));
    EXPECT_EQ(domain, 0);
    for (const auto& [text, want] :
         std::vector<std::pair<const char*, int>>{{"7", 7}, {"0", 0}, {"232", 232}, {"", 0}}) {
        setenv("ROS_DOMAIN_ID", text, 1);
        EXPECT_TRUE(sxros2::DomainFromEnvironment(domain, error)) << text;
        EXPECT_EQ(domain, want) << text;
    }
    for (const char* bad : {"233", "-1", "x", "7x", "99999999999999999999"}) {
        setenv("ROS_DOMAIN_ID", bad, 1);
        EXPECT_FALSE(sxros2::DomainFromEnvironment(domain, error)) << bad;
    }
    setenv("ROS_DOMAIN_ID", "233", 1);
    sxros2::DomainFromEnvironment(domain, error);
    EXPECT_EQ(error, "ROS_DOMAIN_ID '233' is not a domain: domains are 0 to 232");
    unsetenv("ROS_DOMAIN_ID");
}

} // namespace
