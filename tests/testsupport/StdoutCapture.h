// Captures what the process writes to standard output (the stdio stream and
// file descriptor 1) between construction and Text().
#pragma once

#include <string>

namespace sxtest {

class StdoutCapture {
public:
    StdoutCapture();
    ~StdoutCapture();
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    // Ends the capture (once) and returns everything written.
    std::string Text();

private:
    int m_savedFd;
    int m_fileFd;
    bool m_done;
    std::string m_text;
};

// A fresh folder below the system's temporary folder, removed with its
// contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

std::string ReadFile(const std::string& path);

} // namespace sxtest

namespace sxtest {

// "[%08x] : " with the calling thread's identifier, as trace lines begin.
std::string ThreadPrefix();

} // namespace sxtest
