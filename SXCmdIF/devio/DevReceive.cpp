// CSXdevIO: the receive routing on the transport's reading thread. Each
// unit the transport delivers is taken as one frame, checked within the
// bytes delivered, and sent to the response queue, the P&O queue or the
// application's P&O callback. Every frame kept is copied once into a store.
#include "SXdevIO.h"

#include <SXCmdIF/SXerrors.h>
#include "diag/FrameTraceInternal.h"
#include "devio/Transport.h"
#include "diag/TraceInternal.h"
#include <SXCmdIF/pno/SXseuPno.h>
#include <sxwire/LEWords.h>
#include <SXCmdIF/protocol/SXcmd.h>
#include <platform/PageAlloc.h>

#include <algorithm>
#include <cstring>

namespace {

// Nothing longer is a command response; such a unit is a frame error.
constexpr uint32_t kCmdFrameMax = 64 * 1024;
// Sensor numbers are below 16.
constexpr unsigned int kSensorIdMask = 0x70;
// The stores' pages are made resident this many bytes at a time (121 frames
// of 540 bytes), once the write offset is within kPrepareLead of the end of
// those already made so.
constexpr uint32_t kPrepareBatch = 64 * 1024;
constexpr uint32_t kPrepareLead = 32 * 1024;

// The device whose P&O callback this thread is running, if any.
thread_local const CSXdevIO* t_pnoCallbackOf = nullptr;

} // namespace

void CSXdevIO::USBSer_CB(void* device, unsigned char* data, unsigned int length)
{
    if (!device || !data || !length)
        return;
    CFrameInfo received(data, length);
    static_cast<CSXdevIO*>(device)->DataReady(received);
    SX_TRACE_LEAVE7();
}

// A frame that would run past the store's end starts again at its front;
// after the frame, a write offset at or past the wrap point starts again
// at the front as well.
unsigned char* CSXdevIO::StoreFrame(unsigned char* store, unsigned char*& write, uint32_t& offset,
                                    const unsigned char* frame, uint32_t length)
{
    if (static_cast<uint64_t>(offset) + length > kStoreSize) {
        offset = 0;
        write = store;
    }
    unsigned char* const at = write;
    std::memcpy(at, frame, length);
    offset += length;
    if (offset >= kStoreWrap)
        offset = 0;
    write = store + offset;
    return at;
}

// A store is fresh zero pages, and the first write to each page stops the
// writer for a page fault: one every 7 to 8 frames for the first 15.5 MB of
// a connection, dear on a virtual machine. Made resident in batches instead,
// after the frame was handed over, they cost the reading thread one call a
// batch and no stop inside a frame's hand-over.
void CSXdevIO::PrepareAhead(unsigned char* store, uint32_t offset, uint32_t& prepared)
{
    if (prepared >= kStoreSize || offset + kPrepareLead <= prepared)
        return;
    const uint32_t from = std::max(prepared, offset);
    const uint32_t to = std::min(kStoreSize, from + kPrepareBatch);
    sxplat::PreparePages(store + from, to - from);
    prepared = to;
}

