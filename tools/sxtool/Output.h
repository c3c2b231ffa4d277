// sxtool keeps standard output for its data (reports, rows, tables). The
// library writes its trace lines to the process's standard output too, so
// once the command line is parsed the tool moves descriptor 1 onto standard
// error and writes its data through a duplicate of the original.
#pragma once

#include <cstdio>

namespace sxtool {

// Call once, after the arguments are parsed (help texts still go to the
// original standard output).
void SeparateDataFromTrace();
// Where the data goes: the original standard output.
std::FILE* DataOut();
// Whether DataOut() is a terminal.
bool DataIsTerminal();

} // namespace sxtool
