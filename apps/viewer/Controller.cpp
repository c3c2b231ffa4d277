#include "viewer/Controller.h"

#include "viewer/Messages.h"
#include "viewer/PoseFeed.h"

#include <frames/FrameJson.h>
#include <frames/FramePeriod.h>
#include <frames/RecordingHeader.h>
#include <items/ErrorHelp.h>
#include <items/ItemTable.h>
#include <items/ItemWords.h>

#include <SXCmdIF/SXCmdIF.h>

#include <boost/asio/post.hpp>

#include <pthread.h>

#include <cstdlib>

namespace sxviewer {

namespace {

using sxframes::Json;

// The stop may be answered late on a loaded machine: it is sent again.
constexpr int kStopAttempts = 3;
// How often the stream guard looks at the stream between requests.
constexpr auto kWatchEvery = std::chrono::milliseconds(100);

// An item read through the item table, as its record's fields; null when
// the tracker did not answer.
Json ReadItem(void* ctx, void* dev, const char* name, int index, unsigned arg2)
{
    const sxitems::Item* row = sxitems::FindItem(name);
    if (!row)
        return nullptr;
    alignas(8) unsigned char payload[sxitems::kMaxRecord] = {};
    const int rc = index >= 0 && row->sensor
                       ? row->sensor(ctx, dev, index, CMD_ACTION_GET, payload, static_cast<int>(arg2))
                       : row->unit(ctx, dev, CMD_ACTION_GET, payload, static_cast<int>(arg2));
    if (rc != E_SX_SUCCESS)
        return nullptr;
    return sxframes::RecordJson(sxitems::Record(row->record), payload);
}

// The tracker as the page shows it: identity, connection, streaming,
// settings, BIT.
Json StateJson(void* ctx, void* dev, const ViewOptions& o, bool streaming)
{
    Json j = Json::object();
    j["type"] = "state";
    j["connection"] = o.connection;
    const char* line = nullptr;
    if (sxdev_report(ctx, dev, &line) == E_SX_SUCCESS && line) {
        std::string device = line;
        while (!device.empty() && (device.back() == '\n' || device.back() == '\r'))
            device.pop_back();
        j["device"] = device;
    }
    void* identity = nullptr;
    int seuid = 0;
    if (sxdev_info(ctx, dev, &identity, &seuid) == E_SX_SUCCESS && identity) {
        j["seuid"] = seuid;
        j["identity"] = sxframes::RecordJson(sxitems::Record(sxitems::RecordKind::WhoAmI), identity);
    }
    j["streaming"] = streaming;
    _STATION_MAP map{};
    Json sensors = Json::array();
    int first = 0;
    if (sxcmd_dev_stationmap(ctx, dev, &map) == E_SX_SUCCESS) {
        for (int n = 15; n >= 0; --n)
            if (map.map & (1u << n))
                first = n;
        for (int n = 0; n < 16; ++n)
            if (map.map & (1u << n))
                sensors.push_back(n);
    }
    j["sensors"] = sensors;
    j["units"] = ReadItem(ctx, dev, "units", -1, 0);
    Json rate = ReadItem(ctx, dev, "framerate", -1, 0);
    // The record's JSON gives the rate in Hz already; "hz" is what the page reads.
    if (rate.is_object() && rate.contains("frame_rate"))
        rate["hz"] = rate["frame_rate"];
    j["framerate"] = rate;
    Json filter = ReadItem(ctx, dev, "filter", first, FILTER_TRGT_PNO);
    if (filter.is_object())
        filter["sensor"] = first;
    j["filter"] = filter;
    j["hemisphere"] = ReadItem(ctx, dev, "hemisphere", first, 0);
    j["bit"] = ReadItem(ctx, dev, "bit", -1, 0);
    return j;
}

} // namespace

Controller::Controller(void* ctx, sxframes::StreamGuard& guard, Hub& hub, PoseFeed& feed, std::FILE* out)
    : m_ctx(ctx), m_guard(guard), m_hub(hub), m_feed(feed), m_out(out)
{
}

Controller::~Controller()
{
    Stop();
}

void Controller::Start(bool streaming)
{
    m_streaming = streaming;
    m_thread = std::thread([this] { Run(); });
    // Named, so that its share shows apart in top and in the benchmark.
    pthread_setname_np(m_thread.native_handle(), "sxview-control");
}

void Controller::Stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mtx);
        m_stop = true;
    }
    m_cv.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

bool Controller::Submit(uint64_t browser, const Control& control)
{
    {
        std::lock_guard<std::mutex> lock(m_mtx);
        if (m_stop || m_jobs.size() >= kMaxQueued)
            return false;
        m_jobs.push_back(Job{browser, control});
    }
    m_cv.notify_one();
    return true;
}

void Controller::Run()
{
    PostState();
    for (;;) {
        Job job;
        bool have = false;
        {
            std::unique_lock<std::mutex> lock(m_mtx);
            m_cv.wait_for(lock, kWatchEvery, [this] { return m_stop || !m_jobs.empty(); });
            if (m_stop)
                return;
            if (!m_jobs.empty()) {
                job = std::move(m_jobs.front());
                m_jobs.pop_front();
                have = true;
            }
        }
        if (have) {
            Carry(job);
            PostState();
        }
        Watch();
    }
}

void Controller::Carry(const Job& job)
{
    const Control& c = job.control;
    std::string message;
    bool ok = false;
    switch (c.kind) {
    case ControlKind::Stream:
        ok = Stream(c.on, message);
        break;
    case ControlKind::Set:
        ok = Set(c, message);
        break;
    case ControlKind::Record:
        Record(job); // answered from the server's thread
        return;
    }
    PostAnswer(job.browser, c.id, ok, message);
}

