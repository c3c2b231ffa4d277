// Continuous reading, its end: starting and stopping, closing while
// reading, and the device disappearing.
#include "UsbContFixture.h"

#include <atomic>
#include <cerrno>
#include <future>

using namespace sxtest;
using namespace sxtest::usbemu;
using namespace std::chrono_literals;

// ---- starting and stopping ----

TEST_F(UsbContTest, SecondReadContWhileReadingIsRefusedAndChangesNothing)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    const libusb_transfer* xfer = CSXusbIOTest::Xfer(*m_io);
    const uint32_t tid = CSXusbIOTest::ThreadId(*m_io);
    const std::thread* th = CSXusbIOTest::Thread(*m_io);
    EXPECT_EQ(m_io->ReadCont(), -1);
    EXPECT_EQ(m_io->StartAsyncRead(), -1);
    EXPECT_EQ(CSXusbIOTest::Xfer(*m_io), xfer);
    EXPECT_EQ(CSXusbIOTest::ThreadId(*m_io), tid);
    EXPECT_EQ(CSXusbIOTest::Thread(*m_io), th);
    EXPECT_EQ(Submitted(), 1);
    ASSERT_NO_FATAL_FAILURE(Deliver(Pattern(10, 1)));

    // Starting the thread again only says it runs.
    Level(6);
    StdoutCapture cap;
    m_io->StartContThread();
    Level(0);
    char line[96];
    snprintf(line, sizeof line, "] : CSXusbIO::StartContThread : Thread id = 0x%x already RUNNING\r\n", tid);
    EXPECT_TRUE(Contains(cap.Text(), line)) << cap.Text();
    EXPECT_EQ(CSXusbIOTest::Thread(*m_io), th);
}

TEST_F(UsbContTest, StopContThreadStopsReadingAndReadContStartsItAgain)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Deliver(Pattern(10, 1)));
    Level(6);
    StdoutCapture stop;
    m_io->StopContThread();
    Level(0);
    const std::string out = stop.Text();
    const size_t joining = Pos(out, "] : CSXusbIO::StopContThread : Thread joinable, joining\r\n");
    const size_t joined = Pos(out, "] : CSXusbIO::StopContThread : Thread JOINED\r\n");
    const size_t stopped = Pos(out, "] : CSXusbIO::StopContThread : Thread STOPPED\r\n");
    ASSERT_NE(joining, std::string::npos) << out;
    ASSERT_NE(joined, std::string::npos) << out;
    ASSERT_NE(stopped, std::string::npos) << out;
    EXPECT_LT(joining, joined);
    EXPECT_LT(joined, stopped);
    ExpectIdle();
    EXPECT_EQ(m_dev->Counters().discards, 1); // the transfer was taken back
    EXPECT_EQ(m_dev->Counters().inPending, 0);
    EXPECT_TRUE(m_io->IsOpen());

    // No thread: the not-running lines, nothing changes.
    Level(6);
    StdoutCapture idle;
    m_io->StopContThread();
    Level(0);
    EXPECT_TRUE(Contains(idle.Text(), "] : CSXusbIO::StopContThread : Thread not running : m_thidCont = 0, "
                                      "m_pthCont = 0x0000000000000000\r\n"))
        << idle.Text();
    EXPECT_TRUE(Contains(idle.Text(), "] : Leaving CSXusbIO::StopContThread \r\n")) << idle.Text();
    ExpectIdle();

    // Start again: a new transfer, a new thread, data flows.
    Level(6);
    StdoutCapture start;
    ASSERT_EQ(m_io->ReadCont(), 0);
    Level(0);
    const uint32_t tid = CSXusbIOTest::ThreadId(*m_io);
    ASSERT_NE(tid, 0u);
    char line[96];
    snprintf(line, sizeof line, "] : CSXusbIO::StartContThread : Thread started id = 0x%x\r\n", tid);
    EXPECT_TRUE(Contains(start.Text(), line)) << start.Text();
    EXPECT_TRUE(Contains(
        start.Text(), "] : CSXusbIO::StartAsyncRead : libusb_submit_transfer success : MY_AR_XFER = " + Xf() + "\r\n"))
        << start.Text();
    ASSERT_TRUE(WaitResubmitted(*m_dev, 3));
    ASSERT_NO_FATAL_FAILURE(Deliver(Pattern(20, 2)));
    EXPECT_EQ(m_sink.Threads().back(), tid);
    EXPECT_EQ(m_io->Close(), 0);
    ExpectClosed();
}

