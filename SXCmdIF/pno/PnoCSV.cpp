// The CSV headers and rows of a P&O frame, and the enhanced rows with their
// spreadsheet statistics.
#include <SXCmdIF/pno/SXseuPno.h>
#include <SXCmdIF/protocol/SXcmd.h>

#include "PnoFormats.h"
#include "PnoSensor.h"

using namespace sxpno;

namespace {

// Converts the noise specification, held in inches, into position units.
constexpr float kInchesToUnits[4] = {1.0f, 1.0f / 12.0f, 2.54f, 0.0254f};

void Header(const _SX_PNO& p, std::string& out, bool bPerFrame, bool bAccel, bool bErrCol)
{
    const bool accel = bAccel && AccelFrame(p);
    if (bPerFrame) {
        out += bErrCol ? fmt::kCsvHdrFrameErr : fmt::kCsvHdrFrame;
        const unsigned count = RecordCount(p);
        for (unsigned k = 0; k < count; ++k) {
            const SensorValues v = ReadSensor(p, k);
            out += fmt::kCsvHdrSep;
            out += fmt::kCsvHdrSensor;
            out += v.quat ? fmt::kCsvHdrOriQ : fmt::kCsvHdrOriEFrame;
            if (accel)
                out += fmt::kCsvHdrAccelFrame;
        }
    } else {
        const SensorValues v = ReadSensor0Units(p);
        out += fmt::kCsvHdrLineLead;
        out += fmt::kCsvHdrSensor;
        out += v.quat ? fmt::kCsvHdrOriQ : fmt::kCsvHdrOriELine;
        if (accel)
            out += fmt::kCsvHdrAccelLine;
    }
}

// Rows of one CSV variant. Simple rows carry no frame, button, distortion or
// aux fields; limit caps the sensors written.
void Rows(const _SX_PNO& p, std::string& out, const fmt::CsvSet& set, bool simple, unsigned limit, bool bPerFrame,
          bool bAccel, bool bErrCol)
{
    const int s = static_cast<int>(p.seuid);
    const int f = static_cast<int>(p.framenum);
    unsigned count = RecordCount(p);
    if (limit < count)
        count = limit;
    if (bPerFrame && !simple) {
        if (bErrCol)
            AppendF(out, fmt::kCsvFrameErr, s, ErrorChar(p), f);
        else
            AppendF(out, fmt::kCsvFrame, s, f);
    }
    for (unsigned k = 0; k < count; ++k) {
        const SensorValues v = ReadSensor(p, k);
        if (bPerFrame) {
            if (simple) {
                AppendF(out, set.frameSensor, v.n, v.pos[0], v.pos[1], v.pos[2]);
            } else {
                out += fmt::kCsvSep;
                if (set.posByUnits) {
                    AppendF(out, set.frameSensor, v.n, v.b0, v.b1, v.distortion, v.aux);
                    AppendF(out, CSXSeuPno::szPosFmtCSV[v.u], v.pos[0], v.pos[1], v.pos[2]);
                } else {
                    AppendF(out, set.frameSensor, v.n, v.b0, v.b1, v.distortion, v.aux, v.pos[0], v.pos[1], v.pos[2]);
                }
            }
            if (v.quat)
                AppendF(out, set.frameOriQ, v.ori[0], v.ori[1], v.ori[2], v.ori[3]);
            else
                AppendF(out, set.frameOriE, v.ori[0], v.ori[1], v.ori[2]);
            if (bAccel && v.accelRec)
                AppendF(out, set.frameAccel, v.accel[0], v.accel[1], v.accel[2], v.accel[3]);
        } else {
            if (simple) {
                AppendF(out, set.lineSensor, v.n, v.pos[0], v.pos[1], v.pos[2]);
            } else if (set.posByUnits) {
                AppendF(out, set.lineSensor, s, f, v.n, v.b0, v.b1, v.distortion, v.aux);
                AppendF(out, CSXSeuPno::szPosFmtCSV[v.u], v.pos[0], v.pos[1], v.pos[2]);
            } else {
                AppendF(out, set.lineSensor, s, f, v.n, v.b0, v.b1, v.distortion, v.aux, v.pos[0], v.pos[1], v.pos[2]);
            }
            if (v.quat)
                AppendF(out, set.lineOriQ, v.ori[0], v.ori[1], v.ori[2], v.ori[3]);
            else
                AppendF(out, set.lineOriE, v.ori[0], v.ori[1], v.ori[2]);
            if (bAccel) {
                if (v.accelRec)
                    AppendF(out, set.lineAccel, v.accel[0], v.accel[1], v.accel[2], v.accel[3]);
                else
                    out += fmt::kCsvNoAccel;
            }
            out += fmt::kCrLf;
        }
    }
}

constexpr unsigned kAll = 16;

} // namespace

