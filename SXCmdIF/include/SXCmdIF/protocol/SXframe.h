/** \file
 * Frame envelope shared by command and P&O frames: preambles, size limits,
 * the command header and the descriptor of a received frame. Every word of a
 * frame is little-endian whatever the host.
 * \ingroup sx_commands */
#pragma once

#include <cstdint>

/** \addtogroup sx_commands
 * @{ */

/** The preamble word whose four bytes, lowest first, are the letters given.
 * \param a the first byte
 * \param b the second byte
 * \param c the third byte
 * \param d the fourth byte
 * \returns the word
 * \thread Any. */
constexpr uint32_t SXPreambleWord(char a, char b, char c, char d)
{
    return static_cast<uint32_t>(static_cast<unsigned char>(a)) |
           static_cast<uint32_t>(static_cast<unsigned char>(b)) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(c)) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(d)) << 24;
}

constexpr uint32_t SX_PREAMBLE_CMD = SXPreambleWord('S', 'X', 'R', 'C'); ///< The tracker's command preamble, "SXRC".
constexpr uint32_t SX_PREAMBLE_PNO = SXPreambleWord('S', 'X', 'R', 'P'); ///< The tracker's P&O preamble, "SXRP".
constexpr uint32_t Q7_PREAMBLE_CMD = SXPreambleWord('Q', '7', 'B', 'C'); ///< The tag device's command preamble, "Q7BC".
constexpr uint32_t Q7_PREAMBLE_PNO = SXPreambleWord('Q', '7', 'B', 'P'); ///< The tag device's P&O preamble, "Q7BP".

constexpr uint32_t SX_OFF_PREAMBLE = 0;     ///< Byte offset of the `preamble` word (every frame).
constexpr uint32_t SX_OFF_SIZE = 4;         ///< Byte offset of the `size` word (every frame).
constexpr uint32_t SX_OFF_SEUID = 8;        ///< Byte offset of the `seuid` word (every frame).
constexpr uint32_t SX_OFF_CMD = 12;         ///< Byte offset of a command frame's `cmd` word.
constexpr uint32_t SX_OFF_ACTION = 16;      ///< Byte offset of a command frame's `action` word.
constexpr uint32_t SX_OFF_ARG1 = 20;        ///< Byte offset of a command frame's `arg1` word.
constexpr uint32_t SX_OFF_ARG2 = 24;        ///< Byte offset of a command frame's `arg2` word.
constexpr uint32_t SX_OFF_CMD_PAYLOAD = 28; ///< Byte offset of a command frame's payload.
constexpr uint32_t SX_OFF_FRAMENUM = 12;    ///< Byte offset of a P&O frame's `framenum` word.
constexpr uint32_t SX_OFF_HPINFO = 16;      ///< Byte offset of a P&O frame's `hpinfo` word.
constexpr uint32_t SX_OFF_SNSCNT = 20;      ///< Byte offset of a P&O frame's `snscnt` word.
constexpr uint32_t SX_OFF_PNO_DATA = 24;    ///< Byte offset of a P&O frame's first sensor record.

constexpr uint32_t SX_FRAME_ENVELOPE_LEN = 8;     ///< The preamble and size words, which precede what `size` counts.
constexpr uint32_t SX_CMD_HDR_LEN = 28;           ///< Bytes of a command frame's header (`_SEUCMD_HDR`).
constexpr uint32_t SX_CRC_LEN = 4;                ///< Bytes of the CRC word that ends every frame.
constexpr uint32_t SX_CMD_SIZE_MIN = 24;          ///< Smallest `size` of a command frame.
constexpr uint32_t SX_CMD_SIZE_MAX = 0xFFFFFFF7u; ///< Largest `size` of a command frame.
constexpr uint32_t SX_PNO_SIZE_MIN = 20;          ///< Smallest `size` of a P&O frame (no sensor).
constexpr uint32_t SX_PNO_SIZE_MAX = 532;         ///< Largest `size` of a P&O frame (16 sensors).
constexpr uint32_t SX_PNO_SENSORS_MAX = 16;       ///< Most sensor records in a P&O frame.
constexpr uint32_t SX_PNO_SENSOR_LEN = 32;        ///< Bytes of one sensor record.
/** Longest P&O frame: 16 sensor records. */
constexpr uint32_t SX_PNO_FRAME_MAX = SX_PNO_SIZE_MAX + SX_FRAME_ENVELOPE_LEN;

constexpr uint32_t SX_FRAME_MARKER = 0xFFFFFFFFu; ///< What the frame readers give for a field the frame does not have.

constexpr uint32_t SX_HPINFO_FRAMERR = 0x100; ///< `hpinfo` mark of a passed-on P&O frame with a wrong preamble or size.
constexpr uint32_t SX_HPINFO_CRCERR = 0x200;  ///< `hpinfo` mark of a passed-on P&O frame whose CRC failed.
constexpr uint32_t SX_HPINFO_SNSERR = 0x400;  ///< `hpinfo` mark of a passed-on P&O frame with bad sensor numbers.

/** The 28-byte header of a command frame, word for word. */
struct _SEUCMD_HDR {
    uint32_t preamble; ///< "SXRC" (::SX_PREAMBLE_CMD), or the tag device's.
    uint32_t size;     ///< Bytes after this word, CRC included: 24 + payload.
    uint32_t seuid;    ///< The unit identifier.
    uint32_t cmd;      ///< An ::eSorixCmds code.
    uint32_t action;   ///< An ::eCmdActions value.
    uint32_t arg1;     ///< The sensor number of a sensor-level command; else the command's own.
    uint32_t arg2;     ///< The command's own second argument.
};
/** @} */

/** \addtogroup sx_pno_access
 * @{ */
/** One received frame, as the P&O functions hand it out. The bytes belong
 * to whoever filled the record (the device's store, for the exports). */
struct _sxFrameInfo {
    unsigned char* pFrame; ///< The frame's bytes (or its P&O body), not owned.
    uint32_t frameLen;     ///< Their length.
    uint32_t seqNum;       ///< P&O queue sequence number (1 for the first frame after a reset), else 0.
    int32_t errCode;       ///< Error the device attached to the frame, 0 if good.
    uint64_t timeStamp;    ///< Receive time (monotonic clock, ns) when time stamping is on (sxdev_tsenable()), else 0.
};

/** @} */
