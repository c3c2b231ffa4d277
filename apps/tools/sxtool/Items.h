// The configuration items of `sxtool get`, `set` and `reset`. What an item
// is (its name, whom it addresses, its actions, the exported functions that
// carry it, its record and that record's report) comes from the item table
// the applications share (items/ItemTable.h), and how value words become the
// item's record (items/SetWords.h); the tool adds which of them it offers,
// in the order of its help.
#pragma once

#include <items/ItemTable.h>
#include <items/ItemWords.h>
#include <items/SetWords.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace sxtool {

// The value words and checks the applications share.
using sxitems::CountValues;
using sxitems::kCorrectionRates;
using sxitems::kFilterLevels;
using sxitems::kFilterTargets;
using sxitems::kFttModes;
using sxitems::kHemispherePresets;
using sxitems::kOriUnits;
using sxitems::kParities;
using sxitems::kPosUnits;
using sxitems::kSensorOrigins;
using sxitems::kStylusModes;
using sxitems::kTrackerHemispheres;
using sxitems::ParseFloat;
using sxitems::ParseInt;
using sxitems::ParseOnOff;
using sxitems::ParseUnsigned;
using sxitems::ParseWord;
using sxitems::Values;
using sxitems::Vocabulary;

enum class ItemScope { Unit, Sensor, Source };

// What an item's command works with: the device, the sensor or source
// addressed, and what its words are read against (arg2: filter target,
// boresight reset-origin flag; the units in force, for records read in them).
struct ItemContext : sxitems::WordContext {
    void* ctx = nullptr;
    void* dev = nullptr;
    int index = 0;
};

// Builds the record from the words after the item's name.
using ItemParseFn = sxitems::WordParser;

// An item as sxtool offers it.
struct ItemDef {
    const sxitems::Item* row;
    ItemScope scope;   // the one level the tool addresses it at
    ItemParseFn parse; // null when the item cannot be set

    const char* Name() const { return row->name; }
    bool Takes(unsigned action) const { return (row->actions & action) != 0; }
    const sxitems::RecordDef& Record() const { return sxitems::Record(row->record); }
    // Sends the item's command; payload is read for SET, filled by GET and
    // null for RESET. Returns the library's error code.
    int Send(const ItemContext& c, eCmdActions action, void* payload) const;
    // Appends the record's report, in the units and for the filter target
    // of the context.
    void Report(const void* payload, const ItemContext& c, std::string& text) const;
};

using sxitems::kGet;
using sxitems::kReset;
using sxitems::kSet;

// The biggest payload of any item.
constexpr size_t kMaxItemPayload = sxitems::kMaxRecord;

const ItemDef* FindItem(const std::string& name);
// Every item the tool offers, in the order of its help; count through
// ItemCount().
const ItemDef* Items();
size_t ItemCount();

} // namespace sxtool
