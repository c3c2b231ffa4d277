// One tracker: a library context with one connected device, the object C#
// applications write against. Its handles are SafeHandles, so a tracker
// that is never disposed still releases its device when it is collected.
using System;
using System.Runtime.InteropServices;
using System.Threading;
using SXCmdIF.Interop;

namespace SXCmdIF
{
/// <summary>Receives a P&amp;O frame on the device's reading thread. The frame
/// is the tracker's own, filled again for the next one: copy what you keep
/// (a Frame is a struct: <c>var mine = frame;</c>). Do not dispose the
/// tracker or send it commands from here.</summary>
public delegate void FrameHandler(in Frame frame);

/// <summary>One tracker. Open it with <see cref="OpenSerial"/>,
/// <see cref="OpenUsb"/> or <see cref="OpenHub"/> and dispose it when done
/// (<c>using</c>): that stops continuous output and releases the device and
/// its context.</summary>
public sealed unsafe partial class Tracker : IDisposable
{
    /// <summary>How long a command waits for its answer unless told otherwise.</summary>
    public const int DefaultTimeoutMs = 500;
    /// <summary>How often a serial connection is tried while nothing answers.</summary>
    public const int DefaultRetries = 3;

    readonly ContextHandle m_ctx;
    readonly DeviceHandle m_dev;
    readonly object m_lock = new object();
    readonly FrameSink m_sink = new FrameSink();
    readonly string m_kind;
    int m_timeoutMs;
    bool m_disposed;
    volatile bool m_streaming;

    Tracker(ContextHandle ctx, IntPtr dev, string kind, int timeoutMs)
    {
        m_ctx = ctx;
        m_dev = new DeviceHandle(ctx, dev);
        m_kind = kind;
        // The native callback reaches the reading thread's side of the
        // tracker through a weak handle: a tracker nobody holds is collected,
        // and its device released.
        m_dev.KeepCallbackArg(GCHandle.ToIntPtr(GCHandle.Alloc(m_sink, GCHandleType.Weak)));
        TimeoutMs = timeoutMs;
        Check(Native.sxdev_tsenable(m_ctx.DangerousGetHandle(), dev, true), "sxdev_tsenable");
    }

    // ---- Opening ------------------------------------------------------------------

    /// <summary>The tracker on serial port <paramref name="port"/> (numbered
    /// from 1 as `sxtool list` shows them, or as SXSERIO_PORTS names them; 0:
    /// the first port that answers). cfg is the configuration word (bits 0-3
    /// baud index, 4-5 parity; 0: 115200 baud, no parity). The connection is
    /// tried up to <paramref name="retries"/> times while nothing answers, as
    /// sxtool does; then commands wait timeoutMs for their answers.</summary>
    public static Tracker OpenSerial(int port = 1, int cfg = 0, int timeoutMs = DefaultTimeoutMs,
                                     int retries = DefaultRetries)
    {
        CheckRange("port", port, 0, 255);
        CheckRange("retries", retries, 1, 100);
        return Open("serial port " + port, timeoutMs, (IntPtr c, ref IntPtr d) => {
            int rc = (int)ErrorCode.E_SXERR_NOTFOUND;
            for (int i = 0; i < retries && (rc & 0xFFFF) == (int)ErrorCode.E_SXERR_NOTFOUND; ++i)
                rc = Native.sxctx_connectser(c, ref d, port, cfg);
            return rc;
        });
    }

    /// <summary>The first tracker on USB; with a non-zero tag a tag device of
    /// the sibling family.</summary>
    public static Tracker OpenUsb(uint tag = 0, int timeoutMs = DefaultTimeoutMs)
    {
        return Open(tag == 0 ? "usb" : "usb tag " + tag, timeoutMs, (IntPtr c, ref IntPtr d) =>
            tag == 0 ? Native.sxctx_connectusb(c, ref d, UsbIds.PID_SORIX)
                     : Native.sxctx_connectusbtag(c, ref d, UsbIds.PID_Q7_TAG, tag));
    }

    /// <summary>A unit through the sibling family's USB hub.</summary>
    public static Tracker OpenHub(int timeoutMs = DefaultTimeoutMs)
    {
        return Open("hub", timeoutMs, (IntPtr c, ref IntPtr d) => Native.sxctx_connectusb_q7p(c, ref d, 0));
    }

    delegate int Connect(IntPtr ctx, ref IntPtr dev);

