// P&O frames as the library's reports: the text table, one line per sensor,
// CSV and enhanced CSV; or as JSON lines. The line and CSV forms begin with
// their header, printed from the first frame. With time stamps every row
// begins with the frame's host time stamp (arrival, monotonic clock) and its
// measurement time (system clock), in nanoseconds.
#pragma once

#include "Json.h"
#include "Options.h"

#include <cstdint>
#include <string>
#include <vector>

class CSXSeuPno;

namespace sxtool {

// "text", "line", "csv", "csvenh", "jsonl".
bool ParsePnoFormat(const std::string& word, PnoFormat& format);
const char* PnoFormatNames();
// The names as a list, for the argument check.
const std::vector<std::string>& PnoFormatList();

class PnoPrinter {
public:
    explicit PnoPrinter(PnoFormat format, bool timestamps = false) : m_format(format), m_timestamps(timestamps) {}
    // Frames of a simulated tracker: JSON lines say "simulated": true.
    void SetSimulated(bool simulated) { m_simulated = simulated; }
    // Appends the frame's rows (and, before the first frame, the header);
    // every row ends with the library's line end.
    void Frame(const CSXSeuPno& pno, std::string& out, const FrameMeta& meta = {});
    // The same from a raw frame; false when it is not a P&O frame.
    bool RawFrame(const unsigned char* frame, unsigned length, std::string& out, const FrameMeta& meta = {});

private:
    void Header(const CSXSeuPno& pno, bool accel, std::string& out) const;

    PnoFormat m_format;
    bool m_timestamps;
    bool m_headerDone = false;
    bool m_simulated = false;
};

// Copies a raw P&O frame keeping only the records of the sensors in mask
// (bit n: sensor n) into out (SX_PNO_FRAME_MAX bytes); returns its length,
// or 0 when it is not a P&O frame.
unsigned PickSensors(const unsigned char* frame, unsigned length, uint32_t mask, unsigned char* out);

} // namespace sxtool
