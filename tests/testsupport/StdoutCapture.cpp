#include "StdoutCapture.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

#include <filesystem>

namespace sxtest {

StdoutCapture::StdoutCapture() : m_savedFd(-1), m_fileFd(-1), m_done(false)
{
    fflush(stdout);
    char name[] = "/tmp/sxcaptureXXXXXX";
    m_fileFd = mkstemp(name);
    if (m_fileFd < 0)
        throw std::runtime_error("mkstemp failed");
    unlink(name);
    m_savedFd = dup(STDOUT_FILENO);
    dup2(m_fileFd, STDOUT_FILENO);
}

StdoutCapture::~StdoutCapture()
{
    Text();
}

std::string StdoutCapture::Text()
{
    if (m_done)
        return m_text;
    m_done = true;
    fflush(stdout);
    dup2(m_savedFd, STDOUT_FILENO);
    close(m_savedFd);
    off_t size = lseek(m_fileFd, 0, SEEK_END);
    m_text.resize(static_cast<size_t>(size));
    if (size > 0)
        (void)!pread(m_fileFd, &m_text[0], static_cast<size_t>(size), 0);
    close(m_fileFd);
    return m_text;
}

TempDir::TempDir()
{
    char name[] = "/tmp/sxtestXXXXXX";
    if (!mkdtemp(name))
        throw std::runtime_error("mkdtemp failed");
    m_path = name;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

} // namespace sxtest

#include <platform/Thread.h>

namespace sxtest {

std::string ThreadPrefix()
{
    char p[16];
    snprintf(p, sizeof p, "[%08x] : ", sxplat::CurrentThreadId());
    return p;
}

} // namespace sxtest
