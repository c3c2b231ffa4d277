#include <SXCmdIF/diag/BxDebug.h>
#include <SXCmdIF/diag/LogFile.h>
#include <SXCmdIF/diag/Trace.h>
#include <testsupport/StdoutCapture.h>

#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>
#include <vector>

using sxtest::ReadFile;
using sxtest::StdoutCapture;
using sxtest::TempDir;

namespace {

struct NamedLog {
    TempDir dir;
    std::string path = dir.File("test.log");
    std::wstring wpath = std::wstring(path.begin(), path.end());
    CLogFile log{wpath.c_str()};
};

const char kBanner[] = "\n===============Finished Logging================\n\n";

} // namespace

TEST(LogFile, DefaultsAndName)
{
    CLogFile log;
    EXPECT_STREQ(log.Filename(), L"BRENNIX.LOG");
    EXPECT_FALSE(log.IsOpen());
    EXPECT_TRUE(log.m_bTimestamp);
    EXPECT_EQ(log.m_nFlushEvery, 0);
    log.SetFilename(nullptr);
    EXPECT_STREQ(log.Filename(), L"BRENNIX.LOG");
    std::wstring longName(300, L'n');
    log.SetFilename(&longName[0]);
    EXPECT_EQ(std::wstring(log.Filename()), std::wstring(260, L'n'));
}

TEST(LogFile, CountedFlushEveryThirdWrite)
{
    NamedLog f;
    f.log.Open(3, false, false);
    ASSERT_TRUE(f.log.IsOpen());
    f.log.Write("a\r\n");
    f.log.Write("b\r\n");
    f.log.WriteNoFlush("c\r\n");
    EXPECT_EQ(ReadFile(f.path), "");
    EXPECT_EQ(f.log.m_nWriteCount, 2);
    f.log.Write("d\r\n");
    EXPECT_EQ(ReadFile(f.path), "a\r\nb\r\nc\r\nd\r\n");
    EXPECT_EQ(f.log.m_nWriteCount, 0);
    f.log.Write("e\r\n");
    f.log.Write("f\r\n");
    EXPECT_EQ(ReadFile(f.path), "a\r\nb\r\nc\r\nd\r\n");
    f.log.Write("g\r\n");
    EXPECT_EQ(ReadFile(f.path), "a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\n");
}

TEST(LogFile, NoCountedFlushWithZero)
{
    NamedLog f;
    f.log.Open(0, false, false);
    for (int i = 0; i < 10; ++i)
        f.log.Write("line\r\n");
    EXPECT_EQ(ReadFile(f.path), "");
    EXPECT_EQ(f.log.m_nWriteCount, 0);
    f.log.Flush();
    EXPECT_EQ(ReadFile(f.path).size(), 60u);
    f.log.Close();
    EXPECT_FALSE(f.log.IsOpen());
    std::string lines;
    for (int i = 0; i < 10; ++i)
        lines += "line\r\n";
    EXPECT_EQ(ReadFile(f.path), lines + kBanner);
}

TEST(LogFile, ClosedFileIgnoresWritesAndDoesNotCount)
{
    NamedLog f;
    f.log.m_nFlushEvery = 1;
    f.log.Write("x");
    f.log.Flush();
    f.log.Close();
    EXPECT_EQ(f.log.m_nWriteCount, 0);
    EXPECT_FALSE(f.log.IsOpen());
}

TEST(LogFile, TimestampedLines)
{
    NamedLog f;
    f.log.Open(1, false, true);
    f.log.Write("msg %d\r\n", 42);
    std::string text = ReadFile(f.path);
    std::regex re("[0-9]{4}-[0-9]{2}-[0-9]{2}\\.[0-9]{2}:[0-9]{2}:[0-9]{2}\tmsg 42\r\n\n");
    EXPECT_TRUE(std::regex_match(text, re)) << text;
}

