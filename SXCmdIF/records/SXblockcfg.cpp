// Block records: comparison and the reports that hand each part to the
// class that prints it.
#include <SXCmdIF/protocol/SXcmd.h>
#include <SXCmdIF/records/SXbinenumcfg.h>
#include <SXCmdIF/records/SXblockcfg.h>
#include <SXCmdIF/records/SXfiltercfg.h>
#include <SXCmdIF/records/SXhemispherecfg.h>
#include <SXCmdIF/records/SXpredfiltcfg.h>
#include <SXCmdIF/records/SXsensorparts.h>
#include <SXCmdIF/records/SXsrccfg.h>
#include <SXCmdIF/records/SXstationmap.h>
#include <SXCmdIF/records/SXunitcfg.h>

#include "ReportText.h"

using namespace sxrec;

namespace {

// Hemisphere, orientation filter, position filter, tip offset, increment;
// false at the first difference.
bool SameSensor(const _SENSOR_CONFIG& a, const _SENSOR_CONFIG& b)
{
    return CHemisphereCfg(&a.hemisphere) == &b.hemisphere &&
           CFilterCfg(&a.filterOri) == CFilterCfg(&b.filterOri) &&
           CFilterCfg(&a.filterPos) == CFilterCfg(&b.filterPos) && Near(a.tipoff.x, b.tipoff.x) && Near(a.tipoff.y, b.tipoff.y) &&
           Near(a.tipoff.z, b.tipoff.z) &&
           CIncrementCfg(&a.increment) == &b.increment;
}

// Both filters (named by target under a header), tip offset and increment.
void ReportFilters(std::string& text, const _SENSOR_CONFIG& s, bool header, bool oneLine)
{
    if (header)
        text.append(CSXcmd::filtertarstr(FILTER_TRGT_POS)).append(" ");
    CFilterCfg(&s.filterPos).Report(text, header, oneLine, FILTER_TRGT_MAX);
    if (header)
        text.append(CSXcmd::filtertarstr(FILTER_TRGT_ORI)).append(" ");
    CFilterCfg(&s.filterOri).Report(text, header, oneLine, FILTER_TRGT_MAX);
    CTipoffCfg(&s.tipoff).Report(text, header, oneLine);
    CIncrementCfg(&s.increment).Report(text, header, oneLine);
}

void ReportFiltersW(std::wstring& text, const _SENSOR_CONFIG& s, bool header, bool oneLine)
{
    if (header)
        text.append(CSXcmd::filtertarstrW(FILTER_TRGT_POS)).append(L" ");
    CFilterCfg(&s.filterPos).ReportW(text, header, oneLine, FILTER_TRGT_MAX);
    if (header)
        text.append(CSXcmd::filtertarstrW(FILTER_TRGT_ORI)).append(L" ");
    CFilterCfg(&s.filterOri).ReportW(text, header, oneLine, FILTER_TRGT_MAX);
    CTipoffCfg(&s.tipoff).ReportW(text, header, oneLine);
    CIncrementCfg(&s.increment).ReportW(text, header, oneLine);
}

void ReportSensor(std::string& text, const _SENSOR_CONFIG& s, bool header, bool oneLine)
{
    CHemisphereCfg(&s.hemisphere).Report(text, header, oneLine);
    ReportFilters(text, s, header, oneLine);
}

void ReportSensorW(std::wstring& text, const _SENSOR_CONFIG& s, bool header, bool oneLine)
{
    CHemisphereCfg(&s.hemisphere).ReportW(text, header, oneLine);
    ReportFiltersW(text, s, header, oneLine);
}

void SensorLabel(std::string& text, bool oneLine) { Append(text, kReportBuf, "SENSOR_CONFIG: %s", Sep(oneLine)); }

void SensorLabelW(std::wstring& text, bool oneLine)
{
    AppendW(text, kReportBuf, L"SENSOR_CONFIG: %ls", SepW(oneLine));
}

} // namespace

// ---- CBlockCfg

