/** \file
 * The exported device interface of SXCmdIF: connecting trackers through a
 * context, their commands, P&O access and reports. Every function returns an
 * error code of SXerrors.h (0 success) and checks its context handle first
 * (4), then its device handle (20).
 *
 * Plain-named functions have C linkage; from C, a reference parameter is
 * passed as a pointer (the same at the binary level) and an action as an
 * int. The functions declared only for C++ are exported under names that
 * carry their parameter types. This header compiles as C and as C++. */
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/SXerrors.h>

/// \cond SX_INTERNAL
#ifdef __cplusplus
#include <cstddef>
#include <cstdint>
#include <SXCmdIF/protocol/SXcmdEnums.h>
#include <SXCmdIF/protocol/SXvocabEnums.h>
#define SX_REF(T) T&
#define SX_ACTION eCmdActions
#else
#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>
#define SX_REF(T) T*
#define SX_ACTION int
#endif

struct _sxFrameInfo;
struct _BIT_STRUCT;
struct _BINARY_CONFIG;
struct _ENUM_CONFIG;
struct _FRAMERATE_CONFIG;
struct _SEUID_CONFIG;
struct _SELFCAL_CONFIG;
struct _SERIAL_CONFIG;
struct _SRC_CONFIG;
struct _SRCROT_CONFIG;
struct _WHOAMI_STRUCT;
struct _STATION_MAP;
struct _STYLUS_CONFIG;
struct _UNITS_CONFIG;
struct _BORESIGHT_CONFIG;
struct _FILTER_CONFIG;
struct _HEMISPHERE_CONFIG;
struct _INCREMENT_CONFIG;
struct _PF_CONFIG;
struct _PF_CONFIG_EXT;
struct _SRC_SEL_CONFIG;
struct _TIP_OFFSET_CONFIG;
struct _VIRTUAL_SNS_CONFIG;
struct _PNO;
/// \endcond

/** \addtogroup sx_pno_access
 * @{ */
/** The P&O callback of sxdev_SetPnoCallback(). Called on the transport's
 * reading thread with every P&O frame that passes the receive checks; while
 * it runs the device receives nothing further.
 * \param arg the argument given with the callback
 * \param frame the whole raw frame, preamble to CRC; valid only during the call
 * \param length the frame's length in bytes */
typedef void (*SXPnoCallback)(void* arg, unsigned char* frame, unsigned int length);
/** @} */

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

/* ---- Device-level commands --------------------------------------------- */

/** \addtogroup sx_commands
 * @{ */

