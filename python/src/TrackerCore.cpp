#include "TrackerCore.h"

#include "Errors.h"
#include "Frames.h"
#include "Items.h"
#include "Records.h"
#include "TrackerInternal.h"

#include <SXCmdIF/SXCmdIF.h>

#ifdef SXPY_HAVE_SIM
#include <simulator/SimTracker.h>
#else
namespace sxsim {
class SerialSim {};
} // namespace sxsim
#endif

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace sxpy {

std::atomic<bool> g_finalizing{false};
thread_local const CallbackState* t_inCallback = nullptr;

namespace {

// The open trackers, for closing them at shut-down; changed with the GIL.
std::set<TrackerCore*>& Live()
{
    static auto* live = new std::set<TrackerCore*>; // never destroyed: used up to the end
    return *live;
}

// Connections to a simulated tracker that got no answer in time are tried
// again this often.
constexpr int kSimConnectAttempts = 3;

std::string Where(const char* verb, const std::string& item, const char* level, int index)
{
    std::string s = std::string(verb) + " " + item;
    if (level)
        s += std::string(" (") + level + " " + std::to_string(index) + ")";
    return s;
}

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
    else
        return false;
    return true;
}
#endif

} // namespace

TrackerCore::TrackerCore() = default;

TrackerCore::~TrackerCore()
{
    try {
        Close();
    } catch (...) {
        // A destructor reports nothing; Close only refuses inside the callback.
    }
}

void TrackerCore::RequireOpen() const
{
    if (!m_dev)
        throw py::value_error("the tracker is closed");
}

void TrackerCore::RequireNotInCallback(const char* what) const
{
    // The reading thread that runs the callback is the one that would take
    // the answer in: the command could only time out.
    if (t_inCallback == &m_cb)
        throw std::runtime_error(std::string(what) +
                                 ": no command can be answered from the frame callback (it holds the reading thread)");
}

void TrackerCore::RequireNoCallback() const
{
    if (m_cb.fn)
        throw py::value_error("frames go to the on_frame callback, not to the queue; remove it with on_frame(None)");
}

int TrackerCore::Connect(const std::function<int(void* ctx, void*& dev)>& connect)
{
    if (m_ctx)
        return E_SX_SUCCESS; // refused by the caller before
    void* ctx = nullptr;
    int r = sxcmdif_init(&ctx);
    if (r != 0)
        return r;
    void* dev = nullptr;
    r = connect(ctx, dev);
    if (r != 0) {
        // A USB device whose first commands failed stays registered: the
        // context's release takes it along.
        sxcmdif_release(ctx);
        return r;
    }
    m_ctx = ctx;
    m_dev = dev;
    sxdev_tsenable(ctx, dev, true);
    return 0;
}

void TrackerCore::Opened(const std::string& kind)
{
    m_kind = kind;
    m_timeoutMs = 50;
    Live().insert(this);
}

void TrackerCore::OpenUsb(uint32_t tag, int pid)
{
    if (m_ctx)
        throw py::value_error("the tracker is already open");
    const uint16_t product = pid >= 0 ? static_cast<uint16_t>(pid) : (tag != 0 ? PID_Q7_TAG : PID_SORIX);
    int r;
    {
        py::gil_scoped_release nogil;
        std::unique_lock<std::shared_mutex> lock(m_use);
        r = Connect([&](void* ctx, void*& dev) {
            return tag != 0 ? sxctx_connectusbtag(ctx, dev, product, tag) : sxctx_connectusb(ctx, dev, product);
        });
    }
    Check(r, "connect USB");
    Opened(tag != 0 ? "usb tag " + std::to_string(tag) : "usb");
}

void TrackerCore::OpenHub()
{
    if (m_ctx)
        throw py::value_error("the tracker is already open");
    int r;
    {
        py::gil_scoped_release nogil;
        std::unique_lock<std::shared_mutex> lock(m_use);
        r = Connect([&](void* ctx, void*& dev) { return sxctx_connectusb_q7p(ctx, dev, 0); });
    }
    Check(r, "connect USB hub");
    Opened("usb hub");
}

