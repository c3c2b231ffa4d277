// Command frames to the byte, the CRC, and every limit of the receive checks.
#include <SXCmdIF/protocol/SXcmd.h>
#include <SXCmdIF/protocol/SXusbIds.h>

#include "sxwire/LEWords.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// Bit by bit CRC-16/ARC, independent of the nibble method under test.
unsigned RefCrc(const unsigned char* p, size_t n)
{
    unsigned c = 0;
    for (size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int b = 0; b < 8; ++b)
            c = (c & 1) ? (c >> 1) ^ 0xA001u : c >> 1;
    }
    return c;
}

Bytes Prepared(const CSXcmd& c, size_t offset = 0)
{
    std::vector<unsigned char> buf(offset + 8192, 0xEE);
    int len = -1;
    const int r = c.Prepare(buf.data() + offset, len);
    EXPECT_EQ(r, len);
    EXPECT_GE(len, 32);
    // Nothing past the frame is written.
    for (size_t i = offset + static_cast<size_t>(len); i < buf.size(); ++i)
        if (buf[i] != 0xEE)
            ADD_FAILURE() << "byte " << i << " written";
    return Bytes(buf.begin() + static_cast<long>(offset), buf.begin() + static_cast<long>(offset) + len);
}

// ---- CRC ------------------------------------------------------------------

TEST(Crc, CheckValue)
{
    const unsigned char digits[] = "123456789";
    EXPECT_EQ(CSXcmd::CalcCRC_Bytes(digits, 9), 0xBB3Du);
    unsigned char stored[4];
    sxwire::PutLE32(stored, CSXcmd::CalcCRC_Bytes(digits, 9));
    EXPECT_EQ(stored[0], 0x3D);
    EXPECT_EQ(stored[1], 0xBB);
    EXPECT_EQ(stored[2], 0x00);
    EXPECT_EQ(stored[3], 0x00);
    const unsigned char a[] = "A";
    EXPECT_EQ(CSXcmd::CalcCRC_Bytes(a, 1), 0x30C0u);
    EXPECT_EQ(CSXcmd::CalcCRC_Bytes(digits, 0), 0u);
}

TEST(Crc, ByteStepsMatchTheRange)
{
    const unsigned char digits[] = "123456789";
    unsigned acc = 0;
    for (int i = 0; i < 9; ++i)
        CSXcmd::crc16(&acc, digits[i]);
    EXPECT_EQ(acc, 0xBB3Du);
}

TEST(Crc, AgreesWithBitwiseReferenceAndStaysBelow16Bits)
{
    std::mt19937 rng(7);
    Bytes data(1100);
    for (auto& b : data)
        b = static_cast<unsigned char>(rng());
    for (unsigned n : {1u, 2u, 3u, 28u, 31u, 32u, 255u, 256u, 540u, 1024u, 1100u}) {
        const unsigned c = CSXcmd::CalcCRC_Bytes(data.data(), n);
        EXPECT_EQ(c, RefCrc(data.data(), n)) << n;
        EXPECT_LT(c, 0x10000u);
    }
    for (int v = 0; v < 256; ++v) {
        const unsigned char b = static_cast<unsigned char>(v);
        EXPECT_EQ(CSXcmd::CalcCRC_Bytes(&b, 1), RefCrc(&b, 1)) << v;
    }
}

// ---- Building and preparing ---------------------------------------------

TEST(Prepare, GetFrameBytes)
{
    CSXcmd c;
    c.Fill(0x1234, CMD_UNITS, CMD_ACTION_GET, 0, 0, nullptr, 0);
    const Bytes expected = {0x53, 0x58, 0x52, 0x43, 0x18, 0x00, 0x00, 0x00, 0x34, 0x12, 0x00,
                            0x00, 0x07, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
                            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x6E, 0x62, 0x00, 0x00};
    EXPECT_EQ(Prepared(c), expected);
    // Frames sit at any offset: the same bytes there.
    EXPECT_EQ(Prepared(c, 1), expected);
    EXPECT_EQ(Prepared(c, 3), expected);
    EXPECT_EQ(c.FrameLen(), 32u);
}

