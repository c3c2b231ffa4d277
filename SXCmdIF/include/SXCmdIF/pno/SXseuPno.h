/** \file
 * CSXSeuPno: one P&O frame, its field readers and its text and CSV reports.
 * Every report appends to the caller's string and never clears it.
 * \ingroup sx_pno_decoding */
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/pno/SXpnoRecords.h>

#include <string>

struct _UNITS_CONFIG;

/** \addtogroup sx_pno_decoding
 * @{ */

/** One P&O frame (`_SX_PNO`), its field readers and its text and CSV reports.
 * A received frame is taken in with Extractraw() (a queued raw frame) or
 * Extractseupno() (the body of a single-P&O answer, or a body-form frame).
 * An object belongs to one thread at a time; the static members may be used
 * from any thread. */
class SXCMDIF_API CSXSeuPno {
public:
    /** An empty frame (all zero), with the default noise specification. */
    CSXSeuPno();
    /** From a whole 536-byte record (a received frame of any length is taken in with Extractraw()).
     * \param record the record's bytes */
    CSXSeuPno(const unsigned char* record);
    /** From a whole record.
     * \param record the record */
    CSXSeuPno(const _SX_PNO* record);
    /** Copies the frame record and the noise specification.
     * \param other the object copied */
    CSXSeuPno(const CSXSeuPno& other);
    /** Destroys the object. */
    virtual ~CSXSeuPno();

    /** Copies a whole 536-byte record; the noise specification stays.
     * \param record the record's bytes
     * \returns this object */
    CSXSeuPno& operator=(const unsigned char* record);
    /** Copies a whole record; the noise specification stays.
     * \param record the record
     * \returns this object */
    CSXSeuPno& operator=(const _SX_PNO* record);
    /** Copies the frame record only; the noise specification stays.
     * \param other the object copied
     * \returns this object */
    CSXSeuPno& operator=(const CSXSeuPno& other);

    /** Empties the frame record (all zero). */
    void Init();
    /** The frame record.
     * \returns its address */
    ///@{
    operator _SX_PNO*() { return &m_pno; }
    operator const _SX_PNO*() const { return &m_pno; }
    ///@}

    /** Takes in a received "SXRP" frame: header words and the sensor records, at most 16 and no more than the
     * frame's `size` word covers; `snscnt` becomes the number of records taken.
     * \param frame the raw frame (reads as far as its `size` word says)
     * \returns the frame length (28 + 32 per record); 0 for a null pointer or any other preamble, which leave
     *   the object unchanged */
    unsigned int Extractraw(const unsigned char* frame);
    /** The same, reading nothing past length bytes.
     * \param frame the raw frame
     * \param length its bytes
     * \returns the frame length; 0 (and no change) also when the 24-byte header does not fit */
    unsigned int Extractraw(const unsigned char* frame, unsigned int length);
    /** Takes in the body of a single-P&O answer (from `seuid` on): the 16 header bytes and at most 16 records
     * (`snscnt` as for Extractraw()); `preamble` and `size` become 0.
     * \param body the body
     * \returns 20 + 32 per record taken; 0 for a null pointer */
    unsigned int Extractseupno(const unsigned char* body);
    /** The same, reading nothing past length bytes.
     * \param body the body
     * \param length its bytes
     * \returns 20 + 32 per record taken; 0 (and no change) when the 16 header bytes do not fit */
    unsigned int Extractseupno(const unsigned char* body, unsigned int length);

    /** Whether a raw frame's `snscnt` is at most maximum, compared unsigned.
     * \param frame the raw frame
     * \param maximum the most sensors allowed
     * \returns the result; false for a null frame */
    static bool ValidateSensorCount(const unsigned char* frame, int maximum);
    /** Whether no `sfinfo` of the first `snscnt` records shares a bit with mask. A frame claiming more than 16
     * records fails without being read further.
     * \param frame the raw frame
     * \param mask the forbidden bits (0x70: sensor numbers of 16 or more)
     * \returns true when none does */
    static bool ValidateSensorIDs(const unsigned char* frame, unsigned int mask);
    /** The same, and false when the claimed records do not fit length bytes.
     * \param frame the raw frame
     * \param length its bytes
     * \param mask the forbidden bits
     * \returns true when the records fit and none shares a bit with mask */
    static bool ValidateSensorIDs(const unsigned char* frame, unsigned int length, unsigned int mask);