/** Reads the unit's built-in-test result: a GET of ::CMD_BIT.
 * \ctxdev
 * \param payload receives the `_BIT_STRUCT` (print it with CBitResult)
 * \retval E_SX_SUCCESS the record is in payload
 * \retval E_SXERR_INVALID_PARAMS payload is null
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_dev_bit(void* ctx, void* dev, struct _BIT_STRUCT* payload);
/** Starts (SET) or stops (RESET) continuous P&O output: ::CMD_CONTINUOUS_PNO
 * with the 32-bit word fc points at (0 when fc is null) as payload, `arg1`
 * the context's value of sxdev_pnousb_buffer() and `arg2` as given. The
 * caller's word is never written. Frames then arrive at the frame rate (see
 * sxctx_dev_fifopnofraw(), sxdev_SetPnoCallback()).
 * \ingroup sx_pno_access
 * \ctxdev
 * \param action ::CMD_ACTION_SET or ::CMD_ACTION_RESET
 * \param fc the payload word, or null for 0
 * \param arg2 the command's `arg2` word
 * \retval E_SX_SUCCESS the tracker acknowledged
 * \retval E_SXERR_INVALID_ACTION another action
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_dev_contpno(void* ctx, void* dev, SX_ACTION action, int* fc, int arg2);
/** Reads or sets dual output: ::CMD_DUAL_OUTPUT. GET reads it into payload, SET sends payload, RESET
 * restores the unit's default (payload unused).
 * \ctxdev
 * \param action ::CMD_ACTION_SET, ::CMD_ACTION_GET or ::CMD_ACTION_RESET
 * \param payload a `_BINARY_CONFIG` (CDualOutputCfg): read for a SET, filled by a GET
 * \retval E_SX_SUCCESS done; a GET's record is in payload
 * \retval E_SXERR_INVALID_ACTION another action
 * \retval E_SXERR_INVALID_PARAMS payload is null with SET or GET
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_dev_dualoutput(void* ctx, void* dev, SX_ACTION action, struct _BINARY_CONFIG* payload);
/** Reads or sets the frame rate: ::CMD_FRAMERATE. GET reads it into payload, SET sends payload, RESET
 * restores the unit's default (payload unused).
 * \ctxdev
 * \param action ::CMD_ACTION_SET, ::CMD_ACTION_GET or ::CMD_ACTION_RESET
 * \param payload a `_FRAMERATE_CONFIG`, an ::eFrameRate code (CFrameRateCfg): read for a SET, filled by a GET
 * \retval E_SX_SUCCESS done; a GET's record is in payload
 * \retval E_SXERR_INVALID_ACTION another action
 * \retval E_SXERR_INVALID_PARAMS payload is null with SET or GET
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_dev_framerate(void* ctx, void* dev, SX_ACTION action, struct _FRAMERATE_CONFIG* payload);
/** Reads or sets the unit identifier: ::CMD_SEUID. GET reads it into payload, SET sends payload, RESET
 * restores the unit's default (payload unused). A SET does not change the identifier the device writes into its
 * commands (read at connection).
 * \ctxdev
 * \param action ::CMD_ACTION_SET, ::CMD_ACTION_GET or ::CMD_ACTION_RESET
 * \param payload a `_SEUID_CONFIG` (CSeuIDCfg): read for a SET, filled by a GET
 * \retval E_SX_SUCCESS done; a GET's record is in payload
 * \retval E_SXERR_INVALID_ACTION another action
 * \retval E_SXERR_INVALID_PARAMS payload is null with SET or GET
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_dev_id(void* ctx, void* dev, SX_ACTION action, struct _SEUID_CONFIG* payload);
/** Reads or sets the out-of-range mode: ::CMD_OOR_MODE. GET reads it into payload, SET sends payload, RESET
 * restores the unit's default (payload unused).
 * \ctxdev
 * \param action ::CMD_ACTION_SET, ::CMD_ACTION_GET or ::CMD_ACTION_RESET
 * \param payload a `_BINARY_CONFIG` (CBinaryCfg): read for a SET, filled by a GET
 * \retval E_SX_SUCCESS done; a GET's record is in payload
 * \retval E_SXERR_INVALID_ACTION another action
 * \retval E_SXERR_INVALID_PARAMS payload is null with SET or GET
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_dev_oormode(void* ctx, void* dev, SX_ACTION action, struct _BINARY_CONFIG* payload);
/** Keeps the unit's configuration in the unit: ::CMD_PERSIST with ::CMD_ACTION_SET, no payload.
 * \ctxdev
 * \retval E_SX_SUCCESS the tracker acknowledged
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_dev_persist(void* ctx, void* dev);
/** Restarts the unit's frame count: ::CMD_FRAME_COUNT with ::CMD_ACTION_RESET, no payload.
 * \ctxdev
 * \retval E_SX_SUCCESS the tracker acknowledged
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_dev_reset_framecount(void* ctx, void* dev);
/** Restores the unit's whole configuration: ::CMD_BLOCK_CFG with ::CMD_ACTION_RESET, no payload.
 * \ctxdev
 * \retval E_SX_SUCCESS the tracker acknowledged
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_dev_resetblockcfg(void* ctx, void* dev);
/** Saves (SET) or discards (RESET) the self-calibration data:
 * ::CMD_SELFCAL_SAVE, no payload.
 * \ctxdev
 * \param action ::CMD_ACTION_SET or ::CMD_ACTION_RESET
 * \retval E_SX_SUCCESS the tracker acknowledged
 * \retval E_SXERR_INVALID_ACTION another action
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_dev_selfcalsave(void* ctx, void* dev, SX_ACTION action);
/** Reads or sets the self-calibration state and correction rate: ::CMD_SELFCAL_STATE. GET reads it into payload, SET
 * sends payload, RESET
 * restores the unit's default (payload unused).
 * \ctxdev
 * \param action ::CMD_ACTION_SET, ::CMD_ACTION_GET or ::CMD_ACTION_RESET
 * \param payload a `_SELFCAL_CONFIG` (CSelfCalCfg): read for a SET, filled by a GET
 * \retval E_SX_SUCCESS done; a GET's record is in payload
 * \retval E_SXERR_INVALID_ACTION another action
 * \retval E_SXERR_INVALID_PARAMS payload is null with SET or GET
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_dev_selfcalstate(void* ctx, void* dev, SX_ACTION action, struct _SELFCAL_CONFIG* payload);
/** Reads or sets the unit's serial line (baud rate, parity): ::CMD_SERIAL_CONFIG. GET reads it into payload, SET sends
 * payload, RESET
 * restores the unit's default (payload unused).
 * \ctxdev
 * \param action ::CMD_ACTION_SET, ::CMD_ACTION_GET or ::CMD_ACTION_RESET
 * \param payload a `_SERIAL_CONFIG` (CSerialCfg): read for a SET, filled by a GET
 * \retval E_SX_SUCCESS done; a GET's record is in payload
 * \retval E_SXERR_INVALID_ACTION another action
 * \retval E_SXERR_INVALID_PARAMS payload is null with SET or GET
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_dev_serialif(void* ctx, void* dev, SX_ACTION action, struct _SERIAL_CONFIG* payload);
/** Reads or sets the configuration of a field source (frequency, position, rotation, start-up hemisphere):
 * ::CMD_SOURCE_CFG with `arg1` = source. GET reads it into payload, SET
 * sends payload, RESET restores the default (payload unused).
 * \ctxdev
 * \param source the source number (0 to 3), sent as given
 * \param action ::CMD_ACTION_SET, ::CMD_ACTION_GET or ::CMD_ACTION_RESET
 * \param payload a `_SRC_CONFIG` (CSrcCfg): read for a SET, filled by a GET
 * \retval E_SX_SUCCESS done; a GET's record is in payload
 * \retval E_SXERR_INVALID_ACTION another action
 * \retval E_SXERR_INVALID_PARAMS payload is null with SET or GET
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_dev_sourcecfg(void* ctx, void* dev, int source, SX_ACTION action, struct _SRC_CONFIG* payload);
/** Reads or sets the rotation of a field source: ::CMD_SRC_ROTATION with `arg1` = source. GET reads it into payload,
 * SET
 * sends payload, RESET restores the default (payload unused).
 * \ctxdev
 * \param source the source number (0 to 3), sent as given
 * \param action ::CMD_ACTION_SET, ::CMD_ACTION_GET or ::CMD_ACTION_RESET
 * \param payload a `_SRCROT_CONFIG` (CSrcRotCfg): read for a SET, filled by a GET
 * \retval E_SX_SUCCESS done; a GET's record is in payload
 * \retval E_SXERR_INVALID_ACTION another action
 * \retval E_SXERR_INVALID_PARAMS payload is null with SET or GET
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_dev_sourcerot(void* ctx, void* dev, int source, SX_ACTION action,
                                     struct _SRCROT_CONFIG* payload);
/** Reads the identity of a field source: a GET of ::CMD_SRC_WHOAMI with
 * `arg1` = source.
 * \ctxdev
 * \param source the source number (0 to 3), sent as given
 * \param payload receives the `_WHOAMI_STRUCT` (CWhoAmI)
 * \retval E_SX_SUCCESS the record is in payload
 * \retval E_SXERR_INVALID_PARAMS payload is null
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_dev_sourcewhoami(void* ctx, void* dev, int source, struct _WHOAMI_STRUCT* payload);
/** Reads which sensors and sources the unit detects: a GET of ::CMD_STATION_MAP.
 * \ctxdev
 * \param payload receives the `_STATION_MAP` (CStationMap)
 * \retval E_SX_SUCCESS the record is in payload
 * \retval E_SXERR_INVALID_PARAMS payload is null
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_dev_stationmap(void* ctx, void* dev, struct _STATION_MAP* payload);
/** Reads or sets the stylus mode: ::CMD_STYLUS. GET reads it into payload, SET sends payload, RESET
 * restores the unit's default (payload unused).
 * \ctxdev
 * \param action ::CMD_ACTION_SET, ::CMD_ACTION_GET or ::CMD_ACTION_RESET
 * \param payload a `_STYLUS_CONFIG`, an ::eStylusMode value (CStylusCfg): read for a SET, filled by a GET
 * \retval E_SX_SUCCESS done; a GET's record is in payload
 * \retval E_SXERR_INVALID_ACTION another action
 * \retval E_SXERR_INVALID_PARAMS payload is null with SET or GET
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_dev_stylusmode(void* ctx, void* dev, SX_ACTION action, struct _STYLUS_CONFIG* payload);
/** Reads or sets the sync mode: ::CMD_SYNC_MODE. GET reads it into payload, SET sends payload, RESET
 * restores the unit's default (payload unused).
 * \ctxdev
 * \param action ::CMD_ACTION_SET, ::CMD_ACTION_GET or ::CMD_ACTION_RESET
 * \param payload a `_BINARY_CONFIG` (CSyncModeCfg): read for a SET, filled by a GET
 * \retval E_SX_SUCCESS done; a GET's record is in payload
 * \retval E_SXERR_INVALID_ACTION another action
 * \retval E_SXERR_INVALID_PARAMS payload is null with SET or GET
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_dev_syncmode(void* ctx, void* dev, SX_ACTION action, struct _BINARY_CONFIG* payload);
/** Reads or sets the position and orientation units of P&O data: ::CMD_UNITS. GET reads it into payload, SET sends
 * payload, RESET
 * restores the unit's default (payload unused).
 * \ctxdev
 * \param action ::CMD_ACTION_SET, ::CMD_ACTION_GET or ::CMD_ACTION_RESET
 * \param payload a `_UNITS_CONFIG` (CUnitsCfg): read for a SET, filled by a GET
 * \retval E_SX_SUCCESS done; a GET's record is in payload
 * \retval E_SXERR_INVALID_ACTION another action
 * \retval E_SXERR_INVALID_PARAMS payload is null with SET or GET
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_dev_units(void* ctx, void* dev, SX_ACTION action, struct _UNITS_CONFIG* payload);
/** Reads the unit's identity: a GET of ::CMD_WHOAMI.
 * \ctxdev
 * \param payload receives the `_WHOAMI_STRUCT` (print it with CWhoAmI)
 * \retval E_SX_SUCCESS the record is in payload
 * \retval E_SXERR_INVALID_PARAMS payload is null
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_dev_whoami(void* ctx, void* dev, struct _WHOAMI_STRUCT* payload);
/** Sends any command, without the checks against the command catalogue
 * (action, payload size): the way to the commands without a function of
 * their own (::CMD_INITIALIZE, ::CMD_DISABLE_CAL, ::CMD_SELF_LEVEL,
 * ::CMD_SENSOR_BLOCKCFG). Only a SET carries the payload; a GET copies at most
 * length bytes of the answer's payload into it. A tag device's commands
 * carry its own preamble.
 * \ctxdev
 * \param action an ::eCmdActions value
 * \param command an ::eSorixCmds value
 * \param payload the record to send (SET) or the buffer to fill (GET); may be null
 * \param length the bytes of payload
 * \param arg1 the command's `arg1` word
 * \param arg2 the command's `arg2` word
 * \retval E_SX_SUCCESS the tracker answered (ACK or NAK warning)
 * \retval E_SXERR_INVALID_PARAMS the frame would not fit the context's 2048-byte transmit buffer; nothing is sent
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_dev_generic(void* ctx, void* dev, int action, int command, void* payload, unsigned length,
                                   int arg1, int arg2);
/** Sends any command and hands back the answer's header, also for a NAK.
 * No catalogue check; the frame always carries the tracker's own preamble
 * (also for a tag device).
 * \ctxdev
 * \param seuid receives the answer's unit identifier
 * \param action in: the ::eCmdActions value to send; out: the answer's action
 *   (::CMD_ACTION_ACK, ::CMD_ACTION_NAK, ...; at most ::CMD_ACTION_MAX)
 * \param command in: the ::eSorixCmds value; out: the answer's command word
 * \param arg1 in and out: the `arg1` word
 * \param arg2 in and out: the `arg2` word
 * \param length in: the bytes of payload; out: the payload bytes copied back
 *   (after a success with a null payload or a length of 0: unchanged)
 * \param payload the record to send (SET) and the buffer that receives the
 *   answer's payload, at most length bytes; may be null
 * \retval E_SX_SUCCESS answered; header and payload written back
 * \retval E_SXERR_NAK_RESP refused; header and the NAK's payload written back
 * \retval E_SXERR_INVALID_PARAMS seuid, action, command, arg1, arg2 or length
 *   is null, or the frame would not fit the transmit buffer
 * \ctxcheck
 * \retval E_SXERR_CMDRSP_MISMATCH answers to other commands were discarded; nothing written back
 * \retval E_CTXERR_DEV_RECV_QUEUE_EMPTY no answer within the device's time-out; nothing written back
 * \retval E_SXERR_INVALID_CRC the answer failed its CRC check (command code in the high 16 bits)
 * \retval E_DEVIOERR_NO_CNX the device's transport is closed
 * \retval E_DEVIOERR_USB_WRITERR writing to USB failed (transport code in the high 16 bits)
 * \retval E_DEVIOERR_SER_WRITERR writing to the serial line failed (transport code in the high 16 bits)
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_dev_generic1(void* ctx, void* dev, int* seuid, int* action, int* command, int* arg1,
                                    int* arg2, unsigned* length, void* payload);

/* ---- Sensor-level commands (sensor 0 to 16; negative: every sensor, not
 * with GET) ---------------------------------------------------------------- */

