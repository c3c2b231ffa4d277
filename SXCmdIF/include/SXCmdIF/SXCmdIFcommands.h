/** \file
 * The exported command functions of SXCmdIF: reading, writing and resetting
 * the tracker's configuration items, unit-wide and per sensor, and the
 * generic commands. This header compiles as C and as C++; the functions
 * declared only for C++ carry their parameter types in their exported names. */
#pragma once

#include <SXCmdIF/SXCmdIFdevtypes.h>

/// \cond SX_INTERNAL
#include <SXCmdIF/SXCmdIFdevref.h>
/// \endcond

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
SXCMDIF_CAPI int sxcmd_dev_generic1(void* ctx, void* dev, int* seuid, int* action, int* command, int* arg1, int* arg2,
                                    unsigned* length, void* payload);

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

#ifdef __cplusplus
/* ---- Exported under decorated names (C++ only) ---------------------------- */

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
