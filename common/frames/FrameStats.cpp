#include "frames/FrameStats.h"

#include <SXCmdIF/SXCmdIF.h>
#include <sxwire/LEWords.h>

namespace sxframes {

namespace {

// A step this far or further is a restart of the count, not a loss.
constexpr uint32_t kImplausibleGap = 1u << 20;
// Frame intervals: 10 µs bins up to 200 ms.
constexpr uint64_t kBinNs = 10000;
constexpr size_t kBins = 20000;
constexpr unsigned kHpinfoOffset = 16;

uint64_t Gap(uint32_t last, uint32_t now)
{
    const uint32_t d = now - last - 1;
    return d < kImplausibleGap ? d : 0;
}

} // namespace

FrameStats::FrameStats() : m_intervalBins(kBins, 0)
{
}

bool FrameStats::Add(const unsigned char* frame, unsigned length, uint32_t seqNum, uint64_t timeStampNs)
{
    // The library's marks of a flawed frame it passed on: dropped here, and
    // counted apart from the tracker's gaps.
    const uint32_t hpinfo = length >= kHpinfoOffset + 4 ? sxwire::GetLE32(frame + kHpinfoOffset) : 0;
    // The queue numbers every frame it takes, damaged ones too.
    if (seqNum != 0) {
        if (m_lastSeq != 0)
            m_queueLost += Gap(m_lastSeq, seqNum);
        m_lastSeq = seqNum;
    }
    if (hpinfo & (SX_HPINFO_FRAMERR | SX_HPINFO_CRCERR | SX_HPINFO_SNSERR)) {
        if (hpinfo & SX_HPINFO_CRCERR)
            ++m_crcDropped;
        else
            ++m_malformed;
        ++m_damagedSinceLast;
        return false;
    }
    // The frame's body (from the unit identifier on), whatever the family's
    // preamble: a tag device's frames are counted too. The records taken
    // are those that fit the bytes received.
    CSXSeuPno pno;
    if (length < SX_FRAME_ENVELOPE_LEN ||
        pno.Extractseupno(frame + SX_FRAME_ENVELOPE_LEN, length - SX_FRAME_ENVELOPE_LEN) == 0)
        return true;
    const uint32_t frameNum = pno.FrameNum();
    if (m_haveLast) {
        const uint64_t gap = Gap(m_lastFrameNum, frameNum);
        const uint64_t damaged = gap < m_damagedSinceLast ? gap : m_damagedSinceLast;
        m_trackerLost += gap - damaged;
        if (timeStampNs > m_lastStampNs && m_lastStampNs != 0) {
            const uint64_t bin = (timeStampNs - m_lastStampNs) / kBinNs;
            ++m_intervalBins[bin < kBins ? bin : kBins - 1];
            ++m_intervals;
        }
    }
    m_damagedSinceLast = 0;
    m_haveLast = true;
    m_lastFrameNum = frameNum;
    m_lastStampNs = timeStampNs;
    ++m_frames;
    for (unsigned k = 0; k < pno.SensorCount(); ++k) {
        const unsigned n = pno.SensFrame(static_cast<int>(k))->sfinfo & 0x0F;
        ++m_sensorFrames[n];
        if (m_sensorSeen[n])
            m_sensorLost[n] += Gap(m_sensorLastFrame[n], frameNum);
        m_sensorSeen[n] = true;
        m_sensorLastFrame[n] = frameNum;
    }
    return true;
}

void FrameStats::Restart()
{
    m_haveLast = false;
    m_lastSeq = 0;
    m_lastStampNs = 0;
    m_damagedSinceLast = 0;
    for (bool& seen : m_sensorSeen)
        seen = false;
}

double FrameStats::IntervalMs(double fraction) const
{
    if (m_intervals == 0)
        return 0.0;
    uint64_t rank = static_cast<uint64_t>(fraction * static_cast<double>(m_intervals - 1));
    for (size_t b = 0; b < kBins; ++b) {
        if (rank < m_intervalBins[b])
            return (static_cast<double>(b) + 0.5) * static_cast<double>(kBinNs) / 1e6;
        rank -= m_intervalBins[b];
    }
    return static_cast<double>(kBins * kBinNs) / 1e6;
}

void FrameStats::UpdateRates(uint64_t nowNs, uint64_t intervalNs)
{
    if (m_markNs == 0) {
        m_markNs = nowNs;
        return;
    }
    const uint64_t elapsed = nowNs - m_markNs;
    if (elapsed < intervalNs)
        return;
    const double seconds = static_cast<double>(elapsed) / 1e9;
    m_rate = static_cast<double>(m_frames - m_markFrames) / seconds;
    for (int n = 0; n < kSensors; ++n) {
        m_sensorRate[n] = static_cast<double>(m_sensorFrames[n] - m_markSensor[n]) / seconds;
        m_markSensor[n] = m_sensorFrames[n];
    }
    m_markFrames = m_frames;
    m_markNs = nowNs;
}

} // namespace sxframes
