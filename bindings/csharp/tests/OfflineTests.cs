// What the binding holds without a tracker: record layouts against the C
// headers, error texts, words, the report lines against the library's, the
// frame clock against the C++ model's vectors, the Unity conversion and the
// hand-off between threads.
using System;
using System.Collections.Generic;
using System.Globalization;
using System.IO;
using System.Linq;
using System.Reflection;
using System.Runtime.InteropServices;
using System.Text;
using System.Threading;
using NUnit.Framework;
using SXCmdIF.Unity;

namespace SXCmdIF.Tests
{
[TestFixture]
public class Offline
{
    // The C name in C# casing, as the records and the enumerations take it.
    static string CsCase(string c)
    {
        var sb = new StringBuilder();
        foreach (var part in c.Split(new[] { '_' }, StringSplitOptions.RemoveEmptyEntries)) {
            bool upper = part.All(ch => !char.IsLower(ch));
            sb.Append(char.ToUpperInvariant(part[0])).Append(upper ? part.Substring(1).ToLowerInvariant() : part.Substring(1));
        }
        return sb.ToString();
    }

    [Test]
    public void EveryRecordHasTheLayoutOfTheCHeaders()
    {
        Assert.AreEqual(24, Layouts.Records.Length, "records in the table");
        foreach (object[] row in Layouts.Records) {
            var type = (Type)row[0];
            string what = (string)row[1];
            Assert.AreEqual(Convert.ToInt32(row[2]), Marshal.SizeOf(type), what + ": sizeof");
            long catalogued = Convert.ToInt64(row[3]);
            if (catalogued != 0)
                Assert.AreEqual(catalogued, Marshal.SizeOf(type), what + ": the catalogue's size");
            var fields = new List<string>();
            for (int i = 4; i < row.Length; i += 2) {
                string name = CsCase((string)row[i]);
                int offset = Convert.ToInt32(row[i + 1]);
                if (offset < 0) {
                    Assert.IsNotNull(type.GetProperty(name), what + ": bits " + name);
                    continue;
                }
                Assert.AreEqual(offset, Marshal.OffsetOf(type, name).ToInt32(), what + "." + name);
                fields.Add(name);
            }
            CollectionAssert.AreEquivalent(fields, type.GetFields(BindingFlags.Instance | BindingFlags.Public).Select(f => f.Name),
                                           what + ": the fields");
        }
        foreach (var item in SXCmdIF.Items.All.Where(r => r.Record != null))
            Assert.IsTrue(Layouts.Records.Any(r => (Type)r[0] == item.Record), item.Name + " has its record's layout");
    }

    [Test]
    public void EveryErrorCodeHasTheLibrarysNameAndSxtoolsSentence()
    {
        var codes = (ErrorCode[])Enum.GetValues(typeof(ErrorCode));
        Assert.AreEqual(31, codes.Length);
        foreach (var code in codes) {
            var e = new SXException((int)code, "op");
            Assert.AreEqual(code, e.Code);
            Assert.AreEqual(0, e.Detail);
            Assert.AreEqual(Library.ErrorText((int)code), e.Name);
            StringAssert.StartsWith(code.ToString(), e.Name);
            Assert.IsNotEmpty(e.Help, code.ToString());
            Assert.AreEqual("op: " + e.Name + ": " + e.Help, e.Message);
        }
        Assert.AreEqual("get units: E_SXERR_NAK_RESP: the tracker refused the command or its value; check the value's " +
                        "range and the units in force (sxtool set --help lists the values)",
                        new SXException(1, "get units").Message);
        Assert.AreEqual("E_CTXERR_INVALID_DEVHND Invalid Device Handle", new SXException(20, "x").Name);
        var crc = new SXException(20 << 16 | 10, "x");
        Assert.AreEqual(ErrorCode.E_SXERR_INVALID_CRC, crc.Code);
        Assert.AreEqual(20, crc.Detail);
        Assert.AreEqual("E_SXERR_INVALID_CRC : CMD_WHOAMI", crc.Name);
        var none = new SXException(-1, "x");
        Assert.AreEqual(-1, none.Detail);
        Assert.AreEqual("x: SX_ERR NOT DEFINED", none.Message);
    }

