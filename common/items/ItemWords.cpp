#include "ItemWords.h"

#include <SXCmdIF/SXCmdIF.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <strings.h>

namespace sxitems {

namespace {

const char* PosName(unsigned v)
{
    return CSXcmd::posunitsstr(v, false, false);
}
const char* PosShort(unsigned v)
{
    return CSXcmd::posunitsstr(v, false, true);
}
const char* PosLong(unsigned v)
{
    return CSXcmd::posunitsstr(v, true, false);
}
const char* OriName(unsigned v)
{
    return CSXcmd::oriunitsstr(v, false, false);
}
const char* OriShort(unsigned v)
{
    return CSXcmd::oriunitsstr(v, false, true);
}
const char* OriLong(unsigned v)
{
    return CSXcmd::oriunitsstr(v, true, false);
}
const char* FilterLevel(unsigned v)
{
    return CSXcmd::filterlevstr(v);
}
const char* FilterTarget(unsigned v)
{
    return CSXcmd::filtertarstr(v);
}
const char* HemPreset(unsigned v)
{
    return CSXcmd::hemispherestr(v);
}
const char* TrackerHem(unsigned v)
{
    return CSXcmd::sxhemispherestr(v);
}
const char* Ftt(unsigned v)
{
    return CSXcmd::fttstr(v);
}
const char* Origin(unsigned v)
{
    return CSXcmd::snsorigstr(v);
}
const char* Stylus(unsigned v)
{
    return CSXcmd::stylusmodestr(v);
}
const char* ParityName(unsigned v)
{
    return CSXcmd::paritystr(v);
}
const char* ParityText(unsigned v)
{
    return CSXcmd::parityvalstr(v);
}
const char* RateName(unsigned v)
{
    return CSXcmd::calcorrectstr(v, false);
}
const char* RateShort(unsigned v)
{
    return CSXcmd::calcorrectstr(v, true);
}

bool Same(const char* text, const std::string& word)
{
    return text && *text && strcasecmp(text, word.c_str()) == 0;
}

bool SameWithoutPrefix(const char* name, const char* prefix, const std::string& word)
{
    if (!name || !prefix)
        return false;
    const size_t n = std::char_traits<char>::length(prefix);
    return strncasecmp(name, prefix, n) == 0 && Same(name + n, word);
}

std::string Lower(const char* text)
{
    std::string s(text ? text : "");
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

const Vocabulary kPosUnits{"position units", "POS_", POS_MAX, PosName, PosShort, PosLong, "PosUnits"};
const Vocabulary kOriUnits{"orientation units", "ORI_", ORI_MAX, OriName, OriShort, OriLong, "OriUnits"};
const Vocabulary kFilterLevels{"filter level", "FILTER_LVL_", FILTER_LVL_RESERVED, FilterLevel,
                               nullptr,        nullptr,       "FilterLevel"};
const Vocabulary kFilterTargets{"filter target", "FILTER_TRGT_", FILTER_TRGT_MAX, FilterTarget,
                                nullptr,         nullptr,        "FilterTarget"};
const Vocabulary kHemispherePresets{"hemisphere", "",      CHemisphereCfg::CUSTOM, HemPreset,
                                    nullptr,      nullptr, "HemispherePreset"};
const Vocabulary kTrackerHemispheres{"start-up hemisphere", "", E_SX_HEM_MAX, TrackerHem, nullptr, nullptr,
                                     "StartupHemisphere"};
const Vocabulary kFttModes{"FTT mode", "FTT_MODE_", FTT_MODE_MAX, Ftt, nullptr, nullptr, "Ftt"};
const Vocabulary kSensorOrigins{"sensor origin", "SNS_ORIG_", SNS_ORIG_MAX, Origin, nullptr, nullptr, "Origin"};
const Vocabulary kStylusModes{"stylus mode", "STYLUS_MODE_", STYLUS_MODE_MAX, Stylus, nullptr, nullptr, "Stylus"};
const Vocabulary kParities{"parity", "E_PARITY_", E_PARITY_MAX, ParityName, ParityText, nullptr, "Parity"};
const Vocabulary kCorrectionRates{"correction rate", "CALCORRECT_", CALCORRECT_MAX,  RateName,
                                  RateShort,         nullptr,       "CorrectionRate"};

const Vocabulary* const* AllVocabularies(size_t& count)
{
    static const Vocabulary* const all[] = {
        &kPosUnits, &kOriUnits,      &kFilterLevels, &kFilterTargets, &kHemispherePresets, &kTrackerHemispheres,
        &kFttModes, &kSensorOrigins, &kStylusModes,  &kParities,      &kCorrectionRates};
    count = sizeof all / sizeof all[0];
    return all;
}

std::string Word(const Vocabulary& vocab, unsigned value)
{
    if (value >= vocab.count)
        return std::string();
    const char* name = vocab.name(value);
    const size_t n = std::char_traits<char>::length(vocab.prefix);
    return Lower(strncasecmp(name, vocab.prefix, n) == 0 ? name + n : name);
}

std::string Choices(const Vocabulary& vocab)
{
    std::string out;
    for (unsigned v = 0; v < vocab.count; ++v) {
        if (!out.empty())
            out += '|';
        out += Word(vocab, v);
    }
    return out;
}

bool ParseWord(const Vocabulary& vocab, const std::string& word, unsigned& value, std::string& error)
{
    for (unsigned v = 0; v < vocab.count; ++v) {
        if (Same(vocab.name(v), word) || SameWithoutPrefix(vocab.name(v), vocab.prefix, word) ||
            (vocab.text1 && Same(vocab.text1(v), word)) || (vocab.text2 && Same(vocab.text2(v), word))) {
            value = v;
            return true;
        }
    }
    unsigned number = 0;
    std::string ignored;
    if (ParseUnsigned(word, number, ignored) && number < vocab.count) {
        value = number;
        return true;
    }
    error = std::string("unknown ") + vocab.what + " '" + word + "' (one of " + Choices(vocab) + ")";
    return false;
}

bool ParseOnOff(const std::string& word, bool& on, std::string& error)
{
    static const char* const kOn[] = {"on", "true", "enable", "enabled", "1", "yes"};
    static const char* const kOff[] = {"off", "false", "disable", "disabled", "0", "no"};
    for (const char* w : kOn)
        if (Same(w, word))
            return on = true, true;
    for (const char* w : kOff)
        if (Same(w, word))
            return on = false, true;
    error = "'" + word + "' is neither on nor off";
    return false;
}

bool ParseFloat(const std::string& word, float& value, std::string& error)
{
    char* end = nullptr;
    errno = 0;
    const float v = std::strtof(word.c_str(), &end);
    if (word.empty() || *end != '\0' || errno == ERANGE || !std::isfinite(v)) {
        error = "'" + word + "' is not a finite number";
        return false;
    }
    value = v;
    return true;
}

bool ParseUnsigned(const std::string& word, unsigned& value, std::string& error)
{
    char* end = nullptr;
    errno = 0;
    const unsigned long v = std::strtoul(word.c_str(), &end, 0);
    if (word.empty() || word[0] == '-' || *end != '\0' || errno == ERANGE || v > 0xFFFFFFFFul) {
        error = "'" + word + "' is not an unsigned number";
        return false;
    }
    value = static_cast<unsigned>(v);
    return true;
}

bool ParseInt(const std::string& word, int& value, std::string& error)
{
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(word.c_str(), &end, 0);
    if (word.empty() || *end != '\0' || errno == ERANGE || v < -2147483647L - 1 || v > 2147483647L) {
        error = "'" + word + "' is not a whole number";
        return false;
    }
    value = static_cast<int>(v);
    return true;
}

bool CountValues(const Values& values, size_t min, size_t max, const char* syntax, std::string& error)
{
    if (values.size() >= min && values.size() <= max)
        return true;
    error = std::string("expected ") + syntax;
    return false;
}

} // namespace sxitems

namespace sxitems {

namespace {

bool InRange(long n, long count, const char* what, const char* plural, std::string& error)
{
    if (n >= 0 && n < count)
        return true;
    error = std::string(what) + " " + std::to_string(n) + " does not exist: " + plural + " are numbered 0 to " +
            std::to_string(count - 1);
    return false;
}

} // namespace

bool CheckSensor(long n, std::string& error)
{
    return InRange(n, kSensors, "sensor", "sensors", error);
}

bool CheckSource(long n, std::string& error)
{
    return InRange(n, kSources, "source", "sources", error);
}

bool CheckFinite(const char* what, double v, std::string& error)
{
    if (std::isfinite(v))
        return true;
    error = std::string(what) + " must be a finite number, not " + (std::isnan(v) ? "nan" : "inf");
    return false;
}

namespace {

unsigned RateHz(uint32_t code)
{
    return CFrameRateCfg(&code).EffectiveRate();
}

} // namespace

std::string FrameRateChoices()
{
    std::string out;
    for (uint32_t code = FR_30; code < FR_MAX; ++code) {
        if (code > FR_30)
            out += code + 1 == FR_MAX ? " or " : ", ";
        out += std::to_string(RateHz(code));
    }
    return out + " Hz";
}

bool FrameRateCode(double hz, uint32_t& code, std::string& error)
{
    for (uint32_t c = FR_30; c < FR_MAX; ++c)
        if (hz == static_cast<double>(RateHz(c))) {
            code = c;
            return true;
        }
    char given[64];
    std::snprintf(given, sizeof given, "%g", hz);
    error = std::string("the tracker has no frame rate of ") + given + " Hz: it has " + FrameRateChoices();
    return false;
}

} // namespace sxitems
