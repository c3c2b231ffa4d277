/** \file
 * CLogFile: the log-file writer behind BxDebug, with optional local time
 * stamps and flushing after every N counted lines.
 * \ingroup sx_diagnostics */
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>

#include <cstdarg>
#include <cstdio>

/** \addtogroup sx_diagnostics
 * @{ */

/** The log-file writer behind BxDebug: text lines with an optional local time
 * stamp ("%Y-%m-%d.%X" and a tab), flushed after every N counted lines.
 * Every operation takes the log lock: any thread may write. */
class SXCMDIF_API CLogFile {
public:
    /** A closed log file with a name.
     * \param name the file name (at most 260 characters are kept); null: none
     * \param bTimestamp begin each line with a time stamp
     * \param bUnused not used
     * \param nUnused not used
     * \param nFlushEvery flush after this many counted lines (0: never) */
    explicit CLogFile(const wchar_t* name = L"BRENNIX.LOG", bool bTimestamp = true, bool bUnused = false,
                      int nUnused = 1048576, int nFlushEvery = 0);
    /** Closes the file. */
    ~CLogFile();
    /** Not copyable. */
    CLogFile(const CLogFile&) = delete;
    /** Not copyable.
     * \returns nothing: deleted */
    CLogFile& operator=(const CLogFile&) = delete;

    /** Opens the named file (closing the open one first); without a name nothing is opened.
     * \param nFlushEvery flush after this many counted lines (0: never)
     * \param bAppend append, else replace the file
     * \param bTimestamp begin each line with a time stamp */
    void Open(int nFlushEvery, bool bAppend, bool bTimestamp);
    /** Writes a closing banner and closes the file, if open. */
    void Close();
    /** Flushes the file, if open. */
    void Flush();
    /** Whether the file is open.
     * \returns true when open */
    bool IsOpen() const;
    /** The file name.
     * \returns the name */
    const wchar_t* Filename() const;
    /** Names the file for the next Open(); a null name changes nothing.
     * \param name the file name */
    void SetFilename(wchar_t* name);

    /** Writes a counted line (nothing while closed).
     * \param fmt a printf format (the line is cut at 2047 characters)
     * \param ... its values */
    void Write(const char* fmt, ...) SX_PRINTF(2, 3);
    /** Writes a counted line, with its values as a va_list.
     * \param fmt a printf format (the line is cut at 2047 characters)
     * \param args its values */
    void VWrite(const char* fmt, va_list args);
    /** Writes a line that is not counted towards flushing.
     * \param fmt a printf format (the line is cut at 2047 characters)
     * \param ... its values */
    void WriteNoFlush(const char* fmt, ...) SX_PRINTF(2, 3);
    /** Writes a line that is not counted, with its values as a va_list.
     * \param fmt a printf format (the line is cut at 2047 characters)
     * \param args its values */
    void VWriteNoFlush(const char* fmt, va_list args);

    /** The open file, or null. */
    FILE* m_pFile;
    /** Flush after this many counted lines (0: never). */
    int m_nFlushEvery;
    /** Counted lines since the last flush. */
    int m_nWriteCount;
    /** Lines begin with a time stamp. */
    bool m_bTimestamp;
    /** The file name. */
    wchar_t m_szFileName[261];

private:
    void WriteLine(const char* fmt, va_list args, bool bCounted);
};

/** @} */
