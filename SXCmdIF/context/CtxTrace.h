// Entry and exit lines of the context operations, with their qualified
// names.
#pragma once

#include <SXCmdIF/diag/TraceInternal.h>

#define SXCTX_ENTER(name) trTracefHP("%s : %s : %d\r\n", __FILE__, name, __LINE__)
#define SXCTX_LEAVE(name) trTracefHP("\t >>>>leaving %s : %s : %d\r\n", __FILE__, name, __LINE__)
