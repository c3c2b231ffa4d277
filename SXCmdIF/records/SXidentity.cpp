// Identity and built-in-test records.
#include <SXCmdIF/protocol/SXcmd.h>
#include <SXCmdIF/records/SXidentity.h>

#include "ReportText.h"

#include <cstring>

using namespace sxrec;

namespace {

void CopyField(char* field, size_t width, const char* from)
{
    if (!from)
        return;
    size_t n = 0;
    while (n < width && from[n])
        ++n;
    std::memcpy(field, from, n);
    std::memset(field + n, 0, width - n);
}

// A field as wide text: its fields are terminated (MakePrintable has run).
struct WideField {
    explicit WideField(const char* field) { Widen(field, text, sizeof text / sizeof text[0]); }
    wchar_t text[64];
};

constexpr int kBitWords = 7;
constexpr int kLastListedBit = 16;

// The set bits of word among bits 0 to 16 as runs: "1", "1,2", "1-3",
// joined by commas; a run still open at bit 16 shows as "...".
template <typename Ch>
struct ListTexts {
    const Ch* empty;
    const Ch* comma;
    const Ch* one;   // prefix, bit
    const Ch* two;   // prefix, bit, bit
    const Ch* range; // prefix, first, last
    const Ch* open;
};

constexpr ListTexts<char> kList{"", ",", "%s%d", "%s%d,%d", "%s%d-%d", "..."};
constexpr ListTexts<wchar_t> kListW{L"", L",", L"%ls%d", L"%ls%d,%d", L"%ls%d-%d", L"..."};

// add(format, prefix, a, b): formats that use fewer values ignore the rest.
template <typename Ch, typename AddFn>
void BitList(uint32_t word, int base, const ListTexts<Ch>& t, AddFn add)
{
    int start = -1;
    const Ch* prefix = t.empty;
    for (int b = 0; b <= kLastListedBit; ++b) {
        if ((word >> b) & 1u) {
            if (start < 0)
                start = b;
            continue;
        }
        if (start < 0)
            continue;
        const int last = b - 1;
        if (last == start)
            add(t.one, prefix, start + base, 0);
        else if (last == start + 1)
            add(t.two, prefix, start + base, last + base);
        else
            add(t.range, prefix, start + base, last + base);
        prefix = t.comma;
        start = -1;
    }
    if (start >= 0)
        add(t.open, prefix, 0, 0);
}

} // namespace

// ---- CWhoAmI

void CWhoAmI::Fill(const char* deviceName, const char* serialNo, const char* ioproc, const char* bootFw,
                   const char* appFw)
{
    CopyField(cfg.device_name, sizeof cfg.device_name, deviceName);
    CopyField(cfg.hw_ser_no, sizeof cfg.hw_ser_no, serialNo);
    CopyField(cfg.ioproc, sizeof cfg.ioproc, ioproc);
    CopyField(cfg.dsp_bt_fw, sizeof cfg.dsp_bt_fw, bootFw);
    CopyField(cfg.dsp_app_fw, sizeof cfg.dsp_app_fw, appFw);
}

void CWhoAmI::MakePrintable()
{
    cfg.device_name[sizeof cfg.device_name - 1] = '\0';
    cfg.hw_ser_no[sizeof cfg.hw_ser_no - 1] = '\0';
    cfg.ioproc[sizeof cfg.ioproc - 1] = '\0';
    cfg.dsp_bt_fw[sizeof cfg.dsp_bt_fw - 1] = '\0';
    cfg.dsp_app_fw[sizeof cfg.dsp_app_fw - 1] = '\0';
}

void CWhoAmI::Report(std::string& text, bool header, bool oneLine)
{
    MakePrintable();
    const Look k("WHOAMI_STRUCT:", header, oneLine);
    Append(text, kWhoAmIBuf,
           "%s%sdevice_name: %s%s%shw_ser_no:   %s%s%sioproc:      %s%s%sdsp_bt_fw:   %s%s%sdsp_app_fw:  %s\r\n",
           k.lead, k.indent, cfg.device_name, k.sep, k.indent, cfg.hw_ser_no, k.sep, k.indent, cfg.ioproc, k.sep,
           k.indent, cfg.dsp_bt_fw, k.sep, k.indent, cfg.dsp_app_fw);
}

void CWhoAmI::ReportW(std::wstring& text, bool header, bool oneLine)
{
    MakePrintable();
    const LookW k(L"WHOAMI_STRUCT:", header, oneLine);
    const WideField name(cfg.device_name), ser(cfg.hw_ser_no), io(cfg.ioproc), bt(cfg.dsp_bt_fw),
        app(cfg.dsp_app_fw);
    AppendW(text, kWhoAmIBuf,
            L"%ls%lsdevice_name: %ls%ls%lshw_ser_no:   %ls%ls%lsioproc:      %ls%ls%lsdsp_bt_fw:   %ls%ls%lsdsp_app_fw: "
            L" %ls\r\n",
            k.lead, k.indent, name.text, k.sep, k.indent, ser.text, k.sep, k.indent, io.text, k.sep, k.indent, bt.text,
            k.sep, k.indent, app.text);
}

void CWhoAmI::ReportSnum(std::string& text, bool label, bool lineEnd)
{
    MakePrintable();
    Append(text, kWhoAmIBuf, "%s%s %s", label ? "hw_ser_no: " : "", cfg.hw_ser_no, lineEnd ? "\r\n" : "");
}

