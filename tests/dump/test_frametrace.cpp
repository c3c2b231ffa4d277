#include "diag/FrameDump.h"
#include "diag/FrameTraceInternal.h"
#include "diag/SysErrText.h"
#include "diag/TraceInternal.h"

#include <SXCmdIF/SXerrText.h>
#include <SXCmdIF/diag/BxDebug.h>
#include <platform/FBufFormat.h>
#include <platform/Thread.h>
#include <testsupport/StdoutCapture.h>

#include "../pno/PnoTestFrames.h"

#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <thread>
#include <vector>

using namespace pnotest;
using sxtest::StdoutCapture;

namespace {

class FrameTrace : public ::testing::Test {
protected:
    void TearDown() override
    {
        trSetTrace(false, 0);
        BxDebug::BXDSetCompact(false);
    }
};

std::string Hex8(unsigned v)
{
    char b[16];
    snprintf(b, sizeof b, "%x", v);
    return b;
}

std::string Prefix()
{
    char b[24];
    snprintf(b, sizeof b, "[%08x] : ", sxplat::CurrentThreadId());
    return b;
}

std::string Block(const Bytes& f, const char* prefix)
{
    char dump[4096];
    trFormatFBuf(f.data(), static_cast<int>(f.size()), dump, sizeof dump, prefix);
    return dump;
}

const char kDate[] = R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d)";

std::string Escape(const std::string& s)
{
    static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
    return std::regex_replace(s, special, R"(\$&)");
}

} // namespace

TEST(FrameTraceNames, Lookups)
{
    EXPECT_STREQ(trCmdStr(7), "CMD_UNITS");
    EXPECT_STREQ(trCmdStr(1000), "undefined_cmd");
    EXPECT_STREQ(trCmdStrW(19), L"CMD_CONTINUOUS_PNO");
    EXPECT_STREQ(trActionStr(3), "CMD_ACTION_ACK");
    EXPECT_STREQ(trActionStr(6), "undefined_action");
    EXPECT_STREQ(trActionStrW(5), L"CMD_ACTION_NAK_WARNING");
}

TEST_F(FrameTrace, ErrorLineGates)
{
    {
        trSetTrace(false, 7);
        StdoutCapture cap;
        trTraceErr(nullptr, 11, "msg", "fn", 1, 0);
        trTraceErr(nullptr, 11, "msg", "fn", 1, 5);
        EXPECT_EQ(cap.Text(), "");
    }
    {
        trSetTrace(true, 3);
        StdoutCapture cap;
        trTraceErr(nullptr, 11, "msg", "fn", 1, 5);
        EXPECT_EQ(cap.Text(), "");
    }
    trSetTrace(true, 3);
    StdoutCapture cap;
    const void* ctx = reinterpret_cast<const void*>(uintptr_t(0x12345678ABCDEF01ull));
    trTraceErr(ctx, 11, "io err begin", "CSXdevIO::CmdIO", 42, 0);
    trTraceErr(nullptr, 0x70011, nullptr, "f", 7, 3);
    EXPECT_EQ(cap.Text(), std::string("0xabcdef01: Error 0xb ") + trErrStr(11) +
                              " : io err begin : CSXdevIO::CmdIO:42\r\n" + "0x0: Error 0x70011 " + trErrStr(0x70011) +
                              " :  : f:7\r\n");
}

TEST_F(FrameTrace, BufferDumpGoesStraightToStandardOutput)
{
    const Bytes data = {'0', '1', '2', '3', '4', '5', '6', '7', '8'};
    {
        trSetTrace(true, 1);
        StdoutCapture cap;
        trTraceFBuf(data.data(), 9, true, "lbl", 2); // level not reached
        trTraceFBuf(nullptr, 9, true, "lbl", 0);
        trTraceFBuf(data.data(), 0, true, "lbl", 0);
        EXPECT_EQ(cap.Text(), "");
    }
    trSetTrace(true, 2);
    StdoutCapture cap;
    trTraceFBuf(data.data(), 9, true, "lbl", 2);
    trTraceFBuf(data.data(), 4, false, nullptr, 0);
    EXPECT_EQ(cap.Text(), Prefix() + "lbl \r\n" + "30 31 32 33  34 35 36 37  01234567\r\n38 \r\n" + "\r\n" + Prefix() +
                              " \r\n" + "30 31 32 33" + std::string(15, ' ') + "0123\r\n");
}

