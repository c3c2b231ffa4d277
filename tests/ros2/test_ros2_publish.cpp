// The publisher in this process against the simulated tracker on a
// pseudo-terminal, read by Cyclone DDS readers of this process: names,
// types and QoS as ROS 2 sees them, the samples, /diagnostics, a silent
// tracker. DDS stays inside the process (loopback, no multicast, a domain
// of its own), so that these run anywhere, under the sanitizers too.
#include "StaticPose.h"
#include "testsupport/FileText.h"

#include <ros2/SXros2.h>
#include <simulator/SimTracker.h>

#include <SXCmdIF/SXCmdIF.h>

#include <dds/dds.h>

#include "diagnostic_msgs.h"
#include "geometry_msgs.h"
#include "tf2_msgs.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace ros2test;
using namespace std::chrono_literals;

namespace {

constexpr const char* kIsolated = "<CycloneDDS><Domain><General><Interfaces><NetworkInterface name=\"lo\"/>"
                                  "</Interfaces><AllowMulticast>false</AllowMulticast></General></Domain></CycloneDDS>";
constexpr int64_t kNsPerSec = 1000000000;

int64_t SystemNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

int64_t StampNs(const builtin_interfaces_msg_dds__Time_& t)
{
    return static_cast<int64_t>(t.sec) * kNsPerSec + t.nanosec;
}

class Ros2Publish : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("CYCLONEDDS_URI", kIsolated, 1); }

    // The simulator (fixed poses), connected, in the units given.
    void StartSim(uint32_t posUnits = POS_INCH, uint32_t oriUnits = ORI_EULER_DEGREE, bool accel = false)
    {
        sxsim::SimConfig cfg;
        cfg.sensors = 4;
        cfg.rateHz = 240;
        cfg.staticPose = true;
        cfg.accelRecords = accel;
        std::string err;
        m_sim = sxsim::SerialSim::Start(cfg, &err);
        ASSERT_TRUE(m_sim) << err;
        setenv("SXSERIO_PORTS", m_sim->SlavePath().c_str(), 1);
        ASSERT_EQ(sxcmdif_init(&m_ctx), 0);
        int r = -1;
        for (int i = 0; i < 4 && r != 0; ++i)
            r = sxctx_connectser(m_ctx, m_dev, 1, 0);
        ASSERT_EQ(r, 0);
        ASSERT_EQ(sxdev_timeoutms(m_ctx, m_dev, 0, 1000), 0);
        _UNITS_CONFIG units{posUnits, oriUnits};
        ASSERT_EQ(sxcmd_dev_units(m_ctx, m_dev, CMD_ACTION_SET, &units), 0);
    }

    // Publish on its own thread, with the options given and this test's domain.
    void StartPublisher(sxros2::PublishOptions o = {})
    {
        o.domain = Domain();
        o.stats = &m_stats;
        m_opt = o;
        m_log = std::tmpfile();
        ASSERT_NE(m_log, nullptr);
        m_thread = std::thread([this] { m_result = sxros2::Publish(m_ctx, m_dev, m_opt, m_stop, m_log); });
    }

    int StopPublisher()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        return m_result;
    }

    std::string Log() { return sxtest::FileText(m_log); }

    // A domain of this process's own, so that parallel tests never meet.
    static int Domain() { return 100 + getpid() % 100; }

    dds_entity_t Participant()
    {
        if (m_participant <= 0)
            m_participant = dds_create_participant(Domain(), nullptr, nullptr);
        return m_participant;
    }

    dds_entity_t Reader(const dds_topic_descriptor_t* type, const std::string& topic, bool reliable = true)
    {
        dds_qos_t* q = dds_create_qos();
        dds_qset_reliability(q, reliable ? DDS_RELIABILITY_RELIABLE : DDS_RELIABILITY_BEST_EFFORT, DDS_MSECS(100));
        dds_qset_history(q, DDS_HISTORY_KEEP_LAST, 1000);
        const dds_entity_t t = dds_create_topic(Participant(), type, topic.c_str(), nullptr, nullptr);
        const dds_entity_t r = dds_create_reader(Participant(), t, q, nullptr);
        dds_delete_qos(q);
        EXPECT_GT(r, 0) << topic;
        return r;
    }

    // Hands each sample to each until it returns false; false when ms passed first.
    template <typename T>
    bool Each(dds_entity_t reader, const std::function<bool(const T&)>& each, int ms = 10000)
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        const dds_entity_t ws = dds_create_waitset(Participant());
        dds_waitset_attach(ws, dds_create_readcondition(reader, DDS_ANY_STATE), 0);
        bool more = true;
        while (more && std::chrono::steady_clock::now() < until) {
            dds_waitset_wait(ws, nullptr, 0, DDS_MSECS(50));
            void* samples[64] = {};
            dds_sample_info_t infos[64];
            const int n = dds_take(reader, samples, infos, 64, 64);
            for (int i = 0; i < n && more; ++i)
                if (infos[i].valid_data)
                    more = each(*static_cast<const T*>(samples[i]));
            if (n > 0)
                dds_return_loan(reader, samples, n);
        }
        dds_delete(ws);
        return !more;
    }

    // The writers of our topics as discovery shows them, once count are known.
    struct Writer {
        std::string type;
        bool reliable = false, isVolatile = false, keepLast = false;
        int32_t depth = 0;
    };
    std::map<std::string, Writer> Writers(size_t count)
    {
        std::map<std::string, Writer> found;
        const dds_entity_t r = dds_create_reader(Participant(), DDS_BUILTIN_TOPIC_DCPSPUBLICATION, nullptr, nullptr);
        Each<dds_builtintopic_endpoint_t>(r, [&](const dds_builtintopic_endpoint_t& e) {
            if (std::string(e.topic_name).rfind("rt/", 0) != 0)
                return true;
            dds_reliability_kind_t rel{};
            dds_duration_t blocking = 0;
            dds_durability_kind_t dur{};
            dds_history_kind_t hist{};
            Writer& w = found[e.topic_name];
            w.type = e.type_name;
            w.reliable = dds_qget_reliability(e.qos, &rel, &blocking) && rel == DDS_RELIABILITY_RELIABLE;
            w.isVolatile = dds_qget_durability(e.qos, &dur) && dur == DDS_DURABILITY_VOLATILE;
            w.keepLast = dds_qget_history(e.qos, &hist, &w.depth) && hist == DDS_HISTORY_KEEP_LAST;
            return found.size() < count;
        });
        return found;
    }

    static void ExpectWriter(const Writer& w, const char* type, bool reliable, int32_t depth)
    {
        EXPECT_EQ(w.type, type);
        EXPECT_EQ(w.reliable, reliable) << type;
        EXPECT_TRUE(w.isVolatile) << type;
        EXPECT_TRUE(w.keepLast) << type;
        EXPECT_EQ(w.depth, depth) << type;
    }

    // The next /diagnostics status whose message is message.
    bool Diagnostic(const std::string& message, std::map<std::string, std::string>& values, int& level,
                    std::string* name = nullptr, std::string* hardwareId = nullptr, int ms = 10000)
    {
        if (m_diag <= 0)
            m_diag = Reader(&diagnostic_msgs_msg_dds__DiagnosticArray__desc, "rt/diagnostics");
        return Each<diagnostic_msgs_msg_dds__DiagnosticArray_>(
            m_diag,
            [&](const diagnostic_msgs_msg_dds__DiagnosticArray_& a) {
                if (a.status._length != 1 || message != a.status._buffer[0].message)
                    return true;
                const auto& st = a.status._buffer[0];
                values.clear();
                for (uint32_t i = 0; i < st.values._length; ++i)
                    values[st.values._buffer[i].key] = st.values._buffer[i].value;
                level = st.level;
                if (name)
                    *name = st.name;
                if (hardwareId)
                    *hardwareId = st.hardware_id;
                return false;
            },
            ms);
    }

    void TearDown() override
    {
        StopPublisher();
        if (m_participant > 0)
            dds_delete(m_participant);
        if (m_ctx)
            sxcmdif_release(m_ctx);
        m_sim.reset();
        if (m_log)
            std::fclose(m_log);
    }

    std::unique_ptr<sxsim::SerialSim> m_sim;
    void* m_ctx = nullptr;
    void* m_dev = nullptr;
    sxros2::PublishOptions m_opt;
    sxros2::PublishStats m_stats;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_result{1000};
    std::thread m_thread;
    std::FILE* m_log = nullptr;
    dds_entity_t m_participant = 0;
    dds_entity_t m_diag = 0;
};

