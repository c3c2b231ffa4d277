#include "ErrDetail.h"

namespace sxerr {

const char* CommandName(unsigned)
{
    return "undefined_cmd";
}

const wchar_t* CommandNameW(unsigned)
{
    return L"undefined_cmd";
}

const char* DetailText(int)
{
    return "";
}

} // namespace sxerr
