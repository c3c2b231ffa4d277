// The station map: which sensors and sources the unit detects, with the
// counts and an application's map of enabled sensors beside it.
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <cstdint>
#include <string>
#include <vector>

class SXCMDIF_API CStationMap {
public:
    CStationMap() { Init(); }
    CStationMap(unsigned word);
    CStationMap(const _STATION_MAP* p);
    CStationMap(const CStationMap& o);
    CStationMap& operator=(const CStationMap&) = default;

    // Also for a non-const pointer, which would else compete with the
    // built-in comparison of the converted object.
    bool operator==(_STATION_MAP* o) const { return *this == static_cast<const _STATION_MAP*>(o); }
    bool operator==(const _STATION_MAP* o) const { return cfg.map == o->map; }
    bool operator==(unsigned word) const { return cfg.map == word; }
    operator _STATION_MAP*() { return &cfg; }
    operator void*() { return &cfg; }

    void Init();
    void InitDefault();
    void MakePrintable() {}
    // Sets the map alone; counts and enabled map stay as Init left them.
    void Fill(unsigned sensorMap, unsigned sourceMap);
    uint64_t Size() const { return sizeof(_STATION_MAP); }

    void CountDetected();
    void CountEnabled();
    void InitEnabled();
    // Keeps sensor n alone in the enabled map.
    void SetEnabled(unsigned n);
    unsigned& EnabledMap() { return enabledMap; }

    bool IsDetected(unsigned n) const { return ((SensorMap() >> (n % 32)) & 1u) != 0; }
    bool IsEnabled(unsigned n) const { return (((SensorMap() & enabledMap) >> (n % 32)) & 1u) != 0; }
    bool IsSrcDetected(unsigned n) const { return ((SourceMap() >> (n % 32)) & 1u) != 0; }
    unsigned SensorMap() const { return cfg.map & 0xFFFFu; }
    unsigned SourceMap() const { return (cfg.map >> 24) & 0xFu; }
    unsigned SnsDetectedCount()
    {
        CountDetected();
        return sensorCount;
    }
    // Append the numbers of the detected sensors (sources), lowest first.
    void SensorVec(std::vector<int>& v) const;
    void SourceVec(std::vector<int>& v) const;

    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    void ReportCounts(std::string& text, bool header, bool oneLine);
    void ReportCountsW(std::wstring& text, bool header, bool oneLine);
    void ReportEn(std::string& text, bool header, bool oneLine) const;
    void ReportEnW(std::wstring& text, bool header, bool oneLine) const;

    static const _STATION_MAP Default;

    _STATION_MAP cfg;
    uint32_t sensorCount;
    uint32_t sourceCount;
    uint32_t enabledCount;
    uint32_t enabledMap;
};
