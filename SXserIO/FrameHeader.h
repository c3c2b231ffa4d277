// The 8-byte frame header as the serial transport reads it: the preamble
// compared under its mask, and the body length the header announces (bytes
// 4-7, or in ZJ mode bytes 6-7).
#pragma once

#include <sxwire/LEWords.h>

#include <cstdint>

namespace sxser {

inline uint32_t PreambleMask(bool zj)
{
    return zj ? 0xFFFFu : 0xFFFFFFu;
}

inline bool PreambleMatches(const unsigned char* header, uint32_t preamble, bool zj)
{
    return ((sxwire::GetLE32(header) ^ preamble) & PreambleMask(zj)) == 0;
}

inline uint32_t BodyLength(const unsigned char* header, bool zj)
{
    return zj ? sxwire::GetLE16(header + 6) : sxwire::GetLE32(header + 4);
}

} // namespace sxser
