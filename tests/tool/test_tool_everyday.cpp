// sxtool and sxsim in everyday use, as a user runs them: a quiet library,
// Unix line endings, checked input with messages that name what is
// accepted, versions, JSON parsed back, time stamps, picked sensors, the
// counts of a stream, and sxsim's status line.
#include "ToolRunner.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <map>
#include <regex>

using namespace tooltest;
using nlohmann::json;

namespace {

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// A simulated tracker on a serial line that keeps its state between runs.
class OnSerial : public ::testing::Test {
protected:
    RunResult Cmd(std::vector<std::string> args)
    {
        args.insert(args.end(), {"--serial", "1"});
        return Tool(args, {{"SXSERIO_PORTS", m_sim->Path()}});
    }
    void Start(const std::vector<std::string>& args)
    {
        m_sim = std::make_unique<SimProcess>(args);
        ASSERT_TRUE(m_sim->Started());
    }
    std::unique_ptr<SimProcess> m_sim;
};

} // namespace

TEST(Everyday, TraceLinesGoToStandardErrorAndOnlyWhenAsked)
{
    RunResult r = Tool({"get", "units", "--sim"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_FALSE(Has(r.out + r.err, "CSXserIO::SetTrace")) << r.out << r.err;
    r = Tool({"--trace", "1", "get", "units", "--sim"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Has(r.err, "CSXserIO::SetTrace : btrace=true , ilev = 3\n")) << r.err;
    EXPECT_EQ(r.out.rfind("UNITS_CONFIG:\n", 0), 0u) << r.out;
}

TEST(Everyday, LinesEndInNewlineAndInTheLibrarysEndingWithCrlf)
{
    RunResult r = Tool({"get", "units", "--sim"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "UNITS_CONFIG:\n   pos_units: POS_INCH\n   ori_units: ORI_EULER_DEGREE\n");
    r = Tool({"--crlf", "get", "units", "--sim"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "UNITS_CONFIG:\r\n   pos_units: POS_INCH\r\n   ori_units: ORI_EULER_DEGREE\r\n");
    r = Tool({"stream", "--sim", "--frames", "3", "--format", "csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_FALSE(Has(r.out, "\r")) << r.out;
}

TEST(Everyday, BadInputExitsWithTwoAndNamesWhatIsAccepted)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{},
         "sxtool: no command given: the commands are help, list, info, get, set, reset, block, persist, single, "
         "stream, record, convert"},
        {{"frobnicate"}, "sxtool: unknown command 'frobnicate': the commands are help, list, info,"},
        {{"set", "tipoffset", "nan", "inf", "0", "--sim"},
         "sxtool: set tipoffset: 'nan' is not a finite number; expected X Y Z\n"},
        {{"set", "sourcecfg", "12000", "1", "2", "3", "1", "0", "0", "0", "pos_z", "--sim"},
         "sxtool: set sourcecfg: expected FREQ X Y Z AZ EL RO HEMISPHERE (Euler units in force)\n"},
        {{"set", "boresight", "1", "0", "0", "0", "--sim"},
         "sxtool: set boresight: expected AZ EL RO (Euler units in force)\n"},
        {{"set", "framerate", "100", "--sim"},
         "sxtool: set framerate: the tracker has no frame rate of 100 Hz: it has 30, 60, 120, 240, 480 or 960 Hz"},
        {{"get", "tipoffset", "--sensor", "16", "--sim"},
         "sxtool: --sensor: sensor 16 does not exist: sensors are numbered 0 to 15\n"},
        {{"get", "sourcecfg", "--source", "4", "--sim"},
         "sxtool: --source: source 4 does not exist: sources are numbered 0 to 3\n"},
        {{"get", "units", "--sensor", "1", "--sim"}, "sxtool: units does not address a sensor: it takes no --sensor\n"},
        {{"stream", "--sim", "--frames", "0"},
         "sxtool: --frames: '0' is not a number of frames: give a whole number of 1 or more\n"},
        {{"stream", "--sim", "--seconds", "-1"},
         "sxtool: --seconds: '-1' is not a number of seconds: give a number greater than 0, such as 2.5\n"},
        {{"stream", "--sim", "--sensors", "0,16"},
         "sxtool: --sensors: sensor 16 does not exist: sensors are numbered 0 to 15\n"},
        {{"stream", "--sim", "--format", "xml"},
         "sxtool: --format: unknown format 'xml': the formats are text, line, csv, csvenh, jsonl\n"},
        {{"get", "nonsense", "--sim"}, "sxtool: ITEM: unknown item 'nonsense': the items are units, framerate,"},
    };
    for (const auto& [args, message] : cases) {
        const RunResult r = Tool(args);
        EXPECT_EQ(r.exitCode, 2) << message;
        EXPECT_EQ(r.err.find(message), 0u) << r.err;
    }
}

TEST_F(OnSerial, ARefusedValueIsNotSent)
{
    Start({});
    ASSERT_EQ(Cmd({"set", "tipoffset", "1", "2", "3", "--sensor", "2"}).exitCode, 0);
    EXPECT_EQ(Cmd({"set", "tipoffset", "4", "inf", "6", "--sensor", "2"}).exitCode, 2);
    const RunResult r = Cmd({"get", "tipoffset", "--sensor", "2", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(json::parse(r.out), json::parse(R"({"x": 1.0, "y": 2.0, "z": 3.0})"));
}

TEST_F(OnSerial, AnErrorSaysWhatItMeansAndWhatToTry)
{
    Start({"--nak-all", "--fault-cmd", "2"}); // NAKs the tip offset only
    const RunResult r = Cmd({"set", "tipoffset", "1", "2", "3"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err,
              "sxtool: ACTION_SET tipoffset failed: E_SXERR_NAK_RESP: the tracker refused the command or its value; "
              "check the value's range and the units in force (sxtool set --help lists the values)\n");
}

TEST(Everyday, HelpVersionPortsAndLog)
{
    RunResult r = Tool({"help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(Has(r.out, "stream")) << r.out;
    r = Tool({"help", "stream"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(Has(r.out, "--timestamps")) << r.out;

    r = Tool({"--version"});
    EXPECT_EQ(r.exitCode, 0);
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out;
    EXPECT_TRUE(std::regex_match(lines[0], std::regex(R"(sxtool \d+\.\d+\.\d+)"))) << lines[0];
    EXPECT_EQ(lines[1], "libSXCmdIF 240212a v0.0.61");
    EXPECT_TRUE(std::regex_match(lines[2], std::regex(R"(built: libSXCmdIF .+, sxtool .+)"))) << lines[2];

    r = Tool({"info", "--serial", "99"}, {{"SXSERIO_PORTS", "/dev/null:/dev/zero"}});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.err, "sxtool: serial port 99 does not exist; the serial ports are 1 (/dev/null), 2 (/dev/zero) "
                     "(sxtool list)\n");

    r = Tool({"--log", "/nonexistent/dir/sx.log", "info", "--sim"});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.err, "sxtool: /nonexistent/dir/sx.log: No such file or directory\n");
}

TEST(Everyday, JsonParsesBack)
{
    RunResult r =
        Tool({"stream", "--sim", "--sim-sensors", "4", "--sensors", "0,2", "--frames", "5", "--format", "jsonl"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 5u);
    uint64_t lastStamp = 0;
    for (const std::string& line : lines) {
        const json f = json::parse(line);
        EXPECT_GT(f["timestamp_ns"].get<uint64_t>(), lastStamp);
        lastStamp = f["timestamp_ns"].get<uint64_t>();
        EXPECT_GT(f["time_ns"].get<int64_t>(), 0) << line;
        ASSERT_EQ(f["sensors"].size(), 2u) << line;
        EXPECT_EQ(f["sensors"][0]["sensor"], 0);
        EXPECT_EQ(f["sensors"][1]["sensor"], 2);
        EXPECT_EQ(f["sensors"][1]["position"].size(), 3u);
        EXPECT_EQ(f["sensors"][1]["orientation"].size(), 3u);
        EXPECT_EQ(f["sensors"][1]["units"], json::parse(R"({"position": "inch", "orientation": "euler_degree"})"));
        EXPECT_EQ(f["sensors"][1]["status"]["buttons"], 0);
    }
    EXPECT_EQ(json::parse(lines[4])["frame"].get<int>() - json::parse(lines[0])["frame"].get<int>(), 4);

    r = Tool({"single", "--sim", "--format", "jsonl"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(json::parse(r.out)["sensors"].size(), 4u);

    r = Tool({"get", "units", "--sim", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(json::parse(r.out),
              json::parse(R"({"pos_units": "inch", "ori_units": "euler_degree", "simulated": true})"));

    r = Tool({"info", "--sim", "--sim-sensors", "3", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const json info = json::parse(r.out);
    EXPECT_EQ(info["sensors"], json::parse("[0, 1, 2]"));
    EXPECT_EQ(info["sources"], json::parse("[0]"));
    EXPECT_EQ(info["framerate"]["hz"], 240);
    EXPECT_EQ(info["identity"]["hw_ser_no"], "SIM-SEU-00000001");

    r = Tool({"block", "--sim", "--sim-sensors", "2", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const json block = json::parse(r.out);
    ASSERT_EQ(block["sources"].size(), 1u); // only the source in the station map
    ASSERT_EQ(block["sensors"].size(), 2u);
    EXPECT_EQ(block["sensors"][1]["sensor"], 1);
    EXPECT_EQ(block["sensors"][1]["filter_ori"]["level"], "medium");
    EXPECT_EQ(block["units_in_force"]["position"], "inch");

    r = Tool({"list", "--json"}, {{"SXSERIO_PORTS", "/dev/null"}});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const json list = json::parse(r.out);
    ASSERT_EQ(list["serial"].size(), 1u);
    EXPECT_EQ(list["serial"][0]["port"], 1);
    EXPECT_EQ(list["serial"][0]["name"], "/dev/null");
}

TEST(Everyday, InfoAndBlockNameTheAttachedSensorsAndSources)
{
    RunResult r = Tool({"info", "--sim", "--sim-sensors", "3"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "\nsensors attached: 0, 1 and 2\nsources attached: 0\n")) << r.out;
    r = Tool({"block", "--sim", "--sim-sensors", "2"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.rfind("BLOCK_CONFIG:\nvalues in Inch, Deg\n", 0), 0u) << r.out;
    EXPECT_TRUE(Has(r.out, "SOURCE_CONFIG[0]:\nSRC_CONFIG:\n")) << r.out;
    EXPECT_FALSE(Has(r.out, "SOURCE_CONFIG[1]")) << r.out;
    EXPECT_FALSE(Has(r.out, "SENSOR_CONFIG[2]")) << r.out;
    EXPECT_TRUE(Has(r.out, "(x,y,z): (0.000000, 0.000000, 0.000000)\n   in Inch\n")) << r.out;
}

TEST(Everyday, TimeStampsLeadTheRows)
{
    const auto wall = [] {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    };
    const int64_t before = wall();
    const RunResult r =
        Tool({"stream", "--sim", "--sim-jitter-ms", "4", "--frames", "60", "--format", "csv", "--timestamps"});
    const int64_t after = wall();
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 61u);
    EXPECT_EQ(lines[0].rfind("timestamp_ns, time_ns, SEU,", 0), 0u) << lines[0];
    uint64_t last = 0;
    int64_t lastTime = 0, shortest = INT64_MAX, longest = 0;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> cols = Split(lines[i], ',');
        const uint64_t stamp = std::stoull(cols[0]);
        const int64_t time = std::stoll(cols[1]);
        EXPECT_GT(stamp, last);
        if (i > 1) {
            shortest = std::min(shortest, static_cast<int64_t>(stamp - last));
            longest = std::max(longest, static_cast<int64_t>(stamp - last));
        }
        last = stamp;
        // When measured, on the system clock: during the run, never backwards.
        EXPECT_GE(time, lastTime);
        EXPECT_GT(time, before);
        EXPECT_LT(time, after);
        lastTime = time;
    }
    // The simulated line's jitter bunches the arrivals (4.2 ms apart at 240 Hz).
    EXPECT_GT(longest - shortest, 2000000) << shortest << " to " << longest;
}

TEST_F(OnSerial, FramesWithABadCrcAreCountedApartFromTheTrackersGaps)
{
    Start({"--corrupt-frame-every", "10", "--drop-every", "7"});
    const RunResult r = Cmd({"stream", "--frames", "60", "--format", "csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(
        r.err, m,
        std::regex(R"((\d+) frames, lost by the tracker (\d+), dropped for a bad CRC (\d+), )"
                   R"(by the queue 0; frame interval median [0-9.]+ ms, 99th percentile [0-9.]+ ms)")))
        << r.err;
    const int frames = std::stoi(m[1]), tracker = std::stoi(m[2]), crc = std::stoi(m[3]);
    EXPECT_EQ(frames, 60);
    // Cycles are counted from 1: of the first n cycles every 7th is left out,
    // every 10th goes out with a wrong CRC, and the rest make the 60 frames.
    EXPECT_GE(tracker, 9);
    EXPECT_LE(tracker, 11);
    EXPECT_GE(crc, 6);
    EXPECT_LE(crc, 8);
    EXPECT_EQ(Lines(r.out).size(), 61u);
}

TEST(Everyday, SxsimShowsItsStatusLineOnATerminalOrWhenAskedAndNeverWhenQuiet)
{
    auto run = [](const std::string& cmd, const std::string& prefix) {
        // script gives sxsim a terminal; its output is what that terminal
        // showed. One and a half seconds pass a status refresh.
        return tooltest::Run("/usr/bin/script",
                             {"-qfec", prefix + "timeout -s INT 1.5 " + SXSIM_PATH + cmd, "/dev/null"});
    };
    EXPECT_TRUE(Has(run("", "").out, "sxsim: frames 0 sent"));
    EXPECT_FALSE(Has(run(" --quiet", "").out, "sxsim: frames"));
    EXPECT_FALSE(Has(run(" 2>&1 | cat", "").out, "sxsim: frames")); // not a terminal
    // Asked for: whole lines, for a program to read.
    EXPECT_TRUE(Has(run(" --status 2>&1 | cat", "").out,
                    "\nsxsim: frames 0 sent, 0 dropped, 0 unsent; commands 0 answered; faults 0 injected\r\n"));
}

// The measurement times against the simulator's record of when it measured
// each frame (sxsim --truth): steady where the arrivals jitter, and the same
// again when the recording is converted.
TEST_F(OnSerial, MeasurementTimesFollowTheTrackerAndComeBackFromTheRecording)
{
    const std::string truthPath = TempPath("sx_truth.txt");
    const std::string recPath = TempPath("sx_timed.sxrec");
    Start({"--rate", "960", "--jitter-ms", "4", "--drift-ppm", "100", "--truth", truthPath});
    const RunResult r = Cmd({"stream", "--format", "jsonl", "--seconds", "3", "--record", recPath});
    m_sim.reset(); // the truth file is complete
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::map<uint32_t, int64_t> truth;
    std::ifstream in(truthPath);
    uint32_t count = 0;
    long long ns = 0;
    while (in >> count >> ns)
        truth[count] = ns;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_GT(lines.size(), 2000u);
    // After the first 1.5 s (the model learning), less one constant offset.
    std::vector<double> err, late;
    int64_t first = 0, lastTime = 0;
    for (const std::string& line : lines) {
        const json f = json::parse(line);
        const int64_t arrival = f["timestamp_ns"].get<int64_t>(), time = f["time_ns"].get<int64_t>();
        ASSERT_GE(time, lastTime) << line;
        lastTime = time;
        first = first ? first : arrival;
        const auto t = truth.find(f["frame"].get<uint32_t>());
        ASSERT_NE(t, truth.end()) << line;
        if (arrival - first < 1500000000)
            continue;
        err.push_back(static_cast<double>(time - t->second));
        late.push_back(static_cast<double>(arrival - t->second));
    }
    const auto p99 = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        const double mid = v[v.size() / 2];
        for (double& x : v)
            x = std::fabs(x - mid);
        std::sort(v.begin(), v.end());
        return v[v.size() * 99 / 100];
    };
    EXPECT_LT(p99(err), 1e6) << "measurement times stray";
    EXPECT_GT(p99(late), 1e6) << "the line did not jitter";
    // Converting the recording gives the same stamps, both of them.
    const RunResult c = Tool({"convert", recPath, "--format", "jsonl"});
    ASSERT_EQ(c.exitCode, 0) << c.err;
    const std::vector<std::string> again = Lines(c.out);
    ASSERT_EQ(again.size(), lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        const json a = json::parse(lines[i]), b = json::parse(again[i]);
        ASSERT_EQ(a["timestamp_ns"], b["timestamp_ns"]) << i;
        ASSERT_EQ(a["time_ns"], b["time_ns"]) << i;
    }
    std::remove(truthPath.c_str());
    std::remove(recPath.c_str());
}
