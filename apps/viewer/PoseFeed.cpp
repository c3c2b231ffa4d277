#include "viewer/PoseFeed.h"

#include "viewer/Messages.h"

#include <frames/FrameJson.h>
#include <frames/SensorRecord.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>

namespace sxviewer {

namespace {

using sxframes::Json;

constexpr int64_t kRateWindowNs = 1000000000;
constexpr int kNameAttempts = 100;

// Creates sxview-20240131-142501.sxrec in dir, or -2, -3, ... when that
// name is taken. The record folder may be shared (/tmp): the file is made
// new, never opened through a link or over another's file. Its descriptor,
// or -1 and why.
int CreateRecordingFile(const std::string& dir, std::string& name, std::string& path, std::string& error)
{
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "sxview-%Y%m%d-%H%M%S", &local);
    for (int n = 1; n <= kNameAttempts; ++n) {
        name = std::string(stamp) + (n > 1 ? "-" + std::to_string(n) : "") + ".sxrec";
        path = dir + "/" + name;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST) {
            error = path + ": cannot create: " + std::strerror(errno);
            return -1;
        }
    }
    error = "no free recording name in " + dir;
    return -1;
}

// How a recording that failed ends, after the writer's own message.
std::string Ending(const sxrec::RecordingWriter& rec)
{
    const std::string frames = std::to_string(rec.FramesWritten()) + " frames kept, ";
    return "; " + frames +
           (rec.TrailerWritten() ? "the file closed with its trailer"
                                 : "the file is incomplete (no room for its trailer)");
}

} // namespace

PoseFeed::PoseFeed(Hub& hub, double displayHz, std::FILE* out)
    : m_hub(hub), m_out(out), m_periodNs(static_cast<int64_t>(1e9 / (displayHz > 0 ? displayHz : 60.0))),
      m_wake(hub.Io()), m_rest(hub.Io())
{
}

PoseFeed::~PoseFeed() = default;

bool PoseFeed::Open()
{
    if (!m_handoff.Ok())
        return false;
    const int fd = ::dup(m_handoff.Fd());
    if (fd < 0)
        return false;
    m_wake.assign(fd);
    return true;
}

void PoseFeed::Start()
{
    m_running = true;
    Wait();
}

void PoseFeed::Stop()
{
    m_running = false;
    m_rest.cancel();
    boost::system::error_code ec;
    m_wake.cancel(ec);
}

void PoseFeed::Wait()
{
    if (!m_running)
        return;
    m_wake.async_wait(net::posix::descriptor_base::wait_read,
                      [this](const boost::system::error_code& ec) { OnReady(ec); });
}

void PoseFeed::OnReady(const boost::system::error_code& ec)
{
    if (ec || !m_running)
        return;
    m_handoff.ClearWake();
    Drain();
    if (!m_fresh) {
        Wait();
        return;
    }
    Send(NowNs());
    // The rest of the display period, then the next frames.
    m_rest.expires_after(std::chrono::nanoseconds(m_periodNs));
    m_rest.async_wait([this](const boost::system::error_code& e) {
        if (!e)
            Wait();
    });
}

void PoseFeed::Drain()
{
    while (const sxframes::FrameHandoff::Slot* s = m_handoff.Front()) {
        Take(*s);
        m_handoff.Pop();
    }
    m_hub.Stats().framesOverrun.store(m_handoff.Overruns(), std::memory_order_relaxed);
}

// The recording ends at a write that failed (a full disk): the page shows
// why, and so does the server's output.
void PoseFeed::EndFailedRecording()
{
    m_recError = m_rec.Error();
    std::string ignored;
    m_rec.Close(ignored);
    m_recError += Ending(m_rec);
    if (m_out) {
        std::fprintf(m_out, "recording stopped: %s\n", m_recError.c_str());
        std::fflush(m_out);
    }
}

