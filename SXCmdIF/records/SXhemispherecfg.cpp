// Hemisphere records: fills, preset recognition and report.
#include <SXCmdIF/protocol/SXcmd.h>
#include <SXCmdIF/records/SXhemispherecfg.h>

#include "ReportText.h"

using namespace sxrec;

CHemisphereCfg::CHemisphereCfg(const _HEMISPHERE_CONFIG* p)
{
    Init();
    cfg = *p;
    SetPresetEnum();
}

bool CHemisphereCfg::operator==(const _HEMISPHERE_CONFIG* o) const
{
    return cfg.bf.track_en == o->bf.track_en && cfg.bf.auto_en == o->bf.auto_en &&
           Near(cfg.vector[0], o->vector[0]) && Near(cfg.vector[1], o->vector[1]) &&
           Near(cfg.vector[2], o->vector[2]);
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

void CHemisphereCfg::Fill(const float* v, bool autoEn, bool trackEn) { Fill(v[0], v[1], v[2], autoEn, trackEn); }

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

void CHemisphereCfg::Report(std::string& text, bool header, bool oneLine) const
{
    const Look k("HEMISPHERE_CONFIG:", header, oneLine);
    const unsigned track = cfg.bf.track_en, autoOn = cfg.bf.auto_en;
    Append(text, kReportBuf, "%s%s%s : %f, %f, %f%s%sbf.track_en :%d (%s)%s%sbf.auto_en  :%d (%s)\r\n", k.lead,
           k.indent, CSXcmd::hemispherestr(presetEnum), cfg.vector[0], cfg.vector[1], cfg.vector[2], k.sep, k.indent,
           static_cast<int>(track), CSXcmd::binstr(track, false), k.sep, k.indent, static_cast<int>(autoOn),
           CSXcmd::binstr(autoOn, false));
}

// The wide form puts a space after each colon of the enable bits.
void CHemisphereCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    const LookW k(L"HEMISPHERE_CONFIG:", header, oneLine);
    const unsigned track = cfg.bf.track_en, autoOn = cfg.bf.auto_en;
    AppendW(text, kReportBuf, L"%ls%ls%ls : %f, %f, %f%ls%lsbf.track_en : %d (%ls)%ls%lsbf.auto_en  : %d (%ls)\r\n",
            k.lead, k.indent, CSXcmd::hemispherestrW(presetEnum), cfg.vector[0], cfg.vector[1], cfg.vector[2], k.sep,
            k.indent, static_cast<int>(track), CSXcmd::binstrW(track, false), k.sep, k.indent,
            static_cast<int>(autoOn), CSXcmd::binstrW(autoOn, false));
}
