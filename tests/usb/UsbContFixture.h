// The fixture of the continuous-reading tests: a tracker opened with its
// read transfer submitted, the lines the reading thread writes, and data
// callbacks that collect chunks or hold the thread.
#pragma once

#include "UsbFixture.h"

#include "testsupport/StdoutCapture.h"

#include <platform/Thread.h>

#include <libusb.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sxtest {

inline constexpr const char* kCompleted = "LIBUSB_SUCCESS / LIBUSB_TRANSFER_COMPLETED";

inline std::string Prefix(uint32_t tid)
{
    char b[24];
    snprintf(b, sizeof b, "[%08x] : ", tid);
    return b;
}

// The lines of the completion callback, as the reading thread writes them.
inline std::string StatusLine(const std::string& xf, const char* status)
{
    return "CSXusbIO::MCB :   transfer " + xf + " transfer_status = " + status + "\r\n";
}
inline std::string EndLine(const std::string& xf, const char* status)
{
    return "CSXusbIO::MCB :  transfer " + xf + " transfer_status = " + status + "\r\n";
}
inline std::string FatalLine(const std::string& xf, const char* status)
{
    return "CSXusbIO::TransferFatal : transfer " + xf + " status = " + status + "\r\n";
}
inline std::string NotRunningLine(const std::string& xf, const char* status)
{
    return "CSXusbIO::MCB : Cont not running.   transfer " + xf + " transfer_status = " + status + "\r\n";
}
// The byte-count line carries the callback's source line: prefix, then
// "CSXusbIO::MCB : <digits> :  transfer ... nBytes = n".
inline bool HasNBytesLine(const std::string& text, const std::string& prefix, const std::string& xf, const char* status,
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
inline std::string HexBytes(const uint8_t* p, size_t n)
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
inline std::string HexStart(const std::vector<uint8_t>& bytes, size_t shown)
{
    char b[32];
    snprintf(b, sizeof b, "CSXusbIO::MCB : %3d : ", static_cast<int>(bytes.size()));
    return b + HexBytes(bytes.data(), std::min(shown, bytes.size()));
}
// The whole hex line of a short chunk.
inline std::string HexLine(const std::vector<uint8_t>& bytes)
{
    return HexStart(bytes, bytes.size()) + "\r\n";
}

inline bool Eventually(const std::function<bool()>& pred,
                       std::chrono::milliseconds timeout = std::chrono::milliseconds(5000))
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

inline size_t Pos(const std::string& text, const std::string& part)
{
    return text.find(part);
}

// What libusb itself logs (warnings and errors) on a context.
inline std::mutex g_logMtx;
inline std::vector<std::string> g_libusbLog;

inline void CollectLibusbLog(libusb_context* ctx)
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

inline bool LibusbLogged(const std::string& part)
{
    std::lock_guard<std::mutex> lock(g_logMtx);
    return std::any_of(g_libusbLog.begin(), g_libusbLog.end(), [&](const std::string& s) { return Contains(s, part); });
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
        return m_cv.wait_for(lock, std::chrono::seconds(5), [&] { return m_entered; });
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

class UsbContTest : public UsbTest {
protected:
    // Opens the tracker and starts reading; the data callback is set after
    // ReadCont, as the device object does.
    void Start(bool withCallback = true, unsigned xferTimeoutMs = 0,
               const std::function<void(usbemu::EmulatedDevice&)>& prepare = {})
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
    usbemu::EmulatedDevice* m_dev = nullptr;
    std::unique_ptr<CSXusbIO> m_io;
};

} // namespace sxtest
