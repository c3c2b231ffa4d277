#include "diag/FrameDump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<unsigned char> Range(int from, int to)
{
    std::vector<unsigned char> v;
    for (int i = from; i < to; ++i)
        v.push_back(static_cast<unsigned char>(i));
    return v;
}

size_t Count(const std::string& s, const std::string& what)
{
    size_t n = 0;
    for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1))
        ++n;
    return n;
}

} // namespace

TEST(HexLines, FullChunk)
{
    const unsigned char b[8] = {0x41, 0x42, 0x43, 0x44, 0, 0, 0, 0};
    EXPECT_EQ(HexLines(b, 8, false, 1536), "41 42 43 44  00 00 00 00  ABCD....");
    EXPECT_EQ(HexLines(b, 8, true, 1536), "41 42 43 44  00 00 00 00  ABCD....\r\n");
}

TEST(HexLines, ShortChunks)
{
    const unsigned char b[6] = {'A', 'B', 'C', 'D', 'E', 'F'};
    // Four bytes: twelve blanks for the second group, four after the text.
    EXPECT_EQ(HexLines(b, 4, false, 1536), "41 42 43 44 " + std::string(14, ' ') + "ABCD    ");
    EXPECT_EQ(HexLines(b, 2, false, 1536), "41 42 " + std::string(14, ' ') + "AB      ");
    // Six bytes: the second group has what there is; the padding follows the
    // line end.
    EXPECT_EQ(HexLines(b, 6, true, 1536), "41 42 43 44  45 46  ABCDEF\r\n  ");
    EXPECT_EQ(HexLines(b, 0, true, 1536), "");
    EXPECT_EQ(HexLines(nullptr, 8, true, 1536), "");
}

TEST(HexLines, CharacterColumn)
{
    const unsigned char b[8] = {0x1F, 0x20, 0x7E, 0x7F, 0x80, 0xFF, 'z', 0x00};
    EXPECT_EQ(HexLines(b, 8, false, 0), "1F 20 7E 7F  80 FF 7A 00  . ~...z.");
}

TEST(HexLines, LimitCutsBlocksWithLineEndsAfter42Lines)
{
    const std::vector<unsigned char> data = Range(0, 400);
    const std::string text = HexLines(data.data(), 400, true, 1536);
    EXPECT_EQ(Count(text, "\r\n"), 43u);
    EXPECT_EQ(text.size(), 42u * 36 + 11);
    EXPECT_EQ(text.substr(text.size() - 11), "Truncated\r\n");
    EXPECT_EQ(text.substr(41 * 36, 36), "48 49 4A 4B  4C 4D 4E 4F  HIJKLMNO\r\n");

    // Exactly 42 chunks fit without the cut.
    EXPECT_EQ(HexLines(data.data(), 336, true, 1536).find("Truncated"), std::string::npos);
    EXPECT_NE(HexLines(data.data(), 337, true, 1536).find("Truncated"), std::string::npos);
}

TEST(HexLines, LimitWithoutLineEndsCountsThirtyFourPerChunk)
{
    const std::vector<unsigned char> data = Range(0, 400);
    EXPECT_EQ(HexLines(data.data(), 360, false, 1536).find("Truncated"), std::string::npos);
    const std::string text = HexLines(data.data(), 368, false, 1536);
    EXPECT_EQ(text.size(), 45u * 34 + 11);
    EXPECT_EQ(text.substr(text.size() - 11), "Truncated\r\n");
    // Limit 0: no cut at all.
    EXPECT_EQ(HexLines(data.data(), 400, true, 0).size(), 50u * 36);
}
