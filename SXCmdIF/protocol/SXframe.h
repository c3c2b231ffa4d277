// Frame envelope shared by command and P&O frames: preambles, size limits,
// the command header and the descriptor of a received frame. Every word of a
// frame is little-endian whatever the host.
#pragma once

#include <cstdint>

// The preamble word whose four bytes, lowest first, are the letters given.
constexpr uint32_t SXPreambleWord(char a, char b, char c, char d)
{
    return static_cast<uint32_t>(static_cast<unsigned char>(a)) |
           static_cast<uint32_t>(static_cast<unsigned char>(b)) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(c)) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(d)) << 24;
}

// The tracker: "SXRC" commands, "SXRP" P&O frames.
constexpr uint32_t SX_PREAMBLE_CMD = SXPreambleWord('S', 'X', 'R', 'C');
constexpr uint32_t SX_PREAMBLE_PNO = SXPreambleWord('S', 'X', 'R', 'P');
// Tag device of the sibling family: "Q7BC" and "Q7BP".
constexpr uint32_t Q7_PREAMBLE_CMD = SXPreambleWord('Q', '7', 'B', 'C');
constexpr uint32_t Q7_PREAMBLE_PNO = SXPreambleWord('Q', '7', 'B', 'P');

// Byte offsets of the envelope words.
constexpr uint32_t SX_OFF_PREAMBLE = 0;
constexpr uint32_t SX_OFF_SIZE = 4;
constexpr uint32_t SX_OFF_SEUID = 8;
// Command frame words after the envelope.
constexpr uint32_t SX_OFF_CMD = 12;
constexpr uint32_t SX_OFF_ACTION = 16;
constexpr uint32_t SX_OFF_ARG1 = 20;
constexpr uint32_t SX_OFF_ARG2 = 24;
constexpr uint32_t SX_OFF_CMD_PAYLOAD = 28;
// P&O frame words after the envelope.
constexpr uint32_t SX_OFF_FRAMENUM = 12;
constexpr uint32_t SX_OFF_HPINFO = 16;
constexpr uint32_t SX_OFF_SNSCNT = 20;
constexpr uint32_t SX_OFF_PNO_DATA = 24;

// The preamble and size words precede what `size` counts.
constexpr uint32_t SX_FRAME_ENVELOPE_LEN = 8;
constexpr uint32_t SX_CMD_HDR_LEN = 28;
constexpr uint32_t SX_CRC_LEN = 4;
// Limits of the `size` word.
constexpr uint32_t SX_CMD_SIZE_MIN = 24;
constexpr uint32_t SX_CMD_SIZE_MAX = 0xFFFFFFF7u;
constexpr uint32_t SX_PNO_SIZE_MIN = 20;
constexpr uint32_t SX_PNO_SIZE_MAX = 532;
constexpr uint32_t SX_PNO_SENSORS_MAX = 16;
constexpr uint32_t SX_PNO_SENSOR_LEN = 32;
// Longest P&O frame: 16 sensor records.
constexpr uint32_t SX_PNO_FRAME_MAX = SX_PNO_SIZE_MAX + SX_FRAME_ENVELOPE_LEN;

// What the frame readers give for a field the frame does not have.
constexpr uint32_t SX_FRAME_MARKER = 0xFFFFFFFFu;

// Error marks written into `hpinfo` of a flawed P&O frame that is passed on.
constexpr uint32_t SX_HPINFO_FRAMERR = 0x100;
constexpr uint32_t SX_HPINFO_CRCERR = 0x200;
constexpr uint32_t SX_HPINFO_SNSERR = 0x400;

// The 28-byte header of a command frame, word for word.
struct _SEUCMD_HDR {
    uint32_t preamble;
    uint32_t size; // bytes after this word, CRC included: 24 + payload
    uint32_t seuid;
    uint32_t cmd;
    uint32_t action;
    uint32_t arg1; // the sensor number of a sensor-level command
    uint32_t arg2;
};

// One received frame. The bytes belong to whoever filled the record.
struct _sxFrameInfo {
    unsigned char* pFrame;
    uint32_t frameLen;
    uint32_t seqNum;    // P&O queue sequence number, else 0
    int32_t errCode;    // error the device attached to the frame, 0 if good
    uint64_t timeStamp; // receive time stamp when time stamping is on
};
