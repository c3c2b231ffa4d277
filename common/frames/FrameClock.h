// When each P&O frame was measured. The tracker's frame count ticks once per
// measurement cycle, a far steadier clock than the arrival of the bytes,
// which jitters with the transport and the host. One FrameClock per
// connected tracker turns each frame's count and arrival time into its
// measurement time on the host's monotonic clock and on the system clock.
// Stamp runs where a frame is handed to the application: it never
// allocates, and each stamp is later than the one before.
//
// The model: measurement time = t0 + frame count x period. A frame never
// arrives before it was measured, so the line is fitted to the earliest
// arrivals (their lower envelope): the earliest arrival of each quarter second
// is kept, the last kBlocks of them (64 s) give the period (the tracker's
// clock drifts against the host's), and the line is laid under the last
// kLineBlocks of them (32 s). A stamp is never later than its frame's arrival. A constant
// transport delay cannot be seen from the host and stays in the stamps
// (docs/timing.md).
//
// The arithmetic is plain int64 and double, in a fixed order, so that a port
// to another language gives the same stamps to the nanosecond
// (tests/frames/frame_clock_vectors.txt).
#pragma once

#include <cstdint>

namespace sxframes {

// One instant on the host's two clocks.
struct FrameTime {
    int64_t monotonicNs; // the monotonic clock (as the library's time stamps)
    int64_t systemNs;    // the system clock: Unix epoch, UTC
};

class FrameClock {
public:
    // The earliest arrivals kept, one per block of at least kBlockNs and
    // kBlockFrames frames; the line lies under the newest kLineBlocks.
    static constexpr int kBlocks = 256;
    static constexpr int kLineBlocks = 128;
    static constexpr int64_t kBlockNs = 250000000;
    static constexpr int64_t kBlockFrames = 32;

    FrameClock();

    // The period the tracker was set to, as a first guess before the fit has
    // learned it (0: unknown). A new rate set mid-stream is announced here:
    // the fit moves to it when the frames show the new rate.
    void SetNominalPeriodNs(int64_t periodNs);
    // One frame: its frame count and its arrival on the monotonic clock.
    FrameTime Stamp(uint32_t frameCount, int64_t arrivalMonotonicNs);
    // Forgets the fit (a new connection, or a stream restarted on purpose).
    // The system clock's offset is taken again.
    void Reset();
    // The system clock minus the monotonic clock, as measured when the
    // clock was made or reset; a recording carries the one of its session.
    void SetSystemOffsetNs(int64_t offsetNs) { m_systemOffsetNs = offsetNs; }
    int64_t SystemOffsetNs() const { return m_systemOffsetNs; }

    // Times the fit started again on a step it could not explain (a frame
    // earlier than its count allows, or every frame late for a while).
    uint64_t Restarts() const { return m_restarts; }
    // Times it started again on a step it could explain: the frame count
    // set back, or a new rate announced and seen.
    uint64_t Reanchors() const { return m_reanchors; }
    // The period in use, in nanoseconds (0: not known yet).
    double PeriodNs() const { return m_periodNs; }
    // True once the period comes from the frames rather than the guess.
    bool Settled() const { return m_blockCount >= kMinBlocksForSlope; }

private:
    static constexpr int kMinBlocksForSlope = 2;

    void Restart(bool unexplained);
    void Clear();
    void Anchor(int64_t n, int64_t arrivalNs);
    void EndBlock();
    void Fit();
    int64_t LineAt(int64_t n) const;
    void NoteLate(int64_t arrivalNs);

    int64_t m_systemOffsetNs = 0;
    int64_t m_nominalPeriodNs = 0;
    int64_t m_pendingPeriodNs = 0; // announced, not yet seen in the frames
    uint64_t m_restarts = 0;
    uint64_t m_reanchors = 0;
    int64_t m_lastStampNs = 0;
    bool m_anyStamp = false;

    // The frame count, unwrapped past 32 bits.
    bool m_haveCount = false;
    uint32_t m_lastCount = 0;
    int64_t m_n = 0;

    // The line: t0 + (n - n0) x period.
    double m_periodNs = 0;
    bool m_anchored = false;
    int64_t m_t0 = 0;
    int64_t m_n0 = 0;

    // The block under way: its start and its earliest arrival (least
    // excess over the line).
    bool m_blockOpen = false;
    int64_t m_blockStartNs = 0;
    int64_t m_blockStartN = 0;
    int64_t m_blockFirstN = 0;
    int64_t m_blockFirstA = 0;
    int64_t m_blockMinN = 0;
    int64_t m_blockMinA = 0;
    int64_t m_blockMinExcess = 0;

    // Earliest arrivals of the last kBlocks blocks, oldest first from m_blockHead.
    int64_t m_blockN[kBlocks] = {};
    int64_t m_blockA[kBlocks] = {};
    int m_blockHead = 0;
    int m_blockCount = 0;

    // How late frames usually are over the line, and a run of frames all
    // far later than that.
    double m_typicalExcessNs = 0;
    int m_lateFrames = 0;
    int64_t m_lateSinceNs = 0;
    int m_highBlocks = 0; // blocks in a row whose earliest arrival is well above the line
};

} // namespace sxframes
