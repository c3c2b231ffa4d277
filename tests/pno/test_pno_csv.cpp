#include <SXCmdIF/pno/SXseuPno.h>

#include "PnoTestFrames.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace pnotest;

namespace {

CSXSeuPno Frame(uint32_t hpinfo, const std::vector<Bytes>& records, uint32_t seuid = 0)
{
    const Bytes f = PnoFrame(seuid, 5, hpinfo, records);
    CSXSeuPno p;
    p.Extractraw(f.data(), static_cast<unsigned>(f.size()));
    return p;
}

Bytes Euler(unsigned n, unsigned posUnits = 0)
{
    return PlainRecord(Sfinfo(n, posUnits), 1.5f, -2.25f, 3.0f, 90.0f, -45.0f, 0.5f, 0.0f);
}

Bytes Accel(unsigned n)
{
    return AccelRecord(Sfinfo(n), 1.5f, -2.25f, 3.0f, {16384, -8192, 0, 0}, {-16384, 0, 8192, 4096});
}

std::vector<std::string> Cells(const std::string& row)
{
    std::vector<std::string> cells;
    std::stringstream ss(row);
    std::string cell;
    while (std::getline(ss, cell, ','))
        cells.push_back(cell);
    return cells;
}

size_t Count(const std::string& s, const std::string& what)
{
    size_t n = 0;
    for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1))
        ++n;
    return n;
}

const std::string kEulerRow = "  0, 0, 0, 0, 0,    1.500,   -2.250,    3.000,   90.0000, -45.0000,   0.5000, ";

} // namespace

TEST(PnoCsv, HeaderFollowedDirectlyByTheRow)
{
    const CSXSeuPno p = Frame(0, {Euler(0)});
    std::string out;
    p.CSVHeader(out, true, false, true);
    p.CSVReport(out, true, false, true);
    EXPECT_EQ(out, "SEU, FrErr, Frame, Sensor, btn0, btn1, distortion, aux(hex), X, Y, Z, Az, El, Rl,"
                   "  0,  , 0000005, " +
                       kEulerRow);
}

TEST(PnoCsv, ErrorCharacterAndPlainNumbering)
{
    std::string out;
    Frame(0x200, {Euler(0)}).CSVReport(out, true, false, true);
    EXPECT_EQ(out, "  0, 2, 0000005, " + kEulerRow);
    out.clear();
    Frame(0x200, {Euler(0)}).CSVReport(out, true, false, false);
    EXPECT_EQ(out, "  0, 0000005, " + kEulerRow);
}

TEST(PnoCsv, PerSensorRows)
{
    const CSXSeuPno p = Frame(0, {Euler(0), Euler(3, 2)}, 4);
    std::string out;
    p.CSVHeader(out, false, true, true);
    EXPECT_EQ(out, "SEU, Frame, Sensor, btn0, btn1, distortion, aux(hex), X, Y, Z, Az, El, Rl");
    out.clear();
    p.CSVReport(out, false, true, true);
    EXPECT_EQ(out, "  4, 0000005,   0, 0, 0, 0, 0,    1.500,   -2.250,    3.000,    90.000,  -45.000,    0.500, "
                   ", No_Accel,\r\n"
                   "  4, 0000005,   3, 0, 0, 0, 0,     1.5000,    -2.2500,     3.0000,    90.000,  -45.000,    0.500, "
                   ", No_Accel,\r\n");
}

TEST(PnoCsv, AccelerationColumns)
{
    const CSXSeuPno p = Frame(1, {Accel(0)});
    std::string out;
    p.CSVHeader(out, true, true, false);
    EXPECT_EQ(out,
              "SEU, Frame, Sensor, btn0, btn1, distortion, aux(hex), X, Y, Z, Az, El, Rl,, a(X), a(Y), a(Z), a(R)");
    out.clear();
    p.CSVHeader(out, false, true, false);
    EXPECT_EQ(out, "SEU, Frame, Sensor, btn0, btn1, distortion, aux(hex), X, Y, Z, Az, El, Rl,aX, aY, aZ, aRng");
    out.clear();
    p.CSVReport(out, true, true, false);
    EXPECT_EQ(out, "  0, 0000005,   0, 0, 0, 0, 0,    1.500,   -2.250,    3.000,   90.0000, -45.0000,   0.0000, "
                   ",   -8.000,   0.000,   4.000,   2.000");
    // A plain-record frame writes nothing in their place per frame.
    out.clear();
    Frame(0, {Euler(0)}).CSVReport(out, true, true, false);
    EXPECT_EQ(out, "  0, 0000005, " + kEulerRow);
}

