// The binding against the simulated tracker: items, frames by callback and
// queue, and the lifecycle (release while streaming, a disposed tracker, a
// tracker that goes away, one that is forgotten).
using System;
using System.Linq;
using System.Reflection;
using System.Runtime.CompilerServices;
using System.Runtime.InteropServices;
using System.Threading;
using NUnit.Framework;

namespace SXCmdIF.Tests
{
[TestFixture]
public class Items
{
    Sim m_sim;
    Tracker m_t;

    [TestFixtureSetUp]
    public void Open()
    {
        m_sim = new Sim("--sensors 4 --rate 240 --seuid 7");
        m_t = m_sim.Open();
    }

    [TestFixtureTearDown]
    public void Close()
    {
        m_t.Dispose();
        m_sim.Dispose();
    }

    static byte[] Bytes(object record)
    {
        var b = new byte[Marshal.SizeOf(record.GetType())];
        var h = GCHandle.Alloc(b, GCHandleType.Pinned);
        try {
            Marshal.StructureToPtr(record, h.AddrOfPinnedObject(), false);
        } finally {
            h.Free();
        }
        return b;
    }

    [Test]
    public void EveryItemIsReadAndWrittenBackAsItWas()
    {
        int covered = 0;
        foreach (var row in SXCmdIF.Items.All) {
            if (row.Record == null || (row.Actions & ItemActions.Get) == 0)
                continue;
            int? sensor = row.AtSensor && !row.AtUnit ? 0 : (int?)null;
            int? source = row.AtSource && !row.AtUnit ? 0 : (int?)null;
            var get = typeof(Tracker).GetMethod("Get", new[] { typeof(Item), row.Record.MakeByRefType(), typeof(int?),
                                                               typeof(int?), typeof(int) });
            Assert.IsNotNull(get, row.Name + ": a Get of " + row.Record.Name);
            var args = new object[] { row.Item, null, sensor, source, 0 };
            get.Invoke(m_t, args);
            object was = args[1];
            if ((row.Actions & ItemActions.Set) != 0) {
                var set = typeof(Tracker).GetMethod("Set", new[] { typeof(Item), row.Record, typeof(int?), typeof(int?), typeof(int) });
                set.Invoke(m_t, new object[] { row.Item, was, sensor, source, 0 });
                get.Invoke(m_t, args);
                CollectionAssert.AreEqual(Bytes(was), Bytes(args[1]), row.Name + " read back");
            }
            ++covered;
        }
        Assert.AreEqual(SXCmdIF.Items.All.Count(r => r.Record != null && (r.Actions & ItemActions.Get) != 0), covered);
        Assert.GreaterOrEqual(covered, 24);
    }

    [Test]
    public void TypedValuesAndWords()
    {
        m_t.Set(Item.Units, new UnitsConfig(Words.Parse<PosUnits>("inch"), Words.Parse<OriUnits>("qtrn")));
        UnitsConfig u;
        m_t.Get(Item.Units, out u);
        Assert.AreEqual(PosUnits.Inch, u.PosUnits);
        Assert.AreEqual(OriUnits.Quaternion, u.OriUnits);
        Frame f;
        m_t.Single(out f);
        Assert.AreEqual(4, f.SensorCount);
        Assert.IsTrue(f[0].IsQuaternion);
        Assert.AreEqual(PosUnits.Inch, f[3].PosUnits);
        m_t.Set(Item.Framerate, FramerateConfig.FromHz(120));
        FramerateConfig r;
        m_t.Get(Item.Framerate, out r);
        Assert.AreEqual(120, r.Hz);
        m_t.Set(Item.Filter, new FilterConfig { Level = FilterLevel.Heavy }, 2, null, (int)FilterTarget.Pos);
        FilterConfig fc;
        m_t.Get(Item.Filter, out fc, 2, null, (int)FilterTarget.Pos);
        Assert.AreEqual(FilterLevel.Heavy, fc.Level);
        m_t.Reset(Item.Units);
        m_t.Get(Item.Units, out u);
        Assert.AreEqual(PosUnits.Inch, u.PosUnits); // the unit's default
        WhoamiStruct who;
        m_t.Get(Item.Whoami, out who, 1);
        Assert.IsNotEmpty(who.HwSerNo.ToString());
        StringAssert.Contains(m_t.Identity.DeviceName.ToString(), m_t.Report());
        Assert.AreEqual(7, m_t.SeuId);
        Assert.AreEqual("serial port 1", m_t.Kind);
    }

