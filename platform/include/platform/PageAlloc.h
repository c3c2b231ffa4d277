// Memory straight from the system's pages: zero-filled, and pages that are
// never written cost no memory. For the large receive stores of a device.
#pragma once

#include <cstddef>

namespace sxplat {

// size bytes of fresh zero pages, or null.
void* AllocPages(size_t size);
// Gives back what AllocPages returned for the same size.
void FreePages(void* pages, size_t size);
// Makes the pages under [at, at + size) of such memory resident and
// writable now, in one call, where the first write to each page would
// otherwise stop the writer for a page fault of its own. A hint: when the
// system cannot, the pages come on first write as before.
void PreparePages(void* at, size_t size);

} // namespace sxplat
