// The OpenIGTLink server against the simulated tracker on a pseudo-terminal,
// connected through the library's exported interface; the clients are
// OpenIGTLink's own ClientSocket and message classes.
#include "ServeFixture.h"

#include <igtlCapabilityMessage.h>
#include <igtlStatusMessage.h>
#include <igtlTrackingDataMessage.h>
#include <igtlTransformMessage.h>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>

using namespace igtltest;
using namespace std::chrono_literals;

namespace {

// Compares a received matrix with the static pose of sensor k: the rotation
// within single precision, the position within the float rounding of the
// units the simulator sent.
void ExpectStaticPose(int k, igtl::Matrix4x4& m, double posTol = 1e-3, double rotTol = 2e-6)
{
    double want[4][4];
    ExpectedMatrix(k, want);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(m[i][j], want[i][j], rotTol) << "sensor " << k << " at " << i << "," << j;
        EXPECT_NEAR(m[i][3], want[i][3], posTol) << "sensor " << k << " position " << i;
    }
    EXPECT_EQ(m[3][0], 0.0f);
    EXPECT_EQ(m[3][1], 0.0f);
    EXPECT_EQ(m[3][2], 0.0f);
    EXPECT_EQ(m[3][3], 1.0f);
}

TEST_F(IgtlServe, StatusOnConnectionThenTransformsOfEverySensor)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    Client c;
    const double before = WallNow();
    ASSERT_TRUE(c.Connect(m_port));
    Received r;
    ASSERT_TRUE(c.Next(r));
    EXPECT_EQ(r.type, "STATUS");
    EXPECT_TRUE(r.CrcOk());

    auto got = OneOfEachSensor(c);
    ASSERT_EQ(got.size(), static_cast<size_t>(kSensors));
    const double after = WallNow();
    for (int k = 0; k < kSensors; ++k) {
        const std::string name = "Sensor" + std::to_string(k);
        ASSERT_EQ(got.count(name), 1u) << name;
        igtl::Matrix4x4 m;
        MatrixOf(got[name], m);
        ExpectStaticPose(k, m);
        // Wall-clock host time stamp of the frame.
        EXPECT_GE(got[name].stamp, before - 1.0);
        EXPECT_LE(got[name].stamp, after + 0.01);
    }
}

// Every sensor's static pose, whatever the units the tracker sends.
struct PoseCase {
    const char* name;
    uint32_t posUnits;
    uint32_t oriUnits;
    bool accel;
    double posTol;
    double rotTol;
    // Sensor2 at 12, -1, 3.5 inches: its position in millimetres exactly
    // as a float, within a float's rounding, or not checked apart.
    enum { Exact, Rounded, Unchecked } sensor2;
};

const PoseCase kPoseCases[] = {
    {"Inches", POS_INCH, ORI_EULER_DEGREE, false, 1e-3, 2e-6, PoseCase::Exact},
    // 30.48 cm as a float, times 10.
    {"Centimetres", POS_CM, ORI_EULER_DEGREE, false, 1e-3, 2e-6, PoseCase::Rounded},
    {"FeetAndRadians", POS_FOOT, ORI_EULER_RADIAN, false, 2e-3, 2e-6, PoseCase::Unchecked},
    {"Quaternions", POS_INCH, ORI_QUATERNION, false, 1e-3, 2e-6, PoseCase::Unchecked},
    // Fixed-point orientation: 1/32768 of full scale.
    {"AccelerationRecords", POS_CM, ORI_QUATERNION, true, 1e-3, 1e-4, PoseCase::Unchecked},
};

void PrintTo(const PoseCase& pc, std::ostream* os)
{
    *os << pc.name;
}

class IgtlServePose : public IgtlServe, public ::testing::WithParamInterface<PoseCase> {};

TEST_P(IgtlServePose, EverySensorsMatrixInMillimetres)
{
    const PoseCase& pc = GetParam();
    ASSERT_NO_FATAL_FAILURE(Start(pc.posUnits, pc.oriUnits, pc.accel));
    Client c;
    ASSERT_TRUE(c.Connect(m_port));
    auto got = OneOfEachSensor(c);
    ASSERT_EQ(got.size(), static_cast<size_t>(kSensors));
    for (int k = 0; k < kSensors; ++k) {
        igtl::Matrix4x4 m;
        MatrixOf(got["Sensor" + std::to_string(k)], m);
        ExpectStaticPose(k, m, pc.posTol, pc.rotTol);
    }
    igtl::Matrix4x4 m;
    MatrixOf(got["Sensor2"], m);
    if (pc.sensor2 == PoseCase::Exact) {
        EXPECT_EQ(m[0][3], 304.8f);
        EXPECT_EQ(m[1][3], -25.4f);
        EXPECT_EQ(m[2][3], 88.9f);
    } else if (pc.sensor2 == PoseCase::Rounded) {
        EXPECT_FLOAT_EQ(m[0][3], 304.8f);
        EXPECT_FLOAT_EQ(m[1][3], -25.4f);
        EXPECT_FLOAT_EQ(m[2][3], 88.9f);
    }
}

