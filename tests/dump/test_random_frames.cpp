// Random, truncated and lying frames through the dumps, the frame intake and
// every report. Each frame sits at the very end of its own heap block, so a
// read past it fails under AddressSanitizer; the assertions check that a
// cut is always shown.
#include "diag/FrameDump.h"

#include <SXCmdIF/pno/SXseuPno.h>
#include <platform/FBufFormat.h>

#include "../pno/PnoTestFrames.h"

#include <gtest/gtest.h>

#include <random>

using namespace pnotest;

namespace {

class Gen {
public:
    explicit Gen(uint32_t seed) : m_rng(seed) {}
    uint32_t U(uint32_t below) { return below ? m_rng() % below : 0; }
    uint32_t Word() { return m_rng(); }
    bool Coin() { return m_rng() & 1; }

    Bytes Random(size_t n)
    {
        Bytes b(n);
        for (auto& c : b)
            c = static_cast<unsigned char>(m_rng());
        return b;
    }

    Bytes Record()
    {
        Bytes r = Random(32);
        if (Coin())
            r[0] &= 0x0F; // plausible sensor numbers now and then
        return r;
    }

    Bytes Pno()
    {
        std::vector<Bytes> records;
        const unsigned n = U(17);
        for (unsigned i = 0; i < n; ++i)
            records.push_back(Record());
        Bytes f = PnoFrame(Word(), Word(), Coin() ? U(16) : Word(), records);
        switch (U(4)) {
        case 0: // lying count
            SetWord(f, 20, Coin() ? U(40) : Word());
            break;
        case 1: // lying size
            SetWord(f, 4, Coin() ? U(600) : Word());
            break;
        default:
            break;
        }
        return f;
    }

    Bytes Cmd()
    {
        const uint32_t cmd = Coin() ? U(46) : Word();
        const uint64_t catalogued = cmd < CMD_MAX ? CSXcmd::paysize(static_cast<eSorixCmds>(cmd)) : 0;
        Bytes payload = Random(Coin() && catalogued < 5000 ? catalogued : U(300));
        if (cmd == CMD_SINGLE_PNO && payload.size() >= 16 && Coin())
            SetWord(payload, 12, Coin() ? U(20) : Word());
        return CmdFrame(Word(), cmd, U(8), Word(), Word(), payload, Word());
    }

    Bytes Frame()
    {
        switch (U(4)) {
        case 0:
            return Random(U(700));
        case 1:
            return Cmd();
        default:
            return Pno();
        }
    }