/** Reads or sets a sensor's boresight orientation: ::CMD_BORESIGHT with `arg1` = sensor. GET reads it into payload,
 * SET
 * sends payload, RESET restores the default (payload unused). `arg2` 1 also resets the origin
 * (CBoresightCfg::ResetOrigin()).
 * \ctxdev
 * \param sensor 0 to 16; negative: every sensor (SET and RESET only)
 * \param action ::CMD_ACTION_SET, ::CMD_ACTION_GET or ::CMD_ACTION_RESET
 * \param payload a `_BORESIGHT_CONFIG` (CBoresightCfg): read for a SET, filled by a GET
 * \param arg2 the command's `arg2` word
 * \retval E_SX_SUCCESS done; a GET's record is in payload
 * \retval E_SXERR_INVALID_ACTION another action
 * \retval E_SXERR_INVALID_PARAMS payload is null with SET or GET
 * \sensorcheck
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_sns_boresight(void* ctx, void* dev, int sensor, SX_ACTION action,
                                     struct _BORESIGHT_CONFIG* payload, int arg2);
/** Reads or sets a sensor's position or orientation filter: ::CMD_FILTER with `arg1` = sensor. GET reads it into
 * payload, SET
 * sends payload, RESET restores the default (payload unused). `arg2` names the filter (an ::eSorixFilterTargets
 * value).
 * \ctxdev
 * \param sensor 0 to 16; negative: every sensor (SET and RESET only)
 * \param action ::CMD_ACTION_SET, ::CMD_ACTION_GET or ::CMD_ACTION_RESET
 * \param payload a `_FILTER_CONFIG` (CFilterCfg): read for a SET, filled by a GET
 * \param arg2 the command's `arg2` word
 * \retval E_SX_SUCCESS done; a GET's record is in payload
 * \retval E_SXERR_INVALID_ACTION another action
 * \retval E_SXERR_INVALID_PARAMS payload is null with SET or GET
 * \sensorcheck
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_sns_filter(void* ctx, void* dev, int sensor, SX_ACTION action, struct _FILTER_CONFIG* payload,
                                  int arg2);
/** Reads or sets a sensor's FTT mode: ::CMD_FTT_MODE with `arg1` = sensor. GET reads it into payload, SET
 * sends payload, RESET restores the default (payload unused).
 * \ctxdev
 * \param sensor 0 to 16; negative: every sensor (SET and RESET only)
 * \param action ::CMD_ACTION_SET, ::CMD_ACTION_GET or ::CMD_ACTION_RESET
 * \param payload an `_ENUM_CONFIG` holding an ::eFTTMode value (CFTTCfg): read for a SET, filled by a GET
 * \retval E_SX_SUCCESS done; a GET's record is in payload
 * \retval E_SXERR_INVALID_ACTION another action
 * \retval E_SXERR_INVALID_PARAMS payload is null with SET or GET
 * \sensorcheck
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_sns_fttmode(void* ctx, void* dev, int sensor, SX_ACTION action, struct _ENUM_CONFIG* payload);
/** Reads or sets a sensor's operating hemisphere: ::CMD_HEMISPHERE with `arg1` = sensor. GET reads it into payload,
 * SET
 * sends payload, RESET restores the default (payload unused).
 * \ctxdev
 * \param sensor 0 to 16; negative: every sensor (SET and RESET only)
 * \param action ::CMD_ACTION_SET, ::CMD_ACTION_GET or ::CMD_ACTION_RESET
 * \param payload a `_HEMISPHERE_CONFIG` (CHemisphereCfg): read for a SET, filled by a GET
 * \retval E_SX_SUCCESS done; a GET's record is in payload
 * \retval E_SXERR_INVALID_ACTION another action
 * \retval E_SXERR_INVALID_PARAMS payload is null with SET or GET
 * \sensorcheck
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_sns_hemisphere(void* ctx, void* dev, int sensor, SX_ACTION action,
                                      struct _HEMISPHERE_CONFIG* payload);
/** Reads or sets a sensor's increment thresholds: ::CMD_INCREMENT with `arg1` = sensor. GET reads it into payload, SET
 * sends payload, RESET restores the default (payload unused).
 * \ctxdev
 * \param sensor 0 to 16; negative: every sensor (SET and RESET only)
 * \param action ::CMD_ACTION_SET, ::CMD_ACTION_GET or ::CMD_ACTION_RESET
 * \param payload an `_INCREMENT_CONFIG` (CIncrementCfg): read for a SET, filled by a GET
 * \retval E_SX_SUCCESS done; a GET's record is in payload
 * \retval E_SXERR_INVALID_ACTION another action
 * \retval E_SXERR_INVALID_PARAMS payload is null with SET or GET
 * \sensorcheck
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_sns_increment(void* ctx, void* dev, int sensor, SX_ACTION action,
                                     struct _INCREMENT_CONFIG* payload);
/** Reads or sets the origin a sensor's position is measured from: ::CMD_SNS_ORIGIN with `arg1` = sensor. GET reads it
 * into payload, SET
 * sends payload, RESET restores the default (payload unused).
 * \ctxdev
 * \param sensor 0 to 16; negative: every sensor (SET and RESET only)
 * \param action ::CMD_ACTION_SET, ::CMD_ACTION_GET or ::CMD_ACTION_RESET
 * \param payload an `_ENUM_CONFIG` holding an ::eSensorOrigin value (CSnsOrigCfg): read for a SET, filled by a GET
 * \retval E_SX_SUCCESS done; a GET's record is in payload
 * \retval E_SXERR_INVALID_ACTION another action
 * \retval E_SXERR_INVALID_PARAMS payload is null with SET or GET
 * \sensorcheck
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_sns_origin(void* ctx, void* dev, int sensor, SX_ACTION action, struct _ENUM_CONFIG* payload);
/** Reads or sets a sensor's prediction filter switches and time: ::CMD_PREDFILTER_CFG with `arg1` = sensor. GET reads
 * it into payload, SET
 * sends payload, RESET restores the default (payload unused).
 * \ctxdev
 * \param sensor 0 to 16; negative: every sensor (SET and RESET only)
 * \param action ::CMD_ACTION_SET, ::CMD_ACTION_GET or ::CMD_ACTION_RESET
 * \param payload a `_PF_CONFIG` (CPredFiltCfg): read for a SET, filled by a GET
 * \retval E_SX_SUCCESS done; a GET's record is in payload
 * \retval E_SXERR_INVALID_ACTION another action
 * \retval E_SXERR_INVALID_PARAMS payload is null with SET or GET
 * \sensorcheck
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_sns_predfilter(void* ctx, void* dev, int sensor, SX_ACTION action, struct _PF_CONFIG* payload);
/** Reads or sets a sensor's prediction filter with its noise profile: ::CMD_PREDFILTER_EXT with `arg1` = sensor. GET
 * reads it into payload, SET
 * sends payload, RESET restores the default (payload unused).
 * \ctxdev
 * \param sensor 0 to 16; negative: every sensor (SET and RESET only)
 * \param action ::CMD_ACTION_SET, ::CMD_ACTION_GET or ::CMD_ACTION_RESET
 * \param payload a `_PF_CONFIG_EXT` (CPredFiltCfgExt): read for a SET, filled by a GET
 * \retval E_SX_SUCCESS done; a GET's record is in payload
 * \retval E_SXERR_INVALID_ACTION another action
 * \retval E_SXERR_INVALID_PARAMS payload is null with SET or GET
 * \sensorcheck
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_sns_predfilterext(void* ctx, void* dev, int sensor, SX_ACTION action,
                                         struct _PF_CONFIG_EXT* payload);
/** Reads or sets which sources a sensor uses: ::CMD_SRC_SELECT with `arg1` = sensor. GET reads it into payload, SET
 * sends payload, RESET restores the default (payload unused).
 * \ctxdev
 * \param sensor 0 to 16; negative: every sensor (SET and RESET only)
 * \param action ::CMD_ACTION_SET, ::CMD_ACTION_GET or ::CMD_ACTION_RESET
 * \param payload a `_SRC_SEL_CONFIG` (CSrcSelectCfg): read for a SET, filled by a GET
 * \retval E_SX_SUCCESS done; a GET's record is in payload
 * \retval E_SXERR_INVALID_ACTION another action
 * \retval E_SXERR_INVALID_PARAMS payload is null with SET or GET
 * \sensorcheck
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_sns_srcselect(void* ctx, void* dev, int sensor, SX_ACTION action,
                                     struct _SRC_SEL_CONFIG* payload);
/** Reads or sets a sensor's tip offset: ::CMD_TIP_OFFSET with `arg1` = sensor. GET reads it into payload, SET
 * sends payload, RESET restores the default (payload unused).
 * \ctxdev
 * \param sensor 0 to 16; negative: every sensor (SET and RESET only)
 * \param action ::CMD_ACTION_SET, ::CMD_ACTION_GET or ::CMD_ACTION_RESET
 * \param payload a `_TIP_OFFSET_CONFIG` (CTipoffCfg): read for a SET, filled by a GET
 * \retval E_SX_SUCCESS done; a GET's record is in payload
 * \retval E_SXERR_INVALID_ACTION another action
 * \retval E_SXERR_INVALID_PARAMS payload is null with SET or GET
 * \sensorcheck
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_sns_tipoffset(void* ctx, void* dev, int sensor, SX_ACTION action,
                                     struct _TIP_OFFSET_CONFIG* payload);
/** Reads or sets a virtual sensor's input: ::CMD_SNS_VIRTUAL with `arg1` = sensor. GET reads it into payload, SET
 * sends payload, RESET restores the default (payload unused).
 * \ctxdev
 * \param sensor 0 to 16; negative: every sensor (SET and RESET only)
 * \param action ::CMD_ACTION_SET, ::CMD_ACTION_GET or ::CMD_ACTION_RESET
 * \param payload a `_VIRTUAL_SNS_CONFIG` (CSnsVirtCfg): read for a SET, filled by a GET
 * \retval E_SX_SUCCESS done; a GET's record is in payload
 * \retval E_SXERR_INVALID_ACTION another action
 * \retval E_SXERR_INVALID_PARAMS payload is null with SET or GET
 * \sensorcheck
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_sns_virtual(void* ctx, void* dev, int sensor, SX_ACTION action,
                                   struct _VIRTUAL_SNS_CONFIG* payload);
/** Reads a sensor's identity: a GET of ::CMD_SENSOR_WHOAMI with `arg1` = sensor.
 * \ctxdev
 * \param sensor 0 to 16
 * \param payload receives the `_WHOAMI_STRUCT` (CWhoAmI)
 * \retval E_SX_SUCCESS the record is in payload
 * \retval E_SXERR_INVALID_PARAMS payload is null
 * \sensorcheck
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_sns_whoami(void* ctx, void* dev, int sensor, struct _WHOAMI_STRUCT* payload);
/** Sends any command to a sensor (`arg1` = sensor), with the sensor checks
 * only; otherwise as sxcmd_dev_generic().
 * \ctxdev
 * \param sensor 0 to 16; negative: every sensor (not with GET)
 * \param action an ::eCmdActions value
 * \param command an ::eSorixCmds value
 * \param payload the record to send (SET) or the buffer to fill (GET); may be null
 * \param length the bytes of payload
 * \param arg2 the command's `arg2` word
 * \retval E_SX_SUCCESS the tracker answered (ACK or NAK warning)
 * \retval E_SXERR_INVALID_PARAMS the frame would not fit the transmit buffer; nothing is sent
 * \sensorcheck
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_sns_generic(void* ctx, void* dev, int sensor, int action, int command, void* payload,
                                   unsigned length, int arg2);
/** @} */

