#include <SXserIO/Debug.h>

#include <SXserIO/FBufFormat.h>

#include <platform/ErrFormat.h>
#include <platform/TextConv.h>
#include <platform/Thread.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace iodbg {

unsigned short BxDebug::m_usDebugLevel = 0;
char BxDebug::m_szDebug[BxDebug::kBufSize] = {};
char BxDebug::m_szDebugAlt[BxDebug::kBufSize] = {};

namespace {

// Guards both buffers and standard output, so lines of several threads never
// mix. The Alt flag says which buffer BXDOUTLv formats into; it is set and
// cleared around one call, per thread, so another thread's call cannot be
// steered into the wrong buffer.
std::mutex g_outLock;
thread_local bool t_bAlt = false;

struct Prefix {
    char text[16];
    int len;
    Prefix() { len = snprintf(text, sizeof text, "[%08x] : ", sxplat::CurrentThreadId()); }
};

// Formats "prefix message" into buf, or the overflow text when it does not
// fit. Caller holds g_outLock.
void FormatLine(char* buf, const char* bufName, const char* fn, int line, const char* fmt, va_list args)
{
    if (!fmt)
        fmt = "";
    Prefix p;
    va_list probe;
    va_copy(probe, args);
    int n = vsnprintf(nullptr, 0, fmt, probe);
    va_end(probe);
    memcpy(buf, p.text, p.len + 1);
    if (n + p.len + 1 > BxDebug::kBufSize) {
        if (bufName)
            snprintf(buf + p.len, BxDebug::kBufSize - p.len,
                     "%s:%i : BxDebug::%s size %i too small for formatted len %i\r\n", fn, line, bufName,
                     BxDebug::kBufSize, n);
        else
            snprintf(buf + p.len, BxDebug::kBufSize - p.len,
                     "%s:%i : BxDebug::m_szDebug size %i too small for formatted len %i\r\n", fn, line,
                     BxDebug::kBufSize, n);
    } else {
        va_list copy;
        va_copy(copy, args);
        vsnprintf(buf + p.len, BxDebug::kBufSize - p.len, fmt, copy);
        va_end(copy);
    }
}

void WriteAndClear(char* buf)
{
    fputs(buf, stdout);
    buf[0] = '\0';
}

void ErrOut(int level, const char* fmt, va_list args)
{
    BxDebug::BXDebugOutL(level, sxplat::ErrFormat(fmt).text, args);
}

bool Passes(int level)
{
    return level < static_cast<int>(BxDebug::BXDlev());
}

} // namespace

void BxDebug::BXDSetLevel(int level)
{
    if (level < 0)
        level = 0;
    if (level > 7)
        level = 7;
    __atomic_store_n(&m_usDebugLevel, static_cast<unsigned short>(level), __ATOMIC_RELAXED);
}

unsigned short BxDebug::BXDlev()
{
    return __atomic_load_n(&m_usDebugLevel, __ATOMIC_RELAXED);
}

#define IODBG_LEVEL_OUT(name, impl, level)                                                                             \
    void BxDebug::name(const char* fmt, ...)                                                                           \
    {                                                                                                                  \
        va_list args;                                                                                                  \
        va_start(args, fmt);                                                                                           \
        impl(level, fmt, args);                                                                                        \
        va_end(args);                                                                                                  \
    }
IODBG_LEVEL_OUT(BXDOUT0, BXDebugOutL, 0)
IODBG_LEVEL_OUT(BXDOUT1, BXDebugOutL, 1)
IODBG_LEVEL_OUT(BXDOUT3, BXDebugOutL, 3)
IODBG_LEVEL_OUT(BXDOUT5, BXDebugOutL, 5)
IODBG_LEVEL_OUT(BXDOUT7, BXDebugOutL, 7)
IODBG_LEVEL_OUT(BXDOUT0Alt, BXDebugOutLAlt, 0)
IODBG_LEVEL_OUT(BXDOUT3Alt, BXDebugOutLAlt, 3)
IODBG_LEVEL_OUT(BXDOUT5Alt, BXDebugOutLAlt, 5)
IODBG_LEVEL_OUT(BXDOUT_ERR0, ErrOut, 0)
IODBG_LEVEL_OUT(BXDOUT_ERR1, ErrOut, 1)
IODBG_LEVEL_OUT(BXDOUT_ERR3, ErrOut, 3)
IODBG_LEVEL_OUT(BXDOUT_ERR5, ErrOut, 5)
IODBG_LEVEL_OUT(BXDOUT_ERR7, ErrOut, 7)
#undef IODBG_LEVEL_OUT

