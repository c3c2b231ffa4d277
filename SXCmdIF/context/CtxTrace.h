// Entry and exit lines of the context operations, with their qualified
// names.
#pragma once

#include "diag/TraceInternal.h"

// As SX_TRACE_ENTER and SX_TRACE_LEAVE: one comparison while the level is
// below 5.
#define SXCTX_ENTER(name)                                                                                              \
    do {                                                                                                               \
        if (trLevelOn(5))                                                                                              \
            trTracefHP("%s : %s : %d\r\n", __FILE__, name, __LINE__);                                                  \
    } while (0)
#define SXCTX_LEAVE(name)                                                                                              \
    do {                                                                                                               \
        if (trLevelOn(5))                                                                                              \
            trTracefHP("\t >>>>leaving %s : %s : %d\r\n", __FILE__, name, __LINE__);                                   \
    } while (0)
