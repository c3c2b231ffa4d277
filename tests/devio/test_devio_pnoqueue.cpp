// The P&O queue: reads, counts, block reads, the bound, the callback, the
// wait and the time stamps.
#include "DevTestUtil.h"

#include <SXCmdIF/SXerrors.h>
#include "diag/TraceInternal.h"
#include <testsupport/StdoutCapture.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

using namespace sxtest;

namespace {

class PnoQueue : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_link = NewSerialLink();
        ASSERT_TRUE(m_link->dev->IsConnected());
    }
    CSXdevIO& Dev() { return *m_link->dev; }
    int Deliver(const Bytes& unit)
    {
        Bytes copy = unit;
        CFrameInfo r(copy.data(), static_cast<unsigned>(copy.size()));
        return Dev().DataReady(r);
    }
    void DeliverRun(uint32_t first, int n, unsigned sensors = 1)
    {
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(Deliver(PnoFrame(first + static_cast<uint32_t>(i), sensors)), 0);
    }
    std::unique_ptr<Link> m_link;
};

TEST_F(PnoQueue, FifoTakesTheOldestLastTheNewestAndDiscardsTheRest)
{
    CFrameInfo f;
    EXPECT_EQ(Dev().RxPnoDequeueFIFO(f), E_CTXERR_NO_MORE_DATA);
    EXPECT_EQ(Dev().RxPnoDequeueLAST(f), E_CTXERR_NO_MORE_DATA);
    EXPECT_TRUE(f.IsNull());
    DeliverRun(10, 3);
    ASSERT_EQ(Dev().RxPnoDequeueFIFO(f), 0);
    EXPECT_EQ(f.devfc(), 10u);
    unsigned frames = 0;
    int bytes = 0;
    EXPECT_EQ(Dev().FIFOPnoCount(frames, bytes), 0);
    EXPECT_EQ(frames, 2u);
    EXPECT_EQ(bytes, 2 * 60);
    DeliverRun(13, 1);
    ASSERT_EQ(Dev().RxPnoDequeueLAST(f), 0);
    EXPECT_EQ(f.devfc(), 13u);
    Dev().FIFOPnoCount(frames, bytes);
    EXPECT_EQ(frames, 0u);
    EXPECT_EQ(bytes, 0);
}

TEST_F(PnoQueue, BlockReadTakesWhatFits)
{
    DeliverRun(1, 3, 16);
    CFrameInfo out;
    unsigned frames = 10;
    EXPECT_EQ(Dev().FIFORxPnoCount(out, frames, 500), E_SXERR_BUF_TOO_SMALL);
    EXPECT_EQ(frames, 10u);
    EXPECT_TRUE(out.IsNull());
    EXPECT_EQ(Dev().FIFORxPnoCount(out, frames, 1000), 0);
    EXPECT_EQ(frames, 1u);
    EXPECT_EQ(out.frameLen, 540u);
    EXPECT_EQ(out.devfc(), 1u);
    frames = 10;
    EXPECT_EQ(Dev().FIFORxPnoCount(out, frames, 1080), 0);
    EXPECT_EQ(frames, 2u);
    EXPECT_EQ(out.frameLen, 1080u);
    EXPECT_EQ(out.seqNum, 2u);
    EXPECT_EQ(Word(out.pFrame, 540 + 12), 3u);
    frames = 10;
    EXPECT_EQ(Dev().FIFORxPnoCount(out, frames, 1080), 0);
    EXPECT_EQ(frames, 10u); // nothing queued: unchanged
}

TEST_F(PnoQueue, BlockReadStopsWhereTheStoreStartsAgain)
{
    CSXdevIOTest::PnoWriteOff(Dev()) = CSXdevIO::kStoreWrap - 540;
    CSXdevIOTest::PnoWrite(Dev()) = CSXdevIOTest::PnoStore(Dev()) + CSXdevIOTest::PnoWriteOff(Dev());
    DeliverRun(1, 3, 16);
    CFrameInfo out;
    unsigned frames = 10;
    EXPECT_EQ(Dev().FIFORxPnoCount(out, frames, 100000), 0);
    EXPECT_EQ(frames, 1u);
    EXPECT_EQ(out.pFrame, CSXdevIOTest::PnoStore(Dev()) + CSXdevIO::kStoreWrap - 540);
    frames = 10;
    EXPECT_EQ(Dev().FIFORxPnoCount(out, frames, 100000), 0);
    EXPECT_EQ(frames, 2u);
    EXPECT_EQ(out.pFrame, CSXdevIOTest::PnoStore(Dev()));
}

