// Command operations of a context: the catalogue checks, building a frame in
// the transmit buffer, the exchange with the device and the copy of a GET's
// payload back to the caller; then one operation per row of the command
// table.
#include "SXcontext.h"

#include "SXdevIO.h"
#include <SXCmdIF/protocol/SXcmd.h>
#include <SXCmdIF/protocol/SXframeInfo.h>
#include <SXCmdIF/records/SXpayloads.h>

#include "CtxTrace.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kMaxSensor = 16;

unsigned CatalogueSize(eSorixCmds cmd)
{
    return static_cast<unsigned>(CSXcmd::paysize(cmd));
}

// The response payload bytes a caller may take: no more than it asked for,
// than the response announces, or than the frame holds.
unsigned PayloadToCopy(const CFrameInfo& t, unsigned wanted)
{
    unsigned n = std::min(wanted, t.CmdPayloadSize());
    unsigned held = t.frameLen > SX_CMD_HDR_LEN ? t.frameLen - SX_CMD_HDR_LEN : 0;
    return std::min(n, held);
}

} // namespace

// The exchange of a prepared command with a device whose use the caller
// holds, so that each command looks its device up once.
int CSXcontext::SendRecv(CSXdevIO& dev, CSXcmd& cmd, CFrameInfo& response, bool wait)
{
    SXCTX_ENTER("CSXcontext::SendRecv");
    std::lock_guard<std::mutex> lock(m_mtxTx);
    // A frame larger than the transmit buffer is refused, never written
    // past it.
    if (cmd.Prepare(m_TxBuf, m_nTxLen, sizeof m_TxBuf) == 0) {
        SXCTX_LEAVE("CSXcontext::SendRecv");
        return E_SXERR_INVALID_PARAMS;
    }
    CFrameInfo request(m_TxBuf, static_cast<unsigned int>(m_nTxLen));
    return dev.CmdIO(request, response, wait);
}

// Catalogue checks in their order: action, payload present, payload size.
// They come before the device is looked at.
static int CheckCatalogue(eSorixCmds cmd, eCmdActions action, const void* payload, unsigned length)
{
    if (!CSXcmd::ValidateAct(cmd, action))
        return E_SXERR_INVALID_ACTION;
    unsigned size = CatalogueSize(cmd);
    if (size != 0 && action != CMD_ACTION_RESET && (payload == nullptr || length == 0))
        return E_SXERR_INVALID_PARAMS;
    if (action != CMD_ACTION_RESET && length != size)
        return E_SXERR_INVALID_SIZE;
    return E_SX_SUCCESS;
}

int CSXcontext::cmd_dev(CSXdevIO* dev, eSorixCmds cmd, eCmdActions action, void* payload, unsigned length, int arg1,
                        int arg2)
{
    SXCTX_ENTER("CSXcontext::cmd_dev");
    int r = CheckCatalogue(cmd, action, payload, length);
    if (r != E_SX_SUCCESS) {
        SXCTX_LEAVE("CSXcontext::cmd_dev");
        return r;
    }
    r = cmd_dev_gen(dev, cmd, action, payload, length, arg1, arg2);
    SXCTX_LEAVE("CSXcontext::cmd_dev");
    return r;
}

int CSXcontext::cmd_sns(CSXdevIO* dev, int sensor, eSorixCmds cmd, eCmdActions action, void* payload, unsigned length,
                        int arg2)
{
    SXCTX_ENTER("CSXcontext::cmd_sns");
    int r = CheckCatalogue(cmd, action, payload, length);
    if (r != E_SX_SUCCESS) {
        SXCTX_LEAVE("CSXcontext::cmd_sns");
        return r;
    }
    r = cmd_sns_gen(dev, sensor, cmd, action, payload, length, arg2);
    SXCTX_LEAVE("CSXcontext::cmd_sns");
    return r;
}

int CSXcontext::cmd_dev_gen(CSXdevIO* handle, eSorixCmds cmd, eCmdActions action, void* payload, unsigned length,
                            int arg1, int arg2)
{
    sxctx::DevUse dev(this, handle);
    if (!dev) {
        SXCTX_ENTER("CSXcontext::cmd_dev_gen");
        SXCTX_LEAVE("CSXcontext::cmd_dev_gen");
        return E_CTXERR_INVALID_DEVHND;
    }
    return SendCmd(*dev.get(), cmd, action, payload, length, arg1, arg2);
}

// cmd_dev_gen on a device whose use the caller holds; it traces as
// cmd_dev_gen, whose body it is.
int CSXcontext::SendCmd(CSXdevIO& dev, eSorixCmds cmd, eCmdActions action, void* payload, unsigned length, int arg1,
                        int arg2)
{
    SXCTX_ENTER("CSXcontext::cmd_dev_gen");
    CSXcmd c(SX_PREAMBLE_CMD);
    c.Fill(static_cast<unsigned>(dev.SeuId()), static_cast<unsigned>(cmd), static_cast<unsigned>(action),
           static_cast<unsigned>(arg1), static_cast<unsigned>(arg2), payload, length);
    if (dev.Tag() != 0)
        c.sx2tag();
    CFrameInfo t;
    int r = SendRecv(dev, c, t, true);
    if (r == E_SX_SUCCESS && action == CMD_ACTION_GET && payload != nullptr && length != 0)
        std::memcpy(payload, t.PCmdPayload(), PayloadToCopy(t, length));
    SXCTX_LEAVE("CSXcontext::cmd_dev_gen");
    return r;
}

