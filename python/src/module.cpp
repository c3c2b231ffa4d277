// The extension module sxcmdif._core. The package sxcmdif (python/sxcmdif)
// builds the public API on it.
#include "Errors.h"
#include "Frames.h"
#include "Records.h"
#include "Trace.h"
#include "TrackerCore.h"

#include <SXCmdIF/SXCmdIF.h>

#include <pybind11/stl.h>

namespace py = pybind11;
using sxpy::TrackerCore;

#ifndef SXPY_VERSION
#define SXPY_VERSION "0.0.0"
#endif

namespace {

void RegisterItems(py::module_& m)
{
    size_t n = 0;
    const sxitems::Item* items = sxitems::AllItems(n);
    py::list rows;
    for (size_t i = 0; i < n; ++i) {
        const sxitems::Item& it = items[i];
        py::list actions;
        if (it.actions & sxitems::kSet)
            actions.append("set");
        if (it.actions & sxitems::kGet)
            actions.append("get");
        if (it.actions & sxitems::kReset)
            actions.append("reset");
        py::list levels;
        if (it.unit)
            levels.append("unit");
        if (it.sensor)
            levels.append("sensor");
        if (it.source)
            levels.append("source");
        py::object cls = py::none();
        if (it.record != sxpy::RecordKind::None)
            cls = m.attr(sxpy::Ops(it.record).name);
        rows.append(py::make_tuple(it.name, cls, py::tuple(actions), py::tuple(levels), it.doc));
    }
    m.attr("_items") = rows;
}

void RegisterTracker(py::module_& m)
{
    py::class_<TrackerCore>(m, "TrackerCore", "The native half of Tracker: use sxcmdif.Tracker.")
        .def(py::init<>())
        .def("_open_usb", &TrackerCore::OpenUsb, py::arg("tag"), py::arg("pid"), py::arg("timeout_ms"),
             py::arg("serial"))
        .def("_open_hub", &TrackerCore::OpenHub, py::arg("timeout_ms"))
        .def("_open_serial", &TrackerCore::OpenSerial, py::arg("port"), py::arg("cfg"), py::arg("timeout_ms"),
             py::arg("retries"))
        .def("_open_simulated", &TrackerCore::OpenSimulated, py::arg("sensors"), py::arg("rate"), py::arg("timeout_ms"),
             py::arg("retries"))
        .def("close", &TrackerCore::Close,
             "Stops continuous output, releases the device and its context (and stops a\n"
             "simulated tracker). Closing a closed tracker does nothing.")
        .def_property_readonly("is_open", &TrackerCore::IsOpen, "The tracker is connected.")
        .def_property_readonly("kind", &TrackerCore::Kind, "How the tracker is connected.")
        .def("get", &TrackerCore::Get, py::arg("item"), py::arg("sensor") = py::none(), py::arg("source") = py::none(),
             py::kw_only(), py::arg("arg2") = 0,
             "Reads configuration item `item` (see sxcmdif.ITEMS) and returns its value.\n\n"
             "Sensor items need sensor (0 to 15), source items source (0 to 3); \"whoami\"\n"
             "reads the unit, a sensor or a source. arg2 is the command's second argument\n"
             "where it has one (filter target, boresight reset-origin flag).")
        .def("set", &TrackerCore::Set, py::arg("item"), py::arg("value") = py::none(), py::arg("sensor") = py::none(),
             py::arg("source") = py::none(), py::kw_only(), py::arg("arg2") = 0,
             "Writes configuration item `item`. value is the item's record class, a dict or\n"
             "a tuple of its fields, or its first field alone; enumerated fields take words\n"
             "(\"cm\", \"deg\") or the enumerations' members (PosUnits.CM), a frame rate is\n"
             "in Hz. Sensor items take sensor (0 to 15; None: every sensor), source items\n"
             "source (0 to 3).")
        .def("reset", &TrackerCore::Reset, py::arg("item"), py::arg("sensor") = py::none(),
             py::arg("source") = py::none(), py::kw_only(), py::arg("arg2") = 0,
             "Resets configuration item `item` to the unit's default (for a sensor item,\n"
             "sensor 0 to 15, or None: every sensor).")
        .def("persist", &TrackerCore::Persist, "Makes the unit keep its present configuration over a power cycle.")
        .def_property_readonly("identity", &TrackerCore::Identity,
                               "The unit's identity as read at connection (a WhoAmI).")
        .def_property_readonly("seuid", &TrackerCore::SeuId, "The unit identifier read at connection.")
        .def("report", &TrackerCore::Report, "The library's report line of the device.")
        .def_property("timeout_ms", &TrackerCore::TimeoutMs, &TrackerCore::SetTimeoutMs,
                      "How long a command waits for its answer, in milliseconds (timeout_ms of the\n"
                      "opening call, 500 by default).")
        .def("set_trace", &TrackerCore::SetTrace, py::arg("level"), "The device's trace level (0 to 7).")
        .def("start", &TrackerCore::Start, py::arg("clear") = true,
             "Starts continuous P&O output; with clear, frames still queued are dropped first.")
        .def("stop", &TrackerCore::Stop, "Stops continuous P&O output.")
        .def_property_readonly("streaming", &TrackerCore::Streaming, "Continuous output was started here.")
        .def("_next_frame", &TrackerCore::NextFrame, py::arg("timeout"))
        .def("_watch_begin", &TrackerCore::WatchBegin, py::arg("reconnect"))
        .def("_watch_next", &TrackerCore::WatchNext, py::arg("wait"))
        .def("_watch_end", &TrackerCore::WatchEnd)
        .def("read", &TrackerCore::Read, py::arg("max_frames") = py::none(),
             "Takes every queued frame (at most max_frames) at once, without waiting, as a\n"
             "numpy structured array of FRAME_DTYPE: one row per frame, sensor fields sized\n"
             "16 (rows beyond sensor_count hold sensor -1 and NaN values).")
        .def("single", &TrackerCore::Single, "Asks the unit for one P&O record and returns it as a Frame.")
        .def("on_frame", &TrackerCore::OnFrame, py::arg("callback"),
             "Calls callback(frame) on the reading thread for every frame that arrives;\n"
             "None removes it. While a callback is installed frames do not reach the queue\n"
             "(stream and read find nothing). The first exception the callback raises is\n"
             "reported with its traceback through sys.unraisablehook; later ones are only\n"
             "counted (callback_errors). They do not stop the frames.")
        .def_property_readonly("callback_errors", &TrackerCore::CallbackErrors,
                               "Exceptions the on_frame callback raised since it was installed.")
        .def_property_readonly("pending", &TrackerCore::Pending, "Number of frames in the queue.")
        .def("clear", &TrackerCore::ClearQueue, "Drops the queued frames and restarts the queue's counters.")
        .def("set_faults", &TrackerCore::SetFaults,
             "Replaces the faults of a simulated tracker (the keywords of Tracker.simulated).")
        .def("sim_stats", &TrackerCore::SimStats, "Counters of a simulated tracker.")
        .def_property_readonly("sim_path", &TrackerCore::SimPath,
                               "The serial line of a simulated tracker, else an empty text.");
}

} // namespace

PYBIND11_MODULE(_core, m)
{
    m.doc() = "Native part of sxcmdif: the SXCmdIF tracker SDK for Python.";
    m.attr("__version__") = SXPY_VERSION;

    sxpy::RegisterTrace(m);
    sxpy::RegisterErrors(m);
    sxpy::RegisterRecords(m);
    sxpy::RegisterFrames(m);
    RegisterItems(m);
    RegisterTracker(m);

    m.def(
        "version", [] { return std::string(sxcmdif_version()); }, "The library's version text.");
    m.def(
        "build_datetime", [] { return std::string(sxcmdif_datetime()); }, "The library's build date and time.");
    m.def("trace", &sxcmdif_trace, py::arg("level"),
          "Library-wide trace level 0 to 7 (any other value: off); taken by trackers opened afterwards.");
    m.def(
        "_raise", [](int value, const std::string& operation) { sxpy::Raise(value, operation.c_str()); },
        py::arg("value"), py::arg("operation"));

    // Open trackers are closed while the interpreter can still run their
    // callbacks to the end; after that no reading thread enters Python.
    py::module_::import("atexit").attr("register")(py::cpp_function(&TrackerCore::ShutDownAll));
}
