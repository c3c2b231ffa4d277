// Unit-level single records: serial line, unit identifier, frame rate and
// position/orientation units.
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/protocol/SXvocabEnums.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <cstdint>
#include <string>

class SXCMDIF_API CSerialCfg {
public:
    CSerialCfg() { Init(); }
    CSerialCfg(unsigned word)
    {
        Init();
        cfg.sercfg = word;
    }
    CSerialCfg(const unsigned* p) { cfg.sercfg = *p; }
    CSerialCfg(const _SERIAL_CONFIG* p) : cfg(*p) {}
    CSerialCfg(eBaud baud, eParity parity)
    {
        Init();
        Fill(static_cast<unsigned>(baud), static_cast<unsigned>(parity));
    }
    CSerialCfg(const CSerialCfg&) = default;

    CSerialCfg& operator=(const CSerialCfg&) = default;
    CSerialCfg& operator=(const _SERIAL_CONFIG& o)
    {
        cfg = o;
        return *this;
    }
    // Also for a non-const pointer, which would else compete with the
    // built-in comparison of the converted object.
    bool operator==(_SERIAL_CONFIG* o) const { return *this == static_cast<const _SERIAL_CONFIG*>(o); }
    bool operator==(const _SERIAL_CONFIG* o) const { return cfg.sercfg == o->sercfg; }
    bool operator==(unsigned word) const { return cfg.sercfg == word; }

    operator unsigned() const { return cfg.sercfg; }
    operator _SERIAL_CONFIG*() { return &cfg; }
    operator void*() { return &cfg; }

    void Init() { cfg.sercfg = 0; }
    void InitDefault() { cfg = Default; }
    void MakePrintable() {}
    void Fill(unsigned word) { cfg.sercfg = word; }
    // Baud in bits 0-3, parity in 4-5, res in 6-31.
    void Fill(unsigned baud, unsigned parity, unsigned res = 0)
    {
        cfg.sercfg = (baud & 0xFu) | ((parity & 3u) << 4) | ((res & 0x3FFFFFFu) << 6);
    }
    void FillBPS(int bps, unsigned parity);
    int BPS() const;
    unsigned Baud() const { return cfg.sercfg & 0xFu; }
    unsigned Parity() const { return (cfg.sercfg >> 4) & 3u; }
    unsigned Res() const { return cfg.sercfg >> 6; }
    uint64_t Size() const { return sizeof(_SERIAL_CONFIG); }

    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    // "baud <rate>, parity <name>".
    void Brief(std::string& text) const;
    void BriefW(std::wstring& text) const;

    static const _SERIAL_CONFIG Default;

    _SERIAL_CONFIG cfg;
};

class SXCMDIF_API CSeuIDCfg {
public:
    CSeuIDCfg() { Init(); }
    CSeuIDCfg(unsigned id) { cfg.seuID = id; }
    CSeuIDCfg(const unsigned* p) { cfg.seuID = *p; }
    CSeuIDCfg(const _SEUID_CONFIG* p) : cfg(*p) {}
    CSeuIDCfg(const CSeuIDCfg&) = default;

    CSeuIDCfg& operator=(const CSeuIDCfg&) = default;
    CSeuIDCfg& operator=(const unsigned& id)
    {
        cfg.seuID = id;
        return *this;
    }
    bool operator==(unsigned id) const { return cfg.seuID == id; }

    operator int() const { return static_cast<int>(cfg.seuID); }
    operator unsigned*() { return &cfg.seuID; }
    operator void*() { return &cfg; }

    void Init() { cfg.seuID = 0; }
    void InitDefault() { cfg = Default; }
    void MakePrintable() {}
    void Fill(int id) { cfg.seuID = static_cast<uint32_t>(id); }
    uint64_t Size() const { return sizeof(_SEUID_CONFIG); }

    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    void Brief(std::string& text) const;
    void BriefW(std::wstring& text) const;

    static const _SEUID_CONFIG Default;

    _SEUID_CONFIG cfg;
};

