#include "SysErrText.h"

#include <platform/LocalTime.h>
#include <platform/SysErrText.h>

#include <cstddef>
#include <cstdio>

namespace {

// Codes 10035 to 10071.
constexpr const char* kWsaLow[] = {
    "WSAEWOULDBLOCK",  "WSAEINPROGRESS",  "WSAEALREADY",     "WSAENOTSOCK",        "WSAEDESTADDRREQ",
    "WSAEMSGSIZE",     "WSAEPROTOTYPE",   "WSAENOPROTOOPT",  "WSAEPROTONOSUPPORT", "WSAESOCKTNOSUPPORT",
    "WSAEOPNOTSUPP",   "WSAEPFNOSUPPORT", "WSAEAFNOSUPPORT", "WSAEADDRINUSE",      "WSAEADDRNOTAVAIL",
    "WSAENETDOWN",     "WSAENETUNREACH",  "WSAENETRESET",    "WSAECONNABORTED",    "WSAECONNRESET",
    "WSAENOBUFS",      "WSAEISCONN",      "WSAENOTCONN",     "WSAESHUTDOWN",       "WSAETOOMANYREFS",
    "WSAETIMEDOUT",    "WSAECONNREFUSED", "WSAELOOP",        "WSAENAMETOOLONG",    "WSAEHOSTDOWN",
    "WSAEHOSTUNREACH", "WSAENOTEMPTY",    "WSAEPROCLIM",     "WSAEUSERS",          "WSAEDQUOT",
    "WSAESTALE",       "WSAEREMOTE",
};
constexpr int kWsaLowFirst = 10035;

// Codes 10091 to 10105: the standard names from WSASYSNOTREADY to
// WSAEREFUSED in their standard order, numbered without the standard gaps.
// Existing logs and callers read these numbers, so the table stays as is.
constexpr const char* kWsaHigh[] = {
    "WSASYSNOTREADY",       "WSAVERNOTSUPPORTED",   "WSANOTINITIALISED",
    "WSAEDISCON",           "WSAENOMORE",           "WSAECANCELLED",
    "WSAEINVALIDPROCTABLE", "WSAEINVALIDPROVIDER",  "WSAEPROVIDERFAILEDINIT",
    "WSASYSCALLFAILURE",    "WSASERVICE_NOT_FOUND", "WSATYPE_NOT_FOUND",
    "WSA_E_NO_MORE",        "WSA_E_CANCELLED",      "WSAEREFUSED",
};
constexpr int kWsaHighFirst = 10091;

static_assert(sizeof kWsaLow / sizeof kWsaLow[0] == 37, "10035 to 10071");
static_assert(sizeof kWsaHigh / sizeof kWsaHigh[0] == 15, "10091 to 10105");

template <size_t N>
const char* Lookup(const char* const (&table)[N], int first, int code)
{
    if (code < first || code - first >= static_cast<int>(N))
        return nullptr;
    return table[code - first];
}

} // namespace

const char* trWsaErrStr(int code)
{
    if (const char* name = Lookup(kWsaLow, kWsaLowFirst, code))
        return name;
    if (const char* name = Lookup(kWsaHigh, kWsaHighFirst, code))
        return name;
    return "WSAE NOT DEFINED";
}

std::string trDateTime()
{
    std::tm local{};
    if (!sxplat::LocalTimeNow(local))
        return std::string();
    char text[64];
    snprintf(text, sizeof text, "%02d/%02d/%02d %02d:%02d:%02d", local.tm_year + 1900 - 2000, local.tm_mon + 1,
             local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

std::string trSysErrText(unsigned int code)
{
    return sxplat::SysErrText(code);
}