TEST_F(UsbContTest, StopRightAfterStartStillStops)
{
    AddTracker();
    m_io = OpenIO();
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(m_io->ReadCont(), 0);
        // On before the thread exists, so a stop that comes first is not lost.
        EXPECT_TRUE(m_io->AsyncReadRunning());
        m_io->StopContThread();
        ExpectIdle();
    }
    // The thread alone, with no transfer.
    m_io->StartContThread();
    EXPECT_TRUE(m_io->AsyncReadRunning());
    EXPECT_NE(CSXusbIOTest::Thread(*m_io), nullptr);
    m_io->StopContThread();
    ExpectIdle();
    EXPECT_EQ(m_io->Close(), 0);
}

// The one stop rule of both transports' reading threads: a stop from the
// data callback neither deadlocks nor detaches; the thread stays owned, ends
// by itself, hands nothing more over, and the next start from outside joins
// it and reads again.
TEST_F(UsbContTest, StopFromTheCallbackKeepsTheThreadForTheNextStart)
{
    struct SelfStop {
        CSXusbIO* io = nullptr;
        std::atomic<int> calls{0};
        std::promise<void> stopped;
        static void CB(void* arg, unsigned char*, unsigned int)
        {
            auto* self = static_cast<SelfStop*>(arg);
            if (self->calls++ == 0) {
                self->io->StopContThread();
                self->stopped.set_value();
            }
        }
    };
    ASSERT_NO_FATAL_FAILURE(Start(false));
    SelfStop stopper;
    stopper.io = m_io.get();
    std::future<void> stopped = stopper.stopped.get_future();
    m_io->SetMsgCallback(&SelfStop::CB, &stopper);
    m_dev->QueueIn(Pattern(10, 1));
    ASSERT_EQ(stopped.wait_for(5s), std::future_status::ready);
    EXPECT_FALSE(m_io->AsyncReadRunning());
    EXPECT_NE(CSXusbIOTest::Thread(*m_io), nullptr); // owned, not detached

    m_io->SetMsgCallback(&ChunkSink::Callback, &m_sink);
    ASSERT_EQ(m_io->ReadCont(), 0);
    m_dev->QueueIn(Pattern(12, 2));
    ASSERT_TRUE(m_sink.WaitCount(1));
    EXPECT_EQ(m_sink.Chunks().front(), Pattern(12, 2));
    EXPECT_EQ(stopper.calls.load(), 1);
    EXPECT_EQ(m_io->Close(), 0);
    ExpectClosed();
}

TEST_F(UsbContTest, ReadContWithoutADeviceOrWhenSubmissionFails)
{
    m_io = NewIO();
    EXPECT_EQ(m_io->ReadCont(), LIBUSB_ERROR_NO_DEVICE);
    ExpectIdle();

    m_dev = &AddTracker();
    m_io = OpenIO();
    m_tb.Unplug(*m_dev);
    Level(2);
    StdoutCapture cap;
    EXPECT_EQ(m_io->ReadCont(), LIBUSB_ERROR_NO_DEVICE);
    Level(0);
    EXPECT_TRUE(Contains(cap.Text(), "] : CSXusbIO::StartAsyncRead : libusb_submit_transfer error : " +
                                         std::string(libusb_strerror(LIBUSB_ERROR_NO_DEVICE)) + "\r\n"))
        << cap.Text();
    ExpectIdle();
    m_io->Close();
    EXPECT_EQ(m_dev->OpenHandles(), 0);
}

// ---- closing while reading ----

TEST_F(UsbContTest, CloseWhileReadingDrainsTheCancelledTransferBeforeReleasing)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Deliver(Pattern(50, 1)));
    CollectLibusbLog(CSXusbIOTest::Ctx(*m_io));
    const std::string xf = Xf();
    const std::string reader = ReaderPrefix();
    Level(6);
    StdoutCapture cap;
    EXPECT_EQ(m_io->Close(), 0);
    const std::string out = cap.Text();
    // The cancelled transfer came back on the reading thread, which then
    // ended; only after the join are the interfaces released.
    const size_t cancelled = Pos(out, reader + EndLine(xf, "LIBUSB_TRANSFER_CANCELLED"));
    const size_t left = Pos(out, reader + "\t >>>>leaving");
    const size_t threadEnd = out.find("CSXusbIO::thproc_Cont()", cancelled == std::string::npos ? 0 : cancelled);
    const size_t joined = Pos(out, "] : CSXusbIO::StopContThread : Thread JOINED\r\n");
    ASSERT_NE(cancelled, std::string::npos) << out;
    ASSERT_NE(threadEnd, std::string::npos) << out;
    ASSERT_NE(joined, std::string::npos) << out;
    EXPECT_NE(left, std::string::npos);
    EXPECT_LT(cancelled, threadEnd);
    EXPECT_LT(threadEnd, joined);
    EXPECT_FALSE(Contains(out, "did not come back")) << out;
    EXPECT_FALSE(LibusbLogged("closed while transfer")) << "libusb still held the transfer";
    EXPECT_EQ(m_dev->Counters().discards, 1);
    EXPECT_EQ(m_dev->Counters().inPending, 0);
    ExpectClosed();
    EXPECT_EQ(m_dev->Log(), (std::vector<std::string>{"open", "claim 0", "release 0"}));
    EXPECT_EQ(m_sink.Chunks().size(), 1u);

    // Once closed, Close does nothing more.
    EXPECT_EQ(m_io->Close(), 0);
    EXPECT_EQ(m_dev->Log().size(), 3u);
}

