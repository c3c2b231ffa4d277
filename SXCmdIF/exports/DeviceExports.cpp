// Exported connection and registry functions: look up the context, check
// the out-parameters, call the context operation, return its code.
#include <SXCmdIF/SXCmdIFdev.h>

#include <SXCmdIF/protocol/SXusbIds.h>

#include "ExportGuard.h"
#include "ReportExport.h"

using sxctx::Dev;
using sxctx::ExportReport;
using sxctx::HandBack;
using sxctx::Named;

namespace {

int AllDevices(CSXcontext& c, CSXcontext::ReportText& report)
{
    return c.dev_report_all(report);
}

struct OneDevice {
    CSXdevIO* dev;
    int operator()(CSXcontext& c, CSXcontext::ReportText& report) const { return c.dev_report(dev, report); }
};

} // namespace

SXCMDIF_CAPI int sxctx_connectusb(void* ctx, void*& dev, uint16_t pid)
{
    SXCTX_USE(c, ctx);
    if (!Named(dev))
        return E_SXERR_INVALID_PARAMS;
    return c->connectNewUSB(dev, VID_MAKER, pid, 0);
}

SXCMDIF_API int sxctx_connectusbtag(void* ctx, void*& dev, uint16_t pid, uint32_t tag)
{
    SXCTX_USE(c, ctx);
    if (!Named(dev))
        return E_SXERR_INVALID_PARAMS;
    return c->connectNewUSB(dev, VID_MAKER, pid, tag);
}

SXCMDIF_API int sxctx_connectusb_q7p(void* ctx, void*& dev, uint16_t /*unused*/)
{
    SXCTX_USE(c, ctx);
    if (!Named(dev))
        return E_SXERR_INVALID_PARAMS;
    dev = nullptr;
    return c->connectNewUSB(dev, VID_MAKER, PID_Q7_HUB, PID_Q7_HUB);
}

SXCMDIF_CAPI int sxctx_connectser(void* ctx, void*& dev, int port, int cfg)
{
    SXCTX_USE(c, ctx);
    if (!Named(dev))
        return E_SXERR_INVALID_PARAMS;
    return c->connectNewSer(dev, port, cfg);
}

SXCMDIF_CAPI int sxctx_dev_count(void* ctx, int* count)
{
    SXCTX_USE(c, ctx);
    if (!count)
        return E_SXERR_INVALID_PARAMS;
    return c->dev_count(*count);
}

SXCMDIF_CAPI int sxctx_dev_release(void* ctx, void* dev)
{
    SXCTX_USE(c, ctx);
    return c->dev_release(Dev(dev));
}

// The device reports hand back their text also for a device that is not
// the context's (then empty), as the interface documents.
SXCMDIF_CAPI int sxctx_dev_report(void* ctx, const char** text)
{
    return ExportReport<HandBack::AlsoForUnknownDevice>(ctx, text, AllDevices);
}

SXCMDIF_CAPI int sxctx_dev_reportW(void* ctx, const wchar_t** text)
{
    return ExportReport<HandBack::AlsoForUnknownDevice>(ctx, text, AllDevices);
}

SXCMDIF_CAPI int sxdev_info(void* ctx, void* dev, void** identity, int* seuid)
{
    SXCTX_USE(c, ctx);
    if (!identity || !seuid)
        return E_SXERR_INVALID_PARAMS;
    return c->dev_info(Dev(dev), identity, seuid);
}

SXCMDIF_CAPI int sxdev_report(void* ctx, void* dev, const char** text)
{
    return ExportReport<HandBack::AlsoForUnknownDevice>(ctx, text, OneDevice{Dev(dev)});
}

SXCMDIF_CAPI int sxdev_reportW(void* ctx, void* dev, const wchar_t** text)
{
    return ExportReport<HandBack::AlsoForUnknownDevice>(ctx, text, OneDevice{Dev(dev)});
}

SXCMDIF_CAPI int sxdev_timeoutms(void* ctx, void* dev, int useDefault, int ms)
{
    SXCTX_USE(c, ctx);
    return c->dev_timeoutms(Dev(dev), useDefault, ms);
}

SXCMDIF_CAPI int sxdev_trace(void* ctx, void* dev, int level)
{
    SXCTX_USE(c, ctx);
    return c->dev_tracelev(Dev(dev), level);
}

SXCMDIF_CAPI int sxdev_tsenable(void* ctx, void* dev, bool on)
{
    SXCTX_USE(c, ctx);
    return c->dev_tsenable(Dev(dev), on);
}
