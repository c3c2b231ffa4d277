// The value words of the unit-level items: units, frame rate, sources,
// on/off settings, stylus, serial line, unit identifier, self-calibration.
#include "SetWordParsers.h"

#include <SXCmdIF/SXCmdIF.h>

#include <cstring>
#include <strings.h>

namespace sxitems::words {

bool ParseUnits(const Values& v, const WordContext&, void* p, std::string& e)
{
    unsigned pos = 0, ori = 0;
    if (!CountValues(v, 2, 2, "POS ORI", e) || !ParseWord(kPosUnits, v[0], pos, e) ||
        !ParseWord(kOriUnits, v[1], ori, e))
        return false;
    CUnitsCfg u;
    u.Fill(pos, ori);
    Store(u.cfg, p);
    return true;
}

bool ParseFrameRate(const Values& v, const WordContext&, void* p, std::string& e)
{
    if (!CountValues(v, 1, 1, "HZ", e))
        return false;
    float hz = 0;
    uint32_t code = 0;
    // A rate in Hz, or the library's name of a rate code (FR_240).
    for (code = FR_30; code < FR_MAX; ++code)
        if (strcasecmp(CSXcmd::frameratestr(code), v[0].c_str()) == 0) {
            Store(_FRAMERATE_CONFIG{code}, p);
            return true;
        }
    if (!ParseFloat(v[0], hz, e) || !FrameRateCode(hz, code, e))
        return false;
    Store(_FRAMERATE_CONFIG{code}, p);
    return true;
}

bool ParseSourceCfg(const Values& v, const WordContext& c, void* p, std::string& e)
{
    // Three Euler angles, or a quaternion's four values: as the units in force say.
    const bool quat = c.oriUnits == ORI_QUATERNION;
    const size_t floats = quat ? 7 : 6;
    if (!CountValues(v, floats + 2, floats + 2,
                     quat ? "FREQ X Y Z W QX QY QZ HEMISPHERE (quaternion units in force)"
                          : "FREQ X Y Z AZ EL RO HEMISPHERE (Euler units in force)",
                     e))
        return false;
    _SRC_CONFIG s{};
    float f[7] = {};
    if (!ParseUnsigned(v[0], s.srcfreq, e))
        return false;
    for (size_t i = 0; i < floats; ++i)
        if (!ParseFloat(v[1 + i], f[i], e))
            return false;
    std::memcpy(s.position, f, sizeof s.position);
    std::memcpy(s.rotation, f + 3, sizeof s.rotation);
    if (!ParseWord(kTrackerHemispheres, v.back(), s.startupHem, e))
        return false;
    Store(s, p);
    return true;
}

bool ParseSourceRot(const Values& v, const WordContext& c, void* p, std::string& e)
{
    const bool quat = c.oriUnits == ORI_QUATERNION;
    if (!CountValues(v, quat ? 5 : 4, quat ? 5 : 4,
                     quat ? "FREQ W QX QY QZ (quaternion units in force)" : "FREQ AZ EL RO (Euler units in force)", e))
        return false;
    unsigned freq = 0;
    float r[4] = {};
    if (!ParseUnsigned(v[0], freq, e))
        return false;
    for (size_t i = 1; i < v.size(); ++i)
        if (!ParseFloat(v[i], r[i - 1], e))
            return false;
    CSrcRotCfg s;
    s.Fill(r[0], r[1], r[2], r[3], freq);
    Store(s.cfg, p);
    return true;
}

bool ParseBinary(const Values& v, const WordContext&, void* p, std::string& e)
{
    bool on = false;
    if (!CountValues(v, 1, 1, "on|off", e) || !ParseOnOff(v[0], on, e))
        return false;
    Store(_BINARY_CONFIG{on ? 1 : 0}, p);
    return true;
}

bool ParseStylus(const Values& v, const WordContext&, void* p, std::string& e)
{
    unsigned mode = 0;
    if (!CountValues(v, 1, 1, "MODE", e) || !ParseWord(kStylusModes, v[0], mode, e))
        return false;
    Store(_STYLUS_CONFIG{mode}, p);
    return true;
}

bool ParseSerial(const Values& v, const WordContext&, void* p, std::string& e)
{
    int bps = 0;
    unsigned parity = E_PARITY_NONE;
    if (!CountValues(v, 1, 2, "BAUD [PARITY]", e) || !ParseInt(v[0], bps, e))
        return false;
    const unsigned baud = CSXcmd::bpsbaud(bps);
    if (baud >= E_BR_MAX) {
        e = "no baud rate of " + v[0];
        return false;
    }
    if (v.size() == 2 && !ParseWord(kParities, v[1], parity, e))
        return false;
    CSerialCfg s;
    s.Fill(baud, parity, 0);
    Store(s.cfg, p);
    return true;
}

bool ParseSeuId(const Values& v, const WordContext&, void* p, std::string& e)
{
    unsigned id = 0;
    if (!CountValues(v, 1, 1, "ID", e) || !ParseUnsigned(v[0], id, e))
        return false;
    Store(_SEUID_CONFIG{id}, p);
    return true;
}

bool ParseSelfCal(const Values& v, const WordContext&, void* p, std::string& e)
{
    if (!CountValues(v, 1, 2, "on|off|collect [slow|med|fast|RATE]", e))
        return false;
    unsigned state = SELFCAL_OP_ENABLED;
    bool on = false;
    if (strcasecmp(v[0].c_str(), "collect") == 0)
        state = SELFCAL_OP_ENABLED_AND_COLLECTING;
    else if (ParseOnOff(v[0], on, e))
        state = on ? SELFCAL_OP_ENABLED : SELFCAL_OP_DISABLED;
    else
        return false;
    unsigned rate = CALCORRECT_MED;
    float custom = 0.0f;
    if (v.size() == 2) {
        std::string notWord;
        if (!ParseWord(kCorrectionRates, v[1], rate, notWord) || rate > CALCORRECT_CUSTOM) {
            rate = CALCORRECT_CUSTOM;
            if (!ParseFloat(v[1], custom, e))
                return false;
        }
    }
    CSelfCalCfg s;
    s.Fill(state, rate, custom);
    Store(s.cfg, p);
    return true;
}

} // namespace sxitems::words
