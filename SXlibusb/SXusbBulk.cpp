// CSXusbIO: the synchronous bulk transfers, reading and writing.
#include "SXlibusb/SXusbIO.h"

#include "UsbTrace.h"

#include <libusb.h>

#include <algorithm>
#include <climits>

using iodbg::BxDebug;

namespace {

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
        if (!m_bReaderEvents || OnReadingThread()) // the reading thread cannot wait for itself
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
