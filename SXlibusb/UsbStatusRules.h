// What the continuous-read callback does with each transfer status: which
// part of the data is handed over, whether reading ends, which line is
// written. Indexed by libusb_transfer_status.
#pragma once

namespace sxusb {

enum class Chunk : unsigned char {
    None,    // nothing handed over
    All,     // the bytes received
    Clamped, // the bytes received, at most the transfer's size
};

enum class StatusLine : unsigned char {
    None,
    Status3,      // level 3: the status line
    NBytes3,      // level 3: the status line with the byte count
    NBytes3IfAny, // the same, only when bytes arrived
    NBytes5IfAny, // level 5, only when bytes arrived
    DefaultCase5, // level 5: the status line naming "DEFAULT CASE"
};

struct StatusRule {
    Chunk chunk;
    bool endsReading;
    StatusLine line;
};

// COMPLETED, ERROR, TIMED_OUT, CANCELLED, STALL, NO_DEVICE, OVERFLOW.
inline constexpr StatusRule kStatusRules[] = {
    {Chunk::All, false, StatusLine::Status3},       {Chunk::None, false, StatusLine::Status3},
    {Chunk::All, false, StatusLine::NBytes5IfAny},  {Chunk::None, true, StatusLine::None},
    {Chunk::None, false, StatusLine::NBytes3IfAny}, {Chunk::None, true, StatusLine::None},
    {Chunk::Clamped, false, StatusLine::NBytes3},
};
inline constexpr StatusRule kOtherStatusRule = {Chunk::None, false, StatusLine::DefaultCase5};

inline const StatusRule& RuleFor(int status)
{
    constexpr int n = static_cast<int>(sizeof kStatusRules / sizeof kStatusRules[0]);
    return (status >= 0 && status < n) ? kStatusRules[status] : kOtherStatusRule;
}

} // namespace sxusb
