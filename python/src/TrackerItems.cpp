// TrackerCore's configuration items (through the item table), and what it
// reads of the device: identity, unit identifier, report; its time-out and
// trace level.
#include "TrackerInternal.h"

#include "Errors.h"
#include "FieldValues.h"
#include "Records.h"

#include <frames/FramePeriod.h>
#include <items/Connection.h>
#include <items/ItemWords.h>
#include <items/SetWords.h>

#include <SXCmdIF/SXCmdIF.h>

#include <cstring>
#include <sstream>
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

// A whole-number argument, else TypeError naming what it is for and what
// it takes.
long IntArg(py::handle v, const std::string& what, const std::string& accepts)
{
    if (py::isinstance<py::bool_>(v) || !PyIndex_Check(v.ptr()))
        throw py::type_error(what + " takes " + accepts + ", not " + TypeName(v));
    return v.cast<long>();
}

std::string ItemNames()
{
    size_t n = 0;
    const sxitems::Item* all = sxitems::AllItems(n);
    std::string names;
    for (size_t i = 0; i < n; ++i)
        names += (i ? ", " : "") + std::string(all[i].name);
    return names;
}

const sxitems::Item& ItemArg(const char* verb, py::handle item)
{
    if (!py::isinstance<py::str>(item))
        throw py::type_error(std::string(verb) + "() takes the item's name as a str (see sxcmdif.ITEMS), not " +
                             TypeName(item));
    const std::string name = item.cast<std::string>();
    const sxitems::Item* it = sxitems::FindItem(name);
    if (!it)
        throw py::value_error("unknown item '" + name + "'; the items are: " + ItemNames());
    return *it;
}

// The words of a text value, as a shell splits `sxtool set ITEM WORDS`.
sxitems::Values SplitWords(const std::string& text)
{
    sxitems::Values words;
    std::istringstream in(text);
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

// A set() value into the payload, with the call and the forms it takes in
// the message of a value of the wrong kind.
void StoreValue(const RecordOps& ops, const sxitems::Item& it, const std::string& call, py::handle value, void* payload)
{
    const char* words = sxitems::FindWordParser(it.name) ? it.values : nullptr;
    try {
        ops.store(value, payload);
    } catch (const WrongForm& e) {
        throw py::type_error(call + " takes " + Forms(ops, words) + ", not " + e.Given());
    } catch (const py::type_error& e) {
        throw py::type_error(call + ": " + e.what() + "; it takes " + Forms(ops, words));
    } catch (py::error_already_set& e) {
        if (!e.matches(PyExc_TypeError))
            throw;
        throw py::type_error(call + ": " + std::string(py::str(e.value())) + "; it takes " + Forms(ops, words));
    }
}

} // namespace

