// The simulated unit's state: power-on configuration, identities, built-in
// test, and the P&O frames it sends.
#include <simulator/SimUnit.h>

#include <sxwire/LEWords.h>
#include <SXCmdIF/protocol/SXcmd.h>
#include <SXCmdIF/records/SXbinenumcfg.h>
#include <SXCmdIF/records/SXblockcfg.h>
#include <SXCmdIF/records/SXidentity.h>
#include <SXCmdIF/records/SXselfcalcfg.h>
#include <SXCmdIF/records/SXsensorparts.h>
#include <SXCmdIF/records/SXsrccfg.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace sxsim {

int RateCodeOf(int hz)
{
    for (int code = 0; code <= 5; ++code)
        if (RateHzOf(static_cast<uint32_t>(code)) == hz)
            return code;
    return -1;
}

int RateHzOf(uint32_t code)
{
    return code <= 5 ? 960 >> (5 - code) : 0;
}

namespace {

// An identity record as the library's record class fills it: each text
// cut to its field, the rest of the field zero.
_WHOAMI_STRUCT Identity(const char* name, const char* serial, const char* io, const char* boot, const char* app)
{
    CWhoAmI who;
    who.Fill(name, serial, io, boot, app);
    return who.cfg;
}

const char* FamilyName(uint16_t pid)
{
    switch (pid) {
    case PID_Q7_TAG:
        return "SXSIM Q7 Tag";
    case PID_Q7_HUB:
        return "SXSIM Q7 Hub";
    default:
        return "SXSIM Tracker";
    }
}

} // namespace

SimUnit::SimUnit(const SimConfig& cfg) : m_cfg(cfg)
{
    m_cfg.sensors = std::clamp(m_cfg.sensors, 1, 16);
    m_cfg.sources = std::clamp(m_cfg.sources, 1, 4);
    if (RateCodeOf(m_cfg.rateHz) < 0)
        m_cfg.rateHz = 240;
    const bool q7 = m_cfg.pid == PID_Q7_TAG || m_cfg.pid == PID_Q7_HUB;
    m_cmdPre = q7 ? Q7_PREAMBLE_CMD : SX_PREAMBLE_CMD;
    m_pnoPre = q7 ? Q7_PREAMBLE_PNO : SX_PREAMBLE_PNO;
    std::memset(&m_bit, 0, sizeof m_bit);
    m_source = MakeMotionSource(m_cfg.seed, m_cfg.staticPose);
    m_powerOn = CBlockCfg::Default;
    m_powerOn.frameRate = static_cast<uint32_t>(RateCodeOf(m_cfg.rateHz));
    m_powerOn.seuID = m_cfg.seuid;
    m_powerOn.stationMap.map = ((1u << m_cfg.sensors) - 1) | ((1u << m_cfg.sources) - 1) << 24;
    FillIdentities();
    RestoreDefaults();
}

SimUnit::~SimUnit() = default;

bool SimUnit::IsCommandPreamble(uint32_t preamble) const
{
    return preamble == m_cmdPre || preamble == SX_PREAMBLE_CMD;
}

void SimUnit::FillIdentities()
{
    char name[64], serial[32];
    std::snprintf(name, sizeof name, "%s SEU", FamilyName(m_cfg.pid));
    std::snprintf(serial, sizeof serial, "SIM-SEU-%08X", m_cfg.seuid);
    m_whoUnit = Identity(name, serial, "sxsim-io 1.0", "sxsim-boot 1.0", "sxsim-app 1.0");
    for (int k = 0; k < 16; ++k) {
        std::snprintf(name, sizeof name, "SXSIM Sensor %d", k);
        std::snprintf(serial, sizeof serial, "SIM-SNS-%08X-%02d", m_cfg.seuid, k);
        m_whoSensor[k] = Identity(name, serial, "sxsim-sns 1.0", "", "");
    }
    for (int j = 0; j < 4; ++j) {
        std::snprintf(name, sizeof name, "SXSIM Source %d", j);
        std::snprintf(serial, sizeof serial, "SIM-SRC-%08X-%d", m_cfg.seuid, j);
        m_whoSource[j] = Identity(name, serial, "sxsim-src 1.0", "", "");
    }
}

void SimUnit::RestoreDefaults()
{
    std::lock_guard<std::mutex> lock(m_mtx);
    ResetLocked();
}

void SimUnit::PowerCycle()
{
    std::lock_guard<std::mutex> lock(m_mtx);
    ResetLocked();
    m_streaming = false;
    m_frameCount = 0;
}

void SimUnit::ResetLocked()
{
    m_block = m_powerOn;
    for (int k = 0; k < 16; ++k) {
        m_boresight[k] = CBoresightCfg::Default[0];
        m_ftt[k] = CFTTCfg::Default;
        m_virtual[k] = CSnsVirtCfg::Default;
    }
    for (auto& s : m_selfLevel)
        s = CSrcRotCfg::Default[0];
    m_oorMode = CSyncModeCfg::Default;
    m_disableCal.value = 0;
    std::memcpy(&m_selfCal, &CSelfCalCfg::Default, sizeof m_selfCal);
}

