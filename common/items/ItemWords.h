// Value words and the checks of what users give, for every application that
// offers the items (sxtool's words, the Python module's values), with the
// messages both give. Enumerated values are matched against the library's
// own vocabulary (case does not matter): the enumerator name with or without
// its family prefix, and its short and long texts, so `cm`, `CM` and
// `POS_CM` all name the same unit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sxitems {

using Values = std::vector<std::string>;

// One vocabulary: values 0 to count - 1 and the texts that name them.
struct Vocabulary {
    const char* what;   // for messages: "position units"
    const char* prefix; // family prefix of the names, stripped as an alternative
    unsigned count;
    const char* (*name)(unsigned value);
    const char* (*text1)(unsigned value); // may be null
    const char* (*text2)(unsigned value); // may be null
    const char* enumName;                 // the Python module's enumeration: "PosUnits"
};

// Every vocabulary, for the applications that offer them all.
const Vocabulary* const* AllVocabularies(size_t& count);

extern const Vocabulary kPosUnits;
extern const Vocabulary kOriUnits;
extern const Vocabulary kFilterLevels;
extern const Vocabulary kFilterTargets;
extern const Vocabulary kHemispherePresets;
extern const Vocabulary kTrackerHemispheres;
extern const Vocabulary kFttModes;
extern const Vocabulary kSensorOrigins;
extern const Vocabulary kStylusModes;
extern const Vocabulary kParities;
extern const Vocabulary kCorrectionRates;

// A word of the vocabulary, or its number.
bool ParseWord(const Vocabulary& vocab, const std::string& word, unsigned& value, std::string& error);
// "on", "off", "true", "false", "enabled", "disabled", "1", "0".
bool ParseOnOff(const std::string& word, bool& on, std::string& error);
// A finite number ("nan" and "inf" are refused).
bool ParseFloat(const std::string& word, float& value, std::string& error);
// Decimal, or hexadecimal with 0x.
bool ParseUnsigned(const std::string& word, unsigned& value, std::string& error);
bool ParseInt(const std::string& word, int& value, std::string& error);
// Between min and max words, else an error naming the expected form.
bool CountValues(const Values& values, size_t min, size_t max, const char* syntax, std::string& error);
// The names a vocabulary accepts, for help texts: "inch|foot|cm|meter".
std::string Choices(const Vocabulary& vocab);
// The word of a value: its name without the family prefix, in lower case
// ("cm"); empty when the value is not in the vocabulary.
std::string Word(const Vocabulary& vocab, unsigned value);

// Sensors and sources an item addresses, and their checks.
constexpr int kSensors = 16;
constexpr int kSources = 4;
// "sensor 16 does not exist: sensors are numbered 0 to 15"
bool CheckSensor(long n, std::string& error);
bool CheckSource(long n, std::string& error);
// A value that must be a finite number.
bool CheckFinite(const char* what, double v, std::string& error);

// The frame rates the tracker has, as the library's frame-rate record
// reads its codes: "30, 60, 120, 240, 480 or 960 Hz".
std::string FrameRateChoices();
// The code of a rate in Hz, else an error naming the rates.
bool FrameRateCode(double hz, uint32_t& code, std::string& error);

} // namespace sxitems
