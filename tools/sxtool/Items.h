// The configuration items of `sxtool get`, `set` and `reset`: one table row
// per item with its name, whom it addresses, the actions it takes, the
// command that carries it, how its value is parsed and how its record is
// printed (by the record class's report).
#pragma once

#include "ItemValues.h"

#include <SXCmdIF/protocol/SXcmdEnums.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace sxtool {

enum class ItemScope { Unit, Sensor, Source };

enum ItemAction : unsigned { kGet = 1u << 0, kSet = 1u << 1, kReset = 1u << 2 };

// What an item needs beyond its index.
enum ItemNeeds : unsigned {
    kNeedsNothing = 0,
    kNeedsUnits = 1u << 0,       // the record is read in the units in force
    kNeedsFilterTarget = 1u << 1, // --target goes into arg2
    kNeedsResetOrigin = 1u << 2,  // --reset-origin goes into arg2
};

// What an item's functions work with.
struct ItemContext {
    void* ctx = nullptr;
    void* dev = nullptr;
    int index = 0;         // the sensor or source addressed
    uint32_t arg2 = 0;     // filter target, boresight reset-origin flag
    unsigned posUnits = 0; // units in force, for records read in them
    unsigned oriUnits = 0;
};

// Sends the item's command; payload is read for SET, filled by GET and
// null for RESET. Returns the library's error code.
using ItemCommandFn = int (*)(const ItemContext& c, eCmdActions action, void* payload);
// Builds the record from the words after the item's name.
using ItemParseFn = bool (*)(const Values& values, const ItemContext& c, void* payload, std::string& error);
// Appends the record's report.
using ItemReportFn = void (*)(const void* payload, const ItemContext& c, std::string& text);

struct ItemDef {
    const char* name;
    ItemScope scope;
    unsigned actions;
    size_t payloadSize;
    const char* syntax; // the value words of `set`
    unsigned needs;     // ItemNeeds
    ItemCommandFn command;
    ItemParseFn parse; // null when the item cannot be set
    ItemReportFn report;
};

// The biggest payload of any item.
constexpr size_t kMaxItemPayload = 256;

const ItemDef* FindItem(const std::string& name);
// Every item, in table order; count through ItemCount().
const ItemDef* Items();
size_t ItemCount();

} // namespace sxtool
