#include "Records.h"

#include <SXCmdIF/records/SXrecords.h>

#include <pybind11/stl.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace sxpy {

namespace {

// A Python value: the payload record, and the units it is read in (only the
// source configuration and the boresight show them; they are not part of
// the record and never travel).
template <class Raw, Rk K>
struct Rec {
    using RawType = Raw;
    Raw raw{};
    _UNITS_CONFIG units = CUnitsCfg::Default;
};

template <class R>
using ReportFn = void (*)(const R&, std::string&, bool header, bool oneLine);

// What each class knows about itself.
template <class R>
struct Meta {
    static inline typename R::RawType def{};
    static inline ReportFn<R> report = nullptr;
    static inline std::vector<std::string> fields;   // repr order, positional order
    static inline std::vector<std::string> settable; // keywords the constructor takes
    static inline const char* name = "";
};

std::array<RecordOps, static_cast<size_t>(Rk::Count)> g_ops{};

bool Contains(const std::vector<std::string>& v, const std::string& s)
{
    for (const std::string& e : v)
        if (e == s)
            return true;
    return false;
}

template <class R>
void Apply(R& r, const py::args& args, const py::kwargs& kwargs)
{
    using M = Meta<R>;
    if (args.size() > M::fields.size())
        throw py::type_error(std::string(M::name) + "() takes at most " + std::to_string(M::fields.size()) +
                             " positional arguments");
    py::object self = py::cast(&r, py::return_value_policy::reference);
    for (size_t i = 0; i < args.size(); ++i)
        self.attr(M::fields[i].c_str()) = args[i];
    for (auto kv : kwargs) {
        const std::string key = py::str(kv.first);
        if (!Contains(M::settable, key))
            throw py::type_error(std::string(M::name) + "() got an unexpected keyword argument '" + key + "'");
        self.attr(key.c_str()) = kv.second;
    }
}

template <class R>
std::string Report(const R& r, bool header, bool oneLine)
{
    std::string text;
    if (Meta<R>::report)
        Meta<R>::report(r, text, header, oneLine);
    return text;
}

template <class R>
std::string Repr(const R& r)
{
    py::object self = py::cast(&r, py::return_value_policy::reference);
    std::string out = std::string(Meta<R>::name) + "(";
    bool first = true;
    for (const std::string& f : Meta<R>::fields) {
        if (!first)
            out += ", ";
        first = false;
        out += f + "=" + std::string(py::repr(self.attr(f.c_str())));
    }
    return out + ")";
}

template <class R>
py::object Load(const void* payload, const _UNITS_CONFIG& units)
{
    R r;
    std::memcpy(&r.raw, payload, sizeof(r.raw));
    r.units = units;
    return py::cast(std::move(r));
}

template <class R>
void Store(py::handle value, void* payload)
{
    py::object obj = py::reinterpret_borrow<py::object>(value);
    py::object type = py::type::of<R>();
    if (!py::isinstance(obj, type)) {
        if (py::isinstance<py::dict>(obj))
            obj = type(**obj);
        else
            obj = type(obj);
    }
    const R& r = obj.cast<const R&>();
    std::memcpy(payload, &r.raw, sizeof(r.raw));
}

template <class T>
T ItemAt(const py::sequence& s, size_t i)
{
    return s[i].cast<T>();
}

// Builds one class: constructor, comparison, copies, pickling, bytes, and
// the fields added one by one.
template <class R>
class Binder {
public:
    using Raw = typename R::RawType;
    using M = Meta<R>;

