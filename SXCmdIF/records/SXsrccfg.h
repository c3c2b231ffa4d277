// Field-source records: configuration (frequency, position, rotation and
// start-up hemisphere) and rotation alone.
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/records/SXpayloads.h>
#include <SXCmdIF/records/SXunitcfg.h>

#include <cstdint>
#include <string>

// The source record with the units it is read in (not part of the record).
class SXCMDIF_API CSrcCfg {
public:
    CSrcCfg() { Init(); }
    CSrcCfg(const _SRC_CONFIG* p) : cfg(*p) {}
    CSrcCfg(const _SRCROT_CONFIG* p);
    // Seven floats: position x, y, z, then the four rotation floats.
    CSrcCfg(const float* f);
    CSrcCfg(const CSrcCfg&) = default;

    CSrcCfg& operator=(const CSrcCfg&) = default;
    CSrcCfg& operator=(const _SRC_CONFIG& o)
    {
        cfg = o;
        return *this;
    }
    CSrcCfg& operator=(const _SRC_CONFIG* p)
    {
        cfg = *p;
        return *this;
    }
    // The four rotation floats only.
    CSrcCfg& operator=(const float* rotation);
    // The source frequencies alone.
    // Also for a non-const pointer, which would else compete with the
    // built-in comparison of the converted object.
    bool operator==(_SRC_CONFIG* o) const { return *this == static_cast<const _SRC_CONFIG*>(o); }
    bool operator==(const _SRC_CONFIG* o) const { return cfg.srcfreq == o->srcfreq; }

    operator _SRC_CONFIG*() { return &cfg; }
    operator const _SRC_CONFIG*() const { return &cfg; }
    operator void*() { return &cfg; }

    void Init();
    // The default of the object's orientation units.
    void InitDefault();
    void MakePrintable() {}
    void Fill(unsigned freq, const _PNO* pno);
    void Fill(const float* f);
    uint64_t Size() const { return sizeof(_SRC_CONFIG); }

    float& X() { return cfg.position[0]; }
    float& Y() { return cfg.position[1]; }
    float& Z() { return cfg.position[2]; }
    float& Az() { return cfg.rotation[0]; }
    float& El() { return cfg.rotation[1]; }
    float& Ro() { return cfg.rotation[2]; }
    float& Qw() { return cfg.rotation[0]; }
    float& Qx() { return cfg.rotation[1]; }
    float& Qy() { return cfg.rotation[2]; }
    float& Qz() { return cfg.rotation[3]; }
    uint32_t& StartupHem() { return cfg.startupHem; }
    CUnitsCfg& Units() { return units; }
    unsigned SrcFreq() const { return cfg.srcfreq; }

    bool ComparePos(const _SRC_CONFIG* o) const;
    bool CompareOri(const _SRC_CONFIG* o) const;
    // Default position and orientation for the object's units.
    bool IsNull() const;

    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;

    // Indexed by orientation units.
    static const _SRC_CONFIG Default[3];

    _SRC_CONFIG cfg;
    CUnitsCfg units;
};

class SXCMDIF_API CSrcRotCfg {
public:
    CSrcRotCfg() { Init(); }
    CSrcRotCfg(const _SRCROT_CONFIG* p);
    CSrcRotCfg(const _SRC_CONFIG* p);
    CSrcRotCfg(const float* rotation);
    CSrcRotCfg(const CSrcRotCfg&) = default;

    CSrcRotCfg& operator=(const CSrcRotCfg&) = default;
    CSrcRotCfg& operator=(const _SRCROT_CONFIG* p)
    {
        cfg = *p;
        return *this;
    }
    CSrcRotCfg& operator=(const float* rotation)
    {
        Fill(rotation);
        return *this;
    }
    bool operator==(const float* rotation) const;

    operator _SRCROT_CONFIG*() { return &cfg; }
    operator void*() { return &cfg; }

    void Init();
    void InitDefault();
    void MakePrintable() {}
    void Fill(float a, float b, float c, float d, unsigned freq);
    void Fill(const float* rotation);
    uint64_t Size() const { return sizeof(_SRCROT_CONFIG); }

    float& Az() { return cfg.rotation[0]; }
    float& El() { return cfg.rotation[1]; }
    float& Ro() { return cfg.rotation[2]; }
    float& Qw() { return cfg.rotation[0]; }
    float& Qx() { return cfg.rotation[1]; }
    float& Qy() { return cfg.rotation[2]; }
    float& Qz() { return cfg.rotation[3]; }
    uint32_t& Units() { return oriUnits; }
    unsigned SrcFreq() const { return cfg.srcfreq; }

    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;

    static const _SRCROT_CONFIG Default[3];

    _SRCROT_CONFIG cfg;
    uint32_t oriUnits;
};
