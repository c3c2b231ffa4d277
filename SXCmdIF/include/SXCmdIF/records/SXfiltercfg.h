/** \file
 * The position or orientation filter of one sensor, with its presets.
 * \ingroup sx_records */
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/protocol/SXvocabEnums.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <cstdint>
#include <string>

/** \addtogroup sx_records
 * @{ */

/** The position or orientation filter of one sensor (`_FILTER_CONFIG`), with
 * its presets: a level and the four parameters F, Flow, Fhigh and MaxT.
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CFilterCfg {
public:
    /** No filter (`NoneDef`). */
    CFilterCfg() { Init(); }
    /** From a record.
     * \param p the record */
    CFilterCfg(const _FILTER_CONFIG* p) : cfg(*p) {}
    /** The whole preset record of the level, its own level field included (levels above 8 take preset 8).
     * \param level the level */
    CFilterCfg(eSorixFilterLevel level);
    /** Copies another object. */
    CFilterCfg(const CFilterCfg&) = default;

    /** Copies another object.
     * \returns this object */
    CFilterCfg& operator=(const CFilterCfg&) = default;
    /** Copies a record.
     * \param p the record
     * \returns this object */
    CFilterCfg& operator=(const _FILTER_CONFIG* p)
    {
        cfg = *p;
        return *this;
    }
    /** Equal levels, and for the custom level also equal parameters (each within 0.00001).
     * \param o the object compared
     * \returns true when equal */
    bool operator==(const CFilterCfg& o) const;
    /** The four parameters F, Flow, Fhigh, MaxT against four floats. Also for a non-const pointer, which would
     * else compete with the built-in comparison of the converted object.
     * \param params four floats
     * \returns true when each is within 0.00001 */
    bool operator==(float* params) const { return *this == static_cast<const float*>(params); }
    /** The four parameters F, Flow, Fhigh, MaxT against four floats.
     * \param params four floats
     * \returns true when each is within 0.00001 */
    bool operator==(const float* params) const;
    /** Compares the four parameters (each within 0.00001).
     * \param o the object compared
     * \returns true when equal */
    bool CompareParams(const CFilterCfg& o) const;

    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator _FILTER_CONFIG*() { return &cfg; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator void*() { return &cfg; }
    /** The four parameters in order.
     * \returns the address of F */
    operator float*() { return &cfg.F; }

    /** No filter (`NoneDef`). */
    void Init() { cfg = NoneDef; }
    /** The default filter (`Default`). */
    void InitDefault() { cfg = Default; }
    /** Kept for callers: there is nothing to make printable. */
    void MakePrintable() {}
    /** The record's size in bytes.
     * \returns sizeof(_FILTER_CONFIG) */
    uint64_t Size() const { return sizeof(_FILTER_CONFIG); }

    /** Whether the level is ::FILTER_LVL_NONE.
     * \returns true when it is */
    bool None() const { return cfg.level == FILTER_LVL_NONE; }
    /** Whether the level is ::FILTER_LVL_CUSTOM.
     * \returns true when it is */
    bool Custom() const { return cfg.level == FILTER_LVL_CUSTOM; }
    /** Whether the level is an enhanced preset (above custom).
     * \returns true when it is */
    bool Enhanced() const { return cfg.level > FILTER_LVL_CUSTOM; }

    /** The level (signed, kept within 0 to 8); the custom level takes the four values, any other level the
     * parameters of its preset.
     * \param level the level
     * \param F filter factor
     * \param Flow lowest factor
     * \param Fhigh highest factor
     * \param MaxT largest transition rate */
    void Fill(int level, float F, float Flow, float Fhigh, float MaxT);
    /** The custom level with the four params when given; any other level (or no params) the preset's.
     * \param level the level
     * \param params four floats, or null */
    void Fill(int level, const float* params);
    /** Sets the level of the first preset whose parameters match (each within 0.00001); custom if none. */
    void SetPreset();

    /** Appends the record's text report to text: level name and the four parameters.
     * \rpt
     * \param target an ::eSorixFilterTargets value whose name follows the label; 3 names none */
    ///@{
    void Report(std::string& text, bool header, bool oneLine, unsigned target) const;
    void ReportW(std::wstring& text, bool header, bool oneLine, unsigned target) const;
    ///@}

    /** The preset of ::FILTER_LVL_NONE. */
    static const _FILTER_CONFIG NoneDef;
    /** The preset of ::FILTER_LVL_LIGHT. */
    static const _FILTER_CONFIG Light;
    /** The preset of ::FILTER_LVL_MEDIUM. */
    static const _FILTER_CONFIG Medium;
    /** The preset of ::FILTER_LVL_HEAVY. */
    static const _FILTER_CONFIG Heavy;
    /** The default filter, also the row of ::FILTER_LVL_CUSTOM. */
    static const _FILTER_CONFIG Default;
    /** The preset of ::FILTER_LVL_E_LIGHT. */
    static const _FILTER_CONFIG ELight;
    /** The preset of ::FILTER_LVL_E_MEDIUM. */
    static const _FILTER_CONFIG EMedium;
    /** The preset of ::FILTER_LVL_E_HEAVY. */
    static const _FILTER_CONFIG EHeavy;
    /** The default of the enhanced filters, the row of ::FILTER_LVL_RESERVED. */
    static const _FILTER_CONFIG EDefault;
    /** The presets indexed by filter level 0 to 8 (the custom level points at `Default`). */
    static const _FILTER_CONFIG* const presets[9];

    /** The record. */
    _FILTER_CONFIG cfg;
};

/** @} */
