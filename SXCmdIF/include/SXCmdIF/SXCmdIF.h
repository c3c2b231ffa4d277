/** \file
 * SXCmdIF: the whole exported interface of the tracker SDK. */
#pragma once

/** \defgroup sx_library Library
 * Contexts, the library's build identification and trace switch, and the
 * error codes every function returns with their texts. */
/** \defgroup sx_devices Contexts and devices
 * Connecting trackers through a context by USB or serial port, counting,
 * describing and releasing them, and their time-out and trace settings. */
/** \defgroup sx_commands Commands
 * Reading (GET), writing (SET) and resetting (RESET) the tracker's
 * configuration items with one command each; the command codes, actions,
 * frame envelope and catalogue. */
/** \defgroup sx_pno_access P&O access
 * Position and orientation frames: one by command, the continuous stream
 * into the device's queue (oldest or newest first, one by one or as a
 * block) or to a callback on the reading thread, and the receive switches. */
/** \defgroup sx_reports Reports
 * Identity and test records read from the tracker and handed back as text,
 * and the report lines of the connected devices. */
/** \defgroup sx_records Records
 * The payload record of every command and the classes that build, compare
 * and print them, with the enumerated values they carry. */
/** \defgroup sx_pno_decoding P&O decoding
 * The P&O frame and its sensor records, their field readers, and their text
 * and CSV reports. */
/** \defgroup sx_diagnostics Diagnostics
 * Leveled debug output to standard output and a log file, the trace
 * functions and the frame and error traces. */

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/SXerrors.h>
#include <SXCmdIF/SXCmdIFapi.h>
#include <SXCmdIF/SXCmdIFdev.h>
#include <SXCmdIF/SXerrText.h>
#include <SXCmdIF/diag/SXdiag.h>
#include <SXCmdIF/diag/FrameTrace.h>
#include <SXCmdIF/protocol/SXprotocol.h>
#include <SXCmdIF/records/SXrecords.h>
#include <SXCmdIF/pno/SXpno.h>
