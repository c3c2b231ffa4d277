// The protocol headers of the exported interface.
#pragma once

#include <SXCmdIF/protocol/SXusbIds.h>
#include <SXCmdIF/protocol/SXcmdEnums.h>
#include <SXCmdIF/protocol/SXvocabEnums.h>
#include <SXCmdIF/protocol/SXpaySizes.h>
#include <SXCmdIF/protocol/SXframe.h>
#include <SXCmdIF/protocol/SXcmd.h>
#include <SXCmdIF/protocol/SXframeInfo.h>
#include <SXCmdIF/protocol/LEWords.h>
