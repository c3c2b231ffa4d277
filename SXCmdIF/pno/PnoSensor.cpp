#include "PnoSensor.h"

#include <SXCmdIF/pno/SXsnsFrameA.h>

#include <cstring>

namespace sxpno {

namespace {

void Fields(SensorValues& v, unsigned int sfinfo)
{
    v.n = static_cast<int>(sfinfo & 0x7F);
    v.u = (sfinfo >> 8) & 3;
    v.ou = (sfinfo >> 10) & 3;
    v.quat = v.ou == 2;
    v.b0 = (sfinfo & (1u << 12)) ? '1' : '0'; // NOLINT(bugprone-signed-char-misuse): ASCII digits, never negative
    v.b1 = (sfinfo & (1u << 13)) ? '1' : '0'; // NOLINT(bugprone-signed-char-misuse): ASCII digits, never negative
    v.distortion = static_cast<int>((sfinfo >> 14) & 0xFF);
    v.aux = sfinfo >> 22;
}

} // namespace

SensorValues ReadSensor(const _SX_PNO& pno, unsigned int k)
{
    SensorValues v{};
    const _SENFRAMEDATA& rec = pno.sfdata[k];
    if (AccelFrame(pno)) {
        _SENFRAMEDATA_A a;
        std::memcpy(&a, &rec, sizeof a);
        CSXSnsFrameA conv(&a);
        Fields(v, conv.sfinfo);
        std::memcpy(v.pos, conv.pos, sizeof v.pos);
        std::memcpy(v.ori, conv.ori, sizeof v.ori);
        std::memcpy(v.accel, conv.accel, sizeof v.accel);
        v.accelRec = true;
    } else {
        Fields(v, rec.sfinfo);
        std::memcpy(v.pos, rec.pos, sizeof v.pos);
        std::memcpy(v.ori, rec.ori, sizeof v.ori);
        v.accelRec = false;
    }
    return v;
}

SensorValues ReadSensor0Units(const _SX_PNO& pno)
{
    SensorValues v{};
    Fields(v, pno.sfdata[0].sfinfo);
    return v;
}

std::string ColumnName(int index)
{
    char letters[16];
    int pos = sizeof letters;
    long k = static_cast<long>(index) + 1;
    while (k >= 1 && pos > 0) {
        const long d = (k - 1) % 26;
        letters[--pos] = static_cast<char>('A' + d);
        k = (k - d) / 26;
    }
    return std::string(letters + pos, sizeof letters - pos);
}

} // namespace sxpno
