#include "Items.h"

#include "ItemFunctions.h"

#include <SXCmdIF/SXCmdIF.h>

#include <iterator>

namespace sxtool {

namespace {

using namespace items;
constexpr unsigned kGSR = kGet | kSet | kReset;
constexpr unsigned kNone = kNeedsNothing;

// name, scope, actions, payload bytes, value words of `set`, what else it
// needs, command, parser, report.
const ItemDef kItems[] = {
    {"units", ItemScope::Unit, kGSR, sizeof(_UNITS_CONFIG), "POS ORI", kNone, CmdUnits, ParseUnits, ReportUnits},
    {"framerate", ItemScope::Unit, kGSR, sizeof(_FRAMERATE_CONFIG), "HZ", kNone, CmdFrameRate, ParseFrameRate,
     ReportFrameRate},
    {"filter", ItemScope::Sensor, kGSR, sizeof(_FILTER_CONFIG), "LEVEL | custom F FLOW FHIGH MAXT", kNeedsFilterTarget, CmdFilter,
     ParseFilter, ReportFilter},
    {"hemisphere", ItemScope::Sensor, kGSR, sizeof(_HEMISPHERE_CONFIG), "PRESET|X Y Z [auto|track]", kNone,
     CmdHemisphere, ParseHemisphere, ReportHemisphere},
    {"boresight", ItemScope::Sensor, kGSR, sizeof(_BORESIGHT_CONFIG), "AZ EL RO | W X Y Z", kNeedsUnits | kNeedsResetOrigin, CmdBoresight,
     ParseBoresight, ReportBoresight},
    {"tipoffset", ItemScope::Sensor, kGSR, sizeof(_TIP_OFFSET_CONFIG), "X Y Z", kNone, CmdTipOffset, ParseTipOffset,
     ReportTipOffset},
    {"increment", ItemScope::Sensor, kGSR, sizeof(_INCREMENT_CONFIG), "on|off [POS ORI]", kNone, CmdIncrement,
     ParseIncrement, ReportIncrement},
    {"srcselect", ItemScope::Sensor, kGSR, sizeof(_SRC_SEL_CONFIG), "MAP", kNone, CmdSrcSelect, ParseSrcSelect,
     ReportSrcSelect},
    {"sourcecfg", ItemScope::Source, kGSR, sizeof(_SRC_CONFIG), "FREQ X Y Z R1 R2 R3 [R4] HEMISPHERE", kNeedsUnits,
     CmdSourceCfg, ParseSourceCfg, ReportSourceCfg},
    {"sourcerot", ItemScope::Source, kGSR, sizeof(_SRCROT_CONFIG), "FREQ R1 R2 R3 [R4]", kNeedsUnits, CmdSourceRot,
     ParseSourceRot, ReportSourceRot},
    {"sync", ItemScope::Unit, kGSR, sizeof(_BINARY_CONFIG), "on|off", kNone, CmdSync, ParseBinary, ReportSync},
    {"dualoutput", ItemScope::Unit, kGSR, sizeof(_BINARY_CONFIG), "on|off", kNone, CmdDualOutput, ParseBinary,
     ReportDualOutput},
    {"oor", ItemScope::Unit, kGSR, sizeof(_BINARY_CONFIG), "on|off", kNone, CmdOor, ParseBinary, ReportBinary},
    {"stylus", ItemScope::Unit, kGSR, sizeof(_STYLUS_CONFIG), "MODE", kNone, CmdStylus, ParseStylus, ReportStylus},
    {"serial", ItemScope::Unit, kGSR, sizeof(_SERIAL_CONFIG), "BAUD [PARITY]", kNone, CmdSerial, ParseSerial,
     ReportSerial},
    {"seuid", ItemScope::Unit, kGSR, sizeof(_SEUID_CONFIG), "ID", kNone, CmdSeuId, ParseSeuId, ReportSeuId},
    {"selfcal", ItemScope::Unit, kGSR, sizeof(_SELFCAL_CONFIG), "on|off|collect [slow|med|fast|RATE]", kNone,
     CmdSelfCal, ParseSelfCal, ReportSelfCal},
    {"predfilter", ItemScope::Sensor, kGSR, sizeof(_PF_CONFIG), "on|off on|off MS", kNone, CmdPredFilter,
     ParsePredFilter, ReportPredFilter},
    {"virtual", ItemScope::Sensor, kGSR, sizeof(_VIRTUAL_SNS_CONFIG), "INPUT1 [WORD1 WORD2 WORD3]", kNone,
     CmdVirtual, ParseVirtual, ReportVirtual},
    {"fttmode", ItemScope::Sensor, kGSR, sizeof(_ENUM_CONFIG), "MODE", kNone, CmdFttMode, ParseFttMode,
     ReportFttMode},
    {"origin", ItemScope::Sensor, kGSR, sizeof(_ENUM_CONFIG), "ORIGIN", kNone, CmdOrigin, ParseOrigin, ReportOrigin},
    {"stationmap", ItemScope::Unit, kGet, sizeof(_STATION_MAP), "", kNone, CmdStationMap, nullptr,
     ReportStationMap},
    {"bit", ItemScope::Unit, kGet, sizeof(_BIT_STRUCT), "", kNone, CmdBit, nullptr, ReportBit},
};

} // namespace

const ItemDef* Items()
{
    return kItems;
}

size_t ItemCount()
{
    return std::size(kItems);
}

const ItemDef* FindItem(const std::string& name)
{
    for (const ItemDef& item : kItems)
        if (name == item.name)
            return &item;
    return nullptr;
}

static_assert(sizeof(_PF_CONFIG) <= kMaxItemPayload && sizeof(_SRC_CONFIG) <= kMaxItemPayload,
              "item payloads fit the buffer");

} // namespace sxtool
