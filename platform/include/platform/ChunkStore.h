// The store both transports keep received chunks in while their owner has
// set no callback: each chunk goes after the one before, the store starts
// again at its front when a chunk would reach its end, and the last chunk
// is noted for LastAsyncRead. The caller holds the store's lock.
#pragma once

#include <cstring>

namespace sxplat {

template <int N>
inline void StoreChunk(unsigned char (&store)[N], int& total, int& count, unsigned char*& last, int& lastLen,
                       const unsigned char* data, int len)
{
    if (len > N)
        len = N;
    if (total + len >= N)
        total = 0; // older chunks are overwritten
    std::memcpy(store + total, data, static_cast<size_t>(len));
    ++count;
    last = store + total;
    lastLen = len;
    total += len;
}

} // namespace sxplat
