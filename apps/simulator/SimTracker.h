// sxsim: a simulated tracker. One SimUnit holds the tracker's state and
// speaks its protocol; a link carries its frames (a serial line here; the
// test support adds one on its emulated USB device, tests/testsupport/simusb).
// Each running unit has one thread that answers commands and paces P&O
// frames to absolute deadlines of the monotonic clock. Several units can
// run in one process.
#pragma once

#include <simulator/SimUnit.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace sxsim {

class SimRunner;

// A simulated tracker on a serial line: a pseudo-terminal pair of its own
// (an application opens the slave end) or a tty it is given.
class SerialSim {
public:
    // A new pseudo-terminal pair in raw mode without echo.
    static std::unique_ptr<SerialSim> Start(const SimConfig& cfg, std::string* error = nullptr);
    // Serves the terminal at tty (put in raw mode).
    static std::unique_ptr<SerialSim> StartOnPath(const std::string& tty, const SimConfig& cfg,
                                                  std::string* error = nullptr);
    ~SerialSim(); // stops the thread, closes
    SerialSim(const SerialSim&) = delete;
    SerialSim& operator=(const SerialSim&) = delete;

    // What an application opens: the slave end of the pair, or the tty served.
    const std::string& SlavePath() const { return m_path; }
    // Thread-safe; takes effect at once.
    void SetFaults(const FaultConfig& f);
    SimStats Stats() const;
    // The line goes quiet: commands are read and dropped, nothing is sent.
    void GoQuiet(bool quiet);
    // Closes the line: the application sees a hang-up.
    void CloseLine();
    // A new line (a new pseudo-terminal pair; SlavePath() names it) in place
    // of the old one, which is closed: a cable put back. With powerCycle the
    // unit comes back as switched off and on. False with error.
    bool ReopenLine(bool powerCycle, std::string* error = nullptr);
    SimUnit& Unit() { return *m_unit; }
    // Told every P&O frame's measurement time (null: no one); the sink
    // must outlive the simulator or be replaced first.
    void SetTruthSink(TruthSink* sink);

private:
    SerialSim() = default;
    static std::unique_ptr<SerialSim> Serve(int fd, int holdFd, std::string path, const SimConfig& cfg,
                                            std::string* error);

    std::string m_path;
    std::unique_ptr<SimUnit> m_unit;
    std::unique_ptr<SimRunner> m_runner;
};

} // namespace sxsim
