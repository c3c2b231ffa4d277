// The frame and error traces used inside the library.
#pragma once

#include <SXCmdIF/diag/FrameTrace.h>

// With tracing on (and, for a level other than 0, the level reached): the
// error line naming the code, through BXDOUT (not logged).
void trTraceErr(const void* context, int code, const char* message, const char* function, int line, int level);
// As trTraceFBuf, with the field-by-field dump of a command or P&O frame.
void trTraceCmdFrame(const void* frame, int length, bool crlf, const char* label, int level);
void trTracePnoFrame(const void* frame, int length, bool crlf, const char* label, int level);
// With tracing on: the TX block of a sent frame and the RX block of a
// received one, at level 0; one line each while the compact flag is on.
void trTraceTx(const void* frame, int length, const char* function, int line);
void trTraceRx(const void* frame, int length, const char* function, int line);
