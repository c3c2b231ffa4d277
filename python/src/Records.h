// The configuration values of the Python module: one small class per
// payload record, whose attributes are the record's fields and whose text
// is the record class's report. The item table (Items.cpp) moves them in
// and out of command payloads through RecordOps.
#pragma once

#include <SXCmdIF/records/SXpayloads.h>

#include <pybind11/pybind11.h>

#include <cstddef>

namespace sxpy {

namespace py = pybind11;

// Every record the items carry, one Python class each. Some share a payload
// record but print with different record classes (the binary settings).
enum class Rk {
    None,
    SyncMode,
    DualOutput,
    OorMode,
    FttMode,
    SensorOrigin,
    StylusMode,
    FrameRate,
    SeuId,
    SerialConfig,
    StationMap,
    Units,
    SourceConfig,
    SourceRotation,
    SourceSelect,
    Hemisphere,
    Filter,
    TipOffset,
    Increment,
    Boresight,
    PredFilter,
    PredFilterExt,
    VirtualSensor,
    WhoAmI,
    BitResult,
    SelfCal,
    NoiseProfile,
    Count
};

struct RecordOps {
    const char* name; // the Python class's name
    size_t size;      // payload bytes
    // A new Python value from payload bytes, read in the given units.
    py::object (*load)(const void* payload, const _UNITS_CONFIG& units);
    // Payload bytes from a value of the class, or from what its constructor
    // takes (a dict of fields, or the first field alone); raises TypeError
    // or ValueError otherwise.
    void (*store)(py::handle value, void* payload);
};

// The operations of a record kind (valid after RegisterRecords).
const RecordOps& Ops(Rk kind);

// Adds every record class to the module.
void RegisterRecords(py::module_& m);

} // namespace sxpy
