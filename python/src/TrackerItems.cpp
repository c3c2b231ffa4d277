// TrackerCore's configuration items (through the item table), and what it
// reads of the device: identity, unit identifier, report; its time-out and
// trace level.
#include "TrackerInternal.h"

#include "Errors.h"
#include "Records.h"

#include <SXCmdIF/SXCmdIF.h>

#include <cstring>
#include <string>
#include <vector>

namespace sxpy {

namespace {

std::string Where(const char* verb, const std::string& item, const char* level, int index)
{
    std::string s = std::string(verb) + " " + item;
    if (level)
        s += std::string(" (") + level + " " + std::to_string(index) + ")";
    return s;
}

} // namespace

py::object TrackerCore::Command(const char* verb, int action, const std::string& name, py::object value,
                                py::object sensor, py::object source, int arg2)
{
    const sxitems::Item* it = sxitems::FindItem(name);
    if (!it) {
        size_t n = 0;
        const sxitems::Item* all = sxitems::AllItems(n);
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
    const RecordOps* ops = it->record == RecordKind::None ? nullptr : &Ops(it->record);
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
        // A value that carries the units it is read in has them read first.
        if (act == CMD_ACTION_GET && ops && ops->hasUnits) {
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
    return Ops(RecordKind::WhoAmI).load(&who, CUnitsCfg::Default);
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

} // namespace sxpy
