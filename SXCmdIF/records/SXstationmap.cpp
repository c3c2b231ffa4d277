// Station map counts, enabled sensors and reports.
#include <SXCmdIF/records/SXstationmap.h>

#include "ReportText.h"

#include <bitset>

using namespace sxrec;

namespace {
unsigned Bits(unsigned word)
{
    return static_cast<unsigned>(std::bitset<32>(word).count());
}
} // namespace

CStationMap::CStationMap(unsigned word)
{
    cfg.map = word;
    CountDetected();
    enabledCount = sensorCount;
    enabledMap = SensorMap();
}

CStationMap::CStationMap(const _STATION_MAP* p) : CStationMap(p->map)
{
}

CStationMap::CStationMap(const CStationMap& o) : cfg(o.cfg), enabledCount(o.enabledCount), enabledMap(o.enabledMap)
{
    CountDetected();
}

void CStationMap::Init()
{
    cfg.map = 0;
    CountDetected();
    InitEnabled();
}

void CStationMap::InitDefault()
{
    cfg = Default;
    CountDetected();
    InitEnabled();
}

void CStationMap::Fill(unsigned sensorMap, unsigned sourceMap)
{
    Init();
    cfg.map = (sensorMap & 0xFFFFu) | ((sourceMap & 0xFu) << 24);
}

void CStationMap::CountDetected()
{
    sensorCount = Bits(SensorMap());
    sourceCount = Bits(SourceMap());
}

void CStationMap::CountEnabled()
{
    CountDetected();
    enabledCount = Bits(enabledMap & 0xFFFFu);
}

void CStationMap::InitEnabled()
{
    enabledMap = SensorMap();
    CountEnabled();
}

void CStationMap::SetEnabled(unsigned n)
{
    enabledMap &= 1u << (n % 32);
    CountEnabled();
}

void CStationMap::SensorVec(std::vector<int>& v) const
{
    for (int n = 0; n < 16; ++n)
        if (IsDetected(static_cast<unsigned>(n)))
            v.push_back(n);
}

void CStationMap::SourceVec(std::vector<int>& v) const
{
    for (int n = 0; n < 4; ++n)
        if (IsSrcDetected(static_cast<unsigned>(n)))
            v.push_back(n);
}

void CStationMap::Report(std::string& text, bool header, bool oneLine) const
{
    const Look k("STATION_MAP:", header, oneLine);
    Append(text, kReportBuf, "%s%ssensor_map: 0x%02x%s%ssource_map: 0x%01x\r\n", k.lead, k.indent, SensorMap(), k.sep,
           k.indent, SourceMap());
}

void CStationMap::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) { CStationMap::Report(narrow, header, oneLine); });
}

void CStationMap::ReportCounts(std::string& text, bool header, bool oneLine)
{
    CountDetected();
    const Look k("", header, oneLine);
    Append(text, kReportBuf, "%s%s%ssensor count: % 2d%s%ssource count: % 1d\r\n", header ? "STATION_MAP: " : "",
           header ? k.sep : "", k.indent, static_cast<int>(sensorCount), k.sep, k.indent,
           static_cast<int>(sourceCount));
}

void CStationMap::ReportCountsW(std::wstring& text, bool header, bool oneLine)
{
    AppendWidened(text, [&](std::string& narrow) { CStationMap::ReportCounts(narrow, header, oneLine); });
}

void CStationMap::ReportEn(std::string& text, bool header, bool oneLine) const
{
    const Look k("", header, oneLine);
    Append(text, kReportBuf, "%s%s%ssensor_map:  0x%02x%s%ssource_map:  0x%01x%s%senabled_map: 0x%02x\r\n",
           header ? "STATION_MAP: " : "", header ? k.sep : "", k.indent, SensorMap(), k.sep, k.indent, SourceMap(),
           k.sep, k.indent, enabledMap);
}

void CStationMap::ReportEnW(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) { CStationMap::ReportEn(narrow, header, oneLine); });
}
