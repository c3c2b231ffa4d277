// What a page may ask of the viewer, read from one WebSocket text message
// and checked as sxtool checks its arguments: a size limit, the message's
// shape field by field, item names, sensors and filter targets through the
// item table. Whatever the bytes, Parse returns a checked request or a
// message that says what is accepted; it never throws.
//
//   {"type": "stream", "on": true|false}
//   {"type": "record", "on": true|false}
//   {"type": "set", "item": "units"|"framerate"|"filter", "values": ["WORD", ...],
//    ["sensor": 0-15], ["target": "pno"|"pos"|"ori"]}      (sensor, target: filter only)
// Each may carry "id": 0 to 2147483647, echoed in the answer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sxviewer {

enum class ControlKind { Stream, Record, Set };

struct Control {
    ControlKind kind = ControlKind::Stream;
    int64_t id = -1;                 // the page's number for the answer; -1: none given
    bool on = false;                 // stream, record
    std::string item;                // set: the item's name in the item table
    std::vector<std::string> values; // set: its value words, as `sxtool set` takes them
    int sensor = -1;                 // set: -1 when not given
    std::string target;              // set: empty when not given
};

// The most a control message may hold, and the words of a set.
constexpr size_t kMaxControlBytes = 1024;
constexpr size_t kMaxValueWords = 5;
constexpr size_t kMaxWordBytes = 24;

// The items the page may set.
const std::vector<std::string>& SettableItems();

bool ParseControl(const char* data, size_t size, Control& out, std::string& error);

} // namespace sxviewer