TEST(Prepare, GetIgnoresThePayloadPointer)
{
    CSXcmd c;
    // A pointer that would crash if it were read.
    const void* never = reinterpret_cast<const void*>(static_cast<uintptr_t>(0x10));
    c.Fill(0x1234, CMD_UNITS, CMD_ACTION_GET, 0, 0, never, 8);
    EXPECT_EQ(c.pPayload, nullptr);
    EXPECT_EQ(c.payloadSize, 0u);
    EXPECT_EQ(c.hdr.size, 24u);
    const Bytes f = Prepared(c);
    EXPECT_EQ(f.size(), 32u);
    EXPECT_EQ(sxwire::GetLE32(&f[4]), 24u);
    // RESET ignores it likewise.
    CSXcmd r;
    r.Fill(1, CMD_FILTER, CMD_ACTION_RESET, 2, 0, never, 20);
    EXPECT_EQ(Prepared(r).size(), 32u);
}

TEST(Prepare, SetFrameBytes)
{
    const unsigned char units[8] = {2, 0, 0, 0, 1, 0, 0, 0}; // POS_CM, ORI_EULER_RADIAN
    CSXcmd c(SX_PREAMBLE_CMD);
    c.Fill(0x1234, CMD_UNITS, CMD_ACTION_SET, 0, 0, units, 8);
    const Bytes expected = {0x53, 0x58, 0x52, 0x43, 0x20, 0x00, 0x00, 0x00, 0x34, 0x12, 0x00, 0x00, 0x07, 0x00,
                            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                            0x02, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x66, 0xF6, 0x00, 0x00};
    EXPECT_EQ(Prepared(c), expected);
    EXPECT_EQ(Prepared(c, 5), expected);
}

TEST(Prepare, SensorSetWithSixteenBytePayload)
{
    // bf 1, vector (0, -1, 0.5) as little-endian floats.
    unsigned char hem[16];
    sxwire::PutLE32(hem, 1);
    sxwire::PutLEF32(hem + 4, 0.0f);
    sxwire::PutLEF32(hem + 8, -1.0f);
    sxwire::PutLEF32(hem + 12, 0.5f);
    CSXcmd c;
    c.Fill(7, CMD_HEMISPHERE, CMD_ACTION_SET, 3, 0, hem, 16);
    const Bytes expected = {0x53, 0x58, 0x52, 0x43, 0x28, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00,
                            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00,
                            0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                            0x00, 0x00, 0x80, 0xBF, 0x00, 0x00, 0x00, 0x3F, 0xAC, 0x7A, 0x00, 0x00};
    const Bytes f = Prepared(c);
    EXPECT_EQ(f, expected);
    EXPECT_EQ(sxwire::GetLE32(&f[4]), 40u);
    EXPECT_EQ(f.size(), 48u);
    EXPECT_EQ(sxwire::GetLE32(&f[44]), CSXcmd::CalcCRC_Bytes(f.data(), 44));
}

TEST(Prepare, TagDeviceFrameBytes)
{
    CSXcmd c;
    c.Fill(0xABCDEF01u, CMD_FILTER, CMD_ACTION_RESET, static_cast<unsigned>(-1), 5, nullptr, 0);
    c.sx2tag();
    const Bytes expected = {0x51, 0x37, 0x42, 0x43, 0x18, 0x00, 0x00, 0x00, 0x01, 0xEF, 0xCD,
                            0xAB, 0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0xFF, 0xFF,
                            0xFF, 0xFF, 0x05, 0x00, 0x00, 0x00, 0x4C, 0x06, 0x00, 0x00};
    EXPECT_EQ(Prepared(c), expected);
    EXPECT_EQ(c.hdr.preamble, Q7_PREAMBLE_CMD);
}

TEST(Prepare, EveryCataloguedSetFrameHasItsFrameSize)
{
    std::vector<unsigned char> payload(5000, 0x5A);
    for (unsigned i = 0; i < 40; ++i) {
        const auto cmd = static_cast<eSorixCmds>(i);
        const unsigned n = static_cast<unsigned>(CSXcmd::paysize(cmd));
        CSXcmd c;
        c.Fill(1, i, CMD_ACTION_SET, 0, 0, payload.data(), n);
        const Bytes f = Prepared(c);
        EXPECT_EQ(f.size(), CSXcmd::framesize(cmd)) << i;
        EXPECT_EQ(sxwire::GetLE32(&f[4]), 24 + n) << i;
        EXPECT_TRUE(CSXcmd::ValidateCRCN(f.data(), static_cast<unsigned>(f.size()))) << i;
    }
}

