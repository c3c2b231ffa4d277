// What the native layer needs beside its generated imports: the callback
// types, the attribute IL2CPP looks for on callbacks, and the handles that
// own a context and a device.
using System;
using System.Collections.Generic;
using System.Runtime.ConstrainedExecution;
using System.Runtime.InteropServices;

namespace SXCmdIF.Interop
{
/// <summary>The P&amp;O callback (<c>SXPnoCallback</c>): called on the device's
/// reading thread with each whole raw frame, valid during the call only.</summary>
[UnmanagedFunctionPointer(CallingConvention.Cdecl)]
public delegate void PnoCallback(IntPtr arg, IntPtr frame, uint length);

/// <summary>The trace receiver (<c>sxcmdif_trace_cb</c>): one line without its line end.</summary>
[UnmanagedFunctionPointer(CallingConvention.Cdecl)]
public delegate void TraceCallback(IntPtr arg, int level, IntPtr line);

#if !UNITY_2018_1_OR_NEWER
/// <summary>Marks a static method that native code calls. IL2CPP (Unity's
/// ahead-of-time backend) recognises the attribute by its name and makes a
/// native entry for the method; outside Unity it only documents.</summary>
[AttributeUsage(AttributeTargets.Method)]
public sealed class MonoPInvokeCallbackAttribute : Attribute
{
    public MonoPInvokeCallbackAttribute(Type delegateType) { DelegateType = delegateType; }
    public Type DelegateType { get; private set; }
}
#endif

/// <summary>A library context (<c>sxcmdif_init</c>), released by <c>sxcmdif_release</c>
/// when the last user lets it go: disposed, or finalised when forgotten.</summary>
public sealed class ContextHandle : SafeHandle
{
    public ContextHandle() : base(IntPtr.Zero, true) {}

    public override bool IsInvalid { get { return handle == IntPtr.Zero; } }

    /// <summary>A new context.</summary>
    /// <exception cref="SXException">the library could not make one</exception>
    public static ContextHandle Create()
    {
        var h = new ContextHandle();
        IntPtr raw = IntPtr.Zero;
        int rc;
        // The handle owns the context from the moment it exists (no
        // asynchronous exception between the two).
        try {
        } finally {
            rc = Native.sxcmdif_init(ref raw);
            if (rc == 0)
                h.SetHandle(raw);
        }
        if (rc != 0)
            throw new SXException(rc, "sxcmdif_init");
        return h;
    }

    [ReliabilityContract(Consistency.WillNotCorruptState, Cer.Success)]
    protected override bool ReleaseHandle()
    {
        return Native.sxcmdif_release(handle) == 0;
    }
}

/// <summary>A connected device of a context. Releasing it (disposed, or
/// finalised when forgotten) releases the device through its context, which
/// stops its reading thread, then lets the context go; the native callback's
/// argument is freed only after that, when nothing can call with it.</summary>
public sealed class DeviceHandle : SafeHandle
{
    readonly ContextHandle m_ctx;
    IntPtr m_callbackArg; // a GCHandle, freed on release

    internal DeviceHandle(ContextHandle ctx, IntPtr dev) : base(IntPtr.Zero, true)
    {
        bool added = false;
        ctx.DangerousAddRef(ref added);
        m_ctx = ctx;
        SetHandle(dev);
        lock (s_live) {
            s_live.RemoveAll(w => !w.IsAlive);
            s_live.Add(new WeakReference(this));
        }
    }

    // The devices not yet released. When the program ends they are released
    // before the finalisers run: by then the runtime stops the threads it
    // knows, and a reading thread waiting to enter a frame handler would
    // never let its device's release finish.
    static readonly List<WeakReference> s_live = new List<WeakReference>();

    static DeviceHandle()
    {
        AppDomain.CurrentDomain.ProcessExit += ReleaseAll;
        AppDomain.CurrentDomain.DomainUnload += ReleaseAll;
    }

    static void ReleaseAll(object sender, EventArgs e)
    {
        WeakReference[] live;
        lock (s_live)
            live = s_live.ToArray();
        foreach (var w in live) {
            var h = w.Target as DeviceHandle;
            if (h != null)
                h.Dispose();
        }
    }

    public override bool IsInvalid { get { return handle == IntPtr.Zero; } }

    /// <summary>The context the device belongs to.</summary>
    public ContextHandle Context { get { return m_ctx; } }

    /// <summary>The context's raw handle (valid while this handle is in use).</summary>
    internal IntPtr RawContext { get { return m_ctx.DangerousGetHandle(); } }

    /// <summary>Hands the handle a GCHandle to free once the device is released.</summary>
    internal void KeepCallbackArg(IntPtr gcHandle) { m_callbackArg = gcHandle; }

    /// <summary>The native callback's argument.</summary>
    internal IntPtr CallbackArg { get { return m_callbackArg; } }

    [ReliabilityContract(Consistency.WillNotCorruptState, Cer.Success)]
    protected override bool ReleaseHandle()
    {
        // No frame handler runs once the callback is removed (a handler under
        // way is waited for); then the device and its reading thread go.
        Native.sxdev_SetPnoCallback(m_ctx.DangerousGetHandle(), handle, null, IntPtr.Zero);
        Native.sxctx_dev_release(m_ctx.DangerousGetHandle(), handle);
        if (m_callbackArg != IntPtr.Zero) {
            GCHandle.FromIntPtr(m_callbackArg).Free();
            m_callbackArg = IntPtr.Zero;
        }
        m_ctx.DangerousRelease();
        // The device is released in every case, also when closing its
        // transport reported an error.
        return true;
    }
}
}