void CWhoAmI::ReportSnumW(std::wstring& text, bool label, bool lineEnd)
{
    MakePrintable();
    const WideField ser(cfg.hw_ser_no);
    AppendW(text, kWhoAmIBuf, L"%ls%ls %ls", label ? L"hw_ser_no: " : L"", ser.text, lineEnd ? L"\r\n" : L"");
}

// ---- CBitResult

void CBitResult::SetMap()
{
    errmap = 0;
    errcount = 0;
    for (int i = 0; i < kBitWords; ++i) {
        if (cfg.err[i]) {
            errmap |= 1u << (i + 1);
            ++errcount;
        }
    }
}

void CBitResult::Report(std::string& text, bool header, bool oneLine) const
{
    const Look k("BIT_STRUCT:", header, oneLine, " ", OneLineIndent::OneSpace);
    if (errcount == 0) {
        Append(text, kReportBuf, "%s%s%s\r\n", k.lead, k.indent, CSXcmd::bitcodestr(0));
        return;
    }
    Append(text, kReportBuf, "%s", k.lead);
    for (int i = 0; i < kBitWords; ++i)
        if (cfg.err[i])
            Append(text, kReportBuf, "%s%-20s :  0x%x%s", k.indent, CSXcmd::bitcodestr(i + 1), cfg.err[i], k.sep);
}

void CBitResult::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    const LookW k(L"BIT_STRUCT:", header, oneLine);
    if (errcount == 0) {
        AppendW(text, kReportBuf, L"%ls%ls%ls\r\n", k.lead, k.indent, CSXcmd::bitcodestrW(0));
        return;
    }
    AppendW(text, kReportBuf, L"%ls", k.lead);
    for (int i = 0; i < kBitWords; ++i)
        if (cfg.err[i])
            AppendW(text, kReportBuf, L"%ls%-20ls :  0x%x%ls", k.indent, CSXcmd::bitcodestrW(i + 1), cfg.err[i],
                    k.sep);
}

void CBitResult::ReportDetail0(std::string& text, bool header, bool oneLine) const
{
    const Look k("", header, oneLine, " ", OneLineIndent::OneSpace);
    Append(text, kReportBuf, "%s%s%serrmap: 0x08%x\r\n", header ? "BIT_STRUCT: " : "", header ? k.sep : "", k.indent,
           errmap);
}

void CBitResult::ReportDetail0W(std::wstring& text, bool header, bool oneLine) const
{
    const LookW k(L"", header, oneLine);
    const wchar_t* indent = header ? (oneLine ? L" " : L"   ") : L"";
    AppendW(text, kReportBuf, L"%ls%ls%lserrmap: 0x08%x\r\n", header ? L"BIT_STRUCT: " : L"", header ? k.sep : L"",
            indent, errmap);
}

void CBitResult::ReportDetail(std::string& text, bool zeroBased, bool header, bool oneLine)
{
    MakePrintable();
    const char* sep = Sep(oneLine);
    const char* indent = "";
    if (errcount == 0) {
        Append(text, kReportBuf, "%s%s%s%s%s\r\n", header ? "Built-In Test Results: " : "", header ? sep : "",
               header ? sep : "", indent, CSXcmd::bitcodevalstr(0));
        return;
    }
    if (header)
        Append(text, kReportBuf, "%s%s%s%s%s", "Built-In Test Results: Errors Detected", sep, sep, "", "");
    else
        Append(text, kReportBuf, "%s%s%s%s%s", "", "", "", "Errors Detected:", sep);
    const int base = zeroBased ? 0 : 1;
    for (int i = 0; i < kBitWords; ++i) {
        if (!cfg.err[i])
            continue;
        std::string list;
        BitList(cfg.err[i], base, kList, [&list](const char* fmt, const char* prefix, int a, int b) {
            Append(list, kReportBuf, fmt, prefix, a, b);
        });
        Append(text, kReportBuf, "%s%-15s 0x%04x : %s%s", indent, CSXcmd::bitcodevalstr(i + 1), cfg.err[i],
               list.c_str(), sep);
    }
}

void CBitResult::ReportDetailW(std::wstring& text, bool zeroBased, bool header, bool oneLine)
{
    MakePrintable();
    const wchar_t* sep = SepW(oneLine);
    const wchar_t* indent = L"";
    if (errcount == 0) {
        AppendW(text, kReportBuf, L"%ls%ls%ls%ls%ls\r\n", header ? L"Built-In Test Results: " : L"",
                header ? sep : L"", header ? sep : L"", indent, CSXcmd::bitcodevalstrW(0));
        return;
    }
    if (header)
        AppendW(text, kReportBuf, L"%ls%ls%ls%ls%ls", L"Built-In Test Results: Errors Detected", sep, sep, L"", L"");
    else
        AppendW(text, kReportBuf, L"%ls%ls%ls%ls%ls", L"", L"", L"", L"Errors Detected:", sep);
    const int base = zeroBased ? 0 : 1;
    for (int i = 0; i < kBitWords; ++i) {
        if (!cfg.err[i])
            continue;
        std::wstring list;
        BitList(cfg.err[i], base, kListW, [&list](const wchar_t* fmt, const wchar_t* prefix, int a, int b) {
            AppendW(list, kReportBuf, fmt, prefix, a, b);
        });
        AppendW(text, kReportBuf, L"%ls%-15ls 0x%04x : %ls%ls", indent, CSXcmd::bitcodevalstrW(i + 1), cfg.err[i],
                list.c_str(), sep);
    }
}
