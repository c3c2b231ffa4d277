// Continuous reading, the hand-over: every chunk to the owner's callback on
// the reading thread, writes while reading, and the store used while no
// callback is set.
#include "UsbContFixture.h"

#include <cerrno>
#include <future>

using namespace sxtest;
using namespace sxtest::usbemu;
using namespace std::chrono_literals;

// ---- hand-over ----

TEST_F(UsbContTest, CallbackGetsEveryChunkOnceWithItsBytesOnTheReadingThread)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    std::vector<std::vector<uint8_t>> sent;
    for (size_t i = 0; i < 60; ++i) {
        sent.push_back(Pattern(1 + (i * 97) % CSXusbIO::kXferSize, static_cast<uint8_t>(i)));
        m_dev->QueueIn(sent.back());
    }
    sent.push_back(Pattern(CSXusbIO::kXferSize, 0x5A)); // a full transfer
    m_dev->QueueIn(sent.back());
    ASSERT_TRUE(m_sink.WaitCount(sent.size()));
    ASSERT_TRUE(WaitResubmitted(*m_dev, static_cast<int>(sent.size()) + 1));
    EXPECT_EQ(m_sink.Chunks(), sent);
    const uint32_t reader = CSXusbIOTest::ThreadId(*m_io);
    ASSERT_NE(reader, 0u);
    EXPECT_NE(reader, sxplat::CurrentThreadId());
    for (uint32_t t : m_sink.Threads())
        EXPECT_EQ(t, reader);
    EXPECT_EQ(CSXusbIOTest::RxCount(*m_io), 0); // nothing went to the store
    EXPECT_EQ(m_io->Close(), 0);
    ExpectClosed();
}

TEST_F(UsbContTest, CallbackStaysOnTheReadingThreadWhileWritesGoOut)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    const uint32_t reader = CSXusbIOTest::ThreadId(*m_io);
    std::vector<std::vector<uint8_t>> sent;
    for (size_t i = 0; i < 40; ++i) {
        sent.push_back(Pattern(8 + i, static_cast<uint8_t>(3 * i)));
        m_dev->QueueIn(sent.back());
        auto cmd = Pattern(32, static_cast<uint8_t>(i));
        unsigned len = static_cast<unsigned>(cmd.size());
        EXPECT_EQ(m_io->Write(cmd.data(), len), 0);
    }
    ASSERT_TRUE(m_sink.WaitCount(sent.size()));
    EXPECT_EQ(m_sink.Chunks(), sent);
    size_t elsewhere = 0;
    for (uint32_t t : m_sink.Threads())
        elsewhere += t != reader;
    EXPECT_EQ(elsewhere, 0u) << "chunks handed over on another thread";
    EXPECT_EQ(m_dev->OutTransfers().size(), 40u);
}

TEST_F(UsbContTest, WritesWhileReadingGiveTheirUsualResults)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    using Transfers = std::vector<std::vector<uint8_t>>;
    auto write = [this](const std::vector<uint8_t>& bytes, unsigned& len) {
        std::vector<uint8_t> copy = bytes;
        len = static_cast<unsigned>(copy.size());
        return m_io->Write(copy.data(), len);
    };
    unsigned len = 0;
    const auto full = Pattern(64, 1);
    EXPECT_EQ(write(full, len), 0);
    EXPECT_EQ(len, 64u);
    EXPECT_EQ(m_dev->OutTransfers(), (Transfers{full, {}})); // with its zero-length packet

    m_dev->SetOutLimit(8);
    EXPECT_EQ(write(Pattern(10, 2), len), 1);
    EXPECT_EQ(len, 8u);
    m_dev->SetOutLimit(SIZE_MAX);

    m_dev->SetOutStatus(-EPIPE);
    EXPECT_EQ(write(Pattern(10, 3), len), LIBUSB_ERROR_PIPE);
    EXPECT_EQ(len, 10u);
    m_dev->SetOutStatus(0);

    m_dev->SetHoldOut(true); // times out: the reading thread cancels it
    EXPECT_EQ(write(Pattern(12, 4), len), LIBUSB_ERROR_TIMEOUT);
    EXPECT_EQ(len, 12u);
    EXPECT_EQ(m_dev->Counters().outPending, 0);
    m_dev->SetHoldOut(false);

    // Reading went on throughout.
    ASSERT_NO_FATAL_FAILURE(Deliver(Pattern(30, 5)));
    EXPECT_EQ(m_sink.Threads().back(), CSXusbIOTest::ThreadId(*m_io));
    EXPECT_EQ(m_dev->Counters().inSubmitted, 2);
}

