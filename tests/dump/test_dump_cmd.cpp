#include "diag/CmdNameOverride.h"
#include "diag/FrameDump.h"

#include "../pno/PnoTestFrames.h"

#include <gtest/gtest.h>

using namespace pnotest;

namespace {

std::string Dump(const Bytes& frame, size_t n)
{
    const AtEnd f(frame, n);
    std::string out;
    DumpCmdFrame(out, f.data(), f.size());
    return out;
}

std::string Dump(const Bytes& frame)
{
    return Dump(frame, frame.size());
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t at = 0;
    for (size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at, end + 2 - at));
    if (at < text.size())
        lines.push_back(text.substr(at));
    return lines;
}

Bytes Words(std::initializer_list<uint32_t> words)
{
    Bytes b;
    for (uint32_t w : words)
        Put32(b, w);
    return b;
}

const std::string kCrcFour = "41 42 00 00 " + std::string(14, ' ') + "AB..    ";

} // namespace

TEST(DumpCmdFrame, GetRequestWithoutPayload)
{
    const Bytes f = CmdFrame(1, CMD_UNITS, CMD_ACTION_GET, 0, 0, {});
    ASSERT_EQ(f.size(), 32u);
    EXPECT_EQ(Dump(f), "53 58 52 43  18 00 00 00  SXRC....  PREAMBLE     SIZE 0024\r\n"
                       "01 00 00 00  07 00 00 00  ........  SEUID 0001   CMD_UNITS\r\n"
                       "01 00 00 00  00 00 00 00  ........  ACTION_GET   ARG1 0000\r\n"
                       "00 00 00 00  41 42 00 00  ....AB..  ARG2 0000    CRC\r\n");
}

TEST(DumpCmdFrame, UnitsResponseEndsWithTheLastPayloadWordAndCrc)
{
    const Bytes f = CmdFrame(1, CMD_UNITS, CMD_ACTION_ACK, 0, 0, Words({2, 0}));
    ASSERT_EQ(f.size(), 40u);
    EXPECT_EQ(Dump(f), "53 58 52 43  20 00 00 00  SXRC ...  PREAMBLE     SIZE 0032\r\n"
                       "01 00 00 00  07 00 00 00  ........  SEUID 0001   CMD_UNITS\r\n"
                       "03 00 00 00  00 00 00 00  ........  ACTION_ACK   ARG1 0000\r\n"
                       "00 00 00 00  02 00 00 00  ........  ARG2 0000    UNITS_CONFIG payload\r\n"
                       "00 00 00 00  41 42 00 00  ....AB..               CRC\r\n");
}

TEST(DumpCmdFrame, FourBytePayload)
{
    const Bytes f = CmdFrame(2, CMD_FRAMERATE, CMD_ACTION_ACK, 3, 0, Words({5}));
    const std::vector<std::string> lines = Lines(Dump(f));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[2], "03 00 00 00  03 00 00 00  ........  ACTION_ACK   ARG1 0003\r\n");
    EXPECT_EQ(lines[3], "00 00 00 00  05 00 00 00  ........  ARG2 0000    FRAMERATE_CONFIG 0005\r\n");
    EXPECT_EQ(lines[4], kCrcFour + "  CRC          \r\n");
}

TEST(DumpCmdFrame, PayloadBlockWithLineEnds)
{
    // 20 bytes: p - 4 = 16 is a multiple of 8: a block of 16 bytes, then the
    // CRC on its own four-byte line.
    Bytes payload;
    for (int i = 0; i < 20; ++i)
        payload.push_back(static_cast<unsigned char>('a' + i));
    const Bytes f = CmdFrame(1, CMD_FILTER, CMD_ACTION_ACK, 2, 0, payload);
    const std::vector<std::string> lines = Lines(Dump(f));
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[3], "00 00 00 00  61 62 63 64  ....abcd  ARG2 0000    FILTER_CONFIG payload\r\n");
    EXPECT_EQ(lines[4], "65 66 67 68  69 6A 6B 6C  efghijkl\r\n");
    EXPECT_EQ(lines[5], "6D 6E 6F 70  71 72 73 74  mnopqrst\r\n");
    EXPECT_EQ(lines[6], kCrcFour + "  CRC          \r\n");

    // WHOAMI: 192 bytes, p - 4 = 188: 184 bytes in 23 lines, then the last
    // payload word with the CRC.
    const Bytes w = CmdFrame(1, CMD_WHOAMI, CMD_ACTION_ACK, 0, 0, Bytes(192, 'x'));
    const std::vector<std::string> wl = Lines(Dump(w));
    ASSERT_EQ(wl.size(), 4u + 23 + 1);
    EXPECT_EQ(wl[3], "00 00 00 00  78 78 78 78  ....xxxx  ARG2 0000    WHOAMI_STRUCT payload\r\n");
    EXPECT_EQ(wl.back(), "78 78 78 78  41 42 00 00  xxxxAB..               CRC\r\n");
}

