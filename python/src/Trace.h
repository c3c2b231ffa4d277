// The library's trace lines in Python: taken from the library's trace
// receiver into a bounded queue (on whichever thread writes them, without
// the GIL, so no trace lock is ever held while waiting for it), and handed
// to the logging module by a thread of the package (sxcmdif/__init__.py).
#pragma once

#include <pybind11/pybind11.h>

namespace sxpy {

namespace py = pybind11;

// Installs the receiver; adds _trace_wait(timeout) -> [(level, line)] or
// None once stopped, _trace_stop() and _trace_dropped().
void RegisterTrace(py::module_& m);

} // namespace sxpy
