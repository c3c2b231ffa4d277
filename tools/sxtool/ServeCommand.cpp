// serve: the tracker's P&O to OpenIGTLink clients until Ctrl-C.
#include "Commands.h"

#include "ExitCodes.h"
#include "Output.h"
#include "Session.h"
#include "StopFlag.h"
#include "Texts.h"

#include <igtl/SXigtl.h>

#include <cstdio>

namespace sxtool {

int RunServe(Session& s, const ServeOptions& o)
{
    sxigtl::ServeOptions opts;
    opts.port = o.port;
    opts.rateHz = o.rateHz;
    opts.prefix = o.prefix;
    opts.bindAddress = o.bind;
    opts.maxClients = o.maxClients;
    const int rc = sxigtl::Serve(s.Ctx(), s.Dev(), opts, StopFlag(), DataOut());
    if (rc == -1) {
        Complain(texts::kCannotListen, o.bind.c_str(), o.port);
        return kExitFailed;
    }
    if (rc != 0) {
        Complain(texts::kCommandFailed, "serve", ErrorText(rc));
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace sxtool
