// Reports of the binary and enumerated settings.
#include <SXCmdIF/protocol/SXcmd.h>
#include <SXCmdIF/records/SXbinenumcfg.h>

#include "ReportText.h"

using namespace sxrec;

namespace {

// "NAME: value (word)" of a binary setting under its own label.
void ReportBinary(std::string& text, bool header, bool oneLine, int value, const char* label, const char* gap)
{
    const Look k(label, header, oneLine, gap);
    Append(text, kReportBuf, "%s%sBINARY_CONFIG %d (%s)\r\n", k.lead, k.indent, value,
           CSXcmd::binstr(static_cast<unsigned>(value), false));
}

void ReportBinaryW(std::wstring& text, bool header, bool oneLine, int value, const wchar_t* label,
                   const wchar_t* gap)
{
    const LookW k(label, header, oneLine, gap);
    AppendW(text, kReportBuf, L"%ls%lsBINARY_CONFIG %d (%ls)\r\n", k.lead, k.indent, value,
            CSXcmd::binstrW(static_cast<unsigned>(value), false));
}

void ReportNamed(std::string& text, bool header, bool oneLine, unsigned value, const char* label,
                 const char* name)
{
    const Look k(label, header, oneLine);
    Append(text, kReportBuf, "%s%sVAL: %d : %s\r\n", k.lead, k.indent, static_cast<int>(value), name);
}

void ReportNamedW(std::wstring& text, bool header, bool oneLine, unsigned value, const wchar_t* label,
                  const wchar_t* name)
{
    const LookW k(label, header, oneLine);
    AppendW(text, kReportBuf, L"%ls%lsVAL: %d : %ls\r\n", k.lead, k.indent, static_cast<int>(value), name);
}

constexpr const char* kSyncGap = "       ";
constexpr const wchar_t* kSyncGapW = L"       ";

} // namespace

void CBinaryCfg::Report(std::string& text, bool header, bool oneLine) const
{
    const Look k("BINARY_CONFIG:", header, oneLine);
    Append(text, kReportBuf, "%s%s%d\r\n", k.lead, k.indent, value);
}

void CBinaryCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    const LookW k(L"BINARY_CONFIG:", header, oneLine);
    AppendW(text, kReportBuf, L"%ls%ls%d\r\n", k.lead, k.indent, value);
}

void CBinaryCfg::Brief(std::string& text, bool trueFalse) const
{
    text += CSXcmd::binstr(value != 0, trueFalse);
}

void CBinaryCfg::BriefW(std::wstring& text, bool trueFalse) const
{
    text += CSXcmd::binstrW(value != 0, trueFalse);
}

void CDualOutputCfg::Report(std::string& text, bool header, bool oneLine) const
{
    ReportBinary(text, header, oneLine, value, "DUAL OUTPUT:", " ");
}

void CDualOutputCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    ReportBinaryW(text, header, oneLine, value, L"DUAL OUTPUT:", L" ");
}

void CSyncModeCfg::Report(std::string& text, bool header, bool oneLine) const
{
    ReportBinary(text, header, oneLine, value, "SYNC MODE:", kSyncGap);
}

void CSyncModeCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    ReportBinaryW(text, header, oneLine, value, L"SYNC MODE:", kSyncGapW);
}

void CSyncModeCfg::Brief(std::string& text) const { text += CSXcmd::binstr(static_cast<unsigned>(value), false); }

void CSyncModeCfg::BriefW(std::wstring& text, bool, bool) const
{
    text += CSXcmd::binstrW(static_cast<unsigned>(value), false);
}

void CEnumCfg::Report(std::string& text, bool header, bool oneLine) const
{
    const Look k("ENUM_CONFIG:", header, oneLine);
    Append(text, kReportBuf, "%s%sVAL: %d : %d\r\n", k.lead, k.indent, static_cast<int>(value),
           static_cast<int>(value));
}

void CEnumCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    const LookW k(L"ENUM_CONFIG:", header, oneLine);
    AppendW(text, kReportBuf, L"%ls%lsVAL: %d : %d\r\n", k.lead, k.indent, static_cast<int>(value),
            static_cast<int>(value));
}

void CFTTCfg::Report(std::string& text, bool header, bool oneLine) const
{
    ReportNamed(text, header, oneLine, value, "FTT_CONFIG:", CSXcmd::fttstr(value));
}

void CFTTCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    ReportNamedW(text, header, oneLine, value, L"FTT_CONFIG:", CSXcmd::fttstrW(value));
}

void CSnsOrigCfg::Report(std::string& text, bool header, bool oneLine) const
{
    ReportNamed(text, header, oneLine, value, "SNS_ORIG_CONFIG:", CSXcmd::snsorigstr(value));
}

void CSnsOrigCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    ReportNamedW(text, header, oneLine, value, L"SNS_ORIG_CONFIG:", CSXcmd::snsorigstrW(value));
}

void CStylusCfg::Report(std::string& text, bool header, bool oneLine) const
{
    ReportNamed(text, header, oneLine, value, "STYLUS_CONFIG:", CSXcmd::stylusmodestr(value));
}

void CStylusCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    ReportNamedW(text, header, oneLine, value, L"STYLUS_CONFIG:", CSXcmd::stylusmodestrW(value));
}

void CStylusCfg::Brief(std::string& text) const { text += CSXcmd::stylusmodestr(value); }

void CStylusCfg::BriefW(std::wstring& text) const { text += CSXcmd::stylusmodestrW(value); }
