// The small per-sensor records: increment thresholds, boresight, tip offset,
// source selection, virtual-sensor input, and a plain P&O value.
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <cstdint>
#include <string>

class SXCMDIF_API CIncrementCfg {
public:
    CIncrementCfg() { Init(); }
    CIncrementCfg(const _INCREMENT_CONFIG* p) : cfg(*p) {}
    // Position and orientation thresholds from the first two floats.
    CIncrementCfg(const float* thresholds);
    CIncrementCfg(const CIncrementCfg&) = default;

    CIncrementCfg& operator=(const CIncrementCfg&) = default;
    CIncrementCfg& operator=(const _INCREMENT_CONFIG* p)
    {
        cfg = *p;
        return *this;
    }
    CIncrementCfg& operator=(const float* thresholds);
    // Both thresholds (approximately); the enable word takes no part.
    // Also for a non-const pointer, which would else compete with the
    // built-in comparison of the converted object.
    bool operator==(_INCREMENT_CONFIG* o) const { return *this == static_cast<const _INCREMENT_CONFIG*>(o); }
    bool operator==(const _INCREMENT_CONFIG* o) const;

    operator _INCREMENT_CONFIG*() { return &cfg; }
    operator void*() { return &cfg; }

    void Init() { cfg = _INCREMENT_CONFIG{}; }
    void InitDefault() { cfg = Default; }
    void MakePrintable() {}
    void Fill(bool enabled, float pos, float ori);

    bool Enabled() const { return cfg.enabled != 0; }
    bool PosAuto() const { return cfg.fPosThresh <= 0.0f; }
    bool OriAuto() const { return cfg.fOriThresh <= 0.0f; }
    void SetPosAuto() { cfg.fPosThresh = 0.0f; }
    void SetOriAuto() { cfg.fOriThresh = 0.0f; }
    uint64_t SZCFG() const { return sizeof(_INCREMENT_CONFIG); }
    uint64_t Size() const { return sizeof(_INCREMENT_CONFIG); }
    void* TOP() { return &cfg; }

    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;

    static const _INCREMENT_CONFIG Default;

    _INCREMENT_CONFIG cfg;
};

// The boresight orientation, with the orientation units it is read in and
// the reset-origin flag of the command (neither is part of the record).
class SXCMDIF_API CBoresightCfg {
public:
    CBoresightCfg(unsigned oriUnits = 0, bool resetOrigin = false);
    CBoresightCfg(const _BORESIGHT_CONFIG* p);
    CBoresightCfg(const float* ori);
    CBoresightCfg(const CBoresightCfg&) = default;

    CBoresightCfg& operator=(const CBoresightCfg&) = default;
    // Units and flag return to 0.
    CBoresightCfg& operator=(const _BORESIGHT_CONFIG* p);
    CBoresightCfg& operator=(const float* ori);
    bool operator==(const float* ori) const;

    operator _BORESIGHT_CONFIG*() { return &cfg; }
    operator void*() { return &cfg; }

    // The default of the given units (0 to 2), flag 0.
    void Init(unsigned oriUnits);
    // The Euler default; units unchanged.
    void InitDefault();
    void MakePrintable() {}
    void Fill(float a, float b, float c, float d, bool resetOrigin);
    void Fill(const float* ori);
    uint64_t Size() const { return sizeof(_BORESIGHT_CONFIG); }

    void ResetOrigin(bool on) { arg2 = on ? 1u : 0u; }
    bool ResetOrigin() const { return arg2 == 1; }
    uint32_t& Arg2() { return arg2; }
    uint32_t& Units() { return units; }
    bool IsQtrn() const { return units == 2; }
    // The orientation differs (exactly) from the null one of the units.
    bool Enabled() const;

    // oriUnits 3: the object's own units.
    void Report(std::string& text, unsigned oriUnits, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, unsigned oriUnits, bool header, bool oneLine) const;

    // Indexed by orientation units.
    static const _BORESIGHT_CONFIG Default[3];

    _BORESIGHT_CONFIG cfg;
    uint32_t units;
    uint32_t arg2;
};

class SXCMDIF_API CTipoffCfg {
public:
    CTipoffCfg() { Init(); }
    CTipoffCfg(const _TIP_OFFSET_CONFIG* p) : cfg(*p) {}
    CTipoffCfg(const float* xyz) { Fill(xyz); }
    CTipoffCfg(const CTipoffCfg&) = default;

    CTipoffCfg& operator=(const CTipoffCfg&) = default;
    CTipoffCfg& operator=(const _TIP_OFFSET_CONFIG* p)
    {
        cfg = *p;
        return *this;
    }
    CTipoffCfg& operator=(const float* xyz)
    {
        Fill(xyz);
        return *this;
    }
    bool operator==(const float* xyz) const;

    operator _TIP_OFFSET_CONFIG*() { return &cfg; }
    operator void*() { return &cfg; }

