/** \file
 * The small per-sensor records: increment thresholds, boresight, tip offset,
 * source selection, virtual-sensor input, and a plain P&O value.
 * \ingroup sx_records */
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <cstdint>
#include <string>

/** \addtogroup sx_records
 * @{ */

/** A sensor's increment thresholds (`_INCREMENT_CONFIG`): with increment on,
 * the tracker outputs a sensor only after it moved this far.
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CIncrementCfg {
public:
    /** All zero: off, automatic thresholds. */
    CIncrementCfg() { Init(); }
    /** From a record.
     * \param p the record */
    CIncrementCfg(const _INCREMENT_CONFIG* p) : cfg(*p) {}
    /** Position and orientation thresholds from the first two floats; off.
     * \param thresholds two floats */
    CIncrementCfg(const float* thresholds);
    /** Copies another object. */
    CIncrementCfg(const CIncrementCfg&) = default;

    /** Copies another object.
     * \returns this object */
    CIncrementCfg& operator=(const CIncrementCfg&) = default;
    /** Copies a record.
     * \param p the record
     * \returns this object */
    CIncrementCfg& operator=(const _INCREMENT_CONFIG* p)
    {
        cfg = *p;
        return *this;
    }
    /** Takes both thresholds from two floats; the enable word stays.
     * \param thresholds two floats
     * \returns this object */
    CIncrementCfg& operator=(const float* thresholds);
    /** Both thresholds (each within 0.00001); the enable word takes no part. Also for a non-const pointer,
     * which would else compete with the built-in comparison of the converted object.
     * \param o the record
     * \returns true when equal */
    bool operator==(_INCREMENT_CONFIG* o) const { return *this == static_cast<const _INCREMENT_CONFIG*>(o); }
    /** Both thresholds (each within 0.00001); the enable word takes no part.
     * \param o the record
     * \returns true when equal */
    bool operator==(const _INCREMENT_CONFIG* o) const;

    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator _INCREMENT_CONFIG*() { return &cfg; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator void*() { return &cfg; }

    /** All zero. */
    void Init() { cfg = _INCREMENT_CONFIG{}; }
    /** The default record (`Default`). */
    void InitDefault() { cfg = Default; }
    /** Kept for callers: there is nothing to make printable. */
    void MakePrintable() {}
    /** Sets the whole record.
     * \param enabled increment on
     * \param pos the position threshold (0 or less: automatic)
     * \param ori the orientation threshold (0 or less: automatic) */
    void Fill(bool enabled, float pos, float ori);

    /** Whether increment is on.
     * \returns true when the enable word is not 0 */
    bool Enabled() const { return cfg.enabled != 0; }
    /** Whether the position threshold is automatic.
     * \returns true when it is 0 or less */
    bool PosAuto() const { return cfg.fPosThresh <= 0.0f; }
    /** Whether the orientation threshold is automatic.
     * \returns true when it is 0 or less */
    bool OriAuto() const { return cfg.fOriThresh <= 0.0f; }
    /** Makes the position threshold automatic (0). */
    void SetPosAuto() { cfg.fPosThresh = 0.0f; }
    /** Makes the orientation threshold automatic (0). */
    void SetOriAuto() { cfg.fOriThresh = 0.0f; }
    /** The record's size in bytes.
     * \returns sizeof(_INCREMENT_CONFIG) */
    ///@{
    uint64_t SZCFG() const { return sizeof(_INCREMENT_CONFIG); }
    uint64_t Size() const { return sizeof(_INCREMENT_CONFIG); }
    ///@}
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    void* TOP() { return &cfg; }

    /** Appends the record's text report to text: the enable word and both thresholds, "(AUTO)" after an
     * automatic one.
     * \rpt */
    ///@{
    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    ///@}

    /** The default record. */
    static const _INCREMENT_CONFIG Default;

    /** The record. */
    _INCREMENT_CONFIG cfg;
};

