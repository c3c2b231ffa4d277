// Report operations of a context: read an identity or test record with a
// GET and put its text report into the context's report strings.
#include "SXcontext.h"

#include "SXdevIO.h"
#include <SXCmdIF/records/SXidentity.h>

#include "CtxTrace.h"

namespace {

// The unit's identity record, read afresh, becomes the device's own.
void KeepIdentity(CSXcontext* ctx, CSXdevIO* handle, const _WHOAMI_STRUCT& rec)
{
    sxctx::DevUse dev(ctx, handle);
    if (dev)
        *dev->WhoAmI() = rec;
}
void KeepIdentity(CSXcontext*, CSXdevIO*, const _BIT_STRUCT&)
{
}

} // namespace

#define SXCTX_DEFINE_REPORT(exp, op, params, args, get, rec, cls, report, keep)                                        \
    int CSXcontext::op(CSXdevIO* dev SXCTX_UNPAREN params, ReportText& report)                                         \
    {                                                                                                                  \
        SXCTX_ENTER("CSXcontext::" #op);                                                                               \
        rec record{};                                                                                                  \
        int r = get(dev SXCTX_UNPAREN args, &record);                                                                  \
        if (r != E_SX_SUCCESS)                                                                                         \
            return r;                                                                                                  \
        if (keep)                                                                                                      \
            KeepIdentity(this, dev, record);                                                                           \
        try {                                                                                                          \
            cls c(&record);                                                                                            \
            std::string text;                                                                                          \
            c.report(text, false, false);                                                                              \
            return AppendReportText(report, text);                                                                     \
        } catch (...) {                                                                                                \
            return E_CTXERR_MEMALLOC_ERROR;                                                                            \
        }                                                                                                              \
    }
SXCTX_REPORT_TABLE(SXCTX_DEFINE_REPORT)
#undef SXCTX_DEFINE_REPORT
