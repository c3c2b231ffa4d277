// Connecting the library to simulated trackers in the fault, stress and
// interface tests: serial units on pseudo-terminals (named to the library
// through SXSERIO_PORTS, port numbers from 1 in the order given), a
// duration from the environment, and the codes the calls may return.
#pragma once

#include <SXCmdIF/SXCmdIF.h>
#include <simulator/SimTracker.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace sxfault {

// A path outside /dev for a terminal: the emulated USB testbed redirects
// every /dev path of its process into itself, a symbolic link elsewhere
// reaches the real pseudo-terminal. Links are removed at exit.
inline std::string LinkOutsideDev(const std::string& tty)
{
    static std::vector<std::string> links;
    static bool registered = false;
    if (!registered) {
        registered = true;
        std::atexit([] {
            for (const std::string& l : links)
                unlink(l.c_str());
        });
    }
    const std::string link = "/tmp/sx-pty-" + std::to_string(getpid()) + "-" + std::to_string(links.size());
    unlink(link.c_str());
    if (symlink(tty.c_str(), link.c_str()) != 0)
        return tty;
    links.push_back(link);
    return link;
}

// Starts n serial units with cfg (seuid 1, 2, ...) and makes them the ports
// 1 to n of the serial transport; with viaLinks the ports are named by
// links outside /dev (next to an emulated USB testbed).
inline std::vector<std::unique_ptr<sxsim::SerialSim>> StartSerial(int n, sxsim::SimConfig cfg = {},
                                                                  bool viaLinks = false)
{
    std::vector<std::unique_ptr<sxsim::SerialSim>> sims;
    std::string ports;
    for (int i = 0; i < n; ++i) {
        cfg.seuid = static_cast<uint32_t>(i + 1);
        cfg.seed = static_cast<uint64_t>(i + 7);
        std::string err;
        auto sim = sxsim::SerialSim::Start(cfg, &err);
        if (!sim)
            return {};
        if (!ports.empty())
            ports += ':';
        ports += viaLinks ? LinkOutsideDev(sim->SlavePath()) : sim->SlavePath();
        sims.push_back(std::move(sim));
    }
    setenv("SXSERIO_PORTS", ports.c_str(), 1);
    return sims;
}

// Seconds from the environment variable, else the default.
inline int Seconds(const char* variable, int fallback)
{
    const char* v = std::getenv(variable);
    if (!v || !*v)
        return fallback;
    const int s = std::atoi(v);
    return s > 0 ? s : fallback;
}

// The low half of an error code: its place in the code table.
inline int Low(int code)
{
    return code & 0xFFFF;
}

// Every code an exported call may return: the table's 0 to 30, with a
// detail in the high half only where the table allows one.
inline bool Documented(int code)
{
    const int low = Low(code);
    if (low < 0 || low > 30)
        return false;
    if ((code >> 16) == 0)
        return true;
    return low == E_SXERR_INVALID_CRC || low == E_SXERR_LIBUSB || low == E_SXERR_SERIO ||
           low == E_DEVIOERR_USB_WRITERR || low == E_DEVIOERR_SER_WRITERR || low == E_DEVIOERR_USB_READERR ||
           low == E_DEVIOERR_SER_READERR;
}

using Clock = std::chrono::steady_clock;

} // namespace sxfault
