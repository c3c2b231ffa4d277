#include <SXCmdIF/pno/SXsnsFrameA.h>
#include <SXCmdIF/protocol/SXcmd.h>

#include <cstddef>
#include <cstring>

static_assert(offsetof(CSXSnsFrameA, sfinfo) == offsetof(_SENFRAMEDATA, sfinfo) &&
                  offsetof(CSXSnsFrameA, pos) == offsetof(_SENFRAMEDATA, pos) &&
                  offsetof(CSXSnsFrameA, ori) == offsetof(_SENFRAMEDATA, ori),
              "the first fields are a plain sensor record");
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "records are copied as the wire holds them");

const float CSXSnsFrameA::OriFractFactor[3] = {180.0f, 3.1415927f, 1.0f};

namespace {

unsigned OriUnits(unsigned int sfinfo)
{
    return (sfinfo >> 10) & 3;
}

} // namespace

CSXSnsFrameA::CSXSnsFrameA(const _SENFRAMEDATA_A* rec)
{
    Init();
    Fill(rec);
}

void CSXSnsFrameA::Init()
{
    sfinfo = 0;
    std::memset(pos, 0, sizeof pos);
    std::memset(ori, 0, sizeof ori);
    std::memset(accel, 0, sizeof accel);
}

void CSXSnsFrameA::Fill(const _SENFRAMEDATA_A* rec)
{
    if (!rec) {
        Init();
        return;
    }
    _SENFRAMEDATA_A a; // the record may sit inside a plain-record array
    std::memcpy(&a, rec, sizeof a);
    sfinfo = a.sfinfo;
    std::memcpy(pos, a.pos, sizeof pos);
    const int n = NumTerms();
    ConvertOri(a.ori, n, OriFactor());
    if (n == 3)
        ori[3] = 0.0f;
    ConvertAccel(a.accel, 4, AccelFullScale);
}

void CSXSnsFrameA::Fill(const _SENFRAMEDATA* rec)
{
    if (!rec) {
        Init();
        return;
    }
    _SENFRAMEDATA p;
    std::memcpy(&p, rec, sizeof p);
    sfinfo = p.sfinfo;
    std::memcpy(pos, p.pos, sizeof pos);
    std::memcpy(ori, p.ori, sizeof ori);
}

bool CSXSnsFrameA::Qtrn() const
{
    return OriUnits(sfinfo) == 2;
}

int CSXSnsFrameA::NumTerms() const
{
    return Qtrn() ? 4 : 3;
}

float CSXSnsFrameA::OriFactor() const
{
    // Units 3 name no unit. Such a record is read as Euler angles (three
    // terms) in degrees, the unit's default, rather than indexing past the
    // table.
    const unsigned units = OriUnits(sfinfo);
    return OriFractFactor[units < 3 ? units : 0];
}

void CSXSnsFrameA::ConvertOri(const short* fract, int count, float factor)
{
    if (!fract)
        return;
    for (int i = 0; i < count && i < 4; ++i)
        ori[i] = CSXcmd::FractToFloat(fract[i], factor);
}

void CSXSnsFrameA::ConvertAccel(const short* fract, int count, float factor)
{
    if (!fract)
        return;
    for (int i = 0; i < count && i < 4; ++i)
        accel[i] = CSXcmd::FractToFloat(fract[i], factor);
}
