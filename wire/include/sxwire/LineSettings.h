/** \file
 * _SX_DCB: the line settings of a serial port, member for member as the
 * transport sets and dumps them. Below both libraries: the platform layer
 * applies them to a port, the serial transport fills and dumps them.
 * \ingroup sx_serial */
#pragma once

#include <cstdint>

/** \addtogroup sx_serial
 * @{ */

/** The line settings of a serial port, member for member as the transport
 * sets and dumps them. */
struct _SX_DCB {
    uint32_t DCBlength;             ///< Size of the record.
    uint32_t BaudRate;              ///< Bits a second.
    uint32_t fBinary : 1;           ///< Binary mode.
    uint32_t fParity : 1;           ///< Parity checking on.
    uint32_t fOutxCtsFlow : 1;      ///< CTS output flow control.
    uint32_t fOutxDsrFlow : 1;      ///< DSR output flow control.
    uint32_t fDtrControl : 2;       ///< DTR line: SXDCB_LINE_DISABLE, SXDCB_LINE_ENABLE or SXDCB_LINE_HANDSHAKE.
    uint32_t fDsrSensitivity : 1;   ///< DSR sensitivity.
    uint32_t fTXContinueOnXoff : 1; ///< Transmit on after XOFF.
    uint32_t fOutX : 1;             ///< XON/XOFF output flow control.
    uint32_t fInX : 1;              ///< XON/XOFF input flow control.
    uint32_t fErrorChar : 1;        ///< Replace bytes with parity errors.
    uint32_t fNull : 1;             ///< Discard null bytes.
    uint32_t fRtsControl : 2;       ///< RTS line: SXDCB_LINE_DISABLE, SXDCB_LINE_ENABLE or SXDCB_LINE_HANDSHAKE.
    uint32_t fAbortOnError : 1;     ///< Abort reads and writes on an error.
    uint32_t fDummy2 : 17;          ///< Reserved.
    uint16_t wReserved;             ///< Reserved.
    uint16_t XonLim;                ///< XON threshold.
    uint16_t XoffLim;               ///< XOFF threshold.
    uint8_t ByteSize;               ///< Bits a byte.
    uint8_t Parity;                 ///< Parity: 0 none, 1 odd, 2 even.
    uint8_t StopBits;               ///< Stop bits: SXDCB_ONESTOPBIT, SXDCB_ONE5STOPBITS or SXDCB_TWOSTOPBITS.
    char XonChar;                   ///< XON character.
    char XoffChar;                  ///< XOFF character.
    char ErrorChar;                 ///< Parity error replacement.
    char EofChar;                   ///< End-of-input character.
    char EvtChar;                   ///< Event character.
    uint16_t wReserved1;            ///< Reserved.
};

/** Values of fDtrControl and fRtsControl. */
enum : uint32_t {
    SXDCB_LINE_DISABLE = 0,   ///< Line off.
    SXDCB_LINE_ENABLE = 1,    ///< Line on.
    SXDCB_LINE_HANDSHAKE = 2, ///< Line used for handshaking.
};
/** Values of StopBits. */
enum : uint8_t {
    SXDCB_ONESTOPBIT = 0,   ///< One stop bit.
    SXDCB_ONE5STOPBITS = 1, ///< One and a half stop bits.
    SXDCB_TWOSTOPBITS = 2,  ///< Two stop bits.
};

/** @} */
