// Exported command and report functions. The typed ones come from the rows
// of the command and report tables; each looks up the context and calls the
// context operation of its row, where the checks are made.
//
// Two checks keep the rows and the rest of the interface together: every
// exported definition here must have its declaration in the device header
// (a row without one fails to compile), and the record a typed command
// carries must have the size the command catalogue gives its command.
#pragma GCC diagnostic error "-Wmissing-declarations"

#include <SXCmdIF/SXCmdIFdev.h>

#include <SXCmdIF/protocol/SXframeInfo.h>
#include <SXCmdIF/records/SXpayloads.h>

#include "../protocol/CmdCatalogue.h"
#include "ExportGuard.h"
#include "ReportExport.h"

#include <type_traits>

using sxctx::Dev;

namespace {

// A row's record (its payload argument's) has the catalogue's size of its
// command; a row that sends no record (a RESET of the block) has nothing to
// agree with.
template <class P>
constexpr bool RecordFits(eSorixCmds cmd)
{
    if constexpr (std::is_null_pointer_v<P>)
        return true;
    else
        return sizeof(std::remove_pointer_t<P>) == sxproto::kCmdCatalogue[cmd].paySize;
}

} // namespace

#define SXCTX_CHECK_SIZE(exp, op, kind, params, args, cmd, action, payload, arg1, arg2)                                \
    [[maybe_unused]] static void exp##_record_size(void* ctx, void* dev SXCTX_UNPAREN params)                          \
    {                                                                                                                  \
        static_assert(RecordFits<decltype(payload)>(cmd),                                                              \
                      #exp ": the record is not the size the catalogue gives " #cmd);                                  \
    }
SXCTX_COMMAND_TABLE(SXCTX_CHECK_SIZE)
#undef SXCTX_CHECK_SIZE

#define SXCTX_EXPORT_CMD(exp, op, kind, params, args, cmd, action, payload, arg1, arg2)                                \
    SXCMDIF_CAPI int exp(void* ctx, void* dev SXCTX_UNPAREN params)                                                    \
    {                                                                                                                  \
        SXCTX_USE(c, ctx);                                                                                             \
        return c->op(Dev(dev) SXCTX_UNPAREN args);                                                                     \
    }
SXCTX_COMMAND_TABLE(SXCTX_EXPORT_CMD)
#undef SXCTX_EXPORT_CMD

SXCMDIF_CAPI int sxcmd_dev_contpno(void* ctx, void* dev, eCmdActions action, int* fc, int arg2)
{
    SXCTX_USE(c, ctx);
    return c->cmd_dev_contpno(Dev(dev), action, fc, arg2);
}

SXCMDIF_CAPI int sxcmd_dev_generic(void* ctx, void* dev, int action, int command, void* payload, unsigned length,
                                   int arg1, int arg2)
{
    SXCTX_USE(c, ctx);
    return c->cmd_dev_gen(Dev(dev), static_cast<eSorixCmds>(command), static_cast<eCmdActions>(action), payload, length,
                          arg1, arg2);
}

SXCMDIF_CAPI int sxcmd_dev_generic1(void* ctx, void* dev, int* seuid, int* action, int* command, int* arg1, int* arg2,
                                    unsigned* length, void* payload)
{
    SXCTX_USE(c, ctx);
    if (!seuid || !action || !command || !arg1 || !arg2 || !length)
        return E_SXERR_INVALID_PARAMS;
    return c->cmd_dev_gen1(Dev(dev), seuid, command, action, arg1, arg2, length, payload);
}

SXCMDIF_CAPI int sxcmd_sns_generic(void* ctx, void* dev, int sensor, int action, int command, void* payload,
                                   unsigned length, int arg2)
{
    SXCTX_USE(c, ctx);
    return c->cmd_sns_gen(Dev(dev), sensor, static_cast<eSorixCmds>(command), static_cast<eCmdActions>(action), payload,
                          length, arg2);
}

SXCMDIF_API int sxcmd_sns_led(void* ctx, void* dev, int sensor, eCmdActions action, _BIT_STRUCT* payload)
{
    SXCTX_USE(c, ctx);
    return c->cmd_sns_led(Dev(dev), sensor, action, payload);
}

SXCMDIF_API int sxcmd_sns_ftthome(void* ctx, void* /*dev*/, int /*sensor*/, eCmdActions /*action*/, _PNO* /*pno*/,
                                  eFTTHomeMethod /*method*/)
{
    SXCTX_USE(c, ctx);
    return E_SXERR_NOT_IMPLEMENTED;
}

// ---- Reports: a narrow export and its wide twin per row -------------------------
// A failed command report leaves the caller's pointer as it was.

#define SXCTX_EXPORT_REPORT(exp, op, params, args, get, rec, cls, report, keep)                                        \
    template <class Char>                                                                                              \
    static int exp##_text(void* ctx, void* dev SXCTX_UNPAREN params, const Char** text)                                \
    {                                                                                                                  \
        auto write = [&](CSXcontext& c, CSXcontext::ReportText& out) {                                                 \
            return c.op(Dev(dev) SXCTX_UNPAREN args, out);                                                             \
        };                                                                                                             \
        return sxctx::ExportReport<sxctx::HandBack::OnSuccess>(ctx, text, write);                                      \
    }                                                                                                                  \
    SXCMDIF_CAPI int exp(void* ctx, void* dev SXCTX_UNPAREN params, const char** text)                                 \
    {                                                                                                                  \
        return exp##_text(ctx, dev SXCTX_UNPAREN args, text);                                                          \
    }                                                                                                                  \
    SXCMDIF_CAPI int exp##W(void* ctx, void* dev SXCTX_UNPAREN params, const wchar_t** text)                           \
    {                                                                                                                  \
        return exp##_text(ctx, dev SXCTX_UNPAREN args, text);                                                          \
    }
SXCTX_REPORT_TABLE(SXCTX_EXPORT_REPORT)
#undef SXCTX_EXPORT_REPORT
