// Continuous reading: the read transfer kept submitted, its completion
// callback for every status, the hand-over to the owner's callback or the
// store, stopping, closing while reading and the device disappearing.
#include "UsbFixture.h"

#include "testsupport/StdoutCapture.h"

#include <platform/Thread.h>

#include <libusb.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <future>
#include <thread>

using namespace sxtest;
using namespace sxtest::usbemu;
using namespace std::chrono_literals;

namespace {

constexpr const char* kCompleted = "LIBUSB_SUCCESS / LIBUSB_TRANSFER_COMPLETED";

std::string Prefix(uint32_t tid)
{
    char b[24];
    snprintf(b, sizeof b, "[%08x] : ", tid);
    return b;
}

// The lines of the completion callback, as the reading thread writes them.
std::string StatusLine(const std::string& xf, const char* status)
{
    return "CSXusbIO::MCB :   transfer " + xf + " transfer_status = " + status + "\r\n";
}
std::string EndLine(const std::string& xf, const char* status)
{
    return "CSXusbIO::MCB :  transfer " + xf + " transfer_status = " + status + "\r\n";
}
std::string FatalLine(const std::string& xf, const char* status)
{
    return "CSXusbIO::TransferFatal : transfer " + xf + " status = " + status + "\r\n";
}
std::string NotRunningLine(const std::string& xf, const char* status)
{
    return "CSXusbIO::MCB : Cont not running.   transfer " + xf + " transfer_status = " + status + "\r\n";
}
// The byte-count line carries the callback's source line: prefix, then
// "CSXusbIO::MCB : <digits> :  transfer ... nBytes = n".
bool HasNBytesLine(const std::string& text, const std::string& prefix, const std::string& xf, const char* status,
                   size_t n)
{
    const std::string head = prefix + "CSXusbIO::MCB : ";
    const std::string tail =
        " :  transfer " + xf + " transfer_status = " + status + " nBytes = " + std::to_string(n) + "\r\n";
    for (size_t at = text.find(head); at != std::string::npos; at = text.find(head, at + 1)) {
        size_t p = at + head.size();
        const size_t digits = p;
        while (p < text.size() && isdigit(static_cast<unsigned char>(text[p])))
            ++p;
        if (p > digits && text.compare(p, tail.size(), tail) == 0)
            return true;
    }
    return false;
}
std::string HexBytes(const uint8_t* p, size_t n)
{
    std::string s;
    char b[8];
    for (size_t i = 0; i < n; ++i) {
        snprintf(b, sizeof b, "%02x ", p[i]);
        s += b;
    }
    return s;
}
// The start of the hex line of a handed-over chunk: its length and first
// bytes (a long chunk's line is cut at the trace buffer's end).
std::string HexStart(const std::vector<uint8_t>& bytes, size_t shown)
{
    char b[32];
    snprintf(b, sizeof b, "CSXusbIO::MCB : %3d : ", static_cast<int>(bytes.size()));
    return b + HexBytes(bytes.data(), std::min(shown, bytes.size()));
}
// The whole hex line of a short chunk.
std::string HexLine(const std::vector<uint8_t>& bytes)
{
    return HexStart(bytes, bytes.size()) + "\r\n";
}

bool Eventually(const std::function<bool()>& pred, std::chrono::milliseconds timeout = 5000ms)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

size_t Pos(const std::string& text, const std::string& part)
{
    return text.find(part);
}

// What libusb itself logs (warnings and errors) on a context.
std::mutex g_logMtx;
std::vector<std::string> g_libusbLog;

void CollectLibusbLog(libusb_context* ctx)
{
    {
        std::lock_guard<std::mutex> lock(g_logMtx);
        g_libusbLog.clear();
    }
    libusb_set_log_cb(
        ctx,
        [](libusb_context*, enum libusb_log_level, const char* text) {
            std::lock_guard<std::mutex> lock(g_logMtx);
            g_libusbLog.emplace_back(text);
        },
        LIBUSB_LOG_CB_CONTEXT);
    libusb_set_option(ctx, LIBUSB_OPTION_LOG_LEVEL, LIBUSB_LOG_LEVEL_WARNING);
}

bool LibusbLogged(const std::string& part)
{
    std::lock_guard<std::mutex> lock(g_logMtx);
    return std::any_of(g_libusbLog.begin(), g_libusbLog.end(),
                       [&](const std::string& s) { return Contains(s, part); });
}

// A data callback that holds the reading thread until it is opened.
class GatedSink {
public:
    static void Callback(void* arg, unsigned char* data, unsigned int len)
    {
        auto* self = static_cast<GatedSink*>(arg);
        std::unique_lock<std::mutex> lock(self->m_mtx);
        self->m_entered = true;
        self->m_cv.notify_all();
        self->m_cv.wait(lock, [&] { return self->m_open; });
        self->m_chunks.emplace_back(data, data + len);
    }
    bool WaitEntered()
    {
        std::unique_lock<std::mutex> lock(m_mtx);
        return m_cv.wait_for(lock, 5s, [&] { return m_entered; });
    }
    void Open()
    {
        std::lock_guard<std::mutex> lock(m_mtx);
        m_open = true;
        m_cv.notify_all();
    }
    size_t Count()
    {
        std::lock_guard<std::mutex> lock(m_mtx);
        return m_chunks.size();
    }

private:
    std::mutex m_mtx;
    std::condition_variable m_cv;
    bool m_entered = false;
    bool m_open = false;
    std::vector<std::vector<uint8_t>> m_chunks;
};

} // namespace

