// The records headers of the exported interface: the command payload records
// and the classes that build, compare and print them.
#pragma once

#include <SXCmdIF/records/SXpayloads.h>
#include <SXCmdIF/records/SXbinenumcfg.h>
#include <SXCmdIF/records/SXunitcfg.h>
#include <SXCmdIF/records/SXstationmap.h>
#include <SXCmdIF/records/SXsrccfg.h>
#include <SXCmdIF/records/SXfiltercfg.h>
#include <SXCmdIF/records/SXhemispherecfg.h>
#include <SXCmdIF/records/SXsensorparts.h>
#include <SXCmdIF/records/SXpredfiltcfg.h>
#include <SXCmdIF/records/SXblockcfg.h>
#include <SXCmdIF/records/SXidentity.h>
#include <SXCmdIF/records/SXselfcalcfg.h>
