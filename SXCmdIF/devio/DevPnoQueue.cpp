// CSXdevIO: the P&O queue. The reading thread appends records of frames
// copied into the P&O store; application threads take them oldest first,
// newest first, as one block of consecutive frames, or wait for the next.
#include "SXdevIO.h"

#include <SXCmdIF/SXerrText.h>
#include <SXCmdIF/SXerrors.h>
#include "diag/FrameTraceInternal.h"
#include "diag/TraceInternal.h"

#include <chrono>

namespace {

uint64_t MonotonicNs()
{
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

} // namespace

// The reading thread: queue under m_mtxPnoQ, then set the ready flag and,
// when a wait is under way, take the waiter's mutex once (after the queue
// lock is released) and wake it.
void CSXdevIO::RxPnoEnqueue(CFrameInfo& f)
{
    SX_TRACE_ENTER7();
    {
        std::lock_guard<std::mutex> queue(m_mtxPnoQ);
        if (m_bTsEnable)
            f.timeStamp = MonotonicNs();
        if (m_nPnoCount != 0) {
            // Frames the tracker counted but that never arrived; 32-bit
            // arithmetic, so a count going backwards wraps.
            const uint32_t d = f.devfc() - m_LastPno.devfc() - 1u;
            if (m_bPnoFrmErrAllow)
                f.setpnodrops(static_cast<uint16_t>(d & 0xFFFFu));
        }
        ++m_nPnoCount;
        f.seqNum = static_cast<uint32_t>(m_nPnoCount);
        m_nPnoArrivals.fetch_add(1);
        if (queRxPnoFrames.push_back(f))
            trTracefHP7("%d-%s : %s: Unclaimed Rx Pno Frames exceeded %d : popping frame FC %d\r\n", m_nSeuId,
                        m_szLabel, "CSXdevIO::RxPnoEnqueue", static_cast<int>(kQueueBound),
                        static_cast<int>(f.devfc()));
        m_LastPno = f;
    }
    // The waiter's lock and the wake-up only when a wait is under way: a
    // waiter counts itself under m_mtxPnoWait before it tests the arrivals,
    // so either it sees the arrival counted above or this sees it counted
    // (both are sequentially consistent) and wakes it.
    m_bNewRxPnoReady = true;
    if (m_nPnoWaiters.load() != 0) {
        // Taking the waiter's lock once orders this after its test of the
        // arrivals or after it sleeps; the wake-up follows the unlock, so
        // the waiter does not wake only to wait for the lock.
        {
            std::lock_guard<std::mutex> wait(m_mtxPnoWait);
        }
        m_cvRxPno.notify_all();
    }
    SX_TRACE_LEAVE7();
}

int CSXdevIO::RxPnoDequeueFIFO(CFrameInfo& out)
{
    SX_TRACE_ENTER7();
    int e = 0;
    {
        std::lock_guard<std::mutex> queue(m_mtxPnoQ);
        if (queRxPnoFrames.empty()) {
            e = E_CTXERR_NO_MORE_DATA;
        } else {
            out = queRxPnoFrames.front();
            queRxPnoFrames.pop_front();
            if (!queRxPnoFrames.empty())
                trTracefHP5("%s:%d : SEUID %d: %d newer Frames remain in queRxPnoFrames. Fin.FC = %d, Newest "
                            "Ftmp.FC = %d\r\n",
                            "CSXdevIO::RxPnoDequeueFIFO", __LINE__, m_nSeuId, static_cast<int>(queRxPnoFrames.size()),
                            static_cast<int>(out.devfc()), static_cast<int>(queRxPnoFrames.back().devfc()));
        }
    }
    SX_TRACE_LEAVE7();
    return e;
}

int CSXdevIO::RxPnoDequeueLAST(CFrameInfo& out)
{
    SX_TRACE_ENTER7();
    int e = 0;
    {
        std::lock_guard<std::mutex> queue(m_mtxPnoQ);
        if (queRxPnoFrames.empty()) {
            e = E_CTXERR_NO_MORE_DATA;
        } else {
            out = queRxPnoFrames.back();
            queRxPnoFrames.pop_back();
            if (!queRxPnoFrames.empty()) {
                trTracefHP5("%s:%d : SEUID %d: DISCARDING %d older Frames remaining in queRxPnoFrames. Fin.FC = "
                            "%d, Oldest Ftmp.FC = %d\r\n",
                            "CSXdevIO::RxPnoDequeueLAST", __LINE__, m_nSeuId, static_cast<int>(queRxPnoFrames.size()),
                            static_cast<int>(out.devfc()), static_cast<int>(queRxPnoFrames.front().devfc()));
                queRxPnoFrames.clear();
            }
        }
    }
    SX_TRACE_LEAVE7();
    return e;
}

int CSXdevIO::FIFOPnoCount(unsigned& frames, int& bytes)
{
    SX_TRACE_ENTER7();
    bytes = 0;
    {
        std::lock_guard<std::mutex> queue(m_mtxPnoQ);
        frames = static_cast<unsigned>(queRxPnoFrames.size());
        for (size_t i = 0; i < queRxPnoFrames.size(); ++i)
            bytes += static_cast<int>(queRxPnoFrames.at(i).frameLen);
    }
    SX_TRACE_LEAVE7();
    return 0;
}

// Takes the oldest frames that lie one after another in the store and fit
// bufferLength together: out describes them as one block.
int CSXdevIO::FIFORxPnoCount(CFrameInfo& out, unsigned& frames, unsigned bufferLength)
{
    SX_TRACE_ENTER7();
    int e = 0;
    {
        std::lock_guard<std::mutex> queue(m_mtxPnoQ);
        const size_t n = queRxPnoFrames.size();
        const size_t m = frames < n ? frames : n;
        if (n != 0) {
            if (queRxPnoFrames.front().frameLen > bufferLength) {
                e = E_SXERR_BUF_TOO_SMALL;
            } else {
                out = queRxPnoFrames.front();
                queRxPnoFrames.pop_front();
                unsigned taken = 1;
                uint64_t total = out.frameLen;
                const unsigned char* const first = out.pFrame;
                for (size_t i = 1; i < m; ++i) {
                    const CFrameInfo& g = queRxPnoFrames.front();
                    // Before first: the store started again at its front.
                    if (total + g.frameLen > bufferLength || g.pFrame < first)
                        break;
                    total += g.frameLen;
                    ++taken;
                    queRxPnoFrames.pop_front();
                }
                out.frameLen = static_cast<uint32_t>(total);
                frames = taken;
            }
        }
    }
    SX_TRACE_LEAVE7();
    return e;
}

int CSXdevIO::WaitPnoRespA(CFrameInfo& out)
{
    SX_TRACE_ENTER();
    if (!IsConnected()) {
        SX_TRACE_LEAVE();
        return E_DEVIOERR_NO_CNX;
    }
    int e = 0;
    m_bNewRxPnoReady = false;
    const uint64_t seen = m_nPnoArrivals.load();
    std::unique_lock<std::mutex> lock(m_mtxPnoWait);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(CurrentTimeoutMs());
    ++m_nPnoWaiters;
    const bool ready = m_cvRxPno.wait_until(lock, deadline, [this, seen] { return m_nPnoArrivals.load() != seen; });
    --m_nPnoWaiters;
    if (!ready) {
        e = E_SXERR_TIMEOUT;
        trTracefHP("%d-%s : %s : %s waiting for next pno frame\r\n", m_nSeuId, m_szLabel, "CSXdevIO::WaitPnoRespA",
                   trErrStr(E_SXERR_TIMEOUT));
    } else {
        trTracefHP5("%d-%s : %s : %s waiting next pno frame : m_bNewRxPnoReady = %s\r\n", m_nSeuId, m_szLabel,
                    "CSXdevIO::WaitPnoRespA", trErrStr(0), m_bNewRxPnoReady ? "true" : "false");
        if (RxPnoDequeueLAST(out) != 0) {
            e = E_CTXERR_INVALID_CONDITION;
            trTraceErr(nullptr, e, nullptr, "CSXdevIO::WaitPnoRespA", __LINE__, 0);
        } else if (out.errCode != 0) {
            e = out.errCode;
        }
    }
    SX_TRACE_LEAVE();
    return e;
}

void CSXdevIO::ResetPno()
{
    SX_TRACE_ENTER7();
    {
        std::lock_guard<std::mutex> queue(m_mtxPnoQ);
        queRxPnoFrames.clear();
        m_nPnoCount = 0;
        m_LastPno.Init();
    }
    SX_TRACE_LEAVE7();
}
