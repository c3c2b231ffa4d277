// CSXusbIO: the continuous reading. One bulk-IN transfer stays submitted;
// a reading thread handles libusb's events, and each completion hands its
// bytes to the owner's callback, or to the store when there is none.
#include "SXlibusb/SXusbIO.h"

#include "UsbStatusRules.h"
#include "UsbTrace.h"

#include <platform/ChunkStore.h>
#include <platform/ReadingThread.h>
#include <platform/Thread.h>

#include <libusb.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <future>

using iodbg::BxDebug;

namespace {

// Transfer addresses are shown as in the trace formats: their low 32 bits.
unsigned Addr32(const void* p)
{
    return static_cast<unsigned>(reinterpret_cast<uintptr_t>(p));
}

// How long a stopping reading thread waits for its cancelled transfer. The
// kernel always returns a cancelled URB, so this bounds only a broken device.
constexpr int kDrainMs = 2000;

void HandleEventsFor(libusb_context* ctx, long us)
{
    timeval tv{0, us};
    libusb_handle_events_timeout_completed(ctx, &tv, nullptr);
}

} // namespace

bool CSXusbIO::OnReadingThread() const
{
    return sxplat::OnReadingThread(this);
}

int CSXusbIO::ReadCont()
{
    return StartAsyncRead();
}

void CSXusbIO::SetMsgCallback(MsgCallback cb, void* arg)
{
    std::lock_guard<std::mutex> lock(m_mtxCB);
    m_pfnMsgCB = cb;
    m_pMsgCBArg = arg;
}

int CSXusbIO::LastAsyncRead(unsigned char*& data, int& len)
{
    std::lock_guard<std::mutex> lock(m_mtxRx);
    data = m_pLast;
    len = m_nLastLen;
    return 0;
}

int CSXusbIO::StartAsyncRead()
{
    SXUSB_ENTER();
    // A thread stopped from its own callback is joined first (it has taken
    // its transfer back by then).
    if (!sxplat::JoinStoppedReadingThread(m_pthCont, this, m_bContRunning, [this] { StopContThread(); }) ||
        m_bContRunning || m_parxfer) {
        SXUSB_LEAVE();
        return -1;
    }
    if (!m_hdev) {
        SXUSB_LEAVE();
        return LIBUSB_ERROR_NO_DEVICE;
    }
    m_parxfer = libusb_alloc_transfer(0);
    if (!m_parxfer) {
        SXUSB_LEAVE();
        return LIBUSB_ERROR_NO_MEM;
    }
    libusb_fill_bulk_transfer(m_parxfer, m_hdev, m_info.epIn, m_arBuf, kXferSize, &CSXusbIO::MCB, this,
                              m_nContXferTimeout);
    {
        std::lock_guard<std::mutex> lock(m_mtxRx);
        m_nRxTotal = m_nRxCount = m_nLastLen = 0;
        m_pLast = nullptr;
    }
    // Set before the transfer can complete and before the thread exists, so
    // that neither a first completion nor an early stop is lost.
    m_bContRunning = true;
    m_bXferPending = true;
    int r = libusb_submit_transfer(m_parxfer);
    if (r < 0) {
        BxDebug::BXDOUT1("%s : libusb_submit_transfer error : %s\r\n", "CSXusbIO::StartAsyncRead", libusb_strerror(r));
        m_bContRunning = false;
        m_bXferPending = false;
        libusb_free_transfer(m_parxfer);
        m_parxfer = nullptr;
        SXUSB_LEAVE();
        return r;
    }
    BxDebug::BXDOUT5("%s : libusb_submit_transfer success : MY_AR_XFER = 0x%x\r\n", "CSXusbIO::StartAsyncRead",
                     Addr32(m_parxfer));
    StartContThread();
    if (!m_pthCont) {
        // No thread: take the transfer back here.
        m_bContRunning = false;
        DrainTransfer(kDrainMs);
        FreeOrStrandTransfer();
        r = LIBUSB_ERROR_NO_MEM;
    }
    SXUSB_LEAVE();
    return r;
}