    static Tracker Open(string kind, int timeoutMs, Connect connect)
    {
        CheckRange("timeoutMs", timeoutMs, 0, 3600000);
        var ctx = ContextHandle.Create();
        try {
            IntPtr dev = IntPtr.Zero;
            int rc = connect(ctx.DangerousGetHandle(), ref dev);
            if (rc != 0) {
                // A USB connection whose first commands failed is registered
                // all the same: it goes with the context.
                throw new SXException(rc, "open " + kind);
            }
            return new Tracker(ctx, dev, kind, timeoutMs);
        } catch {
            ctx.Dispose();
            throw;
        }
    }

    static void CheckRange(string name, int value, int low, int high)
    {
        if (value < low || value > high)
            throw new ArgumentOutOfRangeException(name, value, name + " takes " + low + " to " + high);
    }

    // ---- The device -----------------------------------------------------------------

    /// <summary>How the tracker is connected ("serial port 1", "usb", "hub").</summary>
    public string Kind { get { return m_kind; } }

    /// <summary>Whether the tracker is open (not yet disposed).</summary>
    public bool IsOpen { get { lock (m_lock) return !m_disposed; } }

    /// <summary>How long a command waits for its answer, in milliseconds.</summary>
    public int TimeoutMs
    {
        get { return m_timeoutMs; }
        set {
            CheckRange("TimeoutMs", value, 0, 3600000);
            using (var u = Use()) {
                Check(Native.sxdev_timeoutms(u.Ctx, u.Dev, 0, value), "set the time-out");
                m_timeoutMs = value;
            }
        }
    }

    /// <summary>The unit's identity as read at connection.</summary>
    public WhoamiStruct Identity
    {
        get {
            WhoamiStruct who;
            int seuid;
            Info(out who, out seuid);
            return who;
        }
    }

    /// <summary>The unit identifier read at connection.</summary>
    public int SeuId
    {
        get {
            WhoamiStruct who;
            int seuid;
            Info(out who, out seuid);
            return seuid;
        }
    }

    void Info(out WhoamiStruct identity, out int seuid)
    {
        IntPtr who = IntPtr.Zero;
        int id = 0;
        using (var u = Use()) {
            Check(Native.sxdev_info(u.Ctx, u.Dev, ref who, &id), "identity");
            // The record is the device's: copied while the device is held.
            identity = *(WhoamiStruct*)who;
            seuid = id;
        }
    }

    /// <summary>The library's report line of the device.</summary>
    public string Report()
    {
        IntPtr text = IntPtr.Zero;
        using (var u = Use()) {
            Check(Native.sxdev_report(u.Ctx, u.Dev, ref text), "report");
            return Marshal.PtrToStringAnsi(text);
        }
    }

    /// <summary>The device's trace level (0 to 7).</summary>
    public void SetTrace(int level)
    {
        using (var u = Use()) {
            Check(Native.sxdev_trace(u.Ctx, u.Dev, level), "set the trace level");
        }
    }

    /// <summary>Makes the unit keep its present configuration over a power cycle.</summary>
    public void Persist()
    {
        using (var u = Use()) {
            Check(Native.sxcmd_dev_persist(u.Ctx, u.Dev), "persist");
        }
    }

    // ---- Items ---------------------------------------------------------------------

    /// <summary>Resets an item to the unit's default (a sensor item without a
    /// sensor: every sensor).</summary>
    public void Reset(Item item, int? sensor = null, int? source = null, int arg2 = 0)
    {
        Exchange(item, CmdAction.CMD_ACTION_RESET, null, null, sensor, source, arg2);
    }

    // The typed Get and Set of every record are generated (Tables.g.cs) and
    // come here.
    void Exchange(Item item, CmdAction action, void* payload, Type type, int? sensor, int? source, int arg2)
    {
        ItemRow row = Items.Row(item);
        string verb = action == CmdAction.CMD_ACTION_GET ? "get" : action == CmdAction.CMD_ACTION_SET ? "set" : "reset";
        string what = verb + " " + row.Name;
        var wanted = (ItemActions)(1 << (int)action);
        if ((row.Actions & wanted) == 0)
            throw new ArgumentException(what + ": the item takes " + ActionWords(row.Actions) + " only", "item");
        if (type != null && type != row.Record)
            throw new ArgumentException(what + ": the item carries " + (row.Record == null ? "no record" : row.Record.Name) +
                                        ", not " + type.Name, "item");
        ItemLevel level;
        int index = Address(row, action, sensor, source, what, out level);
        int rc;
        using (var u = Use()) {
            rc = row.Call(u.Ctx, u.Dev, level, index, action, payload, arg2);
        }
        Check(rc, what);
    }