TEST_F(Ros2Publish, WritersCarryRos2sTypeNamesAndQos)
{
    ASSERT_NO_FATAL_FAILURE(StartSim());
    ASSERT_NO_FATAL_FAILURE(StartPublisher());
    auto w = Writers(6);
    ASSERT_EQ(w.size(), 6u);
    ExpectWriter(w["rt/tf"], "tf2_msgs::msg::dds_::TFMessage_", true, 100);
    ExpectWriter(w["rt/diagnostics"], "diagnostic_msgs::msg::dds_::DiagnosticArray_", true, 10);
    for (int k = 0; k < 4; ++k)
        ExpectWriter(w["rt/sx/sensor" + std::to_string(k) + "/pose"], "geometry_msgs::msg::dds_::PoseStamped_", true,
                     10);
    EXPECT_EQ(StopPublisher(), 0);
    EXPECT_NE(Log().find("publishing on ROS domain " + std::to_string(Domain()) +
                         ": /tf, /sx/sensor<k>/pose (reliable), /diagnostics\n"),
              std::string::npos)
        << Log();
}

TEST_F(Ros2Publish, BestEffortGivesThePosesRos2sSensorDataProfile)
{
    ASSERT_NO_FATAL_FAILURE(StartSim());
    sxros2::PublishOptions o;
    o.poseQos = sxros2::PoseQos::BestEffort;
    ASSERT_NO_FATAL_FAILURE(StartPublisher(o));
    auto w = Writers(6);
    ASSERT_EQ(w.size(), 6u);
    ExpectWriter(w["rt/tf"], "tf2_msgs::msg::dds_::TFMessage_", true, 100);
    ExpectWriter(w["rt/diagnostics"], "diagnostic_msgs::msg::dds_::DiagnosticArray_", true, 10);
    ExpectWriter(w["rt/sx/sensor2/pose"], "geometry_msgs::msg::dds_::PoseStamped_", false, 5);
    const dds_entity_t poses = Reader(&geometry_msgs_msg_dds__PoseStamped__desc, "rt/sx/sensor2/pose", false);
    int n = 0;
    EXPECT_TRUE(Each<geometry_msgs_msg_dds__PoseStamped_>(poses, [&](const auto&) { return ++n < 20; }));
    EXPECT_EQ(StopPublisher(), 0);
    EXPECT_NE(Log().find("/sx/sensor<k>/pose (best effort)"), std::string::npos) << Log();
}

