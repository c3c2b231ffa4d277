// No stall unnoticed: sxtool against a simulated tracker that falls silent,
// hangs up its line, and comes back on a new line where a link points.
#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <regex>

using namespace tooltest;

namespace {

bool Says(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// The frame counts of a CSV report (the third column), rows in order.
std::vector<unsigned long> FrameCounts(const std::string& csv)
{
    std::vector<unsigned long> counts;
    for (const std::string& line : Lines(csv)) {
        const std::vector<std::string> cells = Split(line, ',');
        const size_t digit = cells.size() > 2 ? cells[2].find_first_not_of(' ') : std::string::npos;
        if (digit != std::string::npos && std::isdigit(static_cast<unsigned char>(cells[2][digit])))
            counts.push_back(std::stoul(cells[2].substr(digit)));
    }
    return counts;
}

// The one gap in the frame counts: the counts before and after it.
std::pair<unsigned long, unsigned long> OnlyGap(const std::vector<unsigned long>& counts)
{
    std::pair<unsigned long, unsigned long> gap{0, 0};
    int gaps = 0;
    for (size_t i = 1; i < counts.size(); ++i)
        if (counts[i] != counts[i - 1] + 1) {
            gap = {counts[i - 1], counts[i]};
            ++gaps;
        }
    EXPECT_EQ(gaps, 1);
    return gap;
}

// What a run that lost its serial line once and found it again says; the
// frames missed, as both the reconnection and the counts (after counted)
// name them (empty when not said).
std::string SaysOneReconnection(const std::string& err, const std::string& counted)
{
    EXPECT_TRUE(Says(err, "\nsxtool: warning: line lost: the serial line was hung up; connecting again every second\n"))
        << err;
    std::smatch m;
    if (!std::regex_search(err, m,
                           std::regex("\nsxtool: warning: reconnected after [0-9]+\\.[0-9] s without frames; "
                                      "([0-9]+) frames missed\n"))) {
        ADD_FAILURE() << err;
        return std::string();
    }
    const std::string missed = m[1];
    EXPECT_TRUE(Says(err, counted + "stalls 0, lines lost 1, reconnections 1, frames missed " + missed + "\n")) << err;
    return missed;
}

// A port nobody listens on now: bound to 0 and read back.
int FreePort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0)
        return 0;
    close(fd);
    return ntohs(a.sin_port);
}

} // namespace

TEST(Stall, SilenceIsAWarningCountedInTheSummaryAndARunEndingInItExits7)
{
    SimProcess sim({"--quiet-after", "0.8"});
    ASSERT_TRUE(sim.Started());
    const std::string out = TempPath("stall.csv");
    const RunResult r = Tool({"stream", "--serial", "1", "--seconds", "2.2", "--format", "csv", "--out", out},
                             {{"SXSERIO_PORTS", sim.Path()}});
    EXPECT_EQ(r.exitCode, 7) << r.err;
    EXPECT_TRUE(Says(r.err, "\nsxtool: warning: no frame for 1.0 s\n")) << r.err;
    EXPECT_TRUE(Says(r.err, "; stalls 1, lines lost 0, reconnections 0, frames missed 0\n")) << r.err;
    EXPECT_FALSE(Says(r.err, "line lost")) << r.err;
}

TEST(Stall, AHungUpLineEndsTheStreamWithAnErrorAndExit3)
{
    SimProcess sim({"--close-after", "0.8"});
    ASSERT_TRUE(sim.Started());
    const std::string out = TempPath("hungup.csv");
    const RunResult r =
        Tool({"stream", "--serial", "1", "--format", "csv", "--out", out}, {{"SXSERIO_PORTS", sim.Path()}});
    EXPECT_EQ(r.exitCode, 3) << r.err;
    EXPECT_TRUE(Says(r.err, "\nsxtool: line lost: the serial line was hung up\n")) << r.err;
    EXPECT_FALSE(Says(r.err, "stopping continuous P&O")) << r.err; // nothing sent on a lost line
    // Every frame taken before the loss was written, and counted.
    const size_t frames = FrameCounts(ReadFile(out)).size();
    EXPECT_GT(frames, 0u);
    EXPECT_TRUE(Says(r.err, "\n" + std::to_string(frames) + " frames, ")) << r.err;
    EXPECT_TRUE(Says(r.err, "; stalls 0, lines lost 1, reconnections 0, frames missed 0\n")) << r.err;
}

