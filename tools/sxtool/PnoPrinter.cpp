#include "PnoPrinter.h"

#include <SXCmdIF/SXCmdIF.h>

namespace sxtool {

namespace {

// Sensor numbers are printed as the tracker counts them, from 0, which is
// also how --sensor names them.
constexpr bool kZeroBased = true;
constexpr const char* kLineEnd = "\r\n";

void EndLine(std::string& out)
{
    if (out.empty() || out.back() != '\n')
        out += kLineEnd;
}

struct FormatName {
    const char* name;
    PnoFormat format;
};
constexpr FormatName kFormats[] = {
    {"text", PnoFormat::Text}, {"line", PnoFormat::Line}, {"csv", PnoFormat::Csv}, {"csvenh", PnoFormat::CsvEnh}};

} // namespace

bool ParsePnoFormat(const std::string& word, PnoFormat& format)
{
    for (const FormatName& f : kFormats)
        if (word == f.name) {
            format = f.format;
            return true;
        }
    return false;
}

const char* PnoFormatNames()
{
    return "text|line|csv|csvenh";
}

void PnoPrinter::Header(const CSXSeuPno& pno, bool accel, std::string& out) const
{
    switch (m_format) {
    case PnoFormat::Text:
        return;
    case PnoFormat::Line:
        pno.ReportHdr(out, false, kZeroBased, accel);
        break;
    case PnoFormat::Csv:
        pno.CSVHeader(out, true, accel, true);
        break;
    case PnoFormat::CsvEnh:
        pno.CSVHeaderEnh(out, kZeroBased, false, true, accel, true);
        break;
    }
    EndLine(out);
}

void PnoPrinter::Frame(const CSXSeuPno& pno, std::string& out)
{
    // Acceleration columns only for frames that carry acceleration records.
    const bool accel = pno.Mode() != 0;
    if (!m_headerDone) {
        Header(pno, accel, out);
        m_headerDone = true;
    }
    switch (m_format) {
    case PnoFormat::Text:
        pno.Report(out, true, kZeroBased, accel);
        break;
    case PnoFormat::Line:
        pno.Report(out, false, kZeroBased, accel);
        break;
    case PnoFormat::Csv:
        pno.CSVReport(out, true, accel, true);
        break;
    case PnoFormat::CsvEnh:
        pno.CSVReportEnh(out, kZeroBased, false, 0, true, accel, true);
        break;
    }
    EndLine(out);
}

bool PnoPrinter::RawFrame(const unsigned char* frame, unsigned length, std::string& out)
{
    CSXSeuPno pno;
    if (pno.Extractraw(frame, length) == 0)
        return false;
    Frame(pno, out);
    return true;
}

} // namespace sxtool
