// P&O frames as the library's reports: the text table, one line per sensor,
// CSV and enhanced CSV. The line and CSV forms begin with their header,
// printed from the first frame.
#pragma once

#include "Options.h"

#include <string>

class CSXSeuPno;

namespace sxtool {

// "text", "line", "csv", "csvenh".
bool ParsePnoFormat(const std::string& word, PnoFormat& format);
const char* PnoFormatNames();

class PnoPrinter {
public:
    explicit PnoPrinter(PnoFormat format) : m_format(format) {}
    // Appends the frame's rows (and, before the first frame, the header);
    // every row ends with a line end.
    void Frame(const CSXSeuPno& pno, std::string& out);
    // The same from a raw frame; false when it is not a P&O frame.
    bool RawFrame(const unsigned char* frame, unsigned length, std::string& out);

private:
    void Header(const CSXSeuPno& pno, bool accel, std::string& out) const;

    PnoFormat m_format;
    bool m_headerDone = false;
};

} // namespace sxtool
