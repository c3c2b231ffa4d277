#include "viewer/ControlMessage.h"

#include <items/ItemTable.h>
#include <items/ItemWords.h>

#include <nlohmann/json.hpp>

namespace sxviewer {

namespace {

using Json = nlohmann::json;

bool Fail(std::string& error, std::string why)
{
    error = std::move(why);
    return false;
}

// A whole number in [lo, hi]; floats, booleans and text are not.
bool IntIn(const Json& j, int64_t lo, int64_t hi, int64_t& v)
{
    if (j.is_number_unsigned()) {
        const uint64_t u = j.get<uint64_t>();
        if (u > static_cast<uint64_t>(hi))
            return false;
        v = static_cast<int64_t>(u);
    } else if (j.is_number_integer()) {
        v = j.get<int64_t>();
    } else {
        return false;
    }
    return v >= lo && v <= hi;
}

// Value words as a person types them after `sxtool set ITEM`: letters,
// digits and . _ + -, nothing else.
bool PlainWord(const std::string& w)
{
    if (w.empty() || w.size() > kMaxWordBytes)
        return false;
    for (char c : w) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                        c == '_' || c == '+' || c == '-';
        if (!ok)
            return false;
    }
    return true;
}

// Every key of the message must be one its type takes.
bool OnlyKeys(const Json& j, std::initializer_list<const char*> keys, const std::string& type, std::string& error)
{
    for (auto it = j.begin(); it != j.end(); ++it) {
        bool known = false;
        for (const char* k : keys)
            known = known || it.key() == k;
        if (!known) {
            std::string list;
            for (const char* k : keys)
                list += std::string(list.empty() ? "" : ", ") + k;
            return Fail(error, "a " + type + " message takes only " + list);
        }
    }
    return true;
}

bool ParseOnOff(const Json& j, const std::string& type, Control& out, std::string& error)
{
    if (!OnlyKeys(j, {"type", "id", "on"}, type, error))
        return false;
    const auto on = j.find("on");
    if (on == j.end() || !on->is_boolean())
        return Fail(error, "a " + type + " message needs \"on\": true or false");
    out.on = on->get<bool>();
    return true;
}

bool ParseSet(const Json& j, Control& out, std::string& error)
{
    if (!OnlyKeys(j, {"type", "id", "item", "values", "sensor", "target"}, "set", error))
        return false;
    std::string names;
    for (const std::string& n : SettableItems())
        names += (names.empty() ? "" : ", ") + n;
    const auto item = j.find("item");
    if (item == j.end() || !item->is_string())
        return Fail(error, "a set message needs \"item\": one of " + names);
    out.item = item->get<std::string>();
    bool offered = false;
    for (const std::string& n : SettableItems())
        offered = offered || n == out.item;
    const sxitems::Item* row = offered ? sxitems::FindItem(out.item) : nullptr;
    if (!row || !(row->actions & sxitems::kSet))
        return Fail(error, "the page may set " + names);

    const auto values = j.find("values");
    if (values == j.end() || !values->is_array() || values->empty() || values->size() > kMaxValueWords)
        return Fail(error, "set " + out.item + ": \"values\" must be a list of 1 to " + std::to_string(kMaxValueWords) +
                               " words, as `sxtool set` takes them");
    for (const Json& w : *values) {
        if (!w.is_string() || !PlainWord(w.get_ref<const std::string&>()))
            return Fail(error, "set " + out.item + ": a value word has 1 to " + std::to_string(kMaxWordBytes) +
                                   " letters, digits or . _ + -");
        out.values.push_back(w.get<std::string>());
    }

    const auto sensor = j.find("sensor");
    if (sensor != j.end()) {
        if (!row->sensor)
            return Fail(error, out.item + " does not address a sensor: it takes no \"sensor\"");
        int64_t n = -1;
        const bool whole = IntIn(*sensor, INT32_MIN, INT32_MAX, n);
        if (!whole || !sxitems::CheckSensor(static_cast<long>(n), error)) {
            if (!whole)
                error = "\"sensor\" must be a sensor number: sensors are numbered 0 to 15";
            return false;
        }
        out.sensor = static_cast<int>(n);
    }
    const auto target = j.find("target");
    if (target != j.end()) {
        if (row->arg2 != sxitems::Arg2::FilterTarget)
            return Fail(error, out.item + " takes no \"target\"");
        unsigned value = 0;
        if (!target->is_string() || !PlainWord(target->get_ref<const std::string&>()))
            return Fail(error, "\"target\" must be one of " + sxitems::Choices(sxitems::kFilterTargets));
        if (!sxitems::ParseWord(sxitems::kFilterTargets, target->get<std::string>(), value, error))
            return false;
        out.target = target->get<std::string>();
    }
    return true;
}

bool Parse(const char* data, size_t size, Control& out, std::string& error)
{
    if (size > kMaxControlBytes)
        return Fail(error, "a message from the page has at most " + std::to_string(kMaxControlBytes) + " bytes");
    const Json j = Json::parse(data, data + size, nullptr, false);
    if (j.is_discarded())
        return Fail(error, "a message from the page must be JSON");
    if (!j.is_object())
        return Fail(error, "a message from the page must be a JSON object");
    const auto id = j.find("id");
    if (id != j.end() && !IntIn(*id, 0, INT32_MAX, out.id))
        return Fail(error, "\"id\" must be a whole number from 0 to 2147483647");
    const auto type = j.find("type");
    if (type == j.end() || !type->is_string())
        return Fail(error, "a message from the page needs \"type\": stream, record or set");
    const std::string& t = type->get_ref<const std::string&>();
    if (t == "stream") {
        out.kind = ControlKind::Stream;
        return ParseOnOff(j, t, out, error);
    }
    if (t == "record") {
        out.kind = ControlKind::Record;
        return ParseOnOff(j, t, out, error);
    }
    if (t == "set") {
        out.kind = ControlKind::Set;
        return ParseSet(j, out, error);
    }
    return Fail(error, "unknown message type: the types are stream, record and set");
}

} // namespace

const std::vector<std::string>& SettableItems()
{
    static const std::vector<std::string> items = {"units", "framerate", "filter"};
    return items;
}

bool ParseControl(const char* data, size_t size, Control& out, std::string& error)
{
    out = Control();
    try {
        if (Parse(data, size, out, error))
            return true;
    } catch (...) {
        error = "a message from the page could not be read";
    }
    const int64_t id = out.id;
    out = Control();
    out.id = id;
    return false;
}

} // namespace sxviewer
