/** \file
 * The exported connection functions of SXCmdIF: connecting trackers by USB
 * or serial port through a context, counting and releasing them, and their
 * time-out, trace and time-stamp settings. This header compiles as C and as
 * C++; the functions declared only for C++ carry their parameter types in
 * their exported names. */
#pragma once

#include <SXCmdIF/SXCmdIFdevtypes.h>

/// \cond SX_INTERNAL
#include <SXCmdIF/SXCmdIFdevref.h>
/// \endcond

/* ---- Connection and registry ------------------------------------------ */

/** \addtogroup sx_devices
 * @{ */

/** Connects the first tracker on USB with this product id (vendor
 * ::VID_MAKER): opens it, starts its reading thread, reads its unit
 * identifier, stops any continuous P&O output left running and reads its
 * identity record (sxdev_info()). The first commands wait up to 500 ms, later
 * ones the device's 50 ms default.
 * \param ctx a context handle of sxcmdif_init()
 * \param dev receives the device handle (from C: a `void**`); unchanged when
 *   the device could not be opened
 * \param pid the USB product id, ::PID_SORIX for the tracker
 * \retval E_SX_SUCCESS connected; the handle is in dev
 * \retval E_SXERR_INVALID_CONTEXT ctx is not a live context
 * \retval E_SXERR_INVALID_PARAMS dev is null (from C)
 * \retval E_SXERR_NOTFOUND no device with this product id
 * \retval E_SXERR_LIBUSB opening or starting to read failed (the transport's code in the high 16 bits)
 * \retval E_CTXERR_MEMALLOC_ERROR the device could not be allocated
 * \returns any code of a command (see sxcmd_dev_contpno()) when the stop or
 *   the identity read failed: the device is then connected and registered,
 *   and its handle is in dev; release it with sxctx_dev_release()
 * \thread Any application thread; one thread at a time per context for
 *   connecting and releasing. */
SXCMDIF_CAPI int sxctx_connectusb(void* ctx, SX_REF(void*) dev, uint16_t pid);
/** Connects a tracker on a serial port: opens the port with the
 * configuration word, starts its reading thread, reads the unit identifier
 * and identity record (both wait up to 500 ms). On any failure nothing is
 * registered and dev is unchanged. Ports are numbered from 1 as
 * CSXserIO::ListSerPorts() lists them (`SXSERIO_PORTS` may name them).
 * \param ctx a context handle of sxcmdif_init()
 * \param dev receives the device handle (from C: a `void**`)
 * \param port the port number; 0 or less: the first listed port that opens (the
 *   unit must answer there: no further port is tried)
 * \param cfg the serial configuration word: bits 0-3 the baud index (::eBaud),
 *   bits 4-5 the parity (::eParity); 0 keeps the defaults (115200 baud, no parity)
 * \retval E_SX_SUCCESS connected; the handle is in dev
 * \retval E_SXERR_INVALID_CONTEXT ctx is not a live context
 * \retval E_SXERR_INVALID_PARAMS dev is null (from C)
 * \retval E_SXERR_NOTFOUND the unit did not answer the unit-identifier request
 * \retval E_SXERR_SERIO the port could not be opened or read (::eSXIOResult in the high 16 bits)
 * \retval E_CTXERR_MEMALLOC_ERROR the device could not be allocated
 * \returns any other failure of the unit-identifier or identity read, as a
 *   command returns it (see sxcmd_dev_whoami())
 * \thread Any application thread; one thread at a time per context for
 *   connecting and releasing. */
SXCMDIF_CAPI int sxctx_connectser(void* ctx, SX_REF(void*) dev, int port, int cfg);
/** The number of devices connected through a context.
 * \param ctx a context handle of sxcmdif_init()
 * \param count receives the number
 * \retval E_SX_SUCCESS the number is in *count
 * \retval E_SXERR_INVALID_CONTEXT ctx is not a live context
 * \retval E_SXERR_INVALID_PARAMS count is null
 * \thread Any application thread. */
SXCMDIF_CAPI int sxctx_dev_count(void* ctx, int* count);
/** Releases a device: closes its transport (stopping its reading thread) and
 * frees it. Calls already inside the device finish first; later calls with
 * the handle return ::E_CTXERR_INVALID_DEVHND. The device is released even
 * when closing reports a failure.
 * \ctxdev
 * \retval E_SX_SUCCESS released
 * \ctxcheck
 * \retval E_SXERR_LIBUSB closing the USB transport failed (its code in the high 16 bits)
 * \retval E_SXERR_SERIO closing the serial transport failed (its code in the high 16 bits)
 * \thread Any application thread, not the device's own P&O callback; one
 *   thread at a time per context for connecting and releasing. */
SXCMDIF_CAPI int sxctx_dev_release(void* ctx, void* dev);
/** One report line for each device of the context, in the order of
 * connection: "% 4u   %-16s   %s" with unit identifier, serial number and
 * device name, each line ended by "\r\n"; empty without devices.
 * \ingroup sx_reports
 * \param ctx a context handle of sxcmdif_init()
 * \param text receives the text, which lives in the context
 *   until this thread's next report call on it or its release
 * \retval E_SX_SUCCESS the text is in *text
 * \retval E_SXERR_INVALID_CONTEXT ctx is not a live context
 * \retval E_SXERR_INVALID_PARAMS text is null
 * \thread Any application thread; each thread has a text of its own. */
SXCMDIF_CAPI int sxctx_dev_report(void* ctx, const char** text);
/** The wide form of sxctx_dev_report().
 * \ingroup sx_reports
 * \param ctx a context handle of sxcmdif_init()
 * \param text receives the wide text, which lives in the context
 *   until this thread's next report call on it or its release
 * \retval E_SX_SUCCESS the text is in *text
 * \retval E_SXERR_INVALID_CONTEXT ctx is not a live context
 * \retval E_SXERR_INVALID_PARAMS text is null
 * \thread Any application thread; each thread has a text of its own. */
