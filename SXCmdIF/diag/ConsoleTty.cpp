#include "ConsoleTty.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace sxdiag {

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

} // namespace sxdiag
