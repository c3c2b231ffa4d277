// Whole configurations in one record: the unit's block with all sixteen
// sensors, one sensor's block, and a view of a sensor block held elsewhere.
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <cstdint>
#include <string>

// Accessors and setters take sources 0 to 3 and sensors 0 to 15; an index
// outside gives a null pointer and a setter given one changes nothing.
class SXCMDIF_API CBlockCfg {
public:
    CBlockCfg() { Init(); }
    CBlockCfg(const _BLOCK_CONFIG* p) : cfg(*p) {}
    CBlockCfg(const CBlockCfg&) = default;

    CBlockCfg& operator=(const CBlockCfg&) = default;
    CBlockCfg& operator=(const _BLOCK_CONFIG& o)
    {
        cfg = o;
        return *this;
    }
    // The unit-level words; the sources by frequency; the sensors take no part.
    // Also for a non-const pointer, which would else compete with the
    // built-in comparison of the converted object.
    bool operator==(_BLOCK_CONFIG* o) const { return *this == static_cast<const _BLOCK_CONFIG*>(o); }
    bool operator==(const _BLOCK_CONFIG* o) const;

    operator _BLOCK_CONFIG*() { return &cfg; }
    operator void*() { return &cfg; }
    void* TOP() { return &cfg; }

    void Init() { cfg = _BLOCK_CONFIG{}; }
    void InitDefault() { cfg = Default; }
    void MakePrintable() {}
    void Fill(const _BLOCK_CONFIG* p)
    {
        if (p)
            cfg = *p;
    }
    uint64_t SZCFG() const { return sizeof(_BLOCK_CONFIG); }
    uint64_t Size() const { return sizeof(_BLOCK_CONFIG); }

    uint32_t* PFrameRate() { return &cfg.frameRate; }
    _UNITS_CONFIG* PUnits() { return &cfg.units; }
    _SRC_CONFIG* PSrcCfg(int i) { return IsSource(i) ? &cfg.src[i] : nullptr; }
    int32_t* PSyncMode() { return &cfg.syncMode; }
    _STATION_MAP* PStationMap() { return &cfg.stationMap; }
    uint32_t* PStylusMode() { return &cfg.stylusMode; }
    uint32_t* PSeuID() { return &cfg.seuID; }
    int32_t* PDualOutMode() { return &cfg.dualOutMode; }
    _SERIAL_CONFIG* PSerial() { return &cfg.serial; }
    _SENSOR_CONFIG* PSensorBlock(int i) { return IsSensor(i) ? &cfg.sensor[i] : nullptr; }
    _HEMISPHERE_CONFIG* PHemisphere(int i) { return IsSensor(i) ? &cfg.sensor[i].hemisphere : nullptr; }
    _FILTER_CONFIG* PFilterPos(int i) { return IsSensor(i) ? &cfg.sensor[i].filterPos : nullptr; }
    _FILTER_CONFIG* PFilterOri(int i) { return IsSensor(i) ? &cfg.sensor[i].filterOri : nullptr; }
    _TIP_OFFSET_CONFIG* PTipoff(int i) { return IsSensor(i) ? &cfg.sensor[i].tipoff : nullptr; }
    _INCREMENT_CONFIG* PIncrement(int i) { return IsSensor(i) ? &cfg.sensor[i].increment : nullptr; }

    void SetFrameRate(const unsigned* p) { Put(PFrameRate(), p); }
    void SetUnits(const _UNITS_CONFIG* p) { Put(PUnits(), p); }
    void SetSrcCfg(int i, const _SRC_CONFIG* p) { Put(PSrcCfg(i), p); }
    void SetSyncMode(const int* p) { Put(PSyncMode(), p); }
    void SetStationMap(const _STATION_MAP* p) { Put(PStationMap(), p); }
    void SetStylusMode(const unsigned* p) { Put(PStylusMode(), p); }
    void SetSeuID(const unsigned* p) { Put(PSeuID(), p); }
    void SetDualOutMode(const int* p) { Put(PDualOutMode(), p); }
    void SetSerial(const _SERIAL_CONFIG* p) { Put(PSerial(), p); }
    void SetHemisphere(int i, const _HEMISPHERE_CONFIG* p) { Put(PHemisphere(i), p); }
    void SetFilterPos(int i, const _FILTER_CONFIG* p) { Put(PFilterPos(i), p); }
    void SetFilterOri(int i, const _FILTER_CONFIG* p) { Put(PFilterOri(i), p); }
    void SetTipoff(int i, const _TIP_OFFSET_CONFIG* p) { Put(PTipoff(i), p); }
    void SetIncrement(int i, const _INCREMENT_CONFIG* p) { Put(PIncrement(i), p); }

    // The unit-level settings, then every sensor.
    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    void ReportSEU(std::string& text, bool header, bool oneLine) const;
    void ReportSEUW(std::wstring& text, bool header, bool oneLine) const;
    // detectedOnly: only the sensors set in the station map.
    void ReportSensors(std::string& text, bool detectedOnly, bool header, bool oneLine) const;
    void ReportSensorsW(std::wstring& text, bool detectedOnly, bool header, bool oneLine) const;

    static const _BLOCK_CONFIG Default;

    _BLOCK_CONFIG cfg;

private:
    static bool IsSource(int i) { return i >= 0 && i < 4; }
    static bool IsSensor(int i) { return i >= 0 && i < 16; }
    template <typename T>
    static void Put(T* to, const T* from)
    {
        if (to && from)
            *to = *from;
    }
};

