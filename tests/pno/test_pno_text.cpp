#include <SXCmdIF/pno/SXseuPno.h>

#include "PnoTestFrames.h"

#include <gtest/gtest.h>

using namespace pnotest;

namespace {

// seuid 0, frame 5, one Euler-degree sensor 0 in inches.
CSXSeuPno OneEuler(uint32_t hpinfo = 0, uint32_t sfinfo = Sfinfo(0))
{
    const Bytes f = PnoFrame(0, 5, hpinfo, {PlainRecord(sfinfo, 1.5f, -2.25f, 3.0f, 90.0f, -45.0f, 0.5f, 0.0f)});
    CSXSeuPno p;
    p.Extractraw(f.data(), static_cast<unsigned>(f.size()));
    return p;
}

// Mode 1: one acceleration record, Euler degrees.
CSXSeuPno OneAccel()
{
    const Bytes f =
        PnoFrame(0, 5, 1, {AccelRecord(Sfinfo(0), 1.5f, -2.25f, 3.0f, {16384, -8192, 0, 0}, {-16384, 0, 8192, 4096})});
    CSXSeuPno p;
    p.Extractraw(f.data(), static_cast<unsigned>(f.size()));
    return p;
}

bool EndsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::wstring Widened(const std::string& s)
{
    return std::wstring(s.begin(), s.end());
}

} // namespace

TEST(PnoText, TableLayout)
{
    std::string out = "keep:";
    OneEuler().Report(out, true, false, false);
    EXPECT_EQ(out, std::string("keep:") + " 1  |  0000005  " + "|   1  " + "00  " + "000  " + "0000  " + "| " +
                       "   1.500  -2.250   3.000" + "|    90.000  -45.000    0.500 ");
}

TEST(PnoText, TableLayoutZeroBasedWithErrorMarkAndFlags)
{
    std::string out;
    OneEuler(0x200, Sfinfo(4, 0, 0, true, false, 7, 0x2a5)).Report(out, true, true, false);
    EXPECT_EQ(out, std::string(" 0  |2 0000005  ") + "|   4  " + "10  " + "007  " + "02a5  " + "| " +
                       "   1.500  -2.250   3.000" + "|    90.000  -45.000    0.500 ");
}

TEST(PnoText, LineLayoutNumbersFromOne)
{
    std::string out;
    OneEuler().Report(out, false, false, false);
    EXPECT_EQ(out, std::string(" 1   1  000000005  ") + "00  " + "  1.500   " + " -2.250   " + "  3.000   " +
                       "  90.000 " + " -45.000 " + "  0.500  " + " \r\n");
    out.clear();
    OneEuler().Report(out, false, true, false);
    EXPECT_EQ(out.substr(0, 19), " 0   0  000000005  ");
}

// Found by fuzzing: the largest unit identifier counted from one wraps as
// a 32-bit number, it does not overflow.
TEST(PnoText, LargestUnitIdentifierWrapsWhenCountedFromOne)
{
    const Bytes f =
        PnoFrame(0x7FFFFFFFu, 5, 0, {PlainRecord(Sfinfo(0), 1.5f, -2.25f, 3.0f, 90.0f, -45.0f, 0.5f, 0.0f)});
    CSXSeuPno p;
    ASSERT_EQ(p.Extractraw(f.data(), static_cast<unsigned>(f.size())), 60u);
    std::string out;
    p.Report(out, false, false, false);
    EXPECT_EQ(out.substr(0, 30), "-2147483648   1  000000005  00");
    out.clear();
    p.Report(out, false, true, false);
    EXPECT_EQ(out.substr(0, 29), "2147483647   0  000000005  00");
}

TEST(PnoText, PositionFormatFollowsTheUnits)
{
    std::string out;
    OneEuler(0, Sfinfo(0, 3)).Report(out, false, true, false); // metres
    EXPECT_EQ(out.substr(19 + 4), std::string("  1.500000  ") + " -2.250000  " + "  3.000000  " + "  90.000 " +
                                      " -45.000 " + "  0.500   \r\n");
}

TEST(PnoText, AccelerationLayouts)
{
    std::string out;
    OneAccel().Report(out, false, true, true);
    EXPECT_EQ(out, std::string(" 0   0  000000005  ") + "00  " + "  1.500   " + " -2.250   " + "  3.000   " +
                       "  90.000 " + " -45.000 " + "  0.000  " + " " + " -8.000   " + "  0.000   " + "  4.000   " +
                       "  2.000   " + "\r\n");

    out.clear();
    OneEuler().Report(out, false, true, true);                    // a plain record: nothing but the line end
    EXPECT_TRUE(EndsWith(out, " -45.000   0.500   \r\n")) << out; // ori, then "%s" with the line end
    EXPECT_EQ(out.find("No_Accel"), std::string::npos);

    out.clear();
    OneEuler().Report(out, true, true, true);
    EXPECT_TRUE(EndsWith(out, "    0.500  No_Accel \r\n")) << out;
    out.clear();
    OneAccel().Report(out, true, true, true);
    EXPECT_TRUE(EndsWith(out, "    0.000    -8.000     0.000     4.000     2.000 \r\n")) << out;
}

