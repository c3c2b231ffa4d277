// The receive checks and the stores, through DataReady on a connected
// device. Each unit lives in a buffer of exactly its length, so a read past
// it shows under AddressSanitizer.
#include "DevTestUtil.h"

#include <SXCmdIF/SXerrText.h>
#include <SXCmdIF/SXerrors.h>
#include "diag/TraceInternal.h"
#include <SXCmdIF/protocol/SXcmd.h>
#include <testsupport/StdoutCapture.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <regex>

using namespace sxtest;

namespace {

class Receive : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_link = NewSerialLink();
        ASSERT_TRUE(m_link->dev->IsConnected());
    }
    CSXdevIO& Dev() { return *m_link->dev; }
    // Delivers the bytes as one unit, from a buffer of exactly that length.
    int Deliver(const Bytes& unit)
    {
        std::unique_ptr<unsigned char[]> buf(new unsigned char[unit.size()]);
        std::memcpy(buf.get(), unit.data(), unit.size());
        CFrameInfo r(buf.get(), static_cast<unsigned>(unit.size()));
        return Dev().DataReady(r);
    }
    unsigned Queued()
    {
        unsigned frames = 0;
        int bytes = 0;
        Dev().FIFOPnoCount(frames, bytes);
        return frames;
    }
    CFrameInfo Oldest()
    {
        CFrameInfo f;
        EXPECT_EQ(Dev().RxPnoDequeueFIFO(f), 0);
        return f;
    }
    std::unique_ptr<Link> m_link;
};

uint32_t Hpinfo(const CFrameInfo& f)
{
    return Word(f.pFrame, 16);
}

TEST_F(Receive, NotConnectedDeviceRefusesEverything)
{
    CSXdevIO* dev = new (std::nothrow) CSXdevIO(nullptr);
    ASSERT_NE(dev, nullptr);
    Bytes f = PnoFrame(1);
    CFrameInfo r(f.data(), static_cast<unsigned>(f.size())), rsp;
    EXPECT_FALSE(dev->IsConnected());
    EXPECT_EQ(dev->DataReady(r), E_DEVIOERR_NO_CNX);
    EXPECT_EQ(dev->CmdIO(r, rsp, true), E_DEVIOERR_NO_CNX);
    EXPECT_EQ(dev->WaitPnoRespA(rsp), E_DEVIOERR_NO_CNX);
    uint32_t len = 4;
    EXPECT_EQ(dev->Write(f.data(), len), E_DEVIOERR_NO_CNX);
    EXPECT_EQ(dev->Disconnect(), 0);
    delete dev;
}

TEST_F(Receive, LostFramesAreCountedWithAllowOn)
{
    Dev().SetPnoFrmErrAllow(true);
    for (uint32_t fc : {100u, 101u, 104u})
        EXPECT_EQ(Deliver(PnoFrame(fc)), 0);
    EXPECT_EQ(Hpinfo(Oldest()) >> 16, 0u);
    EXPECT_EQ(Hpinfo(Oldest()) >> 16, 0u);
    EXPECT_EQ(Hpinfo(Oldest()) >> 16, 2u);
}

TEST_F(Receive, LostFramesLeaveFramesUnchangedWithAllowOff)
{
    for (uint32_t fc : {100u, 101u, 104u})
        EXPECT_EQ(Deliver(PnoFrame(fc)), 0);
    Oldest();
    Oldest();
    const CFrameInfo f = Oldest();
    EXPECT_EQ(Bytes(f.pFrame, f.pFrame + f.frameLen), PnoFrame(104));
}

TEST_F(Receive, SeventeenSensorsAreDroppedOrMarked)
{
    const Bytes f = PnoFrame(5, 16, 17);
    EXPECT_EQ(Deliver(f), E_SXERR_INVALID_SENSOR);
    EXPECT_EQ(Queued(), 0u);
    Dev().SetPnoFrmErrAllow(true);
    EXPECT_EQ(Deliver(f), E_SXERR_INVALID_SENSOR);
    ASSERT_EQ(Queued(), 1u);
    const CFrameInfo q = Oldest();
    EXPECT_EQ(Hpinfo(q), SX_HPINFO_SNSERR);
    EXPECT_EQ(q.errCode, 0);
}

TEST_F(Receive, SensorNumberSixteenIsRefusedWhileValidating)
{
    Bytes f = PnoFrame(5, 2);
    PutWord(f.data(), 24 + 32, 16);
    FixCrc(f);
    EXPECT_EQ(Deliver(f), E_SXERR_INVALID_SENSOR);
    EXPECT_EQ(Queued(), 0u);
    Dev().SetPnoValidateSensor(false);
    EXPECT_EQ(Deliver(f), 0);
    EXPECT_EQ(Queued(), 1u);
}

