// Byte layouts of the payload records and the values of the default records.
#include <SXCmdIF/protocol/SXprotocol.h>
#include <SXCmdIF/records/SXrecords.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

template <typename T>
uint32_t WordAt(const T& record, size_t offset)
{
    uint32_t w;
    std::memcpy(&w, reinterpret_cast<const unsigned char*>(&record) + offset, sizeof w);
    return w;
}

template <typename T>
float FloatAt(const T& record, size_t offset)
{
    float f;
    std::memcpy(&f, reinterpret_cast<const unsigned char*>(&record) + offset, sizeof f);
    return f;
}

TEST(RecordLayout, SerialBitFieldsLowestBitFirst)
{
    _SERIAL_CONFIG s{{0x00000027u}};
    EXPECT_EQ(s.baudrate, 7u);
    EXPECT_EQ(s.parity, 2u);
    EXPECT_EQ(s.res, 0u);
    s.sercfg = 0x000000C7u;
    EXPECT_EQ(s.baudrate, 7u);
    EXPECT_EQ(s.parity, 0u);
    EXPECT_EQ(s.res, 3u);
}

TEST(RecordLayout, StationMapAndHemisphereBits)
{
    _STATION_MAP m{{0x0300800Fu}};
    EXPECT_EQ(m.sensor_map, 0x800Fu);
    EXPECT_EQ(m.source_map, 0x3u);

    _HEMISPHERE_CONFIG h{};
    h.bf.track_en = 1;
    EXPECT_EQ(WordAt(h, 0), 1u);
    h.bf.auto_en = 1;
    EXPECT_EQ(WordAt(h, 0), 3u);
}

TEST(RecordLayout, BlockPlacesEverySensorRecord)
{
    CBlockCfg block;
    block.InitDefault();
    const auto* base = reinterpret_cast<const unsigned char*>(&block.cfg);
    EXPECT_EQ(reinterpret_cast<const unsigned char*>(block.PSensorBlock(0)) - base, 180);
    EXPECT_EQ(reinterpret_cast<const unsigned char*>(block.PSensorBlock(15)) - base, 4320);
    EXPECT_EQ(reinterpret_cast<const unsigned char*>(block.PFilterOri(0)) - base, 216);
    EXPECT_EQ(reinterpret_cast<const unsigned char*>(block.PSerial()) - base, 176);
    // The last sensor's prediction time sits 8 bytes into its pfExt.
    EXPECT_EQ(FloatAt(block.cfg, 4320 + 88 + 8), 0.02f);
    EXPECT_EQ(reinterpret_cast<const unsigned char*>(&block.cfg.sensor[0].pfExt.noise) - base, 180 + 104);
}

// The catalogue refuses any payload length but its own: each command's
// record must have exactly that size.
TEST(RecordLayout, EveryRecordHasItsCommandsPayloadSize)
{
    const struct {
        eSorixCmds cmd;
        size_t size;
    } rows[] = {
        {CMD_HEMISPHERE, sizeof(_HEMISPHERE_CONFIG)},
        {CMD_FILTER, sizeof(_FILTER_CONFIG)},
        {CMD_TIP_OFFSET, sizeof(_TIP_OFFSET_CONFIG)},
        {CMD_INCREMENT, sizeof(_INCREMENT_CONFIG)},
        {CMD_BORESIGHT, sizeof(_BORESIGHT_CONFIG)},
        {CMD_SENSOR_WHOAMI, sizeof(_WHOAMI_STRUCT)},
        {CMD_FRAMERATE, sizeof(_FRAMERATE_CONFIG)},
        {CMD_UNITS, sizeof(_UNITS_CONFIG)},
        {CMD_SRC_ROTATION, sizeof(_SRCROT_CONFIG)},
        {CMD_SYNC_MODE, sizeof(_BINARY_CONFIG)},
        {CMD_STATION_MAP, sizeof(_STATION_MAP)},
        {CMD_STYLUS, sizeof(_STYLUS_CONFIG)},
        {CMD_SEUID, sizeof(_SEUID_CONFIG)},
        {CMD_DUAL_OUTPUT, sizeof(_BINARY_CONFIG)},
        {CMD_SERIAL_CONFIG, sizeof(_SERIAL_CONFIG)},
        {CMD_BLOCK_CFG, sizeof(_BLOCK_CONFIG)},
        {CMD_BIT, sizeof(_BIT_STRUCT)},
        {CMD_WHOAMI, sizeof(_WHOAMI_STRUCT)},
        {CMD_FTT_MODE, sizeof(_ENUM_CONFIG)},
        {CMD_SENSOR_BLOCKCFG, sizeof(_SENSOR_CONFIG)},
        {CMD_SOURCE_CFG, sizeof(_SRC_CONFIG)},
        {CMD_PREDFILTER_CFG, sizeof(_PF_CONFIG)},
        {CMD_PREDFILTER_EXT, sizeof(_PF_CONFIG_EXT)},
        {CMD_SRC_SELECT, sizeof(_SRC_SEL_CONFIG)},
        {CMD_SNS_ORIGIN, sizeof(_ENUM_CONFIG)},
        {CMD_SNS_VIRTUAL, sizeof(_VIRTUAL_SNS_CONFIG)},
        {CMD_SRC_WHOAMI, sizeof(_WHOAMI_STRUCT)},
        {CMD_DISABLE_CAL, sizeof(_INT32_CONFIG)},
        {CMD_SELFCAL_STATE, sizeof(_SELFCAL_CONFIG)},
        {CMD_OOR_MODE, sizeof(_BINARY_CONFIG)},
        {CMD_SELF_LEVEL, sizeof(_SRCROT_CONFIG)},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CSXcmd::paysize(row.cmd), row.size) << CSXcmd::cmdstr(row.cmd);
}

