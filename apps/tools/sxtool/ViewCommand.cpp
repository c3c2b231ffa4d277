// view: the tracker live in the browser, served until Ctrl-C. The page's
// `set` goes through the same item table, checks and record building as
// `sxtool set`.
#include "Commands.h"

#include "ExitCodes.h"
#include "Output.h"
#include "Session.h"
#include "StopFlag.h"
#include "StreamWatch.h"

#include <viewer/SXviewer.h>

#include <SXCmdIF/SXCmdIF.h>

#include <fcntl.h>
#include <spawn.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

extern char** environ;

namespace sxtool {

namespace {

std::string ConnectionText(const Session& s, const ConnectionOptions& c)
{
    if (s.Simulated())
        return "simulated tracker (" + std::to_string(c.simSensors) + " sensors at " + std::to_string(c.simRateHz) +
               " Hz) on serial port 1";
    if (c.serialPort > 0)
        return "serial port " + std::to_string(c.serialPort);
    if (c.serialPort == 0)
        return "a serial port";
    if (c.hub)
        return "USB, through the hub";
    if (c.tag != 0)
        return "USB, tag device " + std::to_string(c.tag);
    return "USB";
}

int SetFromPage(void* ctx, void* dev, const sxviewer::SetRequest& r, std::string& error)
{
    ItemOptions o;
    o.item = r.item;
    o.values = r.values;
    o.sensor = r.sensor;
    if (!r.target.empty())
        o.target = r.target;
    PreparedSet p;
    if (PrepareSet(ctx, dev, o, p, error) != kExitOk)
        return -1;
    return p.item->Send(p.context, CMD_ACTION_SET, p.payload);
}

// The desktop's browser, left to run on its own.
void OpenBrowser(const std::string& url)
{
    pid_t pid = 0;
    char prog[] = "xdg-open";
    std::string arg = url;
    char* argv[] = {prog, arg.data(), nullptr};
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    const int rc = posix_spawnp(&pid, prog, &fa, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&fa);
    if (rc != 0)
        Complain("cannot open a browser (xdg-open): %s; open %s yourself", std::strerror(rc), url.c_str());
}

} // namespace

int RunView(Session& s, const ConnectionOptions& conn, const ViewOptions& o)
{
    sxviewer::ViewOptions opts;
    opts.port = o.port;
    opts.bindAddress = o.bind;
    opts.readOnly = o.readOnly;
    opts.maxBrowsers = o.maxBrowsers;
    opts.recordDir = o.recordDir;
    opts.connection = ConnectionText(s, conn);
    opts.setItem = SetFromPage;
    std::atomic<int> port{0};
    opts.boundPort = &port;
    StreamWatch watch(s.Options().reconnect);
    WatchServedStream(s, watch, opts.guard, opts.reconnect, opts.onStreamEvent);

    std::atomic<bool> done{false};
    std::thread opener;
    if (o.open) {
        const std::string host = o.bind == "0.0.0.0" ? "localhost" : o.bind;
        opener = std::thread([&] {
            while (port.load() == 0 && !done.load() && !StopRequested())
                SleepMs(20);
            if (port.load() != 0)
                OpenBrowser("http://" + host + ":" + std::to_string(port.load()) + "/");
        });
    }
    const int rc = sxviewer::View(s.Ctx(), s.Dev(), opts, StopFlag(), DataOut());
    done.store(true);
    if (opener.joinable())
        opener.join();
    // -2: the page's files could not be read (the viewer said which).
    return rc == -2 ? kExitFileError : EndServedStream(watch, ServerExit(rc, "view", o.bind, o.port));
}

} // namespace sxtool
