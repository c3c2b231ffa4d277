// Memory straight from the system's pages: zero-filled, and pages that are
// never written cost no memory. For the large receive stores of a device.
#pragma once

#include <cstddef>

namespace sxplat {

// size bytes of fresh zero pages, or null.
void* AllocPages(size_t size);
// Gives back what AllocPages returned for the same size.
void FreePages(void* pages, size_t size);

} // namespace sxplat