/* ---- P&O access ---------------------------------------------------------- */

/** \addtogroup sx_pno_access
 * @{ */

/** Asks for one P&O record: a GET of ::CMD_SINGLE_PNO. On success out points
 * at the answer's payload, the P&O body from `seuid` on (decode it with
 * CSXSeuPno::Extractseupno()), in the device's store; the other fields are 0.
 * \ctxdev
 * \param out receives the record (from C: a pointer); unchanged on failure
 * \param arg2 the command's `arg2` word
 * \retval E_SX_SUCCESS out describes the P&O body
 * \retval E_SXERR_INVALID_PARAMS out is null (from C)
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_CAPI int sxcmd_dev_singlepno(void* ctx, void* dev, SX_REF(struct _sxFrameInfo) out, int arg2);
/** Takes the oldest queued P&O frame, in body form: `pFrame` 8 bytes into the
 * frame (from `seuid` on), `frameLen` its `size` - 4 (without the CRC);
 * `seqNum`, `errCode` and `timeStamp` as queued. The bytes stay in the
 * device's store, readable until about 15.5 MB more frames have arrived or
 * the device is released.
 * \ctxdev
 * \param out receives the record; an empty record (all zero) on failure
 * \retval E_SX_SUCCESS out describes the frame, which has left the queue
 * \retval E_SXERR_INVALID_PARAMS out is null
 * \retval E_CTXERR_NO_MORE_DATA the queue is empty
 * \ctxcheck
 * \thread Any application thread. */
