// What the unit tells about itself: identity texts and built-in-test result.
#pragma once

#include <SXCmdIF/SXCmdIFdefs.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <cstdint>
#include <string>

// Identity of the unit, a sensor or a source. Reports first terminate each
// text within its field (MakePrintable), which changes the object.
class SXCMDIF_API CWhoAmI {
public:
    CWhoAmI() { Init(); }
    CWhoAmI(const _WHOAMI_STRUCT* p) : cfg(*p) {}
    CWhoAmI(const CWhoAmI&) = default;
    CWhoAmI& operator=(const CWhoAmI&) = default;

    operator _WHOAMI_STRUCT*() { return &cfg; }
    operator void*() { return &cfg; }

    void Init() { cfg = _WHOAMI_STRUCT{}; }
    void InitDefault() { Init(); }
    // Each text that is not null, at most its field's width; the rest of the
    // field is zero.
    void Fill(const char* deviceName, const char* serialNo, const char* ioproc, const char* bootFw,
              const char* appFw);
    // A terminator in the last byte of every field.
    void MakePrintable();
    uint64_t Size() const { return sizeof(_WHOAMI_STRUCT); }

    void Report(std::string& text, bool header, bool oneLine);
    void ReportW(std::wstring& text, bool header, bool oneLine);
    // The serial number alone, with "hw_ser_no: " when label, "\r\n" when lineEnd.
    void ReportSnum(std::string& text, bool label, bool lineEnd);
    void ReportSnumW(std::wstring& text, bool label, bool lineEnd);

    _WHOAMI_STRUCT cfg;
};

// Built-in-test result with its summary: errmap bit i + 1 for every
// non-zero word i, errcount the number of such words.
class SXCMDIF_API CBitResult {
public:
    CBitResult() { Init(); }
    CBitResult(const _BIT_STRUCT* p) : cfg(*p) { SetMap(); }
    CBitResult(const CBitResult&) = default;
    CBitResult& operator=(const CBitResult&) = default;

    operator _BIT_STRUCT*() { return &cfg; }
    operator void*() { return &cfg; }

    void Init()
    {
        cfg = _BIT_STRUCT{};
        SetMap();
    }
    void InitDefault() { Init(); }
    void MakePrintable() {}
    void SetMap();
    uint64_t Size() const { return sizeof(_BIT_STRUCT); }

    // One entry per failing word, or the name of "no error".
    void Report(std::string& text, bool header, bool oneLine) const;
    void ReportW(std::wstring& text, bool header, bool oneLine) const;
    // The summary map.
    void ReportDetail0(std::string& text, bool header, bool oneLine) const;
    void ReportDetail0W(std::wstring& text, bool header, bool oneLine) const;
    // Each failing word with the numbers of its set bits (from 0 when
    // zeroBased, else from 1).
    void ReportDetail(std::string& text, bool zeroBased, bool header, bool oneLine);
    void ReportDetailW(std::wstring& text, bool zeroBased, bool header, bool oneLine);

    _BIT_STRUCT cfg;
    uint32_t errmap;
    uint32_t errcount;
};
