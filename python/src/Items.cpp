#include "Items.h"

#include <SXCmdIF/SXCmdIFdev.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <cstring>

namespace sxpy {

namespace {

// Adapters from the exported functions to the two call shapes of the table.
#define SXPY_UNIT(fn, T)                                                                                               \
    [](void* c, void* d, eCmdActions a, void* p, int) { return fn(c, d, a, static_cast<T*>(p)); }
#define SXPY_UNIT_GET(fn, T) [](void* c, void* d, eCmdActions, void* p, int) { return fn(c, d, static_cast<T*>(p)); }
#define SXPY_INDEX(fn, T)                                                                                              \
    [](void* c, void* d, int i, eCmdActions a, void* p, int) { return fn(c, d, i, a, static_cast<T*>(p)); }
#define SXPY_INDEX_ARG2(fn, T)                                                                                         \
    [](void* c, void* d, int i, eCmdActions a, void* p, int arg2) { return fn(c, d, i, a, static_cast<T*>(p), arg2); }
#define SXPY_INDEX_GET(fn, T)                                                                                          \
    [](void* c, void* d, int i, eCmdActions, void* p, int) { return fn(c, d, i, static_cast<T*>(p)); }

constexpr unsigned kAll = kSet | kGet | kReset;

const Item kItems[] = {
    // Unit level.
    {"units", Rk::Units, kAll, SXPY_UNIT(sxcmd_dev_units, _UNITS_CONFIG), nullptr, nullptr, false,
     "Position and orientation units."},
    {"framerate", Rk::FrameRate, kAll, SXPY_UNIT(sxcmd_dev_framerate, _FRAMERATE_CONFIG), nullptr, nullptr, false,
     "Output frame rate."},
    {"sync", Rk::SyncMode, kAll, SXPY_UNIT(sxcmd_dev_syncmode, _BINARY_CONFIG), nullptr, nullptr, false,
     "External synchronisation."},
    {"dualoutput", Rk::DualOutput, kAll, SXPY_UNIT(sxcmd_dev_dualoutput, _BINARY_CONFIG), nullptr, nullptr, false,
     "Dual output."},
    {"oor", Rk::OorMode, kAll, SXPY_UNIT(sxcmd_dev_oormode, _BINARY_CONFIG), nullptr, nullptr, false,
     "Out-of-range mode."},
    {"stylus", Rk::StylusMode, kAll, SXPY_UNIT(sxcmd_dev_stylusmode, _STYLUS_CONFIG), nullptr, nullptr, false,
     "Stylus button mode."},
    {"serial", Rk::SerialConfig, kAll, SXPY_UNIT(sxcmd_dev_serialif, _SERIAL_CONFIG), nullptr, nullptr, false,
     "The unit's serial line."},
    {"seuid", Rk::SeuId, kAll, SXPY_UNIT(sxcmd_dev_id, _SEUID_CONFIG), nullptr, nullptr, false,
     "Identifier of the electronics unit."},
    {"selfcal", Rk::SelfCal, kAll, SXPY_UNIT(sxcmd_dev_selfcalstate, _SELFCAL_CONFIG), nullptr, nullptr, false,
     "Self-calibration state."},
    {"stationmap", Rk::StationMap, kGet, SXPY_UNIT_GET(sxcmd_dev_stationmap, _STATION_MAP), nullptr, nullptr, false,
     "Detected sensors and sources."},
    {"bit", Rk::BitResult, kGet, SXPY_UNIT_GET(sxcmd_dev_bit, _BIT_STRUCT), nullptr, nullptr, false,
     "Built-in-test result."},
    {"whoami", Rk::WhoAmI, kGet, SXPY_UNIT_GET(sxcmd_dev_whoami, _WHOAMI_STRUCT),
     SXPY_INDEX_GET(sxcmd_sns_whoami, _WHOAMI_STRUCT), SXPY_INDEX_GET(sxcmd_dev_sourcewhoami, _WHOAMI_STRUCT), false,
     "Identity of the unit, of a sensor (sensor=) or of a source (source=)."},
    {"sourcecfg", Rk::SourceConfig, kAll, nullptr, nullptr, SXPY_INDEX(sxcmd_dev_sourcecfg, _SRC_CONFIG), true,
     "Configuration of a source."},
    {"sourcerot", Rk::SourceRotation, kAll, nullptr, nullptr, SXPY_INDEX(sxcmd_dev_sourcerot, _SRCROT_CONFIG), false,
     "Rotation of a source."},
    {"selfcalsave", Rk::None, kSet | kReset,
     [](void* c, void* d, eCmdActions a, void*, int) { return sxcmd_dev_selfcalsave(c, d, a); }, nullptr, nullptr,
     false, "Saves (set) or discards (reset) the self-calibration data."},
    {"block", Rk::None, kReset, [](void* c, void* d, eCmdActions, void*, int) { return sxcmd_dev_resetblockcfg(c, d); },
     nullptr, nullptr, false, "The whole configuration (reset only: back to the unit's defaults)."},
    {"framecount", Rk::None, kReset,
     [](void* c, void* d, eCmdActions, void*, int) { return sxcmd_dev_reset_framecount(c, d); }, nullptr, nullptr,
     false, "The P&O frame count (reset only)."},

    // Sensor level.
    {"filter", Rk::Filter, kAll, nullptr, SXPY_INDEX_ARG2(sxcmd_sns_filter, _FILTER_CONFIG), nullptr, false,
     "Filter of a sensor; arg2 names the filter target."},
    {"hemisphere", Rk::Hemisphere, kAll, nullptr, SXPY_INDEX(sxcmd_sns_hemisphere, _HEMISPHERE_CONFIG), nullptr,
     false, "Operating hemisphere of a sensor."},
    {"boresight", Rk::Boresight, kAll, nullptr, SXPY_INDEX_ARG2(sxcmd_sns_boresight, _BORESIGHT_CONFIG), nullptr,
     true, "Boresight of a sensor; arg2 1 also resets the origin."},
    {"tipoffset", Rk::TipOffset, kAll, nullptr, SXPY_INDEX(sxcmd_sns_tipoffset, _TIP_OFFSET_CONFIG), nullptr, false,
     "Tip offset of a sensor."},
    {"increment", Rk::Increment, kAll, nullptr, SXPY_INDEX(sxcmd_sns_increment, _INCREMENT_CONFIG), nullptr, false,
     "Output increment thresholds of a sensor."},
    {"srcselect", Rk::SourceSelect, kAll, nullptr, SXPY_INDEX(sxcmd_sns_srcselect, _SRC_SEL_CONFIG), nullptr, false,
     "Sources a sensor uses."},
    {"predfilter", Rk::PredFilter, kAll, nullptr, SXPY_INDEX(sxcmd_sns_predfilter, _PF_CONFIG), nullptr, false,
     "Prediction filter of a sensor."},
    {"predfilterext", Rk::PredFilterExt, kAll, nullptr, SXPY_INDEX(sxcmd_sns_predfilterext, _PF_CONFIG_EXT), nullptr,
     false, "Prediction filter of a sensor with its noise profile."},
    {"virtual", Rk::VirtualSensor, kAll, nullptr, SXPY_INDEX(sxcmd_sns_virtual, _VIRTUAL_SNS_CONFIG), nullptr, false,
     "Virtual-sensor input."},
    {"fttmode", Rk::FttMode, kAll, nullptr, SXPY_INDEX(sxcmd_sns_fttmode, _ENUM_CONFIG), nullptr, false,
     "FTT mode of a sensor."},
    {"origin", Rk::SensorOrigin, kAll, nullptr, SXPY_INDEX(sxcmd_sns_origin, _ENUM_CONFIG), nullptr, false,
     "Origin of a sensor's positions."},
};

#undef SXPY_UNIT
#undef SXPY_UNIT_GET
#undef SXPY_INDEX
#undef SXPY_INDEX_ARG2
#undef SXPY_INDEX_GET

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
    count = sizeof(kItems) / sizeof(kItems[0]);
    return kItems;
}

} // namespace sxpy
