// The text form of a stream on a terminal: a table refreshed in place, one
// row per sensor with its latest position and orientation, frame count,
// rate and the frames that lacked it.
#pragma once

#include <frames/FrameStats.h>

#include <cstdint>
#include <cstdio>
#include <string>

class CSXSeuPno;

namespace sxtool {

using sxframes::FrameStats;

class LiveTable {
public:
    explicit LiveTable(std::FILE* out) : m_out(out) {}
    // A simulated tracker's table says so in its title.
    void SetSimulated(bool simulated) { m_simulated = simulated; }
    // Keeps the latest record of every sensor in the frame.
    void Frame(const CSXSeuPno& pno);
    // Redraws the table over the previous one.
    void Draw(const FrameStats& stats);

private:
    struct Row {
        bool seen = false;
        bool quat = false;
        unsigned posUnits = 0;
        unsigned oriUnits = 0;
        float pos[3] = {};
        float ori[4] = {};
    };
    Row m_rows[FrameStats::kSensors];
    uint32_t m_seuid = 0;
    std::FILE* m_out;
    int m_linesDrawn = 0;
    bool m_simulated = false;
};

} // namespace sxtool
