#include "frames/FrameClock.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace sxframes {

namespace {

// A frame this much earlier than the line puts it cannot have been measured
// there: the count and the host's clock have parted (count set back without
// being seen, a new rate, another tracker).
constexpr int64_t kEarlyToleranceNs = 2000000;
// Frames count as late when they are this much later than the line and
// kLateFactor times later than frames usually are.
constexpr int64_t kMinLateNs = 2000000;
constexpr double kLateFactor = 4.0;
// A step to later times is believed after this many late frames over this
// long: a host that was held up delivers a burst, then frames on time again.
constexpr int kLateFrames = 8;
constexpr int64_t kLateRunNs = 100000000;
// The earliest arrivals of this many blocks in a row all this much later
// than the line: the frames are measured later than their count says (a
// step smaller than the late limit, such as a stream paused and resumed).
constexpr int kHighBlocks = 3;
constexpr int64_t kHighBlockNs = 1000000;
// Weight of one frame in the typical lateness.
constexpr double kTypicalWeight = 1.0 / 32.0;
// How far the guessed period may be off (the two clocks' drift), and how
// far the earliest arrival of a block strays: the guess counts for as much
// as the frames of a few seconds.
constexpr double kGuessPpm = 100.0;
constexpr double kBlockNoiseNs = 30000.0;
// From this many blocks on, the period is fitted again without the quarter
// of them that lie highest.
constexpr int kMinBlocksForTrim = 4;
constexpr int kKeepQuarters = 3;

int64_t SystemMinusMonotonicNs()
{
    using namespace std::chrono;
    const int64_t mono = duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
    const int64_t sys = duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
    return sys - mono;
}

// Rounds half up, as Math.Floor(v + 0.5) would elsewhere.
int64_t RoundNs(double v)
{
    return static_cast<int64_t>(std::floor(v + 0.5));
}

// The least squares slope of the points whose use[] is set, drawn towards
// guess with the given weight (in squared counts).
double GuidedSlope(const double* x, const double* y, const bool* use, int count, double guess, double weight)
{
    double sx = 0, sy = 0;
    int k = 0;
    for (int i = 0; i < count; ++i) {
        if (use[i]) {
            sx += x[i];
            sy += y[i];
            ++k;
        }
    }
    const double mx = sx / k, my = sy / k;
    double sxx = 0, sxy = 0;
    for (int i = 0; i < count; ++i) {
        if (use[i]) {
            sxx += (x[i] - mx) * (x[i] - mx);
            sxy += (x[i] - mx) * (y[i] - my);
        }
    }
    return (sxy + weight * guess) / (sxx + weight);
}

// The k-th smallest of the values (from 0); reorders them. Any selection
// gives the same value, so a port may sort instead.
double OrderStatistic(double* v, int count, int k)
{
    std::nth_element(v, v + k, v + count);
    return v[k];
}

} // namespace

FrameClock::FrameClock() : m_systemOffsetNs(SystemMinusMonotonicNs())
{
}

void FrameClock::SetNominalPeriodNs(int64_t periodNs)
{
    if (periodNs <= 0 || periodNs == m_nominalPeriodNs) {
        if (periodNs <= 0)
            m_nominalPeriodNs = 0;
        return;
    }
    if (!m_anchored || m_periodNs <= 0) {
        m_periodNs = static_cast<double>(periodNs);
        m_pendingPeriodNs = 0;
    } else {
        // The tracker's clock keeps its drift at the new rate.
        const double ratio = m_nominalPeriodNs > 0 ? m_periodNs / static_cast<double>(m_nominalPeriodNs) : 1.0;
        m_pendingPeriodNs = RoundNs(static_cast<double>(periodNs) * ratio);
    }
    m_nominalPeriodNs = periodNs;
}

void FrameClock::Reset()
{
    Clear();
    m_haveCount = false;
    m_periodNs = static_cast<double>(m_nominalPeriodNs);
    m_pendingPeriodNs = 0;
    m_typicalExcessNs = 0;
    m_systemOffsetNs = SystemMinusMonotonicNs();
}