TEST(DefaultRecords, PlainDefaults)
{
    EXPECT_EQ(CFrameRateCfg::Default.frame_rate, 3u);
    EXPECT_EQ(CSerialCfg::Default.sercfg, 0x7u);
    EXPECT_EQ(CStationMap::Default.map, 0xFu);
    EXPECT_EQ(CSrcSelectCfg::Default.SRC_SEL_MAP, 1u);
    EXPECT_EQ(CHemisphereCfg::Default.vector[0], 1.0f);
    EXPECT_EQ(CSrcCfg::Default[2].rotation[0], 1.0f);
    EXPECT_EQ(CSrcCfg::Default[1].rotation[0], 0.0f);
    EXPECT_EQ(CSrcRotCfg::Default[2].rotation[0], 1.0f);
    EXPECT_EQ(CBoresightCfg::Default[2].ori[0], 1.0f);
    EXPECT_EQ(CPredFiltCfgExt::Default.predTime, 0.02f);
    EXPECT_EQ(CSelfCalCfg::Default.state, 1u);
    EXPECT_EQ(CSelfCalCfg::Default.correction_rate, 1u);
    EXPECT_EQ(CSelfCalCfg::Default.custom_rate, 0.1f);
    EXPECT_EQ(CSelfCalCfg::DefaultDisabled.correction_rate, 3u);
    EXPECT_EQ(CSelfCalCfg::preset_rates[3], 1.0f);
}

TEST(DefaultRecords, FilterPresetsByLevel)
{
    EXPECT_EQ(CFilterCfg::presets[0], &CFilterCfg::NoneDef);
    EXPECT_EQ(CFilterCfg::presets[4], &CFilterCfg::Default);
    EXPECT_EQ(CFilterCfg::presets[8], &CFilterCfg::EDefault);
    EXPECT_EQ(CFilterCfg::EDefault.level, 6u);
    EXPECT_EQ(CFilterCfg::NoneDef.Flow, 1.0f);
    EXPECT_EQ(CFilterCfg::Heavy.F, 0.02f);
    EXPECT_EQ(CFilterCfg::Light.MaxT, 0.95f);
}

// The composed defaults equal a block built part by part from the plain ones.
TEST(DefaultRecords, ComposedBlockDefaults)
{
    _SENSOR_CONFIG sensor{};
    sensor.hemisphere = CHemisphereCfg::Default;
    sensor.filterPos = CFilterCfg::Default;
    sensor.filterOri = CFilterCfg::Default;
    sensor.tipoff = CTipoffCfg::Default;
    sensor.increment = CIncrementCfg::Default;
    sensor.srcSelect = CSrcSelectCfg::Default;
    sensor.snsOrigin = CSnsOrigCfg::Default.value;
    EXPECT_EQ(std::memcmp(&sensor, &CSensBlockCfg::Default, sizeof sensor), 0);
    EXPECT_EQ(std::memcmp(&sensor, &CBlockCfgSens::Default, sizeof sensor), 0);

    _BLOCK_CONFIG block{};
    block.frameRate = 3;
    block.units = CUnitsCfg::Default;
    for (auto& src : block.src)
        src = CSrcCfg::Default[0];
    block.stationMap = CStationMap::Default;
    block.serial = CSerialCfg::Default;
    sensor.pfExt = CPredFiltCfgExt::Default;
    for (auto& s : block.sensor)
        s = sensor;
    EXPECT_EQ(std::memcmp(&block, &CBlockCfg::Default, sizeof block), 0);
    EXPECT_EQ(CBlockCfg::Default.sensor[7].pfExt.predTime, 0.02f);
    EXPECT_EQ(CSensBlockCfg::Default.pfExt.predTime, 0.0f);
}

TEST(DefaultRecords, ClassSizes)
{
    EXPECT_EQ(CBlockCfg().SZCFG(), 4596u);
    EXPECT_EQ(CSensBlockCfg().SZCFG(), 276u);
    EXPECT_EQ(CWhoAmI().Size(), 192u);
    EXPECT_EQ(CSelfCalCfg().Size(), 12u);
    EXPECT_EQ(CIncrementCfg().SZCFG(), 12u);
    EXPECT_EQ(CPnoDataCfg().SZCFG(), 28u);
    EXPECT_EQ(CSnsVirtCfg().SZCFG(), 16u);
    // Records as first members, and the vtable first in the polymorphic ones.
    CUnitsCfg units;
    EXPECT_EQ(static_cast<void*>(&units), static_cast<void*>(static_cast<_UNITS_CONFIG*>(units)));
    CFTTCfg ftt;
    EXPECT_NE(static_cast<void*>(&ftt), static_cast<void*>(static_cast<unsigned*>(ftt)));
}

} // namespace
