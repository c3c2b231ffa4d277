#include "frames/FrameJson.h"
#include "frames/SensorRecord.h"

#include <items/ItemWords.h>

#include <SXCmdIF/SXCmdIF.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <type_traits>

namespace sxframes {

namespace {

using sxitems::FieldForm;
using sxitems::ReadAt;

template <class T>
Json Number(T v)
{
    if constexpr (std::is_same_v<T, float>)
        return FloatJson(v);
    else
        return v;
}

template <class T>
Json Words(const unsigned char* p, const sxitems::Field& f)
{
    if (f.count == 1)
        return Number(ReadAt<T>(p, f.offset));
    Json a = Json::array();
    for (size_t i = 0; i < f.count; ++i)
        a.push_back(Number(ReadAt<T>(p, f.offset + i * sizeof(T))));
    return a;
}

// A word by what it means: a truth value, a rate in Hz, bits per second.
Json Meant(uint32_t v, FieldForm form)
{
    switch (form) {
    case FieldForm::Boolean:
        return v != 0;
    case FieldForm::RateHz:
        return CFrameRateCfg(&v).EffectiveRate();
    case FieldForm::BaudBps:
        return v < E_BR_MAX ? CSXcmd::baudbps(v) : static_cast<int>(v);
    case FieldForm::Number:
        break;
    }
    return v;
}

Json FieldJson(const unsigned char* p, const sxitems::Field& f)
{
    using sxitems::FieldType;
    switch (f.type) {
    case FieldType::U32:
        if (f.words && f.count == 1) {
            const std::string word = sxitems::Word(*f.words, ReadAt<uint32_t>(p, f.offset));
            if (!word.empty())
                return word;
        }
        if (f.count == 1)
            return Meant(ReadAt<uint32_t>(p, f.offset), f.form);
        return Words<uint32_t>(p, f);
    case FieldType::I32:
        if (f.count == 1 && f.form == FieldForm::Boolean)
            return ReadAt<int32_t>(p, f.offset) != 0;
        return Words<int32_t>(p, f);
    case FieldType::F32:
        return Words<float>(p, f);
    case FieldType::Text: {
        const char* t = reinterpret_cast<const char*>(p + f.offset);
        return std::string(t, strnlen(t, f.count));
    }
    case FieldType::Bits: {
        const uint32_t mask = f.width >= 32 ? 0xFFFFFFFFu : (1u << f.width) - 1;
        const uint32_t v = (ReadAt<uint32_t>(p, f.offset) >> f.shift) & mask;
        if (f.words) {
            const std::string word = sxitems::Word(*f.words, v);
            if (!word.empty())
                return word;
        }
        return Meant(v, f.form);
    }
    case FieldType::Flag:
        return ((ReadAt<uint32_t>(p, f.offset) >> f.shift) & 1u) != 0;
    case FieldType::Matrix: {
        Json rows = Json::array();
        for (size_t r = 0; r < f.count; ++r) {
            Json row = Json::array();
            for (size_t c = 0; c < f.cols; ++c)
                row.push_back(FloatJson(ReadAt<float>(p, f.offset + (r * f.cols + c) * sizeof(float))));
            rows.push_back(row);
        }
        return rows;
    }
    case FieldType::Record:
        return RecordJson(sxitems::Record(f.record), p + f.offset);
    }
    return nullptr;
}

} // namespace

Json FloatJson(float v)
{
    if (!std::isfinite(v))
        return nullptr;
    // The shortest text that reads back as v, read as the double the JSON
    // writer then prints in its own shortest form: 0.05f gives 0.05.
    char text[32];
    const std::to_chars_result t = std::to_chars(text, text + sizeof text, v);
    double d = v;
    std::from_chars(text, t.ptr, d);
    return d;
}

Json RecordJson(const sxitems::RecordDef& def, const void* payload)
{
    const auto* p = static_cast<const unsigned char*>(payload);
    Json j = Json::object();
    for (size_t i = 0; i < def.fieldCount; ++i)
        if (def.fields[i].shown)
            j[def.fields[i].name] = FieldJson(p, def.fields[i]);
    return j;
}

Json UnitsJson(const _UNITS_CONFIG& units)
{
    return Json{{"position", sxitems::Word(sxitems::kPosUnits, units.pos_units)},
                {"orientation", sxitems::Word(sxitems::kOriUnits, units.ori_units)}};
}

Json SensorJson(const CSXSnsFrameA& s, const _UNITS_CONFIG& units, bool accel)
{
    const bool quat = units.ori_units == ORI_QUATERNION;
    Json one = Json::object();
    one["sensor"] = s.sfinfo & 0x7Fu;
    one["position"] = {FloatJson(s.pos[0]), FloatJson(s.pos[1]), FloatJson(s.pos[2])};
    one["orientation"] = quat ? Json{FloatJson(s.ori[0]), FloatJson(s.ori[1]), FloatJson(s.ori[2]), FloatJson(s.ori[3])}
                              : Json{FloatJson(s.ori[0]), FloatJson(s.ori[1]), FloatJson(s.ori[2])};
    one["units"] = UnitsJson(units);
    one["status"] = {
        {"buttons", (s.sfinfo >> 12) & 0x3u}, {"distortion", (s.sfinfo >> 14) & 0xFFu}, {"aux", s.sfinfo >> 22}};
    if (accel)
        one["acceleration"] = {FloatJson(s.accel[0]), FloatJson(s.accel[1]), FloatJson(s.accel[2]),
                               FloatJson(s.accel[3])};
    return one;
}

Json FrameJson(const CSXSeuPno& pno, const FrameMeta& meta)
{
    Json j = Json::object();
    j["timestamp_ns"] = meta.timeStampNs;
    j["time_ns"] = meta.timeNs;
    j["frame"] = pno.FrameNum();
    j["seq"] = meta.seqNum;
    j["bit_error"] = pno.BITerr();
    j["lost"] = pno.LostFrames();
    Json sensors = Json::array();
    const bool accel = pno.Mode() != 0;
    for (unsigned k = 0; k < pno.SensorCount(); ++k) {
        const int index = static_cast<int>(k);
        const CSXSnsFrameA s = SensorRecord(pno, index);
        _UNITS_CONFIG units{};
        pno.SFUnits(index, &units);
        sensors.push_back(SensorJson(s, units, accel));
    }
    j["sensors"] = sensors;
    if (meta.simulated)
        j["simulated"] = true;
    return j;
}

} // namespace sxframes
