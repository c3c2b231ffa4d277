// CLogFile: the log-file writer behind BxDebug, with optional local time
// stamps and flushing after every N counted lines.
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>

#include <cstdarg>
#include <cstdio>

class SXCMDIF_API CLogFile {
public:
    explicit CLogFile(const wchar_t* name = L"BRENNIX.LOG", bool bTimestamp = true, bool bUnused = false,
                      int nUnused = 1048576, int nFlushEvery = 0);
    ~CLogFile();
    CLogFile(const CLogFile&) = delete;
    CLogFile& operator=(const CLogFile&) = delete;

    void Open(int nFlushEvery, bool bAppend, bool bTimestamp);
    void Close();
    void Flush();
    bool IsOpen() const;
    const wchar_t* Filename() const;
    void SetFilename(wchar_t* name);

    void Write(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    void VWrite(const char* fmt, va_list args);
    void WriteNoFlush(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    void VWriteNoFlush(const char* fmt, va_list args);

    FILE* m_pFile;
    int m_nFlushEvery;
    int m_nWriteCount;
    bool m_bTimestamp;
    wchar_t m_szFileName[261];

private:
    void WriteLine(const char* fmt, va_list args, bool bCounted);
};
