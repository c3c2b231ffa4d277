/** \file
 * Error codes returned by every exported function of SXCmdIF. The low 16
 * bits hold one of these codes; some carry a detail in the high 16 bits (the
 * command code for E_SXERR_INVALID_CRC, the transport's own error code for
 * the transport errors). 0 is success.
 * This header compiles as C and as C++.
 * \ingroup sx_library */
#pragma once

/** \addtogroup sx_library
 * @{ */

/** Error codes: the low 16 bits of every status an exported function
 * returns. sxcmdif_errorStr() gives the text of any value. */
enum eSXErrors {
    E_SX_SUCCESS = 0,                   ///< Success.
    E_SXERR_NAK_RESP = 1,               ///< The tracker refused the command (NAK response).
    E_SXERR_NAKWARN_RESP = 2,           ///< NAK of warning grade; returned by no function (a NAK warning is an answer).
    E_SXERR_MEMORY_ALLOCATION = 3,      ///< A context could not be allocated.
    E_SXERR_INVALID_CONTEXT = 4,        ///< The context handle is not a live context.
    E_SXERR_INVALID_ACTION = 5,         ///< The command does not accept the action.
    E_SXERR_INVALID_SENSOR = 6,         ///< Sensor number above 16, or a P&O frame with bad sensor numbers.
    E_SXERR_INVALID_SENSOR_ACT = 7,     ///< A GET with a negative (every-sensor) number.
    E_SXERR_INVALID_PARAMS = 8,         ///< A required pointer, buffer or length is missing, or a frame does not fit.
    E_SXERR_INVALID_SIZE = 9,           ///< The payload length differs from the command's size.
    E_SXERR_INVALID_CRC = 10,           ///< A response failed its CRC check; detail: its command code.
    E_SXERR_TIMEOUT = 11,               ///< No P&O frame arrived within the device's time-out.
    E_SXERR_PLATFORM = 12,              ///< Reserved; returned by no function.
    E_SXERR_LIBUSB = 13,                ///< The USB transport failed; detail: its code.
    E_SXERR_UNKNOWN = 14,               ///< Reserved; returned by no function.
    E_SXERR_NOTFOUND = 15,              ///< No matching USB device, no answer on a serial port, or no console.
    E_SXERR_SERIO = 16,                 ///< The serial transport failed; detail: its code (::eSXIOResult).
    E_SXERR_CMDRSP_MISMATCH = 17,       ///< A queued response to another command was discarded.
    E_SXERR_BUF_TOO_SMALL = 18,         ///< The caller's buffer cannot hold the oldest queued P&O frame.
    E_SXERR_NOT_IMPLEMENTED = 19,       ///< The operation is not available.
    E_CTXERR_INVALID_DEVHND = 20,       ///< The device handle is not a device of this context.
    E_CTXERR_INVALID_CONDITION = 21,    ///< A P&O wait was woken but found no frame.
    E_CTXERR_MEMALLOC_ERROR = 22,       ///< A device or transport object could not be allocated.
    E_CTXERR_DEV_RECV_QUEUE_EMPTY = 23, ///< No response to a command arrived within the time-out.
    E_CTXERR_NO_MORE_DATA = 24,         ///< The P&O queue is empty.
    E_DEVIOERR_NO_CNX = 25,             ///< The device has no open transport (closed, or unplugged).
    E_DEVIOERR_FRAME_HEADER = 26,       ///< A received frame has a wrong preamble or size.
    E_DEVIOERR_USB_WRITERR = 27,        ///< Writing to the USB transport failed; detail: its code.
    E_DEVIOERR_USB_READERR = 28,        ///< Reserved; returned by no function.
    E_DEVIOERR_SER_WRITERR = 29,        ///< Writing to the serial transport failed; detail: its code.
    E_DEVIOERR_SER_READERR = 30         ///< Reserved; returned by no function.
};

/** The code part (low 16 bits) of a composite error value.
 * \param e the value an exported function returned */
#define SX_ERR_CODE(e) ((int)((e)&0xFFFF))
/** The detail part (high 16 bits) of a composite error value, as a signed
 * 16-bit number.
 * \param e the value an exported function returned */
#define SX_ERR_DETAIL(e) ((int)(short)(((unsigned)(e) >> 16) & 0xFFFF))

/** @} */
