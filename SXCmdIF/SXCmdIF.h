// SXCmdIF: the whole exported interface of the tracker SDK.
#pragma once

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