INSTANTIATE_TEST_SUITE_P(Units, IgtlServePose, ::testing::ValuesIn(kPoseCases),
                         [](const ::testing::TestParamInfo<PoseCase>& i) { return std::string(i.param.name); });

TEST_F(IgtlServe, PositionsFollowAUnitChangeMidStream)
{
    ASSERT_NO_FATAL_FAILURE(Start(POS_FOOT, ORI_EULER_RADIAN));
    Client c;
    ASSERT_TRUE(c.Connect(m_port));
    _UNITS_CONFIG units{POS_METER, ORI_EULER_DEGREE};
    ASSERT_EQ(sxcmd_dev_units(m_ctx, m_dev, CMD_ACTION_SET, &units), 0);
    // Frames already under way still carry feet: wait for metres.
    Received r;
    bool metres = false;
    for (int i = 0; i < 2000 && !metres && c.NextOf("TRANSFORM", r); ++i) {
        igtl::Matrix4x4 m;
        MatrixOf(r, m);
        if (r.name == "Sensor1" && m[0][3] != 0.0f) {
            // 11 inches: 0.2794 m as a float, or 0.91667 ft.
            if (std::fabs(m[0][3] - 279.4) < 1e-3) {
                metres = true;
                ExpectStaticPose(1, m, 2e-3);
            }
        }
    }
    EXPECT_TRUE(metres);
}

TEST_F(IgtlServe, TrackingDataBetweenStartAndStop)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    Client c, b; // b stays on TRANSFORM
    ASSERT_TRUE(c.Connect(m_port));
    ASSERT_TRUE(b.Connect(m_port));
    igtl::StartTrackingDataMessage::Pointer stt = igtl::StartTrackingDataMessage::New();
    stt->SetDeviceName("Slicer");
    stt->SetResolution(0);
    stt->SetCoordinateName("Tracker");
    ASSERT_TRUE(c.Send(stt));

    Received r;
    ASSERT_TRUE(c.NextOf("RTS_TDATA", r));
    EXPECT_TRUE(r.CrcOk());
    EXPECT_EQ(static_cast<igtl::RTSTrackingDataMessage*>(r.msg.GetPointer())->GetStatus(),
              igtl::RTSTrackingDataMessage::STATUS_SUCCESS);

    // The stream takes the form asked for: TDATA alone (OpenIGTLink's
    // TrackingDataClient expects it in each of the ten messages after its
    // request), at resolution 0 one for every frame: the frames b gets as
    // Sensor0's TRANSFORMs.
    std::vector<double> tdata;
    while (tdata.size() < 100 && c.Next(r)) {
        EXPECT_NE(r.type, "TRANSFORM");
        if (r.type != "TDATA")
            continue;
        EXPECT_TRUE(r.CrcOk());
        tdata.push_back(r.stamp);
        if (tdata.size() > 1)
            continue;
        auto* td = static_cast<igtl::TrackingDataMessage*>(r.msg.GetPointer());
        ASSERT_EQ(td->GetNumberOfTrackingDataElements(), kSensors);
        for (int k = 0; k < kSensors; ++k) {
            igtl::TrackingDataElement::Pointer e;
            td->GetTrackingDataElement(k, e);
            EXPECT_EQ(std::string(e->GetName()), "Sensor" + std::to_string(k));
            EXPECT_EQ(e->GetType(), igtl::TrackingDataElement::TYPE_6D);
            igtl::Matrix4x4 m;
            e->GetMatrix(m);
            ExpectStaticPose(k, m);
        }
    }
    ASSERT_EQ(tdata.size(), 100u);
    std::vector<double> transforms;
    while (b.NextOf("TRANSFORM", r) && r.stamp <= tdata.back())
        if (r.name == "Sensor0" && r.stamp >= tdata.front())
            transforms.push_back(r.stamp);
    EXPECT_EQ(transforms, tdata);

    igtl::StopTrackingDataMessage::Pointer stp = igtl::StopTrackingDataMessage::New();
    stp->SetDeviceName("Slicer");
    ASSERT_TRUE(c.Send(stp));
    // TDATA may still be on the way before the answer; none after it.
    bool answered = false;
    while (!answered && c.Next(r))
        answered = r.type == "RTS_TDATA";
    ASSERT_TRUE(answered);
    EXPECT_EQ(static_cast<igtl::RTSTrackingDataMessage*>(r.msg.GetPointer())->GetStatus(),
              igtl::RTSTrackingDataMessage::STATUS_SUCCESS);
    int after = 0;
    while (after < 100 && c.Next(r)) {
        EXPECT_NE(r.type, "TDATA");
        after += r.type == "TRANSFORM";
    }
    EXPECT_EQ(after, 100);
}

