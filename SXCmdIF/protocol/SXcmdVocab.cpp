// The name lookups of the enumerated values. Each vocabulary is constant
// data indexed by value, one row per value up to its maximum; lookups never
// fail and only read.
#include <SXCmdIF/protocol/SXcmd.h>

#include "TextPair.h"

#include <cstdint>

namespace {

struct Text {
    const char* n;
    const wchar_t* w;
};

// A value's name with up to two texts.
struct Row {
    Text name;
    Text text;
    Text text2;
};

#define T(s)                                                                                                           \
    Text                                                                                                               \
    {                                                                                                                  \
        SX_NW(s)                                                                                                       \
    }
constexpr Text kNone{SX_NW("")};

struct BaudRow {
    Text name;
    Text text;
    int bps;
};

constexpr BaudRow kBaud[E_BR_MAX + 1] = {
    {T("E_BR_1200"), T("1200"), 1200},          {T("E_BR_2400"), T("2400"), 2400},
    {T("E_BR_4800"), T("4800"), 4800},          {T("E_BR_9600"), T("9600"), 9600},
    {T("E_BR_19200"), T("19200"), 19200},       {T("E_BR_38400"), T("38400"), 38400},
    {T("E_BR_57600"), T("57600"), 57600},       {T("E_BR_115200"), T("115200"), 115200},
    {T("E_BR_230400"), T("230400"), 230400},    {T("E_BR_460800"), T("460800"), 460800},
    {T("E_BR_921600"), T("921600"), 921600},    {T("E_BR_1843200"), T("1843200"), 1843200},
    {T("E_BR_3686400"), T("3686400"), 3686400}, {T("E_BR_7372800"), T("7372800"), 7372800},
    {T("BAUD_UNDEFINED"), T("undef"), 0},
};

constexpr Row kParity[E_PARITY_MAX + 1] = {
    {T("E_PARITY_NONE"), T("none"), kNone},
    {T("E_PARITY_ODD"), T("odd"), kNone},
    {T("E_PARITY_EVEN"), T("even"), kNone},
    {T("E_PARITY_MAX"), T("undef"), kNone},
};

constexpr Row kBITcode[E_BITERR_MAX + 1] = {
    {T("E_BITERR_NONE"), T("No Error"), kNone},
    {T("E_BITERR_SENSOR"), T("SENSOR"), kNone},
    {T("E_BITERR_SENSOR_PORT"), T("SENSOR PORT"), kNone},
    {T("E_BITERR_SOURCE"), T("SOURCE"), kNone},
    {T("E_BITERR_SEU"), T("SEU"), kNone},
    {T("E_BITERR_DUPFREQ"), T("DUP SOURCE FREQ"), kNone},
    {T("E_BITERR_RESERVED1"), T("Reserved 1"), kNone},
    {T("E_BITERR_RESERVED2"), T("Reserved 2"), kNone},
    {T("E_BITERR_MAX"), T("Undefined error"), kNone},
};

constexpr Text kFrameRate[FR_MAX + 1] = {
    T("FR_30"), T("FR_60"), T("FR_120"), T("FR_240"), T("FR_480"), T("FR_960"), T("FRAMERATE_UNDEFINED"),
};

// Units: name, long text, short text.
constexpr Row kPosUnits[POS_MAX + 1] = {
    {T("POS_INCH"), T("Inch"), T("IN")}, {T("POS_FOOT"), T("Foot"), T("FT")},      {T("POS_CM"), T("CM"), T("CM")},
    {T("POS_METER"), T("M"), T("M")},    {T("POS_UNITS_UNDEFINED"), kNone, kNone},
};

constexpr Row kOriUnits[ORI_MAX + 1] = {
    {T("ORI_EULER_DEGREE"), T("Deg"), T("DEG")},
    {T("ORI_EULER_RADIAN"), T("Rad"), T("RAD")},
    {T("ORI_QUATERNION"), T("Quat"), T("QTRN")},
    {T("ORI_UNITS_UNKNOWN"), kNone, kNone},
};

constexpr Text kFilterLev[FILTER_LVL_MAX + 1] = {
    T("FILTER_LVL_NONE"),     T("FILTER_LVL_LIGHT"),     T("FILTER_LVL_MEDIUM"),   T("FILTER_LVL_HEAVY"),
    T("FILTER_LVL_CUSTOM"),   T("FILTER_LVL_E_LIGHT"),   T("FILTER_LVL_E_MEDIUM"), T("FILTER_LVL_E_HEAVY"),
    T("FILTER_LVL_RESERVED"), T("FILTER_LVL_UNDEFINED"),
};

constexpr Text kFilterTar[FILTER_TRGT_MAX + 1] = {
    T("FILTER_TRGT_PNO"),
    T("FILTER_TRGT_ORI"),
    T("FILTER_TRGT_POS"),
    T("FILTER_TRGT_UNDEFINED"),
};

// Hemisphere presets of a sensor's hemisphere record.
constexpr uint32_t kHemPresetMax = 7;
constexpr Text kHemPreset[kHemPresetMax + 1] = {
    T("POS_X"), T("POS_Y"), T("POS_Z"), T("NEG_X"), T("NEG_Y"), T("NEG_Z"), T("CUSTOM"), T("HEMPRESETVAL_MAX"),
};

constexpr Text kSorixHem[E_SX_HEM_MAX + 1] = {
    T("POS_X"), T("POS_Y"), T("POS_Z"), T("NEG_X"), T("NEG_Y"), T("NEG_Z"), T("Auto"), T("E_SX_HEM_MAX"),
};

constexpr Text kFTT[FTT_MODE_MAX + 1] = {
    T("FTT_MODE_NONE"), T("FTT_MODE_1"), T("FTT_MODE_2"), T("FTT_MODE_3"), T("FTT_MODE_UNDEFINED"),
};

constexpr Text kFTTH[FTTHOME_METHOD_MAX + 1] = {
    T("FTTHOME_METHOD_0"), T("FTTHOME_METHOD_1"),         T("FTTHOME_METHOD_2"),
    T("FTTHOME_METHOD_3"), T("FTTHOME_METHOD_UNDEFINED"),
};

constexpr Text kSnsOrig[SNS_ORIG_MAX + 1] = {
    T("SNS_ORIG_SRC1"), T("SNS_ORIG_SRC2"),   T("SNS_ORIG_SRC3"),
    T("SNS_ORIG_SRC4"), T("SNS_ORIG_COMMON"), T("SNS_ORIG_MAX"),
};

constexpr Text kStylus[STYLUS_MODE_MAX + 1] = {
    T("STYLUS_MODE_MARK"), T("STYLUS_MODE_POINT"), T("STYLUS_MODE_LINE"), T("STYLUS_MODE_TOGGLE"), T("STYLUS_MODE_MAX"),
};

// Correction rates: name, short text. The custom rate's wide short text is
// the long word, the one place where the wide text is not the narrow one.
constexpr Row kCalCorrect[CALCORRECT_MAX + 1] = {
    {T("CALCORRECT_SLOW"), T("SLOW"), kNone}, {T("CALCORRECT_MED"), T("MED"), kNone},
    {T("CALCORRECT_FAST"), T("FAST"), kNone}, {T("CALCORRECT_CUSTOM"), Text{"CUST", L"CUSTOM"}, kNone},
    {T("CALCORRECT_MAX"), T("MAX"), kNone},
};

#undef T

// Texts for values above a vocabulary's defined rows.
constexpr Text kUndefBaud{SX_NW("undefined_baud")};
constexpr Text kUndefParity{SX_NW("undefined_parity")};
constexpr Text kUndefBitCode{SX_NW("undefined_bit_code")};
constexpr Text kUndefSnsOrig{SX_NW("undefined_sensor_origin")};
constexpr Text kUndefStylus{SX_NW("undefined_stylus_mode")};
constexpr Text kUndefined{SX_NW("undefined")};

constexpr Text kEnabled{SX_NW("ENABLED")};
constexpr Text kDisabled{SX_NW("DISABLED")};
constexpr Text kTrue{SX_NW("TRUE")};
constexpr Text kFalse{SX_NW("FALSE")};

constexpr unsigned int Clamp(unsigned int v, unsigned int max)
{
    return v > max ? max : v;
}

// The units texts: long text, else short text, else name.
constexpr const Text& UnitsText(const Row& r, bool longText, bool shortText)
{
    return longText ? r.text : (shortText ? r.text2 : r.name);
}

const Text& BinText(unsigned int v, bool trueFalse)
{
    if (v != 0)
        return trueFalse ? kTrue : kEnabled;
    return trueFalse ? kFalse : kDisabled;
}

} // namespace

