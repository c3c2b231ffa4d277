// Writes a recording: the header at Open, then one record per frame, and
// the trailer at Close. Each record goes out in one piece, so a recording
// cut short by a crash ends with at most one partial record, which the
// reader reports by its offset, or without its trailer, which it reports
// too. Until its trailer is written the recording is FILE.part, renamed to
// FILE at Close: a file under the final name is always whole.
#pragma once

#include <recording/FileOutput.h>
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

    // Creates path + kPartSuffix (never through a link) and writes the
    // header. An existing recording of that name, or a left-over .part, is
    // replaced only when replace is set.
    bool Open(const std::string& path, const RecordingHeader& header, std::string& error, bool replace = false);
    // One frame as received; false (with Error()) when it cannot be written
    // or its length is outside the format's limits.
    bool Write(const unsigned char* frame, uint32_t length, uint64_t timeStampNs, uint32_t seqNum);
    // Writes the trailer (unless a write failed), flushes, closes and
    // renames the recording into place; false when the data did not reach
    // the file: what was written then stays in the .part file, which the
    // error names.
    bool Close(std::string& error);
    // Closes and removes the .part file: nothing was recorded.
    void Discard();

    bool IsOpen() const { return m_out.IsOpen(); }
    uint64_t FramesWritten() const { return m_frames; }
    const std::string& Error() const { return m_error; }

private:
    bool Fail(const char* what);

    FileOutput m_out;
    std::string m_path;
    std::string m_error;
    uint64_t m_frames = 0;
    bool m_failed = false;
};

// The name of a recording while it is written: FILE.part.
constexpr const char* kPartSuffix = ".part";

// The header's bytes, as Open writes them (kHeaderLen bytes into out).
void EncodeHeader(const RecordingHeader& header, unsigned char* out);
// The trailer's bytes, as Close writes them (kTrailerLen bytes into out).
void EncodeTrailer(uint64_t frames, unsigned char* out);

} // namespace sxrec
