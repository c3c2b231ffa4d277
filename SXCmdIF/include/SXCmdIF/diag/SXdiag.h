// Diagnostics: debug output, log file and trace functions.
#pragma once

#include <SXCmdIF/diag/BxDebug.h>
#include <SXCmdIF/diag/LogFile.h>
#include <SXCmdIF/diag/Trace.h>
