// CSXdevIO: lifecycle, allocation, connection through either transport,
// trace level, summary line and accessors.
#include "SXdevIO.h"

#include "ErrDetail.h"
#include <SXCmdIF/SXerrors.h>
#include "diag/TraceInternal.h"
#include <SXlibusb/SXusbIO.h>
#include <SXserIO/SXserIO.h>
#include <platform/PageAlloc.h>

#include <cstdio>

namespace {

// The pages begin with this header, which remembers their length for
// freeing; the object follows, aligned for anything it holds.
constexpr size_t kMapHeader = 64;

} // namespace

void* CSXdevIO::operator new(size_t size, const std::nothrow_t&) noexcept
{
    const size_t total = size + kMapHeader;
    void* map = sxplat::AllocPages(total);
    if (!map)
        return nullptr;
    *static_cast<size_t*>(map) = total;
    return static_cast<unsigned char*>(map) + kMapHeader;
}

void CSXdevIO::operator delete(void* p) noexcept
{
    if (!p)
        return;
    unsigned char* map = static_cast<unsigned char*>(p) - kMapHeader;
    sxplat::FreePages(map, *reinterpret_cast<size_t*>(map));
}

void CSXdevIO::operator delete(void* p, const std::nothrow_t&) noexcept
{
    operator delete(p);
}

// The stores and everything not named here come from fresh zero pages.
CSXdevIO::CSXdevIO(CSXcontext* owner)
    : m_WhoAmI{},
      m_szLabel{},
      m_nSeuId(0),
      m_nTraceLev(3),
      m_pfnPnoCB(nullptr),
      m_pPnoCBArg(nullptr),
      m_pCtx(owner),
      m_pUsb(nullptr),
      m_pSer(nullptr),
      m_nTimeoutMs(kDefaultTimeoutMs),
      m_bTsEnable(false),
      m_bPnoFrmErrAllow(false),
      m_bPnoValidateSensor(true),
      m_nTag(0),
      m_nCmdPreamble(SX_PREAMBLE_CMD),
      m_nPnoPreamble(SX_PREAMBLE_PNO),
      m_nPnoCount(0),
      m_pPnoWrite(m_PnoStore),
      m_nPnoWriteOff(0),
      m_pCmdWrite(m_CmdStore),
      m_nCmdWriteOff(0),
      m_nPnoPrepared(0),
      m_nCmdPrepared(0),
      m_bNewRxCmdReady(false),
      m_bNewRxPnoReady(false)
{
    SX_TRACE_ENTER();
    SetTraceLev(3);
    SX_TRACE_LEAVE();
}

CSXdevIO::~CSXdevIO()
{
    SX_TRACE_ENTER();
    CloseTransport();
    SX_TRACE_LEAVE();
}

int CSXdevIO::ConnectUSB(uint16_t vid, uint16_t pid)
{
    SX_TRACE_ENTER();
    Disconnect();
    CSXusbIO* usb = new (std::nothrow) CSXusbIO();
    if (!usb) {
        SX_TRACE_LEAVE();
        return E_CTXERR_MEMALLOC_ERROR;
    }
    usb->SetTrace(m_nTraceLev > 0, m_nTraceLev - 1);
    int r = usb->DiscoverVidPid(vid, pid);
    if (r != 0) {
        delete usb;
        SX_TRACE_LEAVE();
        return r <= SXUSB_ERR_NO_DEVICE_OPENED ? E_SXERR_NOTFOUND : r * 65536 + E_SXERR_LIBUSB;
    }
    r = usb->ReadCont();
    if (r != 0) {
        usb->Close();
        delete usb;
        SX_TRACE_LEAVE();
        return r * 65536 + E_SXERR_LIBUSB;
    }
    // Set before the callback goes in: the transport's callback lock then
    // publishes it to the reading thread.
    m_pUsb = usb;
    usb->SetMsgCallback(USBSer_CB, this);
    SX_TRACE_LEAVE();
    return 0;
}

