// The library as a whole: version, trace level, error texts, and its trace
// lines as a C# event. The lines are taken on whichever thread writes them
// (the library holds its trace locks then) and raised in order on a thread
// of their own, so a handler may take its time and may call the library.
using System;
using System.Collections.Generic;
using System.Runtime.InteropServices;
using System.Threading;
using SXCmdIF.Interop;
#if UNITY_2018_1_OR_NEWER
using AOT;
#endif

namespace SXCmdIF
{
/// <summary>Receives one trace line of the library: its level (0 for lines
/// written at any level, up to 7) and the line without its line end.</summary>
public delegate void TraceHandler(int level, string line);

/// <summary>The library as a whole.</summary>
public static class Library
{
    /// <summary>The library's version text.</summary>
    public static string Version { get { return Marshal.PtrToStringAnsi(Native.sxcmdif_version()); } }

    /// <summary>The library's build date and time.</summary>
    public static string BuildDateTime { get { return Marshal.PtrToStringAnsi(Native.sxcmdif_datetime()); } }

    /// <summary>The library-wide trace level 0 to 7 (any other value: off),
    /// taken by trackers opened afterwards.</summary>
    public static void SetTrace(int level) { Native.sxcmdif_trace(level); }

    /// <summary>The library's text of any result value (<c>sxcmdif_errorStr</c>).</summary>
    public static string ErrorText(int value)
    {
        // A composed text lives in one buffer the library shares: copied at once.
        return Marshal.PtrToStringAnsi(Native.sxcmdif_errorStr(value));
    }

    // ---- Trace lines ------------------------------------------------------------

    const int MaxQueued = 100000;
    static readonly object s_lock = new object();
    static readonly Queue<KeyValuePair<int, string>> s_lines = new Queue<KeyValuePair<int, string>>();
    static TraceHandler s_handlers;
    static Thread s_dispatcher;
    static int s_busy; // lines taken off the queue and not yet handled
    static long s_dropped;
    // Kept in a static field: native code holds its thunk for as long as it is installed.
    static readonly TraceCallback s_traceCallback = OnTraceLine;

    /// <summary>Every trace line of the library and of its transports, while
    /// a handler is attached (standard output has them otherwise). Handlers
    /// run on one thread of the binding's, in the order the lines were written.</summary>
    public static event TraceHandler TraceLine
    {
        add {
            lock (s_lock) {
                bool first = s_handlers == null;
                s_handlers += value;
                if (first && s_handlers != null) {
                    if (s_dispatcher == null) {
                        s_dispatcher = new Thread(Dispatch) { IsBackground = true, Name = "SXCmdIF trace" };
                        s_dispatcher.Start();
                    }
                    Native.sxcmdif_set_trace_cb(s_traceCallback, IntPtr.Zero);
                }
            }
        }
        remove {
            lock (s_lock) {
                s_handlers -= value;
                if (s_handlers == null)
                    Native.sxcmdif_set_trace_cb(null, IntPtr.Zero);
            }
        }
    }

    /// <summary>Lines dropped because more than 100,000 waited for the handlers.</summary>
    public static long TraceLinesDropped { get { return Interlocked.Read(ref s_dropped); } }

    /// <summary>Waits until every line taken so far has been handled, at most
    /// timeoutMs; whether it was.</summary>
    public static bool FlushTrace(int timeoutMs)
    {
        var end = DateTime.UtcNow.AddMilliseconds(timeoutMs);
        lock (s_lock) {
            while (s_lines.Count > 0 || s_busy > 0) {
                var left = end - DateTime.UtcNow;
                if (left <= TimeSpan.Zero)
                    return false;
                Monitor.Wait(s_lock, left);
            }
        }
        return true;
    }

    [MonoPInvokeCallback(typeof(TraceCallback))]
    static void OnTraceLine(IntPtr arg, int level, IntPtr line)
    {
        try {
            string text = Marshal.PtrToStringAnsi(line);
            lock (s_lock) {
                if (s_lines.Count >= MaxQueued) {
                    ++s_dropped;
                    return;
                }
                s_lines.Enqueue(new KeyValuePair<int, string>(level, text));
                Monitor.PulseAll(s_lock);
            }
        } catch {
            // Nothing may unwind into the library.
        }
    }

    static void Dispatch()
    {
        for (;;) {
            KeyValuePair<int, string> line;
            TraceHandler handlers;
            lock (s_lock) {
                while (s_lines.Count == 0)
                    Monitor.Wait(s_lock);
                line = s_lines.Dequeue();
                handlers = s_handlers;
                ++s_busy;
            }
            try {
                if (handlers != null)
                    handlers(line.Key, line.Value);
            } catch {
                // A handler's failure is its own; the next line is still raised.
            } finally {
                lock (s_lock) {
                    --s_busy;
                    Monitor.PulseAll(s_lock);
                }
            }
        }
    }
}
}
