#include "Frames.h"

#include <items/Connection.h>

#include <SXCmdIF/pno/SXpno.h>
#include <sxwire/LEWords.h>
#include <SXCmdIF/protocol/SXframe.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace sxpy {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

using sxwire::GetLE32;

// The Python Frame.
struct Frame {
    uint32_t frameCount = 0;
    uint32_t seq = 0;
    uint64_t timestampNs = 0;
    int64_t timeNs = 0;
    uint32_t seuid = 0;
    uint32_t hpinfo = 0;
    int32_t error = 0;
    uint32_t posUnits = 0;
    uint32_t oriUnits = 0;
    bool body = false;
    py::array sensors;
    py::array positions;
    py::array orientations;
    py::array sfinfo;
    py::object accelerations = py::none();
    py::bytes raw;
};

std::string FrameReport(const Frame& f, bool table)
{
    const std::string bytes = f.raw;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto len = static_cast<unsigned>(bytes.size());
    CSXSeuPno pno;
    const unsigned taken = f.body ? pno.Extractseupno(p, len) : pno.Extractraw(p, len);
    if (taken == 0)
        return std::string(py::repr(py::cast(f)));
    std::string text;
    pno.Report(text, table, true, (f.hpinfo & 0x0Fu) != 0);
    sxitems::ToNewlines(text);
    return text;
}

} // namespace

bool IsWholeFrame(const unsigned char* bytes, size_t length)
{
    if (length < 4)
        return false;
    const uint32_t pre = GetLE32(bytes);
    return pre == SX_PREAMBLE_PNO || pre == Q7_PREAMBLE_PNO;
}

bool Decode(const unsigned char* p, size_t len, bool body, Decoded& d)
{
    // The body lacks the preamble and size words of a frame.
    const size_t head = body ? 0 : 8;
    if (len < head + 16)
        return false;
    d.seuid = GetLE32(p + head);
    d.frameCount = GetLE32(p + head + 4);
    d.hpinfo = GetLE32(p + head + 8);
    const uint32_t claimed = GetLE32(p + head + 12);
    const size_t records = head + 16;
    const size_t fit = (len - records) / sizeof(_SENFRAMEDATA);
    d.count = static_cast<uint32_t>(std::min<size_t>({claimed, kMaxSensors, fit}));
    d.hasAccel = (d.hpinfo & 0x0Fu) != 0;
    d.oriTerms = 3;
    for (uint32_t k = 0; k < kMaxSensors; ++k) {
        for (int i = 0; i < 3; ++i)
            d.pos[k][i] = kNaN;
        for (int i = 0; i < 4; ++i)
            d.ori[k][i] = d.accel[k][i] = kNaN;
        d.sfinfo[k] = 0;
    }
    for (uint32_t k = 0; k < d.count; ++k) {
        const unsigned char* rec = p + records + k * sizeof(_SENFRAMEDATA);
        CSXSnsFrameA s;
        if (d.hasAccel) {
            _SENFRAMEDATA_A a;
            std::memcpy(&a, rec, sizeof(a));
            s.Fill(&a);
        } else {
            _SENFRAMEDATA plain;
            std::memcpy(&plain, rec, sizeof(plain));
            s.Fill(&plain);
        }
        const unsigned terms = static_cast<unsigned>(s.NumTerms());
        if (k == 0)
            d.oriTerms = terms;
        d.sfinfo[k] = s.sfinfo;
        for (int i = 0; i < 3; ++i)
            d.pos[k][i] = s.pos[i];
        for (unsigned i = 0; i < terms; ++i)
            d.ori[k][i] = s.ori[i];
        if (d.hasAccel)
            for (int i = 0; i < 4; ++i)
                d.accel[k][i] = s.accel[i];
    }
    return true;
}

uint32_t FrameCountOf(const unsigned char* bytes, size_t length, bool body)
{
    const size_t at = body ? 4 : 12;
    return length >= at + 4 ? GetLE32(bytes + at) : 0;
}