void CSXSeuPno::CSVHeader(std::string& out, bool bPerFrame, bool bAccel, bool bErrCol) const
{
    Header(m_pno, out, bPerFrame, bAccel, bErrCol);
}

void CSXSeuPno::CSVHeaderW(std::wstring& out, bool bPerFrame, bool bAccel, bool bErrCol) const
{
    std::string text;
    Header(m_pno, text, bPerFrame, bAccel, bErrCol);
    AppendWide(out, text);
}

void CSXSeuPno::CSVHeaderEnh(std::string& out, bool bZeroBased, bool bDevCol, bool bPerFrame, bool bAccel,
                             bool bErrCol) const
{
    const int o = bZeroBased ? 0 : 1;
    const bool accel = bAccel && AccelFrame(m_pno);
    if (bPerFrame) {
        out += bErrCol ? fmt::kEnhHdrFrameErr : fmt::kEnhHdrFrame;
        const unsigned count = RecordCount(m_pno);
        for (unsigned k = 0; k < count; ++k) {
            const SensorValues v = ReadSensor(m_pno, k);
            const int m = v.n + o;
            AppendF(out, fmt::kEnhHdrSensor, m, m, m, m, m, m, CSXcmd::posunitsstr(v.u, false, true), m, m);
            if (v.quat)
                AppendF(out, fmt::kEnhHdrOriQ, m, m, m, m);
            else
                AppendF(out, fmt::kEnhHdrOriE, m, CSXcmd::oriunitsstr(v.ou, false, true), m, m);
            out += fmt::kEnhHdrSep;
            if (bDevCol)
                AppendF(out, fmt::kEnhHdrDev, m);
            if (accel)
                AppendF(out, fmt::kEnhHdrAccel, m, m, m, m);
        }
    } else {
        const SensorValues v = ReadSensor0Units(m_pno);
        out += fmt::kCsvHdrLineLead;
        AppendF(out, fmt::kEnhHdrLineSensor, CSXcmd::posunitsstr(v.u, false, true));
        out += v.quat ? fmt::kCsvHdrOriQ : fmt::kCsvHdrOriELine;
        if (accel)
            out += fmt::kCsvHdrAccelLine;
    }
}

void CSXSeuPno::CSVReport(std::string& out, bool bPerFrame, bool bAccel, bool bErrCol) const
{
    Rows(m_pno, out, fmt::kCsv, false, kAll, bPerFrame, bAccel, bErrCol);
}

void CSXSeuPno::CSVReportW(std::wstring& out, bool bPerFrame, bool bAccel, bool bErrCol) const
{
    std::string text;
    Rows(m_pno, text, fmt::kCsvW, false, kAll, bPerFrame, bAccel, bErrCol);
    AppendWide(out, text);
}

void CSXSeuPno::CSVReportEP(std::string& out, bool bPerFrame, bool bAccel, bool bErrCol) const
{
    Rows(m_pno, out, fmt::kCsvEP, false, kAll, bPerFrame, bAccel, bErrCol);
}

void CSXSeuPno::CSVReportSimplePno(std::string& out, bool bPerFrame, bool bAccel) const
{
    Rows(m_pno, out, fmt::kCsvSimple, true, kAll, bPerFrame, bAccel, false);
}

