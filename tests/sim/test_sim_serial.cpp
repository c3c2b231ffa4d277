// The simulated tracker on a real pseudo-terminal: command frames written to
// the slave end, answers and P&O frames read back from it, and every fault.
#include "SimTestUtil.h"

#include <simulator/SimTracker.h>

#include <SXCmdIF/pno/SXseuPno.h>

#include <gtest/gtest.h>

#include <memory>
#include <thread>

using namespace simtest;
using sxsim::FaultConfig;
using sxsim::SerialSim;
using sxsim::SimConfig;

namespace {

class SimSerial : public ::testing::Test {
protected:
    void Begin(const FaultConfig& f = {}, int rateHz = 960)
    {
        SimConfig c;
        c.rateHz = rateHz;
        c.seuid = 5;
        std::string err;
        m_sim = SerialSim::Start(c, &err);
        ASSERT_TRUE(m_sim) << err;
        m_sim->SetFaults(f);
        m_client = std::make_unique<Client>(m_sim->SlavePath());
        ASSERT_TRUE(m_client->Ok());
    }
    Bytes Next(size_t* skipped = nullptr, int timeoutMs = 3000)
    {
        return m_client->Frame(SX_PREAMBLE_CMD, SX_PREAMBLE_PNO, timeoutMs, skipped);
    }
    Bytes Exchange(const Bytes& cmd)
    {
        m_client->Send(cmd);
        return Next();
    }
    void StartStream()
    {
        const uint32_t word = 0;
        const Bytes ack = Exchange(Command(CMD_CONTINUOUS_PNO, CMD_ACTION_SET, 0, 0, &word, 4));
        ASSERT_EQ(Word(ack, 16), static_cast<uint32_t>(CMD_ACTION_ACK));
    }
    // The next n P&O frames.
    std::vector<Bytes> Frames(size_t n, size_t* skipped = nullptr)
    {
        std::vector<Bytes> out;
        while (out.size() < n) {
            Bytes f = Next(skipped);
            if (f.empty())
                break;
            out.push_back(f);
        }
        return out;
    }
    // The count moves just after an answer leaves, so a quick reader may
    // see the answer first.
    uint64_t AnsweredSoon(uint64_t n)
    {
        for (int i = 0; i < 200 && m_sim->Stats().commandsAnswered < n; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return m_sim->Stats().commandsAnswered;
    }
    static bool CrcOk(const Bytes& f) { return CSXcmd::ValidateCRCN(f.data(), static_cast<unsigned>(f.size())); }

    std::unique_ptr<SerialSim> m_sim;
    std::unique_ptr<Client> m_client;
};

} // namespace

TEST_F(SimSerial, AnswersCommandsWrittenToTheSlaveEnd)
{
    Begin();
    // Garbage before a command is skipped.
    m_client->Send(Bytes{0x00, 'S', 'X', 0x13});
    Bytes r = Exchange(Command(CMD_SEUID, CMD_ACTION_GET));
    CFrameInfo fi(r.data(), static_cast<unsigned>(r.size()));
    EXPECT_TRUE(fi.IsAck());
    EXPECT_EQ(fi.cmd(), 12u);
    EXPECT_EQ(Word(r, 28), 5u);
    EXPECT_TRUE(CrcOk(r));
    EXPECT_EQ(AnsweredSoon(1), 1u);
}

TEST_F(SimSerial, StreamsValidFramesCountingUpUntilReset)
{
    Begin();
    StartStream();
    const auto frames = Frames(50);
    ASSERT_EQ(frames.size(), 50u);
    for (size_t i = 0; i < frames.size(); ++i) {
        const Bytes& f = frames[i];
        const auto n = static_cast<unsigned>(f.size());
        EXPECT_TRUE(CSXcmd::ValidatePreambleN(f.data(), n, SX_PREAMBLE_CMD, SX_PREAMBLE_PNO));
        EXPECT_TRUE(CSXcmd::ValidateSizeN(f.data(), n, SX_PREAMBLE_CMD, SX_PREAMBLE_PNO));
        EXPECT_TRUE(CrcOk(f));
        EXPECT_EQ(Word(f, 12), Word(frames[0], 12) + i);
        EXPECT_EQ(Word(f, 20), 4u);
    }
    m_client->Send(Command(CMD_CONTINUOUS_PNO, CMD_ACTION_RESET));
    Bytes r;
    do
        r = Next();
    while (!r.empty() && Word(r, 0) == SX_PREAMBLE_PNO);
    ASSERT_FALSE(r.empty());
    EXPECT_EQ(Word(r, 12), static_cast<uint32_t>(CMD_CONTINUOUS_PNO));
    EXPECT_TRUE(m_client->ReadQuiet(150).empty());
}

TEST_F(SimSerial, DroppedFramesLeaveGapsInTheFrameCount)
{
    FaultConfig f;
    f.dropEveryN = 3;
    Begin(f);
    StartStream();
    const auto frames = Frames(10);
    ASSERT_EQ(frames.size(), 10u);
    // Cycles 3, 6, 9, ... send nothing: counts 0 1 _ 3 4 _ 6 7 ...
    for (size_t i = 0; i < frames.size(); ++i)
        EXPECT_EQ(Word(frames[i], 12), static_cast<uint32_t>(i + i / 2));
    EXPECT_GE(m_sim->Stats().framesDropped, 4u);
}

TEST_F(SimSerial, FrameFaultsHitTheChosenFrames)
{
    FaultConfig f;
    f.corruptFrameEveryN = 2;
    f.extraSensorEveryN = 5;
    f.sensor16EveryN = 7;
    f.garbageEveryN = 1;
    f.garbageLen = 5;
    Begin(f);
    StartStream();
    size_t skipped = 0;
    const auto frames = Frames(35, &skipped);
    ASSERT_EQ(frames.size(), 35u);
    EXPECT_EQ(skipped, 35u * 5);
    for (size_t i = 0; i < frames.size(); ++i) {
        const Bytes& fr = frames[i];
        const size_t cycle = i + 1;
        EXPECT_EQ(CrcOk(fr), cycle % 2 != 0) << cycle;
        EXPECT_EQ(Word(fr, 20), cycle % 5 == 0 ? 17u : 4u) << cycle;
        if (cycle % 5 != 0) {
            EXPECT_EQ(CSXSeuPno::ValidateSensorIDs(fr.data(), 0x70), cycle % 7 != 0) << cycle;
        }
    }
}

TEST_F(SimSerial, ResponseFaultsChangeTheAnswers)
{
    FaultConfig f;
    f.faultCmd = CMD_BIT;
    f.nakAll = true;
    Begin(f);
    EXPECT_EQ(Word(Exchange(Command(CMD_WHOAMI, CMD_ACTION_GET)), 16), static_cast<uint32_t>(CMD_ACTION_ACK));
    Bytes r = Exchange(Command(CMD_BIT, CMD_ACTION_GET));
    EXPECT_EQ(Word(r, 16), static_cast<uint32_t>(CMD_ACTION_NAK));
    EXPECT_EQ(r.size(), 32u);
    EXPECT_TRUE(CrcOk(r));

    f = {};
    f.nakWarning = true;
    m_sim->SetFaults(f);
    r = Exchange(Command(CMD_WHOAMI, CMD_ACTION_GET));
    EXPECT_EQ(Word(r, 16), static_cast<uint32_t>(CMD_ACTION_NAK_WARNING));
    EXPECT_EQ(r.size(), 224u);
    EXPECT_TRUE(CrcOk(r));

    f = {};
    f.wrongCommandFirst = true;
    f.corruptResponseEveryN = 1;
    m_sim->SetFaults(f);
    m_client->Send(Command(CMD_UNITS, CMD_ACTION_GET));
    const Bytes first = Next(), second = Next();
    EXPECT_EQ(Word(first, 12), static_cast<uint32_t>(CMD_UNITS + 1));
    EXPECT_TRUE(CrcOk(first));
    EXPECT_EQ(Word(second, 12), static_cast<uint32_t>(CMD_UNITS));
    EXPECT_FALSE(CrcOk(second));
    EXPECT_EQ(m_sim->Stats().faultsInjected, 4u);
}

TEST_F(SimSerial, DelayedAnswersArriveAndWithheldOnesNever)
{
    FaultConfig f;
    f.responseDelayMs = 100;
    Begin(f);
    EXPECT_EQ(Word(Exchange(Command(CMD_UNITS, CMD_ACTION_GET)), 12), static_cast<uint32_t>(CMD_UNITS));
    f = {};
    f.withholdResponses = true;
    m_sim->SetFaults(f);
    m_client->Send(Command(CMD_UNITS, CMD_ACTION_GET));
    EXPECT_TRUE(m_client->ReadQuiet(300).empty());
    EXPECT_EQ(m_sim->Stats().commandsAnswered, 1u);
    EXPECT_EQ(m_sim->Stats().faultsInjected, 2u);
}

TEST_F(SimSerial, QuietLineAndClosedLine)
{
    Begin();
    m_sim->GoQuiet(true);
    m_client->Send(Command(CMD_UNITS, CMD_ACTION_GET));
    EXPECT_TRUE(m_client->ReadQuiet(300).empty());
    m_sim->GoQuiet(false);
    EXPECT_EQ(Word(Exchange(Command(CMD_UNITS, CMD_ACTION_GET)), 12), static_cast<uint32_t>(CMD_UNITS));
    m_sim->CloseLine();
    EXPECT_TRUE(m_client->HungUp(2000));
}
