// The operating hemisphere of one sensor, with the axis preset it matches.
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <cstdint>
#include <string>

class SXCMDIF_API CHemisphereCfg {
public:
    enum eHemPresetVal { POS_X = 0, POS_Y, POS_Z, NEG_X, NEG_Y, NEG_Z, CUSTOM, HEMPRESETVAL_MAX };

    CHemisphereCfg() { Init(); }
    CHemisphereCfg(const _HEMISPHERE_CONFIG* p);
    CHemisphereCfg(const CHemisphereCfg&) = default;

    CHemisphereCfg& operator=(const CHemisphereCfg& o)
    {
        return *this = &o.cfg;
    }
    CHemisphereCfg& operator=(const _HEMISPHERE_CONFIG* p)
    {
        cfg = *p;
        SetPresetEnum();
        return *this;
    }
    // Both enable bits and the direction (approximately).
    // Also for a non-const pointer, which would else compete with the
    // built-in comparison of the converted object.
    bool operator==(_HEMISPHERE_CONFIG* o) const { return *this == static_cast<const _HEMISPHERE_CONFIG*>(o); }
    bool operator==(const _HEMISPHERE_CONFIG* o) const;

    operator _HEMISPHERE_CONFIG*() { return &cfg; }
    operator void*() { return &cfg; }

    void Init() { Fill(POS_X, false, false); }
    // The default record; the preset value stays as it was.
    void InitDefault() { cfg = Default; }
    void MakePrintable() {}
    uint64_t Size() const { return sizeof(_HEMISPHERE_CONFIG); }

    // Automatic hemisphere implies tracking.
    void Fill(float x, float y, float z, bool autoEn, bool trackEn);
    void Fill(const float* v, bool autoEn, bool trackEn);
    // The preset's record, stored as that preset without recognition.
    void Fill(eHemPresetVal preset, bool autoEn, bool trackEn);

    bool AutoEn() const { return cfg.bf.auto_en != 0; }
    bool TrackEn() const { return cfg.bf.track_en != 0; }
    void SetAutoEn(bool on) { cfg.bf.auto_en = on ? 1u : 0u; }
    void SetTrackEn(bool on) { cfg.bf.track_en = on ? 1u : 0u; }
    // Recognises an axis direction in the vector (exact zeros), else CUSTOM.
    void SetPresetEnum();

    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;

    static const _HEMISPHERE_CONFIG Default;

    _HEMISPHERE_CONFIG cfg;
    uint32_t presetEnum;
};
