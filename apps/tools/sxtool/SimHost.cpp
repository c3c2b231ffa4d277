#include "SimHost.h"

#ifdef _WIN32
namespace sxsim {
// The simulated tracker runs on Linux only: on Windows none is ever held.
class SerialSim {};
} // namespace sxsim
#else
#include <simulator/SimTracker.h>
#endif

#include <cstdlib>

namespace sxtool {

SimHost::~SimHost() = default;

std::unique_ptr<SimHost> SimHost::Start(int sensors, int rateHz, bool staticPose, double jitterMs, std::string& error)
{
#ifdef _WIN32
    (void)sensors;
    (void)rateHz;
    (void)staticPose;
    (void)jitterMs;
    error = "it runs on Linux only";
    return nullptr;
#else
    sxsim::SimConfig cfg;
    cfg.sensors = sensors;
    cfg.rateHz = rateHz;
    cfg.staticPose = staticPose;
    if (sensors < 1 || sensors > 16) {
        error = "--sim-sensors takes 1 to 16";
        return nullptr;
    }
    if (sxsim::RateCodeOf(rateHz) < 0) {
        error = "--sim-rate takes 30, 60, 120, 240, 480 or 960";
        return nullptr;
    }
    std::unique_ptr<SimHost> host(new SimHost);
    host->m_sim = sxsim::SerialSim::Start(cfg, &error);
    if (!host->m_sim)
        return nullptr;
    if (jitterMs > 0) {
        sxsim::FaultConfig line;
        line.jitterUs = static_cast<uint32_t>(jitterMs * 1000.0 + 0.5);
        host->m_sim->SetFaults(line);
    }
    // The serial transport lists exactly the ports named here, numbered from 1.
    setenv("SXSERIO_PORTS", host->m_sim->SlavePath().c_str(), 1);
    return host;
#endif
}

} // namespace sxtool