    [Test]
    public void WrongCallsNameWhatIsAccepted()
    {
        FilterConfig f;
        UnitsConfig u;
        StationMap m;
        StringAssert.StartsWith("get filter: a read needs one sensor, not every sensor; name the sensor (0 to 15)",
                                Assert.Throws<ArgumentException>(() => m_t.Get(Item.Filter, out f)).Message);
        StringAssert.StartsWith("reset stationmap: the item takes get only",
                                Assert.Throws<ArgumentException>(() => m_t.Reset(Item.Stationmap)).Message);
        StringAssert.StartsWith("get units: the item carries UnitsConfig, not FilterConfig",
                                Assert.Throws<ArgumentException>(() => m_t.Get(Item.Units, out f)).Message);
        StringAssert.StartsWith("get units: an item of the unit takes no sensor",
                                Assert.Throws<ArgumentException>(() => m_t.Get(Item.Units, out u, 1)).Message);
        StringAssert.StartsWith("sensor 16 does not exist: sensors are numbered 0 to 15",
                                Assert.Throws<ArgumentOutOfRangeException>(() => m_t.Get(Item.Filter, out f, 16)).Message);
        m_t.Get(Item.Stationmap, out m);
        Assert.AreEqual(0xFu, m.SensorMap);
    }

    [Test]
    public void TraceLinesAreRaisedAsAnEvent()
    {
        var seen = new ManualResetEventSlim();
        int level = -1;
        TraceHandler h = (lv, line) => {
            if (line.Contains("CSXserIO::SetTrace : btrace=true")) {
                level = lv;
                seen.Set();
            }
        };
        Library.TraceLine += h;
        try {
            using (var sim = new Sim("--sensors 1"))
            using (sim.Open()) {
            }
            Assert.IsTrue(seen.Wait(5000), "the serial transport's trace line at connection");
            Assert.LessOrEqual(level, 1);
        } finally {
            Library.TraceLine -= h;
            // Back on the fixture's line.
            Sim.SetPorts(m_sim.Path);
        }
    }
}

[TestFixture]
public class Stream
{
    [Test]
    public void CallbackTakesTwoThousandConsecutiveFramesThroughAGarbageCollectionStorm()
    {
        const int n = 2000;
        var counts = new uint[n];
        var times = new long[n];
        var rec = new Recorder(counts, times);
        using (var sim = new Sim("--sensors 4 --rate 240"))
        using (var t = sim.Open()) {
            t.SetFrameHandler(rec.OnFrame);
            bool storming = true;
            int collections = 0;
            var storm = new Thread(() => {
                while (Volatile.Read(ref storming)) {
                    GC.Collect();
                    ++collections;
                }
            });
            storm.Start();
            t.Start();
            bool finished = rec.Done.Wait(30000);
            Volatile.Write(ref storming, false);
            storm.Join();
            t.SetFrameHandler(null);
            t.Stop();
            Assert.IsTrue(finished, "2000 frames in 30 s (" + rec.Got + ")");
            Assert.AreEqual(0, rec.WrongCounts, "frames of 4 sensors");
            Assert.Greater(collections, 100);
            Assert.AreEqual(0, t.CallbackErrors, t.LastCallbackError == null ? "" : t.LastCallbackError.ToString());
        }
        for (int i = 1; i < n; ++i) {
            Assert.AreEqual(counts[i - 1] + 1, counts[i], "frame " + i);
            Assert.GreaterOrEqual(times[i], times[i - 1], "measurement times never run backwards");
        }
    }

    // Keeps each frame's count and measurement time (FrameHandler takes its
    // frame with `in`, which Mono's compiler accepts on methods only).
    sealed class Recorder
    {
        readonly uint[] m_counts;
        readonly long[] m_times;
        public int Got, WrongCounts;
        public readonly ManualResetEventSlim Done = new ManualResetEventSlim();

        public Recorder(uint[] counts, long[] times) { m_counts = counts; m_times = times; }

        public void OnFrame(in Frame f)
        {
            if (Got >= m_counts.Length)
                return;
            if (f.SensorCount != 4)
                ++WrongCounts;
            m_counts[Got] = f.FrameCount;
            m_times[Got] = f.Time.MonotonicNs;
            if (++Got == m_counts.Length)
                Done.Set();
        }
    }

