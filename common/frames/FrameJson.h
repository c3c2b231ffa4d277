// The JSON forms of P&O frames and configuration records, in one place for
// every application that writes them (sxtool's --format jsonl and --json,
// the viewer's messages), so that they never disagree on names and units.
#pragma once

#include <items/ItemTable.h>

#include <nlohmann/json.hpp>

#include <cstdint>

class CSXSeuPno;
class CSXSnsFrameA;

namespace sxframes {

using Json = nlohmann::ordered_json;

// What the host knows of a frame beside its bytes.
struct FrameMeta {
    uint64_t timeStampNs = 0; // host monotonic clock when the library queued it
    uint32_t seqNum = 0;      // the library's queue sequence number
    int64_t timeNs = 0;       // when it was measured, system clock (FrameClock)
    bool simulated = false;   // from a simulated tracker: "simulated": true
};

// {"timestamp_ns", "time_ns", "frame", "seq", "bit_error", "lost", "sensors": [SensorJson...],
// ["simulated": true]}
Json FrameJson(const CSXSeuPno& pno, const FrameMeta& meta);
// One sensor of a frame: {"sensor", "position", "orientation" (three Euler
// angles or four quaternion values), "units": UnitsJson, "status":
// {"buttons", "distortion", "aux"}, ["acceleration"] (acceleration frames)}.
Json SensorJson(const CSXSnsFrameA& s, const _UNITS_CONFIG& units, bool accel);
// {"position": "cm", "orientation": "euler_degree"}
Json UnitsJson(const _UNITS_CONFIG& units);
// The record's shown fields by name; enumerated fields as their words,
// truth values as true and false, rates in Hz and bits per second, the
// fields of a nested record as an object.
Json RecordJson(const sxitems::RecordDef& def, const void* payload);
// A float as the shortest decimal that reads back as the same float
// (0.05, not 0.05000000074505806); null when it is not finite.
Json FloatJson(float v);

} // namespace sxframes