bool CBlockCfg::operator==(const _BLOCK_CONFIG* o) const
{
    if (cfg.frameRate != o->frameRate || cfg.units.pos_units != o->units.pos_units ||
        cfg.units.ori_units != o->units.ori_units)
        return false;
    for (int i = 0; i < 4; ++i)
        if (cfg.src[i].srcfreq != o->src[i].srcfreq)
            return false;
    return cfg.stationMap.map == o->stationMap.map && cfg.stylusMode == o->stylusMode &&
           cfg.syncMode == o->syncMode && cfg.seuID == o->seuID && cfg.dualOutMode == o->dualOutMode &&
           cfg.serial.sercfg == o->serial.sercfg;
}

void CBlockCfg::Report(std::string& text, bool header, bool oneLine) const
{
    ReportSEU(text, header, oneLine);
    ReportSensors(text, false, header, oneLine);
}

void CBlockCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    ReportSEUW(text, header, oneLine);
    ReportSensorsW(text, false, header, oneLine);
}

void CBlockCfg::ReportSEU(std::string& text, bool header, bool oneLine) const
{
    if (header)
        text.append("BLOCK_CONFIG: ").append(oneLine ? "" : "\r\n");
    CFrameRateCfg(&cfg.frameRate).Report(text, header, oneLine, false);
    CUnitsCfg(&cfg.units).Report(text, header, oneLine, true);
    for (int i = 0; i < 4; ++i) {
        Append(text, kReportBuf, "src %d ", i);
        // Printed in the default units, not the block's.
        CSrcCfg(&cfg.src[i]).Report(text, header, oneLine);
    }
    CStationMap(&cfg.stationMap).Report(text, header, oneLine);
    CStylusCfg(&cfg.stylusMode).Report(text, header, oneLine);
    CSyncModeCfg(&cfg.syncMode).Report(text, header, oneLine);
    CSeuIDCfg(&cfg.seuID).Report(text, header, oneLine);
    CDualOutputCfg(&cfg.dualOutMode).Report(text, header, oneLine);
    CSerialCfg(&cfg.serial).Report(text, header, oneLine);
}

void CBlockCfg::ReportSEUW(std::wstring& text, bool header, bool oneLine) const
{
    if (header)
        text.append(L"BLOCK_CONFIG: ").append(oneLine ? L"" : L"\r\n");
    CFrameRateCfg(&cfg.frameRate).ReportW(text, header, oneLine, false);
    CUnitsCfg(&cfg.units).ReportW(text, header, oneLine);
    for (int i = 0; i < 4; ++i) {
        AppendW(text, kReportBuf, L"src %d ", i);
        CSrcCfg(&cfg.src[i]).ReportW(text, header, oneLine);
    }
    CStationMap(&cfg.stationMap).ReportW(text, header, oneLine);
    CStylusCfg(&cfg.stylusMode).ReportW(text, header, oneLine);
    CSyncModeCfg(&cfg.syncMode).ReportW(text, header, oneLine);
    CSeuIDCfg(&cfg.seuID).ReportW(text, header, oneLine);
    CDualOutputCfg(&cfg.dualOutMode).ReportW(text, header, oneLine);
    CSerialCfg(&cfg.serial).ReportW(text, header, oneLine);
}

void CBlockCfg::ReportSensors(std::string& text, bool detectedOnly, bool header, bool oneLine) const
{
    for (int n = 0; n < 16; ++n) {
        if (detectedOnly && !((cfg.stationMap.map >> n) & 1u))
            continue;
        if (header)
            Append(text, kReportBuf, "SENSOR_CONFIG[%d]:\r\n", n);
        ReportSensor(text, cfg.sensor[n], header, oneLine);
    }
}

void CBlockCfg::ReportSensorsW(std::wstring& text, bool detectedOnly, bool header, bool oneLine) const
{
    for (int n = 0; n < 16; ++n) {
        if (detectedOnly && !((cfg.stationMap.map >> n) & 1u))
            continue;
        if (header)
            AppendW(text, kReportBuf, L"SENSOR_CONFIG[%d]:\r\n", n);
        ReportSensorW(text, cfg.sensor[n], header, oneLine);
    }
}

// ---- CSensBlockCfg

