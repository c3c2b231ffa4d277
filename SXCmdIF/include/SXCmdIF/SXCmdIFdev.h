/** \file
 * The exported device interface of SXCmdIF: connecting trackers through a
 * context, their commands, P&O access and reports. Every function returns an
 * error code of SXerrors.h (0 success) and checks its context handle first
 * (4), then its device handle (20).
 *
 * Plain-named functions have C linkage; from C, a reference parameter is
 * passed as a pointer (the same at the binary level) and an action as an
 * int. The functions declared only for C++ are exported under names that
 * carry their parameter types. This header compiles as C and as C++. */
#pragma once

#include <SXCmdIF/SXCmdIFconnect.h>
#include <SXCmdIF/SXCmdIFcommands.h>
#include <SXCmdIF/SXCmdIFpno.h>
#include <SXCmdIF/SXCmdIFreports.h>
