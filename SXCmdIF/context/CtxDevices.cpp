// Connection and device registry of a context: connecting trackers by USB
// and serial port, the device list with its counted uses, releasing,
// describing and configuring devices.
#include "SXcontext.h"

#include "SXdevIO.h"
#include "diag/FrameTraceInternal.h"
#include <SXCmdIF/protocol/SXcmd.h>
#include <SXCmdIF/protocol/SXusbIds.h>
#include <platform/TextConv.h>

#include "CtxTrace.h"

#include <algorithm>
#include <new>

namespace {

const char kRule[] = "=======================================================\r\n";

// Time-out of the first commands of a connection. A serial line needs it as
// much as USB: at the lower rates of the baud table the identity record
// alone takes longer than the 50 ms default on the wire (224 bytes, about
// 230 ms at 9600 baud).
constexpr int kFirstCommandsTimeoutMs = 500;

} // namespace

// ---- Device list ---------------------------------------------------------------

CSXdevIO* CSXcontext::AcquireDevice(const void* handle)
{
    if (!handle)
        return nullptr;
    std::lock_guard<std::mutex> lock(m_mtxDevices);
    auto it = std::find(m_vecDevices.begin(), m_vecDevices.end(), static_cast<const CSXdevIO*>(handle));
    if (it == m_vecDevices.end())
        return nullptr;
    (*it)->AddUse();
    return *it;
}

void CSXcontext::ReleaseDevice(CSXdevIO* dev)
{
    dev->DropUse();
}

std::vector<CSXdevIO*> CSXcontext::AcquireAll()
{
    std::vector<CSXdevIO*> all;
    std::lock_guard<std::mutex> lock(m_mtxDevices);
    try {
        all = m_vecDevices;
    } catch (...) {
        return {};
    }
    for (CSXdevIO* dev : all)
        dev->AddUse();
    return all;
}

bool CSXcontext::Unlist(CSXdevIO* dev)
{
    std::lock_guard<std::mutex> lock(m_mtxDevices);
    auto it = std::find(m_vecDevices.begin(), m_vecDevices.end(), dev);
    if (it == m_vecDevices.end())
        return false;
    m_vecDevices.erase(it);
    return true;
}

void CSXcontext::WaitUnused(CSXdevIO* dev)
{
    dev->WaitUntilUnused();
}

void CSXcontext::DestroyUnused(CSXdevIO* dev)
{
    WaitUnused(dev);
    delete dev;
}

// ---- Connection ------------------------------------------------------------------

// Both connections: the device object with the context's trace level, its
// transport opened by open, the device listed, then its first commands with
// the longer time-out. They differ after that: a USB device stays listed
// and its handle is handed out whatever its first commands answer (the
// caller may use or release it); a serial device is released when they
// fail, and its handle is handed out only on success. Only the USB
// connection writes its exit line.
template <typename Open>
int CSXcontext::ConnectDevice(void*& out, bool usb, const char* fn, Open open)
{
    CSXdevIO* dev = new (std::nothrow) CSXdevIO(this);
    if (!dev)
        return E_CTXERR_MEMALLOC_ERROR;
    dev->SetTraceLev(m_nTraceLev);
    int r = open(dev);
    if (r != E_SX_SUCCESS) {
        delete dev;
        if (usb)
            SXCTX_LEAVE(fn);
        return r;
    }
    dev->SetTimeoutMs(kFirstCommandsTimeoutMs);
    {
        std::lock_guard<std::mutex> lock(m_mtxDevices);
        try {
            m_vecDevices.push_back(dev);
        } catch (...) {
            delete dev;
            return E_CTXERR_MEMALLOC_ERROR;
        }
        // Held until the first commands are done: a release from another
        // thread that already has the handle waits for them.
        dev->AddUse();
    }
    if (usb)
        out = dev;
    r = FirstCommands(dev, usb, fn);
    dev->RestoreDefaultTimeout();
    ReleaseDevice(dev);
    if (usb) {
        SXCTX_LEAVE(fn);
        return r;
    }
    if (r != E_SX_SUCCESS) {
        destroyPdev(dev);
        return r;
    }
    out = dev;
    return E_SX_SUCCESS;
}