SXCMDIF_CAPI int sxctx_dev_fifopnof(void* ctx, void* dev, struct _sxFrameInfo* out);
/** Takes the oldest queued P&O frame, whole (preamble to CRC): as
 * sxctx_dev_fifopnof() in raw form.
 * \ctxdev
 * \param out receives the record; an empty record (all zero) on failure
 * \retval E_SX_SUCCESS out describes the frame, which has left the queue
 * \retval E_SXERR_INVALID_PARAMS out is null
 * \retval E_CTXERR_NO_MORE_DATA the queue is empty
 * \ctxcheck
 * \thread Any application thread. */
SXCMDIF_CAPI int sxctx_dev_fifopnofraw(void* ctx, void* dev, struct _sxFrameInfo* out);
/** Takes the newest queued P&O frame in body form (see sxctx_dev_fifopnof())
 * and discards all older ones: the queue is empty afterwards.
 * \ctxdev
 * \param out receives the record; an empty record (all zero) on failure
 * \retval E_SX_SUCCESS out describes the frame
 * \retval E_SXERR_INVALID_PARAMS out is null
 * \retval E_CTXERR_NO_MORE_DATA the queue is empty
 * \ctxcheck
 * \thread Any application thread. */
SXCMDIF_CAPI int sxctx_dev_lastpnof(void* ctx, void* dev, struct _sxFrameInfo* out);
/** Takes the newest queued P&O frame whole and discards all older ones.
 * \ctxdev
 * \param out receives the record; an empty record (all zero) on failure
 * \retval E_SX_SUCCESS out describes the frame
 * \retval E_SXERR_INVALID_PARAMS out is null
 * \retval E_CTXERR_NO_MORE_DATA the queue is empty
 * \ctxcheck
 * \thread Any application thread. */