TEST_F(IgtlServe, TrackingDataAtTheRequestedResolution)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    Client c;
    ASSERT_TRUE(c.Connect(m_port));
    igtl::StartTrackingDataMessage::Pointer stt = igtl::StartTrackingDataMessage::New();
    stt->SetResolution(50); // ms: 20 a second out of 240 frames
    ASSERT_TRUE(c.Send(stt));
    Received r;
    ASSERT_TRUE(c.NextOf("RTS_TDATA", r));
    // 11 in a row span 10 resolutions, less at most one; the frames
    // meanwhile were many more.
    const uint64_t first = m_stats.framesReceived.load();
    std::vector<double> stamps;
    while (stamps.size() < 11 && c.NextOf("TDATA", r))
        stamps.push_back(r.stamp);
    ASSERT_EQ(stamps.size(), 11u);
    EXPECT_GE(stamps.back() - stamps.front(), 9 * 0.050);
    EXPECT_GT(m_stats.framesReceived.load() - first, 3u * 11);
}

TEST_F(IgtlServe, OneTrackingDataOnRequest)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    Client c;
    ASSERT_TRUE(c.Connect(m_port));
    Received r;
    ASSERT_TRUE(c.NextOf("TRANSFORM", r)); // a frame has arrived
    GetTrackingDataMessage::Pointer q = GetTrackingDataMessage::New();
    ASSERT_TRUE(c.Send(q));
    ASSERT_TRUE(c.NextOf("TDATA", r));
    EXPECT_TRUE(r.CrcOk());
    EXPECT_EQ(r.name, "Tracker");
    auto* td = static_cast<igtl::TrackingDataMessage*>(r.msg.GetPointer());
    ASSERT_EQ(td->GetNumberOfTrackingDataElements(), kSensors);
    igtl::TrackingDataElement::Pointer e;
    td->GetTrackingDataElement(3, e);
    EXPECT_STREQ(e->GetName(), "Sensor3");
    igtl::Matrix4x4 m;
    e->GetMatrix(m);
    ExpectStaticPose(3, m);
    // Just one: no stream follows.
    int transforms = 0;
    while (transforms < 100 && c.Next(r)) {
        EXPECT_NE(r.type, "TDATA");
        transforms += r.type == "TRANSFORM";
    }
}

TEST_F(IgtlServe, CapabilityAndStatusOnRequest)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    Client c;
    ASSERT_TRUE(c.Connect(m_port));
    igtl::GetCapabilityMessage::Pointer q = igtl::GetCapabilityMessage::New();
    ASSERT_TRUE(c.Send(q));
    Received r;
    ASSERT_TRUE(c.NextOf("CAPABILITY", r));
    EXPECT_TRUE(r.CrcOk());
    auto* cap = static_cast<igtl::CapabilityMessage*>(r.msg.GetPointer());
    const std::vector<std::string> want = {"TRANSFORM",  "GET_TRANS",  "TDATA",      "GET_TDATA",
                                           "STT_TDATA",  "STP_TDATA",  "RTS_TDATA",  "STATUS",
                                           "GET_STATUS", "CAPABILITY", "GET_CAPABIL"};
    EXPECT_EQ(cap->GetTypes(), want);

    // Frames flow: the status is OK.
    ASSERT_TRUE(c.NextOf("TRANSFORM", r));
    igtl::GetStatusMessage::Pointer gs = igtl::GetStatusMessage::New();
    ASSERT_TRUE(c.Send(gs));
    ASSERT_TRUE(c.NextOf("STATUS", r));
    auto* st = static_cast<igtl::StatusMessage*>(r.msg.GetPointer());
    EXPECT_EQ(st->GetCode(), igtl::StatusMessage::STATUS_OK);
}