TEST(DumpCmdFrame, LongPayloadBlockIsCut)
{
    const Bytes f = CmdFrame(1, CMD_BLOCK_CFG, CMD_ACTION_ACK, 0, 0, Bytes(4596, 0x55));
    const std::vector<std::string> lines = Lines(Dump(f));
    ASSERT_EQ(lines.size(), 4u + 42 + 1 + 1);
    EXPECT_EQ(lines[4 + 41], "55 55 55 55  55 55 55 55  UUUUUUUU\r\n");
    EXPECT_EQ(lines[4 + 42], "Truncated\r\n");
    EXPECT_EQ(lines.back(), kCrcFour + "  CRC          \r\n");
}

TEST(DumpCmdFrame, SinglePnoResponse)
{
    const Bytes body = Words({1, 100, 0, 1});
    Bytes payload = body;
    const Bytes rec = PlainRecord(Sfinfo(3), 1.5f, -2.25f, 3.0f, 90.0f, -45.0f, 0.0f, 0.0f);
    payload.insert(payload.end(), rec.begin(), rec.end());
    const Bytes f = CmdFrame(1, CMD_SINGLE_PNO, CMD_ACTION_ACK, 0, 0, payload);
    ASSERT_EQ(f.size(), 80u);
    EXPECT_EQ(Dump(f), "53 58 52 43  48 00 00 00  SXRCH...  PREAMBLE     SIZE 0072\r\n"
                       "01 00 00 00  12 00 00 00  ........  SEUID 0001   CMD_SINGLE_PNO\r\n"
                       "03 00 00 00  00 00 00 00  ........  ACTION_ACK   ARG1 0000\r\n"
                       "00 00 00 00  01 00 00 00  ........  ARG2 0000    SEUPNO seuid 0001\r\n"
                       "64 00 00 00  00 00 00 00  d.......  F 100        HPINFO 00000000\r\n"
                       "01 00 00 00  03 00 00 00  ........  SNSCNT 01    SFINFO 00000003   SENSOR  3\r\n"
                       "00 00 C0 3F  00 00 10 C0  ...?....    1.50000     -2.25000   \r\n"
                       "00 00 40 40  00 00 B4 42  ..@@...B    3.00000     90.00000   \r\n"
                       "00 00 34 C2  00 00 00 00  ..4.....  -45.00000      0.00000   \r\n"
                       "00 00 00 00  41 42 00 00  ....AB..    0.00000    CRC   \r\n");

    // Without sensors the count line ends with the CRC.
    const Bytes empty = CmdFrame(1, CMD_SINGLE_PNO, CMD_ACTION_ACK, 0, 0, Words({1, 100, 0, 0}));
    const std::vector<std::string> lines = Lines(Dump(empty));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[5], "00 00 00 00  41 42 00 00  ....AB..  SNSCNT 00     CRC\r\n");
}

TEST(DumpCmdFrame, SinglePnoWithMoreSensorsThanTheFrameHolds)
{
    Bytes payload = Words({1, 100, 0, 2}); // claims two records, carries one
    const Bytes rec = PlainRecord(Sfinfo(3), 1, 2, 3, 4, 5, 6, 7);
    payload.insert(payload.end(), rec.begin(), rec.end());
    const std::vector<std::string> lines = Lines(Dump(CmdFrame(1, CMD_SINGLE_PNO, CMD_ACTION_ACK, 0, 0, payload)));
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[9], "00 00 E0 40  41 42 00 00  ...@AB..    7.00000    SFINFO 00004241   SENSOR  65\r\n");
    EXPECT_EQ(lines[10], "Truncated\r\n");
}

