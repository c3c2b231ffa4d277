// ros2: the tracker's P&O as ROS 2 topics over DDS until Ctrl-C.
#include "Commands.h"

#include "ExitCodes.h"
#include "Session.h"
#include "StopFlag.h"
#include "StreamWatch.h"
#include "Texts.h"

#include <ros2/SXros2.h>

#include <cstdio>

namespace sxtool {

int RunRos2(Session& s, const ConnectionOptions& conn, const Ros2Options& o)
{
    sxros2::PublishOptions opts;
    opts.domain = o.domain;
    opts.ns = o.ns;
    opts.poseQos = o.qos == "best-effort" ? sxros2::PoseQos::BestEffort : sxros2::PoseQos::Reliable;
    opts.rateHz = o.rateHz;
    if (s.Simulated())
        opts.connection = texts::kRos2Simulated;
    else if (conn.serialPort > 0)
        opts.connection = texts::kRos2Serial + std::to_string(conn.serialPort);
    else
        opts.connection = conn.hub ? texts::kRos2Hub : texts::kRos2Usb;
    StreamWatch watch(s.Options().reconnect);
    WatchServedStream(s, watch, opts.guard, opts.reconnect, opts.onStreamEvent);
    const int rc = sxros2::Publish(s.Ctx(), s.Dev(), opts, StopFlag(), stderr);
    if (rc == sxros2::kDdsFailed)
        return kExitFailed; // the reason is printed
    if (rc != 0) {
        Complain(texts::kCommandFailed, "ros2", ErrorText(rc));
        return kExitFailed;
    }
    return EndServedStream(watch, kExitOk);
}

} // namespace sxtool