TEST_F(UsbContTest, CloseWhenTheCompletionBeatsTheCancel)
{
    ASSERT_NO_FATAL_FAILURE(Start(true, 0, [](EmulatedDevice& d) { d.SetDiscardTooLate(true); }));
    ASSERT_NO_FATAL_FAILURE(Deliver(Pattern(50, 1)));
    CollectLibusbLog(CSXusbIOTest::Ctx(*m_io));
    const std::string xf = Xf();
    Level(6);
    StdoutCapture cap;
    EXPECT_EQ(m_io->Close(), 0);
    const std::string out = cap.Text();
    EXPECT_TRUE(Contains(out, "] : CSXusbIO::CancelARXfer : libusb_cancel_tranfer error : LIBUSB_ERROR_NOT_FOUND\r\n"))
        << out;
    // It came back completed with reading off: not resubmitted, the drain ends.
    EXPECT_TRUE(Contains(out, "] : " + NotRunningLine(xf, kCompleted))) << out;
    EXPECT_FALSE(Contains(out, "LIBUSB_TRANSFER_CANCELLED")) << out;
    EXPECT_FALSE(Contains(out, "did not come back")) << out;
    EXPECT_FALSE(LibusbLogged("closed while transfer"));
    EXPECT_EQ(m_dev->Counters().inPending, 0);
    ExpectClosed();
}

TEST_F(UsbContTest, CloseDuringAHandOverCancelsTheResubmittedTransfer)
{
    GatedSink gate;
    ASSERT_NO_FATAL_FAILURE(Start(false));
    m_io->SetMsgCallback(&GatedSink::Callback, &gate);
    CollectLibusbLog(CSXusbIOTest::Ctx(*m_io));
    m_dev->QueueIn(Pattern(10, 1));
    ASSERT_TRUE(gate.WaitEntered());
    // The transfer is with the owner now: the cancel finds nothing, and the
    // callback resubmits it once the owner returns.
    Level(2);
    StdoutCapture cap;
    auto closing = std::async(std::launch::async, [this] { return m_io->Close(); });
    ASSERT_TRUE(Eventually([&] { return !m_io->AsyncReadRunning(); }));
    gate.Open();
    ASSERT_EQ(closing.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(closing.get(), 0);
    const std::string out = cap.Text();
    EXPECT_TRUE(Contains(out, "libusb_cancel_tranfer error : LIBUSB_ERROR_NOT_FOUND")) << out;
    EXPECT_FALSE(Contains(out, "did not come back")) << out;
    EXPECT_EQ(gate.Count(), 1u);
    EXPECT_EQ(m_dev->Counters().inSubmitted, 2); // resubmitted ...
    EXPECT_EQ(m_dev->Counters().discards, 1);    // ... and cancelled again
    EXPECT_FALSE(LibusbLogged("closed while transfer"));
    ExpectClosed();
}

TEST_F(UsbContTest, CloseDoesNotHangOnATransferThatNeverComesBack)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Deliver(Pattern(50, 1)));
    m_dev->SetIgnoreDiscard(true);
    CollectLibusbLog(CSXusbIOTest::Ctx(*m_io));
    const std::string xf = Xf();
    Level(2);
    StdoutCapture cap;
    const auto t0 = std::chrono::steady_clock::now();
    auto closing = std::async(std::launch::async, [this] { return m_io->Close(); });
    ASSERT_EQ(closing.wait_for(20s), std::future_status::ready) << "Close hangs";
    EXPECT_EQ(closing.get(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 20s);
    const std::string out = cap.Text();
    // Not freed while libusb held it: kept until the device handle was closed.
    EXPECT_TRUE(Contains(out, "] : CSXusbIO::thproc_Cont : transfer " + xf +
                                  " did not come back, kept until the device is closed\r\n"))
        << out;
    EXPECT_EQ(m_dev->Counters().discards, 1);
    ExpectClosed();
}

TEST_F(UsbContTest, DestroyingWhileReadingClosesEverything)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Deliver(Pattern(50, 1)));
    m_dev->QueueIn(Pattern(60, 2));
    m_io.reset();
    EXPECT_EQ(m_dev->OpenHandles(), 0);
    EXPECT_EQ(m_dev->Log().back(), "release 0");
    EXPECT_EQ(m_dev->Counters().inPending, 0);
}