TEST_F(Receive, ForeignPreambleIsDroppedOrRewrittenAndMarked)
{
    Bytes f = PnoFrame(9, 1);
    PutWord(f.data(), 0, SXPreambleWord('A', 'B', 'C', 'D'));
    EXPECT_EQ(Deliver(f), E_DEVIOERR_FRAME_HEADER);
    EXPECT_EQ(Queued(), 0u);
    Dev().SetPnoFrmErrAllow(true);
    EXPECT_EQ(Deliver(f), E_DEVIOERR_FRAME_HEADER);
    ASSERT_EQ(Queued(), 1u);
    const CFrameInfo q = Oldest();
    EXPECT_EQ(Word(q.pFrame, 0), SX_PREAMBLE_PNO);
    EXPECT_EQ(Hpinfo(q), SX_HPINFO_FRAMERR);
}

TEST_F(Receive, BadPnoCrcIsDroppedOrMarked)
{
    Bytes f = PnoFrame(9, 1);
    f.back() ^= 1;
    EXPECT_EQ(Deliver(f), E_SXERR_INVALID_CRC);
    EXPECT_EQ(Queued(), 0u);
    Dev().SetPnoFrmErrAllow(true);
    EXPECT_EQ(Deliver(f), E_SXERR_INVALID_CRC);
    ASSERT_EQ(Queued(), 1u);
    EXPECT_EQ(Hpinfo(Oldest()), SX_HPINFO_CRCERR);
}

TEST_F(Receive, ShortUnitsAreDroppedEvenWithAllow)
{
    for (bool allow : {false, true}) {
        Dev().SetPnoFrmErrAllow(allow);
        const Bytes f = PnoFrame(1);
        for (size_t n : {1u, 4u, 7u})
            EXPECT_EQ(Deliver(Bytes(f.begin(), f.begin() + static_cast<long>(n))), E_DEVIOERR_FRAME_HEADER);
    }
    EXPECT_EQ(Queued(), 0u);
    EXPECT_EQ(CmdQueueSize(Dev()), 0u);
}

// The envelope alone, 8 bytes: with allow on its preamble can be rewritten,
// so it goes on whole, as a sensor fault last (it holds no sensor records);
// one byte less is dropped (above).
TEST_F(Receive, EnvelopeAloneGoesOnRewrittenWithAllow)
{
    Bytes unit(8, 0);
    PutWord(unit.data(), 0, SXPreambleWord('A', 'B', 'C', 'D'));
    EXPECT_EQ(Deliver(unit), E_DEVIOERR_FRAME_HEADER);
    EXPECT_EQ(Queued(), 0u);
    Dev().SetPnoFrmErrAllow(true);
    EXPECT_EQ(Deliver(unit), E_SXERR_INVALID_SENSOR);
    ASSERT_EQ(Queued(), 1u);
    const CFrameInfo q = Oldest();
    Bytes rewritten(8, 0);
    PutWord(rewritten.data(), 0, SX_PREAMBLE_PNO);
    EXPECT_EQ(Bytes(q.pFrame, q.pFrame + q.frameLen), rewritten);
    EXPECT_EQ(q.errCode, 0);
}

// A response that fails its CRC is queued with its error; its error line
// comes at level 2 with the bare code, and again at level 7 with the command
// in the high half, as the waiting command will see it.
TEST_F(Receive, ResponseWithBadCrcTracesItsError)
{
    Bytes rsp = CmdFrame(CMD_UNITS, CMD_ACTION_ACK);
    rsp.back() ^= 1;
    const int withCmd = E_SXERR_INVALID_CRC + (CMD_UNITS << 16);
    auto line = [](int code) {
        char head[32];
        std::snprintf(head, sizeof head, "0x0: Error 0x%x ", static_cast<unsigned>(code));
        return std::regex(std::string(head) + trErrStr(code) + R"( :  : CSXdevIO::DataReady:\d+\r\n)");
    };
    for (int level : {2, 7}) {
        trSetTrace(true, level);
        StdoutCapture cap;
        const int e = Deliver(rsp);
        const std::string text = cap.Text();
        trSetTrace(false, 0);
        EXPECT_EQ(e, withCmd);
        EXPECT_TRUE(std::regex_search(text, line(E_SXERR_INVALID_CRC))) << text;
        EXPECT_EQ(std::regex_search(text, line(withCmd)), level == 7) << text;
    }
    ASSERT_EQ(CmdQueueSize(Dev()), 2u);
    EXPECT_EQ(CSXdevIOTest::CmdQueue(Dev()).front().errCode, static_cast<unsigned>(withCmd));
}

