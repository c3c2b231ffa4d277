// A tiny application of the installed serial library.
#include <SXserIO/SXserIO.h>

#include <cstdio>

int main()
{
    std::printf("ok serial\n");
    return 0;
}
