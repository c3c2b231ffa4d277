#include <SXCmdIF/pno/SXseuPno.h>
#include <SXCmdIF/protocol/SXframe.h>
#include <SXCmdIF/records/SXpayloads.h>

#include "sxwire/LEWords.h"

#include <cstring>

const float CSXSeuPno::default_pos_spec_rms = 0.015f;
const float CSXSeuPno::default_ori_spec_rms = 0.1f;

namespace {

constexpr unsigned kHeaderLen = SX_OFF_PNO_DATA;   // preamble to snscnt
constexpr unsigned kBodyHeaderLen = 16;            // seuid to snscnt
constexpr unsigned kRecordLen = SX_PNO_SENSOR_LEN; // one sensor record

unsigned Min(unsigned a, unsigned b)
{
    return a < b ? a : b;
}

// Records the frame's `size` word covers: 20 bytes of header words and CRC,
// then 32 per record.
unsigned RecordsInSize(unsigned size)
{
    return size >= SX_PNO_SIZE_MIN ? (size - SX_PNO_SIZE_MIN) / kRecordLen : 0;
}

} // namespace

CSXSeuPno::CSXSeuPno() : m_fPosSpecRms(default_pos_spec_rms)
{
    Init();
}

CSXSeuPno::CSXSeuPno(const unsigned char* record) : m_fPosSpecRms(default_pos_spec_rms)
{
    Init();
    *this = record;
}

CSXSeuPno::CSXSeuPno(const _SX_PNO* record) : m_fPosSpecRms(default_pos_spec_rms)
{
    Init();
    *this = record;
}

CSXSeuPno::CSXSeuPno(const CSXSeuPno& other) : m_pno(other.m_pno), m_fPosSpecRms(default_pos_spec_rms)
{
}

CSXSeuPno::~CSXSeuPno() = default;

CSXSeuPno& CSXSeuPno::operator=(const unsigned char* record)
{
    if (record)
        std::memcpy(&m_pno, record, sizeof m_pno);
    return *this;
}

CSXSeuPno& CSXSeuPno::operator=(const _SX_PNO* record)
{
    if (record)
        std::memcpy(&m_pno, record, sizeof m_pno);
    return *this;
}

CSXSeuPno& CSXSeuPno::operator=(const CSXSeuPno& other)
{
    if (this != &other)
        m_pno = other.m_pno;
    return *this;
}

void CSXSeuPno::Init()
{
    std::memset(&m_pno, 0, sizeof m_pno);
}

unsigned int CSXSeuPno::Extractraw(const unsigned char* frame)
{
    if (!frame || sxwire::GetLE32(frame) != SX_PREAMBLE_PNO)
        return 0;
    // A frame that passed the receive checks holds `size` + 8 bytes: the
    // records taken stay inside them even when `snscnt` claims more.
    const unsigned size = sxwire::GetLE32(frame + SX_OFF_SIZE);
    const unsigned count = sxwire::GetLE32(frame + SX_OFF_SNSCNT);
    const unsigned n = Min(Min(count, SX_PNO_SENSORS_MAX), RecordsInSize(size));
    Init();
    std::memcpy(&m_pno, frame, kHeaderLen);
    std::memcpy(m_pno.sfdata, frame + kHeaderLen, n * kRecordLen);
    m_pno.snscnt = n;
    return kHeaderLen + n * kRecordLen + SX_CRC_LEN;
}

unsigned int CSXSeuPno::Extractraw(const unsigned char* frame, unsigned int length)
{
    if (!frame || length < kHeaderLen)
        return 0;
    if (sxwire::GetLE32(frame) != SX_PREAMBLE_PNO)
        return 0;
    const unsigned size = sxwire::GetLE32(frame + SX_OFF_SIZE);
    const unsigned count = sxwire::GetLE32(frame + SX_OFF_SNSCNT);
    unsigned n = Min(Min(count, SX_PNO_SENSORS_MAX), RecordsInSize(size));
    n = Min(n, (length - kHeaderLen) / kRecordLen);
    Init();
    std::memcpy(&m_pno, frame, kHeaderLen);
    std::memcpy(m_pno.sfdata, frame + kHeaderLen, n * kRecordLen);
    m_pno.snscnt = n;
    return kHeaderLen + n * kRecordLen + SX_CRC_LEN;
}

