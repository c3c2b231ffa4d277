// The value words of a SET as people type them after `sxtool set ITEM`, for
// every application that takes them (sxtool's arguments, the Python module's
// values given as text): one parser per item that takes a SET, and the words
// each place of them accepts, for help texts and completion.
#pragma once

#include "ItemTable.h"
#include "ItemWords.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sxitems {

// What the words are read against: the command's second argument word
// (filter target, boresight reset-origin flag) and the units in force, for
// records read in them.
struct WordContext {
    uint32_t arg2 = 0;
    unsigned posUnits = 0;
    unsigned oriUnits = 0;
};

// Builds an item's payload record from its words; false with the error
// otherwise.
using WordParser = bool (*)(const Values& words, const WordContext& c, void* payload, std::string& error);

// The parser of an item's words; null for an item that takes none.
WordParser FindWordParser(const std::string& item);

// The item's words into its payload record. The error says what was wrong
// and, unless the parser said it, the form the item takes:
// "'nan' is not a finite number; expected X Y Z".
bool ParseSetWords(const Item& row, const Values& words, const WordContext& c, void* payload, std::string& error);

// The words an item's value takes at each place, by place from the first
// ("inch|foot|cm|meter"); an empty text where the place takes a number.
std::vector<std::string> SetWordChoices(const std::string& item);

} // namespace sxitems