    Binder(py::module_& m, Rk kind, const char* name, const char* doc, const Raw& def, ReportFn<R> report)
        : m_cls(m, name, doc)
    {
        M::def = def;
        M::report = report;
        M::name = name;
        g_ops[static_cast<size_t>(kind)] = RecordOps{name, sizeof(Raw), &Load<R>, &Store<R>};

        m_cls.def(py::init([](py::args args, py::kwargs kwargs) {
                      R r;
                      r.raw = M::def;
                      Apply(r, args, kwargs);
                      return r;
                  }),
                  "The default record, then the fields given (by position in field order, or by name).");
        m_cls.def("__eq__", [](const R& a, py::object b) -> py::object {
            if (!py::isinstance<R>(b))
                return py::reinterpret_borrow<py::object>(Py_NotImplemented);
            const R& o = b.cast<const R&>();
            return py::bool_(std::memcmp(&a.raw, &o.raw, sizeof(Raw)) == 0);
        });
        m_cls.attr("__hash__") = py::none();
        m_cls.def("__repr__", &Repr<R>);
        m_cls.def("__str__", [](const R& r) { return Report(r, true, false); });
        m_cls.def("report", &Report<R>, py::arg("header") = true, py::arg("one_line") = false,
                  "The record class's report: with the label when header, on one line when one_line.");
        m_cls.def("__copy__", [](const R& r) { return R(r); });
        m_cls.def("__deepcopy__", [](const R& r, py::handle) { return R(r); }, py::arg("memo"));
        m_cls.def(
            "replace",
            [](const R& r, py::kwargs kwargs) {
                R c(r);
                Apply(c, py::args(), kwargs);
                return c;
            },
            "A copy with the fields given changed.");
        m_cls.def(
            "_asdict",
            [](const R& r) {
                py::object self = py::cast(&r, py::return_value_policy::reference);
                py::dict d;
                for (const std::string& f : M::fields)
                    d[f.c_str()] = self.attr(f.c_str());
                return d;
            },
            "The fields as a dict.");
        m_cls.def(
            "to_bytes", [](const R& r) { return py::bytes(reinterpret_cast<const char*>(&r.raw), sizeof(Raw)); },
            "The payload record as it travels (little-endian).");
        m_cls.def("__bytes__", [](const R& r) { return py::bytes(reinterpret_cast<const char*>(&r.raw), sizeof(Raw)); });
        m_cls.def_static(
            "from_bytes",
            [](py::bytes b) {
                const std::string s = b;
                if (s.size() != sizeof(Raw))
                    throw py::value_error(std::string(M::name) + " needs " + std::to_string(sizeof(Raw)) +
                                          " bytes, got " + std::to_string(s.size()));
                R r;
                std::memcpy(&r.raw, s.data(), sizeof(Raw));
                return r;
            },
            py::arg("data"), "A value from its payload bytes.");
        m_cls.def(py::pickle(
            [](const R& r) {
                return py::make_tuple(py::bytes(reinterpret_cast<const char*>(&r.raw), sizeof(Raw)),
                                      py::bytes(reinterpret_cast<const char*>(&r.units), sizeof(r.units)));
            },
            [](py::tuple t) {
                R r;
                const std::string raw = t[0].cast<std::string>();
                const std::string units = t[1].cast<std::string>();
                if (raw.size() != sizeof(Raw) || units.size() != sizeof(r.units))
                    throw py::value_error("bad pickled record");
                std::memcpy(&r.raw, raw.data(), sizeof(Raw));
                std::memcpy(&r.units, units.data(), sizeof(r.units));
                return r;
            }));
        m_cls.attr("SIZE") = sizeof(Raw);
    }

    // The field names go on the class once every field is there.
    ~Binder()
    {
        py::tuple names(M::fields.size());
        for (size_t i = 0; i < M::fields.size(); ++i)
            names[i] = py::str(M::fields[i]);
        m_cls.attr("_fields") = names;
    }

    // A scalar field of the record.
    template <class T>
    Binder& field(const char* name, T Raw::*mp, const char* doc)
    {
        m_cls.def_property(
            name, [mp](const R& r) { return r.raw.*mp; }, [mp](R& r, T v) { r.raw.*mp = v; }, doc);
        return Add(name, true);
    }

    // An array field: a tuple, set from any sequence of its length.
    template <class T, size_t N>
    Binder& array(const char* name, T (Raw::*mp)[N], const char* doc)
    {
        m_cls.def_property(
            name,
            [mp](const R& r) {
                py::tuple t(N);
                for (size_t i = 0; i < N; ++i)
                    t[i] = py::cast((r.raw.*mp)[i]);
                return t;
            },
            [mp, name](R& r, py::sequence s) {
                if (s.size() != N)
                    throw py::value_error(std::string(name) + " takes " + std::to_string(N) + " values");
                for (size_t i = 0; i < N; ++i)
                    (r.raw.*mp)[i] = ItemAt<T>(s, i);
            },
            doc);
        return Add(name, true);
    }

