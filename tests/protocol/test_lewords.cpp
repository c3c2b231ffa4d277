// Little-endian fields at every byte offset.
#include "sxwire/LEWords.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(LEWords, ReadsAndWritesAtAnyOffset)
{
    for (int off = 0; off < 8; ++off) {
        unsigned char buf[24] = {};
        sxwire::PutLE32(buf + off, 0x11223344u);
        EXPECT_EQ(buf[off], 0x44);
        EXPECT_EQ(buf[off + 1], 0x33);
        EXPECT_EQ(buf[off + 2], 0x22);
        EXPECT_EQ(buf[off + 3], 0x11);
        EXPECT_EQ(sxwire::GetLE32(buf + off), 0x11223344u);
        // Nothing around the field is touched.
        for (int i = 0; i < 24; ++i) {
            if (i < off || i >= off + 4) {
                EXPECT_EQ(buf[i], 0) << off << ":" << i;
            }
        }

        std::memset(buf, 0, sizeof buf);
        sxwire::PutLE16(buf + off, 0xA1B2);
        EXPECT_EQ(buf[off], 0xB2);
        EXPECT_EQ(buf[off + 1], 0xA1);
        EXPECT_EQ(sxwire::GetLE16(buf + off), 0xA1B2);

        sxwire::PutLE64(buf + off, 0x0102030405060708ull);
        EXPECT_EQ(buf[off], 0x08);
        EXPECT_EQ(buf[off + 7], 0x01);
        EXPECT_EQ(sxwire::GetLE64(buf + off), 0x0102030405060708ull);
    }
}

TEST(LEWords, SignedAndFloat)
{
    unsigned char buf[7] = {};
    sxwire::PutLEI16(buf + 1, -16384);
    EXPECT_EQ(buf[1], 0x00);
    EXPECT_EQ(buf[2], 0xC0);
    EXPECT_EQ(sxwire::GetLEI16(buf + 1), -16384);
    sxwire::PutLEF32(buf + 3, 1.0f); // 0x3F800000
    EXPECT_EQ(buf[3], 0x00);
    EXPECT_EQ(buf[4], 0x00);
    EXPECT_EQ(buf[5], 0x80);
    EXPECT_EQ(buf[6], 0x3F);
    EXPECT_EQ(sxwire::GetLEF32(buf + 3), 1.0f);
}

} // namespace