    [Test]
    public void EnumerationsAreNamedByTheWordsSxtoolTakes()
    {
        Assert.AreEqual("inch|foot|cm|meter", Words.Choices<PosUnits>());
        Assert.AreEqual("euler_degree|euler_radian|quaternion", Words.Choices<OriUnits>());
        foreach (var w in new[] { "cm", "CM", "POS_CM" })
            Assert.AreEqual(PosUnits.Cm, Words.Parse<PosUnits>(w), w);
        Assert.AreEqual(OriUnits.Quaternion, Words.Parse<OriUnits>("qtrn"));
        Assert.AreEqual(OriUnits.EulerRadian, Words.Parse<OriUnits>("1"));
        Assert.AreEqual("euler_degree", Words.Word(OriUnits.EulerDegree));
        var e = Assert.Throws<ArgumentException>(() => Words.Parse<PosUnits>("yard"));
        Assert.AreEqual("unknown position units 'yard' (one of inch|foot|cm|meter)", e.Message);
        foreach (var t in new[] { typeof(PosUnits), typeof(OriUnits), typeof(FilterLevel), typeof(FilterTarget),
                                  typeof(HemispherePreset), typeof(StartupHemisphere), typeof(Ftt), typeof(Origin),
                                  typeof(Stylus), typeof(Parity), typeof(CorrectionRate) }) {
            var word = typeof(Words).GetMethod("Word").MakeGenericMethod(t);
            foreach (var v in Enum.GetValues(t)) {
                string w = (string)word.Invoke(null, new[] { v });
                string name = CsCase(w);
                Assert.IsTrue(Enum.GetName(t, v).EndsWith(name), t.Name + "." + Enum.GetName(t, v) + " is the word " + w);
            }
        }
    }

    [Test]
    public unsafe void FrameReportsAreTheLibrarysToTheByte()
    {
        var lines = File.ReadAllLines(GenFileOrSkip("pno_lines.txt"));
        int frames = 0;
        for (int i = 0; i + 1 < lines.Length; i += 2) {
            var head = lines[i].Split(' ');
            bool zeroBased = head[1] == "1", accel = head[2] == "1";
            byte[] bytes = Hex(head[3]);
            string want = Unquote(lines[i + 1].Substring("text ".Length));
            var f = new Frame();
            fixed (byte* p = bytes)
                Assert.IsTrue(f.DecodeRaw(p, (uint)bytes.Length));
            Assert.AreEqual(want, f.Report(zeroBased, accel), lines[i]);
            ++frames;
        }
        Assert.AreEqual(4 * 3 * 2 * 2 * 2, frames);
    }

    [Test]
    public unsafe void DecodingNeverReadsPastTheFrame()
    {
        var bytes = new byte[24 + 32];
        bytes[20] = 200; // 200 sensors announced, room for one
        var f = new Frame();
        fixed (byte* p = bytes) {
            Assert.IsTrue(f.DecodeRaw(p, (uint)bytes.Length));
            Assert.AreEqual(1, f.SensorCount);
            Assert.IsFalse(f.DecodeRaw(p, 23));
        }
        Assert.Throws<ArgumentOutOfRangeException>(() => { var s = f[1]; });
    }

    [Test]
    public void FrameClockGivesTheCppModelsTimes()
    {
        // The generator's vectors, then the C++ model's own test vectors:
        // every path of the model between them.
        Assert.Greater(ReplayClockVectors(GenFileOrSkip("clock_vectors.txt")), 3000);
        Assert.Greater(ReplayClockVectors(Sim.Env("SXCS_CLOCK_VECTORS")), 1000);

        var clock = new FrameClock();
        clock.SetSystemOffsetNs(-123456789);
        FrameTime t = clock.Stamp(1, 5000000000);
        Assert.AreEqual(5000000000 - 123456789, t.SystemNs);
        Assert.AreEqual(-123456789, clock.SystemOffsetNs);
    }

    // Replays a file of the C++ model's steps (N period, R, S count arrival
    // stamp, C restarts reanchors) through a new clock; gives the stamps.
    static int ReplayClockVectors(string path)
    {
        var clock = new FrameClock();
        int stamps = 0, lineNo = 0;
        foreach (var line in File.ReadAllLines(path)) {
            ++lineNo;
            if (line.Length == 0 || line[0] == '#')
                continue;
            var w = line.Split(' ');
            string where = path + ":" + lineNo;
            switch (w[0]) {
            case "N":
                clock.SetNominalPeriodNs(long.Parse(w[1]));
                Assert.AreEqual(Math.Max(0, long.Parse(w[1])), clock.NominalPeriodNs, where);
                break;
            case "R": clock.Reset(); break;
            case "C":
                Assert.AreEqual(ulong.Parse(w[1]), clock.Restarts, where + " restarts");
                Assert.AreEqual(ulong.Parse(w[2]), clock.Reanchors, where + " reanchors");
                break;
            case "S":
                FrameTime t = clock.Stamp(uint.Parse(w[1]), long.Parse(w[2]));
                Assert.AreEqual(long.Parse(w[3]), t.MonotonicNs, where);
                Assert.AreEqual(t.MonotonicNs + clock.SystemOffsetNs, t.SystemNs, where);
                ++stamps;
                break;
            default: Assert.Fail(where + ": unknown vector line " + line); break;
            }
        }
        return stamps;
    }