void BxDebug::BXDebugOut(int level, const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    BXDebugOutL(level, fmt, args);
    va_end(args);
}

void BxDebug::BXDebugOutL(int level, const char* fmt, va_list args)
{
    if (Passes(level))
        BXDOUTL(fmt, args);
}

void BxDebug::BXDOUTL(const char* fmt, va_list args)
{
    std::lock_guard<std::mutex> lock(g_outLock);
    FormatLine(m_szDebug, nullptr, "iodbg::BxDebug::BXDOUTL", __LINE__, fmt, args);
    WriteAndClear(m_szDebug);
}

void BxDebug::BXDOUT(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    std::lock_guard<std::mutex> lock(g_outLock);
    FormatLine(m_szDebug, nullptr, "iodbg::BxDebug::BXDOUT", __LINE__, fmt, args);
    va_end(args);
    WriteAndClear(m_szDebug);
}

void BxDebug::BXDOUT_ERR(int level, const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    ErrOut(level, fmt, args);
    va_end(args);
}

void BxDebug::BXDebugOutLAlt(int level, const char* fmt, va_list args)
{
    if (Passes(level))
        BXDOUTLAlt(fmt, args);
}

void BxDebug::BXDOUTLAlt(const char* fmt, va_list args)
{
    t_bAlt = true;
    BXDOUTLv(fmt, args);
    t_bAlt = false;
}

void BxDebug::BXDOUTLv(const char* fmt, va_list args)
{
    std::lock_guard<std::mutex> lock(g_outLock);
    char* buf = t_bAlt ? m_szDebugAlt : m_szDebug;
    FormatLine(buf, t_bAlt ? "m_szDebugAlt" : "m_szDebug", "iodbg::BxDebug::BXDOUTLv", __LINE__, fmt, args);
    WriteAndClear(buf);
}

void BxDebug::BXDOUTHexBuf(const unsigned char* data, int len, bool bCrlf, const char* label, unsigned level)
{
    if (!Passes(static_cast<int>(level)))
        return;
    if (!data || len <= 0) {
        if (label)
            BXDOUT("%s : Empty buffer", label);
        return;
    }
    std::lock_guard<std::mutex> lock(g_outLock);
    Prefix p;
    int n = snprintf(m_szDebugAlt, kBufSize, "%s%s : %3d : ", p.text, label ? label : "", len);
    if (n >= kBufSize)
        n = kBufSize - 1;
    for (int i = 0; i < len && n <= 2042; ++i)
        n += snprintf(m_szDebugAlt + n, kBufSize - n, "%02x ", data[i]);
    if (bCrlf)
        snprintf(m_szDebugAlt + n, kBufSize - n, "\r\n");
    WriteAndClear(m_szDebugAlt);
}

void BxDebug::BXDOUTFBuf(const unsigned char* data, int len, bool bCrlf, const char* label, unsigned level)
{
    if (static_cast<int>(level) > static_cast<int>(BXDlev()))
        return;
    std::lock_guard<std::mutex> lock(g_outLock);
    Prefix p;
    trFormatFBuf(data, len, m_szDebug, kBufSize, nullptr);
    fprintf(stdout, "%s%s \r\n%s%s", p.text, label ? label : "", m_szDebug, bCrlf ? "\r\n" : "");
    m_szDebug[0] = '\0';
}

wchar_t* BxDebug::MBToWS(const char* text)
{
    return sxplat::NewWide(text);
}

char* BxDebug::WSToMB(const wchar_t* text)
{
    return sxplat::NewNarrow(text);
}

} // namespace iodbg