// The unit id, then the identity record. On USB the unit id is read but not
// required, and any continuous P&O output left running is stopped first;
// on a serial port no answer to the unit-id request means no tracker there.
int CSXcontext::FirstCommands(CSXdevIO* dev, bool usb, const char* fn)
{
    _SEUID_CONFIG id{static_cast<uint32_t>(dev->SeuId())};
    int r = cmd_dev_seuid(dev, CMD_ACTION_GET, &id);
    dev->SetSeuId(static_cast<int>(id.seuID));
    if (usb) {
        r = cmd_dev_contpno(dev, CMD_ACTION_RESET, nullptr, 0);
        if (r != E_SX_SUCCESS) {
            trTraceErr(this, r, "cmd_dev_contpno returned", fn, __LINE__, 0);
            return r;
        }
    } else if (r != E_SX_SUCCESS) {
        return r == E_CTXERR_DEV_RECV_QUEUE_EMPTY ? E_SXERR_NOTFOUND : r;
    }
    r = cmd_dev_whoami(dev, dev->WhoAmI());
    if (r != E_SX_SUCCESS && usb)
        trTraceErr(this, r, "cmd_dev_whoami returned", fn, __LINE__, 0);
    return r;
}

int CSXcontext::connectNewUSB(void*& out, uint16_t vid, uint16_t pid, uint32_t tag)
{
    static const char kFn[] = "CSXcontext::connectNewUSB";
    SXCTX_ENTER(kFn);
    trTracefHP("%s : %s : vid 0x%x, pid 0x%x \r\n", __FILE__, kFn, vid, pid);
    return ConnectDevice(out, true, kFn, [&](CSXdevIO* dev) {
        if (tag != 0) {
            // Set before the transport starts reading, so that the reading
            // thread sees the tag family's preambles from its first frame.
            // The hub has no preambles of its own: it speaks the tag
            // family's.
            dev->SetTag(tag);
            uint32_t cmdPre = CSXcmd::TrkCmdPre(pid);
            uint32_t pnoPre = CSXcmd::TrkPnoPre(pid);
            if (pid == PID_Q7_HUB) {
                cmdPre = Q7_PREAMBLE_CMD;
                pnoPre = Q7_PREAMBLE_PNO;
            }
            dev->SetPreambles(cmdPre, pnoPre);
        }
        const int r = dev->ConnectUSB(vid, pid);
        if (r == E_SX_SUCCESS) {
            if (tag != 0)
                trTracefHP7("%s : %s : tag 0x%x \r\n", __FILE__, kFn, tag);
            dev->SetTraceLev(m_nTraceLev);
        }
        return r;
    });
}

int CSXcontext::connectNewSer(void*& out, int port, int cfg)
{
    static const char kFn[] = "CSXcontext::connectNewSer";
    SXCTX_ENTER(kFn);
    trTracefHP("%s : %s : serport %d, sercfg %d \r\n", __FILE__, kFn, port, cfg);
    return ConnectDevice(out, false, kFn,
                         [&](CSXdevIO* dev) { return dev->ConnectSer(port, static_cast<unsigned int>(cfg)); });
}

// ---- Release -----------------------------------------------------------------------

void CSXcontext::destroyPdev(CSXdevIO* dev)
{
    // Off the list first, so no new use can begin.
    DestroyTraced(Unlist(dev) ? dev : nullptr);
}

int CSXcontext::dev_release(CSXdevIO* dev)
{
    SXCTX_ENTER("CSXcontext::dev_release");
    if (!Unlist(dev)) {
        SXCTX_LEAVE("CSXcontext::dev_release");
        return E_CTXERR_INVALID_DEVHND;
    }
    WaitUnused(dev);
    const int r = dev->Disconnect();
    DestroyTraced(dev);
    SXCTX_LEAVE("CSXcontext::dev_release");
    return r;
}

