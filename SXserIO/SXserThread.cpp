// CSXserIO: the continuous reading thread, its two loops and the hand-over
// of frames to the owner.
#include <SXserIO/SXserIO.h>

#include "FrameHeader.h"
#include "SerTrace.h"

#include <platform/ChunkStore.h>
#include <platform/ReadingThread.h>
#include <platform/SerialLine.h>
#include <platform/Thread.h>

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <sstream>

namespace {

constexpr const char* kStart = "CSXserIO::StartContThread";
constexpr const char* kStop = "CSXserIO::StopContThread";

// The length of the frame of at most maxFrame bytes that begins at data,
// when all n bytes there hold it whole after a header that passes; else 0.
int WholeFrame(const unsigned char* data, int n, uint32_t preamble, bool zj, int maxFrame)
{
    if (n < CSXserIO::kHeaderLen || !sxser::PreambleMatches(data, preamble, zj))
        return 0;
    const int64_t len = CSXserIO::kHeaderLen + static_cast<int64_t>(sxser::BodyLength(data, zj));
    return len <= n && len <= maxFrame ? static_cast<int>(len) : 0;
}

} // namespace

int CSXserIO::ReadCont()
{
    return StartAsyncRead();
}

int CSXserIO::ReadContStop()
{
    StopContThread();
    return 0;
}

int CSXserIO::LastAsyncRead(unsigned char*& data, int& len)
{
    std::lock_guard<std::mutex> lock(m_mtxRx);
    data = m_pLast;
    len = m_nLastLen;
    return 0;
}

void CSXserIO::SetMsgCallback(MsgCallback cb, void* arg)
{
    std::lock_guard<std::mutex> lock(m_mtxRx);
    m_pfnMsgCB = cb;
    m_pMsgCBArg = arg;
}

int CSXserIO::StartAsyncRead()
{
    // A thread whose flag was cleared without joining it is joined first.
    if (!sxplat::JoinStoppedReadingThread(m_pthCont, this, m_bContRunning, [this] { StopContThread(); }))
        return -1;
    // Set before the thread exists, so a stop that comes before the thread
    // has started is never undone.
    if (m_bContRunning.exchange(true))
        return -1;
    {
        std::lock_guard<std::mutex> lock(m_mtxRx);
        m_nRxTotal = 0;
        m_nRxCount = 0;
        m_nLastLen = 0;
        m_pLast = nullptr;
    }
    StartContThread();
    if (!m_pthCont) {
        m_bContRunning = false;
        return -1;
    }
    return 0;
}

void CSXserIO::StartContThread()
{
    SXSER_ENTER();
    if (m_thidCont != std::thread::id()) {
        iodbg::BxDebug::BXDOUT0("%s : Thread id = 0x%x already RUNNING\r\n", kStart,
                                sxplat::ThreadHandleNumber(m_thidCont));
        return;
    }
    if (!sxplat::StartReadingThread(m_pthCont, this, [this] { thproc_Cont(); })) {
        SXSER_LEAVE();
        return;
    }
    m_thidCont = m_pthCont->get_id();
    iodbg::BxDebug::BXDOUT0("%s : Thread started id = 0x%x\r\n", kStart, sxplat::ThreadHandleNumber(m_thidCont));
    SXSER_LEAVE();
}

void CSXserIO::StopContThread()
{
    SXSER_ENTER();
    if (sxplat::StopFromReadingThread(this, m_bContRunning, iodbg::BxDebug::BXDOUT0, kStop)) {
        SXSER_LEAVE();
        return;
    }
    if (m_thidCont == std::thread::id() || !m_pthCont) {
        std::ostringstream id;
        id << m_thidCont;
        char ptr[32];
        snprintf(ptr, sizeof ptr, "%" PRIxPTR, reinterpret_cast<uintptr_t>(m_pthCont));
        iodbg::BxDebug::BXDOUT0("%s : Thread not running : m_thidCont = %s, m_pthCont = 0x%s\r\n", kStop,
                                id.str().c_str(), ptr);
        iodbg::BxDebug::BXDOUT0("Leaving %s \r\n", kStop);
        return;
    }
    m_bContRunning = false;
    // Wakes a read that waits for data, so the thread sees the flag now.
    sxplat::SignalEvent(m_hReadEvent);
    sxplat::JoinReadingThread(m_pthCont, iodbg::BxDebug::BXDOUT0, kStop);
    m_thidCont = std::thread::id();
    sxplat::ClearEvent(m_hReadEvent);
    iodbg::BxDebug::BXDOUT0("%s : Thread STOPPED\r\n", kStop);
    SXSER_LEAVE();
}

void CSXserIO::thproc_Cont()
{
    SXSER_ENTER_ALT(5);
    // m_bContRunning was set before this thread was created.
    if (m_bAsciiContMode)
        ContLoopFreeform();
    else
        ContLoop();
    SXSER_LEAVE_ALT(5);
}

