// Library entry: contexts, trace switch, standard-output hook, build stamp.
#include <SXCmdIF/SXCmdIFapi.h>

#include "SXcontext.h"
#include "diag/TraceInternal.h"

#include "BuildStamp.h"
#include "diag/CmdNameOverride.h"
#include "diag/PtrText.h"

#include <platform/Console.h>
#include <platform/IoDebug.h>

#include <cstdio>
#include <new>

SXCMDIF_CAPI int sxcmdif_init(void** ctx)
{
    if (!ctx)
        return E_SXERR_INVALID_PARAMS;
    CSXcontext* c = new (std::nothrow) CSXcontext();
    if (!c)
        return E_SXERR_MEMORY_ALLOCATION;
    size_t count = 0;
    if (!sxctx::Register(c, &count)) {
        delete c;
        return E_SXERR_MEMORY_ALLOCATION;
    }
    *ctx = c;
    c->SetTraceLev(trTraceLevel());
    trTracefHP("%s : SXcmdIF %s %s : ctx 0x%s : sizeof(ctx)=%d : %d active contexts\r\n", "sxcmdif_init",
               sxbuild::Version(), sxbuild::DateTime(), sxdiag::PtrText(c).text, static_cast<int>(sizeof(void*)),
               static_cast<int>(count));
    return E_SX_SUCCESS;
}

SXCMDIF_CAPI int sxcmdif_release(void* ctx)
{
    if (!sxctx::Unregister(ctx))
        return E_SXERR_INVALID_CONTEXT;
    // Calls that found the context before it left the registry finish
    // first; later ones get E_SXERR_INVALID_CONTEXT.
    sxctx::WaitUnused(static_cast<CSXcontext*>(ctx));
    delete static_cast<CSXcontext*>(ctx);
    return E_SX_SUCCESS;
}

SXCMDIF_CAPI const char* sxcmdif_version(void)
{
    return sxbuild::Version();
}
SXCMDIF_CAPI const wchar_t* sxcmdif_versionW(void)
{
    return sxbuild::VersionW();
}
SXCMDIF_CAPI const char* sxcmdif_date(void)
{
    return sxbuild::Date();
}
SXCMDIF_CAPI const wchar_t* sxcmdif_dateW(void)
{
    return sxbuild::DateW();
}
SXCMDIF_CAPI const char* sxcmdif_time(void)
{
    return sxbuild::Time();
}
SXCMDIF_CAPI const wchar_t* sxcmdif_timeW(void)
{
    return sxbuild::TimeW();
}
SXCMDIF_CAPI const char* sxcmdif_datetime(void)
{
    return sxbuild::DateTime();
}
SXCMDIF_CAPI const wchar_t* sxcmdif_datetimeW(void)
{
    return sxbuild::DateTimeW();
}

SXCMDIF_CAPI void sxcmdif_trace(int level)
{
    if (level < 0 || level > 7) {
        trSetTrace(false, level);
        return;
    }
    trSetTrace(level > 0, level);
    if (level == 7)
        trTracefHP7("%s : set trace level %d\r\n", "sxcmdif_trace", level);
}

SXCMDIF_CAPI void sxcmdif_set_trace_cb(sxcmdif_trace_cb fn, void* arg)
{
    iodbg::BxDebug::SetLineSink(fn, arg);
}

SXCMDIF_API int sxcmdif_stdout()
{
    if (!trTraceOn())
        return E_SX_SUCCESS;
    int result = E_SXERR_NOTFOUND;
    if (sxplat::ReopenStdoutOnConsole())
        result = E_SX_SUCCESS;
    fputs("sxcmdif_stdoutstdout\r\n", stdout);
    return result;
}

SXCMDIF_CAPI int sxctx_trace(void* ctx, int level)
{
    sxctx::CtxUse c(ctx);
    if (!c)
        return E_SXERR_INVALID_CONTEXT;
    c->SetTraceLev(level);
    return E_SX_SUCCESS;
}

SXCMDIF_API int sxctx_setuthcmdstr(void* ctx, const char* (*fn)(unsigned int))
{
    if (!sxctx::IsLive(ctx))
        return E_SXERR_INVALID_CONTEXT;
    if (!fn)
        return E_SXERR_INVALID_PARAMS;
    sxctx::SetCmdNameOverride(fn);
    return E_SX_SUCCESS;
}

SXCMDIF_API int sxctx_clearuthcmdstr(void* ctx)
{
    if (!sxctx::IsLive(ctx))
        return E_SXERR_INVALID_CONTEXT;
    sxctx::ClearCmdNameOverride();
    return E_SX_SUCCESS;
}