void CSXusbIO::CancelARXfer()
{
    SXUSB_ENTER();
    if (m_parxfer) {
        const int r = libusb_cancel_transfer(m_parxfer);
        if (r < 0)
            BxDebug::BXDOUT1("%s : libusb_cancel_tranfer error : %s\r\n", "CSXusbIO::CancelARXfer",
                             libusb_error_name(r));
    } else {
        BxDebug::BXDOUT3("%s : m_parxfer is ZERO\r\n", "CSXusbIO::CancelARXfer");
    }
    SXUSB_LEAVE();
}

void CSXusbIO::StartContThread()
{
    SXUSB_ENTER();
    if (m_thidCont) {
        BxDebug::BXDOUT5("%s : Thread id = 0x%x already RUNNING\r\n", "CSXusbIO::StartContThread", m_thidCont);
        SXUSB_LEAVE();
        return;
    }
    m_bContRunning = true;
    SetReaderEvents(true); // writes wait for the thread from now on
    std::promise<uint32_t> started;
    std::future<uint32_t> tid = started.get_future();
    if (sxplat::StartReadingThread(m_pthCont, this, [this, &started] {
            started.set_value(sxplat::CurrentThreadId());
            thproc_Cont();
        })) {
        m_thidCont = tid.get();
        BxDebug::BXDOUT5("%s : Thread started id = 0x%x\r\n", "CSXusbIO::StartContThread", m_thidCont);
    } else {
        m_bContRunning = false;
        SetReaderEvents(false);
        BxDebug::BXDOUT1("%s : thread could not be started\r\n", "CSXusbIO::StartContThread");
    }
    SXUSB_LEAVE();
}

void CSXusbIO::StopContThread()
{
    SXUSB_ENTER();
    static const char* const fn = "CSXusbIO::StopContThread";
    if (sxplat::StopFromReadingThread(this, m_bContRunning, BxDebug::BXDOUT1, fn)) {
        SXUSB_LEAVE();
        return;
    }
    if (m_thidCont && m_pthCont) {
        m_bContRunning = false;
        libusb_interrupt_event_handler(m_ctx);
        sxplat::JoinReadingThread(m_pthCont, BxDebug::BXDOUT5, fn);
        m_thidCont = 0;
        BxDebug::BXDOUT5("%s : Thread STOPPED\r\n", fn);
        SXUSB_LEAVE();
    } else {
        char id[16];
        char addr[24];
        snprintf(id, sizeof id, "%u", m_thidCont);
        snprintf(addr, sizeof addr, "%016" PRIXPTR, reinterpret_cast<uintptr_t>(m_pthCont));
        BxDebug::BXDOUT5("%s : Thread not running : m_thidCont = %s, m_pthCont = 0x%s\r\n", fn, id, addr);
        BxDebug::BXDOUT5("Leaving %s \r\n", fn);
    }
}

void CSXusbIO::thproc_Cont()
{
    SXUSB_ENTER_ALT5();
    sxplat::RaiseThreadPriority();
    while (m_bContRunning)
        HandleEventsFor(m_ctx, kEventWaitUs);
    DrainTransfer(kDrainMs);
    SetReaderEvents(false); // a write still pending completes on its own thread
    FreeOrStrandTransfer();
    SXUSB_LEAVE_ALT5();
}

// Handles events until the read transfer has come back from libusb. It is
// cancelled again first: a completion that raced the first cancel may have
// resubmitted it (a second cancel of a cancelled transfer does nothing).
void CSXusbIO::DrainTransfer(int maxMs)
{
    if (!m_parxfer || !m_bXferPending)
        return;
    libusb_cancel_transfer(m_parxfer);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(maxMs);
    while (m_bXferPending && std::chrono::steady_clock::now() < deadline)
        HandleEventsFor(m_ctx, kEventWaitUs);
}

void CSXusbIO::SetReaderEvents(bool on)
{
    std::lock_guard<std::mutex> lock(m_mtxOut);
    m_bReaderEvents = on;
    m_cvOut.notify_all();
}

void CSXusbIO::FreeOrStrandTransfer()
{
    if (!m_parxfer)
        return;
    if (m_bXferPending) {
        // Freeing it now would let libusb write into freed memory; Close
        // frees it once the device is closed.
        BxDebug::BXDOUT1("%s : transfer 0x%x did not come back, kept until the device is closed\r\n",
                         "CSXusbIO::thproc_Cont", Addr32(m_parxfer));
        return;
    }
    libusb_free_transfer(m_parxfer);
    m_parxfer = nullptr;
}

