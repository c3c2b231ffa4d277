// A file written whole or not at all. A regular file is written under a
// temporary name in its own folder, created exclusively (a link planted
// under that name is never followed), and renamed into place once complete:
// a run that is interrupted never leaves half a file under the final name,
// and an existing file is replaced only when the caller allows it. A device
// or a pipe (/dev/stdout, a FIFO) is written directly.
#pragma once

#include <cstdio>
#include <string>

namespace sxrec {

class FileOutput {
public:
    FileOutput() = default;
    ~FileOutput();
    FileOutput(const FileOutput&) = delete;
    FileOutput& operator=(const FileOutput&) = delete;

    // Opens path for writing. The temporary name is path + tempSuffix (a
    // recording's ".part"), or a hidden name of its own when tempSuffix is
    // empty. replace: an existing file (and a left-over temporary file of
    // that fixed name) may be replaced. False with error ("path: reason").
    bool Open(const std::string& path, bool replace, const std::string& tempSuffix, std::string& error);
    // Takes a file the caller has just created under its final name (with
    // flags of its own), written directly; false with error, fd left to the
    // caller.
    bool Adopt(int fd, const std::string& path, std::string& error);
    std::FILE* File() const { return m_file; }
    bool IsOpen() const { return m_file != nullptr; }
    // The name being written: the temporary one, or the path itself.
    const std::string& WritingPath() const { return m_temp.empty() ? m_path : m_temp; }

    // Flushes, syncs, closes and renames into place; false with error, the
    // temporary file left for Discard or KeepTemporary.
    bool Commit(std::string& error);
    // Closes and removes the temporary file; the final name is untouched.
    // The destructor does this to a file that was not committed.
    void Discard();
    // Closes and keeps the temporary file as it is (a recording whose
    // writing failed stays readable up to its last whole frame).
    bool KeepTemporary(std::string& error);

private:
    bool Fail(const std::string& path, const char* what, int err, std::string& error);

    std::FILE* m_file = nullptr;
    std::string m_path;
    std::string m_temp; // empty: written directly
    bool m_replace = false;
    bool m_existing = false; // an existing file whose mode the new one keeps
    unsigned m_mode = 0;
};

// Whether a and b name the same existing file (the same device and inode,
// whatever links lead there).
bool SameFile(const std::string& a, const std::string& b);
// Whether an entry of that name exists (a dangling link included).
bool Exists(const std::string& path);
// Whether path is an existing file that FileOutput writes directly: a
// device, a pipe or a socket.
bool IsStreamFile(const std::string& path);

} // namespace sxrec
