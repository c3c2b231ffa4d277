/** \file
 * CFrameInfo: methods over the descriptor of one received frame. It never
 * owns the bytes it points at.
 * \ingroup sx_pno_access */
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/protocol/SXframe.h>

#include <cstdint>

/** \addtogroup sx_pno_access
 * @{ */

/** Methods over the descriptor of one received frame (`_sxFrameInfo`, whose
 * fields it adds nothing to). It never owns the bytes it points at. Its
 * readers never read past `frameLen`. An object belongs to one thread at a
 * time. */
class SXCMDIF_API CFrameInfo : public _sxFrameInfo {
public:
    /** An empty descriptor: no frame, all fields zero. */
    CFrameInfo() { Init(); }
    /** A descriptor of len bytes at frame, the other fields zero.
     * \param frame the frame's bytes (not owned)
     * \param len their length */
    CFrameInfo(unsigned char* frame, unsigned int len) : _sxFrameInfo{frame, len, 0, 0, 0} {}
    /** A descriptor of len bytes at frame with an error code.
     * \param frame the frame's bytes (not owned)
     * \param len their length
     * \param err the error code attached to the frame */
    CFrameInfo(unsigned char* frame, unsigned int len, unsigned int err)
        : _sxFrameInfo{frame, len, 0, static_cast<int32_t>(err), 0}
    {
    }
    /** The methods over a plain record (a copy of its fields).
     * \param rec the record */
    CFrameInfo(const _sxFrameInfo& rec) : _sxFrameInfo(rec) {}
    /** Copies the fields; the bytes stay where they are. */
    CFrameInfo(const CFrameInfo&) = default;
    /** Copies the fields; the bytes stay where they are.
     * \returns this descriptor */
    CFrameInfo& operator=(const CFrameInfo&) = default;

    /** Empties the descriptor: no frame, all fields zero. */
    void Init() { *static_cast<_sxFrameInfo*>(this) = _sxFrameInfo{nullptr, 0, 0, 0, 0}; }

    /** Copies at most bufLen bytes of src's frame into buf and points there;
     * with a null buf only the fields are taken. src may be this object.
     * \param buf receives the bytes, or null
     * \param bufLen the bytes buf holds
     * \param src the descriptor copied */
    void DeepCopy(unsigned char* buf, unsigned int bufLen, const CFrameInfo& src);

    /** The frame as words.
     * \returns `pFrame` as a word pointer */
    operator unsigned int*() const { return reinterpret_cast<unsigned int*>(pFrame); }
    /** The time stamp, for reading or writing.
     * \returns a reference to `timeStamp` */
    uint64_t& TS() { return timeStamp; }
    /** The error code attached to the frame.
     * \returns `errCode` */
    int err() const { return errCode; }

    /** Whether the descriptor has no frame.
     * \returns true when `pFrame` is null */
    bool IsNull() const { return pFrame == nullptr; }
    /** Whether the frame begins with the tracker's command (IsCmd, "SXRC") or
     * P&O (IsPno, "SXRP") preamble; the tag device's preambles do not count.
     * \returns true when it does */
    ///@{
    bool IsCmd() const;
    bool IsPno() const;
    ///@}

    /** Readers. A word that lies beyond frameLen reads as the marker (as 0
     * for Preamble()), so no reader goes past the frame.
     * \returns the `preamble` word, or 0 */
    unsigned int Preamble() const;
    /** \returns the `seuid` word, or ::SX_FRAME_MARKER */
    unsigned int devid() const;
    /** \returns a command frame's `cmd` (cmd) or `action` (action) word;
     *   ::SX_FRAME_MARKER for a P&O frame or a word beyond the frame */
    ///@{
    unsigned int cmd() const;
    unsigned int action() const;
    ///@}
    /** \returns a command frame's `arg1` (arg1) or `arg2` (arg2) word;
     *   ::SX_FRAME_MARKER for any other frame or a word beyond the frame */
    ///@{
    unsigned int arg1() const;
    unsigned int arg2() const;
    ///@}
    /** \returns true when the frame is not a P&O frame and its action is
     *   ::CMD_ACTION_ACK (IsAck), ::CMD_ACTION_NAK (IsNak) or
     *   ::CMD_ACTION_NAK_WARNING (IsNakWarning) */
    ///@{
    bool IsAck() const;
    bool IsNak() const;
    bool IsNakWarning() const;
    ///@}
    /** \returns a P&O frame's frame count (`framenum`); 0 for no frame, a
     *   command frame or a word beyond the frame */
    unsigned int devfc() const;
    /** \returns a command frame's payload bytes: `size` - 24, at most what the
     *   frame holds before its CRC; 0 for no frame or a P&O frame */
    unsigned int CmdPayloadSize() const;
    /** \returns the address of a command frame's payload (byte 28); null for
     *   no frame or a P&O frame */
    unsigned char* PCmdPayload() const;
    /** \returns the address of a P&O frame's body (byte 8, `seuid`); null for
     *   no frame or a command frame */
    unsigned char* PPnoBody() const;
    /** \returns the body's bytes without the CRC: `size` - 4, at most what
     *   the frame holds; 0 for no frame or a command frame */
    unsigned int PnoBodySize() const;
    /** \returns the address of a P&O frame's first sensor record (byte 24);
     *   null for no frame or a command frame */
    unsigned char* PPnoData() const;

    /** Error marks of a flawed P&O frame passed on: ::SX_HPINFO_FRAMERR
     * (errCode 1), ::SX_HPINFO_CRCERR (errCode 2) or ::SX_HPINFO_SNSERR
     * (errCode 2) into `hpinfo`. hpinfo is written only for a P&O frame,
     * errCode always. */
    ///@{
    void setpnoframerr();
    void setpnocrcerr();
    void setpnosnserr();
    ///@}
    /** Writes the count of frames lost before this one into bits 16 to 31 of
     * a P&O frame's `hpinfo`; errCode is not changed.
     * \param lost the count */
    void setpnodrops(uint16_t lost);
};

/** @} */
