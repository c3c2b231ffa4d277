// _SX_DCB: the line settings of a serial port, member for member as the
// transport sets and dumps them.
#pragma once

#include <cstdint>

struct _SX_DCB {
    uint32_t DCBlength;
    uint32_t BaudRate;
    uint32_t fBinary : 1;
    uint32_t fParity : 1;
    uint32_t fOutxCtsFlow : 1;
    uint32_t fOutxDsrFlow : 1;
    uint32_t fDtrControl : 2;
    uint32_t fDsrSensitivity : 1;
    uint32_t fTXContinueOnXoff : 1;
    uint32_t fOutX : 1;
    uint32_t fInX : 1;
    uint32_t fErrorChar : 1;
    uint32_t fNull : 1;
    uint32_t fRtsControl : 2;
    uint32_t fAbortOnError : 1;
    uint32_t fDummy2 : 17;
    uint16_t wReserved;
    uint16_t XonLim;
    uint16_t XoffLim;
    uint8_t ByteSize;
    uint8_t Parity;
    uint8_t StopBits;
    char XonChar;
    char XoffChar;
    char ErrorChar;
    char EofChar;
    char EvtChar;
    uint16_t wReserved1;
};

// Values of fDtrControl and fRtsControl, and of StopBits.
enum : uint32_t {
    SXDCB_LINE_DISABLE = 0,
    SXDCB_LINE_ENABLE = 1,
    SXDCB_LINE_HANDSHAKE = 2,
};
enum : uint8_t {
    SXDCB_ONESTOPBIT = 0,
    SXDCB_ONE5STOPBITS = 1,
    SXDCB_TWOSTOPBITS = 2,
};
