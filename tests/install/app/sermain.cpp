// A tiny application of the installed serial library.
#include <SXserIO/SXserIO.h>

#include <cstdio>
#include <cstring>

int main()
{
    CSXserIO port;
    if (port.IsOpen())
        return 1;
    if (std::strcmp(CSXserIO::ErrorStr(1), "SXIO_TIMEOUT") != 0)
        return 2;
    std::printf("ok serial\n");
    return 0;
}
