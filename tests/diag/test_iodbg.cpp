#include <platform/IoDebug.h>
#include <platform/Thread.h>
#include <testsupport/StdoutCapture.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>
#include <thread>
#include <vector>

using iodbg::BxDebug;
using sxtest::StdoutCapture;

namespace {

std::string Escaped(const std::string& s)
{
    return std::regex_replace(s, std::regex("[\\[\\]]"), "\\$&");
}

} // namespace

class IoDbgTest : public ::testing::Test {
protected:
    void TearDown() override { BxDebug::BXDSetLevel(0); }
};

TEST_F(IoDbgTest, LevelTestIsStrict)
{
    {
        StdoutCapture cap;
        BxDebug::BXDOUT0("none\r\n");
        EXPECT_EQ(cap.Text(), "");
    }
    BxDebug::BXDSetLevel(4);
    StdoutCapture cap;
    BxDebug::BXDOUT0("0\r\n");
    BxDebug::BXDOUT3("3\r\n");
    BxDebug::BXDOUT5("5\r\n");
    BxDebug::BXDOUT3Alt("alt3\r\n");
    BxDebug::BXDOUT5Alt("alt5\r\n");
    EXPECT_EQ(cap.Text(), sxtest::ThreadPrefix() + "0\r\n" + sxtest::ThreadPrefix() + "3\r\n" + sxtest::ThreadPrefix() +
                              "alt3\r\n");
}

TEST_F(IoDbgTest, LevelIsClamped)
{
    BxDebug::BXDSetLevel(-5);
    EXPECT_EQ(BxDebug::BXDlev(), 0);
    BxDebug::BXDSetLevel(99);
    EXPECT_EQ(BxDebug::BXDlev(), 7);
    StdoutCapture cap;
    BxDebug::BXDOUT7("never");
    BxDebug::BXDOUT5("five");
    EXPECT_EQ(cap.Text(), sxtest::ThreadPrefix() + "five");
}

TEST_F(IoDbgTest, OverflowCountsThePrefix)
{
    BxDebug::BXDSetLevel(7);
    std::string fits(2048 - 13 - 1, 'f');
    std::string over = fits + "f";
    StdoutCapture cap;
    BxDebug::BXDOUT0("%s", fits.c_str());
    BxDebug::BXDOUT0("%s", over.c_str());
    BxDebug::BXDOUT("%s", over.c_str());
    BxDebug::BXDOUT3Alt("%s", over.c_str());
    std::string p = Escaped(sxtest::ThreadPrefix());
    std::regex re(
        p + fits + p +
        "iodbg::BxDebug::BXDOUTL:[0-9]+ : BxDebug::m_szDebug size 2048 too small for formatted len 2035\r\n" + p +
        "iodbg::BxDebug::BXDOUT:[0-9]+ : BxDebug::m_szDebug size 2048 too small for formatted len 2035\r\n" + p +
        "iodbg::BxDebug::BXDOUTLv:[0-9]+ : BxDebug::m_szDebugAlt size 2048 too small for formatted len 2035\r\n");
    EXPECT_TRUE(std::regex_match(cap.Text(), re));
}

TEST_F(IoDbgTest, HexBufLine)
{
    BxDebug::BXDSetLevel(4);
    const unsigned char data[] = {0x00, 0xAB, 0x7f};
    StdoutCapture cap;
    BxDebug::BXDOUTHexBuf(data, 3, true, "rx", 3);
    BxDebug::BXDOUTHexBuf(data, 3, false, nullptr, 3);
    BxDebug::BXDOUTHexBuf(data, 3, true, "hidden", 4);
    BxDebug::BXDOUTHexBuf(nullptr, 0, true, "lbl", 0);
    BxDebug::BXDOUTHexBuf(data, 0, true, nullptr, 0);
    EXPECT_EQ(cap.Text(), sxtest::ThreadPrefix() + "rx :   3 : 00 ab 7f \r\n" + sxtest::ThreadPrefix() +
                              " :   3 : 00 ab 7f " + sxtest::ThreadPrefix() + "lbl : Empty buffer");
}

TEST_F(IoDbgTest, HexBufStopsPast2042Characters)
{
    BxDebug::BXDSetLevel(7);
    std::vector<unsigned char> data(1000, 0x5a);
    StdoutCapture cap;
    BxDebug::BXDOUTHexBuf(data.data(), 1000, true, "L", 0);
    std::string out = cap.Text();
    // prefix 13 + "L :" 3 + " 1000" ... then pairs of 3 while length <= 2042.
    std::string head = sxtest::ThreadPrefix() + "L : 1000 : ";
    size_t n = head.size();
    int bytes = 0;
    while (n <= 2042) {
        n += 3;
        ++bytes;
    }
    std::string expect = head;
    for (int i = 0; i < bytes; ++i)
        expect += "5a ";
    expect += "\r\n";
    EXPECT_EQ(out, expect);
    EXPECT_LE(out.size(), 2047u);
}

TEST_F(IoDbgTest, BlockDumpGateIsInclusive)
{
    BxDebug::BXDSetLevel(3);
    const unsigned char abcd[] = {'A', 'B', 'C', 'D'};
    StdoutCapture cap;
    BxDebug::BXDOUTFBuf(abcd, 4, true, "blk", 3);
    BxDebug::BXDOUTFBuf(abcd, 4, true, "blk", 4);
    BxDebug::BXDOUTFBuf(abcd, 2, false, nullptr, 0);
    EXPECT_EQ(cap.Text(), sxtest::ThreadPrefix() + "blk \r\n41 42 43 44" + std::string(15, ' ') + "ABCD\r\n\r\n" +
                              sxtest::ThreadPrefix() + " \r\n41 42 \r\n");
}

TEST_F(IoDbgTest, ConcurrentWritersNeverMixLines)
{
    BxDebug::BXDSetLevel(7);
    constexpr int kLines = 1500;
    std::string out;
    {
        StdoutCapture cap;
        auto work = [](char c, bool alt) {
            std::string body(50, c);
            for (int i = 0; i < kLines; ++i) {
                if (alt)
                    BxDebug::BXDOUT3Alt("%s\r\n", body.c_str());
                else
                    BxDebug::BXDOUT3("%s\r\n", body.c_str());
            }
        };
        std::thread a(work, 'a', true);
        work('b', false);
        a.join();
        out = cap.Text();
    }
    std::regex line("\\[[0-9a-f]{8}\\] : (a{50}|b{50})\r");
    size_t start = 0;
    int count = 0;
    while (start < out.size()) {
        size_t end = out.find('\n', start);
        ASSERT_NE(end, std::string::npos);
        ASSERT_TRUE(std::regex_match(out.substr(start, end - start), line));
        start = end + 1;
        ++count;
    }
    EXPECT_EQ(count, 2 * kLines);
}
