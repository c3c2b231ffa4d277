#pragma once

// The per-byte nibble-parity form the library computed whole ranges with
// before its tables: the yardstick of the table-driven CRC.
inline unsigned NibbleCrc(const unsigned char* p, unsigned n)
{
    unsigned acc = 0;
    for (unsigned i = 0; i < n; ++i) {
        const unsigned t = (p[i] ^ acc) & 0xFFu;
        acc >>= 8;
        const unsigned odd = ((0x6996u >> (t & 0xF)) ^ (0x6996u >> (t >> 4))) & 1u;
        acc ^= 0xC001u & (0u - odd);
        acc ^= t << 6;
        acc ^= t << 7;
    }
    return acc;
}
