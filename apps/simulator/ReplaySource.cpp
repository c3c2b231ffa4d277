#include <simulator/ReplaySource.h>

#include <recording/RecordingReader.h>

#include <sxwire/LEWords.h>
#include <SXCmdIF/protocol/SXframe.h>

#include <cstring>

namespace sxsim {

namespace {

// Once the recording is spent the next frame is this far away: the unit's
// schedule then sends nothing more.
constexpr int64_t kSpentIntervalNs = 1000LL * 1000000000LL;

class ReplaySource : public PnoSource {
public:
    ReplaySource(std::string path, const ReplayInfo& info, double speed, bool loop)
        : m_path(std::move(path)), m_total(info.frames), m_loop(loop)
    {
        const int64_t mean = info.meanIntervalNs > 0 ? info.meanIntervalNs : 1000000000LL / ReplayConfig(info).rateHz;
        m_interval = static_cast<int64_t>(static_cast<double>(mean) / speed);
        if (m_interval < 1)
            m_interval = 1;
        Rewind();
    }

    unsigned Records(const PnoRequest&, unsigned char* out, unsigned maxRecords) override
    {
        m_haveFrame = false;
        if (m_served >= m_total) {
            if (!m_loop || m_total == 0)
                return 0;
            Rewind();
        }
        sxrec::ReadResult r;
        while ((r = m_reader.Next(m_frame)) == sxrec::ReadResult::Gap) {
        }
        if (r != sxrec::ReadResult::Frame) {
            m_served = m_total; // the fault found by the scan: the end
            return 0;
        }
        ++m_served;
        m_haveFrame = true;
        const uint32_t count = sxwire::GetLE32(m_frame.bytes + SX_OFF_SNSCNT);
        const uint32_t fit = (m_frame.length - 28) / 32;
        unsigned n = count < fit ? count : fit;
        if (n > maxRecords)
            n = maxRecords;
        std::memcpy(out, m_frame.bytes + 24, 32u * n);
        return n;
    }

    // The unit takes the interval before it sends a frame and schedules the
    // frame after it with that value, so the spent interval is given as soon
    // as the last frame is the next one to go.
    int64_t IntervalNs() const override
    {
        if (m_loop)
            return m_interval;
        const uint64_t last = m_total >= 2 ? m_total - 1 : m_total;
        return m_served >= last ? kSpentIntervalNs : m_interval;
    }

    bool FrameHeader(uint32_t& framenum, uint32_t& hpinfo) const override
    {
        if (!m_haveFrame)
            return false;
        framenum = sxwire::GetLE32(m_frame.bytes + SX_OFF_FRAMENUM);
        hpinfo = sxwire::GetLE32(m_frame.bytes + SX_OFF_HPINFO);
        return true;
    }

private:
    void Rewind()
    {
        m_reader.OpenFile(m_path);
        m_served = 0;
    }

    std::string m_path;
    uint64_t m_total;
    bool m_loop;
    int64_t m_interval = 0;
    sxrec::RecordingReader m_reader;
    sxrec::RecordedFrame m_frame;
    uint64_t m_served = 0;
    bool m_haveFrame = false;
};

} // namespace

bool ScanRecording(const std::string& path, ReplayInfo& info, std::string& error)
{
    sxrec::RecordingReader reader;
    if (!reader.OpenFile(path)) {
        error = path + ": " + reader.Error();
        return false;
    }
    info.header = reader.Header();
    auto frame = std::make_unique<sxrec::RecordedFrame>();
    // The pace is the mean interval between frames, gaps left out.
    uint64_t last = 0, paced = 0, intervals = 0;
    bool afterGap = false;
    sxrec::ReadResult r;
    while ((r = reader.Next(*frame)) == sxrec::ReadResult::Frame || r == sxrec::ReadResult::Gap) {
        if (r == sxrec::ReadResult::Gap) {
            afterGap = true;
            continue;
        }
        if (info.frames > 0 && !afterGap) {
            paced += frame->timeStampNs > last ? frame->timeStampNs - last : 0;
            ++intervals;
        }
        afterGap = false;
        last = frame->timeStampNs;
        ++info.frames;
    }
    if (r == sxrec::ReadResult::Corrupt)
        info.fault = reader.Error();
    if (info.frames == 0) {
        error = path + ": no frame to replay" + (info.fault.empty() ? "" : " (" + info.fault + ")");
        return false;
    }
    if (intervals > 0 && paced > 0)
        info.meanIntervalNs = static_cast<int64_t>(paced / intervals);
    return true;
}

SimConfig ReplayConfig(const ReplayInfo& info)
{
    SimConfig cfg;
    cfg.seuid = info.header.seuid;
    const int hz = RateHzOf(info.header.frameRateCode);
    cfg.rateHz = hz > 0 ? hz : 240;
    int sensors = 0;
    for (uint32_t map = info.header.stationMap & 0xFFFFu; map; map >>= 1)
        ++sensors;
    cfg.sensors = sensors > 0 ? sensors : 1;
    int sources = 0;
    for (uint32_t map = (info.header.stationMap >> 24) & 0xFu; map; map >>= 1)
        ++sources;
    cfg.sources = sources > 0 ? sources : 1;
    return cfg;
}

void ApplyRecordedSettings(SimUnit& unit, const ReplayInfo& info)
{
    _BLOCK_CONFIG block = unit.Block();
    block.units = info.header.units;
    block.stationMap.map = info.header.stationMap;
    block.seuID = info.header.seuid;
    if (RateHzOf(info.header.frameRateCode) > 0)
        block.frameRate = info.header.frameRateCode;
    unit.SetPowerOn(block);
    unit.SetUnitIdentity(info.header.identity);
}

std::unique_ptr<PnoSource> MakeReplaySource(const std::string& path, const ReplayInfo& info, double speed, bool loop)
{
    return std::make_unique<ReplaySource>(path, info, speed > 0 ? speed : 1.0, loop);
}

} // namespace sxsim
