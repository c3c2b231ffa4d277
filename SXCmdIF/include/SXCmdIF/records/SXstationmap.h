/** \file
 * The station map: which sensors and sources the unit detects, with the
 * counts and an application's map of enabled sensors beside it.
 * \ingroup sx_records */
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <cstdint>
#include <string>
#include <vector>

/** \addtogroup sx_records
 * @{ */

/** The station map (`_STATION_MAP`): which sensors (bits 0-15) and sources
 * (bits 24-27) the unit detects, with their counts and an application's map of
 * enabled sensors beside it (not part of the record).
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CStationMap {
public:
    /** An empty map. */
    CStationMap() { Init(); }
    /** From a map word; counts it, and every detected sensor is enabled.
     * \param word the map word */
    CStationMap(unsigned word);
    /** From a record, as CStationMap(unsigned).
     * \param p the record */
    CStationMap(const _STATION_MAP* p);
    /** Copies the map and the enabled map, and counts the map again.
     * \param o the object copied */
    CStationMap(const CStationMap& o);
    /** Copies another object.
     * \returns this object */
    CStationMap& operator=(const CStationMap&) = default;

    /** Compares the map word. Also for a non-const pointer, which would else compete with the built-in
     * comparison of the converted object.
     * \param o the record
     * \returns true when equal */
    bool operator==(_STATION_MAP* o) const { return *this == static_cast<const _STATION_MAP*>(o); }
    /** Compares the map word.
     * \param o the record
     * \returns true when equal */
    bool operator==(const _STATION_MAP* o) const { return cfg.map == o->map; }
    /** Compares the map word.
     * \param word the word
     * \returns true when equal */
    bool operator==(unsigned word) const { return cfg.map == word; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator _STATION_MAP*() { return &cfg; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator void*() { return &cfg; }

    /** An empty map, counted, with no sensor enabled. */
    void Init();
    /** The default map (`Default`), counted, every detected sensor enabled. */
    void InitDefault();
    /** Kept for callers: there is nothing to make printable. */
    void MakePrintable() {}
    /** Sets the map alone, after Init(): counts and enabled map stay as Init left them.
     * \param sensorMap bit n: sensor n (16 bits)
     * \param sourceMap bit n: source n (4 bits) */
    void Fill(unsigned sensorMap, unsigned sourceMap);
    /** The record's size in bytes.
     * \returns sizeof(_STATION_MAP) */
    uint64_t Size() const { return sizeof(_STATION_MAP); }

    /** Counts the detected sensors and sources into `sensorCount` and `sourceCount`. */
    void CountDetected();
    /** Counts again, and the enabled sensors into `enabledCount`. */
    void CountEnabled();
    /** Enables every detected sensor and counts. */
    void InitEnabled();
    /** Keeps sensor n alone in the enabled map (when it was enabled) and counts.
     * \param n the sensor number */
    void SetEnabled(unsigned n);
    /** The enabled map, for reading or writing.
     * \returns a reference to `enabledMap` */
    unsigned& EnabledMap() { return enabledMap; }

    /** Whether sensor n is detected.
     * \param n the sensor number (taken modulo 32)
     * \returns true when its bit is set */
    bool IsDetected(unsigned n) const { return ((SensorMap() >> (n % 32)) & 1u) != 0; }
    /** Whether sensor n is detected and enabled.
     * \param n the sensor number (taken modulo 32)
     * \returns true when both bits are set */
    bool IsEnabled(unsigned n) const { return (((SensorMap() & enabledMap) >> (n % 32)) & 1u) != 0; }
    /** Whether source n is detected.
     * \param n the source number (taken modulo 32)
     * \returns true when its bit is set */
    bool IsSrcDetected(unsigned n) const { return ((SourceMap() >> (n % 32)) & 1u) != 0; }
    /** The sensor bits.
     * \returns bits 0-15 of the map */
    unsigned SensorMap() const { return cfg.map & 0xFFFFu; }
    /** The source bits.
     * \returns bits 24-27 of the map, shifted down */
    unsigned SourceMap() const { return (cfg.map >> 24) & 0xFu; }
    /** Counts, then gives the number of detected sensors.
     * \returns the count */
    unsigned SnsDetectedCount()
    {
        CountDetected();
        return sensorCount;
    }
    /** Appends the numbers of the detected sensors (SensorVec) or sources
     * (SourceVec), lowest first.
     * \param v receives the numbers */
    ///@{
    void SensorVec(std::vector<int>& v) const;
    void SourceVec(std::vector<int>& v) const;
    ///@}

    /** Appends the record's text report to text: sensor and source maps in hexadecimal.
     * \rpt */
    ///@{
    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    ///@}
    /** Counts, then appends the sensor and source counts to text.
     * \rpt */
    ///@{
    void ReportCounts(std::string& text, bool header, bool oneLine);
    void ReportCountsW(std::wstring& text, bool header, bool oneLine);
    ///@}
    /** Appends the sensor, source and enabled maps in hexadecimal to text.
     * \rpt */
    ///@{
    void ReportEn(std::string& text, bool header, bool oneLine) const;
    void ReportEnW(std::wstring& text, bool header, bool oneLine) const;
    ///@}

    /** The default record. */
    static const _STATION_MAP Default;

    /** The record. */
    _STATION_MAP cfg;
    /** Detected sensors, as last counted. */
    uint32_t sensorCount;
    /** Detected sources, as last counted. */
    uint32_t sourceCount;
    /** Enabled sensors, as last counted. */
    uint32_t enabledCount;
    /** Bit n: sensor n enabled by the application. */
    uint32_t enabledMap;
};

/** @} */
