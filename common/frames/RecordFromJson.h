// A configuration record from its JSON form, the inverse of RecordJson:
// what `sxtool get --json` prints, `set --json -` and `config load` take.
#pragma once

#include "frames/FrameJson.h"

#include <items/ItemTable.h>

#include <string>
#include <vector>

namespace sxframes {

// Fills payload (def.size bytes, zeroed first) from the object j. Every
// shown field is required and no other key is taken but those in `ignored`;
// enumerations are their words (or numbers), truth values true or false,
// rates in Hz and bits per second, floats finite numbers. False with a
// message naming the field and what it takes; payload is then unusable.
bool RecordFromJson(const sxitems::RecordDef& def, const Json& j, void* payload, std::string& error,
                    const std::vector<std::string>& ignored = {});

} // namespace sxframes
