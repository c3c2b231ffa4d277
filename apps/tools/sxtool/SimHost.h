// The simulated tracker inside sxtool's own process, on a pseudo-terminal:
// the library reaches it through its serial transport, exactly as a tracker
// on a serial line.
#pragma once

#include <memory>
#include <string>

namespace sxsim {
class SerialSim;
}

namespace sxtool {

class SimHost {
public:
    ~SimHost();
    // Starts a simulated unit with the given sensors and frame rate (each
    // sensor at its fixed pose when staticPose; each frame written up to
    // jitterMs late) and points the serial port list (SXSERIO_PORTS) at it,
    // as port 1.
    static std::unique_ptr<SimHost> Start(int sensors, int rateHz, bool staticPose, double jitterMs,
                                          std::string& error);
    static constexpr int kPort = 1;

private:
    SimHost() = default;
    std::unique_ptr<sxsim::SerialSim> m_sim;
};

} // namespace sxtool
