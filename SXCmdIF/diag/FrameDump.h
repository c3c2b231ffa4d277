// Field-by-field text dumps of command and P&O frames, written by the frame
// traces. A dump reads nothing past the frame's length: where the frame ends
// before a line's bytes, the dump ends with the line "Truncated\r\n".
#pragma once

#include <string>

// The hexadecimal-and-character block: chunks of eight bytes, each as
// "XX XX XX XX  XX XX XX XX  cccccccc", with "\r\n" after each when lineEnds.
// With a limit (not 0), the block stops with "Truncated\r\n" once it would
// pass limit - 12 characters.
std::string HexLines(const unsigned char* data, unsigned int n, bool lineEnds, unsigned int limit);
void AppendHexLines(std::string& out, const unsigned char* data, unsigned int n, bool lineEnds, unsigned int limit);

// The dumps pass this limit to every block.
constexpr unsigned int kDumpHexLimit = 1536;

void DumpCmdFrame(std::string& out, const unsigned char* frame, unsigned int length);
void DumpPnoFrame(std::string& out, const unsigned char* frame, unsigned int length);