bool CSensBlockCfg::operator==(const _SENSOR_CONFIG* o) const { return SameSensor(cfg, *o); }

void CSensBlockCfg::SetHemisphere(const _HEMISPHERE_CONFIG* p)
{
    if (p)
        cfg.hemisphere = *p;
}
void CSensBlockCfg::SetFilterPos(const _FILTER_CONFIG* p)
{
    if (p)
        cfg.filterPos = *p;
}
void CSensBlockCfg::SetFilterOri(const _FILTER_CONFIG* p)
{
    if (p)
        cfg.filterOri = *p;
}
void CSensBlockCfg::SetTipoff(const _TIP_OFFSET_CONFIG* p)
{
    if (p)
        cfg.tipoff = *p;
}
void CSensBlockCfg::SetIncrement(const _INCREMENT_CONFIG* p)
{
    if (p)
        cfg.increment = *p;
}
void CSensBlockCfg::SetSrcSelect(const _SRC_SEL_CONFIG* p)
{
    if (p)
        cfg.srcSelect = *p;
}
void CSensBlockCfg::SetSnsOrigin(const unsigned* p)
{
    if (p)
        cfg.snsOrigin = *p;
}
void CSensBlockCfg::SetPredFiltExt(const _PF_CONFIG_EXT* p)
{
    if (p)
        cfg.pfExt = *p;
}
void CSensBlockCfg::SetPredFilt(const _PF_CONFIG* p)
{
    if (!p)
        return;
    cfg.pfExt.qFil_on = p->qFil_on;
    cfg.pfExt.pFil_on = p->pFil_on;
    cfg.pfExt.predTime = p->predTime;
}

void CSensBlockCfg::Report(std::string& text, bool header, bool oneLine) const
{
    if (header)
        SensorLabel(text, oneLine);
    ReportFilters(text, cfg, header, oneLine);
    CSrcSelectCfg(&cfg.srcSelect).Report(text, header, oneLine);
    CSnsOrigCfg(&cfg.snsOrigin).Report(text, header, oneLine);
    CPredFiltCfgExt(&cfg.pfExt).Report(text, header, oneLine);
}

void CSensBlockCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    if (header)
        SensorLabelW(text, oneLine);
    ReportFiltersW(text, cfg, header, oneLine);
    CSrcSelectCfg(&cfg.srcSelect).ReportW(text, header, oneLine);
    CSnsOrigCfg(&cfg.snsOrigin).ReportW(text, header, oneLine);
    CPredFiltCfgExt(&cfg.pfExt).ReportW(text, header, oneLine);
}

// ---- CBlockCfgSens

bool CBlockCfgSens::operator==(const _SENSOR_CONFIG* o) const { return pSensor && o && SameSensor(*pSensor, *o); }

void CBlockCfgSens::SetHemisphere(const _HEMISPHERE_CONFIG* p)
{
    if (pSensor && p)
        pSensor->hemisphere = *p;
}
void CBlockCfgSens::SetFilterPos(const _FILTER_CONFIG* p)
{
    if (pSensor && p)
        pSensor->filterPos = *p;
}
void CBlockCfgSens::SetFilterOri(const _FILTER_CONFIG* p)
{
    if (pSensor && p)
        pSensor->filterOri = *p;
}
void CBlockCfgSens::SetTipoff(const _TIP_OFFSET_CONFIG* p)
{
    if (pSensor && p)
        pSensor->tipoff = *p;
}
void CBlockCfgSens::SetIncrement(const _INCREMENT_CONFIG* p)
{
    if (pSensor && p)
        pSensor->increment = *p;
}

void CBlockCfgSens::Report(std::string& text, bool header, bool oneLine) const
{
    if (header)
        SensorLabel(text, oneLine);
    if (pSensor)
        ReportSensor(text, *pSensor, header, oneLine);
    else
        text += "NULL PTR";
}

void CBlockCfgSens::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    if (header)
        SensorLabelW(text, oneLine);
    if (pSensor)
        ReportSensorW(text, *pSensor, header, oneLine);
    else
        text += L"NULL PTR";
}