void TrackerCore::OpenSerial(int port, py::object cfg)
{
    if (m_ctx)
        throw py::value_error("the tracker is already open");
    _SERIAL_CONFIG word = CSerialCfg::Default;
    if (!cfg.is_none())
        Ops(Rk::SerialConfig).store(cfg, &word);
    int r;
    {
        py::gil_scoped_release nogil;
        std::unique_lock<std::shared_mutex> lock(m_use);
        r = Connect([&](void* ctx, void*& dev) {
            return sxctx_connectser(ctx, dev, port, static_cast<int>(word.sercfg));
        });
    }
    Check(r, port > 0 ? ("connect serial port " + std::to_string(port)).c_str() : "connect serial");
    Opened(port > 0 ? "serial port " + std::to_string(port) : "serial");
}

void TrackerCore::OpenSimulated(int sensors, int rate, const py::kwargs& options)
{
#ifdef SXPY_HAVE_SIM
    if (m_ctx)
        throw py::value_error("the tracker is already open");
    if (sensors < 1 || sensors > 16)
        throw py::value_error("sensors: 1 to 16");
    if (sxsim::RateCodeOf(rate) < 0)
        throw py::value_error("rate: 30, 60, 120, 240, 480 or 960");
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
            for (int attempt = 0; attempt < kSimConnectAttempts; ++attempt) {
                r = Connect([&](void* ctx, void*& dev) {
                    return sxctx_connectser(ctx, dev, 1, static_cast<int>(CSerialCfg::Default.sercfg));
                });
                if (ErrCode(r) != E_SXERR_NOTFOUND)
                    break;
            }
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
    Opened("simulated");
#else
    (void)sensors;
    (void)rate;
    (void)options;
    throw std::runtime_error("this sxcmdif was built without the simulated tracker");
#endif
}

void TrackerCore::Close()
{
    if (t_inCallback == &m_cb)
        throw std::runtime_error("a tracker cannot be closed from its own frame callback");
    m_cb.fn = py::object();
    {
        py::gil_scoped_release nogil;
        {
            std::shared_lock<std::shared_mutex> lock(m_use);
            if (m_dev)
                sxdev_SetPnoCallback(m_ctx, m_dev, nullptr, nullptr);
        }
        // A callback under way finishes first (it may still use the tracker).
        while (m_cb.inflight.load() != 0)
            std::this_thread::sleep_for(kPollSleep);
        std::unique_lock<std::shared_mutex> lock(m_use);
        if (m_dev) {
            sxcmd_dev_contpno(m_ctx, m_dev, CMD_ACTION_RESET, nullptr, 0);
            sxctx_dev_release(m_ctx, m_dev);
        }
        if (m_ctx)
            sxcmdif_release(m_ctx);
        m_dev = nullptr;
        m_ctx = nullptr;
        m_streaming = false;
        // The simulated tracker goes after the device that spoke to it.
        m_sim.reset();
    }
    Live().erase(this);
}

void TrackerCore::ShutDownAll()
{
    g_finalizing.store(true);
    const std::set<TrackerCore*> open = Live();
    for (TrackerCore* t : open) {
        try {
            t->Close();
        } catch (...) {
            // Nothing to report to at shut-down.
        }
    }
}

// ---- Items --------------------------------------------------------------------

