#include "StreamWatch.h"

#include "ExitCodes.h"
#include "Session.h"
#include "Texts.h"

#include <cstdio>

namespace sxtool {

sxframes::StreamGuard::Options GuardOptions(const ConnectionOptions& conn)
{
    sxframes::StreamGuard::Options o;
    o.reconnect = conn.reconnect;
    return o;
}

void StreamWatch::Tell(const sxframes::StreamEvent& e)
{
    using Kind = sxframes::StreamEvent::Kind;
    switch (e.kind) {
    case Kind::None:
        return;
    case Kind::Stalled:
        m_stalled = true;
        ++m_counts.stalls;
        break;
    case Kind::Flowing:
        m_stalled = false;
        break;
    case Kind::Lost:
        m_lost = true;
        m_stalled = false;
        ++m_counts.losses;
        break;
    case Kind::Reconnected:
        m_lost = false;
        ++m_counts.reconnections;
        m_counts.framesMissed += e.missed;
        break;
    }
    if (e.kind == Kind::Lost && !m_reconnect)
        Complain("%s", e.text.c_str());
    else
        Complain(texts::kStreamWarning, e.text.c_str());
}

std::string StreamWatch::Summary() const
{
    if (m_counts.stalls == 0 && m_counts.losses == 0)
        return std::string();
    char text[200];
    std::snprintf(text, sizeof text, texts::kGuardSummary, static_cast<unsigned long long>(m_counts.stalls),
                  static_cast<unsigned long long>(m_counts.losses),
                  static_cast<unsigned long long>(m_counts.reconnections),
                  static_cast<unsigned long long>(m_counts.framesMissed));
    return text;
}

int StreamWatch::Exit() const
{
    if (m_lost)
        return kExitNoTracker;
    return m_stalled ? kExitStalled : kExitOk;
}

void WatchServedStream(Session& s, StreamWatch& watch, sxframes::StreamGuard::Options& options,
                       sxframes::StreamGuard::ReconnectFn& reconnect,
                       std::function<void(const sxframes::StreamEvent&)>& onEvent)
{
    options = GuardOptions(s.Options());
    if (options.reconnect)
        reconnect = [&s](void*& dev) { return s.Reconnect(dev); };
    onEvent = [&watch](const sxframes::StreamEvent& e) { watch.Tell(e); };
}

int EndServedStream(const StreamWatch& watch, int serverExit)
{
    const std::string counts = watch.Summary();
    if (!counts.empty())
        Complain("%s", counts.c_str());
    return serverExit != kExitOk ? serverExit : watch.Exit();
}

} // namespace sxtool
