// Entry and exit lines of the USB transport. The Alt forms are for the
// reading thread (they format into the debug module's second buffer).
#pragma once

#include <platform/IoDebug.h>

#define SXUSB_ENTER() iodbg::BxDebug::BXDOUT3("%s : %s : %d\r\n", __FILE__, __PRETTY_FUNCTION__, __LINE__)
#define SXUSB_LEAVE()                                                                                                  \
    iodbg::BxDebug::BXDOUT3("\t >>>>leaving %s : %s : %d\r\n", __FILE__, __PRETTY_FUNCTION__, __LINE__)
#define SXUSB_ENTER_ALT3() iodbg::BxDebug::BXDOUT3Alt("%s : %s : %d\r\n", __FILE__, __PRETTY_FUNCTION__, __LINE__)
#define SXUSB_LEAVE_ALT3()                                                                                             \
    iodbg::BxDebug::BXDOUT3Alt("\t >>>>leaving %s : %s : %d\r\n", __FILE__, __PRETTY_FUNCTION__, __LINE__)
#define SXUSB_ENTER_ALT5() iodbg::BxDebug::BXDOUT5Alt("%s : %s : %d\r\n", __FILE__, __PRETTY_FUNCTION__, __LINE__)
#define SXUSB_LEAVE_ALT5()                                                                                             \
    iodbg::BxDebug::BXDOUT5Alt("\t >>>>leaving %s : %s : %d\r\n", __FILE__, __PRETTY_FUNCTION__, __LINE__)
