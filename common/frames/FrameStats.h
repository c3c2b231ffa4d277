// Counts of a P&O stream: frames, frames lost by the tracker (gaps in the
// frame count), frames dropped by the library for a bad CRC or a malformed
// frame (passed on marked, and counted here apart from the tracker's gaps),
// frames lost by the library's queue (gaps in its sequence numbers), each
// sensor's frames and losses, the rate overall and per sensor, and the
// distribution of the host's frame intervals.
#pragma once

#include <cstdint>
#include <vector>

namespace sxframes {

class FrameStats {
public:
    static constexpr int kSensors = 16;

    FrameStats();

    // One frame: its raw bytes (for the frame count, the library's marks and
    // the sensor numbers), the queue's sequence number and the host time
    // stamp (ns). Returns false for a frame the library marked as damaged:
    // it is counted, and not to be printed or recorded.
    bool Add(const unsigned char* frame, unsigned length, uint32_t seqNum, uint64_t timeStampNs);
    // The stream goes on from a new connection: the next frame's count and
    // sequence number start afresh, and the gap before it is no loss of
    // the tracker's or the queue's (the frames missed are counted apart).
    void Restart();
    // Refreshes the rates from the frames since the last call, at most every
    // interval; nowNs on the monotonic clock.
    void UpdateRates(uint64_t nowNs, uint64_t intervalNs);

    uint64_t Frames() const { return m_frames; }
    uint64_t TrackerLost() const { return m_trackerLost; }
    uint64_t CrcDropped() const { return m_crcDropped; }
    uint64_t Malformed() const { return m_malformed; }
    uint64_t QueueLost() const { return m_queueLost; }
    double RateHz() const { return m_rate; }
    uint64_t SensorFrames(int n) const { return m_sensorFrames[n]; }
    // Frames of the stream that lack the sensor since it first appeared.
    uint64_t SensorLost(int n) const { return m_sensorLost[n]; }
    double SensorRateHz(int n) const { return m_sensorRate[n]; }
    // The frame interval at a fraction (0.5: median) of the intervals, in
    // milliseconds; 0 before two frames.
    double IntervalMs(double fraction) const;

private:
    uint64_t m_frames = 0;
    uint64_t m_trackerLost = 0;
    uint64_t m_crcDropped = 0;
    uint64_t m_malformed = 0;
    uint64_t m_damagedSinceLast = 0; // damaged frames since the last whole one
    uint64_t m_queueLost = 0;
    bool m_haveLast = false;
    uint32_t m_lastFrameNum = 0;
    uint32_t m_lastSeq = 0;
    uint64_t m_lastStampNs = 0;
    uint64_t m_sensorFrames[kSensors] = {};
    uint64_t m_sensorLost[kSensors] = {};
    bool m_sensorSeen[kSensors] = {};
    uint32_t m_sensorLastFrame[kSensors] = {};

    // Frame intervals in bins of kBinNs; the last bin holds the longer ones.
    std::vector<uint32_t> m_intervalBins;
    uint64_t m_intervals = 0;

    uint64_t m_markNs = 0;
    uint64_t m_markFrames = 0;
    uint64_t m_markSensor[kSensors] = {};
    double m_rate = 0.0;
    double m_sensorRate[kSensors] = {};
};

} // namespace sxframes
