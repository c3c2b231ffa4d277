// The payload records of the commands, one struct each, laid out as the C
// records (packed, little-endian) with the C field names in C# casing. A
// test holds each against the sizes and offsets taken from the C headers.
using System;
using System.Runtime.InteropServices;

namespace SXCmdIF
{
/// <summary>An on/off setting (<c>_BINARY_CONFIG</c>): sync, dual output, out-of-range mode.</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public struct BinaryConfig
{
    /// <summary>0 off; any other value on.</summary>
    public int Value;
    public BinaryConfig(bool on) { Value = on ? 1 : 0; }
    public bool On { get { return Value != 0; } set { Value = value ? 1 : 0; } }
}

/// <summary>An enumerated setting (<c>_ENUM_CONFIG</c>): a sensor's FTT mode or origin.</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public struct EnumConfig
{
    /// <summary>An <see cref="Ftt"/> or <see cref="Origin"/> value.</summary>
    public uint Value;
    public EnumConfig(Ftt mode) { Value = (uint)mode; }
    public EnumConfig(Origin origin) { Value = (uint)origin; }
}

/// <summary>The output frame rate (<c>_FRAMERATE_CONFIG</c>).</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public struct FramerateConfig
{
    /// <summary>Rate code 0 to 5: 30, 60, 120, 240, 480, 960 Hz.</summary>
    public uint FrameRate;

    /// <summary>The rate in Hz (960 / 2^(5 - code)); 0 for a code outside 0 to 5.</summary>
    public int Hz { get { return FrameRate <= 5 ? 960 >> (int)(5 - FrameRate) : 0; } }

    /// <summary>The record of 30, 60, 120, 240, 480 or 960 Hz.</summary>
    public static FramerateConfig FromHz(int hz)
    {
        for (uint code = 0; code <= 5; ++code)
            if (960 >> (int)(5 - code) == hz)
                return new FramerateConfig { FrameRate = code };
        throw new ArgumentOutOfRangeException("hz", hz,
            "the tracker has no frame rate of " + hz + " Hz: it has 30, 60, 120, 240, 480 or 960 Hz");
    }
}

/// <summary>The stylus button mode (<c>_STYLUS_CONFIG</c>).</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public struct StylusConfig
{
    public Stylus Value;
}

/// <summary>The unit identifier (<c>_SEUID_CONFIG</c>).</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public struct SeuidConfig
{
    public uint SeuID;
}

/// <summary>The sources a sensor uses (<c>_SRC_SEL_CONFIG</c>): bit n, source n.</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public struct SrcSelConfig
{
    public uint SrcSelMap;
}

/// <summary>The unit's serial line (<c>_SERIAL_CONFIG</c>): one word of bit fields.</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public struct SerialConfig
{
    /// <summary>The whole word.</summary>
    public uint Sercfg;
    /// <summary>Bits 0-3: the baud rate's index (7 is 115200).</summary>
    public uint Baudrate { get { return Sercfg & 0xF; } set { Sercfg = (Sercfg & ~0xFu) | (value & 0xF); } }
    /// <summary>Bits 4-5.</summary>
    public Parity Parity { get { return (Parity)((Sercfg >> 4) & 3); } set { Sercfg = (Sercfg & ~0x30u) | (((uint)value & 3) << 4); } }
    /// <summary>Bits 6-31, reserved; carried unchanged.</summary>
    public uint Res { get { return Sercfg >> 6; } set { Sercfg = (Sercfg & 0x3Fu) | (value << 6); } }
}

/// <summary>The sensors and sources the unit detects (<c>_STATION_MAP</c>).</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public struct StationMap
{
    /// <summary>The whole word.</summary>
    public uint Map;
    /// <summary>Bit n: sensor n detected.</summary>
    public uint SensorMap { get { return Map & 0xFFFF; } }
    /// <summary>Bit n: source n detected.</summary>
    public uint SourceMap { get { return (Map >> 24) & 0xF; } }
}

/// <summary>Position and orientation units of P&amp;O data (<c>_UNITS_CONFIG</c>).</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public struct UnitsConfig
{
    public PosUnits PosUnits;
    public OriUnits OriUnits;
    public UnitsConfig(PosUnits pos, OriUnits ori) { PosUnits = pos; OriUnits = ori; }
}

/// <summary>A field source's configuration (<c>_SRC_CONFIG</c>), in the units in force.</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public struct SrcConfig
{
    public uint Srcfreq;
    public Float3 Position;
    /// <summary>Azimuth, elevation, roll and an unused value; or the quaternion w, x, y, z.</summary>
    public Float4 Rotation;
    public StartupHemisphere StartupHem;
}

/// <summary>A field source's rotation (<c>_SRCROT_CONFIG</c>).</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public struct SrcrotConfig
{
    public uint Srcfreq;
    public Float4 Rotation;
}

/// <summary>A sensor's operating hemisphere (<c>_HEMISPHERE_CONFIG</c>).</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public struct HemisphereConfig
{
    /// <summary>The enable bits: bit 0 tracking, bit 1 automatic.</summary>
    public uint Bf;
    /// <summary>The hemisphere direction x, y, z.</summary>
    public Float3 Vector;
    public bool TrackEn { get { return (Bf & 1) != 0; } set { Bf = value ? Bf | 1u : Bf & ~1u; } }
    public bool AutoEn { get { return (Bf & 2) != 0; } set { Bf = value ? Bf | 2u : Bf & ~2u; } }
}

/// <summary>A sensor's position or orientation filter (<c>_FILTER_CONFIG</c>).</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public struct FilterConfig
{
    public FilterLevel Level;
    public float F;
    public float Flow;
    public float Fhigh;
    public float MaxT;
}

/// <summary>A sensor's tip offset (<c>_TIP_OFFSET_CONFIG</c>), in the position units.</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public struct TipOffsetConfig
{
    public float X;
    public float Y;
    public float Z;
}

/// <summary>A sensor's output increment thresholds (<c>_INCREMENT_CONFIG</c>).</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public struct IncrementConfig
{
    public uint Enabled;
    /// <summary>0 or less: automatic.</summary>
    public float FPosThresh;
    /// <summary>0 or less: automatic.</summary>
    public float FOriThresh;
}

/// <summary>A sensor's boresight (<c>_BORESIGHT_CONFIG</c>).</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public struct BoresightConfig
{
    /// <summary>Three Euler angles and an unused value, or w, x, y, z.</summary>
    public Float4 Ori;
}

/// <summary>A sensor's prediction filter (<c>_PF_CONFIG</c>).</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public struct PfConfig
{
    public uint QFilOn;
    public uint PFilOn;
    /// <summary>Seconds.</summary>
    public float PredTime;
}

/// <summary>The noise matrices of a prediction filter (<c>_NOISEPROFILE</c>).</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public struct Noiseprofile
{
    public Matrix4 Rq;
    public Matrix3 Qq;
    public Matrix3 Rr;
    public Matrix3 Qr;
}

/// <summary>A sensor's prediction filter with its noise profile (<c>_PF_CONFIG_EXT</c>).</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public struct PfConfigExt
{
    public uint QFilOn;
    public uint PFilOn;
    public float PredTime;
    public uint Reserved;
    public Noiseprofile Noise;
}

/// <summary>A virtual sensor's input (<c>_VIRTUAL_SNS_CONFIG</c>).</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public struct VirtualSnsConfig
{
    public uint Input1;
    public uint Word1;
    public uint Word2;
    public uint Word3;
}

/// <summary>The identity of the unit, a sensor or a source (<c>_WHOAMI_STRUCT</c>).</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public struct WhoamiStruct
{
    public Text64 DeviceName;
    public Text32 HwSerNo;
    public Text32 Ioproc;
    public Text32 DspBtFw;
    public Text32 DspAppFw;
}

/// <summary>The built-in-test result (<c>_BIT_STRUCT</c>): word i, the error bits of BIT code i + 1.</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public struct BitStruct
{
    public Words7 Err;
}

/// <summary>The self-calibration state (<c>_SELFCAL_CONFIG</c>).</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public struct SelfcalConfig
{
    /// <summary>Bits 0-7 operating state, bits 8-15 memory state.</summary>
    public uint State;
    public CorrectionRate CorrectionRate;
    public float CustomRate;
}

/// <summary>A position and orientation (<c>_PNO</c>).</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public struct Pno
{
    public Float3 Pos;
    public Float4 Ori;
}

/// <summary>The descriptor of a received frame (<c>_sxFrameInfo</c>; natural
/// alignment, not packed).</summary>
[StructLayout(LayoutKind.Sequential)]
public struct SxFrameInfo
{
    /// <summary>The frame's bytes (or its P&amp;O body), owned by the library.</summary>
    public IntPtr PFrame;
    public uint FrameLen;
    public uint SeqNum;
    public int ErrCode;
    /// <summary>Receive time, monotonic clock, ns (when time stamping is on).</summary>
    public ulong TimeStamp;
}
}
