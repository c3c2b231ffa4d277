// stream()'s watch: the stream guard of the frames layer over the P&O
// queue, for stalls, lost lines and reconnections, as sxtool has it.
#include "TrackerInternal.h"

#include "Errors.h"
#include "Frames.h"

#include <SXCmdIF/SXCmdIF.h>

#include <chrono>
#include <mutex>
#include <thread>

namespace sxpy {

namespace {

using Clock = std::chrono::steady_clock;

int64_t NowNs()
{
    return static_cast<int64_t>(MonotonicNs());
}

const char* KindName(sxframes::StreamEvent::Kind kind)
{
    switch (kind) {
    case sxframes::StreamEvent::Kind::Stalled:
        return "stalled";
    case sxframes::StreamEvent::Kind::Flowing:
        return "flowing";
    case sxframes::StreamEvent::Kind::Lost:
        return "lost";
    case sxframes::StreamEvent::Kind::Reconnected:
        return "reconnected";
    case sxframes::StreamEvent::Kind::None:
        break;
    }
    return "none";
}

} // namespace

int TrackerCore::Reconnect(void*& dev)
{
    // Every other call into the library waits while the device changes.
    std::unique_lock<std::shared_mutex> lock(m_use);
    if (!m_ctx || !m_connect)
        return E_SXERR_NOT_IMPLEMENTED;
    if (m_dev)
        sxctx_dev_release(m_ctx, m_dev);
    m_dev = dev = nullptr;
    void* fresh = nullptr;
    const int r = m_connect(m_ctx, fresh);
    if (r != 0) {
        if (fresh)
            sxctx_dev_release(m_ctx, fresh);
        return r;
    }
    sxdev_tsenable(m_ctx, fresh, true);
    sxdev_timeoutms(m_ctx, fresh, 0, m_timeoutMs);
    m_dev = dev = fresh;
    return 0;
}

void TrackerCore::WatchBegin(bool reconnect)
{
    RequireOpen();
    RequireNoCallback();
    sxframes::StreamGuard::Options o;
    o.reconnect = reconnect;
    m_guard = std::make_unique<sxframes::StreamGuard>(
        m_ctx, m_dev, o, [this](void*& dev) { return Reconnect(dev); },
        [this](void* dev) {
            std::shared_lock<std::shared_mutex> lock(m_use);
            int frames = 0;
            return sxcmd_dev_contpno(m_ctx, dev, CMD_ACTION_SET, &frames, 0);
        },
        &m_journal);
    m_guard->Begin(NowNs());
}

py::tuple TrackerCore::WatchNext(double waitS)
{
    if (!m_guard)
        throw py::value_error("the stream is not watched");
    RequireNoCallback();
    if (!(waitS >= 0))
        waitS = 0;
    std::vector<sxframes::StreamEvent> events;
    RawFrame raw;
    bool got = false;
    int r = 0;
    {
        py::gil_scoped_release nogil;
        const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                 std::chrono::duration<double>(std::min(waitS, 1e6)));
        for (;;) {
            // Frames first: what is queued is no silence.
            {
                std::shared_lock<std::shared_mutex> lock(m_use);
                if (!m_ctx)
                    break; // closed meanwhile
                _sxFrameInfo fi{};
                r = m_dev ? sxctx_dev_fifopnofraw(m_ctx, m_dev, &fi) : static_cast<int>(E_CTXERR_NO_MORE_DATA);
                if (r == 0) {
                    TakeQueued(fi, raw);
                    got = true;
                } else if (ErrCode(r) != E_CTXERR_NO_MORE_DATA && ErrCode(r) != E_CTXERR_INVALID_DEVHND) {
                    break;
                }
                r = 0;
            }
            if (got)
                m_guard->Frame(raw.bytes.data(), static_cast<unsigned>(raw.bytes.size()), NowNs());
            for (sxframes::StreamEvent e; (e = m_guard->Poll(NowNs())).kind != sxframes::StreamEvent::Kind::None;)
                events.push_back(std::move(e));
            if (got || !events.empty() || Clock::now() >= deadline)
                break;
            std::this_thread::sleep_for(kPollSleep);
        }
    }
    // Between a lost line and a new connection there is no device, but the
    // tracker is not closed.
    if (!m_ctx)
        throw py::value_error("the tracker is closed");
    Check(r, "read frame");
    py::list said;
    for (const sxframes::StreamEvent& e : events)
        said.append(py::make_tuple(KindName(e.kind), e.text, e.code));
    return py::make_tuple(got ? MakeFrame(std::move(raw)) : py::object(py::none()), said);
}

py::dict TrackerCore::WatchEnd()
{
    py::dict counts;
    if (!m_guard)
        return counts;
    const sxframes::StreamCounts c = m_guard->Counts();
    counts["stalls"] = c.stalls;
    counts["lines_lost"] = c.losses;
    counts["reconnections"] = c.reconnections;
    counts["frames_missed"] = c.framesMissed;
    counts["lost"] = m_guard->Lost();
    m_guard.reset();
    return counts;
}

} // namespace sxpy
