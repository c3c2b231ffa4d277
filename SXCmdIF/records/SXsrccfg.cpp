// Source configuration and rotation records.
#include <SXCmdIF/protocol/SXcmd.h>
#include <SXCmdIF/records/SXsrccfg.h>

#include "ReportText.h"
#include "SpelledReports.h"

#include <cstring>

using namespace sxrec;

namespace {
// The defaults exist for orientation units 0 to 2; other units read the
// Euler default rather than memory past the table.
unsigned DefaultIndex(unsigned oriUnits)
{
    return oriUnits <= ORI_QUATERNION ? oriUnits : 0u;
}

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

void CSrcCfg::InitDefault()
{
    cfg = Default[DefaultIndex(units.cfg.ori_units)];
}

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

bool CSrcCfg::CompareOri(const _SRC_CONFIG* o) const
{
    return SameRotation(cfg.rotation, o->rotation);
}

bool CSrcCfg::IsNull() const
{
    const CSrcCfg null(&Default[DefaultIndex(units.cfg.ori_units)]);
    return ComparePos(null) && CompareOri(null);
}

// The wide spelling has a one-line layout of its own.
void sxrec::ReportSource(const CSrcCfg& source, std::string& text, bool header, bool oneLine, Spelling spelling)
{
    const _SRC_CONFIG& cfg = source.cfg;
    const CUnitsCfg& units = source.units;
    const Look k("SRC_CONFIG:", header, oneLine, " ", IndentOf(spelling));
    const float* p = cfg.position;
    const float* r = cfg.rotation;
    const char* hem = CSXcmd::sxhemispherestr(cfg.startupHem);
    if (spelling == Spelling::Wide) {
        if (units.IsEuler())
            Append(text, kReportBuf, "%s%ssrcfreq, pos(x,y,z) %s ori(x,y,z) %s: %d, (%f, %f, %f), (%f, %f, %f), %s\r\n",
                   k.lead, k.indent, units.posunitsstr(false), units.oriunitsstr(false), static_cast<int>(cfg.srcfreq),
                   p[0], p[1], p[2], r[0], r[1], r[2], hem);
        else
            Append(text, kReportBuf,
                   "%s%ssrcfreq, pos(x,y,z) %s ori(w,x,y,z): %d, (%f, %f, %f), (%f, %f, %f, %f), %s\r\n", k.lead,
                   k.indent, units.posunitsstr(false), static_cast<int>(cfg.srcfreq), p[0], p[1], p[2], r[0], r[1],
                   r[2], r[3], hem);
    } else if (units.IsEuler()) {
        Append(text, kReportBuf,
               "%s%ssrcfreq %d%s%sposition (%f, %f, %f) (%s)%s%srotation (%f, %f, %f) (%s)%s%sstartup hem %s\r\n",
               k.lead, k.indent, static_cast<int>(cfg.srcfreq), k.sep, k.indent, p[0], p[1], p[2],
               units.posunitsstr(true), k.sep, k.indent, r[0], r[1], r[2], units.oriunitsstr(true), k.sep, k.indent,
               hem);
    } else {
        Append(text, kReportBuf,
               "%s%ssrcfreq %d%s%sposition (%f, %f, %f) (%s)%s%srotation (%f, %f, %f, %f) (%s)%s%sstartup hem %s\r\n",
               k.lead, k.indent, static_cast<int>(cfg.srcfreq), k.sep, k.indent, p[0], p[1], p[2],
               units.posunitsstr(true), k.sep, k.indent, r[0], r[1], r[2], r[3], units.oriunitsstr(true), k.sep,
               k.indent, hem);
    }
}

void CSrcCfg::Report(std::string& text, bool header, bool oneLine) const
{
    ReportSource(*this, text, header, oneLine, Spelling::Narrow);
}

void CSrcCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) { ReportSource(*this, narrow, header, oneLine, Spelling::Wide); });
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

bool CSrcRotCfg::operator==(const float* rotation) const
{
    return SameRotation(cfg.rotation, rotation);
}

void CSrcRotCfg::Init()
{
    cfg = _SRCROT_CONFIG{};
    oriUnits = CUnitsCfg().cfg.ori_units;
}

void CSrcRotCfg::InitDefault()
{
    cfg = Default[DefaultIndex(oriUnits)];
}

void CSrcRotCfg::Fill(float a, float b, float c, float d, unsigned freq)
{
    Init();
    cfg.rotation[0] = a;
    cfg.rotation[1] = b;
    cfg.rotation[2] = c;
    cfg.rotation[3] = d;
    cfg.srcfreq = freq;
}

void CSrcRotCfg::Fill(const float* rotation)
{
    std::memcpy(cfg.rotation, rotation, sizeof cfg.rotation);
}

namespace {
void ReportRotation(const _SRCROT_CONFIG& cfg, std::string& text, bool header, bool oneLine, Spelling spelling)
{
    const Look k("SRCROT_CONFIG:", header, oneLine, " ", IndentOf(spelling));
    const float* r = cfg.rotation;
    Append(text, kReportBuf, "%s%ssrcfreq %d%s%srotation (%f, %f, %f, %f) \r\n", k.lead, k.indent,
           static_cast<int>(cfg.srcfreq), k.sep, k.indent, r[0], r[1], r[2], r[3]);
}
} // namespace

void CSrcRotCfg::Report(std::string& text, bool header, bool oneLine) const
{
    ReportRotation(cfg, text, header, oneLine, Spelling::Narrow);
}

void CSrcRotCfg::ReportW(std::wstring& text, bool header, bool oneLine) const
{
    AppendWidened(text, [&](std::string& narrow) { ReportRotation(cfg, narrow, header, oneLine, Spelling::Wide); });
}
