// The one body of every report export, narrow and wide: check the context
// and the out-parameter, take the calling thread's emptied text, let the
// context operation write it, and hand back the text of the export's width.
#pragma once

#include "ExportGuard.h"

#include <string>

namespace sxctx {

// When the text is handed back. A failed report leaves the caller's pointer
// as it was, with one exception: a device report of a device that is not
// the context's hands back its (empty) text with the code, as the device
// reports have always done.
enum class HandBack { OnSuccess, AlsoForUnknownDevice };

inline const char* TextOf(const CSXcontext::ReportText& report, const char*)
{
    return report.narrow.c_str();
}
inline const wchar_t* TextOf(const CSXcontext::ReportText& report, const wchar_t*)
{
    return report.wide.c_str();
}

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
    if (r == E_SX_SUCCESS || (rule == HandBack::AlsoForUnknownDevice && r == E_CTXERR_INVALID_DEVHND))
        *text = TextOf(*report, static_cast<const Char*>(nullptr));
    return r;
}

} // namespace sxctx
