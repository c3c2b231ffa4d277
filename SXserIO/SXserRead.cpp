// CSXserIO: reading with the time-out rule, frames, the frame search,
// writing and closing.
#include <SXserIO/SXserIO.h>

#include "FrameHeader.h"
#include "SerTrace.h"

#include <platform/SerialLine.h>
#include <platform/SysErrText.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

namespace {

constexpr const char* kReadframe = "CSXserIO::Readframe";

using sxser::BodyLength;

} // namespace

int CSXserIO::Read(unsigned char* buf, int& len, bool bTimeoutErr)
{
    SXSER_LINE(3, BXDOUT3, "%s : %s : %d : pbuf 0x%x, count %d, bTOisErr %s\r\n", __FILE__, "CSXserIO::Read", __LINE__,
               static_cast<unsigned int>(reinterpret_cast<uintptr_t>(buf)), len, bTimeoutErr ? "true" : "false");
    if (!buf)
        return -1;
    int total = 0;
    int result = SXIO_NOERR;
    if (m_nPushBack > 0 && len > 0) {
        total = len < m_nPushBack ? len : m_nPushBack;
        memcpy(buf, m_pushBack, static_cast<size_t>(total));
        m_nPushBack -= total;
        memmove(m_pushBack, m_pushBack + total, static_cast<size_t>(m_nPushBack));
    }
    while (total < len && result == SXIO_NOERR) {
        if (m_nAheadPos < m_nAheadLen) {
            const int n = std::min(len - total, m_nAheadLen - m_nAheadPos);
            memcpy(buf + total, m_readAhead + m_nAheadPos, static_cast<size_t>(n));
            m_nAheadPos += n;
            total += n;
            continue;
        }
        // Short of the read-ahead's size: read into it, all the line holds;
        // a longer rest goes straight into the caller's buffer.
        const bool ahead = len - total < kReadAheadSize;
        unsigned char* const into = ahead ? m_readAhead : buf + total;
        const int room = ahead ? kReadAheadSize : len - total;
        int got = 0;
        const sxplat::IoStatus st =
            sxplat::ReadSome(m_hCom, m_hReadEvent, into, room, sxplat::kReadTimeoutMs, got, m_bLineDrained);
        m_bLineDrained = st == sxplat::IO_OK && got < room;
        if (st == sxplat::IO_START_ERR) {
            const int err = sxplat::LastError();
            iodbg::BxDebug::BXDOUT_ERR0("CSXserIO::Read : ReadFile Error %d : ", err);
            result = SXIO_SYSERR;
        } else if (st == sxplat::IO_WAIT_ERR) {
            const int err = sxplat::LastError();
            iodbg::BxDebug::BXDOUT_ERR0("CSXserIO::Read : GetOverlappedResult Error %d : ", err);
            result = SXIO_SYSERR;
        } else if (got == 0) {
            // Quiet for the whole time-out (or reading is being stopped).
            if (total == 0 && len != 0 && bTimeoutErr)
                result = SXIO_NORESP;
            break;
        } else if (ahead) {
            m_nAheadPos = 0;
            m_nAheadLen = got;
        } else {
            total += got;
        }
    }
    SXSER_LINE(3, BXDOUT3, "%s : Requested %d, Actual %d\r\n", "CSXserIO::Read", len, total);
    len = total;
    if (total != 0)
        SXSER_BLOCK(3, buf, total, true, "CSXserIO::Read");
    return result;
}

void CSXserIO::PushBack(const unsigned char* data, int n)
{
    if (n <= 0 || n + m_nPushBack > static_cast<int>(sizeof m_pushBack))
        return;
    memmove(m_pushBack + n, m_pushBack, static_cast<size_t>(m_nPushBack));
    memcpy(m_pushBack, data, static_cast<size_t>(n));
    m_nPushBack += n;
}

void CSXserIO::KeepForSearch(const unsigned char* data, int n)
{
    m_nSearchFrom = 0;
    if (n <= 0 || n > static_cast<int>(sizeof m_searchFrom))
        return;
    memcpy(m_searchFrom, data, static_cast<size_t>(n));
    m_nSearchFrom = n;
}

bool CSXserIO::PreambleTest(unsigned char* header)
{
    const uint32_t in = sxwire::GetLE32(header);
    const uint32_t cmp = m_info.uPreamble;
    const uint32_t mask = sxser::PreambleMask(m_iModeZJ != 0);
    SXSER_LINE(3, BXDOUT3, "%s : preamble IN = %.8x, CMP = %.8x, mask = %.8x\r\n", "PreambleTestM", in, cmp, mask);
    SXSER_LINE(3, BXDOUT3, "%s : (pIN & mask) = %.8x  :  (pCmp & mask) = %.8x\r\n", "PreambleTestM", in & mask,
               cmp & mask);
    SXSER_LINE(3, BXDOUT3, "%s : %.8x ^ %.8x = %.8x\r\n", "PreambleTestM", in & mask, cmp & mask,
               (in & mask) ^ (cmp & mask));
    if ((in & mask) == (cmp & mask))
        return true;
    iodbg::BxDebug::BXDOUT0("%s : %d : Expected preamble: %.8x, actual: %.8x\r\n", "PreambleTestM", __LINE__, cmp, in);
    return false;
}