TEST(PnoCsv, WideRowsHaveTheirOwnPositionFields)
{
    const CSXSeuPno p = Frame(0x100, {Euler(2, 3)});
    std::wstring w = L">";
    p.CSVReportW(w, true, false, true);
    EXPECT_EQ(w, L">  0, 1, 0000005,   2, 0, 0, 0, 0,   1.500,  -2.250,   3.000,   90.0000, -45.0000,   0.5000, ");
    w.clear();
    p.CSVReportW(w, false, false, true);
    EXPECT_EQ(w, L"  0, 0000005,   2, 0, 0, 0, 0,   1.500,  -2.250,   3.000,    90.000,  -45.000,    0.500, \r\n");
    std::string narrow;
    p.CSVHeader(narrow, true, false, true);
    std::wstring wide;
    p.CSVHeaderW(wide, true, false, true);
    EXPECT_EQ(wide, std::wstring(narrow.begin(), narrow.end()));
}

TEST(PnoCsv, ExtendedPrecisionRows)
{
    const CSXSeuPno p = Frame(0, {Euler(1)});
    std::string out;
    p.CSVReportEP(out, false, true, false);
    EXPECT_EQ(out,
              "  0, 0000005,   1, 0, 0, 0, 0,   1.500000,  -2.250000,   3.000000,   90.000000, -45.000000,   0.500000, "
              ", No_Accel,\r\n");
    out.clear();
    p.CSVReportEP(out, true, false, false);
    EXPECT_EQ(out, "  0, 0000005, "
                   "  1, 0, 0, 0, 0,      1.5000000000,     -2.2500000000,      3.0000000000, "
                   "     90.0000000000,    -45.0000000000,      0.5000000000, ");
}

TEST(PnoCsv, SimpleRowsAndSensorLimit)
{
    const CSXSeuPno p = Frame(0, {Euler(0), Euler(1), Euler(2), Euler(3)});
    std::string out;
    p.CSVReportSimplePno(out, true, false);
    const std::string one = "  0,   1.500,  -2.250,   3.000,   90.0000, -45.0000,   0.5000, ";
    EXPECT_EQ(out.substr(0, one.size()), one);
    EXPECT_EQ(out.size(), 4 * one.size());
    out.clear();
    p.CSVReportSimplePno(out, false, true);
    EXPECT_EQ(out.substr(0, out.find('\n') + 1),
              "  0,   1.500,  -2.250,   3.000,    90.000,  -45.000,    0.500, , No_Accel,\r\n");

    out.clear();
    p.CSVReportSimplePnoEP(out, 2, false, false);
    EXPECT_EQ(Count(out, "\r\n"), 2u);
    EXPECT_EQ(out.substr(0, out.find('\n') + 1),
              "  0,   1.500000,  -2.250000,   3.000000,   90.000000, -45.000000,   0.500000, \r\n");
    out.clear();
    p.CSVReportSimplePnoEP(out, 10, false, false);
    EXPECT_EQ(Count(out, "\r\n"), 4u);
    out.clear();
    p.CSVReportSimplePnoEP(out, -1, false, false);
    EXPECT_EQ(out, "");
    p.CSVReportSimplePnoEP(out, 1, true, false);
    EXPECT_EQ(out, "  0,     1.5000000000,     -2.2500000000,      3.0000000000, "
                   "     90.0000000000,    -45.0000000000,      0.5000000000, ");
}

TEST(PnoCsvEnhanced, StatisticsColumns)
{
    // seuid 0, one Euler sensor 0, numbered from 1, with the error column.
    const CSXSeuPno p = Frame(0, {Euler(0)});
    const std::string lead =
        "  1,  , 0000005,  1, 0, 0, 0, 0,    1.500,   -2.250,    3.000,   90.0000, -45.0000,   0.5000, ";
    std::string out;
    p.CSVReportEnh(out, false, true, 1, true, false, true);
    EXPECT_EQ(out, lead + " SEU1 X1:,=STDEV.P(I:I),");
    const std::vector<std::string> cells = Cells(out);
    ASSERT_EQ(cells.size(), 16u);
    EXPECT_EQ(cells[8], "    1.500");      // I: X
    EXPECT_EQ(cells[9], "   -2.250");      // J: Y
    EXPECT_EQ(cells[10], "    3.000");     // K: Z
    EXPECT_EQ(cells[14], "  SEU1 X1:");    // O
    EXPECT_EQ(cells[15], "=STDEV.P(I:I)"); // P

    out.clear();
    p.CSVReportEnh(out, false, true, 2, true, false, true);
    EXPECT_EQ(out, lead + " SEU1 Y1:,=STDEV.P(J:J),");
    out.clear();
    p.CSVReportEnh(out, false, true, 3, true, false, true);
    EXPECT_EQ(out, lead + " SEU1 Z1:,=STDEV.P(K:K),");
    out.clear();
    p.CSVReportEnh(out, false, true, 4, true, false, true);
    EXPECT_EQ(out, lead + " xyz_rms_spec(IN): , 0.015000,");
    out.clear();
    p.CSVReportEnh(out, false, true, 5, true, false, true);
    EXPECT_EQ(out, lead + "sns 1,\"=IF(AND(P2<P5,P3<P5,P4<P5), \"\"PASS\"\" , \"\"FAIL\"\") \",");
    out.clear();
    p.CSVReportEnh(out, false, true, 6, true, false, true);
    EXPECT_EQ(out, lead + ", , ");
    out.clear();
    p.CSVReportEnh(out, false, false, 1, true, false, true);
    EXPECT_EQ(out, lead + ", ");
}

