// Builders of P&O and command frames for the tests, and a copy of a frame
// placed at the very end of its own heap block so that any read past it is
// caught by AddressSanitizer.
#pragma once

#include <SXCmdIF/protocol/SXcmd.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace pnotest {

using Bytes = std::vector<unsigned char>;

inline void Put32(Bytes& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

inline void PutF(Bytes& b, float f)
{
    uint32_t v;
    std::memcpy(&v, &f, 4);
    Put32(b, v);
}

inline void Put16(Bytes& b, int16_t v)
{
    b.push_back(static_cast<unsigned char>(v & 0xFF));
    b.push_back(static_cast<unsigned char>((static_cast<uint16_t>(v) >> 8) & 0xFF));
}

inline uint32_t Sfinfo(unsigned sensor, unsigned posUnits = 0, unsigned oriUnits = 0, bool b0 = false, bool b1 = false,
                       unsigned distortion = 0, unsigned aux = 0)
{
    return (sensor & 0x7F) | (posUnits & 3) << 8 | (oriUnits & 3) << 10 | (b0 ? 1u << 12 : 0) | (b1 ? 1u << 13 : 0) |
           (distortion & 0xFF) << 14 | aux << 22;
}

inline Bytes PlainRecord(uint32_t sfinfo, float x, float y, float z, float o0, float o1, float o2, float o3)
{
    Bytes r;
    Put32(r, sfinfo);
    for (float f : {x, y, z, o0, o1, o2, o3})
        PutF(r, f);
    return r;
}

inline Bytes AccelRecord(uint32_t sfinfo, float x, float y, float z, const int16_t (&ori)[4], const int16_t (&accel)[4])
{
    Bytes r;
    Put32(r, sfinfo);
    for (float f : {x, y, z})
        PutF(r, f);
    for (int16_t v : ori)
        Put16(r, v);
    for (int16_t v : accel)
        Put16(r, v);
    return r;
}

// A P&O frame with its size and CRC words.
inline Bytes PnoFrame(uint32_t seuid, uint32_t framenum, uint32_t hpinfo, const std::vector<Bytes>& records,
                      uint32_t preamble = SX_PREAMBLE_PNO)
{
    Bytes f;
    Put32(f, preamble);
    Put32(f, static_cast<uint32_t>(20 + 32 * records.size()));
    Put32(f, seuid);
    Put32(f, framenum);
    Put32(f, hpinfo);
    Put32(f, static_cast<uint32_t>(records.size()));
    for (const Bytes& r : records)
        f.insert(f.end(), r.begin(), r.end());
    Put32(f, CSXcmd::CalcCRC_Bytes(f.data(), static_cast<unsigned>(f.size())));
    return f;
}

// A command frame with a given CRC word (the dumps do not check it).
inline Bytes CmdFrame(uint32_t seuid, uint32_t cmd, uint32_t action, uint32_t arg1, uint32_t arg2, const Bytes& payload,
                      uint32_t crc = 0x4241)
{
    Bytes f;
    Put32(f, SX_PREAMBLE_CMD);
    Put32(f, static_cast<uint32_t>(24 + payload.size()));
    for (uint32_t w : {seuid, cmd, action, arg1, arg2})
        Put32(f, w);
    f.insert(f.end(), payload.begin(), payload.end());
    Put32(f, crc);
    return f;
}

inline void SetWord(Bytes& f, size_t offset, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        f[offset + i] = static_cast<unsigned char>(v >> (8 * i));
}

// The first n bytes of a frame, alone in a heap block of exactly n bytes.
class AtEnd {
public:
    AtEnd(const Bytes& src, size_t n) : m_n(n), m_p(new unsigned char[n])
    {
        if (n)
            std::memcpy(m_p.get(), src.data(), n);
    }
    explicit AtEnd(const Bytes& src) : AtEnd(src, src.size()) {}
    const unsigned char* data() const { return m_p.get(); }
    unsigned size() const { return static_cast<unsigned>(m_n); }

private:
    size_t m_n;
    std::unique_ptr<unsigned char[]> m_p;
};

} // namespace pnotest