TEST(Prepare, PreparingLeavesTheCommandAsItWas)
{
    const unsigned char word[4] = {1, 2, 3, 4};
    CSXcmd c;
    c.Fill(9, CMD_FRAMERATE, CMD_ACTION_SET, 0, 0, word, 4);
    const _SEUCMD_HDR before = c.hdr;
    const Bytes a = Prepared(c);
    const Bytes b = Prepared(c, 2);
    EXPECT_EQ(a, b);
    EXPECT_EQ(std::memcmp(&before, &c.hdr, sizeof before), 0);
    EXPECT_EQ(c.pPayload, word);
    EXPECT_EQ(c.payloadSize, 4u);
}

TEST(Prepare, BoundedFormRefusesWhatDoesNotFitOrDisagrees)
{
    unsigned char payload[16] = {};
    unsigned char buf[64];
    CSXcmd c;
    c.Fill(1, CMD_HEMISPHERE, CMD_ACTION_SET, 0, 0, payload, 16);
    int len = -1;
    std::memset(buf, 0xEE, sizeof buf);
    EXPECT_EQ(c.Prepare(buf, len, 47), 0);
    EXPECT_EQ(len, 0);
    for (unsigned char b : buf)
        EXPECT_EQ(b, 0xEE);
    EXPECT_EQ(c.Prepare(buf, len, 48), 48);
    EXPECT_EQ(len, 48);
    EXPECT_EQ(c.Prepare(nullptr, len, 48), 0);

    // A SET whose payload pointer is missing would announce bytes it does not send.
    CSXcmd missing;
    missing.Fill(1, CMD_UNITS, CMD_ACTION_SET, 0, 0, nullptr, 8);
    EXPECT_EQ(missing.hdr.size, 32u);
    EXPECT_EQ(missing.Prepare(buf, len, 64), 0);
    EXPECT_EQ(len, 0);

    // A copy of a SET keeps the header's size but not the payload.
    CSXcmd copy(c);
    EXPECT_EQ(copy.Prepare(buf, len, 64), 0);

    // A frame longer than the buffer the context prepares into.
    std::vector<unsigned char> big(4596);
    CSXcmd block;
    block.Fill(1, CMD_BLOCK_CFG, CMD_ACTION_SET, 0, 0, big.data(), 4596);
    std::vector<unsigned char> tx(2048);
    EXPECT_EQ(block.Prepare(tx.data(), len, 2048), 0);
    EXPECT_EQ(block.FrameLen(), 4628u);
}

TEST(Command, InitFillAndHeaderWords)
{
    CSXcmd c(0x11223344u);
    EXPECT_EQ(c.hdr.preamble, 0x11223344u);
    EXPECT_EQ(c.hdr.size, 24u);
    EXPECT_EQ(c.pPayload, nullptr);
    EXPECT_EQ(c.payloadSize, 0u);
    const unsigned char p[4] = {};
    c.Fill(5, CMD_STYLUS, CMD_ACTION_SET, 6, 7, p, 4);
    EXPECT_EQ(c.Seu(), 5u);
    EXPECT_EQ(c.Cmd(), static_cast<unsigned>(CMD_STYLUS));
    EXPECT_EQ(c.Act(), 0u);
    EXPECT_EQ(c.Arg1(), 6u);
    EXPECT_EQ(c.SnsArg(), 6u);
    EXPECT_EQ(&c.SnsArg(), &c.Arg1());
    EXPECT_EQ(c.Arg2(), 7u);
    EXPECT_EQ(c.ECmd(), CMD_STYLUS);
    EXPECT_EQ(c.EAct(), CMD_ACTION_SET);
    EXPECT_EQ(c.hdr.size, 28u);
    // Fill adds to size: a second Fill without Init grows it again.
    c.Fill(5, CMD_STYLUS, CMD_ACTION_SET, 6, 7, p, 4);
    EXPECT_EQ(c.hdr.size, 32u);
    // Init keeps the other words.
    c.Init(SX_PREAMBLE_CMD);
    EXPECT_EQ(c.hdr.size, 24u);
    EXPECT_EQ(c.pPayload, nullptr);
    EXPECT_EQ(c.Seu(), 5u);
    EXPECT_EQ(c.Arg2(), 7u);
    c.Seu() = 99;
    EXPECT_EQ(c.hdr.seuid, 99u);
    _SEUCMD_HDR* h = c;
    EXPECT_EQ(static_cast<void*>(h), static_cast<void*>(&c));
    CSXcmd other;
    EXPECT_EQ(c(other), &other);
    const CSXcmd& cc = c;
    EXPECT_EQ(cc(other), &other);
}