    // ---- Unity --------------------------------------------------------------------------

    const float S45 = 0.70710678f;

    static void Near(UnityRotation want, UnityRotation got)
    {
        // A quaternion and its negative are the same rotation.
        float sign = want.W * got.W + want.X * got.X + want.Y * got.Y + want.Z * got.Z < 0 ? -1f : 1f;
        Assert.AreEqual(want.X, sign * got.X, 1e-5, "x " + got);
        Assert.AreEqual(want.Y, sign * got.Y, 1e-5, "y " + got);
        Assert.AreEqual(want.Z, sign * got.Z, 1e-5, "z " + got);
        Assert.AreEqual(want.W, sign * got.W, 1e-5, "w " + got);
    }

    [Test]
    public void UnityPositionsAreMetresWithYUp()
    {
        var p = UnityFrame.Position(new Float3(1, 2, 3), PosUnits.Cm);
        Assert.AreEqual(0.01f, p.X, 1e-7);
        Assert.AreEqual(0.03f, p.Y, 1e-7); // z up becomes y up
        Assert.AreEqual(0.02f, p.Z, 1e-7);
        Assert.AreEqual(0.0254f * 2, UnityFrame.Position(new Float3(0, 0, 2), PosUnits.Inch).Y, 1e-7);
        Assert.AreEqual(0.3048f, UnityFrame.Position(new Float3(1, 0, 0), PosUnits.Foot).X, 1e-7);
        Assert.AreEqual(5f, UnityFrame.Position(new Float3(0, 5, 0), PosUnits.Meter).Z, 1e-7);
    }

    [Test]
    public void UnityRotationsAboutEachAxis()
    {
        // Quarter turns about the tracker's x (right), y (forward) and z (up):
        // about Unity's x, z and y, the other way round (the handedness flips).
        Near(new UnityRotation(-S45, 0, 0, S45), UnityFrame.Rotation(new Float4(S45, S45, 0, 0), OriUnits.Quaternion));
        Near(new UnityRotation(0, 0, -S45, S45), UnityFrame.Rotation(new Float4(S45, 0, S45, 0), OriUnits.Quaternion));
        Near(new UnityRotation(0, -S45, 0, S45), UnityFrame.Rotation(new Float4(S45, 0, 0, S45), OriUnits.Quaternion));
        // Euler: azimuth about z, elevation about y, roll about x.
        Near(new UnityRotation(0, -S45, 0, S45), UnityFrame.Rotation(new Float4(90, 0, 0, 0), OriUnits.EulerDegree));
        Near(new UnityRotation(0, 0, -S45, S45), UnityFrame.Rotation(new Float4(0, 90, 0, 0), OriUnits.EulerDegree));
        Near(new UnityRotation(-S45, 0, 0, S45), UnityFrame.Rotation(new Float4(0, 0, (float)(Math.PI / 2), 0), OriUnits.EulerRadian));
        // Azimuth first: 90 degrees of azimuth, then 90 of elevation, is
        // the product of the two, not the other order.
        var az = UnityFrame.Rotation(new Float4(90, 0, 0, 0), OriUnits.EulerDegree);
        var el = UnityFrame.Rotation(new Float4(0, 90, 0, 0), OriUnits.EulerDegree);
        Near(Mul(az, el), UnityFrame.Rotation(new Float4(90, 90, 0, 0), OriUnits.EulerDegree));
    }

    [Test]
    public void UnityRotationTurnsVectorsAsTheTrackersDoes()
    {
        var rng = new Random(7);
        for (int i = 0; i < 50; ++i) {
            var o = new Float4((float)(rng.NextDouble() * 360 - 180), (float)(rng.NextDouble() * 180 - 90),
                               (float)(rng.NextDouble() * 360 - 180), 0);
            // The tracker's rotation as a quaternion: Unity's conversion of
            // the same angles, undone.
            var u = UnityFrame.Rotation(o, OriUnits.EulerDegree);
            var tq = new UnityRotation(-u.X, -u.Z, -u.Y, u.W); // (x, y, z, w) in the tracker's axes
            var v = new Float3((float)rng.NextDouble(), (float)rng.NextDouble(), (float)rng.NextDouble());
            var turned = Rotate(tq, v.X, v.Y, v.Z);
            var inUnity = Rotate(u, v.X, v.Z, v.Y);
            Assert.AreEqual(turned[0], inUnity[0], 1e-5);
            Assert.AreEqual(turned[2], inUnity[1], 1e-5);
            Assert.AreEqual(turned[1], inUnity[2], 1e-5);
            // And the Euler conversion is that rotation: azimuth turns x towards y.
        }
        var quarter = UnityFrame.Rotation(new Float4(90, 0, 0, 0), OriUnits.EulerDegree);
        var r = Rotate(quarter, 1, 0, 0); // Unity x (the tracker's x)
        Assert.AreEqual(0, r[0], 1e-6);
        Assert.AreEqual(1, r[2], 1e-6); // Unity z: the tracker's y
    }

