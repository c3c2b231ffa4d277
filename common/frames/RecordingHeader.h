// The header of a recording made from a connected tracker: its identity and
// the settings in force, read from the device (sxtool record, the viewer).
#pragma once

#include <recording/SXrecording.h>

namespace sxframes {

// Reads the unit's identity, units, frame rate and station map into h and
// stamps it with the wall clock and the monotonic clock; the library's
// error code.
int ReadRecordingHeader(void* ctx, void* dev, sxrec::RecordingHeader& h);

} // namespace sxframes