void CSXSeuPno::CSVReportSimplePnoEP(std::string& out, int nSensorLimit, bool bPerFrame, bool bAccel) const
{
    const unsigned limit = nSensorLimit > 0 ? static_cast<unsigned>(nSensorLimit) : 0;
    Rows(m_pno, out, fmt::kCsvSimpleEP, true, limit, bPerFrame, bAccel, false);
}

void CSXSeuPno::CSVReportEnh(std::string& out, bool bZeroBased, bool bStats, int nRow, bool bPerFrame, bool bAccel,
                             bool bErrCol) const
{
    const int o = bZeroBased ? 0 : 1;
    const int s = UnitNumber(m_pno.seuid, o);
    const int f = static_cast<int>(m_pno.framenum);
    const unsigned count = RecordCount(m_pno);
    if (!bPerFrame) {
        for (unsigned k = 0; k < count; ++k) {
            const SensorValues v = ReadSensor(m_pno, k);
            AppendF(out, fmt::kCsv.lineSensor, s, f, v.n, v.b0, v.b1, v.distortion, v.aux);
            AppendF(out, szPosFmtCSV[v.u], v.pos[0], v.pos[1], v.pos[2]);
            if (v.quat)
                AppendF(out, fmt::kCsv.lineOriQ, v.ori[0], v.ori[1], v.ori[2], v.ori[3]);
            else
                AppendF(out, fmt::kCsv.lineOriE, v.ori[0], v.ori[1], v.ori[2]);
            if (bAccel) {
                if (v.accelRec)
                    AppendF(out, fmt::kCsv.lineAccel, v.accel[0], v.accel[1], v.accel[2], v.accel[3]);
                else
                    out += fmt::kCsvNoAccel;
            }
            out += fmt::kCrLf;
        }
        return;
    }

    // One line per frame; col counts the spreadsheet columns written so far.
    int col;
    if (bErrCol) {
        AppendF(out, fmt::kEnhFrameErr, s, ErrorChar(m_pno), f);
        col = 3;
    } else {
        AppendF(out, fmt::kEnhFrame, s, f);
        col = 2;
    }
    for (unsigned k = 0; k < count; ++k) {
        const SensorValues v = ReadSensor(m_pno, k);
        const int m = v.n + o;
        AppendF(out, fmt::kCsv.frameSensor, m, v.b0, v.b1, v.distortion, v.aux);
        col += 5;
        const int xCol = col;
        AppendF(out, szPosFmtCSV[v.u], v.pos[0], v.pos[1], v.pos[2]);
        col += 3;
        if (v.quat) {
            AppendF(out, fmt::kCsv.frameOriQ, v.ori[0], v.ori[1], v.ori[2], v.ori[3]);
            col += 4;
        } else {
            AppendF(out, fmt::kCsv.frameOriE, v.ori[0], v.ori[1], v.ori[2]);
            col += 3;
        }
        if (!bStats) {
            out += fmt::kEnhNoStats;
            col += 1;
        } else {
            if (nRow >= 1 && nRow <= 3) {
                const std::string name = ColumnName(xCol + nRow - 1);
                AppendF(out, fmt::kEnhStatLabel[nRow - 1], s, m);
                AppendF(out, fmt::kEnhStatDev, name.c_str(), name.c_str());
            } else if (nRow == 4) {
                AppendF(out, fmt::kEnhStatSpec, CSXcmd::posunitsstr(v.u, false, true),
                        m_fPosSpecRms * kInchesToUnits[v.u]);
            } else if (nRow == 5) {
                // The verdict compares the deviations in rows 2 to 4 of the
                // second stats column with the noise specification in row 5.
                const std::string c = ColumnName(col + 1);
                std::string formula;
                AppendF(formula, fmt::kEnhPassFormula, c.c_str(), c.c_str(), c.c_str(), c.c_str(), c.c_str(),
                        c.c_str());
                AppendF(out, fmt::kEnhStatPass, m, formula.c_str());
            } else {
                out += fmt::kEnhStatNone;
            }
            col += 2;
        }
        if (bAccel && v.accelRec) {
            AppendF(out, fmt::kCsv.frameAccel, v.accel[0], v.accel[1], v.accel[2], v.accel[3]);
            col += 4;
        }
    }
}