SXCMDIF_CAPI int sxctx_dev_lastpnofraw(void* ctx, void* dev, struct _sxFrameInfo* out);
/** Copies as many whole raw frames as fit, oldest first and back to back,
 * into the caller's buffer and takes them from the queue. The run ends
 * early where the device's store starts again at its front.
 * \ctxdev
 * \param frames in: the most frames wanted; out: the frames copied
 * \param buffer points at the caller's buffer pointer
 * \param length in: the buffer's size in bytes; out: the bytes written (0 with an empty queue)
 * \retval E_SX_SUCCESS copied (nothing with an empty queue)
 * \retval E_SXERR_INVALID_PARAMS frames, buffer, *buffer or length is null, or *length is 0 or less
 * \retval E_SXERR_BUF_TOO_SMALL the oldest frame alone does not fit; nothing is taken
 * \ctxcheck
 * \thread Any application thread. */
SXCMDIF_CAPI int sxctx_dev_fifo_readrawbuf(void* ctx, void* dev, unsigned* frames, unsigned char** buffer, int* length);
/** Counts the queued P&O frames and their bytes; nothing is taken.
 * \ctxdev
 * \param frames receives the number of queued frames (at most 1920)
 * \param bytes receives their total length
 * \retval E_SX_SUCCESS both are set
 * \retval E_SXERR_INVALID_PARAMS frames or bytes is null
 * \ctxcheck
 * \thread Any application thread. */