int CSXserIO::Readframe(unsigned char* buf, int& len)
{
    // In the reading loop the buffer is the frame buffer, where a frame stays
    // below its size; other callers give room for any frame.
    return ReadframeUpTo(buf, len, buf == m_frameBuf ? kFrameBufSize - 1 : INT_MAX);
}

int CSXserIO::Readframe(unsigned char* buf, int& len, int bufSize)
{
    if (bufSize < kHeaderLen)
        return -1;
    return ReadframeUpTo(buf, len, bufSize);
}

int CSXserIO::ReadframeUpTo(unsigned char* buf, int& len, int64_t maxFrame)
{
    SXSER_ENTER();
    if (!buf)
        return -1;
    const bool zj = m_iModeZJ != 0;
    m_nSearchFrom = 0; // a frame read directly goes on after the failed header

    SXSER_LINE(3, BXDOUT3, "%s : iHdrLen = %d\r\n", kReadframe, kHeaderLen);
    SXSER_LINE(3, BXDOUT3, "%s : Reading Header, Len = %d\r\n", kReadframe, kHeaderLen);
    int hdrLen = kHeaderLen;
    int r = Read(buf, hdrLen, true);
    if (r == SXIO_NORESP) {
        SXSER_LINE(5, BXDOUT5, "%s : Error Reading Header : %d : %s\r\n", kReadframe, r, ErrorStr(r));
        return r;
    }
    if (r != SXIO_NOERR) {
        iodbg::BxDebug::BXDOUT0("%s : Error Reading Header : %d : %s\r\n", kReadframe, r, ErrorStr(r));
        iodbg::BxDebug::BXDOUTFBuf(buf, hdrLen, true, "CSXserIO::Readframe Error Reading Header", 0);
        return r;
    }
    if (hdrLen < kHeaderLen) {
        // The line went quiet inside the header: what came is no frame.
        iodbg::BxDebug::BXDOUT0("%s : Error Reading Header : %d : %s\r\n", kReadframe, SXIO_NORESP,
                                ErrorStr(SXIO_NORESP));
        iodbg::BxDebug::BXDOUTFBuf(buf, hdrLen, true, "CSXserIO::Readframe Error Reading Header", 0);
        // A frame may begin after its first byte: a search looks there.
        KeepForSearch(buf + 1, hdrLen - 1);
        return SXIO_FRAMERR;
    }
    if (!PreambleTest(buf)) {
        iodbg::BxDebug::BXDOUTFBuf(buf, kHeaderLen, true, "CSXserIO::Readframe Error in Preamble", 0);
        // Garbage shorter than a header is followed by the start of the
        // next frame inside these 8 bytes: a search that follows starts
        // after the first byte, so that frame is found and not lost.
        KeepForSearch(buf + 1, kHeaderLen - 1);
        return SXIO_FRAMERR;
    }
    const uint32_t bodyLen = BodyLength(buf, zj);
    SXSER_LINE(3, BXDOUT3, "%s : Reading Body, iBodyLen = %d\r\n", kReadframe, static_cast<int>(bodyLen));
    if (kHeaderLen + static_cast<int64_t>(bodyLen) > maxFrame)
        return SXIO_FRAMERR;
    int got = static_cast<int>(bodyLen);
    r = Read(buf + kHeaderLen, got, true);
    if (r == SXIO_NOERR && got < static_cast<int>(bodyLen))
        r = SXIO_NORESP; // the body ended early: the frame is dropped
    if (r != SXIO_NOERR) {
        iodbg::BxDebug::BXDOUT0("%s : Error Reading Body : %d : %s. Returning error %d : %s\r\n", kReadframe, r,
                                ErrorStr(r), SXIO_FRAMERR, ErrorStr(SXIO_FRAMERR));
        return SXIO_FRAMERR;
    }
    len = kHeaderLen + got;
    SXSER_LEAVE();
    return SXIO_NOERR;
}