    static UnityRotation Mul(UnityRotation a, UnityRotation b)
    {
        return new UnityRotation(a.W * b.X + a.X * b.W + a.Y * b.Z - a.Z * b.Y, a.W * b.Y - a.X * b.Z + a.Y * b.W + a.Z * b.X,
                                 a.W * b.Z + a.X * b.Y - a.Y * b.X + a.Z * b.W, a.W * b.W - a.X * b.X - a.Y * b.Y - a.Z * b.Z);
    }

    // q v q* with the same formula in either frame.
    static double[] Rotate(UnityRotation q, double x, double y, double z)
    {
        double tx = 2 * (q.Y * z - q.Z * y), ty = 2 * (q.Z * x - q.X * z), tz = 2 * (q.X * y - q.Y * x);
        return new[] { x + q.W * tx + (q.Y * tz - q.Z * ty), y + q.W * ty + (q.Z * tx - q.X * tz),
                       z + q.W * tz + (q.X * ty - q.Y * tx) };
    }

    [Test]
    public void HandoffQueueKeepsOrderAndDropsTheOldest()
    {
        var q = new HandoffQueue<int>(3);
        for (int i = 1; i <= 5; ++i)
            q.Add(i);
        Assert.AreEqual(2, q.Dropped);
        int v;
        foreach (int want in new[] { 3, 4, 5 }) {
            Assert.IsTrue(q.TryTake(out v));
            Assert.AreEqual(want, v);
        }
        Assert.IsFalse(q.TryTake(out v));

        // One thread adds, another takes: everything, in order.
        var big = new HandoffQueue<long>(64);
        const int n = 200000;
        var producer = new Thread(() => {
            for (long i = 0; i < n; ++i) {
                while (big.Count == big.Capacity)
                    Thread.Yield();
                big.Add(i);
            }
        });
        producer.Start();
        long next = 0, got;
        while (next < n)
            if (big.TryTake(out got))
                Assert.AreEqual(next++, got);
        producer.Join();
        Assert.AreEqual(0, big.Dropped);
    }

    [Test]
    public unsafe void PoseBoardHandsTheNewestPoseOnce()
    {
        var board = new PoseBoard();
        var bytes = new byte[24 + 2 * 32];
        bytes[12] = 7; // frame count
        bytes[20] = 2;
        bytes[24] = 3; // sensor 3
        bytes[24 + 32] = 5; // sensor 5
        bytes[24 + 1] = 2; // cm
        BitConverter.GetBytes(100f).CopyTo(bytes, 24 + 12); // z
        var f = new Frame();
        fixed (byte* p = bytes)
            f.DecodeRaw(p, (uint)bytes.Length);
        uint version = 0;
        UnityPose pose;
        Assert.IsFalse(board.TryGetNewer(3, ref version, out pose));
        board.Post(f);
        Assert.IsTrue(board.TryGetNewer(3, ref version, out pose));
        Assert.AreEqual(3, pose.Sensor);
        Assert.AreEqual(7u, pose.FrameCount);
        Assert.AreEqual(1.0f, pose.Position.Y, 1e-6); // 100 cm up
        Assert.IsFalse(board.TryGetNewer(3, ref version, out pose));
        uint other = 0;
        Assert.IsTrue(board.TryGetNewer(5, ref other, out pose));
    }

    // ---- Helpers ----------------------------------------------------------------------------

    static string GenFileOrSkip(string name)
    {
        return Sim.GenFile(name);
    }

    static byte[] Hex(string s)
    {
        var b = new byte[s.Length / 2];
        for (int i = 0; i < b.Length; ++i)
            b[i] = byte.Parse(s.Substring(2 * i, 2), NumberStyles.HexNumber);
        return b;
    }

    static string Unquote(string q)
    {
        var sb = new StringBuilder();
        for (int i = 1; i < q.Length - 1; ++i) {
            if (q[i] != '\\') {
                sb.Append(q[i]);
                continue;
            }
            char c = q[++i];
            sb.Append(c == 'r' ? '\r' : c == 'n' ? '\n' : c);
        }
        return sb.ToString();
    }
}
}