TEST(DumpCmdFrame, ShortAndUndefinedFrames)
{
    const Bytes f = CmdFrame(1, CMD_UNITS, CMD_ACTION_GET, 0, 0, {});
    EXPECT_EQ(Dump(f, 20), "53 58 52 43  18 00 00 00  SXRC....  PREAMBLE     SIZE 0024\r\n"
                           "01 00 00 00  07 00 00 00  ........  SEUID 0001   CMD_UNITS\r\n"
                           "Truncated\r\n");
    EXPECT_EQ(Dump(f, 31).substr(Dump(f, 31).size() - 11), "Truncated\r\n");
    EXPECT_EQ(Dump(f, 7), "Truncated\r\n");
    EXPECT_EQ(Dump(f, 0), "Truncated\r\n");
    std::string out;
    DumpCmdFrame(out, nullptr, 40);
    EXPECT_EQ(out, "Truncated\r\n");

    // An undefined command takes its payload size from the length: 5 bytes,
    // no block, and the last eight bytes with the CRC.
    const Bytes u = CmdFrame(1, 45, CMD_ACTION_ACK, 0, 0, Bytes{'v', 'w', 'x', 'y', 'z'});
    const std::vector<std::string> lines = Lines(Dump(u));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1], "01 00 00 00  2D 00 00 00  ....-...  SEUID 0001   undefined_cmd\r\n");
    EXPECT_EQ(lines[3], "00 00 00 00  76 77 78 79  ....vwxy  ARG2 0000    undefined_cmd payload\r\n");
    EXPECT_EQ(lines[4], "77 78 79 7A  41 42 00 00  wxyzAB..               CRC\r\n");

    // A catalogued command whose frame is shorter than its payload: no payload.
    const Bytes cut = CmdFrame(1, CMD_WHOAMI, CMD_ACTION_ACK, 0, 0, Bytes(100, 'x'));
    EXPECT_EQ(Lines(Dump(cut)).back(), "00 00 00 00  78 78 78 78  ....xxxx  ARG2 0000    CRC\r\n");
}

TEST(DumpCmdFrame, UnknownActionAndLongArguments)
{
    const Bytes f = CmdFrame(12345, CMD_UNITS, 9, 77777, 0xFFFFFFFF, {});
    const std::vector<std::string> lines = Lines(Dump(f));
    EXPECT_EQ(lines[1], "39 30 00 00  07 00 00 00  90......  SEUID 12345   CMD_UNITS\r\n");
    EXPECT_EQ(lines[2], "09 00 00 00  D1 2F 01 00  ...../..  undefined_action  ARG1 77777\r\n");
    EXPECT_EQ(lines[3], "FF FF FF FF  41 42 00 00  ....AB..  ARG2 -001    CRC\r\n");
}

namespace {
const char* FixedName(unsigned int)
{
    return "OVERRIDDEN";
}
const char* NoName(unsigned int)
{
    return nullptr;
}
} // namespace

TEST(DumpCmdFrame, CommandNameOverride)
{
    const Bytes f = CmdFrame(1, CMD_FRAMERATE, CMD_ACTION_ACK, 0, 0, Words({5}));
    sxctx::SetCmdNameOverride(FixedName);
    const std::vector<std::string> lines = Lines(Dump(f));
    sxctx::ClearCmdNameOverride();
    EXPECT_EQ(lines[1], "01 00 00 00  06 00 00 00  ........  SEUID 0001   OVERRIDDEN\r\n");
    EXPECT_EQ(lines[2].substr(34), "  ACTION_ACK   ARG1 0000\r\n");
    EXPECT_EQ(lines[3].substr(34), "  ARG2 0000    FRAMERATE_CONFIG 0005\r\n");

    sxctx::SetCmdNameOverride(NoName); // no text: the catalogue's name
    const std::vector<std::string> again = Lines(Dump(f));
    sxctx::ClearCmdNameOverride();
    EXPECT_EQ(again[1].substr(34), "  SEUID 0001   CMD_FRAMERATE\r\n");
    EXPECT_EQ(Lines(Dump(f))[1].substr(34), "  SEUID 0001   CMD_FRAMERATE\r\n");
}
