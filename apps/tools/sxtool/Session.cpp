#include "Session.h"

#include "ExitCodes.h"
#include "ListenProbe.h"
#include "Output.h"
#include "SimHost.h"
#include "Texts.h"

#include <items/Connection.h>
#include <items/ErrorHelp.h>

#include <SXCmdIF/SXCmdIF.h>
#include <SXserIO/SXserIO.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cerrno>
#include <cstring>
#include <cwchar>
#include <vector>

namespace sxtool {

void Complain(const char* fmt, ...)
{
    std::fflush(DataOut());
    std::fprintf(stderr, "%s: ", texts::kProgram);
    va_list args;
    va_start(args, fmt);
    std::vfprintf(stderr, fmt, args);
    va_end(args);
    std::fputs(LineEnd(), stderr);
}

const char* ErrorText(int code)
{
    thread_local std::string text;
    text = sxitems::ErrorMessage(code);
    return text.c_str();
}

int ServerExit(int rc, const char* command, const std::string& bind, int port)
{
    if (rc == -1) {
        const std::string reason = ListenFailure(bind, port);
        if (reason.empty())
            Complain(texts::kCannotListen, bind.c_str(), port);
        else
            Complain(texts::kCannotListenBecause, bind.c_str(), port, reason.c_str());
        return kExitFailed;
    }
    if (rc != 0) {
        Complain(texts::kCommandFailed, command, ErrorText(rc));
        return kExitFailed;
    }
    return kExitOk;
}

bool ListSerialPorts(std::vector<SerialPortName>& out)
{
    out.clear();
    unsigned count = 0;
    if (CSXserIO::ListSerPorts(nullptr, count) != 0)
        return false;
    if (count == 0)
        return true;
    std::vector<_sx_serportinfo> ports(count + 1);
    unsigned capacity = count + 1;
    if (CSXserIO::ListSerPorts(ports.data(), capacity) != 0)
        return false;
    for (unsigned i = 0; i < count && i < capacity; ++i)
        out.push_back({ports[i].uPort, NarrowText(ports[i].wsName), NarrowText(ports[i].wsDesc)});
    return true;
}

bool SerialPortListed(int port)
{
    std::vector<SerialPortName> ports;
    ListSerialPorts(ports);
    for (const SerialPortName& p : ports)
        if (p.port == static_cast<unsigned>(port))
            return true;
    return false;
}

std::string SerialPortList()
{
    std::vector<SerialPortName> ports;
    ListSerialPorts(ports);
    std::string list;
    for (const SerialPortName& p : ports) {
        if (!list.empty())
            list += ", ";
        list += std::to_string(p.port) + " (" + p.name + ")";
    }
    return list;
}

std::string NarrowText(const std::wstring& w)
{
    std::string out;
    for (wchar_t c : w)
        out += static_cast<uint32_t>(c) < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

int ConnectExitCode(int code)
{
    switch (code & 0xFFFF) {
    case E_SXERR_NOTFOUND:
    case E_SXERR_LIBUSB:
    case E_SXERR_SERIO:
    case E_CTXERR_DEV_RECV_QUEUE_EMPTY:
        return kExitNoTracker;
    default:
        return kExitFailed;
    }
}

Session::Session() = default;

Session::~Session()
{
    Close();
}

int Session::ApplyDiag(const DiagOptions& diag)
{
    if (diag.traceLevel >= 0)
        sxcmdif_trace(diag.traceLevel);
    if (diag.logFile.empty())
        return kExitOk;
    // The library's log file opens silently or not at all: its place is
    // tried here first, so that a log nobody can write is said at once.
    std::FILE* probe = std::fopen(diag.logFile.c_str(), "a");
    if (!probe) {
        Complain(texts::kFileFailed, diag.logFile.c_str(), std::strerror(errno));
        return kExitFileError;
    }
    std::fclose(probe);
    std::vector<wchar_t> wide(diag.logFile.size() + 1);
    const size_t n = std::mbstowcs(wide.data(), diag.logFile.c_str(), wide.size());
    if (n == static_cast<size_t>(-1)) {
        Complain(texts::kFileFailed, diag.logFile.c_str(), "the name cannot be converted in this locale");
        return kExitFileError;
    }
    BxDebug::SetLogFile(wide.data());
    BxDebug::StartLog(0, true, true);
    return kExitOk;
}

void Session::EndDiag(const DiagOptions& diag)
{
    if (!diag.logFile.empty())
        BxDebug::StopLog();
}

int Session::Open(const ConnectionOptions& conn, const DiagOptions&)
{
    const int rc = sxcmdif_init(&m_ctx);
    if (rc != E_SX_SUCCESS) {
        Complain(texts::kContextFailed, ErrorText(rc));
        m_ctx = nullptr;
        return kExitFailed;
    }
    m_conn = conn;
    if (conn.sim)
        return ConnectSim(conn);
    if (conn.serialPort >= 0)
        return ConnectSerialPort(conn.serialPort, conn.serialCfg);
    if (conn.usb || conn.hub)
        return ConnectUsb(conn);
    // Nothing named: the first tracker on USB, and the user is told which.
    // Serial ports are not probed unasked (the probe would write to whatever
    // device sits on them), and the simulator is never taken for a tracker.
    std::vector<_WHOAMI_STRUCT> seen;
    void* dev = nullptr;
    const int usb = sxitems::ConnectUsbWhere(
        m_ctx, dev, [](const _WHOAMI_STRUCT&) { return true; }, seen);
    if (usb != E_SX_SUCCESS)
        return UsbFailed(usb);
    const std::string serial = sxitems::IdentityText(seen.back().hw_ser_no);
    Complain(texts::kUsingUsbTracker, sxitems::IdentityText(seen.back().device_name).c_str(), serial.c_str());
    // A new connection after a lost line goes to this tracker again.
    m_conn.usb = true;
    if (!serial.empty())
        m_conn.usbSerial = serial;
    return Connected(dev);
}

int Session::UsbFailed(int rc)
{
    const int code = rc & 0xFFFF;
    if (code == E_SXERR_NOTFOUND || code == E_SXERR_LIBUSB) {
        Complain("%s", texts::kNoTrackerFound);
        return kExitNoTracker;
    }
    Complain(texts::kConnectFailed, ErrorText(rc));
    return ConnectExitCode(rc);
}

int Session::UsbConnect(const ConnectionOptions& conn, void*& dev, std::vector<_WHOAMI_STRUCT>* seen)
{
    if (!conn.usbSerial.empty()) {
        std::vector<_WHOAMI_STRUCT> ignored;
        return sxitems::ConnectUsbSerial(m_ctx, dev, conn.usbSerial, seen ? *seen : ignored);
    }
    if (conn.hub)
        return sxctx_connectusb_q7p(m_ctx, dev, 0);
    if (conn.tag != 0)
        return sxctx_connectusbtag(m_ctx, dev, PID_Q7_TAG, conn.tag);
    return sxctx_connectusb(m_ctx, dev, PID_SORIX);
}

int Session::ConnectUsb(const ConnectionOptions& conn)
{
    void* dev = nullptr;
    std::vector<_WHOAMI_STRUCT> seen;
    const int rc = UsbConnect(conn, dev, &seen);
    if (rc == E_SX_SUCCESS)
        return Connected(dev);
    if (!conn.usbSerial.empty()) {
        if (seen.empty())
            return UsbFailed(rc);
        Complain(texts::kNoUsbSerial, conn.usbSerial.c_str(), sxitems::SerialNumbers(seen).c_str());
        return kExitNoTracker;
    }
    // A USB connection whose first commands failed stays registered.
    if (dev)
        sxctx_dev_release(m_ctx, dev);
    Complain(texts::kConnectFailed, ErrorText(rc));
    return ConnectExitCode(rc);
}

int Session::ConnectSerialPort(int port, int cfg)
{
    void* dev = nullptr;
    const int rc = sxitems::ConnectSerialRetried(m_ctx, dev, port, cfg, sxitems::kConnectAttempts);
    if (rc == E_SX_SUCCESS)
        return Connected(dev);
    // Asked after the attempt: a port may open without being listed (on
    // Windows port N is COM N, listed or not).
    if (port > 0 && !SerialPortListed(port)) {
        const std::string ports = SerialPortList();
        if (ports.empty())
            Complain(texts::kNoSerialPorts, port);
        else
            Complain(texts::kNoSuchPort, port, ports.c_str());
        return kExitNoTracker;
    }
    // Port 0 tried every port: none answered, or none could be used.
    if (port == 0) {
        const std::string ports = SerialPortList();
        Complain(texts::kNoSerialTracker, ports.empty() ? "(there are none)" : ports.c_str());
        return kExitNoTracker;
    }
    Complain(texts::kConnectFailed, ErrorText(rc));
    return ConnectExitCode(rc);
}

int Session::ConnectSim(const ConnectionOptions& conn)
{
    std::string error;
    m_sim = SimHost::Start(conn.simSensors, conn.simRateHz, conn.simStatic, conn.simJitterMs, error);
    if (!m_sim) {
        Complain(texts::kSimFailed, error.c_str());
        return kExitNoSimulator;
    }
    return ConnectSerialPort(SimHost::kPort, 0);
}

int Session::Connected(void* dev)
{
    m_dev = dev;
    // Answers may take longer than the default 50 ms on a loaded machine;
    // the longer wait only matters when an answer is late.
    sxdev_timeoutms(m_ctx, m_dev, 0, sxitems::kCommandTimeoutMs);
    return kExitOk;
}

int Session::Reconnect(void*& dev)
{
    if (m_dev)
        sxctx_dev_release(m_ctx, m_dev);
    m_dev = dev = nullptr;
    void* fresh = nullptr;
    const int rc = m_sim || m_conn.serialPort >= 0
                       ? sxitems::ConnectSerialRetried(m_ctx, fresh, m_sim ? SimHost::kPort : m_conn.serialPort,
                                                       m_conn.serialCfg, 1)
                       : UsbConnect(m_conn, fresh);
    if (rc != E_SX_SUCCESS) {
        if (fresh)
            sxctx_dev_release(m_ctx, fresh);
        return rc;
    }
    Connected(fresh);
    dev = fresh;
    return rc;
}

void Session::Close()
{
    if (m_ctx) {
        if (m_dev)
            sxctx_dev_release(m_ctx, m_dev);
        sxcmdif_release(m_ctx);
    }
    m_dev = nullptr;
    m_ctx = nullptr;
    m_sim.reset();
}

} // namespace sxtool
