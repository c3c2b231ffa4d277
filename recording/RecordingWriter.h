// Writes a recording: the header at Open, then one record per frame, and
// the trailer at Close. Each record goes out in one piece, so a recording
// cut short by a crash ends with at most one partial record, which the
// reader reports by its offset, or without its trailer, which it reports
// too.
#pragma once

#include <recording/SXrecording.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace sxrec {

class RecordingWriter {
public:
    RecordingWriter() = default;
    ~RecordingWriter();
    RecordingWriter(const RecordingWriter&) = delete;
    RecordingWriter& operator=(const RecordingWriter&) = delete;

    // Creates (or truncates) path and writes the header.
    bool Open(const std::string& path, const RecordingHeader& header, std::string& error);
    // One frame as received; false (with Error()) when it cannot be written
    // or its length is outside the format's limits.
    bool Write(const unsigned char* frame, uint32_t length, uint64_t timeStampNs, uint32_t seqNum);
    // A gap record (its offset is not read); false (with Error()) when it
    // cannot be written.
    bool WriteGap(const RecordedGap& gap);
    // Writes the trailer (unless a write failed), flushes and closes; false
    // when the data did not reach the file.
    bool Close(std::string& error);

    bool IsOpen() const { return m_file != nullptr; }
    uint64_t FramesWritten() const { return m_frames; }
    const std::string& Error() const { return m_error; }

private:
    bool Fail(const char* what);

    std::FILE* m_file = nullptr;
    std::string m_path;
    std::string m_error;
    uint64_t m_frames = 0;
    bool m_failed = false;
};

// The header's bytes, as Open writes them (kHeaderLen bytes into out).
void EncodeHeader(const RecordingHeader& header, unsigned char* out);
// A gap record's bytes, as WriteGap writes them (kGapLen bytes into out).
void EncodeGap(const RecordedGap& gap, unsigned char* out);
// The trailer's bytes, as Close writes them (kTrailerLen bytes into out).
void EncodeTrailer(uint64_t frames, unsigned char* out);

} // namespace sxrec
