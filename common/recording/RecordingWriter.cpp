#include <recording/RecordingWriter.h>

#include <sxwire/LEWords.h>

#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>

namespace sxrec {

namespace {

// Cuts the file to size and goes on writing there.
void CutFile(std::FILE* f, uint64_t size)
{
#ifdef _WIN32
    _chsize_s(_fileno(f), static_cast<long long>(size));
    _fseeki64(f, static_cast<long long>(size), SEEK_SET);
#else
    if (::ftruncate(fileno(f), static_cast<off_t>(size)) != 0) {
        // Left longer; the reader reports the partial record.
    }
    fseeko(f, static_cast<off_t>(size), SEEK_SET);
#endif
    std::clearerr(f);
}

// Removes the file just created as path, unless path names another file by
// now (a shared folder).
void RemoveFile(const std::string& path, int fd)
{
#ifndef _WIN32
    struct stat mine {
    }, named{};
    if (::fstat(fd, &mine) != 0 || ::lstat(path.c_str(), &named) != 0 || mine.st_dev != named.st_dev ||
        mine.st_ino != named.st_ino)
        return;
#else
    (void)fd;
#endif
    std::remove(path.c_str());
}

} // namespace

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

bool RecordingWriter::Open(const std::string& path, const RecordingHeader& header, std::string& error, bool replace)
{
    std::string ignored;
    Close(ignored);
    m_path = path;
    m_adopted = false;
    if (!m_out.Open(path, replace, kPartSuffix, error)) {
        m_error = error;
        return false;
    }
    return Begin(header, error);
}

bool RecordingWriter::Open(int fd, const std::string& path, const RecordingHeader& header, std::string& error)
{
    std::string ignored;
    Close(ignored);
    m_path = path;
    m_adopted = true;
    if (!m_out.Adopt(fd, path, error)) {
        m_error = error;
        RemoveFile(path, fd);
        ::close(fd);
        return false;
    }
    return Begin(header, error);
}

void RecordingWriter::Discard()
{
    m_out.Discard();
}

bool RecordingWriter::Begin(const RecordingHeader& header, std::string& error)
{
    m_frames = m_fileFrames = 0;
    m_gathered = 0;
    m_failed = m_trailerWritten = false;
    m_error.clear();
    // Unbuffered: the writer gathers records itself, so it knows which of
    // them a failed write left whole.
    std::setvbuf(m_out.File(), nullptr, _IONBF, 0);
    m_gather.resize(kGatherBytes);
    unsigned char bytes[kHeaderLen];
    EncodeHeader(header, bytes);
    if (std::fwrite(bytes, 1, sizeof bytes, m_out.File()) != sizeof bytes) {
        Fail("cannot write");
        error = m_error;
        if (m_adopted)
            RemoveFile(m_path, fileno(m_out.File()));
        m_out.Discard();
        return false;
    }
    m_fileBytes = kHeaderLen;
    return true;
}

bool RecordingWriter::Write(const unsigned char* frame, uint32_t length, uint64_t timeStampNs, uint32_t seqNum)
{
    if (!m_out.IsOpen() || m_failed)
        return false;
    if (length < kMinFrameLen || length > kMaxFrameLen) {
        m_error = m_path + ": frame of " + std::to_string(length) + " bytes is outside the recording format";
        return false;
    }
    const size_t n = kFrameRecordHeaderLen + length;
    if (m_gathered + n > m_gather.size() && !Flush())
        return false;
    unsigned char* record = m_gather.data() + m_gathered;
    sxwire::PutLE32(record + rec::kTag, kFrameTag);
    sxwire::PutLE32(record + rec::kLength, length);
    sxwire::PutLE64(record + rec::kTimeStamp, timeStampNs);
    sxwire::PutLE32(record + rec::kSeqNum, seqNum);
    sxwire::PutLE32(record + rec::kReserved, 0);
    std::memcpy(record + kFrameRecordHeaderLen, frame, length);
    m_gathered += n;
    ++m_frames;
    return true;
}

bool RecordingWriter::WriteGap(const RecordedGap& gap)
{
    if (!m_out.IsOpen() || m_failed)
        return false;
    // After the frames gathered before it, whole or not at all.
    if (!Flush())
        return false;
    unsigned char record[kGapLen];
    EncodeGap(gap, record);
    if (std::fwrite(record, 1, sizeof record, m_out.File()) != sizeof record) {
        const int why = errno;
        CutFile(m_out.File(), m_fileBytes);
        errno = why;
        return Fail("cannot write");
    }
    m_fileBytes += sizeof record;
    return true;
}

bool RecordingWriter::Flush()
{
    if (m_gathered == 0)
        return true;
    const size_t written = std::fwrite(m_gather.data(), 1, m_gathered, m_out.File());
    if (written == m_gathered) {
        m_fileBytes += written;
        m_fileFrames = m_frames;
        m_gathered = 0;
        return true;
    }
    const int why = errno;
    // The whole records among what reached the file stay; a partial one is
    // cut off.
    size_t whole = 0;
    while (whole + kFrameRecordHeaderLen <= written) {
        const size_t n = kFrameRecordHeaderLen + sxwire::GetLE32(m_gather.data() + whole + rec::kLength);
        if (whole + n > written)
            break;
        whole += n;
        ++m_fileFrames;
    }
    m_fileBytes += whole;
    m_frames = m_fileFrames;
    m_gathered = 0;
    CutFile(m_out.File(), m_fileBytes);
    errno = why;
    return Fail("cannot write");
}

void RecordingWriter::WriteTrailer()
{
    unsigned char trailer[kTrailerLen];
    EncodeTrailer(m_fileFrames, trailer);
    std::clearerr(m_out.File());
    if (std::fwrite(trailer, 1, sizeof trailer, m_out.File()) == sizeof trailer) {
        m_trailerWritten = true;
        return;
    }
    // No room: the file ends at its last whole record, as a reader expects
    // of a recording cut short.
    const int why = errno;
    CutFile(m_out.File(), m_fileBytes);
    errno = why;
    if (!m_failed)
        Fail("cannot write");
}

bool RecordingWriter::Close(std::string& error)
{
    if (!m_out.IsOpen())
        return true;
    if (!m_failed)
        Flush();
    WriteTrailer();
    m_gather.clear();
    m_gather.shrink_to_fit();
    if (!m_failed && m_out.Commit(m_error))
        return true;
    // A recording that did not reach its file whole keeps its temporary
    // name, readable up to its last whole frame.
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
