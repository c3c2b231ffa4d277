#include "SXusbIO.h"

#include "UsbStatusRules.h"
#include "UsbTrace.h"

#include <SXserIO/ThreadId.h>

#include <libusb.h>

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>

#include <algorithm>
#include <cinttypes>
#include <climits>
#include <cstdio>
#include <cstring>
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
// The reading thread's wait for events; completions end it at once.
constexpr long kEventWaitUs = 100000;
// Real-time priority of the reading thread where the system allows it.
constexpr int kReadThreadFifoPriority = 10;
// Otherwise its nice value.
constexpr int kReadThreadNice = -10;

int LibusbLogLevel(bool bTrace, int iLev)
{
    if (!bTrace)
        return LIBUSB_LOG_LEVEL_NONE;
    if (iLev >= 6)
        return LIBUSB_LOG_LEVEL_DEBUG;
    if (iLev == 1)
        return LIBUSB_LOG_LEVEL_WARNING;
    return LIBUSB_LOG_LEVEL_NONE;
}

void HandleEventsFor(libusb_context* ctx, long us)
{
    timeval tv{0, us};
    libusb_handle_events_timeout_completed(ctx, &tv, nullptr);
}

// The transport whose reading thread this is, on that thread.
thread_local const CSXusbIO* t_reader = nullptr;

// A write whose completion the reading thread reports.
struct OutWait {
    std::mutex* mtx;
    std::condition_variable* cv;
    bool done = false;
    int completed = 0; // the same, for libusb's own event handling
};

void LIBUSB_CALL OutDone(libusb_transfer* transfer)
{
    auto* w = static_cast<OutWait*>(transfer->user_data);
    std::lock_guard<std::mutex> lock(*w->mtx);
    w->done = true;
    w->completed = 1;
    w->cv->notify_all();
}

// The result libusb_bulk_transfer gives for a transfer's status.
int SyncResult(int status)
{
    switch (status) {
    case LIBUSB_TRANSFER_COMPLETED:
        return 0;
    case LIBUSB_TRANSFER_TIMED_OUT:
        return LIBUSB_ERROR_TIMEOUT;
    case LIBUSB_TRANSFER_STALL:
        return LIBUSB_ERROR_PIPE;
    case LIBUSB_TRANSFER_OVERFLOW:
        return LIBUSB_ERROR_OVERFLOW;
    case LIBUSB_TRANSFER_NO_DEVICE:
        return LIBUSB_ERROR_NO_DEVICE;
    case LIBUSB_TRANSFER_ERROR:
    case LIBUSB_TRANSFER_CANCELLED:
        return LIBUSB_ERROR_IO;
    default:
        return LIBUSB_ERROR_OTHER;
    }
}

} // namespace

CSXusbIO::CSXusbIO()
{
    if (libusb_init(&m_ctx) != 0)
        m_ctx = nullptr;
    else
        libusb_set_option(m_ctx, LIBUSB_OPTION_LOG_LEVEL, LIBUSB_LOG_LEVEL_WARNING);
    SetTrace(true, 7);
}

CSXusbIO::~CSXusbIO()
{
    if (Initialized()) {
        Close();
        libusb_exit(m_ctx);
    }
    m_ctx = nullptr;
}

void CSXusbIO::SetTrace(bool bTrace, int iLev)
{
    BxDebug::BXDSetLevel(bTrace ? iLev : 0);
    if (m_ctx)
        libusb_set_option(m_ctx, LIBUSB_OPTION_LOG_LEVEL, LibusbLogLevel(bTrace, iLev));
    BxDebug::BXDOUT5Alt("CSXusbIO::SetTrace : btrace=%s , ilev = %d\r\n", bTrace ? "true" : "false", iLev);
}

const char* CSXusbIO::ErrorStr(int code)
{
    if (code < 0)
        return libusb_error_name(code);
    if (code == E_SXUSB_ERR_SUCCESS)
        return "E_SXUSB_ERR_SUCCESS";
    if (code == E_SXUSB_ERR_WRITE_COUNT_WRONG)
        return "E_SXUSB_ERR_WRITE_COUNT_WRONG";
    return "SXUSB_ERR NOT DEFINED";
}

