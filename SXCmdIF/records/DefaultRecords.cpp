// Definitions of the exported default statics and presets, each
// constant-initialised from the compile-time records.
#include <SXCmdIF/records/SXrecords.h>

#include "DefaultRecords.h"

using namespace sxrec;

// __constinit makes the compiler refuse any of these that would need code
// to run at load.

__constinit const _BINARY_CONFIG CDualOutputCfg::Default = kBinaryOff;
__constinit const _BINARY_CONFIG CSyncModeCfg::Default = kBinaryOff;
__constinit const _ENUM_CONFIG CEnumCfg::Default = kEnumZero;
__constinit const _ENUM_CONFIG CFTTCfg::Default = kEnumZero;
__constinit const _ENUM_CONFIG CSnsOrigCfg::Default = kEnumZero;
__constinit const _ENUM_CONFIG CStylusCfg::Default = kEnumZero;
__constinit const _FRAMERATE_CONFIG CFrameRateCfg::Default = kFrameRate240;
__constinit const _SEUID_CONFIG CSeuIDCfg::Default = kSeuID;
__constinit const _SERIAL_CONFIG CSerialCfg::Default = kSerial;
__constinit const _STATION_MAP CStationMap::Default = kStationMap;
__constinit const _UNITS_CONFIG CUnitsCfg::Default = kUnits;
__constinit const _SRC_CONFIG CSrcCfg::Default[3] = {kSrc[0], kSrc[1], kSrc[2]};
__constinit const _SRCROT_CONFIG CSrcRotCfg::Default[3] = {kSrcRot[0], kSrcRot[1], kSrcRot[2]};
__constinit const _SRC_SEL_CONFIG CSrcSelectCfg::Default = kSrcSelect;
__constinit const _HEMISPHERE_CONFIG CHemisphereCfg::Default = kHemisphere;
__constinit const _TIP_OFFSET_CONFIG CTipoffCfg::Default = kTipoff;
__constinit const _INCREMENT_CONFIG CIncrementCfg::Default = kIncrement;
__constinit const _BORESIGHT_CONFIG CBoresightCfg::Default[3] = {kBoresight[0], kBoresight[1], kBoresight[2]};
__constinit const _NOISEPROFILE CPFNoise::Default = kNoise;
__constinit const _PF_CONFIG_EXT CPredFiltCfgExt::Default = kPredFiltExt;
__constinit const _VIRTUAL_SNS_CONFIG CSnsVirtCfg::Default = kSnsVirt;
__constinit const _PNO CPnoDataCfg::Default = kPno;
__constinit const _SENSOR_CONFIG CSensBlockCfg::Default = kSensorBlock;
__constinit const _SENSOR_CONFIG CBlockCfgSens::Default = kSensorBlock;
__constinit const _BLOCK_CONFIG CBlockCfg::Default = kBlock;

__constinit const _FILTER_CONFIG CFilterCfg::NoneDef = kFilterNone;
__constinit const _FILTER_CONFIG CFilterCfg::Light = kFilterLight;
__constinit const _FILTER_CONFIG CFilterCfg::Medium = kFilterMedium;
__constinit const _FILTER_CONFIG CFilterCfg::Heavy = kFilterHeavy;
__constinit const _FILTER_CONFIG CFilterCfg::Default = kFilterDefault;
__constinit const _FILTER_CONFIG CFilterCfg::ELight = kFilterELight;
__constinit const _FILTER_CONFIG CFilterCfg::EMedium = kFilterEMedium;
__constinit const _FILTER_CONFIG CFilterCfg::EHeavy = kFilterEHeavy;
__constinit const _FILTER_CONFIG CFilterCfg::EDefault = kFilterEDefault;
__constinit const _FILTER_CONFIG* const CFilterCfg::presets[9] = {
    &CFilterCfg::NoneDef, &CFilterCfg::Light,   &CFilterCfg::Medium, &CFilterCfg::Heavy,    &CFilterCfg::Default,
    &CFilterCfg::ELight,  &CFilterCfg::EMedium, &CFilterCfg::EHeavy, &CFilterCfg::EDefault,
};

__constinit const _SELFCAL_CONFIGu CSelfCalCfg::Default = kSelfCal;
__constinit const _SELFCAL_CONFIGu CSelfCalCfg::DefaultDisabled = kSelfCalDisabled;
__constinit const float CSelfCalCfg::fCalCorrOff = kCalCorrOff;
__constinit const float CSelfCalCfg::fCalCorrSlow = kCalCorrSlow;
__constinit const float CSelfCalCfg::fCalCorrMedium = kCalCorrMedium;
__constinit const float CSelfCalCfg::fCalCorrFast = kCalCorrFast;
__constinit const float CSelfCalCfg::fCalCorrInstant = kCalCorrInstant;
__constinit const float CSelfCalCfg::preset_rates[4] = {kCalCorrSlow, kCalCorrMedium, kCalCorrFast, kCalCorrInstant};

// The composed defaults, checked where they are made.
static_assert(kBlock.frameRate == 3 && kBlock.stationMap.map == 0xF && kBlock.serial.sercfg == 7,
              "unit-level block defaults");
static_assert(kBlock.sensor[0].pfExt.predTime == 0.02f && kBlock.sensor[15].pfExt.predTime == 0.02f,
              "the unit's block carries the default prediction time in every sensor");
static_assert(kSensorBlock.pfExt.predTime == 0.0f && kSensorBlock.filterPos.level == 2 &&
                  kSensorBlock.srcSelect.SRC_SEL_MAP == 1,
              "sensor block default");
