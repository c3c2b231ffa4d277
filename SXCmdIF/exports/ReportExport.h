// The one body of every report export, narrow and wide: check the context
// and the out-parameter, take the calling thread's emptied text, let the
// context operation write it, and hand back the text of the export's width.
#pragma once

#include "ExportGuard.h"

#include <string>

namespace sxctx {

// When the text is handed back. A command report hands it back on success
// only, so a failed one leaves the caller's pointer as it was; a device
// report hands it back whatever the lookup found (empty for a device that
// is not the context's).
enum class HandBack { OnSuccess, Always };

inline const char* TextOf(const CSXcontext::ReportText& report, const char*) { return report.narrow.c_str(); }
inline const wchar_t* TextOf(const CSXcontext::ReportText& report, const wchar_t*) { return report.wide.c_str(); }

// write(context, report) runs the context operation and returns its code.
template <HandBack rule, class Char, class Write>
int ExportReport(void* ctx, const Char** text, Write write)
{
    SXCTX_USE(c, ctx);
    if (!text)
        return E_SXERR_INVALID_PARAMS;
    CSXcontext::ReportText* report = c->ClearedReport();
    if (!report)
        return E_CTXERR_MEMALLOC_ERROR;
    const int r = write(*c.get(), *report);
    if (rule == HandBack::Always || r == E_SX_SUCCESS)
        *text = TextOf(*report, static_cast<const Char*>(nullptr));
    return r;
}

} // namespace sxctx
