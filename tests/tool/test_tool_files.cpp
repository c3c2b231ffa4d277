// Nothing lost and nothing fake taken for real: sxtool's output files (an
// existing one replaced only with --force, never the input, a recording
// named FILE.part until it is whole, errors with the path and the system's
// reason) and the marks of a simulated session in everything it writes.
#include "ToolRunner.h"

#include <recording/RecordingReader.h>

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tooltest;
using nlohmann::json;

namespace {

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

bool Exists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// A folder of its own, emptied and removed at the end.
class InFolder : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(mkdir(m_dir.c_str(), 0700), 0); }
    void TearDown() override
    {
        for (const std::string& name : Names())
            unlink((m_dir + "/" + name).c_str());
        rmdir(m_dir.c_str());
    }
    std::string Path(const std::string& name) const { return m_dir + "/" + name; }
    // Every entry of the folder, hidden ones included.
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        if (DIR* d = opendir(m_dir.c_str())) {
            while (dirent* e = readdir(d))
                if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                    names.push_back(e->d_name);
            closedir(d);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    const std::string m_dir = TempPath("files");
};

} // namespace

TEST_F(InFolder, AnExistingFileIsReplacedOnlyWithForceAndTheInputNeverIsTheOutput)
{
    const std::string keep = Path("keep.sxr"), csv = Path("keep.csv");
    ASSERT_EQ(Tool({"record", keep, "--sim", "--frames", "3"}).exitCode, 0);
    const std::string recorded = ReadFile(keep);

    RunResult r = Tool({"record", keep, "--sim", "--frames", "3"});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.err, "sxtool: " + keep + " exists: --force replaces it\n");
    r = Tool({"convert", keep, "--format", "csv", "--out", keep, "--force"});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.err, "sxtool: " + keep + " is the input file: give another output\n");
    ASSERT_EQ(link(keep.c_str(), Path("alias.sxr").c_str()), 0); // the same file by another name
    r = Tool({"convert", keep, "--out", Path("alias.sxr"), "--force"});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.err, "sxtool: " + Path("alias.sxr") + " is the input file: give another output\n");
    unlink(Path("alias.sxr").c_str());
    r = Tool({"stream", "--sim", "--frames", "1", "--out", csv, "--record", csv});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.err, "sxtool: " + csv + " and " + csv + " are the same file: give two different files\n");
    r = Tool({"--log", keep, "info", "--sim"});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.err,
              "sxtool: " + keep + " is a recording: give another --log file (the log would be appended to it)\n");
    EXPECT_EQ(ReadFile(keep), recorded);

    // Written whole under a name of its own, then put in place: nothing else
    // is left in the folder.
    r = Tool({"convert", keep, "--format", "csv", "--out", csv});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Lines(ReadFile(csv)).size(), 4u);
    EXPECT_EQ(Names(), (std::vector<std::string>{"keep.csv", "keep.sxr"}));
    EXPECT_EQ(Tool({"convert", keep, "--format", "jsonl", "--out", csv}).exitCode, 4);
    ASSERT_EQ(Tool({"convert", keep, "--format", "jsonl", "--out", csv, "--force"}).exitCode, 0);
    EXPECT_EQ(ReadFile(csv).rfind("{\"timestamp_ns\":", 0), 0u);
    ASSERT_EQ(Tool({"record", keep, "--sim", "--frames", "3", "--force"}).exitCode, 0);
    EXPECT_NE(ReadFile(keep), recorded);
}

TEST_F(InFolder, ARecordingIsPartUntilItsTrailerAndALinkPlantedThereIsNotFollowed)
{
    const std::string rec = Path("run.sxr"), victim = Path("victim");
    WriteFile(victim, "precious");
    ASSERT_EQ(symlink(victim.c_str(), (rec + ".part").c_str()), 0);
    RunResult r = Tool({"record", rec, "--sim", "--frames", "2"});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.err, "sxtool: " + rec + ".part exists: --force replaces it\n");
    r = Tool({"record", rec, "--sim", "--frames", "2", "--force"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(victim), "precious");
    EXPECT_EQ(Names(), (std::vector<std::string>{"run.sxr", "victim"}));
    EXPECT_EQ(Tool({"convert", rec}).exitCode, 0);

    // While it runs, only run2.sxr.part exists; Ctrl-C ends it whole.
    const std::string rec2 = Path("run2.sxr");
    bool seenPart = false;
    r = RunAndInterrupt(
        kTool, {"record", rec2, "--sim"},
        [&](const std::string&) {
            seenPart = seenPart || (Exists(rec2 + ".part") && !Exists(rec2) && ReadFile(rec2 + ".part").size() > 2000);
            return seenPart;
        },
        20000);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(seenPart);
    EXPECT_FALSE(Exists(rec2 + ".part"));
    EXPECT_EQ(Tool({"convert", rec2}).exitCode, 0);
}

TEST(Files, FileErrorsNameThePathAndTheSystemsReason)
{
    RunResult r = Tool({"stream", "--sim", "--frames", "3", "--format", "csv", "--out", "/dev/full"});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_TRUE(Contains(r.err, "sxtool: /dev/full: cannot write: No space left on device\n")) << r.err;
    r = Tool({"record", "/dev/full", "--sim", "--frames", "3"});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_TRUE(Contains(r.err, "sxtool: /dev/full: cannot write: No space left on device\n")) << r.err;
    r = Tool({"stream", "--sim", "--frames", "1", "--out", "/nonexistent/dir/out.csv"});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.err, "sxtool: /nonexistent/dir/out.csv: cannot create: No such file or directory\n");
}

TEST_F(InFolder, EveryOutputOfASimulatedSessionSaysSo)
{
    const std::string rec = Path("sim.sxr");
    ASSERT_EQ(Tool({"record", rec, "--sim", "--frames", "2"}).exitCode, 0);
    sxrec::RecordingReader reader;
    ASSERT_TRUE(reader.OpenFile(rec));
    EXPECT_EQ(reader.Header().flags, sxrec::kFlagSimulated);
    RunResult r = Tool({"convert", rec, "--format", "jsonl"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "sxtool: " + rec + ": recorded from the simulated tracker\n");
    ASSERT_EQ(Lines(r.out).size(), 2u);
    for (const std::string& line : Lines(r.out))
        EXPECT_EQ(json::parse(line)["simulated"], true) << line;

    r = Tool({"stream", "--sim", "--frames", "2", "--format", "jsonl"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const std::string& line : Lines(r.out))
        EXPECT_EQ(json::parse(line)["simulated"], true) << line;
    r = Tool({"info", "--sim", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(json::parse(r.out)["simulated"], true);
    // The live table, on a terminal (script gives sxtool one).
    r = tooltest::Run("/usr/bin/script", {"-qfec", kTool + " stream --sim --frames 5", "/dev/null"});
    EXPECT_TRUE(Contains(r.out, "SIMULATED TRACKER  unit 1  ")) << r.out;

    // A real tracker's outputs do not say so.
    SimProcess sim({});
    ASSERT_TRUE(sim.Started());
    const std::map<std::string, std::string> env = {{"SXSERIO_PORTS", sim.Path()}};
    r = Tool({"stream", "--serial", "1", "--frames", "1", "--format", "jsonl", "--record", Path("real.sxr")}, env);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_FALSE(Contains(r.out, "simulated")) << r.out;
    ASSERT_TRUE(reader.OpenFile(Path("real.sxr")));
    EXPECT_EQ(reader.Header().flags, 0u);
}
