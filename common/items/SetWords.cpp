// Which parser reads each item's words, and the words each place takes.
#include "SetWordParsers.h"

#include <SXCmdIF/SXCmdIF.h>

namespace sxitems {

namespace {

using namespace words;

// The words one place takes: a vocabulary's, a fixed list, or the frame
// rates the library knows; none of them for a number.
struct Place {
    const Vocabulary* vocab = nullptr;
    const char* list = nullptr;
    bool rates = false;
};
constexpr Place kOnOffPlace{nullptr, "on|off"};

struct WordsRow {
    const char* item;
    WordParser parse;
    Place places[2];
};

constexpr WordsRow kWords[] = {
    {"units", ParseUnits, {{&kPosUnits}, {&kOriUnits}}},
    {"framerate", ParseFrameRate, {{nullptr, nullptr, true}}},
    {"filter", ParseFilter, {{&kFilterLevels}}},
    {"hemisphere", ParseHemisphere, {{&kHemispherePresets}, {nullptr, "auto|track"}}},
    {"boresight", ParseBoresight, {}},
    {"tipoffset", ParseTipOffset, {}},
    {"increment", ParseIncrement, {kOnOffPlace}},
    {"srcselect", ParseSrcSelect, {}},
    {"sourcecfg", ParseSourceCfg, {}},
    {"sourcerot", ParseSourceRot, {}},
    {"sync", ParseBinary, {kOnOffPlace}},
    {"dualoutput", ParseBinary, {kOnOffPlace}},
    {"oor", ParseBinary, {kOnOffPlace}},
    {"stylus", ParseStylus, {{&kStylusModes}}},
    {"serial", ParseSerial, {{}, {&kParities}}},
    {"seuid", ParseSeuId, {}},
    {"selfcal", ParseSelfCal, {{nullptr, "on|off|collect"}, {&kCorrectionRates}}},
    {"predfilter", ParsePredFilter, {kOnOffPlace, kOnOffPlace}},
    {"virtual", ParseVirtual, {}},
    {"fttmode", ParseFttMode, {{&kFttModes}}},
    {"origin", ParseOrigin, {{&kSensorOrigins}}},
};

const WordsRow* FindRow(const std::string& item)
{
    for (const WordsRow& row : kWords)
        if (item == row.item)
            return &row;
    return nullptr;
}

std::string RateWords()
{
    std::string out;
    for (uint32_t code = FR_30; code < FR_MAX; ++code)
        out += (out.empty() ? "" : "|") + std::to_string(CFrameRateCfg(&code).EffectiveRate());
    return out;
}

} // namespace

WordParser FindWordParser(const std::string& item)
{
    const WordsRow* row = FindRow(item);
    return row ? row->parse : nullptr;
}

bool ParseSetWords(const Item& row, const Values& words, const WordContext& c, void* payload, std::string& error)
{
    const WordParser parse = FindWordParser(row.name);
    if (!parse) {
        error = "takes no value words";
        return false;
    }
    if (parse(words, c, payload, error))
        return true;
    // What the item takes, when the parser did not say.
    if (error.rfind("expected ", 0) != 0)
        error += std::string("; expected ") + row.values;
    return false;
}

std::vector<std::string> SetWordChoices(const std::string& item)
{
    std::vector<std::string> out;
    const WordsRow* row = FindRow(item);
    if (!row)
        return out;
    for (const Place& p : row->places)
        out.push_back(p.vocab ? Choices(*p.vocab) : p.list ? p.list : p.rates ? RateWords() : std::string());
    while (!out.empty() && out.back().empty())
        out.pop_back();
    return out;
}

} // namespace sxitems
