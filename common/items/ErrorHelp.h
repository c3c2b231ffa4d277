// What each of the library's error codes means to a person, and what to
// try: one sentence a code, for the messages of every application that
// offers the items (sxtool, the Python module).
#pragma once

#include <string>

namespace sxitems {

// The sentence of a code (its low half); empty for a value outside the table.
const char* ErrorHelp(int code);
// The library's text of the code (its name, and the detail the high half
// carries), then the sentence: "E_SXERR_NAK_RESP: the tracker refused ...".
std::string ErrorMessage(int code);

} // namespace sxitems
