// An address as trace lines show it: sixteen upper-case hexadecimal digits,
// the form the format "0x%p" was written for (glibc's %p would add a second
// "0x" and drop the leading zeros).
#pragma once

#include <cinttypes>
#include <cstdint>
#include <cstdio>

namespace sxdiag {

struct PtrText {
    char text[24];
    explicit PtrText(const void* p) { snprintf(text, sizeof text, "%016" PRIXPTR, reinterpret_cast<uintptr_t>(p)); }
};

} // namespace sxdiag