SXCMDIF_CAPI int sxctx_dev_reportW(void* ctx, const wchar_t** text);
/** The unit's identity record, as read at connection (or by the latest
 * sxcmd_dev_whoami_report()), and its unit identifier.
 * \ctxdev
 * \param identity receives the address of the device's `_WHOAMI_STRUCT`,
 *   owned by the device and valid until it is released
 * \param seuid receives the unit identifier
 * \retval E_SX_SUCCESS both are set
 * \retval E_SXERR_INVALID_PARAMS identity or seuid is null
 * \ctxcheck
 * \thread Any application thread. */
SXCMDIF_CAPI int sxdev_info(void* ctx, void* dev, void** identity, int* seuid);
/** The report line of one device (as sxctx_dev_report() gives it).
 * \ingroup sx_reports
 * \ctxdev
 * \param text receives the text, which lives in the context
 *   until this thread's next report call on it; empty when dev is not a device of ctx
 * \retval E_SX_SUCCESS the text is in *text
 * \retval E_SXERR_INVALID_PARAMS text is null
 * \ctxcheck
 * \thread Any application thread; each thread has a text of its own. */
SXCMDIF_CAPI int sxdev_report(void* ctx, void* dev, const char** text);
/** The wide form of sxdev_report().
 * \ingroup sx_reports
 * \ctxdev
 * \param text receives the wide text, which lives in the context
 *   until this thread's next report call on it; empty when dev is not a device of ctx
 * \retval E_SX_SUCCESS the text is in *text
 * \retval E_SXERR_INVALID_PARAMS text is null
 * \ctxcheck
 * \thread Any application thread; each thread has a text of its own. */
SXCMDIF_CAPI int sxdev_reportW(void* ctx, void* dev, const wchar_t** text);
/** Sets how long a command waits for its answer and a P&O wait for its
 * frame: 50 ms when useDefault is not 0, else ms (taken as given; 0 takes
 * only an answer already queued). A command waiting on another thread keeps
 * its own deadline.
 * \ctxdev
 * \param useDefault not 0: the default of 50 ms
 * \param ms the time-out in milliseconds when useDefault is 0
 * \retval E_SX_SUCCESS set
 * \ctxcheck
 * \thread Any application thread. */
SXCMDIF_CAPI int sxdev_timeoutms(void* ctx, void* dev, int useDefault, int ms);
/** Sets the trace level of one device and of its transport.
 * \ctxdev
 * \param level the trace level (0 to 7)
 * \retval E_SX_SUCCESS set
 * \ctxcheck
 * \thread Any application thread. */
SXCMDIF_CAPI int sxdev_trace(void* ctx, void* dev, int level);
/** Switches time stamps of queued P&O frames on or off: each frame queued
 * afterwards gets the monotonic clock's time in nanoseconds in its
 * `timeStamp` (0 while off).
 * \ingroup sx_pno_access
 * \ctxdev
 * \param on true: stamp the frames
 * \retval E_SX_SUCCESS set
 * \ctxcheck
 * \thread Any application thread. */
SXCMDIF_CAPI int sxdev_tsenable(void* ctx, void* dev, bool on);
/** @} */

#ifdef __cplusplus
/* ---- Exported under decorated names (C++ only) ---------------------------- */

/** Connects a USB device of the sibling family as a tag device: as
 * sxctx_connectusb(), with the family's preambles ("Q7BC"/"Q7BP" for
 * ::PID_Q7_TAG) in its frames. C++ only (decorated name).
 * \ingroup sx_devices
 * \param ctx a context handle of sxcmdif_init()
 * \param dev receives the device handle; unchanged when the device could not be opened
 * \param pid the USB product id
 * \param tag the tag; not 0 makes the device a tag device
 * \retval E_SX_SUCCESS connected
 * \retval E_SXERR_INVALID_CONTEXT ctx is not a live context
 * \retval E_SXERR_NOTFOUND no device with this product id
 * \retval E_SXERR_LIBUSB opening or starting to read failed (the transport's code in the high 16 bits)
 * \retval E_CTXERR_MEMALLOC_ERROR the device could not be allocated
 * \returns a command's code when the first commands failed; the device is then registered (see sxctx_connectusb())
 * \thread Any application thread; one thread at a time per context for connecting and releasing. */
SXCMDIF_API int sxctx_connectusbtag(void* ctx, void*& dev, uint16_t pid, uint32_t tag);
/** Connects through the sibling family's hub (::PID_Q7_HUB) as a tag device
 * speaking the tag preambles "Q7BC"/"Q7BP"; dev is set to null first, so a
 * failed attempt leaves it null. Otherwise as sxctx_connectusbtag().
 * C++ only (decorated name).
 * \ingroup sx_devices
 * \param ctx a context handle of sxcmdif_init()
 * \param dev receives the device handle; null after a failure to open
 * \param unused not used
 * \retval E_SX_SUCCESS connected
 * \retval E_SXERR_INVALID_CONTEXT ctx is not a live context
 * \retval E_SXERR_NOTFOUND no hub on USB
 * \retval E_SXERR_LIBUSB opening or starting to read failed (the transport's code in the high 16 bits)
 * \retval E_CTXERR_MEMALLOC_ERROR the device could not be allocated
 * \returns a command's code when the first commands failed; the device is then registered
 * \thread Any application thread; one thread at a time per context for connecting and releasing. */
SXCMDIF_API int sxctx_connectusb_q7p(void* ctx, void*& dev, uint16_t unused);
#endif

/// \cond SX_INTERNAL
#undef SX_REF
#undef SX_ACTION
/// \endcond