int CSXdevIO::DataReady(CFrameInfo& r)
{
    SX_TRACE_ENTER7();
    if (!IsConnected()) {
        SX_TRACE_LEAVE7();
        return E_DEVIOERR_NO_CNX;
    }
    static const char kFunc[] = "CSXdevIO::DataReady";
    const char* const label = m_pTransport && m_pTransport->SerialLine() ? "CSXdevIO::DataReady received serial"
                                                                         : "CSXdevIO::DataReady received";
    const bool allow = m_bPnoFrmErrAllow;
    unsigned char* const p = r.pFrame;
    const uint32_t len = r.frameLen;
    int e = 0;

    // A unit shorter than the envelope has nothing to rewrite or mark.
    if (len < SX_FRAME_ENVELOPE_LEN) {
        e = E_DEVIOERR_FRAME_HEADER;
        trTraceErr(nullptr, e, "", kFunc, __LINE__, 5);
        trTraceFBuf(p, static_cast<int>(len), false, label, 2);
        SX_TRACE_LEAVE7();
        return e;
    }
    if (!CSXcmd::ValidatePreambleN(p, len, m_nCmdPreamble, m_nPnoPreamble)) {
        e = E_DEVIOERR_FRAME_HEADER;
        trTraceErr(nullptr, e, "", kFunc, __LINE__, 5);
        trTraceFBuf(p, SX_FRAME_ENVELOPE_LEN, false, label, 2);
        if (allow) {
            sxwire::PutLE32(p, m_nPnoPreamble);
            r.setpnoframerr();
        }
    }
    // The size word must be within its limits and the whole frame it
    // announces must have arrived.
    if ((e == 0 || allow) && !CSXcmd::ValidateSizeN(p, len, m_nCmdPreamble, m_nPnoPreamble)) {
        e = E_DEVIOERR_FRAME_HEADER;
        trTraceErr(nullptr, e, "", kFunc, __LINE__, 5);
        trTraceFBuf(p, SX_FRAME_ENVELOPE_LEN, false, label, 2);
        if (allow)
            r.setpnoframerr();
    }
    const bool isCmd = sxwire::GetLE32(p) == m_nCmdPreamble;
    if (isCmd && len > kCmdFrameMax) {
        e = E_DEVIOERR_FRAME_HEADER;
        trTraceErr(nullptr, e, "", kFunc, __LINE__, 5);
        SX_TRACE_LEAVE7();
        return e;
    }
    if (e != 0 && !allow) {
        SX_TRACE_LEAVE7();
        return e;
    }
    if (r.errCode == 0 && !CSXcmd::ValidateCRCN(p, len)) {
        // A frame of unit 0xFFFF may fail its CRC.
        if (r.devid() != 0xFFFFu)
            e = E_SXERR_INVALID_CRC;
        if (allow)
            r.setpnocrcerr();
    }

    if (isCmd) {
        if (e != 0)
            trTraceErr(nullptr, e, "", kFunc, __LINE__, 2);
        trTraceCmdFrame(p, static_cast<int>(len), false, label, 3);
        unsigned char* copy = StoreFrame(m_CmdStore, m_pCmdWrite, m_nCmdWriteOff, p, len);
        if (e != 0)
            e = static_cast<int>(static_cast<uint32_t>(e) + (r.cmd() << 16));
        CFrameInfo rsp(copy, len, static_cast<unsigned>(e));
        RxCmdEnqueue(rsp);
        PrepareAhead(m_CmdStore, m_nCmdWriteOff, m_nCmdPrepared);
    } else if (e == 0 || allow) {
        // Once a mark is set the sensor count is not checked; the sensor
        // numbers are, within the bytes delivered.
        const bool badCount =
            r.errCode == 0 && !CSXSeuPno::ValidateSensorCount(p, static_cast<int>(SX_PNO_SENSORS_MAX));
        if (badCount || (m_bPnoValidateSensor && !CSXSeuPno::ValidateSensorIDs(p, len, kSensorIdMask))) {
            e = E_SXERR_INVALID_SENSOR;
            if (allow)
                r.setpnosnserr();
        }
        r.errCode = e;
        if ((e == 0 || allow) && HandOverPno(p, len, label))
            PrepareAhead(m_PnoStore, m_nPnoWriteOff, m_nPnoPrepared);
    }
    if (e != 0) {
        trTraceErr(nullptr, e, "", kFunc, __LINE__, 7);
        trTraceFBuf(p, static_cast<int>(len), false, label, 2);
    }
    SX_TRACE_LEAVE7();
    return e;
}

// The callback, when set, takes the frame as delivered; it runs under
// m_mtxPnoCB, so once SetPnoCallback returns on another thread the old
// callback has finished and is not called again.
bool CSXdevIO::HandOverPno(unsigned char* frame, uint32_t length, const char* label)
{
    // Without a callback the lock is not needed: a callback set meanwhile
    // takes effect from the next frame, and one being removed is not
    // running on this thread.
    if (m_pfnPnoCB.load(std::memory_order_acquire)) {
        std::lock_guard<std::mutex> cb(m_mtxPnoCB);
        const PnoCallback fn = m_pfnPnoCB;
        if (fn) {
            t_pnoCallbackOf = this;
            fn(m_pPnoCBArg, frame, length);
            t_pnoCallbackOf = nullptr;
            return false;
        }
    }
    trTracePnoFrame(frame, static_cast<int>(length), false, label, 2);
    unsigned char* copy = StoreFrame(m_PnoStore, m_pPnoWrite, m_nPnoWriteOff, frame, length);
    CFrameInfo f(copy, length);
    RxPnoEnqueue(f);
    return true;
}

void CSXdevIO::SetPnoCallback(PnoCallback cb, void* arg)
{
    if (t_pnoCallbackOf == this) {
        // Called from the callback itself: this thread holds the lock.
        m_pfnPnoCB = cb;
        m_pPnoCBArg = arg;
        return;
    }
    std::lock_guard<std::mutex> lock(m_mtxPnoCB);
    m_pfnPnoCB = cb;
    m_pPnoCBArg = arg;
}