int CSXserIO::Findframe(unsigned char* buf, int& len)
{
    SXSER_ENTER();
    if (!buf)
        return -1;
    const bool zj = m_iModeZJ != 0;
    const unsigned char pattern[3] = {
        static_cast<unsigned char>(m_info.uPreamble),
        static_cast<unsigned char>(m_info.uPreamble >> 8),
        static_cast<unsigned char>(m_info.uPreamble >> 16),
    };
    const int need = zj ? 2 : 3;
    // The search begins with the bytes of the header that failed just
    // before it.
    if (m_nSearchFrom > 0) {
        PushBack(m_searchFrom, m_nSearchFrom);
        m_nSearchFrom = 0;
    }

    unsigned char chunk[32];
    int request = static_cast<int>(sizeof chunk);
    int scanned = 0;
    int matched = 0;
    int held = 0;
    bool found = false;
    while (!found && scanned < 200) {
        int got = request;
        const int r = Read(chunk, got, true);
        if (r != SXIO_NOERR || got == 0)
            return r;
        for (int i = 0; i < got; ++i) {
            if (chunk[i] == pattern[matched]) {
                if (++matched == need) {
                    // The preamble may have begun in an earlier chunk: the
                    // frame starts with the pattern itself.
                    memcpy(buf, pattern, static_cast<size_t>(need));
                    held = need + (got - i - 1);
                    memcpy(buf + need, chunk + i + 1, static_cast<size_t>(got - i - 1));
                    found = true;
                    break;
                }
            } else {
                // The byte that broke a partial match may begin the next one.
                matched = (chunk[i] == pattern[0]) ? 1 : 0;
            }
        }
        if (!found) {
            scanned += got;
            request = got;
        }
    }
    if (!found)
        return SXIO_NOERR;

    if (held < kHeaderLen) {
        int want = kHeaderLen - held;
        const int r = Read(buf + held, want, true);
        if (r != SXIO_NOERR)
            return r;
        held += want;
        if (held < kHeaderLen)
            return SXIO_FRAMERR;
    }
    const uint32_t bodyLen = BodyLength(buf, zj);
    if (kHeaderLen + static_cast<int64_t>(bodyLen) >= kFrameBufSize)
        return SXIO_FRAMERR;
    const int frameLen = kHeaderLen + static_cast<int>(bodyLen);
    if (held > frameLen) {
        // The chunk ran past this frame: the rest begins the next one.
        PushBack(buf + frameLen, held - frameLen);
    } else if (held < frameLen) {
        int want = frameLen - held;
        const int r = Read(buf + held, want, true);
        if (r != SXIO_NOERR)
            return r;
        if (want < frameLen - held)
            return SXIO_FRAMERR; // the body ended early: the frame is dropped
    }
    len = frameLen;
    SXSER_BLOCK(3, buf, len, true, "CSXserIO::Findframe");
    SXSER_LEAVE();
    return SXIO_NOERR;
}

int CSXserIO::Write(unsigned char* buf, int& len)
{
    if (len < 0 || (!buf && len > 0))
        return -1;
    SXSER_BLOCK(3, buf, len, true, "CSXserIO::Write");
    int result = SXIO_NOERR;
    int written = 0;
    const sxplat::IoStatus st = sxplat::WriteAll(m_hCom, m_hWriteEvent, buf, len, sxplat::kWriteTimeoutMs, written);
    if (st == sxplat::IO_START_ERR) {
        result = SXIO_TIMEOUT;
    } else if (st == sxplat::IO_WAIT_ERR) {
        // Not all bytes went out within the time: a failed write.
        const int err = sxplat::LastError();
        SXSER_LINE(5, BXDOUT5, "CSXserIO::Write : GetOverlappedResult: %x dwError %d dwWritten %d\n", err, err,
                   written);
        sxplat::RestoreLastError(err);
        iodbg::BxDebug::BXDOUT_ERR5("CSXserIO::Write : GetOverlappedResult Error %d : ", err);
        result = SXIO_TIMEOUT;
    }
    SXSER_LEAVE();
    return result;
}

int CSXserIO::Close()
{
    StopContThread();
    int result = -1;
    // A write still waiting for room gives up now.
    sxplat::SignalEvent(m_hWriteEvent);
    if (!sxplat::CloseLine(m_hCom))
        iodbg::BxDebug::BXDOUT_ERR5("CSXserIO::Close : CloseHandle MYHND failed\n");
    else
        result = 0;
    if (!sxplat::CloseEvent(m_hReadEvent)) {
        iodbg::BxDebug::BXDOUT_ERR5("CSXserIO::Close : closehandle m_hReadEvent failed\n");
        result = -1;
    }
    if (!sxplat::CloseEvent(m_hWriteEvent)) {
        iodbg::BxDebug::BXDOUT_ERR5("CSXserIO::Close : closehandle m_hWriteEvent failed\n");
        result = -1;
    }
    // Closed above, each failure reported: CloseHandles only forgets them
    // and the line's buffered input.
    m_hCom = nullptr;
    m_hReadEvent = nullptr;
    m_hWriteEvent = nullptr;
    CloseHandles();
    try {
        m_info = _sx_serportinfo();
    } catch (...) {
    }
    return result;
}
