// P&O access end to end, over both links: the queue in body and raw form,
// lost frames, the block read, the callback, single P&O, time stamps.
#include "DeviceLinks.h"

#include <SXCmdIF/protocol/SXframe.h>

#include <atomic>
#include <vector>

using namespace sxtest;

template <class Link>
class Pno : public DeviceTest<Link> {
};
TYPED_TEST_SUITE(Pno, Links, LinkNames);

namespace {

constexpr uint32_t kBodyLen2 = 16 + 2 * 32; // seuid to the last record, two sensors

} // namespace

TYPED_TEST(Pno, ContinuousOutputFillsTheQueueInOrder)
{
    ASSERT_EQ(sxdev_tsenable(this->ctx, this->dev, true), E_SX_SUCCESS);
    ASSERT_EQ(sxctx_dev_resetpnocounters(this->ctx, this->dev), E_SX_SUCCESS);
    ASSERT_EQ(this->StartStream(), E_SX_SUCCESS);
    ASSERT_TRUE(this->WaitQueued(4));
    ASSERT_EQ(this->StopStream(), E_SX_SUCCESS);

    _sxFrameInfo a{}, b{}, last{};
    ASSERT_EQ(sxctx_dev_fifopnofraw(this->ctx, this->dev, &a), E_SX_SUCCESS);
    EXPECT_EQ(Le32(a.pFrame), SX_PREAMBLE_PNO);
    EXPECT_EQ(a.seqNum, 1u);
    EXPECT_EQ(a.frameLen, Le32(a.pFrame, 4) + 8);
    ASSERT_EQ(sxctx_dev_fifopnof(this->ctx, this->dev, &b), E_SX_SUCCESS);
    EXPECT_EQ(b.seqNum, 2u);
    EXPECT_EQ(Le32(b.pFrame), 7u); // the body begins with the unit id
    EXPECT_EQ(b.frameLen, kBodyLen2);
    EXPECT_EQ(Le32(b.pFrame, 4), Le32(a.pFrame, 12) + 1); // consecutive frame counts
    EXPECT_GT(b.timeStamp, a.timeStamp);
    ASSERT_EQ(sxctx_dev_lastpnofraw(this->ctx, this->dev, &last), E_SX_SUCCESS);
    EXPECT_GE(last.seqNum, 4u);
    unsigned frames = 9;
    int bytes = 9;
    ASSERT_EQ(sxctx_dev_fifo_unread_count(this->ctx, this->dev, &frames, &bytes), E_SX_SUCCESS);
    // Stopped: at most a frame that was already under way follows.
    EXPECT_LE(frames, 1u);
    ASSERT_EQ(sxctx_dev_resetpnocounters(this->ctx, this->dev), E_SX_SUCCESS);
    _sxFrameInfo none{a.pFrame, 1, 1, 1, 1};
    EXPECT_EQ(sxctx_dev_fifopnof(this->ctx, this->dev, &none), E_CTXERR_NO_MORE_DATA);
    EXPECT_EQ(none.pFrame, nullptr);
    EXPECT_EQ(none.frameLen, 0u);

    // Time stamps off: 0.
    ASSERT_EQ(sxdev_tsenable(this->ctx, this->dev, false), E_SX_SUCCESS);
    ASSERT_EQ(this->StartStream(), E_SX_SUCCESS);
    ASSERT_TRUE(this->WaitQueued(1));
    ASSERT_EQ(sxctx_dev_fifopnofraw(this->ctx, this->dev, &a), E_SX_SUCCESS);
    EXPECT_EQ(a.timeStamp, 0u);
    EXPECT_EQ(a.seqNum, 1u);
}

TYPED_TEST(Pno, LostFramesAreCountedWithAllowOn)
{
    sxsim::FaultConfig f;
    f.dropEveryN = 3;
    this->SetFaults(f);
    ASSERT_EQ(sxdev_pnofrmerr_allow(this->ctx, this->dev, true), E_SX_SUCCESS);
    ASSERT_EQ(this->StartStream(), E_SX_SUCCESS);
    ASSERT_TRUE(this->WaitQueued(6));
    ASSERT_EQ(this->StopStream(), E_SX_SUCCESS);
    _sxFrameInfo prev{}, cur{};
    ASSERT_EQ(sxctx_dev_fifopnofraw(this->ctx, this->dev, &prev), E_SX_SUCCESS);
    int gaps = 0;
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(sxctx_dev_fifopnofraw(this->ctx, this->dev, &cur), E_SX_SUCCESS);
        const uint32_t lost = Le32(cur.pFrame, 12) - Le32(prev.pFrame, 12) - 1;
        EXPECT_EQ(Le32(cur.pFrame, 16) >> 16, lost); // hpinfo's high half
        gaps += lost != 0;
        prev = cur;
    }
    EXPECT_GT(gaps, 0);
}

