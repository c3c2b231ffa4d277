#include <platform/SysErrText.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace sxplat {

namespace {

constexpr int kSysErrBuf = 4096;

} // namespace

int LastError()
{
    return errno;
}

void RestoreLastError(int code)
{
    errno = code;
}

const char* LastErrorText()
{
    // strerror may hand every thread one buffer for a code it does not know;
    // each thread keeps its own text here, valid until its next call.
    thread_local char text[kSysErrBuf];
    return strerror_r(errno, text, sizeof text); // GNU form: may return static text
}

std::string SysErrText(unsigned int code)
{
    char text[kSysErrBuf];
    // strerrorname_np names exactly the codes the system defines; for any
    // other, strerror_r would only make up "Unknown error N".
    const int err = static_cast<int>(code);
    if (code <= 0x7FFFFFFFu && strerrorname_np(err) != nullptr) {
        const char* msg = strerror_r(err, text, sizeof text); // GNU form: may return static text
        return msg ? std::string(msg) : std::string();
    }
    snprintf(text, sizeof text, "Non-Windows system error 0x%x", code);
    return text;
}

} // namespace sxplat
