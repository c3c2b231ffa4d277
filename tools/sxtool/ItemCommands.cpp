// get, set and reset of one configuration item.
#include "Commands.h"

#include "ExitCodes.h"
#include "Items.h"
#include "Output.h"
#include "Session.h"
#include "Texts.h"

#include <SXCmdIF/SXCmdIF.h>

#include <cstdio>
#include <cstring>

namespace sxtool {

namespace {

// Fills the context of one item command: the sensor or source addressed,
// the second argument word, and the units in force when the record is read
// in them.
bool BuildContext(Session& s, const ItemDef& item, const ItemOptions& o, ItemContext& c, std::string& error)
{
    c.ctx = s.Ctx();
    c.dev = s.Dev();
    c.index = item.scope == ItemScope::Source ? o.source : o.sensor;
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

// The item, if it takes the action; else a complaint and the usage exit.
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
    exitCode = kExitOk;
    return item;
}

int Failed(const ItemDef& item, eCmdActions action, int rc)
{
    const std::string what = std::string(CSXcmd::actstr(action, true)) + " " + item.Name();
    Complain(texts::kCommandFailed, what.c_str(), ErrorText(rc));
    return kExitFailed;
}

int GetAndPrint(const ItemDef& item, const ItemContext& c)
{
    alignas(8) unsigned char payload[kMaxItemPayload] = {};
    const int rc = item.Send(c, CMD_ACTION_GET, payload);
    if (rc != E_SX_SUCCESS)
        return Failed(item, CMD_ACTION_GET, rc);
    std::string text;
    item.Report(payload, c, text);
    PrintReport(text);
    return kExitOk;
}

} // namespace

void PrintReport(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), DataOut());
    if (!text.empty() && text.back() != '\n')
        std::fputs("\r\n", DataOut());
    std::fflush(DataOut());
}

int PrintItemNamed(Session& s, const char* name)
{
    ItemOptions o;
    o.item = name;
    return RunGet(s, o);
}

int RunGet(Session& s, const ItemOptions& o)
{
    int code = kExitOk;
    const ItemDef* item = ItemFor(o, kGet, code);
    if (!item)
        return code;
    ItemContext c;
    std::string error;
    if (!BuildContext(s, *item, o, c, error)) {
        Complain("%s", error.c_str());
        return kExitUsage;
    }
    return GetAndPrint(*item, c);
}

int RunSet(Session& s, const ItemOptions& o)
{
    int code = kExitOk;
    const ItemDef* item = ItemFor(o, kSet, code);
    if (!item)
        return code;
    ItemContext c;
    std::string error;
    alignas(8) unsigned char payload[kMaxItemPayload] = {};
    if (!BuildContext(s, *item, o, c, error) || !item->parse(o.values, c, payload, error)) {
        Complain("set %s: %s", item->Name(), error.c_str());
        return kExitUsage;
    }
    const int rc = item->Send(c, CMD_ACTION_SET, payload);
    if (rc != E_SX_SUCCESS)
        return Failed(*item, CMD_ACTION_SET, rc);
    std::string text;
    item->Report(payload, c, text);
    PrintReport(text);
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
    if (!BuildContext(s, *item, o, c, error)) {
        Complain("%s", error.c_str());
        return kExitUsage;
    }
    const int rc = item->Send(c, CMD_ACTION_RESET, nullptr);
    if (rc != E_SX_SUCCESS)
        return Failed(*item, CMD_ACTION_RESET, rc);
    // What the reset left, read back.
    return item->Takes(kGet) ? GetAndPrint(*item, c) : kExitOk;
}

} // namespace sxtool