TEST_F(Receive, UnitShorterThanItsSizeIsAHeaderError)
{
    // A frame whose size announces 16 sensors, cut after its second record
    // (its sensor count says 2).
    const Bytes full = PnoFrame(3, 16, 2);
    const Bytes cut(full.begin(), full.begin() + 24 + 64);
    EXPECT_EQ(Deliver(cut), E_DEVIOERR_FRAME_HEADER);
    EXPECT_EQ(Queued(), 0u);
    // A response whose size claims a payload that never came.
    Bytes rsp = CmdFrame(CMD_UNITS, CMD_ACTION_ACK);
    PutWord(rsp.data(), 4, 24 + 400);
    EXPECT_EQ(Deliver(rsp), E_DEVIOERR_FRAME_HEADER);
    EXPECT_EQ(CmdQueueSize(Dev()), 0u);
    // With allow on it goes on marked, and only the delivered bytes are kept.
    Dev().SetPnoFrmErrAllow(true);
    EXPECT_EQ(Deliver(cut), E_DEVIOERR_FRAME_HEADER);
    ASSERT_EQ(Queued(), 1u);
    const CFrameInfo q = Oldest();
    EXPECT_EQ(q.frameLen, cut.size());
    EXPECT_EQ(Hpinfo(q), SX_HPINFO_FRAMERR);
    // Sensor records claimed but not delivered are a sensor fault; they are
    // not read.
    Bytes lying = cut;
    PutWord(lying.data(), 20, 16);
    EXPECT_EQ(Deliver(lying), E_SXERR_INVALID_SENSOR);
    ASSERT_EQ(Queued(), 1u);
    // The same frame count again: the lost-frame field holds -1.
    EXPECT_EQ(Hpinfo(Oldest()), 0xFFFF0000u | SX_HPINFO_FRAMERR | SX_HPINFO_SNSERR);
}

TEST_F(Receive, OverlongResponseIsAHeaderError)
{
    Bytes big = CmdFrame(CMD_UNITS, CMD_ACTION_SET, 1, Bytes(70000, 0x11));
    Dev().SetPnoFrmErrAllow(true);
    EXPECT_EQ(Deliver(big), E_DEVIOERR_FRAME_HEADER);
    EXPECT_EQ(CmdQueueSize(Dev()), 0u);
}

TEST_F(Receive, PnoStoreStartsAgainAfterItsWrapPoint)
{
    // 28,800 frames of 540 bytes fill the store to the wrap point.
    const Bytes f = PnoFrame(1, 16);
    ASSERT_EQ(f.size(), 540u);
    for (int i = 0; i < 28800; ++i)
        ASSERT_EQ(Deliver(f), 0);
    EXPECT_EQ(CSXdevIOTest::PnoWriteOff(Dev()), 0u);
    EXPECT_EQ(CSXdevIOTest::PnoWrite(Dev()), CSXdevIOTest::PnoStore(Dev()));
    // A frame begun one byte before the wrap point ends inside the slack.
    Dev().ResetPno();
    CSXdevIOTest::PnoWriteOff(Dev()) = CSXdevIO::kStoreWrap - 1;
    CSXdevIOTest::PnoWrite(Dev()) = CSXdevIOTest::PnoStore(Dev()) + CSXdevIOTest::PnoWriteOff(Dev());
    ASSERT_EQ(Deliver(f), 0);
    const CFrameInfo q = Oldest();
    EXPECT_EQ(q.pFrame, CSXdevIOTest::PnoStore(Dev()) + CSXdevIO::kStoreWrap - 1);
    EXPECT_EQ(Bytes(q.pFrame, q.pFrame + q.frameLen), f);
    EXPECT_EQ(CSXdevIOTest::PnoWriteOff(Dev()), 0u);
}

TEST_F(Receive, LongResponseThatWouldRunPastTheStoreStartsAtTheFront)
{
    const Bytes big = CmdFrame(CMD_UNITS, CMD_ACTION_SET, 1, Bytes(2000, 0x22));
    CSXdevIOTest::CmdWriteOff(Dev()) = CSXdevIO::kStoreWrap - 100;
    CSXdevIOTest::CmdWrite(Dev()) = CSXdevIOTest::CmdStore(Dev()) + CSXdevIOTest::CmdWriteOff(Dev());
    ASSERT_EQ(Deliver(big), 0);
    int e = 0;
    CFrameInfo rsp;
    ASSERT_TRUE(Dev().RxCmdDequeue(rsp, CMD_UNITS, e));
    EXPECT_EQ(rsp.pFrame, CSXdevIOTest::CmdStore(Dev()));
    EXPECT_EQ(Bytes(rsp.pFrame, rsp.pFrame + rsp.frameLen), big);
    EXPECT_EQ(CSXdevIOTest::CmdWriteOff(Dev()), big.size());
}

TEST_F(Receive, UnclaimedResponsesAreBounded)
{
    for (uint32_t i = 0; i < 1921; ++i)
        ASSERT_EQ(Deliver(CmdFrame(i % 30, CMD_ACTION_ACK, i)), 0);
    EXPECT_EQ(CmdQueueSize(Dev()), 1920u);
    std::lock_guard<std::mutex> lock(CSXdevIOTest::CmdQueueLock(Dev()));
    EXPECT_EQ(CSXdevIOTest::CmdQueue(Dev()).front().devid(), 1u);
}

} // namespace