    /** The unit's frame count.
     * \returns `framenum` */
    unsigned int FrameNum() const { return m_pno.framenum; }
    /** The number of sensor records.
     * \returns `snscnt` */
    unsigned int SensorCount() const { return m_pno.snscnt; }
    /** The record format: not 0 for acceleration records.
     * \returns `hpinfo` bits 0-3 */
    unsigned int Mode() const { return m_pno.hpinfo & 0x0F; }
    /** The built-in-test error, an ::eBITerr code.
     * \returns `hpinfo` bits 4-7 */
    unsigned int BITerr() const { return (m_pno.hpinfo >> 4) & 0x0F; }
    /** The library's error marks (::SX_HPINFO_FRAMERR etc., shifted down).
     * \returns `hpinfo` bits 8-15 */
    unsigned char HPreserved1() const { return static_cast<unsigned char>(m_pno.hpinfo >> 8); }
    /** Frames lost before this one, as the library counted them (sxdev_pnofrmerr_allow()).
     * \returns `hpinfo` bits 16-31 */
    unsigned int LostFrames() const { return m_pno.hpinfo >> 16; }

    /** The sensors that have a record.
     * \returns bit n set when sensor n (0 to 31) has a record */
    unsigned int SensorMap() const;
    /** A record: SensFrame in the plain view, SensFrameA in the acceleration view, at the same address (Mode()
     * says which view applies).
     * \param index the record's index (0 to `snscnt` - 1)
     * \returns its address; null outside the records */
    ///@{
    _SENFRAMEDATA* SensFrame(int index);
    _SENFRAMEDATA_A* SensFrameA(int index);
    const _SENFRAMEDATA* SensFrame(int index) const;
    const _SENFRAMEDATA_A* SensFrameA(int index) const;
    ///@}
    /** The position and orientation units of a record, from its `sfinfo`.
     * \param index the record's index
     * \param units receives the units; untouched when the record does not exist */
    void SFUnits(int index, _UNITS_CONFIG* units) const;

    /** Appends the frame's text report: unit, frame count and each sensor's position and orientation.
     * \param out receives the text, appended (never cleared)
     * \param bTable table layout, one line per frame; else one line per sensor
     * \param bZeroBased number units and sensors from 0, else from 1
     * \param bAccel show the acceleration of acceleration records */
    void Report(std::string& out, bool bTable, bool bZeroBased, bool bAccel) const;
    /** The same for any record, with fixed position formats.
     * \param pno the record
     * \param out receives the text, appended (never cleared)
     * \param bTable table layout, one line per frame; else one line per sensor
     * \param bZeroBased number units and sensors from 0, else from 1
     * \param bAccel show the acceleration of acceleration records */
    static void Report(const _SX_PNO* pno, std::string& out, bool bTable, bool bZeroBased, bool bAccel);
    /** The wide form of Report().
     * \param out receives the text, appended (never cleared)
     * \param bTable table layout, one line per frame; else one line per sensor
     * \param bZeroBased number units and sensors from 0, else from 1
     * \param bAccel show the acceleration of acceleration records */
    void ReportW(std::wstring& out, bool bTable, bool bZeroBased, bool bAccel) const;
    /** The wide form of the static Report().
     * \param pno the record
     * \param out receives the text, appended (never cleared)
     * \param bTable table layout, one line per frame; else one line per sensor
     * \param bZeroBased number units and sensors from 0, else from 1
     * \param bAccel show the acceleration of acceleration records */
    static void ReportW(const _SX_PNO* pno, std::wstring& out, bool bTable, bool bZeroBased, bool bAccel);
    /** Appends the heading of the text report.
     * \param out receives the text, appended (never cleared)
     * \param bTable table layout, one line per frame; else one line per sensor
     * \param bZeroBased number units and sensors from 0, else from 1
     * \param bAccel show the acceleration of acceleration records */
    ///@{
    void ReportHdr(std::string& out, bool bTable, bool bZeroBased, bool bAccel) const;
    void ReportHdrW(std::wstring& out, bool bTable, bool bZeroBased, bool bAccel) const;
    ///@}

