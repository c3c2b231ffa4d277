// Exported P&O access functions.
#include <SXCmdIF/SXCmdIFdev.h>

#include <SXCmdIF/protocol/SXframeInfo.h>

#include "ExportGuard.h"

using sxctx::Dev;
using sxctx::Named;

SXCMDIF_CAPI int sxcmd_dev_singlepno(void* ctx, void* dev, _sxFrameInfo& out, int arg2)
{
    SXCTX_USE(c, ctx);
    if (!Named(out))
        return E_SXERR_INVALID_PARAMS;
    return c->cmd_dev_singlepno(Dev(dev), out, arg2);
}

SXCMDIF_API int sxcmd_dev_singlepno_q7p(void* ctx, void* dev, _sxFrameInfo& out)
{
    SXCTX_USE(c, ctx);
    if (!Named(out))
        return E_SXERR_INVALID_PARAMS;
    int r = c->cmd_dev_singlepno(Dev(dev), out, 0);
    if (r != E_SX_SUCCESS)
        return r;
    // The transmit lock is free again: the wait does not hold up other
    // commands of the context.
    CFrameInfo p(out);
    if (!p.IsPno())
        r = c->dev_nextpnof(Dev(dev), p);
    out = p;
    return r;
}

// The four queue readers hand back an empty record after a failure.
#define SXCTX_EXPORT_READER(exp, op)                                                                                   \
    SXCMDIF_CAPI int exp(void* ctx, void* dev, _sxFrameInfo* out)                                                      \
    {                                                                                                                  \
        SXCTX_USE(c, ctx);                                                                                             \
        if (!out)                                                                                                      \
            return E_SXERR_INVALID_PARAMS;                                                                             \
        CFrameInfo t;                                                                                                  \
        int r = c->op(Dev(dev), t);                                                                                    \
        *out = t;                                                                                                      \
        return r;                                                                                                      \
    }
SXCTX_EXPORT_READER(sxctx_dev_fifopnof, dev_fifopnof)
SXCTX_EXPORT_READER(sxctx_dev_fifopnofraw, dev_fifopnofraw)
SXCTX_EXPORT_READER(sxctx_dev_lastpnof, dev_lastpnof)
SXCTX_EXPORT_READER(sxctx_dev_lastpnofraw, dev_lastpnofraw)
#undef SXCTX_EXPORT_READER

SXCMDIF_CAPI int sxctx_dev_fifo_readrawbuf(void* ctx, void* dev, unsigned* frames, unsigned char** buffer, int* length)
{
    SXCTX_USE(c, ctx);
    return c->dev_fifo_readrawbuf(Dev(dev), frames, buffer, length);
}

SXCMDIF_CAPI int sxctx_dev_fifo_unread_count(void* ctx, void* dev, unsigned* frames, int* bytes)
{
    SXCTX_USE(c, ctx);
    if (!frames || !bytes)
        return E_SXERR_INVALID_PARAMS;
    return c->dev_fifo_count(Dev(dev), frames, bytes);
}

SXCMDIF_CAPI int sxctx_dev_resetpnocounters(void* ctx, void* dev)
{
    SXCTX_USE(c, ctx);
    return c->dev_resetpno(Dev(dev));
}

SXCMDIF_CAPI int sxdev_SetPnoCallback(void* ctx, void* dev, SXPnoCallback callback, void* arg)
{
    SXCTX_USE(c, ctx);
    return c->dev_SetPnoCB(Dev(dev), callback, arg);
}

SXCMDIF_API int sxdev_pnofrmerr_allow(void* ctx, void* dev, bool allow)
{
    SXCTX_USE(c, ctx);
    return c->dev_pnofrmerr_allow(Dev(dev), allow);
}

SXCMDIF_API int sxdev_pnovalidate_sensor(void* ctx, void* dev, bool validate)
{
    SXCTX_USE(c, ctx);
    return c->dev_pnovalidate_sensor(Dev(dev), validate);
}

SXCMDIF_API int sxdev_pnousb_buffer(void* ctx, void* dev, uint32_t value)
{
    SXCTX_USE(c, ctx);
    return c->dev_pnousb_buffer(Dev(dev), value);
}
