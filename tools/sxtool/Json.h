// sxtool's JSON forms, in one place: a P&O frame as one JSON object (the
// lines of --format jsonl, for stream, single and convert, and for any
// later reader of them), and a configuration record with its field names
// (from the item table) as keys (--json of get, info and block).
#pragma once

#include <items/ItemTable.h>

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>

class CSXSeuPno;

namespace sxtool {

using Json = nlohmann::ordered_json;

// What the host knows of a frame beside its bytes.
struct FrameMeta {
    uint64_t timeStampNs = 0; // host monotonic clock when the library queued it
    uint32_t seqNum = 0;      // the library's queue sequence number
};

// {"timestamp_ns", "frame", "seq", "bit_error", "lost", "sensors": [{"sensor",
// "position", "orientation", "units": {"position", "orientation"},
// "status": {"buttons", "distortion", "aux"}, ["acceleration"]}]}
Json FrameJson(const CSXSeuPno& pno, const FrameMeta& meta);
// The record's shown fields by name; enumerated fields as their words, the
// fields of a nested record as an object.
Json RecordJson(const sxitems::RecordDef& def, const void* payload);
// One line of JSON with the tool's line end.
std::string JsonLine(const Json& j);

} // namespace sxtool
