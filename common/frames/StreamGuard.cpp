#include "StreamGuard.h"

#include <items/SettingsJournal.h>

#include <SXCmdIF/SXCmdIF.h>
#include <sxwire/LEWords.h>
#include <SXCmdIF/protocol/SXframe.h>

#include <cstdio>

namespace sxframes {

namespace {

// The texts of the events, each in one place.
constexpr const char* kStalled = "no frame for %.1f s";
constexpr const char* kFlowing = "frames again after %.1f s without";
constexpr const char* kLost = "line lost: %s";
constexpr const char* kRetrying = "; connecting again every second";
constexpr const char* kReconnected = "reconnected after %.1f s without frames; %s%lu frames missed";
constexpr const char* kAbout = "about ";

constexpr int64_t kStallPeriods = 5;
// A probe answered this often in one silence, with no frame between: the
// tracker answers but does not stream.
constexpr int kAnswersWithoutFrames = 2;

std::string Format(const char* fmt, double a)
{
    char text[160];
    std::snprintf(text, sizeof text, fmt, a);
    return text;
}

// What a failed command tells of the line.
LossCause CauseOf(int code)
{
    switch (code & 0xFFFF) {
    case E_DEVIOERR_SER_WRITERR:
    case E_SXERR_SERIO:
        return LossCause::HungUp;
    case E_DEVIOERR_USB_WRITERR:
    case E_SXERR_LIBUSB:
        return LossCause::Unplugged;
    case E_DEVIOERR_NO_CNX:
    case E_CTXERR_INVALID_DEVHND:
        return LossCause::Closed;
    default:
        return LossCause::None;
    }
}

double Seconds(int64_t ns)
{
    return static_cast<double>(ns) / 1e9;
}

} // namespace

const char* LossText(LossCause cause)
{
    return sxrec::GapCauseText(static_cast<uint32_t>(cause));
}

sxrec::RecordedGap GapRecord(const StreamGap& gap)
{
    sxrec::RecordedGap r;
    r.lostAtNs = static_cast<uint64_t>(gap.lostNs);
    r.resumedAtNs = static_cast<uint64_t>(gap.resumedNs);
    r.missed = gap.missed;
    r.cause = static_cast<uint32_t>(gap.cause);
    r.estimated = gap.estimated;
    return r;
}

StreamGuard::StreamGuard(void* ctx, void* dev, const Options& options, ReconnectFn reconnect, StartFn start,
                         const sxitems::SettingsJournal* journal)
    : m_ctx(ctx), m_opt(options), m_reconnect(std::move(reconnect)), m_start(std::move(start)), m_journal(journal),
      m_dev(dev)
{
}

void StreamGuard::Begin(int64_t nowNs)
{
    std::lock_guard<std::mutex> lock(m_mtx);
    m_active = true;
    m_stalled = false;
    m_sinceNs = nowNs;
    m_answered = 0;
    m_nextProbeNs = 0;
}

void StreamGuard::Pause()
{
    std::lock_guard<std::mutex> lock(m_mtx);
    m_active = false;
    m_stalled = false;
}

bool StreamGuard::Frame(const unsigned char* frame, unsigned length, int64_t nowNs, StreamGap* gap)
{
    const uint32_t frameNum = length >= SX_OFF_FRAMENUM + 4 ? sxwire::GetLE32(frame + SX_OFF_FRAMENUM) : 0;
    std::lock_guard<std::mutex> lock(m_mtx);
    bool closed = false;
    if (m_gapPending) {
        StreamGap g;
        g.cause = m_cause;
        g.lostNs = m_lostNs;
        g.resumedNs = nowNs;
        g.silentNs = m_haveFrame ? nowNs - m_lastFrameNs : nowNs - m_lostNs;
        const uint32_t step = frameNum - m_lastFrameNum;
        // The count goes on from where it was, unless the tracker started
        // again (or the count runs far ahead of the time).
        const int64_t byTime = m_periodNs > 0 ? (g.silentNs + m_periodNs / 2) / m_periodNs : 0;
        if (m_haveFrame && frameNum > m_lastFrameNum && (m_periodNs == 0 || step <= 2 * byTime + 100)) {
            g.missed = step - 1;
        } else {
            g.missed = byTime > 1 ? static_cast<uint32_t>(byTime - 1) : 0;
            g.estimated = true;
        }
        ++m_counts.reconnections;
        m_counts.framesMissed += g.missed;
        char missed[32];
        std::snprintf(missed, sizeof missed, "%s", g.estimated ? kAbout : "");
        char text[200];
        std::snprintf(text, sizeof text, kReconnected, Seconds(g.silentNs), missed,
                      static_cast<unsigned long>(g.missed));
        m_events.push_back({StreamEvent::Kind::Reconnected, g.cause, 0, text, g.missed});
        if (gap)
            *gap = g;
        m_gapPending = false;
        m_lost = false;
        closed = true;
    } else if (m_stalled) {
        m_events.push_back(
            {StreamEvent::Kind::Flowing, LossCause::None, 0, Format(kFlowing, Seconds(nowNs - m_sinceNs))});
    }
    if (m_haveFrame && !closed && nowNs > m_lastFrameNs) {
        const int64_t interval = nowNs - m_lastFrameNs;
        if (interval < m_opt.minStallNs)
            m_periodNs = m_periodNs == 0 ? interval : (7 * m_periodNs + interval) / 8;
    }
    m_stalled = false;
    m_answered = 0;
    m_nextProbeNs = 0;
    m_haveFrame = true;
    m_lastFrameNum = frameNum;
    m_lastFrameNs = nowNs;
    m_sinceNs = nowNs;
    return closed;
}

StreamEvent StreamGuard::Take()
{
    StreamEvent e = std::move(m_events.front());
    m_events.pop_front();
    return e;
}

StreamEvent StreamGuard::Poll(int64_t nowNs)
{
    int64_t silence = 0;
    bool probe = false, retry = false;
    {
        std::lock_guard<std::mutex> lock(m_mtx);
        if (!m_events.empty())
            return Take();
        if (!m_active)
            return {};
        if (m_lost) {
            retry = m_opt.reconnect && m_reconnect && nowNs >= m_nextRetryNs;
        } else {
            silence = nowNs - m_sinceNs;
            probe = silence >= m_opt.probeAfterNs && nowNs >= m_nextProbeNs;
        }
    }
    // Outside the lock: a command or a connection takes its time, and
    // frames may be reported meanwhile.
    if (retry)
        TryReconnect(nowNs);
    else if (probe)
        Probe(nowNs, silence);

    std::lock_guard<std::mutex> lock(m_mtx);
    if (!m_lost && m_active && !m_stalled && nowNs - m_sinceNs >= StallNsLocked()) {
        m_stalled = true;
        ++m_counts.stalls;
        m_events.push_back(
            {StreamEvent::Kind::Stalled, LossCause::None, 0, Format(kStalled, Seconds(StallNsLocked()))});
    }
    return m_events.empty() ? StreamEvent{} : Take();
}

void StreamGuard::Probe(int64_t nowNs, int64_t silenceNs)
{
    _UNITS_CONFIG units{};
    const int rc = sxcmd_dev_units(m_ctx, Dev(), CMD_ACTION_GET, &units);
    const LossCause cause = CauseOf(rc);
    if (cause != LossCause::None) {
        LoseLine(cause, rc, nowNs);
        return;
    }
    bool stopped = false;
    {
        std::lock_guard<std::mutex> lock(m_mtx);
        if (nowNs - m_sinceNs < silenceNs)
            return; // a frame came meanwhile
        // No answer: a silent tracker, asked again once a second. An answer:
        // the line is there, asked again soon to see whether frames follow.
        const bool answered = (rc & 0xFFFF) != E_CTXERR_DEV_RECV_QUEUE_EMPTY;
        m_answered = answered ? m_answered + 1 : 0;
        m_nextProbeNs = nowNs + (answered ? m_opt.probeAfterNs : m_opt.retryEveryNs);
        stopped = m_answered >= kAnswersWithoutFrames && silenceNs >= kAnswersWithoutFrames * m_opt.probeAfterNs &&
                  silenceNs >= kStallPeriods * m_periodNs;
    }
    if (stopped)
        LoseLine(LossCause::OutputStopped, E_SXERR_TIMEOUT, nowNs);
}

void StreamGuard::LoseLine(LossCause cause, int code, int64_t nowNs)
{
    std::lock_guard<std::mutex> lock(m_mtx);
    if (m_lost)
        return;
    m_lost = true;
    m_stalled = false;
    m_cause = cause;
    m_lostNs = nowNs;
    m_nextRetryNs = nowNs;
    m_gapPending = m_opt.reconnect;
    ++m_counts.losses;
    char text[160];
    std::snprintf(text, sizeof text, kLost, LossText(cause));
    std::string said = text;
    if (m_opt.reconnect && m_reconnect)
        said += kRetrying;
    m_events.push_back({StreamEvent::Kind::Lost, cause, code, said});
}

void StreamGuard::TryReconnect(int64_t nowNs)
{
    {
        std::lock_guard<std::mutex> lock(m_mtx);
        m_nextRetryNs = nowNs + m_opt.retryEveryNs;
    }
    void* dev = Dev();
    int rc = m_reconnect(dev);
    {
        std::lock_guard<std::mutex> lock(m_mtx);
        m_dev = dev;
    }
    if (rc != 0)
        return;
    // Settings the tracker refuses now are no reason to stay away: the
    // stream comes first.
    if (m_journal)
        m_journal->Replay(m_ctx, dev);
    if (m_start)
        rc = m_start(dev);
    if (rc != 0)
        return; // tried again in a second, from a new connection
    std::lock_guard<std::mutex> lock(m_mtx);
    m_lost = false;
    m_sinceNs = nowNs;
    m_answered = 0;
    m_nextProbeNs = 0;
}

void* StreamGuard::Dev() const
{
    std::lock_guard<std::mutex> lock(m_mtx);
    return m_dev;
}

bool StreamGuard::Lost() const
{
    std::lock_guard<std::mutex> lock(m_mtx);
    return m_lost;
}

bool StreamGuard::Stalled() const
{
    std::lock_guard<std::mutex> lock(m_mtx);
    return m_stalled;
}

StreamCounts StreamGuard::Counts() const
{
    std::lock_guard<std::mutex> lock(m_mtx);
    return m_counts;
}

int64_t StreamGuard::StallNs() const
{
    std::lock_guard<std::mutex> lock(m_mtx);
    return StallNsLocked();
}

int64_t StreamGuard::StallNsLocked() const
{
    const int64_t periods = kStallPeriods * m_periodNs;
    return periods > m_opt.minStallNs ? periods : m_opt.minStallNs;
}

} // namespace sxframes
