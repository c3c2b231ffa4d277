// When each P&O frame was measured: the C# twin of the applications' frame
// clock (common/frames/FrameClock, described in docs/timing.md), kept line for
// line with it so that a change there is ported here whole. One FrameClock
// per connected tracker turns each frame's count and arrival time into its
// measurement time on the host's monotonic clock and on the system clock.
//
// The model: measurement time = t0 + frame count x period, the line laid
// under the earliest arrivals of each quarter second (a frame never arrives
// before it was measured), the period fitted to the last 64 s of them. The
// arithmetic is the C++ model's plain long and double arithmetic in the same
// order, so both give the same stamps to the nanosecond; a test replays the
// C++ model's vectors through this one. Stamp runs on the reading thread for
// every frame: it never allocates (the fit's arrays are the object's) and
// never makes a stamp run backwards.
using System;
using System.Diagnostics;

namespace SXCmdIF
{
/// <summary>One instant on the host's two clocks.</summary>
public struct FrameTime
{
    /// <summary>The monotonic clock, ns (as the library's time stamps).</summary>
    public long MonotonicNs;
    /// <summary>The system clock: Unix epoch, UTC, ns.</summary>
    public long SystemNs;
}

/// <summary>The measurement time of each frame from its frame count and arrival.</summary>
public sealed class FrameClock
{
    // The earliest arrivals kept, one per block of at least BlockNs and
    // BlockFrames frames; the line lies under the newest LineBlocks.
    const int Blocks = 256;
    const int LineBlocks = 128;
    const long BlockNs = 250000000;
    const long BlockFrames = 32;
    const int MinBlocksForSlope = 2;

    // A frame this much earlier than the line puts it cannot have been
    // measured there: the count and the host's clock have parted.
    const long EarlyToleranceNs = 2000000;
    // Frames count as late when they are this much later than the line and
    // LateFactor times later than frames usually are.
    const long MinLateNs = 2000000;
    const double LateFactor = 4.0;
    // A step to later times is believed after this many late frames over
    // this long: a held-up host delivers a burst, then frames on time again.
    const int LateFramesForStep = 8;
    const long LateRunNs = 100000000;
    // The earliest arrivals of this many blocks in a row all this much later
    // than the line: the frames are measured later than their count says.
    const int HighBlocksForStep = 3;
    const long HighBlockNs = 1000000;
    // Weight of one frame in the typical lateness.
    const double TypicalWeight = 1.0 / 32.0;
    // How far the guessed period may be off, and how far the earliest
    // arrival of a block strays: the guess counts for a few seconds of frames.
    const double GuessPpm = 100.0;
    const double BlockNoiseNs = 30000.0;
    // From this many blocks on, the period is fitted again without the
    // quarter of them that lie highest.
    const int MinBlocksForTrim = 4;
    const int KeepQuarters = 3;

    long m_systemOffsetNs; // system clock minus monotonic clock
    long m_nominalPeriodNs;
    long m_pendingPeriodNs; // announced, not yet seen in the frames
    ulong m_restarts;
    ulong m_reanchors;
    long m_lastStampNs;
    bool m_anyStamp;

    // The frame count, unwrapped past 32 bits.
    bool m_haveCount;
    uint m_lastCount;
    long m_n;

    // The line: t0 + (n - n0) x period.
    double m_periodNs;
    bool m_anchored;
    long m_t0;
    long m_n0;

    // The block under way: its start and its earliest arrival.
    bool m_blockOpen;
    long m_blockStartNs;
    long m_blockStartN;
    long m_blockFirstN;
    long m_blockFirstA;
    long m_blockMinN;
    long m_blockMinA;

    // Earliest arrivals of the last Blocks blocks, oldest first from m_blockHead.
    readonly long[] m_blockN = new long[Blocks];
    readonly long[] m_blockA = new long[Blocks];
    int m_blockHead;
    int m_blockCount;

