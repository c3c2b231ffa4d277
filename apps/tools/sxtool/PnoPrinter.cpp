#include "PnoPrinter.h"

#include <SXCmdIF/SXCmdIF.h>
#include <sxwire/LEWords.h>

#include <cstring>

namespace sxtool {

namespace {

// Sensor numbers are printed as the tracker counts them, from 0, which is
// also how --sensor names them.
constexpr bool kZeroBased = true;
constexpr const char* kLineEnd = "\r\n";
constexpr const char* kStampColumn = "timestamp_ns";
constexpr const char* kTimeColumn = "time_ns";

void EndLine(std::string& out)
{
    if (out.empty() || out.back() != '\n')
        out += kLineEnd;
}

// Puts prefix before every line of text from offset from on.
void PrefixLines(std::string& text, size_t from, const std::string& prefix)
{
    for (size_t at = from; at < text.size();) {
        text.insert(at, prefix);
        const size_t nl = text.find('\n', at + prefix.size());
        if (nl == std::string::npos)
            break;
        at = nl + 1;
    }
}

struct FormatName {
    const char* name;
    PnoFormat format;
};
constexpr FormatName kFormats[] = {{"text", PnoFormat::Text},
                                   {"line", PnoFormat::Line},
                                   {"csv", PnoFormat::Csv},
                                   {"csvenh", PnoFormat::CsvEnh},
                                   {"jsonl", PnoFormat::Jsonl}};

constexpr unsigned kHeaderLen = 24; // preamble, size, seuid, framenum, hpinfo, snscnt
constexpr unsigned kRecordLen = 32;
constexpr unsigned kCrcLen = 4;

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
    return "text|line|csv|csvenh|jsonl";
}

const std::vector<std::string>& PnoFormatList()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> v;
        for (const FormatName& f : kFormats)
            v.push_back(f.name);
        return v;
    }();
    return names;
}

void PnoPrinter::Header(const CSXSeuPno& pno, bool accel, std::string& out) const
{
    const size_t from = out.size();
    switch (m_format) {
    case PnoFormat::Text:
    case PnoFormat::Jsonl:
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
    if (m_timestamps) {
        const char* sep = m_format == PnoFormat::Line ? " " : ", ";
        PrefixLines(out, from, std::string(kStampColumn) + sep + kTimeColumn + sep);
    }
}

void PnoPrinter::Frame(const CSXSeuPno& pno, std::string& out, const FrameMeta& meta)
{
    if (m_format == PnoFormat::Jsonl) {
        FrameMeta m = meta;
        m.simulated = m.simulated || m_simulated;
        out += FrameJson(pno, m).dump();
        out += kLineEnd;
        return;
    }
    // Acceleration columns only for frames that carry acceleration records.
    const bool accel = pno.Mode() != 0;
    if (!m_headerDone) {
        Header(pno, accel, out);
        m_headerDone = true;
    }
    const size_t from = out.size();
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
    case PnoFormat::Jsonl:
        break;
    }
    EndLine(out);
    if (m_timestamps) {
        const bool csv = m_format == PnoFormat::Csv || m_format == PnoFormat::CsvEnh;
        const char* sep = csv ? ", " : " ";
        PrefixLines(out, from, std::to_string(meta.timeStampNs) + sep + std::to_string(meta.timeNs) + sep);
    }
}

bool PnoPrinter::RawFrame(const unsigned char* frame, unsigned length, std::string& out, const FrameMeta& meta)
{
    CSXSeuPno pno;
    if (pno.Extractraw(frame, length) == 0)
        return false;
    Frame(pno, out, meta);
    return true;
}

unsigned PickSensors(const unsigned char* frame, unsigned length, uint32_t mask, unsigned char* out)
{
    CSXSeuPno pno;
    if (pno.Extractraw(frame, length) == 0 || length < kHeaderLen)
        return 0;
    std::memcpy(out, frame, kHeaderLen);
    unsigned n = 0;
    for (unsigned k = 0; k < pno.SensorCount(); ++k) {
        const _SENFRAMEDATA* rec = pno.SensFrame(static_cast<int>(k));
        const unsigned sensor = rec->sfinfo & 0x7Fu;
        if (sensor >= 32 || !((mask >> sensor) & 1u))
            continue;
        std::memcpy(out + kHeaderLen + n * kRecordLen, frame + kHeaderLen + k * kRecordLen, kRecordLen);
        ++n;
    }
    const uint32_t size = kHeaderLen - SX_FRAME_ENVELOPE_LEN + n * kRecordLen + kCrcLen;
    const uint32_t count = n;
    sxwire::PutLE32(out + 4, size);
    sxwire::PutLE32(out + 20, count);
    std::memset(out + kHeaderLen + n * kRecordLen, 0, kCrcLen);
    return kHeaderLen + n * kRecordLen + kCrcLen;
}

} // namespace sxtool
