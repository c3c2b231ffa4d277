// The record classes: one per record kind of the item table, in the order
// of its kinds, each with what it has beyond its fields (values computed
// from the record, the units it is read in).
#include "RecordClass.h"

#include "FieldValues.h"

#include <SXCmdIF/records/SXrecords.h>

#include <pybind11/stl.h>

#include <array>
#include <cctype>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

namespace sxpy {

namespace {

std::array<RecordOps, sxitems::kRecordKinds> g_ops{};

// The Python enumeration of each vocabulary; kept to the end.
std::map<const sxitems::Vocabulary*, py::object>& Enums()
{
    static auto* enums = new std::map<const sxitems::Vocabulary*, py::object>;
    return *enums;
}

// One IntEnum per vocabulary (sxcmdif.PosUnits.CM); a member's name is its
// word in capitals, or the library's name where the word is a number.
void RegisterEnums(py::module_& m)
{
    py::object intEnum = py::module_::import("enum").attr("IntEnum");
    size_t n = 0;
    const sxitems::Vocabulary* const* all = sxitems::AllVocabularies(n);
    for (size_t i = 0; i < n; ++i) {
        const sxitems::Vocabulary& v = *all[i];
        py::list members;
        for (unsigned value = 0; value < v.count; ++value) {
            std::string name = sxitems::Word(v, value);
            for (char& c : name)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0])))
                name = v.name(value);
            members.append(py::make_tuple(name, value));
        }
        py::object e = intEnum(v.enumName, members, py::arg("module") = "sxcmdif");
        // str() and an f-string give the member's word, as sxtool and the
        // JSON forms write it ("cm"); a numeric format ("d", "x") formats
        // the number, any other (width, alignment) the word.
        e.attr("__str__") = py::cpp_function([&v](py::handle self) { return sxitems::Word(v, self.cast<unsigned>()); },
                                             py::is_method(e));
        e.attr("__format__") = py::cpp_function(
            [](py::handle self, const std::string& spec) -> py::str {
                const bool numeric = !spec.empty() && std::strchr("bcdoxXneEfFgG%", spec.back()) != nullptr;
                const py::object shown =
                    numeric ? py::object(py::int_(self.cast<unsigned>())) : py::object(py::str(self));
                return py::reinterpret_steal<py::str>(PyObject_Format(shown.ptr(), py::str(spec).ptr()));
            },
            py::is_method(e));
        e.attr("__doc__") = std::string("The ") + v.what + " of the tracker; fields taking them also take the words " +
                            sxitems::Choices(v) + ".";
        m.attr(v.enumName) = e;
        Enums()[&v] = e;
    }
}

// A frame rate given as a number is in Hz.
void StoreFrameRate(py::handle value, void* payload)
{
    if (py::isinstance<py::int_>(value) || py::isinstance<py::float_>(value)) {
        uint32_t code = 0;
        std::string error;
        if (!sxitems::FrameRateCode(value.cast<double>(), code, error))
            throw py::value_error("framerate: " + error);
        const _FRAMERATE_CONFIG rate{code};
        std::memcpy(payload, &rate, sizeof rate);
        return;
    }
    record::Store<RecordKind::FrameRate>(value, payload);
}

// What a class has beyond its fields; nothing for most.
template <RecordKind K>
void AddExtras(Binder<K>&)
{
}

template <>
void AddExtras(Binder<RecordKind::Units>& b)
{
    b.computed(
        "is_euler", [](const Value<RecordKind::Units>& r) { return r.As<_UNITS_CONFIG>().ori_units != ORI_QUATERNION; },
        "Orientations are Euler angles (three values), not quaternions.");
}

template <>
void AddExtras(Binder<RecordKind::FrameRate>& b)
{
    using V = Value<RecordKind::FrameRate>;
    b.computed(
         "hz",
         [](const V& r) {
             const uint32_t code = r.As<_FRAMERATE_CONFIG>().frame_rate;
             return CFrameRateCfg(&code).EffectiveRate();
         },
         "The rate in Hz.")
        .cls()
        .def_static(
            "from_hz",
            [](unsigned hz) {
                for (uint32_t code = 0; code <= 5; ++code) {
                    if (CFrameRateCfg(&code).EffectiveRate() == hz) {
                        V r;
                        const _FRAMERATE_CONFIG rate{code};
                        std::memcpy(r.raw, &rate, sizeof rate);
                        return r;
                    }
                }
                std::string error;
                uint32_t code = 0;
                sxitems::FrameRateCode(hz, code, error);
                throw py::value_error(error);
            },
            py::arg("hz"), "The frame rate of 30, 60, 120, 240, 480 or 960 Hz.");
    MutableOps(RecordKind::FrameRate).store = &StoreFrameRate;
    MutableOps(RecordKind::FrameRate).alone = "a rate in Hz";
}

