// A sensor's pose in Unity's frame, written once here: Unity is
// left-handed with y up and x right, in metres. The tracker's poses are
// taken as right-handed with z up: x right, y forward, z up, in the
// position units in force; Euler angles are azimuth about z, elevation
// about y and roll about x, applied in that order (q = qz * qy * qx).
// Swapping y and z turns one frame into the other: a position (x, y, z)
// becomes (x, z, y) metres, and a rotation's axis changes sign with the
// handedness, so the quaternion (w, x, y, z) becomes (w, -x, -z, -y).
// No UnityEngine type is used, so the conversion is tested outside Unity.
using System;

namespace SXCmdIF.Unity
{
/// <summary>A position in Unity's frame, metres (Vector3's x, y, z).</summary>
public struct UnityVector
{
    public float X, Y, Z;
    public UnityVector(float x, float y, float z) { X = x; Y = y; Z = z; }
    public override string ToString() { return "(" + X + ", " + Y + ", " + Z + ")"; }
}

/// <summary>A rotation in Unity's frame (Quaternion's x, y, z, w).</summary>
public struct UnityRotation
{
    public float X, Y, Z, W;
    public UnityRotation(float x, float y, float z, float w) { X = x; Y = y; Z = z; W = w; }
    public override string ToString() { return "(" + X + ", " + Y + ", " + Z + ", " + W + ")"; }
}

/// <summary>A sensor's pose in Unity's frame, with the frame it came from.</summary>
public struct UnityPose
{
    public int Sensor;
    public UnityVector Position;
    public UnityRotation Rotation;
    public uint FrameCount;
    /// <summary>The measurement time, monotonic clock, ns.</summary>
    public long TimeNs;
}

/// <summary>The conversion into Unity's frame.</summary>
public static class UnityFrame
{
    /// <summary>Metres per position unit: inch, foot, centimetre, metre.</summary>
    public static float MetresPer(PosUnits units)
    {
        switch (units) {
        case PosUnits.Inch: return 0.0254f;
        case PosUnits.Foot: return 0.3048f;
        case PosUnits.Cm: return 0.01f;
        default: return 1.0f;
        }
    }

    /// <summary>A tracker position in its units as a Unity position.</summary>
    public static UnityVector Position(Float3 p, PosUnits units)
    {
        float m = MetresPer(units);
        return new UnityVector(p.X * m, p.Z * m, p.Y * m);
    }

    /// <summary>A tracker orientation in its units (Euler degrees or radians,
    /// or the quaternion w, x, y, z) as a Unity rotation.</summary>
    public static UnityRotation Rotation(Float4 o, OriUnits units)
    {
        double w, x, y, z;
        if (units == OriUnits.Quaternion) {
            w = o.A; x = o.B; y = o.C; z = o.D;
        } else {
            double k = units == OriUnits.EulerRadian ? 0.5 : Math.PI / 360.0; // half angles
            double ca = Math.Cos(o.A * k), sa = Math.Sin(o.A * k);
            double ce = Math.Cos(o.B * k), se = Math.Sin(o.B * k);
            double cr = Math.Cos(o.C * k), sr = Math.Sin(o.C * k);
            // qz(azimuth) * qy(elevation) * qx(roll)
            w = ca * ce * cr + sa * se * sr;
            x = ca * ce * sr - sa * se * cr;
            y = ca * se * cr + sa * ce * sr;
            z = sa * ce * cr - ca * se * sr;
        }
        return new UnityRotation((float)-x, (float)-z, (float)-y, (float)w);
    }

    /// <summary>One sensor record of a frame as a Unity pose.</summary>
    public static UnityPose Pose(in Frame frame, int record)
    {
        SensorPose s = frame[record];
        return new UnityPose {
            Sensor = s.Sensor,
            Position = Position(s.Position, s.PosUnits),
            Rotation = Rotation(s.Orientation, s.OriUnits),
            FrameCount = frame.FrameCount,
            TimeNs = frame.Time.MonotonicNs,
        };
    }
}
}