TEST_F(UsbContTest, WriteStillEndsWhenTheReadingThreadStopsMeanwhile)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    CSXusbIOTest::SetWriteTimeout(*m_io, 1000);
    m_dev->SetHoldOut(true);
    auto cmd = Pattern(16, 1);
    unsigned len = static_cast<unsigned>(cmd.size());
    auto writing = std::async(std::launch::async, [&] { return m_io->Write(cmd.data(), len); });
    ASSERT_TRUE(m_dev->WaitUntil([](const DeviceCounters& c) { return c.outPending == 1; }));
    m_io->StopContThread();
    ExpectIdle();
    // Nobody else handles events now: the write does it itself and times out.
    ASSERT_EQ(writing.wait_for(20s), std::future_status::ready) << "Write hangs";
    EXPECT_EQ(writing.get(), LIBUSB_ERROR_TIMEOUT);
    EXPECT_EQ(m_dev->Counters().outPending, 0);
    m_dev->SetHoldOut(false);
    EXPECT_EQ(m_io->Close(), 0);
    ExpectClosed();
}

TEST_F(UsbContTest, WithoutACallbackChunksGoToTheStoreWhichStartsOverWhenFull)
{
    ASSERT_NO_FATAL_FAILURE(Start(false));
    const unsigned char* store = CSXusbIOTest::Store(*m_io);
    unsigned char* data = nullptr;
    int len = -1;
    EXPECT_EQ(m_io->LastAsyncRead(data, len), 0);
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(len, 0);

    struct Step {
        size_t size;
        size_t at;
    };
    // 600-byte chunks at 0, 600, 1200, then 0 again (1800 + 600 passes the
    // end); a chunk that would end exactly at the end starts over as well.
    const Step steps[] = {{600, 0}, {600, 600}, {600, 1200}, {600, 0}, {1024, 600}, {424, 0}};
    std::vector<std::vector<uint8_t>> chunks;
    for (size_t i = 0; i < std::size(steps); ++i) {
        chunks.push_back(Pattern(steps[i].size, static_cast<uint8_t>(0x10 * (i + 1))));
        m_dev->QueueIn(chunks.back());
        ASSERT_TRUE(WaitResubmitted(*m_dev, static_cast<int>(i) + 2)) << i;
        EXPECT_EQ(CSXusbIOTest::RxCount(*m_io), static_cast<int>(i) + 1);
        EXPECT_EQ(m_io->LastAsyncRead(data, len), 0);
        EXPECT_EQ(data, store + steps[i].at) << i;
        ASSERT_EQ(len, static_cast<int>(steps[i].size)) << i;
        EXPECT_EQ(std::vector<uint8_t>(data, data + len), chunks.back()) << i;
    }
    // What the later chunks did not overwrite is still there.
    EXPECT_EQ(std::vector<uint8_t>(store + 600, store + 1624), chunks[4]);
    EXPECT_EQ(std::vector<uint8_t>(store, store + 424), chunks[5]);
    EXPECT_EQ(std::vector<uint8_t>(store + 424, store + 600),
              std::vector<uint8_t>(chunks[3].begin() + 424, chunks[3].end()));
}

TEST_F(UsbContTest, ChunksBeforeTheCallbackIsSetGoToTheStoreAndNullSwitchesBack)
{
    ASSERT_NO_FATAL_FAILURE(Start(false));
    const auto early = Pattern(20, 1);
    m_dev->QueueIn(early);
    ASSERT_TRUE(WaitResubmitted(*m_dev, 2));
    EXPECT_EQ(CSXusbIOTest::RxCount(*m_io), 1);

    m_io->SetMsgCallback(&ChunkSink::Callback, &m_sink);
    ASSERT_NO_FATAL_FAILURE(Deliver(Pattern(30, 2)));
    EXPECT_EQ(CSXusbIOTest::RxCount(*m_io), 1);

    m_io->SetMsgCallback(nullptr, nullptr);
    const auto late = Pattern(40, 3);
    m_dev->QueueIn(late);
    ASSERT_TRUE(WaitResubmitted(*m_dev, 4));
    EXPECT_EQ(CSXusbIOTest::RxCount(*m_io), 2);
    EXPECT_EQ(m_sink.Chunks().size(), 1u);
    unsigned char* data = nullptr;
    int len = 0;
    m_io->LastAsyncRead(data, len);
    EXPECT_EQ(data, CSXusbIOTest::Store(*m_io) + 20);
    EXPECT_EQ(std::vector<uint8_t>(data, data + len), late);
}

TEST_F(UsbContTest, DataReadyTellsWhetherReadingIsOn)
{
    AddTracker();
    m_io = OpenIO();
    unsigned char bytes[5] = {9, 8, 7, 6, 5};
    EXPECT_FALSE(m_io->DataReady(bytes, 5));
    unsigned char* data = nullptr;
    int len = 0;
    m_io->LastAsyncRead(data, len);
    ASSERT_EQ(len, 5);
    EXPECT_EQ(data[0], 9);
    EXPECT_EQ(data[4], 5);
    CSXusbIOTest::SetRunning(*m_io, true);
    EXPECT_TRUE(m_io->DataReady(bytes, 5));
    CSXusbIOTest::SetRunning(*m_io, false);
}