TEST(Command, ActionPredicates)
{
    CSXcmd c;
    bool (CSXcmd::*preds[])() const = {&CSXcmd::IsSet, &CSXcmd::IsGet, &CSXcmd::IsReset,
                                       &CSXcmd::IsAck, &CSXcmd::IsNak, &CSXcmd::IsNakWarning};
    for (unsigned a = 0; a < 7; ++a) {
        c.Act() = a;
        for (unsigned p = 0; p < 6; ++p)
            EXPECT_EQ((c.*preds[p])(), a == p) << a << " " << p;
    }
}

TEST(Command, CopiesCarryTheHeaderOnly)
{
    const unsigned char a[8] = {};
    const unsigned char b[4] = {};
    CSXcmd src;
    src.Fill(1, CMD_UNITS, CMD_ACTION_SET, 2, 3, a, 8);
    CSXcmd copy(src);
    EXPECT_EQ(std::memcmp(&copy.hdr, &src.hdr, 28), 0);
    EXPECT_EQ(copy.pPayload, nullptr);
    EXPECT_EQ(copy.payloadSize, 0u);

    CSXcmd assigned;
    assigned.Fill(9, CMD_FRAMERATE, CMD_ACTION_SET, 0, 0, b, 4);
    assigned = src;
    EXPECT_EQ(std::memcmp(&assigned.hdr, &src.hdr, 28), 0);
    EXPECT_EQ(assigned.pPayload, b);
    EXPECT_EQ(assigned.payloadSize, 4u);
}

// ---- Receive checks ---------------------------------------------------------

// A frame in a heap block of exactly its length, so any read past it is caught.
struct Frame {
    std::unique_ptr<unsigned char[]> bytes;
    unsigned len;
    Frame(uint32_t pre, uint32_t size, unsigned len_) : bytes(new unsigned char[len_]()), len(len_)
    {
        if (len >= 4)
            sxwire::PutLE32(bytes.get(), pre);
        if (len >= 8)
            sxwire::PutLE32(bytes.get() + 4, size);
    }
    // A whole frame of the size given, with its CRC.
    static Frame Whole(uint32_t pre, uint32_t size)
    {
        Frame f(pre, size, size + 8);
        for (unsigned i = 8; i < size + 4; ++i)
            f.bytes[i] = static_cast<unsigned char>(i * 13);
        sxwire::PutLE32(f.bytes.get() + size + 4, CSXcmd::CalcCRC_Bytes(f.bytes.get(), size + 4));
        return f;
    }
    const unsigned* words() const { return reinterpret_cast<const unsigned*>(bytes.get()); }
    unsigned char* p() const { return bytes.get(); }
};

TEST(Validate, PnoSizeLimits)
{
    for (uint32_t size : {19u, 20u, 532u, 533u, 0u, 0xFFFFFFFFu}) {
        const bool ok = size >= 20 && size <= 532;
        Frame hdr(SX_PREAMBLE_PNO, size, 8);
        EXPECT_EQ(CSXcmd::ValidateSize(hdr.words(), SX_PREAMBLE_CMD, SX_PREAMBLE_PNO), ok) << size;
        EXPECT_EQ(CSXcmd::ValidateLeader(hdr.p(), SX_PREAMBLE_CMD, SX_PREAMBLE_PNO), ok) << size;
    }
}