/** A sensor's boresight orientation (`_BORESIGHT_CONFIG`), with the
 * orientation units it is read in and the reset-origin flag of the command
 * (`arg2`; neither is part of the record).
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CBoresightCfg {
public:
    /** The default of the units, with the flag.
     * \param oriUnits the orientation units (0 to 2)
     * \param resetOrigin the reset-origin flag */
    CBoresightCfg(unsigned oriUnits = 0, bool resetOrigin = false);
    /** From a record; units and flag 0.
     * \param p the record */
    CBoresightCfg(const _BORESIGHT_CONFIG* p);
    /** From four floats; units and flag 0.
     * \param ori the orientation */
    CBoresightCfg(const float* ori);
    /** Copies another object. */
    CBoresightCfg(const CBoresightCfg&) = default;

    /** Copies another object.
     * \returns this object */
    CBoresightCfg& operator=(const CBoresightCfg&) = default;
    /** Copies a record; units and flag return to 0.
     * \param p the record
     * \returns this object */
    CBoresightCfg& operator=(const _BORESIGHT_CONFIG* p);
    /** Takes four floats; units and flag return to 0.
     * \param ori the orientation
     * \returns this object */
    CBoresightCfg& operator=(const float* ori);
    /** Compares the four floats (each within 0.00001).
     * \param ori the orientation
     * \returns true when equal */
    bool operator==(const float* ori) const;

    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator _BORESIGHT_CONFIG*() { return &cfg; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator void*() { return &cfg; }

    /** The default of the given units (0 to 2; others take the Euler one), flag 0.
     * \param oriUnits the orientation units */
    void Init(unsigned oriUnits);
    /** The Euler default, flag 0; units unchanged. */
    void InitDefault();
    /** Kept for callers: there is nothing to make printable. */
    void MakePrintable() {}
    /** Sets the four floats and the flag.
     * \param a float 0 (azimuth or w)
     * \param b float 1
     * \param c float 2
     * \param d float 3
     * \param resetOrigin the reset-origin flag */
    void Fill(float a, float b, float c, float d, bool resetOrigin);
    /** Sets the four floats.
     * \param ori the orientation */
    void Fill(const float* ori);
    /** The record's size in bytes.
     * \returns sizeof(_BORESIGHT_CONFIG) */
    uint64_t Size() const { return sizeof(_BORESIGHT_CONFIG); }

    /** Sets the reset-origin flag (`arg2` 1 or 0).
     * \param on the flag */
    void ResetOrigin(bool on) { arg2 = on ? 1u : 0u; }
    /** The reset-origin flag.
     * \returns true when `arg2` is 1 */
    bool ResetOrigin() const { return arg2 == 1; }
    /** The command's `arg2` word, for reading or writing.
     * \returns a reference to it */
    uint32_t& Arg2() { return arg2; }
    /** The orientation units, for reading or writing.
     * \returns a reference to them */
    uint32_t& Units() { return units; }
    /** Whether the units are the quaternion.
     * \returns true when units is 2 */
    bool IsQtrn() const { return units == 2; }
    /** Whether the orientation differs (exactly) from the null one of the units.
     * \returns true when it does */
    bool Enabled() const;

    /** Appends the record's text report to text: three Euler angles or four
     * quaternion terms with the units' name; for units above 3 the four floats bare.
     * \param text receives the report, appended (never cleared)
     * \param oriUnits the units to read the record in; 3: the object's own
     * \param header begin with the record's label and indent the fields
     * \param oneLine separate the fields by ", " instead of line ends */
    ///@{
    void Report(std::string& text, unsigned oriUnits, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, unsigned oriUnits, bool header, bool oneLine) const;
    ///@}

    /** The default records, indexed by orientation units. */
    static const _BORESIGHT_CONFIG Default[3];

    /** The record. */
    _BORESIGHT_CONFIG cfg;
    /** The orientation units the record is read in. */
    uint32_t units;
    /** The command's `arg2` word: 1 resets the origin. */
    uint32_t arg2;
};

