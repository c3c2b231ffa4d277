#include "BuildStamp.h"

#include <platform/TextConv.h>

#include <mutex>
#include <string>

namespace sxbuild {
namespace {

const char kVersion[] = "240212a v0.0.61";
const char kDate[] = __DATE__;
const char kTime[] = __TIME__;
const char kDateTime[] = __DATE__ " " __TIME__;

// The wide forms, made with the current locale on the first call of any
// wide function and kept from then on.
struct WideTexts {
    std::wstring version, date, time, datetime;
};

const WideTexts& Wide()
{
    static std::once_flag once;
    static WideTexts texts;
    std::call_once(once, [] {
        texts.version = sxplat::WideString(kVersion);
        texts.date = sxplat::WideString(kDate);
        texts.time = sxplat::WideString(kTime);
        texts.datetime = sxplat::WideString(kDateTime);
    });
    return texts;
}

} // namespace

const char* Version()
{
    return kVersion;
}
const char* Date()
{
    return kDate;
}
const char* Time()
{
    return kTime;
}
const char* DateTime()
{
    return kDateTime;
}

const wchar_t* VersionW()
{
    return Wide().version.c_str();
}
const wchar_t* DateW()
{
    return Wide().date.c_str();
}
const wchar_t* TimeW()
{
    return Wide().time.c_str();
}
const wchar_t* DateTimeW()
{
    return Wide().datetime.c_str();
}

} // namespace sxbuild
