/** \file
 * Unit-level single records: serial line, unit identifier, frame rate and
 * position/orientation units.
 * \ingroup sx_records */
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/protocol/SXvocabEnums.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <cstdint>
#include <string>

/** \addtogroup sx_records
 * @{ */

/** The unit's serial line (`_SERIAL_CONFIG`): baud-rate index in bits 0-3,
 * parity in bits 4-5, the rest carried unchanged.
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CSerialCfg {
public:
    /** An empty word (0). */
    CSerialCfg() { Init(); }
    /** From a whole configuration word.
     * \param word the word */
    CSerialCfg(unsigned word)
    {
        Init();
        cfg.sercfg = word;
    }
    /** From the word p points at.
     * \param p the word */
    CSerialCfg(const unsigned* p) { cfg.sercfg = *p; }
    /** From a record.
     * \param p the record */
    CSerialCfg(const _SERIAL_CONFIG* p) : cfg(*p) {}
    /** From a baud-rate index and a parity.
     * \param baud the baud-rate index
     * \param parity the parity */
    CSerialCfg(eBaud baud, eParity parity)
    {
        Init();
        Fill(static_cast<unsigned>(baud), static_cast<unsigned>(parity));
    }
    /** Copies another object. */
    CSerialCfg(const CSerialCfg&) = default;

    /** Copies another object.
     * \returns this object */
    CSerialCfg& operator=(const CSerialCfg&) = default;
    /** Copies a record.
     * \param o the record
     * \returns this object */
    CSerialCfg& operator=(const _SERIAL_CONFIG& o)
    {
        cfg = o;
        return *this;
    }
    /** Compares the whole word with a record's; also for a non-const pointer,
     * which would else compete with the built-in comparison of the converted
     * object.
     * \param o the record
     * \returns true when equal */
    bool operator==(_SERIAL_CONFIG* o) const { return *this == static_cast<const _SERIAL_CONFIG*>(o); }
    /** Compares the whole word with a record's.
     * \param o the record
     * \returns true when equal */
    bool operator==(const _SERIAL_CONFIG* o) const { return cfg.sercfg == o->sercfg; }
    /** Compares the whole word.
     * \param word the word
     * \returns true when equal */
    bool operator==(unsigned word) const { return cfg.sercfg == word; }

    /** The whole word.
     * \returns the word */
    operator unsigned() const { return cfg.sercfg; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator _SERIAL_CONFIG*() { return &cfg; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator void*() { return &cfg; }

    /** Sets the word to 0. */
    void Init() { cfg.sercfg = 0; }
    /** Sets the record to the default (`Default`). */
    void InitDefault() { cfg = Default; }
    /** Kept for callers: there is nothing to make printable. */
    void MakePrintable() {}
    /** Sets the whole word.
     * \param word the word */
    void Fill(unsigned word) { cfg.sercfg = word; }
    /** Sets baud in bits 0-3, parity in 4-5, res in 6-31 (each cut to its bits).
     * \param baud the baud-rate index
     * \param parity the parity
     * \param res the remaining bits */
    void Fill(unsigned baud, unsigned parity, unsigned res = 0)
    {
        cfg.sercfg = (baud & 0xFu) | ((parity & 3u) << 4) | ((res & 0x3FFFFFFu) << 6);
    }
    /** Sets the index of a rate and a parity (res 0); a rate not in the table gives ::E_BR_MAX, cut to 4 bits.
     * \param bps bits a second
     * \param parity the parity */
    void FillBPS(int bps, unsigned parity);
    /** The rate of the baud-rate index.
     * \returns bits a second; 0 for an index of 14 or more */
    int BPS() const;
    /** The baud-rate index (bits 0-3).
     * \returns the index */
    unsigned Baud() const { return cfg.sercfg & 0xFu; }
    /** The parity (bits 4-5).
     * \returns the parity */
    unsigned Parity() const { return (cfg.sercfg >> 4) & 3u; }
    /** Bits 6-31.
     * \returns their value */
    unsigned Res() const { return cfg.sercfg >> 6; }
    /** The record's size in bytes.
     * \returns sizeof(_SERIAL_CONFIG) */
    uint64_t Size() const { return sizeof(_SERIAL_CONFIG); }

    /** Appends the record's text report to text : the word, baud-rate name, parity name and remaining bits.
     * \rpt */
    ///@{
    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    ///@}
    /** Appends "baud <rate>, parity <name>" to text.
     * \param text receives the text */
    ///@{
    void Brief(std::string& text) const;
    void BriefW(std::wstring& text) const;
    ///@}

    /** The default record. */
    static const _SERIAL_CONFIG Default;

    /** The record. */
    _SERIAL_CONFIG cfg;
};

/** The unit identifier (`_SEUID_CONFIG`).
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CSeuIDCfg {
public:
    /** Identifier 0. */
    CSeuIDCfg() { Init(); }
    /** From an identifier.
     * \param id the identifier */
    CSeuIDCfg(unsigned id) { cfg.seuID = id; }
    /** From the identifier p points at.
     * \param p the identifier */
    CSeuIDCfg(const unsigned* p) { cfg.seuID = *p; }
    /** From a record.
     * \param p the record */
    CSeuIDCfg(const _SEUID_CONFIG* p) : cfg(*p) {}
    /** Copies another object. */
    CSeuIDCfg(const CSeuIDCfg&) = default;

    /** Copies another object.
     * \returns this object */
    CSeuIDCfg& operator=(const CSeuIDCfg&) = default;
    /** Sets the identifier.
     * \param id the identifier
     * \returns this object */
    CSeuIDCfg& operator=(const unsigned& id)
    {
        cfg.seuID = id;
        return *this;
    }
    /** Compares the identifier.
     * \param id the identifier
     * \returns true when equal */
    bool operator==(unsigned id) const { return cfg.seuID == id; }

    /** The identifier.
     * \returns the identifier */
    operator int() const { return static_cast<int>(cfg.seuID); }
    /** The record, as a pointer for the command functions.
     * \returns the address of the identifier */
    operator unsigned*() { return &cfg.seuID; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator void*() { return &cfg; }

    /** Sets the identifier to 0. */
    void Init() { cfg.seuID = 0; }
    /** Sets the record to the default (`Default`). */
    void InitDefault() { cfg = Default; }
    /** Kept for callers: there is nothing to make printable. */
    void MakePrintable() {}
    /** Sets the identifier.
     * \param id the identifier */
    void Fill(int id) { cfg.seuID = static_cast<uint32_t>(id); }
    /** The record's size in bytes.
     * \returns sizeof(_SEUID_CONFIG) */
    uint64_t Size() const { return sizeof(_SEUID_CONFIG); }

    /** Appends the record's text report to text : "SEU ID: <id>".
     * \rpt */
    ///@{
    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    ///@}
    /** Appends the identifier as a number to text.
     * \param text receives the text */
    ///@{
    void Brief(std::string& text) const;
    void BriefW(std::wstring& text) const;
    ///@}

    /** The default record. */
    static const _SEUID_CONFIG Default;

    /** The record. */
    _SEUID_CONFIG cfg;
};

/** The frame rate (`_FRAMERATE_CONFIG`): code n is 960 / 2^(5 - n) frames a
 * second.
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CFrameRateCfg {
public:
    /** Code ::FR_240. */
    CFrameRateCfg() { Init(); }
    /** From the code p points at.
     * \param p the code */
    CFrameRateCfg(const unsigned* p) : frame_rate(*p) {}
    /** Copies another object. */
    CFrameRateCfg(const CFrameRateCfg&) = default;

    /** Copies another object.
     * \returns this object */
    CFrameRateCfg& operator=(const CFrameRateCfg&) = default;
    /** Compares the code; also for a non-const pointer.
     * \param p the code
     * \returns true when equal */
    bool operator==(unsigned* p) const { return *this == static_cast<const unsigned*>(p); }
    /** Compares the code.
     * \param p the code
     * \returns true when equal */
    bool operator==(const unsigned* p) const { return frame_rate == *p; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the code */
    operator unsigned*() { return &frame_rate; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the code */
    operator void*() { return &frame_rate; }

    /** Sets code ::FR_240. */
    void Init() { frame_rate = FR_240; }
    /** Sets the default code (`Default`). */
    void InitDefault() { frame_rate = Default.frame_rate; }
    /** Kept for callers: there is nothing to make printable. */
    void MakePrintable() {}
    /** Sets the code, taken as signed and kept within 0 to 5.
     * \param code the code */
    void Fill(unsigned code);
    /** The record's size in bytes.
     * \returns sizeof(uint32_t) */
    uint64_t Size() const { return sizeof(uint32_t); }

    /** The rate of the code: 960 / 2^(5 - code) Hz.
     * \returns frames a second, truncated */
    unsigned EffectiveRate() const;
    /** Milliseconds per frame, truncated.
     * \returns the period */
    unsigned FrequencyMS() const;
    /** Kept for callers.
     * \returns 240 */
    unsigned MaxRate() const { return 240; }

    /** Appends the record's text report to text: with full the effective rate
     * and the code's name, otherwise the rate alone.
     * \rpt
     * \param full with the code's name */
    ///@{
    void Report(std::string& text, bool header, bool oneLine, bool full) const;
    void ReportW(std::wstring& text, bool header, bool oneLine, bool full) const;
    ///@}
    /** Appends "<rate>" and " Hz" unless noUnit to text.
     * \param text receives the text
     * \param unused not used
     * \param noUnit without " Hz" */
    ///@{
    void ShortReport(std::string& text, bool unused = false, bool noUnit = false) const;
    void ShortReportW(std::wstring& text, bool unused = false, bool noUnit = false) const;
    ///@}

    /** The default record. */
    static const _FRAMERATE_CONFIG Default;

    /** The ::eFrameRate code. */
    uint32_t frame_rate;
};

/** Position and orientation units of P&O data (`_UNITS_CONFIG`).
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CUnitsCfg {
public:
    /** The default units. */
    CUnitsCfg() { Init(); }
    /** From units.
     * \param pos the position units
     * \param ori the orientation units */
    CUnitsCfg(eSorixPosUnits pos, eSorixOriUnits ori)
    {
        cfg.pos_units = pos;
        cfg.ori_units = ori;
    }
    /** From a record.
     * \param p the record */
    CUnitsCfg(const _UNITS_CONFIG* p) : cfg(*p) {}
    /** Copies another object. */
    CUnitsCfg(const CUnitsCfg&) = default;

    /** Copies another object.
     * \returns this object */
    CUnitsCfg& operator=(const CUnitsCfg&) = default;
    /** Copies a record.
     * \param p the record
     * \returns this object */
    CUnitsCfg& operator=(const _UNITS_CONFIG* p)
    {
        cfg = *p;
        return *this;
    }
    /** Compares both units; also for a non-const pointer.
     * \param o the record
     * \returns true when equal */
    bool operator==(_UNITS_CONFIG* o) const { return *this == static_cast<const _UNITS_CONFIG*>(o); }
    /** Compares both units.
     * \param o the record
     * \returns true when equal */
    bool operator==(const _UNITS_CONFIG* o) const
    {
        return cfg.pos_units == o->pos_units && cfg.ori_units == o->ori_units;
    }

    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator _UNITS_CONFIG*() { return &cfg; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator const _UNITS_CONFIG*() const { return &cfg; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator void*() { return &cfg; }

    /** Sets the default units. */
    void Init() { cfg = Default; }
    /** Sets the default units (`Default`). */
    void InitDefault() { cfg = Default; }
    /** Kept for callers: there is nothing to make printable. */
    void MakePrintable() {}
    /** Sets both units.
     * \param pos an ::eSorixPosUnits value
     * \param ori an ::eSorixOriUnits value */
    void Fill(unsigned pos, unsigned ori)
    {
        cfg.pos_units = pos;
        cfg.ori_units = ori;
    }
    /** The record's size in bytes.
     * \returns sizeof(_UNITS_CONFIG) */
    uint64_t Size() const { return sizeof(_UNITS_CONFIG); }

    /** Whether the orientation is in Euler angles.
     * \returns false for ::ORI_QUATERNION */
    bool IsEuler() const { return cfg.ori_units != ORI_QUATERNION; }
    /** The position units.
     * \returns the value */
    eSorixPosUnits ePos() const { return static_cast<eSorixPosUnits>(cfg.pos_units); }
    /** The orientation units.
     * \returns the value */
    eSorixOriUnits eOri() const { return static_cast<eSorixOriUnits>(cfg.ori_units); }
    /** The text of the position or orientation units: the long text with
     * longText ("Inch"), else the name ("POS_INCH"); see CSXcmd::posunitsstr().
     * \param longText the long text
     * \returns the text */
    ///@{
    const char* posunitsstr(bool longText) const;
    const char* oriunitsstr(bool longText) const;
    const wchar_t* posunitsstrW(bool longText) const;
    const wchar_t* oriunitsstrW(bool longText) const;
    ///@}

    /** Appends the record's text report to text: with full one field per unit ("pos_units: ..."), otherwise "pos,
     * ori".
     * \rpt
     * \param full one field per unit */
    void Report(std::string& text, bool header, bool oneLine, bool full) const;
    /** Appends the record's text report to text , one field per unit (the full form).
     * \rpt */
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    /** Appends "<pos>, <ori>" to text, with "Euler" before Euler units unless shortText.
     * \param text receives the text
     * \param longText the long texts ("Inch")
     * \param shortText the short texts ("IN") */
    ///@{
    void ShortReport(std::string& text, bool longText, bool shortText) const;
    void ShortReportW(std::wstring& text, bool longText, bool shortText) const;
    ///@}

    /** The default record. */
    static const _UNITS_CONFIG Default;

    /** The record. */
    _UNITS_CONFIG cfg;
};

/** @} */
