// Serial line, unit identifier, frame rate and units records.
#include <SXCmdIF/protocol/SXcmd.h>
#include <SXCmdIF/records/SXunitcfg.h>

#include "ReportText.h"

#include <cmath>
#include <cstdint>

using namespace sxrec;

namespace {
constexpr const char* kWideGap = "     ";
} // namespace

// ---- CSerialCfg

void CSerialCfg::FillBPS(int bps, unsigned parity)
{
    Fill(CSXcmd::bpsbaud(bps), parity, 0);
}

int CSerialCfg::BPS() const
{
    return CSXcmd::baudbps(Baud());
}

void CSerialCfg::Report(std::string& text, bool header, bool oneLine) const
{
    const Look k("SERIAL_CONFIG:", header, oneLine);
    Append(text, kReportBuf, "%s%ssercfg:   0x%04x%s%sbaudrate: %s%s%sparity:   %s%s%sres:      0x%04x\r\n", k.lead,
           k.indent, cfg.sercfg, k.sep, k.indent, CSXcmd::baudstr(Baud()), k.sep, k.indent, CSXcmd::paritystr(Parity()),
           k.sep, k.indent, Res());
}

void CSerialCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) { CSerialCfg::Report(narrow, header, oneLine); });
}

void CSerialCfg::Brief(std::string& text) const
{
    Append(text, kReportBuf, "baud %s, parity %s", CSXcmd::baudvalstr(Baud()), CSXcmd::parityvalstr(Parity()));
}

void CSerialCfg::BriefW(std::wstring& text) const
{
    AppendWidened(text, [&](std::string& narrow) { CSerialCfg::Brief(narrow); });
}

// ---- CSeuIDCfg

void CSeuIDCfg::Report(std::string& text, bool header, bool oneLine) const
{
    const Look k("SEUID_CONFIG:", header, oneLine, kWideGap);
    Append(text, kReportBuf, "%s%sSEU ID: %d\r\n", k.lead, k.indent, static_cast<int>(cfg.seuID));
}

void CSeuIDCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) { CSeuIDCfg::Report(narrow, header, oneLine); });
}

void CSeuIDCfg::Brief(std::string& text) const
{
    Append(text, kReportBuf, "%d", static_cast<int>(cfg.seuID));
}

void CSeuIDCfg::BriefW(std::wstring& text) const
{
    AppendWidened(text, [&](std::string& narrow) { CSeuIDCfg::Brief(narrow); });
}

// ---- CFrameRateCfg

void CFrameRateCfg::Fill(unsigned code)
{
    const int c = static_cast<int>(code);
    frame_rate = c < 0 ? 0u : c > FR_960 ? static_cast<unsigned>(FR_960) : static_cast<unsigned>(c);
}

unsigned CFrameRateCfg::EffectiveRate() const
{
    const double rate = 960.0 / std::pow(2.0, 5.0 - static_cast<double>(frame_rate));
    // A code far out of range must not overflow the conversion.
    if (!(rate < 4294967296.0))
        return UINT32_MAX;
    return static_cast<unsigned>(rate);
}

unsigned CFrameRateCfg::FrequencyMS() const
{
    const float ms = static_cast<float>(1.0 / EffectiveRate()) * 1000.0f;
    return static_cast<unsigned>(ms);
}

void CFrameRateCfg::Report(std::string& text, bool header, bool oneLine, bool full) const
{
    const Look k("FRAMERATE_CONFIG:", header, oneLine);
    if (full)
        Append(text, kReportBuf, "%s%seffective frame rate: %d Hz%s%sframe_rate: %s\r\n", k.lead, k.indent,
               static_cast<int>(EffectiveRate()), k.sep, k.indent, CSXcmd::frameratestr(frame_rate));
    else
        Append(text, kReportBuf, "%s%s%d Hz\r\n", k.lead, k.indent, static_cast<int>(EffectiveRate()));
}

void CFrameRateCfg::ReportW(std::wstring& text, bool header, bool oneLine, bool full) const
{
    AppendWidened(text, [&](std::string& narrow) { CFrameRateCfg::Report(narrow, header, oneLine, full); });
}

void CFrameRateCfg::ShortReport(std::string& text, bool, bool noUnit) const
{
    Append(text, kReportBuf, "%d%s", static_cast<int>(EffectiveRate()), noUnit ? "" : " Hz");
}

void CFrameRateCfg::ShortReportW(std::wstring& text, bool unused, bool noUnit) const
{
    AppendWidened(text, [&](std::string& narrow) { CFrameRateCfg::ShortReport(narrow, unused, noUnit); });
}

// ---- CUnitsCfg

const char* CUnitsCfg::posunitsstr(bool longText) const
{
    return CSXcmd::posunitsstr(cfg.pos_units, longText, false);
}
const char* CUnitsCfg::oriunitsstr(bool longText) const
{
    return CSXcmd::oriunitsstr(cfg.ori_units, longText, false);
}
const wchar_t* CUnitsCfg::posunitsstrW(bool longText) const
{
    return CSXcmd::posunitsstrW(cfg.pos_units, longText, false);
}
const wchar_t* CUnitsCfg::oriunitsstrW(bool longText) const
{
    return CSXcmd::oriunitsstrW(cfg.ori_units, longText, false);
}

void CUnitsCfg::Report(std::string& text, bool header, bool oneLine, bool full) const
{
    const Look k("UNITS_CONFIG:", header, oneLine, kWideGap);
    const char* pos = CSXcmd::posunitsstr(cfg.pos_units, false, false);
    const char* ori = CSXcmd::oriunitsstr(cfg.ori_units, false, false);
    if (full)
        Append(text, kReportBuf, "%s%spos_units: %s%s%sori_units: %s\r\n", k.lead, k.indent, pos, k.sep, k.indent, ori);
    else
        Append(text, kReportBuf, "%s%s%s, %s\r\n", k.lead, k.indent, pos, ori);
}

// The wide report is always the full one.
void CUnitsCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) { CUnitsCfg::Report(narrow, header, oneLine, true); });
}

void CUnitsCfg::ShortReport(std::string& text, bool longText, bool shortText) const
{
    Append(text, kReportBuf, "%s, %s %s", CSXcmd::posunitsstr(cfg.pos_units, longText, shortText),
           !shortText && IsEuler() ? "Euler" : "", CSXcmd::oriunitsstr(cfg.ori_units, longText, shortText));
}

void CUnitsCfg::ShortReportW(std::wstring& text, bool longText, bool shortText) const
{
    AppendWidened(text, [&](std::string& narrow) { CUnitsCfg::ShortReport(narrow, longText, shortText); });
}
