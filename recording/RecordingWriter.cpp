#include <recording/RecordingWriter.h>

#include <SXCmdIF/protocol/LEWords.h>

#include <cerrno>
#include <cstring>

namespace sxrec {

void EncodeHeader(const RecordingHeader& header, unsigned char* out)
{
    std::memset(out, 0, kHeaderLen);
    std::memcpy(out + hdr::kName, kFormatName, sizeof kFormatName);
    sxwire::PutLE32(out + hdr::kVersion, kFormatVersion);
    sxwire::PutLE32(out + hdr::kHeaderLen, kHeaderLen);
    sxwire::PutLE32(out + hdr::kSeuId, header.seuid);
    sxwire::PutLE32(out + hdr::kFrameRate, header.frameRateCode);
    sxwire::PutLE32(out + hdr::kPosUnits, header.units.pos_units);
    sxwire::PutLE32(out + hdr::kOriUnits, header.units.ori_units);
    sxwire::PutLE32(out + hdr::kStationMap, header.stationMap);
    sxwire::PutLE32(out + hdr::kFlags, 0);
    sxwire::PutLE64(out + hdr::kStartTime, header.startTimeNs);
    sxwire::PutLE64(out + hdr::kStartMonotonic, header.startMonotonicNs);
    std::memcpy(out + hdr::kIdentity, &header.identity, sizeof header.identity);
}

void EncodeGap(const RecordedGap& gap, unsigned char* out)
{
    sxwire::PutLE32(out + gap::kTag, kGapTag);
    sxwire::PutLE32(out + gap::kLength, kGapLen);
    sxwire::PutLE64(out + gap::kLostAt, gap.lostAtNs);
    sxwire::PutLE64(out + gap::kResumedAt, gap.resumedAtNs);
    sxwire::PutLE32(out + gap::kMissed, gap.missed);
    sxwire::PutLE32(out + gap::kCause, (gap.cause & 0xFFu) | (gap.estimated ? kGapEstimated : 0));
}

void EncodeTrailer(uint64_t frames, unsigned char* out)
{
    sxwire::PutLE32(out + trl::kTag, kTrailerTag);
    sxwire::PutLE32(out + trl::kLength, kTrailerLen);
    sxwire::PutLE64(out + trl::kFrameCount, frames);
    std::memcpy(out + trl::kEndMarker, kEndMarker, sizeof kEndMarker);
}

RecordingWriter::~RecordingWriter()
{
    std::string ignored;
    Close(ignored);
}

bool RecordingWriter::Fail(const char* what)
{
    m_error = m_path + ": " + what + ": " + std::strerror(errno);
    m_failed = true;
    return false;
}

bool RecordingWriter::Open(const std::string& path, const RecordingHeader& header, std::string& error)
{
    std::string ignored;
    Close(ignored);
    m_path = path;
    m_frames = 0;
    m_failed = false;
    m_error.clear();
    m_file = std::fopen(path.c_str(), "wb");
    if (!m_file) {
        Fail("cannot create");
        error = m_error;
        return false;
    }
    unsigned char bytes[kHeaderLen];
    EncodeHeader(header, bytes);
    if (std::fwrite(bytes, 1, sizeof bytes, m_file) != sizeof bytes) {
        Fail("cannot write");
        error = m_error;
        std::fclose(m_file);
        m_file = nullptr;
        return false;
    }
    return true;
}

bool RecordingWriter::Write(const unsigned char* frame, uint32_t length, uint64_t timeStampNs, uint32_t seqNum)
{
    if (!m_file)
        return false;
    if (length < kMinFrameLen || length > kMaxFrameLen) {
        m_error = m_path + ": frame of " + std::to_string(length) + " bytes is outside the recording format";
        return false;
    }
    unsigned char record[kFrameRecordHeaderLen + kMaxFrameLen];
    sxwire::PutLE32(record + rec::kTag, kFrameTag);
    sxwire::PutLE32(record + rec::kLength, length);
    sxwire::PutLE64(record + rec::kTimeStamp, timeStampNs);
    sxwire::PutLE32(record + rec::kSeqNum, seqNum);
    sxwire::PutLE32(record + rec::kReserved, 0);
    std::memcpy(record + kFrameRecordHeaderLen, frame, length);
    const size_t n = kFrameRecordHeaderLen + length;
    if (std::fwrite(record, 1, n, m_file) != n)
        return Fail("cannot write");
    ++m_frames;
    return true;
}

bool RecordingWriter::WriteGap(const RecordedGap& gap)
{
    if (!m_file)
        return false;
    unsigned char record[kGapLen];
    EncodeGap(gap, record);
    if (std::fwrite(record, 1, sizeof record, m_file) != sizeof record)
        return Fail("cannot write");
    return true;
}

bool RecordingWriter::Close(std::string& error)
{
    if (!m_file)
        return true;
    // The trailer says the recording is whole; after a failed write it is
    // not, and a reader then says so.
    bool ok = true;
    if (!m_failed) {
        unsigned char trailer[kTrailerLen];
        EncodeTrailer(m_frames, trailer);
        if (std::fwrite(trailer, 1, sizeof trailer, m_file) != sizeof trailer)
            ok = Fail("cannot write");
    }
    if (ok && std::fflush(m_file) != 0)
        ok = Fail("cannot write");
    if (std::fclose(m_file) != 0 && ok)
        ok = Fail("cannot close");
    m_file = nullptr;
    if (!ok)
        error = m_error;
    return ok;
}

} // namespace sxrec
