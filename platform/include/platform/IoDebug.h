// The debug output of the libraries, one module for all three: the
// formatting of a message into a fixed buffer (with the overflow line when it
// does not fit), the way out, and the transports' front end iodbg::BxDebug.
// libSXCmdIF's exported BxDebug is a thin layer over the same functions.
// Linked into each library with its own state.
//
// iodbg::BxDebug: a message of level n is written when n is strictly below
// the iodbg level (0 to 7); every line starts with the calling thread's
// identifier.
//
// Write() is the one place where the trace lines of a library leave it, its
// own and (in libSXCmdIF) those of its BxDebug and frame traces: to standard
// output, or line by line to the receiver an application set.
#pragma once

#include <cstdarg>

#define IODBG_PRINTF(f, a) __attribute__((format(printf, f, a)))

namespace iodbg {

// Formats "prefix message" into buf (size characters); when the message does
// not fit, "fn:line : BxDebug::bufName size <size> too small for formatted
// len <n>" after the prefix instead.
void FormatLine(char* buf, int size, const char* prefix, const char* bufName, const char* fn, int line, const char* fmt,
                va_list args);

class BxDebug {
public:
    static constexpr int kBufSize = 2048;

    // The application's receiver of trace lines; null: standard output.
    using LineFn = void (*)(void* arg, int level, const char* line);
    // Sets the receiver; once this returns, the one before is not called any more.
    static void SetLineSink(LineFn fn, void* arg);
    // Writes text (whole lines, or the rest of one) of a level: to standard
    // output as it is, or to the receiver one line at a time, without its
    // line end; blank lines are not passed on. Calls are serialised, so the
    // receiver is never entered twice at once.
    static void Write(int level, const char* text);

    static void BXDSetLevel(int level);
    static unsigned short BXDlev();
    // The gates, for a test inline before a call: a line (and a hex line)
    // of level n is written when n is below the level, a block dump when n
    // is at most the level.
    static bool LineOn(int level) { return level < __atomic_load_n(&m_usDebugLevel, __ATOMIC_RELAXED); }
    static bool BlockOn(int level) { return level <= __atomic_load_n(&m_usDebugLevel, __ATOMIC_RELAXED); }

    static void BXDOUT0(const char* fmt, ...) IODBG_PRINTF(1, 2);
    static void BXDOUT1(const char* fmt, ...) IODBG_PRINTF(1, 2);
    static void BXDOUT3(const char* fmt, ...) IODBG_PRINTF(1, 2);
    static void BXDOUT5(const char* fmt, ...) IODBG_PRINTF(1, 2);
    static void BXDOUT7(const char* fmt, ...) IODBG_PRINTF(1, 2);
    static void BXDebugOut(int level, const char* fmt, ...) IODBG_PRINTF(2, 3);
    static void BXDebugOutL(int level, const char* fmt, va_list args);
    static void BXDOUTL(const char* fmt, va_list args);
    static void BXDOUT(const char* fmt, ...) IODBG_PRINTF(1, 2);

    static void BXDOUT_ERR(int level, const char* fmt, ...);
    static void BXDOUT_ERR0(const char* fmt, ...);
    static void BXDOUT_ERR1(const char* fmt, ...);
    static void BXDOUT_ERR3(const char* fmt, ...);
    static void BXDOUT_ERR5(const char* fmt, ...);
    static void BXDOUT_ERR7(const char* fmt, ...);

    // The reading threads' lines: formatted into the second buffer.
    static void BXDOUT0Alt(const char* fmt, ...) IODBG_PRINTF(1, 2);
    static void BXDOUT3Alt(const char* fmt, ...) IODBG_PRINTF(1, 2);
    static void BXDOUT5Alt(const char* fmt, ...) IODBG_PRINTF(1, 2);
    static void BXDebugOutLAlt(int level, const char* fmt, va_list args);
    static void BXDOUTLAlt(const char* fmt, va_list args);
    static void BXDOUTLv(const char* fmt, va_list args);

    // One line of "%02x " bytes after "label : len : ".
    static void BXDOUTHexBuf(const unsigned char* data, int len, bool bCrlf, const char* label, unsigned level);
    // A block dump of data under "label".
    static void BXDOUTFBuf(const unsigned char* data, int len, bool bCrlf, const char* label, unsigned level);

    static wchar_t* MBToWS(const char* text);
    static char* WSToMB(const wchar_t* text);

    static unsigned short m_usDebugLevel;
    static char m_szDebug[kBufSize];
    static char m_szDebugAlt[kBufSize];
};

} // namespace iodbg
