#include <SXCmdIF/diag/BxDebug.h>

#include "OutputLock.h"

#include <platform/Console.h>
#include <platform/ErrFormat.h>
#include <platform/IoDebug.h>
#include <platform/TextConv.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <mutex>

unsigned short BxDebug::m_usDebugLevel = 0;
bool BxDebug::m_bDebugCompact = false;
bool BxDebug::m_bLog = false;
char BxDebug::m_szDebug[BxDebug::kBufSize] = {};
CLogFile BxDebug::m_LogFile;

namespace sxdiag {

std::mutex& OutputLock()
{
    static std::mutex lock;
    return lock;
}

std::mutex& LogLock()
{
    static std::mutex lock;
    return lock;
}

} // namespace sxdiag

namespace {

// The level and the switches are read on every thread while the application
// may change them: plain exported data, accessed atomically.
template <typename T>
T Load(const T& v)
{
    return __atomic_load_n(&v, __ATOMIC_RELAXED);
}
template <typename T>
void Store(T& v, T x)
{
    __atomic_store_n(&v, x, __ATOMIC_RELAXED);
}

// Formats into m_szDebug, or the overflow line when the message does not fit
// (the platform's debug formatting, without the transports' thread prefix).
// Caller holds the output lock.
void FormatShared(const char* fn, int line, const char* fmt, va_list args)
{
    iodbg::FormatLine(BxDebug::m_szDebug, BxDebug::kBufSize, "", "m_szDebug", fn, line, fmt, args);
}

void ErrOut(int level, const char* fmt, va_list args)
{
    BxDebug::BXDebugOutL(level, sxplat::ErrFormat(fmt).text, args);
}

// A message of a level to the trace's way out (standard output or the
// application's receiver) and, while logging, to the log file.
void OutLogged(int level, const char* fmt, va_list args)
{
    std::lock_guard<std::mutex> lock(sxdiag::OutputLock());
    FormatShared("BxDebug::BXDOUTL", __LINE__, fmt, args);
    iodbg::BxDebug::Write(level, BxDebug::m_szDebug);
    if (Load(BxDebug::m_bLog)) {
        va_list again;
        va_copy(again, args);
        BxDebug::m_LogFile.VWrite(fmt, again);
        va_end(again);
    }
    BxDebug::m_szDebug[0] = '\0';
}

} // namespace

void BxDebug::BXDSetLevel(int level)
{
    Store(m_usDebugLevel, static_cast<unsigned short>(level));
    Store(m_bDebugCompact, level == 2);
}

unsigned short BxDebug::BXDlev()
{
    return Load(m_usDebugLevel);
}

void BxDebug::BXDSetCompact(bool bCompact)
{
    Store(m_bDebugCompact, bCompact);
}

bool BxDebug::Compact()
{
    return Load(m_bDebugCompact);
}

const char* BxDebug::SZDebug()
{
    return m_szDebug;
}

#define SX_LEVEL_OUT(name, level)                                                                                      \
    void BxDebug::name(const char* fmt, ...)                                                                           \
    {                                                                                                                  \
        va_list args;                                                                                                  \
        va_start(args, fmt);                                                                                           \
        BXDebugOutL(level, fmt, args);                                                                                 \
        va_end(args);                                                                                                  \
    }
SX_LEVEL_OUT(BXDOUT0, 0)
SX_LEVEL_OUT(BXDOUT1, 1)
SX_LEVEL_OUT(BXDOUT3, 3)
SX_LEVEL_OUT(BXDOUT5, 5)
SX_LEVEL_OUT(BXDOUT7, 7)
#undef SX_LEVEL_OUT

void BxDebug::BXDebugOut(int level, const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    BXDebugOutL(level, fmt, args);
    va_end(args);
}

void BxDebug::BXDebugOutL(int level, const char* fmt, va_list args)
{
    if (level <= static_cast<int>(BXDlev()))
        OutLogged(level, fmt, args);
}

void BxDebug::BXDOUTL(const char* fmt, va_list args)
{
    OutLogged(0, fmt, args);
}

void BxDebug::BXDOUT(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    std::lock_guard<std::mutex> lock(sxdiag::OutputLock());
    FormatShared("BxDebug::BXDOUT", __LINE__, fmt, args);
    va_end(args);
    iodbg::BxDebug::Write(0, m_szDebug);
}

void BxDebug::BXDOUT_ERR(int level, const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    ErrOut(level, fmt, args);
    va_end(args);
}

#define SX_ERR_OUT(name, level)                                                                                        \
    void BxDebug::name(const char* fmt, ...)                                                                           \
    {                                                                                                                  \
        va_list args;                                                                                                  \
        va_start(args, fmt);                                                                                           \
        ErrOut(level, fmt, args);                                                                                      \
        va_end(args);                                                                                                  \
    }
SX_ERR_OUT(BXDOUT_ERR0, 0)
SX_ERR_OUT(BXDOUT_ERR1, 1)
SX_ERR_OUT(BXDOUT_ERR3, 3)
SX_ERR_OUT(BXDOUT_ERR5, 5)
SX_ERR_OUT(BXDOUT_ERR7, 7)
#undef SX_ERR_OUT

void BxDebug::StartLog(int nFlushEvery, bool bAppend, bool bTimestamp)
{
    m_LogFile.Close();
    m_LogFile.Open(nFlushEvery, bAppend, bTimestamp);
    Store(m_bLog, true);
}

void BxDebug::StopLog()
{
    m_LogFile.Close();
    Store(m_bLog, false);
}

void BxDebug::FlushLog()
{
    m_LogFile.Flush();
}

const wchar_t* BxDebug::LogFile()
{
    return m_LogFile.Filename();
}

void BxDebug::SetLogFile(wchar_t* name)
{
    m_LogFile.SetFilename(name);
}

wchar_t* BxDebug::MBToWS(const char* text)
{
    return sxplat::NewWide(text);
}

char* BxDebug::WSToMB(const wchar_t* text)
{
    return sxplat::NewNarrow(text);
}

CBxDebugOut::CBxDebugOut(int level)
{
    BxDebug::BXDSetLevel(level);
}

CBxDebugOut::~CBxDebugOut() = default;

void CBxDebugOut::CreateWin(bool bPlace)
{
    sxplat::OpenConsoleWindow(bPlace);
}
