// Every fixed-width text of the P&O reports, in one place. The positions of
// the object's reports take their formats from CSXSeuPno::szPosFmt* by
// position units.
#pragma once

namespace sxpno {
namespace fmt {

// Text report, table layout.
constexpr char kTblFrame[] = "%2d  |%c %07d  ";
constexpr char kTblSensor[] = "|  %2d  ";
constexpr char kTblButtons[] = "%c%c  ";
constexpr char kTblDistortion[] = "%03d  ";
constexpr char kTblAux[] = "%04x  ";
constexpr char kTblPosLead[] = "| ";
constexpr char kTblPosFixed[] = "|  % 7.3f % 7.3f % 7.3f   ";
constexpr char kTblOriQ[] = "|  % 8.4f % 8.4f % 8.4f % 8.4f ";
constexpr char kTblOriE[] = "|  % 8.3f % 8.3f % 8.3f ";
constexpr char kTblAccel[] = " % 8.3f  % 8.3f  % 8.3f  % 8.3f \r\n";
constexpr char kTblNoAccel[] = " No_Accel \r\n";

// Text report, one line per sensor.
constexpr char kLineSensor[] = "%2d  %2d  %09d  ";
constexpr char kLineButtons[] = "%c%c  ";
constexpr char kLinePosFixed[] = "  %- 9.3f %- 9.3f %- 9.3f ";
constexpr char kLineOriQ[] = " %- 8.4f %- 8.4f %- 8.4f %- 8.4f %s";
constexpr char kLineOriE[] = " %- 8.3f %- 8.3f %- 8.3f %s";
constexpr char kLineAccel[] = " %- 8.3f  %- 8.3f  %- 8.3f  %- 8.3f %s";
constexpr char kLineNoAccel[] = "%s";
constexpr char kCrLf[] = "\r\n";

// Header of the text report.
constexpr char kHdrTblFrame[] = "%2d  |  %07d  ";
constexpr char kHdrTblButtons[] = "bb  ";
constexpr char kHdrTblDistortion[] = " d   ";
constexpr char kHdrTblAux[] = " ax   ";
constexpr char kHdrLineLead[] = "SEU Sns  FrameNum  ";
constexpr char kHdrLineButtons[] = "bb  ";
constexpr char kHdrLinePos[] = "  X(%2s).....  Y(%2s).....  Z(%2s)..... ";
constexpr char kHdrLineOriQ[] = " Qw...... Qx...... Qy...... Qz...... ";
constexpr char kHdrLineOriE[] = " Az(%3s). El(%3s). Ro(%3s). ";
constexpr char kHdrLineAccel[] = " a(X)....  a(Y)....  a(Z)....  a(R).... ";
// The wide header's own texts ("%S" of the wide original: a narrow unit text).
constexpr char kHdrWLineButtons[] = "BB  ";
constexpr char kHdrWLinePos[] = "  X(%s).... Y(%s).... Z(%s).... ";

// CSV header.
constexpr char kCsvHdrFrameErr[] = "SEU, FrErr, Frame";
constexpr char kCsvHdrFrame[] = "SEU, Frame";
constexpr char kCsvHdrSep[] = ", ";
constexpr char kCsvHdrSensor[] = "Sensor, btn0, btn1, distortion, aux(hex), X, Y, Z, ";
constexpr char kCsvHdrOriQ[] = "Qw, Qx, Qy, Qz";
constexpr char kCsvHdrOriEFrame[] = "Az, El, Rl,";
constexpr char kCsvHdrOriELine[] = "Az, El, Rl";
constexpr char kCsvHdrAccelFrame[] = ", a(X), a(Y), a(Z), a(R)";
constexpr char kCsvHdrLineLead[] = "SEU, Frame, ";
constexpr char kCsvHdrAccelLine[] = ",aX, aY, aZ, aRng";

// Enhanced CSV header.
constexpr char kEnhHdrFrameErr[] = "SEU, FrErr, Frame, ";
constexpr char kEnhHdrFrame[] = "SEU, Frame, ";
constexpr char kEnhHdrSensor[] = "Sensor%d, btn0_%d, btn1_%d, d%d, aux(hex)_%d, X%d (%s), Y%d, Z%d, ";
constexpr char kEnhHdrOriQ[] = "Qw%d, Qx%d, Qy%d, Qz%d";
constexpr char kEnhHdrOriE[] = "Az%d (%s), El%d, Rl%d,";
constexpr char kEnhHdrSep[] = ", ";
constexpr char kEnhHdrDev[] = "stdev%d ,";
constexpr char kEnhHdrAccel[] = ", a(X)%d, a(Y)%d, a(Z)%d, a(R)%d";
constexpr char kEnhHdrLineSensor[] = "Sensor, btn0, btn1, distortion, aux(hex), X (%s), Y, Z, ";

// CSV rows. A set per variant: frame fields, the sensor fields of the
// per-frame and per-sensor layouts (positions inside them unless the set
// takes the position-unit formats), orientations and accelerations.
struct CsvSet {
    const char* frameSensor; // n, b0, b1, distortion, aux [, x, y, z]
    const char* lineSensor;  // s, f, n, b0, b1, distortion, aux [, x, y, z]
    bool posByUnits;         // positions through szPosFmtCSV[u]
    const char* frameOriQ;
    const char* frameOriE;
    const char* lineOriQ;
    const char* lineOriE;
    const char* frameAccel;
    const char* lineAccel;
};

constexpr char kCsvFrameErr[] = "%3d, %c, %07d";
constexpr char kCsvFrame[] = "%3d, %07d";
constexpr char kCsvSep[] = ", ";
constexpr char kCsvNoAccel[] = ", No_Accel,";

constexpr CsvSet kCsv = {
    "%3d, %c, %c, %d, %x, ",
    "%3d, %07d, %3d, %c, %c, %d, %x, ",
    true,
    "  % 8.4f, % 8.4f, % 8.4f, % 8.4f",
    " % 8.4f, % 8.4f, % 8.4f, ",
    " % 8.4f, % 8.4f, % 8.4f, % 8.4f ",
    " % 8.3f, % 8.3f, % 8.3f, ",
    ", % 8.3f,% 8.3f,% 8.3f,% 8.3f",
    ", % 8.3f,% 8.3f,% 8.3f,% 8.3f ",
};

constexpr CsvSet kCsvW = {
    "%3d, %c, %c, %d, %x, % 7.3f, % 7.3f, % 7.3f, ",
    "%3d, %07d, %3d, %c, %c, %d, %x, % 7.3f, % 7.3f, % 7.3f, ",
    false,
    kCsv.frameOriQ,
    kCsv.frameOriE,
    kCsv.lineOriQ,
    kCsv.lineOriE,
    kCsv.frameAccel,
    kCsv.lineAccel,
};

constexpr CsvSet kCsvEP = {
    "%3d, %c, %c, %d, %x,  % 16.10f,  % 16.10f,  % 16.10f, ",
    "%3d, %07d, %3d, %c, %c, %d, %x, % 10.6f, % 10.6f, % 10.6f, ",
    false,
    "  % 16.10f,  % 16.10f,  % 16.10f,  % 16.10f",
    "  % 16.10f,  % 16.10f,  % 16.10f, ",
    " % 10.6f, % 10.6f, % 10.6f, % 10.6f ",
    " % 10.6f, % 10.6f, % 10.6f, ",
    ", % 16.10f,  % 16.10f,  % 16.10f,  % 16.10f",
    ", % 10.6f,% 10.6f,% 10.6f,% 10.6f ",
};

// The simple rows: sensor number and position only (n, x, y, z).
constexpr CsvSet kCsvSimple = {
    "%3d, % 7.3f, % 7.3f, % 7.3f, ",    "%3d, % 7.3f, % 7.3f, % 7.3f, ", false,
    "  % 8.4f, % 8.4f, % 8.4f, % 8.4f", " % 8.4f, % 8.4f, % 8.4f, ",     " % 8.4f, % 8.4f, % 8.4f, % 8.4f ",
    " % 8.3f, % 8.3f, % 8.3f, ",        ", % 8.3f,% 8.3f,% 8.3f,% 8.3f", ", % 8.3f,% 8.3f,% 8.3f,% 8.3f ",
};

constexpr CsvSet kCsvSimpleEP = {
    "%3d, % 16.10f,  % 16.10f,  % 16.10f, ",
    "%3d, % 10.6f, % 10.6f, % 10.6f, ",
    false,
    "  % 16.10f,  % 16.10f,  % 16.10f,  % 16.10f",
    "  % 16.10f,  % 16.10f,  % 16.10f, ",
    " % 10.6f, % 10.6f, % 10.6f, % 10.6f ",
    " % 10.6f, % 10.6f, % 10.6f, ",
    ", % 16.10f,  % 16.10f,  % 16.10f,  % 16.10f",
    ", % 10.6f,% 10.6f,% 10.6f,% 10.6f ",
};

// Enhanced CSV rows.
constexpr char kEnhFrameErr[] = "%3d, %c, %07d,";
constexpr char kEnhFrame[] = "%3d, %07d,";
constexpr char kEnhStatLabel[3][16] = {" SEU%d X%d:,", " SEU%d Y%d:,", " SEU%d Z%d:,"};
constexpr char kEnhStatDev[] = "=STDEV.P(%s:%s),";
constexpr char kEnhStatSpec[] = " xyz_rms_spec(%s): , %f,";
constexpr char kEnhStatPass[] = "sns %d,%s,";
constexpr char kEnhPassFormula[] = "\"=IF(AND(%s2<%s5,%s3<%s5,%s4<%s5), \"\"PASS\"\" , \"\"FAIL\"\") \"";
constexpr char kEnhStatNone[] = ", , ";
constexpr char kEnhNoStats[] = ", ";

} // namespace fmt
} // namespace sxpno
