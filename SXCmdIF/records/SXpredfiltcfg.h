// The prediction filter of one sensor, with and without its noise profile.
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <cstdint>
#include <string>

class SXCMDIF_API CPFNoise {
public:
    CPFNoise() { InitDefault(); }
    CPFNoise(const _NOISEPROFILE* p) : cfg(*p) {}
    CPFNoise(const CPFNoise&) = default;
    CPFNoise(CPFNoise&&) = default;
    CPFNoise& operator=(const CPFNoise&) = default;
    CPFNoise& operator=(CPFNoise&&) = default;

    operator _NOISEPROFILE*() { return &cfg; }
    operator void*() { return &cfg; }

    void InitDefault() { cfg = Default; }
    void MakePrintable() {}
    uint64_t Size() const { return sizeof(_NOISEPROFILE); }

    static const _NOISEPROFILE Default;

    _NOISEPROFILE cfg;
};

class SXCMDIF_API CPredFiltCfgExt {
public:
    CPredFiltCfgExt() { Init(); }
    CPredFiltCfgExt(const _PF_CONFIG_EXT* p) : cfg(*p) {}
    CPredFiltCfgExt(const CPredFiltCfgExt&) = default;

    CPredFiltCfgExt& operator=(const CPredFiltCfgExt&) = default;
    CPredFiltCfgExt& operator=(const _PF_CONFIG_EXT& o)
    {
        cfg = o;
        return *this;
    }

    operator _PF_CONFIG_EXT*() { return &cfg; }
    operator void*() { return &cfg; }

    // All zero except the prediction time of 20 ms.
    void Init();
    void InitDefault() { cfg = Default; }
    void MakePrintable() {}
    // From the default: both filter switches, the prediction time when below
    // 1000 ms, and the noise profile when given.
    void Fill(bool qFil, bool pFil, int ms, const _NOISEPROFILE* noise = nullptr);
    // The same with the prediction time in seconds (taken when below 1 s).
    void Fill(bool qFil, bool pFil, float seconds, const _NOISEPROFILE* noise = nullptr);
    uint64_t Size() const { return sizeof(_PF_CONFIG_EXT); }

    bool QuatFilterOn() const { return cfg.qFil_on != 0; }
    bool PosFilterOn() const { return cfg.pFil_on != 0; }
    unsigned PredTimeMS() const;

    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;

    static const _PF_CONFIG_EXT Default;

    _PF_CONFIG_EXT cfg;
};

// The same record seen as its first twelve bytes, a _PF_CONFIG.
class SXCMDIF_API CPredFiltCfg : public CPredFiltCfgExt {
public:
    CPredFiltCfg() { Init(); }
    CPredFiltCfg(const _PF_CONFIG* p);
    CPredFiltCfg(const _PF_CONFIG_EXT* p) : CPredFiltCfgExt(p) {}
    CPredFiltCfg(const CPredFiltCfg&) = default;

    CPredFiltCfg& operator=(const CPredFiltCfg&) = default;
    CPredFiltCfg& operator=(const _PF_CONFIG& o);

    operator _PF_CONFIG*() { return reinterpret_cast<_PF_CONFIG*>(&cfg); }

    void Fill(bool qFil, bool pFil, int ms) { CPredFiltCfgExt::Fill(qFil, pFil, ms, nullptr); }
    uint64_t Size() const { return sizeof(_PF_CONFIG); }

    // Ends without a line end.
    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
};
