// P&O access of a context: single P&O by command, the queue readers in body
// and raw form, the block read, counts, reset, callback and receive
// switches.
#include "SXcontext.h"

#include "SXdevIO.h"
#include <SXCmdIF/protocol/SXcmd.h>
#include <SXCmdIF/protocol/SXframeInfo.h>

#include "CtxTrace.h"

#include <cstring>

#define SXCTX_LOOKUP(dev, handle, name)                                                                                \
    sxctx::DevUse dev(this, handle);                                                                                   \
    if (!dev) {                                                                                                        \
        SXCTX_LEAVE(name);                                                                                             \
        return E_CTXERR_INVALID_DEVHND;                                                                                \
    }

namespace {

// The P&O body of a raw frame: from `seuid` on, without the CRC.
void ToBodyForm(CFrameInfo& f)
{
    unsigned char* body = f.PPnoBody();
    unsigned int size = f.PnoBodySize();
    f.pFrame = body;
    f.frameLen = size;
}

} // namespace

int CSXcontext::cmd_dev_singlepno(CSXdevIO* handle, _sxFrameInfo& out, int arg2)
{
    SXCTX_ENTER("CSXcontext::cmd_dev_singlepno");
    SXCTX_LOOKUP(dev, handle, "CSXcontext::cmd_dev_singlepno");
    CSXcmd c(SX_PREAMBLE_CMD);
    c.Fill(0, CMD_SINGLE_PNO, CMD_ACTION_GET, 0, static_cast<unsigned>(arg2), nullptr, 0);
    if (dev->Tag() != 0)
        c.sx2tag();
    CFrameInfo t;
    int r = SendRecv(*dev.get(), c, t, true);
    if (r == E_SX_SUCCESS)
        out = _sxFrameInfo{t.PCmdPayload(), t.CmdPayloadSize(), 0, 0, 0};
    SXCTX_LEAVE("CSXcontext::cmd_dev_singlepno");
    return r;
}

int CSXcontext::dev_nextpnof(CSXdevIO* handle, CFrameInfo& out)
{
    SXCTX_LOOKUP(dev, handle, "CSXcontext::dev_nextpnof");
    return dev->WaitPnoRespA(out);
}

int CSXcontext::dev_fifopnof(CSXdevIO* handle, CFrameInfo& out)
{
    SXCTX_LOOKUP(dev, handle, "CSXcontext::dev_fifopnof");
    int r = dev->RxPnoDequeueFIFO(out);
    if (r == E_SX_SUCCESS)
        ToBodyForm(out);
    return r;
}

int CSXcontext::dev_fifopnofraw(CSXdevIO* handle, CFrameInfo& out)
{
    SXCTX_LOOKUP(dev, handle, "CSXcontext::dev_fifopnofraw");
    return dev->RxPnoDequeueFIFO(out);
}

int CSXcontext::dev_lastpnof(CSXdevIO* handle, CFrameInfo& out)
{
    SXCTX_LOOKUP(dev, handle, "CSXcontext::dev_lastpnof");
    int r = dev->RxPnoDequeueLAST(out);
    if (r == E_SX_SUCCESS)
        ToBodyForm(out);
    return r;
}

int CSXcontext::dev_lastpnofraw(CSXdevIO* handle, CFrameInfo& out)
{
    SXCTX_LOOKUP(dev, handle, "CSXcontext::dev_lastpnofraw");
    return dev->RxPnoDequeueLAST(out);
}

int CSXcontext::dev_fifo_readrawbuf(CSXdevIO* handle, unsigned* frames, unsigned char** buffer, int* length)
{
    SXCTX_LOOKUP(dev, handle, "CSXcontext::dev_fifo_readrawbuf");
    // A negative length is no buffer either: it must not become a huge
    // unsigned room.
    if (buffer == nullptr || *buffer == nullptr || length == nullptr || *length <= 0 || frames == nullptr) {
        SXCTX_LEAVE("CSXcontext::dev_fifo_readrawbuf");
        return E_SXERR_INVALID_PARAMS;
    }
    CFrameInfo t;
    unsigned taken = *frames;
    int r = dev->FIFORxPnoCount(t, taken, static_cast<unsigned>(*length));
    if (r == E_SX_SUCCESS) {
        if (t.frameLen != 0)
            std::memcpy(*buffer, t.pFrame, t.frameLen);
        *length = static_cast<int>(t.frameLen);
        *frames = taken;
    }
    return r;
}

int CSXcontext::dev_fifo_count(CSXdevIO* handle, unsigned* frames, int* bytes)
{
    SXCTX_LOOKUP(dev, handle, "CSXcontext::dev_fifo_count");
    return dev->FIFOPnoCount(*frames, *bytes);
}

int CSXcontext::dev_resetpno(CSXdevIO* handle)
{
    SXCTX_LOOKUP(dev, handle, "CSXcontext::dev_resetpno");
    dev->ResetPno();
    return E_SX_SUCCESS;
}

int CSXcontext::dev_SetPnoCB(CSXdevIO* handle, SXPnoCallback cb, void* arg)
{
    SXCTX_LOOKUP(dev, handle, "CSXcontext::dev_SetPnoCB");
    dev->SetPnoCallback(cb, arg);
    return E_SX_SUCCESS;
}

int CSXcontext::dev_pnofrmerr_allow(CSXdevIO* handle, bool allow)
{
    SXCTX_LOOKUP(dev, handle, "CSXcontext::dev_pnofrmerr_allow");
    return dev->SetPnoFrmErrAllow(allow);
}

int CSXcontext::dev_pnovalidate_sensor(CSXdevIO* handle, bool validate)
{
    SXCTX_LOOKUP(dev, handle, "CSXcontext::dev_pnovalidate_sensor");
    return dev->SetPnoValidateSensor(validate);
}

int CSXcontext::dev_pnousb_buffer(CSXdevIO* handle, uint32_t value)
{
    SXCTX_LOOKUP(dev, handle, "CSXcontext::dev_pnousb_buffer");
    // The value belongs to the context: the device is only checked.
    m_nPnoUsbBuf = value;
    return E_SX_SUCCESS;
}
