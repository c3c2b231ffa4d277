// The exported function behind each item, one adapter a row, in the shape
// the item table calls. The generated table names an adapter for every
// item: an item without one here does not compile.
using System;
using SXCmdIF.Interop;
using N = SXCmdIF.Interop.Native;

namespace SXCmdIF
{
internal static unsafe class ItemCalls
{
    // Unit level.
    internal static int Units(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    { return N.sxcmd_dev_units(c, d, a, (UnitsConfig*)p); }
    internal static int Framerate(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    { return N.sxcmd_dev_framerate(c, d, a, (FramerateConfig*)p); }
    internal static int Sync(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    { return N.sxcmd_dev_syncmode(c, d, a, (BinaryConfig*)p); }
    internal static int Dualoutput(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    { return N.sxcmd_dev_dualoutput(c, d, a, (BinaryConfig*)p); }
    internal static int Oor(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    { return N.sxcmd_dev_oormode(c, d, a, (BinaryConfig*)p); }
    internal static int Stylus(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    { return N.sxcmd_dev_stylusmode(c, d, a, (StylusConfig*)p); }
    internal static int Serial(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    { return N.sxcmd_dev_serialif(c, d, a, (SerialConfig*)p); }
    internal static int Seuid(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    { return N.sxcmd_dev_id(c, d, a, (SeuidConfig*)p); }
    internal static int Selfcal(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    { return N.sxcmd_dev_selfcalstate(c, d, a, (SelfcalConfig*)p); }
    internal static int Stationmap(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    { return N.sxcmd_dev_stationmap(c, d, (StationMap*)p); }
    internal static int Bit(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    { return N.sxcmd_dev_bit(c, d, (BitStruct*)p); }
    internal static int Whoami(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    {
        if (l == ItemLevel.Sensor)
            return N.sxcmd_sns_whoami(c, d, i, (WhoamiStruct*)p);
        if (l == ItemLevel.Source)
            return N.sxcmd_dev_sourcewhoami(c, d, i, (WhoamiStruct*)p);
        return N.sxcmd_dev_whoami(c, d, (WhoamiStruct*)p);
    }
    internal static int Sourcecfg(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    { return N.sxcmd_dev_sourcecfg(c, d, i, a, (SrcConfig*)p); }
    internal static int Sourcerot(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    { return N.sxcmd_dev_sourcerot(c, d, i, a, (SrcrotConfig*)p); }
    internal static int Selfcalsave(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    { return N.sxcmd_dev_selfcalsave(c, d, a); }
    internal static int Block(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    { return N.sxcmd_dev_resetblockcfg(c, d); }
    internal static int Framecount(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    { return N.sxcmd_dev_reset_framecount(c, d); }

    // Sensor level.
    internal static int Filter(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    { return N.sxcmd_sns_filter(c, d, i, a, (FilterConfig*)p, arg2); }
    internal static int Hemisphere(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    { return N.sxcmd_sns_hemisphere(c, d, i, a, (HemisphereConfig*)p); }
    internal static int Boresight(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    { return N.sxcmd_sns_boresight(c, d, i, a, (BoresightConfig*)p, arg2); }
    internal static int Tipoffset(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    { return N.sxcmd_sns_tipoffset(c, d, i, a, (TipOffsetConfig*)p); }
    internal static int Increment(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    { return N.sxcmd_sns_increment(c, d, i, a, (IncrementConfig*)p); }
    internal static int Srcselect(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    { return N.sxcmd_sns_srcselect(c, d, i, a, (SrcSelConfig*)p); }
    internal static int Predfilter(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    { return N.sxcmd_sns_predfilter(c, d, i, a, (PfConfig*)p); }
    internal static int Predfilterext(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    { return N.sxcmd_sns_predfilterext(c, d, i, a, (PfConfigExt*)p); }
    internal static int Virtual(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    { return N.sxcmd_sns_virtual(c, d, i, a, (VirtualSnsConfig*)p); }
    internal static int Fttmode(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    { return N.sxcmd_sns_fttmode(c, d, i, a, (EnumConfig*)p); }
    internal static int Origin(IntPtr c, IntPtr d, ItemLevel l, int i, CmdAction a, void* p, int arg2)
    { return N.sxcmd_sns_origin(c, d, i, a, (EnumConfig*)p); }
}
}