    /** Appends the CSV header row for frames like this one.
     * \param out receives the text, appended (never cleared)
     * \param bPerFrame one row per frame; else one row per sensor
     * \param bAccel acceleration columns for acceleration records
     * \param bErrCol with the error column */
    ///@{
    void CSVHeader(std::string& out, bool bPerFrame, bool bAccel, bool bErrCol) const;
    void CSVHeaderW(std::wstring& out, bool bPerFrame, bool bAccel, bool bErrCol) const;
    ///@}
    /** Appends the header of the enhanced CSV rows (CSVReportEnh()).
     * \param out receives the text, appended (never cleared)
     * \param bZeroBased number sensors from 0, else from 1
     * \param bDevCol with the deviation columns
     * \param bPerFrame one row per frame; else one row per sensor
     * \param bAccel acceleration columns for acceleration records
     * \param bErrCol with the error column */
    void CSVHeaderEnh(std::string& out, bool bZeroBased, bool bDevCol, bool bPerFrame, bool bAccel, bool bErrCol) const;
    /** Appends the frame's CSV rows.
     * \param out receives the text, appended (never cleared)
     * \param bPerFrame one row per frame; else one row per sensor
     * \param bAccel acceleration columns for acceleration records
     * \param bErrCol with the error column */
    ///@{
    void CSVReport(std::string& out, bool bPerFrame, bool bAccel, bool bErrCol) const;
    void CSVReportW(std::wstring& out, bool bPerFrame, bool bAccel, bool bErrCol) const;
    ///@}
    /** The same with extended precision.
     * \param out receives the text, appended (never cleared)
     * \param bPerFrame one row per frame; else one row per sensor
     * \param bAccel acceleration columns for acceleration records
     * \param bErrCol with the error column */
    void CSVReportEP(std::string& out, bool bPerFrame, bool bAccel, bool bErrCol) const;
    /** Appends CSV rows of sensor number, position and orientation only.
     * \param out receives the text, appended (never cleared)
     * \param bPerFrame one row per frame; else one row per sensor
     * \param bAccel acceleration columns for acceleration records */
    void CSVReportSimplePno(std::string& out, bool bPerFrame, bool bAccel) const;
    /** The same with extended precision, for the first sensors only.
     * \param out receives the text, appended (never cleared)
     * \param nSensorLimit the most sensors reported (0 or less: none)
     * \param bPerFrame one row per frame; else one row per sensor
     * \param bAccel acceleration columns for acceleration records */
    void CSVReportSimplePnoEP(std::string& out, int nSensorLimit, bool bPerFrame, bool bAccel) const;
    /** Appends the enhanced CSV rows; with statistics, one row per frame adds two cells chosen by nRow (1 to 5;
     * see the spreadsheet layout of CSVHeaderEnh()).
     * \param out receives the text, appended (never cleared)
     * \param bZeroBased number unit and sensors from 0, else from 1
     * \param bStats with the statistics cells
     * \param nRow the spreadsheet row the cells refer to (1 to 5)
     * \param bPerFrame one row per frame; else one row per sensor
     * \param bAccel acceleration columns for acceleration records
     * \param bErrCol with the error column */
    void CSVReportEnh(std::string& out, bool bZeroBased, bool bStats, int nRow, bool bPerFrame, bool bAccel,
                      bool bErrCol) const;

    /** Kept for callers; there is nothing to make printable. */
    void MakePrintable() {}

    /** The default position noise specification, in inches. */
    static const float default_pos_spec_rms;
    /** The default orientation noise specification. */
    static const float default_ori_spec_rms;
    /** CSV position formats by position units (inch, foot, cm, metre). */
    static const char* const szPosFmtCSV[4];
    /** Text position formats by position units. */
    static const char* const szPosFmt[4];
    /** Text position formats with a sign, by position units. */
    static const char* const szPosFmtSign[4];

    /** The frame record. */
    _SX_PNO m_pno;
    /** Position noise specification, in inches. */
    float m_fPosSpecRms; // position noise specification, inches
};

/** @} */