class SXCMDIF_API CSensBlockCfg {
public:
    CSensBlockCfg() { Init(); }
    CSensBlockCfg(const _SENSOR_CONFIG* p) : cfg(*p) {}
    CSensBlockCfg(const CSensBlockCfg&) = default;

    CSensBlockCfg& operator=(const CSensBlockCfg&) = default;
    CSensBlockCfg& operator=(const _SENSOR_CONFIG& o)
    {
        cfg = o;
        return *this;
    }
    CSensBlockCfg& operator=(const _SENSOR_CONFIG* p)
    {
        Fill(p);
        return *this;
    }
    // Hemisphere, both filters, tip offset and increment.
    bool operator==(_SENSOR_CONFIG* o) const { return *this == static_cast<const _SENSOR_CONFIG*>(o); }
    bool operator==(const _SENSOR_CONFIG* o) const;

    operator _SENSOR_CONFIG*() { return &cfg; }
    operator void*() { return &cfg; }
    void* TOP() { return &cfg; }

    void Init() { cfg = _SENSOR_CONFIG{}; }
    void InitDefault() { cfg = Default; }
    void MakePrintable() {}
    void Fill(const _SENSOR_CONFIG* p)
    {
        if (p)
            cfg = *p;
    }
    uint64_t SZCFG() const { return sizeof(_SENSOR_CONFIG); }
    uint64_t Size() const { return sizeof(_SENSOR_CONFIG); }

    _HEMISPHERE_CONFIG* PHemisphere() { return &cfg.hemisphere; }
    _FILTER_CONFIG* PFilterPos() { return &cfg.filterPos; }
    _FILTER_CONFIG* PFilterOri() { return &cfg.filterOri; }
    _TIP_OFFSET_CONFIG* PTipoff() { return &cfg.tipoff; }
    _INCREMENT_CONFIG* PIncrement() { return &cfg.increment; }
    _SRC_SEL_CONFIG* PSrcSelect() { return &cfg.srcSelect; }
    uint32_t* PSnsOrigin() { return &cfg.snsOrigin; }
    _PF_CONFIG_EXT* PPFExt() { return &cfg.pfExt; }

    void SetHemisphere(const _HEMISPHERE_CONFIG* p);
    void SetFilterPos(const _FILTER_CONFIG* p);
    void SetFilterOri(const _FILTER_CONFIG* p);
    void SetTipoff(const _TIP_OFFSET_CONFIG* p);
    void SetIncrement(const _INCREMENT_CONFIG* p);
    void SetSrcSelect(const _SRC_SEL_CONFIG* p);
    void SetSnsOrigin(const unsigned* p);
    void SetPredFiltExt(const _PF_CONFIG_EXT* p);
    // The first twelve bytes of the prediction filter; the noise profile stays.
    void SetPredFilt(const _PF_CONFIG* p);

    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;

    static const _SENSOR_CONFIG Default;

    _SENSOR_CONFIG cfg;
};

// Refers to a sensor record it does not own (which must outlive it). While
// unbound every operation does nothing, accessors give null, comparisons
// answer false and the report says "NULL PTR".
class SXCMDIF_API CBlockCfgSens {
public:
    CBlockCfgSens(_SENSOR_CONFIG* p = nullptr) : pSensor(p) {}
    CBlockCfgSens(const CBlockCfgSens&) = default;

    CBlockCfgSens& operator=(const _SENSOR_CONFIG& o)
    {
        Fill(&o);
        return *this;
    }
    // Copies the referenced record between two bound views; the bindings stay.
    CBlockCfgSens& operator=(const CBlockCfgSens& o)
    {
        if (pSensor && o.pSensor && pSensor != o.pSensor)
            *pSensor = *o.pSensor;
        return *this;
    }
    bool operator==(_SENSOR_CONFIG* o) const { return *this == static_cast<const _SENSOR_CONFIG*>(o); }
    bool operator==(const _SENSOR_CONFIG* o) const;

    operator _SENSOR_CONFIG*() { return pSensor; }
    operator void*() { return pSensor; }
    void* TOP() { return pSensor; }

    void Fill(const _SENSOR_CONFIG* p)
    {
        if (pSensor && p)
            *pSensor = *p;
    }
    void Init()
    {
        if (pSensor)
            *pSensor = _SENSOR_CONFIG{};
    }
    void InitDefault()
    {
        if (pSensor)
            *pSensor = Default;
    }
    void MakePrintable() {}
    uint64_t SZCFG() const { return sizeof(_SENSOR_CONFIG); }

    _HEMISPHERE_CONFIG* Hemisphere() { return pSensor ? &pSensor->hemisphere : nullptr; }
    _FILTER_CONFIG* FilterPos() { return pSensor ? &pSensor->filterPos : nullptr; }
    _FILTER_CONFIG* FilterOri() { return pSensor ? &pSensor->filterOri : nullptr; }
    _TIP_OFFSET_CONFIG* Tipoff() { return pSensor ? &pSensor->tipoff : nullptr; }
    _INCREMENT_CONFIG* Increment() { return pSensor ? &pSensor->increment : nullptr; }

    void SetHemisphere(const _HEMISPHERE_CONFIG* p);
    void SetFilterPos(const _FILTER_CONFIG* p);
    void SetFilterOri(const _FILTER_CONFIG* p);
    void SetTipoff(const _TIP_OFFSET_CONFIG* p);
    void SetIncrement(const _INCREMENT_CONFIG* p);

    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;

    static const _SENSOR_CONFIG Default;

    _SENSOR_CONFIG* pSensor;
};
