// sxtool as a user runs it: the built program as a subprocess, against the
// simulated tracker (its own --sim, or an sxsim process on a serial line).
#include "ToolRunner.h"

#include <recording/RecordingReader.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <unistd.h>

using namespace tooltest;

namespace {

// Every frame of a recording, as read.
std::vector<std::string> Frames(const std::string& path)
{
    sxrec::RecordingReader reader;
    std::vector<std::string> frames;
    if (!reader.OpenFile(path))
        return frames;
    auto f = std::make_unique<sxrec::RecordedFrame>();
    while (reader.Next(*f) == sxrec::ReadResult::Frame)
        frames.emplace_back(reinterpret_cast<const char*>(f->bytes), f->length);
    return frames;
}

// A tracker that keeps its state between sxtool runs.
class ToolOnSerial : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_sim.Started()); }
    RunResult Cmd(std::vector<std::string> args)
    {
        args.push_back("--serial");
        args.push_back("1");
        return Tool(args, {{"SXSERIO_PORTS", m_sim.Path()}});
    }
    SimProcess m_sim{{"--sensors", "4"}};
};

} // namespace

TEST(Tool, StreamCsvParsesBack)
{
    const RunResult r = Tool({"stream", "--sim", "--frames", "100", "--format", "csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 101u) << r.out;
    const std::vector<std::string> header = Split(lines[0], ',');
    EXPECT_EQ(header[0], "SEU");
    EXPECT_EQ(header[2], " Frame");
    long last = -1;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> cols = Split(lines[i], ',');
        ASSERT_EQ(cols.size(), header.size()) << lines[i];
        const long frame = std::strtol(cols[2].c_str(), nullptr, 10);
        EXPECT_GT(frame, last) << lines[i];
        last = frame;
    }
    EXPECT_NE(r.err.find(
                  "100 frames, lost by the tracker 0, dropped for a bad CRC 0, by the queue 0; frame interval median "),
              std::string::npos)
        << r.err;
}

TEST(Tool, StreamThroughTheCallbackIntoAFile)
{
    const std::string out = TempPath("callback.csv");
    const RunResult r = Tool(
        {"stream", "--sim", "--sim-sensors", "2", "--frames", "50", "--format", "csvenh", "--callback", "--out", out});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.out.empty());
    const std::vector<std::string> lines = Lines(ReadFile(out));
    ASSERT_EQ(lines.size(), 51u);
    EXPECT_EQ(lines[0].rfind("SEU, FrErr, Frame, Sensor0, btn0_0", 0), 0u) << lines[0];
    EXPECT_NE(r.err.find("frames 50"), std::string::npos) << r.err; // the status line
    std::remove(out.c_str());
}

