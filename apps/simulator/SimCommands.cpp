// The unit's answers to command frames: every row of the command catalogue,
// with the payload checks the tracker makes before it stores a record.
#include <simulator/SimUnit.h>

#include <sxwire/LEWords.h>
#include <SXCmdIF/protocol/SXcmd.h>
#include <SXCmdIF/records/SXbinenumcfg.h>
#include <SXCmdIF/records/SXselfcalcfg.h>
#include <SXCmdIF/records/SXsensorparts.h>
#include <SXCmdIF/records/SXsrccfg.h>

#include <cstring>

namespace sxsim {

// One stored record: where it lives, its size, and what a reset restores.
struct SimUnit::Item {
    void* ptr = nullptr;
    size_t size = 0;
    const void* def = nullptr;
};

namespace {

using namespace sxwire;

bool IsSensorCommand(uint32_t cmd)
{
    switch (cmd) {
    case CMD_HEMISPHERE:
    case CMD_FILTER:
    case CMD_TIP_OFFSET:
    case CMD_INCREMENT:
    case CMD_BORESIGHT:
    case CMD_SENSOR_WHOAMI:
    case CMD_FTT_MODE:
    case CMD_SENSOR_BLOCKCFG:
    case CMD_PREDFILTER_CFG:
    case CMD_PREDFILTER_EXT:
    case CMD_SRC_SELECT:
    case CMD_SNS_ORIGIN:
    case CMD_SNS_VIRTUAL:
        return true;
    default:
        return false;
    }
}

bool IsSourceCommand(uint32_t cmd)
{
    return cmd == CMD_SRC_ROTATION || cmd == CMD_SOURCE_CFG || cmd == CMD_SRC_WHOAMI || cmd == CMD_SELF_LEVEL;
}

// Filter targets in arg2 of CMD_FILTER.
constexpr uint32_t kFilterBoth = 0; // FILTER_TRGT_PNO
constexpr uint32_t kFilterOri = 1;  // FILTER_TRGT_ORI
constexpr uint32_t kFilterPos = 2;  // FILTER_TRGT_POS

} // namespace

size_t SimUnit::Respond(unsigned char* out, const _SEUCMD_HDR& req, uint32_t action, const void* payload,
                        size_t payloadLen) const
{
    const uint32_t size = static_cast<uint32_t>(24 + payloadLen);
    PutLE32(out, m_cmdPre);
    PutLE32(out + 4, size);
    PutLE32(out + 8, m_block.seuID);
    PutLE32(out + 12, req.cmd);
    PutLE32(out + 16, action);
    PutLE32(out + 20, req.arg1);
    PutLE32(out + 24, req.arg2);
    if (payloadLen)
        std::memcpy(out + 28, payload, payloadLen);
    PutLE32(out + 28 + payloadLen, CSXcmd::CalcCRC_Bytes(out, size + 4));
    return size + 8;
}

size_t SimUnit::AnswerMalformed(const unsigned char* frame, size_t len, unsigned char* out)
{
    _SEUCMD_HDR req{};
    req.cmd = len >= 16 ? GetLE32(frame + 12) : static_cast<uint32_t>(CMD_MAX);
    req.arg1 = len >= 24 ? GetLE32(frame + 20) : 0;
    req.arg2 = len >= 28 ? GetLE32(frame + 24) : 0;
    std::lock_guard<std::mutex> lock(m_mtx);
    return Respond(out, req, CMD_ACTION_NAK, nullptr, 0);
}

size_t SimUnit::Answer(const unsigned char* frame, size_t len, unsigned char* out)
{
    if (len < 32)
        return AnswerMalformed(frame, len, out);
    _SEUCMD_HDR req;
    req.preamble = GetLE32(frame);
    req.size = GetLE32(frame + 4);
    req.seuid = GetLE32(frame + 8);
    req.cmd = GetLE32(frame + 12);
    req.action = GetLE32(frame + 16);
    req.arg1 = GetLE32(frame + 20);
    req.arg2 = GetLE32(frame + 24);
    std::lock_guard<std::mutex> lock(m_mtx);
    if (req.size + 8u != len || !CSXcmd::ValidateCRCN(frame, static_cast<unsigned>(len)))
        return Respond(out, req, CMD_ACTION_NAK, nullptr, 0);
    return Dispatch(req, frame + 28, len - 32, out);
}

bool SimUnit::LocateItem(uint32_t cmd, int index, uint32_t arg2, Item& item)
{
    _SENSOR_CONFIG& sns = m_block.sensor[index & 15];
    _SRC_CONFIG& src = m_block.src[index & 3];
    void* p = nullptr;
    size_t size = 0;
    const void* def = nullptr;
    switch (cmd) {
    case CMD_HEMISPHERE:
        p = &sns.hemisphere;
        size = sizeof sns.hemisphere;
        break;
    case CMD_FILTER:
        if (arg2 == kFilterOri)
            p = &sns.filterOri;
        else if (arg2 == kFilterPos || arg2 == kFilterBoth)
            p = &sns.filterPos;
        else
            return false;
        size = sizeof(_FILTER_CONFIG);
        break;
    case CMD_TIP_OFFSET:
        p = &sns.tipoff;
        size = sizeof sns.tipoff;
        break;
    case CMD_INCREMENT:
        p = &sns.increment;
        size = sizeof sns.increment;
        break;
    case CMD_SRC_SELECT:
        p = &sns.srcSelect;
        size = sizeof sns.srcSelect;
        break;
    case CMD_SNS_ORIGIN:
        p = &sns.snsOrigin;
        size = sizeof sns.snsOrigin;
        break;
    case CMD_PREDFILTER_CFG:
        p = &sns.pfExt;
        size = sizeof(_PF_CONFIG);
        break;
    case CMD_PREDFILTER_EXT:
        p = &sns.pfExt;
        size = sizeof sns.pfExt;
        break;
    case CMD_SENSOR_BLOCKCFG:
        p = &sns;
        size = sizeof sns;
        break;
    case CMD_FRAMERATE:
        p = &m_block.frameRate;
        size = 4;
        break;
    case CMD_UNITS:
        p = &m_block.units;
        size = sizeof m_block.units;
        break;
    case CMD_SYNC_MODE:
        p = &m_block.syncMode;
        size = 4;
        break;
    case CMD_STYLUS:
        p = &m_block.stylusMode;
        size = 4;
        break;
    case CMD_SEUID:
        p = &m_block.seuID;
        size = 4;
        break;
    case CMD_DUAL_OUTPUT:
        p = &m_block.dualOutMode;
        size = 4;
        break;
    case CMD_SERIAL_CONFIG:
        p = &m_block.serial;
        size = 4;
        break;
    case CMD_SOURCE_CFG:
        p = &src;
        size = sizeof src;
        break;
    // The rotation of a source: its frequency word and its four rotation
    // floats, which in the source record are not adjacent.
    case CMD_SRC_ROTATION:
        p = &src;
        size = sizeof(_SRCROT_CONFIG);
        break;
    case CMD_BORESIGHT:
        p = &m_boresight[index & 15];
        size = sizeof(_BORESIGHT_CONFIG);
        def = &CBoresightCfg::Default[0];
        break;
    case CMD_FTT_MODE:
        p = &m_ftt[index & 15];
        size = 4;
        def = &CFTTCfg::Default;
        break;
    case CMD_SNS_VIRTUAL:
        p = &m_virtual[index & 15];
        size = sizeof(_VIRTUAL_SNS_CONFIG);
        def = &CSnsVirtCfg::Default;
        break;
    case CMD_SELF_LEVEL:
        p = &m_selfLevel[index & 3];
        size = sizeof(_SRCROT_CONFIG);
        def = &CSrcRotCfg::Default[0];
        break;
    case CMD_OOR_MODE:
        p = &m_oorMode;
        size = 4;
        def = &CSyncModeCfg::Default;
        break;
    case CMD_DISABLE_CAL:
        p = &m_disableCal;
        size = 4;
        def = &CSyncModeCfg::Default;
        break;
    case CMD_SELFCAL_STATE:
        p = &m_selfCal;
        size = sizeof m_selfCal;
        def = &CSelfCalCfg::Default;
        break;
    default:
        return false;
    }
    if (!def) { // inside the block: the power-on block holds the default
        const size_t off =
            static_cast<size_t>(static_cast<unsigned char*>(p) - reinterpret_cast<unsigned char*>(&m_block));
        def = reinterpret_cast<const unsigned char*>(&m_powerOn) + off;
    }
    item = {p, size, def};
    return true;
}

bool SimUnit::CheckPayload(uint32_t cmd, const unsigned char* pl, uint32_t arg2) const
{
    const uint32_t w0 = GetLE32(pl);
    switch (cmd) {
    case CMD_FRAMERATE:
        return w0 <= 5;
    case CMD_UNITS:
        return w0 <= 3 && GetLE32(pl + 4) <= 2;
    case CMD_FILTER:
        return w0 <= 8;
    case CMD_STYLUS:
        return w0 <= 3;
    case CMD_FTT_MODE:
        return w0 <= 3;
    case CMD_SNS_ORIGIN:
        return w0 <= 4;
    case CMD_SERIAL_CONFIG:
        return (w0 & 0xF) <= 13 && (w0 >> 4 & 3) <= 2;
    case CMD_SELFCAL_STATE:
        return GetLE32(pl + 4) <= 3;
    default:
        return true;
    }
}

size_t SimUnit::Dispatch(const _SEUCMD_HDR& req, const unsigned char* payload, size_t payloadLen, unsigned char* out)
{
    const uint32_t cmd = req.cmd, act = req.action;
    auto nak = [&] { return Respond(out, req, CMD_ACTION_NAK, nullptr, 0); };
    auto ack = [&](const void* p = nullptr, size_t n = 0) { return Respond(out, req, CMD_ACTION_ACK, p, n); };
    if (cmd >= CMD_MAX || act > CMD_ACTION_RESET ||
        !CSXcmd::ValidateAct(static_cast<eSorixCmds>(cmd), static_cast<eCmdActions>(act)))
        return nak();
    const size_t expected = act == CMD_ACTION_SET ? CSXcmd::paysize(static_cast<eSorixCmds>(cmd)) : 0;
    if (payloadLen != expected)
        return nak();

    // Which sensor or source the command addresses.
    const int32_t index = static_cast<int32_t>(req.arg1);
    int first = 0, last = 0;
    if (IsSensorCommand(cmd)) {
        if (index > 15 || (index < 0 && act == CMD_ACTION_GET))
            return nak();
        first = index < 0 ? 0 : index;
        last = index < 0 ? 15 : index;
    } else if (IsSourceCommand(cmd)) {
        if (index < 0 || index > 3)
            return nak();
        first = last = index;
    }

    switch (cmd) {
    case CMD_SENSOR_WHOAMI:
        return ack(&m_whoSensor[first], sizeof(_WHOAMI_STRUCT));
    case CMD_SRC_WHOAMI:
        return ack(&m_whoSource[first], sizeof(_WHOAMI_STRUCT));
    case CMD_WHOAMI:
        return ack(&m_whoUnit, sizeof m_whoUnit);
    case CMD_STATION_MAP:
        return ack(&m_block.stationMap, 4);
    case CMD_BIT:
        return ack(&m_bit, sizeof m_bit);
    case CMD_BLOCK_CFG:
        ResetLocked();
        return ack();
    case CMD_FRAME_COUNT:
        m_frameCount = 0;
        return ack();
    case CMD_SINGLE_PNO: {
        unsigned char body[16 + 32 * 17];
        const size_t n = PnoBody(body, req.arg2, PnoFrameFaults{});
        return ack(body, n);
    }
    case CMD_CONTINUOUS_PNO:
        m_streaming = act == CMD_ACTION_SET;
        m_streamAccel = m_streaming && (req.arg2 & 1u) != 0;
        return ack();
    case CMD_INITIALIZE:
    case CMD_PERSIST:
        return ack();
    case CMD_SELFCAL_SAVE:
        // Saving keeps the collected data (saved, nothing new unsaved); a
        // reset forgets the saved data.
        m_selfCal.state = act == CMD_ACTION_SET ? (m_selfCal.state & ~0x300u) | 0x100u : m_selfCal.state & ~0x300u;
        return ack();
    default:
        break;
    }

    if (act == CMD_ACTION_SET && !CheckPayload(cmd, payload, req.arg2))
        return nak();
    Item item;
    if (!LocateItem(cmd, first, req.arg2, item))
        return nak();
    if (act == CMD_ACTION_GET) {
        if (cmd == CMD_SRC_ROTATION) {
            _SRCROT_CONFIG rot{m_block.src[first].srcfreq, {}};
            std::memcpy(rot.rotation, m_block.src[first].rotation, sizeof rot.rotation);
            return ack(&rot, sizeof rot);
        }
        return ack(item.ptr, item.size);
    }
    for (int k = first; k <= last; ++k) {
        LocateItem(cmd, k, req.arg2, item);
        const unsigned char* from = act == CMD_ACTION_SET ? payload : static_cast<const unsigned char*>(item.def);
        if (cmd == CMD_SRC_ROTATION) {
            _SRC_CONFIG& src = m_block.src[k];
            if (act == CMD_ACTION_SET) {
                std::memcpy(&src.srcfreq, from, 4);
                std::memcpy(src.rotation, from + 4, sizeof src.rotation);
            } else {
                const _SRC_CONFIG& d = m_powerOn.src[k];
                src.srcfreq = d.srcfreq;
                std::memcpy(src.rotation, d.rotation, sizeof src.rotation);
            }
            continue;
        }
        std::memcpy(item.ptr, from, item.size);
        // Both filters of a sensor when no single target is named.
        if (cmd == CMD_FILTER && req.arg2 == kFilterBoth) {
            LocateItem(cmd, k, kFilterOri, item);
            std::memcpy(item.ptr, act == CMD_ACTION_SET ? payload : item.def, item.size);
        }
    }
    return ack();
}

} // namespace sxsim
