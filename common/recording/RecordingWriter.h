// Writes a recording: the header at Open (written through, so a file that
// cannot take it is known at once), then one record per frame, gathered a
// few kilobytes at a time, and the trailer at Close. A recording cut short
// by a crash ends with at most one partial record, which the reader reports
// by its offset, or without its trailer, which it reports too. A write that
// fails (a full disk) ends the recording: the file is cut back to its last
// whole record, and Close writes the trailer there when it finds room.
// Until its trailer is written a recording opened by name is FILE.part,
// renamed to FILE at Close: a file under the final name is always whole.
#pragma once

#include <recording/FileOutput.h>
#include <recording/SXrecording.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace sxrec {

class RecordingWriter {
public:
    RecordingWriter() = default;
    ~RecordingWriter();
    RecordingWriter(const RecordingWriter&) = delete;
    RecordingWriter& operator=(const RecordingWriter&) = delete;

    // Creates path + kPartSuffix (never through a link) and writes the
    // header. An existing recording of that name, or a left-over .part, is
    // replaced only when replace is set. A header that cannot be written
    // leaves no file behind.
    bool Open(const std::string& path, const RecordingHeader& header, std::string& error, bool replace = false);
    // The same into a file the caller has just created as path (with flags
    // of its own); the writer owns fd from here on, failed or not.
    bool Open(int fd, const std::string& path, const RecordingHeader& header, std::string& error);
    // One frame as received; false (with Error()) when it cannot be written
    // or its length is outside the format's limits. After a failed write
    // every further one fails.
    bool Write(const unsigned char* frame, uint32_t length, uint64_t timeStampNs, uint32_t seqNum);
    // A gap record after the frames written so far (its offset is not
    // read); false (with Error()) when it cannot be written.
    bool WriteGap(const RecordedGap& gap);
    // Writes what is gathered and the trailer, closes and renames the
    // recording into place; false (with Error()) when not every frame
    // reached the file. After a failed write the trailer still goes after
    // the last whole record when there is room (TrailerWritten() says
    // whether it did), and a recording opened by name keeps its .part name,
    // which the error names.
    bool Close(std::string& error);
    // Closes and removes the .part file: nothing was recorded.
    void Discard();

    bool IsOpen() const { return m_out.IsOpen(); }
    // Frames taken, or after a failed write those whole in the file.
    uint64_t FramesWritten() const { return m_frames; }
    bool TrailerWritten() const { return m_trailerWritten; }
    const std::string& Error() const { return m_error; }

private:
    static constexpr size_t kGatherBytes = 8192;

    bool Begin(const RecordingHeader& header, std::string& error);
    bool Fail(const char* what);
    // Writes the gathered records; on failure keeps the whole ones that
    // reached the file and cuts off the rest.
    bool Flush();
    void WriteTrailer();

    FileOutput m_out;
    bool m_adopted = false; // a file the caller created under its final name
    std::string m_path;
    std::string m_error;
    std::vector<unsigned char> m_gather; // records not yet written
    size_t m_gathered = 0;
    uint64_t m_fileBytes = 0;  // what the file holds: header and whole records
    uint64_t m_fileFrames = 0; // the records among them
    uint64_t m_frames = 0;
    bool m_failed = false;
    bool m_trailerWritten = false;
};

// The name of a recording while it is written: FILE.part.
constexpr const char* kPartSuffix = ".part";

// The header's bytes, as Open writes them (kHeaderLen bytes into out).
void EncodeHeader(const RecordingHeader& header, unsigned char* out);
// A gap record's bytes, as WriteGap writes them (kGapLen bytes into out).
void EncodeGap(const RecordedGap& gap, unsigned char* out);
// The trailer's bytes, as Close writes them (kTrailerLen bytes into out).
void EncodeTrailer(uint64_t frames, unsigned char* out);

} // namespace sxrec
