// The configuration values of the Python module: one small class per
// record kind of the item table, whose attributes are the record's fields
// (from the table's field rows) and whose text is the record class's
// report. The tracker moves them in and out of command payloads through
// RecordOps.
#pragma once

#include <items/ItemTable.h>

#include <pybind11/pybind11.h>

#include <cstddef>

namespace sxpy {

namespace py = pybind11;

using sxitems::RecordKind;

struct RecordOps {
    const char* name; // the Python class's name
    size_t size;      // payload bytes
    // A new Python value from payload bytes, read in the given units.
    py::object (*load)(const void* payload, const _UNITS_CONFIG& units);
    // Payload bytes from a value of the class, or from what its constructor
    // takes (a dict of fields, or the first field alone); raises TypeError
    // or ValueError otherwise.
    void (*store)(py::handle value, void* payload);
    // The value carries the units it is read in (its `units` attribute).
    bool hasUnits;
};

// The operations of a record kind (valid after RegisterRecords).
const RecordOps& Ops(RecordKind kind);

// An enumerated value as its Python enumeration's member (an int outside
// the vocabulary).
py::object EnumValue(const sxitems::Vocabulary& words, uint32_t value);
// What a user gives for an enumerated field: a member, a number or a word
// ("cm", "POS_CM"); ValueError or TypeError naming `what` otherwise.
uint32_t WordValue(const sxitems::Vocabulary& words, py::handle value, const std::string& what);

// Adds every record class to the module.
void RegisterRecords(py::module_& m);

} // namespace sxpy
