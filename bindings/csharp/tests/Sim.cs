// A simulated tracker for a test: sxsim on a pseudo-terminal of its own,
// made serial port 1 through SXSERIO_PORTS, as the Python tests do.
using System;
using System.Diagnostics;
using System.IO;
using System.Runtime.InteropServices;

namespace SXCmdIF.Tests
{
internal sealed class Sim : IDisposable
{
    readonly Process m_process;
    public readonly string Path;

    [DllImport("libc", SetLastError = true)]
    static extern int setenv(string name, string value, int overwrite);

    /// <summary>Starts sxsim with the options given and names its line as port 1.</summary>
    public Sim(string options)
    {
        var info = new ProcessStartInfo(Env("SXCS_SXSIM"), "--quiet " + options) {
            UseShellExecute = false,
            RedirectStandardOutput = true,
            RedirectStandardError = true,
        };
        m_process = Process.Start(info);
        Path = m_process.StandardOutput.ReadLine();
        if (Path == null || !Path.StartsWith("/dev/"))
            throw new InvalidOperationException("sxsim did not name its line: " + m_process.StandardError.ReadToEnd());
        SetPorts(Path);
    }

    /// <summary>Names the serial ports; the library reads the list where the
    /// C library keeps the environment.</summary>
    public static void SetPorts(string ports)
    {
        setenv("SXSERIO_PORTS", ports, 1);
    }

    public void Dispose()
    {
        try {
            if (!m_process.HasExited)
                m_process.Kill();
            m_process.WaitForExit(5000);
        } catch (InvalidOperationException) {
        }
        m_process.Dispose();
    }

    public static string Env(string name)
    {
        string v = Environment.GetEnvironmentVariable(name);
        if (string.IsNullOrEmpty(v))
            throw new InvalidOperationException(name + " is not set (ctest sets it)");
        return v;
    }

    public static string GenFile(string name)
    {
        return System.IO.Path.Combine(Env("SXCS_GEN"), name);
    }

    /// <summary>A tracker on the simulator, commands waiting 500 ms as the tools do on a loaded machine.</summary>
    public Tracker Open()
    {
        return Tracker.OpenSerial(1, 0, 500, 3);
    }
}
}