// Every pose and /tf sample: frame ids, stamps in order near this clock, and
// the simulator's fixed poses in metres, whatever units the tracker sends.
struct UnitsCase {
    const char* name;
    uint32_t posUnits, oriUnits;
    bool accel;
    double tolerance; // acceleration records carry orientation in fixed point
};
void PrintTo(const UnitsCase& c, std::ostream* os)
{
    *os << c.name;
}

class Ros2PublishUnits : public Ros2Publish, public ::testing::WithParamInterface<UnitsCase> {};

TEST_P(Ros2PublishUnits, FramesCarryIdsStampsAndTheFixedPoses)
{
    const UnitsCase& uc = GetParam();
    ASSERT_NO_FATAL_FAILURE(StartSim(uc.posUnits, uc.oriUnits, uc.accel));
    const dds_entity_t tf = Reader(&tf2_msgs_msg_dds__TFMessage__desc, "rt/tf");
    const dds_entity_t pose = Reader(&geometry_msgs_msg_dds__PoseStamped__desc, "rt/sx/sensor3/pose");
    ASSERT_NO_FATAL_FAILURE(StartPublisher());

    auto near = [&](unsigned k, double x, double y, double z, const geometry_msgs_msg_dds__Quaternion_& q) {
        double want[3], r[3][3];
        StaticPose(k, want, r);
        double m[3][3];
        QuaternionMatrix(q.x, q.y, q.z, q.w, m);
        bool ok = std::fabs(x - want[0]) < 1e-6 && std::fabs(y - want[1]) < 1e-6 && std::fabs(z - want[2]) < 1e-6 &&
                  std::fabs(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w - 1) < 1e-9;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                ok = ok && std::fabs(m[i][j] - r[i][j]) < uc.tolerance;
        return ok;
    };
    int64_t last = 0;
    int n = 0;
    EXPECT_TRUE(Each<tf2_msgs_msg_dds__TFMessage_>(tf, [&](const tf2_msgs_msg_dds__TFMessage_& m) {
        EXPECT_EQ(m.transforms._length, 4u);
        for (uint32_t k = 0; k < m.transforms._length && k < 4; ++k) {
            const auto& t = m.transforms._buffer[k];
            EXPECT_STREQ(t.header.frame_id, "sx_source");
            EXPECT_EQ(std::string(t.child_frame_id), "sx_sensor" + std::to_string(k));
            EXPECT_EQ(StampNs(t.header.stamp), StampNs(m.transforms._buffer[0].header.stamp));
            EXPECT_TRUE(near(k, t.transform.translation.x, t.transform.translation.y, t.transform.translation.z,
                             t.transform.rotation))
                << k;
        }
        const int64_t stamp = StampNs(m.transforms._buffer[0].header.stamp);
        EXPECT_GT(stamp, last);
        EXPECT_LT(std::llabs(stamp - SystemNs()), 2 * kNsPerSec);
        last = stamp;
        return ++n < 50;
    }));
    n = 0;
    last = 0;
    EXPECT_TRUE(Each<geometry_msgs_msg_dds__PoseStamped_>(pose, [&](const geometry_msgs_msg_dds__PoseStamped_& m) {
        EXPECT_STREQ(m.header.frame_id, "sx_source");
        EXPECT_TRUE(near(3, m.pose.position.x, m.pose.position.y, m.pose.position.z, m.pose.orientation));
        EXPECT_GT(StampNs(m.header.stamp), last);
        last = StampNs(m.header.stamp);
        return ++n < 50;
    }));
    EXPECT_EQ(StopPublisher(), 0);
}

