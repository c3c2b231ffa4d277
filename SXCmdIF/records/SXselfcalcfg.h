// Self-calibration state: operating and memory state, correction rate.
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/protocol/SXvocabEnums.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <cstdint>
#include <string>

// Bits 0-7 of the state word.
enum _eSelfCalOpState {
    SELFCAL_OP_DISABLED = 0,
    SELFCAL_OP_ENABLED = 1,
    SELFCAL_OP_ENABLED_AND_COLLECTING = 3,
    SELFCAL_OP_MAX = 4
};

// Bits 8-15 of the state word.
enum _eSelfCalMemState {
    SELFCAL_NOMEM = 0,
    SELFCAL_MEM_PERSIST = 1,
    SELFCAL_MEM_NEWUNSAVED = 2,
    SELFCAL_MEM_PERSIST_AND_NEWUNSAVED = 3,
    SELFCAL_MEM_MAX = 4
};

class SXCMDIF_API CSelfCalCfg {
public:
    CSelfCalCfg() { Init(); }
    CSelfCalCfg(const _SELFCAL_CONFIG* p) : cfg(*p) {}
    CSelfCalCfg(unsigned state)
    {
        Init();
        cfg.state = state;
    }
    CSelfCalCfg(float customRate)
    {
        Init();
        cfg.custom_rate = customRate;
    }
    CSelfCalCfg(bool enabled) { InitDefault(enabled); }
    CSelfCalCfg(const CSelfCalCfg&) = default;

    CSelfCalCfg& operator=(const CSelfCalCfg&) = default;
    CSelfCalCfg& operator=(const _SELFCAL_CONFIG* p)
    {
        cfg = *p;
        return *this;
    }
    // The state word, with the rate recognised from the (zero) custom rate.
    CSelfCalCfg& operator=(unsigned state);
    // The custom rate, then the preset it matches.
    CSelfCalCfg& operator=(float customRate);
    // State words equal and custom rates approximately; the rate code takes
    // no part.
    bool operator==(const _SELFCAL_CONFIGu* o) const;
    // Also for a non-const pointer, which would else compete with the
    // built-in comparison of the converted object.
    bool operator==(_SELFCAL_CONFIG* o) const { return *this == static_cast<const _SELFCAL_CONFIG*>(o); }
    bool operator==(const _SELFCAL_CONFIG* o) const;

    operator _SELFCAL_CONFIG*() { return &cfg; }
    operator void*() { return &cfg; }
    void* TOP() { return &cfg; }

    void Init() { cfg = _SELFCAL_CONFIG{}; }
    void InitDefault(bool enabled = true);
    void InitDisabled() { InitDefault(false); }
    void MakePrintable() {}
    // The custom value is taken for the custom rate (3), else the preset
    // value of the rate.
    void Fill(unsigned opState, unsigned rate, float custom);
    void FillState(unsigned state) { cfg.state = state; }
    uint64_t SZCFG() const { return sizeof(_SELFCAL_CONFIG); }
    uint64_t Size() const { return sizeof(_SELFCAL_CONFIG); }

    bool Enabled() const { return (cfg.state & 1u) != 0; }
    bool Disabled() const { return OpState() == SELFCAL_OP_DISABLED; }
    bool Collecting() const { return OpState() == SELFCAL_OP_ENABLED_AND_COLLECTING; }
    bool Persist() const { return (cfg.state & 0x100u) != 0; }
    bool Saved() const { return Persist(); }
    bool NewUnsaved() const { return (cfg.state & 0x200u) != 0; }
    bool Custom() const { return cfg.correction_rate == CALCORRECT_CUSTOM; }
    bool Instant() const;

    unsigned OpState() const { return cfg.state & 0xFFu; }
    unsigned MemState() const { return (cfg.state >> 8) & 0xFFu; }
    _eSelfCalOpState eOpState() const;
    _eSelfCalMemState eMemState() const;
    eCalCorrectRate eRate() const;

    // Names of the states; values above 4 count as 4. display: the memory
    // state's display text instead of its name.
    static const char* opstatestr(unsigned value);
    static const wchar_t* opstatestrW(unsigned value);
    static const char* memstatestr(unsigned value, bool display);
    static const wchar_t* memstatestrW(unsigned value, bool display);
    // The name tables are constant data: always built.
    static void InitSelfCalMemStateInfo() {}
    static void InitSelfCalOpStateInfo() {}

    // A zero custom rate disables; the rate code becomes that of the first
    // preset matching the custom rate, else custom.
    void SetPreset();

    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    void Brief(std::string& text, bool unused = false) const;
    void BriefW(std::wstring& text, bool unused = false, bool semicolon = false) const;

    static const _SELFCAL_CONFIGu Default;
    static const _SELFCAL_CONFIGu DefaultDisabled;
    static const float fCalCorrOff;
    static const float fCalCorrSlow;
    static const float fCalCorrMedium;
    static const float fCalCorrFast;
    static const float fCalCorrInstant;
    // Indexed by eCalCorrectRate 0 to 3.
    static const float preset_rates[4];

    _SELFCAL_CONFIG cfg;
};
