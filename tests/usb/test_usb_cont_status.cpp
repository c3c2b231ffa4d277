// Continuous reading, the completion callback for every transfer status:
// what is handed over, what is traced, and which statuses end reading.
#include "UsbContFixture.h"

#include <cerrno>
#include <future>

using namespace sxtest;
using namespace sxtest::usbemu;
using namespace std::chrono_literals;

// ---- completion statuses ----

TEST_F(UsbContTest, StatusesThatKeepReadingHandOverTheirChunkTraceAndResubmit)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    enum Line { Plain, NBytes, NoLine };
    struct Case {
        const char* what;
        int urbStatus; // how the device completes the URB
        size_t bytes;  // bytes it sends
        const char* status;
        Line line;
        size_t shown;  // nBytes in the line
        size_t handed; // bytes handed over, 0: none
    };
    const Case cases[] = {
        {"completed", 0, 40, kCompleted, Plain, 0, 40},
        {"completed, no bytes", 0, 0, kCompleted, Plain, 0, 0},
        {"bus error with bytes", -EPROTO, 7, "LIBUSB_TRANSFER_ERROR", Plain, 0, 0},
        {"stall with bytes", -EPIPE, 9, "LIBUSB_TRANSFER_STALL", NBytes, 9, 0},
        {"stall, no bytes", -EPIPE, 0, "LIBUSB_TRANSFER_STALL", NoLine, 0, 0},
        {"more than the transfer holds", 0, 1500, "LIBUSB_TRANSFER_OVERFLOW", NBytes, 1024, 1024},
        {"overflow reported", -EOVERFLOW, 100, "LIBUSB_TRANSFER_OVERFLOW", NBytes, 100, 100},
        {"completed, a full transfer", 0, 1024, kCompleted, Plain, 0, 1024},
    };
    const std::string xf = Xf();
    const std::string reader = ReaderPrefix();
    int submitted = 1;
    size_t delivered = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto bytes = Pattern(c.bytes, static_cast<uint8_t>(c.bytes));
        Level(4);
        StdoutCapture cap;
        m_dev->QueueInStatus(c.urbStatus, bytes.data(), bytes.size());
        ASSERT_TRUE(WaitResubmitted(*m_dev, ++submitted));
        Level(0);
        const std::string out = cap.Text();

        switch (c.line) {
        case Plain:
            EXPECT_TRUE(Contains(out, reader + StatusLine(xf, c.status))) << out;
            break;
        case NBytes:
            EXPECT_TRUE(HasNBytesLine(out, reader, xf, c.status, c.shown)) << out;
            break;
        case NoLine:
            EXPECT_FALSE(Contains(out, "transfer_status")) << out;
            break;
        }
        EXPECT_FALSE(Contains(out, "TransferFatal")) << out;
        if (c.handed) {
            ++delivered;
            ASSERT_EQ(m_sink.Chunks().size(), delivered);
            EXPECT_EQ(m_sink.Chunks().back(), std::vector<uint8_t>(bytes.begin(), bytes.begin() + c.handed));
            EXPECT_EQ(m_sink.Threads().back(), CSXusbIOTest::ThreadId(*m_io));
            const std::string hex =
                c.handed <= 64 ? HexLine(m_sink.Chunks().back()) : HexStart(m_sink.Chunks().back(), 16);
            EXPECT_TRUE(Contains(out, reader + hex)) << out;
        } else {
            EXPECT_EQ(m_sink.Chunks().size(), delivered);
            EXPECT_FALSE(Contains(out, "CSXusbIO::MCB : " + std::to_string(c.bytes) + " : ")) << out;
        }
        EXPECT_EQ(Xf(), xf); // the same transfer went back
    }
    // The level-3 lines need level 4.
    Level(3);
    StdoutCapture cap;
    m_dev->QueueIn(Pattern(5, 5));
    ASSERT_TRUE(WaitResubmitted(*m_dev, ++submitted));
    Level(0);
    EXPECT_FALSE(Contains(cap.Text(), "transfer_status")) << cap.Text();
    EXPECT_EQ(m_sink.Chunks().size(), delivered + 1);
}

TEST_F(UsbContTest, TimedOutTransfersHandOverWhatArrivedAndResubmit)
{
    const std::vector<uint8_t> early = {0xA1, 0xB2, 0xC3}; // arrives before each time-out
    ASSERT_NO_FATAL_FAILURE(Start(true, 100, [&](EmulatedDevice& d) { d.SetDiscardData(early); }));
    const std::string xf = Xf();
    const std::string reader = ReaderPrefix();
    Level(6);
    StdoutCapture cap;
    const size_t n0 = m_sink.Chunks().size();
    ASSERT_TRUE(m_sink.WaitCount(n0 + 2));
    Level(0);
    const std::string out = cap.Text();
    for (const auto& chunk : m_sink.Chunks())
        EXPECT_EQ(chunk, early);
    for (uint32_t t : m_sink.Threads())
        EXPECT_EQ(t, CSXusbIOTest::ThreadId(*m_io));
    EXPECT_TRUE(HasNBytesLine(out, reader, xf, "LIBUSB_TRANSFER_TIMED_OUT", 3)) << out;
    EXPECT_TRUE(Contains(out, reader + HexLine(early))) << out;

    // Its line is level 5: not shown at level 5.
    Level(5);
    StdoutCapture cap5;
    const size_t n1 = m_sink.Chunks().size();
    ASSERT_TRUE(m_sink.WaitCount(n1 + 1));
    Level(0);
    EXPECT_FALSE(Contains(cap5.Text(), "TIMED_OUT")) << cap5.Text();

    // Time-outs with nothing arrived: nothing handed over, no line, resubmitted.
    m_dev->SetDiscardData({});
    const int s0 = Submitted();
    ASSERT_TRUE(Eventually([&] { return Submitted() >= s0 + 1; })); // may still carry data
    const size_t n2 = m_sink.Chunks().size();
    Level(6);
    StdoutCapture quiet;
    ASSERT_TRUE(Eventually([&] { return Submitted() >= s0 + 3; }));
    Level(0);
    const std::string q = quiet.Text();
    EXPECT_EQ(m_sink.Chunks().size(), n2);
    EXPECT_FALSE(Contains(q, "transfer_status")) << q;
    EXPECT_TRUE(Contains(q, "CSXusbIO::MCB(")) << q; // the callback ran
    EXPECT_EQ(m_io->Close(), 0);
    ExpectClosed();
}

