// The static frame helpers of CSXcmd: CRC-16/ARC, the receive checks, the
// preambles of each product and the fixed-point conversion.
#include <SXCmdIF/protocol/SXcmd.h>
#include <SXCmdIF/protocol/SXusbIds.h>

#include "sxwire/LEWords.h"

namespace {

// Parity of a nibble: replaces a 256-entry table with 16 entries.
constexpr unsigned char kNibbleParity[16] = {0, 1, 1, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 1, 1, 0};

// The same 16 entries as the bits of one word, entry i in bit i: looked up
// with a shift in a register instead of a load on the CRC's serial path.
constexpr unsigned int PackParity()
{
    unsigned int w = 0;
    for (unsigned int i = 0; i < 16; ++i)
        w |= static_cast<unsigned int>(kNibbleParity[i]) << i;
    return w;
}
constexpr unsigned int kNibbleParityBits = PackParity();
static_assert(kNibbleParityBits == 0x6996u, "nibble parity table");

inline unsigned int CrcStep(unsigned int acc, unsigned char b)
{
    const unsigned int t = (b ^ acc) & 0xFFu;
    acc >>= 8;
    // Odd parity of t (the two nibbles' parities differ) applies 0xC001, by
    // mask rather than branch: the parity of wire data is unpredictable.
    const unsigned int odd = ((kNibbleParityBits >> (t & 0xF)) ^ (kNibbleParityBits >> (t >> 4))) & 1u;
    acc ^= 0xC001u & (0u - odd);
    acc ^= t << 6;
    acc ^= t << 7;
    return acc;
}

// Table-driven form of the same CRC for whole ranges, sixteen bytes a step
// ("slicing"): kCrcTables[k][b] is the CRC of byte b followed by k zero
// bytes, so the sixteen lookups of one step are independent of each other
// and only their XOR depends on the previous step. 8 KB of constants, built
// at compile time from the bitwise definition (polynomial 0xA001 reflected).
constexpr unsigned kCrcSlices = 16;
struct CrcTables {
    uint16_t t[kCrcSlices][256];
};
constexpr CrcTables MakeCrcTables()
{
    CrcTables r{};
    for (unsigned b = 0; b < 256; ++b) {
        unsigned c = b;
        for (int i = 0; i < 8; ++i)
            c = (c & 1u) ? (c >> 1) ^ 0xA001u : c >> 1;
        r.t[0][b] = static_cast<uint16_t>(c);
    }
    for (unsigned k = 1; k < kCrcSlices; ++k)
        for (unsigned b = 0; b < 256; ++b) {
            const unsigned prev = r.t[k - 1][b];
            r.t[k][b] = static_cast<uint16_t>((prev >> 8) ^ r.t[0][prev & 0xFFu]);
        }
    return r;
}
constexpr CrcTables kCrcTables = MakeCrcTables();
static_assert(kCrcTables.t[0][1] == 0xC0C1u && kCrcTables.t[0][0x80] == 0xA001u, "CRC-16/ARC table");

// The eight bytes of w, lowest first, each followed by `zeros` + 7 - i zero
// bytes.
inline unsigned CrcSlice8(uint64_t w, unsigned zeros)
{
    const auto& t = kCrcTables.t;
    return t[zeros + 7][w & 0xFFu] ^ t[zeros + 6][(w >> 8) & 0xFFu] ^ t[zeros + 5][(w >> 16) & 0xFFu] ^
           t[zeros + 4][(w >> 24) & 0xFFu] ^ t[zeros + 3][(w >> 32) & 0xFFu] ^ t[zeros + 2][(w >> 40) & 0xFFu] ^
           t[zeros + 1][(w >> 48) & 0xFFu] ^ t[zeros][w >> 56];
}

inline uint32_t Word(const unsigned char* frame, uint32_t off)
{
    return sxwire::GetLE32(frame + off);
}

bool SizeInLimits(uint32_t preamble, uint32_t size, unsigned int cmdPre, unsigned int pnoPre)
{
    if (preamble == cmdPre)
        return size >= SX_CMD_SIZE_MIN && size <= SX_CMD_SIZE_MAX;
    if (preamble == pnoPre)
        return size >= SX_PNO_SIZE_MIN && size <= SX_PNO_SIZE_MAX;
    return false;
}

// The CRC check once the frame is known to hold size + 8 bytes.
bool CrcMatches(const unsigned char* frame, uint32_t size)
{
    const uint32_t covered = size + SX_CRC_LEN; // bytes before the crc word
    return Word(frame, covered) == CSXcmd::CalcCRC_Bytes(frame, covered);
}

// The whole frame the size word announces lies within frameLen.
bool Holds(const unsigned char* frame, unsigned int frameLen)
{
    return frame && frameLen >= SX_FRAME_ENVELOPE_LEN &&
           static_cast<uint64_t>(Word(frame, SX_OFF_SIZE)) + SX_FRAME_ENVELOPE_LEN <= frameLen;
}

} // namespace

