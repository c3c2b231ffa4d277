// The platform's handles on Linux: a file descriptor, held as its value plus
// one so that descriptor 0 is a handle and null is none.
#pragma once

#include <platform/SerialLine.h>

#include <cstdint>

namespace sxplat {

inline Handle FromDescriptor(int fd)
{
    return fd < 0 ? nullptr : reinterpret_cast<Handle>(static_cast<intptr_t>(fd) + 1);
}

// -1 for null.
inline int Descriptor(Handle h)
{
    return static_cast<int>(reinterpret_cast<intptr_t>(h) - 1);
}

} // namespace sxplat