/** A sensor's tip offset (`_TIP_OFFSET_CONFIG`).
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CTipoffCfg {
public:
    /** Offset 0, 0, 0. */
    CTipoffCfg() { Init(); }
    /** From a record.
     * \param p the record */
    CTipoffCfg(const _TIP_OFFSET_CONFIG* p) : cfg(*p) {}
    /** From three floats.
     * \param xyz x, y, z */
    CTipoffCfg(const float* xyz) { Fill(xyz); }
    /** Copies another object. */
    CTipoffCfg(const CTipoffCfg&) = default;

    /** Copies another object.
     * \returns this object */
    CTipoffCfg& operator=(const CTipoffCfg&) = default;
    /** Copies a record.
     * \param p the record
     * \returns this object */
    CTipoffCfg& operator=(const _TIP_OFFSET_CONFIG* p)
    {
        cfg = *p;
        return *this;
    }
    /** Takes three floats.
     * \param xyz x, y, z
     * \returns this object */
    CTipoffCfg& operator=(const float* xyz)
    {
        Fill(xyz);
        return *this;
    }
    /** Compares the offset (each within 0.00001).
     * \param xyz x, y, z
     * \returns true when equal */
    bool operator==(const float* xyz) const;

    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator _TIP_OFFSET_CONFIG*() { return &cfg; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator void*() { return &cfg; }

    /** Offset 0, 0, 0. */
    void Init() { cfg = _TIP_OFFSET_CONFIG{}; }
    /** The default record (`Default`). */
    void InitDefault() { cfg = Default; }
    /** Kept for callers: there is nothing to make printable. */
    void MakePrintable() {}
    /** Sets the offset.
     * \param x x
     * \param y y
     * \param z z */
    void Fill(float x, float y, float z)
    {
        Init();
        cfg.x = x;
        cfg.y = y;
        cfg.z = z;
    }
    /** Sets the offset from three floats.
     * \param xyz x, y, z */
    void Fill(const float* xyz)
    {
        cfg.x = xyz[0];
        cfg.y = xyz[1];
        cfg.z = xyz[2];
    }
    /** A coordinate, for reading or writing.
     * \returns a reference to it */
    ///@{
    float& X() { return cfg.x; }
    float& Y() { return cfg.y; }
    float& Z() { return cfg.z; }
    ///@}
    /** The record's size in bytes.
     * \returns sizeof(_TIP_OFFSET_CONFIG) */
    uint64_t Size() const { return sizeof(_TIP_OFFSET_CONFIG); }

    /** Appends the record's text report to text: x, y and z.
     * \rpt */
    ///@{
    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    ///@}

    /** The default record. */
    static const _TIP_OFFSET_CONFIG Default;

    /** The record. */
    _TIP_OFFSET_CONFIG cfg;
};

/** The sources a sensor uses (`_SRC_SEL_CONFIG`): bit n selects source n.
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CSrcSelectCfg {
public:
    /** The default map. */
    CSrcSelectCfg() { InitDefault(); }
    /** From the map p points at.
     * \param p the map */
    CSrcSelectCfg(const unsigned* p) { cfg.SRC_SEL_MAP = *p; }
    /** From a record.
     * \param p the record */
    CSrcSelectCfg(const _SRC_SEL_CONFIG* p) : cfg(*p) {}
    /** Copies another object. */
    CSrcSelectCfg(const CSrcSelectCfg&) = default;

    /** Copies another object.
     * \returns this object */
    CSrcSelectCfg& operator=(const CSrcSelectCfg&) = default;
    /** Sets the map.
     * \param map the map
     * \returns this object */
    CSrcSelectCfg& operator=(const unsigned& map)
    {
        cfg.SRC_SEL_MAP = map;
        return *this;
    }
    /** Compares the map.
     * \param map the map
     * \returns true when equal */
    bool operator==(unsigned map) const { return cfg.SRC_SEL_MAP == map; }

    /** The record, as a pointer for the command functions.
     * \returns the address of the map */
    operator unsigned*() { return &cfg.SRC_SEL_MAP; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator void*() { return &cfg; }

    /** An empty map. */
    void Init() { cfg.SRC_SEL_MAP = 0; }
    /** The default record (`Default`). */
    void InitDefault() { cfg = Default; }
    /** Kept for callers: there is nothing to make printable. */
    void MakePrintable() {}
    /** Sets the map.
     * \param map the map */
    void Fill(int map) { cfg.SRC_SEL_MAP = static_cast<uint32_t>(map); }
    /** Whether source n is selected.
     * \param n the source number (taken modulo 32)
     * \returns true when its bit is set */
    bool Selected(unsigned n) const { return ((cfg.SRC_SEL_MAP >> (n % 32)) & 1u) != 0; }
    /** The record's size in bytes.
     * \returns sizeof(_SRC_SEL_CONFIG) */
    uint64_t Size() const { return sizeof(_SRC_SEL_CONFIG); }

    /** Appends the record's text report to text: the map.
     * \rpt */
    ///@{
    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    ///@}

    /** The default record. */
    static const _SRC_SEL_CONFIG Default;

    /** The record. */
    _SRC_SEL_CONFIG cfg;
};

