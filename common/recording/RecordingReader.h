// Reads a recording. The reader trusts nothing in the file: every read is
// bounded by the buffer it fills, every length is checked against the
// format's limits before it is used, and the first fault ends reading with
// a message that names its byte offset. The frames before the fault have
// been handed out whole. A read the system fails is told apart from a fault
// in the bytes, with the system's reason.
#pragma once

#include <recording/SXrecording.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace sxrec {

// Where the bytes come from: a file or memory (for tests and fuzzing).
class ByteInput {
public:
    virtual ~ByteInput() = default;
    // Reads up to n bytes into out; returns how many were read (fewer at
    // the end of the input or when reading failed).
    virtual size_t Read(unsigned char* out, size_t n) = 0;
    // The errno of a read that failed, else 0.
    virtual int Failure() const { return 0; }
};

enum class ReadResult {
    Frame,   // a whole frame was read
    Gap,     // a gap record was read (Gap() holds it)
    End,     // the input ended after the last record (see MissingTrailer)
    Corrupt, // a fault; Error() names it and its offset
    IoError, // the system could not read the file; Error() gives its reason
};

class RecordingReader {
public:
    RecordingReader() = default;

    // Opens a file and reads its header; false with Error() otherwise.
    bool OpenFile(const std::string& path);
    // Reads from size bytes at data, which must outlive the reader.
    bool OpenMemory(const unsigned char* data, size_t size);

    const RecordingHeader& Header() const { return m_header; }
    // The next frame or gap, the end, or the first fault.
    ReadResult Next(RecordedFrame& frame);
    // The gap record Next read last.
    const RecordedGap& Gap() const { return m_gap; }
    uint64_t GapsRead() const { return m_gaps; }

    // Offset of the next byte to read (of the fault after Corrupt).
    uint64_t Offset() const { return m_offset; }
    uint64_t FramesRead() const { return m_frames; }
    const std::string& Error() const { return m_error; }
    // The file could not be opened or read (as opposed to a fault in its
    // bytes).
    bool IoFailed() const { return m_ioFailed; }
    // After End: a recording of a version that ends with a trailer ended
    // without one (MissingTrailerText says so).
    bool MissingTrailer() const { return m_ended && m_header.version >= 2 && !m_trailer; }

private:
    bool Start(std::unique_ptr<ByteInput> input);
    bool ReadHeader();
    // Reads exactly n bytes; false at a short read.
    bool ReadExact(unsigned char* out, size_t n, size_t& got);
    bool Corrupt(uint64_t offset, const std::string& what);
    ReadResult Fault(uint64_t offset, const std::string& what);
    ReadResult Trailer(uint64_t start, const unsigned char* head);
    ReadResult GapRecord(uint64_t start, const unsigned char* head);

    std::unique_ptr<ByteInput> m_input;
    RecordingHeader m_header;
    uint64_t m_offset = 0;
    uint64_t m_frames = 0;
    uint64_t m_gaps = 0;
    RecordedGap m_gap;
    bool m_failed = false;
    bool m_ioFailed = false;
    bool m_ended = false;
    bool m_trailer = false;
    std::string m_error;
};

// "corrupt recording at byte offset N: what".
std::string CorruptText(uint64_t offset, const std::string& what);
// "ends without its trailer after N frames: cut short?".
std::string MissingTrailerText(uint64_t frames);
// "gap at byte offset N: the serial line was hung up; 2.1 s without frames,
// 480 frames missed" (the time from the frame before, when it is known:
// previousStampNs not 0).
std::string GapText(const RecordedGap& gap, uint64_t previousStampNs);

} // namespace sxrec