int CSXusbIO::CreateVidPidList(libusb_context* ctx, libusb_device*** list, int vid, int pid, _sx_usbdevinfo* recs,
                               int& count)
{
    const int capacity = recs ? std::max(count, 0) : 0;
    count = 0;
    const ssize_t n = libusb_get_device_list(ctx, list);
    if (n < 0)
        return static_cast<int>(n);
    int r = 0;
    for (ssize_t i = 0; i < n; ++i) {
        libusb_device* dev = (*list)[i];
        libusb_device_descriptor desc;
        r = libusb_get_device_descriptor(dev, &desc);
        if (r < 0)
            break;
        if (desc.idVendor != static_cast<uint16_t>(vid) || desc.idProduct != static_cast<uint16_t>(pid))
            continue;
        if (count < capacity) {
            _sx_usbdevinfo& rec = recs[count];
            rec = _sx_usbdevinfo();
            rec.index = static_cast<int>(i);
            rec.bus = libusb_get_bus_number(dev);
            rec.address = libusb_get_device_address(dev);
            rec.vid = desc.idVendor;
            rec.pid = desc.idProduct;
        }
        ++count;
    }
    return r;
}

int CSXusbIO::ListVidPid(int vid, int pid, _sx_usbdevinfo* recs, int& count)
{
    if (!recs || count == 0 || !Initialized())
        return -1;
    libusb_device** list = nullptr;
    const int r = CreateVidPidList(m_ctx, &list, vid, pid, recs, count);
    if (list)
        libusb_free_device_list(list, 1);
    return r;
}

namespace {

// The first IN and the first OUT endpoint of an interface (control
// endpoints skipped); what was found before is kept.
void ScanEndpoints(const libusb_interface& itf, uint8_t& epIn, uint8_t& epOut, uint16_t& maxPacketOut)
{
    for (int a = 0; a < itf.num_altsetting; ++a) {
        const libusb_interface_descriptor& alt = itf.altsetting[a];
        for (int e = 0; e < alt.bNumEndpoints; ++e) {
            const libusb_endpoint_descriptor& ep = alt.endpoint[e];
            if ((ep.bmAttributes & 3) == LIBUSB_TRANSFER_TYPE_CONTROL)
                continue;
            if (ep.bEndpointAddress & LIBUSB_ENDPOINT_IN) {
                if (!epIn)
                    epIn = ep.bEndpointAddress;
            } else if (!epOut) {
                epOut = ep.bEndpointAddress;
                maxPacketOut = ep.wMaxPacketSize;
            }
        }
    }
}

} // namespace

int CSXusbIO::DiscoverVidPid(int vid, int pid)
{
    SXUSB_ENTER();
    if (!Initialized()) {
        SXUSB_LEAVE();
        return -1;
    }
    if (IsOpen())
        Close();

    _sx_usbdevinfo recs[kMaxDevices];
    int count = kMaxDevices;
    libusb_device** list = nullptr;
    int r = CreateVidPidList(m_ctx, &list, vid, pid, recs, count);
    bool opened = false;
    const int tries = std::min(count, static_cast<int>(kMaxDevices));
    for (int i = 0; r == 0 && i < tries && !opened; ++i) {
        libusb_device* dev = list[recs[i].index];
        uint8_t epIn = 0, epOut = 0;
        uint16_t maxPacketOut = 0;
        libusb_device_handle* handle = nullptr;
        const int ro = libusb_open(dev, &handle);
        if (ro != 0) {
            BxDebug::BXDOUT0Alt("%s :  libusb_open error 0x%x  %s\r\n", "CSXusbIO::DiscoverVidPid",
                                static_cast<unsigned>(ro), libusb_error_name(ro));
            continue;
        }
        libusb_config_descriptor* config = nullptr;
        if (libusb_get_config_descriptor(dev, 0, &config) != 0) {
            libusb_close(handle);
            continue;
        }
        const int n = config->bNumInterfaces;
        int claimed = 0;
        for (int k = 0; k < n && claimed == k; ++k) {
            if (libusb_claim_interface(handle, k) == 0) {
                ++claimed;
                ScanEndpoints(config->interface[k], epIn, epOut, maxPacketOut);
            }
        }
        if (claimed == n) {
            m_hdev = handle;
            m_info = recs[i];
            m_info.nInterfaces = static_cast<uint8_t>(n);
            m_info.epIn = epIn;
            m_info.epOut = epOut;
            m_info.maxPacketOut = maxPacketOut;
            opened = true;
        } else {
            for (int k = 0; k < n; ++k)
                libusb_release_interface(handle, k);
            libusb_close(handle);
        }
        libusb_free_config_descriptor(config);
    }
    if (list)
        libusb_free_device_list(list, 1);
    if (r == 0 && !opened)
        r = SXUSB_ERR_NO_DEVICE_OPENED;
    SXUSB_LEAVE();
    return r;
}

