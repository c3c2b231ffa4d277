// CFrameInfo: readers and marks over a received frame it does not own.
#include <SXCmdIF/protocol/SXframeInfo.h>
#include <SXCmdIF/protocol/SXcmdEnums.h>

#include "sxwire/LEWords.h"

#include <cstring>
#include <type_traits>

static_assert(sizeof(CFrameInfo) == sizeof(_sxFrameInfo), "CFrameInfo adds methods only");
static_assert(std::is_standard_layout<CFrameInfo>::value, "CFrameInfo is the plain record");

namespace {

// The word at off, when the frame holds it.
bool ReadWord(const _sxFrameInfo& f, uint32_t off, uint32_t& w)
{
    if (!f.pFrame || static_cast<uint64_t>(off) + 4 > f.frameLen)
        return false;
    w = sxwire::GetLE32(f.pFrame + off);
    return true;
}

uint32_t WordOr(const _sxFrameInfo& f, uint32_t off, uint32_t fallback)
{
    uint32_t w;
    return ReadWord(f, off, w) ? w : fallback;
}

// Bytes of the frame after off and before the CRC word.
uint32_t RoomBefore(const _sxFrameInfo& f, uint32_t off)
{
    return f.frameLen >= off + SX_CRC_LEN ? f.frameLen - off - SX_CRC_LEN : 0;
}

// `size` less what precedes the field, bounded by the bytes actually held.
uint32_t SizeMinus(const _sxFrameInfo& f, uint32_t less, uint32_t off)
{
    const uint32_t size = WordOr(f, SX_OFF_SIZE, 0);
    const uint32_t claimed = size >= less ? size - less : 0;
    const uint32_t held = RoomBefore(f, off);
    return claimed < held ? claimed : held;
}

} // namespace

void CFrameInfo::DeepCopy(unsigned char* buf, unsigned int bufLen, const CFrameInfo& src)
{
    // Taken first: src may be this object.
    unsigned char* const from = src.pFrame;
    const uint32_t n = from ? (bufLen < src.frameLen ? bufLen : src.frameLen) : 0;
    frameLen = n;
    seqNum = src.seqNum;
    errCode = src.errCode;
    timeStamp = src.timeStamp;
    if (buf) {
        // A source without a frame gives a copy without one.
        pFrame = from ? buf : nullptr;
        if (n)
            std::memmove(buf, from, n);
    }
}

bool CFrameInfo::IsCmd() const
{
    uint32_t w;
    return ReadWord(*this, SX_OFF_PREAMBLE, w) && w == SX_PREAMBLE_CMD;
}

bool CFrameInfo::IsPno() const
{
    uint32_t w;
    return ReadWord(*this, SX_OFF_PREAMBLE, w) && w == SX_PREAMBLE_PNO;
}

unsigned int CFrameInfo::Preamble() const
{
    return WordOr(*this, SX_OFF_PREAMBLE, 0);
}
unsigned int CFrameInfo::devid() const
{
    return WordOr(*this, SX_OFF_SEUID, SX_FRAME_MARKER);
}

unsigned int CFrameInfo::cmd() const
{
    return IsPno() ? SX_FRAME_MARKER : WordOr(*this, SX_OFF_CMD, SX_FRAME_MARKER);
}

unsigned int CFrameInfo::action() const
{
    return IsPno() ? SX_FRAME_MARKER : WordOr(*this, SX_OFF_ACTION, SX_FRAME_MARKER);
}

unsigned int CFrameInfo::arg1() const
{
    return IsCmd() ? WordOr(*this, SX_OFF_ARG1, SX_FRAME_MARKER) : SX_FRAME_MARKER;
}

unsigned int CFrameInfo::arg2() const
{
    return IsCmd() ? WordOr(*this, SX_OFF_ARG2, SX_FRAME_MARKER) : SX_FRAME_MARKER;
}

bool CFrameInfo::IsAck() const
{
    return !IsPno() && WordOr(*this, SX_OFF_ACTION, SX_FRAME_MARKER) == CMD_ACTION_ACK;
}
bool CFrameInfo::IsNak() const
{
    return !IsPno() && WordOr(*this, SX_OFF_ACTION, SX_FRAME_MARKER) == CMD_ACTION_NAK;
}

bool CFrameInfo::IsNakWarning() const
{
    return !IsPno() && WordOr(*this, SX_OFF_ACTION, SX_FRAME_MARKER) == CMD_ACTION_NAK_WARNING;
}

unsigned int CFrameInfo::devfc() const
{
    if (IsNull() || IsCmd())
        return 0;
    return WordOr(*this, SX_OFF_FRAMENUM, 0);
}

unsigned int CFrameInfo::CmdPayloadSize() const
{
    if (IsNull() || IsPno())
        return 0;
    return SizeMinus(*this, SX_CMD_SIZE_MIN, SX_OFF_CMD_PAYLOAD);
}

unsigned char* CFrameInfo::PCmdPayload() const
{
    return IsNull() || IsPno() ? nullptr : pFrame + SX_OFF_CMD_PAYLOAD;
}

unsigned char* CFrameInfo::PPnoBody() const
{
    return IsNull() || IsCmd() ? nullptr : pFrame + SX_OFF_SEUID;
}

unsigned int CFrameInfo::PnoBodySize() const
{
    if (IsNull() || IsCmd())
        return 0;
    return SizeMinus(*this, SX_CRC_LEN, SX_OFF_SEUID);
}

unsigned char* CFrameInfo::PPnoData() const
{
    return IsNull() || IsCmd() ? nullptr : pFrame + SX_OFF_PNO_DATA;
}

namespace {

void MarkHpinfo(CFrameInfo& f, uint32_t mask)
{
    uint32_t w;
    if (f.IsPno() && ReadWord(f, SX_OFF_HPINFO, w))
        sxwire::PutLE32(f.pFrame + SX_OFF_HPINFO, w | mask);
}

} // namespace

void CFrameInfo::setpnoframerr()
{
    MarkHpinfo(*this, SX_HPINFO_FRAMERR);
    errCode = 1;
}

void CFrameInfo::setpnocrcerr()
{
    MarkHpinfo(*this, SX_HPINFO_CRCERR);
    errCode = 2;
}

// The sensor mark gives the same error value as a CRC error.
void CFrameInfo::setpnosnserr()
{
    MarkHpinfo(*this, SX_HPINFO_SNSERR);
    errCode = 2;
}

void CFrameInfo::setpnodrops(uint16_t lost)
{
    uint32_t w;
    if (IsPno() && ReadWord(*this, SX_OFF_HPINFO, w))
        sxwire::PutLE32(pFrame + SX_OFF_HPINFO, (w & 0xFFFFu) | static_cast<uint32_t>(lost) << 16);
}
