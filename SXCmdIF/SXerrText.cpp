#include <SXCmdIF/SXerrText.h>

#include <SXCmdIF/SXerrors.h>
#include <platform/TextConv.h>

#include "ErrDetail.h"

#include <cstdio>
#include <cwchar>
#include <memory>

namespace {

struct ErrName {
    const char* text;
    const wchar_t* wtext;
};

#define SX_ERR_NAME(t)                                                                                                 \
    {                                                                                                                  \
        t, L"" t                                                                                                       \
    }
constexpr ErrName kNames[] = {
    SX_ERR_NAME("E_SX_SUCCESS"),
    SX_ERR_NAME("E_SXERR_NAK_RESP"),
    SX_ERR_NAME("E_SXERR_NAKWARN_RESP"),
    SX_ERR_NAME("E_SXERR_MEMORY_ALLOCATION"),
    SX_ERR_NAME("E_SXERR_INVALID_CONTEXT"),
    SX_ERR_NAME("E_SXERR_INVALID_ACTION"),
    SX_ERR_NAME("E_SXERR_INVALID_SENSOR"),
    SX_ERR_NAME("E_SXERR_INVALID_SENSOR_ACT"),
    SX_ERR_NAME("E_SXERR_INVALID_PARAMS"),
    SX_ERR_NAME("E_SXERR_INVALID_SIZE"),
    SX_ERR_NAME("E_SXERR_INVALID_CRC"),
    SX_ERR_NAME("E_SXERR_TIMEOUT"),
    SX_ERR_NAME("E_SXERR_PLATFORM"),
    SX_ERR_NAME("E_SXERR_LIBUSB"),
    SX_ERR_NAME("E_SXERR_UNKNOWN"),
    SX_ERR_NAME("E_SXERR_NOTFOUND"),
    SX_ERR_NAME("E_SXERR_SERIO"),
    SX_ERR_NAME("E_SXERR_CMDRSP_MISMATCH"),
    SX_ERR_NAME("E_SXERR_BUF_TOO_SMALL"),
    SX_ERR_NAME("E_SXERR_NOT_IMPLEMENTED"),
    SX_ERR_NAME("E_CTXERR_INVALID_DEVHND Invalid Device Handle"),
    SX_ERR_NAME("E_CTXERR_INVALID_CONDITION"),
    SX_ERR_NAME("E_CTXERR_MEMALLOC_ERROR"),
    SX_ERR_NAME("E_CTXERR_DEV_RECV_QUEUE_EMPTY (NO RESPONSE DETECTED)"),
    SX_ERR_NAME("E_CTXERR_NO_MORE_DATA  Incoming p&o data queue empty"),
    SX_ERR_NAME("E_DEVIOERR_NO_CNX"),
    SX_ERR_NAME("E_DEVIOERR_FRAME_HEADER"),
    SX_ERR_NAME("E_DEVIOERR_USB_WRITERR"),
    SX_ERR_NAME("E_DEVIOERR_USB_READERR"),
    SX_ERR_NAME("E_DEVIOERR_SER_WRITERR"),
    SX_ERR_NAME("E_DEVIOERR_SER_READERR"),
};
#undef SX_ERR_NAME
constexpr ErrName kNotDefined = {"SX_ERR NOT DEFINED", L"SX_ERR NOT DEFINED"};
constexpr unsigned kCodeCount = sizeof kNames / sizeof kNames[0];
static_assert(kCodeCount == E_DEVIOERR_SER_READERR + 1, "one text per error code");

constexpr int kResultChars = 4096;
// Composed texts: one buffer per thread and width.
thread_local char t_text[kResultChars];
thread_local wchar_t t_wtext[kResultChars];

unsigned LowHalf(int value)
{
    return static_cast<unsigned>(value) & 0xFFFFu;
}
unsigned HighHalf(int value)
{
    return (static_cast<unsigned>(value) >> 16) & 0xFFFFu;
}
bool IsDeviceIoCode(unsigned code)
{
    return code >= E_DEVIOERR_NO_CNX && code <= E_DEVIOERR_SER_READERR;
}

} // namespace

SXCMDIF_CAPI const char* trErrStr(int value)
{
    const unsigned code = LowHalf(value);
    if (code == E_SXERR_INVALID_CRC) {
        snprintf(t_text, kResultChars, "%s : %s", kNames[code].text, sxerr::CommandName(HighHalf(value)));
        return t_text;
    }
    if (IsDeviceIoCode(code)) {
        snprintf(t_text, kResultChars, "%s : %s", kNames[code].text, sxerr::DetailText(value));
        return t_text;
    }
    return code < kCodeCount ? kNames[code].text : kNotDefined.text;
}

SXCMDIF_CAPI const wchar_t* trErrStrW(int value)
{
    const unsigned code = LowHalf(value);
    if (code == E_SXERR_INVALID_CRC) {
        swprintf(t_wtext, kResultChars, L"%ls : %ls", kNames[code].wtext, sxerr::CommandNameW(HighHalf(value)));
        return t_wtext;
    }
    if (IsDeviceIoCode(code)) {
        std::unique_ptr<wchar_t[]> detail(sxplat::NewWide(sxerr::DetailText(value)));
        swprintf(t_wtext, kResultChars, L"%ls : %ls", kNames[code].wtext, detail.get());
        return t_wtext;
    }
    return code < kCodeCount ? kNames[code].wtext : kNotDefined.wtext;
}

SXCMDIF_CAPI const char* sxcmdif_errorStr(int value)
{
    return trErrStr(value);
}

SXCMDIF_CAPI const wchar_t* sxcmdif_errorStrW(int value)
{
    return trErrStrW(value);
}
