// A configuration kept: config save and load between two simulated
// trackers, the JSON forms they share with get --json and set --json -, and
// --serial 0.
#include "ToolRunner.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace tooltest;
using nlohmann::json;

namespace {

// sxtool against one sxsim process on a serial line.
RunResult On(const SimProcess& sim, std::vector<std::string> args, const std::string& input = {})
{
    args.insert(args.end(), {"--serial", "1"});
    return Tool(args, {{"SXSERIO_PORTS", sim.Path()}}, input);
}

} // namespace

TEST(Config, SavedFromOneTrackerAndLoadedIntoAnotherValueByValue)
{
    const std::string file = TempPath("config.json");
    {
        SimProcess a({});
        ASSERT_TRUE(a.Started());
        for (const std::vector<std::string>& set : {std::vector<std::string>{"set", "units", "cm", "deg"},
                                                    {"set", "framerate", "120"},
                                                    {"set", "sync", "on"},
                                                    {"set", "tipoffset", "0.05", "1", "2", "--sensor", "2"},
                                                    {"set", "filter", "heavy", "--target", "pos", "--sensor", "1"}})
            ASSERT_EQ(On(a, set).exitCode, 0) << set[1];
        const RunResult r = On(a, {"config", "save", file});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.err, "sxtool: configuration of SIM-SEU-00000001 saved into " + file + "\n");
        EXPECT_EQ(On(a, {"config", "save", file}).exitCode, 4);
    }
    // Words, Hz, true/false and the shortest floats that read back.
    const std::string text = ReadFile(file);
    EXPECT_NE(text.find("\"tipoffset\": {\n        \"x\": 0.05,\n        \"y\": 1.0,"), std::string::npos) << text;
    const json saved = json::parse(text);
    EXPECT_EQ(saved["tracker"]["hw_ser_no"], "SIM-SEU-00000001");
    EXPECT_EQ(saved["unit"]["units"], json::parse(R"({"pos_units": "cm", "ori_units": "euler_degree"})"));
    EXPECT_EQ(saved["unit"]["framerate"]["frame_rate"], 120);
    EXPECT_EQ(saved["unit"]["sync"]["value"], true);
    EXPECT_EQ(saved["sensors"][1]["filter_pos"]["level"], "heavy");
    EXPECT_EQ(saved["sensors"].size(), 4u);
    EXPECT_EQ(saved.contains("simulated"), false); // an sxsim line is a tracker to sxtool

    SimProcess b({});
    ASSERT_TRUE(b.Started());
    // A bad value anywhere: nothing is sent.
    json bad = saved;
    bad["sensors"][2]["tipoffset"]["x"] = "a";
    const std::string badFile = TempPath("bad.json");
    WriteFile(badFile, bad.dump());
    RunResult r = On(b, {"config", "load", badFile});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "sxtool: " + badFile + ": sensor 2 tipoffset: 'x' takes finite numbers\n");
    bad = saved;
    bad["units"] = bad["unit"]; // a misspelt key is not passed over
    WriteFile(badFile, bad.dump());
    r = On(b, {"config", "load", badFile});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "sxtool: " + badFile +
                         ": unknown key 'units' (the keys are sxtool_configuration, tracker, "
                         "simulated, unit, sources and sensors)\n");
    // Another model or firmware only with --force.
    json other = saved;
    other["tracker"]["dsp_app_fw"] = "sxsim-app 2.0";
    WriteFile(badFile, other.dump());
    r = On(b, {"config", "load", badFile});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err,
              "sxtool: " + badFile +
                  " was saved from a SXSIM Tracker SEU with firmware sxsim-io 1.0, "
                  "sxsim-boot 1.0, sxsim-app 2.0; this tracker is a SXSIM Tracker SEU with firmware sxsim-io 1.0, "
                  "sxsim-boot 1.0, sxsim-app 1.0: --force loads it anyway\n");
    EXPECT_EQ(On(b, {"get", "units"}).out, "UNITS_CONFIG:\n   pos_units: POS_INCH\n   ori_units: ORI_EULER_DEGREE\n");

    r = On(b, {"config", "load", file});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "5 settings applied, 50 already as saved in " + file + "\n");
    EXPECT_EQ(json::parse(On(b, {"get", "tipoffset", "--sensor", "2", "--json"}).out),
              json::parse(R"({"x": 0.05, "y": 1.0, "z": 2.0})"));
    EXPECT_EQ(On(b, {"get", "framerate"}).out,
              "FRAMERATE_CONFIG:\n   effective frame rate: 120 Hz\n   frame_rate: FR_120\n");
    r = On(b, {"config", "load", badFile, "--force"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "0 settings applied, 55 already as saved in " + badFile + "\n");
    unlink(file.c_str());
    unlink(badFile.c_str());
}

TEST(Config, GetJsonIsWhatSetJsonTakes)
{
    SimProcess sim({});
    ASSERT_TRUE(sim.Started());
    ASSERT_EQ(On(sim, {"set", "hemisphere", "0", "0", "1", "auto", "--sensor", "1"}).exitCode, 0);
    const RunResult got = On(sim, {"get", "hemisphere", "--sensor", "1", "--json"});
    ASSERT_EQ(got.exitCode, 0) << got.err;
    EXPECT_EQ(json::parse(got.out), json::parse(R"({"track_en": true, "auto_en": true, "vector": [0.0, 0.0, 1.0]})"));
    RunResult r = On(sim, {"set", "hemisphere", "--json", "-", "--sensor", "3"}, got.out);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(On(sim, {"get", "hemisphere", "--sensor", "3", "--json"}).out, got.out);

    r = On(sim, {"get", "filter", "--sensor", "0", "--json"});
    EXPECT_EQ(
        r.out,
        "{\n  \"level\": \"medium\",\n  \"F\": 0.05,\n  \"Flow\": 0.05,\n  \"Fhigh\": 0.8,\n  \"MaxT\": 0.95\n}\n");
    r = On(sim, {"set", "tipoffset", "--json", "-"}, R"({"x": 1, "z": 3})");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "sxtool: set tipoffset --json -: missing field 'y': the fields of TipOffset are x, y, z\n");
    r = On(sim, {"set", "sync", "--json", "-"}, R"({"value": 1})");
    EXPECT_EQ(r.err, "sxtool: set sync --json -: 'value' takes true or false\n");
    r = On(sim, {"set", "boresight", "--json", "-"},
           R"({"ori": [1, 2, 3, 0], "units": {"position": "cm", "orientation": "euler_degree"}})");
    EXPECT_EQ(r.err, "sxtool: set boresight --json -: the values are in \"cm\" and \"euler_degree\", the tracker is in "
                     "\"inch\" and \"euler_degree\": set the units first\n");
}

TEST(Config, SerialPortZeroFindsTheTrackerOnAnyPort)
{
    SimProcess sim({});
    ASSERT_TRUE(sim.Started());
    RunResult r = Tool({"get", "seuid", "--serial", "0"}, {{"SXSERIO_PORTS", "/dev/null:" + sim.Path()}});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "SEUID_CONFIG:\n   SEU ID: 1\n");
    r = Tool({"info", "--serial", "0"}, {{"SXSERIO_PORTS", "/dev/null"}});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.err, "sxtool: no tracker answers on the serial ports 1 (/dev/null)\n");
}
