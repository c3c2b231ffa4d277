// The simulated unit on its own: answers, records and P&O frames, read back
// through the protocol code.
#include "SimTestUtil.h"

#include <simulator/SimUnit.h>

#include <SXCmdIF/pno/SXseuPno.h>
#include <SXCmdIF/pno/SXsnsFrameA.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace simtest;
using sxsim::SimConfig;
using sxsim::SimUnit;

namespace {

// The unit's answer to one command.
Bytes Ask(SimUnit& u, const Bytes& cmd)
{
    Bytes out(sxsim::kMaxResponse);
    out.resize(u.Answer(cmd.data(), cmd.size(), out.data()));
    return out;
}

Bytes Ask(SimUnit& u, uint32_t cmd, uint32_t act, uint32_t arg1 = 0, uint32_t arg2 = 0, const void* pl = nullptr,
          unsigned len = 0)
{
    return Ask(u, Command(cmd, act, arg1, arg2, pl, len));
}

// Whether the frame passes the receive checks of the protocol code.
bool Valid(const Bytes& f, uint32_t cmdPre = SX_PREAMBLE_CMD, uint32_t pnoPre = SX_PREAMBLE_PNO)
{
    const auto n = static_cast<unsigned>(f.size());
    return CSXcmd::ValidatePreambleN(f.data(), n, cmdPre, pnoPre) &&
           CSXcmd::ValidateSizeN(f.data(), n, cmdPre, pnoPre) && CSXcmd::ValidateCRCN(f.data(), n);
}

Bytes Payload(Bytes& r)
{
    CFrameInfo fi(r.data(), static_cast<unsigned>(r.size()));
    return Bytes(fi.PCmdPayload(), fi.PCmdPayload() + fi.CmdPayloadSize());
}

Bytes Frame(SimUnit& u, const sxsim::PnoFrameFaults& f = {})
{
    Bytes out(sxsim::kMaxPnoFrame);
    out.resize(u.BuildPnoFrame(out.data(), f));
    return out;
}

SimConfig StaticCfg()
{
    SimConfig c;
    c.staticPose = true;
    c.seuid = 42;
    return c;
}

} // namespace

TEST(SimUnit, WhoamiAnswersWithTheUnitIdentity)
{
    SimUnit u(StaticCfg());
    Bytes r = Ask(u, CMD_WHOAMI, CMD_ACTION_GET, 7, 9);
    ASSERT_TRUE(Valid(r));
    CFrameInfo fi(r.data(), static_cast<unsigned>(r.size()));
    EXPECT_TRUE(fi.IsCmd());
    EXPECT_TRUE(fi.IsAck());
    EXPECT_EQ(fi.cmd(), 20u);
    EXPECT_EQ(fi.devid(), 42u);
    EXPECT_EQ(fi.arg1(), 7u);
    EXPECT_EQ(fi.arg2(), 9u);
    ASSERT_EQ(fi.CmdPayloadSize(), 192u);
    _WHOAMI_STRUCT who;
    std::memcpy(&who, fi.PCmdPayload(), sizeof who);
    EXPECT_STREQ(who.device_name, "SXSIM Tracker SEU");
    EXPECT_STREQ(who.hw_ser_no, "SIM-SEU-0000002A");
    EXPECT_STREQ(who.dsp_app_fw, "sxsim-app 1.0");

    r = Ask(u, CMD_SENSOR_WHOAMI, CMD_ACTION_GET, 3);
    std::memcpy(&who, Payload(r).data(), sizeof who);
    EXPECT_STREQ(who.device_name, "SXSIM Sensor 3");
    EXPECT_STREQ(who.hw_ser_no, "SIM-SNS-0000002A-03");
    r = Ask(u, CMD_SRC_WHOAMI, CMD_ACTION_GET, 1);
    std::memcpy(&who, Payload(r).data(), sizeof who);
    EXPECT_STREQ(who.hw_ser_no, "SIM-SRC-0000002A-1");
}

