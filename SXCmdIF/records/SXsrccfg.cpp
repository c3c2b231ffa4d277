// Source configuration and rotation records.
#include <SXCmdIF/protocol/SXcmd.h>
#include <SXCmdIF/records/SXsrccfg.h>

#include "ReportText.h"

#include <cstring>

using namespace sxrec;

namespace {
// The defaults exist for orientation units 0 to 2; other units read the
// Euler default rather than memory past the table.
unsigned DefaultIndex(unsigned oriUnits) { return oriUnits <= ORI_QUATERNION ? oriUnits : 0u; }

// What the two records share: the frequency and the four rotation floats.
template <class To, class From>
void TakeFreqAndRotation(To& to, const From& from)
{
    to.srcfreq = from.srcfreq;
    std::memcpy(to.rotation, from.rotation, sizeof to.rotation);
}

bool SameRotation(const float* a, const float* b)
{
    for (int i = 0; i < 4; ++i)
        if (!Near(a[i], b[i]))
            return false;
    return true;
}
} // namespace

// The rotation accessors hold nothing: each record class is its record and
// its units.
static_assert(sizeof(CSrcCfg) == sizeof(_SRC_CONFIG) + sizeof(CUnitsCfg), "CSrcCfg layout");
static_assert(sizeof(CSrcRotCfg) == sizeof(_SRCROT_CONFIG) + sizeof(uint32_t), "CSrcRotCfg layout");

// ---- CSrcCfg

CSrcCfg::CSrcCfg(const _SRCROT_CONFIG* p)
{
    Init();
    TakeFreqAndRotation(cfg, *p);
}

CSrcCfg::CSrcCfg(const float* f)
{
    Init();
    Fill(f);
}

CSrcCfg& CSrcCfg::operator=(const float* rotation)
{
    std::memcpy(cfg.rotation, rotation, sizeof cfg.rotation);
    return *this;
}

void CSrcCfg::Init()
{
    cfg = _SRC_CONFIG{};
    units.Init();
}

void CSrcCfg::InitDefault() { cfg = Default[DefaultIndex(units.cfg.ori_units)]; }

void CSrcCfg::Fill(unsigned freq, const _PNO* pno)
{
    Init();
    cfg.srcfreq = freq;
    if (pno) {
        std::memcpy(cfg.position, pno->pos, sizeof cfg.position);
        std::memcpy(cfg.rotation, pno->ori, sizeof cfg.rotation);
    }
}

void CSrcCfg::Fill(const float* f)
{
    std::memcpy(cfg.position, f, sizeof cfg.position);
    std::memcpy(cfg.rotation, f + 3, sizeof cfg.rotation);
}

bool CSrcCfg::ComparePos(const _SRC_CONFIG* o) const
{
    for (int i = 0; i < 3; ++i)
        if (!Near(cfg.position[i], o->position[i]))
            return false;
    return true;
}

bool CSrcCfg::CompareOri(const _SRC_CONFIG* o) const { return SameRotation(cfg.rotation, o->rotation); }

bool CSrcCfg::IsNull() const
{
    const CSrcCfg null(&Default[DefaultIndex(units.cfg.ori_units)]);
    return ComparePos(null) && CompareOri(null);
}

void CSrcCfg::Report(std::string& text, bool header, bool oneLine) const
{
    const Look k("SRC_CONFIG:", header, oneLine, " ", OneLineIndent::OneSpace);
    const float* p = cfg.position;
    const float* r = cfg.rotation;
    if (units.IsEuler())
        Append(text, kReportBuf,
               "%s%ssrcfreq %d%s%sposition (%f, %f, %f) (%s)%s%srotation (%f, %f, %f) (%s)%s%sstartup hem %s\r\n",
               k.lead, k.indent, static_cast<int>(cfg.srcfreq), k.sep, k.indent, p[0], p[1], p[2],
               units.posunitsstr(true), k.sep, k.indent, r[0], r[1], r[2], units.oriunitsstr(true), k.sep, k.indent,
               CSXcmd::sxhemispherestr(cfg.startupHem));
    else
        Append(text, kReportBuf,
               "%s%ssrcfreq %d%s%sposition (%f, %f, %f) (%s)%s%srotation (%f, %f, %f, %f) (%s)%s%sstartup hem %s\r\n",
               k.lead, k.indent, static_cast<int>(cfg.srcfreq), k.sep, k.indent, p[0], p[1], p[2],
               units.posunitsstr(true), k.sep, k.indent, r[0], r[1], r[2], r[3], units.oriunitsstr(true), k.sep,
               k.indent, CSXcmd::sxhemispherestr(cfg.startupHem));
}