TEST(Validate, CommandSizeLimits)
{
    for (uint32_t size : {0u, 23u, 24u, 1000u, 0xFFFFFFF7u, 0xFFFFFFF8u, 0xFFFFFFFFu}) {
        const bool ok = size >= 24 && size <= 0xFFFFFFF7u;
        Frame hdr(SX_PREAMBLE_CMD, size, 8);
        EXPECT_EQ(CSXcmd::ValidateSize(hdr.words(), SX_PREAMBLE_CMD, SX_PREAMBLE_PNO), ok) << size;
        EXPECT_EQ(CSXcmd::ValidateLeader(hdr.p(), SX_PREAMBLE_CMD, SX_PREAMBLE_PNO), ok) << size;
    }
}

TEST(Validate, SizeAndLeaderFollowThePreamblesGiven)
{
    // A tag device's preambles: the tracker's own do not count.
    Frame tagPno(Q7_PREAMBLE_PNO, 532, 8);
    Frame tagCmd(Q7_PREAMBLE_CMD, 4000, 8);
    Frame sxPno(SX_PREAMBLE_PNO, 100, 8);
    EXPECT_TRUE(CSXcmd::ValidateSize(tagPno.words(), Q7_PREAMBLE_CMD, Q7_PREAMBLE_PNO));
    EXPECT_TRUE(CSXcmd::ValidateSize(tagCmd.words(), Q7_PREAMBLE_CMD, Q7_PREAMBLE_PNO));
    EXPECT_FALSE(CSXcmd::ValidateSize(sxPno.words(), Q7_PREAMBLE_CMD, Q7_PREAMBLE_PNO));
    EXPECT_FALSE(CSXcmd::ValidateLeader(sxPno.p(), Q7_PREAMBLE_CMD, Q7_PREAMBLE_PNO));
    // A P&O size above 532 is still a good command size.
    Frame big(SX_PREAMBLE_CMD, 533, 8);
    EXPECT_TRUE(CSXcmd::ValidateLeader(big.p(), SX_PREAMBLE_CMD, SX_PREAMBLE_PNO));
    EXPECT_FALSE(CSXcmd::ValidateLeader(nullptr, SX_PREAMBLE_CMD, SX_PREAMBLE_PNO));
    EXPECT_FALSE(CSXcmd::ValidateSize(nullptr, SX_PREAMBLE_CMD, SX_PREAMBLE_PNO));
}

TEST(Validate, Preamble)
{
    Frame cmd(SX_PREAMBLE_CMD, 24, 8), pno(SX_PREAMBLE_PNO, 20, 8), other(SXPreambleWord('S', 'X', 'R', 'X'), 24, 8);
    EXPECT_TRUE(CSXcmd::ValidatePreamble(cmd.words(), SX_PREAMBLE_CMD, SX_PREAMBLE_PNO));
    EXPECT_TRUE(CSXcmd::ValidatePreamble(pno.words(), SX_PREAMBLE_CMD, SX_PREAMBLE_PNO));
    EXPECT_FALSE(CSXcmd::ValidatePreamble(other.words(), SX_PREAMBLE_CMD, SX_PREAMBLE_PNO));
    EXPECT_FALSE(CSXcmd::ValidatePreamble(cmd.words(), Q7_PREAMBLE_CMD, Q7_PREAMBLE_PNO));
    EXPECT_FALSE(CSXcmd::ValidatePreamble(nullptr, SX_PREAMBLE_CMD, SX_PREAMBLE_PNO));
    EXPECT_EQ(cmd.p()[0], 'S');
    EXPECT_EQ(cmd.p()[1], 'X');
    EXPECT_EQ(cmd.p()[2], 'R');
    EXPECT_EQ(cmd.p()[3], 'C');
    EXPECT_EQ(SX_PREAMBLE_PNO, 0x50525853u);
    EXPECT_EQ(Q7_PREAMBLE_CMD, 0x43423751u);
    EXPECT_EQ(Q7_PREAMBLE_PNO, 0x50423751u);
}

