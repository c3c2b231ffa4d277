// System errors on Windows: the thread's last error (GetLastError) and the
// system's message table.
#include <platform/SysErrText.h>

#include <windows.h>

#include <cstdio>

namespace sxplat {

namespace {

constexpr DWORD kSysErrBuf = 4096;

// The system's message of code in the default language into text; 0 when
// the system has none.
DWORD SystemMessage(DWORD code, char* text, DWORD size)
{
    return FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                          MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, size, nullptr);
}

} // namespace

int LastError()
{
    return static_cast<int>(GetLastError());
}

void RestoreLastError(int code)
{
    SetLastError(static_cast<DWORD>(code));
}

// The text ends up inside a format string (ErrFormat): a per cent sign of a
// message ("%1") is doubled, and the message's own line end is dropped.
const char* LastErrorText()
{
    thread_local char text[512];
    const DWORD code = GetLastError();
    char message[256];
    DWORD n = SystemMessage(code, message, sizeof message);
    if (n == 0)
        n = static_cast<DWORD>(snprintf(message, sizeof message, "system error %lu", code));
    while (n > 0 && (message[n - 1] == '\r' || message[n - 1] == '\n' || message[n - 1] == ' '))
        --n;
    size_t out = 0;
    for (DWORD i = 0; i < n && out + 2 < sizeof text; ++i) {
        if (message[i] == '%')
            text[out++] = '%';
        text[out++] = message[i];
    }
    text[out] = '\0';
    SetLastError(code);
    return text;
}

std::string SysErrText(unsigned int code)
{
    char text[kSysErrBuf];
    if (SystemMessage(code, text, sizeof text) == 0)
        snprintf(text, sizeof text, "Non-Windows system error 0x%x", code);
    return text;
}

} // namespace sxplat
