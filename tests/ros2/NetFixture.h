// sxtool ros2 on one machine and subscribers on others: the machines are
// network namespaces the test makes (root; without it the tests skip and
// ros2_net.NamespacesCanBeMade fails, so the stage does).
#pragma once

#include <testsupport/netns/NetLab.h>

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <string>
#include <vector>

namespace ros2test {

using nlohmann::json;
using sxnetlab::Child;
using sxnetlab::NetLab;

constexpr int kStartMs = 20000; // a program's first line, on a loaded machine
constexpr int kStopMs = 20000;  // a program's end after it was asked to stop

constexpr const char* kTfType = "tf2_msgs::msg::dds_::TFMessage_";
constexpr const char* kPoseType = "geometry_msgs::msg::dds_::PoseStamped_";
constexpr const char* kDiagType = "diagnostic_msgs::msg::dds_::DiagnosticArray_";

class Ros2Net : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string why;
        if (!sxnetlab::NamespacesAvailable(why))
            GTEST_SKIP() << "network namespaces cannot be made here (" << why
                         << "): the ROS 2 network tests need root and iproute2";
    }

    void MakeLab(int machines)
    {
        std::string why;
        ASSERT_TRUE(m_lab.Make(machines, why)) << why;
    }

    // sxtool ros2 on machine m, up once it said so.
    void StartPublisher(Child& c, int m, std::vector<std::string> args,
                        const std::map<std::string, std::string>& env = {})
    {
        args.insert(args.begin(), {SXTOOL_PATH, "ros2"});
        ASSERT_TRUE(c.Start(m_lab.Name(m), args, env));
        ASSERT_TRUE(c.WaitForError("publishing on ROS domain", kStartMs)) << c.Err();
    }

    // Our subscriber on machine m, ready once its readers exist.
    void StartSubscriber(Child& c, int m, std::vector<std::string> args)
    {
        args.insert(args.begin(), SUB_PATH);
        ASSERT_TRUE(c.Start(m_lab.Name(m), args));
        ASSERT_TRUE(c.WaitForError("ready", kStartMs)) << c.Err();
    }

    // Asks a publisher to stop as Ctrl-C does; it must end by itself, cleanly.
    static void StopPublisher(Child& c)
    {
        c.Signal(SIGINT);
        EXPECT_EQ(c.Wait(kStopMs), 0) << c.Err();
    }

    // A subscriber's report, once it ended by itself.
    static json Report(Child& c)
    {
        EXPECT_EQ(c.Wait(kStopMs), 0) << c.Err();
        const std::string out = c.Out();
        try {
            return json::parse(out);
        } catch (const json::exception& e) {
            ADD_FAILURE() << "no report: " << e.what() << "\n" << out << c.Err();
            return json::object();
        }
    }

    // Every pose topic and /tf of a namespace held exactly the frames
    // published between the subscriber's first and last /diagnostics, each
    // in order, stamped within 2 s of this clock, with the right frame ids
    // (and the fixed poses of the simulated tracker).
    static void ExpectNothingLost(const json& r, const std::string& ns, int sensors)
    {
        const json& d = r["diagnostics"][ns];
        ASSERT_TRUE(d.value("windowed", false)) << ns << ": no /diagnostics after every reader matched\n" << r.dump();
        const uint64_t published = d["publishedInWindow"];
        EXPECT_GT(published, 0u) << ns;
        std::vector<std::string> streams = {"tf " + ns};
        for (int k = 0; k < sensors; ++k)
            streams.push_back("rt/" + ns + "/sensor" + std::to_string(k) + "/pose");
        for (const std::string& name : streams) {
            ASSERT_TRUE(r["streams"].contains(name)) << name << " never came\n" << r.dump();
            const json& s = r["streams"][name];
            EXPECT_EQ(s.value("inWindow", uint64_t{0}), published) << name;
            EXPECT_EQ(s["disorder"], 0) << name;
            EXPECT_EQ(s["offClock"], 0) << name << " max offset " << s["maxOffsetMs"] << " ms";
            EXPECT_EQ(s["offPose"], 0) << name;
        }
    }

    NetLab m_lab;
};

} // namespace ros2test
