#include <recording/RecordingReader.h>

#include <sxwire/LEWords.h>
#include <SXCmdIF/protocol/SXframe.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace sxrec {

namespace {

class FileInput : public ByteInput {
public:
    explicit FileInput(std::FILE* f) : m_file(f) {}
    ~FileInput() override { std::fclose(m_file); }
    size_t Read(unsigned char* out, size_t n) override
    {
        const size_t k = std::fread(out, 1, n, m_file);
        if (k < n && std::ferror(m_file))
            m_errno = errno;
        return k;
    }
    int Failure() const override { return m_errno; }

private:
    std::FILE* m_file;
    int m_errno = 0;
};

class MemoryInput : public ByteInput {
public:
    MemoryInput(const unsigned char* data, size_t size) : m_data(data), m_size(size) {}
    size_t Read(unsigned char* out, size_t n) override
    {
        const size_t k = n < m_size - m_pos ? n : m_size - m_pos;
        if (k)
            std::memcpy(out, m_data + m_pos, k);
        m_pos += k;
        return k;
    }

private:
    const unsigned char* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

std::string Count(size_t got, size_t want)
{
    return std::to_string(got) + " of " + std::to_string(want) + " bytes";
}

} // namespace

std::string CorruptText(uint64_t offset, const std::string& what)
{
    return "corrupt recording at byte offset " + std::to_string(offset) + ": " + what;
}

std::string MissingTrailerText(uint64_t frames)
{
    return "ends without its trailer after " + std::to_string(frames) + " frames: cut short?";
}

const char* GapCauseText(uint32_t cause)
{
    switch (cause) {
    case 1:
        return "the serial line was hung up";
    case 2:
        return "the USB device was unplugged";
    case 3:
        return "the connection was closed";
    case 4:
        return "the tracker answers but stopped sending frames (was it reset?)";
    default:
        return "the line was lost";
    }
}

std::string GapText(const RecordedGap& gap, uint64_t previousStampNs)
{
    std::string text = "gap at byte offset " + std::to_string(gap.offset) + ": " + GapCauseText(gap.cause) + "; ";
    if (previousStampNs != 0 && gap.resumedAtNs > previousStampNs) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.1f s without frames, ",
                      static_cast<double>(gap.resumedAtNs - previousStampNs) / 1e9);
        text += seconds;
    }
    return text + (gap.estimated ? "about " : "") + std::to_string(gap.missed) + " frames missed";
}

bool RecordingReader::OpenFile(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        m_error = std::string("cannot open: ") + std::strerror(errno);
        m_failed = true;
        m_ioFailed = true;
        return false;
    }
    return Start(std::make_unique<FileInput>(f));
}

bool RecordingReader::OpenMemory(const unsigned char* data, size_t size)
{
    return Start(std::make_unique<MemoryInput>(data, size));
}

bool RecordingReader::Start(std::unique_ptr<ByteInput> input)
{
    m_input = std::move(input);
    m_header = RecordingHeader{};
    m_offset = 0;
    m_frames = 0;
    m_gaps = 0;
    m_gap = RecordedGap{};
    m_failed = false;
    m_ioFailed = false;
    m_ended = false;
    m_trailer = false;
    m_error.clear();
    return ReadHeader();
}

bool RecordingReader::ReadExact(unsigned char* out, size_t n, size_t& got)
{
    got = 0;
    while (got < n) {
        const size_t k = m_input->Read(out + got, n - got);
        if (k == 0)
            break;
        got += k;
    }
    m_offset += got;
    if (got < n && m_input->Failure() != 0) {
        m_failed = true;
        m_ioFailed = true;
        m_error = std::string("cannot read: ") + std::strerror(m_input->Failure());
    }
    return got == n;
}

bool RecordingReader::Corrupt(uint64_t offset, const std::string& what)
{
    m_failed = true;
    m_offset = offset;
    m_error = CorruptText(offset, what);
    return false;
}