// The vocabularies are constant data: nothing to build.
void CSXcmd::InitBaudInfo()
{
}
void CSXcmd::InitParityInfo()
{
}
void CSXcmd::InitBITcodeInfo()
{
}
void CSXcmd::InitFRateInfo()
{
}
void CSXcmd::InitUnitsInfo()
{
}
void CSXcmd::InitFilterLevInfo()
{
}
void CSXcmd::InitFilterTarInfo()
{
}
void CSXcmd::InitSorixHemisphereInfo()
{
}
void CSXcmd::InitFTTInfo()
{
}
void CSXcmd::InitFTTHInfo()
{
}
void CSXcmd::InitSnsOrigInfo()
{
}
void CSXcmd::InitStylusInfo()
{
}
void CSXcmd::InitCalCorrectRateInfo()
{
}

const char* CSXcmd::baudstr(unsigned int v)
{
    return v < E_BR_MAX ? kBaud[v].name.n : kUndefBaud.n;
}
const wchar_t* CSXcmd::baudstrW(unsigned int v)
{
    return v < E_BR_MAX ? kBaud[v].name.w : kUndefBaud.w;
}
const char* CSXcmd::baudvalstr(unsigned int v)
{
    return v < E_BR_MAX ? kBaud[v].text.n : kUndefined.n;
}
const wchar_t* CSXcmd::baudvalstrW(unsigned int v)
{
    return v < E_BR_MAX ? kBaud[v].text.w : kUndefined.w;
}
int CSXcmd::baudbps(unsigned int v)
{
    return kBaud[Clamp(v, E_BR_MAX)].bps;
}