py::object TrackerCore::Command(const char* verb, int action, const std::string& name, py::object value,
                                py::object sensor, py::object source, int arg2)
{
    const Item* it = FindItem(name);
    if (!it) {
        size_t n = 0;
        const Item* all = AllItems(n);
        std::string names;
        for (size_t i = 0; i < n; ++i)
            names += (i ? ", " : "") + std::string(all[i].name);
        throw py::value_error("unknown item '" + name + "'; the items are: " + names);
    }
    enum class Level { Unit, Sensor, Source } level = Level::Unit;
    int index = 0;
    if (!sensor.is_none() && !source.is_none())
        throw py::value_error(name + ": give sensor or source, not both");
    if (!sensor.is_none()) {
        if (!it->sensor)
            throw py::value_error(name + " is not a sensor item: it takes no sensor");
        level = Level::Sensor;
        index = sensor.cast<int>();
    } else if (!source.is_none()) {
        if (!it->source)
            throw py::value_error(name + " is not a source item: it takes no source");
        level = Level::Source;
        index = source.cast<int>();
    } else if (it->unit) {
        level = Level::Unit;
    } else if (it->sensor) {
        level = Level::Sensor;
        index = -1; // every sensor
    } else {
        throw py::value_error(name + " needs source= (0 to 3)");
    }
    const std::string op = Where(verb, name, level == Level::Sensor ? "sensor" : level == Level::Source ? "source" : nullptr,
                                 index);
    if ((it->actions & (1u << action)) == 0)
        Raise(E_SXERR_INVALID_ACTION, op.c_str());

    RequireNotInCallback(op.c_str());
    const RecordOps* ops = it->record == Rk::None ? nullptr : &Ops(it->record);
    std::vector<unsigned char> payload(ops ? ops->size : 0);
    if (action == CMD_ACTION_SET && ops) {
        if (value.is_none())
            throw py::type_error(op + " needs a value (" + ops->name + ")");
        ops->store(value, payload.data());
    }
    _UNITS_CONFIG units = CUnitsCfg::Default;
    const auto act = static_cast<eCmdActions>(action);
    const int r = Blocking([&] {
        RequireOpen();
        if (act == CMD_ACTION_GET && it->readInUnits) {
            const int ru = sxcmd_dev_units(m_ctx, m_dev, CMD_ACTION_GET, &units);
            if (ru != 0)
                return ru;
        }
        void* p = ops && act != CMD_ACTION_RESET ? payload.data() : nullptr;
        switch (level) {
        case Level::Sensor:
            return it->sensor(m_ctx, m_dev, index, act, p, arg2);
        case Level::Source:
            return it->source(m_ctx, m_dev, index, act, p, arg2);
        case Level::Unit:
            break;
        }
        return it->unit(m_ctx, m_dev, act, p, arg2);
    });
    Check(r, op.c_str());
    if (act == CMD_ACTION_GET && ops)
        return ops->load(payload.data(), units);
    return py::none();
}

py::object TrackerCore::Get(const std::string& item, py::object sensor, py::object source, int arg2)
{
    return Command("get", CMD_ACTION_GET, item, py::none(), sensor, source, arg2);
}

void TrackerCore::Set(const std::string& item, py::object value, py::object sensor, py::object source, int arg2)
{
    Command("set", CMD_ACTION_SET, item, value, sensor, source, arg2);
}

void TrackerCore::Reset(const std::string& item, py::object sensor, py::object source, int arg2)
{
    Command("reset", CMD_ACTION_RESET, item, py::none(), sensor, source, arg2);
}

void TrackerCore::Persist()
{
    RequireNotInCallback("persist");
    Check(Blocking([&] {
              RequireOpen();
              return sxcmd_dev_persist(m_ctx, m_dev);
          }),
          "persist");
}

py::object TrackerCore::Identity()
{
    _WHOAMI_STRUCT who{};
    const int r = Blocking([&] {
        RequireOpen();
        void* p = nullptr;
        int seuid = 0;
        const int rr = sxdev_info(m_ctx, m_dev, &p, &seuid);
        if (rr == 0 && p)
            std::memcpy(&who, p, sizeof(who));
        return rr;
    });
    Check(r, "identity");
    return Ops(Rk::WhoAmI).load(&who, CUnitsCfg::Default);
}

uint32_t TrackerCore::SeuId()
{
    int seuid = 0;
    Check(Blocking([&] {
              RequireOpen();
              void* p = nullptr;
              return sxdev_info(m_ctx, m_dev, &p, &seuid);
          }),
          "seuid");
    return static_cast<uint32_t>(seuid);
}

std::string TrackerCore::Report()
{
    std::string text;
    Check(Blocking([&] {
              RequireOpen();
              const char* t = nullptr;
              const int r = sxdev_report(m_ctx, m_dev, &t);
              if (t)
                  text = t;
              return r;
          }),
          "report");
    return text;
}

void TrackerCore::SetTimeoutMs(int ms)
{
    if (ms < 0)
        throw py::value_error("timeout_ms: 0 or more");
    Check(Blocking([&] {
              RequireOpen();
              return sxdev_timeoutms(m_ctx, m_dev, 0, ms);
          }),
          "timeout");
    m_timeoutMs = ms;
}

void TrackerCore::SetTrace(int level)
{
    Check(Blocking([&] {
              RequireOpen();
              return sxdev_trace(m_ctx, m_dev, level);
          }),
          "trace");
}

// ---- The simulated tracker -------------------------------------------------------

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
