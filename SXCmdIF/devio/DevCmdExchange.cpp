// CSXdevIO: the command exchange. One command at a time is written and its
// response awaited; the reading thread queues responses and wakes the
// waiting command.
#include "SXdevIO.h"

#include <SXCmdIF/SXerrText.h>
#include <SXCmdIF/SXerrors.h>
#include "diag/FrameTraceInternal.h"
#include "diag/TraceInternal.h"
#include <SXCmdIF/protocol/SXcmd.h>
#include "devio/Transport.h"

#include <chrono>

int CSXdevIO::CmdIO(CFrameInfo& request, CFrameInfo& response, bool wait)
{
    SX_TRACE_ENTER();
    if (!IsConnected()) {
        SX_TRACE_LEAVE();
        return E_DEVIOERR_NO_CNX;
    }
    uint32_t len = request.frameLen;
    std::lock_guard<std::mutex> exchange(m_mtxCmdIO);
    m_bNewRxCmdReady = false;
    trTraceCmdFrame(request.pFrame, static_cast<int>(len), false,
                    m_pTransport->SerialLine() ? "CSXdevIO::CmdIO writing serial" : "CSXdevIO::CmdIO writing", 3);
    int e = Write(request.pFrame, len);
    if (e == 0 && wait) {
        CFrameInfo t;
        e = WaitCmdRespA(t, request);
        if (e == 0 && !t.IsNull()) {
            if (t.IsNak())
                e = E_SXERR_NAK_RESP;
            response = t;
            if (e != 0) {
                trTraceErr(m_pCtx, e, "io err begin", "CSXdevIO::CmdIO", __LINE__, 0);
                trTraceTx(request.pFrame, static_cast<int>(request.frameLen), "CSXdevIO::CmdIO", __LINE__);
                trTraceRx(t.pFrame, static_cast<int>(t.frameLen), "CSXdevIO::CmdIO", __LINE__);
                trTraceErr(m_pCtx, e, "io err end", "CSXdevIO::CmdIO", __LINE__, 0);
            }
        }
    }
    SX_TRACE_LEAVE();
    return e;
}

int CSXdevIO::Write(unsigned char* frame, uint32_t& length)
{
    SX_TRACE_ENTER();
    if (!IsConnected()) {
        SX_TRACE_LEAVE();
        return E_DEVIOERR_NO_CNX;
    }
    const int e = m_pTransport->Write(frame, length);
    SX_TRACE_LEAVE();
    return e;
}

int CSXdevIO::WaitCmdRespA(CFrameInfo& response, CFrameInfo& request)
{
    SX_TRACE_ENTER();
    if (!IsConnected()) {
        SX_TRACE_LEAVE();
        return E_DEVIOERR_NO_CNX;
    }
    int e = 0;
    const uint32_t k = request.cmd();
    const uint32_t act = request.action();
    std::unique_lock<std::mutex> lock(m_mtxCmdWait);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(CurrentTimeoutMs());
    const bool ready = m_cvRxCmd.wait_until(lock, deadline, [this] { return m_bNewRxCmdReady.load(); });
    if (ready) {
        trTracefHP5("%d-%s : %s : Waiting for response to %s(%x) %s(%x) : m_bNewRxCmdReady = %s\r\n", m_nSeuId,
                    m_szLabel, "CSXdevIO::WaitCmdRespA", CSXcmd::cmdstr(k), k, CSXcmd::actstr(act), act,
                    m_bNewRxCmdReady ? "true" : "false");
        const bool found = RxCmdDequeue(response, k, e);
        if (found && response.errCode != 0)
            e = response.errCode;
    } else {
        e = E_SXERR_TIMEOUT;
        trTracefHP("%d-%s : %s : %s waiting for response to %s(%x) %s(%x)\r\n", m_nSeuId, m_szLabel,
                   "CSXdevIO::WaitCmdRespA", trErrStr(E_SXERR_TIMEOUT), CSXcmd::cmdstr(k), k, CSXcmd::actstr(act), act);
        // A response that came just too late is still taken.
        const bool found = RxCmdDequeue(response, k, e);
        if (found)
            e = response.errCode;
    }
    SX_TRACE_LEAVE();
    return e;
}

// The reading thread: queue, then wake. The waiter's mutex is taken after
// the queue lock is released, and the flag is set under it, so a waiter
// between its test of the flag and its sleep cannot miss the wake-up.
void CSXdevIO::RxCmdEnqueue(CFrameInfo& frame)
{
    SX_TRACE_ENTER();
    {
        std::lock_guard<std::mutex> queue(m_mtxRxCmdQ);
        queRxCmdFrames.push_back(frame);
        trTracefHP5("%d-%s : %s: Enqued response to cmd %s(%x) %s(%x) : Setting m_bNewRxCmdReady=true, calling "
                    "notify_all()\r\n",
                    m_nSeuId, m_szLabel, "CSXdevIO::RxCmdEnqueue", CSXcmd::cmdstr(frame.cmd()), frame.cmd(),
                    CSXcmd::actstr(frame.action()), frame.action());
    }
    {
        std::lock_guard<std::mutex> wait(m_mtxCmdWait);
        m_bNewRxCmdReady = true;
        m_cvRxCmd.notify_all();
    }
    SX_TRACE_LEAVE();
}

bool CSXdevIO::RxCmdDequeue(CFrameInfo& response, uint32_t cmd, int& error)
{
    SX_TRACE_ENTER();
    bool found = false;
    error = 0;
    std::lock_guard<std::mutex> queue(m_mtxRxCmdQ);
    if (queRxCmdFrames.empty()) {
        error = E_CTXERR_DEV_RECV_QUEUE_EMPTY;
        trTracefHP1("%d-%s : %s : cmd %s(%x) : Error : %s \r\n", m_nSeuId, m_szLabel, "CSXdevIO::RxCmdDequeue",
                    CSXcmd::cmdstr(cmd), cmd, trErrStr(E_CTXERR_DEV_RECV_QUEUE_EMPTY));
    }
    while (!queRxCmdFrames.empty() && !found) {
        CFrameInfo& f = queRxCmdFrames.front();
        if (f.frameLen != 0 && f.cmd() == cmd) {
            found = true;
            response = f;
            queRxCmdFrames.pop_front();
            trTracefHP5("%d-%s : %s:%d : cmd %s(%x) MATCH popped\r\n", m_nSeuId, m_szLabel, "CSXdevIO::RxCmdDequeue",
                        __LINE__, CSXcmd::cmdstr(cmd), cmd);
        } else {
            error = E_SXERR_CMDRSP_MISMATCH;
            trTracefHP5("%d-%s : %s:%d: cmd %s(%x) NO MATCH (%0x) popped\r\n", m_nSeuId, m_szLabel,
                        "CSXdevIO::RxCmdDequeue", __LINE__, CSXcmd::cmdstr(cmd), cmd, f.cmd());
            trTraceRx(f.pFrame, static_cast<int>(f.frameLen), "CSXdevIO::RxCmdDequeue", __LINE__);
            queRxCmdFrames.pop_front();
        }
    }
    SX_TRACE_LEAVE();
    return found;
}

void CSXdevIO::ClearRxCmdQueue()
{
    SX_TRACE_ENTER();
    std::lock_guard<std::mutex> queue(m_mtxRxCmdQ);
    queRxCmdFrames.clear();
    SX_TRACE_LEAVE();
}
