// Small fixed-size values the records and frames are made of. Each has the
// layout of the C array it stands for (float[3], char[64], ...), so a record
// that holds one keeps the C record's layout byte for byte.
using System;
using System.Runtime.InteropServices;
using System.Text;

namespace SXCmdIF
{
/// <summary>Three floats: x, y, z (a C <c>float[3]</c>).</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public struct Float3
{
    public float X, Y, Z;

    public Float3(float x, float y, float z) { X = x; Y = y; Z = z; }

    /// <summary>Element i (0 to 2).</summary>
    public float this[int i]
    {
        get { switch (i) { case 0: return X; case 1: return Y; case 2: return Z; } throw Index(i, 3); }
        set { switch (i) { case 0: X = value; return; case 1: Y = value; return; case 2: Z = value; return; } throw Index(i, 3); }
    }

    internal static ArgumentOutOfRangeException Index(int i, int n)
    {
        return new ArgumentOutOfRangeException("i", i, "an index from 0 to " + (n - 1));
    }

    public override string ToString() { return "(" + X + ", " + Y + ", " + Z + ")"; }
}

/// <summary>Four floats (a C <c>float[4]</c>): three Euler angles (azimuth,
/// elevation, roll) and an unused value, or a quaternion w, x, y, z.</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public struct Float4
{
    public float A, B, C, D;

    public Float4(float a, float b, float c, float d) { A = a; B = b; C = c; D = d; }

    public float Azimuth { get { return A; } set { A = value; } }
    public float Elevation { get { return B; } set { B = value; } }
    public float Roll { get { return C; } set { C = value; } }
    public float W { get { return A; } set { A = value; } }
    public float X { get { return B; } set { B = value; } }
    public float Y { get { return C; } set { C = value; } }
    public float Z { get { return D; } set { D = value; } }

    /// <summary>Element i (0 to 3).</summary>
    public float this[int i]
    {
        get { switch (i) { case 0: return A; case 1: return B; case 2: return C; case 3: return D; } throw Float3.Index(i, 4); }
        set {
            switch (i) {
            case 0: A = value; return;
            case 1: B = value; return;
            case 2: C = value; return;
            case 3: D = value; return;
            }
            throw Float3.Index(i, 4);
        }
    }

    public override string ToString() { return "(" + A + ", " + B + ", " + C + ", " + D + ")"; }
}

/// <summary>Seven unsigned words (a C <c>uint32_t[7]</c>).</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public unsafe struct Words7
{
    private fixed uint m_w[7];

    public uint this[int i]
    {
        get { Check(i); fixed (uint* p = m_w) return p[i]; }
        set { Check(i); fixed (uint* p = m_w) p[i] = value; }
    }

    static void Check(int i) { if (i < 0 || i >= 7) throw Float3.Index(i, 7); }
}

/// <summary>A 4 x 4 matrix of floats, row-major (a C <c>float[4][4]</c>).</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public unsafe struct Matrix4
{
    private fixed float m_v[16];

    public float this[int row, int col]
    {
        get { Check(row, col); fixed (float* p = m_v) return p[row * 4 + col]; }
        set { Check(row, col); fixed (float* p = m_v) p[row * 4 + col] = value; }
    }

    static void Check(int r, int c) { if (r < 0 || r >= 4 || c < 0 || c >= 4) throw Float3.Index(r < 0 || r >= 4 ? r : c, 4); }
}

/// <summary>A 3 x 3 matrix of floats, row-major (a C <c>float[3][3]</c>).</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public unsafe struct Matrix3
{
    private fixed float m_v[9];

    public float this[int row, int col]
    {
        get { Check(row, col); fixed (float* p = m_v) return p[row * 3 + col]; }
        set { Check(row, col); fixed (float* p = m_v) p[row * 3 + col] = value; }
    }

    static void Check(int r, int c) { if (r < 0 || r >= 3 || c < 0 || c >= 3) throw Float3.Index(r < 0 || r >= 3 ? r : c, 3); }
}

/// <summary>Text of at most 64 bytes (a C <c>char[64]</c>), ended by a zero
/// byte within them when well formed.</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public unsafe struct Text64
{
    private fixed byte m_b[64];

    /// <summary>The text up to its zero byte (all 64 bytes when it has none).</summary>
    public override string ToString() { fixed (byte* p = m_b) return TextBytes.Read(p, 64); }

    /// <summary>Sets the text, cut to 63 bytes, zero-filled after it.</summary>
    public void Set(string text) { fixed (byte* p = m_b) TextBytes.Write(p, 64, text); }
}

/// <summary>Text of at most 32 bytes (a C <c>char[32]</c>).</summary>
[StructLayout(LayoutKind.Sequential, Pack = 1)]
public unsafe struct Text32
{
    private fixed byte m_b[32];

    public override string ToString() { fixed (byte* p = m_b) return TextBytes.Read(p, 32); }

    public void Set(string text) { fixed (byte* p = m_b) TextBytes.Write(p, 32, text); }
}

internal static unsafe class TextBytes
{
    // The records' texts are bytes; each byte is one character (Latin-1).
    internal static string Read(byte* p, int n)
    {
        int len = 0;
        while (len < n && p[len] != 0)
            ++len;
        var sb = new StringBuilder(len);
        for (int i = 0; i < len; ++i)
            sb.Append((char)p[i]);
        return sb.ToString();
    }

    internal static void Write(byte* p, int n, string text)
    {
        text = text ?? "";
        for (int i = 0; i < n; ++i)
            p[i] = i < n - 1 && i < text.Length ? (byte)text[i] : (byte)0;
    }
}
}