class UsbContTest : public UsbTest {
protected:
    // Opens the tracker and starts reading; the data callback is set after
    // ReadCont, as the device object does.
    void Start(bool withCallback = true, unsigned xferTimeoutMs = 0,
               const std::function<void(EmulatedDevice&)>& prepare = {})
    {
        m_dev = &AddTracker();
        if (prepare)
            prepare(*m_dev);
        m_io = OpenIO();
        ASSERT_TRUE(m_io->IsOpen());
        CSXusbIOTest::SetContXferTimeout(*m_io, xferTimeoutMs);
        ASSERT_EQ(m_io->ReadCont(), 0);
        ASSERT_TRUE(WaitResubmitted(*m_dev, 1));
        if (withCallback)
            m_io->SetMsgCallback(&ChunkSink::Callback, &m_sink);
    }
    // Queues one chunk and waits until it was handed over and the transfer
    // went back to the device.
    void Deliver(const std::vector<uint8_t>& bytes)
    {
        const size_t n = m_sink.Chunks().size();
        const int submitted = Submitted();
        m_dev->QueueIn(bytes);
        ASSERT_TRUE(m_sink.WaitCount(n + 1));
        ASSERT_EQ(m_sink.Chunks().back(), bytes);
        ASSERT_TRUE(WaitResubmitted(*m_dev, submitted + 1));
    }
    int Submitted() const { return m_dev->Counters().inSubmitted; }
    std::string Xf() const { return Addr32(CSXusbIOTest::Xfer(*m_io)); }
    std::string ReaderPrefix() const { return Prefix(CSXusbIOTest::ThreadId(*m_io)); }
    // The transport's trace level without libusb's own logging.
    static void Level(int level) { iodbg::BxDebug::BXDSetLevel(level); }
    void ExpectIdle() const
    {
        EXPECT_FALSE(m_io->AsyncReadRunning());
        EXPECT_EQ(CSXusbIOTest::Xfer(*m_io), nullptr);
        EXPECT_EQ(CSXusbIOTest::Thread(*m_io), nullptr);
        EXPECT_EQ(CSXusbIOTest::ThreadId(*m_io), 0u);
    }
    // After Close: everything released and closed, no fd left.
    void ExpectClosed(const char* lastLog = "release 0") const
    {
        ExpectIdle();
        EXPECT_FALSE(m_io->IsOpen());
        EXPECT_EQ(m_dev->OpenHandles(), 0);
        ASSERT_FALSE(m_dev->Log().empty());
        EXPECT_EQ(m_dev->Log().back(), lastLog);
    }
    // A status that ends reading: its lines, no resubmission, the thread
    // still polling, and Close still releasing everything.
    void ExpectReadingEndsOn(const std::function<void()>& cause, const char* status);

    ChunkSink m_sink;
    EmulatedDevice* m_dev = nullptr;
    std::unique_ptr<CSXusbIO> m_io;
};

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
    EXPECT_TRUE(Contains(start.Text(), "] : CSXusbIO::StartAsyncRead : libusb_submit_transfer success : MY_AR_XFER = " +
                                           Xf() + "\r\n"))
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
