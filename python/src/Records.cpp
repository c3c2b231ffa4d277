// The record classes: one per record kind of the item table, in the order
// of its kinds, each with what it has beyond its fields (values computed
// from the record, the units it is read in).
#include "RecordClass.h"

#include <SXCmdIF/records/SXrecords.h>

#include <pybind11/stl.h>

#include <array>
#include <utility>
#include <vector>

namespace sxpy {

namespace {

std::array<RecordOps, sxitems::kRecordKinds> g_ops{};

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
                throw py::value_error("no frame rate of " + std::to_string(hz) + " Hz (30, 60, 120, 240, 480 or 960)");
            },
            py::arg("hz"), "The frame rate of 30, 60, 120, 240, 480 or 960 Hz.");
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
    RegisterAll(m, std::make_index_sequence<sxitems::kRecordKinds>());
}

} // namespace sxpy