TEST_F(FrameTrace, FrameDumpTraces)
{
    const Bytes cmd = CmdFrame(1, CMD_UNITS, CMD_ACTION_GET, 0, 0, {});
    const Bytes pno = PnoFrame(2, 3, 0, {});
    std::string cmdDump, pnoDump;
    DumpCmdFrame(cmdDump, cmd.data(), static_cast<unsigned>(cmd.size()));
    DumpPnoFrame(pnoDump, pno.data(), static_cast<unsigned>(pno.size()));
    {
        trSetTrace(false, 7);
        StdoutCapture cap;
        trTraceCmdFrame(cmd.data(), static_cast<int>(cmd.size()), false, "x", 0);
        trTracePnoFrame(pno.data(), static_cast<int>(pno.size()), false, "x", 0);
        EXPECT_EQ(cap.Text(), "");
    }
    trSetTrace(true, 3);
    StdoutCapture cap;
    trTraceCmdFrame(cmd.data(), static_cast<int>(cmd.size()), false, "CSXdevIO::CmdIO writing", 3);
    trTracePnoFrame(pno.data(), static_cast<int>(pno.size()), true, "rx", 2);
    trTracePnoFrame(pno.data(), static_cast<int>(pno.size()), true, "rx", 5);
    EXPECT_EQ(cap.Text(),
              Prefix() + "CSXdevIO::CmdIO writing \r\n" + cmdDump + Prefix() + "rx \r\n" + pnoDump + "\r\n");
}

TEST_F(FrameTrace, HexList)
{
    const unsigned char data[3] = {0x01, 0xAB, 0xFF};
    {
        trSetTrace(true, 2);
        StdoutCapture cap;
        trTraceHexBuf(data, 3, true, "p:"); // a level-3 line
        EXPECT_EQ(cap.Text(), "");
    }
    trSetTrace(true, 3);
    StdoutCapture cap;
    trTraceHexBuf(data, 3, true, "p:");
    trTraceHexBuf(data, 2, false, nullptr);
    trTraceHexBuf(nullptr, 2, false, nullptr);
    trTraceHexBuf(data, 0, false, nullptr);
    // 2000 bytes: the list stops within 4093 characters (1365 bytes).
    std::vector<unsigned char> many(2000, 0x5A);
    trTraceHexBuf(many.data(), 2000, true, nullptr);
    std::string list;
    for (int i = 0; i < 1365; ++i)
        list += "5a ";
    EXPECT_EQ(cap.Text(), "p:01 ab ff \r\n01 ab " + list + "\r\n");
}

TEST_F(FrameTrace, TxAndRxBlocks)
{
    const Bytes f = CmdFrame(1, CMD_UNITS, CMD_ACTION_GET, 0, 0, {});
    const std::string tid = Hex8(sxplat::CurrentThreadId());
    {
        trSetTrace(false, 7);
        StdoutCapture cap;
        trTraceTx(f.data(), 32, "fn", 1);
        trTraceRx(f.data(), 32, "fn", 1);
        EXPECT_EQ(cap.Text(), "");
    }
    trSetTrace(true, 0);
    {
        StdoutCapture cap;
        trTraceTx(f.data(), 32, "CSXdevIO::CmdIO", 12);
        trTraceRx(f.data(), 32, "CSXdevIO::CmdIO", 13);
        trTraceTx(nullptr, 32, "CSXdevIO::CmdIO", 14);
        const std::string expect =
            Escape("\r\n" + tid + "===> TX: 32    ID(01)   CMD_UNITS(07)   CMD_ACTION_GET(01)\t") + kDate +
            Escape(" CSXdevIO::CmdIO:12\r\n" + Block(f, nullptr) + "\r\n") +
            Escape("\r\n" + tid + "   <=== RX: 32  ID(01)   CMD_UNITS(07)   CMD_ACTION_GET(01)\t") + kDate +
            Escape(" CSXdevIO::CmdIO:13\r\n" + Block(f, "\t") + "\r\n");
        const std::string text = cap.Text();
        EXPECT_TRUE(std::regex_match(text, std::regex(expect))) << text;
        EXPECT_EQ(Block(f, "\t").substr(0, 1), "\t");
    }
    BxDebug::BXDSetCompact(true);
    StdoutCapture cap;
    trTraceTx(f.data(), 32, "fn", 5);
    trTraceRx(f.data(), 32, "fn", 6);
    const std::string expect = Escape("\r\n" + tid + "===> TX: 32    ID(01)   CMD_UNITS(07)   CMD_ACTION_GET(01)\t") +
                               kDate + Escape(" fn:5 \r\n") +
                               Escape(tid + "   <=== RX: 32  ID(01)   CMD_UNITS(07)   CMD_ACTION_GET(01)\t") + kDate +
                               Escape(" fn:6\r\n");
    const std::string text = cap.Text();
    EXPECT_TRUE(std::regex_match(text, std::regex(expect))) << text;
}