bool SimUnit::Streaming() const
{
    std::lock_guard<std::mutex> lock(m_mtx);
    return m_streaming;
}

uint32_t SimUnit::RateCode() const
{
    std::lock_guard<std::mutex> lock(m_mtx);
    return m_block.frameRate;
}

int64_t SimUnit::FrameIntervalNs() const
{
    std::lock_guard<std::mutex> lock(m_mtx);
    const int64_t own = m_source->IntervalNs();
    if (own > 0)
        return own;
    return 1000000000LL / RateHzOf(m_block.frameRate);
}

size_t SimUnit::PnoBody(unsigned char* body, uint32_t arg2, const PnoFrameFaults& faults)
{
    using namespace sxwire;
    PnoRequest req;
    req.framenum = m_frameCount++;
    req.sensorMap = m_block.stationMap.sensor_map;
    req.posUnits = m_block.units.pos_units;
    req.oriUnits = m_block.units.ori_units;
    req.accel = m_cfg.accelRecords || (arg2 & 1u) != 0;
    req.rateHz = RateHzOf(m_block.frameRate);

    unsigned char* rec = body + 16;
    unsigned n = m_source->Records(req, rec, 16);
    if (faults.extraSensor && n > 0) {
        for (unsigned k = n; k < 17; ++k)
            std::memcpy(rec + 32 * k, rec + 32 * (k % n), 32);
        n = 17;
    }
    if (faults.sensor16 && n > 0)
        PutLE32(rec + 32 * (n - 1), (GetLE32(rec + 32 * (n - 1)) & ~0x7Fu) | 16u);

    uint32_t biterr = 0;
    for (uint32_t i = 0; i < 7 && biterr == 0; ++i)
        if (m_bit.err[i] != 0)
            biterr = i + 1;
    uint32_t framenum = req.framenum;
    uint32_t hpinfo = (req.accel ? 1u : 0u) | biterr << 4;
    m_source->FrameHeader(framenum, hpinfo);
    PutLE32(body, m_block.seuID);
    PutLE32(body + 4, framenum);
    PutLE32(body + 8, hpinfo);
    PutLE32(body + 12, n);
    return 16 + 32 * n;
}

size_t SimUnit::BuildPnoFrame(unsigned char* out, const PnoFrameFaults& faults)
{
    using namespace sxwire;
    std::lock_guard<std::mutex> lock(m_mtx);
    const size_t body = PnoBody(out + 8, m_streamAccel ? 1u : 0u, faults);
    const uint32_t size = static_cast<uint32_t>(body + 4);
    PutLE32(out, m_pnoPre);
    PutLE32(out + 4, size);
    PutLE32(out + 8 + body, CSXcmd::CalcCRC_Bytes(out, size + 4));
    return size + 8;
}

void SimUnit::SkipFrame(uint32_t cycles)
{
    std::lock_guard<std::mutex> lock(m_mtx);
    m_frameCount += cycles;
}

void SimUnit::SetBit(const _BIT_STRUCT& bit)
{
    std::lock_guard<std::mutex> lock(m_mtx);
    m_bit = bit;
}

_BIT_STRUCT SimUnit::Bit() const
{
    std::lock_guard<std::mutex> lock(m_mtx);
    return m_bit;
}

_BLOCK_CONFIG SimUnit::Block() const
{
    std::lock_guard<std::mutex> lock(m_mtx);
    return m_block;
}

_SELFCAL_CONFIG SimUnit::SelfCal() const
{
    std::lock_guard<std::mutex> lock(m_mtx);
    return m_selfCal;
}

uint32_t SimUnit::FrameCount() const
{
    std::lock_guard<std::mutex> lock(m_mtx);
    return m_frameCount;
}

void SimUnit::SetFrameCount(uint32_t count)
{
    std::lock_guard<std::mutex> lock(m_mtx);
    m_frameCount = count;
}

uint32_t SimUnit::SeuId() const
{
    std::lock_guard<std::mutex> lock(m_mtx);
    return m_block.seuID;
}

void SimUnit::SetUnitIdentity(const _WHOAMI_STRUCT& who)
{
    std::lock_guard<std::mutex> lock(m_mtx);
    m_whoUnit = who;
}

void SimUnit::SetPowerOn(const _BLOCK_CONFIG& block)
{
    std::lock_guard<std::mutex> lock(m_mtx);
    m_powerOn = block;
    m_block = block;
}

void SimUnit::SetSource(std::unique_ptr<PnoSource> source)
{
    std::lock_guard<std::mutex> lock(m_mtx);
    m_source = source ? std::move(source) : MakeMotionSource(m_cfg.seed, m_cfg.staticPose);
}

} // namespace sxsim
