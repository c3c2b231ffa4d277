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

void ReportNamed(std::string& text, bool header, bool oneLine, unsigned value, const char* label, const char* name)
{
    const Look k(label, header, oneLine);
    Append(text, kReportBuf, "%s%sVAL: %d : %s\r\n", k.lead, k.indent, static_cast<int>(value), name);
}

constexpr const char* kSyncGap = "       ";

} // namespace

void CBinaryCfg::Report(std::string& text, bool header, bool oneLine) const
{
    const Look k("BINARY_CONFIG:", header, oneLine);
    Append(text, kReportBuf, "%s%s%d\r\n", k.lead, k.indent, value);
}

void CBinaryCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) { CBinaryCfg::Report(narrow, header, oneLine); });
}

void CBinaryCfg::Brief(std::string& text, bool trueFalse) const
{
    text += CSXcmd::binstr(value != 0, trueFalse);
}

void CBinaryCfg::BriefW(std::wstring& text, bool trueFalse) const
{
    AppendWidened(text, [&](std::string& narrow) { CBinaryCfg::Brief(narrow, trueFalse); });
}

void CDualOutputCfg::Report(std::string& text, bool header, bool oneLine) const
{
    ReportBinary(text, header, oneLine, value, "DUAL OUTPUT:", " ");
}

void CDualOutputCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) { CDualOutputCfg::Report(narrow, header, oneLine); });
}

void CSyncModeCfg::Report(std::string& text, bool header, bool oneLine) const
{
    ReportBinary(text, header, oneLine, value, "SYNC MODE:", kSyncGap);
}

void CSyncModeCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) { CSyncModeCfg::Report(narrow, header, oneLine); });
}

void CSyncModeCfg::Brief(std::string& text) const
{
    text += CSXcmd::binstr(static_cast<unsigned>(value), false);
}

void CSyncModeCfg::BriefW(std::wstring& text, bool, bool) const
{
    AppendWidened(text, [&](std::string& narrow) { CSyncModeCfg::Brief(narrow); });
}

void CEnumCfg::Report(std::string& text, bool header, bool oneLine) const
{
    const Look k("ENUM_CONFIG:", header, oneLine);
    Append(text, kReportBuf, "%s%sVAL: %d : %d\r\n", k.lead, k.indent, static_cast<int>(value),
           static_cast<int>(value));
}

void CEnumCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) { CEnumCfg::Report(narrow, header, oneLine); });
}

void CFTTCfg::Report(std::string& text, bool header, bool oneLine) const
{
    ReportNamed(text, header, oneLine, value, "FTT_CONFIG:", CSXcmd::fttstr(value));
}

void CFTTCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) { CFTTCfg::Report(narrow, header, oneLine); });
}

void CSnsOrigCfg::Report(std::string& text, bool header, bool oneLine) const
{
    ReportNamed(text, header, oneLine, value, "SNS_ORIG_CONFIG:", CSXcmd::snsorigstr(value));
}

void CSnsOrigCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) { CSnsOrigCfg::Report(narrow, header, oneLine); });
}

void CStylusCfg::Report(std::string& text, bool header, bool oneLine) const
{
    ReportNamed(text, header, oneLine, value, "STYLUS_CONFIG:", CSXcmd::stylusmodestr(value));
}

void CStylusCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) { CStylusCfg::Report(narrow, header, oneLine); });
}

void CStylusCfg::Brief(std::string& text) const
{
    text += CSXcmd::stylusmodestr(value);
}

void CStylusCfg::BriefW(std::wstring& text) const
{
    AppendWidened(text, [&](std::string& narrow) { CStylusCfg::Brief(narrow); });
}