    static int Address(ItemRow row, CmdAction action, int? sensor, int? source, string what, out ItemLevel level)
    {
        if (sensor.HasValue && source.HasValue)
            throw new ArgumentException(what + ": name a sensor or a source, not both");
        if (row.AtSensor && (sensor.HasValue || (!row.AtUnit && !row.AtSource))) {
            level = ItemLevel.Sensor;
            if (!sensor.HasValue) {
                if (action == CmdAction.CMD_ACTION_GET)
                    throw new ArgumentException(what + ": a read needs one sensor, not every sensor; name the sensor (0 to 15)", "sensor");
                return -1; // every sensor
            }
            if (sensor.Value < 0 || sensor.Value > 15)
                throw new ArgumentOutOfRangeException("sensor", sensor.Value,
                    "sensor " + sensor.Value + " does not exist: sensors are numbered 0 to 15");
            return sensor.Value;
        }
        if (row.AtSource && (source.HasValue || (!row.AtUnit && !row.AtSensor))) {
            level = ItemLevel.Source;
            if (!source.HasValue)
                throw new ArgumentException(what + ": name the source (0 to 3)", "source");
            if (source.Value < 0 || source.Value > 3)
                throw new ArgumentOutOfRangeException("source", source.Value,
                    "source " + source.Value + " does not exist: sources are numbered 0 to 3");
            return source.Value;
        }
        if (sensor.HasValue || source.HasValue)
            throw new ArgumentException(what + ": an item of the unit takes no " + (sensor.HasValue ? "sensor" : "source"));
        level = ItemLevel.Unit;
        return 0;
    }

    static string ActionWords(ItemActions a)
    {
        var words = new System.Collections.Generic.List<string>();
        if ((a & ItemActions.Get) != 0) words.Add("get");
        if ((a & ItemActions.Set) != 0) words.Add("set");
        if ((a & ItemActions.Reset) != 0) words.Add("reset");
        return string.Join(" and ", words.ToArray());
    }

    // ---- P&O --------------------------------------------------------------------------

    /// <summary>Whether continuous output was started here.</summary>
    public bool Streaming { get { return m_streaming; } }

    /// <summary>Starts continuous P&amp;O output; with clear, frames still queued
    /// are dropped first.</summary>
    public void Start(bool clear = true)
    {
        using (var u = Use()) {
            if (clear)
                Check(Native.sxctx_dev_resetpnocounters(u.Ctx, u.Dev), "clear the queue");
            FramerateConfig rate;
            Check(Native.sxcmd_dev_framerate(u.Ctx, u.Dev, CmdAction.CMD_ACTION_GET, &rate), "get framerate");
            if (rate.Hz > 0)
                m_sink.Clock.SetNominalPeriodNs(1000000000L / rate.Hz);
            Check(Native.sxcmd_dev_contpno(u.Ctx, u.Dev, CmdAction.CMD_ACTION_SET, null, 0), "start");
            m_streaming = true;
        }
    }

    /// <summary>Stops continuous P&amp;O output (the stop is sent again when its
    /// answer is late).</summary>
    public void Stop()
    {
        using (var u = Use()) {
            int rc = Native.sxcmd_dev_contpno(u.Ctx, u.Dev, CmdAction.CMD_ACTION_RESET, null, 0);
            if ((rc & 0xFFFF) == (int)ErrorCode.E_CTXERR_DEV_RECV_QUEUE_EMPTY)
                rc = Native.sxcmd_dev_contpno(u.Ctx, u.Dev, CmdAction.CMD_ACTION_RESET, null, 0);
            m_streaming = false;
            Check(rc, "stop");
        }
    }

    /// <summary>Takes the oldest queued frame, without waiting; false when the
    /// queue is empty.</summary>
    public bool TryRead(out Frame frame)
    {
        frame = default(Frame);
        SxFrameInfo fi;
        using (var u = Use()) {
            int rc = Native.sxctx_dev_fifopnofraw(u.Ctx, u.Dev, &fi);
            if ((rc & 0xFFFF) == (int)ErrorCode.E_CTXERR_NO_MORE_DATA)
                return false;
            Check(rc, "read a frame");
            // The bytes are the device's: decoded at once, while it is held.
            frame.DecodeRaw((byte*)fi.PFrame, fi.FrameLen);
        }
        frame.Seq = fi.SeqNum;
        frame.ErrorCode = fi.ErrCode;
        frame.ArrivalNs = fi.TimeStamp != 0 ? (long)fi.TimeStamp : FrameClock.MonotonicNs();
        lock (m_sink.Clock)
            frame.Time = m_sink.Clock.Stamp(frame.FrameCount, frame.ArrivalNs);
        return true;
    }