TEST_F(PnoQueue, The1921stFramePushesTheOldest)
{
    DeliverRun(1, 1921);
    unsigned frames = 0;
    int bytes = 0;
    Dev().FIFOPnoCount(frames, bytes);
    EXPECT_EQ(frames, 1920u);
    CFrameInfo f;
    ASSERT_EQ(Dev().RxPnoDequeueFIFO(f), 0);
    EXPECT_EQ(f.devfc(), 2u);
    EXPECT_EQ(f.seqNum, 2u);
    Dev().ResetPno();
    DeliverRun(5000, 1);
    ASSERT_EQ(Dev().RxPnoDequeueFIFO(f), 0);
    EXPECT_EQ(f.seqNum, 1u);
}

// Past its bound the ring says it dropped the oldest, and the queue writes
// its line at level 7 (not below), with the newest frame's count.
TEST_F(PnoQueue, OverflowIsReturnedAndTraced)
{
    sxdev::FrameRing<2> ring;
    const CFrameInfo f;
    EXPECT_FALSE(ring.push_back(f));
    EXPECT_FALSE(ring.push_back(f));
    EXPECT_TRUE(ring.push_back(f));
    EXPECT_EQ(ring.size(), 2u);

    DeliverRun(1, 1920);
    const std::string line = std::to_string(Dev().SeuId()) + "-" + Dev().Label() +
                             " : CSXdevIO::RxPnoEnqueue: Unclaimed Rx Pno Frames exceeded 1920 : popping frame FC ";
    for (int level : {6, 7}) {
        trSetTrace(true, level);
        StdoutCapture cap;
        DeliverRun(2000 + static_cast<uint32_t>(level), 1);
        const std::string text = cap.Text();
        trSetTrace(false, 0);
        if (level == 7) {
            EXPECT_NE(text.find(line + "2007\r\n"), std::string::npos) << text;
            EXPECT_EQ(text.find(line), text.rfind(line)) << text;
        } else {
            EXPECT_EQ(text.find(line), std::string::npos) << text;
        }
    }
    unsigned frames = 0;
    int bytes = 0;
    Dev().FIFOPnoCount(frames, bytes);
    EXPECT_EQ(frames, 1920u);
}

TEST_F(PnoQueue, TimeStampsOnlyWhenEnabled)
{
    DeliverRun(1, 2);
    Dev().SetTsEnable(true);
    DeliverRun(3, 2);
    CFrameInfo a, b, c, d;
    Dev().RxPnoDequeueFIFO(a);
    Dev().RxPnoDequeueFIFO(b);
    Dev().RxPnoDequeueFIFO(c);
    Dev().RxPnoDequeueFIFO(d);
    EXPECT_EQ(a.timeStamp, 0u);
    EXPECT_EQ(b.timeStamp, 0u);
    EXPECT_GT(c.timeStamp, 0u);
    EXPECT_GT(d.timeStamp, c.timeStamp);
}

struct Calls {
    std::atomic<int> n{0};
    std::atomic<int> wrongArg{0};
    std::atomic<uint32_t> lastFc{0};
};
Calls g_a, g_b;

void CbA(void* arg, unsigned char* frame, unsigned int len)
{
    if (arg != &g_a)
        ++g_a.wrongArg;
    if (len >= 16)
        g_a.lastFc = Word(frame, 12);
    ++g_a.n;
}

void CbB(void* arg, unsigned char*, unsigned int)
{
    if (arg != &g_b)
        ++g_b.wrongArg;
    ++g_b.n;
}

TEST_F(PnoQueue, CallbackTakesFramesInsteadOfTheQueue)
{
    g_a.n = 0;
    Dev().SetPnoCallback(CbA, &g_a);
    DeliverRun(77, 3);
    EXPECT_EQ(g_a.n.load(), 3);
    EXPECT_EQ(g_a.lastFc.load(), 79u);
    EXPECT_EQ(g_a.wrongArg.load(), 0);
    unsigned frames = 0;
    int bytes = 0;
    Dev().FIFOPnoCount(frames, bytes);
    EXPECT_EQ(frames, 0u);
    CFrameInfo f;
    EXPECT_EQ(Dev().WaitPnoRespA(f), E_SXERR_TIMEOUT);
    Dev().SetPnoCallback(nullptr, nullptr);
    DeliverRun(80, 1);
    Dev().FIFOPnoCount(frames, bytes);
    EXPECT_EQ(frames, 1u);
}

