// iodbg::BxDebug: the transports' debug output. A message of level n is
// written when n is strictly below the iodbg level (0 to 7); every line
// starts with the calling thread's identifier; output goes to standard
// output only. Compiled into each library with its own state.
#pragma once

#include <cstdarg>

#define IODBG_PRINTF(f, a) __attribute__((format(printf, f, a)))

namespace iodbg {

class BxDebug {
public:
    static constexpr int kBufSize = 2048;

    static void BXDSetLevel(int level);
    static unsigned short BXDlev();

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
