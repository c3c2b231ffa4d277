#include "FrameDump.h"

#include "CmdNameOverride.h"
#include "TextAppend.h"

#include <sxwire/LEWords.h>
#include <SXCmdIF/protocol/SXcmd.h>

#include <cstdint>

using sxdiag::AppendF;

namespace {

constexpr char kTruncated[] = "Truncated\r\n";
constexpr char kHex[] = "0123456789ABCDEF";

// Formats of the command-frame dump.
constexpr char kCmdPreamble[] = "  PREAMBLE     SIZE %04d\r\n";
constexpr char kCmdSeuid[] = "  SEUID %04d   %s\r\n";
constexpr char kCmdAction[] = "  %-11s  ARG1 %04d\r\n";
constexpr char kCmdArg2[] = "  ARG2 %04d    ";
constexpr char kCmdNoPayload[] = "CRC\r\n";
constexpr char kCmdWord[] = "%s %04d\r\n";
constexpr char kCmdCrc4[] = "  CRC          \r\n";
constexpr char kCmdPnoSeuid[] = "%s seuid %04d\r\n";
constexpr char kCmdPnoFrame[] = "  F %-7d    HPINFO %08x\r\n";
constexpr char kCmdPnoNoSensor[] = "  SNSCNT %02d     CRC\r\n";
constexpr char kCmdPnoCount[] = "  SNSCNT %02d    SFINFO %08x   SENSOR % d\r\n";
constexpr char kCmdPnoPair[] = "  % 9.5f    % 9.5f   \r\n";
constexpr char kCmdPnoLast[] = "  % 9.5f    CRC   \r\n";
constexpr char kCmdPnoNext[] = "  % 9.5f    SFINFO %08x   SENSOR % d\r\n";
constexpr char kCmdPayload[] = "%s payload\r\n";
constexpr char kCmdCrc8[] = "               CRC\r\n";

// Formats of the P&O-frame dump.
constexpr char kPnoPreamble[] = "  PREAMBLE          SIZE %04d\r\n";
constexpr char kPnoSeuid[] = "  SEUID %04d        F % 7d\r\n";
constexpr char kPnoHpinfo[] = "  HPINFO %08x   SNSCNT %02d\r\n";
constexpr char kPnoSfinfo[] = "  SFINFO %08x   % 9.5f  SENSOR % d  \r\n";
constexpr char kPnoPair[] = "  % 9.5f         % 9.5f\r\n";
constexpr char kPnoCrc[] = "  CRC          \r\n";

constexpr unsigned kPnoCmd = 18; // CMD_SINGLE_PNO: its payload is a P&O body

char Shown(unsigned char b)
{
    return (b < 32 || b >= 127) ? '.' : static_cast<char>(b);
}

void PutHex(std::string& out, unsigned char b)
{
    out += kHex[b >> 4];
    out += kHex[b & 0x0F];
    out += ' ';
}

// The frame's bytes with the length that bounds every read.
struct Frame {
    const unsigned char* p;
    uint64_t len;

    bool Has(uint64_t off, uint64_t n) const { return off <= len && n <= len - off; }
    uint32_t W(uint64_t k) const { return sxwire::GetLE32(p + 4 * k); }
    int I(uint64_t k) const { return static_cast<int>(W(k)); }
    double F(uint64_t k) const { return sxwire::GetLEF32(p + 4 * k); }
    int Sensor(uint64_t k) const { return static_cast<int>(W(k) & 0x7F); }

    // One single line of hexadecimal; false (and the cut shown) when the
    // frame ends before its bytes.
    bool Line(std::string& out, uint64_t off, unsigned n) const
    {
        if (!Has(off, n)) {
            out += kTruncated;
            return false;
        }
        AppendHexLines(out, p + off, n, false, kDumpHexLimit);
        return true;
    }
    bool Words(std::string& out, uint64_t k) const { return Line(out, 4 * k, 8); }
};

const char* CommandName(unsigned int cmd)
{
    if (sxctx::CmdNameFn fn = sxctx::CmdNameOverride()) {
        if (const char* name = fn(cmd))
            return name;
    }
    return CSXcmd::cmdstr(cmd);
}

// The body of a single-P&O response, from word 7 (seuid) on.
void PnoPayload(std::string& out, const Frame& f)
{
    AppendF(out, kCmdPnoSeuid, CSXcmd::cmdpaystr(kPnoCmd), f.I(7));
    if (!f.Words(out, 8))
        return;
    AppendF(out, kCmdPnoFrame, f.I(8), f.W(9));
    if (!f.Words(out, 10))
        return;
    const uint32_t s = f.W(10);
    if (s == 0) {
        AppendF(out, kCmdPnoNoSensor, static_cast<int>(s));
        return;
    }
    AppendF(out, kCmdPnoCount, static_cast<int>(s), f.W(11), f.Sensor(11));
    uint64_t q = 12;
    // Every line needs bytes of its own, so a count the frame cannot hold
    // ends at the frame's end.
    for (uint32_t i = 0; i < s; ++i) {
        for (int pair = 0; pair < 3; ++pair, q += 2) {
            if (!f.Words(out, q))
                return;
            AppendF(out, kCmdPnoPair, f.F(q), f.F(q + 1));
        }
        if (!f.Words(out, q))
            return;
        if (i == s - 1) {
            AppendF(out, kCmdPnoLast, f.F(q));
        } else {
            AppendF(out, kCmdPnoNext, f.F(q), f.W(q + 1), f.Sensor(q + 1));
            q += 2;
        }
    }
}

} // namespace

