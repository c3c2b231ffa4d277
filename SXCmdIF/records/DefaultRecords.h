// The default records as compile-time constants, and the composition of
// the block defaults from them. The exported default statics are
// initialised from these, so every one of them is constant-initialised:
// ready before any code of the library runs, whatever the order in which
// translation units start.
#pragma once

#include <SXCmdIF/records/SXpayloads.h>

namespace sxrec {

constexpr _BINARY_CONFIG kBinaryOff{0};
constexpr _ENUM_CONFIG kEnumZero{0};
constexpr _FRAMERATE_CONFIG kFrameRate240{3};
constexpr _SEUID_CONFIG kSeuID{0};
constexpr _SERIAL_CONFIG kSerial{{0x00000007u}};   // 115200 baud, no parity
constexpr _STATION_MAP kStationMap{{0x0000000Fu}}; // sensors 0 to 3, no source
constexpr _UNITS_CONFIG kUnits{0, 0};              // inch, Euler degrees
constexpr _SRC_SEL_CONFIG kSrcSelect{1};           // source 0
constexpr _HEMISPHERE_CONFIG kHemisphere{{0u}, {1.0f, 0.0f, 0.0f}};
constexpr _TIP_OFFSET_CONFIG kTipoff{0.0f, 0.0f, 0.0f};
constexpr _INCREMENT_CONFIG kIncrement{0, 0.0f, 0.0f};
constexpr _NOISEPROFILE kNoise{};
constexpr _VIRTUAL_SNS_CONFIG kSnsVirt{0, 0, 0, 0};
constexpr _PNO kPno{};

// Indexed by orientation units: Euler degrees, Euler radians, quaternion.
constexpr _SRC_CONFIG kSrc[3] = {
    {},
    {},
    {0, {0.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f, 0.0f}, 0},
};
constexpr _SRCROT_CONFIG kSrcRot[3] = {
    {},
    {},
    {0, {1.0f, 0.0f, 0.0f, 0.0f}},
};
constexpr _BORESIGHT_CONFIG kBoresight[3] = {
    {},
    {},
    {{1.0f, 0.0f, 0.0f, 0.0f}},
};

// Filter presets: level, F, Flow, Fhigh, MaxT.
constexpr _FILTER_CONFIG kFilterNone{0, 0.0f, 1.0f, 0.0f, 0.0f};
constexpr _FILTER_CONFIG kFilterLight{1, 0.2f, 0.2f, 0.8f, 0.95f};
constexpr _FILTER_CONFIG kFilterMedium{2, 0.05f, 0.05f, 0.8f, 0.95f};
constexpr _FILTER_CONFIG kFilterHeavy{3, 0.02f, 0.02f, 0.8f, 0.95f};
constexpr _FILTER_CONFIG kFilterDefault{2, 0.05f, 0.05f, 0.8f, 0.95f};
constexpr _FILTER_CONFIG kFilterELight{5, 0.0f, 0.0f, 0.0f, 0.0f};
constexpr _FILTER_CONFIG kFilterEMedium{6, 0.0f, 0.0f, 0.0f, 0.0f};
constexpr _FILTER_CONFIG kFilterEHeavy{7, 0.0f, 0.0f, 0.0f, 0.0f};
constexpr _FILTER_CONFIG kFilterEDefault{6, 0.0f, 0.0f, 0.0f, 0.0f};

// Self-calibration rates.
constexpr float kCalCorrOff = 0.0f;
constexpr float kCalCorrSlow = 0.02f;
constexpr float kCalCorrMedium = 0.1f;
constexpr float kCalCorrFast = 0.5f;
constexpr float kCalCorrInstant = 1.0f;
constexpr _SELFCAL_CONFIGu kSelfCal{1, 1, kCalCorrMedium, 0};      // enabled, medium
constexpr _SELFCAL_CONFIGu kSelfCalDisabled{0, 3, kCalCorrOff, 0}; // disabled, custom

constexpr _PF_CONFIG_EXT ComposePredFiltExt()
{
    _PF_CONFIG_EXT pf{};
    pf.qFil_on = 0;
    pf.pFil_on = 0;
    pf.predTime = 0.02f;
    pf.reserved = 0;
    pf.noise = kNoise;
    return pf;
}
constexpr _PF_CONFIG_EXT kPredFiltExt = ComposePredFiltExt();

// One sensor's block from the sensor-level defaults; the prediction filter
// as given.
constexpr _SENSOR_CONFIG ComposeSensor(const _PF_CONFIG_EXT& pfExt)
{
    _SENSOR_CONFIG s{};
    s.hemisphere = kHemisphere;
    s.filterPos = kFilterDefault;
    s.filterOri = kFilterDefault;
    s.tipoff = kTipoff;
    s.increment = kIncrement;
    s.srcSelect = kSrcSelect;
    s.snsOrigin = kEnumZero.value;
    s.pfExt = pfExt;
    return s;
}
// The sensor block defaults carry an all-zero prediction filter.
constexpr _SENSOR_CONFIG kSensorBlock = ComposeSensor(_PF_CONFIG_EXT{});

constexpr _BLOCK_CONFIG ComposeBlock()
{
    _BLOCK_CONFIG b{};
    b.frameRate = kFrameRate240.frame_rate;
    b.units = kUnits;
    for (auto& src : b.src)
        src = kSrc[0];
    b.syncMode = kBinaryOff.value;
    b.stationMap = kStationMap;
    b.stylusMode = kEnumZero.value;
    b.seuID = kSeuID.seuID;
    b.dualOutMode = kBinaryOff.value;
    b.serial = kSerial;
    // Inside the unit's block every sensor has the default prediction filter.
    for (auto& sensor : b.sensor)
        sensor = ComposeSensor(kPredFiltExt);
    return b;
}
constexpr _BLOCK_CONFIG kBlock = ComposeBlock();

} // namespace sxrec
