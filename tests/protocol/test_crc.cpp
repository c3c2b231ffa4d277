// The table-driven range CRC against the per-byte step, on every length and
// alignment a frame can have.
#include <SXCmdIF/protocol/SXcmd.h>

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

unsigned ByteByByte(const unsigned char* p, unsigned n)
{
    unsigned acc = 0;
    for (unsigned i = 0; i < n; ++i)
        CSXcmd::crc16(&acc, p[i]);
    return acc;
}

TEST(CrcTable, CheckValue)
{
    const unsigned char digits[] = "123456789";
    EXPECT_EQ(CSXcmd::CalcCRC_Bytes(digits, 9), 0xBB3Du);
    EXPECT_EQ(ByteByByte(digits, 9), 0xBB3Du);
}

TEST(CrcTable, EveryLengthUpTo1024MatchesTheByteStep)
{
    std::mt19937 rng(20240611);
    std::vector<unsigned char> data(1024 + 16);
    for (int round = 0; round < 4; ++round) {
        for (auto& b : data)
            b = static_cast<unsigned char>(rng());
        // A different start each round: frames sit at any offset in a store.
        const unsigned char* p = data.data() + (round * 5) % 16;
        for (unsigned n = 0; n <= 1024; ++n) {
            const unsigned c = CSXcmd::CalcCRC_Bytes(p, n);
            ASSERT_EQ(c, ByteByByte(p, n)) << "length " << n << ", round " << round;
            ASSERT_LT(c, 0x10000u);
        }
    }
}

TEST(CrcTable, AllZeroAndAllOnes)
{
    for (unsigned char fill : {0x00, 0xFF}) {
        const std::vector<unsigned char> data(1024, fill);
        for (unsigned n : {0u, 1u, 7u, 8u, 15u, 16u, 17u, 31u, 32u, 540u, 1024u})
            EXPECT_EQ(CSXcmd::CalcCRC_Bytes(data.data(), n), ByteByByte(data.data(), n)) << n;
    }
}

} // namespace