int CSXdevIO::ConnectSer(int port, unsigned int cfg)
{
    SX_TRACE_ENTER();
    Disconnect();
    CSXserIO* ser = new (std::nothrow) CSXserIO(cfg);
    if (!ser) {
        SX_TRACE_LEAVE();
        return E_CTXERR_MEMALLOC_ERROR;
    }
    ser->SetTrace(m_nTraceLev > 0, m_nTraceLev - 1);
    int r = port <= 0 ? ser->DiscoverPort() : ser->Open(static_cast<unsigned>(port));
    if (r != 0) {
        delete ser;
    } else {
        r = ser->ReadCont();
        if (r != 0) {
            ser->Close();
            delete ser;
        } else {
            m_pSer = ser;
            ser->SetMsgCallback(USBSer_CB, this);
        }
    }
    SX_TRACE_LEAVE();
    return r == 0 ? 0 : r * 65536 + E_SXERR_SERIO;
}

// Close stops and joins the reading thread, so nothing reaches this object
// through the transport once it returns. A transport whose device is gone
// reports that from Close; it is freed all the same.
int CSXdevIO::Disconnect()
{
    SX_TRACE_ENTER();
    const int e = CloseTransport();
    SX_TRACE_LEAVE();
    return e;
}

// At most one transport is set: each connection disconnects first.
int CSXdevIO::CloseTransport()
{
    int e = 0;
    if (m_pUsb) {
        const int r = m_pUsb->Close();
        delete m_pUsb;
        m_pUsb = nullptr;
        e = r != 0 ? r * 65536 + E_SXERR_LIBUSB : 0;
    } else if (m_pSer) {
        const int r = m_pSer->Close();
        delete m_pSer;
        m_pSer = nullptr;
        e = r != 0 ? r * 65536 + E_SXERR_SERIO : 0;
    }
    return e;
}

bool CSXdevIO::IsConnected() const
{
    if (m_pUsb)
        return m_pUsb->IsOpen();
    if (m_pSer)
        return m_pSer->IsOpen();
    return false;
}

namespace {

// The transports' own level for a device level.
int TransportLevel(int level)
{
    switch (level) {
    case 0:
    case 1:
        return 0;
    case 2:
    case 3:
    case 4:
        return 1;
    case 5:
        return 5;
    case 7:
        return 7;
    default:
        return -1;
    }
}

} // namespace

void CSXdevIO::SetTraceLev(int level)
{
    m_nTraceLev = level;
    trTracefHP("CSXdevIO::SetTraceLev : nT = %d\r\n", level);
    const int t = TransportLevel(level);
    if (m_pUsb)
        m_pUsb->SetTrace(level > 0, t);
    if (m_pSer)
        m_pSer->SetTrace(level > 0, t);
}

void CSXdevIO::ReportLine(std::string& text) const
{
    char line[200];
    // The identity's texts need not end in a zero byte: bounded by their
    // fields. The space flag of the unit number has no effect on %u.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat"
    snprintf(line, sizeof line, "% 4u   %-16.*s   %.*s", static_cast<unsigned>(m_nSeuId),
             static_cast<int>(sizeof m_WhoAmI.hw_ser_no), m_WhoAmI.hw_ser_no,
             static_cast<int>(sizeof m_WhoAmI.device_name), m_WhoAmI.device_name);
#pragma GCC diagnostic pop
    text += line;
}

const char* CSXdevIO::ErrDetailStr(int code)
{
    return sxerr::DetailText(code);
}

int& CSXdevIO::DefaultTimeout()
{
    SetTimeoutMs(kDefaultTimeoutMs);
    return m_nTimeoutMs;
}

int CSXdevIO::SetTsEnable(bool on)
{
    m_bTsEnable = on;
    return 0;
}

int CSXdevIO::SetPnoFrmErrAllow(bool allow)
{
    m_bPnoFrmErrAllow = allow;
    return 0;
}

int CSXdevIO::SetPnoValidateSensor(bool validate)
{
    m_bPnoValidateSensor = validate;
    return 0;
}
