#include <platform/FBufFormat.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Dump(const std::vector<unsigned char>& bytes, int dstLen = 4096, const char* prefix = nullptr)
{
    std::vector<char> dst(dstLen, '#');
    int n = trFormatFBuf(bytes.data(), static_cast<int>(bytes.size()), dst.data(), dstLen, prefix);
    std::string s(dst.data());
    EXPECT_EQ(static_cast<size_t>(n), s.size());
    return s;
}

std::vector<unsigned char> Range(int from, int to)
{
    std::vector<unsigned char> v;
    for (int i = from; i < to; ++i)
        v.push_back(static_cast<unsigned char>(i));
    return v;
}

} // namespace

TEST(BlockDump, TwoFullLines)
{
    EXPECT_EQ(Dump(Range(0, 16)), "00 01 02 03  04 05 06 07  ........\r\n"
                                  "08 09 0A 0B  0C 0D 0E 0F  ........\r\n");
}

TEST(BlockDump, FinalGroupsOfFourAndShorter)
{
    EXPECT_EQ(Dump({'A', 'B', 'C', 'D'}), "41 42 43 44" + std::string(15, ' ') + "ABCD\r\n");
    EXPECT_EQ(Dump({'A', 'B'}), "41 42 \r\n");
    EXPECT_EQ(Dump({}), "");
}

TEST(BlockDump, PrefixStartsEveryLine)
{
    std::vector<unsigned char> nine = {'0', '1', '2', '3', '4', '5', '6', '7', '8'};
    EXPECT_EQ(Dump(nine, 4096, "\t"), "\t30 31 32 33  34 35 36 37  01234567\r\n\t38 \r\n");
}

TEST(BlockDump, NonPrintableBytesAreDots)
{
    EXPECT_EQ(Dump({0x7F, 0x80, 0xFF, 0x20, 0x7E, 0x1F, 'z', 'Z'}), "7F 80 FF 20  7E 1F 7A 5A  ... ~.zZ\r\n");
}

TEST(BlockDump, StartsAByteOnlyWithSixteenCharactersFree)
{
    EXPECT_EQ(Dump({'A', 'B', 'C', 'D'}, 20), "41 42 ");
}

TEST(BlockDump, NeverWritesPastTheDestination)
{
    std::vector<unsigned char> data = Range(0, 256);
    for (int len = 1; len < 120; ++len) {
        for (size_t n : {size_t(3), size_t(4), size_t(8), size_t(12), data.size()}) {
            std::vector<char> dst(len + 8, '#');
            std::vector<unsigned char> src(data.begin(), data.begin() + n);
            int out = trFormatFBuf(src.data(), static_cast<int>(n), dst.data(), len, "pfx>");
            ASSERT_LT(out, len);
            ASSERT_EQ(dst[out], '\0');
            for (int k = len; k < len + 8; ++k)
                ASSERT_EQ(dst[k], '#') << "len " << len << " n " << n;
        }
    }
}
