// A P&O frame decoded into a struct: the unit's header and up to sixteen
// sensor records in the units in force, with the frame's arrival and
// measurement time. Decoding reads only the bytes it is given and allocates
// nothing, so the reading thread can fill one frame over and over.
using System;
using System.Runtime.InteropServices;
using System.Text;

namespace SXCmdIF
{
/// <summary>One sensor's record of a frame.</summary>
public struct SensorPose
{
    /// <summary>The sensor's number, from 0.</summary>
    public int Sensor;
    /// <summary>The record's first word: number, units, buttons, distortion, aux bits.</summary>
    public uint SfInfo;
    /// <summary>x, y, z in the position units in force.</summary>
    public Float3 Position;
    /// <summary>Azimuth, elevation, roll (and 0) in the Euler units in force, or the quaternion w, x, y, z.</summary>
    public Float4 Orientation;
    /// <summary>Acceleration X, Y, Z, R (acceleration records only, else zero).</summary>
    public Float4 Acceleration;

    public PosUnits PosUnits { get { return (PosUnits)((SfInfo >> 8) & 3); } }
    public OriUnits OriUnits { get { return (OriUnits)((SfInfo >> 10) & 3); } }
    public bool IsQuaternion { get { return ((SfInfo >> 10) & 3) == 2; } }
    public bool Button0 { get { return (SfInfo & (1u << 12)) != 0; } }
    public bool Button1 { get { return (SfInfo & (1u << 13)) != 0; } }
    public int Distortion { get { return (int)((SfInfo >> 14) & 0xFF); } }
    public uint Aux { get { return SfInfo >> 22; } }
}

/// <summary>One P&amp;O frame. A struct of about 800 bytes: pass it with <c>in</c>.</summary>
[StructLayout(LayoutKind.Sequential)]
public unsafe struct Frame
{
    /// <summary>The most sensors a frame holds.</summary>
    public const int MaxSensors = 16;

    /// <summary>The unit's identifier.</summary>
    public uint SeuId;
    /// <summary>The unit's frame count: one per measurement cycle.</summary>
    public uint FrameCount;
    /// <summary>The header bits: record format, BIT error, the library's error marks, lost frames.</summary>
    public uint HpInfo;
    /// <summary>Sensor records in the frame.</summary>
    public int SensorCount;
    /// <summary>The queue's sequence number (queued frames), or the callback's own count.</summary>
    public uint Seq;
    /// <summary>The error the library attached to the frame (0: sound).</summary>
    public int ErrorCode;
    /// <summary>When the frame arrived, on the host's monotonic clock (ns).</summary>
    public long ArrivalNs;
    /// <summary>When the frame was measured (the frame clock's stamp).</summary>
    public FrameTime Time;

    fixed uint m_sfinfo[MaxSensors];
    fixed float m_pos[MaxSensors * 3];
    fixed float m_ori[MaxSensors * 4];
    fixed float m_accel[MaxSensors * 4];

    /// <summary>The record format: 0 plain records, else acceleration records.</summary>
    public int Mode { get { return (int)(HpInfo & 0xF); } }
    /// <summary>The unit's built-in-test error code.</summary>
    public int BitError { get { return (int)((HpInfo >> 4) & 0xF); } }
    /// <summary>Error marks the library put on a flawed frame it passed on (1 frame, 2 CRC, 4 sensor).</summary>
    public int ErrorMarks { get { return (int)((HpInfo >> 8) & 0xFF); } }
    /// <summary>Frames the tracker lost before this one, as the library counted them.</summary>
    public int LostFrames { get { return (int)(HpInfo >> 16); } }

