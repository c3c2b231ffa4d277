// Prediction filter records and their reports.
#include <SXCmdIF/records/SXpredfiltcfg.h>

#include "ReportText.h"

#include <cstdint>
#include <cstring>

using namespace sxrec;

namespace {

constexpr float kDefaultPredTime = 0.02f;

// The report's milliseconds: a negative or non-finite time shows as 0, a
// huge one saturates, instead of an undefined conversion.
unsigned Milliseconds(float seconds)
{
    const float ms = seconds * 1000.0f;
    if (!(ms > 0.0f))
        return 0;
    if (ms >= 4294967296.0f)
        return UINT32_MAX;
    return static_cast<unsigned>(ms);
}

template <typename Buf, typename Ch>
void AddMatrix(Buf& b, const float* m, int count, const Ch* fmt)
{
    for (int i = 0; i < count; ++i)
        b.Add(fmt, m[i]);
}

} // namespace

void CPredFiltCfgExt::Init()
{
    cfg = _PF_CONFIG_EXT{};
    cfg.predTime = kDefaultPredTime;
}

void CPredFiltCfgExt::Fill(bool qFil, bool pFil, int ms, const _NOISEPROFILE* noise)
{
    InitDefault();
    cfg.qFil_on = qFil ? 1u : 0u;
    cfg.pFil_on = pFil ? 1u : 0u;
    if (ms < 1000)
        cfg.predTime = static_cast<float>(ms) / 1000.0f;
    if (noise)
        cfg.noise = *noise;
}

void CPredFiltCfgExt::Fill(bool qFil, bool pFil, float seconds, const _NOISEPROFILE* noise)
{
    InitDefault();
    cfg.qFil_on = qFil ? 1u : 0u;
    cfg.pFil_on = pFil ? 1u : 0u;
    if (seconds < 1.0f)
        cfg.predTime = seconds;
    if (noise)
        cfg.noise = *noise;
}

unsigned CPredFiltCfgExt::PredTimeMS() const
{
    return Milliseconds(cfg.predTime);
}

void CPredFiltCfgExt::Report(std::string& text, bool header, bool oneLine) const
{
    const Look k("PF_CONFIG:", header, oneLine);
    const _NOISEPROFILE& n = cfg.noise;
    Buffer b(kPredFiltBuf);
    b.Add("%s%sqFil_on:         %1d%s%spFil_on:         %1d%s%spredTime ms, s : %3d,  %0.3f%s%snoise profile: ", k.lead,
          k.indent, static_cast<int>(cfg.qFil_on), k.sep, k.indent, static_cast<int>(cfg.pFil_on), k.sep, k.indent,
          static_cast<int>(PredTimeMS()), cfg.predTime, k.sep, k.indent);
    b.Add("%s%s%s Rq[4][4]: ", k.sep, k.indent, k.indent);
    AddMatrix(b, &n.Rq[0][0], 16, "%- 4.2g ");
    b.Add("%s%s%s Qq[3][3]: ", k.sep, k.indent, k.indent);
    AddMatrix(b, &n.Qq[0][0], 9, "%- 4.2g ");
    b.Add("%s%s%s Rr[3][3]: ", k.sep, k.indent, k.indent);
    AddMatrix(b, &n.Rr[0][0], 9, "%- 4.2g ");
    b.Add("%s%s%s Qr[3][3]: ", k.sep, k.indent, k.indent);
    AddMatrix(b, &n.Qr[0][0], 9, "%- 4.2g ");
    b.Add("\r\n");
    b.AppendTo(text);
}

void CPredFiltCfgExt::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) { CPredFiltCfgExt::Report(narrow, header, oneLine); });
}

CPredFiltCfg::CPredFiltCfg(const _PF_CONFIG* p)
{
    Init();
    std::memcpy(&cfg, p, sizeof *p);
}

CPredFiltCfg& CPredFiltCfg::operator=(const _PF_CONFIG& o)
{
    std::memcpy(&cfg, &o, sizeof o);
    return *this;
}

void CPredFiltCfg::Report(std::string& text, bool header, bool oneLine) const
{
    const Look k("PF_CONFIG:", header, oneLine);
    Append(text, kPredFiltBuf, "%s%sqFil_on:     %1d%s%spFil_on:     %1d%s%spredTime ms, s : %3d,  %0.3f", k.lead,
           k.indent, static_cast<int>(cfg.qFil_on), k.sep, k.indent, static_cast<int>(cfg.pFil_on), k.sep, k.indent,
           static_cast<int>(PredTimeMS()), cfg.predTime);
}

void CPredFiltCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) { CPredFiltCfg::Report(narrow, header, oneLine); });
}