    // How late frames usually are over the line, and a run of frames all
    // far later than that.
    double m_typicalExcessNs;
    int m_lateFrames;
    long m_lateSinceNs;
    int m_highBlocks; // blocks in a row whose earliest arrival is well above the line

    // The fit's working arrays, made once: the fit runs on the reading thread.
    readonly double[] m_x = new double[Blocks];
    readonly double[] m_y = new double[Blocks];
    readonly double[] m_r = new double[Blocks];
    readonly bool[] m_use = new bool[Blocks];

    public FrameClock() { m_systemOffsetNs = SystemMinusMonotonicNs(); }

    /// <summary>The period the tracker was set to, as a first guess before the
    /// fit has learned it (0: unknown). A new rate set mid-stream is announced
    /// here: the fit moves to it when the frames show the new rate.</summary>
    public void SetNominalPeriodNs(long periodNs)
    {
        if (periodNs <= 0 || periodNs == m_nominalPeriodNs) {
            if (periodNs <= 0)
                m_nominalPeriodNs = 0;
            return;
        }
        if (!m_anchored || m_periodNs <= 0) {
            m_periodNs = (double)periodNs;
            m_pendingPeriodNs = 0;
        } else {
            // The tracker's clock keeps its drift at the new rate.
            double ratio = m_nominalPeriodNs > 0 ? m_periodNs / (double)m_nominalPeriodNs : 1.0;
            m_pendingPeriodNs = RoundNs((double)periodNs * ratio);
        }
        m_nominalPeriodNs = periodNs;
    }

    /// <summary>Forgets the fit (a new connection, or a stream restarted on
    /// purpose). The system clock's offset is taken again.</summary>
    public void Reset()
    {
        Clear();
        m_haveCount = false;
        m_periodNs = (double)m_nominalPeriodNs;
        m_pendingPeriodNs = 0;
        m_typicalExcessNs = 0;
        m_systemOffsetNs = SystemMinusMonotonicNs();
    }

    /// <summary>The system clock minus the monotonic clock, as measured when
    /// the clock was made or reset; a recording carries the one of its session.</summary>
    public void SetSystemOffsetNs(long offsetNs) { m_systemOffsetNs = offsetNs; }

    /// <summary>The system clock minus the monotonic clock in use, ns.</summary>
    public long SystemOffsetNs { get { return m_systemOffsetNs; } }

    /// <summary>Times the fit started again on a step it could not explain (a
    /// frame earlier than its count allows, or every frame late for a while).</summary>
    public ulong Restarts { get { return m_restarts; } }

    /// <summary>Times it started again on a step it could explain: the frame
    /// count set back, or a new rate announced and seen.</summary>
    public ulong Reanchors { get { return m_reanchors; } }

    /// <summary>The period in use, ns (0: not known yet).</summary>
    public double PeriodNs { get { return m_periodNs; } }

    /// <summary>True once the period comes from the frames rather than the guess.</summary>
    public bool Settled { get { return m_blockCount >= MinBlocksForSlope; } }

    /// <summary>The nominal period last announced, ns (0: none).</summary>
    public long NominalPeriodNs { get { return m_nominalPeriodNs; } }

    void Restart(bool unexplained)
    {
        if (unexplained)
            ++m_restarts;
        else
            ++m_reanchors;
        Clear();
    }

    void Clear()
    {
        m_anchored = false;
        m_blockOpen = false;
        m_blockHead = 0;
        m_blockCount = 0;
        m_lateFrames = 0;
        m_highBlocks = 0;
    }

    void Anchor(long n, long arrivalNs)
    {
        m_t0 = arrivalNs;
        m_n0 = n;
        m_anchored = true;
    }

    long LineAt(long n) { return m_t0 + RoundNs((double)(n - m_n0) * m_periodNs); }