void FrameClock::Restart(bool unexplained)
{
    if (unexplained)
        ++m_restarts;
    else
        ++m_reanchors;
    Clear();
}

void FrameClock::Clear()
{
    m_anchored = false;
    m_blockOpen = false;
    m_blockHead = 0;
    m_blockCount = 0;
    m_lateFrames = 0;
    m_highBlocks = 0;
}

void FrameClock::Anchor(int64_t n, int64_t arrivalNs)
{
    m_t0 = arrivalNs;
    m_n0 = n;
    m_anchored = true;
}

int64_t FrameClock::LineAt(int64_t n) const
{
    return m_t0 + RoundNs(static_cast<double>(n - m_n0) * m_periodNs);
}

FrameTime FrameClock::Stamp(uint32_t frameCount, int64_t arrivalNs)
{
    // The count, unwrapped: a step back of less than half the 32-bit range
    // is a count set back, anything else a step forward (a wrap included).
    bool countSetBack = false;
    if (!m_haveCount) {
        m_n = frameCount;
        m_haveCount = true;
    } else {
        const uint32_t step = frameCount - m_lastCount;
        if (step >= 0x80000000u) {
            countSetBack = true;
            m_n += 1;
        } else {
            m_n += step;
        }
    }
    m_lastCount = frameCount;
    if (countSetBack)
        Restart(false);
    const int64_t n = m_n;

    int64_t stamp = arrivalNs;
    if (m_periodNs <= 0) {
        // No period yet: the arrival, while the first block shows the rate.
        if (!m_blockOpen) {
            m_blockOpen = true;
            m_blockStartNs = arrivalNs;
            m_blockFirstN = n;
            m_blockFirstA = arrivalNs;
        } else if (arrivalNs - m_blockStartNs >= kBlockNs && n > m_blockFirstN) {
            m_periodNs = static_cast<double>(arrivalNs - m_blockFirstA) / static_cast<double>(n - m_blockFirstN);
            m_blockOpen = false;
        }
    } else {
        if (!m_anchored)
            Anchor(n, arrivalNs);
        int64_t line = LineAt(n);
        int64_t excess = arrivalNs - line;
        const bool settled = Settled();
        if (excess < -kEarlyToleranceNs && (settled || m_pendingPeriodNs != 0)) {
            // Earlier than its count allows: the new rate, if one was
            // announced, else a step nothing explains.
            if (m_pendingPeriodNs != 0) {
                m_periodNs = static_cast<double>(m_pendingPeriodNs);
                m_pendingPeriodNs = 0;
                Restart(false);
            } else {
                Restart(true);
            }
            Anchor(n, arrivalNs);
            line = arrivalNs;
            excess = 0;
        } else if (excess < 0 && !settled) {
            // Still learning: the line follows the earliest arrivals down.
            Anchor(n, arrivalNs);
            line = arrivalNs;
            excess = 0;
        }

        const double lateLimit = std::fmax(static_cast<double>(kMinLateNs), kLateFactor * m_typicalExcessNs);
        if (static_cast<double>(excess) > lateLimit) {
            if (m_pendingPeriodNs != 0) {
                m_periodNs = static_cast<double>(m_pendingPeriodNs);
                m_pendingPeriodNs = 0;
                Restart(false);
                Anchor(n, arrivalNs);
                line = arrivalNs;
                excess = 0;
            } else if (Settled()) {
                NoteLate(arrivalNs);
                if (!m_anchored) {
                    Anchor(n, arrivalNs);
                    line = arrivalNs;
                    excess = 0;
                }
            }
        } else {
            m_lateFrames = 0;
            if (excess >= 0)
                m_typicalExcessNs += (static_cast<double>(excess) - m_typicalExcessNs) * kTypicalWeight;
        }

        // The block's earliest arrival, measured against the line now.
        if (!m_blockOpen) {
            m_blockOpen = true;
            m_blockStartNs = arrivalNs;
            m_blockStartN = n;
            m_blockMinN = n;
            m_blockMinA = arrivalNs;
        } else if (excess < m_blockMinA - LineAt(m_blockMinN)) {
            m_blockMinN = n;
            m_blockMinA = arrivalNs;
        }
        stamp = line < arrivalNs ? line : arrivalNs;
        if (arrivalNs - m_blockStartNs >= kBlockNs && n - m_blockStartN >= kBlockFrames)
            EndBlock();
    }

    // Every frame a later stamp than the one before: frames are measured
    // one after the other.
    if (m_anyStamp && stamp <= m_lastStampNs)
        stamp = m_lastStampNs + 1;
    m_lastStampNs = stamp;
    m_anyStamp = true;
    return FrameTime{stamp, stamp + m_systemOffsetNs};
}