TYPED_TEST(Pno, ReadRawBufPacksWholeFramesBackToBack)
{
    ASSERT_EQ(this->StartStream(), E_SX_SUCCESS);
    ASSERT_TRUE(this->WaitQueued(4));
    ASSERT_EQ(this->StopStream(), E_SX_SUCCESS);
    const unsigned frameLen = kBodyLen2 + 12;
    std::vector<unsigned char> buf(frameLen * 5 / 2);
    unsigned char* p = buf.data();
    unsigned frames = 16;
    int len = static_cast<int>(buf.size());
    ASSERT_EQ(sxctx_dev_fifo_readrawbuf(this->ctx, this->dev, &frames, &p, &len), E_SX_SUCCESS);
    EXPECT_EQ(frames, 2u);
    EXPECT_EQ(len, static_cast<int>(2 * frameLen));
    EXPECT_EQ(Le32(buf.data()), SX_PREAMBLE_PNO);
    EXPECT_EQ(Le32(buf.data(), frameLen), SX_PREAMBLE_PNO);
    EXPECT_EQ(Le32(buf.data(), frameLen + 12), Le32(buf.data(), 12) + 1);

    // Too small for one frame: 18, nothing taken. No buffer: 8.
    len = 10;
    frames = 1;
    EXPECT_EQ(sxctx_dev_fifo_readrawbuf(this->ctx, this->dev, &frames, &p, &len), E_SXERR_BUF_TOO_SMALL);
    unsigned char* nobuf = nullptr;
    EXPECT_EQ(sxctx_dev_fifo_readrawbuf(this->ctx, this->dev, &frames, &nobuf, &len), E_SXERR_INVALID_PARAMS);
    len = -5;
    EXPECT_EQ(sxctx_dev_fifo_readrawbuf(this->ctx, this->dev, &frames, &p, &len), E_SXERR_INVALID_PARAMS);
}

namespace {
struct Counter {
    std::atomic<int> frames{0};
    std::atomic<uint32_t> first{0};
    static void Cb(void* arg, unsigned char* frame, unsigned int length)
    {
        auto* c = static_cast<Counter*>(arg);
        if (length >= 4)
            c->first = Le32(frame);
        ++c->frames;
    }
};
} // namespace

TYPED_TEST(Pno, CallbackTakesFramesInsteadOfTheQueue)
{
    Counter c;
    ASSERT_EQ(sxdev_SetPnoCallback(this->ctx, this->dev, &Counter::Cb, &c), E_SX_SUCCESS);
    ASSERT_EQ(this->StartStream(), E_SX_SUCCESS);
    for (int i = 0; i < 600 && c.frames < 5; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_GE(c.frames, 5);
    EXPECT_EQ(c.first, SX_PREAMBLE_PNO);
    unsigned frames = 9;
    int bytes = 9;
    ASSERT_EQ(sxctx_dev_fifo_unread_count(this->ctx, this->dev, &frames, &bytes), E_SX_SUCCESS);
    EXPECT_EQ(frames, 0u);
    EXPECT_EQ(bytes, 0);
    ASSERT_EQ(sxdev_SetPnoCallback(this->ctx, this->dev, nullptr, nullptr), E_SX_SUCCESS);
    EXPECT_TRUE(this->WaitQueued(2));
}

TYPED_TEST(Pno, SinglePnoAndTheNextFrameVariant)
{
    _sxFrameInfo out{};
    ASSERT_EQ(sxcmd_dev_singlepno(this->ctx, this->dev, out, 0), E_SX_SUCCESS);
    EXPECT_EQ(out.frameLen, kBodyLen2);
    EXPECT_EQ(Le32(out.pFrame), 7u);
    EXPECT_EQ(out.seqNum, 0u);

    // The answer is the body, so the variant waits for the next frame.
    ASSERT_EQ(sxdev_timeoutms(this->ctx, this->dev, 1, 0), E_SX_SUCCESS);
    EXPECT_EQ(sxcmd_dev_singlepno_q7p(this->ctx, this->dev, out), E_SXERR_TIMEOUT);
    EXPECT_EQ(out.frameLen, kBodyLen2);
    ASSERT_EQ(this->StartStream(), E_SX_SUCCESS);
    ASSERT_EQ(sxdev_timeoutms(this->ctx, this->dev, 0, 500), E_SX_SUCCESS);
    ASSERT_EQ(sxcmd_dev_singlepno_q7p(this->ctx, this->dev, out), E_SX_SUCCESS);
    EXPECT_EQ(Le32(out.pFrame), SX_PREAMBLE_PNO);
    EXPECT_EQ(out.frameLen, kBodyLen2 + 12);

    sxsim::FaultConfig quiet;
    quiet.withholdResponses = true;
    this->SetFaults(quiet);
    _sxFrameInfo kept{nullptr, 3, 0, 0, 0};
    EXPECT_EQ(sxcmd_dev_singlepno(this->ctx, this->dev, kept, 0), E_CTXERR_DEV_RECV_QUEUE_EMPTY);
    EXPECT_EQ(kept.frameLen, 3u);
}

TYPED_TEST(Pno, ReleaseWhileStreaming)
{
    ASSERT_EQ(this->StartStream(), E_SX_SUCCESS);
    ASSERT_TRUE(this->WaitQueued(3));
    EXPECT_EQ(sxctx_dev_release(this->ctx, this->dev), E_SX_SUCCESS);
    EXPECT_EQ(sxctx_dev_release(this->ctx, this->dev), E_CTXERR_INVALID_DEVHND);
    int n = -1;
    EXPECT_EQ(sxctx_dev_count(this->ctx, &n), E_SX_SUCCESS);
    EXPECT_EQ(n, 0);
}
