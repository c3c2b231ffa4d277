// The binding's benchmark, managed half: frames through the managed
// callback (every frame? garbage collections after the first second? the
// reading thread's CPU), then the time of one Get through the binding and
// of the same command through the bare P/Invoke, alternated.
//   mono bench_cs.exe SECONDS GETS      (the tracker: serial port 1)
// Prints one line "@cs key=value ...".
using System;
using System.Diagnostics;
using System.IO;
using System.Runtime.InteropServices;
using System.Threading;
using SXCmdIF;
using SXCmdIF.Interop;

static unsafe class BenchCs
{
    [DllImport("libc")]
    static extern long syscall(long number);
    const long SysGettid = 186; // x86_64

    static long s_tid;
    static long s_frames, s_gaps;
    static uint s_lastCount;
    static float s_sum;

    static void OnFrame(in Frame f)
    {
        if (s_tid == 0)
            s_tid = syscall(SysGettid);
        if (s_frames > 0 && f.FrameCount != s_lastCount + 1)
            ++s_gaps;
        s_lastCount = f.FrameCount;
        ++s_frames;
        for (int k = 0; k < f.SensorCount; ++k)
            s_sum += f[k].Position.X; // read every sensor, as an application would
    }

    // CPU time of a thread of this process, ns.
    public static long ThreadCpuNs(long tid)
    {
        string sched = "/proc/self/task/" + tid + "/schedstat";
        if (File.Exists(sched))
            return long.Parse(File.ReadAllText(sched).Split(' ')[0]);
        var f = File.ReadAllText("/proc/self/task/" + tid + "/stat");
        var w = f.Substring(f.LastIndexOf(')') + 2).Split(' ');
        return (long.Parse(w[11]) + long.Parse(w[12])) * 10000000L; // clock ticks of 10 ms
    }

    // One call of an export that does no work (sxcmdif_version), ns: p50 of
    // batches of 1000 (the clock ticks in 100 ns under Mono).
    static double TrivialCallNs()
    {
        var batches = new long[200];
        for (int b = 0; b < batches.Length; ++b) {
            long a = Stopwatch.GetTimestamp();
            for (int i = 0; i < 1000; ++i)
                Native.sxcmdif_version();
            batches[b] = (Stopwatch.GetTimestamp() - a) * 1000000000L / Stopwatch.Frequency;
        }
        return P50(batches) / 1000.0;
    }

    static long P50(long[] v)
    {
        Array.Sort(v);
        return v[v.Length / 2];
    }

    static int Main(string[] args)
    {
        int seconds = int.Parse(args[0]), gets = int.Parse(args[1]);
        using (var t = Tracker.OpenSerial(1, 0, 500, 3)) {
            t.SetFrameHandler(OnFrame);
            t.Start();
            Thread.Sleep(1000);
            int gc0 = GC.CollectionCount(0), gc1 = GC.CollectionCount(1), gc2 = GC.CollectionCount(2);
            long frames0 = Interlocked.Read(ref s_frames);
            long cpu0 = ThreadCpuNs(s_tid);
            var wall = Stopwatch.StartNew();
            Thread.Sleep(seconds * 1000);
            long cpu1 = ThreadCpuNs(s_tid);
            double wallS = wall.Elapsed.TotalSeconds;
            long frames1 = Interlocked.Read(ref s_frames);
            int dgc0 = GC.CollectionCount(0) - gc0, dgc1 = GC.CollectionCount(1) - gc1, dgc2 = GC.CollectionCount(2) - gc2;
            t.SetFrameHandler(null);
            t.Stop();
            Thread.Sleep(100);
            t.Clear();

            // One Get: through the binding and through the bare import, alternated.
            var binding = new long[gets];
            var bare = new long[gets];
            UnitsConfig u;
            var dev = (DeviceHandle)typeof(Tracker).GetField("m_dev", System.Reflection.BindingFlags.NonPublic |
                                                              System.Reflection.BindingFlags.Instance).GetValue(t);
            IntPtr c = dev.Context.DangerousGetHandle(), d = dev.DangerousGetHandle();
            for (int i = 0; i < gets; ++i) {
                long a = Stopwatch.GetTimestamp();
                t.Get(Item.Units, out u);
                long b = Stopwatch.GetTimestamp();
                UnitsConfig r;
                if (Native.sxcmd_dev_units(c, d, CmdAction.CMD_ACTION_GET, &r) != 0)
                    throw new Exception("bare get failed");
                long e = Stopwatch.GetTimestamp();
                binding[i] = (b - a) * 1000000000L / Stopwatch.Frequency;
                bare[i] = (e - b) * 1000000000L / Stopwatch.Frequency;
            }
            var diff = new long[gets];
            for (int i = 0; i < gets; ++i)
                diff[i] = binding[i] - bare[i];
            Console.WriteLine("@cs frames={0} gaps={1} rate={2:F1} gc0={3} gc1={4} gc2={5} cpu_ms={6:F1} cpu_pct={7:F2} " +
                              "get_p50_ns={8} pinvoke_get_p50_ns={9} binding_minus_pinvoke_p50_ns={10} " +
                              "trivial_pinvoke_p50_ns={11:F1}",
                              frames1 - frames0, s_gaps, (frames1 - frames0) / wallS, dgc0, dgc1, dgc2, (cpu1 - cpu0) / 1e6,
                              100.0 * (cpu1 - cpu0) / 1e9 / wallS, P50(binding), P50(bare), P50(diff), TrivialCallNs());
        }
        return s_gaps == 0 ? 0 : 1;
    }
}
