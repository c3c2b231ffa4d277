// The unit-level items: units, frame rate, sources, on/off settings, stylus,
// serial line, unit identifier, self-calibration, station map and BIT.
#include "ItemFunctions.h"

#include <SXCmdIF/SXCmdIF.h>

#include <cstring>
#include <strings.h>

namespace sxtool::items {

int CmdUnits(const ItemContext& c, eCmdActions a, void* p)
{
    return sxcmd_dev_units(c.ctx, c.dev, a, As<_UNITS_CONFIG>(p));
}
bool ParseUnits(const Values& v, const ItemContext&, void* p, std::string& e)
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
void ReportUnits(const void* p, const ItemContext&, std::string& t)
{
    CUnitsCfg(As<_UNITS_CONFIG>(p)).Report(t, true, false, true);
}

int CmdFrameRate(const ItemContext& c, eCmdActions a, void* p)
{
    return sxcmd_dev_framerate(c.ctx, c.dev, a, As<_FRAMERATE_CONFIG>(p));
}
bool ParseFrameRate(const Values& v, const ItemContext&, void* p, std::string& e)
{
    if (!CountValues(v, 1, 1, "HZ (30, 60, 120, 240, 480 or 960)", e))
        return false;
    unsigned hz = 0;
    std::string ignored;
    const bool numeric = ParseUnsigned(v[0], hz, ignored);
    for (unsigned code = FR_30; code < FR_MAX; ++code) {
        CFrameRateCfg f;
        f.Fill(code);
        if ((numeric && f.EffectiveRate() == hz) || strcasecmp(CSXcmd::frameratestr(code), v[0].c_str()) == 0) {
            Store(_FRAMERATE_CONFIG{code}, p);
            return true;
        }
    }
    e = "no frame rate of '" + v[0] + "' (30, 60, 120, 240, 480 or 960 Hz)";
    return false;
}
void ReportFrameRate(const void* p, const ItemContext&, std::string& t)
{
    CFrameRateCfg(&As<_FRAMERATE_CONFIG>(p)->frame_rate).Report(t, true, false, true);
}

int CmdSourceCfg(const ItemContext& c, eCmdActions a, void* p)
{
    return sxcmd_dev_sourcecfg(c.ctx, c.dev, c.index, a, As<_SRC_CONFIG>(p));
}
bool ParseSourceCfg(const Values& v, const ItemContext&, void* p, std::string& e)
{
    if (!CountValues(v, 8, 9, "FREQ X Y Z R1 R2 R3 [R4] HEMISPHERE", e))
        return false;
    _SRC_CONFIG s{};
    float f[7] = {};
    if (!ParseUnsigned(v[0], s.srcfreq, e))
        return false;
    const size_t floats = v.size() - 2;
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
void ReportSourceCfg(const void* p, const ItemContext& c, std::string& t)
{
    CSrcCfg s(As<_SRC_CONFIG>(p));
    s.Units().Fill(c.posUnits, c.oriUnits);
    s.Report(t, true, false);
}

int CmdSourceRot(const ItemContext& c, eCmdActions a, void* p)
{
    return sxcmd_dev_sourcerot(c.ctx, c.dev, c.index, a, As<_SRCROT_CONFIG>(p));
}
bool ParseSourceRot(const Values& v, const ItemContext&, void* p, std::string& e)
{
    if (!CountValues(v, 4, 5, "FREQ R1 R2 R3 [R4]", e))
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
void ReportSourceRot(const void* p, const ItemContext& c, std::string& t)
{
    CSrcRotCfg s(As<_SRCROT_CONFIG>(p));
    s.Units() = c.oriUnits;
    s.Report(t, true, false);
}

bool ParseBinary(const Values& v, const ItemContext&, void* p, std::string& e)
{
    bool on = false;
    if (!CountValues(v, 1, 1, "on|off", e) || !ParseOnOff(v[0], on, e))
        return false;
    Store(_BINARY_CONFIG{on ? 1 : 0}, p);
    return true;
}
int CmdSync(const ItemContext& c, eCmdActions a, void* p)
{
    return sxcmd_dev_syncmode(c.ctx, c.dev, a, As<_BINARY_CONFIG>(p));
}
void ReportSync(const void* p, const ItemContext&, std::string& t)
{
    CSyncModeCfg(&As<_BINARY_CONFIG>(p)->value).Report(t, true, false);
}
int CmdDualOutput(const ItemContext& c, eCmdActions a, void* p)
{
    return sxcmd_dev_dualoutput(c.ctx, c.dev, a, As<_BINARY_CONFIG>(p));
}
void ReportDualOutput(const void* p, const ItemContext&, std::string& t)
{
    CDualOutputCfg(&As<_BINARY_CONFIG>(p)->value).Report(t, true, false);
}
int CmdOor(const ItemContext& c, eCmdActions a, void* p)
{
    return sxcmd_dev_oormode(c.ctx, c.dev, a, As<_BINARY_CONFIG>(p));
}
void ReportBinary(const void* p, const ItemContext&, std::string& t)
{
    CBinaryCfg(&As<_BINARY_CONFIG>(p)->value).Report(t, true, false);
}

int CmdStylus(const ItemContext& c, eCmdActions a, void* p)
{
    return sxcmd_dev_stylusmode(c.ctx, c.dev, a, As<_STYLUS_CONFIG>(p));
}
bool ParseStylus(const Values& v, const ItemContext&, void* p, std::string& e)
{
    unsigned mode = 0;
    if (!CountValues(v, 1, 1, "MODE", e) || !ParseWord(kStylusModes, v[0], mode, e))
        return false;
    Store(_STYLUS_CONFIG{mode}, p);
    return true;
}
void ReportStylus(const void* p, const ItemContext&, std::string& t)
{
    CStylusCfg(&As<_STYLUS_CONFIG>(p)->value).Report(t, true, false);
}

int CmdSerial(const ItemContext& c, eCmdActions a, void* p)
{
    return sxcmd_dev_serialif(c.ctx, c.dev, a, As<_SERIAL_CONFIG>(p));
}
bool ParseSerial(const Values& v, const ItemContext&, void* p, std::string& e)
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
void ReportSerial(const void* p, const ItemContext&, std::string& t)
{
    CSerialCfg(As<_SERIAL_CONFIG>(p)).Report(t, true, false);
}

int CmdSeuId(const ItemContext& c, eCmdActions a, void* p)
{
    return sxcmd_dev_id(c.ctx, c.dev, a, As<_SEUID_CONFIG>(p));
}
bool ParseSeuId(const Values& v, const ItemContext&, void* p, std::string& e)
{
    unsigned id = 0;
    if (!CountValues(v, 1, 1, "ID", e) || !ParseUnsigned(v[0], id, e))
        return false;
    Store(_SEUID_CONFIG{id}, p);
    return true;
}
void ReportSeuId(const void* p, const ItemContext&, std::string& t)
{
    CSeuIDCfg(As<_SEUID_CONFIG>(p)).Report(t, true, false);
}

int CmdSelfCal(const ItemContext& c, eCmdActions a, void* p)
{
    return sxcmd_dev_selfcalstate(c.ctx, c.dev, a, As<_SELFCAL_CONFIG>(p));
}
bool ParseSelfCal(const Values& v, const ItemContext&, void* p, std::string& e)
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
void ReportSelfCal(const void* p, const ItemContext&, std::string& t)
{
    CSelfCalCfg(As<_SELFCAL_CONFIG>(p)).Report(t, true, false);
}

int CmdStationMap(const ItemContext& c, eCmdActions, void* p)
{
    return sxcmd_dev_stationmap(c.ctx, c.dev, As<_STATION_MAP>(p));
}
void ReportStationMap(const void* p, const ItemContext&, std::string& t)
{
    CStationMap(As<_STATION_MAP>(p)).Report(t, true, false);
}

int CmdBit(const ItemContext& c, eCmdActions, void* p)
{
    return sxcmd_dev_bit(c.ctx, c.dev, As<_BIT_STRUCT>(p));
}
void ReportBit(const void* p, const ItemContext&, std::string& t)
{
    CBitResult(As<_BIT_STRUCT>(p)).Report(t, true, false);
}

} // namespace sxtool::items