template <>
void AddExtras(Binder<RecordKind::StationMap>& b)
{
    using V = Value<RecordKind::StationMap>;
    b.computed(
         "sensors",
         [](const V& r) {
             const _STATION_MAP map = r.As<_STATION_MAP>();
             std::vector<int> v;
             CStationMap(&map).SensorVec(v);
             return v;
         },
         "The detected sensors' numbers, lowest first.")
        .computed(
            "sources",
            [](const V& r) {
                const _STATION_MAP map = r.As<_STATION_MAP>();
                std::vector<int> v;
                CStationMap(&map).SourceVec(v);
                return v;
            },
            "The detected sources' numbers, lowest first.");
}

template <>
void AddExtras(Binder<RecordKind::SourceConfig>& b)
{
    b.units("The units the record is read in (not part of the record).");
}

template <>
void AddExtras(Binder<RecordKind::Boresight>& b)
{
    b.units("The units the orientation is read in (not part of the record).");
}

// The noise profile has no report of its own: its text is its repr.
template <>
void AddExtras(Binder<RecordKind::NoiseProfile>& b)
{
    b.cls().def("__str__", &record::Repr<RecordKind::NoiseProfile>);
}

template <>
void AddExtras(Binder<RecordKind::BitResult>& b)
{
    b.computed(
        "ok",
        [](const Value<RecordKind::BitResult>& r) {
            for (uint32_t w : r.As<_BIT_STRUCT>().err)
                if (w != 0)
                    return false;
            return true;
        },
        "No error bit is set.");
}

template <RecordKind K>
void Register(py::module_& m)
{
    Binder<K> b(m);
    AddExtras(b);
}

template <size_t... I>
void RegisterAll(py::module_& m, std::index_sequence<I...>)
{
    (Register<static_cast<RecordKind>(I)>(m), ...);
}

} // namespace

py::object EnumValue(const sxitems::Vocabulary& words, uint32_t value)
{
    if (value >= words.count)
        return py::int_(value);
    return Enums().at(&words)(value);
}

uint32_t WordValue(const sxitems::Vocabulary& words, py::handle value, const std::string& what)
{
    if (py::isinstance<py::str>(value)) {
        unsigned v = 0;
        std::string error;
        if (!sxitems::ParseWord(words, value.cast<std::string>(), v, error))
            throw py::value_error(what + ": " + error);
        return v;
    }
    if (py::isinstance<py::bool_>(value) || !PyIndex_Check(value.ptr()))
        throw py::type_error(what + " takes a " + words.enumName + " member, a number or one of the words " +
                             sxitems::Choices(words) + ", not " + TypeName(value));
    // A number names a value of the vocabulary, as sxtool's words do.
    const py::int_ number = py::reinterpret_steal<py::int_>(PyNumber_Index(value.ptr()));
    const long long v = PyLong_AsLongLong(number.ptr());
    if (v == -1 && PyErr_Occurred())
        PyErr_Clear();
    else if (v >= 0 && v < static_cast<long long>(words.count))
        return static_cast<uint32_t>(v);
    throw py::value_error(what + ": " + Shown(number) + " is no " + words.what + " (0 to " +
                          std::to_string(words.count - 1) + ", or one of " + sxitems::Choices(words) + ")");
}

std::string Forms(const RecordOps& ops, const char* wordsSyntax)
{
    std::vector<std::string> forms{std::string("a ") + ops.name};
    const std::vector<std::string>& fields = *ops.fields;
    if (fields.size() == 1) {
        forms.push_back(ops.alone ? ops.alone : "its " + fields[0] + " alone");
        forms.push_back("a dict of it");
    } else {
        std::string names;
        for (const std::string& f : fields)
            names += (names.empty() ? "" : ", ") + f;
        forms.push_back("a tuple or dict of all its fields (" + names + ")");
    }
    if (wordsSyntax)
        forms.push_back(std::string("the words of sxtool set in one str (\"") + wordsSyntax + "\")");
    std::string text;
    for (size_t i = 0; i < forms.size(); ++i)
        text += (i == 0 ? "" : i + 1 == forms.size() ? ", or " : ", ") + forms[i];
    return text;
}

RecordOps& MutableOps(RecordKind kind)
{
    return g_ops[static_cast<size_t>(kind)];
}

const RecordOps& Ops(RecordKind kind)
{
    return g_ops[static_cast<size_t>(kind)];
}

void RegisterRecords(py::module_& m)
{
    RegisterEnums(m);
    RegisterAll(m, std::make_index_sequence<sxitems::kRecordKinds>());
}

} // namespace sxpy