    [Test]
    public void QueueAndSingle()
    {
        using (var sim = new Sim("--sensors 3 --rate 240"))
        using (var t = sim.Open()) {
            t.Start();
            Frame f, last = default(Frame);
            for (int i = 0; i < 50; ++i) {
                Assert.IsTrue(t.Read(out f, 2000), "frame " + i);
                Assert.AreEqual(3, f.SensorCount);
                Assert.LessOrEqual(f.ArrivalNs, FrameClock.MonotonicNs(), "the library's stamp is on the same clock");
                Assert.Greater(f.ArrivalNs, FrameClock.MonotonicNs() - 5000000000L);
                if (i > 0) {
                    Assert.AreEqual(last.Seq + 1, f.Seq);
                    Assert.AreEqual(last.FrameCount + 1, f.FrameCount);
                    Assert.GreaterOrEqual(f.Time.MonotonicNs, last.Time.MonotonicNs);
                }
                last = f;
            }
            long now = (DateTime.UtcNow.Ticks - 621355968000000000L) * 100;
            Assert.Less(Math.Abs(last.Time.SystemNs - now), 5000000000L, "the system-clock stamp is the Unix time");
            t.Stop();
            Assert.IsFalse(t.Streaming);
            Thread.Sleep(50);
            t.Clear();
            Assert.AreEqual(0, t.Pending);
            t.Single(out f);
            Assert.AreEqual(3, f.SensorCount);
            Assert.AreEqual(1.0f, Math.Abs(f[0].Position.X) + 1.0f, 1e6f);
        }
    }
}

[TestFixture]
public class Lifecycle
{
    // A frame handler that counts, notes the time, and can be told to do more.
    sealed class Counter
    {
        public int Frames;
        public long Last;
        public int SetAt = int.MaxValue;
        public Tracker DisposeFromHandler;
        public readonly ManualResetEventSlim Reached = new ManualResetEventSlim();

        public void OnFrame(in Frame f)
        {
            Volatile.Write(ref Last, FrameClock.MonotonicNs());
            if (Interlocked.Increment(ref Frames) >= SetAt)
                Reached.Set();
            if (DisposeFromHandler != null)
                DisposeFromHandler.Dispose();
        }
    }

    [Test]
    public void ReleaseWhileStreaming()
    {
        using (var sim = new Sim("--sensors 4 --rate 960")) {
            var t = sim.Open();
            var c = new Counter { SetAt = 200 };
            t.SetFrameHandler(c.OnFrame);
            t.Start();
            Assert.IsTrue(c.Reached.Wait(10000));
            t.Dispose();
            int after = Volatile.Read(ref c.Frames);
            Thread.Sleep(100);
            Assert.AreEqual(after, Volatile.Read(ref c.Frames), "no frame handler runs once Dispose returns");
            Assert.IsFalse(t.IsOpen);
        }
    }

    [Test]
    public void DisposedTrackerRefusesCalls()
    {
        using (var sim = new Sim("--sensors 1")) {
            var t = sim.Open();
            t.Dispose();
            t.Dispose();
            UnitsConfig u;
            var e = Assert.Throws<ObjectDisposedException>(() => t.Get(Item.Units, out u));
            StringAssert.StartsWith("the tracker is disposed: open a new one", e.Message);
            Assert.Throws<ObjectDisposedException>(() => t.Start());
            Frame f;
            Assert.Throws<ObjectDisposedException>(() => t.TryRead(out f));
        }
    }

    // A reader taking frames as fast as it can while another thread disposes
    // the tracker: each read either decodes a whole frame or is refused, and
    // nothing else is thrown (the device must outlive every read in flight).
    [Test]
    public void DisposeWhileAnotherThreadReadsTheQueue()
    {
        using (var sim = new Sim("--sensors 4 --rate 960")) {
            for (int round = 0; round < 3; ++round) {
                var t = sim.Open();
                t.Start();
                var reading = new ManualResetEventSlim();
                Exception ended = null;
                int frames = 0;
                var reader = new Thread(() => {
                    try {
                        Frame f;
                        for (;;) {
                            if (!t.TryRead(out f))
                                continue;
                            Assert.AreEqual(4, f.SensorCount);
                            if (++frames == 20)
                                reading.Set();
                        }
                    } catch (Exception e) {
                        ended = e;
                    }
                });
                reader.Start();
                Assert.IsTrue(reading.Wait(5000), "round " + round + ": frames arrive");
                t.Dispose();
                Assert.IsTrue(reader.Join(5000), "round " + round + ": the reader ends");
                Assert.IsInstanceOf<ObjectDisposedException>(ended, "round " + round + ": " + ended);
            }
        }
    }

