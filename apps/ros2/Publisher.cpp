// The publisher: one thread (the caller's) waits on the frame hand-off with a
// time-out, decodes each frame, stamps it with its measurement time and
// writes /tf and the poses; once a second, and whenever the tracker's state
// changes, it writes /diagnostics. The stream guard watches for silence and
// a lost line, and connects again when asked to. The P&O callback only
// copies the frame into the hand-off's ring, so the device's reading thread
// never waits on DDS.
#include "ros2/SXros2.h"

#include "ros2/Ros2Texts.h"
#include "ros2/RosPose.h"
#include "ros2/RosWriters.h"

#include <frames/FrameClock.h>
#include <frames/FrameHandoff.h>
#include <frames/RateSchedule.h>
#include <frames/FrameStats.h>
#include <frames/StreamGuard.h>

#include <SXCmdIF/SXCmdIF.h>

#include <poll.h>

#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>

namespace sxros2 {

using sxframes::Due;
using sxframes::FrameHandoff;
using sxframes::MonotonicNs;

namespace {

constexpr int kPollMs = 50; // the longest wait: the stop flag is looked at this often
constexpr int64_t kNsPerMs = 1000000;
constexpr int64_t kNsPerSec = 1000000000;

enum class TrackerState { Waiting, Tracking, BitError, Silent, LineLost, Stopped };

int64_t SystemNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string Fixed(const char* text, size_t width)
{
    return std::string(text, strnlen(text, width));
}

std::string Formatted(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string Formatted(const char* fmt, ...)
{
    char buf[256];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buf, sizeof buf, fmt, args);
    va_end(args);
    return buf;
}

} // namespace

struct Publisher::Impl {
    Impl(const PublishOptions& o, std::FILE* l)
        : options(o), log(l), stats(o.stats ? o.stats : &ownStats), writers(o.ns, o.poseQos)
    {
    }

