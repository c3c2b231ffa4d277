#include "FieldValues.h"

#include <cfloat>
#include <cmath>
#include <cstdio>

namespace sxpy {

namespace {

bool IsText(py::handle v)
{
    return py::isinstance<py::str>(v) || py::isinstance<py::bytes>(v);
}

// A whole number of any integer type (numpy's too), as a Python int.
bool WholeNumber(py::handle v, py::int_& out)
{
    if (!PyIndex_Check(v.ptr()))
        return false;
    out = py::reinterpret_steal<py::int_>(PyNumber_Index(v.ptr()));
    return true;
}

std::string ShownNumber(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

} // namespace

std::string TypeName(py::handle v)
{
    return py::str(py::type::handle_of(v).attr("__name__"));
}

std::string Shown(py::handle v)
{
    return py::reinterpret_steal<py::str>(PyObject_Str(v.ptr()));
}

float FiniteFloat(py::handle v, const std::string& what)
{
    // Numbers only: a truth value or a text given for a coordinate is a mistake.
    if (py::isinstance<py::bool_>(v) || IsText(v) || !PyNumber_Check(v.ptr()))
        throw py::type_error(what + " takes a number, not " + TypeName(v));
    const double d = PyFloat_AsDouble(v.ptr());
    if (d == -1.0 && PyErr_Occurred()) {
        PyErr_Clear();
        throw py::type_error(what + " takes a number, not " + TypeName(v));
    }
    if (!std::isfinite(d))
        throw py::value_error(what + " takes a finite number, not " + ShownNumber(d));
    if (std::fabs(d) > FLT_MAX)
        throw py::value_error(what + " takes a number within the range of a float, not " + ShownNumber(d));
    return static_cast<float>(d);
}

uint32_t UnsignedWord(py::handle v, const std::string& what, uint64_t max)
{
    py::int_ n;
    if (!WholeNumber(v, n))
        throw py::type_error(what + " takes a whole number, not " + TypeName(v));
    const long long x = PyLong_AsLongLong(n.ptr());
    if (x == -1 && PyErr_Occurred()) {
        PyErr_Clear();
        throw py::value_error(what + " takes 0 to " + std::to_string(max) + ", not " + Shown(n));
    }
    if (x < 0 || static_cast<uint64_t>(x) > max)
        throw py::value_error(what + " takes 0 to " + std::to_string(max) + ", not " + std::to_string(x));
    return static_cast<uint32_t>(x);
}

int32_t SignedWord(py::handle v, const std::string& what)
{
    py::int_ n;
    if (!WholeNumber(v, n))
        throw py::type_error(what + " takes a whole number, not " + TypeName(v));
    const long long x = PyLong_AsLongLong(n.ptr());
    const bool overflow = x == -1 && PyErr_Occurred();
    if (overflow)
        PyErr_Clear();
    if (overflow || x < INT32_MIN || x > INT32_MAX)
        throw py::value_error(what + " takes " + std::to_string(INT32_MIN) + " to " + std::to_string(INT32_MAX) +
                              ", not " + Shown(n));
    return static_cast<int32_t>(x);
}

bool Truth(py::handle v, const std::string& what)
{
    if (py::isinstance<py::bool_>(v))
        return v.cast<bool>();
    py::int_ n;
    if (!WholeNumber(v, n))
        throw py::type_error(what + " takes True or False, not " + TypeName(v));
    const long long x = PyLong_AsLongLong(n.ptr());
    if (PyErr_Occurred())
        PyErr_Clear();
    else if (x == 0 || x == 1)
        return x == 1;
    throw py::value_error(what + " takes True or False (or 1 or 0), not " + Shown(n));
}

py::sequence Elements(py::handle v, size_t n, const std::string& what)
{
    if (IsText(v) || !PySequence_Check(v.ptr()))
        throw py::type_error(what + " takes a sequence of " + std::to_string(n) + " values, not " + TypeName(v));
    py::sequence s = py::reinterpret_borrow<py::sequence>(v);
    if (s.size() != n)
        throw py::value_error(what + " takes " + std::to_string(n) + " values, not " + std::to_string(s.size()));
    return s;
}

} // namespace sxpy
