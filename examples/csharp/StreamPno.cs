// stream_pno_cs [PORT | --usb]: the C# twin of examples/stream_pno.cpp.
// Connects the tracker on serial port PORT (numbered from 1, as `sxtool
// list` shows them; 1 when none is given) or on USB, sets centimetres and
// Euler angles in degrees, streams 100 frames and prints each one line per
// sensor on standard output, the same lines as the C++ example. When no
// frame comes for two seconds it says so and stops. The library's trace
// lines go to standard error, apart from the data. (SXSERIO_PORTS names the
// serial ports, as for a simulated tracker from sxsim.)
using System;
using System.Diagnostics;
using System.IO;
using System.Text;
using System.Threading;
using SXCmdIF;

static class StreamPno
{
    static int Main(string[] args)
    {
        bool usb = args.Length == 1 && args[0] == "--usb";
        int port = args.Length == 1 && !usb ? Atoi(args[0]) : 1;
        if (args.Length > 1 || port < 1) {
            Console.Error.WriteLine("usage: stream_pno_cs [PORT | --usb]   (PORT: a serial port from 1)");
            return 2;
        }
        Library.TraceLine += (level, line) => Console.Error.WriteLine(line);

        Stream stdout = Console.OpenStandardOutput();
        Tracker tracker = null;
        string error = null;
        int frames = 0;
        bool stalled = false;
        try {
            tracker = usb ? Tracker.OpenUsb() : Tracker.OpenSerial(port, 0, 500, 1); // answers may be late on a busy machine
            tracker.Set(Item.Units, new UnitsConfig(PosUnits.Cm, OriUnits.EulerDegree));
            tracker.Start(false);

            var patience = TimeSpan.FromSeconds(2);
            var lastFrame = Stopwatch.StartNew();
            while (frames < 100) {
                Frame f;
                if (!tracker.TryRead(out f)) { // queue empty
                    if (lastFrame.Elapsed > patience) {
                        stalled = true;
                        break;
                    }
                    Thread.Sleep(5);
                    continue;
                }
                lastFrame.Restart();
                byte[] line = Encoding.ASCII.GetBytes(f.Report(true, false)); // one line per sensor
                stdout.Write(line, 0, line.Length);
                ++frames;
            }
        } catch (SXException e) {
            error = e.Name;
        }
        stdout.Flush();
        if (tracker != null) {
            try {
                tracker.Stop();
            } catch (SXException) {
            }
        }
        if (error != null)
            Console.Error.WriteLine("error: " + error);
        if (stalled)
            Console.Error.WriteLine("error: no frame for 2 s after " + frames + " frames; is the tracker still connected?");
        if (tracker != null)
            tracker.Dispose(); // releases the device and the context
        Library.FlushTrace(1000);
        return error == null && !stalled ? 0 : 1;
    }

    // As C's atoi: the leading digits, 0 when there are none.
    static int Atoi(string s)
    {
        int i = 0, sign = 1, v = 0;
        while (i < s.Length && char.IsWhiteSpace(s[i]))
            ++i;
        if (i < s.Length && (s[i] == '+' || s[i] == '-'))
            sign = s[i++] == '-' ? -1 : 1;
        while (i < s.Length && s[i] >= '0' && s[i] <= '9' && v < 100000000)
            v = v * 10 + (s[i++] - '0');
        return sign * v;
    }
}