    // A text field of N bytes: a str, cut to N - 1 bytes when set.
    template <size_t N>
    Binder& text(const char* name, char (Raw::*mp)[N], const char* doc)
    {
        m_cls.def_property(
            name,
            [mp](const R& r) {
                const char* p = r.raw.*mp;
                return py::reinterpret_steal<py::str>(PyUnicode_DecodeLatin1(p, static_cast<Py_ssize_t>(strnlen(p, N)), "replace"));
            },
            [mp](R& r, const std::string& v) {
                std::memset(r.raw.*mp, 0, N);
                std::memcpy(r.raw.*mp, v.data(), std::min(v.size(), N - 1));
            },
            doc);
        return Add(name, true);
    }

    // A field read and written through accessors (bit fields); shown by repr
    // when inRepr.
    template <class Get, class Set>
    Binder& prop(const char* name, Get get, Set set, const char* doc, bool inRepr = true)
    {
        m_cls.def_property(name, get, set, doc);
        return Add(name, inRepr);
    }

    // A value computed from the record.
    template <class Get>
    Binder& computed(const char* name, Get get, const char* doc)
    {
        m_cls.def_property_readonly(name, get, doc);
        return *this;
    }

    // The units the record is read in, beside the record.
    Binder& units(const char* doc)
    {
        m_cls.def_property(
            "units", [](const R& r) { return Ops(Rk::Units).load(&r.units, r.units); },
            [](R& r, py::object v) { Ops(Rk::Units).store(v, &r.units); }, doc);
        M::settable.push_back("units");
        return *this;
    }

    py::class_<R>& cls() { return m_cls; }

private:
    Binder& Add(const char* name, bool inRepr)
    {
        if (inRepr)
            M::fields.push_back(name);
        M::settable.push_back(name);
        return *this;
    }

    py::class_<R> m_cls;
};

// ---- The classes ------------------------------------------------------------

using SyncModeV = Rec<_BINARY_CONFIG, Rk::SyncMode>;
using DualOutputV = Rec<_BINARY_CONFIG, Rk::DualOutput>;
using OorModeV = Rec<_BINARY_CONFIG, Rk::OorMode>;
using FttModeV = Rec<_ENUM_CONFIG, Rk::FttMode>;
using SensorOriginV = Rec<_ENUM_CONFIG, Rk::SensorOrigin>;
using StylusModeV = Rec<_STYLUS_CONFIG, Rk::StylusMode>;
using FrameRateV = Rec<_FRAMERATE_CONFIG, Rk::FrameRate>;
using SeuIdV = Rec<_SEUID_CONFIG, Rk::SeuId>;
using SerialConfigV = Rec<_SERIAL_CONFIG, Rk::SerialConfig>;
using StationMapV = Rec<_STATION_MAP, Rk::StationMap>;
using UnitsV = Rec<_UNITS_CONFIG, Rk::Units>;
using SourceConfigV = Rec<_SRC_CONFIG, Rk::SourceConfig>;
using SourceRotationV = Rec<_SRCROT_CONFIG, Rk::SourceRotation>;
using SourceSelectV = Rec<_SRC_SEL_CONFIG, Rk::SourceSelect>;
using HemisphereV = Rec<_HEMISPHERE_CONFIG, Rk::Hemisphere>;
using FilterV = Rec<_FILTER_CONFIG, Rk::Filter>;
using TipOffsetV = Rec<_TIP_OFFSET_CONFIG, Rk::TipOffset>;
using IncrementV = Rec<_INCREMENT_CONFIG, Rk::Increment>;
using BoresightV = Rec<_BORESIGHT_CONFIG, Rk::Boresight>;
using PredFilterV = Rec<_PF_CONFIG, Rk::PredFilter>;
using PredFilterExtV = Rec<_PF_CONFIG_EXT, Rk::PredFilterExt>;
using VirtualSensorV = Rec<_VIRTUAL_SNS_CONFIG, Rk::VirtualSensor>;
using WhoAmIV = Rec<_WHOAMI_STRUCT, Rk::WhoAmI>;
using BitResultV = Rec<_BIT_STRUCT, Rk::BitResult>;
using SelfCalV = Rec<_SELFCAL_CONFIG, Rk::SelfCal>;
using NoiseProfileV = Rec<_NOISEPROFILE, Rk::NoiseProfile>;

// A row-major matrix field of the noise profile: a tuple of row tuples.
template <size_t Rows, size_t Cols>
void Matrix(Binder<NoiseProfileV>& b, const char* name, float (_NOISEPROFILE::*mp)[Rows][Cols], const char* doc)
{
    b.prop(
        name,
        [mp](const NoiseProfileV& r) {
            py::tuple rows(Rows);
            for (size_t i = 0; i < Rows; ++i) {
                py::tuple row(Cols);
                for (size_t j = 0; j < Cols; ++j)
                    row[j] = py::cast((r.raw.*mp)[i][j]);
                rows[i] = row;
            }
            return rows;
        },
        [mp, name](NoiseProfileV& r, py::sequence rows) {
            if (rows.size() != Rows)
                throw py::value_error(std::string(name) + " takes " + std::to_string(Rows) + " rows");
            for (size_t i = 0; i < Rows; ++i) {
                py::sequence row = rows[i].cast<py::sequence>();
                if (row.size() != Cols)
                    throw py::value_error(std::string(name) + " rows take " + std::to_string(Cols) + " values");
                for (size_t j = 0; j < Cols; ++j)
                    (r.raw.*mp)[i][j] = row[j].cast<float>();
            }
        },
        doc);
}

template <class Raw>
Raw Prefix(const void* p)
{
    Raw r;
    std::memcpy(&r, p, sizeof(Raw));
    return r;
}

} // namespace

