// The catalogue lookups of CSXcmd. The tables are constant data, so every
// lookup answers from the first call on and concurrent callers only read.
#include <SXCmdIF/protocol/SXcmd.h>

#include "CmdCatalogue.h"

using sxproto::kActRows;
using sxproto::kActTable;
using sxproto::kCmdCatalogue;

namespace {

constexpr const char kUndefCmd[] = "undefined_cmd";
constexpr const wchar_t kUndefCmdW[] = L"undefined_cmd";
constexpr const char kUndefAct[] = "undefined_action";
constexpr const wchar_t kUndefActW[] = L"undefined_action";

// Command codes with a row of their own in the name lookups: below CMD_MAX.
constexpr bool NamedCmd(unsigned int cmd)
{
    return cmd < CMD_MAX;
}

} // namespace

void CSXcmd::InitCmdInfo()
{
}
void CSXcmd::InitActInfo()
{
}

const char* CSXcmd::cmdstr(unsigned int cmd)
{
    return NamedCmd(cmd) ? kCmdCatalogue[cmd].name : kUndefCmd;
}

const wchar_t* CSXcmd::cmdstrW(unsigned int cmd)
{
    return NamedCmd(cmd) ? kCmdCatalogue[cmd].nameW : kUndefCmdW;
}

const char* CSXcmd::cmdpaystr(unsigned int cmd)
{
    return NamedCmd(cmd) ? kCmdCatalogue[cmd].payName : kUndefCmd;
}

const wchar_t* CSXcmd::cmdpaystrW(unsigned int cmd)
{
    return NamedCmd(cmd) ? kCmdCatalogue[cmd].payNameW : kUndefCmdW;
}

uint64_t CSXcmd::paysize(eSorixCmds cmd)
{
    const unsigned int i = static_cast<unsigned int>(cmd);
    return NamedCmd(i) ? kCmdCatalogue[i].paySize : 0;
}

uint64_t CSXcmd::framesize(eSorixCmds cmd)
{
    return paysize(cmd) + SX_CMD_HDR_LEN + SX_CRC_LEN;
}

bool CSXcmd::ValidateAct(eSorixCmds cmd, eCmdActions action)
{
    const unsigned int i = static_cast<unsigned int>(cmd);
    const unsigned int a = static_cast<unsigned int>(action);
    if (!NamedCmd(i) || a >= 8)
        return false;
    return (kCmdCatalogue[i].actMask >> a) & 1u;
}

const char* CSXcmd::actstr(unsigned int action, bool shortName)
{
    if (action >= kActRows - 1)
        return kUndefAct;
    return shortName ? kActTable[action].shortName : kActTable[action].name;
}

const wchar_t* CSXcmd::actstrW(unsigned int action)
{
    return action >= kActRows - 1 ? kUndefActW : kActTable[action].nameW;
}

// No command of the sibling family's tag device maps onto a tracker command.
eSorixCmds CSXcmd::tag2sxcmd(unsigned int)
{
    return CMD_MAX;
}

unsigned int CSXcmd::sx2tagcmd(eSorixCmds)
{
    return SX_FRAME_MARKER;
}