TEST_F(IgtlServe, GetTransformOfOneSensor)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    Client c;
    ASSERT_TRUE(c.Connect(m_port));
    Received r;
    ASSERT_TRUE(c.NextOf("TRANSFORM", r)); // a frame has arrived
    // A sensor that exists, and one that does not.
    igtl::GetTransformMessage::Pointer q = igtl::GetTransformMessage::New();
    q->SetDeviceName("Sensor3");
    ASSERT_TRUE(c.Send(q));
    igtl::GetTransformMessage::Pointer bad = igtl::GetTransformMessage::New();
    bad->SetDeviceName("Sensor9");
    ASSERT_TRUE(c.Send(bad));
    ASSERT_TRUE(c.NextOf("STATUS", r));
    EXPECT_EQ(r.name, "Sensor9");
    EXPECT_EQ(static_cast<igtl::StatusMessage*>(r.msg.GetPointer())->GetCode(), igtl::StatusMessage::STATUS_NOT_FOUND);
}

TEST_F(IgtlServe, TwoClientsAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    Client a, b;
    ASSERT_TRUE(a.Connect(m_port));
    ASSERT_TRUE(b.Connect(m_port));
    auto ga = OneOfEachSensor(a);
    auto gb = OneOfEachSensor(b);
    ASSERT_EQ(ga.size(), static_cast<size_t>(kSensors));
    ASSERT_EQ(gb.size(), static_cast<size_t>(kSensors));
    for (int k = 0; k < kSensors; ++k) {
        igtl::Matrix4x4 m;
        MatrixOf(gb["Sensor" + std::to_string(k)], m);
        ExpectStaticPose(k, m);
    }
    EXPECT_EQ(m_stats.clientsConnected.load(), 2);
    // Both see the same frames: 200 Sensor0 stamps of b follow a's in order.
    Received r;
    std::set<double> sa, sb;
    while (sa.size() < 200 && a.NextOf("TRANSFORM", r))
        if (r.name == "Sensor0")
            sa.insert(r.stamp);
    while (sb.size() < 200 && b.NextOf("TRANSFORM", r))
        if (r.name == "Sensor0")
            sb.insert(r.stamp);
    ASSERT_EQ(sa.size(), 200u);
    ASSERT_EQ(sb.size(), 200u);
    // b was not read meanwhile but kept every frame: its stamps cover a's.
    size_t common = 0;
    for (double s : sa)
        common += sb.count(s);
    EXPECT_GT(common, 100u);
}