TEST(Tool, LineFormatHasAHeaderAndOneLinePerSensor)
{
    const RunResult r = Tool({"stream", "--sim", "--sim-sensors", "3", "--frames", "10", "--format", "line"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 31u);
    EXPECT_EQ(lines[0].rfind("SEU Sns  FrameNum  bb  ", 0), 0u) << lines[0];
}

TEST(Tool, InfoShowsTheUnit)
{
    const RunResult r = Tool({"info", "--sim"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const char* part : {"DEVICE:", "WHOAMI_STRUCT:", "STATION_MAP:", "sensor_map: 0x0f",
                             "BIT_STRUCT:", "UNITS_CONFIG:", "FRAMERATE_CONFIG:", "effective frame rate: 240 Hz"})
        EXPECT_NE(r.out.find(part), std::string::npos) << part << "\n" << r.out;
}

TEST(Tool, SingleAndBlock)
{
    RunResult r = Tool({"single", "--sim", "--format", "csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Lines(r.out).size(), 2u) << r.out;
    r = Tool({"block", "--sim", "--sim-sensors", "2"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.rfind("BLOCK_CONFIG:\n", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("FILTER_TRGT_POS"), std::string::npos);
}

TEST_F(ToolOnSerial, SetThenGetRoundTrips)
{
    const std::vector<std::vector<std::string>> cases = {
        {"units", "cm", "quat"},
        {"framerate", "120"},
        {"filter", "custom", "0.1", "0.2", "0.3", "0.4", "--sensor", "1", "--target", "ori"},
        {"hemisphere", "neg_z", "auto", "--sensor", "2"},
        {"tipoffset", "-1.5", "2", "3.25", "--sensor", "3"},
        {"increment", "on", "0.5", "1", "--sensor", "1"},
        {"srcselect", "1", "--sensor", "1"},
        {"sourcecfg", "12000", "1", "2", "3", "1", "0", "0", "0", "pos_z", "--source", "0"},
        {"sync", "on"},
        {"dualoutput", "on"},
        {"oor", "on"},
        {"stylus", "point"},
        {"selfcal", "on", "fast"},
        {"predfilter", "on", "off", "35", "--sensor", "1"},
        {"virtual", "3", "--sensor", "1"},
        {"fttmode", "2", "--sensor", "1"},
        {"origin", "common", "--sensor", "1"},
        {"boresight", "1", "0", "0", "0"}, // quaternion units are in force by now
    };
    for (const auto& c : cases) {
        std::vector<std::string> set = {"set"};
        set.insert(set.end(), c.begin(), c.end());
        const RunResult s = Cmd(set);
        ASSERT_EQ(s.exitCode, 0) << c[0] << ": " << s.err;
        std::vector<std::string> get = {"get", c[0]};
        for (size_t i = 0; i < c.size(); ++i)
            if (c[i].rfind("--", 0) == 0) {
                get.push_back(c[i]);
                get.push_back(c[i + 1]);
            }
        const RunResult g = Cmd(get);
        ASSERT_EQ(g.exitCode, 0) << c[0] << ": " << g.err;
        EXPECT_EQ(g.out, s.out) << c[0];
    }
    const RunResult reset = Cmd({"reset", "units"});
    ASSERT_EQ(reset.exitCode, 0) << reset.err;
    EXPECT_NE(reset.out.find("pos_units: POS_INCH"), std::string::npos) << reset.out;
    EXPECT_EQ(Cmd({"persist"}).exitCode, 0);
}

TEST(Tool, RecordReplayAndConvertKeepEveryByte)
{
    const std::string first = TempPath("first.sxr"), second = TempPath("second.sxr");
    RunResult r = Tool({"record", first, "--sim", "--frames", "120"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<std::string> recorded = Frames(first);
    ASSERT_EQ(recorded.size(), 120u);
    {
        SimProcess replay({"--replay", first, "--speed", "4"});
        ASSERT_TRUE(replay.Started());
        r = Tool({"info", "--serial", "1"}, {{"SXSERIO_PORTS", replay.Path()}});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_NE(r.out.find("SIM-SEU-00000001"), std::string::npos); // the recorded identity
        r = Tool({"record", second, "--serial", "1", "--frames", "120"}, {{"SXSERIO_PORTS", replay.Path()}});
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    const std::vector<std::string> replayed = Frames(second);
    ASSERT_EQ(replayed.size(), recorded.size());
    for (size_t i = 0; i < recorded.size(); ++i)
        ASSERT_EQ(replayed[i], recorded[i]) << "frame " << i;
    const RunResult a = Tool({"convert", first, "--format", "csv"});
    const RunResult b = Tool({"convert", second, "--format", "csv"});
    ASSERT_EQ(a.exitCode, 0) << a.err;
    EXPECT_EQ(Lines(a.out).size(), 121u);
    EXPECT_EQ(a.out, b.out);
    std::remove(first.c_str());
    std::remove(second.c_str());
}

TEST(Tool, CorruptRecordingNamesTheOffsetAfterTheWholeFrames)
{
    const std::string path = TempPath("whole.sxr"), cut = TempPath("cut.sxr"), bad = TempPath("bad.sxr");
    ASSERT_EQ(Tool({"record", path, "--sim", "--sim-sensors", "2", "--frames", "10"}).exitCode, 0);
    const std::string bytes = ReadFile(path);
    // Header 256 bytes; each record 24 + 92 bytes (two sensors); the
    // trailer 24 bytes.
    const size_t record = 24 + 28 + 2 * 32;
    ASSERT_EQ(bytes.size(), 256 + 10 * record + 24);
    const size_t sixth = 256 + 6 * record;

    WriteFile(cut, bytes.substr(0, sixth + 50));
    RunResult r = Tool({"convert", cut, "--format", "csv"});
    EXPECT_EQ(r.exitCode, 5);
    EXPECT_EQ(Lines(r.out).size(), 7u) << r.out; // header and six frames
    EXPECT_NE(r.err.find("corrupt recording at byte offset " + std::to_string(sixth) + ": truncated frame"),
              std::string::npos)
        << r.err;

    std::string flipped = bytes;
    flipped[sixth + 6] = '\x7f'; // an impossible frame length
    WriteFile(bad, flipped);
    r = Tool({"convert", bad, "--format", "line"});
    EXPECT_EQ(r.exitCode, 5);
    EXPECT_EQ(Lines(r.out).size(), 1u + 6 * 2) << r.out;
    EXPECT_NE(r.err.find("corrupt recording at byte offset " + std::to_string(sixth) + ": frame length"),
              std::string::npos)
        << r.err;
    for (const std::string& p : {path, cut, bad})
        std::remove(p.c_str());
}

TEST(Tool, ConvertChecksEachFramesCrcAndTheTrailer)
{
    const std::string path = TempPath("crc.sxr"), bad = TempPath("flipped.sxr"), cut = TempPath("cut.sxr");
    ASSERT_EQ(Tool({"record", path, "--sim", "--sim-sensors", "2", "--frames", "10"}).exitCode, 0);
    const std::string bytes = ReadFile(path);
    const size_t record = 24 + 28 + 2 * 32;
    const size_t seventh = 256 + 6 * record, eighth = seventh + record;
    // A bit flipped in a position of frame 7; frame 8 marked by the library
    // as one it passed on with a CRC error (hpinfo bit 9): its CRC fails
    // too, as recorded.
    std::string flipped = bytes;
    flipped[seventh + 24 + 28] ^= 0x04;
    flipped[eighth + 24 + 17] |= 0x02;
    WriteFile(bad, flipped);
    RunResult r = Tool({"convert", bad, "--format", "csv"});
    EXPECT_EQ(r.exitCode, 5);
    EXPECT_EQ(Lines(r.out).size(), 7u) << r.out; // header and six frames
    EXPECT_NE(r.err.find("sxtool: " + bad + ": corrupt recording at byte offset " + std::to_string(seventh) +
                         ": frame 7 fails its CRC\n"),
              std::string::npos)
        << r.err;
    r = Tool({"convert", bad, "--format", "csv", "--skip-bad"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Lines(r.out).size(), 10u) << r.out; // the marked frame among them
    // Recorded from --sim: convert says so first.
    EXPECT_EQ(r.err, "sxtool: " + bad + ": recorded from the simulated tracker\nsxtool: " + bad +
                         ": frames skipped for a failed CRC: 1\n");

    // Cut at a frame boundary: what is there is converted, and the missing
    // trailer is named.
    WriteFile(cut, bytes.substr(0, seventh));
    r = Tool({"convert", cut, "--format", "csv"});
    EXPECT_EQ(r.exitCode, 5);
    EXPECT_EQ(Lines(r.out).size(), 7u) << r.out;
    EXPECT_EQ(r.err, "sxtool: " + cut + ": recorded from the simulated tracker\nsxtool: " + cut +
                         ": ends without its trailer after 6 frames: cut short?\n");
    for (const std::string& p : {path, bad, cut})
        std::remove(p.c_str());
}

TEST(Tool, ConvertReadErrorsExitWithFourAndTheSystemsReason)
{
    RunResult r = Tool({"convert", "/tmp"});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.err, "sxtool: /tmp: cannot read: Is a directory\n");
    // Address 0 of the process's own memory cannot be read.
    r = Tool({"convert", "/proc/self/mem"});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.err, "sxtool: /proc/self/mem: cannot read: Input/output error\n");
}

TEST(Tool, BadArgumentsExitWithTwoAndAUsageLine)
{
    const std::vector<std::vector<std::string>> bad = {
        {"frobnicate"},
        {"get"},
        {"get", "nonsense", "--sim"},
        {"stream", "--sim", "--frames", "1", "--seconds", "1"},
        {"stream", "--sim", "--format", "xml"},
        {"info", "--usb", "--sim"},
    };
    for (const auto& args : bad) {
        const RunResult r = Tool(args);
        EXPECT_EQ(r.exitCode, 2) << args[0];
        EXPECT_NE(r.err.find("usage: sxtool COMMAND [OPTIONS]"), std::string::npos) << r.err;
    }
    RunResult r = Tool({"set", "units", "parsec", "deg", "--sim"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("unknown position units 'parsec'"), std::string::npos) << r.err;
    r = Tool({"set", "stationmap", "1", "--sim"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("stationmap cannot be set"), std::string::npos) << r.err;
}

TEST(Tool, MissingTrackerAndFilesHaveTheirExitCodes)
{
    RunResult r = Tool({"info", "--serial", "1"}, {{"SXSERIO_PORTS", "/nonexistent/tty"}});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_NE(r.err.find("cannot connect to the tracker: "), std::string::npos) << r.err;
    r = Tool({"convert", "/nonexistent/recording.sxr"});
    EXPECT_EQ(r.exitCode, 4);
    r = Tool({"stream", "--sim", "--frames", "1", "--out", "/nonexistent/dir/out.csv"});
    EXPECT_EQ(r.exitCode, 4);
}

TEST(Tool, HelpForEveryCommand)
{
    for (const char* cmd :
         {"list", "info", "get", "set", "reset", "block", "persist", "single", "stream", "record", "convert"}) {
        const RunResult r = Tool({cmd, "--help"});
        EXPECT_EQ(r.exitCode, 0) << cmd;
        EXPECT_NE(r.out.find("Usage:"), std::string::npos) << cmd;
    }
    const RunResult r = Tool({"set", "--help"});
    EXPECT_NE(r.out.find("units: POS ORI"), std::string::npos) << r.out;
}

TEST(Tool, ListShowsTheSerialPorts)
{
    const RunResult r = Tool({"list"}, {{"SXSERIO_PORTS", "/dev/null"}});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("USB trackers:"), std::string::npos);
    EXPECT_NE(r.out.find("  port 1  /dev/null"), std::string::npos) << r.out;
}

TEST(Tool, CtrlCStopsAStreamCleanlyWithItsRecordingComplete)
{
    const std::string rec = TempPath("interrupted.sxr");
    const RunResult r = RunAndInterrupt(
        kTool, {"stream", "--sim", "--format", "csv", "--record", rec},
        [](const std::string& out) { return Lines(out).size() > 30; }, 20000);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_FALSE(r.out.empty());
    EXPECT_EQ(r.out.back(), '\n'); // no row cut short
    EXPECT_NE(r.err.find(", lost by the tracker 0, dropped for a bad CRC 0, by the queue 0"), std::string::npos)
        << r.err;
    // Every frame printed is in the recording, and the recording is whole.
    const RunResult c = Tool({"convert", rec, "--format", "csv"});
    ASSERT_EQ(c.exitCode, 0) << c.err;
    EXPECT_EQ(c.out, r.out);
    std::remove(rec.c_str());
}

TEST(Tool, ServeRunsUntilCtrlC)
{
    if (Tool({"serve", "--help"}).out.find("Not in this build") != std::string::npos)
        GTEST_SKIP() << "built without SXigtl";
    const std::string port = std::to_string(20000 + getpid() % 20000);
    const RunResult r = RunAndInterrupt(
        kTool, {"serve", "--sim", "--port", port, "--bind", "127.0.0.1", "--max-clients", "4"},
        [](const std::string& out) { return out.find("listening on port") != std::string::npos; }, 20000);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("listening on port " + port), std::string::npos) << r.out;
    // An address is an IPv4 address; a client limit at least one.
    EXPECT_EQ(Tool({"serve", "--sim", "--bind", "localhost"}).exitCode, 2);
    EXPECT_EQ(Tool({"serve", "--sim", "--max-clients", "0"}).exitCode, 2);
}
