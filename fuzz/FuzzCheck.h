// A property every input must keep: a failed one stops the fuzzer with the
// input that broke it saved as an artifact.
#pragma once

namespace sxfuzz {

inline void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

} // namespace sxfuzz
