// The records the items carry, one row each: name, payload record, size,
// default, fields and report. The fields of a payload record's members are
// taken from the member's own type (words, floats, texts, matrices), so a
// row cannot disagree with the record it describes.
#include "ItemTable.h"
#include "ItemWords.h"

#include <SXCmdIF/SXCmdIF.h>

#include <cstring>
#include <iterator>
#include <type_traits>

namespace sxitems {

namespace {

template <class M>
constexpr FieldType TypeOf()
{
    using E = std::remove_all_extents_t<M>;
    if constexpr (std::is_same_v<E, float>)
        return std::rank_v<M> == 2 ? FieldType::Matrix : FieldType::F32;
    else if constexpr (std::is_same_v<E, char>)
        return FieldType::Text;
    else if constexpr (std::is_same_v<E, int32_t>)
        return FieldType::I32;
    else {
        static_assert(std::is_same_v<E, uint32_t>, "a field is made of words, floats or text");
        return FieldType::U32;
    }
}

template <class M>
constexpr Field Member(const char* name, size_t offset, const char* doc)
{
    constexpr uint16_t count = std::rank_v<M> == 0 ? 1 : static_cast<uint16_t>(std::extent_v<M, 0>);
    constexpr uint8_t cols = std::rank_v<M> == 2 ? static_cast<uint8_t>(std::extent_v<M, 1>) : 0;
    return Field{
        name,    TypeOf<M>(),      static_cast<uint16_t>(offset), count, cols, 0, 0, true, RecordKind::None, doc,
        nullptr, FieldForm::Number};
}

// A member of the payload record, typed by the member itself.
#define SXI_MEMBER(Rec, member, doc) Member<decltype(Rec::member)>(#member, offsetof(Rec, member), doc)

// Bits of the word at offset.
constexpr Field Bits(const char* name, size_t offset, uint8_t shift, uint8_t width, const char* doc)
{
    return Field{
        name,    FieldType::Bits,  static_cast<uint16_t>(offset), 1, 0, shift, width, true, RecordKind::None, doc,
        nullptr, FieldForm::Number};
}
constexpr Field Flag(const char* name, size_t offset, uint8_t bit, const char* doc)
{
    return Field{name,    FieldType::Flag,   static_cast<uint16_t>(offset), 1, 0, bit, 1, true, RecordKind::None, doc,
                 nullptr, FieldForm::Boolean};
}
// The whole word that bit fields share, settable but not among the shown fields.
constexpr Field Word(const char* name, size_t offset, const char* doc)
{
    return Field{name,    FieldType::U32,   static_cast<uint16_t>(offset), 1, 0, 0, 0, false, RecordKind::None, doc,
                 nullptr, FieldForm::Number};
}
constexpr Field Nested(const char* name, size_t offset, RecordKind kind, const char* doc)
{
    return Field{name,    FieldType::Record, static_cast<uint16_t>(offset), 1, 0, 0, 0, true, kind, doc,
                 nullptr, FieldForm::Number};
}

// An enumerated field: its value words.
constexpr Field Named(Field f, const Vocabulary& words)
{
    f.words = &words;
    return f;
}
// A number that stands for something else: a truth value, a rate.
constexpr Field Meaning(Field f, FieldForm form)
{
    f.form = form;
    return f;
}

// ---- Fields -------------------------------------------------------------------

constexpr const char* kOnOff = "0 off; any other value on.";

constexpr Field kUnitsFields[] = {
    Named(SXI_MEMBER(_UNITS_CONFIG, pos_units, "Position units: 0 inch, 1 foot, 2 cm, 3 metre."), kPosUnits),
    Named(SXI_MEMBER(_UNITS_CONFIG, ori_units, "Orientation units: 0 Euler degrees, 1 Euler radians, 2 quaternion."),
          kOriUnits),
};
constexpr Field kBinaryFields[] = {Meaning(SXI_MEMBER(_BINARY_CONFIG, value, kOnOff), FieldForm::Boolean)};
constexpr Field kFttFields[] = {Named(SXI_MEMBER(_ENUM_CONFIG, value, "An eFTTMode value."), kFttModes)};
constexpr Field kOriginFields[] = {Named(SXI_MEMBER(_ENUM_CONFIG, value, "An eSensorOrigin value."), kSensorOrigins)};
constexpr Field kStylusFields[] = {
    Named(SXI_MEMBER(_STYLUS_CONFIG, value, "0 mark, 1 point, 2 line, 3 toggle."), kStylusModes)};
constexpr Field kFrameRateFields[] = {
    Meaning(SXI_MEMBER(_FRAMERATE_CONFIG, frame_rate, "Rate code 0 to 5: 30, 60, 120, 240, 480, 960 Hz."),
            FieldForm::RateHz),
};
constexpr Field kSeuIdFields[] = {SXI_MEMBER(_SEUID_CONFIG, seuID, "The unit identifier.")};
constexpr Field kSerialFields[] = {
    Meaning(Bits("baudrate", offsetof(_SERIAL_CONFIG, sercfg), 0, 4, "Bits 0-3: an eBaud value (7 is 115200)."),
            FieldForm::BaudBps),
    Named(Bits("parity", offsetof(_SERIAL_CONFIG, sercfg), 4, 2, "Bits 4-5: 0 none, 1 odd, 2 even."), kParities),
    Bits("res", offsetof(_SERIAL_CONFIG, sercfg), 6, 26, "Bits 6-31, reserved; carried unchanged."),
    Word("sercfg", offsetof(_SERIAL_CONFIG, sercfg), "The whole word."),
};
constexpr Field kStationMapFields[] = {
    Bits("sensor_map", offsetof(_STATION_MAP, map), 0, 16, "Bit n: sensor n detected."),
    Bits("source_map", offsetof(_STATION_MAP, map), 24, 4, "Bit n: source n detected."),
    Word("map", offsetof(_STATION_MAP, map), "The whole word."),
};
constexpr Field kSourceFields[] = {
    SXI_MEMBER(_SRC_CONFIG, srcfreq, "Frequency identifier of the source."),
    SXI_MEMBER(_SRC_CONFIG, position, "x, y, z in the position units."),
    SXI_MEMBER(_SRC_CONFIG, rotation, "Azimuth, elevation, roll, unused; or the quaternion w, x, y, z."),
    Named(SXI_MEMBER(_SRC_CONFIG, startupHem, "Start-up hemisphere code."), kTrackerHemispheres),
};
constexpr Field kSourceRotFields[] = {
    SXI_MEMBER(_SRCROT_CONFIG, srcfreq, "Frequency identifier of the source."),
    SXI_MEMBER(_SRCROT_CONFIG, rotation, "Azimuth, elevation, roll, unused; or the quaternion w, x, y, z."),
};
constexpr Field kSourceSelectFields[] = {SXI_MEMBER(_SRC_SEL_CONFIG, SRC_SEL_MAP, "Bit n: source n selected.")};
constexpr Field kHemisphereFields[] = {
    Flag("track_en", offsetof(_HEMISPHERE_CONFIG, bf), 0, "Hemisphere tracking on."),
    Flag("auto_en", offsetof(_HEMISPHERE_CONFIG, bf), 1, "Automatic hemisphere on."),
    SXI_MEMBER(_HEMISPHERE_CONFIG, vector, "x, y, z of the hemisphere direction."),
    Word("bf", offsetof(_HEMISPHERE_CONFIG, bf), "The whole bit word."),
};
constexpr Field kFilterFields[] = {
    Named(SXI_MEMBER(_FILTER_CONFIG, level, "0 none, 1 light, 2 medium, 3 heavy, 4 custom, 5-8 enhanced."),
          kFilterLevels),
    SXI_MEMBER(_FILTER_CONFIG, F, "Filter parameter F."),
    SXI_MEMBER(_FILTER_CONFIG, Flow, "Filter parameter Flow."),
    SXI_MEMBER(_FILTER_CONFIG, Fhigh, "Filter parameter Fhigh."),
    SXI_MEMBER(_FILTER_CONFIG, MaxT, "Filter parameter MaxT."),
};
constexpr Field kTipOffsetFields[] = {
    SXI_MEMBER(_TIP_OFFSET_CONFIG, x, "x in the position units."),
    SXI_MEMBER(_TIP_OFFSET_CONFIG, y, "y in the position units."),
    SXI_MEMBER(_TIP_OFFSET_CONFIG, z, "z in the position units."),
};
constexpr Field kIncrementFields[] = {
    Meaning(SXI_MEMBER(_INCREMENT_CONFIG, enabled, "1 on, 0 off."), FieldForm::Boolean),
    SXI_MEMBER(_INCREMENT_CONFIG, fPosThresh, "Position threshold; 0 or less: automatic."),
    SXI_MEMBER(_INCREMENT_CONFIG, fOriThresh, "Orientation threshold; 0 or less: automatic."),
};
constexpr Field kBoresightFields[] = {
    SXI_MEMBER(_BORESIGHT_CONFIG, ori, "Three Euler angles and an unused value, or w, x, y, z."),
};
constexpr Field kPredFilterFields[] = {
    Meaning(SXI_MEMBER(_PF_CONFIG, qFil_on, "Orientation prediction on (1) or off (0)."), FieldForm::Boolean),
    Meaning(SXI_MEMBER(_PF_CONFIG, pFil_on, "Position prediction on (1) or off (0)."), FieldForm::Boolean),
    SXI_MEMBER(_PF_CONFIG, predTime, "Prediction time in seconds."),
};
constexpr Field kNoiseFields[] = {
    SXI_MEMBER(_NOISEPROFILE, Rq, "4 x 4 matrix Rq."),
    SXI_MEMBER(_NOISEPROFILE, Qq, "3 x 3 matrix Qq."),
    SXI_MEMBER(_NOISEPROFILE, Rr, "3 x 3 matrix Rr."),
    SXI_MEMBER(_NOISEPROFILE, Qr, "3 x 3 matrix Qr."),
};
constexpr Field kPredFilterExtFields[] = {
    Meaning(SXI_MEMBER(_PF_CONFIG_EXT, qFil_on, "Orientation prediction on (1) or off (0)."), FieldForm::Boolean),
    Meaning(SXI_MEMBER(_PF_CONFIG_EXT, pFil_on, "Position prediction on (1) or off (0)."), FieldForm::Boolean),
    SXI_MEMBER(_PF_CONFIG_EXT, predTime, "Prediction time in seconds."),
    SXI_MEMBER(_PF_CONFIG_EXT, reserved, "Not interpreted."),
    Nested("noise", offsetof(_PF_CONFIG_EXT, noise), RecordKind::NoiseProfile,
           "The noise profile (a copy: assign a whole NoiseProfile to change it)."),
};
constexpr Field kVirtualFields[] = {
    SXI_MEMBER(_VIRTUAL_SNS_CONFIG, Input1, "The input the reports show."),
    SXI_MEMBER(_VIRTUAL_SNS_CONFIG, word1, "Carried as given."),
    SXI_MEMBER(_VIRTUAL_SNS_CONFIG, word2, "Carried as given."),
    SXI_MEMBER(_VIRTUAL_SNS_CONFIG, word3, "Carried as given."),
};
constexpr Field kWhoAmIFields[] = {
    SXI_MEMBER(_WHOAMI_STRUCT, device_name, "Device name."),
    SXI_MEMBER(_WHOAMI_STRUCT, hw_ser_no, "Hardware serial number."),
    SXI_MEMBER(_WHOAMI_STRUCT, ioproc, "I/O processor firmware."),
    SXI_MEMBER(_WHOAMI_STRUCT, dsp_bt_fw, "DSP boot firmware."),
    SXI_MEMBER(_WHOAMI_STRUCT, dsp_app_fw, "DSP application firmware."),
};
constexpr Field kBitFields[] = {SXI_MEMBER(_BIT_STRUCT, err, "Word i: error bits of BIT code i + 1.")};
constexpr Field kSelfCalFields[] = {
    SXI_MEMBER(_SELFCAL_CONFIG, state, "Bits 0-7 operating state, bits 8-15 memory state."),
    Named(SXI_MEMBER(_SELFCAL_CONFIG, correction_rate, "0 slow, 1 medium, 2 fast, 3 custom."), kCorrectionRates),
    SXI_MEMBER(_SELFCAL_CONFIG, custom_rate, "The correction rate value."),
};

#undef SXI_MEMBER

// ---- Reports: the record classes' own -------------------------------------------

// The record, copied out of the caller's bytes.
template <class R>
R At(const void* p)
{
    R r;
    std::memcpy(&r, p, sizeof r);
    return r;
}

// A report of a record class built from the record's address.
template <class Cls, class R>
void Plain(const void* p, const ReportContext&, bool h, bool o, std::string& t)
{
    const R r = At<R>(p);
    Cls(&r).Report(t, h, o);
}
// The same for the one-word classes, built from the word's address.
template <class Cls, class R>
void OneWord(const void* p, const ReportContext&, bool h, bool o, std::string& t)
{
    const R r = At<R>(p);
    Cls(&r.value).Report(t, h, o);
}

void ReportUnits(const void* p, const ReportContext&, bool h, bool o, std::string& t)
{
    const auto r = At<_UNITS_CONFIG>(p);
    CUnitsCfg(&r).Report(t, h, o, true);
}
void ReportFrameRate(const void* p, const ReportContext&, bool h, bool o, std::string& t)
{
    const auto r = At<_FRAMERATE_CONFIG>(p);
    CFrameRateCfg(&r.frame_rate).Report(t, h, o, true);
}
void ReportSource(const void* p, const ReportContext& c, bool h, bool o, std::string& t)
{
    const auto r = At<_SRC_CONFIG>(p);
    CSrcCfg s(&r);
    s.units = CUnitsCfg(&c.units);
    s.Report(t, h, o);
}
void ReportSourceRot(const void* p, const ReportContext& c, bool h, bool o, std::string& t)
{
    const auto r = At<_SRCROT_CONFIG>(p);
    CSrcRotCfg s(&r);
    s.Units() = c.units.ori_units;
    s.Report(t, h, o);
}
void ReportFilter(const void* p, const ReportContext& c, bool h, bool o, std::string& t)
{
    const auto r = At<_FILTER_CONFIG>(p);
    CFilterCfg(&r).Report(t, h, o, c.filterTarget);
}
void ReportBoresight(const void* p, const ReportContext& c, bool h, bool o, std::string& t)
{
    const auto r = At<_BORESIGHT_CONFIG>(p);
    CBoresightCfg(&r).Report(t, c.units.ori_units, h, o);
}
void ReportWhoAmI(const void* p, const ReportContext&, bool h, bool o, std::string& t)
{
    const auto r = At<_WHOAMI_STRUCT>(p);
    CWhoAmI(&r).Report(t, h, o); // makes its copy printable
}

// ---- Rows -------------------------------------------------------------------------

#define SXI_FIELDS(f) f, std::size(f)

// The default records live in the SDK's library; where that is a Windows
// DLL their addresses are known only once it is loaded, so the rows are
// filled at start-up there and checked by the Linux build.
#ifdef _WIN32
#define SXI_ROWS const
#else
#define SXI_ROWS constexpr
#endif

SXI_ROWS RecordDef kRecords[] = {
    {RecordKind::Units, "Units", "UNITS_CONFIG", sizeof(_UNITS_CONFIG), &CUnitsCfg::Default, SXI_FIELDS(kUnitsFields),
     false, ReportUnits, "Position and orientation units (UNITS_CONFIG)."},
    {RecordKind::SyncMode, "SyncMode", "BINARY_CONFIG", sizeof(_BINARY_CONFIG), &CSyncModeCfg::Default,
     SXI_FIELDS(kBinaryFields), false, OneWord<CSyncModeCfg, _BINARY_CONFIG>,
     "External synchronisation on or off (BINARY_CONFIG)."},
    {RecordKind::DualOutput, "DualOutput", "BINARY_CONFIG", sizeof(_BINARY_CONFIG), &CDualOutputCfg::Default,
     SXI_FIELDS(kBinaryFields), false, OneWord<CDualOutputCfg, _BINARY_CONFIG>,
     "Dual output on or off (BINARY_CONFIG)."},
    {RecordKind::OorMode, "OorMode", "BINARY_CONFIG", sizeof(_BINARY_CONFIG), nullptr, SXI_FIELDS(kBinaryFields), false,
     OneWord<CBinaryCfg, _BINARY_CONFIG>, "Out-of-range mode on or off (BINARY_CONFIG)."},
    {RecordKind::FttMode, "FttMode", "ENUM_CONFIG", sizeof(_ENUM_CONFIG), &CFTTCfg::Default, SXI_FIELDS(kFttFields),
     false, OneWord<CFTTCfg, _ENUM_CONFIG>, "FTT mode of a sensor (ENUM_CONFIG, an eFTTMode value)."},
    {RecordKind::SensorOrigin, "SensorOrigin", "ENUM_CONFIG", sizeof(_ENUM_CONFIG), &CSnsOrigCfg::Default,
     SXI_FIELDS(kOriginFields), false, OneWord<CSnsOrigCfg, _ENUM_CONFIG>,
     "Origin of a sensor's positions (ENUM_CONFIG, an eSensorOrigin value)."},
    {RecordKind::StylusMode, "StylusMode", "STYLUS_CONFIG", sizeof(_STYLUS_CONFIG), &CStylusCfg::Default,
     SXI_FIELDS(kStylusFields), false, OneWord<CStylusCfg, _STYLUS_CONFIG>, "Stylus button mode (STYLUS_CONFIG)."},
    {RecordKind::FrameRate, "FrameRate", "FRAMERATE_CONFIG", sizeof(_FRAMERATE_CONFIG), &CFrameRateCfg::Default,
     SXI_FIELDS(kFrameRateFields), false, ReportFrameRate, "Output frame rate (FRAMERATE_CONFIG)."},
    {RecordKind::SeuId, "SeuId", "SORIX_SEUID", sizeof(_SEUID_CONFIG), &CSeuIDCfg::Default, SXI_FIELDS(kSeuIdFields),
     false, Plain<CSeuIDCfg, _SEUID_CONFIG>, "Identifier of the electronics unit (SORIX_SEUID)."},
    {RecordKind::SerialConfig, "SerialConfig", "SERIAL_CONFIG", sizeof(_SERIAL_CONFIG), &CSerialCfg::Default,
     SXI_FIELDS(kSerialFields), false, Plain<CSerialCfg, _SERIAL_CONFIG>, "Serial line of the unit (SERIAL_CONFIG)."},
    {RecordKind::StationMap, "StationMap", "STATION_MAP", sizeof(_STATION_MAP), &CStationMap::Default,
     SXI_FIELDS(kStationMapFields), false, Plain<CStationMap, _STATION_MAP>,
     "Sensors and sources the unit detects (STATION_MAP)."},
    {RecordKind::SourceConfig, "SourceConfig", "SRC_CONFIG", sizeof(_SRC_CONFIG), &CSrcCfg::Default[0],
     SXI_FIELDS(kSourceFields), true, ReportSource, "Configuration of one field source (SRC_CONFIG); read in `units`."},
    {RecordKind::SourceRotation, "SourceRotation", "SRCROT_CONFIG", sizeof(_SRCROT_CONFIG), &CSrcRotCfg::Default[0],
     SXI_FIELDS(kSourceRotFields), true, ReportSourceRot, "Rotation of one field source (SRCROT_CONFIG)."},
    {RecordKind::SourceSelect, "SourceSelect", "SRC_SEL_CONFIG", sizeof(_SRC_SEL_CONFIG), &CSrcSelectCfg::Default,
     SXI_FIELDS(kSourceSelectFields), false, Plain<CSrcSelectCfg, _SRC_SEL_CONFIG>,
     "Sources a sensor uses (SRC_SEL_CONFIG)."},
    {RecordKind::Hemisphere, "Hemisphere", "HEMISPHERE_CONFIG", sizeof(_HEMISPHERE_CONFIG), &CHemisphereCfg::Default,
     SXI_FIELDS(kHemisphereFields), false, Plain<CHemisphereCfg, _HEMISPHERE_CONFIG>,
     "Operating hemisphere of a sensor (HEMISPHERE_CONFIG)."},
    {RecordKind::Filter, "Filter", "FILTER_CONFIG", sizeof(_FILTER_CONFIG), &CFilterCfg::Default,
     SXI_FIELDS(kFilterFields), false, ReportFilter, "Position or orientation filter of a sensor (FILTER_CONFIG)."},
    {RecordKind::TipOffset, "TipOffset", "TIP_OFFSET_CONFIG", sizeof(_TIP_OFFSET_CONFIG), &CTipoffCfg::Default,
     SXI_FIELDS(kTipOffsetFields), false, Plain<CTipoffCfg, _TIP_OFFSET_CONFIG>,
     "Offset of the tip from a sensor's origin (TIP_OFFSET_CONFIG)."},
    {RecordKind::Increment, "Increment", "INCREMENT_CONFIG", sizeof(_INCREMENT_CONFIG), &CIncrementCfg::Default,
     SXI_FIELDS(kIncrementFields), false, Plain<CIncrementCfg, _INCREMENT_CONFIG>,
     "Output increment thresholds of a sensor (INCREMENT_CONFIG)."},
    {RecordKind::Boresight, "Boresight", "BORESIGHT_CONFIG", sizeof(_BORESIGHT_CONFIG), &CBoresightCfg::Default[0],
     SXI_FIELDS(kBoresightFields), true, ReportBoresight, "Boresight orientation of a sensor (BORESIGHT_CONFIG)."},
    // The default of the plain prediction filter is the first twelve bytes of
    // the extended one's.
    {RecordKind::PredFilter, "PredFilter", "PF_CONFIG", sizeof(_PF_CONFIG), &CPredFiltCfgExt::Default,
     SXI_FIELDS(kPredFilterFields), false, Plain<CPredFiltCfg, _PF_CONFIG>,
     "Prediction filter of a sensor (PF_CONFIG)."},
    {RecordKind::NoiseProfile, "NoiseProfile", "NOISEPROFILE", sizeof(_NOISEPROFILE), &CPFNoise::Default,
     SXI_FIELDS(kNoiseFields), false, nullptr, "Noise matrices of a prediction filter (NOISEPROFILE), row-major."},
    {RecordKind::PredFilterExt, "PredFilterExt", "PF_CONFIG_EXT", sizeof(_PF_CONFIG_EXT), &CPredFiltCfgExt::Default,
     SXI_FIELDS(kPredFilterExtFields), false, Plain<CPredFiltCfgExt, _PF_CONFIG_EXT>,
     "Prediction filter of a sensor with its noise profile (PF_CONFIG_EXT)."},
    {RecordKind::VirtualSensor, "VirtualSensor", "VIRTUAL_SNS_CONFIG", sizeof(_VIRTUAL_SNS_CONFIG),
     &CSnsVirtCfg::Default, SXI_FIELDS(kVirtualFields), false, Plain<CSnsVirtCfg, _VIRTUAL_SNS_CONFIG>,
     "Virtual-sensor input (VIRTUAL_SNS_CONFIG)."},
    {RecordKind::WhoAmI, "WhoAmI", "WHOAMI_STRUCT", sizeof(_WHOAMI_STRUCT), nullptr, SXI_FIELDS(kWhoAmIFields), false,
     ReportWhoAmI, "Identity of the unit, a sensor or a source (WHOAMI_STRUCT)."},
    {RecordKind::BitResult, "BitResult", "BIT_STRUCT", sizeof(_BIT_STRUCT), nullptr, SXI_FIELDS(kBitFields), false,
     Plain<CBitResult, _BIT_STRUCT>, "Built-in-test result (BIT_STRUCT)."},
    // The statics hold the self-calibration record with a fourth, unused word.
    {RecordKind::SelfCal, "SelfCal", "SELFCAL_CONFIG", sizeof(_SELFCAL_CONFIG), &CSelfCalCfg::Default,
     SXI_FIELDS(kSelfCalFields), false, Plain<CSelfCalCfg, _SELFCAL_CONFIG>,
     "Self-calibration state (SELFCAL_CONFIG)."},
};

#undef SXI_FIELDS

constexpr uint32_t FieldBytes(const Field& f)
{
    switch (f.type) {
    case FieldType::Text:
        return f.count;
    case FieldType::Bits:
    case FieldType::Flag:
        return 4;
    case FieldType::Matrix:
        return 4u * f.count * f.cols;
    case FieldType::Record:
        return kRecords[static_cast<size_t>(f.record)].size;
    default:
        return 4u * f.count;
    }
}

// Every row sits at the index of its kind, fits kMaxRecord, and every field
// lies inside its record.
constexpr bool RowsConsistent()
{
    for (size_t i = 0; i < std::size(kRecords); ++i) {
        const RecordDef& r = kRecords[i];
        if (static_cast<size_t>(r.kind) != i || r.size > kMaxRecord)
            return false;
        for (size_t k = 0; k < r.fieldCount; ++k)
            if (r.fields[k].offset + FieldBytes(r.fields[k]) > r.size)
                return false;
    }
    return true;
}
static_assert(std::size(kRecords) == kRecordKinds, "one row per record kind");
#ifndef _WIN32
static_assert(RowsConsistent(), "record rows out of order, or a field outside its record");
#endif
#undef SXI_ROWS

} // namespace

const RecordDef& Record(RecordKind kind)
{
    return kRecords[static_cast<size_t>(kind)];
}

} // namespace sxitems
