// When each P&O frame was measured: the C# twin of the applications' frame
// clock (tools/frames/FrameClock), kept line for line with it so that a
// change there is ported here whole. One FrameClock per connected tracker
// turns each frame's count and arrival time into its measurement time on the
// host's monotonic clock and on the system clock. Stamp runs on the reading
// thread for every frame: it never allocates and never makes a stamp run
// backwards. A test replays the C++ model's vectors through this one.
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
    long m_nominalPeriodNs;
    long m_lastMonotonicNs;
    long m_systemOffsetNs; // system clock minus monotonic clock
    ulong m_restarts = 0;

    public FrameClock() { m_systemOffsetNs = SystemMinusMonotonicNs(); }

    /// <summary>The period the tracker was set to, as a first guess before the
    /// fit has learned it (0: unknown). A new rate set mid-stream is announced here.</summary>
    public void SetNominalPeriodNs(long periodNs) { m_nominalPeriodNs = periodNs; }

    /// <summary>For now a frame's measurement time is its arrival, kept from
    /// running backwards; the fit on the frame count replaces it.</summary>
    public FrameTime Stamp(uint frameCount, long arrivalMonotonicNs)
    {
        if (arrivalMonotonicNs > m_lastMonotonicNs) m_lastMonotonicNs = arrivalMonotonicNs;
        return new FrameTime { MonotonicNs = m_lastMonotonicNs, SystemNs = m_lastMonotonicNs + m_systemOffsetNs };
    }

    /// <summary>Forgets the fit (a new connection, or a stream restarted on purpose).</summary>
    public void Reset() { m_lastMonotonicNs = 0; }

    /// <summary>Times the fit started again on a step it could not explain.</summary>
    public ulong Restarts { get { return m_restarts; } }

    /// <summary>The nominal period last announced, ns.</summary>
    public long NominalPeriodNs { get { return m_nominalPeriodNs; } }

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
