#include "ErrDetail.h"

#include <SXCmdIF/SXerrors.h>
#include <SXCmdIF/protocol/SXcmd.h>
#include <SXlibusb/SXusbIO.h>
#include <SXserIO/SXserIO.h>

namespace sxerr {

const char* CommandName(unsigned cmd)
{
    return CSXcmd::cmdstr(cmd);
}

const wchar_t* CommandNameW(unsigned cmd)
{
    return CSXcmd::cmdstrW(cmd);
}

const char* DetailText(int value)
{
    const unsigned code = static_cast<unsigned>(value) & 0xFFFFu;
    const int detail = static_cast<short>((static_cast<unsigned>(value) >> 16) & 0xFFFFu);
    switch (code) {
    case E_DEVIOERR_USB_WRITERR:
    case E_DEVIOERR_USB_READERR:
        return CSXusbIO::ErrorStr(detail);
    case E_DEVIOERR_SER_WRITERR:
    case E_DEVIOERR_SER_READERR:
        return CSXserIO::ErrorStr(detail);
    default:
        return "";
    }
}

} // namespace sxerr
