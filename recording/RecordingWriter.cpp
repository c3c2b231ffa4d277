#include <recording/RecordingWriter.h>

#include <recording/FileOutput.h>

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
    sxwire::PutLE32(out + hdr::kFlags, header.flags);
    sxwire::PutLE64(out + hdr::kStartTime, header.startTimeNs);
    std::memcpy(out + hdr::kIdentity, &header.identity, sizeof header.identity);
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

bool RecordingWriter::Open(const std::string& path, const RecordingHeader& header, std::string& error, bool replace)
{
    Discard();
    m_path = path;
    m_frames = 0;
    m_failed = false;
    m_error.clear();
    if (!m_out.Open(path, replace, kPartSuffix, error)) {
        m_error = error;
        return false;
    }
    unsigned char bytes[kHeaderLen];
    EncodeHeader(header, bytes);
    if (std::fwrite(bytes, 1, sizeof bytes, m_out.File()) != sizeof bytes) {
        Fail("cannot write");
        error = m_error;
        m_out.Discard();
        return false;
    }
    return true;
}

void RecordingWriter::Discard()
{
    m_out.Discard();
}

bool RecordingWriter::Write(const unsigned char* frame, uint32_t length, uint64_t timeStampNs, uint32_t seqNum)
{
    if (!m_out.IsOpen() || m_failed)
        return false;
    if (length < kMinFrameLen || length > kMaxFrameLen) {
        m_error = m_path + ": frame of " + std::to_string(length) + " bytes is outside the recording format";
        m_failed = true;
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
    if (std::fwrite(record, 1, n, m_out.File()) != n)
        return Fail("cannot write");
    ++m_frames;
    return true;
}

bool RecordingWriter::Close(std::string& error)
{
    if (!m_out.IsOpen())
        return true;
    // The trailer says the recording is whole; after a failed write it is
    // not: it keeps its temporary name, readable up to its last whole
    // frame, and a reader says it was cut short.
    if (!m_failed) {
        unsigned char trailer[kTrailerLen];
        EncodeTrailer(m_frames, trailer);
        if (std::fwrite(trailer, 1, sizeof trailer, m_out.File()) != sizeof trailer)
            Fail("cannot write");
    }
    if (!m_failed && m_out.Commit(m_error))
        return true;
    m_failed = true;
    std::string ignored;
    const std::string kept = m_out.WritingPath();
    m_out.KeepTemporary(ignored);
    if (m_error.empty())
        m_error = m_path + ": cannot write";
    if (kept != m_path && Exists(kept))
        m_error += "; the frames written so far are in " + kept;
    error = m_error;
    return false;
}

} // namespace sxrec