    void Init() { cfg = _TIP_OFFSET_CONFIG{}; }
    void InitDefault() { cfg = Default; }
    void MakePrintable() {}
    void Fill(float x, float y, float z)
    {
        Init();
        cfg.x = x;
        cfg.y = y;
        cfg.z = z;
    }
    void Fill(const float* xyz)
    {
        cfg.x = xyz[0];
        cfg.y = xyz[1];
        cfg.z = xyz[2];
    }
    float& X() { return cfg.x; }
    float& Y() { return cfg.y; }
    float& Z() { return cfg.z; }
    uint64_t Size() const { return sizeof(_TIP_OFFSET_CONFIG); }

    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;

    static const _TIP_OFFSET_CONFIG Default;

    _TIP_OFFSET_CONFIG cfg;
};

class SXCMDIF_API CSrcSelectCfg {
public:
    CSrcSelectCfg() { InitDefault(); }
    CSrcSelectCfg(const unsigned* p) { cfg.SRC_SEL_MAP = *p; }
    CSrcSelectCfg(const _SRC_SEL_CONFIG* p) : cfg(*p) {}
    CSrcSelectCfg(const CSrcSelectCfg&) = default;

    CSrcSelectCfg& operator=(const CSrcSelectCfg&) = default;
    CSrcSelectCfg& operator=(const unsigned& map)
    {
        cfg.SRC_SEL_MAP = map;
        return *this;
    }
    bool operator==(unsigned map) const { return cfg.SRC_SEL_MAP == map; }

    operator unsigned*() { return &cfg.SRC_SEL_MAP; }
    operator void*() { return &cfg; }

    void Init() { cfg.SRC_SEL_MAP = 0; }
    void InitDefault() { cfg = Default; }
    void MakePrintable() {}
    void Fill(int map) { cfg.SRC_SEL_MAP = static_cast<uint32_t>(map); }
    bool Selected(unsigned n) const { return ((cfg.SRC_SEL_MAP >> (n % 32)) & 1u) != 0; }
    uint64_t Size() const { return sizeof(_SRC_SEL_CONFIG); }

    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;

    static const _SRC_SEL_CONFIG Default;

    _SRC_SEL_CONFIG cfg;
};

class SXCMDIF_API CSnsVirtCfg {
public:
    CSnsVirtCfg() { InitDefault(); }
    CSnsVirtCfg(const _VIRTUAL_SNS_CONFIG* p) : cfg(*p), virtSns(0) {}
    CSnsVirtCfg(const CSnsVirtCfg&) = default;

    CSnsVirtCfg& operator=(const CSnsVirtCfg&) = default;
    // Input1 alone.
    CSnsVirtCfg& operator=(const unsigned& input1)
    {
        cfg.Input1 = input1;
        return *this;
    }
    bool operator==(unsigned input1) const { return cfg.Input1 == input1; }

    operator unsigned*() { return &cfg.Input1; }
    operator void*() { return &cfg; }

    void Init()
    {
        cfg = _VIRTUAL_SNS_CONFIG{};
        virtSns = 0;
    }
    void InitDefault()
    {
        cfg = Default;
        virtSns = 0;
    }
    void MakePrintable() {}
    void Fill(unsigned a, unsigned b, unsigned c, unsigned d)
    {
        Init();
        cfg.Input1 = a;
        cfg.word1 = b;
        cfg.word2 = c;
        cfg.word3 = d;
    }
    uint32_t& VirtSns() { return virtSns; }
    uint64_t SZCFG() const { return sizeof(_VIRTUAL_SNS_CONFIG); }
    uint64_t Size() const { return sizeof(_VIRTUAL_SNS_CONFIG); }

    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;

    static const _VIRTUAL_SNS_CONFIG Default;

    _VIRTUAL_SNS_CONFIG cfg;
    uint32_t virtSns;
};

class SXCMDIF_API CPnoDataCfg {
public:
    CPnoDataCfg() { Init(); }
    CPnoDataCfg(const _PNO* p) : cfg(*p) {}
    // Seven floats: position then orientation.
    CPnoDataCfg(const float* f);
    CPnoDataCfg(const CPnoDataCfg&) = default;

    CPnoDataCfg& operator=(const CPnoDataCfg&) = default;
    CPnoDataCfg& operator=(const _PNO* p)
    {
        cfg = *p;
        return *this;
    }
    CPnoDataCfg& operator=(const float* f);
    bool operator==(_PNO* o) const { return *this == static_cast<const _PNO*>(o); }
    bool operator==(const _PNO* o) const;

    operator _PNO*() { return &cfg; }
    operator void*() { return &cfg; }

    void Init() { cfg = _PNO{}; }
    void InitDefault() { cfg = Default; }
    void MakePrintable() {}
    // Position and Euler angles; the fourth orientation float becomes 0.
    void Fill(float x, float y, float z, float a, float e, float r);
    uint64_t SZCFG() const { return sizeof(_PNO); }
    uint64_t Size() const { return sizeof(_PNO); }
    void* TOP() { return &cfg; }

    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;

    static const _PNO Default;

    _PNO cfg;
};