SXCMDIF_CAPI int sxctx_dev_fifo_unread_count(void* ctx, void* dev, unsigned* frames, int* bytes);
/** Empties the P&O queue and restarts its counters: the next frame gets
 * `seqNum` 1 and no lost-frame count.
 * \ctxdev
 * \retval E_SX_SUCCESS done
 * \ctxcheck
 * \thread Any application thread. */
SXCMDIF_CAPI int sxctx_dev_resetpnocounters(void* ctx, void* dev);
/** Installs the P&O callback: from the next frame on, every P&O frame that
 * passes the receive checks goes to callback on the reading thread instead
 * of the queue (frames already queued stay queued). A null callback sends
 * frames to the queue again. Once this returns, the previous callback has
 * finished and is not called again; it may be called from inside a callback.
 * \ctxdev
 * \param callback the function, or null
 * \param arg its first argument
 * \retval E_SX_SUCCESS installed
 * \ctxcheck
 * \thread Any application thread, or the callback itself. */
SXCMDIF_CAPI int sxdev_SetPnoCallback(void* ctx, void* dev, SXPnoCallback callback, void* arg);
/** @} */

/* ---- Reports --------------------------------------------------------------- */

/** \addtogroup sx_reports
 * @{ */

/** Reads the built-in-test result (::CMD_BIT) and hands back its report (CBitResult::Report()).
 * \ctxdev
 * \param text receives the text on success, which lives in the context
 *   until this thread's next report call on it or its release; unchanged on failure
 * \retval E_SX_SUCCESS the text is in *text
 * \retval E_SXERR_INVALID_PARAMS text is null
 * \ctxcheck
 * \exchange
 * \cmdthread Each thread has a text of its own. */
SXCMDIF_CAPI int sxcmd_dev_bit_report(void* ctx, void* dev, const char** text);
/** Reads the built-in-test result (::CMD_BIT) and hands back its report (CBitResult::Report()) (wide form).
 * \ctxdev
 * \param text receives the wide text on success, which lives in the context
 *   until this thread's next report call on it or its release; unchanged on failure
 * \retval E_SX_SUCCESS the text is in *text
 * \retval E_SXERR_INVALID_PARAMS text is null
 * \ctxcheck
 * \exchange
 * \cmdthread Each thread has a text of its own. */
SXCMDIF_CAPI int sxcmd_dev_bit_reportW(void* ctx, void* dev, const wchar_t** text);
/** Reads the unit's identity (::CMD_WHOAMI) and hands back its report (CWhoAmI::Report()). The fresh record also
 * becomes the one sxdev_info() shows.
 * \ctxdev
 * \param text receives the text on success, which lives in the context
 *   until this thread's next report call on it or its release; unchanged on failure
 * \retval E_SX_SUCCESS the text is in *text
 * \retval E_SXERR_INVALID_PARAMS text is null
 * \ctxcheck
 * \exchange
 * \cmdthread Each thread has a text of its own. */
SXCMDIF_CAPI int sxcmd_dev_whoami_report(void* ctx, void* dev, const char** text);
/** Reads the unit's identity (::CMD_WHOAMI) and hands back its report (CWhoAmI::Report()) (wide form). The fresh
 * record also becomes the one sxdev_info() shows.
 * \ctxdev
 * \param text receives the wide text on success, which lives in the context
 *   until this thread's next report call on it or its release; unchanged on failure
 * \retval E_SX_SUCCESS the text is in *text
 * \retval E_SXERR_INVALID_PARAMS text is null
 * \ctxcheck
 * \exchange
 * \cmdthread Each thread has a text of its own. */
SXCMDIF_CAPI int sxcmd_dev_whoami_reportW(void* ctx, void* dev, const wchar_t** text);
/** Reads a source's identity (::CMD_SRC_WHOAMI) and hands back its serial number (CWhoAmI::ReportSnum()).
 * \ctxdev
 * \param source the source number (0 to 3)
 * \param text receives the text on success, which lives in the context
 *   until this thread's next report call on it or its release; unchanged on failure
 * \retval E_SX_SUCCESS the text is in *text
 * \retval E_SXERR_INVALID_PARAMS text is null
 * \ctxcheck
 * \exchange
 * \cmdthread Each thread has a text of its own. */
SXCMDIF_CAPI int sxcmd_dev_sourcewhoami_report(void* ctx, void* dev, int source, const char** text);
/** Reads a source's identity (::CMD_SRC_WHOAMI) and hands back its serial number (CWhoAmI::ReportSnum()) (wide form).
 * \ctxdev
 * \param source the source number (0 to 3)
 * \param text receives the wide text on success, which lives in the context
 *   until this thread's next report call on it or its release; unchanged on failure
 * \retval E_SX_SUCCESS the text is in *text
 * \retval E_SXERR_INVALID_PARAMS text is null
 * \ctxcheck
 * \exchange
 * \cmdthread Each thread has a text of its own. */
