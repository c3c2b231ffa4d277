// sxcmdif.SXError: every failure code of the library becomes this
// exception, carrying the code, its detail and the library's error text.
#pragma once

#include <pybind11/pybind11.h>

namespace sxpy {

namespace py = pybind11;

// Creates the exception type and adds it to the module.
void RegisterErrors(py::module_& m);

// Raises SXError for a result value of the library; the GIL must be held.
[[noreturn]] void Raise(int value, const char* operation);

// Raises SXError for a non-zero result.
inline void Check(int value, const char* operation)
{
    if (value != 0)
        Raise(value, operation);
}

// The low and high halves of a result value.
inline int ErrCode(int value)
{
    return static_cast<int>(static_cast<unsigned>(value) & 0xFFFFu);
}
inline int ErrDetail(int value)
{
    return static_cast<int>(static_cast<short>(static_cast<unsigned>(value) >> 16));
}

} // namespace sxpy
