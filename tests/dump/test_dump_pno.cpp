#include "diag/FrameDump.h"

#include "../pno/PnoTestFrames.h"

#include <gtest/gtest.h>

using namespace pnotest;

namespace {

std::string Dump(const Bytes& frame, size_t n)
{
    const AtEnd f(frame, n);
    std::string out;
    DumpPnoFrame(out, f.data(), f.size());
    return out;
}

Bytes WithCrc(Bytes f, uint32_t crc)
{
    SetWord(f, f.size() - 4, crc);
    return f;
}

const std::string kCrcLine = "41 42 00 00 " + std::string(14, ' ') + "AB..    " + "  CRC          \r\n";

} // namespace

TEST(DumpPnoFrame, NoSensors)
{
    const Bytes f = WithCrc(PnoFrame(2, 1234, 0x200, {}), 0x4241);
    EXPECT_EQ(Dump(f, f.size()), "53 58 52 50  14 00 00 00  SXRP....  PREAMBLE          SIZE 0020\r\n"
                                 "02 00 00 00  D2 04 00 00  ........  SEUID 0002        F    1234\r\n"
                                 "00 02 00 00  00 00 00 00  ........  HPINFO 00000200   SNSCNT 00\r\n" +
                                     kCrcLine);
}

TEST(DumpPnoFrame, OneSensor)
{
    const Bytes f =
        WithCrc(PnoFrame(2, 1234, 0x200, {PlainRecord(Sfinfo(3, 0, 0, true), 1.5f, -2.25f, 3.0f, 90.0f, -45.0f, 0, 0)}),
                0x4241);
    EXPECT_EQ(Dump(f, f.size()), "53 58 52 50  34 00 00 00  SXRP4...  PREAMBLE          SIZE 0052\r\n"
                                 "02 00 00 00  D2 04 00 00  ........  SEUID 0002        F    1234\r\n"
                                 "00 02 00 00  01 00 00 00  ........  HPINFO 00000200   SNSCNT 01\r\n"
                                 "03 10 00 00  00 00 C0 3F  .......?  SFINFO 00001003     1.50000  SENSOR  3  \r\n"
                                 "00 00 10 C0  00 00 40 40  ......@@   -2.25000           3.00000\r\n"
                                 "00 00 B4 42  00 00 34 C2  ...B..4.   90.00000         -45.00000\r\n"
                                 "00 00 00 00  00 00 00 00  ........    0.00000           0.00000\r\n" +
                                     kCrcLine);
}

TEST(DumpPnoFrame, CountBeyondTheFrameIsCut)
{
    Bytes f = PnoFrame(2, 7, 0, {PlainRecord(Sfinfo(0), 1, 2, 3, 4, 5, 6, 7)});
    SetWord(f, 20, 16);
    const std::string text = Dump(f, f.size());
    EXPECT_EQ(text.substr(text.size() - 11), "Truncated\r\n");
    // Three header lines, four sensor lines, then the next record is missing.
    size_t lines = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 1))
        ++lines;
    EXPECT_EQ(lines, 8u);

    // A frame cut inside its header.
    EXPECT_EQ(Dump(f, 12), "53 58 52 50  34 00 00 00  SXRP4...  PREAMBLE          SIZE 0052\r\nTruncated\r\n");
    // A frame that ends just before its CRC word.
    const Bytes g = PnoFrame(2, 7, 0, {});
    const std::string full = Dump(g, 28);
    const std::string header = full.substr(0, full.rfind("\r\n", full.size() - 3) + 2);
    EXPECT_EQ(Dump(g, 24), header + "Truncated\r\n");
    EXPECT_EQ(Dump(g, 27), header + "Truncated\r\n");
    std::string out = "x";
    DumpPnoFrame(out, nullptr, 100);
    EXPECT_EQ(out, "xTruncated\r\n");
}