TEST(PnoText, QuaternionRecord)
{
    const Bytes f = PnoFrame(2, 9, 0, {PlainRecord(Sfinfo(1, 0, 2), 0, 0, 0, 1.0f, 0.0f, -0.5f, 0.25f)});
    CSXSeuPno p;
    p.Extractraw(f.data(), static_cast<unsigned>(f.size()));
    std::string out;
    p.Report(out, true, true, false);
    EXPECT_TRUE(EndsWith(out, "   0.000|    1.0000   0.0000  -0.5000   0.2500 ")) << out;
    out.clear();
    p.Report(out, false, true, false);
    EXPECT_TRUE(EndsWith(out, "0.000     1.0000   0.0000  -0.5000   0.2500  \r\n")) << out;
}

TEST(PnoText, StaticReportUsesFixedPositionFormats)
{
    const CSXSeuPno p = OneEuler(0, Sfinfo(0, 2)); // centimetres
    std::string out;
    CSXSeuPno::Report(&p.m_pno, out, true, false, false);
    EXPECT_EQ(out, std::string(" 1  |  0000005  ") + "|   1  " + "00  " + "000  " + "0000  " +
                       "|    1.500  -2.250   3.000   " + "|    90.000  -45.000    0.500 ");
    out.clear();
    CSXSeuPno::Report(&p.m_pno, out, false, false, false);
    EXPECT_EQ(out, std::string(" 1   1  000000005  ") + "00  " + "   1.500    -2.250     3.000    " + "  90.000 " +
                       " -45.000 " + "  0.500  " + " \r\n");
    CSXSeuPno::Report(nullptr, out, false, false, false);
}

TEST(PnoText, WideReportsAreTheNarrowOnesWidened)
{
    const CSXSeuPno p = OneAccel();
    for (int flags = 0; flags < 8; ++flags) {
        const bool t = flags & 1, z = flags & 2, a = flags & 4;
        std::string narrow;
        CSXSeuPno::Report(&p.m_pno, narrow, t, z, a);
        std::wstring wide = L"w:";
        p.ReportW(wide, t, z, a);
        EXPECT_EQ(wide, L"w:" + Widened(narrow));
        wide.clear();
        CSXSeuPno::ReportW(&p.m_pno, wide, t, z, a);
        EXPECT_EQ(wide, Widened(narrow));
    }
}

TEST(PnoText, HeaderLines)
{
    std::string out;
    OneEuler().ReportHdr(out, false, false, true);
    EXPECT_EQ(out, "SEU Sns  FrameNum  bb    X(IN).....  Y(IN).....  Z(IN).....  Az(DEG). El(DEG). Ro(DEG). ");
    out.clear();
    OneAccel().ReportHdr(out, false, false, true);
    EXPECT_EQ(out, "SEU Sns  FrameNum  bb    X(IN).....  Y(IN).....  Z(IN).....  Az(DEG). El(DEG). Ro(DEG). "
                   " a(X)....  a(Y)....  a(Z)....  a(R).... ");

    const Bytes f = PnoFrame(0, 5, 0, {PlainRecord(Sfinfo(0, 2, 2), 0, 0, 0, 1, 0, 0, 0)});
    CSXSeuPno q;
    q.Extractraw(f.data(), static_cast<unsigned>(f.size()));
    std::wstring w;
    q.ReportHdrW(w, false, false, false);
    EXPECT_EQ(w, L"SEU Sns  FrameNum  BB    X(CM).... Y(CM).... Z(CM)....  Qw...... Qx...... Qy...... Qz...... ");
}

TEST(PnoText, HeaderTableRows)
{
    std::string out;
    OneEuler(0x100, Sfinfo(0, 0, 0, true, true, 9, 3)).ReportHdr(out, true, false, false);
    EXPECT_EQ(out, std::string(" 1  |  0000005  ") + "|   1  " + "bb  " + " d   " + " ax   " +
                       "|    1.500  -2.250   3.000   " + "|    90.000  -45.000    0.500 ");
    std::wstring w;
    OneEuler(0x100, Sfinfo(0, 0, 0, true, true, 9, 3)).ReportHdrW(w, true, false, false);
    EXPECT_EQ(w, Widened(std::string(" 1  |  0000005  ") + "|   1  " + "11  " + "009  " + "0003  " +
                         "|    1.500  -2.250   3.000   " + "|    90.000  -45.000    0.500 "));
}
