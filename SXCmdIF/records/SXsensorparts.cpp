// Increment, boresight, tip offset, source selection, virtual sensor and
// P&O value records.
#include <SXCmdIF/protocol/SXcmd.h>
#include <SXCmdIF/records/SXsensorparts.h>

#include "ReportText.h"

#include <cstring>

using namespace sxrec;

// ---- CIncrementCfg

CIncrementCfg::CIncrementCfg(const float* thresholds)
{
    Init();
    *this = thresholds;
}

CIncrementCfg& CIncrementCfg::operator=(const float* thresholds)
{
    cfg.fPosThresh = thresholds[0];
    cfg.fOriThresh = thresholds[1];
    return *this;
}

bool CIncrementCfg::operator==(const _INCREMENT_CONFIG* o) const
{
    return Near(cfg.fPosThresh, o->fPosThresh) && Near(cfg.fOriThresh, o->fOriThresh);
}

void CIncrementCfg::Fill(bool enabled, float pos, float ori)
{
    cfg.enabled = enabled ? 1u : 0u;
    cfg.fPosThresh = pos;
    cfg.fOriThresh = ori;
}

void CIncrementCfg::Report(std::string& text, bool header, bool oneLine) const
{
    const Look k("INCREMENT_CONFIG:", header, oneLine);
    Append(text, kReportBuf, "%s%senabled:  %d (%s)%s%sfPosThresh: %f %s%s%sfOriThresh: %f %s\r\n", k.lead, k.indent,
           static_cast<int>(cfg.enabled), CSXcmd::binstr(Enabled(), true), k.sep, k.indent, cfg.fPosThresh,
           PosAuto() ? "(AUTO)" : "", k.sep, k.indent, cfg.fOriThresh, OriAuto() ? "(AUTO)" : "");
}

void CIncrementCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) { CIncrementCfg::Report(narrow, header, oneLine); });
}

// ---- CBoresightCfg

CBoresightCfg::CBoresightCfg(unsigned oriUnits, bool resetOrigin)
{
    Init(oriUnits);
    ResetOrigin(resetOrigin);
}

CBoresightCfg::CBoresightCfg(const _BORESIGHT_CONFIG* p)
{
    *this = p;
}

CBoresightCfg::CBoresightCfg(const float* ori)
{
    *this = ori;
}

CBoresightCfg& CBoresightCfg::operator=(const _BORESIGHT_CONFIG* p)
{
    Init(0);
    cfg = *p;
    return *this;
}

CBoresightCfg& CBoresightCfg::operator=(const float* ori)
{
    Init(0);
    Fill(ori);
    return *this;
}

bool CBoresightCfg::operator==(const float* ori) const
{
    for (int i = 0; i < 4; ++i)
        if (!Near(cfg.ori[i], ori[i]))
            return false;
    return true;
}

void CBoresightCfg::Init(unsigned oriUnits)
{
    units = oriUnits;
    // Units beyond the defaults take the Euler one rather than reading past them.
    cfg = Default[oriUnits <= 2 ? oriUnits : 0];
    arg2 = 0;
}

void CBoresightCfg::InitDefault()
{
    cfg = Default[0];
    arg2 = 0;
}

void CBoresightCfg::Fill(float a, float b, float c, float d, bool resetOrigin)
{
    cfg.ori[0] = a;
    cfg.ori[1] = b;
    cfg.ori[2] = c;
    cfg.ori[3] = d;
    ResetOrigin(resetOrigin);
}

void CBoresightCfg::Fill(const float* ori)
{
    std::memcpy(cfg.ori, ori, sizeof cfg.ori);
}

bool CBoresightCfg::Enabled() const
{
    const float w = units == 2 ? 1.0f : 0.0f;
    return cfg.ori[0] != w || cfg.ori[1] != 0.0f || cfg.ori[2] != 0.0f || cfg.ori[3] != 0.0f;
}

