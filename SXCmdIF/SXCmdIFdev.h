/* The exported device interface of SXCmdIF: connecting trackers through a
 * context, their commands, P&O access and reports. Every function returns an
 * error code of SXerrors.h (0 success) and checks its context handle first
 * (4), then its device handle (20).
 *
 * Plain-named functions have C linkage; from C, a reference parameter is
 * passed as a pointer (the same at the binary level) and an action as an
 * int. The functions declared only for C++ are exported under names that
 * carry their parameter types. */
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/SXerrors.h>

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

/* Called on the transport's reading thread with every P&O frame that passes
 * the receive checks; frame is valid only during the call. */
typedef void (*SXPnoCallback)(void* arg, unsigned char* frame, unsigned int length);

/* ---- Connection and registry ------------------------------------------ */

/* Connects the first tracker with this USB product id. */
SXCMDIF_CAPI int sxctx_connectusb(void* ctx, SX_REF(void*) dev, uint16_t pid);
/* Connects a tracker on serial port `port` (0 or less: the first port that
 * answers) with the serial configuration word cfg. */
SXCMDIF_CAPI int sxctx_connectser(void* ctx, SX_REF(void*) dev, int port, int cfg);
SXCMDIF_CAPI int sxctx_dev_count(void* ctx, int* count);
SXCMDIF_CAPI int sxctx_dev_release(void* ctx, void* dev);
/* One report line for each device; the text lives in the context until its
 * next report call. */
SXCMDIF_CAPI int sxctx_dev_report(void* ctx, const char** text);
SXCMDIF_CAPI int sxctx_dev_reportW(void* ctx, const wchar_t** text);
/* The unit's identity record (owned by the device) and unit identifier. */
SXCMDIF_CAPI int sxdev_info(void* ctx, void* dev, void** identity, int* seuid);
SXCMDIF_CAPI int sxdev_report(void* ctx, void* dev, const char** text);
SXCMDIF_CAPI int sxdev_reportW(void* ctx, void* dev, const wchar_t** text);
/* Command and P&O wait time-out: 50 ms when useDefault is not 0, else ms. */
SXCMDIF_CAPI int sxdev_timeoutms(void* ctx, void* dev, int useDefault, int ms);
SXCMDIF_CAPI int sxdev_trace(void* ctx, void* dev, int level);
/* Time-stamp queued P&O frames (monotonic clock, nanoseconds). */
SXCMDIF_CAPI int sxdev_tsenable(void* ctx, void* dev, bool on);

/* ---- Device-level commands --------------------------------------------- */

SXCMDIF_CAPI int sxcmd_dev_bit(void* ctx, void* dev, struct _BIT_STRUCT* payload);
/* SET starts continuous P&O output, RESET stops it; fc may be null. */
SXCMDIF_CAPI int sxcmd_dev_contpno(void* ctx, void* dev, SX_ACTION action, int* fc, int arg2);
SXCMDIF_CAPI int sxcmd_dev_dualoutput(void* ctx, void* dev, SX_ACTION action, struct _BINARY_CONFIG* payload);
SXCMDIF_CAPI int sxcmd_dev_framerate(void* ctx, void* dev, SX_ACTION action, struct _FRAMERATE_CONFIG* payload);
SXCMDIF_CAPI int sxcmd_dev_id(void* ctx, void* dev, SX_ACTION action, struct _SEUID_CONFIG* payload);
SXCMDIF_CAPI int sxcmd_dev_oormode(void* ctx, void* dev, SX_ACTION action, struct _BINARY_CONFIG* payload);
SXCMDIF_CAPI int sxcmd_dev_persist(void* ctx, void* dev);
SXCMDIF_CAPI int sxcmd_dev_reset_framecount(void* ctx, void* dev);
SXCMDIF_CAPI int sxcmd_dev_resetblockcfg(void* ctx, void* dev);
SXCMDIF_CAPI int sxcmd_dev_selfcalsave(void* ctx, void* dev, SX_ACTION action);
SXCMDIF_CAPI int sxcmd_dev_selfcalstate(void* ctx, void* dev, SX_ACTION action, struct _SELFCAL_CONFIG* payload);
SXCMDIF_CAPI int sxcmd_dev_serialif(void* ctx, void* dev, SX_ACTION action, struct _SERIAL_CONFIG* payload);
SXCMDIF_CAPI int sxcmd_dev_sourcecfg(void* ctx, void* dev, int source, SX_ACTION action, struct _SRC_CONFIG* payload);
SXCMDIF_CAPI int sxcmd_dev_sourcerot(void* ctx, void* dev, int source, SX_ACTION action,
                                     struct _SRCROT_CONFIG* payload);
