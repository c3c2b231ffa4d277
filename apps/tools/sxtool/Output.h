// sxtool's data (reports, rows, tables) go to standard output; its
// messages, the status line and the library's trace lines to standard
// error. The library's texts end their lines in "\r\n"; the tool writes
// "\n", or the library's endings with --crlf.
#pragma once

#include <cstdio>
#include <string>

namespace sxtool {

// Takes the library's trace lines (through the library's trace receiver):
// to standard error, each ended as the tool ends its lines, once tracing was
// asked for (--trace); dropped before that, so that the few lines the
// library writes at any level do not show unasked.
void RouteTrace();
void ShowTrace(bool show);
// Whether lines end in "\r\n" (--crlf) rather than "\n".
void SetCrlf(bool crlf);
bool Crlf();
// The line end in force.
const char* LineEnd();
// Rewrites the line ends of text to the one in force.
void EndLines(std::string& text);
// Writes text to out with the line end in force; false when writing failed.
bool WriteText(std::FILE* out, std::string text);
// Where the data goes: standard output.
std::FILE* DataOut();
// Whether DataOut() is a terminal.
bool DataIsTerminal();

} // namespace sxtool
