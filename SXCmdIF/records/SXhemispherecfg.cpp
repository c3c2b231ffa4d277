// Hemisphere records: fills, preset recognition and report.
#include <SXCmdIF/protocol/SXcmd.h>
#include <SXCmdIF/records/SXhemispherecfg.h>

#include "ReportText.h"
#include "SpelledReports.h"

using namespace sxrec;

CHemisphereCfg::CHemisphereCfg(const _HEMISPHERE_CONFIG* p)
{
    Init();
    cfg = *p;
    SetPresetEnum();
}

bool CHemisphereCfg::operator==(const _HEMISPHERE_CONFIG* o) const
{
    return cfg.bf.track_en == o->bf.track_en && cfg.bf.auto_en == o->bf.auto_en && Near(cfg.vector[0], o->vector[0]) &&
           Near(cfg.vector[1], o->vector[1]) && Near(cfg.vector[2], o->vector[2]);
}

void CHemisphereCfg::Fill(float x, float y, float z, bool autoEn, bool trackEn)
{
    cfg.vector[0] = x;
    cfg.vector[1] = y;
    cfg.vector[2] = z;
    SetAutoEn(autoEn);
    SetTrackEn(autoEn || trackEn);
    SetPresetEnum();
}

void CHemisphereCfg::Fill(const float* v, bool autoEn, bool trackEn)
{
    Fill(v[0], v[1], v[2], autoEn, trackEn);
}

void CHemisphereCfg::Fill(eHemPresetVal preset, bool autoEn, bool trackEn)
{
    cfg = *CSXcmd::hemispherecfg(static_cast<unsigned>(preset));
    SetAutoEn(autoEn);
    SetTrackEn(autoEn || trackEn);
    presetEnum = static_cast<uint32_t>(preset);
}

void CHemisphereCfg::SetPresetEnum()
{
    const float x = cfg.vector[0], y = cfg.vector[1], z = cfg.vector[2];
    if (x != 0.0f && y == 0.0f && z == 0.0f)
        presetEnum = x > 0.0f ? POS_X : NEG_X;
    else if (x == 0.0f && y != 0.0f && z == 0.0f)
        presetEnum = y > 0.0f ? POS_Y : NEG_Y;
    else if (x == 0.0f && y == 0.0f && z != 0.0f)
        presetEnum = z > 0.0f ? POS_Z : NEG_Z;
    else
        presetEnum = CUSTOM;
}

// The wide spelling puts a space after each colon of the enable bits.
void sxrec::ReportHemisphere(const CHemisphereCfg& hemisphere, std::string& text, bool header, bool oneLine,
                             Spelling spelling)
{
    const _HEMISPHERE_CONFIG& cfg = hemisphere.cfg;
    const Look k("HEMISPHERE_CONFIG:", header, oneLine);
    const char* colon = spelling == Spelling::Narrow ? ":" : ": ";
    const unsigned track = cfg.bf.track_en, autoOn = cfg.bf.auto_en;
    Append(text, kReportBuf, "%s%s%s : %f, %f, %f%s%sbf.track_en %s%d (%s)%s%sbf.auto_en  %s%d (%s)\r\n", k.lead,
           k.indent, CSXcmd::hemispherestr(hemisphere.presetEnum), cfg.vector[0], cfg.vector[1], cfg.vector[2], k.sep,
           k.indent, colon, static_cast<int>(track), CSXcmd::binstr(track, false), k.sep, k.indent, colon,
           static_cast<int>(autoOn), CSXcmd::binstr(autoOn, false));
}

void CHemisphereCfg::Report(std::string& text, bool header, bool oneLine) const
{
    ReportHemisphere(*this, text, header, oneLine, Spelling::Narrow);
}

void CHemisphereCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) { ReportHemisphere(*this, narrow, header, oneLine, Spelling::Wide); });
}
