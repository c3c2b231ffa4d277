// The fixed-width text reports of a P&O frame.
#include <SXCmdIF/pno/SXseuPno.h>
#include <SXCmdIF/protocol/SXcmd.h>

#include "PnoFormats.h"
#include "PnoSensor.h"

using namespace sxpno;

const char* const CSXSeuPno::szPosFmtCSV[4] = {
    " % 7.3f,  % 7.3f,  % 7.3f, ",
    " % 8.5f,  % 8.5f,  % 8.5f, ",
    " % 9.4f,  % 9.4f,  % 9.4f, ",
    " % 9.6f,  % 9.6f,  % 9.6f, ",
};
const char* const CSXSeuPno::szPosFmt[4] = {
    " % 7.3f % 7.3f % 7.3f",
    " % 8.5f % 8.5f % 8.5f",
    " % 9.4f % 9.4f % 9.4f",
    " % 9.6f % 9.6f % 9.6f",
};
const char* const CSXSeuPno::szPosFmtSign[4] = {
    " %- 9.3f %- 9.3f %- 9.3f",
    " %- 10.5f %- 10.5f %- 10.5f",
    " %- 11.4f %- 11.4f %- 11.4f",
    " %- 11.6f %- 11.6f %- 11.6f",
};

namespace {

// How a text report differs from the object's own one.
struct TextStyle {
    bool fixedPos;  // fixed position formats instead of the unit's
    bool headerRow; // table layout: the header row's first field
    bool flagTexts; // table layout: header texts for buttons, distortion, aux
};

constexpr TextStyle kObject = {false, false, false};
constexpr TextStyle kStatic = {true, false, false};

void TableRow(const _SX_PNO& p, std::string& out, bool bZeroBased, bool bAccel, const TextStyle& style)
{
    const int o = bZeroBased ? 0 : 1;
    const int s = UnitNumber(p.seuid, o);
    const int f = static_cast<int>(p.framenum);
    if (style.headerRow)
        AppendF(out, fmt::kHdrTblFrame, s, f);
    else
        AppendF(out, fmt::kTblFrame, s, ErrorChar(p), f);
    const unsigned count = RecordCount(p);
    for (unsigned k = 0; k < count; ++k) {
        const SensorValues v = ReadSensor(p, k);
        AppendF(out, fmt::kTblSensor, v.n + o);
        if (style.flagTexts) {
            out += fmt::kHdrTblButtons;
            out += fmt::kHdrTblDistortion;
            out += fmt::kHdrTblAux;
        } else {
            AppendF(out, fmt::kTblButtons, v.b0, v.b1);
            AppendF(out, fmt::kTblDistortion, v.distortion);
            AppendF(out, fmt::kTblAux, v.aux);
        }
        if (style.fixedPos) {
            AppendF(out, fmt::kTblPosFixed, v.pos[0], v.pos[1], v.pos[2]);
        } else {
            out += fmt::kTblPosLead;
            AppendF(out, CSXSeuPno::szPosFmt[v.u], v.pos[0], v.pos[1], v.pos[2]);
        }
        if (v.quat)
            AppendF(out, fmt::kTblOriQ, v.ori[0], v.ori[1], v.ori[2], v.ori[3]);
        else
            AppendF(out, fmt::kTblOriE, v.ori[0], v.ori[1], v.ori[2]);
        if (bAccel) {
            if (v.accelRec)
                AppendF(out, fmt::kTblAccel, v.accel[0], v.accel[1], v.accel[2], v.accel[3]);
            else
                out += fmt::kTblNoAccel;
        }
    }
}

void SensorLines(const _SX_PNO& p, std::string& out, bool bZeroBased, bool bAccel, bool fixedPos)
{
    const int o = bZeroBased ? 0 : 1;
    const int s = UnitNumber(p.seuid, o);
    const int f = static_cast<int>(p.framenum);
    const char* e = bAccel ? "" : fmt::kCrLf;
    const unsigned count = RecordCount(p);
    for (unsigned k = 0; k < count; ++k) {
        const SensorValues v = ReadSensor(p, k);
        AppendF(out, fmt::kLineSensor, s, v.n + o, f);
        AppendF(out, fmt::kLineButtons, v.b0, v.b1);
        if (fixedPos)
            AppendF(out, fmt::kLinePosFixed, v.pos[0], v.pos[1], v.pos[2]);
        else
            AppendF(out, CSXSeuPno::szPosFmtSign[v.u], v.pos[0], v.pos[1], v.pos[2]);
        if (v.quat)
            AppendF(out, fmt::kLineOriQ, v.ori[0], v.ori[1], v.ori[2], v.ori[3], e);
        else
            AppendF(out, fmt::kLineOriE, v.ori[0], v.ori[1], v.ori[2], e);
        if (bAccel) {
            if (v.accelRec)
                AppendF(out, fmt::kLineAccel, v.accel[0], v.accel[1], v.accel[2], v.accel[3], fmt::kCrLf);
            else
                AppendF(out, fmt::kLineNoAccel, fmt::kCrLf);
        }
    }
}

void TextReport(const _SX_PNO& p, std::string& out, bool bTable, bool bZeroBased, bool bAccel, const TextStyle& style)
{
    if (bTable)
        TableRow(p, out, bZeroBased, bAccel, style);
    else
        SensorLines(p, out, bZeroBased, bAccel, style.fixedPos);
}

// The header line of the per-sensor layout, from record 0's units.
void HeaderLine(const _SX_PNO& p, std::string& out, bool bAccel, bool wide)
{
    const SensorValues v = ReadSensor0Units(p);
    const char* pu = CSXcmd::posunitsstr(v.u, false, true);
    const char* ou = CSXcmd::oriunitsstr(v.ou, false, true);
    out += fmt::kHdrLineLead;
    out += wide ? fmt::kHdrWLineButtons : fmt::kHdrLineButtons;
    AppendF(out, wide ? fmt::kHdrWLinePos : fmt::kHdrLinePos, pu, pu, pu);
    if (v.quat)
        out += fmt::kHdrLineOriQ;
    else
        AppendF(out, fmt::kHdrLineOriE, ou, ou, ou);
    if (bAccel && AccelFrame(p))
        out += fmt::kHdrLineAccel;
}

} // namespace

