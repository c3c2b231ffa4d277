// The configuration items, one row each: name, record, actions, the
// exported functions at the unit, a sensor or a source, the meaning of the
// second argument word, the value words of a SET and a line of help.
#include "ItemTable.h"

#include <SXCmdIF/SXCmdIFdev.h>

#include <iterator>

namespace sxitems {

namespace {

// Adapters from the exported functions to the two call shapes of the table.
#define SXI_UNIT(fn, T) [](void* c, void* d, eCmdActions a, void* p, int) { return fn(c, d, a, static_cast<T*>(p)); }
#define SXI_UNIT_GET(fn, T) [](void* c, void* d, eCmdActions, void* p, int) { return fn(c, d, static_cast<T*>(p)); }
#define SXI_INDEX(fn, T)                                                                                               \
    [](void* c, void* d, int i, eCmdActions a, void* p, int) { return fn(c, d, i, a, static_cast<T*>(p)); }
#define SXI_INDEX_ARG2(fn, T)                                                                                          \
    [](void* c, void* d, int i, eCmdActions a, void* p, int arg2) { return fn(c, d, i, a, static_cast<T*>(p), arg2); }
#define SXI_INDEX_GET(fn, T)                                                                                           \
    [](void* c, void* d, int i, eCmdActions, void* p, int) { return fn(c, d, i, static_cast<T*>(p)); }

constexpr unsigned kAll = kSet | kGet | kReset;
constexpr IndexCall kNoIndex = nullptr;
constexpr UnitCall kNoUnit = nullptr;
using R = RecordKind;

const Item kItems[] = {
    // Unit level.
    {"units", R::Units, kAll, SXI_UNIT(sxcmd_dev_units, _UNITS_CONFIG), kNoIndex, kNoIndex, Arg2::None, "POS ORI",
     "Position and orientation units."},
    {"framerate", R::FrameRate, kAll, SXI_UNIT(sxcmd_dev_framerate, _FRAMERATE_CONFIG), kNoIndex, kNoIndex, Arg2::None,
     "HZ", "Output frame rate."},
    {"sync", R::SyncMode, kAll, SXI_UNIT(sxcmd_dev_syncmode, _BINARY_CONFIG), kNoIndex, kNoIndex, Arg2::None, "on|off",
     "External synchronisation."},
    {"dualoutput", R::DualOutput, kAll, SXI_UNIT(sxcmd_dev_dualoutput, _BINARY_CONFIG), kNoIndex, kNoIndex, Arg2::None,
     "on|off", "Dual output."},
    {"oor", R::OorMode, kAll, SXI_UNIT(sxcmd_dev_oormode, _BINARY_CONFIG), kNoIndex, kNoIndex, Arg2::None, "on|off",
     "Out-of-range mode."},
    {"stylus", R::StylusMode, kAll, SXI_UNIT(sxcmd_dev_stylusmode, _STYLUS_CONFIG), kNoIndex, kNoIndex, Arg2::None,
     "MODE", "Stylus button mode."},
    {"serial", R::SerialConfig, kAll, SXI_UNIT(sxcmd_dev_serialif, _SERIAL_CONFIG), kNoIndex, kNoIndex, Arg2::None,
     "BAUD [PARITY]", "The unit's serial line."},
    {"seuid", R::SeuId, kAll, SXI_UNIT(sxcmd_dev_id, _SEUID_CONFIG), kNoIndex, kNoIndex, Arg2::None, "ID",
     "Identifier of the electronics unit."},
    {"selfcal", R::SelfCal, kAll, SXI_UNIT(sxcmd_dev_selfcalstate, _SELFCAL_CONFIG), kNoIndex, kNoIndex, Arg2::None,
     "on|off|collect [slow|med|fast|RATE]", "Self-calibration state."},
    {"stationmap", R::StationMap, kGet, SXI_UNIT_GET(sxcmd_dev_stationmap, _STATION_MAP), kNoIndex, kNoIndex,
     Arg2::None, "", "Detected sensors and sources."},
    {"bit", R::BitResult, kGet, SXI_UNIT_GET(sxcmd_dev_bit, _BIT_STRUCT), kNoIndex, kNoIndex, Arg2::None, "",
     "Built-in-test result."},
    {"whoami", R::WhoAmI, kGet, SXI_UNIT_GET(sxcmd_dev_whoami, _WHOAMI_STRUCT),
     SXI_INDEX_GET(sxcmd_sns_whoami, _WHOAMI_STRUCT), SXI_INDEX_GET(sxcmd_dev_sourcewhoami, _WHOAMI_STRUCT), Arg2::None,
     "", "Identity of the unit, of a sensor (sensor=) or of a source (source=)."},
    {"sourcecfg", R::SourceConfig, kAll, kNoUnit, kNoIndex, SXI_INDEX(sxcmd_dev_sourcecfg, _SRC_CONFIG), Arg2::None,
     "FREQ X Y Z R1 R2 R3 [R4] HEMISPHERE", "Configuration of a source."},
    {"sourcerot", R::SourceRotation, kAll, kNoUnit, kNoIndex, SXI_INDEX(sxcmd_dev_sourcerot, _SRCROT_CONFIG),
     Arg2::None, "FREQ R1 R2 R3 [R4]", "Rotation of a source."},
    {"selfcalsave", R::None, kSet | kReset,
     [](void* c, void* d, eCmdActions a, void*, int) { return sxcmd_dev_selfcalsave(c, d, a); }, kNoIndex, kNoIndex,
     Arg2::None, "", "Saves (set) or discards (reset) the self-calibration data."},
    {"block", R::None, kReset, [](void* c, void* d, eCmdActions, void*, int) { return sxcmd_dev_resetblockcfg(c, d); },
     kNoIndex, kNoIndex, Arg2::None, "", "The whole configuration (reset only: back to the unit's defaults)."},
    {"framecount", R::None, kReset,
     [](void* c, void* d, eCmdActions, void*, int) { return sxcmd_dev_reset_framecount(c, d); }, kNoIndex, kNoIndex,
     Arg2::None, "", "The P&O frame count (reset only)."},

    // Sensor level.
    {"filter", R::Filter, kAll, kNoUnit, SXI_INDEX_ARG2(sxcmd_sns_filter, _FILTER_CONFIG), kNoIndex, Arg2::FilterTarget,
     "LEVEL | custom F FLOW FHIGH MAXT", "Filter of a sensor; arg2 names the filter target."},
    {"hemisphere", R::Hemisphere, kAll, kNoUnit, SXI_INDEX(sxcmd_sns_hemisphere, _HEMISPHERE_CONFIG), kNoIndex,
     Arg2::None, "PRESET|X Y Z [auto|track]", "Operating hemisphere of a sensor."},
    {"boresight", R::Boresight, kAll, kNoUnit, SXI_INDEX_ARG2(sxcmd_sns_boresight, _BORESIGHT_CONFIG), kNoIndex,
     Arg2::ResetOrigin, "AZ EL RO | W X Y Z", "Boresight of a sensor; arg2 1 also resets the origin."},
    {"tipoffset", R::TipOffset, kAll, kNoUnit, SXI_INDEX(sxcmd_sns_tipoffset, _TIP_OFFSET_CONFIG), kNoIndex, Arg2::None,
     "X Y Z", "Tip offset of a sensor."},
    {"increment", R::Increment, kAll, kNoUnit, SXI_INDEX(sxcmd_sns_increment, _INCREMENT_CONFIG), kNoIndex, Arg2::None,
     "on|off [POS ORI]", "Output increment thresholds of a sensor."},
    {"srcselect", R::SourceSelect, kAll, kNoUnit, SXI_INDEX(sxcmd_sns_srcselect, _SRC_SEL_CONFIG), kNoIndex, Arg2::None,
     "MAP", "Sources a sensor uses."},
    {"predfilter", R::PredFilter, kAll, kNoUnit, SXI_INDEX(sxcmd_sns_predfilter, _PF_CONFIG), kNoIndex, Arg2::None,
     "on|off on|off MS", "Prediction filter of a sensor."},
    {"predfilterext", R::PredFilterExt, kAll, kNoUnit, SXI_INDEX(sxcmd_sns_predfilterext, _PF_CONFIG_EXT), kNoIndex,
     Arg2::None, "", "Prediction filter of a sensor with its noise profile."},
    {"virtual", R::VirtualSensor, kAll, kNoUnit, SXI_INDEX(sxcmd_sns_virtual, _VIRTUAL_SNS_CONFIG), kNoIndex,
     Arg2::None, "INPUT1 [WORD1 WORD2 WORD3]", "Virtual-sensor input."},
    {"fttmode", R::FttMode, kAll, kNoUnit, SXI_INDEX(sxcmd_sns_fttmode, _ENUM_CONFIG), kNoIndex, Arg2::None, "MODE",
     "FTT mode of a sensor."},
    {"origin", R::SensorOrigin, kAll, kNoUnit, SXI_INDEX(sxcmd_sns_origin, _ENUM_CONFIG), kNoIndex, Arg2::None,
     "ORIGIN", "Origin of a sensor's positions."},
};

#undef SXI_UNIT
#undef SXI_UNIT_GET
#undef SXI_INDEX
#undef SXI_INDEX_ARG2
#undef SXI_INDEX_GET

} // namespace

const Item* FindItem(const std::string& name)
{
    for (const Item& it : kItems)
        if (name == it.name)
            return &it;
    return nullptr;
}

const Item* AllItems(size_t& count)
{
    count = std::size(kItems);
    return kItems;
}

} // namespace sxitems