void CSXusbIO::MCB(libusb_transfer* transfer)
{
    SXUSB_ENTER_ALT5();
    static const char* const fn = "CSXusbIO::MCB";
    auto* self = static_cast<CSXusbIO*>(transfer->user_data);
    const int n = transfer->actual_length;
    const bool running = self->m_bContRunning;
    if (transfer != self->m_parxfer) {
        SXUSB_LEAVE_ALT5();
        return;
    }
    const int status = transfer->status;
    const sxusb::StatusRule& rule = sxusb::RuleFor(status);
    const char* name = rule.line == sxusb::StatusLine::DefaultCase5 ? "DEFAULT CASE" : libusb_error_name(status);
    const unsigned addr = Addr32(transfer);

    switch (rule.line) {
    case sxusb::StatusLine::Status3:
        BxDebug::BXDOUT3Alt("%s :  %s transfer 0x%x transfer_status = %s\r\n", fn, "", addr, name);
        break;
    case sxusb::StatusLine::NBytes3IfAny:
        if (n <= 0)
            break;
        [[fallthrough]];
    case sxusb::StatusLine::NBytes3:
        BxDebug::BXDOUT3Alt("%s : %d : %s transfer 0x%x transfer_status = %s nBytes = %d\r\n", fn, __LINE__, "", addr,
                            name, n);
        break;
    case sxusb::StatusLine::NBytes5IfAny:
        if (n > 0)
            BxDebug::BXDOUT5Alt("%s : %d : %s transfer 0x%x transfer_status = %s nBytes = %d\r\n", fn, __LINE__, "",
                                addr, name, n);
        break;
    case sxusb::StatusLine::DefaultCase5:
        BxDebug::BXDOUT5Alt("%s :  %s transfer 0x%x transfer_status = %s\r\n", fn, "", addr, name);
        break;
    case sxusb::StatusLine::None:
        break;
    }

    int chunk = 0;
    if (rule.chunk != sxusb::Chunk::None && n > 0)
        chunk = rule.chunk == sxusb::Chunk::Clamped ? std::min(n, static_cast<int>(kXferSize)) : n;

    if (rule.endsReading) {
        BxDebug::BXDOUT5Alt("%s : %s transfer 0x%x transfer_status = %s\r\n", fn, "", addr, name);
        self->TransferFatal(transfer);
        self->m_bXferPending = false;
    } else if (running) {
        if (chunk > 0) {
            BxDebug::BXDOUTHexBuf(transfer->buffer, chunk, true, fn, 3);
            self->DataReady(transfer->buffer, chunk);
        }
        const int r = libusb_submit_transfer(transfer);
        if (r < 0) {
            // Reading has ended; the owner sees no more data. The line comes
            // first: whoever waits for the end finds it written.
            BxDebug::BXDOUT1("%s : libusb_submit_transfer error : %s\r\n", fn, libusb_strerror(r));
            self->m_bXferPending = false;
        }
    } else {
        BxDebug::BXDOUT5Alt("%s : Cont not running.  %s transfer 0x%x transfer_status = %s\r\n", fn, "", addr, name);
        self->m_bXferPending = false;
    }
    SXUSB_LEAVE_ALT5();
}

void CSXusbIO::TransferFatal(libusb_transfer* transfer)
{
    SXUSB_ENTER_ALT3();
    BxDebug::BXDOUT5Alt("%s : transfer 0x%x status = %s\r\n", "CSXusbIO::TransferFatal", Addr32(transfer),
                        libusb_error_name(transfer->status));
    SXUSB_LEAVE_ALT3();
}

bool CSXusbIO::DataReady(unsigned char* data, int len)
{
    if (!data || len <= 0)
        return m_bContRunning;
    MsgCallback cb;
    void* arg;
    {
        std::lock_guard<std::mutex> lock(m_mtxCB);
        cb = m_pfnMsgCB;
        arg = m_pMsgCBArg;
    }
    if (cb) {
        cb(arg, data, static_cast<unsigned>(len));
    } else {
        std::lock_guard<std::mutex> lock(m_mtxRx);
        sxplat::StoreChunk(m_rxStore, m_nRxTotal, m_nRxCount, m_pLast, m_nLastLen, data, len);
    }
    return m_bContRunning;
}