void AppendHexLines(std::string& out, const unsigned char* data, unsigned int n, bool lineEnds, unsigned int limit)
{
    if (!data)
        return;
    const size_t start = out.size();
    for (unsigned i = 0; i < n; i += 8) {
        const unsigned c = n - i < 8 ? n - i : 8;
        if (limit != 0 && out.size() - start + 20 + 12 > limit) {
            out += kTruncated;
            return;
        }
        const unsigned char* chunk = data + i;
        const unsigned first = c < 4 ? c : 4;
        for (unsigned j = 0; j < first; ++j)
            PutHex(out, chunk[j]);
        out += ' ';
        if (c <= 4)
            out.append(12, ' ');
        else
            for (unsigned j = 4; j < c; ++j)
                PutHex(out, chunk[j]);
        out += ' ';
        for (unsigned j = 0; j < c; ++j)
            out += Shown(chunk[j]);
        if (lineEnds)
            out += "\r\n";
        if (c < 8)
            out.append(8 - c, ' ');
    }
}

std::string HexLines(const unsigned char* data, unsigned int n, bool lineEnds, unsigned int limit)
{
    std::string out;
    AppendHexLines(out, data, n, lineEnds, limit);
    return out;
}

void DumpCmdFrame(std::string& out, const unsigned char* frame, unsigned int length)
{
    const Frame f{frame, frame ? length : 0u};
    if (!f.Line(out, 0, 8))
        return;
    AppendF(out, kCmdPreamble, f.I(1));
    if (!f.Line(out, 8, 8))
        return;
    AppendF(out, kCmdSeuid, f.I(2), CommandName(f.W(3)));
    if (!f.Line(out, 16, 8))
        return;
    AppendF(out, kCmdAction, CSXcmd::actstr(f.W(4), true), f.I(5));
    if (!f.Line(out, 24, 8))
        return;
    AppendF(out, kCmdArg2, f.I(6));

    // From here the frame holds at least 32 bytes.
    const uint32_t k = f.W(3) < CMD_MAX ? f.W(3) : static_cast<uint32_t>(CMD_MAX);
    const uint64_t p = k < CMD_MAX ? CSXcmd::paysize(static_cast<eSorixCmds>(k)) : f.len - 32;
    if (p == 0 || f.len < p + 32) {
        out += kCmdNoPayload;
        return;
    }
    // Now p + 32 <= length: every read below stays inside the frame.
    const char* payName = CSXcmd::cmdpaystr(k);
    if (p == 4) {
        AppendF(out, kCmdWord, payName, f.I(7));
        AppendHexLines(out, frame + 32, 4, false, kDumpHexLimit);
        out += kCmdCrc4;
    } else if (k == kPnoCmd) {
        PnoPayload(out, f);
    } else {
        AppendF(out, kCmdPayload, payName);
        if (p > 4 && (p - 4) % 8 == 0) {
            AppendHexLines(out, frame + 32, static_cast<unsigned>(p - 4), true, kDumpHexLimit);
            AppendHexLines(out, frame + 28 + p, 4, false, kDumpHexLimit);
            out += kCmdCrc4;
        } else {
            // A payload shorter than 8 bytes (an undefined command's) has no
            // block of its own.
            const uint64_t block = p >= 8 ? p - 8 : 0;
            AppendHexLines(out, frame + 32, static_cast<unsigned>(block), true, kDumpHexLimit);
            AppendHexLines(out, frame + p + 24, 8, false, kDumpHexLimit);
            out += kCmdCrc8;
        }
    }
}

void DumpPnoFrame(std::string& out, const unsigned char* frame, unsigned int length)
{
    const Frame f{frame, frame ? length : 0u};
    if (!f.Line(out, 0, 8))
        return;
    AppendF(out, kPnoPreamble, f.I(1));
    if (!f.Line(out, 8, 8))
        return;
    AppendF(out, kPnoSeuid, f.I(2), f.I(3));
    if (!f.Line(out, 16, 8))
        return;
    const uint32_t count = f.W(5);
    AppendF(out, kPnoHpinfo, f.W(4), static_cast<int>(count));
    uint64_t q = 6;
    for (uint32_t i = 0; i < count; ++i) {
        if (!f.Words(out, q))
            return;
        AppendF(out, kPnoSfinfo, f.W(q), f.F(q + 1), f.Sensor(q));
        for (int pair = 0; pair < 3; ++pair) {
            q += 2;
            if (!f.Words(out, q))
                return;
            AppendF(out, kPnoPair, f.F(q), f.F(q + 1));
        }
        q += 2;
    }
    if (!f.Line(out, 4 * q, 4))
        return;
    out += kPnoCrc;
}