class SXCMDIF_API CFrameRateCfg {
public:
    CFrameRateCfg() { Init(); }
    CFrameRateCfg(const unsigned* p) : frame_rate(*p) {}
    CFrameRateCfg(const CFrameRateCfg&) = default;

    CFrameRateCfg& operator=(const CFrameRateCfg&) = default;
    bool operator==(unsigned* p) const { return *this == static_cast<const unsigned*>(p); }
    bool operator==(const unsigned* p) const { return frame_rate == *p; }
    operator unsigned*() { return &frame_rate; }
    operator void*() { return &frame_rate; }

    void Init() { frame_rate = FR_240; }
    void InitDefault() { frame_rate = Default.frame_rate; }
    void MakePrintable() {}
    // The code taken as signed and kept within 0 to 5.
    void Fill(unsigned code);
    uint64_t Size() const { return sizeof(uint32_t); }

    // 960 / 2^(5 - code) Hz.
    unsigned EffectiveRate() const;
    // Milliseconds per frame, truncated.
    unsigned FrequencyMS() const;
    unsigned MaxRate() const { return 240; }

    // full: effective rate and code name; otherwise the rate alone.
    void Report(std::string& text, bool header, bool oneLine, bool full) const;
    void ReportW(std::wstring& text, bool header, bool oneLine, bool full) const;
    // "<rate>" then " Hz" unless noUnit; the middle flag is unused.
    void ShortReport(std::string& text, bool unused = false, bool noUnit = false) const;
    void ShortReportW(std::wstring& text, bool unused = false, bool noUnit = false) const;

    static const _FRAMERATE_CONFIG Default;

    uint32_t frame_rate;
};

class SXCMDIF_API CUnitsCfg {
public:
    CUnitsCfg() { Init(); }
    CUnitsCfg(eSorixPosUnits pos, eSorixOriUnits ori)
    {
        cfg.pos_units = pos;
        cfg.ori_units = ori;
    }
    CUnitsCfg(const _UNITS_CONFIG* p) : cfg(*p) {}
    CUnitsCfg(const CUnitsCfg&) = default;

    CUnitsCfg& operator=(const CUnitsCfg&) = default;
    CUnitsCfg& operator=(const _UNITS_CONFIG* p)
    {
        cfg = *p;
        return *this;
    }
    bool operator==(_UNITS_CONFIG* o) const { return *this == static_cast<const _UNITS_CONFIG*>(o); }
    bool operator==(const _UNITS_CONFIG* o) const
    {
        return cfg.pos_units == o->pos_units && cfg.ori_units == o->ori_units;
    }

    operator _UNITS_CONFIG*() { return &cfg; }
    operator const _UNITS_CONFIG*() const { return &cfg; }
    operator void*() { return &cfg; }

    void Init() { cfg = Default; }
    void InitDefault() { cfg = Default; }
    void MakePrintable() {}
    void Fill(unsigned pos, unsigned ori)
    {
        cfg.pos_units = pos;
        cfg.ori_units = ori;
    }
    uint64_t Size() const { return sizeof(_UNITS_CONFIG); }

    bool IsEuler() const { return cfg.ori_units != ORI_QUATERNION; }
    eSorixPosUnits ePos() const { return static_cast<eSorixPosUnits>(cfg.pos_units); }
    eSorixOriUnits eOri() const { return static_cast<eSorixOriUnits>(cfg.ori_units); }
    // Long text with longText, else the enumerator name.
    const char* posunitsstr(bool longText) const;
    const char* oriunitsstr(bool longText) const;
    const wchar_t* posunitsstrW(bool longText) const;
    const wchar_t* oriunitsstrW(bool longText) const;

    // full: one line per unit; otherwise "pos, ori".
    void Report(std::string& text, bool header, bool oneLine, bool full) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    void ShortReport(std::string& text, bool longText, bool shortText) const;
    void ShortReportW(std::wstring& text, bool longText, bool shortText) const;

    static const _UNITS_CONFIG Default;

    _UNITS_CONFIG cfg;
};
