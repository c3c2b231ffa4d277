// The frames' road from the device to the browsers. The P&O callback (on
// the device's reading thread) only copies each frame into the hand-off's
// ring and wakes the server's thread. There every frame is counted, written
// to the recording when one is made, and its sensors' poses kept, the newest
// of each sensor; at most displayHz times a second those poses go to every
// browser as one message, built once. After an update the feed rests for
// the rest of the period, then waits for the next frame: a slow tracker's
// frames go out as they come, a fast one's at the display rate.
#pragma once

#include "viewer/Hub.h"

#include <frames/FrameClock.h>
#include <frames/FrameHandoff.h>
#include <frames/FrameStats.h>
#include <frames/StreamGuard.h>
#include <recording/RecordingWriter.h>

#include <SXCmdIF/SXCmdIF.h>

#include <boost/asio/posix/stream_descriptor.hpp>
#include <boost/asio/steady_timer.hpp>

#include <cstdint>
#include <cstdio>
#include <string>

namespace sxviewer {

class PoseFeed {
public:
    // out: where a recording that stops on its own says so (null: nowhere).
    PoseFeed(Hub& hub, double displayHz, std::FILE* out);
    ~PoseFeed();
    PoseFeed(const PoseFeed&) = delete;
    PoseFeed& operator=(const PoseFeed&) = delete;

    // False when the hand-off's wake-up could not be made.
    bool Open();
    sxframes::FrameHandoff& Handoff() { return m_handoff; }
    // Tells the guard of every frame taken (before Start); a gap it closes
    // is marked in the recording.
    void Watch(sxframes::StreamGuard* guard) { m_guard = guard; }
    void Start();
    // Stops waiting; the frames left are taken by Finish.
    void Stop();
    // Takes what the hand-off still holds and closes the recording.
    void Finish();

    // A recording into a new file of dir, its header written; the file's
    // path, or false and why (and no file left behind).
    bool StartRecording(const std::string& dir, const sxrec::RecordingHeader& header, std::string& file,
                        std::string& error);
    // Ends the recording: its name and frames, or false and why.
    bool StopRecording(std::string& file, uint64_t& frames, std::string& error);

    // The frames' clock model (on the server's thread): the frame period
    // set, and a stream started again.
    void SetFramePeriodNs(int64_t periodNs) { m_clock.SetNominalPeriodNs(periodNs); }
    void RestartClock() { m_clock.Reset(); }

private:
    void EndFailedRecording();
    struct SensorPose {
        bool seen = false;
        CSXSnsFrameA pose;
        _UNITS_CONFIG units{};
        bool accel = false;
        int64_t stampNs = 0;
        int64_t measuredNs = 0; // when measured, on the clock of stampNs
        uint32_t frame = 0;
    };

    void Wait();
    void OnReady(const boost::system::error_code& ec);
    void Drain();
    void Take(const sxframes::FrameHandoff::Slot& slot);
    void Send(int64_t nowNs);
    Text PosesMessage(int64_t nowNs);

    Hub& m_hub;
    std::FILE* m_out;
    int64_t m_periodNs;
    sxframes::FrameHandoff m_handoff;
    sxframes::StreamGuard* m_guard = nullptr;
    net::posix::stream_descriptor m_wake;
    net::steady_timer m_rest;
    bool m_running = false;

    sxframes::FrameStats m_stats;
    sxframes::FrameClock m_clock;
    SensorPose m_sensors[sxframes::FrameStats::kSensors];
    uint32_t m_seq = 0;
    unsigned m_bitError = 0;
    bool m_fresh = false; // frames since the last update

    sxrec::RecordingWriter m_rec;
    std::string m_recFile;  // its name, shown on the page
    std::string m_recError; // why the last recording stopped early
};

} // namespace sxviewer