TEST(SimUnit, UnitsSetGetResetCarryTheExactRecord)
{
    SimUnit u(StaticCfg());
    const _UNITS_CONFIG cm{2, 2};
    Bytes r = Ask(u, CMD_UNITS, CMD_ACTION_SET, 0, 0, &cm, sizeof cm);
    EXPECT_EQ(r.size(), 32u);
    EXPECT_EQ(Word(r, 16), static_cast<uint32_t>(CMD_ACTION_ACK));
    r = Ask(u, CMD_UNITS, CMD_ACTION_GET);
    EXPECT_EQ(Payload(r), (Bytes{2, 0, 0, 0, 2, 0, 0, 0}));
    Ask(u, CMD_UNITS, CMD_ACTION_RESET);
    r = Ask(u, CMD_UNITS, CMD_ACTION_GET);
    EXPECT_EQ(Payload(r), (Bytes{0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(SimUnit, FrameRateAndIdentifierResetToThePowerOnValues)
{
    SimConfig c = StaticCfg();
    c.rateHz = 960;
    SimUnit u(c);
    Bytes r = Ask(u, CMD_FRAMERATE, CMD_ACTION_GET);
    EXPECT_EQ(Payload(r), (Bytes{5, 0, 0, 0}));
    const uint32_t code = 1, id = 0x01020304;
    Ask(u, CMD_FRAMERATE, CMD_ACTION_SET, 0, 0, &code, 4);
    EXPECT_EQ(u.FrameIntervalNs(), 1000000000LL / 60);
    r = Ask(u, CMD_SEUID, CMD_ACTION_SET, 0, 0, &id, 4);
    EXPECT_EQ(Word(r, 8), id); // answers carry the new identifier
    Ask(u, CMD_FRAMERATE, CMD_ACTION_RESET);
    r = Ask(u, CMD_SEUID, CMD_ACTION_RESET);
    EXPECT_EQ(Word(r, 8), 42u);
    r = Ask(u, CMD_FRAMERATE, CMD_ACTION_GET);
    EXPECT_EQ(Payload(r), (Bytes{5, 0, 0, 0}));
}

TEST(SimUnit, FilterTargetsOneSensorOrAllOfThem)
{
    SimUnit u(StaticCfg());
    const _FILTER_CONFIG heavy{3, 0.02f, 0.02f, 0.8f, 0.95f};
    Ask(u, CMD_FILTER, CMD_ACTION_SET, 2, 1, &heavy, sizeof heavy); // sensor 2, orientation filter
    _BLOCK_CONFIG b = u.Block();
    EXPECT_EQ(b.sensor[2].filterOri.level, 3u);
    EXPECT_EQ(b.sensor[2].filterPos.level, 2u);
    EXPECT_EQ(b.sensor[1].filterOri.level, 2u);
    Bytes r = Ask(u, CMD_FILTER, CMD_ACTION_GET, 2, 1);
    EXPECT_EQ(Payload(r), Bytes(reinterpret_cast<const unsigned char*>(&heavy),
                                reinterpret_cast<const unsigned char*>(&heavy) + sizeof heavy));
    const _TIP_OFFSET_CONFIG tip{1.0f, 2.0f, 3.0f};
    Ask(u, CMD_TIP_OFFSET, CMD_ACTION_SET, static_cast<uint32_t>(-1), 0, &tip, sizeof tip);
    b = u.Block();
    EXPECT_EQ(b.sensor[0].tipoff.z, 3.0f);
    EXPECT_EQ(b.sensor[15].tipoff.z, 3.0f);
    Ask(u, CMD_SENSOR_BLOCKCFG, CMD_ACTION_RESET, 2);
    b = u.Block();
    EXPECT_EQ(b.sensor[2].filterOri.level, 2u);
    EXPECT_EQ(b.sensor[2].tipoff.z, 0.0f);
    EXPECT_EQ(b.sensor[3].tipoff.z, 3.0f);
}

TEST(SimUnit, StationMapFollowsTheConfiguredSensorsAndSources)
{
    SimConfig c = StaticCfg();
    c.sensors = 5;
    c.sources = 2;
    SimUnit u(c);
    Bytes r = Ask(u, CMD_STATION_MAP, CMD_ACTION_GET);
    EXPECT_EQ(Payload(r), (Bytes{0x1F, 0, 0, 0x03}));
}

TEST(SimUnit, RefusedRequestsAnswerNakEchoingTheCommand)
{
    SimUnit u(StaticCfg());
    const uint32_t six = 6, nine = 9, word = 0;
    const _UNITS_CONFIG pos4{4, 0}, ori3{0, 3};
    const _FILTER_CONFIG lvl9{9, 0, 0, 0, 0};
    const _SRC_CONFIG src{};
    Bytes badCrc = Command(CMD_WHOAMI, CMD_ACTION_GET);
    badCrc[28] ^= 1;
    const struct {
        const char* what;
        Bytes cmd;
        uint32_t code;
    } cases[] = {
        {"bad size", Command(CMD_UNITS, CMD_ACTION_SET, 0, 0, &word, 4), CMD_UNITS},
        {"frame rate 6", Command(CMD_FRAMERATE, CMD_ACTION_SET, 0, 0, &six, 4), CMD_FRAMERATE},
        {"position units 4", Command(CMD_UNITS, CMD_ACTION_SET, 0, 0, &pos4, 8), CMD_UNITS},
        {"orientation units 3", Command(CMD_UNITS, CMD_ACTION_SET, 0, 0, &ori3, 8), CMD_UNITS},
        {"filter level 9", Command(CMD_FILTER, CMD_ACTION_SET, 0, 0, &lvl9, 20), CMD_FILTER},
        {"sensor 16", Command(CMD_HEMISPHERE, CMD_ACTION_GET, 16), CMD_HEMISPHERE},
        {"GET of all sensors", Command(CMD_HEMISPHERE, CMD_ACTION_GET, static_cast<uint32_t>(-1)), CMD_HEMISPHERE},
        {"source 4", Command(CMD_SOURCE_CFG, CMD_ACTION_SET, 4, 0, &src, 36), CMD_SOURCE_CFG},
        {"GET of the block", Command(CMD_BLOCK_CFG, CMD_ACTION_GET), CMD_BLOCK_CFG},
        {"SET of the identity", Command(CMD_WHOAMI, CMD_ACTION_SET, 0, 0, &nine, 0), CMD_WHOAMI},
        {"undefined command 23", Command(23, CMD_ACTION_GET, 5, 6), 23},
        {"bad CRC", badCrc, CMD_WHOAMI},
    };
    for (const auto& c : cases) {
        Bytes r = Ask(u, c.cmd);
        ASSERT_TRUE(Valid(r)) << c.what;
        CFrameInfo fi(r.data(), static_cast<unsigned>(r.size()));
        EXPECT_TRUE(fi.IsNak()) << c.what;
        EXPECT_EQ(fi.cmd(), c.code) << c.what;
        EXPECT_EQ(fi.arg1(), Word(c.cmd, 20)) << c.what;
        EXPECT_EQ(fi.CmdPayloadSize(), 0u) << c.what;
    }
    EXPECT_EQ(u.Block().frameRate, 3u); // nothing was stored
}

TEST(SimUnit, SinglePnoAnswersWithOneBodyOfTheStaticPose)
{
    SimUnit u(StaticCfg());
    Bytes r = Ask(u, CMD_SINGLE_PNO, CMD_ACTION_GET);
    ASSERT_TRUE(Valid(r));
    Bytes body = Payload(r);
    ASSERT_EQ(body.size(), 16u + 4 * 32);
    EXPECT_EQ(Word(body, 0), 42u);
    EXPECT_EQ(Word(body, 12), 4u);
    CSXSeuPno pno;
    ASSERT_EQ(pno.Extractseupno(body.data()), 20u + 4 * 32);
    EXPECT_EQ(pno.SensorMap(), 0xFu);
    EXPECT_EQ(pno.Mode(), 0u);
    const _SENFRAMEDATA* s = pno.SensFrame(2);
    EXPECT_EQ(s->sfinfo, 2u);
    EXPECT_EQ(s->pos[0], 12.0f);
    EXPECT_EQ(s->pos[1], -1.0f);
    EXPECT_EQ(s->pos[2], 3.5f);
    EXPECT_EQ(s->ori[0], 20.0f);
    EXPECT_EQ(s->ori[1], 30.0f);
    EXPECT_EQ(s->ori[2], -45.0f);
}

TEST(SimUnit, FramesPassTheChecksAndCountUpByOne)
{
    SimConfig c = StaticCfg();
    c.sensors = 16;
    SimUnit u(c);
    Bytes f = Frame(u);
    ASSERT_EQ(f.size(), 540u);
    EXPECT_TRUE(Valid(f));
    EXPECT_TRUE(CSXSeuPno::ValidateSensorCount(f.data(), 16));
    EXPECT_TRUE(CSXSeuPno::ValidateSensorIDs(f.data(), 0x70));
    CFrameInfo fi(f.data(), static_cast<unsigned>(f.size()));
    EXPECT_TRUE(fi.IsPno());
    EXPECT_EQ(fi.devfc(), 0u);
    u.SkipFrame();
    f = Frame(u);
    EXPECT_EQ(CFrameInfo(f.data(), 540).devfc(), 2u);
    Ask(u, CMD_FRAME_COUNT, CMD_ACTION_RESET);
    EXPECT_EQ(u.FrameCount(), 0u);
}

TEST(SimUnit, FramesFollowTheUnitsInForce)
{
    SimUnit u(StaticCfg());
    const _UNITS_CONFIG cmQuat{2, 2};
    Ask(u, CMD_UNITS, CMD_ACTION_SET, 0, 0, &cmQuat, 8);
    Bytes f = Frame(u);
    CSXSeuPno pno;
    ASSERT_EQ(pno.Extractraw(f.data()), f.size());
    const _SENFRAMEDATA* s = pno.SensFrame(0);
    EXPECT_EQ(s->sfinfo, 0x0A00u); // sensor 0, CM, quaternion
    EXPECT_FLOAT_EQ(s->pos[0], 25.4f);
    // Sensor 0: azimuth 0, elevation 30, roll -45 degrees.
    const double e = 15.0 * M_PI / 180, r = -22.5 * M_PI / 180;
    EXPECT_NEAR(s->ori[0], std::cos(r) * std::cos(e), 1e-6);
    EXPECT_NEAR(s->ori[1], std::sin(r) * std::cos(e), 1e-6);
    EXPECT_NEAR(s->ori[2], std::cos(r) * std::sin(e), 1e-6);
    EXPECT_NEAR(s->ori[3], -std::sin(r) * std::sin(e), 1e-6);
}

TEST(SimUnit, AccelerationRecordsCarryFractionsOfFullScale)
{
    SimConfig c = StaticCfg();
    c.accelRecords = true;
    SimUnit u(c);
    Bytes f = Frame(u);
    CSXSeuPno pno;
    pno.Extractraw(f.data());
    EXPECT_EQ(pno.Mode(), 1u);
    const _SENFRAMEDATA_A* a = pno.SensFrameA(1);
    EXPECT_EQ(a->ori[0], 1820); // 10 degrees of 180
    EXPECT_EQ(a->ori[1], 5461);
    EXPECT_EQ(a->ori[2], -8192);
    EXPECT_EQ(a->accel[0], 0);
    CSXSnsFrameA s(const_cast<_SENFRAMEDATA_A*>(a));
    EXPECT_NEAR(s.ori[0], 10.0f, 0.01f);
    EXPECT_NEAR(s.ori[2], -45.0f, 0.01f);
    EXPECT_EQ(s.pos[0], 11.0f);
}

TEST(SimUnit, ArgumentTwoAsksForAccelerationRecordsOfOneStream)
{
    SimUnit u(StaticCfg());
    const uint32_t word = 0;
    Ask(u, CMD_CONTINUOUS_PNO, CMD_ACTION_SET, 0, 1, &word, 4);
    EXPECT_TRUE(u.Streaming());
    EXPECT_EQ(Word(Frame(u), 16), 1u);
    Ask(u, CMD_CONTINUOUS_PNO, CMD_ACTION_RESET);
    EXPECT_FALSE(u.Streaming());
    EXPECT_EQ(Word(Frame(u), 16), 0u);
}

TEST(SimUnit, MotionIsSmoothAndDeterministicPerSeed)
{
    SimConfig c;
    c.seed = 7;
    SimUnit a(c), b(c);
    c.seed = 8;
    SimUnit other(c);
    const Bytes fa = Frame(a), fb = Frame(b), fo = Frame(other);
    EXPECT_EQ(fa, fb);
    EXPECT_NE(Bytes(fa.begin() + 24, fa.end() - 4), Bytes(fo.begin() + 24, fo.end() - 4));
    const Bytes next = Frame(a);
    const float x0 = sxwire::GetLEF32(fa.data() + 28), x1 = sxwire::GetLEF32(next.data() + 28);
    EXPECT_NE(x0, x1);
    EXPECT_LT(std::fabs(x1 - x0), 0.2f); // 1/240 s apart
}

TEST(SimUnit, BitResultAndSelfCalibrationState)
{
    SimUnit u(StaticCfg());
    Bytes r = Ask(u, CMD_BIT, CMD_ACTION_GET);
    EXPECT_EQ(Payload(r), Bytes(28, 0));
    _BIT_STRUCT bit{};
    bit.err[2] = 4; // source 2
    u.SetBit(bit);
    r = Ask(u, CMD_BIT, CMD_ACTION_GET);
    EXPECT_EQ(Payload(r)[8], 4);
    CSXSeuPno pno;
    Bytes f = Frame(u);
    pno.Extractraw(f.data());
    EXPECT_EQ(pno.BITerr(), 3u);

    r = Ask(u, CMD_SELFCAL_STATE, CMD_ACTION_GET);
    EXPECT_EQ(Word(Payload(r), 0), 1u);
    r = Ask(u, CMD_SELFCAL_SAVE, CMD_ACTION_SET);
    EXPECT_TRUE(CFrameInfo(r.data(), 32).IsAck());
    EXPECT_EQ(u.SelfCal().state, 0x101u);
    EXPECT_TRUE(CFrameInfo(Ask(u, CMD_PERSIST, CMD_ACTION_SET).data(), 32).IsAck());
}

TEST(SimUnit, TagFamilyUsesItsOwnPreambles)
{
    SimConfig c = StaticCfg();
    c.pid = PID_Q7_TAG;
    SimUnit u(c);
    Bytes r = Ask(u, Command(CMD_SEUID, CMD_ACTION_GET, 0, 0, nullptr, 0, Q7_PREAMBLE_CMD));
    EXPECT_TRUE(Valid(r, Q7_PREAMBLE_CMD, Q7_PREAMBLE_PNO));
    EXPECT_EQ(Word(r, 0), Q7_PREAMBLE_CMD);
    EXPECT_EQ(Word(r, 28), 42u);
    Bytes f = Frame(u);
    EXPECT_EQ(Word(f, 0), Q7_PREAMBLE_PNO);
    EXPECT_TRUE(Valid(f, Q7_PREAMBLE_CMD, Q7_PREAMBLE_PNO));
}

TEST(SimUnit, FrameFaultsFailTheReceiveChecks)
{
    SimUnit u(StaticCfg());
    sxsim::PnoFrameFaults extra;
    extra.extraSensor = true;
    Bytes f = Frame(u, extra);
    EXPECT_EQ(Word(f, 20), 17u);
    EXPECT_FALSE(CSXcmd::ValidateSizeN(f.data(), static_cast<unsigned>(f.size()), SX_PREAMBLE_CMD, SX_PREAMBLE_PNO));
    sxsim::PnoFrameFaults s16;
    s16.sensor16 = true;
    f = Frame(u, s16);
    EXPECT_TRUE(Valid(f));
    EXPECT_EQ(Word(f, 24 + 3 * 32) & 0x7F, 16u);
    EXPECT_FALSE(CSXSeuPno::ValidateSensorIDs(f.data(), 0x70));
}
