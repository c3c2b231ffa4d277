// The line layout of the library's P&O text report (CSXSeuPno::Report), for
// applications that print frames as sxtool and the C++ example do. Its
// formats are the library's; a test holds the result against the library's
// own report of the same frames, byte for byte.
using System.Text;

namespace SXCmdIF
{
internal static class PnoText
{
    const string LineSensor = "%2d  %2d  %09d  ";
    const string LineButtons = "%c%c  ";
    const string LineOriQ = " %- 8.4f %- 8.4f %- 8.4f %- 8.4f %s";
    const string LineOriE = " %- 8.3f %- 8.3f %- 8.3f %s";
    const string LineAccel = " %- 8.3f  %- 8.3f  %- 8.3f  %- 8.3f %s";
    const string LineNoAccel = "%s";
    const string CrLf = "\r\n";
    // CSXSeuPno::szPosFmtSign, by position units.
    static readonly string[] PosFmtSign = {
        " %- 9.3f %- 9.3f %- 9.3f",
        " %- 10.5f %- 10.5f %- 10.5f",
        " %- 11.4f %- 11.4f %- 11.4f",
        " %- 11.6f %- 11.6f %- 11.6f",
    };

    internal static void Lines(in Frame f, StringBuilder sb, bool zeroBased, bool accel)
    {
        int o = zeroBased ? 0 : 1;
        int s = unchecked((int)(f.SeuId + (uint)o));
        int n = unchecked((int)f.FrameCount);
        string e = accel ? "" : CrLf;
        for (int k = 0; k < f.SensorCount; ++k) {
            SensorPose v = f[k];
            CFormat.Append(sb, LineSensor, s, v.Sensor + o, n);
            CFormat.Append(sb, LineButtons, v.Button0 ? '1' : '0', v.Button1 ? '1' : '0');
            CFormat.Append(sb, PosFmtSign[(int)v.PosUnits], v.Position.X, v.Position.Y, v.Position.Z);
            Float4 q = v.Orientation;
            if (v.IsQuaternion)
                CFormat.Append(sb, LineOriQ, q.A, q.B, q.C, q.D, e);
            else
                CFormat.Append(sb, LineOriE, q.A, q.B, q.C, e);
            if (accel) {
                Float4 a = v.Acceleration;
                if (f.Mode != 0)
                    CFormat.Append(sb, LineAccel, a.A, a.B, a.C, a.D, CrLf);
                else
                    CFormat.Append(sb, LineNoAccel, CrLf);
            }
        }
    }
}
}