TEST_F(UsbContTest, CancelledTransferEndsReadingButNotTheThread)
{
    ExpectReadingEndsOn([this] { m_io->CancelARXfer(); }, "LIBUSB_TRANSFER_CANCELLED");
}

TEST_F(UsbContTest, NoDeviceCompletionEndsReadingButNotTheThread)
{
    ExpectReadingEndsOn([this] { m_dev->QueueInStatus(-ESHUTDOWN); }, "LIBUSB_TRANSFER_NO_DEVICE");
}

void UsbContTest::ExpectReadingEndsOn(const std::function<void()>& cause, const char* status)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Deliver(Pattern(12, 1)));
    const std::string xf = Xf();
    const std::string reader = ReaderPrefix();
    Level(6);
    StdoutCapture cap;
    cause();
    ASSERT_TRUE(Eventually([&] { return !CSXusbIOTest::Pending(*m_io); }));
    Level(0);
    const std::string out = cap.Text();
    const size_t end = Pos(out, reader + EndLine(xf, status));
    const size_t fatal = Pos(out, reader + FatalLine(xf, status));
    ASSERT_NE(end, std::string::npos) << out;
    ASSERT_NE(fatal, std::string::npos) << out;
    EXPECT_LT(end, fatal);
    EXPECT_FALSE(Contains(out, "transfer_status = " + std::string(status) + " nBytes")) << out;

    // Not resubmitted: data the device has stays there.
    m_dev->QueueIn(Pattern(8, 2));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(m_dev->Counters().inSubmitted, 2);
    EXPECT_EQ(m_dev->Counters().inQueued, 1u);
    EXPECT_EQ(m_sink.Chunks().size(), 1u);
    // The thread goes on polling, the transfer still exists.
    EXPECT_TRUE(m_io->AsyncReadRunning());
    EXPECT_NE(CSXusbIOTest::Thread(*m_io), nullptr);
    EXPECT_NE(CSXusbIOTest::Xfer(*m_io), nullptr);
    EXPECT_EQ(m_io->ReadCont(), -1);

    Level(2);
    StdoutCapture closing;
    EXPECT_EQ(m_io->Close(), 0);
    EXPECT_TRUE(Contains(closing.Text(), "] : CSXusbIO::CancelARXfer : libusb_cancel_tranfer error : "
                                         "LIBUSB_ERROR_NOT_FOUND\r\n"))
        << closing.Text();
    ExpectClosed();
}

TEST_F(UsbContTest, CallbackIgnoresOtherTransfersAndNamesUnknownStatuses)
{
    AddTracker();
    m_io = OpenIO();
    m_io->SetMsgCallback(&ChunkSink::Callback, &m_sink);
    libusb_transfer* t = libusb_alloc_transfer(0);
    ASSERT_NE(t, nullptr);
    unsigned char buf[16];
    for (unsigned i = 0; i < sizeof buf; ++i)
        buf[i] = static_cast<unsigned char>(i);
    t->user_data = m_io.get();
    t->buffer = buf;
    t->length = sizeof buf;
    t->actual_length = sizeof buf;
    t->status = LIBUSB_TRANSFER_COMPLETED;
    const std::string xf = Addr32(t);
    Level(7);
    {
        // Not the object's transfer: the entry and exit lines only.
        StdoutCapture cap;
        CSXusbIO::MCB(t);
        const std::string out = cap.Text();
        EXPECT_EQ(CountOf(out, "\r\n"), 2u) << out;
        EXPECT_TRUE(Contains(out, ">>>>leaving")) << out;
    }
    CSXusbIOTest::SetXfer(*m_io, t); // the object's, with reading off
    {
        StdoutCapture cap;
        t->status = static_cast<libusb_transfer_status>(7); // none of libusb's
        CSXusbIO::MCB(t);
        const std::string out = cap.Text();
        EXPECT_TRUE(Contains(out, "] : " + StatusLine(xf, "DEFAULT CASE"))) << out;
        EXPECT_TRUE(Contains(out, "] : " + NotRunningLine(xf, "DEFAULT CASE"))) << out;
    }
    {
        // A completion while reading is off: traced, nothing handed over.
        StdoutCapture cap;
        t->status = LIBUSB_TRANSFER_COMPLETED;
        CSXusbIO::MCB(t);
        const std::string out = cap.Text();
        EXPECT_TRUE(Contains(out, "] : " + StatusLine(xf, kCompleted))) << out;
        EXPECT_TRUE(Contains(out, "] : " + NotRunningLine(xf, kCompleted))) << out;
        EXPECT_FALSE(Contains(out, "CSXusbIO::MCB :  16 : ")) << out;
    }
    Level(0);
    CSXusbIOTest::SetXfer(*m_io, nullptr);
    libusb_free_transfer(t);
    EXPECT_TRUE(m_sink.Chunks().empty());
    EXPECT_EQ(CSXusbIOTest::RxCount(*m_io), 0);
}
