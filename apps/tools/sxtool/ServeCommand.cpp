// serve: the tracker's P&O to OpenIGTLink clients until Ctrl-C.
#include "Commands.h"

#include "Output.h"
#include "Session.h"
#include "StopFlag.h"
#include "StreamWatch.h"

#include <igtl/SXigtl.h>

namespace sxtool {

int RunServe(Session& s, const ServeOptions& o)
{
    sxigtl::ServeOptions opts;
    opts.port = o.port;
    opts.rateHz = o.rateHz;
    opts.prefix = o.prefix;
    opts.bindAddress = o.bind;
    opts.maxClients = o.maxClients;
    StreamWatch watch(s.Options().reconnect);
    WatchServedStream(s, watch, opts.guard, opts.reconnect, opts.onStreamEvent);
    const int rc = ServerExit(sxigtl::Serve(s.Ctx(), s.Dev(), opts, StopFlag(), DataOut()), "serve", o.bind, o.port);
    return EndServedStream(watch, rc);
}

} // namespace sxtool