unsigned int CSXSeuPno::Extractseupno(const unsigned char* body)
{
    if (!body)
        return 0;
    const unsigned count = sxwire::GetLE32(body + 12);
    const unsigned n = Min(count, SX_PNO_SENSORS_MAX);
    Init();
    std::memcpy(&m_pno.seuid, body, kBodyHeaderLen);
    std::memcpy(m_pno.sfdata, body + kBodyHeaderLen, n * kRecordLen);
    m_pno.snscnt = n;
    return SX_PNO_SIZE_MIN + n * kRecordLen;
}

unsigned int CSXSeuPno::Extractseupno(const unsigned char* body, unsigned int length)
{
    if (!body || length < kBodyHeaderLen)
        return 0;
    const unsigned count = sxwire::GetLE32(body + 12);
    const unsigned n = Min(Min(count, SX_PNO_SENSORS_MAX), (length - kBodyHeaderLen) / kRecordLen);
    Init();
    std::memcpy(&m_pno.seuid, body, kBodyHeaderLen);
    std::memcpy(m_pno.sfdata, body + kBodyHeaderLen, n * kRecordLen);
    m_pno.snscnt = n;
    return SX_PNO_SIZE_MIN + n * kRecordLen;
}

bool CSXSeuPno::ValidateSensorCount(const unsigned char* frame, int maximum)
{
    if (!frame)
        return false;
    return sxwire::GetLE32(frame + SX_OFF_SNSCNT) <= static_cast<unsigned>(maximum);
}

bool CSXSeuPno::ValidateSensorIDs(const unsigned char* frame, unsigned int mask)
{
    if (!frame)
        return false;
    const unsigned count = sxwire::GetLE32(frame + SX_OFF_SNSCNT);
    if (count > SX_PNO_SENSORS_MAX)
        return false;
    for (unsigned k = 0; k < count; ++k) {
        if (sxwire::GetLE32(frame + kHeaderLen + k * kRecordLen) & mask)
            return false;
    }
    return true;
}

bool CSXSeuPno::ValidateSensorIDs(const unsigned char* frame, unsigned int length, unsigned int mask)
{
    if (!frame || length < kHeaderLen)
        return false;
    const unsigned count = sxwire::GetLE32(frame + SX_OFF_SNSCNT);
    if (count > SX_PNO_SENSORS_MAX || count > (length - kHeaderLen) / kRecordLen)
        return false;
    return ValidateSensorIDs(frame, mask);
}

unsigned int CSXSeuPno::SensorMap() const
{
    const unsigned count = Min(m_pno.snscnt, SX_PNO_SENSORS_MAX);
    unsigned map = 0;
    for (unsigned k = 0; k < count; ++k) {
        const unsigned n = m_pno.sfdata[k].sfinfo & 0x7F;
        if (n < 32) // numbers 32 and above have no bit in the map
            map |= 1u << n;
    }
    return map;
}

const _SENFRAMEDATA* CSXSeuPno::SensFrame(int index) const
{
    if (index < 0 || static_cast<unsigned>(index) >= Min(m_pno.snscnt, SX_PNO_SENSORS_MAX))
        return nullptr;
    return &m_pno.sfdata[index];
}

_SENFRAMEDATA* CSXSeuPno::SensFrame(int index)
{
    return const_cast<_SENFRAMEDATA*>(static_cast<const CSXSeuPno*>(this)->SensFrame(index));
}

const _SENFRAMEDATA_A* CSXSeuPno::SensFrameA(int index) const
{
    return reinterpret_cast<const _SENFRAMEDATA_A*>(SensFrame(index));
}

_SENFRAMEDATA_A* CSXSeuPno::SensFrameA(int index)
{
    return reinterpret_cast<_SENFRAMEDATA_A*>(SensFrame(index));
}

void CSXSeuPno::SFUnits(int index, _UNITS_CONFIG* units) const
{
    // Both record views start with the same sfinfo word.
    const _SENFRAMEDATA* rec = SensFrame(index);
    if (!rec || !units)
        return;
    units->pos_units = (rec->sfinfo >> 8) & 3;
    units->ori_units = (rec->sfinfo >> 10) & 3;
}
