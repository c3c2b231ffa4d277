// The reading thread's side of a tracker: the frame it decodes every frame
// into, the handler, the frame clock. It holds neither the tracker nor its
// handles, so what the reading thread keeps of it (Mono and IL2CPP scan
// native stacks conservatively) never keeps a forgotten tracker's device
// from being released.
using System;
using System.Runtime.InteropServices;
using System.Threading;
using SXCmdIF.Interop;
#if UNITY_2018_1_OR_NEWER
using AOT;
#endif

namespace SXCmdIF
{
internal sealed unsafe class FrameSink
{
    internal readonly FrameClock Clock = new FrameClock();
    internal volatile FrameHandler Handler;
    internal long Errors;
    internal Exception LastError;
    Frame m_frame; // filled again for every frame: nothing is allocated
    uint m_seq;

    // The sink whose handler runs on this thread.
    [ThreadStatic] internal static FrameSink t_current;

    // Kept in a static field for as long as the process lives: native code
    // holds its thunk, and IL2CPP needs a static method.
    internal static readonly PnoCallback Callback = OnPnoFrame;

    [MonoPInvokeCallback(typeof(PnoCallback))]
    static void OnPnoFrame(IntPtr arg, IntPtr frame, uint length)
    {
        FrameSink sink = null;
        try {
            sink = GCHandle.FromIntPtr(arg).Target as FrameSink;
            if (sink != null)
                sink.Deliver((byte*)frame, length);
        } catch (Exception e) {
            // Nothing may unwind into the library's reading thread.
            if (sink != null) {
                Interlocked.Increment(ref sink.Errors);
                sink.LastError = e;
            }
        } finally {
            t_current = null;
        }
    }

    void Deliver(byte* f, uint length)
    {
        long arrival = FrameClock.MonotonicNs();
        if (!m_frame.DecodeRaw(f, length))
            return;
        m_frame.Seq = ++m_seq;
        m_frame.ErrorCode = 0;
        m_frame.ArrivalNs = arrival;
        lock (Clock)
            m_frame.Time = Clock.Stamp(m_frame.FrameCount, arrival);
        FrameHandler h = Handler;
        if (h != null) {
            t_current = this;
            h(in m_frame);
        }
    }
}
}
