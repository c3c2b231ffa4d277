// CFrameInfo: methods over the descriptor of one received frame. It never
// owns the bytes it points at.
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/protocol/SXframe.h>

#include <cstdint>

class SXCMDIF_API CFrameInfo : public _sxFrameInfo {
public:
    CFrameInfo() { Init(); }
    CFrameInfo(unsigned char* frame, unsigned int len) : _sxFrameInfo{frame, len, 0, 0, 0} {}
    CFrameInfo(unsigned char* frame, unsigned int len, unsigned int err)
        : _sxFrameInfo{frame, len, 0, static_cast<int32_t>(err), 0}
    {
    }
    CFrameInfo(const _sxFrameInfo& rec) : _sxFrameInfo(rec) {}
    CFrameInfo(const CFrameInfo&) = default;
    CFrameInfo& operator=(const CFrameInfo&) = default;

    void Init() { *static_cast<_sxFrameInfo*>(this) = _sxFrameInfo{nullptr, 0, 0, 0, 0}; }

    // Copies at most bufLen bytes of src's frame into buf and points there;
    // with a null buf only the fields are taken.
    void DeepCopy(unsigned char* buf, unsigned int bufLen, const CFrameInfo& src);

    operator unsigned int*() const { return reinterpret_cast<unsigned int*>(pFrame); }
    uint64_t& TS() { return timeStamp; }
    int err() const { return errCode; }

    // Kinds: only the tracker's own preambles count.
    bool IsNull() const { return pFrame == nullptr; }
    bool IsCmd() const;
    bool IsPno() const;

    // Readers. A word that lies beyond frameLen reads as the marker (as 0
    // for Preamble()), so no reader goes past the frame.
    unsigned int Preamble() const;
    unsigned int devid() const;
    unsigned int cmd() const;
    unsigned int action() const;
    unsigned int arg1() const;
    unsigned int arg2() const;
    bool IsAck() const;
    bool IsNak() const;
    bool IsNakWarning() const;
    unsigned int devfc() const;
    unsigned int CmdPayloadSize() const;
    unsigned char* PCmdPayload() const;
    unsigned char* PPnoBody() const;
    unsigned int PnoBodySize() const;
    unsigned char* PPnoData() const;

    // Error marks of a flawed P&O frame passed on; hpinfo is written only
    // for a P&O frame, errCode always (except by setpnodrops).
    void setpnoframerr();
    void setpnocrcerr();
    void setpnosnserr();
    void setpnodrops(uint16_t lost);
};
