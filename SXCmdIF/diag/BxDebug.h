// BxDebug: the library's leveled debug output. A message of level n is
// written when n <= the current level, to standard output and, while logging
// is on, to the log file. CBxDebugOut sets the level and gives the process a
// console for standard output.
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/diag/LogFile.h>

#include <cstdarg>

#define SX_PRINTF(f, a) __attribute__((format(printf, f, a)))

class SXCMDIF_API BxDebug {
public:
    static constexpr int kBufSize = 2048;

    static void BXDSetLevel(int level);
    static unsigned short BXDlev();
    static void BXDSetCompact(bool bCompact);
    static bool Compact();
    static const char* SZDebug();

    static void BXDOUT0(const char* fmt, ...) SX_PRINTF(1, 2);
    static void BXDOUT1(const char* fmt, ...) SX_PRINTF(1, 2);
    static void BXDOUT3(const char* fmt, ...) SX_PRINTF(1, 2);
    static void BXDOUT5(const char* fmt, ...) SX_PRINTF(1, 2);
    static void BXDOUT7(const char* fmt, ...) SX_PRINTF(1, 2);
    static void BXDebugOut(int level, const char* fmt, ...) SX_PRINTF(2, 3);
    static void BXDebugOutL(int level, const char* fmt, va_list args);
    static void BXDOUTL(const char* fmt, va_list args);
    static void BXDOUT(const char* fmt, ...) SX_PRINTF(1, 2);

    static void BXDOUT_ERR(int level, const char* fmt, ...);
    static void BXDOUT_ERR0(const char* fmt, ...);
    static void BXDOUT_ERR1(const char* fmt, ...);
    static void BXDOUT_ERR3(const char* fmt, ...);
    static void BXDOUT_ERR5(const char* fmt, ...);
    static void BXDOUT_ERR7(const char* fmt, ...);

    static void StartLog(int nFlushEvery, bool bAppend, bool bTimestamp);
    static void StopLog();
    static void FlushLog();
    static const wchar_t* LogFile();
    static void SetLogFile(wchar_t* name);

    static wchar_t* MBToWS(const char* text);
    static char* WSToMB(const wchar_t* text);

    static unsigned short m_usDebugLevel;
    static bool m_bDebugCompact;
    static bool m_bLog;
    static char m_szDebug[kBufSize];
    static CLogFile m_LogFile;
};

class SXCMDIF_API CBxDebugOut {
public:
    explicit CBxDebugOut(int level = 5);
    ~CBxDebugOut();
    // Linux has no console window to create: with a controlling terminal,
    // standard output is reopened on it; otherwise nothing happens.
    void CreateWin(bool bPlace);
};
