// The process's console on Linux: its controlling terminal, /dev/tty. There
// is no console window to create; a terminal the process has serves.
#include <platform/Console.h>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace sxplat {

namespace {

// /dev/tty opens for writing (without acquiring a controlling terminal)
// exactly when the process has one.
bool HasConsole()
{
    int fd = ::open("/dev/tty", O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

bool ReopenStdoutOnTty()
{
    if (!HasConsole())
        return false;
    fflush(stdout);
    return freopen("/dev/tty", "w", stdout) != nullptr;
}

} // namespace

bool ReopenStdoutOnConsole()
{
    return HasConsole() && ReopenStdoutOnTty();
}

void OpenConsoleWindow(bool)
{
    ReopenStdoutOnTty();
}

} // namespace sxplat