unsigned int CSXcmd::bpsbaud(int bps)
{
    for (unsigned int v = 0; v < E_BR_MAX; ++v)
        if (kBaud[v].bps == bps)
            return v;
    return E_BR_MAX;
}

const char* CSXcmd::paritystr(unsigned int v)
{
    return v < E_PARITY_MAX ? kParity[v].name.n : kUndefParity.n;
}
const wchar_t* CSXcmd::paritystrW(unsigned int v)
{
    return v < E_PARITY_MAX ? kParity[v].name.w : kUndefParity.w;
}
const char* CSXcmd::parityvalstr(unsigned int v)
{
    return v < E_PARITY_MAX ? kParity[v].text.n : kUndefined.n;
}
const wchar_t* CSXcmd::parityvalstrW(unsigned int v)
{
    return v < E_PARITY_MAX ? kParity[v].text.w : kUndefined.w;
}

const char* CSXcmd::bitcodestr(unsigned int v)
{
    return v < E_BITERR_MAX ? kBITcode[v].name.n : kUndefBitCode.n;
}
const wchar_t* CSXcmd::bitcodestrW(unsigned int v)
{
    return v < E_BITERR_MAX ? kBITcode[v].name.w : kUndefBitCode.w;
}
const char* CSXcmd::bitcodevalstr(unsigned int v)
{
    return v < E_BITERR_MAX ? kBITcode[v].text.n : kUndefined.n;
}
const wchar_t* CSXcmd::bitcodevalstrW(unsigned int v)
{
    return v < E_BITERR_MAX ? kBITcode[v].text.w : kUndefined.w;
}

const char* CSXcmd::frameratestr(unsigned int v)
{
    return kFrameRate[Clamp(v, FR_MAX)].n;
}
const wchar_t* CSXcmd::frameratestrW(unsigned int v)
{
    return kFrameRate[Clamp(v, FR_MAX)].w;
}

