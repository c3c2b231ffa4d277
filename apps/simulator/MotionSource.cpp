// Generated motion: deterministic sensor paths from a seed, written as plain
// or acceleration records in the units in force.
#include <simulator/PnoSource.h>

#include <sxwire/LEWords.h>

#include <cmath>

namespace sxsim {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kInchesPerG = 386.08858; // standard gravity in inches per s^2
constexpr double kAccelFullScale = 16.0;  // g
// Full scale of orientation fractions by orientation units.
constexpr double kOriFullScale[3] = {180.0, kPi, 1.0};

uint64_t SplitMix(uint64_t& state)
{
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// A number in [lo, hi).
double Uniform(uint64_t& state, double lo, double hi)
{
    return lo + (hi - lo) * static_cast<double>(SplitMix(state) >> 11) / 9007199254740992.0;
}

// One sine term: centre + amp * sin(omega * t + phase).
struct Wave {
    double centre, amp, omega, phase;
    double At(double t) const { return centre + amp * std::sin(omega * t + phase); }
    // Second derivative.
    double Accel(double t) const { return -amp * omega * omega * std::sin(omega * t + phase); }
};

struct SensorPath {
    Wave pos[3]; // inches
    Wave ori[3]; // degrees: azimuth, elevation, roll
};

class MotionSource final : public PnoSource {
public:
    MotionSource(uint64_t seed, bool staticPose) : m_static(staticPose)
    {
        for (unsigned k = 0; k < 16; ++k) {
            uint64_t st = seed * 0x100000001B3ull + k;
            SensorPath& p = m_paths[k];
            const double centre[3] = {12.0 + 2.0 * k, -8.0 + k, 4.0};
            for (int i = 0; i < 3; ++i)
                p.pos[i] = {centre[i], Uniform(st, 2.0, 6.0), 2 * kPi * Uniform(st, 0.1, 0.5),
                            Uniform(st, 0.0, 2 * kPi)};
            const double amp[3] = {90.0, 30.0, 45.0};
            for (int i = 0; i < 3; ++i)
                p.ori[i] = {0.0, amp[i], 2 * kPi * Uniform(st, 0.05, 0.3), Uniform(st, 0.0, 2 * kPi)};
        }
    }

    unsigned Records(const PnoRequest& req, unsigned char* out, unsigned maxRecords) override
    {
        const double t = req.rateHz > 0 ? req.framenum / req.rateHz : 0.0;
        unsigned n = 0;
        for (uint32_t k = 0; k < 16 && n < maxRecords; ++k) {
            if (!(req.sensorMap & (1u << k)))
                continue;
            double pos[3], ori[3], acc[3] = {0.0, 0.0, 0.0};
            if (m_static) {
                pos[0] = 10.0 + k;
                pos[1] = -5.0 + 2.0 * k;
                pos[2] = 3.5;
                ori[0] = 10.0 * k;
                ori[1] = 30.0;
                ori[2] = -45.0;
            } else {
                const SensorPath& p = m_paths[k];
                for (int i = 0; i < 3; ++i) {
                    pos[i] = p.pos[i].At(t);
                    acc[i] = p.pos[i].Accel(t) / kInchesPerG;
                    ori[i] = p.ori[i].At(t);
                }
            }
            WriteRecord(req, k, pos, ori, acc, out + 32 * n);
            ++n;
        }
        return n;
    }

private:
    static void WriteRecord(const PnoRequest& req, uint32_t sensor, const double pos[3], const double ori[3],
                            const double acc[3], unsigned char* rec)
    {
        using namespace sxwire;
        PutLE32(rec, SfInfo(sensor, req.posUnits, req.oriUnits));
        for (int i = 0; i < 3; ++i)
            PutLEF32(rec + 4 + 4 * i, InchesTo(req.posUnits, pos[i]));
        float o[4];
        OrientationTo(req.oriUnits, ori[0], ori[1], ori[2], o);
        if (!req.accel) {
            for (int i = 0; i < 4; ++i)
                PutLEF32(rec + 16 + 4 * i, o[i]);
            return;
        }
        const double full = kOriFullScale[req.oriUnits < 3 ? req.oriUnits : 0];
        for (int i = 0; i < 4; ++i)
            PutLEI16(rec + 16 + 2 * i, req.oriUnits == 2 || i < 3 ? ToFraction(o[i], full) : 0);
        for (int i = 0; i < 3; ++i)
            PutLEI16(rec + 24 + 2 * i, ToFraction(acc[i], kAccelFullScale));
        // R: the magnitude of the acceleration.
        PutLEI16(rec + 30, ToFraction(std::sqrt(acc[0] * acc[0] + acc[1] * acc[1] + acc[2] * acc[2]), kAccelFullScale));
    }

    bool m_static;
    SensorPath m_paths[16];
};

} // namespace

std::unique_ptr<PnoSource> MakeMotionSource(uint64_t seed, bool staticPose)
{
    return std::make_unique<MotionSource>(seed, staticPose);
}

float InchesTo(uint32_t posUnits, double inches)
{
    switch (posUnits) {
    case 1:
        return static_cast<float>(inches / 12.0);
    case 2:
        return static_cast<float>(inches * 2.54);
    case 3:
        return static_cast<float>(inches * 0.0254);
    default:
        return static_cast<float>(inches);
    }
}

void OrientationTo(uint32_t oriUnits, double azDeg, double elDeg, double rollDeg, float out[4])
{
    const double d2r = kPi / 180.0;
    if (oriUnits == 2) {
        const double cy = std::cos(azDeg * d2r / 2), sy = std::sin(azDeg * d2r / 2);
        const double cp = std::cos(elDeg * d2r / 2), sp = std::sin(elDeg * d2r / 2);
        const double cr = std::cos(rollDeg * d2r / 2), sr = std::sin(rollDeg * d2r / 2);
        out[0] = static_cast<float>(cr * cp * cy + sr * sp * sy);
        out[1] = static_cast<float>(sr * cp * cy - cr * sp * sy);
        out[2] = static_cast<float>(cr * sp * cy + sr * cp * sy);
        out[3] = static_cast<float>(cr * cp * sy - sr * sp * cy);
        return;
    }
    const double f = oriUnits == 1 ? d2r : 1.0;
    out[0] = static_cast<float>(azDeg * f);
    out[1] = static_cast<float>(elDeg * f);
    out[2] = static_cast<float>(rollDeg * f);
    out[3] = 0.0f;
}

uint32_t SfInfo(uint32_t sensor, uint32_t posUnits, uint32_t oriUnits)
{
    return (sensor & 0x7Fu) | (posUnits & 3u) << 8 | (oriUnits & 3u) << 10;
}

int16_t ToFraction(double value, double fullScale)
{
    const double f = std::lround(value / fullScale * 32768.0);
    if (f > 32767.0)
        return 32767;
    if (f < -32768.0)
        return -32768;
    return static_cast<int16_t>(f);
}

} // namespace sxsim
