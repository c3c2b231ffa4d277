#include <SXCmdIF/pno/SXsnsFrameA.h>

#include "PnoTestFrames.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace pnotest;

namespace {

_SENFRAMEDATA_A Accel(uint32_t sfinfo, std::initializer_list<int16_t> ori, std::initializer_list<int16_t> acc)
{
    _SENFRAMEDATA_A a{};
    a.sfinfo = sfinfo;
    a.pos[0] = 1.0f;
    a.pos[1] = -2.0f;
    a.pos[2] = 3.5f;
    int i = 0;
    for (int16_t v : ori)
        a.ori[i++] = v;
    i = 0;
    for (int16_t v : acc)
        a.accel[i++] = v;
    return a;
}

} // namespace

TEST(SnsFrameA, EulerDegreesAndAcceleration)
{
    const _SENFRAMEDATA_A a = Accel(Sfinfo(2, 0, 0), {16384, -8192, 0, 1234}, {-16384, 0, 8192, 32767});
    CSXSnsFrameA f(&a);
    EXPECT_EQ(f.sfinfo, a.sfinfo);
    EXPECT_FLOAT_EQ(f.pos[0], 1.0f);
    EXPECT_FLOAT_EQ(f.pos[1], -2.0f);
    EXPECT_FLOAT_EQ(f.pos[2], 3.5f);
    EXPECT_FALSE(f.Qtrn());
    EXPECT_EQ(f.NumTerms(), 3);
    EXPECT_FLOAT_EQ(f.ori[0], 90.0f);
    EXPECT_FLOAT_EQ(f.ori[1], -45.0f);
    EXPECT_FLOAT_EQ(f.ori[2], 0.0f);
    EXPECT_EQ(f.ori[3], 0.0f); // the unused fourth fraction is not converted
    EXPECT_FLOAT_EQ(f.accel[0], -8.0f);
    EXPECT_FLOAT_EQ(f.accel[1], 0.0f);
    EXPECT_FLOAT_EQ(f.accel[2], 4.0f);
    EXPECT_FLOAT_EQ(f.accel[3], 32767.0f / 32768.0f * 16.0f);
}

TEST(SnsFrameA, RadiansAndQuaternion)
{
    const _SENFRAMEDATA_A r = Accel(Sfinfo(0, 0, 1), {16384, 0, -32768, 0}, {0, 0, 0, 0});
    CSXSnsFrameA f(&r);
    EXPECT_FLOAT_EQ(f.OriFactor(), 3.1415927f);
    EXPECT_FLOAT_EQ(f.ori[0], 3.1415927f / 2);
    EXPECT_FLOAT_EQ(f.ori[2], -3.1415927f);

    const _SENFRAMEDATA_A q = Accel(Sfinfo(0, 0, 2), {32767, 0, 0, -16384}, {0, 0, 0, 0});
    f.Fill(&q);
    EXPECT_TRUE(f.Qtrn());
    EXPECT_EQ(f.NumTerms(), 4);
    EXPECT_NEAR(f.ori[0], 0.99997, 1e-5);
    EXPECT_FLOAT_EQ(f.ori[3], -0.5f);
}

TEST(SnsFrameA, UndefinedOrientationUnitsReadAsDegrees)
{
    // Units 3 name no unit; the record converts as three Euler terms in
    // degrees instead of indexing past the factor table.
    const _SENFRAMEDATA_A a = Accel(Sfinfo(1, 0, 3), {16384, -16384, 8192, 32767}, {0, 0, 0, 0});
    CSXSnsFrameA f(&a);
    EXPECT_FALSE(f.Qtrn());
    EXPECT_EQ(f.NumTerms(), 3);
    EXPECT_FLOAT_EQ(f.OriFactor(), 180.0f);
    EXPECT_FLOAT_EQ(f.ori[0], 90.0f);
    EXPECT_FLOAT_EQ(f.ori[1], -90.0f);
    EXPECT_FLOAT_EQ(f.ori[2], 45.0f);
    EXPECT_EQ(f.ori[3], 0.0f);
}

TEST(SnsFrameA, NullAndPlainRecords)
{
    const _SENFRAMEDATA_A a = Accel(Sfinfo(5), {1, 2, 3, 4}, {100, 200, 300, 400});
    CSXSnsFrameA f(&a);
    f.Fill(static_cast<const _SENFRAMEDATA_A*>(nullptr));
    const CSXSnsFrameA zero;
    EXPECT_EQ(std::memcmp(&f, &zero, sizeof f), 0);
    EXPECT_EQ(zero.sfinfo, 0u);
    EXPECT_EQ(zero.accel[3], 0.0f);

    f.Fill(&a);
    const float kept = f.accel[1];
    _SENFRAMEDATA p{Sfinfo(7, 2, 2), {1.0f, 2.0f, 3.0f}, {0.5f, 0.5f, -0.5f, 0.5f}};
    f.Fill(&p);
    EXPECT_EQ(f.sfinfo, p.sfinfo);
    EXPECT_EQ(f.ori[2], -0.5f);
    EXPECT_EQ(f.accel[1], kept); // a plain record has no acceleration
    EXPECT_EQ(std::memcmp(static_cast<_SENFRAMEDATA*>(f), &p, sizeof p), 0);
    EXPECT_EQ(static_cast<void*>(static_cast<_SENFRAMEDATA*>(f)), static_cast<void*>(&f));

    f.Fill(static_cast<const _SENFRAMEDATA*>(nullptr));
    EXPECT_EQ(std::memcmp(&f, &zero, sizeof f), 0);
}

TEST(SnsFrameA, ConvertStopsAtFourTerms)
{
    CSXSnsFrameA f;
    const short many[8] = {16384, 16384, 16384, 16384, 16384, 16384, 16384, 16384};
    f.accel[0] = 7.0f;
    f.ConvertOri(many, 8, 2.0f); // must not spill into accel
    EXPECT_EQ(f.ori[3], 1.0f);
    EXPECT_EQ(f.accel[0], 7.0f);
    f.ConvertAccel(many, 2, 16.0f);
    EXPECT_EQ(f.accel[0], 8.0f);
    EXPECT_EQ(f.accel[2], 0.0f);
}

TEST(SnsFrameA, CopiesCopyEveryField)
{
    const _SENFRAMEDATA_A a = Accel(Sfinfo(3, 1, 2), {100, 200, 300, 400}, {5, 6, 7, 8});
    CSXSnsFrameA f(&a);
    CSXSnsFrameA g;
    g = f;
    EXPECT_EQ(std::memcmp(&f, &g, sizeof f), 0);
    CSXSnsFrameA h;
    h = std::move(g);
    EXPECT_EQ(std::memcmp(&f, &h, sizeof f), 0);
}
