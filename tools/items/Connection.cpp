#include "Connection.h"

#include <SXCmdIF/SXCmdIF.h>

namespace sxitems {

int ConnectSerialRetried(void* ctx, void*& dev, int port, int cfg, int attempts)
{
    int rc = E_SXERR_NOTFOUND;
    for (int attempt = 0; attempt < (attempts < 1 ? 1 : attempts) && (rc & 0xFFFF) == E_SXERR_NOTFOUND; ++attempt)
        rc = sxctx_connectser(ctx, dev, port, cfg);
    return rc;
}

void ToNewlines(std::string& text)
{
    size_t out = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        text[out++] = text[i];
    }
    text.resize(out);
}

} // namespace sxitems