const char* CSXcmd::posunitsstr(unsigned int v, bool longText, bool shortText)
{
    return UnitsText(kPosUnits[Clamp(v, POS_MAX)], longText, shortText).n;
}
const wchar_t* CSXcmd::posunitsstrW(unsigned int v, bool longText, bool shortText)
{
    return UnitsText(kPosUnits[Clamp(v, POS_MAX)], longText, shortText).w;
}
const char* CSXcmd::oriunitsstr(unsigned int v, bool longText, bool shortText)
{
    return UnitsText(kOriUnits[Clamp(v, ORI_MAX)], longText, shortText).n;
}
const wchar_t* CSXcmd::oriunitsstrW(unsigned int v, bool longText, bool shortText)
{
    return UnitsText(kOriUnits[Clamp(v, ORI_MAX)], longText, shortText).w;
}

const char* CSXcmd::filterlevstr(unsigned int v)
{
    return kFilterLev[Clamp(v, FILTER_LVL_MAX)].n;
}
const wchar_t* CSXcmd::filterlevstrW(unsigned int v)
{
    return kFilterLev[Clamp(v, FILTER_LVL_MAX)].w;
}
const char* CSXcmd::filtertarstr(unsigned int v)
{
    return kFilterTar[Clamp(v, FILTER_TRGT_MAX)].n;
}
const wchar_t* CSXcmd::filtertarstrW(unsigned int v)
{
    return kFilterTar[Clamp(v, FILTER_TRGT_MAX)].w;
}
const char* CSXcmd::hemispherestr(unsigned int v)
{
    return kHemPreset[Clamp(v, kHemPresetMax)].n;
}
const wchar_t* CSXcmd::hemispherestrW(unsigned int v)
{
    return kHemPreset[Clamp(v, kHemPresetMax)].w;
}
const char* CSXcmd::sxhemispherestr(unsigned int v)
{
    return kSorixHem[Clamp(v, E_SX_HEM_MAX)].n;
}
const wchar_t* CSXcmd::sxhemispherestrW(unsigned int v)
{
    return kSorixHem[Clamp(v, E_SX_HEM_MAX)].w;
}
const char* CSXcmd::fttstr(unsigned int v)
{
    return kFTT[Clamp(v, FTT_MODE_MAX)].n;
}
const wchar_t* CSXcmd::fttstrW(unsigned int v)
{
    return kFTT[Clamp(v, FTT_MODE_MAX)].w;
}
const char* CSXcmd::ftthstr(unsigned int v)
{
    return kFTTH[Clamp(v, FTTHOME_METHOD_MAX)].n;
}
const wchar_t* CSXcmd::ftthstrW(unsigned int v)
{
    return kFTTH[Clamp(v, FTTHOME_METHOD_MAX)].w;
}

const char* CSXcmd::snsorigstr(unsigned int v)
{
    return v < SNS_ORIG_MAX ? kSnsOrig[v].n : kUndefSnsOrig.n;
}
const wchar_t* CSXcmd::snsorigstrW(unsigned int v)
{
    return v < SNS_ORIG_MAX ? kSnsOrig[v].w : kUndefSnsOrig.w;
}
const char* CSXcmd::stylusmodestr(unsigned int v)
{
    return v < STYLUS_MODE_MAX ? kStylus[v].n : kUndefStylus.n;
}
const wchar_t* CSXcmd::stylusmodestrW(unsigned int v)
{
    return v < STYLUS_MODE_MAX ? kStylus[v].w : kUndefStylus.w;
}

const char* CSXcmd::calcorrectstr(unsigned int v, bool shortText)
{
    const Row& r = kCalCorrect[Clamp(v, CALCORRECT_MAX)];
    return shortText ? r.text.n : r.name.n;
}
const wchar_t* CSXcmd::calcorrectstrW(unsigned int v, bool shortText)
{
    const Row& r = kCalCorrect[Clamp(v, CALCORRECT_MAX)];
    return shortText ? r.text.w : r.name.w;
}

const char* CSXcmd::binstr(unsigned int v, bool trueFalse)
{
    return BinText(v, trueFalse).n;
}
const wchar_t* CSXcmd::binstrW(unsigned int v, bool trueFalse)
{
    return BinText(v, trueFalse).w;
}
