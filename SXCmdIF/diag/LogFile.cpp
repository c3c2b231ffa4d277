#include <SXCmdIF/diag/LogFile.h>

#include "OutputLock.h"

#include <platform/LocalTime.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <cwchar>
#include <mutex>
#include <string>

namespace {

constexpr size_t kNameChars = 260;
constexpr size_t kMessageBuf = 2048;
constexpr size_t kLineBuf = 2148;
const char kClosingBanner[] = "\n===============Finished Logging================\n\n";

void CopyName(wchar_t* dst, const wchar_t* src)
{
    wcsncpy(dst, src, kNameChars);
    dst[kNameChars] = L'\0';
}

// The file name converted with the current locale's multibyte conversion.
std::string NarrowName(const wchar_t* name)
{
    size_t n = wcstombs(nullptr, name, 0);
    if (n == static_cast<size_t>(-1))
        return std::string();
    std::string out(n, '\0');
    wcstombs(&out[0], name, n + 1);
    return out;
}

// Appends len characters of text to the line's first n, as far as a line
// of kLineBuf - 1 characters holds them; returns the line's new length.
size_t AppendCut(char* line, size_t n, const char* text, size_t len)
{
    const size_t take = std::min(len, kLineBuf - 1 - n);
    std::memcpy(line + n, text, take);
    return n + take;
}

} // namespace

CLogFile::CLogFile(const wchar_t* name, bool bTimestamp, bool, int, int nFlushEvery)
    : m_pFile(nullptr), m_nFlushEvery(nFlushEvery), m_nWriteCount(0), m_bTimestamp(bTimestamp)
{
    m_szFileName[0] = L'\0';
    if (name)
        CopyName(m_szFileName, name);
}

CLogFile::~CLogFile()
{
    Close();
}

void CLogFile::Open(int nFlushEvery, bool bAppend, bool bTimestamp)
{
    Close();
    std::lock_guard<std::mutex> lock(sxdiag::LogLock());
    m_bTimestamp = bTimestamp;
    std::string name = NarrowName(m_szFileName);
    m_pFile = name.empty() ? nullptr : fopen(name.c_str(), bAppend ? "a" : "w");
    m_nFlushEvery = nFlushEvery;
    m_nWriteCount = 0;
}

void CLogFile::Close()
{
    std::lock_guard<std::mutex> lock(sxdiag::LogLock());
    if (!m_pFile)
        return;
    fputs(kClosingBanner, m_pFile);
    fflush(m_pFile);
    fclose(m_pFile);
    m_pFile = nullptr;
}

void CLogFile::Flush()
{
    std::lock_guard<std::mutex> lock(sxdiag::LogLock());
    if (m_pFile)
        fflush(m_pFile);
}

bool CLogFile::IsOpen() const
{
    return m_pFile != nullptr;
}

const wchar_t* CLogFile::Filename() const
{
    return m_szFileName;
}

void CLogFile::SetFilename(wchar_t* name)
{
    if (!name)
        return;
    std::lock_guard<std::mutex> lock(sxdiag::LogLock());
    CopyName(m_szFileName, name);
}

void CLogFile::Write(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    WriteLine(fmt, args, true);
    va_end(args);
}

void CLogFile::VWrite(const char* fmt, va_list args)
{
    WriteLine(fmt, args, true);
}

void CLogFile::WriteNoFlush(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    WriteLine(fmt, args, false);
    va_end(args);
}

void CLogFile::VWriteNoFlush(const char* fmt, va_list args)
{
    WriteLine(fmt, args, false);
}

void CLogFile::WriteLine(const char* fmt, va_list args, bool bCounted)
{
    std::lock_guard<std::mutex> lock(sxdiag::LogLock());
    if (!m_pFile)
        return;
    if (!fmt)
        fmt = "";

    char message[kMessageBuf];
    va_list copy;
    va_copy(copy, args);
    vsnprintf(message, sizeof message, fmt, copy); // cuts at 2047 characters
    va_end(copy);

    if (m_bTimestamp) {
        char stamp[100];
        std::tm local{};
        sxplat::LocalTimeNow(local);
        if (strftime(stamp, sizeof stamp, "%Y-%m-%d.%X", &local) == 0)
            stamp[0] = '\0';
        // Stamp, tab, message and line end, cut at kLineBuf - 1 characters.
        char line[kLineBuf];
        size_t n = AppendCut(line, 0, stamp, strlen(stamp));
        n = AppendCut(line, n, "\t", 1);
        n = AppendCut(line, n, message, strlen(message));
        n = AppendCut(line, n, "\n", 1);
        fwrite(line, 1, n, m_pFile);
    } else {
        fputs(message, m_pFile);
    }

    if (bCounted && m_nFlushEvery != 0 && ++m_nWriteCount == m_nFlushEvery) {
        fflush(m_pFile);
        m_nWriteCount = 0;
    }
}
