// What the reports read from one sensor record, and the text helpers they
// share.
#pragma once

#include "diag/TextAppend.h"
#include <SXCmdIF/pno/SXpnoRecords.h>

#include <string>

namespace sxpno {

using sxdiag::AppendF;
using sxdiag::AppendWide;

// Records a report visits: a frame never holds more than 16, whatever its
// `snscnt` claims.
inline unsigned int RecordCount(const _SX_PNO& pno)
{
    return pno.snscnt < 16u ? pno.snscnt : 16u;
}

// The unit number a report prints: the 32-bit word plus the offset (1 when
// counting from one), wrapping as a 32-bit number instead of overflowing.
inline int UnitNumber(uint32_t seuid, int offset)
{
    return static_cast<int>(seuid + static_cast<uint32_t>(offset));
}

inline bool AccelFrame(const _SX_PNO& pno)
{
    return (pno.hpinfo & 0x0F) != 0;
}

// The frame's error character: blank without marks, else '0' + marks.
inline int ErrorChar(const _SX_PNO& pno)
{
    const unsigned marks = (pno.hpinfo >> 8) & 0xFF;
    return marks == 0 ? ' ' : static_cast<int>(0x30 + marks);
}

// One record's fields; acceleration records already converted.
struct SensorValues {
    int n;      // sensor number
    int b0, b1; // '1' or '0'
    int distortion;
    unsigned aux;
    unsigned u;  // position units, 0 to 3
    unsigned ou; // orientation units, 0 to 3
    bool quat;
    bool accelRec; // the record is an acceleration record
    float pos[3];
    float ori[4];
    float accel[4];
};

SensorValues ReadSensor(const _SX_PNO& pno, unsigned int k);
// sfinfo fields of record 0, read even when the frame has no records.
SensorValues ReadSensor0Units(const _SX_PNO& pno);

// Spreadsheet column name of a 0-based column index: 0 "A", 25 "Z", 26 "AA".
std::string ColumnName(int index);

} // namespace sxpno
