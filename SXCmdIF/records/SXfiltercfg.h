// The position or orientation filter of one sensor, with its presets.
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/protocol/SXvocabEnums.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <cstdint>
#include <string>

class SXCMDIF_API CFilterCfg {
public:
    CFilterCfg() { Init(); }
    CFilterCfg(const _FILTER_CONFIG* p) : cfg(*p) {}
    // The whole preset record of the level, its own level field included.
    CFilterCfg(eSorixFilterLevel level);
    CFilterCfg(const CFilterCfg&) = default;

    CFilterCfg& operator=(const CFilterCfg&) = default;
    CFilterCfg& operator=(const _FILTER_CONFIG* p)
    {
        cfg = *p;
        return *this;
    }
    // Equal levels, and for the custom level also equal parameters.
    bool operator==(const CFilterCfg& o) const;
    // The four parameters F, Flow, Fhigh, MaxT against four floats.
    // Also for a non-const pointer, which would else compete with the
    // built-in comparison of the converted object.
    bool operator==(float* params) const { return *this == static_cast<const float*>(params); }
    bool operator==(const float* params) const;
    bool CompareParams(const CFilterCfg& o) const;

    operator _FILTER_CONFIG*() { return &cfg; }
    operator void*() { return &cfg; }
    // The four parameters in order.
    operator float*() { return &cfg.F; }

    void Init() { cfg = NoneDef; }
    void InitDefault() { cfg = Default; }
    void MakePrintable() {}
    uint64_t Size() const { return sizeof(_FILTER_CONFIG); }

    bool None() const { return cfg.level == FILTER_LVL_NONE; }
    bool Custom() const { return cfg.level == FILTER_LVL_CUSTOM; }
    bool Enhanced() const { return cfg.level > FILTER_LVL_CUSTOM; }

    // The level (signed, kept within 0 to 8); the custom level takes the four
    // values, any other level the parameters of its preset.
    void Fill(int level, float F, float Flow, float Fhigh, float MaxT);
    void Fill(int level, const float* params);
    // The level of the first preset whose parameters match; custom if none.
    void SetPreset();

    // target: an eSorixFilterTargets value named after the label; 3 names
    // none.
    void Report(std::string& text, bool header, bool oneLine, unsigned target) const;
    void ReportW(std::wstring& text, bool header, bool oneLine, unsigned target) const;

    static const _FILTER_CONFIG NoneDef;
    static const _FILTER_CONFIG Light;
    static const _FILTER_CONFIG Medium;
    static const _FILTER_CONFIG Heavy;
    static const _FILTER_CONFIG Default;
    static const _FILTER_CONFIG ELight;
    static const _FILTER_CONFIG EMedium;
    static const _FILTER_CONFIG EHeavy;
    static const _FILTER_CONFIG EDefault;
    // Indexed by filter level 0 to 8 (the custom level points at Default).
    static const _FILTER_CONFIG* const presets[9];

    _FILTER_CONFIG cfg;
};
