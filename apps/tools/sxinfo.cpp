// sxinfo: prints the library's version and build stamp, then creates and
// releases a context with tracing on.
#include <SXCmdIF/SXCmdIF.h>

#include <cstdio>

int main()
{
    std::printf("SXCmdIF %s built %s\n", sxcmdif_version(), sxcmdif_datetime());
    std::fflush(stdout);

    sxcmdif_trace(5);
    void* ctx = nullptr;
    int rc = sxcmdif_init(&ctx);
    if (rc != E_SX_SUCCESS) {
        std::fprintf(stderr, "sxcmdif_init failed: %d\n", rc);
        return 1;
    }
    rc = sxcmdif_release(ctx);
    sxcmdif_trace(0);
    std::fflush(stdout);
    if (rc != E_SX_SUCCESS) {
        std::fprintf(stderr, "sxcmdif_release failed: %d\n", rc);
        return 1;
    }
    return 0;
}