    /// <summary>Sensor record k (0 to SensorCount - 1).</summary>
    public SensorPose this[int k]
    {
        get {
            if (k < 0 || k >= SensorCount)
                throw new ArgumentOutOfRangeException("k", k, "a record from 0 to " + (SensorCount - 1));
            var s = new SensorPose();
            fixed (uint* sf = m_sfinfo)
                s.SfInfo = sf[k];
            s.Sensor = (int)(s.SfInfo & 0x7F);
            fixed (float* p = m_pos)
                s.Position = new Float3(p[3 * k], p[3 * k + 1], p[3 * k + 2]);
            fixed (float* o = m_ori)
                s.Orientation = new Float4(o[4 * k], o[4 * k + 1], o[4 * k + 2], o[4 * k + 3]);
            fixed (float* a = m_accel)
                s.Acceleration = new Float4(a[4 * k], a[4 * k + 1], a[4 * k + 2], a[4 * k + 3]);
            return s;
        }
    }

    /// <summary>The record index of a sensor number, or -1 when the frame lacks it.</summary>
    public int IndexOf(int sensor)
    {
        fixed (uint* sf = m_sfinfo)
            for (int k = 0; k < SensorCount; ++k)
                if ((sf[k] & 0x7F) == sensor)
                    return k;
        return -1;
    }

    /// <summary>A whole frame as received (preamble to CRC). Reads only its
    /// length; false when it is too short for its header.</summary>
    internal bool DecodeRaw(byte* f, uint length)
    {
        if (f == null || length < 24)
            return false;
        return DecodeBody(f + 8, length - 8);
    }

    /// <summary>The P&amp;O body (from the unit identifier on), as a single
    /// P&amp;O answer carries it.</summary>
    internal bool DecodeBody(byte* b, uint length)
    {
        if (b == null || length < 16)
            return false;
        SeuId = Word(b, 0);
        FrameCount = Word(b, 4);
        HpInfo = Word(b, 8);
        uint count = Word(b, 12), fit = (length - 16) / 32;
        if (count > MaxSensors) count = MaxSensors;
        if (count > fit) count = fit;
        SensorCount = (int)count;
        bool accel = (HpInfo & 0xF) != 0;
        fixed (uint* sf = m_sfinfo)
        fixed (float* pos = m_pos)
        fixed (float* ori = m_ori)
        fixed (float* acc = m_accel)
            for (int k = 0; k < (int)count; ++k) {
                byte* r = b + 16 + 32 * k;
                uint sfinfo = Word(r, 0);
                sf[k] = sfinfo;
                for (int i = 0; i < 3; ++i)
                    pos[3 * k + i] = Float(r, 4 + 4 * i);
                if (!accel) {
                    for (int i = 0; i < 4; ++i) {
                        ori[4 * k + i] = Float(r, 16 + 4 * i);
                        acc[4 * k + i] = 0f;
                    }
                    continue;
                }
                // Acceleration records: fractions of full scale. Orientation
                // units 3 name no unit and are read as Euler degrees.
                uint units = (sfinfo >> 10) & 3;
                int terms = units == 2 ? 4 : 3;
                float factor = units == 1 ? 3.1415927f : units == 2 ? 1.0f : 180.0f;
                for (int i = 0; i < 4; ++i) {
                    ori[4 * k + i] = i < terms ? Fraction(r, 16 + 2 * i, factor) : 0f;
                    acc[4 * k + i] = Fraction(r, 24 + 2 * i, 16.0f);
                }
            }
        return true;
    }

    static uint Word(byte* p, int at)
    {
        return (uint)(p[at] | p[at + 1] << 8 | p[at + 2] << 16 | p[at + 3] << 24);
    }

    static float Float(byte* p, int at)
    {
        uint w = Word(p, at);
        return *(float*)&w;
    }

    static float Fraction(byte* p, int at, float scale)
    {
        short v = (short)(p[at] | p[at + 1] << 8);
        float f = (float)v / 32768.0f;
        return (float)(f * scale);
    }

    /// <summary>The library's text report of the frame, one line per sensor
    /// (as CSXSeuPno::Report with the line layout makes it, "\r\n" ends included):
    /// unit and sensor numbers from 0 when zeroBased, the acceleration
    /// columns when accel.</summary>
    public string Report(bool zeroBased = true, bool accel = false)
    {
        var sb = new StringBuilder(128 * (SensorCount + 1));
        PnoText.Lines(this, sb, zeroBased, accel);
        return sb.ToString();
    }
}
}
