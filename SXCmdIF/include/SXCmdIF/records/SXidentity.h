/** \file
 * What the unit tells about itself: identity texts and built-in-test result.
 * \ingroup sx_records */
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <cstdint>
#include <string>

/** \addtogroup sx_records
 * @{ */

/** The identity of the unit, a sensor or a source (`_WHOAMI_STRUCT`). Reports
 * first terminate each text within its field (MakePrintable()), which changes
 * the object.
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CWhoAmI {
public:
    /** All fields empty. */
    CWhoAmI() { Init(); }
    /** From a record.
     * \param p the record */
    CWhoAmI(const _WHOAMI_STRUCT* p) : cfg(*p) {}
    /** Copies another object. */
    CWhoAmI(const CWhoAmI&) = default;
    /** Copies another object.
     * \returns this object */
    CWhoAmI& operator=(const CWhoAmI&) = default;

    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator _WHOAMI_STRUCT*() { return &cfg; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator void*() { return &cfg; }

    /** All fields empty (zero). */
    void Init() { cfg = _WHOAMI_STRUCT{}; }
    /** All fields empty (zero). */
    void InitDefault() { Init(); }
    /** Sets each text that is not null, at most its field's width; the rest of the field is zero.
     * \param deviceName the device name (64 bytes)
     * \param serialNo the serial number (32 bytes)
     * \param ioproc the I/O processor firmware (32 bytes)
     * \param bootFw the DSP boot firmware (32 bytes)
     * \param appFw the DSP application firmware (32 bytes) */
    void Fill(const char* deviceName, const char* serialNo, const char* ioproc, const char* bootFw, const char* appFw);
    /** Writes a terminator into the last byte of every field. */
    void MakePrintable();
    /** The record's size in bytes.
     * \returns sizeof(_WHOAMI_STRUCT) */
    uint64_t Size() const { return sizeof(_WHOAMI_STRUCT); }

    /** Appends the record's text report to text: the five fields, after MakePrintable().
     * \rpt */
    ///@{
    void Report(std::string& text, bool header, bool oneLine);
    void ReportW(std::wstring& text, bool header, bool oneLine);
    ///@}
    /** Appends the serial number alone (after a blank) to text, after MakePrintable().
     * \param text receives the text
     * \param label begin with "hw_ser_no: "
     * \param lineEnd end with "\r\n" */
    ///@{
    void ReportSnum(std::string& text, bool label, bool lineEnd);
    void ReportSnumW(std::wstring& text, bool label, bool lineEnd);
    ///@}

    /** The record. */
    _WHOAMI_STRUCT cfg;
};

/** The built-in-test result (`_BIT_STRUCT`) with its summary: `errmap` bit
 * i + 1 for every non-zero word i, `errcount` the number of such words.
 * An object belongs to one thread at a time; its static members (the
 * defaults) may be read from any thread. */
class SXCMDIF_API CBitResult {
public:
    /** No error. */
    CBitResult() { Init(); }
    /** From a record, summarised.
     * \param p the record */
    CBitResult(const _BIT_STRUCT* p) : cfg(*p) { SetMap(); }
    /** Copies another object. */
    CBitResult(const CBitResult&) = default;
    /** Copies another object.
     * \returns this object */
    CBitResult& operator=(const CBitResult&) = default;

    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator _BIT_STRUCT*() { return &cfg; }
    /** The record, as a pointer for the command functions.
     * \returns the address of the record */
    operator void*() { return &cfg; }

    /** No error: all words zero, summarised. */
    void Init()
    {
        cfg = _BIT_STRUCT{};
        SetMap();
    }
    /** No error, as Init(). */
    void InitDefault() { Init(); }
    /** Kept for callers: there is nothing to make printable. */
    void MakePrintable() {}
    /** Summarises the words into `errmap` and `errcount`. */
    void SetMap();
    /** The record's size in bytes.
     * \returns sizeof(_BIT_STRUCT) */
    uint64_t Size() const { return sizeof(_BIT_STRUCT); }

    /** Appends the record's text report to text: one entry per failing word with its BIT code's text, or the
     * text of "no error".
     * \rpt */
    ///@{
    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    ///@}
    /** Appends the summary map to text.
     * \rpt */
    ///@{
    void ReportDetail0(std::string& text, bool header, bool oneLine) const;
    void ReportDetail0W(std::wstring& text, bool header, bool oneLine) const;
    ///@}
    /** Appends each failing word to text with the numbers of its set bits (runs such as "1-3").
     * \param text receives the report, appended (never cleared)
     * \param zeroBased number the bits from 0, else from 1
     * \param header begin with the record's label and indent the fields
     * \param oneLine separate the fields by ", " instead of line ends */
    ///@{
    void ReportDetail(std::string& text, bool zeroBased, bool header, bool oneLine);
    void ReportDetailW(std::wstring& text, bool zeroBased, bool header, bool oneLine);
    ///@}

    /** The record. */
    _BIT_STRUCT cfg;
    /** Bit i + 1: word i is not zero. */
    uint32_t errmap;
    /** The number of non-zero words. */
    uint32_t errcount;
};

/** @} */
