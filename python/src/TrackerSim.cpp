// TrackerCore's simulated tracker: started in this process on a
// pseudo-terminal and connected through the serial transport, its faults
// and its counters.
#include "TrackerInternal.h"

#include "Errors.h"

#include <items/Connection.h>
#include <items/ItemWords.h>

#include <SXCmdIF/SXCmdIF.h>

#include <cstdlib>
#include <mutex>
#include <string>

namespace sxpy {

namespace {

#ifdef SXPY_HAVE_SIM
// The simulator's faults a Python caller may give, by their Python names.
struct FaultU32 {
    const char* name;
    uint32_t sxsim::FaultConfig::*field;
};
struct FaultInt {
    const char* name;
    int sxsim::FaultConfig::*field;
};
struct FaultBool {
    const char* name;
    bool sxsim::FaultConfig::*field;
};

const FaultU32 kFaultU32[] = {
    {"drop_every_n", &sxsim::FaultConfig::dropEveryN},
    {"corrupt_frame_every_n", &sxsim::FaultConfig::corruptFrameEveryN},
    {"extra_sensor_every_n", &sxsim::FaultConfig::extraSensorEveryN},
    {"sensor16_every_n", &sxsim::FaultConfig::sensor16EveryN},
    {"garbage_every_n", &sxsim::FaultConfig::garbageEveryN},
    {"garbage_len", &sxsim::FaultConfig::garbageLen},
    {"corrupt_response_every_n", &sxsim::FaultConfig::corruptResponseEveryN},
    {"jitter_us", &sxsim::FaultConfig::jitterUs},
};
const FaultInt kFaultInt[] = {
    {"fault_cmd", &sxsim::FaultConfig::faultCmd},
    {"response_delay_ms", &sxsim::FaultConfig::responseDelayMs},
};
const FaultBool kFaultBool[] = {
    {"withhold_responses", &sxsim::FaultConfig::withholdResponses},
    {"wrong_command_first", &sxsim::FaultConfig::wrongCommandFirst},
    {"nak_all", &sxsim::FaultConfig::nakAll},
    {"nak_warning", &sxsim::FaultConfig::nakWarning},
};

// Takes a fault setting into f; false when the name is not a fault.
bool TakeFault(sxsim::FaultConfig& f, const std::string& name, py::handle value)
{
    for (const FaultU32& o : kFaultU32)
        if (name == o.name) {
            f.*o.field = value.cast<uint32_t>();
            return true;
        }
    for (const FaultInt& o : kFaultInt)
        if (name == o.name) {
            f.*o.field = value.cast<int>();
            return true;
        }
    for (const FaultBool& o : kFaultBool)
        if (name == o.name) {
            f.*o.field = value.cast<bool>();
            return true;
        }
    return false;
}

bool TakeConfig(sxsim::SimConfig& c, const std::string& name, py::handle value)
{
    if (name == "sources")
        c.sources = value.cast<int>();
    else if (name == "seuid")
        c.seuid = value.cast<uint32_t>();
    else if (name == "seed")
        c.seed = value.cast<uint64_t>();
    else if (name == "static_pose")
        c.staticPose = value.cast<bool>();
    else if (name == "accel_records")
        c.accelRecords = value.cast<bool>();
    else if (name == "drift_ppm")
        c.driftPpm = value.cast<double>();
    else
        return false;
    return true;
}
#endif

} // namespace

void TrackerCore::OpenSimulated(int sensors, int rate, int timeoutMs, int retries, const py::kwargs& options)
{
#ifdef SXPY_HAVE_SIM
    if (m_ctx)
        throw py::value_error("the tracker is already open");
    if (sensors < 1 || sensors > 16)
        throw py::value_error("simulated(): sensors takes 1 to 16, not " + std::to_string(sensors));
    uint32_t code = 0;
    std::string rateError;
    if (!sxitems::FrameRateCode(rate, code, rateError))
        throw py::value_error("simulated(): rate: " + rateError);
    sxsim::SimConfig cfg;
    cfg.sensors = sensors;
    cfg.rateHz = rate;
    sxsim::FaultConfig faults;
    for (auto kv : options) {
        const std::string name = py::str(kv.first);
        if (!TakeConfig(cfg, name, kv.second) && !TakeFault(faults, name, kv.second))
            throw py::type_error("simulated() got an unexpected keyword argument '" + name + "'");
    }

    std::string error;
    std::unique_ptr<sxsim::SerialSim> sim;
    int r;
    {
        py::gil_scoped_release nogil;
        sim = sxsim::SerialSim::Start(cfg, &error);
        if (sim) {
            sim->SetFaults(faults);
            // The serial transport lists its ports from SXSERIO_PORTS: the
            // simulator's line becomes port 1 while connecting, and the
            // caller's setting comes back afterwards.
            static std::mutex envMutex;
            std::lock_guard<std::mutex> envLock(envMutex);
            const char* before = std::getenv("SXSERIO_PORTS");
            const std::string saved = before ? before : "";
            setenv("SXSERIO_PORTS", sim->SlavePath().c_str(), 1);
            std::unique_lock<std::shared_mutex> lock(m_use);
            // The serial connection gives the unit 50 ms for each of its first
            // answers; a busy machine may keep the simulator's thread from
            // answering in time, which the next attempt usually survives.
            // Faults meant to refuse the connection still refuse every try.
            r = Connect([retries](void* ctx, void*& dev) {
                return sxitems::ConnectSerialRetried(ctx, dev, 1, static_cast<int>(CSerialCfg::Default.sercfg),
                                                     retries);
            });
            // Port 1 is the simulator's only while SXSERIO_PORTS names it:
            // its line is never lost, nor connected again.
            m_connect = nullptr;
            if (before)
                setenv("SXSERIO_PORTS", saved.c_str(), 1);
            else
                unsetenv("SXSERIO_PORTS");
        }
    }
    if (!sim)
        throw std::runtime_error("the simulated tracker did not start: " + error);
    if (r != 0) {
        {
            py::gil_scoped_release nogil;
            sim.reset();
        }
        Check(r, "connect the simulated tracker");
    }
    m_sim = std::move(sim);
    Opened("simulated", timeoutMs);
#else
    (void)sensors;
    (void)rate;
    (void)timeoutMs;
    (void)retries;
    (void)options;
    throw std::runtime_error("this sxcmdif was built without the simulated tracker");
#endif
}

void TrackerCore::SetFaults(const py::kwargs& options)
{
#ifdef SXPY_HAVE_SIM
    sxsim::FaultConfig faults;
    for (auto kv : options) {
        const std::string name = py::str(kv.first);
        if (!TakeFault(faults, name, kv.second))
            throw py::type_error("set_faults() got an unexpected keyword argument '" + name + "'");
    }
    const int r = Blocking([&] {
        if (!m_sim)
            return 1;
        m_sim->SetFaults(faults);
        return 0;
    });
    if (r != 0)
        throw py::value_error("set_faults: only a simulated tracker takes faults");
#else
    (void)options;
    throw py::value_error("set_faults: only a simulated tracker takes faults");
#endif
}

py::dict TrackerCore::SimStats()
{
#ifdef SXPY_HAVE_SIM
    sxsim::SimStats s;
    const int r = Blocking([&] {
        if (!m_sim)
            return 1;
        s = m_sim->Stats();
        return 0;
    });
    if (r != 0)
        throw py::value_error("sim_stats: not a simulated tracker");
    py::dict d;
    d["frames_sent"] = s.framesSent;
    d["frames_dropped"] = s.framesDropped;
    d["frames_unsent"] = s.framesUnsent;
    d["commands_answered"] = s.commandsAnswered;
    d["faults_injected"] = s.faultsInjected;
    return d;
#else
    throw py::value_error("sim_stats: not a simulated tracker");
#endif
}

std::string TrackerCore::SimPath()
{
    std::string path;
#ifdef SXPY_HAVE_SIM
    Blocking([&] {
        if (m_sim)
            path = m_sim->SlavePath();
        return 0;
    });
#endif
    return path;
}

} // namespace sxpy
