// get, set and reset of one configuration item.
#include "Commands.h"

#include "ExitCodes.h"
#include "Items.h"
#include "Json.h"
#include "Output.h"
#include "Session.h"
#include "Texts.h"

#include <frames/RecordFromJson.h>

#include <SXCmdIF/SXCmdIF.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <iterator>

namespace sxtool {

namespace {

// Fills the context of one item command: the sensor or source addressed,
// the second argument word, and the units in force when the record is read
// in them.
bool BuildContext(void* ctx, void* dev, const ItemDef& item, const ItemOptions& o, ItemContext& c, std::string& error)
{
    c.ctx = ctx;
    c.dev = dev;
    const int given = item.scope == ItemScope::Source ? o.source : o.sensor;
    c.index = given < 0 ? 0 : given;
    if (item.row->arg2 == sxitems::Arg2::FilterTarget) {
        unsigned target = 0;
        if (!ParseWord(kFilterTargets, o.target, target, error))
            return false;
        c.arg2 = target;
    } else if (item.row->arg2 == sxitems::Arg2::ResetOrigin) {
        c.arg2 = o.resetOrigin ? 1u : 0u;
    }
    if (item.Record().inUnits) {
        CUnitsCfg units;
        if (sxcmd_dev_units(c.ctx, c.dev, CMD_ACTION_GET, units) == E_SX_SUCCESS) {
            c.posUnits = units.cfg.pos_units;
            c.oriUnits = units.cfg.ori_units < ORI_MAX ? units.cfg.ori_units : 0;
        }
    }
    return true;
}

const char* ActionWord(unsigned action)
{
    return action == kGet ? "read" : action == kSet ? "set" : "reset";
}

// Whether the sensor or source given fits the item: a number in range,
// and only for an item that addresses one.
bool CheckAddress(const ItemDef& item, const ItemOptions& o, std::string& error)
{
    if (o.sensor >= 0 && item.scope != ItemScope::Sensor) {
        error = std::string(item.Name()) + " does not address a sensor: it takes no --sensor";
        return false;
    }
    if (o.source >= 0 && item.scope != ItemScope::Source) {
        error = std::string(item.Name()) + " does not address a source: it takes no --source";
        return false;
    }
    return true;
}

// The item, if it takes the action and the options fit it; else a
// complaint and the usage exit.
const ItemDef* ItemFor(const ItemOptions& o, unsigned action, int& exitCode)
{
    const ItemDef* item = FindItem(o.item);
    exitCode = kExitUsage;
    if (!item)
        return nullptr;
    if (!item->Takes(action)) {
        Complain(texts::kNotAllowed, item->Name(), ActionWord(action));
        return nullptr;
    }
    std::string error;
    if (!CheckAddress(*item, o, error)) {
        Complain("%s", error.c_str());
        return nullptr;
    }
    exitCode = kExitOk;
    return item;
}

// The record as printed: its report, or its fields as JSON.
void PrintRecord(const ItemDef& item, const void* payload, const ItemContext& c, bool json, bool simulated)
{
    if (!json) {
        std::string text;
        item.Report(payload, c, text);
        PrintReport(text);
        return;
    }
    Json j = RecordJson(item.Record(), payload);
    if (item.Record().inUnits)
        j["units"] = UnitsJson(_UNITS_CONFIG{c.posUnits, c.oriUnits});
    PrintJson(j, simulated);
}

// `set ITEM --json -`: the record from standard input, as `get --json`
// prints it. Values read in the units in force must come in those units.
bool RecordFromStdin(const ItemDef& item, const ItemContext& c, void* payload, std::string& error)
{
    const std::string text{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
    const Json j = Json::parse(text, nullptr, false);
    if (j.is_discarded()) {
        error = "standard input is not JSON: give the record as get --json prints it";
        return false;
    }
    if (item.Record().inUnits && j.is_object() && j.contains("units")) {
        const Json given = j["units"], here = UnitsJson(_UNITS_CONFIG{c.posUnits, c.oriUnits});
        auto words = [](const Json& u) {
            return (u.is_object()
                        ? u.value("position", Json("?")).dump() + " and " + u.value("orientation", Json("?")).dump()
                        : u.dump());
        };
        if (words(given) != words(here)) {
            error =
                "the values are in " + words(given) + ", the tracker is in " + words(here) + ": set the units first";
            return false;
        }
    }
    return sxframes::RecordFromJson(item.Record(), j, payload, error, {"units", "simulated"});
}

int Failed(const ItemDef& item, eCmdActions action, int rc)
{
    const std::string what = std::string(CSXcmd::actstr(action, true)) + " " + item.Name();
    Complain(texts::kCommandFailed, what.c_str(), ErrorText(rc));
    return kExitFailed;
}

int GetAndPrint(const ItemDef& item, const ItemContext& c, bool json, bool simulated)
{
    alignas(8) unsigned char payload[kMaxItemPayload] = {};
    const int rc = item.Send(c, CMD_ACTION_GET, payload);
    if (rc != E_SX_SUCCESS)
        return Failed(item, CMD_ACTION_GET, rc);
    PrintRecord(item, payload, c, json, simulated);
    return kExitOk;
}

} // namespace

void PrintReport(std::string text)
{
    if (!text.empty() && text.back() != '\n')
        text += '\n';
    WriteText(DataOut(), text);
    std::fflush(DataOut());
}

void PrintJson(Json j, bool simulated)
{
    if (simulated)
        j["simulated"] = true;
    PrintReport(j.dump(2));
}

int RunGet(Session& s, const ItemOptions& o)
{
    int code = kExitOk;
    const ItemDef* item = ItemFor(o, kGet, code);
    if (!item)
        return code;
    ItemContext c;
    std::string error;
    if (!BuildContext(s.Ctx(), s.Dev(), *item, o, c, error)) {
        Complain("%s", error.c_str());
        return kExitUsage;
    }
    return GetAndPrint(*item, c, o.json, s.Simulated());
}

int PrepareSet(void* ctx, void* dev, const ItemOptions& o, PreparedSet& p, std::string& error)
{
    p.item = FindItem(o.item);
    if (!p.item) {
        error = "unknown item '" + o.item + "'";
        return kExitUsage;
    }
    const ItemDef& item = *p.item;
    if (!item.Takes(kSet)) {
        char text[128];
        std::snprintf(text, sizeof text, texts::kNotAllowed, item.Name(), ActionWord(kSet));
        error = text;
        return kExitUsage;
    }
    if (!CheckAddress(item, o, error))
        return kExitUsage;
    if (!BuildContext(ctx, dev, item, o, p.context, error)) {
        error = std::string("set ") + item.Name() + ": " + error;
        return kExitUsage;
    }
    if (o.json && o.values.size() == 1 && o.values[0] == "-") {
        if (!RecordFromStdin(item, p.context, p.payload, error)) {
            error = std::string("set ") + item.Name() + " --json -: " + error;
            return kExitUsage;
        }
        return kExitOk;
    }
    if (!sxitems::ParseSetWords(*item.row, o.values, p.context, p.payload, error)) {
        error = std::string("set ") + item.Name() + ": " + error;
        return kExitUsage;
    }
    return kExitOk;
}

int RunSet(Session& s, const ItemOptions& o)
{
    PreparedSet p;
    std::string error;
    const int code = PrepareSet(s.Ctx(), s.Dev(), o, p, error);
    if (code != kExitOk) {
        // An unknown item was named by the argument check already.
        if (p.item)
            Complain("%s", error.c_str());
        return code;
    }
    const int rc = p.item->Send(p.context, CMD_ACTION_SET, p.payload);
    if (rc != E_SX_SUCCESS)
        return Failed(*p.item, CMD_ACTION_SET, rc);
    PrintRecord(*p.item, p.payload, p.context, o.json, s.Simulated());
    return kExitOk;
}

int RunReset(Session& s, const ItemOptions& o)
{
    int code = kExitOk;
    const ItemDef* item = ItemFor(o, kReset, code);
    if (!item)
        return code;
    ItemContext c;
    std::string error;
    if (!BuildContext(s.Ctx(), s.Dev(), *item, o, c, error)) {
        Complain("%s", error.c_str());
        return kExitUsage;
    }
    const int rc = item->Send(c, CMD_ACTION_RESET, nullptr);
    if (rc != E_SX_SUCCESS)
        return Failed(*item, CMD_ACTION_RESET, rc);
    // What the reset left, read back.
    return item->Takes(kGet) ? GetAndPrint(*item, c, o.json, s.Simulated()) : kExitOk;
}

} // namespace sxtool
