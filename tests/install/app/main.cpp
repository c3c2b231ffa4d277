// A tiny application of the installed SDK.
#include <SXCmdIF/SXCmdIF.h>

#include <cstdio>
#include <cstring>

int main()
{
    void* ctx = nullptr;
    if (sxcmdif_init(&ctx) != E_SX_SUCCESS)
        return 1;
    if (sxcmdif_release(ctx) != E_SX_SUCCESS || sxcmdif_release(ctx) != E_SXERR_INVALID_CONTEXT)
        return 2;
    if (std::strcmp(sxcmdif_errorStr(0), "E_SX_SUCCESS") != 0)
        return 3;
    std::printf("ok %s\n", sxcmdif_version());
    return 0;
}
