// Counts of a P&O stream: frames, frames lost by the tracker (gaps in the
// frame count), frames lost by the library's queue (gaps in its sequence
// numbers), and the rate, overall and per sensor.
#pragma once

#include <cstdint>

namespace sxtool {

class FrameStats {
public:
    static constexpr int kSensors = 16;

    // One frame: its raw bytes (for the frame count and sensor numbers), the
    // queue's sequence number and the host time stamp.
    void Add(const unsigned char* frame, unsigned length, uint32_t seqNum, uint64_t timeStampNs);
    // Refreshes the rates from the frames since the last call, at most every
    // interval; nowNs on the monotonic clock.
    void UpdateRates(uint64_t nowNs, uint64_t intervalNs);

    uint64_t Frames() const { return m_frames; }
    uint64_t TrackerLost() const { return m_trackerLost; }
    uint64_t QueueLost() const { return m_queueLost; }
    double RateHz() const { return m_rate; }
    uint64_t SensorFrames(int n) const { return m_sensorFrames[n]; }
    double SensorRateHz(int n) const { return m_sensorRate[n]; }

private:
    uint64_t m_frames = 0;
    uint64_t m_trackerLost = 0;
    uint64_t m_queueLost = 0;
    bool m_haveLast = false;
    uint32_t m_lastFrameNum = 0;
    uint32_t m_lastSeq = 0;
    uint64_t m_sensorFrames[kSensors] = {};

    uint64_t m_markNs = 0;
    uint64_t m_markFrames = 0;
    uint64_t m_markSensor[kSensors] = {};
    double m_rate = 0.0;
    double m_sensorRate[kSensors] = {};
};

} // namespace sxtool
