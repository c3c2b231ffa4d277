// Little-endian fields at any byte offset: frames sit unaligned inside the
// receive stores, so every word goes through these (no casts, no aliasing).
// They sit below both libraries because the serial transport reads its
// frame headers with them as the protocol reads whole frames.
#pragma once

#include <cstdint>
#include <cstring>

namespace sxwire {

inline uint16_t GetLE16(const void* p)
{
    unsigned char b[2];
    std::memcpy(b, p, 2);
    return static_cast<uint16_t>(b[0] | b[1] << 8);
}

inline uint32_t GetLE32(const void* p)
{
    unsigned char b[4];
    std::memcpy(b, p, 4);
    return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
           static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
}

inline uint64_t GetLE64(const void* p)
{
    const unsigned char* b = static_cast<const unsigned char*>(p);
    return static_cast<uint64_t>(GetLE32(b)) | static_cast<uint64_t>(GetLE32(b + 4)) << 32;
}

inline void PutLE16(void* p, uint16_t v)
{
    const unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    std::memcpy(p, b, 2);
}

inline void PutLE32(void* p, uint32_t v)
{
    const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    std::memcpy(p, b, 4);
}

inline void PutLE64(void* p, uint64_t v)
{
    unsigned char* b = static_cast<unsigned char*>(p);
    PutLE32(b, static_cast<uint32_t>(v));
    PutLE32(b + 4, static_cast<uint32_t>(v >> 32));
}

inline int16_t GetLEI16(const void* p) { return static_cast<int16_t>(GetLE16(p)); }
inline void PutLEI16(void* p, int16_t v) { PutLE16(p, static_cast<uint16_t>(v)); }

inline float GetLEF32(const void* p)
{
    const uint32_t bits = GetLE32(p);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

inline void PutLEF32(void* p, float f)
{
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    PutLE32(p, bits);
}

} // namespace sxwire