void CSXcontext::DestroyTraced(CSXdevIO* dev)
{
    SXCTX_ENTER("CSXcontext::destroyPdev");
    if (dev)
        DestroyUnused(dev);
    SXCTX_LEAVE("CSXcontext::destroyPdev");
    trTracefHP(kRule);
    trTracefHP(kRule);
}

// ---- Counting, describing, settings -----------------------------------------------

int CSXcontext::dev_count(int& count)
{
    std::lock_guard<std::mutex> lock(m_mtxDevices);
    count = static_cast<int>(m_vecDevices.size());
    return E_SX_SUCCESS;
}

int CSXcontext::dev_info(CSXdevIO* handle, void** identity, int* seuid)
{
    sxctx::DevUse dev(this, handle);
    if (!dev) {
        SXCTX_LEAVE("CSXcontext::dev_info");
        return E_CTXERR_INVALID_DEVHND;
    }
    *identity = dev->WhoAmI();
    *seuid = dev->SeuId();
    return E_SX_SUCCESS;
}

CSXcontext::ReportText* CSXcontext::ClearedReport()
{
    std::lock_guard<std::mutex> lock(m_mtxReports);
    try {
        ReportText& t = m_reports[std::this_thread::get_id()];
        t.narrow.clear();
        t.wide.clear();
        return &t;
    } catch (...) {
        return nullptr;
    }
}

int CSXcontext::AppendReportText(ReportText& report, const std::string& text)
{
    try {
        report.narrow += text;
        report.wide = sxplat::WideString(report.narrow.c_str());
        return E_SX_SUCCESS;
    } catch (...) {
        report.narrow.clear();
        report.wide.clear();
        return E_CTXERR_MEMALLOC_ERROR;
    }
}

int CSXcontext::dev_report(CSXdevIO* handle, ReportText& report)
{
    sxctx::DevUse dev(this, handle);
    if (!dev) {
        SXCTX_LEAVE("CSXcontext::dev_report");
        return E_CTXERR_INVALID_DEVHND;
    }
    try {
        std::string line;
        dev->ReportLine(line);
        line += "\r\n";
        return AppendReportText(report, line);
    } catch (...) {
        return E_CTXERR_MEMALLOC_ERROR;
    }
}

int CSXcontext::dev_report_all(ReportText& report)
{
    int r = E_SX_SUCCESS;
    std::string lines;
    for (CSXdevIO* dev : AcquireAll()) {
        try {
            dev->ReportLine(lines);
            lines += "\r\n";
        } catch (...) {
            r = E_CTXERR_MEMALLOC_ERROR;
        }
        ReleaseDevice(dev);
    }
    if (r != E_SX_SUCCESS)
        return r;
    return AppendReportText(report, lines);
}

int CSXcontext::dev_timeoutms(CSXdevIO* handle, int useDefault, int ms)
{
    sxctx::DevUse dev(this, handle);
    if (!dev) {
        SXCTX_LEAVE("CSXcontext::dev_timeoutms");
        return E_CTXERR_INVALID_DEVHND;
    }
    if (useDefault != 0)
        dev->RestoreDefaultTimeout();
    else
        dev->SetTimeoutMs(ms); // a command may be waiting on another thread
    return E_SX_SUCCESS;
}

int CSXcontext::dev_tracelev(CSXdevIO* handle, int level)
{
    sxctx::DevUse dev(this, handle);
    if (!dev) {
        SXCTX_LEAVE("CSXcontext::dev_tracelev");
        return E_CTXERR_INVALID_DEVHND;
    }
    dev->SetTraceLev(level);
    return E_SX_SUCCESS;
}

int CSXcontext::dev_tsenable(CSXdevIO* handle, bool on)
{
    sxctx::DevUse dev(this, handle);
    if (!dev) {
        SXCTX_LEAVE("CSXcontext::dev_tsenable");
        return E_CTXERR_INVALID_DEVHND;
    }
    dev->SetTsEnable(on);
    return E_SX_SUCCESS;
}