py::object TrackerCore::Command(const char* verb, int action, py::object item, py::object value, py::object sensor,
                                py::object source, py::object arg2Obj)
{
    const sxitems::Item* it = &ItemArg(verb, item);
    const std::string name = it->name;
    const std::string call = std::string(verb) + "(\"" + name + "\")";
    enum class Level { Unit, Sensor, Source } level = Level::Unit;
    int index = 0;
    std::string error;
    if (!sensor.is_none() && !source.is_none())
        throw py::value_error(call + ": give sensor or source, not both");
    if (!sensor.is_none()) {
        if (!it->sensor)
            throw py::value_error(call + ": " + name + " does not address a sensor: it takes no sensor=");
        const long n = IntArg(sensor, call + ": sensor", "a sensor number 0 to 15");
        if (!sxitems::CheckSensor(n, error))
            throw py::value_error(call + ": " + error);
        level = Level::Sensor;
        index = static_cast<int>(n);
    } else if (!source.is_none()) {
        if (!it->source)
            throw py::value_error(call + ": " + name + " does not address a source: it takes no source=");
        const long n = IntArg(source, call + ": source", "a source number 0 to 3");
        if (!sxitems::CheckSource(n, error))
            throw py::value_error(call + ": " + error);
        level = Level::Source;
        index = static_cast<int>(n);
    } else if (it->unit) {
        level = Level::Unit;
    } else if (it->sensor) {
        // A read names one sensor; a write or reset without one reaches every sensor.
        if (action == CMD_ACTION_GET)
            throw py::value_error(call + ": " + name + " addresses a sensor: give sensor= (0 to 15)");
        level = Level::Sensor;
        index = -1;
    } else {
        throw py::value_error(call + ": " + name + " addresses a source: give source= (0 to 3)");
    }
    const int arg2 = static_cast<int>(IntArg(arg2Obj, call + ": arg2", "an int"));
    const std::string op = Where(verb, name,
                                 level == Level::Sensor   ? "sensor"
                                 : level == Level::Source ? "source"
                                                          : nullptr,
                                 index);
    if ((it->actions & (1u << action)) == 0)
        Raise(E_SXERR_INVALID_ACTION, op.c_str());

    RequireNotInCallback(op.c_str());
    const RecordOps* ops = it->record == RecordKind::None ? nullptr : &Ops(it->record);
    std::vector<unsigned char> payload(ops ? ops->size : 0);
    _UNITS_CONFIG units = CUnitsCfg::Default;
    const auto act = static_cast<eCmdActions>(action);
    if (action == CMD_ACTION_SET && ops) {
        const bool takesWords = sxitems::FindWordParser(name) != nullptr;
        if (value.is_none())
            throw py::type_error(call + " needs a value: " + Forms(*ops, takesWords ? it->values : nullptr));
        if (py::isinstance<py::str>(value) && takesWords) {
            // The words of `sxtool set`, read in the units in force as it reads them.
            sxitems::WordContext words;
            words.arg2 = static_cast<uint32_t>(arg2);
            if (sxitems::Record(it->record).inUnits) {
                Check(Blocking([&] {
                          RequireOpen();
                          return sxcmd_dev_units(m_ctx, m_dev, CMD_ACTION_GET, &units);
                      }),
                      "get units");
                words.posUnits = units.pos_units;
                words.oriUnits = units.ori_units < ORI_MAX ? units.ori_units : 0;
            }
            std::string error;
            if (!sxitems::ParseSetWords(*it, SplitWords(value.cast<std::string>()), words, payload.data(), error))
                throw py::value_error(call + ": " + error);
        } else {
            StoreValue(*ops, *it, call, value, payload.data());
        }
    }
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
    // Made again on a new connection after a lost line.
    m_journal.Note(*it,
                   level == Level::Sensor   ? sxitems::ItemLevel::Sensor
                   : level == Level::Source ? sxitems::ItemLevel::Source
                                            : sxitems::ItemLevel::Unit,
                   index, act, payload.data(), arg2);
    // A new frame rate, for the frames' clock model.
    if (act == CMD_ACTION_SET && it->record == RecordKind::FrameRate)
        SetFramePeriod(sxframes::FramePeriodNs(reinterpret_cast<const _FRAMERATE_CONFIG*>(payload.data())->frame_rate),
                       false);
    if (act == CMD_ACTION_GET && ops)
        return ops->load(payload.data(), units);
    return py::none();
}

py::object TrackerCore::Get(py::object item, py::object sensor, py::object source, py::object arg2)
{
    return Command("get", CMD_ACTION_GET, item, py::none(), sensor, source, arg2);
}

void TrackerCore::Set(py::object item, py::object value, py::object sensor, py::object source, py::object arg2)
{
    Command("set", CMD_ACTION_SET, item, value, sensor, source, arg2);
}

void TrackerCore::Reset(py::object item, py::object sensor, py::object source, py::object arg2)
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
    sxitems::ToNewlines(text);
    return text;
}

void TrackerCore::SetTimeoutMs(py::object value)
{
    const long ms = IntArg(value, "timeout_ms", "a number of milliseconds (0 or more)");
    if (ms < 0 || ms > 3600000)
        throw py::value_error("timeout_ms takes 0 to 3600000 milliseconds, not " + std::to_string(ms));
    Check(Blocking([&] {
              RequireOpen();
              return sxdev_timeoutms(m_ctx, m_dev, 0, static_cast<int>(ms));
          }),
          "timeout");
    m_timeoutMs = static_cast<int>(ms);
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