void FillRow(uint32_t seq, uint64_t timestampNs, int64_t timeNs, int32_t error, const Decoded& d, FrameRow& row)
{
    row.time_ns = timeNs;
    row.frame_count = d.frameCount;
    row.seq = seq;
    row.timestamp_ns = timestampNs;
    row.seuid = d.seuid;
    row.hpinfo = d.hpinfo;
    row.error = error;
    row.sensor_count = d.count;
    for (uint32_t k = 0; k < kMaxSensors; ++k)
        row.sensors[k] = k < d.count ? static_cast<int16_t>(d.sfinfo[k] & 0x7Fu) : int16_t(-1);
    std::memcpy(row.sfinfo, d.sfinfo, sizeof(row.sfinfo));
    std::memcpy(row.positions, d.pos, sizeof(row.positions));
    std::memcpy(row.orientations, d.ori, sizeof(row.orientations));
    std::memcpy(row.accelerations, d.accel, sizeof(row.accelerations));
}

py::dtype FrameDtype()
{
    static py::object cached;
    if (!cached) {
        py::module_ np = py::module_::import("numpy");
        py::list fields;
        fields.append(py::make_tuple("frame_count", "<u4"));
        fields.append(py::make_tuple("seq", "<u4"));
        fields.append(py::make_tuple("timestamp_ns", "<u8"));
        fields.append(py::make_tuple("seuid", "<u4"));
        fields.append(py::make_tuple("hpinfo", "<u4"));
        fields.append(py::make_tuple("error", "<i4"));
        fields.append(py::make_tuple("sensor_count", "<u4"));
        fields.append(py::make_tuple("sensors", "<i2", py::make_tuple(kMaxSensors)));
        fields.append(py::make_tuple("sfinfo", "<u4", py::make_tuple(kMaxSensors)));
        fields.append(py::make_tuple("positions", "<f8", py::make_tuple(kMaxSensors, 3)));
        fields.append(py::make_tuple("orientations", "<f8", py::make_tuple(kMaxSensors, 4)));
        fields.append(py::make_tuple("accelerations", "<f8", py::make_tuple(kMaxSensors, 4)));
        fields.append(py::make_tuple("time_ns", "<i8"));
        py::object dt = np.attr("dtype")(fields);
        if (dt.attr("itemsize").cast<size_t>() != sizeof(FrameRow))
            throw std::runtime_error("FRAME_DTYPE does not match the frame row");
        // Held for the life of the process: numpy types outlive the module.
        cached = dt;
        cached.inc_ref();
    }
    return py::reinterpret_borrow<py::dtype>(cached);
}

py::object MakeFrame(RawFrame&& raw)
{
    Decoded d;
    Decode(raw.bytes.data(), raw.bytes.size(), raw.body, d);
    Frame f;
    f.frameCount = d.frameCount;
    f.seq = raw.seq;
    f.timestampNs = raw.timestampNs;
    f.timeNs = raw.timeNs;
    f.seuid = d.seuid;
    f.hpinfo = d.hpinfo;
    f.error = raw.error;
    f.body = raw.body;
    if (d.count > 0) {
        f.posUnits = (d.sfinfo[0] >> 8) & 3u;
        f.oriUnits = (d.sfinfo[0] >> 10) & 3u;
    }
    const py::ssize_t n = d.count;
    py::array_t<int32_t> sensors(n);
    py::array_t<uint32_t> sfinfo(n);
    py::array_t<double> pos({n, py::ssize_t(3)});
    py::array_t<double> ori({n, py::ssize_t(d.oriTerms)});
    auto s = sensors.mutable_unchecked<1>();
    auto sf = sfinfo.mutable_unchecked<1>();
    auto ps = pos.mutable_unchecked<2>();
    auto os = ori.mutable_unchecked<2>();
    for (py::ssize_t k = 0; k < n; ++k) {
        s(k) = static_cast<int32_t>(d.sfinfo[k] & 0x7Fu);
        sf(k) = d.sfinfo[k];
        for (py::ssize_t i = 0; i < 3; ++i)
            ps(k, i) = d.pos[k][i];
        for (py::ssize_t i = 0; i < py::ssize_t(d.oriTerms); ++i)
            os(k, i) = d.ori[k][i];
    }
    if (d.hasAccel) {
        py::array_t<double> acc({n, py::ssize_t(4)});
        auto as = acc.mutable_unchecked<2>();
        for (py::ssize_t k = 0; k < n; ++k)
            for (py::ssize_t i = 0; i < 4; ++i)
                as(k, i) = d.accel[k][i];
        f.accelerations = acc;
    }
    f.sensors = sensors;
    f.sfinfo = sfinfo;
    f.positions = pos;
    f.orientations = ori;
    f.raw = py::bytes(reinterpret_cast<const char*>(raw.bytes.data()), raw.bytes.size());
    return py::cast(std::move(f));
}