SXCMDIF_CAPI int sxcmd_dev_sourcewhoami(void* ctx, void* dev, int source, struct _WHOAMI_STRUCT* payload);
SXCMDIF_CAPI int sxcmd_dev_stationmap(void* ctx, void* dev, struct _STATION_MAP* payload);
SXCMDIF_CAPI int sxcmd_dev_stylusmode(void* ctx, void* dev, SX_ACTION action, struct _STYLUS_CONFIG* payload);
SXCMDIF_CAPI int sxcmd_dev_syncmode(void* ctx, void* dev, SX_ACTION action, struct _BINARY_CONFIG* payload);
SXCMDIF_CAPI int sxcmd_dev_units(void* ctx, void* dev, SX_ACTION action, struct _UNITS_CONFIG* payload);
SXCMDIF_CAPI int sxcmd_dev_whoami(void* ctx, void* dev, struct _WHOAMI_STRUCT* payload);
/* Any command, without the catalogue checks. */
SXCMDIF_CAPI int sxcmd_dev_generic(void* ctx, void* dev, int action, int command, void* payload, unsigned length,
                                   int arg1, int arg2);
/* Any command; the response header comes back through the pointers, and
 * length in and out. */
SXCMDIF_CAPI int sxcmd_dev_generic1(void* ctx, void* dev, int* seuid, int* action, int* command, int* arg1,
                                    int* arg2, unsigned* length, void* payload);

/* ---- Sensor-level commands (sensor 0 to 16; negative: every sensor, not
 * with GET) ---------------------------------------------------------------- */

SXCMDIF_CAPI int sxcmd_sns_boresight(void* ctx, void* dev, int sensor, SX_ACTION action,
                                     struct _BORESIGHT_CONFIG* payload, int arg2);
SXCMDIF_CAPI int sxcmd_sns_filter(void* ctx, void* dev, int sensor, SX_ACTION action, struct _FILTER_CONFIG* payload,
                                  int arg2);
SXCMDIF_CAPI int sxcmd_sns_fttmode(void* ctx, void* dev, int sensor, SX_ACTION action, struct _ENUM_CONFIG* payload);
SXCMDIF_CAPI int sxcmd_sns_hemisphere(void* ctx, void* dev, int sensor, SX_ACTION action,
                                      struct _HEMISPHERE_CONFIG* payload);
SXCMDIF_CAPI int sxcmd_sns_increment(void* ctx, void* dev, int sensor, SX_ACTION action,
                                     struct _INCREMENT_CONFIG* payload);
SXCMDIF_CAPI int sxcmd_sns_origin(void* ctx, void* dev, int sensor, SX_ACTION action, struct _ENUM_CONFIG* payload);
SXCMDIF_CAPI int sxcmd_sns_predfilter(void* ctx, void* dev, int sensor, SX_ACTION action, struct _PF_CONFIG* payload);
SXCMDIF_CAPI int sxcmd_sns_predfilterext(void* ctx, void* dev, int sensor, SX_ACTION action,
                                         struct _PF_CONFIG_EXT* payload);
SXCMDIF_CAPI int sxcmd_sns_srcselect(void* ctx, void* dev, int sensor, SX_ACTION action,
                                     struct _SRC_SEL_CONFIG* payload);
SXCMDIF_CAPI int sxcmd_sns_tipoffset(void* ctx, void* dev, int sensor, SX_ACTION action,
                                     struct _TIP_OFFSET_CONFIG* payload);
SXCMDIF_CAPI int sxcmd_sns_virtual(void* ctx, void* dev, int sensor, SX_ACTION action,
                                   struct _VIRTUAL_SNS_CONFIG* payload);
SXCMDIF_CAPI int sxcmd_sns_whoami(void* ctx, void* dev, int sensor, struct _WHOAMI_STRUCT* payload);
/* Any command to a sensor, with the sensor checks only. */
SXCMDIF_CAPI int sxcmd_sns_generic(void* ctx, void* dev, int sensor, int action, int command, void* payload,
                                   unsigned length, int arg2);

/* ---- P&O access ---------------------------------------------------------- */

