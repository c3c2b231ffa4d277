// USB identifiers of the tracker family, used to find devices on the bus.
#pragma once

#include <cstdint>

// Vendor identifier of every device of the family.
constexpr uint16_t VID_MAKER = 0x1209;
// The tracker.
constexpr uint16_t PID_SORIX = 0x5A01;
// Hub of the sibling family.
constexpr uint16_t PID_Q7_HUB = 0x5A02;
// Tag device of the sibling family.
constexpr uint16_t PID_Q7_TAG = 0x5A03;
