// CSXdevIO: lifecycle, allocation, connection through either transport,
// trace level, summary line and accessors.
#include "SXdevIO.h"

#include "ErrDetail.h"
#include <SXCmdIF/SXerrors.h>
#include "diag/TraceInternal.h"
#include "devio/Transport.h"
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
    : m_WhoAmI{}, m_szLabel{}, m_nSeuId(0), m_nTraceLev(3), m_pfnPnoCB(nullptr), m_pPnoCBArg(nullptr), m_pCtx(owner),
      m_pTransport(nullptr), m_nTimeoutMs(kDefaultTimeoutMs), m_bTsEnable(false), m_bPnoFrmErrAllow(false),
      m_bPnoValidateSensor(true), m_nTag(0), m_nCmdPreamble(SX_PREAMBLE_CMD), m_nPnoPreamble(SX_PREAMBLE_PNO),
      m_nPnoCount(0), m_pPnoWrite(m_PnoStore), m_nPnoWriteOff(0), m_pCmdWrite(m_CmdStore), m_nCmdWriteOff(0),
      m_nPnoPrepared(0), m_nCmdPrepared(0), m_bNewRxCmdReady(false), m_bNewRxPnoReady(false)
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
    const int e = Connect(sxdev::NewUsbTransport(vid, pid));
    SX_TRACE_LEAVE();
    return e;
}

int CSXdevIO::ConnectSer(int port, unsigned int cfg)
{
    SX_TRACE_ENTER();
    Disconnect();
    const int e = Connect(sxdev::NewSerialTransport(port, cfg));
    SX_TRACE_LEAVE();
    return e;
}

int CSXdevIO::Connect(sxdev::Transport* transport)
{
    if (!transport)
        return E_CTXERR_MEMALLOC_ERROR;
    transport->SetTrace(m_nTraceLev > 0, m_nTraceLev - 1);
    int e = transport->Open();
    if (e == 0) {
        e = transport->StartReading();
        if (e != 0)
            transport->Close();
    }
    if (e != 0) {
        delete transport;
        return e;
    }
    // Set before the receiver goes in: the transport's callback lock then
    // publishes it to the reading thread.
    m_pTransport = transport;
    transport->SetReceiver(USBSer_CB, this);
    return 0;
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
    if (!m_pTransport)
        return 0;
    const int e = m_pTransport->Close();
    delete m_pTransport;
    m_pTransport = nullptr;
    return e;
}

bool CSXdevIO::IsConnected() const
{
    return m_pTransport && m_pTransport->IsOpen();
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
    if (m_pTransport)
        m_pTransport->SetTrace(level > 0, t);
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