    /// <summary>One frame: its frame count and its arrival on the monotonic
    /// clock; gives its measurement time, later than the one before.</summary>
    public FrameTime Stamp(uint frameCount, long arrivalNs)
    {
        // The count, unwrapped: a step back of less than half the 32-bit range
        // is a count set back, anything else a step forward (a wrap included).
        bool countSetBack = false;
        if (!m_haveCount) {
            m_n = frameCount;
            m_haveCount = true;
        } else {
            uint step = unchecked(frameCount - m_lastCount);
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
        long n = m_n;

        long stamp = arrivalNs;
        if (m_periodNs <= 0) {
            // No period yet: the arrival, while the first block shows the rate.
            if (!m_blockOpen) {
                m_blockOpen = true;
                m_blockStartNs = arrivalNs;
                m_blockFirstN = n;
                m_blockFirstA = arrivalNs;
            } else if (arrivalNs - m_blockStartNs >= BlockNs && n > m_blockFirstN) {
                m_periodNs = (double)(arrivalNs - m_blockFirstA) / (double)(n - m_blockFirstN);
                m_blockOpen = false;
            }
        } else {
            if (!m_anchored)
                Anchor(n, arrivalNs);
            long line = LineAt(n);
            long excess = arrivalNs - line;
            bool settled = Settled;
            if (excess < -EarlyToleranceNs && (settled || m_pendingPeriodNs != 0)) {
                // Earlier than its count allows: the new rate, if one was
                // announced, else a step nothing explains.
                if (m_pendingPeriodNs != 0) {
                    m_periodNs = (double)m_pendingPeriodNs;
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

            double lateLimit = Math.Max((double)MinLateNs, LateFactor * m_typicalExcessNs);
            if ((double)excess > lateLimit) {
                if (m_pendingPeriodNs != 0) {
                    m_periodNs = (double)m_pendingPeriodNs;
                    m_pendingPeriodNs = 0;
                    Restart(false);
                    Anchor(n, arrivalNs);
                    line = arrivalNs;
                    excess = 0;
                } else if (Settled) {
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
                    m_typicalExcessNs += ((double)excess - m_typicalExcessNs) * TypicalWeight;
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
            if (arrivalNs - m_blockStartNs >= BlockNs && n - m_blockStartN >= BlockFrames)
                EndBlock();
        }

        // Every frame a later stamp than the one before: frames are measured
        // one after the other.
        if (m_anyStamp && stamp <= m_lastStampNs)
            stamp = m_lastStampNs + 1;
        m_lastStampNs = stamp;
        m_anyStamp = true;
        return new FrameTime { MonotonicNs = stamp, SystemNs = stamp + m_systemOffsetNs };
    }

    void NoteLate(long arrivalNs)
    {
        if (m_lateFrames == 0)
            m_lateSinceNs = arrivalNs;
        ++m_lateFrames;
        if (m_lateFrames >= LateFramesForStep && arrivalNs - m_lateSinceNs >= LateRunNs)
            Restart(true);
    }

    void EndBlock()
    {
        m_blockOpen = false;
        long lowest = m_blockMinA - LineAt(m_blockMinN);
        m_highBlocks = lowest > HighBlockNs ? m_highBlocks + 1 : 0;
        if (m_highBlocks >= HighBlocksForStep && Settled) {
            Restart(true);
            Anchor(m_blockMinN, m_blockMinA);
            return;
        }
        int slot = (m_blockHead + m_blockCount) % Blocks;
        m_blockN[slot] = m_blockMinN;
        m_blockA[slot] = m_blockMinA;
        if (m_blockCount < Blocks)
            ++m_blockCount;
        else
            m_blockHead = (m_blockHead + 1) % Blocks;
        Fit();
    }

    void Fit()
    {
        int count = m_blockCount;
        if (count < 2)
            return;
        // Relative to the newest point, so that the numbers stay small.
        int newest = (m_blockHead + count - 1) % Blocks;
        long nb = m_blockN[newest];
        long ab = m_blockA[newest];
        double[] x = m_x, y = m_y, r = m_r;
        bool[] use = m_use;
        for (int i = 0; i < count; ++i) {
            int k = (m_blockHead + i) % Blocks;
            x[i] = (double)(m_blockN[k] - nb);
            y[i] = (double)(m_blockA[k] - ab);
            use[i] = true;
        }

        // The period: least squares through the blocks' earliest arrivals,
        // drawn towards the period in use as much as a few seconds of frames
        // would draw it; then again without the highest quarter of them.
        double noise = GuessPpm * 1e-6 * m_periodNs;
        double weight = (BlockNoiseNs / noise) * (BlockNoiseNs / noise);
        double slope = GuidedSlope(x, y, use, count, m_periodNs, weight);
        if (count >= MinBlocksForTrim) {
            for (int i = 0; i < count; ++i)
                r[i] = y[i] - slope * x[i];
            double cut = OrderStatistic(r, count, (count * KeepQuarters) / 4);
            for (int i = 0; i < count; ++i)
                use[i] = y[i] - slope * x[i] <= cut;
            slope = GuidedSlope(x, y, use, count, m_periodNs, weight);
        }
        if (!(slope > 0))
            return; // nothing a tracker's frames could show: the line stays

        // The line lies under every earliest arrival of the last LineBlocks.
        int lineFrom = count > LineBlocks ? count - LineBlocks : 0;
        double at0 = y[lineFrom] - slope * x[lineFrom];
        for (int i = lineFrom + 1; i < count; ++i) {
            double residual = y[i] - slope * x[i];
            if (residual < at0)
                at0 = residual;
        }
        m_periodNs = slope;
        m_t0 = ab + RoundNs(at0);
        m_n0 = nb;
        m_anchored = true;
    }

    // Rounds half up, as the C++ model's std::floor(v + 0.5).
    static long RoundNs(double v) { return (long)Math.Floor(v + 0.5); }

    // The least squares slope of the points whose use[] is set, drawn towards
    // guess with the given weight (in squared counts).
    static double GuidedSlope(double[] x, double[] y, bool[] use, int count, double guess, double weight)
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
        double mx = sx / k, my = sy / k;
        double sxx = 0, sxy = 0;
        for (int i = 0; i < count; ++i) {
            if (use[i]) {
                sxx += (x[i] - mx) * (x[i] - mx);
                sxy += (x[i] - mx) * (y[i] - my);
            }
        }
        return (sxy + weight * guess) / (sxx + weight);
    }

    // The k-th smallest of the values (from 0), in place: Wirth's selection.
    // Any selection gives the value std::nth_element gives the C++ model.
    static double OrderStatistic(double[] v, int count, int k)
    {
        int lo = 0, hi = count - 1;
        while (lo < hi) {
            double pivot = v[k];
            int i = lo, j = hi;
            do {
                while (v[i] < pivot)
                    ++i;
                while (pivot < v[j])
                    --j;
                if (i <= j) {
                    double t = v[i];
                    v[i] = v[j];
                    v[j] = t;
                    ++i;
                    --j;
                }
            } while (i <= j);
            if (j < k)
                lo = i;
            if (k < i)
                hi = j;
        }
        return v[k];
    }

    static long SystemMinusMonotonicNs()
    {
        long mono = MonotonicNs();
        long sys = (DateTime.UtcNow.Ticks - UnixEpochTicks) * 100;
        return sys - mono;
    }

    const long UnixEpochTicks = 621355968000000000L;

    /// <summary>The host's monotonic clock in ns: the clock of the library's
    /// time stamps (CLOCK_MONOTONIC on Linux, the performance counter on Windows).</summary>
    public static long MonotonicNs()
    {
        long t = Stopwatch.GetTimestamp();
        long f = Stopwatch.Frequency;
        if (1000000000L % f == 0)
            return t * (1000000000L / f);
        return t / f * 1000000000L + t % f * 1000000000L / f;
    }
}
}
