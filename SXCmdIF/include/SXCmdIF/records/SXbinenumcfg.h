/** \file
 * The two small polymorphic record families: binary settings (sync mode,
 * dual output) and enumerated settings (FTT mode, sensor origin, stylus).
 * \ingroup sx_records */
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/protocol/SXvocabEnums.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <cstdint>
#include <string>

/** \addtogroup sx_records
 * @{ */

/** An on/off setting (`_BINARY_CONFIG`): 0 off, any other value on. The base
 * of CDualOutputCfg and CSyncModeCfg; also the out-of-range mode.
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CBinaryCfg {
public:
    /** Off (0). */
    CBinaryCfg() { Init(); }
    /** 1 for on, 0 for off.
     * \param on the setting */
    CBinaryCfg(bool on) : value(on ? 1 : 0) {}
    /** From the value p points at.
     * \param p the value */
    CBinaryCfg(const int* p) : value(*p) {}
    /** Copies another object. */
    CBinaryCfg(const CBinaryCfg&) = default;

    /** Copies another object.
     * \returns this object */
    CBinaryCfg& operator=(const CBinaryCfg&) = default;
    /** Takes the value p points at.
     * \param p the value
     * \returns this object */
    CBinaryCfg& operator=(const int* p)
    {
        value = *p;
        return *this;
    }
    /** Takes a value.
     * \param v the value
     * \returns this object */
    CBinaryCfg& operator=(int v)
    {
        value = v;
        return *this;
    }
    /** Compares the value. Also for a non-const pointer, which would else compete with the built-in comparison
     * of the converted object.
     * \param p the value
     * \returns true when equal */
    bool operator==(int* p) const { return *this == static_cast<const int*>(p); }
    /** Compares the value.
     * \param p the value
     * \returns true when equal */
    bool operator==(const int* p) const { return value == *p; }
    /** Compares the value.
     * \param v the value
     * \returns true when equal */
    bool operator==(int v) const { return value == v; }

    /** The record, as a pointer for the command functions.
     * \returns the address of the value */
    operator int*() { return &value; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the value */
    operator void*() { return &value; }
    /** Whether the setting is on; the non-const form is preferred over the pointer conversion for a non-const
     * object.
     * \returns true when the value is not 0 */
    ///@{
    operator bool() const { return value != 0; }
    // Preferred over the pointer conversion for a non-const object.
    operator bool() { return value != 0; }
    ///@}

    /** Sets the value to 0. */
    void Init() { value = 0; }
    /** Sets the default: 0 here, the class's `Default` in the derived classes. */
    virtual void InitDefault() { Init(); }
    /** Kept for callers: there is nothing to make printable. */
    virtual void MakePrintable() {}
    /** Whether the setting is on.
     * \returns true when the value is not 0 */
    virtual bool Enabled() const { return value != 0; }
    /** Sets the value.
     * \param v the value */
    void Fill(int v) { value = v; }
    /** The record's size in bytes.
     * \returns sizeof(int32_t) */
    uint64_t Size() const { return sizeof(int32_t); }

    /** Appends the record's text report to text: the value alone.
     * \rpt */
    ///@{
    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    ///@}
    /** Appends "TRUE"/"FALSE" with trueFalse, else "ENABLED"/"DISABLED", to text.
     * \param text receives the word
     * \param trueFalse the TRUE/FALSE words */
    ///@{
    void Brief(std::string& text, bool trueFalse) const;
    void BriefW(std::wstring& text, bool trueFalse) const;
    ///@}

    /** The value: 0 off, any other on. */
    int32_t value;
};

/** Dual output (::CMD_DUAL_OUTPUT).
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CDualOutputCfg : public CBinaryCfg {
public:
    /** Off. */
    CDualOutputCfg() = default;
    /** From an on/off setting.
     * \param o the setting */
    CDualOutputCfg(const CBinaryCfg& o) : CBinaryCfg(o) {}
    /** From the value p points at.
     * \param p the value */
    CDualOutputCfg(const int* p) : CBinaryCfg(p) {}
    using CBinaryCfg::operator=;

    /** Sets the default value (`Default`). */
    void InitDefault() override { value = Default.value; }

    /** Appends the record's text report to text: "BINARY_CONFIG <value> (<word>)", labelled "DUAL OUTPUT:".
     * \rpt */
    ///@{
    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    ///@}

    /** The default record. */
    static const _BINARY_CONFIG Default;
};