    // A length: mostly the whole frame, often cut, sometimes to nearly nothing.
    size_t Cut(size_t n)
    {
        switch (U(4)) {
        case 0:
            return U(static_cast<uint32_t>(n) + 1);
        case 1:
            return n > 40 ? n - U(40) : U(static_cast<uint32_t>(n) + 1);
        default:
            return n;
        }
    }

private:
    std::mt19937 m_rng;
};

bool EndsWith(const std::string& s, const char* tail)
{
    const std::string t(tail);
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

uint32_t Word(const unsigned char* p, size_t off)
{
    return static_cast<uint32_t>(p[off]) | static_cast<uint32_t>(p[off + 1]) << 8 |
           static_cast<uint32_t>(p[off + 2]) << 16 | static_cast<uint32_t>(p[off + 3]) << 24;
}

std::wstring Widened(const std::string& s)
{
    std::wstring w;
    for (unsigned char c : s)
        w += static_cast<wchar_t>(c);
    return w;
}

void AllReports(const CSXSeuPno& p, Gen& g)
{
    const bool a = g.Coin(), b = g.Coin(), c = g.Coin();
    std::string s;
    std::wstring w;
    p.Report(s, a, b, c);
    std::string fixed;
    CSXSeuPno::Report(&p.m_pno, fixed, a, b, c);
    p.ReportW(w, a, b, c);
    ASSERT_EQ(w, Widened(fixed));
    p.ReportHdr(s, a, b, c);
    w.clear();
    p.ReportHdrW(w, a, b, c);
    std::string hdr;
    p.CSVHeader(hdr, a, b, c);
    w.clear();
    p.CSVHeaderW(w, a, b, c);
    ASSERT_EQ(w, Widened(hdr));
    p.CSVHeaderEnh(s, a, b, c, g.Coin(), g.Coin());
    p.CSVReport(s, a, b, c);
    p.CSVReportW(w, a, b, c);
    p.CSVReportEP(s, a, b, c);
    p.CSVReportSimplePno(s, a, b);
    p.CSVReportSimplePnoEP(s, static_cast<int>(g.U(20)) - 2, a, b);
    p.CSVReportEnh(s, a, b, static_cast<int>(g.U(8)), c, g.Coin(), g.Coin());
    ASSERT_FALSE(s.empty() && p.SensorCount() > 0);
}

} // namespace

TEST(RandomFrames, DumpsReadNothingPastTheFrameAndShowEveryCut)
{
    Gen g(20240319);
    for (int iter = 0; iter < 3000; ++iter) {
        const Bytes frame = g.Frame();
        const AtEnd f(frame, g.Cut(frame.size()));
        const unsigned n = f.size();
        SCOPED_TRACE("iteration " + std::to_string(iter) + ", length " + std::to_string(n));

        std::string pno;
        DumpPnoFrame(pno, f.data(), n);
        ASSERT_TRUE(EndsWith(pno, "\r\n"));
        const bool pnoWhole = n >= 24 && uint64_t(n) >= 28 + 32 * uint64_t(Word(f.data(), 20));
        ASSERT_EQ(EndsWith(pno, "Truncated\r\n"), !pnoWhole) << pno;

        std::string cmd;
        DumpCmdFrame(cmd, f.data(), n);
        ASSERT_TRUE(EndsWith(cmd, "\r\n"));
        if (n < 32) {
            ASSERT_TRUE(EndsWith(cmd, "Truncated\r\n")) << cmd;
        }

        char block[4096];
        const int len = trFormatFBuf(f.data(), static_cast<int>(n), block, sizeof block, "\t");
        ASSERT_LT(len, 4096);
        ASSERT_EQ(block[len], '\0');
    }
}

TEST(RandomFrames, IntakeAndReportsStayInsideTheFrame)
{
    Gen g(7);
    for (int iter = 0; iter < 2000; ++iter) {
        const Bytes frame = g.Frame();
        const AtEnd f(frame, g.Cut(frame.size()));
        const unsigned n = f.size();
        SCOPED_TRACE("iteration " + std::to_string(iter) + ", length " + std::to_string(n));

        CSXSeuPno p;
        const unsigned taken = p.Extractraw(f.data(), n);
        ASSERT_TRUE(taken == 0 || (taken >= 28 && taken <= n + 4));
        ASSERT_LE(p.SensorCount(), 16u);
        if (taken) {
            ASSERT_EQ(taken, 28 + 32 * p.SensorCount());
        }
        // As the device hands it over: a frame holding all its size word says.
        if (n >= 24 && uint64_t(Word(f.data(), 4)) + 8 <= n) {
            CSXSeuPno q;
            ASSERT_EQ(q.Extractraw(f.data()), taken);
            ASSERT_EQ(std::memcmp(&q.m_pno, &p.m_pno, sizeof p.m_pno), 0);
        }
        CSXSeuPno::ValidateSensorIDs(f.data(), n, 0x70);
        if (n >= 24) {
            const bool countOk = CSXSeuPno::ValidateSensorCount(f.data(), 16);
            if (countOk && 24 + 32 * uint64_t(Word(f.data(), 20)) <= n) {
                ASSERT_EQ(CSXSeuPno::ValidateSensorIDs(f.data(), 0x70),
                          CSXSeuPno::ValidateSensorIDs(f.data(), n, 0x70));
            }
        }
        AllReports(p, g);

        CSXSeuPno body;
        const unsigned bodyTaken = body.Extractseupno(f.data(), n);
        ASSERT_TRUE(bodyTaken == 0 || bodyTaken <= n + 4);
        AllReports(body, g);

        // Any 536 bytes as a record: counts and units are whatever they are.
        const Bytes raw = g.Random(sizeof(_SX_PNO));
        const CSXSeuPno any(raw.data());
        AllReports(any, g);
    }
}