TEST(LogFile, AppendKeepsAndTruncateDrops)
{
    NamedLog f;
    f.log.Open(0, false, false);
    f.log.Write("one");
    f.log.Open(0, true, false); // closes the first with its banner
    f.log.Write("two");
    f.log.Close();
    EXPECT_EQ(ReadFile(f.path), std::string("one") + kBanner + "two" + kBanner);
    f.log.Open(0, false, false);
    f.log.Close();
    EXPECT_EQ(ReadFile(f.path), kBanner);
}

TEST(LogFile, LongMessagesAreCut)
{
    NamedLog f;
    std::string big(3000, 'z');
    f.log.Open(0, false, false);
    f.log.Write("%s", big.c_str());
    f.log.Open(0, false, true); // truncates
    f.log.Write("%s", big.c_str());
    f.log.Flush();
    std::string text = ReadFile(f.path);
    size_t tab = text.find('\t');
    ASSERT_NE(tab, std::string::npos);
    EXPECT_EQ(text.substr(tab + 1), std::string(2047, 'z') + "\n");
}

TEST(LogFile, UnopenableFileIsSilent)
{
    CLogFile log(L"/nonexistent-dir/x.log");
    log.Open(1, false, false);
    EXPECT_FALSE(log.IsOpen());
    log.Write("nothing");
    EXPECT_EQ(log.m_nWriteCount, 0);
}

class BxDebugLog : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.File("bx.log");
    std::wstring wpath = std::wstring(path.begin(), path.end());
    void SetUp() override
    {
        BxDebug::SetLogFile(&wpath[0]);
        BxDebug::BXDSetLevel(5);
    }
    void TearDown() override
    {
        BxDebug::StopLog();
        BxDebug::BXDSetLevel(0);
    }
};

TEST_F(BxDebugLog, MessagesGoToStdoutAndLog)
{
    BxDebug::StartLog(0, false, false);
    EXPECT_TRUE(BxDebug::m_bLog);
    EXPECT_EQ(std::wstring(BxDebug::LogFile()), wpath);
    {
        StdoutCapture cap;
        BxDebug::BXDOUT3("three %s\r\n", "x");
        BxDebug::BXDOUT7("hidden\r\n");
        BxDebug::BXDOUT("not logged\r\n");
        EXPECT_EQ(cap.Text(), "three x\r\nnot logged\r\n");
    }
    BxDebug::StopLog();
    EXPECT_FALSE(BxDebug::m_bLog);
    EXPECT_EQ(ReadFile(path), std::string("three x\r\n") + kBanner);
}

TEST_F(BxDebugLog, OverlongTraceLineOverflowsOnStdoutAndIsCutInLog)
{
    BxDebug::StartLog(0, false, false);
    std::string big(3000, 'q');
    std::string out;
    {
        StdoutCapture cap;
        trTracefHP("%s", big.c_str());
        out = cap.Text();
    }
    BxDebug::StopLog();
    std::regex re("BxDebug::BXDOUTL:[0-9]+ : BxDebug::m_szDebug size 2048 too small for formatted len 3013\r\n");
    EXPECT_TRUE(std::regex_match(out, re)) << out;
    std::string logged = ReadFile(path);
    std::regex prefix("^\\[[0-9a-f]{8}\\] : q+");
    std::string line = logged.substr(0, logged.size() - strlen(kBanner));
    EXPECT_EQ(line.size(), 2047u);
    EXPECT_TRUE(std::regex_match(line, prefix));
}

TEST_F(BxDebugLog, StartLogFailingStillSwitchesLoggingOn)
{
    wchar_t bad[] = L"/nonexistent-dir/x.log";
    BxDebug::SetLogFile(bad);
    BxDebug::StartLog(0, false, false);
    EXPECT_TRUE(BxDebug::m_bLog);
    EXPECT_FALSE(BxDebug::m_LogFile.IsOpen());
    StdoutCapture cap;
    BxDebug::BXDOUT0("still printed");
    EXPECT_EQ(cap.Text(), "still printed");
}
