// P&O frames on the Python side: a frame copied out of the device's store,
// decoded into numpy arrays (Frame), or into rows of one structured array
// (the bulk read).
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sxpy {

namespace py = pybind11;

constexpr size_t kMaxSensors = 16;

// A frame as it left the device: the bytes, and the queue's fields.
struct RawFrame {
    std::vector<unsigned char> bytes;
    bool body = false; // the P&O body of a single-P&O answer (from seuid on)
    uint32_t seq = 0;
    uint64_t timestampNs = 0;
    int64_t timeNs = 0; // when it was measured, system clock (FrameClock)
    int32_t error = 0;
};

// A frame's values in floating point. Orientations hold four values; the
// fourth is NaN for Euler units. Accelerations only for acceleration
// records (hasAccel), else NaN.
struct Decoded {
    uint32_t frameCount = 0;
    uint32_t seuid = 0;
    uint32_t hpinfo = 0;
    uint32_t count = 0;
    uint32_t sfinfo[kMaxSensors] = {};
    double pos[kMaxSensors][3] = {};
    double ori[kMaxSensors][4] = {};
    double accel[kMaxSensors][4] = {};
    unsigned oriTerms = 3;
    bool hasAccel = false;
};

// False when the bytes do not hold a frame header; records that do not fit
// the length are left out. body: the bytes begin at seuid.
bool Decode(const unsigned char* bytes, size_t length, bool body, Decoded& out);

// The bytes of a whole frame (they begin with a P&O preamble), rather than
// a P&O body.
bool IsWholeFrame(const unsigned char* bytes, size_t length);

// One row of the structured array of Tracker.read (FRAME_DTYPE).
struct FrameRow {
    uint32_t frame_count;
    uint32_t seq;
    uint64_t timestamp_ns;
    uint32_t seuid;
    uint32_t hpinfo;
    int32_t error;
    uint32_t sensor_count;
    int16_t sensors[kMaxSensors]; // -1 where no record
    uint32_t sfinfo[kMaxSensors];
    double positions[kMaxSensors][3];
    double orientations[kMaxSensors][4];
    double accelerations[kMaxSensors][4];
    int64_t time_ns;
};

void FillRow(uint32_t seq, uint64_t timestampNs, int64_t timeNs, int32_t error, const Decoded& d, FrameRow& row);

// The frame count of a frame or P&O body (0 when too short for one).
uint32_t FrameCountOf(const unsigned char* bytes, size_t length, bool body);

// The numpy type of FrameRow.
py::dtype FrameDtype();

// A Python Frame; the GIL must be held.
py::object MakeFrame(RawFrame&& raw);

void RegisterFrames(py::module_& m);

} // namespace sxpy
