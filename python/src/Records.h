// The configuration values of the Python module: one small class per
// record kind of the item table, whose attributes are the record's fields
// (from the table's field rows) and whose text is the record class's
// report. The tracker moves them in and out of command payloads through
// RecordOps.
#pragma once

#include <items/ItemTable.h>

#include <pybind11/pybind11.h>

#include <cstddef>
#include <string>
#include <vector>

namespace sxpy {

namespace py = pybind11;

using sxitems::RecordKind;

struct RecordOps {
    const char* name; // the Python class's name
    size_t size;      // payload bytes
    // A new Python value from payload bytes, read in the given units.
    py::object (*load)(const void* payload, const _UNITS_CONFIG& units);
    // Payload bytes from a value of the class, a dict or tuple of all its
    // fields, or the one field of a record of one; raises TypeError or
    // ValueError otherwise.
    void (*store)(py::handle value, void* payload);
    // The value carries the units it is read in (its `units` attribute).
    bool hasUnits;
    // The fields a value is given, in order.
    const std::vector<std::string>* fields;
    // What a value of its own stands for in a record of one field; null:
    // that field.
    const char* alone;
};

// What a value of the record's kind may be given as: "a TipOffset, or a
// tuple or dict of all its fields (x, y, z)", and with the item's words
// (wordsSyntax, "X Y Z") ", or the words of sxtool set in one str (...)".
std::string Forms(const RecordOps& ops, const char* wordsSyntax);

// A value that is none of the forms its record takes: a TypeError naming
// the forms and the type given.
class WrongForm : public py::type_error {
public:
    WrongForm(const std::string& forms, const std::string& given)
        : py::type_error("expected " + forms + ", not " + given), m_given(given)
    {
    }
    const std::string& Given() const { return m_given; }

private:
    std::string m_given;
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
