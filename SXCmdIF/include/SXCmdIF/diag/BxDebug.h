/** \file
 * BxDebug: the library's leveled debug output. A message of level n is
 * written when n <= the current level, to standard output (or the receiver
 * set with sxcmdif_set_trace_cb()) and, while logging is on, to the log file. CBxDebugOut sets the level and gives the process a
 * console for standard output.
 * \ingroup sx_diagnostics */
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/diag/LogFile.h>

#include <cstdarg>

/** \addtogroup sx_diagnostics
 * @{ */

/** The library's leveled debug output (static only). A message of level n is
 * written when n is at most the current level, to standard output (or the
 * receiver set with sxcmdif_set_trace_cb()) and, while logging is on, to the
 * log file (BXDOUT() and the _ERR forms excepted, as
 * said). Every function may be called from any thread: the output and the
 * log file each have a lock, and one line is written whole. */
class SXCMDIF_API BxDebug {
public:
    /** Size of the shared format buffer `m_szDebug`; a longer message is replaced by a line saying so. */
    static constexpr int kBufSize = 2048;

    /** Sets the current level; level 2 also switches the compact frame traces on, any other level off.
     * \param level the level (0 to 7) */
    static void BXDSetLevel(int level);
    /** The current level.
     * \returns the level */
    static unsigned short BXDlev();
    /** Switches the compact frame traces (one line per frame) on or off.
     * \param bCompact on */
    static void BXDSetCompact(bool bCompact);
    /** Whether the compact frame traces are on.
     * \returns true when on */
    static bool Compact();
    /** The shared format buffer.
     * \returns `m_szDebug` */
    static const char* SZDebug();

    /** Writes a message of the level in the name (0, 1, 3, 5 or 7).
     * \param fmt a printf format
     * \param ... its values */
    ///@{
    static void BXDOUT0(const char* fmt, ...) SX_PRINTF(1, 2);
    static void BXDOUT1(const char* fmt, ...) SX_PRINTF(1, 2);
    static void BXDOUT3(const char* fmt, ...) SX_PRINTF(1, 2);
    static void BXDOUT5(const char* fmt, ...) SX_PRINTF(1, 2);
    static void BXDOUT7(const char* fmt, ...) SX_PRINTF(1, 2);
    ///@}
    /** Writes a message of a level.
     * \param level the message's level
     * \param fmt a printf format
     * \param ... its values */
    static void BXDebugOut(int level, const char* fmt, ...) SX_PRINTF(2, 3);
    /** Writes a message of a level, with its values as a va_list.
     * \param level the message's level
     * \param fmt a printf format
     * \param args its values */
    static void BXDebugOutL(int level, const char* fmt, va_list args);
    /** Writes a message whatever the level, with its values as a va_list (and to the log file while logging).
     * \param fmt a printf format
     * \param args its values */
    static void BXDOUTL(const char* fmt, va_list args);
    /** Writes a message to standard output (or the receiver set with sxcmdif_set_trace_cb()) whatever the
     * level; never to the log file.
     * \param fmt a printf format
     * \param ... its values */
    static void BXDOUT(const char* fmt, ...) SX_PRINTF(1, 2);

    /** Writes a message of a level followed by ": " and the text of the current errno.
     * \param level the message's level
     * \param fmt a printf format
     * \param ... its values */
    static void BXDOUT_ERR(int level, const char* fmt, ...);
    /** BXDOUT_ERR() at the level in the name.
     * \param fmt a printf format
     * \param ... its values */
    ///@{
    static void BXDOUT_ERR0(const char* fmt, ...);
    static void BXDOUT_ERR1(const char* fmt, ...);
    static void BXDOUT_ERR3(const char* fmt, ...);
    static void BXDOUT_ERR5(const char* fmt, ...);
    static void BXDOUT_ERR7(const char* fmt, ...);
    ///@}

    /** Opens the log file (closing it first) and writes every later leveled message to it as well.
     * \param nFlushEvery flush after this many lines (0: never)
     * \param bAppend append to an existing file, else replace it
     * \param bTimestamp begin each line with the local date and time */
    static void StartLog(int nFlushEvery, bool bAppend, bool bTimestamp);
    /** Closes the log file and stops logging. */
    static void StopLog();
    /** Flushes the log file. */
    static void FlushLog();
    /** The log file's name (default "BRENNIX.LOG" in the current directory).
     * \returns the name */
    static const wchar_t* LogFile();
    /** Names the log file for the next StartLog(); a null name changes nothing.
     * \param name the file name (at most 260 characters are kept) */
    static void SetLogFile(wchar_t* name);

    /** Converts a text to wide characters with the current locale.
     * \param text the text, or null
     * \returns a new array the caller releases with delete[] (empty for null or an unconvertible text) */
    static wchar_t* MBToWS(const char* text);
    /** Converts a wide text to multibyte characters with the current locale.
     * \param text the text, or null
     * \returns a new array the caller releases with delete[]; null when the conversion yields nothing */
    static char* WSToMB(const wchar_t* text);

    /** The current level (read and written atomically). */
    static unsigned short m_usDebugLevel;
    /** The compact frame traces are on. */
    static bool m_bDebugCompact;
    /** Logging is on. */
    static bool m_bLog;
    /** The shared format buffer. */
    static char m_szDebug[kBufSize];
    /** The log file. */
    static CLogFile m_LogFile;
};

/** Sets the debug level and gives the process a console for standard output.
 * Use from one thread at a time. */
class SXCMDIF_API CBxDebugOut {
public:
    /** Sets the debug level (BxDebug::BXDSetLevel()).
     * \param level the level */
    explicit CBxDebugOut(int level = 5);
    /** Does nothing more. */
    ~CBxDebugOut();
    /** Linux has no console window to create: with a controlling terminal, standard output is reopened on it;
     * otherwise nothing happens.
     * \param bPlace not used */
    void CreateWin(bool bPlace);
};

/** @} */
