#include "Session.h"

#include "ExitCodes.h"
#include "Output.h"
#include "SimHost.h"
#include "Texts.h"

#include <SXCmdIF/SXCmdIF.h>

#include <cstdarg>
#include <cstdio>
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
    std::fputc('\n', stderr);
}

const char* ErrorText(int code)
{
    return sxcmdif_errorStr(code);
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

void Session::ApplyDiag(const DiagOptions& diag)
{
    if (diag.traceLevel >= 0)
        sxcmdif_trace(diag.traceLevel);
    if (!diag.logFile.empty()) {
        std::vector<wchar_t> wide(diag.logFile.size() + 1);
        const size_t n = std::mbstowcs(wide.data(), diag.logFile.c_str(), wide.size());
        if (n != static_cast<size_t>(-1)) {
            BxDebug::SetLogFile(wide.data());
            BxDebug::StartLog(0, true, true);
        }
    }
}

void Session::EndDiag(const DiagOptions& diag)
{
    if (!diag.logFile.empty())
        BxDebug::StopLog();
}

int Session::Open(const ConnectionOptions& conn, const DiagOptions& diag)
{
    ApplyDiag(diag);
    const int rc = sxcmdif_init(&m_ctx);
    if (rc != E_SX_SUCCESS) {
        Complain(texts::kContextFailed, ErrorText(rc));
        m_ctx = nullptr;
        return kExitFailed;
    }
    if (conn.sim)
        return ConnectSim(conn);
    if (conn.serialPort > 0)
        return ConnectSerialPort(conn.serialPort, conn.serialCfg);
    if (conn.usb || conn.hub)
        return ConnectUsb(conn);
    // Nothing named: a USB tracker if there is one, else the simulator.
    // Serial ports are not probed unasked: the probe would write to
    // whatever device sits on them.
    void* dev = nullptr;
    const int usb = sxctx_connectusb(m_ctx, dev, PID_SORIX);
    if (usb == E_SX_SUCCESS)
        return Connected(dev);
    if (dev)
        sxctx_dev_release(m_ctx, dev);
    std::fprintf(stderr, "%s: %s\n", texts::kProgram, texts::kNoTrackerUsingSim);
    return ConnectSim(conn);
}

int Session::ConnectUsb(const ConnectionOptions& conn)
{
    void* dev = nullptr;
    int rc;
    if (conn.hub)
        rc = sxctx_connectusb_q7p(m_ctx, dev, 0);
    else if (conn.tag != 0)
        rc = sxctx_connectusbtag(m_ctx, dev, PID_Q7_TAG, conn.tag);
    else
        rc = sxctx_connectusb(m_ctx, dev, PID_SORIX);
    if (rc != E_SX_SUCCESS) {
        // A USB connection whose first commands failed stays registered.
        if (dev)
            sxctx_dev_release(m_ctx, dev);
        Complain(texts::kConnectFailed, ErrorText(rc));
        return ConnectExitCode(rc);
    }
    return Connected(dev);
}

int Session::ConnectSerialPort(int port, int cfg)
{
    void* dev = nullptr;
    // The connection's first commands wait only the default 50 ms for their
    // answers; a unit that is still starting, or a loaded machine, may need
    // another try.
    int rc = E_SXERR_NOTFOUND;
    for (int attempt = 0; attempt < kConnectAttempts && (rc & 0xFFFF) == E_SXERR_NOTFOUND; ++attempt)
        rc = sxctx_connectser(m_ctx, dev, port, cfg);
    if (rc != E_SX_SUCCESS) {
        Complain(texts::kConnectFailed, ErrorText(rc));
        return ConnectExitCode(rc);
    }
    return Connected(dev);
}

int Session::ConnectSim(const ConnectionOptions& conn)
{
    std::string error;
    m_sim = SimHost::Start(conn.simSensors, conn.simRateHz, error);
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
    sxdev_timeoutms(m_ctx, m_dev, 0, kCommandTimeoutMs);
    return kExitOk;
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
