#include <recording/RecordingWriter.h>

#include <SXCmdIF/protocol/LEWords.h>

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
    struct stat mine {}, named {};
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
#ifdef _WIN32
    m_file = std::fopen(path.c_str(), "wb");
#else
    // Never through a link at the name: in a shared folder (/tmp) one
    // planted there would have the recording fill the file it points to.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    m_file = fd >= 0 ? fdopen(fd, "wb") : nullptr;
    if (!m_file && fd >= 0)
        ::close(fd);
#endif
    if (!m_file) {
        Fail("cannot create");
        error = m_error;
        return false;
    }
    return Begin(header, error);
}

bool RecordingWriter::Open(int fd, const std::string& path, const RecordingHeader& header, std::string& error)
{
    std::string ignored;
    Close(ignored);
    m_path = path;
    m_file = fdopen(fd, "wb");
    if (!m_file) {
        Fail("cannot create");
        error = m_error;
        RemoveFile(path, fd);
        ::close(fd);
        return false;
    }
    return Begin(header, error);
}

bool RecordingWriter::Begin(const RecordingHeader& header, std::string& error)
{
    m_frames = m_fileFrames = 0;
    m_gathered = 0;
    m_failed = m_trailerWritten = false;
    m_error.clear();
    // Unbuffered: the writer gathers records itself, so it knows which of
    // them a failed write left whole.
    std::setvbuf(m_file, nullptr, _IONBF, 0);
    m_gather.resize(kGatherBytes);
    unsigned char bytes[kHeaderLen];
    EncodeHeader(header, bytes);
    if (std::fwrite(bytes, 1, sizeof bytes, m_file) != sizeof bytes) {
        Fail("cannot write");
        error = m_error;
        RemoveFile(m_path, fileno(m_file));
        std::fclose(m_file);
        m_file = nullptr;
        return false;
    }
    m_fileBytes = kHeaderLen;
    return true;
}

bool RecordingWriter::Write(const unsigned char* frame, uint32_t length, uint64_t timeStampNs, uint32_t seqNum)
{
    if (!m_file || m_failed)
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
    if (!m_file || m_failed)
        return false;
    // After the frames gathered before it, whole or not at all.
    if (!Flush())
        return false;
    unsigned char record[kGapLen];
    EncodeGap(gap, record);
    if (std::fwrite(record, 1, sizeof record, m_file) != sizeof record) {
        const int why = errno;
        CutFile(m_file, m_fileBytes);
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
    const size_t written = std::fwrite(m_gather.data(), 1, m_gathered, m_file);
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
    CutFile(m_file, m_fileBytes);
    errno = why;
    return Fail("cannot write");
}

void RecordingWriter::WriteTrailer()
{
    unsigned char trailer[kTrailerLen];
    EncodeTrailer(m_fileFrames, trailer);
    std::clearerr(m_file);
    if (std::fwrite(trailer, 1, sizeof trailer, m_file) == sizeof trailer) {
        m_trailerWritten = true;
        return;
    }
    // No room: the file ends at its last whole record, as a reader expects
    // of a recording cut short.
    const int why = errno;
    CutFile(m_file, m_fileBytes);
    errno = why;
    if (!m_failed)
        Fail("cannot write");
}

bool RecordingWriter::Close(std::string& error)
{
    if (!m_file)
        return true;
    if (!m_failed)
        Flush();
    WriteTrailer();
    if (std::fclose(m_file) != 0 && !m_failed)
        Fail("cannot close");
    m_file = nullptr;
    m_gather.clear();
    m_gather.shrink_to_fit();
    if (m_failed)
        error = m_error;
    return !m_failed;
}

} // namespace sxrec
