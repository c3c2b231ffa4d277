// The records headers of the exported interface.
#pragma once

#include <SXCmdIF/records/SXpayloads.h>