    void Print(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    void ReadTracker(void* ctx, void* dev);
    int StartOutput(void* ctx, void* dev);
    void Watch(int64_t nowNs);
    void TakeFrames();
    void OnFrame(const FrameHandoff::Slot& slot);
    void PublishNewest();
    void SetState(TrackerState s, int64_t nowNs);
    void WriteDiagnostics(int64_t nowNs);
    void Stop(void* ctx, void* dev);

    PublishOptions options;
    std::FILE* log;
    PublishStats ownStats;
    PublishStats* stats;
    RosWriters writers;
    bool open = false;

    // One connection's state.
    std::unique_ptr<FrameHandoff> handoff;
    std::unique_ptr<sxframes::StreamGuard> guard;
    std::string lostText; // /diagnostics' words for the lost line
    sxframes::FrameClock clock;
    std::unique_ptr<sxframes::FrameStats> frameStats;
    std::string identity, hardwareId;
    unsigned nominalRateHz = 0;
    TrackerState state = TrackerState::Waiting;
    unsigned bitError = 0;
    int64_t lastFrameNs = 0;
    int64_t nextDiagNs = 0;
    int64_t nextPublishNs = 0;
    int64_t periodNs = 0;

    // The newest decoded frame, not yet published (with a rate limit).
    FramePoses newest;
    sxframes::FrameTime newestTime{};
    int64_t newestHandoffNs = 0;
    bool newestPending = false;
    int64_t lastStampNs = 0;
    uint32_t sensorsSeen = 0;
};

void Publisher::Impl::Print(const char* fmt, ...)
{
    if (!log)
        return;
    va_list args;
    va_start(args, fmt);
    std::vfprintf(log, fmt, args);
    va_end(args);
    std::fflush(log);
}

// The identity, frame rate and attached sensors, for /diagnostics, the clock
// and the pose writers; what cannot be read is left out.
void Publisher::Impl::ReadTracker(void* ctx, void* dev)
{
    _WHOAMI_STRUCT who{};
    if (sxcmd_dev_whoami(ctx, dev, &who) == E_SX_SUCCESS) {
        hardwareId = Fixed(who.hw_ser_no, sizeof who.hw_ser_no);
        identity = Fixed(who.device_name, sizeof who.device_name) + ", serial " + hardwareId + ", firmware " +
                   Fixed(who.dsp_app_fw, sizeof who.dsp_app_fw);
    }
    _FRAMERATE_CONFIG rate{};
    if (sxcmd_dev_framerate(ctx, dev, CMD_ACTION_GET, &rate) == E_SX_SUCCESS) {
        nominalRateHz = CFrameRateCfg(&rate.frame_rate).EffectiveRate();
        if (nominalRateHz > 0)
            clock.SetNominalPeriodNs(kNsPerSec / nominalRateHz);
    }
    // Every attached sensor's pose topic from the start, so that subscribers
    // find them before the first frame; others are made when they appear.
    _STATION_MAP map{};
    if (sxcmd_dev_stationmap(ctx, dev, &map) == E_SX_SUCCESS) {
        std::string error;
        for (unsigned k = 0; k < kMaxSensors; ++k)
            if ((map.sensor_map >> k) & 1u)
                writers.AddSensor(k, error);
    }
}

// On the first device and on each new one: the tracker read again, this
// publisher's callback, continuous output.
int Publisher::Impl::StartOutput(void* ctx, void* dev)
{
    ReadTracker(ctx, dev);
    const int rc = sxdev_SetPnoCallback(ctx, dev, &FrameHandoff::Callback, handoff.get());
    return rc != E_SX_SUCCESS ? rc : sxcmd_dev_contpno(ctx, dev, CMD_ACTION_SET, nullptr, 0);
}

// The guard's look at the stream: a lost line is the tracker's state until
// frames come again; every event goes to whoever hears them, else the log.
void Publisher::Impl::Watch(int64_t nowNs)
{
    using Kind = sxframes::StreamEvent::Kind;
    for (sxframes::StreamEvent e; (e = guard->Poll(nowNs)).kind != Kind::None;) {
        if (e.kind == Kind::Lost) {
            lostText = Formatted(texts::kLineLost, sxframes::LossText(e.cause));
            SetState(TrackerState::LineLost, nowNs);
        }
        if (options.onStreamEvent)
            options.onStreamEvent(e);
        else if (e.kind == Kind::Lost || e.kind == Kind::Reconnected)
            Print("%s\n", e.text.c_str());
    }
}

void Publisher::Impl::SetState(TrackerState s, int64_t nowNs)
{
    if (s == state)
        return;
    state = s;
    stats->silent.store(s == TrackerState::Silent);
    // Whoever hears the guard's events says the silence in its words.
    if (s == TrackerState::Silent && !options.onStreamEvent)
        Print(texts::kNoFrames, options.staleMs);
    // Subscribers hear of a change at once, not at the next second.
    WriteDiagnostics(nowNs);
}

void Publisher::Impl::WriteDiagnostics(int64_t nowNs)
{
    nextDiagNs = nowNs + static_cast<int64_t>(options.diagnosticsPeriodMs) * kNsPerMs;
    DiagnosticsReport r;
    r.name = Formatted(texts::kStatusName, options.ns.c_str());
    r.hardwareId = hardwareId;
    switch (state) {
    case TrackerState::Waiting:
        r.level = DiagLevel::Warn;
        r.message = texts::kWaiting;
        break;
    case TrackerState::Tracking:
        r.level = DiagLevel::Ok;
        r.message = texts::kTracking;
        break;
    case TrackerState::BitError:
        r.level = DiagLevel::Error;
        r.message = Formatted(texts::kBitError, bitError);
        break;
    case TrackerState::Silent:
        r.level = DiagLevel::Error;
        r.message = Formatted(texts::kSilent, options.staleMs);
        break;
    case TrackerState::LineLost:
        r.level = DiagLevel::Error;
        r.message = lostText;
        break;
    case TrackerState::Stopped:
        r.level = DiagLevel::Stale;
        r.message = texts::kStopped;
        break;
    }
    const sxframes::FrameStats& fs = *frameStats;
    std::string sensors;
    for (unsigned k = 0; k < kMaxSensors; ++k)
        if ((sensorsSeen >> k) & 1u)
            sensors += (sensors.empty() ? "" : " ") + std::to_string(k);
    r.values = {
        {texts::kKeyIdentity, identity},
        {texts::kKeyConnection, options.connection},
        {texts::kKeyRate, Formatted("%.1f", fs.RateHz())},
        {texts::kKeyNominalRate, std::to_string(nominalRateHz)},
        {texts::kKeyReceived, std::to_string(stats->framesReceived.load())},
        {texts::kKeyPublished, std::to_string(stats->framesPublished.load())},
        {texts::kKeyLost, std::to_string(stats->framesLost.load())},
        {texts::kKeyOverrun, std::to_string(stats->framesOverrun.load())},
        {texts::kKeySensors, sensors},
        {texts::kKeyClock,
         Formatted("frame count fit, period %.0f ns %s, restarts %" PRIu64 ", re-anchors %" PRIu64, clock.PeriodNs(),
                   clock.Settled() ? "learned" : "nominal", clock.Restarts(), clock.Reanchors())},
        {texts::kKeyNewestStamp,
         lastStampNs ? Formatted("%" PRId64 ".%09" PRId64, lastStampNs / kNsPerSec, lastStampNs % kNsPerSec)
                     : std::string()},
    };
    if (!writers.WriteDiagnostics(r, SystemNs()))
        stats->writeErrors.fetch_add(1, std::memory_order_relaxed);
}

void Publisher::Impl::OnFrame(const FrameHandoff::Slot& slot)
{
    stats->framesReceived.fetch_add(1, std::memory_order_relaxed);
    guard->Frame(slot.frame, slot.length, slot.stampNs);
    frameStats->Add(slot.frame, slot.length, 0, static_cast<uint64_t>(slot.stampNs));
    // The frames the hand-off had no room for leave gaps in the frame
    // count too: they are not the tracker's.
    const uint64_t gaps = frameStats->TrackerLost(), overruns = handoff->Overruns();
    stats->framesLost.store(gaps > overruns ? gaps - overruns : 0, std::memory_order_relaxed);
    if (state == TrackerState::Silent && !options.onStreamEvent)
        Print(texts::kFramesAgain, static_cast<double>(slot.stampNs - lastFrameNs) / 1e9);
    lastFrameNs = slot.stampNs;
    if (!DecodeFrame(slot.frame, slot.length, newest)) {
        stats->framesUndecodable.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    newestTime = clock.Stamp(newest.frameCount, slot.stampNs);
    newestHandoffNs = slot.stampNs;
    newestPending = true;
    bitError = newest.bitError;
    for (unsigned i = 0; i < newest.count; ++i)
        sensorsSeen |= 1u << newest.sensors[i].sensor;
    SetState(bitError != 0 ? TrackerState::BitError : TrackerState::Tracking, slot.stampNs);
    // Without a rate limit every frame goes out as it comes.
    if (periodNs == 0)
        PublishNewest();
}

void Publisher::Impl::PublishNewest()
{
    if (!newestPending || !Due(nextPublishNs, periodNs, newestTime.monotonicNs))
        return;
    newestPending = false;
    const unsigned refused = writers.WriteFrame(newest, newestTime.systemNs);
    if (refused != 0)
        stats->writeErrors.fetch_add(refused, std::memory_order_relaxed);
    stats->framesPublished.fetch_add(1, std::memory_order_relaxed);
    lastStampNs = newestTime.systemNs;
    if (options.onPublished)
        options.onPublished(PublishedFrame{newestHandoffNs, newestTime.systemNs, newest.count});
}

void Publisher::Impl::TakeFrames()
{
    handoff->ClearWake();
    while (const FrameHandoff::Slot* s = handoff->Front()) {
        OnFrame(*s);
        handoff->Pop();
    }
    // With a rate limit only the newest of what came is a candidate.
    if (periodNs != 0)
        PublishNewest();
    stats->framesOverrun.store(handoff->Overruns(), std::memory_order_relaxed);
}

void Publisher::Impl::Stop(void* ctx, void* dev)
{
    // The device streamed from now (none when a reconnection left none); a
    // lost line takes no command.
    const bool lost = guard && guard->Lost();
    if (guard)
        dev = guard->Dev();
    if (dev)
        sxdev_SetPnoCallback(ctx, dev, nullptr, nullptr);
    handoff->Close();
    // Failing to stop (the tracker gone) changes nothing here: the caller
    // still owns the device and releases it.
    if (dev && !lost)
        sxcmd_dev_contpno(ctx, dev, CMD_ACTION_RESET, nullptr, 0);
    handoff->WaitIdle();
    TakeFrames();
    guard.reset();
    SetState(TrackerState::Stopped, MonotonicNs());
    Print(texts::kSummary, static_cast<unsigned long long>(stats->framesPublished.load()),
          static_cast<unsigned long long>(stats->framesReceived.load()),
          static_cast<unsigned long long>(stats->framesLost.load()),
          static_cast<unsigned long long>(stats->framesOverrun.load()),
          static_cast<unsigned long long>(stats->framesUndecodable.load()),
          static_cast<unsigned long long>(stats->writeErrors.load()));
}

Publisher::Publisher(const PublishOptions& options, std::FILE* log) : m_impl(std::make_unique<Impl>(options, log))
{
}

Publisher::~Publisher() = default;

int Publisher::Open()
{
    Impl& p = *m_impl;
    std::string error;
    if (!ValidNamespace(p.options.ns, error) || p.options.domain < 0 || p.options.domain > kMaxDomain ||
        p.options.rateHz < 0 || p.options.staleMs <= 0 || p.options.diagnosticsPeriodMs <= 0)
        return E_SXERR_INVALID_PARAMS;
    if (!p.writers.Open(p.options.domain, error)) {
        const size_t colon = error.find(": ");
        p.Print(texts::kDdsFailed, error.substr(0, colon).c_str(), p.options.domain, error.substr(colon + 2).c_str());
        return kDdsFailed;
    }
    p.open = true;
    p.Print(texts::kPublishing, p.options.domain, p.options.ns.c_str(),
            p.options.poseQos == PoseQos::Reliable ? texts::kReliable : texts::kBestEffort);
    return 0;
}

int Publisher::Run(void* ctx, void* dev, const std::atomic<bool>& stop, int giveUpMs)
{
    Impl& p = *m_impl;
    if (!p.open)
        return kDdsFailed;
    p.handoff = std::make_unique<FrameHandoff>();
    if (!p.handoff->Ok())
        return E_SXERR_MEMORY_ALLOCATION;
    p.frameStats = std::make_unique<sxframes::FrameStats>();
    p.clock.Reset();
    p.state = TrackerState::Waiting;
    p.newestPending = false;
    p.periodNs = p.options.rateHz > 0.0 ? static_cast<int64_t>(1e9 / p.options.rateHz) : 0;
    p.nextPublishNs = 0;
    // Frames may come as soon as the output starts: the guard is there first.
    p.guard = std::make_unique<sxframes::StreamGuard>(ctx, dev, p.options.guard, p.options.reconnect,
                                                      [&p, ctx](void* d) { return p.StartOutput(ctx, d); });
    const int rc = p.StartOutput(ctx, dev);
    if (rc != E_SX_SUCCESS) {
        sxdev_SetPnoCallback(ctx, dev, nullptr, nullptr);
        p.handoff->Close();
        p.handoff->WaitIdle();
        p.guard.reset();
        return rc;
    }
    p.lastFrameNs = MonotonicNs();
    p.guard->Begin(p.lastFrameNs);
    p.WriteDiagnostics(p.lastFrameNs);

    const int64_t staleNs = static_cast<int64_t>(p.options.staleMs) * kNsPerMs;
    const int64_t giveUpNs = static_cast<int64_t>(giveUpMs) * kNsPerMs;
    int result = 0;
    while (!stop.load()) {
        pollfd fd{p.handoff->Fd(), POLLIN, 0};
        int64_t now = MonotonicNs();
        const int64_t waitMs = (p.nextDiagNs - now) / kNsPerMs + 1;
        const int n = ::poll(&fd, 1, static_cast<int>(waitMs < kPollMs ? (waitMs > 0 ? waitMs : 0) : kPollMs));
        if (n < 0 && errno != EINTR)
            break;
        if (n > 0 && (fd.revents & POLLIN))
            p.TakeFrames();
        now = MonotonicNs();
        p.frameStats->UpdateRates(static_cast<uint64_t>(now), kNsPerSec);
        p.Watch(now);
        if (now - p.lastFrameNs > staleNs && p.state != TrackerState::LineLost)
            p.SetState(TrackerState::Silent, now);
        if (now >= p.nextDiagNs)
            p.WriteDiagnostics(now);
        if (giveUpNs > 0 && now - p.lastFrameNs > giveUpNs) {
            result = kTrackerSilent;
            break;
        }
    }
    p.Stop(ctx, dev);
    return result;
}

int Publish(void* ctx, void* dev, const PublishOptions& options, const std::atomic<bool>& stop, std::FILE* log)
{
    try {
        Publisher publisher(options, log);
        const int rc = publisher.Open();
        return rc != 0 ? rc : publisher.Run(ctx, dev, stop);
    } catch (const std::bad_alloc&) {
        return E_SXERR_MEMORY_ALLOCATION;
    }
}

} // namespace sxros2