void CSXcmd::crc16(unsigned int* acc, unsigned char byte)
{
    *acc = CrcStep(*acc, byte);
}

// The same result as crc16 over every byte in turn, sixteen bytes a step: the
// accumulator (16 bits) is folded into the first word, each word's bytes go
// through their own table, and the tail goes a byte at a time.
unsigned int CSXcmd::CalcCRC_Bytes(const unsigned char* bytes, unsigned int len)
{
    unsigned int acc = 0;
    const unsigned char* p = bytes;
    for (; len >= 16; len -= 16, p += 16)
        acc = CrcSlice8(sxwire::GetLE64(p) ^ acc, 8) ^ CrcSlice8(sxwire::GetLE64(p + 8), 0);
    if (len >= 8) {
        acc = CrcSlice8(sxwire::GetLE64(p) ^ acc, 0);
        p += 8;
        len -= 8;
    }
    for (; len > 0; --len, ++p)
        acc = (acc >> 8) ^ kCrcTables.t[0][(acc ^ *p) & 0xFFu];
    return acc;
}

bool CSXcmd::ValidateCRC(const unsigned char* frame)
{
    if (!frame)
        return false;
    const uint32_t size = Word(frame, SX_OFF_SIZE);
    // A size this large cannot be a frame; it would wrap the offsets.
    if (size == 0 || size > SX_CMD_SIZE_MAX)
        return false;
    return CrcMatches(frame, size);
}

bool CSXcmd::ValidatePreamble(const unsigned int* frame, unsigned int cmdPre, unsigned int pnoPre)
{
    if (!frame)
        return false;
    const uint32_t pre = sxwire::GetLE32(frame);
    return pre == cmdPre || pre == pnoPre;
}

bool CSXcmd::ValidateSize(const unsigned int* frame, unsigned int cmdPre, unsigned int pnoPre)
{
    if (!frame)
        return false;
    const unsigned char* f = reinterpret_cast<const unsigned char*>(frame);
    return SizeInLimits(Word(f, SX_OFF_PREAMBLE), Word(f, SX_OFF_SIZE), cmdPre, pnoPre);
}

bool CSXcmd::ValidateLeader(const unsigned char* frame, unsigned int cmdPre, unsigned int pnoPre)
{
    if (!frame)
        return false;
    const uint32_t pre = Word(frame, SX_OFF_PREAMBLE);
    if (pre != cmdPre && pre != pnoPre)
        return false;
    const uint32_t size = Word(frame, SX_OFF_SIZE);
    if (pre == pnoPre)
        return size >= SX_PNO_SIZE_MIN && size <= SX_PNO_SIZE_MAX;
    return size >= SX_CMD_SIZE_MIN && size <= SX_CMD_SIZE_MAX;
}

bool CSXcmd::ValidatePreambleN(const unsigned char* frame, unsigned int frameLen, unsigned int cmdPre,
                               unsigned int pnoPre)
{
    if (!frame || frameLen < 4)
        return false;
    const uint32_t pre = Word(frame, SX_OFF_PREAMBLE);
    return pre == cmdPre || pre == pnoPre;
}

bool CSXcmd::ValidateSizeN(const unsigned char* frame, unsigned int frameLen, unsigned int cmdPre, unsigned int pnoPre)
{
    return Holds(frame, frameLen) &&
           SizeInLimits(Word(frame, SX_OFF_PREAMBLE), Word(frame, SX_OFF_SIZE), cmdPre, pnoPre);
}

bool CSXcmd::ValidateCRCN(const unsigned char* frame, unsigned int frameLen)
{
    if (!Holds(frame, frameLen))
        return false;
    const uint32_t size = Word(frame, SX_OFF_SIZE);
    return size != 0 && CrcMatches(frame, size);
}

bool CSXcmd::ValidateLeaderN(const unsigned char* frame, unsigned int frameLen, unsigned int cmdPre,
                             unsigned int pnoPre)
{
    return Holds(frame, frameLen) && ValidateLeader(frame, cmdPre, pnoPre);
}

unsigned int CSXcmd::TrkCmdPre(unsigned int productId)
{
    switch (productId) {
    case PID_SORIX:
        return SX_PREAMBLE_CMD;
    case PID_Q7_TAG:
        return Q7_PREAMBLE_CMD;
    default:
        return 0;
    }
}

unsigned int CSXcmd::TrkPnoPre(unsigned int productId)
{
    switch (productId) {
    case PID_SORIX:
        return SX_PREAMBLE_PNO;
    case PID_Q7_TAG:
        return Q7_PREAMBLE_PNO;
    default:
        return 0;
    }
}

float CSXcmd::FractToFloat(int16_t fract, float scale)
{
    return static_cast<float>(fract) / 32768.0f * scale;
}
