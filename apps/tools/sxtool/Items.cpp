#include "Items.h"

#include <SXCmdIF/SXCmdIF.h>

#include <cstdlib>
#include <cstdio>
#include <iterator>
#include <vector>

namespace sxtool {

namespace {

// The items sxtool offers, in the order of its help; those that take a SET
// read their value words with the applications' shared parsers.
constexpr const char* kOffered[] = {
    "units",     "framerate",  "filter",  "hemisphere", "boresight", "tipoffset",  "increment", "srcselect",
    "sourcecfg", "sourcerot",  "sync",    "dualoutput", "oor",       "stylus",     "serial",    "seuid",
    "selfcal",   "predfilter", "virtual", "fttmode",    "origin",    "stationmap", "bit",
};

// The tool addresses each item at its one level.
ItemScope ScopeOf(const sxitems::Item& row)
{
    return row.source ? ItemScope::Source : row.sensor ? ItemScope::Sensor : ItemScope::Unit;
}

const std::vector<ItemDef>& Offer()
{
    static const std::vector<ItemDef> offer = [] {
        std::vector<ItemDef> v;
        for (const char* name : kOffered) {
            const sxitems::Item* row = sxitems::FindItem(name);
            const ItemParseFn parse = sxitems::FindWordParser(name);
            // A name the table lacks, or a parser for an item that takes no
            // SET (or none for one that does), is a fault of these lists.
            if (!row || (parse != nullptr) != ((row->actions & kSet) != 0)) {
                std::fprintf(stderr, "sxtool: item '%s' does not agree with the item table\n", name);
                std::abort();
            }
            v.push_back(ItemDef{row, ScopeOf(*row), parse});
        }
        return v;
    }();
    return offer;
}

} // namespace

int ItemDef::Send(const ItemContext& c, eCmdActions action, void* payload) const
{
    const int arg2 = static_cast<int>(c.arg2);
    switch (scope) {
    case ItemScope::Sensor:
        return row->sensor(c.ctx, c.dev, c.index, action, payload, arg2);
    case ItemScope::Source:
        return row->source(c.ctx, c.dev, c.index, action, payload, arg2);
    case ItemScope::Unit:
        break;
    }
    return row->unit(c.ctx, c.dev, action, payload, arg2);
}

void ItemDef::Report(const void* payload, const ItemContext& c, std::string& text) const
{
    sxitems::ReportContext rc;
    rc.units = _UNITS_CONFIG{c.posUnits, c.oriUnits};
    if (row->arg2 == sxitems::Arg2::FilterTarget)
        rc.filterTarget = c.arg2;
    Record().report(payload, rc, true, false, text);
}

const ItemDef* Items()
{
    return Offer().data();
}

size_t ItemCount()
{
    return Offer().size();
}

const ItemDef* FindItem(const std::string& name)
{
    for (const ItemDef& item : Offer())
        if (name == item.Name())
            return &item;
    return nullptr;
}

} // namespace sxtool