// The wide report has a one-line layout of its own.
void CSrcCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    const LookW k(L"SRC_CONFIG:", header, oneLine);
    const float* p = cfg.position;
    const float* r = cfg.rotation;
    if (units.IsEuler())
        AppendW(text, kReportBuf,
                L"%ls%lssrcfreq, pos(x,y,z) %ls ori(x,y,z) %ls: %d, (%f, %f, %f), (%f, %f, %f), %ls\r\n", k.lead,
                k.indent, units.posunitsstrW(false), units.oriunitsstrW(false), static_cast<int>(cfg.srcfreq), p[0],
                p[1], p[2], r[0], r[1], r[2], CSXcmd::sxhemispherestrW(cfg.startupHem));
    else
        AppendW(text, kReportBuf,
                L"%ls%lssrcfreq, pos(x,y,z) %ls ori(w,x,y,z): %d, (%f, %f, %f), (%f, %f, %f, %f), %ls\r\n", k.lead,
                k.indent, units.posunitsstrW(false), static_cast<int>(cfg.srcfreq), p[0], p[1], p[2], r[0], r[1],
                r[2], r[3], CSXcmd::sxhemispherestrW(cfg.startupHem));
}

// ---- CSrcRotCfg

CSrcRotCfg::CSrcRotCfg(const _SRCROT_CONFIG* p)
{
    Init();
    cfg = *p;
}

CSrcRotCfg::CSrcRotCfg(const _SRC_CONFIG* p)
{
    Init();
    TakeFreqAndRotation(cfg, *p);
}

CSrcRotCfg::CSrcRotCfg(const float* rotation)
{
    Init();
    Fill(rotation);
}

bool CSrcRotCfg::operator==(const float* rotation) const { return SameRotation(cfg.rotation, rotation); }

void CSrcRotCfg::Init()
{
    cfg = _SRCROT_CONFIG{};
    oriUnits = CUnitsCfg().cfg.ori_units;
}

void CSrcRotCfg::InitDefault() { cfg = Default[DefaultIndex(oriUnits)]; }

void CSrcRotCfg::Fill(float a, float b, float c, float d, unsigned freq)
{
    Init();
    cfg.rotation[0] = a;
    cfg.rotation[1] = b;
    cfg.rotation[2] = c;
    cfg.rotation[3] = d;
    cfg.srcfreq = freq;
}

void CSrcRotCfg::Fill(const float* rotation) { std::memcpy(cfg.rotation, rotation, sizeof cfg.rotation); }

void CSrcRotCfg::Report(std::string& text, bool header, bool oneLine) const
{
    const Look k("SRCROT_CONFIG:", header, oneLine, " ", OneLineIndent::OneSpace);
    const float* r = cfg.rotation;
    Append(text, kReportBuf, "%s%ssrcfreq %d%s%srotation (%f, %f, %f, %f) \r\n", k.lead, k.indent,
           static_cast<int>(cfg.srcfreq), k.sep, k.indent, r[0], r[1], r[2], r[3]);
}

void CSrcRotCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    const LookW k(L"SRCROT_CONFIG:", header, oneLine);
    const float* r = cfg.rotation;
    AppendW(text, kReportBuf, L"%ls%lssrcfreq %d%ls%lsrotation (%f, %f, %f, %f) \r\n", k.lead, k.indent,
            static_cast<int>(cfg.srcfreq), k.sep, k.indent, r[0], r[1], r[2], r[3]);
}
