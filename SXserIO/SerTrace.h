// Entry and exit lines of the serial transport.
#pragma once

#include <SXserIO/Debug.h>

#define SXSER_ENTER() iodbg::BxDebug::BXDOUT3("%s : %s : %d\r\n", __FILE__, __PRETTY_FUNCTION__, __LINE__)
#define SXSER_LEAVE() iodbg::BxDebug::BXDOUT3("\t >>>>leaving %s : %s : %d\r\n", __FILE__, __PRETTY_FUNCTION__, __LINE__)
// The reading thread's own entry and exit lines go through the Alt buffer.
#define SXSER_ENTER_ALT(out) iodbg::BxDebug::out("%s : %s : %d\r\n", __FILE__, __PRETTY_FUNCTION__, __LINE__)
#define SXSER_LEAVE_ALT(out) \
    iodbg::BxDebug::out("\t >>>>leaving %s : %s : %d\r\n", __FILE__, __PRETTY_FUNCTION__, __LINE__)