const UnitsCase kUnitsCases[] = {
    {"InchesAndDegrees", POS_INCH, ORI_EULER_DEGREE, false, 1e-6},
    {"CentimetresAndQuaternions", POS_CM, ORI_QUATERNION, false, 1e-6},
    {"FeetAndRadians", POS_FOOT, ORI_EULER_RADIAN, false, 1e-6},
    {"AccelerationRecords", POS_CM, ORI_QUATERNION, true, 1e-4},
};
INSTANTIATE_TEST_SUITE_P(Units, Ros2PublishUnits, ::testing::ValuesIn(kUnitsCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Ros2Publish, NamespaceRenamesTopicsAndFramesAndRateLimitsThem)
{
    ASSERT_NO_FATAL_FAILURE(StartSim());
    const dds_entity_t pose = Reader(&geometry_msgs_msg_dds__PoseStamped__desc, "rt/lab1/sensor0/pose");
    const dds_entity_t tf = Reader(&tf2_msgs_msg_dds__TFMessage__desc, "rt/tf");
    sxros2::PublishOptions o;
    o.ns = "lab1";
    o.rateHz = 20;
    ASSERT_NO_FATAL_FAILURE(StartPublisher(o));
    int64_t first = 0, last = 0;
    int n = 0;
    EXPECT_TRUE(Each<geometry_msgs_msg_dds__PoseStamped_>(pose, [&](const geometry_msgs_msg_dds__PoseStamped_& m) {
        EXPECT_STREQ(m.header.frame_id, "lab1_source");
        last = StampNs(m.header.stamp);
        if (n == 0)
            first = last;
        return ++n < 21;
    }));
    // 20 intervals of a 240 Hz tracker published at most 20 times a second.
    const double interval = static_cast<double>(last - first) / 20 / 1e9;
    EXPECT_GE(interval, 0.048);
    EXPECT_LE(interval, 0.060);
    EXPECT_TRUE(Each<tf2_msgs_msg_dds__TFMessage_>(tf, [&](const tf2_msgs_msg_dds__TFMessage_& m) {
        EXPECT_STREQ(m.transforms._buffer[0].header.frame_id, "lab1_source");
        EXPECT_STREQ(m.transforms._buffer[1].child_frame_id, "lab1_sensor1");
        return false;
    }));
    EXPECT_EQ(StopPublisher(), 0);
    EXPECT_EQ(m_stats.framesPublished.load() * 10 < m_stats.framesReceived.load(), true);
}

TEST_F(Ros2Publish, DiagnosticsCarryTheTrackersStateAndSayWhenTrackingStops)
{
    ASSERT_NO_FATAL_FAILURE(StartSim());
    sxros2::PublishOptions o;
    o.connection = "simulated tracker";
    ASSERT_NO_FATAL_FAILURE(StartPublisher(o));
    std::map<std::string, std::string> v;
    int level = -1;
    std::string name, hardwareId;
    // The first once-a-second message with frames counted.
    ASSERT_TRUE(Diagnostic("tracking", v, level, &name, &hardwareId));
    if (v["frames received"] == "0") {
        ASSERT_TRUE(Diagnostic("tracking", v, level));
    }
    EXPECT_EQ(level, 0);
    EXPECT_EQ(name, "sx: tracker");
    EXPECT_FALSE(hardwareId.empty());
    std::vector<std::string> keys;
    for (const auto& [k, value] : v)
        keys.push_back(k);
    EXPECT_EQ(keys,
              (std::vector<std::string>{"clock model", "connection", "frame rate (Hz)", "frames lost by the tracker",
                                        "frames overrun", "frames published", "frames received", "identity",
                                        "newest frame stamp", "nominal frame rate (Hz)", "sensors"}));
    EXPECT_EQ(v["connection"], "simulated tracker");
    EXPECT_EQ(v["nominal frame rate (Hz)"], "240");
    EXPECT_NE(v["identity"].find(", serial " + hardwareId + ", firmware "), std::string::npos) << v["identity"];
    EXPECT_EQ(v["sensors"], "0 1 2 3");
    EXPECT_EQ(v["frames lost by the tracker"], "0");
    EXPECT_GT(std::stoull(v["frames received"]), 0u);
    // 240 Hz: a period of 4.17 ms, first the nominal one, then learned.
    EXPECT_EQ(v["clock model"].rfind("frame count fit, period 416", 0), 0u) << v["clock model"];
    EXPECT_NE(v["clock model"].find(", restarts 0, re-anchors 0"), std::string::npos) << v["clock model"];

    m_stop = true;
    ASSERT_TRUE(Diagnostic("tracking stopped", v, level));
    EXPECT_EQ(level, 3);
    EXPECT_EQ(StopPublisher(), 0);
    EXPECT_EQ(v["frames published"], std::to_string(m_stats.framesPublished.load()));
    const std::string summary = "published " + std::to_string(m_stats.framesPublished.load()) + " frames of " +
                                std::to_string(m_stats.framesReceived.load()) +
                                " received (lost by the tracker 0, overrun 0, undecodable 0, refused by DDS 0)\n";
    EXPECT_NE(Log().find(summary), std::string::npos) << Log();
}

TEST_F(Ros2Publish, SilentTrackerIsSaidAndTrackingResumes)
{
    ASSERT_NO_FATAL_FAILURE(StartSim());
    sxros2::PublishOptions o;
    o.staleMs = 300;
    ASSERT_NO_FATAL_FAILURE(StartPublisher(o));
    std::map<std::string, std::string> v;
    int level = -1;
    ASSERT_TRUE(Diagnostic("tracking", v, level));
    m_sim->GoQuiet(true);
    ASSERT_TRUE(Diagnostic("no P&O frames for 300 ms", v, level));
    EXPECT_EQ(level, 2);
    EXPECT_TRUE(m_stats.silent.load());
    m_sim->GoQuiet(false);
    ASSERT_TRUE(Diagnostic("tracking", v, level));
    EXPECT_EQ(level, 0);
    EXPECT_FALSE(m_stats.silent.load());
    EXPECT_EQ(StopPublisher(), 0);
    const std::string log = Log();
    EXPECT_NE(log.find("no P&O frames for 300 ms: the tracker is silent or gone\nP&O frames again after "),
              std::string::npos)
        << log;
}

// How a reconnecting caller uses it: Run gives up on a silent tracker, and
// runs again on the same DDS side when the tracker is back.
TEST_F(Ros2Publish, RunGivesUpOnASilentTrackerAndRunsAgain)
{
    ASSERT_NO_FATAL_FAILURE(StartSim());
    sxros2::PublishOptions o;
    o.domain = Domain();
    o.staleMs = 200;
    o.stats = &m_stats;
    sxros2::Publisher p(o, nullptr);
    ASSERT_EQ(p.Open(), 0);
    std::atomic<int> result{1000};
    std::thread run([&] { result = p.Run(m_ctx, m_dev, m_stop, 500); });
    const auto until = std::chrono::steady_clock::now() + 20s;
    while (m_stats.framesPublished.load() < 10 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(5ms);
    m_sim->GoQuiet(true);
    run.join();
    EXPECT_EQ(result.load(), sxros2::kTrackerSilent);

    m_sim->GoQuiet(false);
    const uint64_t before = m_stats.framesPublished.load();
    result = 1000;
    run = std::thread([&] { result = p.Run(m_ctx, m_dev, m_stop); });
    while (m_stats.framesPublished.load() < before + 10 && result.load() == 1000 &&
           std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(5ms);
    m_stop = true;
    run.join();
    EXPECT_EQ(result.load(), 0);
    EXPECT_GE(m_stats.framesPublished.load(), before + 10);
}

// A hung-up line is said on /diagnostics; with reconnection the publisher
// connects again through the caller's function and publishes from the new
// line on the same writers.
TEST_F(Ros2Publish, ALostLineIsSaidAndAReconnectionPublishesOn)
{
    ASSERT_NO_FATAL_FAILURE(StartSim());
    // The port names a link, pointed at the new line when it comes.
    const std::string link = "/tmp/sxros2-line-" + std::to_string(getpid());
    unlink(link.c_str());
    ASSERT_EQ(symlink(m_sim->SlavePath().c_str(), link.c_str()), 0);
    setenv("SXSERIO_PORTS", link.c_str(), 1);
    std::mutex mtx;
    std::vector<std::string> said;
    sxros2::PublishOptions o;
    o.guard.reconnect = true;
    o.reconnect = [this](void*& dev) {
        if (dev)
            sxctx_dev_release(m_ctx, dev);
        dev = nullptr;
        return sxctx_connectser(m_ctx, dev, 1, 0);
    };
    o.onStreamEvent = [&](const sxframes::StreamEvent& e) {
        std::lock_guard<std::mutex> lock(mtx);
        said.push_back(e.text);
    };
    ASSERT_NO_FATAL_FAILURE(StartPublisher(o));
    std::map<std::string, std::string> v;
    int level = -1;
    ASSERT_TRUE(Diagnostic("tracking", v, level));
    m_sim->CloseLine();
    ASSERT_TRUE(Diagnostic("line lost: the serial line was hung up", v, level));
    EXPECT_EQ(level, 2);
    const uint64_t before = m_stats.framesPublished.load();
    ASSERT_TRUE(m_sim->ReopenLine(false));
    const std::string next = link + ".next";
    ASSERT_EQ(symlink(m_sim->SlavePath().c_str(), next.c_str()), 0);
    ASSERT_EQ(rename(next.c_str(), link.c_str()), 0);
    ASSERT_TRUE(Diagnostic("tracking", v, level));
    EXPECT_EQ(StopPublisher(), 0);
    unlink(link.c_str());
    EXPECT_GT(m_stats.framesPublished.load(), before);
    std::lock_guard<std::mutex> lock(mtx);
    ASSERT_EQ(said.size(), 2u);
    EXPECT_EQ(said[0], "line lost: the serial line was hung up; connecting again every second");
    EXPECT_EQ(said[1].rfind("reconnected after ", 0), 0u) << said[1];
    EXPECT_EQ(Log().find("line lost"), std::string::npos) << Log(); // said to the listener alone
}

TEST_F(Ros2Publish, OpenRefusesWhatIsOutOfRange)
{
    for (auto change : std::vector<std::function<void(sxros2::PublishOptions&)>>{
             [](auto& o) { o.ns = "9lab"; }, [](auto& o) { o.domain = 233; }, [](auto& o) { o.domain = -1; },
             [](auto& o) { o.rateHz = -1; }, [](auto& o) { o.staleMs = 0; }}) {
        sxros2::PublishOptions o;
        o.domain = Domain();
        change(o);
        sxros2::Publisher p(o, nullptr);
        EXPECT_EQ(p.Open(), E_SXERR_INVALID_PARAMS);
    }
    sxros2::PublishOptions o;
    sxros2::Publisher p(o, nullptr);
    EXPECT_EQ(p.Run(nullptr, nullptr, m_stop), sxros2::kDdsFailed);
}

} // namespace
