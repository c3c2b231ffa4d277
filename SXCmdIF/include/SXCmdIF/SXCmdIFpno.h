/** \file
 * The exported P&O access functions of SXCmdIF: one frame by command, the
 * continuous stream into the device's queue or to a callback, and the
 * receive switches. This header compiles as C and as C++; the functions
 * declared only for C++ carry their parameter types in their exported names. */
#pragma once

#include <SXCmdIF/SXCmdIFdevtypes.h>

/// \cond SX_INTERNAL
#include <SXCmdIF/SXCmdIFdevref.h>
/// \endcond

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

#ifdef __cplusplus
/* ---- Exported under decorated names (C++ only) ---------------------------- */

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
#endif

/// \cond SX_INTERNAL
#undef SX_REF
#undef SX_ACTION
/// \endcond