void PoseFeed::Take(const sxframes::FrameHandoff::Slot& slot)
{
    m_hub.Stats().framesReceived.fetch_add(1, std::memory_order_relaxed);
    ++m_seq;
    const uint64_t stamp = static_cast<uint64_t>(slot.stampNs);
    // The first frame after a reconnection: counted afresh, the gap marked.
    sxframes::StreamGap gap;
    if (m_guard && m_guard->Frame(slot.frame, slot.length, NowNs(), &gap)) {
        m_stats.Restart();
        if (m_rec.IsOpen() && !m_rec.WriteGap(sxframes::GapRecord(gap)))
            EndFailedRecording();
    }
    // A frame the library marked as damaged is counted, neither shown nor recorded.
    if (!m_stats.Add(slot.frame, slot.length, m_seq, stamp))
        return;
    if (m_rec.IsOpen() && !m_rec.Write(slot.frame, slot.length, stamp, m_seq))
        EndFailedRecording();
    CSXSeuPno pno;
    if (pno.Extractraw(slot.frame, slot.length) == 0)
        return;
    const int64_t measured = m_clock.Stamp(pno.FrameNum(), slot.stampNs).monotonicNs;
    const bool accel = pno.Mode() != 0;
    m_bitError = pno.BITerr();
    for (unsigned k = 0; k < pno.SensorCount(); ++k) {
        const int index = static_cast<int>(k);
        const CSXSnsFrameA pose = sxframes::SensorRecord(pno, index);
        const unsigned n = pose.sfinfo & 0x7Fu;
        if (n >= sxframes::FrameStats::kSensors)
            continue;
        SensorPose& p = m_sensors[n];
        p.seen = true;
        p.pose = pose;
        pno.SFUnits(index, &p.units);
        p.accel = accel;
        p.stampNs = slot.stampNs;
        p.measuredNs = measured;
        p.frame = pno.FrameNum();
    }
    m_fresh = true;
}

void PoseFeed::Send(int64_t nowNs)
{
    m_fresh = false;
    m_stats.UpdateRates(static_cast<uint64_t>(nowNs), kRateWindowNs);
    if (!m_hub.HasBrowsers())
        return;
    m_hub.Stats().updatesBuilt.fetch_add(1, std::memory_order_relaxed);
    m_hub.Poses(PosesMessage(nowNs));
}

Text PoseFeed::PosesMessage(int64_t nowNs)
{
    Json j = Json::object();
    j["type"] = "poses";
    j["server_ns"] = nowNs;
    j["frames"] = m_stats.Frames();
    j["rate"] = m_stats.RateHz();
    j["lost"] = m_stats.TrackerLost();
    j["bad_crc"] = m_stats.CrcDropped();
    j["overruns"] = m_handoff.Overruns();
    j["bit_error"] = m_bitError;
    if (m_rec.IsOpen())
        j["recording"] = {{"file", m_recFile}, {"frames", m_rec.FramesWritten()}};
    else if (!m_recError.empty())
        j["recording"] = {{"file", m_recFile}, {"error", m_recError}};
    else
        j["recording"] = nullptr;
    Json sensors = Json::array();
    for (int n = 0; n < sxframes::FrameStats::kSensors; ++n) {
        const SensorPose& p = m_sensors[n];
        if (!p.seen)
            continue;
        Json s = sxframes::SensorJson(p.pose, p.units, p.accel);
        s["timestamp_ns"] = p.stampNs;
        s["measured_ns"] = p.measuredNs;
        s["frame"] = p.frame;
        s["frames"] = m_stats.SensorFrames(n);
        s["rate"] = m_stats.SensorRateHz(n);
        s["lost"] = m_stats.SensorLost(n);
        sensors.push_back(std::move(s));
    }
    j["sensors"] = std::move(sensors);
    return Shared(j);
}

bool PoseFeed::StartRecording(const std::string& dir, const sxrec::RecordingHeader& header, std::string& file,
                              std::string& error)
{
    if (m_rec.IsOpen()) {
        error = "already recording into " + m_recFile;
        return false;
    }
    std::string name;
    const int fd = CreateRecordingFile(dir, name, file, error);
    if (fd < 0)
        return false;
    // The header reaches the file before the page hears "recording".
    if (!m_rec.Open(fd, file, header, error))
        return false;
    m_recFile = name;
    m_recError.clear();
    return true;
}

bool PoseFeed::StopRecording(std::string& file, uint64_t& frames, std::string& error)
{
    if (!m_rec.IsOpen()) {
        error = m_recError.empty() ? "not recording" : "the recording had stopped: " + m_recError;
        return false;
    }
    file = m_recFile;
    const bool ok = m_rec.Close(error);
    frames = m_rec.FramesWritten();
    if (!ok)
        error += Ending(m_rec);
    return ok;
}

void PoseFeed::Finish()
{
    std::FILE* out = m_out;
    Drain();
    if (!m_rec.IsOpen())
        return;
    std::string file, error;
    uint64_t frames = 0;
    const bool ok = StopRecording(file, frames, error);
    if (out) {
        if (ok)
            std::fprintf(out, "recorded %llu frames into %s\n", static_cast<unsigned long long>(frames), file.c_str());
        else
            std::fprintf(out, "recording %s failed: %s\n", file.c_str(), error.c_str());
        std::fflush(out);
    }
}

} // namespace sxviewer