int CSXusbIO::Close()
{
    SXUSB_ENTER();
    if (!IsOpen())
        return 0;
    CancelARXfer();
    m_bContRunning = false;
    StopContThread();

    int r = 0;
    for (int k = 0; k < m_info.nInterfaces; ++k)
        r = libusb_release_interface(m_hdev, k);
    libusb_close(m_hdev);
    m_hdev = nullptr;
    // A transfer that never came back: closing the device took it from
    // libusb and the kernel, so it can go now.
    if (m_parxfer) {
        libusb_free_transfer(m_parxfer);
        m_parxfer = nullptr;
        m_bXferPending = false;
    }
    m_info = _sx_usbdevinfo();
    SXUSB_LEAVE();
    SetTrace(true, 0);
    return r;
}

int CSXusbIO::Read(unsigned char* buf, unsigned int& len, bool bTimeoutErr)
{
    SXUSB_ENTER();
    int r;
    if (!m_hdev) {
        len = 0;
        r = LIBUSB_ERROR_NO_DEVICE;
    } else if ((!buf && len) || len > static_cast<unsigned>(INT_MAX)) {
        len = 0;
        r = LIBUSB_ERROR_INVALID_PARAM;
    } else {
        int transferred = 0;
        r = libusb_bulk_transfer(m_hdev, m_info.epIn, buf, static_cast<int>(len), &transferred, m_nReadTimeout);
        if (r == LIBUSB_ERROR_TIMEOUT && !bTimeoutErr) {
            r = 0;
            len = 0;
        } else {
            len = static_cast<unsigned>(std::max(transferred, 0));
        }
    }
    BxDebug::BXDOUTFBuf(buf, static_cast<int>(len), true, "CSXusbIO::Read", 3);
    SXUSB_LEAVE();
    return r;
}

int CSXusbIO::Write(unsigned char* buf, unsigned int& len)
{
    SXUSB_ENTER();
    BxDebug::BXDOUTFBuf(buf, static_cast<int>(std::min(len, static_cast<unsigned>(INT_MAX))), true, "CSXusbIO::Write",
                        3);
    int r;
    if (!m_hdev) {
        r = LIBUSB_ERROR_NO_DEVICE;
    } else if ((!buf && len) || len > static_cast<unsigned>(INT_MAX)) {
        r = LIBUSB_ERROR_INVALID_PARAM;
    } else {
        int written = 0;
        r = BulkOut(buf, static_cast<int>(len), written);
        if (r == 0) {
            if (static_cast<unsigned>(written) != len) {
                BxDebug::BXDOUT1("CSXusbIO write count %d, libusb wrote %d\r\n", static_cast<int>(len), written);
                len = static_cast<unsigned>(written);
                r = E_SXUSB_ERR_WRITE_COUNT_WRONG;
            } else if (written > 0 && m_info.maxPacketOut > 0 && written % m_info.maxPacketOut == 0) {
                // A transfer that fills its last packet ends with a zero-length one.
                int zero = 0;
                r = BulkOut(buf, 0, zero);
            }
        }
    }
    SXUSB_LEAVE();
    return r;
}

// libusb_bulk_transfer handles events on the calling thread whenever it gets
// libusb's event lock, and would then run the read transfer's completion, and
// the owner's data callback, on the writer's thread. So while the reading
// thread handles events, the transfer is submitted here and the reading
// thread completes it; should that thread stop first, events are handled
// here as libusb_bulk_transfer would.
int CSXusbIO::BulkOut(unsigned char* buf, int len, int& written)
{
    written = 0;
    {
        std::lock_guard<std::mutex> lock(m_mtxOut);
        if (!m_bReaderEvents || t_reader == this) // the reading thread cannot wait for itself
            return libusb_bulk_transfer(m_hdev, m_info.epOut, buf, len, &written, m_nWriteTimeout);
    }
    libusb_transfer* t = libusb_alloc_transfer(0);
    if (!t)
        return LIBUSB_ERROR_NO_MEM;
    OutWait w{&m_mtxOut, &m_cvOut};
    libusb_fill_bulk_transfer(t, m_hdev, m_info.epOut, buf, len, &OutDone, &w,
                              static_cast<unsigned>(std::max(m_nWriteTimeout, 0)));
    int r = libusb_submit_transfer(t);
    if (r < 0) {
        libusb_free_transfer(t);
        return r;
    }
    bool done;
    {
        std::unique_lock<std::mutex> lock(m_mtxOut);
        m_cvOut.wait(lock, [&] { return w.done || !m_bReaderEvents; });
        done = w.done;
    }
    while (!done) {
        timeval tv{0, kEventWaitUs};
        libusb_handle_events_timeout_completed(m_ctx, &tv, &w.completed);
        std::lock_guard<std::mutex> lock(m_mtxOut);
        done = w.done;
    }
    written = t->actual_length;
    r = SyncResult(t->status);
    libusb_free_transfer(t);
    return r;
}