bool Controller::Stream(bool on, std::string& message)
{
    int rc = E_SX_SUCCESS;
    for (int attempt = 0; attempt < (on ? 1 : kStopAttempts); ++attempt) {
        rc = sxcmd_dev_contpno(m_ctx, Dev(), on ? CMD_ACTION_SET : CMD_ACTION_RESET, nullptr, 0);
        if (rc == E_SX_SUCCESS)
            break;
    }
    if (rc != E_SX_SUCCESS) {
        message = std::string(on ? "starting" : "stopping") + " continuous P&O failed: " + sxitems::ErrorMessage(rc);
        return false;
    }
    m_streaming = on;
    // Silence the page asked for is no stall; a stream started again starts
    // the clock model again.
    if (on) {
        m_guard.Begin(NowNs());
        PoseFeed& feed = m_feed;
        net::post(m_hub.Io(), [&feed] { feed.RestartClock(); });
    } else {
        m_guard.Pause();
    }
    message = on ? "streaming" : "streaming stopped";
    return true;
}

bool Controller::Set(const Control& c, std::string& message)
{
    const SetItemFn& set = m_hub.Options().setItem;
    if (!set) {
        message = "this viewer sets no items";
        return false;
    }
    SetRequest r{c.item, c.values, c.sensor, c.target};
    std::string error;
    const int rc = set(m_ctx, Dev(), r, error);
    std::string words;
    for (const std::string& w : c.values)
        words += " " + w;
    if (rc == -1) {
        message = error;
        return false;
    }
    if (rc != E_SX_SUCCESS) {
        message = "set " + c.item + words + " failed: " + sxitems::ErrorMessage(rc);
        return false;
    }
    message = "set " + c.item + words;
    if (c.item == "framerate" && !c.values.empty())
        AnnounceRate(c.values[0]);
    return true;
}

// The frames' clock model learns of a new rate on the server's thread.
void Controller::AnnounceRate(const std::string& hzWord)
{
    uint32_t code = 0;
    std::string ignored;
    if (!sxitems::FrameRateCode(std::strtod(hzWord.c_str(), nullptr), code, ignored))
        return;
    const int64_t periodNs = sxframes::FramePeriodNs(code);
    PoseFeed& feed = m_feed;
    net::post(m_hub.Io(), [&feed, periodNs] { feed.SetFramePeriodNs(periodNs); });
}

void Controller::Record(const Job& job)
{
    const Control c = job.control;
    const uint64_t browser = job.browser;
    if (!c.on) {
        net::post(m_hub.Io(), [this, c, browser] {
            std::string file, error;
            uint64_t frames = 0;
            const bool ok = m_feed.StopRecording(file, frames, error);
            const std::string message = ok ? "recorded " + std::to_string(frames) + " frames into " + file : error;
            if (ok && m_out) {
                std::fprintf(m_out, "%s\n", message.c_str());
                std::fflush(m_out);
            }
            m_hub.Answer(browser, ResultMessage(c.id, ok, message));
        });
        return;
    }
    // The header from the tracker here, where waiting for it holds up nobody.
    sxrec::RecordingHeader header;
    const int rc = sxframes::ReadRecordingHeader(m_ctx, Dev(), header);
    if (rc != E_SX_SUCCESS) {
        PostAnswer(browser, c.id, false, "reading the settings to record failed: " + sxitems::ErrorMessage(rc));
        return;
    }
    net::post(m_hub.Io(), [this, c, browser, header] {
        std::string path, error;
        const bool ok = m_feed.StartRecording(m_hub.Options().recordDir, header, path, error);
        if (ok && m_out) {
            std::fprintf(m_out, "recording into %s\n", path.c_str());
            std::fflush(m_out);
        }
        m_hub.Answer(browser, ResultMessage(c.id, ok, ok ? "recording" : error));
    });
}

void Controller::PostAnswer(uint64_t browser, int64_t id, bool ok, const std::string& message)
{
    if (ok)
        m_hub.Stats().controlsApplied.fetch_add(1);
    Text answer = ResultMessage(id, ok, message);
    net::post(m_hub.Io(), [this, browser, answer] { m_hub.Answer(browser, answer); });
}

void Controller::PostState()
{
    m_state = StateJson(m_ctx, Dev(), m_hub.Options(), m_streaming);
    m_state["alert"] = m_alert.empty() ? Json(nullptr) : Json(m_alert);
    Text state = Shared(m_state);
    net::post(m_hub.Io(), [this, state] { m_hub.SetState(state); });
}

void Controller::Watch()
{
    using Kind = sxframes::StreamEvent::Kind;
    for (sxframes::StreamEvent e; (e = m_guard.Poll(NowNs())).kind != Kind::None;) {
        if (m_hub.Options().onStreamEvent)
            m_hub.Options().onStreamEvent(e);
        m_alert = e.kind == Kind::Stalled || e.kind == Kind::Lost ? e.text : std::string();
        // A new connection is read afresh; a silent or lost one is not
        // asked again: the state read last gets the alert.
        if (e.kind == Kind::Reconnected) {
            // A new connection: the clock model starts again at its rate.
            const int64_t periodNs = sxframes::ReadFramePeriodNs(m_ctx, Dev());
            PoseFeed& feed = m_feed;
            net::post(m_hub.Io(), [&feed, periodNs] {
                feed.RestartClock();
                feed.SetFramePeriodNs(periodNs);
            });
        }
        if (e.kind == Kind::Reconnected || m_state.is_null()) {
            PostState();
            continue;
        }
        m_state["alert"] = m_alert.empty() ? Json(nullptr) : Json(m_alert);
        Text state = Shared(m_state);
        net::post(m_hub.Io(), [this, state] { m_hub.SetState(state); });
    }
}

} // namespace sxviewer
