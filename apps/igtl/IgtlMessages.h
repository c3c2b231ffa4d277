// The OpenIGTLink messages the server sends, each packed once into a
// shared buffer that the backlogs of all its clients hold.
#pragma once

#include "igtl/PnoPose.h"

#include <igtlTrackingDataMessage.h>
#include <igtlTransformMessage.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sxigtl {

using Packet = std::shared_ptr<const std::vector<unsigned char>>;

// Device name of the TDATA and STATUS messages.
constexpr const char* kTrackerName = "Tracker";

enum class TrackerState { Waiting, Tracking, NoFrames, BitError, Stopping };

int64_t WallClockNs();

// TRANSFORM of one sensor, named as given, stamped with the wall-clock time.
Packet PackTransform(igtl::TransformMessage* msg, const std::string& name, const float matrix[4][4], int64_t wallNs);
// TDATA with one 6D element per sensor, named <prefix><sensor>.
Packet PackTdata(igtl::TrackingDataMessage* msg, const std::string& prefix, const FramePoses& poses, int64_t wallNs);
// STATUS of the tracker's state; the BIT code is the sub-code of a failure.
Packet PackStatus(TrackerState state, unsigned bitError, int staleMs);
// CAPABILITY: the message types served.
Packet PackCapability();
// RTS_TDATA answering STT_TDATA and STP_TDATA.
Packet PackRtsTdata(bool ok);
// STATUS not found, for a GET_ of an unknown name (or before any frame).
Packet PackNotFound(const std::string& name, bool havePoses);

} // namespace sxigtl