TEST_F(PnoQueue, CallbackAndArgumentChangeTogetherAndTheOldOneStops)
{
    g_a.n = 0;
    g_b.n = 0;
    g_a.wrongArg = 0;
    g_b.wrongArg = 0;
    std::atomic<bool> stop{false};
    // Stands in for the reading thread.
    std::thread reader([&] {
        Bytes f = PnoFrame(1);
        while (!stop) {
            Bytes copy = f;
            CFrameInfo r(copy.data(), static_cast<unsigned>(copy.size()));
            Dev().DataReady(r);
        }
    });
    for (int i = 0; i < 2000; ++i) {
        Dev().SetPnoCallback(CbA, &g_a);
        Dev().SetPnoCallback(CbB, &g_b);
        const int a = g_a.n;
        std::this_thread::yield();
        EXPECT_EQ(g_a.n.load(), a); // A is no longer running nor called
    }
    stop = true;
    reader.join();
    EXPECT_EQ(g_a.wrongArg.load(), 0);
    EXPECT_EQ(g_b.wrongArg.load(), 0);
    EXPECT_GT(g_b.n.load(), 0);
}

CSXdevIO* g_swapDev = nullptr;
void CbSwapsItself(void*, unsigned char*, unsigned int)
{
    ++g_a.n;
    g_swapDev->SetPnoCallback(CbB, &g_b);
}

TEST_F(PnoQueue, CallbackMaySwapItselfOnTheReadingThread)
{
    g_a.n = 0;
    g_b.n = 0;
    g_swapDev = &Dev();
    Dev().SetPnoCallback(CbSwapsItself, nullptr);
    m_link->Push(PnoFrame(1));
    m_link->Push(PnoFrame(2));
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (g_b.n < 1 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_EQ(g_a.n.load(), 1);
    EXPECT_EQ(g_b.n.load(), 1);
    Dev().SetPnoCallback(nullptr, nullptr);
}

TEST_F(PnoQueue, WaitTimesOutOrTakesTheFrameThatArrives)
{
    CFrameInfo f;
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(Dev().WaitPnoRespA(f), E_SXERR_TIMEOUT);
    EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(45));
    EXPECT_TRUE(f.IsNull());
    Dev().SetTimeoutMs(2000);
    std::thread late([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        m_link->Push(PnoFrame(42));
    });
    EXPECT_EQ(Dev().WaitPnoRespA(f), 0);
    late.join();
    EXPECT_EQ(f.devfc(), 42u);
    EXPECT_EQ(f.seqNum, 1u);
}

// A frame's ready flag can come after an earlier wait has already taken
// that frame; it must not end the next wait with an empty queue.
TEST_F(PnoQueue, ALateFlagOfATakenFrameDoesNotEndTheNextWait)
{
    DeliverRun(7, 1);
    CFrameInfo taken;
    ASSERT_EQ(Dev().RxPnoDequeueLAST(taken), 0);
    Dev().SetTimeoutMs(300);
    std::thread late([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::lock_guard<std::mutex> lock(CSXdevIOTest::PnoWaitLock(Dev()));
        CSXdevIOTest::NewPnoReady(Dev()) = true;
        CSXdevIOTest::PnoWake(Dev()).notify_all();
    });
    CFrameInfo f;
    EXPECT_EQ(Dev().WaitPnoRespA(f), E_SXERR_TIMEOUT);
    late.join();
    EXPECT_TRUE(f.IsNull());
}

TEST_F(PnoQueue, WaitsMissNoFrameOfAStream)
{
    Dev().SetTimeoutMs(5000);
    std::atomic<bool> stop{false};
    std::thread reader([&] {
        uint32_t fc = 1;
        while (!stop) {
            Bytes f = PnoFrame(fc++);
            CFrameInfo r(f.data(), static_cast<unsigned>(f.size()));
            Dev().DataReady(r);
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    });
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < 300; ++i) {
        CFrameInfo f;
        ASSERT_EQ(Dev().WaitPnoRespA(f), 0);
    }
    stop = true;
    reader.join();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(10));
}

} // namespace
