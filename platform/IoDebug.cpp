#include <platform/IoDebug.h>

#include <platform/FBufFormat.h>

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

void FormatLine(char* buf, int size, const char* prefix, const char* bufName, const char* fn, int line, const char* fmt,
                va_list args)
{
    if (!fmt)
        fmt = "";
    const int plen = static_cast<int>(strlen(prefix));
    va_list probe;
    va_copy(probe, args);
    int n = vsnprintf(nullptr, 0, fmt, probe);
    va_end(probe);
    memcpy(buf, prefix, plen + 1);
    if (n + plen + 1 > size) {
        snprintf(buf + plen, size - plen, "%s:%i : BxDebug::%s size %i too small for formatted len %i\r\n", fn, line,
                 bufName, size, n);
    } else {
        va_list copy;
        va_copy(copy, args);
        vsnprintf(buf + plen, size - plen, fmt, copy);
        va_end(copy);
    }
}

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

void WriteAndClear(int level, char* buf)
{
    BxDebug::Write(level, buf);
    buf[0] = '\0';
}

// The receiver of trace lines and the buffer a line is handed over in. The
// sink lock is taken inside every output lock, and guards standard output
// as well, so the lines of the two debug modules never mix.
std::mutex g_sinkLock;
BxDebug::LineFn g_sink = nullptr;
void* g_sinkArg = nullptr;
constexpr size_t kLineMax = 4096;
char g_line[kLineMax];

// Hands text to the receiver a line at a time (a longer line in pieces).
// Caller holds g_sinkLock.
void ToSink(int level, const char* text)
{
    while (*text) {
        const char* end = std::strchr(text, '\n');
        const size_t len = end ? static_cast<size_t>(end - text) : std::strlen(text);
        size_t keep = len;
        if (keep > 0 && text[keep - 1] == '\r')
            --keep;
        for (size_t at = 0; at < keep;) {
            const size_t piece = keep - at < kLineMax - 1 ? keep - at : kLineMax - 1;
            std::memcpy(g_line, text + at, piece);
            g_line[piece] = '\0';
            g_sink(g_sinkArg, level, g_line);
            at += piece;
        }
        text += end ? len + 1 : len;
    }
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

void BxDebug::SetLineSink(LineFn fn, void* arg)
{
    std::lock_guard<std::mutex> lock(g_sinkLock);
    g_sink = fn;
    g_sinkArg = fn ? arg : nullptr;
}

void BxDebug::Write(int level, const char* text)
{
    if (!text)
        return;
    std::lock_guard<std::mutex> lock(g_sinkLock);
    if (g_sink)
        ToSink(level, text);
    else
        fputs(text, stdout);
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

namespace {

// A message formatted into the shared buffer and written at its level.
void OutShared(int level, const char* fn, int line, const char* fmt, va_list args)
{
    std::lock_guard<std::mutex> lock(g_outLock);
    Prefix p;
    FormatLine(BxDebug::m_szDebug, BxDebug::kBufSize, p.text, "m_szDebug", fn, line, fmt, args);
    WriteAndClear(level, BxDebug::m_szDebug);
}

// The level the Alt forms hand on to BXDOUTLv, per thread as the Alt flag.
thread_local int t_altLevel = 0;

} // namespace

void BxDebug::BXDebugOutL(int level, const char* fmt, va_list args)
{
    if (Passes(level))
        OutShared(level, "iodbg::BxDebug::BXDOUTL", __LINE__, fmt, args);
}

void BxDebug::BXDOUTL(const char* fmt, va_list args)
{
    OutShared(0, "iodbg::BxDebug::BXDOUTL", __LINE__, fmt, args);
}

void BxDebug::BXDOUT(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    OutShared(0, "iodbg::BxDebug::BXDOUT", __LINE__, fmt, args);
    va_end(args);
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
    if (!Passes(level))
        return;
    t_altLevel = level;
    BXDOUTLAlt(fmt, args);
    t_altLevel = 0;
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
    Prefix p;
    FormatLine(buf, kBufSize, p.text, t_bAlt ? "m_szDebugAlt" : "m_szDebug", "iodbg::BxDebug::BXDOUTLv", __LINE__, fmt,
               args);
    WriteAndClear(t_altLevel, buf);
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
    WriteAndClear(static_cast<int>(level), m_szDebugAlt);
}

void BxDebug::BXDOUTFBuf(const unsigned char* data, int len, bool bCrlf, const char* label, unsigned level)
{
    if (static_cast<int>(level) > static_cast<int>(BXDlev()))
        return;
    std::lock_guard<std::mutex> lock(g_outLock);
    Prefix p;
    trFormatFBuf(data, len, m_szDebug, kBufSize, nullptr);
    char head[kBufSize];
    snprintf(head, sizeof head, "%s%s \r\n", p.text, label ? label : "");
    Write(static_cast<int>(level), head);
    Write(static_cast<int>(level), m_szDebug);
    if (bCrlf)
        Write(static_cast<int>(level), "\r\n");
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
