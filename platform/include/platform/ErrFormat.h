// The format of an error message: the caller's format, ": " and the text of
// the calling thread's last system error, in a 200-character buffer; a
// format of 193 characters or more is left out so the error text always
// fits.
#pragma once

#include <platform/SysErrText.h>

#include <cstdio>
#include <cstring>

namespace sxplat {

struct ErrFormat {
    char text[200];
    explicit ErrFormat(const char* fmt)
    {
        const char* err = LastErrorText();
        if (!fmt)
            fmt = "";
        if (strlen(fmt) >= 193)
            snprintf(text, sizeof text, "%s", err);
        else
            snprintf(text, sizeof text, "%s: %s", fmt, err);
    }
};

} // namespace sxplat
