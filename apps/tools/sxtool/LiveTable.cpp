#include "LiveTable.h"

#include "Texts.h"

#include <SXCmdIF/SXCmdIF.h>

#include <cstring>

namespace sxtool {

namespace {

// Cursor up n lines; clear the line.
constexpr const char* kUp = "\x1b[%dA";
constexpr const char* kClearLine = "\r\x1b[2K";

} // namespace

void LiveTable::Frame(const CSXSeuPno& pno)
{
    m_seuid = pno.m_pno.seuid;
    const bool accel = pno.Mode() != 0;
    for (unsigned k = 0; k < pno.SensorCount() && k < FrameStats::kSensors; ++k) {
        const _SENFRAMEDATA* rec = pno.SensFrame(static_cast<int>(k));
        if (!rec)
            break;
        Row& row = m_rows[rec->sfinfo & 0x0F];
        row.seen = true;
        row.posUnits = (rec->sfinfo >> 8) & 3u;
        row.oriUnits = (rec->sfinfo >> 10) & 3u;
        row.quat = row.oriUnits == ORI_QUATERNION;
        if (accel) {
            // Fixed-point orientation: through the library's conversion.
            CSXSnsFrameA a(reinterpret_cast<const _SENFRAMEDATA_A*>(rec));
            std::memcpy(row.pos, a.pos, sizeof row.pos);
            std::memcpy(row.ori, a.ori, sizeof row.ori);
        } else {
            std::memcpy(row.pos, rec->pos, sizeof row.pos);
            std::memcpy(row.ori, rec->ori, sizeof row.ori);
        }
    }
}

void LiveTable::Draw(const FrameStats& stats)
{
    if (m_linesDrawn > 0)
        std::fprintf(m_out, kUp, m_linesDrawn);
    int lines = 0;
    const Row* first = nullptr;
    for (const Row& r : m_rows)
        if (r.seen && !first)
            first = &r;
    const unsigned pu = first ? first->posUnits : 0;
    const unsigned ou = first ? first->oriUnits : 0;
    std::fputs(kClearLine, m_out);
    if (m_simulated)
        std::fputs(texts::kLiveSimulated, m_out);
    std::fprintf(m_out, texts::kLiveTitle, m_seuid, CSXcmd::posunitsstr(pu, true, false),
                 CSXcmd::oriunitsstr(ou, true, false), static_cast<unsigned long long>(stats.Frames()), stats.RateHz(),
                 static_cast<unsigned long long>(stats.TrackerLost()),
                 static_cast<unsigned long long>(stats.CrcDropped()),
                 static_cast<unsigned long long>(stats.QueueLost()));
    std::fputc('\n', m_out);
    std::fputs(kClearLine, m_out);
    const bool quat = first && first->quat;
    std::fprintf(m_out, quat ? texts::kLiveHeadQuat : texts::kLiveHeadEuler, CSXcmd::posunitsstr(pu, false, true),
                 CSXcmd::oriunitsstr(ou, false, true));
    std::fputc('\n', m_out);
    lines += 2;
    for (int n = 0; n < FrameStats::kSensors; ++n) {
        const Row& r = m_rows[n];
        if (!r.seen)
            continue;
        std::fputs(kClearLine, m_out);
        const auto frames = static_cast<unsigned long long>(stats.SensorFrames(n));
        const auto lost = static_cast<unsigned long long>(stats.SensorLost(n));
        if (r.quat)
            std::fprintf(m_out, texts::kLiveRowQuat, n, r.pos[0], r.pos[1], r.pos[2], r.ori[0], r.ori[1], r.ori[2],
                         r.ori[3], frames, stats.SensorRateHz(n), lost);
        else
            std::fprintf(m_out, texts::kLiveRowEuler, n, r.pos[0], r.pos[1], r.pos[2], r.ori[0], r.ori[1], r.ori[2],
                         frames, stats.SensorRateHz(n), lost);
        std::fputc('\n', m_out);
        ++lines;
    }
    std::fputs(kClearLine, m_out);
    std::fputs(texts::kLiveHint, m_out);
    std::fputc('\n', m_out);
    ++lines;
    m_linesDrawn = lines;
    std::fflush(m_out);
}

} // namespace sxtool
