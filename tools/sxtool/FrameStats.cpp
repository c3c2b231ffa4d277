#include "FrameStats.h"

#include <SXCmdIF/SXCmdIF.h>

namespace sxtool {

namespace {

// A step this far or further is a restart of the count, not a loss.
constexpr uint32_t kImplausibleGap = 1u << 20;

uint64_t Gap(uint32_t last, uint32_t now)
{
    const uint32_t d = now - last - 1;
    return d < kImplausibleGap ? d : 0;
}

} // namespace

void FrameStats::Add(const unsigned char* frame, unsigned length, uint32_t seqNum, uint64_t)
{
    // The frame's body (from the unit identifier on), whatever the family's
    // preamble: a tag device's frames are counted too. The records taken
    // are those that fit the bytes received.
    CSXSeuPno pno;
    if (length < SX_FRAME_ENVELOPE_LEN ||
        pno.Extractseupno(frame + SX_FRAME_ENVELOPE_LEN, length - SX_FRAME_ENVELOPE_LEN) == 0)
        return;
    const uint32_t frameNum = pno.FrameNum();
    if (m_haveLast) {
        m_trackerLost += Gap(m_lastFrameNum, frameNum);
        if (seqNum != 0 && m_lastSeq != 0)
            m_queueLost += Gap(m_lastSeq, seqNum);
    }
    m_haveLast = true;
    m_lastFrameNum = frameNum;
    m_lastSeq = seqNum;
    ++m_frames;
    for (unsigned k = 0; k < pno.SensorCount(); ++k)
        ++m_sensorFrames[pno.SensFrame(static_cast<int>(k))->sfinfo & 0x0F];
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

} // namespace sxtool
