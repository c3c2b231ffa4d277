// The configuration items of the tracker as one table: each row names an
// item, the record it carries, the actions it takes, and the exported
// command functions that reach it at the unit, a sensor or a source.
#pragma once

#include "Records.h"

#include <SXCmdIF/protocol/SXcmdEnums.h>

#include <cstddef>
#include <string>

namespace sxpy {

enum ItemActions : unsigned {
    kSet = 1u << CMD_ACTION_SET,
    kGet = 1u << CMD_ACTION_GET,
    kReset = 1u << CMD_ACTION_RESET,
};

// arg2 is the command's second argument word where the command has one
// (filter target, boresight reset-origin flag); other commands ignore it.
using UnitCall = int (*)(void* ctx, void* dev, eCmdActions action, void* payload, int arg2);
using IndexCall = int (*)(void* ctx, void* dev, int index, eCmdActions action, void* payload, int arg2);

struct Item {
    const char* name;
    Rk record;        // Rk::None: the item has no payload
    unsigned actions; // ItemActions
    UnitCall unit;    // the unit-level form, or null
    IndexCall sensor; // the sensor form (index: sensor, negative: every sensor), or null
    IndexCall source; // the source form (index: source 0 to 3), or null
    bool readInUnits; // a GET also reads the unit's units, which the value is read in
    const char* doc;
};

// The row of an item, or null.
const Item* FindItem(const std::string& name);

// Every row, in table order.
const Item* AllItems(size_t& count);

} // namespace sxpy
