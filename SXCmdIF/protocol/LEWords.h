// The frames' little-endian words (sxwire::GetLE32 and the rest). They are
// defined with the platform layer, which the serial transport shares.
#pragma once

#include <platform/LEWords.h>