    [Test]
    public void AFrameHandlerCannotDisposeItsTracker()
    {
        using (var sim = new Sim("--sensors 1 --rate 240"))
        using (var t = sim.Open()) {
            var c = new Counter { SetAt = 1, DisposeFromHandler = t };
            t.SetFrameHandler(c.OnFrame);
            t.Start();
            Assert.IsTrue(c.Reached.Wait(5000));
            t.SetFrameHandler(null);
            Assert.GreaterOrEqual(t.CallbackErrors, 1);
            Assert.AreEqual("a frame handler cannot dispose its own tracker", t.LastCallbackError.Message);
            Assert.IsTrue(t.IsOpen);
        }
    }

    [Test]
    public void TrackerVanishingMidStream()
    {
        using (var sim = new Sim("--sensors 2 --rate 240 --close-after 1")) {
            var t = sim.Open();
            var c = new Counter();
            t.SetFrameHandler(c.OnFrame);
            t.Start();
            // The line closes after a second: frames stop.
            var deadline = DateTime.UtcNow.AddSeconds(10);
            while (DateTime.UtcNow < deadline &&
                   (Volatile.Read(ref c.Frames) == 0 || FrameClock.MonotonicNs() - Volatile.Read(ref c.Last) < 500000000L))
                Thread.Sleep(20);
            Assert.Greater(c.Frames, 100);
            Assert.Less(FrameClock.MonotonicNs() - Volatile.Read(ref c.Last), 5000000000L, "frames stopped");
            UnitsConfig u;
            var e = Assert.Throws<SXException>(() => t.Get(Item.Units, out u));
            Assert.Contains(e.Code, new[] { ErrorCode.E_DEVIOERR_NO_CNX, ErrorCode.E_DEVIOERR_SER_WRITERR,
                                            ErrorCode.E_CTXERR_DEV_RECV_QUEUE_EMPTY }, e.Message);
            StringAssert.StartsWith("get units: " + e.Name + ": ", e.Message);
            var watch = System.Diagnostics.Stopwatch.StartNew();
            t.Dispose();
            Assert.Less(watch.ElapsedMilliseconds, 3000);
        }
    }

    [MethodImpl(MethodImplOptions.NoInlining)]
    static void OpenAndForget(Sim sim)
    {
        var t = sim.Open();
        t.SetFrameHandler(new Counter().OnFrame);
        t.Start();
    }

    [Test]
    public void AForgottenTrackerIsReleasedWhenCollected()
    {
        using (var sim = new Sim("--sensors 2 --rate 240")) {
            OpenAndForget(sim);
            // The line is held: a second tracker cannot have it.
            var busy = Assert.Throws<SXException>(() => Tracker.OpenSerial(1, 0, 500, 1));
            Assert.AreEqual(ErrorCode.E_SXERR_SERIO, busy.Code);
            Tracker again = null;
            for (int i = 0; i < 20 && again == null; ++i) {
                GC.Collect();
                GC.WaitForPendingFinalizers();
                try {
                    again = Tracker.OpenSerial(1, 0, 500, 1);
                } catch (SXException) {
                    Thread.Sleep(50);
                }
            }
            Assert.IsNotNull(again, "the forgotten tracker's device was released");
            again.Dispose();
        }
    }

    [Test]
    public void ConnectionFailuresCarryTheLibrarysCode()
    {
        using (var sim = new Sim("--nak-all")) {
            var e = Assert.Throws<SXException>(() => sim.Open());
            Assert.AreEqual(ErrorCode.E_SXERR_NAK_RESP, e.Code);
            Assert.AreEqual("open serial port 1: E_SXERR_NAK_RESP: the tracker refused the command or its value; check the " +
                            "value's range and the units in force (sxtool set --help lists the values)", e.Message);
        }
        using (var sim = new Sim("--withhold")) {
            var e = Assert.Throws<SXException>(() => Tracker.OpenSerial(1, 0, 500, 1));
            Assert.AreEqual(ErrorCode.E_SXERR_NOTFOUND, e.Code);
            Assert.AreEqual("E_SXERR_NOTFOUND", e.Name);
        }
    }
}
}
