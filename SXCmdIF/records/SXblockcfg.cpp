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
#include "SpelledReports.h"

using namespace sxrec;

namespace {

// Hemisphere, orientation filter, position filter, tip offset, increment;
// false at the first difference.
bool SameSensor(const _SENSOR_CONFIG& a, const _SENSOR_CONFIG& b)
{
    return CHemisphereCfg(&a.hemisphere) == &b.hemisphere && CFilterCfg(&a.filterOri) == CFilterCfg(&b.filterOri) &&
           CFilterCfg(&a.filterPos) == CFilterCfg(&b.filterPos) && Near(a.tipoff.x, b.tipoff.x) &&
           Near(a.tipoff.y, b.tipoff.y) && Near(a.tipoff.z, b.tipoff.z) && CIncrementCfg(&a.increment) == &b.increment;
}

// Both filters (named by target under a header), tip offset and increment.
void ReportFilters(std::string& text, const _SENSOR_CONFIG& s, bool header, bool oneLine, Spelling spelling)
{
    if (header)
        text.append(CSXcmd::filtertarstr(FILTER_TRGT_POS)).append(" ");
    ReportFilter(CFilterCfg(&s.filterPos), text, header, oneLine, FILTER_TRGT_MAX, spelling);
    if (header)
        text.append(CSXcmd::filtertarstr(FILTER_TRGT_ORI)).append(" ");
    ReportFilter(CFilterCfg(&s.filterOri), text, header, oneLine, FILTER_TRGT_MAX, spelling);
    CTipoffCfg(&s.tipoff).Report(text, header, oneLine);
    CIncrementCfg(&s.increment).Report(text, header, oneLine);
}

void ReportSensor(std::string& text, const _SENSOR_CONFIG& s, bool header, bool oneLine, Spelling spelling)
{
    ReportHemisphere(CHemisphereCfg(&s.hemisphere), text, header, oneLine, spelling);
    ReportFilters(text, s, header, oneLine, spelling);
}

void SensorLabel(std::string& text, bool oneLine)
{
    Append(text, kReportBuf, "SENSOR_CONFIG: %s", Sep(oneLine));
}

void ReportSEU(const _BLOCK_CONFIG& cfg, std::string& text, bool header, bool oneLine, Spelling spelling)
{
    if (header)
        text.append("BLOCK_CONFIG: ").append(oneLine ? "" : "\r\n");
    CFrameRateCfg(&cfg.frameRate).Report(text, header, oneLine, false);
    CUnitsCfg(&cfg.units).Report(text, header, oneLine, true);
    for (int i = 0; i < 4; ++i) {
        Append(text, kReportBuf, "src %d ", i);
        // Printed in the default units, not the block's.
        ReportSource(CSrcCfg(&cfg.src[i]), text, header, oneLine, spelling);
    }
    CStationMap(&cfg.stationMap).Report(text, header, oneLine);
    CStylusCfg(&cfg.stylusMode).Report(text, header, oneLine);
    CSyncModeCfg(&cfg.syncMode).Report(text, header, oneLine);
    CSeuIDCfg(&cfg.seuID).Report(text, header, oneLine);
    CDualOutputCfg(&cfg.dualOutMode).Report(text, header, oneLine);
    CSerialCfg(&cfg.serial).Report(text, header, oneLine);
}

void ReportSensors(const _BLOCK_CONFIG& cfg, std::string& text, bool detectedOnly, bool header, bool oneLine,
                   Spelling spelling)
{
    for (int n = 0; n < 16; ++n) {
        if (detectedOnly && !((cfg.stationMap.map >> n) & 1u))
            continue;
        if (header)
            Append(text, kReportBuf, "SENSOR_CONFIG[%d]:\r\n", n);
        ReportSensor(text, cfg.sensor[n], header, oneLine, spelling);
    }
}

void ReportSensorBlock(const _SENSOR_CONFIG& cfg, std::string& text, bool header, bool oneLine, Spelling spelling)
{
    if (header)
        SensorLabel(text, oneLine);
    ReportFilters(text, cfg, header, oneLine, spelling);
    CSrcSelectCfg(&cfg.srcSelect).Report(text, header, oneLine);
    CSnsOrigCfg(&cfg.snsOrigin).Report(text, header, oneLine);
    CPredFiltCfgExt(&cfg.pfExt).Report(text, header, oneLine);
}

void ReportSensorView(const _SENSOR_CONFIG* sensor, std::string& text, bool header, bool oneLine, Spelling spelling)
{
    if (header)
        SensorLabel(text, oneLine);
    if (sensor)
        ReportSensor(text, *sensor, header, oneLine, spelling);
    else
        text += "NULL PTR";
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
    return cfg.stationMap.map == o->stationMap.map && cfg.stylusMode == o->stylusMode && cfg.syncMode == o->syncMode &&
           cfg.seuID == o->seuID && cfg.dualOutMode == o->dualOutMode && cfg.serial.sercfg == o->serial.sercfg;
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
    ::ReportSEU(cfg, text, header, oneLine, Spelling::Narrow);
}

void CBlockCfg::ReportSEUW(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) { ::ReportSEU(cfg, narrow, header, oneLine, Spelling::Wide); });
}

void CBlockCfg::ReportSensors(std::string& text, bool detectedOnly, bool header, bool oneLine) const
{
    ::ReportSensors(cfg, text, detectedOnly, header, oneLine, Spelling::Narrow);
}

void CBlockCfg::ReportSensorsW(std::wstring& text, bool detectedOnly, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) {
        ::ReportSensors(cfg, narrow, detectedOnly, header, oneLine, Spelling::Wide);
    });
}

// ---- CSensBlockCfg

bool CSensBlockCfg::operator==(const _SENSOR_CONFIG* o) const
{
    return SameSensor(cfg, *o);
}

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
    ReportSensorBlock(cfg, text, header, oneLine, Spelling::Narrow);
}

void CSensBlockCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) { ReportSensorBlock(cfg, narrow, header, oneLine, Spelling::Wide); });
}

// ---- CBlockCfgSens

bool CBlockCfgSens::operator==(const _SENSOR_CONFIG* o) const
{
    return pSensor && o && SameSensor(*pSensor, *o);
}

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
    ReportSensorView(pSensor, text, header, oneLine, Spelling::Narrow);
}

void CBlockCfgSens::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(text,
                  [&](std::string& narrow) { ReportSensorView(pSensor, narrow, header, oneLine, Spelling::Wide); });
}
