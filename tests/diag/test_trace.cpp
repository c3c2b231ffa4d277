#include <SXCmdIF/diag/BxDebug.h>
#include "diag/TraceInternal.h"
#include <platform/Thread.h>
#include <testsupport/StdoutCapture.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>

using sxtest::StdoutCapture;

class TraceTest : public ::testing::Test {
protected:
    void TearDown() override { trSetTrace(false, 0); }
};

TEST_F(TraceTest, HPIsSilentUpToLevelFourAndPrefixedFromFive)
{
    trSetTrace(true, 4);
    {
        StdoutCapture cap;
        trTracefHP("x %d\r\n", 1);
        EXPECT_EQ(cap.Text(), "");
    }
    trSetTrace(true, 5);
    StdoutCapture cap;
    trTracefHP("x %d\r\n", 2);
    EXPECT_EQ(cap.Text(), sxtest::ThreadPrefix() + "x 2\r\n");
}

TEST_F(TraceTest, FamilyLevelsAndPrefixes)
{
    trSetTrace(true, 5);
    StdoutCapture cap;
    trTracefHP0("zero\r\n");
    trTracefHP1("one\r\n");
    trTracefHP5("five\r\n");
    trTracefHP7("seven\r\n");
    trTracefHPx("x\r\n");
    EXPECT_EQ(cap.Text(), "zero\r\none\r\n" + sxtest::ThreadPrefix() + "five\r\n" + sxtest::ThreadPrefix() + "x\r\n");
}

TEST_F(TraceTest, HPxIgnoresTheLevel)
{
    trSetTrace(false, 0);
    StdoutCapture cap;
    trTracefHPx("always\r\n");
    trTracefHP7("never\r\n");
    EXPECT_EQ(cap.Text(), sxtest::ThreadPrefix() + "always\r\n");
}

TEST_F(TraceTest, TracefNeedsSwitchAndNullPointer)
{
    int dummy = 0;
    trSetTrace(false, 7);
    {
        StdoutCapture cap;
        trTracef(nullptr, "off\r\n");
        EXPECT_EQ(cap.Text(), "");
    }
    trSetTrace(true, 3);
    StdoutCapture cap;
    trTracef(&dummy, "pointer\r\n");
    trTracef(nullptr, "on %s\r\n", "3");
    trTracef1(nullptr, "one\r\n");
    EXPECT_EQ(cap.Text(), "on 3\r\none\r\n");
}

TEST_F(TraceTest, SetTraceStoresSwitchAndLevel)
{
    trSetTrace(true, 6);
    EXPECT_TRUE(trTraceOn());
    EXPECT_EQ(trTraceLevel(), 6);
    EXPECT_EQ(BxDebug::BXDlev(), 6);
    trSetTrace(false, 9);
    EXPECT_FALSE(trTraceOn());
    EXPECT_EQ(trTraceLevel(), 9);
}

TEST_F(TraceTest, OverlongTraceIsReplacedAtTheTraceStage)
{
    trSetTrace(true, 7);
    std::string big(5000, 'w');
    StdoutCapture cap;
    trTracefHP("%s", big.c_str());
    trTracefHP5("%s", big.c_str());
    std::string out = cap.Text();
    std::string p = std::regex_replace(sxtest::ThreadPrefix(), std::regex("[\\[\\]]"), "\\$&");
    std::regex re(p + "trTracefHP:[0-9]+ : TraceBuffer size 4096 too small for formatted len 5000\r\n" + p +
                  "trTracefHP5:[0-9]+ : TraceBuffer size 4096 too small for formatted len 5000\r\n");
    EXPECT_TRUE(std::regex_match(out, re)) << out;
}

TEST_F(TraceTest, EntryAndExitLines)
{
    trSetTrace(true, 5);
    StdoutCapture cap;
    SX_TRACE_ENTER();
    SX_TRACE_LEAVE();
    std::string out = cap.Text();
    std::string p = std::regex_replace(sxtest::ThreadPrefix(), std::regex("[\\[\\]]"), "\\$&");
    std::regex re(p +
                  ".*test_trace\\.cpp : virtual void TraceTest_EntryAndExitLines_Test::TestBody\\(\\) : [0-9]+\r\n" +
                  p + "\t >>>>leaving .*test_trace\\.cpp : .*TestBody\\(\\) : [0-9]+\r\n");
    EXPECT_TRUE(std::regex_match(out, re)) << out;
}

// Lines of several threads must come out whole, never mixed.
TEST_F(TraceTest, ConcurrentTracersNeverMixLines)
{
    trSetTrace(true, 5);
    constexpr int kLines = 2000;
    std::string out;
    {
        StdoutCapture cap;
        auto work = [](char c) {
            std::string body(60, c);
            for (int i = 0; i < kLines; ++i) {
                if (i % 2)
                    trTracefHP("%s %d\r\n", body.c_str(), i);
                else
                    BxDebug::BXDOUT5("%s %d\r\n", body.c_str(), i);
            }
        };
        std::thread a(work, 'a'), b(work, 'b');
        work('c');
        a.join();
        b.join();
        out = cap.Text();
    }
    std::regex line("(\\[[0-9a-f]{8}\\] : )?(a{60}|b{60}|c{60}) [0-9]+");
    std::istringstream in(out);
    std::string l;
    int count = 0;
    while (std::getline(in, l)) {
        ASSERT_FALSE(l.empty());
        ASSERT_EQ(l.back(), '\r');
        l.pop_back();
        ASSERT_TRUE(std::regex_match(l, line)) << l;
        ++count;
    }
    EXPECT_EQ(count, 3 * kLines);
}
