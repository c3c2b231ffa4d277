// The command exchange, over both transports: one body per behaviour.
#include "DevTestUtil.h"

#include <SXCmdIF/SXerrText.h>
#include <SXCmdIF/SXerrors.h>
#include "diag/TraceInternal.h"
#include <SXCmdIF/protocol/SXcmd.h>
#include <testsupport/StdoutCapture.h>

#include <gtest/gtest.h>

#include <chrono>

using namespace sxtest;

namespace {

// Answers each command with its own command word and the given action.
Answerer Reply(uint32_t action, int delayMs = 0)
{
    return [=](const Bytes& req) { return Answer{CmdFrame(Word(req.data(), 12), action), delayMs}; };
}

bool InCmdStore(CSXdevIO& dev, const unsigned char* p)
{
    return p >= CSXdevIOTest::CmdStore(dev) && p < CSXdevIOTest::CmdStore(dev) + CSXdevIO::kStoreSize;
}

class Exchange : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        m_link = GetParam() ? NewUsbLink() : NewSerialLink();
        ASSERT_NE(m_link->dev, nullptr);
        ASSERT_TRUE(m_link->dev->IsConnected());
        // A loaded machine may take longer than the default 50 ms to answer;
        // the tests of the time-out itself set their own.
        Dev().SetTimeoutMs(1000);
    }
    CSXdevIO& Dev() { return *m_link->dev; }
    std::unique_ptr<Link> m_link;
};

TEST_P(Exchange, AckIsAnAnswerPointingIntoTheCommandStore)
{
    m_link->SetAnswerer(Reply(CMD_ACTION_ACK));
    CFrameInfo rsp;
    ASSERT_EQ(sxtest::Exchange(Dev(), CMD_UNITS, rsp), 0);
    EXPECT_TRUE(InCmdStore(Dev(), rsp.pFrame));
    const Bytes ack = CmdFrame(CMD_UNITS, CMD_ACTION_ACK);
    ASSERT_EQ(rsp.frameLen, ack.size());
    EXPECT_EQ(Bytes(rsp.pFrame, rsp.pFrame + rsp.frameLen), ack);
    EXPECT_EQ(rsp.errCode, 0);
}

TEST_P(Exchange, NakGivesOneAndHandsTheResponseBack)
{
    m_link->SetAnswerer(Reply(CMD_ACTION_NAK));
    CFrameInfo rsp;
    EXPECT_EQ(sxtest::Exchange(Dev(), CMD_FILTER, rsp), E_SXERR_NAK_RESP);
    ASSERT_FALSE(rsp.IsNull());
    EXPECT_TRUE(InCmdStore(Dev(), rsp.pFrame));
    EXPECT_TRUE(rsp.IsNak());
    EXPECT_EQ(rsp.cmd(), static_cast<unsigned>(CMD_FILTER));
}

TEST_P(Exchange, NakWarningIsAnAnswer)
{
    m_link->SetAnswerer(Reply(CMD_ACTION_NAK_WARNING));
    CFrameInfo rsp;
    EXPECT_EQ(sxtest::Exchange(Dev(), CMD_UNITS, rsp), 0);
    EXPECT_TRUE(rsp.IsNakWarning());
}

TEST_P(Exchange, NoAnswerIsAnEmptyQueueAndTheResponseIsUntouched)
{
    Dev().RestoreDefaultTimeout();
    CFrameInfo rsp;
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(sxtest::Exchange(Dev(), CMD_UNITS, rsp), E_CTXERR_DEV_RECV_QUEUE_EMPTY);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2));
    EXPECT_TRUE(rsp.IsNull());
}

TEST_P(Exchange, RaisedTimeoutLetsASlowAnswerThrough)
{
    m_link->SetAnswerer(Reply(CMD_ACTION_ACK, 150));
    Dev().SetTimeoutMs(1000);
    CFrameInfo rsp;
    EXPECT_EQ(sxtest::Exchange(Dev(), CMD_UNITS, rsp), 0);
    EXPECT_TRUE(rsp.IsAck());
    Dev().RestoreDefaultTimeout();
    EXPECT_EQ(Dev().CurrentTimeoutMs(), 50);
}