TEST_F(FrameTrace, LongAndShortFramesInTxBlocks)
{
    // A frame whose block dump fills the 4096-byte buffer: the whole block
    // appears, not the debug buffer's overflow notice.
    const Bytes big = CmdFrame(1, CMD_BLOCK_CFG, CMD_ACTION_SET, 0, 0, Bytes(4596, 'q'));
    trSetTrace(true, 0);
    {
        StdoutCapture cap;
        trTraceTx(big.data(), static_cast<int>(big.size()), "fn", 1);
        const std::string text = cap.Text();
        EXPECT_EQ(text.find("too small"), std::string::npos);
        const std::string block = Block(big, nullptr);
        EXPECT_GT(block.size(), 4000u);
        ASSERT_GT(text.size(), block.size() + 2);
        EXPECT_EQ(text.substr(text.size() - block.size() - 2), block + "\r\n");
        EXPECT_NE(text.find("===> TX:4628    ID(01)   CMD_BLOCK_CFG(0F)   CMD_ACTION_SET(00)\t"), std::string::npos);
    }
    // A frame too short for its header words names them as 0.
    const AtEnd shortFrame(CmdFrame(9, CMD_UNITS, CMD_ACTION_GET, 0, 0, {}), 10);
    BxDebug::BXDSetCompact(true);
    StdoutCapture cap;
    trTraceRx(shortFrame.data(), 10, "fn", 2);
    EXPECT_NE(cap.Text().find("<=== RX: 10  ID(00)   CMD_HEMISPHERE(00)   CMD_ACTION_SET(00)\t"), std::string::npos);
}

TEST_F(FrameTrace, TxAndRxBlocksNeverMix)
{
    const Bytes f = CmdFrame(1, CMD_UNITS, CMD_ACTION_GET, 0, 0, Bytes(64, 'm'));
    trSetTrace(true, 0);
    StdoutCapture cap;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&f, t] {
            for (int i = 0; i < 50; ++i) {
                if (t % 2)
                    trTraceTx(f.data(), static_cast<int>(f.size()), "tx", i);
                else
                    trTraceRx(f.data(), static_cast<int>(f.size()), "rx", i);
            }
        });
    for (auto& th : threads)
        th.join();
    const std::string text = cap.Text();
    const std::string txBlock = Block(f, nullptr) + "\r\n";
    const std::string rxBlock = Block(f, "\t") + "\r\n";
    size_t tx = 0, rx = 0;
    for (size_t at = 0; (at = text.find("===> TX:", at)) != std::string::npos; ++at, ++tx) {
        const size_t body = text.find("\r\n", at) + 2;
        ASSERT_EQ(text.compare(body, txBlock.size(), txBlock), 0);
    }
    for (size_t at = 0; (at = text.find("<=== RX:", at)) != std::string::npos; ++at, ++rx) {
        const size_t body = text.find("\r\n", at) + 2;
        ASSERT_EQ(text.compare(body, rxBlock.size(), rxBlock), 0);
    }
    EXPECT_EQ(tx, 100u);
    EXPECT_EQ(rx, 100u);
}

TEST_F(FrameTrace, SystemErrorLineIgnoresTheTraceSwitch)
{
    trSetTrace(false, 0);
    StdoutCapture cap;
    trTraceSysErr(nullptr, 10060, "connect", "CSXserIO::Open", 77);
    trTraceSysErr(nullptr, 2, nullptr, "f", 1);
    const std::string tid = Hex8(sxplat::CurrentThreadId());
    EXPECT_EQ(cap.Text(), tid +
                              " : CSXserIO::Open:77 : SysErr 10060L : WSAETIMEDOUT : connect : Non-Windows system "
                              "error 0x274c\r\n" +
                              tid + " : f:1 : SysErr 2L : WSAE NOT DEFINED :  : " + std::strerror(2) + "\r\n");
}
