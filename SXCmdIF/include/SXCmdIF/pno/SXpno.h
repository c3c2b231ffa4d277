// The pno headers of the exported interface.
#pragma once

#include <SXCmdIF/pno/SXpnoRecords.h>
#include <SXCmdIF/pno/SXsnsFrameA.h>
#include <SXCmdIF/pno/SXseuPno.h>
