// CSXSeuPno: one P&O frame, its field readers and its text and CSV reports.
// Every report appends to the caller's string and never clears it.
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/pno/SXpnoRecords.h>

#include <string>

struct _UNITS_CONFIG;

class SXCMDIF_API CSXSeuPno {
public:
    CSXSeuPno();
    // From a whole 536-byte record (a received frame of any length is taken
    // in with Extractraw).
    CSXSeuPno(const unsigned char* record);
    CSXSeuPno(const _SX_PNO* record);
    CSXSeuPno(const CSXSeuPno& other);
    virtual ~CSXSeuPno();

    // Assignments copy the frame record only; the noise specification stays.
    CSXSeuPno& operator=(const unsigned char* record);
    CSXSeuPno& operator=(const _SX_PNO* record);
    CSXSeuPno& operator=(const CSXSeuPno& other);

    void Init();
    operator _SX_PNO*() { return &m_pno; }
    operator const _SX_PNO*() const { return &m_pno; }

    // Takes in a received "SXRP" frame: header words and the sensor records,
    // at most 16 and no more than the frame's `size` word covers; `snscnt`
    // becomes the number of records taken. Returns the frame length (28 + 32
    // per record), 0 for a null pointer or any other preamble, which leave
    // the object unchanged.
    unsigned int Extractraw(const unsigned char* frame);
    // The same, reading nothing past length bytes; 0 (and no change) when
    // the header does not fit.
    unsigned int Extractraw(const unsigned char* frame, unsigned int length);
    // Takes in the body of a single-P&O response (from `seuid` on): the 16
    // header bytes and at most 16 records (`snscnt` as for Extractraw).
    // Returns 20 + 32 per record taken;
    // 0 for a null pointer.
    unsigned int Extractseupno(const unsigned char* body);
    // The same, reading nothing past length bytes; 0 (and no change) when
    // the 16 header bytes do not fit.
    unsigned int Extractseupno(const unsigned char* body, unsigned int length);

    // `snscnt` <= maximum, compared unsigned; false for a null frame.
    static bool ValidateSensorCount(const unsigned char* frame, int maximum);
    // No sfinfo of the first `snscnt` records shares a bit with mask. A
    // frame claiming more than 16 records fails without being read further.
    static bool ValidateSensorIDs(const unsigned char* frame, unsigned int mask);
    // The same, and false when the claimed records do not fit length bytes.
    static bool ValidateSensorIDs(const unsigned char* frame, unsigned int length, unsigned int mask);

    unsigned int FrameNum() const { return m_pno.framenum; }
    unsigned int SensorCount() const { return m_pno.snscnt; }
    unsigned int Mode() const { return m_pno.hpinfo & 0x0F; }
    unsigned int BITerr() const { return (m_pno.hpinfo >> 4) & 0x0F; }
    unsigned char HPreserved1() const { return static_cast<unsigned char>(m_pno.hpinfo >> 8); }
    // Frames lost before this one (hpinfo bits 16 to 31).
    unsigned int LostFrames() const { return m_pno.hpinfo >> 16; }

    // Bit n set when sensor n (0 to 31) has a record.
    unsigned int SensorMap() const;
    // Record index, or null outside the records. Both views share the
    // address; Mode() says which one applies.
    _SENFRAMEDATA* SensFrame(int index);
    _SENFRAMEDATA_A* SensFrameA(int index);
    const _SENFRAMEDATA* SensFrame(int index) const;
    const _SENFRAMEDATA_A* SensFrameA(int index) const;
    // Position and orientation units of record index; units untouched when
    // the record does not exist.
    void SFUnits(int index, _UNITS_CONFIG* units) const;

    // Text report: table layout (one line per frame) or one line per sensor.
    void Report(std::string& out, bool bTable, bool bZeroBased, bool bAccel) const;
    // The same with fixed position formats, for any record.
    static void Report(const _SX_PNO* pno, std::string& out, bool bTable, bool bZeroBased, bool bAccel);
    void ReportW(std::wstring& out, bool bTable, bool bZeroBased, bool bAccel) const;
    static void ReportW(const _SX_PNO* pno, std::wstring& out, bool bTable, bool bZeroBased, bool bAccel);
    void ReportHdr(std::string& out, bool bTable, bool bZeroBased, bool bAccel) const;
    void ReportHdrW(std::wstring& out, bool bTable, bool bZeroBased, bool bAccel) const;

    void CSVHeader(std::string& out, bool bPerFrame, bool bAccel, bool bErrCol) const;
    void CSVHeaderW(std::wstring& out, bool bPerFrame, bool bAccel, bool bErrCol) const;
    void CSVHeaderEnh(std::string& out, bool bZeroBased, bool bDevCol, bool bPerFrame, bool bAccel,
                      bool bErrCol) const;
    void CSVReport(std::string& out, bool bPerFrame, bool bAccel, bool bErrCol) const;
    void CSVReportW(std::wstring& out, bool bPerFrame, bool bAccel, bool bErrCol) const;
    // Extended precision.
    void CSVReportEP(std::string& out, bool bPerFrame, bool bAccel, bool bErrCol) const;
    // Sensor number, position and orientation only.
    void CSVReportSimplePno(std::string& out, bool bPerFrame, bool bAccel) const;
    void CSVReportSimplePnoEP(std::string& out, int nSensorLimit, bool bPerFrame, bool bAccel) const;
    // With statistics, one line per frame adds two cells chosen by nRow
    // (1 to 5; see the spreadsheet layout of CSVHeaderEnh).
    void CSVReportEnh(std::string& out, bool bZeroBased, bool bStats, int nRow, bool bPerFrame, bool bAccel,
                      bool bErrCol) const;

    // Kept for callers; there is nothing to make printable.
    void MakePrintable() {}

    static const float default_pos_spec_rms;
    static const float default_ori_spec_rms;
    // Position formats by position units (inch, foot, cm, metre).
    static const char* const szPosFmtCSV[4];
    static const char* const szPosFmt[4];
    static const char* const szPosFmtSign[4];

    _SX_PNO m_pno;
    float m_fPosSpecRms; // position noise specification, inches
};
