/** \file
 * The operating hemisphere of one sensor, with the axis preset it matches.
 * \ingroup sx_records */
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <cstdint>
#include <string>

/** \addtogroup sx_records
 * @{ */

/** The operating hemisphere of one sensor (`_HEMISPHERE_CONFIG`), with the
 * axis preset its direction matches (not part of the record).
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CHemisphereCfg {
public:
    /** Axis presets of the direction; CUSTOM for any other direction. */
    enum eHemPresetVal { POS_X = 0, POS_Y, POS_Z, NEG_X, NEG_Y, NEG_Z, CUSTOM, HEMPRESETVAL_MAX };

    /** The +X preset, automatic and tracking off. */
    CHemisphereCfg() { Init(); }
    /** From a record; the preset is recognised from its direction.
     * \param p the record */
    CHemisphereCfg(const _HEMISPHERE_CONFIG* p);
    /** Copies another object. */
    CHemisphereCfg(const CHemisphereCfg&) = default;

    /** Copies the record of another object and recognises its preset.
     * \param o the object copied
     * \returns this object */
    CHemisphereCfg& operator=(const CHemisphereCfg& o) { return *this = &o.cfg; }
    /** Copies a record and recognises its preset.
     * \param p the record
     * \returns this object */
    CHemisphereCfg& operator=(const _HEMISPHERE_CONFIG* p)
    {
        cfg = *p;
        SetPresetEnum();
        return *this;
    }
    /** Both enable bits and the direction (each within 0.00001). Also for a non-const pointer, which would else
     * compete with the built-in comparison of the converted object.
     * \param o the record
     * \returns true when equal */
    bool operator==(_HEMISPHERE_CONFIG* o) const { return *this == static_cast<const _HEMISPHERE_CONFIG*>(o); }
    /** Both enable bits and the direction (each within 0.00001).
     * \param o the record
     * \returns true when equal */
    bool operator==(const _HEMISPHERE_CONFIG* o) const;

    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator _HEMISPHERE_CONFIG*() { return &cfg; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator void*() { return &cfg; }

    /** The +X preset, automatic and tracking off. */
    void Init() { Fill(POS_X, false, false); }
    /** The default record (`Default`); the preset value stays as it was. */
    void InitDefault() { cfg = Default; }
    /** Kept for callers: there is nothing to make printable. */
    void MakePrintable() {}
    /** The record's size in bytes.
     * \returns sizeof(_HEMISPHERE_CONFIG) */
    uint64_t Size() const { return sizeof(_HEMISPHERE_CONFIG); }

    /** Sets the direction and the enable bits (automatic implies tracking) and recognises the preset.
     * \param x direction x
     * \param y direction y
     * \param z direction z
     * \param autoEn automatic hemisphere
     * \param trackEn tracking */
    void Fill(float x, float y, float z, bool autoEn, bool trackEn);
    /** The same from three floats.
     * \param v direction x, y, z
     * \param autoEn automatic hemisphere
     * \param trackEn tracking */
    void Fill(const float* v, bool autoEn, bool trackEn);
    /** The preset's record (CSXcmd::hemispherecfg()), stored as that preset without recognition; automatic
     * implies tracking.
     * \param preset the preset
     * \param autoEn automatic hemisphere
     * \param trackEn tracking */
    void Fill(eHemPresetVal preset, bool autoEn, bool trackEn);

    /** The automatic-hemisphere bit.
     * \returns true when set */
    bool AutoEn() const { return cfg.bf.auto_en != 0; }
    /** The tracking bit.
     * \returns true when set */
    bool TrackEn() const { return cfg.bf.track_en != 0; }
    /** Sets the automatic-hemisphere bit.
     * \param on the bit */
    void SetAutoEn(bool on) { cfg.bf.auto_en = on ? 1u : 0u; }
    /** Sets the tracking bit.
     * \param on the bit */
    void SetTrackEn(bool on) { cfg.bf.track_en = on ? 1u : 0u; }
    /** Recognises an axis direction in the vector (exact zeros in the other two coordinates), else CUSTOM. */
    void SetPresetEnum();

    /** Appends the record's text report to text: preset name and direction, then both enable bits.
     * \rpt */
    ///@{
    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    ///@}

    /** The default record. */
    static const _HEMISPHERE_CONFIG Default;

    /** The record. */
    _HEMISPHERE_CONFIG cfg;
    /** The preset, an eHemPresetVal value. */
    uint32_t presetEnum;
};

/** @} */
