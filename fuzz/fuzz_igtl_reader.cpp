// The OpenIGTLink server's client reader on arbitrary byte streams, fed as a
// socket delivers them: the first two bytes seed where the stream is cut and
// how many requests are taken between deliveries, as the server's turns do.
#include <igtl/ClientReader.h>

#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>

using sxfuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    uint32_t seed = data[0] | static_cast<uint32_t>(data[1]) << 8;
    data += 2;
    size -= 2;
    sxigtl::ClientReader reader;
    sxigtl::Request r;
    int64_t now = 0;
    auto take = [&](int budget) {
        for (int k = 0; k < budget && reader.Next(r); ++k) {
            Check(r.name[sizeof r.name - 1] == '\0');
            Check(r.kind != sxigtl::RequestKind::StartTdata || !r.valid || r.resolutionMs >= 0);
        }
        Check(!reader.Incomplete() || reader.MessageSinceNs() <= now);
    };
    for (size_t off = 0; off < size;) {
        seed = seed * 1103515245u + 12345u;
        const size_t cut = 1 + (seed >> 16) % 600;
        off += reader.Feed(data + off, cut < size - off ? cut : size - off, now);
        Check(reader.RoomLeft() <= sxigtl::ClientReader::kBufferBytes);
        now += 1000000;
        take(1 + static_cast<int>((seed >> 8) % 40));
    }
    take(1 << 20);
    return 0;
}