void CSXSeuPno::Report(std::string& out, bool bTable, bool bZeroBased, bool bAccel) const
{
    TextReport(m_pno, out, bTable, bZeroBased, bAccel, kObject);
}

void CSXSeuPno::Report(const _SX_PNO* pno, std::string& out, bool bTable, bool bZeroBased, bool bAccel)
{
    if (pno)
        TextReport(*pno, out, bTable, bZeroBased, bAccel, kStatic);
}

void CSXSeuPno::ReportW(std::wstring& out, bool bTable, bool bZeroBased, bool bAccel) const
{
    ReportW(&m_pno, out, bTable, bZeroBased, bAccel);
}

void CSXSeuPno::ReportW(const _SX_PNO* pno, std::wstring& out, bool bTable, bool bZeroBased, bool bAccel)
{
    if (!pno)
        return;
    std::string text;
    TextReport(*pno, text, bTable, bZeroBased, bAccel, kStatic);
    AppendWide(out, text);
}

void CSXSeuPno::ReportHdr(std::string& out, bool bTable, bool bZeroBased, bool bAccel) const
{
    if (bTable)
        TableRow(m_pno, out, bZeroBased, bAccel, TextStyle{true, true, true});
    else
        HeaderLine(m_pno, out, bAccel, false);
}

void CSXSeuPno::ReportHdrW(std::wstring& out, bool bTable, bool bZeroBased, bool bAccel) const
{
    std::string text;
    if (bTable)
        TableRow(m_pno, text, bZeroBased, bAccel, TextStyle{true, true, false});
    else
        HeaderLine(m_pno, text, bAccel, true);
    AppendWide(out, text);
}