// ---- continuous reading ----

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
    if (m_bContRunning || m_parxfer) {
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
        BxDebug::BXDOUT1("%s : libusb_submit_transfer error : %s\r\n", "CSXusbIO::StartAsyncRead",
                         libusb_strerror(r));
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
    try {
        m_pthCont = new std::thread([this, &started] {
            started.set_value(sxplat::CurrentThreadId());
            thproc_Cont();
        });
        m_thidCont = tid.get();
        BxDebug::BXDOUT5("%s : Thread started id = 0x%x\r\n", "CSXusbIO::StartContThread", m_thidCont);
    } catch (const std::exception&) {
        m_bContRunning = false;
        SetReaderEvents(false);
        delete m_pthCont;
        m_pthCont = nullptr;
        BxDebug::BXDOUT1("%s : thread could not be started\r\n", "CSXusbIO::StartContThread");
    }
    SXUSB_LEAVE();
}

void CSXusbIO::StopContThread()
{
    SXUSB_ENTER();
    static const char* const fn = "CSXusbIO::StopContThread";
    if (m_thidCont && m_pthCont) {
        m_bContRunning = false;
        if (sxplat::CurrentThreadId() == m_thidCont) {
            // The reading thread cannot join itself; it ends on its own.
            BxDebug::BXDOUT1("%s : called on the reading thread, not joining\r\n", fn);
            SXUSB_LEAVE();
            return;
        }
        libusb_interrupt_event_handler(m_ctx);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (m_pthCont->joinable()) {
            BxDebug::BXDOUT5("%s : Thread joinable, joining\r\n", fn);
            m_pthCont->join();
            BxDebug::BXDOUT5("%s : Thread JOINED\r\n", fn);
        } else {
            BxDebug::BXDOUT5("%s : Thread NOT joinable\r\n", fn);
        }
        delete m_pthCont;
        m_pthCont = nullptr;
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

void CSXusbIO::RaiseThreadPriority()
{
    // It blocks between completions, so a real-time priority cannot starve
    // the machine; where it is not allowed, a lower nice value, else nothing.
    sched_param sp{};
    sp.sched_priority = std::clamp(kReadThreadFifoPriority, sched_get_priority_min(SCHED_FIFO),
                                   sched_get_priority_max(SCHED_FIFO));
    if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &sp) == 0)
        return;
    (void)setpriority(PRIO_PROCESS, static_cast<id_t>(sxplat::CurrentThreadId()), kReadThreadNice);
}

void CSXusbIO::thproc_Cont()
{
    SXUSB_ENTER_ALT5();
    t_reader = this;
    RaiseThreadPriority();
    while (m_bContRunning)
        HandleEventsFor(m_ctx, kEventWaitUs);
    DrainTransfer(kDrainMs);
    SetReaderEvents(false); // a write still pending completes on its own thread
    FreeOrStrandTransfer();
    t_reader = nullptr;
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
        BxDebug::BXDOUT3Alt("%s : %d : %s transfer 0x%x transfer_status = %s nBytes = %d\r\n", fn, __LINE__, "",
                            addr, name, n);
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
            // Reading has ended; the owner sees no more data.
            self->m_bXferPending = false;
            BxDebug::BXDOUT1("%s : libusb_submit_transfer error : %s\r\n", fn, libusb_strerror(r));
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
        len = std::min(len, static_cast<int>(kStoreSize));
        if (m_nRxTotal + len >= kStoreSize)
            m_nRxTotal = 0; // start over; older chunks are overwritten
        memcpy(m_rxStore + m_nRxTotal, data, static_cast<size_t>(len));
        ++m_nRxCount;
        m_pLast = m_rxStore + m_nRxTotal;
        m_nLastLen = len;
        m_nRxTotal += len;
    }
    return m_bContRunning;
}
