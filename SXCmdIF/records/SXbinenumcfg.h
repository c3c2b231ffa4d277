// The two small polymorphic record families: binary settings (sync mode,
// dual output) and enumerated settings (FTT mode, sensor origin, stylus).
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/protocol/SXvocabEnums.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <cstdint>
#include <string>

class SXCMDIF_API CBinaryCfg {
public:
    CBinaryCfg() { Init(); }
    CBinaryCfg(bool on) : value(on ? 1 : 0) {}
    CBinaryCfg(const int* p) : value(*p) {}
    CBinaryCfg(const CBinaryCfg&) = default;

    CBinaryCfg& operator=(const CBinaryCfg&) = default;
    CBinaryCfg& operator=(const int* p)
    {
        value = *p;
        return *this;
    }
    CBinaryCfg& operator=(int v)
    {
        value = v;
        return *this;
    }
    // Also for a non-const pointer, which would else compete with the
    // built-in comparison of the converted object.
    bool operator==(int* p) const { return *this == static_cast<const int*>(p); }
    bool operator==(const int* p) const { return value == *p; }
    bool operator==(int v) const { return value == v; }

    operator int*() { return &value; }
    operator void*() { return &value; }
    operator bool() const { return value != 0; }
    // Preferred over the pointer conversion for a non-const object.
    operator bool() { return value != 0; }

    void Init() { value = 0; }
    virtual void InitDefault() { Init(); }
    virtual void MakePrintable() {}
    virtual bool Enabled() const { return value != 0; }
    void Fill(int v) { value = v; }
    uint64_t Size() const { return sizeof(int32_t); }

    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    // "TRUE"/"FALSE" with trueFalse, else "ENABLED"/"DISABLED".
    void Brief(std::string& text, bool trueFalse) const;
    void BriefW(std::wstring& text, bool trueFalse) const;

    int32_t value;
};

class SXCMDIF_API CDualOutputCfg : public CBinaryCfg {
public:
    CDualOutputCfg() = default;
    CDualOutputCfg(const CBinaryCfg& o) : CBinaryCfg(o) {}
    CDualOutputCfg(const int* p) : CBinaryCfg(p) {}
    using CBinaryCfg::operator=;

    void InitDefault() override { value = Default.value; }

    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;

    static const _BINARY_CONFIG Default;
};

class SXCMDIF_API CSyncModeCfg : public CBinaryCfg {
public:
    CSyncModeCfg() = default;
    CSyncModeCfg(const CBinaryCfg& o) : CBinaryCfg(o) {}
    CSyncModeCfg(const int* p) : CBinaryCfg(p) {}
    using CBinaryCfg::operator=;

    void InitDefault() override { value = Default.value; }

    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    // The on/off word of the setting; the flags of the wide form are unused.
    void Brief(std::string& text) const;
    void BriefW(std::wstring& text, bool unused1 = false, bool unused2 = false) const;

    static const _BINARY_CONFIG Default;
};

class SXCMDIF_API CEnumCfg {
public:
    CEnumCfg() { Init(); }
    CEnumCfg(unsigned v) : value(v) {}
    CEnumCfg(const unsigned* p) : value(*p) {}
    CEnumCfg(const CEnumCfg&) = default;

    CEnumCfg& operator=(const CEnumCfg&) = default;
    CEnumCfg& operator=(unsigned v)
    {
        value = v;
        return *this;
    }
    CEnumCfg& operator=(const unsigned* p)
    {
        value = *p;
        return *this;
    }
    bool operator==(unsigned v) const { return value == v; }
    bool operator==(unsigned* p) const { return *this == static_cast<const unsigned*>(p); }
    bool operator==(const unsigned* p) const { return value == *p; }

    operator unsigned() const { return value; }
    operator unsigned*() { return &value; }
    operator void*() { return &value; }

    void Init() { value = 0; }
    void InitDefault() { value = Default.value; }
    void MakePrintable() {}
    void Fill(int v) { value = static_cast<uint32_t>(v); }
    uint64_t Size() const { return sizeof(uint32_t); }

    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;

    static const _ENUM_CONFIG Default;

    uint32_t value;
};

class SXCMDIF_API CFTTCfg : public CEnumCfg {
public:
    CFTTCfg() = default;
    CFTTCfg(eFTTMode mode) : CEnumCfg(static_cast<unsigned>(mode)) {}
    CFTTCfg(const unsigned* p) : CEnumCfg(p) {}
    CFTTCfg(const CFTTCfg&) = default;
    CFTTCfg& operator=(const CFTTCfg&) = default;
    using CEnumCfg::operator=;

    bool Enabled() const { return value != 0; }

    virtual void InitDefault() { value = Default.value; }
    virtual void Report(std::string& text, bool header, bool oneLine) const;
    virtual void ReportW(std::wstring& text, bool header, bool oneLine) const;

    static const _ENUM_CONFIG Default;
};

class SXCMDIF_API CSnsOrigCfg : public CEnumCfg {
public:
    CSnsOrigCfg() = default;
    CSnsOrigCfg(unsigned v) : CEnumCfg(v) {}
    CSnsOrigCfg(const unsigned* p) : CEnumCfg(p) {}
    CSnsOrigCfg(eSensorOrigin origin) : CEnumCfg(static_cast<unsigned>(origin)) {}
    CSnsOrigCfg(const CSnsOrigCfg&) = default;
    CSnsOrigCfg& operator=(const CSnsOrigCfg&) = default;
    using CEnumCfg::operator=;

    virtual void InitDefault() { value = Default.value; }
    virtual void Report(std::string& text, bool header, bool oneLine) const;
    virtual void ReportW(std::wstring& text, bool header, bool oneLine) const;

    static const _ENUM_CONFIG Default;
};

class SXCMDIF_API CStylusCfg : public CEnumCfg {
public:
    CStylusCfg() = default;
    CStylusCfg(unsigned v) : CEnumCfg(v) {}
    CStylusCfg(const unsigned* p) : CEnumCfg(p) {}
    CStylusCfg(eStylusMode mode) : CEnumCfg(static_cast<unsigned>(mode)) {}
    CStylusCfg(const CStylusCfg&) = default;
    CStylusCfg& operator=(const CStylusCfg&) = default;
    using CEnumCfg::operator=;

    bool IsMrk() const { return value == STYLUS_MODE_MARK; }
    bool IsPT() const { return value == STYLUS_MODE_POINT; }
    void Brief(std::string& text) const;
    void BriefW(std::wstring& text) const;

    virtual void InitDefault() { value = Default.value; }
    virtual void Report(std::string& text, bool header, bool oneLine) const;
    virtual void ReportW(std::wstring& text, bool header, bool oneLine) const;

    static const _ENUM_CONFIG Default;
};
