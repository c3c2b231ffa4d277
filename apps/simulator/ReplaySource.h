// A recorded session served as a live tracker: the unit takes the recorded
// identity, units, frame rate and station map, and its P&O frames carry the
// recorded frames (their records, frame counts and hpinfo words) one after
// the other, at the recording's mean frame interval divided by the speed.
// Without looping the unit sends nothing more once the recording is spent.
#pragma once

#include <simulator/PnoSource.h>
#include <simulator/SimUnit.h>

#include <recording/SXrecording.h>

#include <cstdint>
#include <memory>
#include <string>

namespace sxsim {

struct ReplayInfo {
    sxrec::RecordingHeader header;
    uint64_t frames = 0;        // whole frames before the end or the first fault
    int64_t meanIntervalNs = 0; // 0 with fewer than two frames
    std::string fault;          // the first fault, empty when the file is whole
};

// Reads the header and runs through the frames once. False (with error)
// when the file cannot be read as a recording or holds no frame.
bool ScanRecording(const std::string& path, ReplayInfo& info, std::string& error);

// The configuration a unit needs to answer like the recorded one.
SimConfig ReplayConfig(const ReplayInfo& info);
// Puts the recorded identity, units, frame rate and station map into the unit.
void ApplyRecordedSettings(SimUnit& unit, const ReplayInfo& info);

// speed > 0: 2 plays twice as fast.
std::unique_ptr<PnoSource> MakeReplaySource(const std::string& path, const ReplayInfo& info, double speed, bool loop);

} // namespace sxsim