/* One P&O record by command: out points at the response's P&O body. */
SXCMDIF_CAPI int sxcmd_dev_singlepno(void* ctx, void* dev, SX_REF(struct _sxFrameInfo) out, int arg2);
/* The oldest (fifo) or newest (last, discarding older ones) queued frame, as
 * the P&O body or the raw frame. The frame stays in the device's store. */
SXCMDIF_CAPI int sxctx_dev_fifopnof(void* ctx, void* dev, struct _sxFrameInfo* out);
SXCMDIF_CAPI int sxctx_dev_fifopnofraw(void* ctx, void* dev, struct _sxFrameInfo* out);
SXCMDIF_CAPI int sxctx_dev_lastpnof(void* ctx, void* dev, struct _sxFrameInfo* out);
SXCMDIF_CAPI int sxctx_dev_lastpnofraw(void* ctx, void* dev, struct _sxFrameInfo* out);
/* Copies as many whole raw frames as fit (at most *frames) into *buffer;
 * *frames and *length come back as taken and written. */
SXCMDIF_CAPI int sxctx_dev_fifo_readrawbuf(void* ctx, void* dev, unsigned* frames, unsigned char** buffer, int* length);
SXCMDIF_CAPI int sxctx_dev_fifo_unread_count(void* ctx, void* dev, unsigned* frames, int* bytes);
SXCMDIF_CAPI int sxctx_dev_resetpnocounters(void* ctx, void* dev);
/* A null callback sends frames to the queue again. */
SXCMDIF_CAPI int sxdev_SetPnoCallback(void* ctx, void* dev, SXPnoCallback callback, void* arg);

/* ---- Reports --------------------------------------------------------------- */

SXCMDIF_CAPI int sxcmd_dev_bit_report(void* ctx, void* dev, const char** text);
SXCMDIF_CAPI int sxcmd_dev_bit_reportW(void* ctx, void* dev, const wchar_t** text);
SXCMDIF_CAPI int sxcmd_dev_whoami_report(void* ctx, void* dev, const char** text);
SXCMDIF_CAPI int sxcmd_dev_whoami_reportW(void* ctx, void* dev, const wchar_t** text);
SXCMDIF_CAPI int sxcmd_dev_sourcewhoami_report(void* ctx, void* dev, int source, const char** text);
SXCMDIF_CAPI int sxcmd_dev_sourcewhoami_reportW(void* ctx, void* dev, int source, const wchar_t** text);
SXCMDIF_CAPI int sxcmd_sns_whoami_report(void* ctx, void* dev, int sensor, const char** text);
SXCMDIF_CAPI int sxcmd_sns_whoami_reportW(void* ctx, void* dev, int sensor, const wchar_t** text);

#ifdef __cplusplus
/* ---- Exported under decorated names -------------------------------------- */

/* Connects a USB tracker as a tag device of the sibling family. */
SXCMDIF_API int sxctx_connectusbtag(void* ctx, void*& dev, uint16_t pid, uint32_t tag);
/* Connects through the sibling family's hub; dev is set to null first. */
SXCMDIF_API int sxctx_connectusb_q7p(void* ctx, void*& dev, uint16_t unused);
/* A single P&O request; when the answer is not itself a P&O frame, the next
 * continuous frame (raw form), or 11 when none comes within the time-out. */
SXCMDIF_API int sxcmd_dev_singlepno_q7p(void* ctx, void* dev, _sxFrameInfo& out);
/* Pass flawed P&O frames on, marked, instead of dropping them. */
SXCMDIF_API int sxdev_pnofrmerr_allow(void* ctx, void* dev, bool allow);
/* Refuse P&O frames with sensor numbers of 16 or more (on by default). */
SXCMDIF_API int sxdev_pnovalidate_sensor(void* ctx, void* dev, bool validate);
/* arg1 of every continuous-P&O command of the context. */
SXCMDIF_API int sxdev_pnousb_buffer(void* ctx, void* dev, uint32_t value);
SXCMDIF_API int sxcmd_sns_led(void* ctx, void* dev, int sensor, eCmdActions action, _BIT_STRUCT* payload);
/* Not available: returns E_SXERR_NOT_IMPLEMENTED. */
SXCMDIF_API int sxcmd_sns_ftthome(void* ctx, void* dev, int sensor, eCmdActions action, _PNO* pno,
                                  eFTTHomeMethod method);
#endif

#undef SX_REF
#undef SX_ACTION