TEST(Validate, Crc)
{
    Frame f = Frame::Whole(SX_PREAMBLE_PNO, 532);
    EXPECT_TRUE(CSXcmd::ValidateCRC(f.p()));
    EXPECT_TRUE(CSXcmd::ValidateCRCN(f.p(), f.len));
    f.p()[300] ^= 0x01;
    EXPECT_FALSE(CSXcmd::ValidateCRC(f.p()));
    f.p()[300] ^= 0x01;
    // The whole 32-bit word is compared: a non-zero high half fails.
    f.p()[f.len - 1] = 0x01;
    EXPECT_FALSE(CSXcmd::ValidateCRC(f.p()));
    EXPECT_FALSE(CSXcmd::ValidateCRC(nullptr));
    // size 0: false without reading past the two words.
    Frame zero(SX_PREAMBLE_CMD, 0, 8);
    EXPECT_FALSE(CSXcmd::ValidateCRC(zero.p()));
    Frame smallest = Frame::Whole(SX_PREAMBLE_CMD, 24);
    EXPECT_TRUE(CSXcmd::ValidateCRC(smallest.p()));
}

TEST(Validate, CrcAtAnyOffset)
{
    Frame f = Frame::Whole(SX_PREAMBLE_PNO, 100);
    for (size_t off = 0; off < 4; ++off) {
        std::vector<unsigned char> buf(off + f.len);
        std::memcpy(buf.data() + off, f.p(), f.len);
        EXPECT_TRUE(CSXcmd::ValidateCRC(buf.data() + off)) << off;
        EXPECT_TRUE(CSXcmd::ValidateSizeN(buf.data() + off, f.len, SX_PREAMBLE_CMD, SX_PREAMBLE_PNO)) << off;
    }
}

TEST(Validate, BoundedChecksNeverReadPastTheBytesReceived)
{
    // A command header announcing 4 GB, received as 8 bytes.
    Frame huge(SX_PREAMBLE_CMD, 0xFFFFFFF7u, 8);
    EXPECT_TRUE(CSXcmd::ValidateSize(huge.words(), SX_PREAMBLE_CMD, SX_PREAMBLE_PNO));
    EXPECT_FALSE(CSXcmd::ValidateSizeN(huge.p(), huge.len, SX_PREAMBLE_CMD, SX_PREAMBLE_PNO));
    EXPECT_FALSE(CSXcmd::ValidateCRCN(huge.p(), huge.len));
    EXPECT_FALSE(CSXcmd::ValidateLeaderN(huge.p(), huge.len, SX_PREAMBLE_CMD, SX_PREAMBLE_PNO));

    Frame f = Frame::Whole(SX_PREAMBLE_PNO, 532);
    EXPECT_TRUE(CSXcmd::ValidateSizeN(f.p(), 540, SX_PREAMBLE_CMD, SX_PREAMBLE_PNO));
    EXPECT_TRUE(CSXcmd::ValidateLeaderN(f.p(), 540, SX_PREAMBLE_CMD, SX_PREAMBLE_PNO));
    EXPECT_TRUE(CSXcmd::ValidateCRCN(f.p(), 540));
    EXPECT_FALSE(CSXcmd::ValidateSizeN(f.p(), 539, SX_PREAMBLE_CMD, SX_PREAMBLE_PNO));
    EXPECT_FALSE(CSXcmd::ValidateCRCN(f.p(), 539));
    EXPECT_FALSE(CSXcmd::ValidateLeaderN(f.p(), 539, SX_PREAMBLE_CMD, SX_PREAMBLE_PNO));
    // Trailing bytes beyond the frame are allowed.
    EXPECT_TRUE(CSXcmd::ValidateCRCN(f.p(), 540));

    Frame shortFrame(SX_PREAMBLE_PNO, 20, 7);
    EXPECT_TRUE(CSXcmd::ValidatePreambleN(shortFrame.p(), 7, SX_PREAMBLE_CMD, SX_PREAMBLE_PNO));
    EXPECT_FALSE(CSXcmd::ValidatePreambleN(shortFrame.p(), 3, SX_PREAMBLE_CMD, SX_PREAMBLE_PNO));
    EXPECT_FALSE(CSXcmd::ValidateSizeN(shortFrame.p(), 7, SX_PREAMBLE_CMD, SX_PREAMBLE_PNO));
    EXPECT_FALSE(CSXcmd::ValidateCRCN(shortFrame.p(), 7));
    EXPECT_FALSE(CSXcmd::ValidatePreambleN(nullptr, 100, SX_PREAMBLE_CMD, SX_PREAMBLE_PNO));
    EXPECT_FALSE(CSXcmd::ValidateCRCN(nullptr, 100));

    Frame zero(SX_PREAMBLE_CMD, 0, 8);
    EXPECT_FALSE(CSXcmd::ValidateCRCN(zero.p(), 8));
    // The limits still hold on the bounded form.
    Frame p19 = Frame::Whole(SX_PREAMBLE_PNO, 19), p533 = Frame::Whole(SX_PREAMBLE_PNO, 533);
    Frame c23 = Frame::Whole(SX_PREAMBLE_CMD, 23), c24 = Frame::Whole(SX_PREAMBLE_CMD, 24);
    EXPECT_FALSE(CSXcmd::ValidateSizeN(p19.p(), p19.len, SX_PREAMBLE_CMD, SX_PREAMBLE_PNO));
    EXPECT_FALSE(CSXcmd::ValidateSizeN(p533.p(), p533.len, SX_PREAMBLE_CMD, SX_PREAMBLE_PNO));
    EXPECT_FALSE(CSXcmd::ValidateSizeN(c23.p(), c23.len, SX_PREAMBLE_CMD, SX_PREAMBLE_PNO));
    EXPECT_TRUE(CSXcmd::ValidateSizeN(c24.p(), c24.len, SX_PREAMBLE_CMD, SX_PREAMBLE_PNO));
    EXPECT_FALSE(CSXcmd::ValidateLeaderN(p533.p(), p533.len, SX_PREAMBLE_CMD, SX_PREAMBLE_PNO));
}

