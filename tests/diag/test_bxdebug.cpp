#include <SXCmdIF/diag/BxDebug.h>
#include <testsupport/StdoutCapture.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <regex>
#include <string>

using sxtest::StdoutCapture;

class BxDebugTest : public ::testing::Test {
protected:
    void SetUp() override { BxDebug::BXDSetLevel(0); }
    void TearDown() override { BxDebug::BXDSetLevel(0); }
};

TEST_F(BxDebugTest, LevelZeroShowsOnlyLevelZeroMessages)
{
    StdoutCapture cap;
    BxDebug::BXDOUT0("zero %d\r\n", 0);
    BxDebug::BXDOUT1("one\r\n");
    errno = ENOENT;
    BxDebug::BXDOUT_ERR0("open %s", "x");
    BxDebug::BXDOUT_ERR1("hidden");
    EXPECT_EQ(cap.Text(), std::string("zero 0\r\nopen x: ") + strerror(ENOENT));
}

TEST_F(BxDebugTest, LevelGateIsInclusive)
{
    BxDebug::BXDSetLevel(5);
    StdoutCapture cap;
    BxDebug::BXDOUT3("3");
    BxDebug::BXDOUT5("5");
    BxDebug::BXDOUT7("7");
    BxDebug::BXDebugOut(6, "6");
    BxDebug::BXDebugOut(4, "4");
    EXPECT_EQ(cap.Text(), "354");
}

TEST_F(BxDebugTest, LevelTwoSwitchesCompactOnAndOthersOff)
{
    BxDebug::BXDSetLevel(2);
    EXPECT_TRUE(BxDebug::Compact());
    BxDebug::BXDSetLevel(3);
    EXPECT_FALSE(BxDebug::Compact());
    BxDebug::BXDSetCompact(true);
    EXPECT_TRUE(BxDebug::Compact());
    EXPECT_EQ(BxDebug::BXDlev(), 3);
}

TEST_F(BxDebugTest, MinusOneLetsEveryLevelThrough)
{
    BxDebug::BXDSetLevel(-1);
    EXPECT_EQ(BxDebug::BXDlev(), 65535);
    StdoutCapture cap;
    BxDebug::BXDOUT7("seven");
    BxDebug::BXDebugOut(1000, "+");
    EXPECT_EQ(cap.Text(), "seven+");
}

TEST_F(BxDebugTest, PlainOutKeepsItsTextLevelOutEmptiesIt)
{
    StdoutCapture cap;
    BxDebug::BXDOUT("kept %d", 1);
    EXPECT_STREQ(BxDebug::SZDebug(), "kept 1");
    BxDebug::BXDOUT0("gone");
    EXPECT_STREQ(BxDebug::SZDebug(), "");
    EXPECT_EQ(cap.Text(), "kept 1gone");
}

TEST_F(BxDebugTest, OverlongMessageIsReplacedByOverflowText)
{
    std::string big(3000, 'x');
    StdoutCapture cap;
    BxDebug::BXDOUT0("%s", big.c_str());
    BxDebug::BXDOUT("%s", big.c_str());
    std::string out = cap.Text();
    std::regex re("BxDebug::BXDOUTL:[0-9]+ : BxDebug::m_szDebug size 2048 too small for formatted len 3000\r\n"
                  "BxDebug::BXDOUT:[0-9]+ : BxDebug::m_szDebug size 2048 too small for formatted len 3000\r\n");
    EXPECT_TRUE(std::regex_match(out, re)) << out;
}

TEST_F(BxDebugTest, MessageOf2047CharactersStillFits)
{
    std::string edge(2047, 'y');
    StdoutCapture cap;
    BxDebug::BXDOUT0("%s", edge.c_str());
    BxDebug::BXDOUT0("%sy", edge.c_str());
    std::string out = cap.Text();
    EXPECT_EQ(out.substr(0, 2047), edge);
    EXPECT_NE(out.find("too small for formatted len 2048"), std::string::npos);
}

TEST_F(BxDebugTest, LongErrorFormatKeepsOnlyTheErrorText)
{
    std::string fmt192(192, 'f');
    std::string fmt193(193, 'f');
    StdoutCapture cap;
    errno = EACCES;
    BxDebug::BXDOUT_ERR(0, fmt192.c_str());
    errno = EACCES;
    BxDebug::BXDOUT_ERR(0, fmt193.c_str());
    std::string e = strerror(EACCES);
    std::string expect = (fmt192 + ": " + e).substr(0, 199) + e;
    EXPECT_EQ(cap.Text(), expect);
}

TEST_F(BxDebugTest, WideConversions)
{
    wchar_t* w = BxDebug::MBToWS("abc");
    EXPECT_STREQ(w, L"abc");
    delete[] w;
    char* n = BxDebug::WSToMB(L"xyz");
    EXPECT_STREQ(n, "xyz");
    delete[] n;
    EXPECT_EQ(BxDebug::WSToMB(L""), nullptr);
}

TEST_F(BxDebugTest, DebugOutConstructorSetsLevel)
{
    CBxDebugOut out;
    EXPECT_EQ(BxDebug::BXDlev(), 5);
    CBxDebugOut two(2);
    EXPECT_TRUE(BxDebug::Compact());
}
