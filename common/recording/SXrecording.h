// The P&O recording format: a fixed header that tells which unit was
// recorded and in which units and frame rate, then every P&O frame exactly
// as the library received it, each with its host time stamp, a gap record
// where the line to the tracker was lost and a reconnection resumed the
// frames, then a trailer that counts the frames. The layout is documented in docs/recording.md;
// every word is little-endian.
#pragma once

#include <SXCmdIF/records/SXpayloads.h>

#include <cstddef>
#include <cstdint>

namespace sxrec {

// "SXTRKREC": the first eight bytes of every recording.
constexpr char kFormatName[8] = {'S', 'X', 'T', 'R', 'K', 'R', 'E', 'C'};
// Version 3 adds gap records; version 2 ends with the trailer; version 1,
// read as before, has none.
constexpr uint32_t kFormatVersion = 3;
constexpr uint32_t kFirstVersionWithGaps = 3;
constexpr uint32_t kOldestVersion = 1;
// The header has 256 bytes; a reader accepts longer headers of later minor
// revisions up to kMaxHeaderLen and skips what it does not know.
constexpr uint32_t kHeaderLen = 256;
constexpr uint32_t kMaxHeaderLen = 4096;

// "PNOF": the tag of each frame record.
constexpr uint32_t kFrameTag = 0x464F4E50u;
constexpr uint32_t kFrameRecordHeaderLen = 24;
// A P&O frame is at least its 24-byte header and CRC, and one transport
// delivery is at most 1024 bytes.
constexpr uint32_t kMinFrameLen = 28;
constexpr uint32_t kMaxFrameLen = 1024;

// "TRLR": the tag of the trailer, which has the length of a frame record's
// header and ends with "SXRECEND".
constexpr uint32_t kTrailerTag = 0x524C5254u;
constexpr uint32_t kTrailerLen = 24;
constexpr char kEndMarker[8] = {'S', 'X', 'R', 'E', 'C', 'E', 'N', 'D'};

// "GAPR": the tag of a gap record, written before the first frame after a
// reconnection.
constexpr uint32_t kGapTag = 0x52504147u;
constexpr uint32_t kGapLen = 32;
// The gap record's cause word: the cause in its low byte, and this bit
// when the frames missed are estimated from the time (the tracker's frame
// count started again).
constexpr uint32_t kGapEstimated = 1u << 8;

// Byte offsets inside the file header.
namespace hdr {
constexpr size_t kName = 0;
constexpr size_t kVersion = 8;
constexpr size_t kHeaderLen = 12;
constexpr size_t kSeuId = 16;
constexpr size_t kFrameRate = 20;
constexpr size_t kPosUnits = 24;
constexpr size_t kOriUnits = 28;
constexpr size_t kStationMap = 32;
constexpr size_t kFlags = 36;
constexpr size_t kStartTime = 40;
constexpr size_t kIdentity = 48;
constexpr size_t kStartMonotonic = 240;
} // namespace hdr

// Byte offsets inside a frame record.
namespace rec {
constexpr size_t kTag = 0;
constexpr size_t kLength = 4;
constexpr size_t kTimeStamp = 8;
constexpr size_t kSeqNum = 16;
constexpr size_t kReserved = 20;
} // namespace rec

// Byte offsets inside a gap record.
namespace gap {
constexpr size_t kTag = 0;
constexpr size_t kLength = 4;
constexpr size_t kLostAt = 8;
constexpr size_t kResumedAt = 16;
constexpr size_t kMissed = 24;
constexpr size_t kCause = 28;
} // namespace gap

// Byte offsets inside the trailer.
namespace trl {
constexpr size_t kTag = 0;
constexpr size_t kLength = 4;
constexpr size_t kFrameCount = 8;
constexpr size_t kEndMarker = 16;
} // namespace trl

// Bits of the header's flags word.
constexpr uint32_t kFlagSimulated = 1u << 0; // recorded from a simulated tracker

// What the header tells about the recorded session.
struct RecordingHeader {
    uint32_t version = kFormatVersion;
    uint32_t flags = 0; // kFlag... bits
    uint32_t seuid = 0;
    uint32_t frameRateCode = 0;    // eFrameRate
    _UNITS_CONFIG units{};         // in force when recording began
    uint32_t stationMap = 0;       // the unit's station map word
    uint64_t startTimeNs = 0;      // wall clock, nanoseconds since 1970
    uint64_t startMonotonicNs = 0; // the monotonic clock at the same moment (0: not recorded)
    _WHOAMI_STRUCT identity{};     // the unit's identity record
};

// One recorded frame.
struct RecordedFrame {
    uint64_t offset = 0;      // of its record in the file
    uint64_t timeStampNs = 0; // host monotonic clock when the library queued it
    uint32_t seqNum = 0;      // the library's queue sequence number
    uint32_t length = 0;      // bytes of the frame, preamble to CRC
    unsigned char bytes[kMaxFrameLen];
};

// A gap in the frames: the line to the tracker was lost, and a
// reconnection resumed the frames.
struct RecordedGap {
    uint64_t offset = 0;      // of its record in the file
    uint64_t lostAtNs = 0;    // host monotonic clock when the line was found lost
    uint64_t resumedAtNs = 0; // host monotonic clock of the first frame after
    uint32_t missed = 0;      // frames the tracker measured meanwhile
    uint32_t cause = 0;       // 1 hang-up, 2 USB device gone, 3 connection closed, 4 output stopped; 0 not known
    bool estimated = false;   // missed is estimated from the time
};

// "the serial line was hung up", ... (the causes of a gap record).
const char* GapCauseText(uint32_t cause);

} // namespace sxrec