/** Sync mode (::CMD_SYNC_MODE).
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CSyncModeCfg : public CBinaryCfg {
public:
    /** Off. */
    CSyncModeCfg() = default;
    /** From an on/off setting.
     * \param o the setting */
    CSyncModeCfg(const CBinaryCfg& o) : CBinaryCfg(o) {}
    /** From the value p points at.
     * \param p the value */
    CSyncModeCfg(const int* p) : CBinaryCfg(p) {}
    using CBinaryCfg::operator=;

    /** Sets the default value (`Default`). */
    void InitDefault() override { value = Default.value; }

    /** Appends the record's text report to text: "BINARY_CONFIG <value> (<word>)", labelled "SYNC MODE:".
     * \rpt */
    ///@{
    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    ///@}
    /** Appends the on/off word of the setting to text.
     * \param text receives the word */
    void Brief(std::string& text) const;
    /** Appends the on/off word of the setting to text.
     * \param text receives the word
     * \param unused1 not used
     * \param unused2 not used */
    void BriefW(std::wstring& text, bool unused1 = false, bool unused2 = false) const;

    /** The default record. */
    static const _BINARY_CONFIG Default;
};

/** An enumerated setting (`_ENUM_CONFIG`): the base of CFTTCfg, CSnsOrigCfg
 * and CStylusCfg.
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CEnumCfg {
public:
    /** Value 0. */
    CEnumCfg() { Init(); }
    /** From a value.
     * \param v the value */
    CEnumCfg(unsigned v) : value(v) {}
    /** From the value p points at.
     * \param p the value */
    CEnumCfg(const unsigned* p) : value(*p) {}
    /** Copies another object. */
    CEnumCfg(const CEnumCfg&) = default;

    /** Copies another object.
     * \returns this object */
    CEnumCfg& operator=(const CEnumCfg&) = default;
    /** Takes a value.
     * \param v the value
     * \returns this object */
    CEnumCfg& operator=(unsigned v)
    {
        value = v;
        return *this;
    }
    /** Takes the value p points at.
     * \param p the value
     * \returns this object */
    CEnumCfg& operator=(const unsigned* p)
    {
        value = *p;
        return *this;
    }
    /** Compares the value.
     * \param v the value
     * \returns true when equal */
    bool operator==(unsigned v) const { return value == v; }
    /** Compares the value. Also for a non-const pointer, which would else compete with the built-in comparison
     * of the converted object.
     * \param p the value
     * \returns true when equal */
    bool operator==(unsigned* p) const { return *this == static_cast<const unsigned*>(p); }
    /** Compares the value.
     * \param p the value
     * \returns true when equal */
    bool operator==(const unsigned* p) const { return value == *p; }

    /** The value.
     * \returns the value */
    operator unsigned() const { return value; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the value */
    operator unsigned*() { return &value; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the value */
    operator void*() { return &value; }

    /** Sets the value to 0. */
    void Init() { value = 0; }
    /** Sets the default value (`Default`). */
    void InitDefault() { value = Default.value; }
    /** Kept for callers: there is nothing to make printable. */
    void MakePrintable() {}
    /** Sets the value.
     * \param v the value */
    void Fill(int v) { value = static_cast<uint32_t>(v); }
    /** The record's size in bytes.
     * \returns sizeof(uint32_t) */
    uint64_t Size() const { return sizeof(uint32_t); }

    /** Appends the record's text report to text: "VAL: <value> : <value>".
     * \rpt */
    ///@{
    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    ///@}

    /** The default record. */
    static const _ENUM_CONFIG Default;

    /** The value. */
    uint32_t value;
};

/** A sensor's FTT mode (::CMD_FTT_MODE), an ::eFTTMode value.
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CFTTCfg : public CEnumCfg {
public:
    /** Value 0. */
    CFTTCfg() = default;
    /** From a mode.
     * \param mode the mode */
    CFTTCfg(eFTTMode mode) : CEnumCfg(static_cast<unsigned>(mode)) {}
    /** From the value p points at.
     * \param p the value */
    CFTTCfg(const unsigned* p) : CEnumCfg(p) {}
    /** Copies another object. */
    CFTTCfg(const CFTTCfg&) = default;
    /** Copies another object.
     * \returns this object */
    CFTTCfg& operator=(const CFTTCfg&) = default;
    using CEnumCfg::operator=;

    /** Whether a mode other than ::FTT_MODE_NONE is set.
     * \returns true when the value is not 0 */
    bool Enabled() const { return value != 0; }

    /** Sets the default value (`Default`). */
    virtual void InitDefault() { value = Default.value; }
    /** Appends the record's text report to text: "VAL: <value> : <name>".
     * \rpt */
    ///@{
    virtual void Report(std::string& text, bool header, bool oneLine) const;
    virtual void ReportW(std::wstring& text, bool header, bool oneLine) const;
    ///@}

    /** The default record. */
    static const _ENUM_CONFIG Default;
};

