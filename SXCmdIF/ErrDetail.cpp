#include "ErrDetail.h"

#include <SXCmdIF/protocol/SXcmd.h>

namespace sxerr {

const char* CommandName(unsigned cmd)
{
    return CSXcmd::cmdstr(cmd);
}

const wchar_t* CommandNameW(unsigned cmd)
{
    return CSXcmd::cmdstrW(cmd);
}

const char* DetailText(int)
{
    return "";
}

} // namespace sxerr
