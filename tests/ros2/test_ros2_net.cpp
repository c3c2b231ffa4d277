// sxtool ros2 read on other machines (network namespaces): by Fast DDS, the
// middleware ROS 2 uses by default, under ROS 2's own QoS rule; two
// trackers under two namespaces on one domain; ten subscribers at once; a
// tracker that disappears mid-stream.
#include "NetFixture.h"
#include "StaticPose.h"

#include <string>

using namespace ros2test;

namespace {

TEST(Ros2NetHost, NamespacesCanBeMade)
{
    std::string why;
    EXPECT_TRUE(sxnetlab::NamespacesAvailable(why)) << "network namespaces cannot be made here (" << why
                                                    << "): the ROS 2 network tests skipped, so this stage fails";
}

// The writers as a ROS 2 reader sees them in discovery: ROS 2's type names
// (Cyclone would match differing names, so they are checked here) and QoS.
void ExpectWriter(const json& r, const std::string& topic, const char* type, bool reliable, int depth)
{
    for (const json& w : r["discovered"]) {
        if (w["topic"] != topic)
            continue;
        EXPECT_EQ(w["type"], type) << topic;
        EXPECT_EQ(w["reliable"], reliable) << topic;
        EXPECT_EQ(w["volatile"], true) << topic;
        EXPECT_EQ(w["keepLast"], true) << topic;
        EXPECT_EQ(w["depth"], depth) << topic;
        return;
    }
    ADD_FAILURE() << "no writer of " << topic << " discovered\n" << r["discovered"].dump();
}

#ifdef FASTSUB_PATH
// A Fast DDS reader's first sample, checked against the fixed poses.
void ExpectStaticTransform(const json& t, unsigned k)
{
    EXPECT_EQ(t["frame_id"], "sx_source");
    const json& v = t.contains("translation") ? t["translation"] : t["position"];
    const double p[3] = {v[0], v[1], v[2]};
    const json& q = t["rotation"];
    EXPECT_TRUE(IsStaticPose(k, p, q[0], q[1], q[2], q[3])) << t.dump();
}

json FastSub(Child& c)
{
    EXPECT_EQ(c.Wait(kStopMs + 20000), 0) << c.Err();
    try {
        return json::parse(c.Out());
    } catch (const json::exception& e) {
        ADD_FAILURE() << "no report: " << e.what() << "\n" << c.Out() << c.Err();
        return json::object();
    }
}

TEST_F(Ros2Net, FastDdsReadsTfAndPosesWithRos2sTypes)
{
    ASSERT_NO_FATAL_FAILURE(MakeLab(2));
    Child pub, fast;
    ASSERT_TRUE(fast.Start(m_lab.Name(1), {FASTSUB_PATH, "0", "rt/sx/sensor2/pose", "200", "20"}));
    ASSERT_NO_FATAL_FAILURE(StartPublisher(pub, 0, {"--sim", "--sim-static"}));
    const json r = FastSub(fast);
    StopPublisher(pub);

    EXPECT_GE(r["tf"]["samples"], 200) << r.dump();
    EXPECT_GE(r["pose"]["samples"], 200) << r.dump();
    EXPECT_EQ(r["pose"]["incompatible"], 0);
    const json& tf = r["tf"]["first"];
    ASSERT_EQ(tf.size(), 4u) << r.dump();
    for (unsigned k = 0; k < 4; ++k) {
        EXPECT_EQ(tf[k]["child_frame_id"], "sx_sensor" + std::to_string(k));
        ExpectStaticTransform(tf[k], k);
    }
    ExpectStaticTransform(r["pose"]["first"], 2);
}

TEST_F(Ros2Net, FastDdsReliableReaderRefusesBestEffortPosesAndTakesTf)
{
    ASSERT_NO_FATAL_FAILURE(MakeLab(2));
    Child pub, fast;
    ASSERT_TRUE(fast.Start(m_lab.Name(1), {FASTSUB_PATH, "0", "rt/sx/sensor0/pose", "200", "20"}));
    ASSERT_NO_FATAL_FAILURE(StartPublisher(pub, 0, {"--sim", "--sim-static", "--qos", "best-effort"}));
    const json r = FastSub(fast);
    StopPublisher(pub);

    EXPECT_GE(r["tf"]["samples"], 200) << r.dump();
    EXPECT_EQ(r["tf"]["matched"], 1);
    // Offered, and refused: a reliable reader never matches a best-effort
    // writer.
    EXPECT_EQ(r["pose"]["samples"], 0) << r.dump();
    EXPECT_EQ(r["pose"]["matched"], 0);
    EXPECT_GE(r["pose"]["incompatible"], 1) << r.dump();
}
#endif

TEST_F(Ros2Net, TwoTrackersUnderTwoNamespacesShareOneDomain)
{
    ASSERT_NO_FATAL_FAILURE(MakeLab(2));
    Child sub, lab1, lab2;
    ASSERT_NO_FATAL_FAILURE(StartSubscriber(
        sub, 1, {"--domain", "7", "--ns", "lab1", "--ns", "lab2", "--sensors", "4", "--static", "--until-stopped"}));
    // One names its domain, the other takes it from ROS_DOMAIN_ID.
    ASSERT_NO_FATAL_FAILURE(StartPublisher(lab1, 0, {"--sim", "--sim-static", "--namespace", "lab1", "--domain", "7"}));
    ASSERT_NO_FATAL_FAILURE(
        StartPublisher(lab2, 0, {"--sim", "--sim-static", "--namespace", "lab2"}, {{"ROS_DOMAIN_ID", "7"}}));
    EXPECT_NE(lab2.Err().find("publishing on ROS domain 7: /tf, /lab2/sensor<k>/pose (reliable), /diagnostics"),
              std::string::npos)
        << lab2.Err();
    EXPECT_TRUE(sub.WaitForError("window lab1 2", kStartMs)) << sub.Err();
    EXPECT_TRUE(sub.WaitForError("window lab2 2", kStartMs)) << sub.Err();
    StopPublisher(lab1);
    StopPublisher(lab2);
    const json r = Report(sub);

    ExpectNothingLost(r, "lab1", 4);
    ExpectNothingLost(r, "lab2", 4);
    for (const char* ns : {"lab1", "lab2"}) {
        ExpectWriter(r, std::string("rt/") + ns + "/sensor3/pose", kPoseType, true, 10);
        EXPECT_EQ(r["diagnostics"][ns]["name"], std::string(ns) + ": tracker");
    }
    ExpectWriter(r, "rt/tf", kTfType, true, 100);
    ExpectWriter(r, "rt/diagnostics", kDiagType, true, 10);
}

TEST_F(Ros2Net, TenSubscribersOnThreeMachinesKeepTheFullRate)
{
    ASSERT_NO_FATAL_FAILURE(MakeLab(4));
    Child subs[10], pub;
    for (int i = 0; i < 10; ++i)
        ASSERT_NO_FATAL_FAILURE(
            StartSubscriber(subs[i], 1 + i % 3, {"--sensors", "4", "--static", "--until-stopped", "--seconds", "60"}));
    // The simulated tracker's own rate (240 Hz): ten subscribers beside
    // the rest of the suite on two cores.
    ASSERT_NO_FATAL_FAILURE(StartPublisher(pub, 0, {"--sim", "--sim-static"}));
    for (Child& s : subs)
        EXPECT_TRUE(s.WaitForError("window sx 3", kStartMs)) << s.Err();
    StopPublisher(pub);
    for (Child& s : subs)
        ExpectNothingLost(Report(s), "sx", 4);
}

TEST_F(Ros2Net, TrackerDisappearingMidStreamIsReportedAndTheTopicsStop)
{
    ASSERT_NO_FATAL_FAILURE(MakeLab(2));
    Child sim, pub, sub;
    ASSERT_TRUE(sim.Start(m_lab.Name(0), {SXSIM_PATH, "--static", "--quiet"}));
    ASSERT_TRUE(sim.WaitForOutput("\n", kStartMs)) << sim.Err();
    const std::string line = sim.Out().substr(0, sim.Out().find('\n'));
    ASSERT_NO_FATAL_FAILURE(StartSubscriber(sub, 1, {"--sensors", "4", "--static", "--until-stopped"}));
    ASSERT_NO_FATAL_FAILURE(StartPublisher(pub, 0, {"--serial", "1"}, {{"SXSERIO_PORTS", line}}));
    ASSERT_TRUE(sub.WaitForError("window sx 1", kStartMs)) << sub.Err();

    sim.Signal(SIGKILL);
    EXPECT_TRUE(pub.WaitForError("sxtool: line lost: the serial line was hung up\n", kStartMs)) << pub.Err();
    pub.Signal(SIGINT);
    EXPECT_EQ(pub.Wait(kStopMs), 3) << pub.Err(); // the line was not regained
    const json r = Report(sub);

    const json& d = r["diagnostics"]["sx"];
    const json messages = {"tracking", "line lost: the serial line was hung up", "tracking stopped"};
    const json levels = {0, 2, 3};
    ASSERT_GE(d["messages"].size(), 3u) << d.dump();
    EXPECT_EQ(json(std::vector<json>(d["messages"].end() - 3, d["messages"].end())), messages) << d.dump();
    EXPECT_EQ(json(std::vector<json>(d["levels"].end() - 3, d["levels"].end())), levels) << d.dump();
    EXPECT_EQ(d["values"]["connection"], "serial port 1");
    for (const char* topic : {"tf sx", "rt/sx/sensor0/pose", "rt/sx/sensor3/pose"}) {
        EXPECT_GT(r["streams"][topic]["samples"], 0) << topic;
        EXPECT_EQ(r["streams"][topic]["afterSilent"], 0) << topic;
    }
}

} // namespace