bool RecordingReader::ReadHeader()
{
    unsigned char fixed[kHeaderLen];
    size_t got = 0;
    // The name, version and header length first, so that a file of another
    // kind is named as such.
    const bool whole = ReadExact(fixed, hdr::kSeuId, got);
    if (m_ioFailed)
        return false;
    const size_t nameBytes = got < sizeof kFormatName ? got : sizeof kFormatName;
    if (std::memcmp(fixed, kFormatName, nameBytes) != 0)
        return Corrupt(0, "not a recording (no format name)");
    if (!whole)
        return Corrupt(got, "truncated header (" + Count(got, kHeaderLen) + ")");
    const uint32_t version = sxwire::GetLE32(fixed + hdr::kVersion);
    if (version < kOldestVersion || version > kFormatVersion)
        return Corrupt(hdr::kVersion, "unsupported format version " + std::to_string(version));
    const uint32_t headerLen = sxwire::GetLE32(fixed + hdr::kHeaderLen);
    if (headerLen < kHeaderLen || headerLen > kMaxHeaderLen)
        return Corrupt(hdr::kHeaderLen, "header length " + std::to_string(headerLen) + " out of range");
    size_t rest = 0;
    if (!ReadExact(fixed + hdr::kSeuId, kHeaderLen - hdr::kSeuId, rest))
        return m_ioFailed ? false
                          : Corrupt(m_offset, "truncated header (" + Count(hdr::kSeuId + rest, headerLen) + ")");
    // Bytes of a longer header that this version does not know.
    for (uint32_t skipped = kHeaderLen; skipped < headerLen;) {
        unsigned char scratch[256];
        const size_t want = headerLen - skipped < sizeof scratch ? headerLen - skipped : sizeof scratch;
        size_t k = 0;
        if (!ReadExact(scratch, want, k))
            return m_ioFailed ? false : Corrupt(m_offset, "truncated header (" + Count(skipped + k, headerLen) + ")");
        skipped += static_cast<uint32_t>(want);
    }
    m_header.version = version;
    m_header.seuid = sxwire::GetLE32(fixed + hdr::kSeuId);
    m_header.frameRateCode = sxwire::GetLE32(fixed + hdr::kFrameRate);
    m_header.units.pos_units = sxwire::GetLE32(fixed + hdr::kPosUnits);
    m_header.units.ori_units = sxwire::GetLE32(fixed + hdr::kOriUnits);
    m_header.stationMap = sxwire::GetLE32(fixed + hdr::kStationMap);
    m_header.flags = sxwire::GetLE32(fixed + hdr::kFlags);
    m_header.startTimeNs = sxwire::GetLE64(fixed + hdr::kStartTime);
    m_header.startMonotonicNs = sxwire::GetLE64(fixed + hdr::kStartMonotonic);
    std::memcpy(&m_header.identity, fixed + hdr::kIdentity, sizeof m_header.identity);
    return true;
}

ReadResult RecordingReader::Fault(uint64_t offset, const std::string& what)
{
    if (m_ioFailed)
        return ReadResult::IoError;
    Corrupt(offset, what);
    return ReadResult::Corrupt;
}

