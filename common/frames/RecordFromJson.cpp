#include "frames/RecordFromJson.h"

#include <items/ItemWords.h>

#include <SXCmdIF/SXCmdIF.h>

#include <cfloat>
#include <cmath>
#include <cstring>

namespace sxframes {

namespace {

using sxitems::Field;
using sxitems::FieldForm;
using sxitems::FieldType;

// "'x' takes ...", or "'x': ..." for a reason given by another check.
bool Bad(const Field& f, const std::string& what, std::string& error)
{
    error = std::string("'") + f.name + "'" + (what.rfind(':', 0) == 0 ? "" : " ") + what;
    return false;
}

// One word of a field: a number, or what the number stands for.
bool WordValue(const Field& f, const Json& v, uint32_t& out, std::string& error)
{
    if (f.words && v.is_string()) {
        unsigned value = 0;
        if (!sxitems::ParseWord(*f.words, v.get<std::string>(), value, error))
            return Bad(f, ": " + error, error);
        out = value;
        return true;
    }
    if (f.form == FieldForm::Boolean) {
        if (!v.is_boolean())
            return Bad(f, "takes true or false", error);
        out = v.get<bool>() ? 1u : 0u;
        return true;
    }
    if (!v.is_number_unsigned() && !(v.is_number_integer() && v.get<int64_t>() >= 0))
        return Bad(f, f.words ? "takes one of " + sxitems::Choices(*f.words) : "takes a whole number of 0 or more",
                   error);
    const uint64_t n = v.get<uint64_t>();
    if (f.form == FieldForm::RateHz) {
        if (!sxitems::FrameRateCode(static_cast<double>(n), out, error))
            return Bad(f, ": " + error, error);
        return true;
    }
    if (f.form == FieldForm::BaudBps) {
        const unsigned baud = n <= INT32_MAX ? CSXcmd::bpsbaud(static_cast<int>(n)) : unsigned{E_BR_MAX};
        if (baud >= E_BR_MAX)
            return Bad(f, "has no baud rate of " + std::to_string(n), error);
        out = baud;
        return true;
    }
    if (n > UINT32_MAX || (f.words && n >= f.words->count))
        return Bad(f, "is out of range", error);
    out = static_cast<uint32_t>(n);
    return true;
}

bool FloatValue(const Field& f, const Json& v, float& out, std::string& error)
{
    if (!v.is_number())
        return Bad(f, "takes finite numbers", error);
    const double d = v.get<double>();
    if (!std::isfinite(d) || std::fabs(d) > FLT_MAX)
        return Bad(f, "takes finite numbers", error);
    out = static_cast<float>(d);
    return true;
}

// The count elements of a field: one value, or an array of count.
bool Elements(const Field& f, const Json& v, size_t count, std::vector<const Json*>& out, std::string& error)
{
    out.clear();
    if (count == 1 && !v.is_array()) {
        out.push_back(&v);
        return true;
    }
    if (!v.is_array() || v.size() != count)
        return Bad(f, "takes " + std::to_string(count) + " values", error);
    for (const Json& e : v)
        out.push_back(&e);
    return true;
}

bool FieldFromJson(const Field& f, const Json& v, unsigned char* p, std::string& error)
{
    std::vector<const Json*> elems;
    switch (f.type) {
    case FieldType::U32:
    case FieldType::I32:
    case FieldType::F32:
        if (!Elements(f, v, f.count, elems, error))
            return false;
        for (size_t i = 0; i < elems.size(); ++i) {
            unsigned char* at = p + f.offset + i * 4;
            const Json& e = *elems[i];
            if (f.type == FieldType::F32) {
                float x = 0;
                if (!FloatValue(f, e, x, error))
                    return false;
                std::memcpy(at, &x, sizeof x);
            } else if (f.type == FieldType::I32 && f.form != FieldForm::Boolean) {
                if (!e.is_number_integer() || e.get<int64_t>() < INT32_MIN || e.get<int64_t>() > INT32_MAX)
                    return Bad(f, "takes whole numbers", error);
                const int32_t x = static_cast<int32_t>(e.get<int64_t>());
                std::memcpy(at, &x, sizeof x);
            } else {
                uint32_t x = 0;
                if (!WordValue(f, e, x, error))
                    return false;
                std::memcpy(at, &x, sizeof x);
            }
        }
        return true;
    case FieldType::Text: {
        if (!v.is_string() || v.get<std::string>().size() >= f.count)
            return Bad(f, "takes a text of at most " + std::to_string(f.count - 1) + " characters", error);
        const std::string t = v.get<std::string>();
        std::memcpy(p + f.offset, t.data(), t.size());
        return true;
    }
    case FieldType::Bits:
    case FieldType::Flag: {
        uint32_t x = 0;
        if (f.type == FieldType::Flag) {
            if (!v.is_boolean())
                return Bad(f, "takes true or false", error);
            x = v.get<bool>() ? 1u : 0u;
        } else if (!WordValue(f, v, x, error)) {
            return false;
        }
        const uint64_t limit = f.width >= 32 ? (uint64_t{1} << 32) : (uint64_t{1} << f.width);
        if (x >= limit)
            return Bad(f, "is out of range", error);
        uint32_t word = sxitems::ReadAt<uint32_t>(p, f.offset);
        word |= x << f.shift;
        std::memcpy(p + f.offset, &word, sizeof word);
        return true;
    }
    case FieldType::Matrix: {
        if (!v.is_array() || v.size() != f.count)
            return Bad(f, "takes " + std::to_string(f.count) + " rows", error);
        for (size_t r = 0; r < f.count; ++r) {
            if (!v[r].is_array() || v[r].size() != f.cols)
                return Bad(f, "takes rows of " + std::to_string(f.cols) + " numbers", error);
            for (size_t c = 0; c < f.cols; ++c) {
                float x = 0;
                if (!FloatValue(f, v[r][c], x, error))
                    return false;
                std::memcpy(p + f.offset + (r * f.cols + c) * sizeof x, &x, sizeof x);
            }
        }
        return true;
    }
    case FieldType::Record: {
        std::string inner;
        if (!RecordFromJson(sxitems::Record(f.record), v, p + f.offset, inner))
            return Bad(f, ": " + inner, error);
        return true;
    }
    }
    return Bad(f, "cannot be read", error);
}

} // namespace

bool RecordFromJson(const sxitems::RecordDef& def, const Json& j, void* payload, std::string& error,
                    const std::vector<std::string>& ignored)
{
    auto* p = static_cast<unsigned char*>(payload);
    std::memset(p, 0, def.size);
    if (!j.is_object()) {
        error = std::string("a ") + def.name + " is an object of its fields";
        return false;
    }
    std::string names;
    for (size_t i = 0; i < def.fieldCount; ++i)
        if (def.fields[i].shown)
            names += std::string(names.empty() ? "" : ", ") + def.fields[i].name;
    for (const auto& [key, value] : j.items()) {
        bool known = false;
        for (size_t i = 0; i < def.fieldCount && !known; ++i)
            known = def.fields[i].shown && key == def.fields[i].name;
        for (const std::string& k : ignored)
            known = known || key == k;
        if (!known) {
            error = "unknown field '" + key + "': the fields of " + def.name + " are " + names;
            return false;
        }
    }
    for (size_t i = 0; i < def.fieldCount; ++i) {
        const Field& f = def.fields[i];
        if (!f.shown)
            continue;
        const auto it = j.find(f.name);
        if (it == j.end()) {
            error = std::string("missing field '") + f.name + "': the fields of " + def.name + " are " + names;
            return false;
        }
        if (!FieldFromJson(f, *it, p, error))
            return false;
    }
    return true;
}

} // namespace sxframes