void RegisterFrames(py::module_& m)
{
    py::class_<Frame>(m, "Frame",
                      "One P&O frame: the unit's frame count and state, and one row per sensor record.\n\n"
                      "Positions are in the tracker's position units, orientations in its orientation\n"
                      "units: three Euler angles (azimuth, elevation, roll) per row, or a quaternion\n"
                      "(w, x, y, z) when the orientation units are quaternions.")
        .def_readonly("frame_count", &Frame::frameCount, "The unit's frame count.")
        .def_readonly("seq", &Frame::seq,
                      "Sequence number of the frame in the device's queue (the callback counts\n"
                      "the frames it delivers instead; 0 for a single P&O answer).")
        .def_readonly("timestamp_ns", &Frame::timestampNs,
                      "Receive time on the monotonic clock, in nanoseconds (0 when not stamped).")
        .def_readonly("time_ns", &Frame::timeNs,
                      "When the frame was measured, on the system clock (Unix epoch, UTC), in\n"
                      "nanoseconds: the tracker's frame count fitted to the arrivals (docs/timing.md).")
        .def_readonly("seuid", &Frame::seuid, "Identifier of the electronics unit.")
        .def_readonly("hpinfo", &Frame::hpinfo, "Header information word.")
        .def_readonly("error", &Frame::error, "Error the library attached to a flawed frame it passed on, else 0.")
        .def_readonly("pos_units", &Frame::posUnits, "Position units of the records (0 inch, 1 foot, 2 cm, 3 m).")
        .def_readonly("ori_units", &Frame::oriUnits,
                      "Orientation units of the records (0 degrees, 1 radians, 2 quaternion).")
        .def_readonly("sensors", &Frame::sensors, "Sensor numbers, an int32 array of n.")
        .def_readonly("positions", &Frame::positions, "Positions, a float64 array of (n, 3).")
        .def_readonly("orientations", &Frame::orientations,
                      "Orientations, a float64 array of (n, 3) for Euler angles or (n, 4) for quaternions.")
        .def_readonly("accelerations", &Frame::accelerations,
                      "Accelerations X, Y, Z, R as a float64 array of (n, 4) for acceleration records, else None.")
        .def_readonly("sfinfo", &Frame::sfinfo, "The sensor information word of each record, a uint32 array of n.")
        .def_readonly("raw", &Frame::raw, "The frame's bytes as received.")
        .def_property_readonly(
            "lost_frames", [](const Frame& f) { return f.hpinfo >> 16; }, "Frames lost before this one.")
        .def_property_readonly(
            "bit_error", [](const Frame& f) { return (f.hpinfo >> 4) & 0x0Fu; }, "The unit's built-in-test error code.")
        .def("__len__", [](const Frame& f) { return f.sensors.size(); })
        .def("report", &FrameReport, py::arg("table") = false,
             "The library's text report of the frame (one line per sensor, or a table line).")
        .def("__str__", [](const Frame& f) { return FrameReport(f, false); })
        .def("__repr__", [](const Frame& f) {
            return "<sxcmdif.Frame frame_count=" + std::to_string(f.frameCount) +
                   " sensors=" + std::to_string(f.sensors.size()) + " seq=" + std::to_string(f.seq) + ">";
        });

    m.attr("FRAME_DTYPE") = FrameDtype();
    m.attr("MAX_SENSORS") = kMaxSensors;
}

} // namespace sxpy