TEST(Stall, ReconnectFindsTheLineAgainAndTheRecordingMarksTheGap)
{
    const std::string link = TempPath("sxsim-line");
    SimProcess sim({"--link", link, "--close-after", "0.8", "--reopen-after", "0.4"});
    ASSERT_TRUE(sim.Started());
    ASSERT_EQ(sim.Path(), link);
    const std::string rec = TempPath("reconnect.sxr");
    const RunResult r =
        Tool({"record", rec, "--serial", "1", "--seconds", "2.6", "--reconnect"}, {{"SXSERIO_PORTS", link}});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string missed = SaysOneReconnection(r.err, "; ");
    ASSERT_FALSE(missed.empty());
    std::smatch m;

    // convert says where the gap is and goes on: the frame counts jump by
    // the frames missed, the tracker's count having gone on meanwhile.
    const RunResult c = Tool({"convert", rec, "--format", "csv"});
    EXPECT_EQ(c.exitCode, 0) << c.err;
    ASSERT_TRUE(std::regex_search(c.err, m,
                                  std::regex("^sxtool: " + rec +
                                             ": gap at byte offset [0-9]+: the serial line was hung up; "
                                             "[0-9]+\\.[0-9] s without frames, " +
                                             missed + " frames missed\n$")))
        << c.err;
    const std::pair<unsigned long, unsigned long> gap = OnlyGap(FrameCounts(c.out));
    EXPECT_EQ(gap.second - gap.first - 1, std::stoul(missed));
}

#ifdef SXTOOL_HAS_SERVE
TEST(Stall, ServeSaysALostLineAndExits3WhenStopped)
{
    SimProcess sim({"--close-after", "0.8"});
    ASSERT_TRUE(sim.Started());
    setenv("SXSERIO_PORTS", sim.Path().c_str(), 1);
    // Stopped (as by Ctrl-C) once it said the line was lost.
    const std::string said = TempPath("stderr");
    const RunResult r = RunAndInterrupt(
        kTool, {"serve", "--serial", "1", "--port", std::to_string(FreePort())},
        [&](const std::string&) { return Says(ReadFile(said), "line lost"); }, 10000);
    unsetenv("SXSERIO_PORTS");
    EXPECT_EQ(r.exitCode, 3) << r.err;
    EXPECT_TRUE(Says(r.err, "sxtool: line lost: the serial line was hung up\n")) << r.err;
    EXPECT_TRUE(Says(r.err, "sxtool: stalls 0, lines lost 1, reconnections 0, frames missed 0\n")) << r.err;
}
#endif

#ifdef SXTOOL_HAS_ROS2
// sxtool ros2 on loopback only, in a domain of this process's own: nobody
// subscribes, the stream's watch is what is looked at.
class Ros2Stall : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("CYCLONEDDS_URI",
               "<CycloneDDS><Domain><General><Interfaces><NetworkInterface name=\"lo\"/></Interfaces>"
               "<AllowMulticast>false</AllowMulticast></General></Domain></CycloneDDS>",
               1);
    }
    void TearDown() override
    {
        unsetenv("CYCLONEDDS_URI");
        unsetenv("SXSERIO_PORTS");
    }
    // Publishes from the line until stderr says said, then stops as Ctrl-C does.
    static RunResult PublishUntil(const std::string& line, const std::vector<std::string>& more,
                                  const std::string& said)
    {
        setenv("SXSERIO_PORTS", line.c_str(), 1);
        std::vector<std::string> args = {"ros2", "--serial", "1", "--domain", std::to_string(200 + getpid() % 30)};
        args.insert(args.end(), more.begin(), more.end());
        const std::string err = TempPath("stderr");
        return RunAndInterrupt(
            kTool, args, [&](const std::string&) { return Says(ReadFile(err), said); }, 15000);
    }
};

TEST_F(Ros2Stall, ALostLineIsAnErrorAndTheRunExits3)
{
    SimProcess sim({"--close-after", "0.8"});
    ASSERT_TRUE(sim.Started());
    const RunResult r = PublishUntil(sim.Path(), {}, "line lost");
    EXPECT_EQ(r.exitCode, 3) << r.err;
    EXPECT_TRUE(Says(r.err, "\nsxtool: line lost: the serial line was hung up\n")) << r.err;
    EXPECT_TRUE(Says(r.err, "\nsxtool: stalls 0, lines lost 1, reconnections 0, frames missed 0\n")) << r.err;
    EXPECT_FALSE(Says(r.err, "no P&O frames")) << r.err; // said once, by the watch
}

TEST_F(Ros2Stall, ReconnectPublishesFromTheNewLine)
{
    const std::string link = TempPath("sxsim-ros2-line");
    SimProcess sim({"--link", link, "--close-after", "0.8", "--reopen-after", "0.4"});
    ASSERT_TRUE(sim.Started());
    const RunResult r = PublishUntil(link, {"--reconnect"}, "reconnected after");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const std::string missed = SaysOneReconnection(r.err, "\nsxtool: ");
    ASSERT_FALSE(missed.empty());
    EXPECT_GT(std::stoul(missed), 0u);
    std::smatch m;
    // Every frame of both lines published; the tracker's count went on, so
    // the gap's frames are the ones it lost.
    ASSERT_TRUE(
        std::regex_search(r.err, m,
                          std::regex("\npublished ([0-9]+) frames of ([0-9]+) received \\(lost by the tracker " +
                                     missed + ", overrun 0, undecodable 0, refused by DDS 0\\)\n")))
        << r.err;
    EXPECT_EQ(m[1], m[2]);
}
#endif
