// CSXusbIO: construction, the trace setting and the names of result codes.
// Opening and closing are in SXusbOpen, the bulk transfers in SXusbBulk, the
// continuous reading in SXusbThread.
#include "SXlibusb/SXusbIO.h"

#include "UsbTrace.h"

#include <libusb.h>

using iodbg::BxDebug;

namespace {

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

} // namespace

CSXusbIO::CSXusbIO()
{
    if (libusb_init(&m_ctx) != 0)
        m_ctx = nullptr;
    else
        libusb_set_option(m_ctx, LIBUSB_OPTION_LOG_LEVEL, LIBUSB_LOG_LEVEL_WARNING);
    // The transport starts at level 7. libusb's own log stays at warnings
    // until the owner sets the level: the event thread libusb_init started
    // would otherwise print its debug lines on stderr in the moment before
    // ("udev event thread entering" on a quiet tool's stderr).
    ApplyTrace(true, 7, false);
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
    ApplyTrace(bTrace, iLev, true);
}

void CSXusbIO::ApplyTrace(bool bTrace, int iLev, bool libusbToo)
{
    BxDebug::BXDSetLevel(bTrace ? iLev : 0);
    if (m_ctx && libusbToo)
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