TEST_F(IgtlServe, StalledClientDoesNotSlowTheOthers)
{
    // Small socket buffers for every client, so the one that does not read
    // fills its own soon; a backlog that still lets a reader fall behind
    // for half a second on a busy machine.
    m_opt.sendBufferBytes = 4096;
    m_opt.backlogMessages = 512;
    ASSERT_NO_FATAL_FAILURE(Start());
    const int stalled = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(stalled, 0);
    int small = 2048;
    ::setsockopt(stalled, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(m_port.load()));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(stalled, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    sockaddr_in local{};
    socklen_t len = sizeof local;
    ASSERT_EQ(::getsockname(stalled, reinterpret_cast<sockaddr*>(&local), &len), 0);
    const std::string stalledLeft = "client 127.0.0.1:" + std::to_string(ntohs(local.sin_port)) + " left (";

    Client c;
    ASSERT_TRUE(c.Connect(m_port));
    Received r;
    ASSERT_TRUE(c.NextOf("TRANSFORM", r));
    // The reader keeps reading until the stalled client has lost messages
    // and a second has passed.
    const uint64_t first = m_stats.framesReceived.load();
    int sensor0 = 0;
    double last = 0.0;
    const auto start = std::chrono::steady_clock::now();
    while ((m_stats.messagesDropped.load() == 0 || std::chrono::steady_clock::now() < start + 1s) &&
           std::chrono::steady_clock::now() < start + 10s && c.Next(r)) {
        if (r.type == "TRANSFORM" && r.name == "Sensor0") {
            EXPECT_GT(r.stamp, last);
            last = r.stamp;
            ++sensor0;
        }
    }
    EXPECT_GT(m_stats.messagesDropped.load(), 0u);
    EXPECT_GT(sensor0, 120);
    EXPECT_LE(static_cast<uint64_t>(sensor0), m_stats.framesReceived.load() - first + 1);
    EXPECT_EQ(m_stats.framesOverrun.load(), 0u);

    // The reader lost nothing: only the stalled client's line names dropped
    // messages.
    c.Close();
    ::close(stalled);
    EXPECT_EQ(StopServer(), 0);
    const std::string log = Log();
    size_t withDrops = 0, pos = 0;
    while ((pos = log.find("messages dropped", pos)) != std::string::npos) {
        ++withDrops;
        ++pos;
    }
    EXPECT_EQ(withDrops, 1u) << log;
    EXPECT_NE(log.find(stalledLeft), std::string::npos) << log;
}

TEST_F(IgtlServe, ClientDisconnectingMidStream)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    Client keeper;
    ASSERT_TRUE(keeper.Connect(m_port));
    for (int i = 0; i < 5; ++i) {
        Client c;
        ASSERT_TRUE(c.Connect(m_port));
        Received r;
        ASSERT_TRUE(c.NextOf("TRANSFORM", r));
        c.Close(); // with unread messages: the server sees a reset
    }
    // The keeper still gets every sensor and the server counts one client.
    Received r;
    std::set<std::string> names;
    const uint64_t first = m_stats.framesReceived.load();
    while (m_stats.framesReceived.load() < first + 100 && keeper.NextOf("TRANSFORM", r))
        names.insert(r.name);
    EXPECT_EQ(names.size(), static_cast<size_t>(kSensors));
    const auto until = std::chrono::steady_clock::now() + 2s;
    while (m_stats.clientsConnected.load() != 1 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(5ms);
    EXPECT_EQ(m_stats.clientsConnected.load(), 1);
    EXPECT_EQ(m_stats.clientsAccepted.load(), 6u);
}

TEST_F(IgtlServe, RateLimitsTransformsPerClient)
{
    m_opt.rateHz = 30.0;
    ASSERT_NO_FATAL_FAILURE(Start());
    Client c;
    ASSERT_TRUE(c.Connect(m_port));
    Received r;
    ASSERT_TRUE(c.NextOf("TRANSFORM", r));
    // 16 of Sensor0's in a row span 15 periods of 1/30 s, less at most one
    // (the schedule keeps the average: a late frame makes the next one
    // early). The frames meanwhile were many more.
    const uint64_t first = m_stats.framesReceived.load();
    std::vector<double> stamps;
    while (stamps.size() < 16 && c.NextOf("TRANSFORM", r))
        if (r.name == "Sensor0")
            stamps.push_back(r.stamp);
    ASSERT_EQ(stamps.size(), 16u);
    EXPECT_GE(stamps.back() - stamps.front(), 14.0 / 30);
    EXPECT_GT(m_stats.framesReceived.load() - first, 3u * 16);
}

TEST_F(IgtlServe, StatusWhenTheTrackerGoesQuietAndComesBack)
{
    m_opt.staleMs = 200;
    ASSERT_NO_FATAL_FAILURE(Start());
    Client c;
    ASSERT_TRUE(c.Connect(m_port));
    Received r;
    ASSERT_TRUE(c.NextOf("TRANSFORM", r));
    m_sim->GoQuiet(true);
    ASSERT_TRUE(c.NextOf("STATUS", r));
    auto* st = static_cast<igtl::StatusMessage*>(r.msg.GetPointer());
    EXPECT_EQ(st->GetCode(), igtl::StatusMessage::STATUS_TIME_OUT);
    EXPECT_STREQ(st->GetStatusString(), "no P&O frames for 200 ms");
    m_sim->GoQuiet(false);
    ASSERT_TRUE(c.NextOf("STATUS", r));
    st = static_cast<igtl::StatusMessage*>(r.msg.GetPointer());
    EXPECT_EQ(st->GetCode(), igtl::StatusMessage::STATUS_OK);
    ASSERT_TRUE(c.NextOf("TRANSFORM", r));
}

TEST_F(IgtlServe, StatusWhenFramesCarryABuiltInTestError)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    Client c;
    ASSERT_TRUE(c.Connect(m_port));
    Received r;
    ASSERT_TRUE(c.NextOf("TRANSFORM", r));
    _BIT_STRUCT bit{};
    bit.err[2] = 1; // the frames' BIT code becomes 3
    m_sim->Unit().SetBit(bit);
    ASSERT_TRUE(c.NextOf("STATUS", r));
    auto* st = static_cast<igtl::StatusMessage*>(r.msg.GetPointer());
    EXPECT_EQ(st->GetCode(), igtl::StatusMessage::STATUS_HARDWARE_FAILURE);
    EXPECT_EQ(st->GetSubCode(), 3);
    EXPECT_STREQ(st->GetStatusString(), "tracker built-in test error 3");
    // Poses keep coming meanwhile.
    ASSERT_TRUE(c.NextOf("TRANSFORM", r));
    m_sim->Unit().SetBit(_BIT_STRUCT{});
    ASSERT_TRUE(c.NextOf("STATUS", r));
    EXPECT_EQ(static_cast<igtl::StatusMessage*>(r.msg.GetPointer())->GetCode(), igtl::StatusMessage::STATUS_OK);
}