TEST_P(Exchange, StaleAnswerIsAMismatchThenTheNextExchangeSucceeds)
{
    m_link->Push(CmdFrame(CMD_FILTER, CMD_ACTION_ACK));
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (CmdQueueSize(Dev()) == 0 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ASSERT_EQ(CmdQueueSize(Dev()), 1u);
    m_link->SetAnswerer(Reply(CMD_ACTION_ACK));
    CFrameInfo rsp;
    EXPECT_EQ(sxtest::Exchange(Dev(), CMD_UNITS, rsp), E_SXERR_CMDRSP_MISMATCH);
    EXPECT_TRUE(rsp.IsNull());
    EXPECT_EQ(CmdQueueSize(Dev()), 0u);
    EXPECT_EQ(sxtest::Exchange(Dev(), CMD_UNITS, rsp), 0);
    EXPECT_TRUE(rsp.IsAck());
}

TEST_P(Exchange, BadCrcResponseFailsWithTheCommandInTheHighHalf)
{
    m_link->SetAnswerer([](const Bytes& req) {
        Bytes f = CmdFrame(Word(req.data(), 12), CMD_ACTION_ACK);
        f.back() ^= 0x5A;
        return Answer{f, 0};
    });
    CFrameInfo rsp;
    EXPECT_EQ(sxtest::Exchange(Dev(), CMD_UNITS, rsp), E_SXERR_INVALID_CRC + (CMD_UNITS << 16));
    EXPECT_TRUE(rsp.IsNull());
}

TEST_P(Exchange, BadCrcOfUnitFFFFIsNoError)
{
    m_link->SetAnswerer([](const Bytes& req) {
        Bytes f = CmdFrame(Word(req.data(), 12), CMD_ACTION_ACK, 0xFFFF);
        f.back() ^= 0x5A;
        return Answer{f, 0};
    });
    CFrameInfo rsp;
    EXPECT_EQ(sxtest::Exchange(Dev(), CMD_SEUID, rsp), 0);
    EXPECT_EQ(rsp.devid(), 0xFFFFu);
}

TEST_P(Exchange, PnoFramesAreQueuedWithSequenceNumbersFromOne)
{
    for (uint32_t fc = 7; fc < 10; ++fc)
        m_link->Push(PnoFrame(fc, 2));
    ASSERT_TRUE(WaitPnoCount(Dev(), 3));
    for (uint32_t i = 1; i <= 3; ++i) {
        CFrameInfo f;
        ASSERT_EQ(Dev().RxPnoDequeueFIFO(f), 0);
        EXPECT_EQ(f.seqNum, i);
        EXPECT_EQ(f.devfc(), 6 + i);
        EXPECT_EQ(Bytes(f.pFrame, f.pFrame + f.frameLen), PnoFrame(6 + i, 2));
    }
}

INSTANTIATE_TEST_SUITE_P(Transport, Exchange, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& p) { return p.param ? "Usb" : "Serial"; });

// Trace lines are the same whatever the transport.
TEST(ExchangeTrace, EmptyQueueAfterTimeOutWritesItsLines)
{
    auto link = NewSerialLink();
    CFrameInfo rsp;
    trSetTrace(true, 5);
    StdoutCapture cap;
    EXPECT_EQ(sxtest::Exchange(*link->dev, CMD_UNITS, rsp), E_CTXERR_DEV_RECV_QUEUE_EMPTY);
    const std::string text = cap.Text();
    trSetTrace(false, 0);
    const std::string units = CSXcmd::cmdstr(CMD_UNITS);
    EXPECT_NE(text.find(std::string("0- : CSXdevIO::WaitCmdRespA : ") + trErrStr(11) + " waiting for response to " +
                        units + "(7) " + CSXcmd::actstr(CMD_ACTION_GET) + "(1)\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("0- : CSXdevIO::RxCmdDequeue : cmd " + units + "(7) : Error : " + trErrStr(23) + " \r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("CSXdevIO::CmdIO writing serial"), std::string::npos);
}

} // namespace
