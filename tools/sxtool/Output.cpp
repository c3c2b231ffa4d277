#include "Output.h"

#include <unistd.h>

namespace sxtool {

namespace {
std::FILE* g_data = nullptr;
int g_dataFd = STDOUT_FILENO;
} // namespace

void SeparateDataFromTrace()
{
    if (g_data)
        return;
    std::fflush(stdout);
    const int fd = dup(STDOUT_FILENO);
    std::FILE* f = fd >= 0 ? fdopen(fd, "w") : nullptr;
    if (!f || dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
        if (f)
            std::fclose(f);
        return; // keep everything on standard output
    }
    g_data = f;
    g_dataFd = fd;
}

std::FILE* DataOut()
{
    return g_data ? g_data : stdout;
}

bool DataIsTerminal()
{
    return isatty(g_dataFd) == 1;
}

} // namespace sxtool