TEST_F(IgtlServe, StoppingClosesClientsAndHandsTheDeviceBack)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    Client c;
    ASSERT_TRUE(c.Connect(m_port));
    Received r;
    ASSERT_TRUE(c.NextOf("TRANSFORM", r));
    const int port = m_port.load();
    ASSERT_EQ(StopServer(), 0);
    // The last word is a shut-down status, then the connection closes.
    ASSERT_TRUE(c.NextOf("STATUS", r));
    EXPECT_EQ(static_cast<igtl::StatusMessage*>(r.msg.GetPointer())->GetCode(), igtl::StatusMessage::STATUS_SHUT_DOWN);
    EXPECT_FALSE(c.Next(r, 1000));

    const std::string log = Log();
    EXPECT_EQ(log.rfind("listening on port " + std::to_string(port) + "\n", 0), 0u) << log;
    EXPECT_NE(log.find("client 127.0.0.1:"), std::string::npos);
    EXPECT_NE(log.find(" connected\n"), std::string::npos);
    EXPECT_NE(log.find(" left\n"), std::string::npos);

    // The device is still usable, its output stopped and frames go to the
    // queue again.
    int count = 0;
    EXPECT_EQ(sxctx_dev_count(m_ctx, &count), 0);
    EXPECT_EQ(count, 1);
    std::this_thread::sleep_for(100ms);
    ASSERT_EQ(sxctx_dev_resetpnocounters(m_ctx, m_dev), 0);
    std::this_thread::sleep_for(100ms);
    unsigned frames = 99;
    int bytes = 0;
    ASSERT_EQ(sxctx_dev_fifo_unread_count(m_ctx, m_dev, &frames, &bytes), 0);
    EXPECT_EQ(frames, 0u);
    ASSERT_EQ(sxcmd_dev_contpno(m_ctx, m_dev, CMD_ACTION_SET, nullptr, 0), 0);
    std::this_thread::sleep_for(100ms);
    ASSERT_EQ(sxctx_dev_fifo_unread_count(m_ctx, m_dev, &frames, &bytes), 0);
    EXPECT_GT(frames, 0u);
    EXPECT_EQ(sxcmd_dev_contpno(m_ctx, m_dev, CMD_ACTION_RESET, nullptr, 0), 0);
}

TEST_F(IgtlServe, RefusesAPrefixTooLongAndAPortInUse)
{
    sxsim::SimConfig cfg;
    cfg.staticPose = true;
    m_sim = sxsim::SerialSim::Start(cfg);
    ASSERT_TRUE(m_sim);
    setenv("SXSERIO_PORTS", m_sim->SlavePath().c_str(), 1);
    ASSERT_EQ(sxcmdif_init(&m_ctx), 0);
    ASSERT_NO_FATAL_FAILURE(Connect());

    sxigtl::ServeOptions o;
    o.port = 0;
    o.prefix = std::string(19, 'x'); // with "15", 21 characters: too long for a device name
    std::atomic<bool> stop{true};
    EXPECT_EQ(sxigtl::Serve(m_ctx, m_dev, o, stop, nullptr), E_SXERR_INVALID_PARAMS);

    // A port already listened on.
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(s, 1), 0);
    socklen_t len = sizeof addr;
    ASSERT_EQ(::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len), 0);
    sxigtl::ServeOptions busy;
    busy.port = ntohs(addr.sin_port);
    EXPECT_EQ(sxigtl::Serve(m_ctx, m_dev, busy, stop, nullptr), -1);
    ::close(s);
}

} // namespace
