// Filter records: presets, comparison and report.
#include <SXCmdIF/protocol/SXcmd.h>
#include <SXCmdIF/records/SXfiltercfg.h>

#include "ReportText.h"
#include "SpelledReports.h"

#include <cstdio>
#include <cwchar>

using namespace sxrec;

namespace {
constexpr unsigned kLastPreset = 8;

bool SameParams(const _FILTER_CONFIG& a, const _FILTER_CONFIG& b)
{
    return Near(a.F, b.F) && Near(a.Flow, b.Flow) && Near(a.Fhigh, b.Fhigh) && Near(a.MaxT, b.MaxT);
}
} // namespace

CFilterCfg::CFilterCfg(eSorixFilterLevel level)
{
    Init();
    // Levels above the presets take the last one instead of reading past them.
    const unsigned l = static_cast<unsigned>(level);
    cfg = *presets[l <= kLastPreset ? l : kLastPreset];
}

bool CFilterCfg::operator==(const CFilterCfg& o) const
{
    if (cfg.level != o.cfg.level)
        return false;
    return cfg.level != FILTER_LVL_CUSTOM || CompareParams(o);
}

bool CFilterCfg::operator==(const float* p) const
{
    return Near(cfg.F, p[0]) && Near(cfg.Flow, p[1]) && Near(cfg.Fhigh, p[2]) && Near(cfg.MaxT, p[3]);
}

bool CFilterCfg::CompareParams(const CFilterCfg& o) const
{
    return SameParams(cfg, o.cfg);
}

void CFilterCfg::Fill(int level, float F, float Flow, float Fhigh, float MaxT)
{
    Init();
    const unsigned l = level < 0                               ? 0u
                       : level > static_cast<int>(kLastPreset) ? kLastPreset
                                                               : static_cast<unsigned>(level);
    cfg.level = l;
    if (l == FILTER_LVL_CUSTOM) {
        cfg.F = F;
        cfg.Flow = Flow;
        cfg.Fhigh = Fhigh;
        cfg.MaxT = MaxT;
    } else {
        const _FILTER_CONFIG& p = *presets[l];
        cfg.F = p.F;
        cfg.Flow = p.Flow;
        cfg.Fhigh = p.Fhigh;
        cfg.MaxT = p.MaxT;
    }
}

void CFilterCfg::Fill(int level, const float* p)
{
    if (level == FILTER_LVL_CUSTOM && p)
        Fill(FILTER_LVL_CUSTOM, p[0], p[1], p[2], p[3]);
    else
        Fill(level, 0, 0, 0, 0);
}

void CFilterCfg::SetPreset()
{
    cfg.level = FILTER_LVL_CUSTOM;
    for (unsigned i = 0; i <= kLastPreset; ++i) {
        if (SameParams(cfg, *presets[i])) {
            cfg.level = i;
            return;
        }
    }
}

void sxrec::ReportFilter(const CFilterCfg& filter, std::string& text, bool header, bool oneLine, unsigned target,
                         Spelling spelling)
{
    const _FILTER_CONFIG& cfg = filter.cfg;
    char label[64];
    snprintf(label, sizeof label, "FILTER_CONFIG:%s", target != FILTER_TRGT_MAX ? CSXcmd::filtertarstr(target) : "");
    const Look k(label, header, oneLine, " ", IndentOf(spelling));
    Append(text, kReportBuf, "%s%slevel: %s%s%sF:     %f%s%sFlow:  %f%s%sFhigh: %f%s%sMaxT:  %f\r\n", k.lead, k.indent,
           CSXcmd::filterlevstr(cfg.level), k.sep, k.indent, cfg.F, k.sep, k.indent, cfg.Flow, k.sep, k.indent,
           cfg.Fhigh, k.sep, k.indent, cfg.MaxT);
}

void CFilterCfg::Report(std::string& text, bool header, bool oneLine, unsigned target) const
{
    ReportFilter(*this, text, header, oneLine, target, Spelling::Narrow);
}

void CFilterCfg::ReportW(std::wstring& text, bool header, bool oneLine, unsigned target) const
{
    AppendWidened(text,
                  [&](std::string& narrow) { ReportFilter(*this, narrow, header, oneLine, target, Spelling::Wide); });
}