int CSXcontext::cmd_sns_gen(CSXdevIO* handle, int sensor, eSorixCmds cmd, eCmdActions action, void* payload,
                            unsigned length, int arg2)
{
    SXCTX_ENTER("CSXcontext::cmd_sns_gen");
    sxctx::DevUse dev(this, handle);
    if (!dev) {
        SXCTX_LEAVE("CSXcontext::cmd_sns_gen");
        return E_CTXERR_INVALID_DEVHND;
    }
    if (sensor < 0 && action == CMD_ACTION_GET) {
        SXCTX_LEAVE("CSXcontext::cmd_sns_gen");
        return E_SXERR_INVALID_SENSOR_ACT;
    }
    if (sensor > kMaxSensor) {
        SXCTX_LEAVE("CSXcontext::cmd_sns_gen");
        return E_SXERR_INVALID_SENSOR;
    }
    int r = SendCmd(*dev.get(), cmd, action, payload, length, sensor, arg2);
    SXCTX_LEAVE("CSXcontext::cmd_sns_gen");
    return r;
}

int CSXcontext::cmd_dev_gen1(CSXdevIO* handle, int* seuid, int* cmd, int* action, int* arg1, int* arg2,
                             unsigned* length, void* payload)
{
    SXCTX_ENTER("CSXcontext::cmd_dev_gen1");
    sxctx::DevUse dev(this, handle);
    if (!dev) {
        SXCTX_LEAVE("CSXcontext::cmd_dev_gen1");
        return E_CTXERR_INVALID_DEVHND;
    }
    CSXcmd c(SX_PREAMBLE_CMD);
    c.Fill(static_cast<unsigned>(dev->SeuId()), static_cast<unsigned>(*cmd), static_cast<unsigned>(*action),
           static_cast<unsigned>(*arg1), static_cast<unsigned>(*arg2), payload, *length);
    CFrameInfo t;
    int r = SendRecv(*dev.get(), c, t, true);
    if (r != E_SX_SUCCESS && r != E_SXERR_NAK_RESP && r != E_SXERR_NAKWARN_RESP) {
        SXCTX_LEAVE("CSXcontext::cmd_dev_gen1");
        return r;
    }
    *seuid = static_cast<int>(t.devid());
    *cmd = static_cast<int>(t.cmd());
    *action = static_cast<int>(std::min(t.action(), static_cast<unsigned>(CMD_ACTION_MAX)));
    *arg1 = static_cast<int>(t.arg1());
    *arg2 = static_cast<int>(t.arg2());
    if (r != E_SX_SUCCESS) {
        // A NAK: its payload, at most what the caller's buffer holds.
        unsigned size = t.CmdPayloadSize();
        unsigned room = *length;
        *length = size;
        if (payload != nullptr && size != 0) {
            unsigned n = PayloadToCopy(t, room);
            std::memcpy(payload, t.PCmdPayload(), n);
            *length = n;
        }
    } else if (payload != nullptr && *length != 0) {
        unsigned n = PayloadToCopy(t, *length);
        *length = n;
        std::memcpy(payload, t.PCmdPayload(), n);
    }
    SXCTX_LEAVE("CSXcontext::cmd_dev_gen1");
    return r;
}

// ---- The command table ------------------------------------------------------------

#define SXCTX_SEND_DEV(cmd, action, payload, arg1, arg2)                                                               \
    cmd_dev(dev, cmd, action, payload, CatalogueSize(cmd), arg1, arg2)
#define SXCTX_SEND_SNS(cmd, action, payload, sensor, arg2)                                                             \
    cmd_sns(dev, sensor, cmd, action, payload, CatalogueSize(cmd), arg2)

#define SXCTX_DEFINE_CMD(exp, op, kind, params, args, cmd, action, payload, arg1, arg2)                                \
    int CSXcontext::op(CSXdevIO* dev SXCTX_UNPAREN params)                                                             \
    {                                                                                                                  \
        SXCTX_ENTER("CSXcontext::" #op);                                                                               \
        return SXCTX_SEND_##kind(cmd, action, payload, arg1, arg2);                                                    \
    }
SXCTX_COMMAND_TABLE(SXCTX_DEFINE_CMD)
#undef SXCTX_DEFINE_CMD

int CSXcontext::cmd_dev_contpno(CSXdevIO* dev, eCmdActions action, int* fc, int arg2)
{
    SXCTX_ENTER("CSXcontext::cmd_dev_contpno");
    // The caller's word is copied, never written.
    int32_t word = fc ? *fc : 0;
    return cmd_dev(dev, CMD_CONTINUOUS_PNO, action, &word, CatalogueSize(CMD_CONTINUOUS_PNO),
                   static_cast<int>(m_nPnoUsbBuf), arg2);
}

int CSXcontext::cmd_sns_led(CSXdevIO* dev, int sensor, eCmdActions action, _BIT_STRUCT* payload)
{
    SXCTX_ENTER("CSXcontext::cmd_sns_led");
    return cmd_sns_gen(dev, sensor, CMD_BIT, action, payload, CatalogueSize(CMD_BIT), 0);
}
