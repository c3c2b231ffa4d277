// Entry and exit lines of the serial transport, and the level test that
// goes before a line of the reading path: while the level keeps a line out,
// it costs one comparison, not a call with its arguments.
#pragma once

#include <platform/IoDebug.h>

#define SXSER_LINE(level, out, ...)                                                                                    \
    do {                                                                                                               \
        if (iodbg::BxDebug::LineOn(level))                                                                             \
            iodbg::BxDebug::out(__VA_ARGS__);                                                                          \
    } while (0)
// A block dump of level n, under the block dumps' own gate.
#define SXSER_BLOCK(level, data, len, crlf, label)                                                                     \
    do {                                                                                                               \
        if (iodbg::BxDebug::BlockOn(level))                                                                            \
            iodbg::BxDebug::BXDOUTFBuf(data, len, crlf, label, level);                                                 \
    } while (0)

#define SXSER_ENTER() SXSER_LINE(3, BXDOUT3, "%s : %s : %d\r\n", __FILE__, __PRETTY_FUNCTION__, __LINE__)
#define SXSER_LEAVE() SXSER_LINE(3, BXDOUT3, "\t >>>>leaving %s : %s : %d\r\n", __FILE__, __PRETTY_FUNCTION__, __LINE__)
// The reading thread's own entry and exit lines go through the Alt buffer;
// level is 3 or 5.
#define SXSER_ENTER_ALT(level)                                                                                         \
    SXSER_LINE(level, BXDOUT##level##Alt, "%s : %s : %d\r\n", __FILE__, __PRETTY_FUNCTION__, __LINE__)
#define SXSER_LEAVE_ALT(level)                                                                                         \
    SXSER_LINE(level, BXDOUT##level##Alt, "\t >>>>leaving %s : %s : %d\r\n", __FILE__, __PRETTY_FUNCTION__, __LINE__)