/** The origin of a sensor's position (::CMD_SNS_ORIGIN), an ::eSensorOrigin value.
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CSnsOrigCfg : public CEnumCfg {
public:
    /** Value 0. */
    CSnsOrigCfg() = default;
    /** From a value.
     * \param v the value */
    CSnsOrigCfg(unsigned v) : CEnumCfg(v) {}
    /** From the value p points at.
     * \param p the value */
    CSnsOrigCfg(const unsigned* p) : CEnumCfg(p) {}
    /** From an origin.
     * \param origin the origin */
    CSnsOrigCfg(eSensorOrigin origin) : CEnumCfg(static_cast<unsigned>(origin)) {}
    /** Copies another object. */
    CSnsOrigCfg(const CSnsOrigCfg&) = default;
    /** Copies another object.
     * \returns this object */
    CSnsOrigCfg& operator=(const CSnsOrigCfg&) = default;
    using CEnumCfg::operator=;

    /** Sets the default value (`Default`). */
    virtual void InitDefault() { value = Default.value; }
    /** Appends the record's text report to text: "VAL: <value> : <name>".
     * \rpt */
    ///@{
    virtual void Report(std::string& text, bool header, bool oneLine) const;
    virtual void ReportW(std::wstring& text, bool header, bool oneLine) const;
    ///@}

    /** The default record. */
    static const _ENUM_CONFIG Default;
};

/** The stylus mode (::CMD_STYLUS), an ::eStylusMode value.
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CStylusCfg : public CEnumCfg {
public:
    /** Value 0. */
    CStylusCfg() = default;
    /** From a value.
     * \param v the value */
    CStylusCfg(unsigned v) : CEnumCfg(v) {}
    /** From the value p points at.
     * \param p the value */
    CStylusCfg(const unsigned* p) : CEnumCfg(p) {}
    /** From a mode.
     * \param mode the mode */
    CStylusCfg(eStylusMode mode) : CEnumCfg(static_cast<unsigned>(mode)) {}
    /** Copies another object. */
    CStylusCfg(const CStylusCfg&) = default;
    /** Copies another object.
     * \returns this object */
    CStylusCfg& operator=(const CStylusCfg&) = default;
    using CEnumCfg::operator=;

    /** Whether the mode is ::STYLUS_MODE_MARK.
     * \returns true when it is */
    bool IsMrk() const { return value == STYLUS_MODE_MARK; }
    /** Whether the mode is ::STYLUS_MODE_POINT.
     * \returns true when it is */
    bool IsPT() const { return value == STYLUS_MODE_POINT; }
    /** Appends the mode's name to text.
     * \param text receives the name */
    ///@{
    void Brief(std::string& text) const;
    void BriefW(std::wstring& text) const;
    ///@}

    /** Sets the default value (`Default`). */
    virtual void InitDefault() { value = Default.value; }
    /** Appends the record's text report to text: "VAL: <value> : <name>".
     * \rpt */
    ///@{
    virtual void Report(std::string& text, bool header, bool oneLine) const;
    virtual void ReportW(std::wstring& text, bool header, bool oneLine) const;
    ///@}

    /** The default record. */
    static const _ENUM_CONFIG Default;
};

/** @} */