    /// <summary>Takes the oldest queued frame, waiting up to timeoutMs for one
    /// to arrive (the queue is looked at every two milliseconds); false when
    /// none came.</summary>
    public bool Read(out Frame frame, int timeoutMs)
    {
        long end = FrameClock.MonotonicNs() + timeoutMs * 1000000L;
        while (!TryRead(out frame)) {
            if (FrameClock.MonotonicNs() >= end)
                return false;
            Thread.Sleep(2);
        }
        return true;
    }

    /// <summary>Frames waiting in the queue.</summary>
    public int Pending
    {
        get {
            uint frames = 0;
            int bytes = 0;
            using (var u = Use()) {
                Check(Native.sxctx_dev_fifo_unread_count(u.Ctx, u.Dev, &frames, &bytes), "count the queue");
            }
            return (int)frames;
        }
    }

    /// <summary>Drops the queued frames and restarts the queue's counters.</summary>
    public void Clear()
    {
        using (var u = Use()) {
            Check(Native.sxctx_dev_resetpnocounters(u.Ctx, u.Dev), "clear the queue");
        }
    }

    /// <summary>Asks the unit for one P&amp;O record.</summary>
    public void Single(out Frame frame)
    {
        frame = default(Frame);
        SxFrameInfo fi;
        using (var u = Use()) {
            Check(Native.sxcmd_dev_singlepno(u.Ctx, u.Dev, &fi, 0), "single");
            frame.DecodeBody((byte*)fi.PFrame, fi.FrameLen);
        }
        frame.ArrivalNs = FrameClock.MonotonicNs();
        lock (m_sink.Clock)
            frame.Time = m_sink.Clock.Stamp(frame.FrameCount, frame.ArrivalNs);
    }

    /// <summary>Hands every frame to handler on the device's reading thread
    /// as it arrives (the queue then stays empty); null goes back to the
    /// queue. Once this returns, the handler set before is not called any more.</summary>
    public void SetFrameHandler(FrameHandler handler)
    {
        using (var u = Use()) {
            if (FrameSink.t_current == m_sink)
                throw new InvalidOperationException("a frame handler cannot change the handler of its own tracker");
            m_sink.Handler = handler;
            Check(Native.sxdev_SetPnoCallback(u.Ctx, u.Dev, handler == null ? null : FrameSink.Callback,
                                              handler == null ? IntPtr.Zero : m_dev.CallbackArg), "set the frame handler");
        }
    }

    /// <summary>Exceptions the frame handler threw (each is caught: none
    /// reaches the library), and the last of them.</summary>
    public long CallbackErrors { get { return Interlocked.Read(ref m_sink.Errors); } }
    public Exception LastCallbackError { get { return m_sink.LastError; } }

    // ---- Handles -------------------------------------------------------------------------

    // Holds the device (and so its context) for one call: a tracker disposed
    // on another thread meanwhile is released when the call is done.
    struct DeviceUse : IDisposable
    {
        internal IntPtr Ctx, Dev;
        DeviceHandle m_handle;
        bool m_held;

        internal DeviceUse(Tracker t)
        {
            lock (t.m_lock) {
                if (t.m_disposed)
                    throw new ObjectDisposedException("Tracker", "the tracker is disposed: open a new one");
                m_handle = t.m_dev;
                m_held = false;
                m_handle.DangerousAddRef(ref m_held);
                Ctx = m_handle.RawContext;
                Dev = m_handle.DangerousGetHandle();
            }
        }

        public void Dispose()
        {
            if (m_held)
                m_handle.DangerousRelease();
            m_held = false;
        }
    }

    DeviceUse Use() { return new DeviceUse(this); }

    static void Check(int rc, string operation)
    {
        if (rc != 0)
            throw new SXException(rc, operation);
    }

    /// <summary>Stops continuous output, releases the device and its context.
    /// The reading thread is stopped first, so once this returns no frame
    /// handler runs. Disposing twice does nothing.</summary>
    public void Dispose()
    {
        if (FrameSink.t_current == m_sink)
            throw new InvalidOperationException("a frame handler cannot dispose its own tracker");
        lock (m_lock) {
            if (m_disposed)
                return;
        }
        if (m_streaming) {
            try {
                Stop();
            } catch (SXException) {
                // A tracker gone away cannot be stopped; it is released all the same.
            }
        }
        lock (m_lock)
            m_disposed = true;
        m_dev.Dispose();
        m_ctx.Dispose();
    }

    public override string ToString()
    {
        return IsOpen ? "Tracker " + m_kind : "Tracker (disposed)";
    }
}
}