/** A virtual sensor's input (`_VIRTUAL_SNS_CONFIG`), with the virtual sensor's
 * number beside it (not part of the record).
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CSnsVirtCfg {
public:
    /** The default record, virtual sensor 0. */
    CSnsVirtCfg() { InitDefault(); }
    /** From a record, virtual sensor 0.
     * \param p the record */
    CSnsVirtCfg(const _VIRTUAL_SNS_CONFIG* p) : cfg(*p), virtSns(0) {}
    /** Copies another object. */
    CSnsVirtCfg(const CSnsVirtCfg&) = default;

    /** Copies another object.
     * \returns this object */
    CSnsVirtCfg& operator=(const CSnsVirtCfg&) = default;
    /** Sets Input1 alone.
     * \param input1 the input
     * \returns this object */
    CSnsVirtCfg& operator=(const unsigned& input1)
    {
        cfg.Input1 = input1;
        return *this;
    }
    /** Compares Input1.
     * \param input1 the input
     * \returns true when equal */
    bool operator==(unsigned input1) const { return cfg.Input1 == input1; }

    /** The record, as a pointer for the command functions.
     * \returns the address of Input1 */
    operator unsigned*() { return &cfg.Input1; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator void*() { return &cfg; }

    /** All zero, virtual sensor 0. */
    void Init()
    {
        cfg = _VIRTUAL_SNS_CONFIG{};
        virtSns = 0;
    }
    /** The default record (`Default`), virtual sensor 0. */
    void InitDefault()
    {
        cfg = Default;
        virtSns = 0;
    }
    /** Kept for callers: there is nothing to make printable. */
    void MakePrintable() {}
    /** After Init(): the four words.
     * \param a Input1
     * \param b word1
     * \param c word2
     * \param d word3 */
    void Fill(unsigned a, unsigned b, unsigned c, unsigned d)
    {
        Init();
        cfg.Input1 = a;
        cfg.word1 = b;
        cfg.word2 = c;
        cfg.word3 = d;
    }
    /** The virtual sensor's number, for reading or writing.
     * \returns a reference to it */
    uint32_t& VirtSns() { return virtSns; }
    /** The record's size in bytes.
     * \returns sizeof(_VIRTUAL_SNS_CONFIG) */
    ///@{
    uint64_t SZCFG() const { return sizeof(_VIRTUAL_SNS_CONFIG); }
    uint64_t Size() const { return sizeof(_VIRTUAL_SNS_CONFIG); }
    ///@}

    /** Appends the record's text report to text: the four words.
     * \rpt */
    ///@{
    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    ///@}

    /** The default record. */
    static const _VIRTUAL_SNS_CONFIG Default;

    /** The record. */
    _VIRTUAL_SNS_CONFIG cfg;
    /** The virtual sensor's number. */
    uint32_t virtSns;
};

/** A plain position and orientation (`_PNO`).
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CPnoDataCfg {
public:
    /** All zero. */
    CPnoDataCfg() { Init(); }
    /** From a record.
     * \param p the record */
    CPnoDataCfg(const _PNO* p) : cfg(*p) {}
    /** Seven floats: position then orientation.
     * \param f the floats */
    CPnoDataCfg(const float* f);
    /** Copies another object. */
    CPnoDataCfg(const CPnoDataCfg&) = default;

    /** Copies another object.
     * \returns this object */
    CPnoDataCfg& operator=(const CPnoDataCfg&) = default;
    /** Copies a record.
     * \param p the record
     * \returns this object */
    CPnoDataCfg& operator=(const _PNO* p)
    {
        cfg = *p;
        return *this;
    }
    /** Takes seven floats: position then orientation.
     * \param f the floats
     * \returns this object */
    CPnoDataCfg& operator=(const float* f);
    /** Compares position and orientation (each within 0.00001). Also for a non-const pointer, which would else
     * compete with the built-in comparison of the converted object.
     * \param o the record
     * \returns true when equal */
    bool operator==(_PNO* o) const { return *this == static_cast<const _PNO*>(o); }
    /** Compares position and orientation (each within 0.00001).
     * \param o the record
     * \returns true when equal */
    bool operator==(const _PNO* o) const;

    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator _PNO*() { return &cfg; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator void*() { return &cfg; }

    /** All zero. */
    void Init() { cfg = _PNO{}; }
    /** The default record (`Default`). */
    void InitDefault() { cfg = Default; }
    /** Kept for callers: there is nothing to make printable. */
    void MakePrintable() {}
    /** Position and Euler angles; the fourth orientation float becomes 0.
     * \param x x
     * \param y y
     * \param z z
     * \param a azimuth
     * \param e elevation
     * \param r roll */
    void Fill(float x, float y, float z, float a, float e, float r);
    /** The record's size in bytes.
     * \returns sizeof(_PNO) */
    ///@{
    uint64_t SZCFG() const { return sizeof(_PNO); }
    uint64_t Size() const { return sizeof(_PNO); }
    ///@}
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    void* TOP() { return &cfg; }

    /** Appends the record's text report to text: position and orientation.
     * \rpt */
    ///@{
    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    ///@}

    /** The default record. */
    static const _PNO Default;

    /** The record. */
    _PNO cfg;
};

/** @} */