const RecordOps& Ops(Rk kind) { return g_ops[static_cast<size_t>(kind)]; }

void RegisterRecords(py::module_& m)
{
    // Units first: two other classes carry a Units value beside their record.
    Binder<UnitsV>(m, Rk::Units, "Units", "Position and orientation units (UNITS_CONFIG).", CUnitsCfg::Default,
                   [](const UnitsV& r, std::string& t, bool h, bool o) { CUnitsCfg(&r.raw).Report(t, h, o, true); })
        .field("pos_units", &_UNITS_CONFIG::pos_units, "Position units: 0 inch, 1 foot, 2 cm, 3 metre.")
        .field("ori_units", &_UNITS_CONFIG::ori_units,
               "Orientation units: 0 Euler degrees, 1 Euler radians, 2 quaternion.")
        .computed(
            "is_euler", [](const UnitsV& r) { return r.raw.ori_units != ORI_QUATERNION; },
            "Orientations are Euler angles (three values), not quaternions.");

    Binder<SyncModeV>(m, Rk::SyncMode, "SyncMode", "External synchronisation on or off (BINARY_CONFIG).",
                      CSyncModeCfg::Default,
                      [](const SyncModeV& r, std::string& t, bool h, bool o) {
                          CSyncModeCfg(&r.raw.value).Report(t, h, o);
                      })
        .field("value", &_BINARY_CONFIG::value, "0 off; any other value on.");
    Binder<DualOutputV>(m, Rk::DualOutput, "DualOutput", "Dual output on or off (BINARY_CONFIG).",
                        CDualOutputCfg::Default,
                        [](const DualOutputV& r, std::string& t, bool h, bool o) {
                            CDualOutputCfg(&r.raw.value).Report(t, h, o);
                        })
        .field("value", &_BINARY_CONFIG::value, "0 off; any other value on.");
    Binder<OorModeV>(m, Rk::OorMode, "OorMode", "Out-of-range mode on or off (BINARY_CONFIG).", _BINARY_CONFIG{0},
                     [](const OorModeV& r, std::string& t, bool h, bool o) {
                         CBinaryCfg(&r.raw.value).Report(t, h, o);
                     })
        .field("value", &_BINARY_CONFIG::value, "0 off; any other value on.");

    Binder<FttModeV>(m, Rk::FttMode, "FttMode", "FTT mode of a sensor (ENUM_CONFIG, an eFTTMode value).",
                     CFTTCfg::Default,
                     [](const FttModeV& r, std::string& t, bool h, bool o) { CFTTCfg(&r.raw.value).Report(t, h, o); })
        .field("value", &_ENUM_CONFIG::value, "An eFTTMode value.");
    Binder<SensorOriginV>(m, Rk::SensorOrigin, "SensorOrigin",
                          "Origin of a sensor's positions (ENUM_CONFIG, an eSensorOrigin value).", CSnsOrigCfg::Default,
                          [](const SensorOriginV& r, std::string& t, bool h, bool o) {
                              CSnsOrigCfg(&r.raw.value).Report(t, h, o);
                          })
        .field("value", &_ENUM_CONFIG::value, "An eSensorOrigin value.");
    Binder<StylusModeV>(m, Rk::StylusMode, "StylusMode", "Stylus button mode (STYLUS_CONFIG).",
                        _STYLUS_CONFIG{CStylusCfg::Default.value},
                        [](const StylusModeV& r, std::string& t, bool h, bool o) {
                            CStylusCfg(&r.raw.value).Report(t, h, o);
                        })
        .field("value", &_STYLUS_CONFIG::value, "0 mark, 1 point, 2 line, 3 toggle.");

    Binder<FrameRateV>(m, Rk::FrameRate, "FrameRate", "Output frame rate (FRAMERATE_CONFIG).",
                       CFrameRateCfg::Default,
                       [](const FrameRateV& r, std::string& t, bool h, bool o) {
                           CFrameRateCfg(&r.raw.frame_rate).Report(t, h, o, true);
                       })
        .field("frame_rate", &_FRAMERATE_CONFIG::frame_rate, "Rate code 0 to 5: 30, 60, 120, 240, 480, 960 Hz.")
        .computed(
            "hz", [](const FrameRateV& r) { return CFrameRateCfg(&r.raw.frame_rate).EffectiveRate(); },
            "The rate in Hz.")
        .cls()
        .def_static(
            "from_hz",
            [](unsigned hz) {
                for (uint32_t code = 0; code <= 5; ++code) {
                    if (CFrameRateCfg(&code).EffectiveRate() == hz) {
                        FrameRateV r;
                        r.raw.frame_rate = code;
                        return r;
                    }
                }
                throw py::value_error("no frame rate of " + std::to_string(hz) +
                                      " Hz (30, 60, 120, 240, 480 or 960)");
            },
            py::arg("hz"), "The frame rate of 30, 60, 120, 240, 480 or 960 Hz.");

    Binder<SeuIdV>(m, Rk::SeuId, "SeuId", "Identifier of the electronics unit (SORIX_SEUID).", CSeuIDCfg::Default,
                   [](const SeuIdV& r, std::string& t, bool h, bool o) { CSeuIDCfg(&r.raw).Report(t, h, o); })
        .field("seuID", &_SEUID_CONFIG::seuID, "The unit identifier.");

    Binder<SerialConfigV>(m, Rk::SerialConfig, "SerialConfig", "Serial line of the unit (SERIAL_CONFIG).",
                          CSerialCfg::Default,
                          [](const SerialConfigV& r, std::string& t, bool h, bool o) {
                              CSerialCfg(&r.raw).Report(t, h, o);
                          })
        .prop(
            "baudrate", [](const SerialConfigV& r) { return r.raw.sercfg & 0xFu; },
            [](SerialConfigV& r, unsigned v) { r.raw.sercfg = (r.raw.sercfg & ~0xFu) | (v & 0xFu); },
            "Bits 0-3: an eBaud value (7 is 115200).")
        .prop(
            "parity", [](const SerialConfigV& r) { return (r.raw.sercfg >> 4) & 3u; },
            [](SerialConfigV& r, unsigned v) { r.raw.sercfg = (r.raw.sercfg & ~0x30u) | ((v & 3u) << 4); },
            "Bits 4-5: 0 none, 1 odd, 2 even.")
        .prop(
            "res", [](const SerialConfigV& r) { return r.raw.sercfg >> 6; },
            [](SerialConfigV& r, unsigned v) { r.raw.sercfg = (r.raw.sercfg & 0x3Fu) | ((v & 0x3FFFFFFu) << 6); },
            "Bits 6-31, reserved; carried unchanged.")
        .prop(
            "sercfg", [](const SerialConfigV& r) { return r.raw.sercfg; },
            [](SerialConfigV& r, uint32_t v) { r.raw.sercfg = v; }, "The whole word.", false);

    Binder<StationMapV>(m, Rk::StationMap, "StationMap", "Sensors and sources the unit detects (STATION_MAP).",
                        CStationMap::Default,
                        [](const StationMapV& r, std::string& t, bool h, bool o) {
                            CStationMap(&r.raw).Report(t, h, o);
                        })
        .prop(
            "sensor_map", [](const StationMapV& r) { return r.raw.map & 0xFFFFu; },
            [](StationMapV& r, unsigned v) { r.raw.map = (r.raw.map & ~0xFFFFu) | (v & 0xFFFFu); },
            "Bit n: sensor n detected.")
        .prop(
            "source_map", [](const StationMapV& r) { return (r.raw.map >> 24) & 0xFu; },
            [](StationMapV& r, unsigned v) { r.raw.map = (r.raw.map & ~0x0F000000u) | ((v & 0xFu) << 24); },
            "Bit n: source n detected.")
        .prop(
            "map", [](const StationMapV& r) { return r.raw.map; }, [](StationMapV& r, uint32_t v) { r.raw.map = v; },
            "The whole word.", false)
        .computed(
            "sensors",
            [](const StationMapV& r) {
                std::vector<int> v;
                CStationMap(&r.raw).SensorVec(v);
                return v;
            },
            "The detected sensors' numbers, lowest first.")
        .computed(
            "sources",
            [](const StationMapV& r) {
                std::vector<int> v;
                CStationMap(&r.raw).SourceVec(v);
                return v;
            },
            "The detected sources' numbers, lowest first.");

    Binder<SourceConfigV>(m, Rk::SourceConfig, "SourceConfig",
                          "Configuration of one field source (SRC_CONFIG); read in `units`.", CSrcCfg::Default[0],
                          [](const SourceConfigV& r, std::string& t, bool h, bool o) {
                              CSrcCfg c(&r.raw);
                              c.units = CUnitsCfg(&r.units);
                              c.Report(t, h, o);
                          })
        .field("srcfreq", &_SRC_CONFIG::srcfreq, "Frequency identifier of the source.")
        .array("position", &_SRC_CONFIG::position, "x, y, z in the position units.")
        .array("rotation", &_SRC_CONFIG::rotation,
               "Azimuth, elevation, roll, unused; or the quaternion w, x, y, z.")
        .field("startupHem", &_SRC_CONFIG::startupHem, "Start-up hemisphere code.")
        .units("The units the record is read in (not part of the record).");

    Binder<SourceRotationV>(m, Rk::SourceRotation, "SourceRotation", "Rotation of one field source (SRCROT_CONFIG).",
                            CSrcRotCfg::Default[0],
                            [](const SourceRotationV& r, std::string& t, bool h, bool o) {
                                CSrcRotCfg(&r.raw).Report(t, h, o);
                            })
        .field("srcfreq", &_SRCROT_CONFIG::srcfreq, "Frequency identifier of the source.")
        .array("rotation", &_SRCROT_CONFIG::rotation,
               "Azimuth, elevation, roll, unused; or the quaternion w, x, y, z.");

    Binder<SourceSelectV>(m, Rk::SourceSelect, "SourceSelect", "Sources a sensor uses (SRC_SEL_CONFIG).",
                          CSrcSelectCfg::Default,
                          [](const SourceSelectV& r, std::string& t, bool h, bool o) {
                              CSrcSelectCfg(&r.raw).Report(t, h, o);
                          })
        .field("SRC_SEL_MAP", &_SRC_SEL_CONFIG::SRC_SEL_MAP, "Bit n: source n selected.");

    Binder<HemisphereV>(m, Rk::Hemisphere, "Hemisphere", "Operating hemisphere of a sensor (HEMISPHERE_CONFIG).",
                        CHemisphereCfg::Default,
                        [](const HemisphereV& r, std::string& t, bool h, bool o) {
                            CHemisphereCfg(&r.raw).Report(t, h, o);
                        })
        .prop(
            "track_en", [](const HemisphereV& r) { return r.raw.bf.track_en != 0; },
            [](HemisphereV& r, bool v) { r.raw.bf.track_en = v ? 1u : 0u; }, "Hemisphere tracking on.")
        .prop(
            "auto_en", [](const HemisphereV& r) { return r.raw.bf.auto_en != 0; },
            [](HemisphereV& r, bool v) { r.raw.bf.auto_en = v ? 1u : 0u; }, "Automatic hemisphere on.")
        .array("vector", &_HEMISPHERE_CONFIG::vector, "x, y, z of the hemisphere direction.")
        .prop(
            "bf", [](const HemisphereV& r) { return r.raw.bf.bits; },
            [](HemisphereV& r, uint32_t v) { r.raw.bf.bits = v; }, "The whole bit word.", false);

    Binder<FilterV>(m, Rk::Filter, "Filter", "Position or orientation filter of a sensor (FILTER_CONFIG).",
                    CFilterCfg::Default,
                    [](const FilterV& r, std::string& t, bool h, bool o) {
                        CFilterCfg(&r.raw).Report(t, h, o, FILTER_TRGT_MAX);
                    })
        .field("level", &_FILTER_CONFIG::level, "0 none, 1 light, 2 medium, 3 heavy, 4 custom, 5-8 enhanced.")
        .field("F", &_FILTER_CONFIG::F, "Filter parameter F.")
        .field("Flow", &_FILTER_CONFIG::Flow, "Filter parameter Flow.")
        .field("Fhigh", &_FILTER_CONFIG::Fhigh, "Filter parameter Fhigh.")
        .field("MaxT", &_FILTER_CONFIG::MaxT, "Filter parameter MaxT.");

    Binder<TipOffsetV>(m, Rk::TipOffset, "TipOffset", "Offset of the tip from a sensor's origin (TIP_OFFSET_CONFIG).",
                       CTipoffCfg::Default,
                       [](const TipOffsetV& r, std::string& t, bool h, bool o) { CTipoffCfg(&r.raw).Report(t, h, o); })
        .field("x", &_TIP_OFFSET_CONFIG::x, "x in the position units.")
        .field("y", &_TIP_OFFSET_CONFIG::y, "y in the position units.")
        .field("z", &_TIP_OFFSET_CONFIG::z, "z in the position units.");

    Binder<IncrementV>(m, Rk::Increment, "Increment", "Output increment thresholds of a sensor (INCREMENT_CONFIG).",
                       CIncrementCfg::Default,
                       [](const IncrementV& r, std::string& t, bool h, bool o) {
                           CIncrementCfg(&r.raw).Report(t, h, o);
                       })
        .field("enabled", &_INCREMENT_CONFIG::enabled, "1 on, 0 off.")
        .field("fPosThresh", &_INCREMENT_CONFIG::fPosThresh, "Position threshold; 0 or less: automatic.")
        .field("fOriThresh", &_INCREMENT_CONFIG::fOriThresh, "Orientation threshold; 0 or less: automatic.");

    Binder<BoresightV>(m, Rk::Boresight, "Boresight", "Boresight orientation of a sensor (BORESIGHT_CONFIG).",
                       CBoresightCfg::Default[0],
                       [](const BoresightV& r, std::string& t, bool h, bool o) {
                           CBoresightCfg(&r.raw).Report(t, r.units.ori_units, h, o);
                       })
        .array("ori", &_BORESIGHT_CONFIG::ori, "Three Euler angles and an unused value, or w, x, y, z.")
        .units("The units the orientation is read in (not part of the record).");

    Binder<PredFilterV>(m, Rk::PredFilter, "PredFilter", "Prediction filter of a sensor (PF_CONFIG).",
                        Prefix<_PF_CONFIG>(&CPredFiltCfgExt::Default),
                        [](const PredFilterV& r, std::string& t, bool h, bool o) {
                            CPredFiltCfg(&r.raw).Report(t, h, o);
                        })
        .field("qFil_on", &_PF_CONFIG::qFil_on, "Orientation prediction on (1) or off (0).")
        .field("pFil_on", &_PF_CONFIG::pFil_on, "Position prediction on (1) or off (0).")
        .field("predTime", &_PF_CONFIG::predTime, "Prediction time in seconds.");

    Binder<NoiseProfileV> noise(m, Rk::NoiseProfile, "NoiseProfile",
                                "Noise matrices of a prediction filter (NOISEPROFILE), row-major.", CPFNoise::Default,
                                nullptr);
    Matrix(noise, "Rq", &_NOISEPROFILE::Rq, "4 x 4 matrix Rq.");
    Matrix(noise, "Qq", &_NOISEPROFILE::Qq, "3 x 3 matrix Qq.");
    Matrix(noise, "Rr", &_NOISEPROFILE::Rr, "3 x 3 matrix Rr.");
    Matrix(noise, "Qr", &_NOISEPROFILE::Qr, "3 x 3 matrix Qr.");
    noise.cls().def("__str__", &Repr<NoiseProfileV>);

    Binder<PredFilterExtV>(m, Rk::PredFilterExt, "PredFilterExt",
                           "Prediction filter of a sensor with its noise profile (PF_CONFIG_EXT).",
                           CPredFiltCfgExt::Default,
                           [](const PredFilterExtV& r, std::string& t, bool h, bool o) {
                               CPredFiltCfgExt(&r.raw).Report(t, h, o);
                           })
        .field("qFil_on", &_PF_CONFIG_EXT::qFil_on, "Orientation prediction on (1) or off (0).")
        .field("pFil_on", &_PF_CONFIG_EXT::pFil_on, "Position prediction on (1) or off (0).")
        .field("predTime", &_PF_CONFIG_EXT::predTime, "Prediction time in seconds.")
        .field("reserved", &_PF_CONFIG_EXT::reserved, "Not interpreted.")
        .prop(
            "noise", [](const PredFilterExtV& r) { return Ops(Rk::NoiseProfile).load(&r.raw.noise, r.units); },
            [](PredFilterExtV& r, py::object v) { Ops(Rk::NoiseProfile).store(v, &r.raw.noise); },
            "The noise profile (a copy: assign a whole NoiseProfile to change it).");

    Binder<VirtualSensorV>(m, Rk::VirtualSensor, "VirtualSensor", "Virtual-sensor input (VIRTUAL_SNS_CONFIG).",
                           CSnsVirtCfg::Default,
                           [](const VirtualSensorV& r, std::string& t, bool h, bool o) {
                               CSnsVirtCfg(&r.raw).Report(t, h, o);
                           })
        .field("Input1", &_VIRTUAL_SNS_CONFIG::Input1, "The input the reports show.")
        .field("word1", &_VIRTUAL_SNS_CONFIG::word1, "Carried as given.")
        .field("word2", &_VIRTUAL_SNS_CONFIG::word2, "Carried as given.")
        .field("word3", &_VIRTUAL_SNS_CONFIG::word3, "Carried as given.");

    Binder<WhoAmIV>(m, Rk::WhoAmI, "WhoAmI", "Identity of the unit, a sensor or a source (WHOAMI_STRUCT).",
                    _WHOAMI_STRUCT{},
                    [](const WhoAmIV& r, std::string& t, bool h, bool o) { CWhoAmI(&r.raw).Report(t, h, o); })
        .text("device_name", &_WHOAMI_STRUCT::device_name, "Device name.")
        .text("hw_ser_no", &_WHOAMI_STRUCT::hw_ser_no, "Hardware serial number.")
        .text("ioproc", &_WHOAMI_STRUCT::ioproc, "I/O processor firmware.")
        .text("dsp_bt_fw", &_WHOAMI_STRUCT::dsp_bt_fw, "DSP boot firmware.")
        .text("dsp_app_fw", &_WHOAMI_STRUCT::dsp_app_fw, "DSP application firmware.");

    Binder<BitResultV>(m, Rk::BitResult, "BitResult", "Built-in-test result (BIT_STRUCT).", _BIT_STRUCT{},
                       [](const BitResultV& r, std::string& t, bool h, bool o) { CBitResult(&r.raw).Report(t, h, o); })
        .array("err", &_BIT_STRUCT::err, "Word i: error bits of BIT code i + 1.")
        .computed(
            "ok",
            [](const BitResultV& r) {
                for (uint32_t w : r.raw.err)
                    if (w != 0)
                        return false;
                return true;
            },
            "No error bit is set.");

    Binder<SelfCalV>(m, Rk::SelfCal, "SelfCal", "Self-calibration state (SELFCAL_CONFIG).",
                     Prefix<_SELFCAL_CONFIG>(&CSelfCalCfg::Default),
                     [](const SelfCalV& r, std::string& t, bool h, bool o) { CSelfCalCfg(&r.raw).Report(t, h, o); })
        .field("state", &_SELFCAL_CONFIG::state, "Bits 0-7 operating state, bits 8-15 memory state.")
        .field("correction_rate", &_SELFCAL_CONFIG::correction_rate, "0 slow, 1 medium, 2 fast, 3 custom.")
        .field("custom_rate", &_SELFCAL_CONFIG::custom_rate, "The correction rate value.");
}

} // namespace sxpy
