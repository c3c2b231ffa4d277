/** \file
 * Whole configurations in one record: the unit's block with all sixteen
 * sensors, one sensor's block, and a view of a sensor block held elsewhere.
 * \ingroup sx_records */
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <cstdint>
#include <string>

/** \addtogroup sx_records
 * @{ */

/** The unit's whole configuration with all sixteen sensors (`_BLOCK_CONFIG`).
 * Accessors and setters take sources 0 to 3 and sensors 0 to 15; an index
 * outside gives a null pointer and a setter given one changes nothing.
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CBlockCfg {
public:
    /** All zero. */
    CBlockCfg() { Init(); }
    /** From a record.
     * \param p the record */
    CBlockCfg(const _BLOCK_CONFIG* p) : cfg(*p) {}
    /** Copies another object. */
    CBlockCfg(const CBlockCfg&) = default;

    /** Copies another object.
     * \returns this object */
    CBlockCfg& operator=(const CBlockCfg&) = default;
    /** Copies a record.
     * \param o the record
     * \returns this object */
    CBlockCfg& operator=(const _BLOCK_CONFIG& o)
    {
        cfg = o;
        return *this;
    }
    /** Compares the unit-level words and the sources by frequency; the sensors take no part. Also for a
     * non-const pointer, which would else compete with the built-in comparison of the converted object.
     * \param o the record
     * \returns true when equal */
    bool operator==(_BLOCK_CONFIG* o) const { return *this == static_cast<const _BLOCK_CONFIG*>(o); }
    /** Compares the unit-level words and the sources by frequency; the sensors take no part.
     * \param o the record
     * \returns true when equal */
    bool operator==(const _BLOCK_CONFIG* o) const;

    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator _BLOCK_CONFIG*() { return &cfg; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator void*() { return &cfg; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    void* TOP() { return &cfg; }

    /** All zero. */
    void Init() { cfg = _BLOCK_CONFIG{}; }
    /** The default record (`Default`). */
    void InitDefault() { cfg = Default; }
    /** Kept for callers: there is nothing to make printable. */
    void MakePrintable() {}
    /** Copies a record; nothing when p is null.
     * \param p the record */
    void Fill(const _BLOCK_CONFIG* p)
    {
        if (p)
            cfg = *p;
    }
    /** The record's size in bytes.
     * \returns sizeof(_BLOCK_CONFIG) */
    ///@{
    uint64_t SZCFG() const { return sizeof(_BLOCK_CONFIG); }
    uint64_t Size() const { return sizeof(_BLOCK_CONFIG); }
    ///@}

    /** The address of a unit-level part, for reading or writing.
     * \returns the address */
    ///@{
    uint32_t* PFrameRate() { return &cfg.frameRate; }
    _UNITS_CONFIG* PUnits() { return &cfg.units; }
    ///@}
    /** The address of source i's record.
     * \param i the source (0 to 3)
     * \returns the address, null for another i */
    _SRC_CONFIG* PSrcCfg(int i) { return IsSource(i) ? &cfg.src[i] : nullptr; }
    /** The address of a unit-level part, for reading or writing.
     * \returns the address */
    ///@{
    int32_t* PSyncMode() { return &cfg.syncMode; }
    _STATION_MAP* PStationMap() { return &cfg.stationMap; }
    uint32_t* PStylusMode() { return &cfg.stylusMode; }
    uint32_t* PSeuID() { return &cfg.seuID; }
    int32_t* PDualOutMode() { return &cfg.dualOutMode; }
    _SERIAL_CONFIG* PSerial() { return &cfg.serial; }
    ///@}
    /** The address of sensor i's record or one of its parts.
     * \param i the sensor (0 to 15)
     * \returns the address, null for another i */
    ///@{
    _SENSOR_CONFIG* PSensorBlock(int i) { return IsSensor(i) ? &cfg.sensor[i] : nullptr; }
    _HEMISPHERE_CONFIG* PHemisphere(int i) { return IsSensor(i) ? &cfg.sensor[i].hemisphere : nullptr; }
    _FILTER_CONFIG* PFilterPos(int i) { return IsSensor(i) ? &cfg.sensor[i].filterPos : nullptr; }
    _FILTER_CONFIG* PFilterOri(int i) { return IsSensor(i) ? &cfg.sensor[i].filterOri : nullptr; }
    _TIP_OFFSET_CONFIG* PTipoff(int i) { return IsSensor(i) ? &cfg.sensor[i].tipoff : nullptr; }
    _INCREMENT_CONFIG* PIncrement(int i) { return IsSensor(i) ? &cfg.sensor[i].increment : nullptr; }
    ///@}

    /** Copies *p into a unit-level part; nothing when p is null.
     * \param p the value */
    ///@{
    void SetFrameRate(const unsigned* p) { Put(PFrameRate(), p); }
    void SetUnits(const _UNITS_CONFIG* p) { Put(PUnits(), p); }
    ///@}
    /** Copies *p into source i's record; nothing when p is null or i out of range.
     * \param i the source (0 to 3)
     * \param p the record */
    void SetSrcCfg(int i, const _SRC_CONFIG* p) { Put(PSrcCfg(i), p); }
    /** Copies *p into a unit-level part; nothing when p is null.
     * \param p the value */
    ///@{
    void SetSyncMode(const int* p) { Put(PSyncMode(), p); }
    void SetStationMap(const _STATION_MAP* p) { Put(PStationMap(), p); }
    void SetStylusMode(const unsigned* p) { Put(PStylusMode(), p); }
    void SetSeuID(const unsigned* p) { Put(PSeuID(), p); }
    void SetDualOutMode(const int* p) { Put(PDualOutMode(), p); }
    void SetSerial(const _SERIAL_CONFIG* p) { Put(PSerial(), p); }
    ///@}
    /** Copies *p into a part of sensor i; nothing when p is null or i out of range.
     * \param i the sensor (0 to 15)
     * \param p the part */
    ///@{
    void SetHemisphere(int i, const _HEMISPHERE_CONFIG* p) { Put(PHemisphere(i), p); }
    void SetFilterPos(int i, const _FILTER_CONFIG* p) { Put(PFilterPos(i), p); }
    void SetFilterOri(int i, const _FILTER_CONFIG* p) { Put(PFilterOri(i), p); }
    void SetTipoff(int i, const _TIP_OFFSET_CONFIG* p) { Put(PTipoff(i), p); }
    void SetIncrement(int i, const _INCREMENT_CONFIG* p) { Put(PIncrement(i), p); }
    ///@}

    /** Appends the record's text report to text: the unit-level settings (ReportSEU()), then every sensor.
     * \rpt */
    ///@{
    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    ///@}
    /** Appends the report of the unit-level settings to text, each by its record class.
     * \rpt */
    ///@{
    void ReportSEU(std::string& text, bool header, bool oneLine) const;
    void ReportSEUW(std::wstring& text, bool header, bool oneLine) const;
    ///@}
    /** Appends the report of the sensors to text: hemisphere, both filters, tip offset and increment of each.
     * \param text receives the report, appended (never cleared)
     * \param detectedOnly only the sensors set in the station map
     * \param header begin each record with its label and indent the fields
     * \param oneLine separate the fields by ", " instead of line ends */
    ///@{
    void ReportSensors(std::string& text, bool detectedOnly, bool header, bool oneLine) const;
    void ReportSensorsW(std::wstring& text, bool detectedOnly, bool header, bool oneLine) const;
    ///@}

    /** The default record. */
    static const _BLOCK_CONFIG Default;

    /** The record. */
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

/** One sensor's whole configuration (`_SENSOR_CONFIG`).
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CSensBlockCfg {
public:
    /** All zero. */
    CSensBlockCfg() { Init(); }
    /** From a record.
     * \param p the record */
    CSensBlockCfg(const _SENSOR_CONFIG* p) : cfg(*p) {}
    /** Copies another object. */
    CSensBlockCfg(const CSensBlockCfg&) = default;

    /** Copies another object.
     * \returns this object */
    CSensBlockCfg& operator=(const CSensBlockCfg&) = default;
    /** Copies a record.
     * \param o the record
     * \returns this object */
    CSensBlockCfg& operator=(const _SENSOR_CONFIG& o)
    {
        cfg = o;
        return *this;
    }
    /** Copies a record; nothing when p is null.
     * \param p the record
     * \returns this object */
    CSensBlockCfg& operator=(const _SENSOR_CONFIG* p)
    {
        Fill(p);
        return *this;
    }
    /** Compares hemisphere, both filters, tip offset and increment. Also for a non-const pointer, which would
     * else compete with the built-in comparison of the converted object.
     * \param o the record
     * \returns true when equal */
    bool operator==(_SENSOR_CONFIG* o) const { return *this == static_cast<const _SENSOR_CONFIG*>(o); }
    /** Compares hemisphere, both filters, tip offset and increment.
     * \param o the record
     * \returns true when equal */
    bool operator==(const _SENSOR_CONFIG* o) const;

    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator _SENSOR_CONFIG*() { return &cfg; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator void*() { return &cfg; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    void* TOP() { return &cfg; }

    /** All zero. */
    void Init() { cfg = _SENSOR_CONFIG{}; }
    /** The default record (`Default`). */
    void InitDefault() { cfg = Default; }
    /** Kept for callers: there is nothing to make printable. */
    void MakePrintable() {}
    /** Copies a record; nothing when p is null.
     * \param p the record */
    void Fill(const _SENSOR_CONFIG* p)
    {
        if (p)
            cfg = *p;
    }
    /** The record's size in bytes.
     * \returns sizeof(_SENSOR_CONFIG) */
    ///@{
    uint64_t SZCFG() const { return sizeof(_SENSOR_CONFIG); }
    uint64_t Size() const { return sizeof(_SENSOR_CONFIG); }
    ///@}

    /** The address of a part, for reading or writing.
     * \returns the address */
    ///@{
    _HEMISPHERE_CONFIG* PHemisphere() { return &cfg.hemisphere; }
    _FILTER_CONFIG* PFilterPos() { return &cfg.filterPos; }
    _FILTER_CONFIG* PFilterOri() { return &cfg.filterOri; }
    _TIP_OFFSET_CONFIG* PTipoff() { return &cfg.tipoff; }
    _INCREMENT_CONFIG* PIncrement() { return &cfg.increment; }
    _SRC_SEL_CONFIG* PSrcSelect() { return &cfg.srcSelect; }
    uint32_t* PSnsOrigin() { return &cfg.snsOrigin; }
    _PF_CONFIG_EXT* PPFExt() { return &cfg.pfExt; }
    ///@}

    /** Copies *p into a part; nothing when p is null.
     * \param p the part */
    ///@{
    void SetHemisphere(const _HEMISPHERE_CONFIG* p);
    void SetFilterPos(const _FILTER_CONFIG* p);
    void SetFilterOri(const _FILTER_CONFIG* p);
    void SetTipoff(const _TIP_OFFSET_CONFIG* p);
    void SetIncrement(const _INCREMENT_CONFIG* p);
    void SetSrcSelect(const _SRC_SEL_CONFIG* p);
    void SetSnsOrigin(const unsigned* p);
    void SetPredFiltExt(const _PF_CONFIG_EXT* p);
    ///@}
    /** Copies the first twelve bytes of the prediction filter; the noise profile stays; nothing when p is null.
     * \param p the record */
    void SetPredFilt(const _PF_CONFIG* p);

    /** Appends the record's text report to text: hemisphere, both filters, tip offset and increment.
     * \rpt */
    ///@{
    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    ///@}

    /** The default record. */
    static const _SENSOR_CONFIG Default;

    /** The record. */
    _SENSOR_CONFIG cfg;
};

/** A view of a sensor record it does not own (which must outlive it). While
 * unbound every operation does nothing, accessors give null, comparisons
 * answer false and the report says "NULL PTR".
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CBlockCfgSens {
public:
    /** Bound to a record, or unbound.
     * \param p the record, or null */
    CBlockCfgSens(_SENSOR_CONFIG* p = nullptr) : pSensor(p) {}
    /** Another view of the same record. */
    CBlockCfgSens(const CBlockCfgSens&) = default;

    /** Copies a record into the bound one.
     * \param o the record
     * \returns this object */
    CBlockCfgSens& operator=(const _SENSOR_CONFIG& o)
    {
        Fill(&o);
        return *this;
    }
    /** Copies the referenced record between two bound views; the bindings stay.
     * \param o the other view
     * \returns this object */
    CBlockCfgSens& operator=(const CBlockCfgSens& o)
    {
        if (pSensor && o.pSensor && pSensor != o.pSensor)
            *pSensor = *o.pSensor;
        return *this;
    }
    /** Compares hemisphere, both filters, tip offset and increment. Also for a non-const pointer, which would
     * else compete with the built-in comparison of the converted object.
     * \param o the record
     * \returns true when equal; false while unbound */
    bool operator==(_SENSOR_CONFIG* o) const { return *this == static_cast<const _SENSOR_CONFIG*>(o); }
    /** Compares hemisphere, both filters, tip offset and increment.
     * \param o the record
     * \returns true when equal; false while unbound or for a null o */
    bool operator==(const _SENSOR_CONFIG* o) const;

    /** The bound record.
     * \returns its address, or null */
    operator _SENSOR_CONFIG*() { return pSensor; }
    /** The bound record.
     * \returns its address, or null */
    operator void*() { return pSensor; }
    /** The bound record.
     * \returns its address, or null */
    void* TOP() { return pSensor; }

    /** Copies a record into the bound one; nothing when p is null.
     * \param p the record */
    void Fill(const _SENSOR_CONFIG* p)
    {
        if (pSensor && p)
            *pSensor = *p;
    }
    /** Zeroes the bound record. */
    void Init()
    {
        if (pSensor)
            *pSensor = _SENSOR_CONFIG{};
    }
    /** Sets the bound record to the default (`Default`). */
    void InitDefault()
    {
        if (pSensor)
            *pSensor = Default;
    }
    /** Kept for callers: there is nothing to make printable. */
    void MakePrintable() {}
    /** The record's size in bytes.
     * \returns sizeof(_SENSOR_CONFIG) */
    uint64_t SZCFG() const { return sizeof(_SENSOR_CONFIG); }

    /** The address of a part of the bound record.
     * \returns the address, or null */
    ///@{
    _HEMISPHERE_CONFIG* Hemisphere() { return pSensor ? &pSensor->hemisphere : nullptr; }
    _FILTER_CONFIG* FilterPos() { return pSensor ? &pSensor->filterPos : nullptr; }
    _FILTER_CONFIG* FilterOri() { return pSensor ? &pSensor->filterOri : nullptr; }
    _TIP_OFFSET_CONFIG* Tipoff() { return pSensor ? &pSensor->tipoff : nullptr; }
    _INCREMENT_CONFIG* Increment() { return pSensor ? &pSensor->increment : nullptr; }
    ///@}

    /** Copies *p into a part of the bound record; nothing when p is null.
     * \param p the part */
    ///@{
    void SetHemisphere(const _HEMISPHERE_CONFIG* p);
    void SetFilterPos(const _FILTER_CONFIG* p);
    void SetFilterOri(const _FILTER_CONFIG* p);
    void SetTipoff(const _TIP_OFFSET_CONFIG* p);
    void SetIncrement(const _INCREMENT_CONFIG* p);
    ///@}

    /** Appends the record's text report to text  of the bound record, as CSensBlockCfg::Report(); "NULL PTR"
     * while unbound.
     * \rpt */
    ///@{
    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    ///@}

    /** The default record. */
    static const _SENSOR_CONFIG Default;

    /** The bound record, or null. */
    _SENSOR_CONFIG* pSensor;
};

/** @} */
