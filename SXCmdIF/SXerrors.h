/* Error codes returned by every exported function of SXCmdIF. The low 16
 * bits hold one of these codes; some carry a detail in the high 16 bits (the
 * command code for E_SXERR_INVALID_CRC, the transport's own error code for
 * the transport errors). 0 is success. */
#pragma once

enum eSXErrors {
    E_SX_SUCCESS = 0,
    E_SXERR_NAK_RESP = 1,
    E_SXERR_NAKWARN_RESP = 2,
    E_SXERR_MEMORY_ALLOCATION = 3,
    E_SXERR_INVALID_CONTEXT = 4,
    E_SXERR_INVALID_ACTION = 5,
    E_SXERR_INVALID_SENSOR = 6,
    E_SXERR_INVALID_SENSOR_ACT = 7,
    E_SXERR_INVALID_PARAMS = 8,
    E_SXERR_INVALID_SIZE = 9,
    E_SXERR_INVALID_CRC = 10,
    E_SXERR_TIMEOUT = 11,
    E_SXERR_PLATFORM = 12,
    E_SXERR_LIBUSB = 13,
    E_SXERR_UNKNOWN = 14,
    E_SXERR_NOTFOUND = 15,
    E_SXERR_SERIO = 16,
    E_SXERR_CMDRSP_MISMATCH = 17,
    E_SXERR_BUF_TOO_SMALL = 18,
    E_SXERR_NOT_IMPLEMENTED = 19,
    E_CTXERR_INVALID_DEVHND = 20,
    E_CTXERR_INVALID_CONDITION = 21,
    E_CTXERR_MEMALLOC_ERROR = 22,
    E_CTXERR_DEV_RECV_QUEUE_EMPTY = 23,
    E_CTXERR_NO_MORE_DATA = 24,
    E_DEVIOERR_NO_CNX = 25,
    E_DEVIOERR_FRAME_HEADER = 26,
    E_DEVIOERR_USB_WRITERR = 27,
    E_DEVIOERR_USB_READERR = 28,
    E_DEVIOERR_SER_WRITERR = 29,
    E_DEVIOERR_SER_READERR = 30
};

/* The code part of a composite error value. */
#define SX_ERR_CODE(e) ((int)((e) & 0xFFFF))
/* The detail part of a composite error value, as a signed 16-bit number. */
#define SX_ERR_DETAIL(e) ((int)(short)(((unsigned)(e) >> 16) & 0xFFFF))
