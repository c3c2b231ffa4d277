// The value words of the sensor-level items: filters, hemisphere,
// boresight, tip offset, increment, source selection, prediction filter,
// virtual sensor, FTT mode and origin.
#include "SetWordParsers.h"

#include <SXCmdIF/SXCmdIF.h>

#include <cstring>
#include <strings.h>

namespace sxitems::words {

namespace {

bool ParseFloats(const Values& v, size_t first, float* out, size_t n, std::string& e)
{
    for (size_t i = 0; i < n; ++i)
        if (!ParseFloat(v[first + i], out[i], e))
            return false;
    return true;
}

} // namespace

bool ParseFilter(const Values& v, const WordContext&, void* p, std::string& e)
{
    unsigned level = 0;
    if (!CountValues(v, 1, 5, "LEVEL, or custom F FLOW FHIGH MAXT", e) || !ParseWord(kFilterLevels, v[0], level, e))
        return false;
    CFilterCfg f(static_cast<eSorixFilterLevel>(level));
    if (level == FILTER_LVL_CUSTOM) {
        float params[4] = {};
        if (!CountValues(v, 5, 5, "custom F FLOW FHIGH MAXT", e) || !ParseFloats(v, 1, params, 4, e))
            return false;
        f.Fill(FILTER_LVL_CUSTOM, params);
    } else if (!CountValues(v, 1, 1, "LEVEL (the parameters go with custom only)", e)) {
        return false;
    }
    Store(f.cfg, p);
    return true;
}

bool ParseHemisphere(const Values& v, const WordContext&, void* p, std::string& e)
{
    if (!CountValues(v, 1, 4, "PRESET [auto|track], or X Y Z [auto|track]", e))
        return false;
    Values words = v;
    bool autoEn = false, trackEn = false;
    if (strcasecmp(words.back().c_str(), "auto") == 0)
        autoEn = trackEn = true; // automatic hemisphere implies tracking
    else if (strcasecmp(words.back().c_str(), "track") == 0)
        trackEn = true;
    if (autoEn || trackEn)
        words.pop_back();
    CHemisphereCfg h;
    if (words.size() == 1) {
        unsigned preset = 0;
        if (!ParseWord(kHemispherePresets, words[0], preset, e))
            return false;
        h.Fill(static_cast<CHemisphereCfg::eHemPresetVal>(preset), autoEn, trackEn);
    } else {
        float xyz[3] = {};
        if (!CountValues(words, 3, 3, "X Y Z [auto|track]", e) || !ParseFloats(words, 0, xyz, 3, e))
            return false;
        h.Fill(xyz, autoEn, trackEn);
    }
    Store(h.cfg, p);
    return true;
}

bool ParseBoresight(const Values& v, const WordContext& c, void* p, std::string& e)
{
    const bool quat = c.oriUnits == ORI_QUATERNION;
    const size_t n = quat ? 4 : 3;
    float ori[4] = {};
    if (!CountValues(v, n, n, quat ? "W X Y Z (quaternion units in force)" : "AZ EL RO (Euler units in force)", e) ||
        !ParseFloats(v, 0, ori, n, e))
        return false;
    CBoresightCfg b(c.oriUnits, c.arg2 != 0);
    b.Fill(ori[0], ori[1], ori[2], ori[3], c.arg2 != 0);
    Store(b.cfg, p);
    return true;
}

bool ParseTipOffset(const Values& v, const WordContext&, void* p, std::string& e)
{
    float xyz[3] = {};
    if (!CountValues(v, 3, 3, "X Y Z", e) || !ParseFloats(v, 0, xyz, 3, e))
        return false;
    CTipoffCfg t;
    t.Fill(xyz[0], xyz[1], xyz[2]);
    Store(t.cfg, p);
    return true;
}

bool ParseIncrement(const Values& v, const WordContext&, void* p, std::string& e)
{
    bool on = false;
    float thresholds[2] = {}; // 0: automatic
    if (!CountValues(v, 1, 3, "on|off [POS ORI]", e) || !ParseOnOff(v[0], on, e))
        return false;
    if (v.size() == 2) {
        e = "expected on|off [POS ORI]";
        return false;
    }
    if (v.size() == 3 && !ParseFloats(v, 1, thresholds, 2, e))
        return false;
    CIncrementCfg i;
    i.Fill(on, thresholds[0], thresholds[1]);
    Store(i.cfg, p);
    return true;
}

bool ParseSrcSelect(const Values& v, const WordContext&, void* p, std::string& e)
{
    unsigned map = 0;
    if (!CountValues(v, 1, 1, "MAP (bit n: source n)", e) || !ParseUnsigned(v[0], map, e))
        return false;
    Store(_SRC_SEL_CONFIG{map}, p);
    return true;
}

bool ParsePredFilter(const Values& v, const WordContext&, void* p, std::string& e)
{
    bool quat = false, pos = false;
    int ms = 0;
    if (!CountValues(v, 3, 3, "QUAT_FILTER POS_FILTER MS (on|off on|off milliseconds)", e) ||
        !ParseOnOff(v[0], quat, e) || !ParseOnOff(v[1], pos, e) || !ParseInt(v[2], ms, e))
        return false;
    CPredFiltCfg f;
    f.Fill(quat, pos, ms);
    Store(*static_cast<_PF_CONFIG*>(f), p);
    return true;
}

bool ParseVirtual(const Values& v, const WordContext&, void* p, std::string& e)
{
    unsigned w[4] = {};
    if (!CountValues(v, 1, 4, "INPUT1 [WORD1 WORD2 WORD3]", e))
        return false;
    for (size_t i = 0; i < v.size(); ++i)
        if (!ParseUnsigned(v[i], w[i], e))
            return false;
    CSnsVirtCfg s;
    s.Fill(w[0], w[1], w[2], w[3]);
    Store(s.cfg, p);
    return true;
}

bool ParseFttMode(const Values& v, const WordContext&, void* p, std::string& e)
{
    unsigned mode = 0;
    if (!CountValues(v, 1, 1, "MODE", e) || !ParseWord(kFttModes, v[0], mode, e))
        return false;
    Store(_ENUM_CONFIG{mode}, p);
    return true;
}

bool ParseOrigin(const Values& v, const WordContext&, void* p, std::string& e)
{
    unsigned origin = 0;
    if (!CountValues(v, 1, 1, "ORIGIN", e) || !ParseWord(kSensorOrigins, v[0], origin, e))
        return false;
    Store(_ENUM_CONFIG{origin}, p);
    return true;
}

} // namespace sxitems::words