// ---- Products, conversion ---------------------------------------------------

TEST(Products, IdentifiersAndPreambles)
{
    EXPECT_EQ(VID_MAKER, 0x1209);
    EXPECT_EQ(PID_SORIX, 0x5A01);
    EXPECT_EQ(PID_Q7_HUB, 0x5A02);
    EXPECT_EQ(PID_Q7_TAG, 0x5A03);
    EXPECT_EQ(CSXcmd::TrkCmdPre(PID_SORIX), SX_PREAMBLE_CMD);
    EXPECT_EQ(CSXcmd::TrkPnoPre(PID_SORIX), SX_PREAMBLE_PNO);
    EXPECT_EQ(CSXcmd::TrkCmdPre(PID_Q7_TAG), Q7_PREAMBLE_CMD);
    EXPECT_EQ(CSXcmd::TrkPnoPre(PID_Q7_TAG), Q7_PREAMBLE_PNO);
    for (unsigned pid : {static_cast<unsigned>(PID_Q7_HUB), 0u, 0x1209u, 0xFFFFFFFFu}) {
        EXPECT_EQ(CSXcmd::TrkCmdPre(pid), 0u) << pid;
        EXPECT_EQ(CSXcmd::TrkPnoPre(pid), 0u) << pid;
    }
}

TEST(Fraction, ToFloatInSinglePrecision)
{
    EXPECT_EQ(CSXcmd::FractToFloat(16384, 180.0f), 90.0f);
    EXPECT_EQ(CSXcmd::FractToFloat(-8192, 180.0f), -45.0f);
    EXPECT_EQ(CSXcmd::FractToFloat(0, 180.0f), 0.0f);
    EXPECT_EQ(CSXcmd::FractToFloat(-16384, 16.0f), -8.0f);
    EXPECT_EQ(CSXcmd::FractToFloat(-32768, 3.1415927f), -3.1415927f);
    EXPECT_NEAR(CSXcmd::FractToFloat(32767, 1.0f), 0.99997f, 1e-5f);
    volatile float f = 12345.0f, s = 3.1415927f;
    EXPECT_EQ(CSXcmd::FractToFloat(12345, s), f / 32768.0f * s);
}

} // namespace
