// Little-endian fields at any byte offset: frames sit unaligned inside the
// receive stores, so every word goes through these (no casts, no aliasing).
// Part of the installed interface: applications that read or build frames
// (the simulator, the Python module, the tests) use these same readers, and
// so does the serial transport, which reads frame headers with them.
#pragma once

#include <cstdint>
#include <cstring>

/** Little-endian word readers and writers of the wire formats.
 * \ingroup sx_commands */
namespace sxwire {

/** The 16-bit little-endian word at p (any alignment).
 * \param p the word's first byte
 * \returns the word
 * \thread Any thread. */
inline uint16_t GetLE16(const void* p)
{
    unsigned char b[2];
    std::memcpy(b, p, 2);
    return static_cast<uint16_t>(b[0] | b[1] << 8);
}

/** The 32-bit little-endian word at p (any alignment).
 * \param p the word's first byte
 * \returns the word
 * \thread Any thread. */
inline uint32_t GetLE32(const void* p)
{
    unsigned char b[4];
    std::memcpy(b, p, 4);
    return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
           static_cast<uint32_t>(b[3]) << 24;
}

/** The 64-bit little-endian word at p (any alignment).
 * \param p the word's first byte
 * \returns the word
 * \thread Any thread. */
inline uint64_t GetLE64(const void* p)
{
    const unsigned char* b = static_cast<const unsigned char*>(p);
    return static_cast<uint64_t>(GetLE32(b)) | static_cast<uint64_t>(GetLE32(b + 4)) << 32;
}

/** Writes v at p as a 16-bit little-endian word (any alignment).
 * \param p where the word's first byte goes
 * \param v the word
 * \thread Any thread. */
inline void PutLE16(void* p, uint16_t v)
{
    const unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    std::memcpy(p, b, 2);
}

/** Writes v at p as a 32-bit little-endian word (any alignment).
 * \param p where the word's first byte goes
 * \param v the word
 * \thread Any thread. */
inline void PutLE32(void* p, uint32_t v)
{
    const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    std::memcpy(p, b, 4);
}

/** Writes v at p as a 64-bit little-endian word (any alignment).
 * \param p where the word's first byte goes
 * \param v the word
 * \thread Any thread. */
inline void PutLE64(void* p, uint64_t v)
{
    unsigned char* b = static_cast<unsigned char*>(p);
    PutLE32(b, static_cast<uint32_t>(v));
    PutLE32(b + 4, static_cast<uint32_t>(v >> 32));
}

/** The signed 16-bit little-endian word at p (any alignment).
 * \param p the word's first byte
 * \returns the word
 * \thread Any thread. */
inline int16_t GetLEI16(const void* p)
{
    return static_cast<int16_t>(GetLE16(p));
}
/** Writes the signed v at p as a 16-bit little-endian word (any alignment).
 * \param p where the word's first byte goes
 * \param v the word
 * \thread Any thread. */
inline void PutLEI16(void* p, int16_t v)
{
    PutLE16(p, static_cast<uint16_t>(v));
}

/** The IEEE single-precision float stored little-endian at p (any alignment).
 * \param p the value's first byte
 * \returns the value
 * \thread Any thread. */
inline float GetLEF32(const void* p)
{
    const uint32_t bits = GetLE32(p);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

/** Writes f at p as an IEEE single-precision float, little-endian (any alignment).
 * \param p where the value's first byte goes
 * \param f the value
 * \thread Any thread. */
inline void PutLEF32(void* p, float f)
{
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    PutLE32(p, bits);
}

} // namespace sxwire
