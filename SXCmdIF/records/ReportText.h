// The common pieces of every record report: separator, indent, lead, and
// bounded formatting into a buffer that is then appended to the caller's
// text. A wide report is the narrow one widened (AppendWidened); the few
// that differ take the narrow rules with the wide look.
#pragma once

#include "diag/TextAppend.h"

#include <cstddef>
#include <string>

// A narrow literal and its wide twin from one spelling.
#define SXREC_NW(text) text, L"" text

namespace sxrec {

// Buffer sizes of the reports: longer output is cut at the buffer's size
// (the buffer keeps its terminator, so at most size - 1 characters).
constexpr size_t kReportBuf = 200;
constexpr size_t kWhoAmIBuf = 300;
constexpr size_t kPredFiltBuf = 1000;

// Whether a narrow report indents by one space when both header and
// single-line output are asked for (a few classes do; wide reports never).
enum class OneLineIndent { None, OneSpace };

// Separator, indent and lead of one report call.
struct Look {
    Look(const char* label, bool header, bool oneLine, const char* gap = " ",
         OneLineIndent oneLineIndent = OneLineIndent::None);
    const char* sep;
    const char* indent;
    char lead[80];
};

inline const char* Sep(bool oneLine)
{
    return oneLine ? ", " : "\r\n";
}

// Formats into a buffer of bufSize characters and appends what it holds.
void Append(std::string& text, size_t bufSize, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
void AppendW(std::wstring& text, size_t bufSize, const wchar_t* fmt, ...);

// One buffer filled by several formatted pieces, as one long format would
// fill it: the whole is cut at the buffer's size.
class Buffer {
public:
    explicit Buffer(size_t size);
    void Add(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    void AppendTo(std::string& text) const { text.append(m_text, m_len); }

private:
    char m_text[kPredFiltBuf];
    size_t m_size;
    size_t m_len;
};

// A wide report as the narrow one widened byte for byte: report(narrow)
// writes the narrow text into a string of its own. Every wide report that
// says the same as its narrow twin is made so, so the two cannot drift.
template <typename NarrowReport>
void AppendWidened(std::wstring& text, NarrowReport report)
{
    std::string narrow;
    report(narrow);
    sxdiag::AppendWide(text, narrow);
}

// Float comparison of the records: b - 0.00001 < a < b + 0.00001, in double.
inline bool Near(float a, float b)
{
    const double da = a, db = b;
    return db - 0.00001 < da && da < db + 0.00001;
}

} // namespace sxrec