void FrameClock::NoteLate(int64_t arrivalNs)
{
    if (m_lateFrames == 0)
        m_lateSinceNs = arrivalNs;
    ++m_lateFrames;
    if (m_lateFrames >= kLateFrames && arrivalNs - m_lateSinceNs >= kLateRunNs)
        Restart(true);
}

void FrameClock::EndBlock()
{
    m_blockOpen = false;
    const int64_t lowest = m_blockMinA - LineAt(m_blockMinN);
    m_highBlocks = lowest > kHighBlockNs ? m_highBlocks + 1 : 0;
    if (m_highBlocks >= kHighBlocks && Settled()) {
        Restart(true);
        Anchor(m_blockMinN, m_blockMinA);
        return;
    }
    const int slot = (m_blockHead + m_blockCount) % kBlocks;
    m_blockN[slot] = m_blockMinN;
    m_blockA[slot] = m_blockMinA;
    if (m_blockCount < kBlocks)
        ++m_blockCount;
    else
        m_blockHead = (m_blockHead + 1) % kBlocks;
    Fit();
}

void FrameClock::Fit()
{
    const int count = m_blockCount;
    if (count < 2)
        return;
    // Relative to the newest point, so that the numbers stay small.
    const int newest = (m_blockHead + count - 1) % kBlocks;
    const int64_t nb = m_blockN[newest];
    const int64_t ab = m_blockA[newest];
    double x[kBlocks], y[kBlocks], r[kBlocks];
    bool use[kBlocks];
    for (int i = 0; i < count; ++i) {
        const int k = (m_blockHead + i) % kBlocks;
        x[i] = static_cast<double>(m_blockN[k] - nb);
        y[i] = static_cast<double>(m_blockA[k] - ab);
        use[i] = true;
    }

    // The period: least squares through the blocks' earliest arrivals,
    // drawn towards the period in use as much as a few seconds of frames
    // would draw it; then again without the highest quarter of them
    // (blocks the host held up throughout).
    const double noise = kGuessPpm * 1e-6 * m_periodNs;
    const double weight = (kBlockNoiseNs / noise) * (kBlockNoiseNs / noise);
    double slope = GuidedSlope(x, y, use, count, m_periodNs, weight);
    if (count >= kMinBlocksForTrim) {
        for (int i = 0; i < count; ++i)
            r[i] = y[i] - slope * x[i];
        const double cut = OrderStatistic(r, count, (count * kKeepQuarters) / 4);
        for (int i = 0; i < count; ++i)
            use[i] = y[i] - slope * x[i] <= cut;
        slope = GuidedSlope(x, y, use, count, m_periodNs, weight);
    }
    if (!(slope > 0))
        return; // nothing a tracker's frames could show: the line stays

    // The line lies under every earliest arrival of the last kLineBlocks:
    // with the period known to about a part per million, a frame that got
    // through quickly marks the line for half a minute, while the least
    // delay of a few seconds wanders by tens of microseconds with the host.
    const int lineFrom = count > kLineBlocks ? count - kLineBlocks : 0;
    double at0 = y[lineFrom] - slope * x[lineFrom];
    for (int i = lineFrom + 1; i < count; ++i) {
        const double residual = y[i] - slope * x[i];
        if (residual < at0)
            at0 = residual;
    }
    m_periodNs = slope;
    m_t0 = ab + RoundNs(at0);
    m_n0 = nb;
    m_anchored = true;
}

} // namespace sxframes