TEST_F(UsbContTest, RepeatedClosesWhileStreamingNeitherHangNorLoseOrder)
{
    // Chunks left on the device at a close come in the next round; a chunk
    // that completes during a close is not handed over. What is handed over
    // comes once and in order.
    m_dev = &AddTracker();
    std::vector<std::vector<uint8_t>> sent;
    std::vector<std::vector<uint8_t>> got;
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        ChunkSink sink;
        m_io = OpenIO();
        ASSERT_EQ(m_io->ReadCont(), 0);
        m_io->SetMsgCallback(&ChunkSink::Callback, &sink);
        for (int i = 0; i < 30; ++i) {
            sent.push_back(Pattern(16 + i, static_cast<uint8_t>(round * 31 + i)));
            m_dev->QueueIn(sent.back());
        }
        ASSERT_TRUE(sink.WaitCount(3));
        EXPECT_EQ(m_io->Close(), 0);
        for (const auto& c : sink.Chunks())
            got.push_back(c);
        EXPECT_EQ(m_dev->OpenHandles(), 0);
        EXPECT_EQ(m_dev->Counters().inPending, 0);
        m_io.reset();
    }
    size_t next = 0;
    for (const auto& c : got) {
        auto it = std::find(sent.begin() + static_cast<std::ptrdiff_t>(next), sent.end(), c);
        ASSERT_NE(it, sent.end()) << "a chunk twice, out of order or never sent";
        next = static_cast<size_t>(it - sent.begin()) + 1;
    }
    EXPECT_GE(got.size(), 18u);
}

// ---- the device disappearing ----

TEST_F(UsbContTest, UnpluggedDeviceEndsReadingLaterWritesFailAndCloseReleases)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Deliver(Pattern(50, 1)));
    const std::string xf = Xf();
    const std::string reader = ReaderPrefix();
    Level(6);
    StdoutCapture cap;
    m_tb.Unplug(*m_dev);
    ASSERT_TRUE(Eventually([&] { return !CSXusbIOTest::Pending(*m_io); }));
    Level(0);
    const std::string out = cap.Text();
    const size_t end = Pos(out, reader + EndLine(xf, "LIBUSB_TRANSFER_NO_DEVICE"));
    const size_t fatal = Pos(out, reader + FatalLine(xf, "LIBUSB_TRANSFER_NO_DEVICE"));
    ASSERT_NE(end, std::string::npos) << out;
    ASSERT_NE(fatal, std::string::npos) << out;
    EXPECT_LT(end, fatal);
    EXPECT_TRUE(m_io->AsyncReadRunning()); // the thread polls on
    EXPECT_EQ(m_sink.Chunks().size(), 1u);

    auto cmd = Pattern(32, 7);
    unsigned len = static_cast<unsigned>(cmd.size());
    EXPECT_EQ(m_io->Write(cmd.data(), len), LIBUSB_ERROR_NO_DEVICE);
    EXPECT_EQ(len, 32u);
    EXPECT_EQ(m_io->ReadCont(), -1);

    auto closing = std::async(std::launch::async, [this] { return m_io->Close(); });
    ASSERT_EQ(closing.wait_for(20s), std::future_status::ready) << "Close hangs";
    EXPECT_EQ(closing.get(), LIBUSB_ERROR_NO_DEVICE); // the release found no device
    ExpectClosed("release 0 refused");
    EXPECT_EQ(m_io->DiscoverVidPid(kVid, kPid), -99);
    EXPECT_EQ(m_dev->OpenHandles(), 0);
}

TEST_F(UsbContTest, DeviceGoneDuringAHandOverEndsReadingAtTheResubmission)
{
    GatedSink gate;
    ASSERT_NO_FATAL_FAILURE(Start(false));
    m_io->SetMsgCallback(&GatedSink::Callback, &gate);
    m_dev->QueueIn(Pattern(10, 1));
    ASSERT_TRUE(gate.WaitEntered());
    m_tb.Unplug(*m_dev);
    Level(2);
    StdoutCapture cap;
    gate.Open();
    ASSERT_TRUE(Eventually([&] { return !CSXusbIOTest::Pending(*m_io); }));
    Level(0);
    EXPECT_TRUE(Contains(cap.Text(), ReaderPrefix() + "CSXusbIO::MCB : libusb_submit_transfer error : " +
                                         std::string(libusb_strerror(LIBUSB_ERROR_NO_DEVICE)) + "\r\n"))
        << cap.Text();
    EXPECT_EQ(gate.Count(), 1u);
    EXPECT_EQ(m_dev->Counters().inSubmitted, 1);
    auto closing = std::async(std::launch::async, [this] { return m_io->Close(); });
    ASSERT_EQ(closing.wait_for(20s), std::future_status::ready) << "Close hangs";
    EXPECT_EQ(closing.get(), LIBUSB_ERROR_NO_DEVICE);
    ExpectClosed("release 0 refused");
}