TEST(PnoCsvEnhanced, SecondSensorAndAccelerationShiftTheColumns)
{
    // Without the error column: 2 frame columns; each acceleration sensor
    // takes 5 + 3 + 3 + 2 + 4 = 17 columns. Sensor 0's X is column 7 (H),
    // its stats cells 13 and 14 (N, O); sensor 1's X is column 24 (Y), its
    // stats cells 30 and 31 (AE, AF).
    const CSXSeuPno p = Frame(1, {Accel(0), Accel(1)}, 2);
    std::string out;
    p.CSVReportEnh(out, true, true, 1, true, true, false);
    EXPECT_NE(out.find(" SEU2 X1:,=STDEV.P(Y:Y),"), std::string::npos) << out;
    EXPECT_NE(out.find(" SEU2 X0:,=STDEV.P(H:H),"), std::string::npos) << out;
    out.clear();
    p.CSVReportEnh(out, true, true, 5, true, true, false);
    EXPECT_NE(out.find("sns 1,\"=IF(AND(AF2<AF5,AF3<AF5,AF4<AF5)"), std::string::npos) << out;
    EXPECT_NE(out.find("sns 0,\"=IF(AND(O2<O5,O3<O5,O4<O5)"), std::string::npos) << out;
    EXPECT_EQ(Count(out, ",   -8.000,   0.000,   4.000,   2.000"), 2u);
}

TEST(PnoCsvEnhanced, SpecificationInThePositionUnits)
{
    const char* expected[4] = {" xyz_rms_spec(IN): , 0.015000,", " xyz_rms_spec(FT): , 0.001250,",
                               " xyz_rms_spec(CM): , 0.038100,", " xyz_rms_spec(M): , 0.000381,"};
    for (unsigned u = 0; u < 4; ++u) {
        std::string out;
        Frame(0, {Euler(0, u)}).CSVReportEnh(out, false, true, 4, true, false, false);
        EXPECT_NE(out.find(expected[u]), std::string::npos) << out;
    }
}

TEST(PnoCsvEnhanced, PerSensorRowsAndHeaders)
{
    const CSXSeuPno p = Frame(0, {Euler(2)}, 3);
    std::string out;
    p.CSVReportEnh(out, false, true, 1, false, true, true);
    EXPECT_EQ(out, "  4, 0000005,   2, 0, 0, 0, 0,    1.500,   -2.250,    3.000,    90.000,  -45.000,    0.500, "
                   ", No_Accel,\r\n");

    out.clear();
    p.CSVHeaderEnh(out, false, true, true, false, true);
    EXPECT_EQ(out, "SEU, FrErr, Frame, Sensor3, btn0_3, btn1_3, d3, aux(hex)_3, X3 (IN), Y3, Z3, "
                   "Az3 (DEG), El3, Rl3,, stdev3 ,");
    out.clear();
    p.CSVHeaderEnh(out, true, false, false, false, false);
    EXPECT_EQ(out, "SEU, Frame, Sensor, btn0, btn1, distortion, aux(hex), X (IN), Y, Z, Az, El, Rl");

    const CSXSeuPno q = Frame(1, {AccelRecord(Sfinfo(0, 2, 2), 0, 0, 0, {0, 0, 0, 0}, {0, 0, 0, 0})});
    out.clear();
    q.CSVHeaderEnh(out, true, false, true, true, false);
    EXPECT_EQ(out, "SEU, Frame, Sensor0, btn0_0, btn1_0, d0, aux(hex)_0, X0 (CM), Y0, Z0, Qw0, Qx0, Qy0, Qz0, "
                   ", a(X)0, a(Y)0, a(Z)0, a(R)0");
}
