// Where the sensor records of P&O frames come from. The unit asks its source
// for the records of each frame; the generated motion below is the default,
// and a source that serves recorded frames can take its place (its own pace
// through IntervalNs).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace sxsim {

// What the unit asks of its source for one frame.
struct PnoRequest {
    uint32_t framenum = 0;  // the frame count this frame carries
    uint32_t sensorMap = 0; // bit n: sensor n is detected
    uint32_t posUnits = 0;  // eSorixPosUnits
    uint32_t oriUnits = 0;  // eSorixOriUnits
    bool accel = false;     // acceleration records instead of plain ones
    double rateHz = 240.0;  // the configured frame rate
};

class PnoSource {
public:
    virtual ~PnoSource() = default;
    // Writes up to maxRecords 32-byte sensor records into out; returns how
    // many were written.
    virtual unsigned Records(const PnoRequest& req, unsigned char* out, unsigned maxRecords) = 0;
    // Nanoseconds to the next frame; 0 keeps the configured frame rate.
    virtual int64_t IntervalNs() const { return 0; }
    // Called after Records: a source of recorded frames may put the
    // recorded frame count and hpinfo word into the frame it just served.
    // The unit's own values come in; false leaves them.
    virtual bool FrameHeader(uint32_t& framenum, uint32_t& hpinfo) const { return false; }
};

// Smooth, deterministic motion from a seed: every sensor moves on its own
// slow Lissajous path and turns back and forth about its three axes, as a
// function of the frame count and the frame rate alone.
//
// With staticPose each sensor k holds a fixed pose instead:
//   position    x = 10 + k, y = -5 + 2k, z = 3.5 inches
//   orientation azimuth 10k, elevation 30, roll -45 degrees
// shown in the units in force (the quaternion is the rotation azimuth about
// z, then elevation about y, then roll about x) and, in acceleration
// records, with zero acceleration.
std::unique_ptr<PnoSource> MakeMotionSource(uint64_t seed, bool staticPose);

// Helpers shared with sources and tests.
// Inches into position units 0 to 3.
float InchesTo(uint32_t posUnits, double inches);
// Euler angles in degrees into the four orientation values of oriUnits.
void OrientationTo(uint32_t oriUnits, double azDeg, double elDeg, double rollDeg, float out[4]);
// The sfinfo word of a record: sensor number and units.
uint32_t SfInfo(uint32_t sensor, uint32_t posUnits, uint32_t oriUnits);
// A value as a fraction of full scale, clamped to the 16-bit range.
int16_t ToFraction(double value, double fullScale);

} // namespace sxsim