ReadResult RecordingReader::Next(RecordedFrame& frame)
{
    if (m_ioFailed)
        return ReadResult::IoError;
    if (m_failed || !m_input)
        return ReadResult::Corrupt;
    if (m_ended)
        return ReadResult::End;
    const uint64_t start = m_offset;
    unsigned char head[kFrameRecordHeaderLen];
    size_t got = 0;
    if (!ReadExact(head, sizeof head, got)) {
        if (got == 0 && !m_ioFailed) {
            m_ended = true;
            return ReadResult::End;
        }
        return Fault(start, "truncated frame record (" + Count(got, sizeof head) + " of its header)");
    }
    if (sxwire::GetLE32(head + rec::kTag) == kTrailerTag)
        return Trailer(start, head);
    if (sxwire::GetLE32(head + rec::kTag) == kGapTag && m_header.version >= kFirstVersionWithGaps)
        return GapRecord(start, head);
    if (sxwire::GetLE32(head + rec::kTag) != kFrameTag)
        return Fault(start, "no frame record tag");
    const uint32_t length = sxwire::GetLE32(head + rec::kLength);
    if (length < kMinFrameLen || length > kMaxFrameLen)
        return Fault(start, "frame length " + std::to_string(length) + " out of range");
    if (!ReadExact(frame.bytes, length, got))
        return Fault(start, "truncated frame (" + Count(got, length) + ")");
    // The frame's own size word counts the bytes after the preamble and size.
    const uint32_t sizeWord = sxwire::GetLE32(frame.bytes + SX_OFF_SIZE);
    if (static_cast<uint64_t>(sizeWord) + SX_FRAME_ENVELOPE_LEN != length)
        return Fault(start, "frame size word " + std::to_string(sizeWord) + " does not match its length " +
                                std::to_string(length));
    frame.offset = start;
    frame.length = length;
    frame.timeStampNs = sxwire::GetLE64(head + rec::kTimeStamp);
    frame.seqNum = sxwire::GetLE32(head + rec::kSeqNum);
    ++m_frames;
    return ReadResult::Frame;
}

// A gap record is longer than a frame record's header: the rest follows.
ReadResult RecordingReader::GapRecord(uint64_t start, const unsigned char* head)
{
    static_assert(kGapLen > kFrameRecordHeaderLen, "a gap record is read in two parts");
    if (sxwire::GetLE32(head + gap::kLength) != kGapLen)
        return Fault(start, "gap record length " + std::to_string(sxwire::GetLE32(head + gap::kLength)) + " is not " +
                                std::to_string(kGapLen));
    unsigned char whole[kGapLen];
    std::memcpy(whole, head, kFrameRecordHeaderLen);
    size_t got = 0;
    if (!ReadExact(whole + kFrameRecordHeaderLen, kGapLen - kFrameRecordHeaderLen, got))
        return Fault(start, "truncated gap record (" + Count(kFrameRecordHeaderLen + got, kGapLen) + ")");
    const uint32_t cause = sxwire::GetLE32(whole + gap::kCause);
    m_gap.offset = start;
    m_gap.lostAtNs = sxwire::GetLE64(whole + gap::kLostAt);
    m_gap.resumedAtNs = sxwire::GetLE64(whole + gap::kResumedAt);
    m_gap.missed = sxwire::GetLE32(whole + gap::kMissed);
    m_gap.cause = cause & 0xFFu;
    m_gap.estimated = (cause & kGapEstimated) != 0;
    ++m_gaps;
    return ReadResult::Gap;
}

// The trailer has the length of a frame record's header: read whole, it
// must count the frames read and be the last bytes of the file.
ReadResult RecordingReader::Trailer(uint64_t start, const unsigned char* head)
{
    static_assert(kTrailerLen == kFrameRecordHeaderLen, "the trailer is read as a record's header is");
    if (sxwire::GetLE32(head + trl::kLength) != kTrailerLen ||
        std::memcmp(head + trl::kEndMarker, kEndMarker, sizeof kEndMarker) != 0)
        return Fault(start, "damaged trailer");
    const uint64_t counted = sxwire::GetLE64(head + trl::kFrameCount);
    if (counted != m_frames)
        return Fault(start, "the trailer counts " + std::to_string(counted) + " frames, " + std::to_string(m_frames) +
                                " were read");
    unsigned char more;
    size_t got = 0;
    ReadExact(&more, 1, got);
    if (got != 0 || m_ioFailed)
        return Fault(start + kTrailerLen, "bytes after the trailer");
    m_trailer = true;
    m_ended = true;
    return ReadResult::End;
}

} // namespace sxrec
