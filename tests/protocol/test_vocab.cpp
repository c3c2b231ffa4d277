// Every vocabulary text, the out-of-range rule of each lookup, and the wide
// twins as the narrow texts widened.
#include <SXCmdIF/protocol/SXcmd.h>

#include "Widen.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using sxtest::Widen;

namespace {

using NarrowFn = std::function<const char*(unsigned)>;
using WideFn = std::function<const wchar_t*(unsigned)>;

// The lookup gives names[v] for v inside the list and `beyond` for the next
// values; the wide twin gives the same texts widened.
void ExpectVocabulary(const NarrowFn& n, const WideFn& w, const std::vector<const char*>& names, const char* beyond)
{
    for (unsigned v = 0; v < names.size(); ++v) {
        EXPECT_STREQ(n(v), names[v]) << v;
        EXPECT_EQ(std::wstring(w(v)), Widen(names[v])) << v;
    }
    for (unsigned v : {static_cast<unsigned>(names.size()), static_cast<unsigned>(names.size()) + 1, 100u, 0x7FFFFFFFu,
                       0xFFFFFFFFu}) {
        EXPECT_STREQ(n(v), beyond) << v;
        EXPECT_EQ(std::wstring(w(v)), Widen(beyond)) << v;
    }
}

TEST(Vocabulary, Baud)
{
    const std::vector<const char*> names = {"E_BR_1200",   "E_BR_2400",    "E_BR_4800",    "E_BR_9600",   "E_BR_19200",
                                            "E_BR_38400",  "E_BR_57600",   "E_BR_115200",  "E_BR_230400", "E_BR_460800",
                                            "E_BR_921600", "E_BR_1843200", "E_BR_3686400", "E_BR_7372800"};
    const std::vector<const char*> texts = {"1200",   "2400",   "4800",   "9600",   "19200",   "38400",   "57600",
                                            "115200", "230400", "460800", "921600", "1843200", "3686400", "7372800"};
    const int bps[] = {1200,   2400,   4800,   9600,   19200,   38400,   57600,
                       115200, 230400, 460800, 921600, 1843200, 3686400, 7372800};
    // Row 14 exists but the name lookups stop at 13.
    ExpectVocabulary(CSXcmd::baudstr, CSXcmd::baudstrW, names, "undefined_baud");
    ExpectVocabulary(CSXcmd::baudvalstr, CSXcmd::baudvalstrW, texts, "undefined");
    for (unsigned v = 0; v < 14; ++v) {
        EXPECT_EQ(CSXcmd::baudbps(v), bps[v]);
        EXPECT_EQ(CSXcmd::bpsbaud(bps[v]), v);
    }
    EXPECT_EQ(CSXcmd::baudbps(7), 115200);
    EXPECT_EQ(CSXcmd::baudbps(14), 0);
    EXPECT_EQ(CSXcmd::baudbps(15), 0);
    EXPECT_EQ(CSXcmd::baudbps(1000), 0);
    EXPECT_EQ(CSXcmd::bpsbaud(115200), 7u);
    EXPECT_EQ(CSXcmd::bpsbaud(1000), 14u);
    EXPECT_EQ(CSXcmd::bpsbaud(0), 14u); // row 14's rate 0 is not searched
    EXPECT_EQ(CSXcmd::bpsbaud(-1), 14u);
}

TEST(Vocabulary, Parity)
{
    ExpectVocabulary(CSXcmd::paritystr, CSXcmd::paritystrW, {"E_PARITY_NONE", "E_PARITY_ODD", "E_PARITY_EVEN"},
                     "undefined_parity");
    ExpectVocabulary(CSXcmd::parityvalstr, CSXcmd::parityvalstrW, {"none", "odd", "even"}, "undefined");
}

TEST(Vocabulary, BITcodes)
{
    ExpectVocabulary(CSXcmd::bitcodestr, CSXcmd::bitcodestrW,
                     {"E_BITERR_NONE", "E_BITERR_SENSOR", "E_BITERR_SENSOR_PORT", "E_BITERR_SOURCE", "E_BITERR_SEU",
                      "E_BITERR_DUPFREQ", "E_BITERR_RESERVED1", "E_BITERR_RESERVED2"},
                     "undefined_bit_code");
    ExpectVocabulary(
        CSXcmd::bitcodevalstr, CSXcmd::bitcodevalstrW,
        {"No Error", "SENSOR", "SENSOR PORT", "SOURCE", "SEU", "DUP SOURCE FREQ", "Reserved 1", "Reserved 2"},
        "undefined");
    EXPECT_STREQ(CSXcmd::bitcodevalstr(5), "DUP SOURCE FREQ");
    EXPECT_STREQ(CSXcmd::bitcodevalstr(8), "undefined");
}

// Clamped lookups: the maximum row answers every larger value.
void ExpectClamped(const NarrowFn& n, const WideFn& w, const std::vector<const char*>& names)
{
    std::vector<const char*> defined(names.begin(), names.end() - 1);
    ExpectVocabulary(n, w, defined, names.back());
}

TEST(Vocabulary, ClampedNameLists)
{
    ExpectClamped(CSXcmd::frameratestr, CSXcmd::frameratestrW,
                  {"FR_30", "FR_60", "FR_120", "FR_240", "FR_480", "FR_960", "FRAMERATE_UNDEFINED"});
    ExpectClamped(CSXcmd::filterlevstr, CSXcmd::filterlevstrW,
                  {"FILTER_LVL_NONE", "FILTER_LVL_LIGHT", "FILTER_LVL_MEDIUM", "FILTER_LVL_HEAVY", "FILTER_LVL_CUSTOM",
                   "FILTER_LVL_E_LIGHT", "FILTER_LVL_E_MEDIUM", "FILTER_LVL_E_HEAVY", "FILTER_LVL_RESERVED",
                   "FILTER_LVL_UNDEFINED"});
    ExpectClamped(CSXcmd::filtertarstr, CSXcmd::filtertarstrW,
                  {"FILTER_TRGT_PNO", "FILTER_TRGT_ORI", "FILTER_TRGT_POS", "FILTER_TRGT_UNDEFINED"});
    ExpectClamped(CSXcmd::hemispherestr, CSXcmd::hemispherestrW,
                  {"POS_X", "POS_Y", "POS_Z", "NEG_X", "NEG_Y", "NEG_Z", "CUSTOM", "HEMPRESETVAL_MAX"});
    ExpectClamped(CSXcmd::sxhemispherestr, CSXcmd::sxhemispherestrW,
                  {"POS_X", "POS_Y", "POS_Z", "NEG_X", "NEG_Y", "NEG_Z", "Auto", "E_SX_HEM_MAX"});
    ExpectClamped(CSXcmd::fttstr, CSXcmd::fttstrW,
                  {"FTT_MODE_NONE", "FTT_MODE_1", "FTT_MODE_2", "FTT_MODE_3", "FTT_MODE_UNDEFINED"});
    ExpectClamped(
        CSXcmd::ftthstr, CSXcmd::ftthstrW,
        {"FTTHOME_METHOD_0", "FTTHOME_METHOD_1", "FTTHOME_METHOD_2", "FTTHOME_METHOD_3", "FTTHOME_METHOD_UNDEFINED"});
    EXPECT_STREQ(CSXcmd::frameratestr(100), "FRAMERATE_UNDEFINED");
    EXPECT_STREQ(CSXcmd::filterlevstr(100), "FILTER_LVL_UNDEFINED");
}

TEST(Vocabulary, FixedTextBeyondTheList)
{
    ExpectVocabulary(CSXcmd::snsorigstr, CSXcmd::snsorigstrW,
                     {"SNS_ORIG_SRC1", "SNS_ORIG_SRC2", "SNS_ORIG_SRC3", "SNS_ORIG_SRC4", "SNS_ORIG_COMMON"},
                     "undefined_sensor_origin");
    ExpectVocabulary(CSXcmd::stylusmodestr, CSXcmd::stylusmodestrW,
                     {"STYLUS_MODE_MARK", "STYLUS_MODE_POINT", "STYLUS_MODE_LINE", "STYLUS_MODE_TOGGLE"},
                     "undefined_stylus_mode");
}

struct UnitsRow {
    const char* name;
    const char* longText;
    const char* shortText;
};

void ExpectUnits(const char* (*n)(unsigned, bool, bool), const wchar_t* (*w)(unsigned, bool, bool),
                 const std::vector<UnitsRow>& rows)
{
    const unsigned max = static_cast<unsigned>(rows.size()) - 1;
    for (unsigned v : {0u, 1u, 2u, 3u, 4u, 5u, 9u, 1000u, 0xFFFFFFFFu}) {
        const UnitsRow& r = rows[v > max ? max : v];
        EXPECT_STREQ(n(v, true, false), r.longText) << v;
        EXPECT_STREQ(n(v, true, true), r.longText) << v;
        EXPECT_STREQ(n(v, false, true), r.shortText) << v;
        EXPECT_STREQ(n(v, false, false), r.name) << v;
        EXPECT_EQ(std::wstring(w(v, true, false)), Widen(r.longText)) << v;
        EXPECT_EQ(std::wstring(w(v, false, true)), Widen(r.shortText)) << v;
        EXPECT_EQ(std::wstring(w(v, false, false)), Widen(r.name)) << v;
    }
}

TEST(Vocabulary, Units)
{
    ExpectUnits(CSXcmd::posunitsstr, CSXcmd::posunitsstrW,
                {{"POS_INCH", "Inch", "IN"},
                 {"POS_FOOT", "Foot", "FT"},
                 {"POS_CM", "CM", "CM"},
                 {"POS_METER", "M", "M"},
                 {"POS_UNITS_UNDEFINED", "", ""}});
    ExpectUnits(CSXcmd::oriunitsstr, CSXcmd::oriunitsstrW,
                {{"ORI_EULER_DEGREE", "Deg", "DEG"},
                 {"ORI_EULER_RADIAN", "Rad", "RAD"},
                 {"ORI_QUATERNION", "Quat", "QTRN"},
                 {"ORI_UNITS_UNKNOWN", "", ""}});
    EXPECT_STREQ(CSXcmd::posunitsstr(0, false, true), "IN");
    EXPECT_STREQ(CSXcmd::posunitsstr(0, true, true), "Inch");
    EXPECT_STREQ(CSXcmd::posunitsstr(0, false, false), "POS_INCH");
    EXPECT_STREQ(CSXcmd::posunitsstr(9, true, false), "");
    EXPECT_STREQ(CSXcmd::oriunitsstr(2, false, true), "QTRN");
}

TEST(Vocabulary, CalibrationCorrectRates)
{
    const char* names[] = {"CALCORRECT_SLOW", "CALCORRECT_MED", "CALCORRECT_FAST", "CALCORRECT_CUSTOM",
                           "CALCORRECT_MAX"};
    const char* shorts[] = {"SLOW", "MED", "FAST", "CUST", "MAX"};
    for (unsigned v : {0u, 1u, 2u, 3u, 4u, 5u, 100u, 0xFFFFFFFFu}) {
        const unsigned r = v > 4 ? 4 : v;
        EXPECT_STREQ(CSXcmd::calcorrectstr(v, false), names[r]) << v;
        EXPECT_STREQ(CSXcmd::calcorrectstr(v, true), shorts[r]) << v;
        EXPECT_EQ(std::wstring(CSXcmd::calcorrectstrW(v, false)), Widen(names[r])) << v;
        if (r != 3) {
            EXPECT_EQ(std::wstring(CSXcmd::calcorrectstrW(v, true)), Widen(shorts[r])) << v;
        }
    }
    // The one wide text that is not its narrow twin.
    EXPECT_STREQ(CSXcmd::calcorrectstr(3, true), "CUST");
    EXPECT_EQ(std::wstring(CSXcmd::calcorrectstrW(3, true)), L"CUSTOM");
}

TEST(Vocabulary, OnOffWords)
{
    EXPECT_STREQ(CSXcmd::binstr(5, false), "ENABLED");
    EXPECT_STREQ(CSXcmd::binstr(1, false), "ENABLED");
    EXPECT_STREQ(CSXcmd::binstr(0xFFFFFFFFu, false), "ENABLED");
    EXPECT_STREQ(CSXcmd::binstr(0, false), "DISABLED");
    EXPECT_STREQ(CSXcmd::binstr(1, true), "TRUE");
    EXPECT_STREQ(CSXcmd::binstr(0, true), "FALSE");
    EXPECT_EQ(std::wstring(CSXcmd::binstrW(7, false)), L"ENABLED");
    EXPECT_EQ(std::wstring(CSXcmd::binstrW(0, false)), L"DISABLED");
    EXPECT_EQ(std::wstring(CSXcmd::binstrW(2, true)), L"TRUE");
    EXPECT_EQ(std::wstring(CSXcmd::binstrW(0, true)), L"FALSE");
}

TEST(Vocabulary, BuildersReturnAtOnceAndChangeNothing)
{
    CSXcmd::InitBaudInfo();
    CSXcmd::InitParityInfo();
    CSXcmd::InitBITcodeInfo();
    CSXcmd::InitFRateInfo();
    CSXcmd::InitUnitsInfo();
    CSXcmd::InitFilterLevInfo();
    CSXcmd::InitFilterTarInfo();
    CSXcmd::InitHemisphereInfo();
    CSXcmd::InitSorixHemisphereInfo();
    CSXcmd::InitFTTInfo();
    CSXcmd::InitFTTHInfo();
    CSXcmd::InitSnsOrigInfo();
    CSXcmd::InitStylusInfo();
    CSXcmd::InitCalCorrectRateInfo();
    EXPECT_STREQ(CSXcmd::baudstr(0), "E_BR_1200");
    EXPECT_STREQ(CSXcmd::stylusmodestr(3), "STYLUS_MODE_TOGGLE");
}

// Texts live as long as the library: the same pointer every time.
TEST(Vocabulary, TextsAreStable)
{
    EXPECT_EQ(CSXcmd::fttstr(2), CSXcmd::fttstr(2));
    EXPECT_EQ(CSXcmd::cmdstr(7), CSXcmd::cmdstr(7));
}

} // namespace

#include <SXCmdIF/records/SXpayloads.h>

namespace {

TEST(Vocabulary, HemispherePresets)
{
    const float v[8][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {-1, 0, 0}, {0, -1, 0}, {0, 0, -1}, {0, 0, 0}, {0, 0, 0}};
    for (unsigned p : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 99u, 0xFFFFFFFFu}) {
        const unsigned r = p > 7 ? 7 : p;
        const _HEMISPHERE_CONFIG* h = CSXcmd::hemispherecfg(p);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(h->bf.bits, 0u) << p;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(h->vector[i], v[r][i]) << p << ":" << i;
    }
    EXPECT_EQ(CSXcmd::hemispherecfg(99), CSXcmd::hemispherecfg(7));
    EXPECT_EQ(CSXcmd::hemispherecfg(4)->vector[1], -1.0f);
}

} // namespace