SXCMDIF_CAPI int sxcmd_dev_sourcewhoami_reportW(void* ctx, void* dev, int source, const wchar_t** text);
/** Reads a sensor's identity (::CMD_SENSOR_WHOAMI) and hands back its serial number (CWhoAmI::ReportSnum()).
 * \ctxdev
 * \param sensor 0 to 16
 * \param text receives the text on success, which lives in the context
 *   until this thread's next report call on it or its release; unchanged on failure
 * \retval E_SX_SUCCESS the text is in *text
 * \retval E_SXERR_INVALID_PARAMS text is null
 * \sensorcheck
 * \ctxcheck
 * \exchange
 * \cmdthread Each thread has a text of its own. */
SXCMDIF_CAPI int sxcmd_sns_whoami_report(void* ctx, void* dev, int sensor, const char** text);
/** Reads a sensor's identity (::CMD_SENSOR_WHOAMI) and hands back its serial number (CWhoAmI::ReportSnum()) (wide
 * form).
 * \ctxdev
 * \param sensor 0 to 16
 * \param text receives the wide text on success, which lives in the context
 *   until this thread's next report call on it or its release; unchanged on failure
 * \retval E_SX_SUCCESS the text is in *text
 * \retval E_SXERR_INVALID_PARAMS text is null
 * \sensorcheck
 * \ctxcheck
 * \exchange
 * \cmdthread Each thread has a text of its own. */
SXCMDIF_CAPI int sxcmd_sns_whoami_reportW(void* ctx, void* dev, int sensor, const wchar_t** text);
/** @} */

#ifdef __cplusplus
/* ---- Exported under decorated names -------------------------------------- */

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
/** A single P&O request (sxcmd_dev_singlepno()); when its answer is not itself
 * a P&O frame (it is one for a device that answers with the whole frame), waits
 * for the next queued P&O frame and hands it back whole, discarding older
 * queued ones. The wait lasts the device's time-out and does not hold up
 * other commands of the context. C++ only (decorated name).
 * \ingroup sx_pno_access
 * \ctxdev
 * \param out receives the frame; after a failed wait, the single-P&O answer
 * \retval E_SX_SUCCESS out describes the frame
 * \retval E_SXERR_TIMEOUT no P&O frame within the time-out
 * \retval E_CTXERR_INVALID_CONDITION woken without a frame to take
 * \ctxcheck
 * \exchange
 * \returns also the error code attached to the frame taken
 * \cmdthread */
SXCMDIF_API int sxcmd_dev_singlepno_q7p(void* ctx, void* dev, _sxFrameInfo& out);
/** Passes flawed P&O frames on instead of dropping them, with error marks in
 * their `hpinfo` word (::SX_HPINFO_FRAMERR, ::SX_HPINFO_CRCERR,
 * ::SX_HPINFO_SNSERR), and writes the count of frames lost before each frame
 * into its lost-frames field. Off by default. C++ only (decorated name).
 * \ingroup sx_pno_access
 * \ctxdev
 * \param allow true: pass them on
 * \retval E_SX_SUCCESS set
 * \ctxcheck
 * \thread Any application thread. */
SXCMDIF_API int sxdev_pnofrmerr_allow(void* ctx, void* dev, bool allow);
/** Refuses P&O frames with sensor numbers of 16 or more (on by default).
 * C++ only (decorated name).
 * \ingroup sx_pno_access
 * \ctxdev
 * \param validate true: refuse them
 * \retval E_SX_SUCCESS set
 * \ctxcheck
 * \thread Any application thread. */
SXCMDIF_API int sxdev_pnovalidate_sensor(void* ctx, void* dev, bool validate);
/** Sets the `arg1` word of every later sxcmd_dev_contpno() of the context
 * (0 until set), for all its devices; dev is only checked. C++ only
 * (decorated name).
 * \ingroup sx_pno_access
 * \ctxdev
 * \param value the `arg1` word
 * \retval E_SX_SUCCESS set
 * \ctxcheck
 * \thread Any application thread. */
SXCMDIF_API int sxdev_pnousb_buffer(void* ctx, void* dev, uint32_t value);
/** Sends ::CMD_BIT to a sensor (`arg1` = sensor) with any action and a
 * `_BIT_STRUCT` payload, without the catalogue checks (sensor checks only).
 * C++ only (decorated name).
 * \ingroup sx_commands
 * \ctxdev
 * \param sensor 0 to 16; negative: every sensor (not with GET)
 * \param action the action sent
 * \param payload the record to send (SET) or fill (GET); may be null
 * \retval E_SX_SUCCESS the tracker answered (ACK or NAK warning)
 * \sensorcheck
 * \ctxcheck
 * \exchange
 * \cmdthread */
SXCMDIF_API int sxcmd_sns_led(void* ctx, void* dev, int sensor, eCmdActions action, _BIT_STRUCT* payload);
/** Not available: sends nothing. C++ only (decorated name).
 * \ingroup sx_commands
 * \param ctx a context handle of sxcmdif_init()
 * \param dev not used
 * \param sensor not used
 * \param action not used
 * \param pno not used
 * \param method not used
 * \retval E_SXERR_NOT_IMPLEMENTED ctx is live
 * \retval E_SXERR_INVALID_CONTEXT ctx is not a live context
 * \thread Any application thread. */
SXCMDIF_API int sxcmd_sns_ftthome(void* ctx, void* dev, int sensor, eCmdActions action, _PNO* pno,
                                  eFTTHomeMethod method);
#endif

/// \cond SX_INTERNAL
#undef SX_REF
#undef SX_ACTION
/// \endcond