void CSXserIO::ClearContThreadFlag()
{
    m_bContRunning = false;
}

void CSXserIO::PauseAfterError()
{
    if (m_hReadEvent)
        sxplat::WaitEvent(m_hReadEvent, sxplat::kReadTimeoutMs);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(sxplat::kReadTimeoutMs));
}

// While the level shows none of the frame reader's lines, a frame that lies
// whole in the read-ahead is handed over where it lies: the frame buffer
// would only be a second copy of it. Everything else (a frame cut short, a
// header that fails, bytes handed back by the search, a failed read, which
// the frame reader then makes again and reports) goes through Readframe.
void CSXserIO::ContLoop()
{
    SXSER_ENTER_ALT(3);
    bool searching = false;
    while (m_bContRunning) {
        int len = 0;
        bool ready = false;
        unsigned char* frame = m_frameBuf;
        if (!searching && m_nPushBack == 0 && !iodbg::BxDebug::BlockOn(3)) {
            if (m_nAheadPos == m_nAheadLen) {
                int got = 0;
                const sxplat::IoStatus st = sxplat::ReadSome(m_hCom, m_hReadEvent, m_readAhead, kReadAheadSize,
                                                             sxplat::kReadTimeoutMs, got, m_bLineDrained);
                if (st == sxplat::IO_OK) {
                    m_bLineDrained = got < kReadAheadSize;
                    m_nAheadPos = 0;
                    m_nAheadLen = got;
                    if (got == 0)
                        continue; // quiet for the time-out, or stopped
                }
            }
            len = WholeFrame(m_readAhead + m_nAheadPos, m_nAheadLen - m_nAheadPos, m_info.uPreamble, m_iModeZJ != 0,
                             kFrameBufSize - 1);
            if (len > 0) {
                frame = m_readAhead + m_nAheadPos;
                m_nAheadPos += len;
                m_nSearchFrom = 0;
                ready = true;
            }
        }
        if (ready) {
            // taken from the read-ahead
        } else if (searching) {
            const int r = Findframe(m_frameBuf, len);
            if (r == SXIO_NOERR) {
                searching = false;
                ready = true; // len is 0 when the search gave up
            } else if (r == SXIO_SYSERR) {
                PauseAfterError();
            }
        } else {
            const int r = Readframe(m_frameBuf, len);
            if (r == SXIO_NOERR) {
                ready = len > 0;
            } else if (r != SXIO_NORESP) {
                iodbg::BxDebug::BXDOUT0("%s : %d : ReadFrame returned error: 0x%x (%d) : %s\n", "CSXserIO::ContLoop",
                                        __LINE__, r, r, ErrorStr(r));
                if (r == SXIO_FRAMERR) {
                    iodbg::BxDebug::BXDOUT0(
                        "%s : %d : Frame Error:  Starting search for valid header in input stream. \n",
                        "CSXserIO::ContLoop", __LINE__);
                    searching = true;
                } else if (r == SXIO_SYSERR) {
                    PauseAfterError();
                }
            }
        }
        if (ready && m_bContRunning)
            DataReady(frame, len);
    }
    SXSER_LEAVE_ALT(3);
}

void CSXserIO::ContLoopFreeform()
{
    while (m_bContRunning) {
        int len = 200;
        const int r = Read(m_frameBuf, len, false);
        if (r != SXIO_NOERR && r != SXIO_NORESP) {
            iodbg::BxDebug::BXDOUT_ERR0("CSXserIO::ContLoopFreeform : ReadFrame error: %d\n", r);
            if (r == SXIO_SYSERR)
                PauseAfterError();
        }
        if (len > 0 && m_bContRunning)
            DataReady(m_frameBuf, len);
    }
    SXSER_LEAVE();
}

bool CSXserIO::DataReady(unsigned char* data, int len)
{
    SXSER_ENTER_ALT(3);
    if (iodbg::BxDebug::LineOn(3))
        iodbg::BxDebug::BXDOUTHexBuf(data, len, true, "CSXserIO::DataReady", 3);
    if (len < 0)
        len = 0;
    MsgCallback cb;
    void* arg;
    {
        std::lock_guard<std::mutex> lock(m_mtxRx);
        cb = m_pfnMsgCB;
        arg = m_pMsgCBArg;
        if (!cb && len <= kRxStoreSize)
            sxplat::StoreChunk(m_rxStore, m_nRxTotal, m_nRxCount, m_pLast, m_nLastLen, data, len);
    }
    // Outside the lock: the callback may take a while or set a new one.
    if (cb)
        cb(arg, data, static_cast<unsigned int>(len));
    SXSER_LEAVE_ALT(3);
    return m_bContRunning;
}