void CBoresightCfg::Report(std::string& text, unsigned oriUnits, bool header, bool oneLine) const
{
    const unsigned u = oriUnits == 3 ? units : oriUnits;
    const Look k("BORESIGHT_CONFIG:", header, oneLine);
    const float* o = cfg.ori;
    const char* n = CSXcmd::oriunitsstr(u, false, false);
    if (u == 0 || u == 1)
        Append(text, kReportBuf, "%s%s(x,y,z): (%f, %f, %f) (%s)\r\n", k.lead, k.indent, o[0], o[1], o[2], n);
    else if (u == 2)
        Append(text, kReportBuf, "%s%s(w,x,y,z): (%f, %f, %f, %f) (%s)\r\n", k.lead, k.indent, o[0], o[1], o[2], o[3],
               n);
    else
        Append(text, kReportBuf, "%s%s(%f, %f, %f, %f)\r\n", k.lead, k.indent, o[0], o[1], o[2], o[3]);
}

void CBoresightCfg::ReportW(std::wstring& text, unsigned oriUnits, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) { CBoresightCfg::Report(narrow, oriUnits, header, oneLine); });
}

// ---- CTipoffCfg

bool CTipoffCfg::operator==(const float* xyz) const
{
    return Near(cfg.x, xyz[0]) && Near(cfg.y, xyz[1]) && Near(cfg.z, xyz[2]);
}

void CTipoffCfg::Report(std::string& text, bool header, bool oneLine) const
{
    const Look k("TIP_OFFSET_CONFIG:", header, oneLine);
    Append(text, kReportBuf, "%s%s(x,y,z): (%f, %f, %f)\r\n", k.lead, k.indent, cfg.x, cfg.y, cfg.z);
}

void CTipoffCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) { CTipoffCfg::Report(narrow, header, oneLine); });
}

// ---- CSrcSelectCfg

void CSrcSelectCfg::Report(std::string& text, bool header, bool oneLine) const
{
    const Look k("SRC_SEL_CONFIG:", header, oneLine);
    Append(text, kReportBuf, "%s%sSRC_SEL_MAP: 0x%04x\r\n", k.lead, k.indent, cfg.SRC_SEL_MAP);
}

void CSrcSelectCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) { CSrcSelectCfg::Report(narrow, header, oneLine); });
}

// ---- CSnsVirtCfg

void CSnsVirtCfg::Report(std::string& text, bool header, bool oneLine) const
{
    const Look k("VIRTUAL_SNS_CONFIG:", header, oneLine);
    Append(text, kReportBuf, "%s%sInput1: % 2d\r\n", k.lead, k.indent, static_cast<int>(cfg.Input1));
}

void CSnsVirtCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) { CSnsVirtCfg::Report(narrow, header, oneLine); });
}

// ---- CPnoDataCfg

CPnoDataCfg::CPnoDataCfg(const float* f)
{
    Init();
    *this = f;
}

CPnoDataCfg& CPnoDataCfg::operator=(const float* f)
{
    std::memcpy(&cfg, f, sizeof cfg);
    return *this;
}

bool CPnoDataCfg::operator==(const _PNO* o) const
{
    for (int i = 0; i < 3; ++i)
        if (!Near(cfg.pos[i], o->pos[i]))
            return false;
    for (int i = 0; i < 4; ++i)
        if (!Near(cfg.ori[i], o->ori[i]))
            return false;
    return true;
}

void CPnoDataCfg::Fill(float x, float y, float z, float a, float e, float r)
{
    Init();
    cfg.pos[0] = x;
    cfg.pos[1] = y;
    cfg.pos[2] = z;
    cfg.ori[0] = a;
    cfg.ori[1] = e;
    cfg.ori[2] = r;
    cfg.ori[3] = 0.0f;
}

void CPnoDataCfg::Report(std::string& text, bool header, bool oneLine) const
{
    const Look k("PNODATA:", header, oneLine);
    Append(text, kReportBuf, "%s%s(x,y,z): (%f, %f, %f)%s%s(a,e,r): (%f, %f, %f)\r\n", k.lead, k.indent, cfg.pos[0],
           cfg.pos[1], cfg.pos[2], k.sep, k.indent, cfg.ori[0], cfg.ori[1], cfg.ori[2]);
}

void CPnoDataCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) { CPnoDataCfg::Report(narrow, header, oneLine); });
}
