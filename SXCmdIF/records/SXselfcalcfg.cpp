// Self-calibration state record: presets, names and reports.
#include <SXCmdIF/protocol/SXcmd.h>
#include <SXCmdIF/records/SXselfcalcfg.h>

#include "ReportText.h"

#include <cstring>

using namespace sxrec;

namespace {

struct StateText {
    const char* name;
    const wchar_t* nameW;
    const char* display;
    const wchar_t* displayW;
};

// Operating states: 2 has no state of its own and reads as the maximum.
constexpr StateText kOpState[SELFCAL_OP_MAX + 1] = {
    {SXREC_NW("SELFCAL_OP_DISABLED"), nullptr, nullptr},
    {SXREC_NW("SELFCAL_OP_ENABLED"), nullptr, nullptr},
    {SXREC_NW("SELFCAL_OP_MAX"), nullptr, nullptr},
    {SXREC_NW("SELFCAL_OP_ENABLED_AND_COLLECTING"), nullptr, nullptr},
    {SXREC_NW("SELFCAL_OP_MAX"), nullptr, nullptr},
};

constexpr StateText kMemState[SELFCAL_MEM_MAX + 1] = {
    {SXREC_NW("SELFCAL_NOMEM"), SXREC_NW("No Saved Data")},
    {SXREC_NW("SELFCAL_MEM_PERSIST"), SXREC_NW("Saved")},
    {SXREC_NW("SELFCAL_MEM_NEWUNSAVED"), SXREC_NW("New Unsaved")},
    {SXREC_NW("SELFCAL_MEM_PERSIST_AND_NEWUNSAVED"), SXREC_NW("Saved (New Unsaved)")},
    {SXREC_NW("SELFCAL_MEM_MAX"), SXREC_NW("MAX")},
};

constexpr unsigned Clamp(unsigned v, unsigned max)
{
    return v > max ? max : v;
}

constexpr unsigned kPresetCount = 4;

} // namespace

CSelfCalCfg& CSelfCalCfg::operator=(unsigned state)
{
    Init();
    cfg.state = state;
    SetPreset();
    // Init leaves a zero custom rate, which SetPreset reads as "disable":
    // the state just assigned must survive it.
    cfg.state = state;
    return *this;
}

CSelfCalCfg& CSelfCalCfg::operator=(float customRate)
{
    cfg.custom_rate = customRate;
    SetPreset();
    return *this;
}

bool CSelfCalCfg::operator==(const _SELFCAL_CONFIGu* o) const
{
    return cfg.state == o->state && Near(cfg.custom_rate, o->custom_rate);
}

bool CSelfCalCfg::operator==(const _SELFCAL_CONFIG* o) const
{
    return cfg.state == o->state && Near(cfg.custom_rate, o->custom_rate);
}

void CSelfCalCfg::InitDefault(bool enabled)
{
    // The statics' records carry one more word; only the first twelve bytes count.
    std::memcpy(&cfg, enabled ? &Default : &DefaultDisabled, sizeof cfg);
}

void CSelfCalCfg::Fill(unsigned opState, unsigned rate, float custom)
{
    cfg.state = opState;
    cfg.correction_rate = rate;
    // Rates beyond the presets are taken as custom rather than read past them.
    cfg.custom_rate = rate < CALCORRECT_CUSTOM ? preset_rates[rate] : custom;
}

bool CSelfCalCfg::Instant() const
{
    return Near(cfg.custom_rate, fCalCorrInstant);
}

_eSelfCalOpState CSelfCalCfg::eOpState() const
{
    return static_cast<_eSelfCalOpState>(Clamp(OpState(), SELFCAL_OP_MAX));
}

_eSelfCalMemState CSelfCalCfg::eMemState() const
{
    return static_cast<_eSelfCalMemState>(Clamp(MemState(), SELFCAL_MEM_MAX));
}

eCalCorrectRate CSelfCalCfg::eRate() const
{
    return static_cast<eCalCorrectRate>(Clamp(cfg.correction_rate, CALCORRECT_CUSTOM));
}

const char* CSelfCalCfg::opstatestr(unsigned v)
{
    return kOpState[Clamp(v, SELFCAL_OP_MAX)].name;
}
const wchar_t* CSelfCalCfg::opstatestrW(unsigned v)
{
    return kOpState[Clamp(v, SELFCAL_OP_MAX)].nameW;
}

const char* CSelfCalCfg::memstatestr(unsigned v, bool display)
{
    const StateText& t = kMemState[Clamp(v, SELFCAL_MEM_MAX)];
    return display ? t.display : t.name;
}

const wchar_t* CSelfCalCfg::memstatestrW(unsigned v, bool display)
{
    const StateText& t = kMemState[Clamp(v, SELFCAL_MEM_MAX)];
    return display ? t.displayW : t.nameW;
}

void CSelfCalCfg::SetPreset()
{
    if (cfg.custom_rate == fCalCorrOff)
        cfg.state = 0;
    cfg.correction_rate = CALCORRECT_CUSTOM;
    for (unsigned i = 0; i < kPresetCount; ++i) {
        if (Near(cfg.custom_rate, preset_rates[i])) {
            cfg.correction_rate = i;
            return;
        }
    }
}

void CSelfCalCfg::Report(std::string& text, bool header, bool oneLine) const
{
    const Look k("SELFCAL_CONFIG:", header, oneLine);
    Append(
        text, kReportBuf,
        "%s%sstate:           0x%02x 0x%02x  %s, %s%s%scorrection_rate: 0x%02x       %s%s%scustom_rate:     %4.2f       "
        "%s\r\n",
        k.lead, k.indent, OpState(), MemState(), opstatestr(OpState()), memstatestr(MemState(), false), k.sep, k.indent,
        cfg.correction_rate, CSXcmd::calcorrectstr(cfg.correction_rate, false), k.sep, k.indent, cfg.custom_rate,
        Instant() ? "(Instant)" : "");
}

void CSelfCalCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) { CSelfCalCfg::Report(narrow, header, oneLine); });
}

void CSelfCalCfg::Brief(std::string& text, bool) const
{
    const char* rate = "";
    if (Enabled())
        rate = Custom() && Instant() ? "INSTANT" : CSXcmd::calcorrectstr(cfg.correction_rate, true);
    Append(text, kReportBuf, "%s%s%s; %s", Collecting() ? "Collecting," : "",
           Enabled()    ? "Enabled"
           : Disabled() ? "Disabled"
                        : "",
           rate, memstatestr(MemState(), true));
}

void CSelfCalCfg::BriefW(std::wstring& text, bool, bool semicolon) const
{
    const wchar_t* rate = L"";
    if (Enabled())
        rate = Custom() && Instant() ? L"INSTANT" : CSXcmd::calcorrectstrW(cfg.correction_rate, true);
    AppendW(text, kReportBuf, L"%ls%ls%ls%ls%ls", Collecting() ? L" Collecting," : L"",
            Enabled()    ? L" Enabled : "
            : Disabled() ? L" Disabled"
                         : L"",
            rate, semicolon ? L";   " : L"\n ", memstatestrW(MemState(), true));
}
