// The checks of what a record's field is given: numbers of the field's type
// and range (floats finite), truth values, sequences of the field's length.
// Each raises TypeError for a value of the wrong kind and ValueError for one
// out of range, naming the field ("TipOffset.x").
#pragma once

#include <pybind11/pybind11.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace sxpy {

namespace py = pybind11;

// The name of a value's type, for messages: "str".
std::string TypeName(py::handle v);
// A value as str() shows it, for messages.
std::string Shown(py::handle v);

// A finite number within the range of a float.
float FiniteFloat(py::handle v, const std::string& what);
// A whole number (or a truth value) from 0 to max.
uint32_t UnsignedWord(py::handle v, const std::string& what, uint64_t max = 0xFFFFFFFFull);
// A whole number (or a truth value) within 32 signed bits.
int32_t SignedWord(py::handle v, const std::string& what);
// True, False, 1 or 0.
bool Truth(py::handle v, const std::string& what);
// A sequence of n elements (a list, a tuple, a numpy array; not a str).
py::sequence Elements(py::handle v, size_t n, const std::string& what);

} // namespace sxpy
