// sxsim: a simulated tracker on a serial line, for use without hardware.
// Prints the path an application opens, then runs until SIGINT or SIGTERM,
// with a status line on standard error, refreshed every second, when that is
// a terminal or --status asks for it (never with --quiet). The line can
// fall silent, close and come back on a new pseudo-terminal, which a
// symbolic link (--link) follows, so that an application connecting again
// finds it where it was.
#include <simulator/ReplaySource.h>
#include <simulator/SimTracker.h>

#include <CLI/CLI.hpp>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <map>
#include <string>
#include <unistd.h>

namespace {

const char* const kDescription =
    "Simulated tracker on a serial line. The first line printed is the path an "
    "application opens (the slave end of a new pseudo-terminal, or the --tty given); "
    "with --ports the second line is the SXSERIO_PORTS setting that numbers it as port 1. "
    "The unit answers every command of the catalogue and, after a SET of "
    "CMD_CONTINUOUS_PNO, sends P&O frames at the configured frame rate until a RESET. "
    "Acceleration records (hpinfo mode 1) are sent with --accel, or for one stream when "
    "the SET of CMD_CONTINUOUS_PNO (or a GET of CMD_SINGLE_PNO) has bit 0 of arg2 set. "
    "Fault options count P&O cycles and responses from 1; N = 1 hits every one. "
    "A status line on standard error, refreshed every second, counts frames, commands and faults "
    "when standard error is a terminal, or with --status as one line a second wherever it goes "
    "(--quiet: never). "
    "SIGINT or SIGTERM ends it with exit code 0.";

// Points the symbolic link at target, replacing what was there in one step.
bool PointLink(const std::string& link, const std::string& target)
{
    const std::string fresh = link + ".new";
    ::unlink(fresh.c_str());
    if (::symlink(target.c_str(), fresh.c_str()) != 0 || ::rename(fresh.c_str(), link.c_str()) != 0) {
        std::fprintf(stderr, "sxsim: cannot point %s at %s: %s\n", link.c_str(), target.c_str(), std::strerror(errno));
        ::unlink(fresh.c_str());
        return false;
    }
    return true;
}

double Since(std::chrono::steady_clock::time_point t)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

// --truth FILE: one line a P&O frame, "frame_count measured_ns", the
// monotonic clock of the machine at the frame's measurement.
class TruthFile final : public sxsim::TruthSink {
public:
    explicit TruthFile(std::FILE* f) : m_file(f) {}
    ~TruthFile() override
    {
        if (m_file)
            std::fclose(m_file);
    }
    void Measured(uint32_t frameCount, int64_t monotonicNs) override
    {
        std::fprintf(m_file, "%u %lld\n", frameCount, static_cast<long long>(monotonicNs));
    }

private:
    std::FILE* m_file;
};

} // namespace

int main(int argc, char** argv)
{
    sxsim::SimConfig cfg;
    sxsim::FaultConfig faults;
    std::string tty, family = "tracker";
    bool ports = false;
    double quietAfter = 0, closeAfter = 0, reopenAfter = 0;
    std::string link;
    bool reopenReset = false;

    CLI::App app(kDescription, "sxsim");
    app.add_option("--sensors", cfg.sensors, "Detected sensors, numbered from 0 (1 to 16)")
        ->check(CLI::Range(1, 16))
        ->capture_default_str();
    app.add_option("--sources", cfg.sources, "Detected sources (1 to 4)")
        ->check(CLI::Range(1, 4))
        ->capture_default_str();
    app.add_option("--rate", cfg.rateHz, "Initial frame rate in Hz: 30, 60, 120, 240, 480 or 960")
        ->check(CLI::IsMember({30, 60, 120, 240, 480, 960}))
        ->capture_default_str();
    app.add_option("--seuid", cfg.seuid, "Unit identifier")->capture_default_str();
    app.add_option("--seed", cfg.seed, "Seed of the generated motion")->capture_default_str();
    app.add_flag("--static", cfg.staticPose,
                 "Fixed pose: sensor k at x = 10 + k, y = -5 + 2k, z = 3.5 inches, azimuth 10k, elevation 30, "
                 "roll -45 degrees (in the units in force), no acceleration");
    app.add_flag("--accel", cfg.accelRecords, "Acceleration records instead of plain ones");
    app.add_option("--family", family, "Device family: tracker (\"SXRC\"/\"SXRP\"), q7tag or q7hub (\"Q7BC\"/\"Q7BP\")")
        ->check(CLI::IsMember({"tracker", "q7tag", "q7hub"}))
        ->capture_default_str();
    app.add_option("--tty", tty, "Serve this terminal instead of a new pseudo-terminal pair");
    app.add_flag("--ports", ports, "Also print SXSERIO_PORTS=<path> on the second line");
    app.add_option("--link", link,
                   "Make this path a symbolic link to the line, and print it as the path to open: it follows the "
                   "line to its new pseudo-terminal when the line comes back (--reopen-after); removed at exit");
    bool quietStatus = false;
    bool forceStatus = false;
    auto* quietOpt = app.add_flag("--quiet", quietStatus, "No status line (by default it is shown only on a terminal)");
    app.add_flag("--status", forceStatus,
                 "The status line also when standard error is not a terminal (a file, a pipe): "
                 "one whole line a second, for a program that counts the frames sent")
        ->excludes(quietOpt);
    std::string replay;
    double speed = 1.0;
    bool loop = false;
    auto* replayOpt = app.add_option("--replay", replay,
                                     "Serve this recording (sxtool record): its identity, units, frame rate and "
                                     "station map, and its frames at their mean recorded pace");
    app.add_option("--speed", speed, "With --replay: play this many times faster")
        ->check(CLI::PositiveNumber)
        ->needs(replayOpt);
    app.add_flag("--loop", loop, "With --replay: start again after the last frame")->needs(replayOpt);
    app.add_option("--drift-ppm", cfg.driftPpm,
                   "The unit's clock runs this many parts per million fast (its frames come more often), "
                   "or slow when negative (-1000 to 1000)")
        ->check(CLI::Range(-1000.0, 1000.0));
    std::string truth;
    app.add_option("--truth", truth,
                   "Write one line a P&O frame into this file: its frame count and when it was measured, "
                   "in nanoseconds of the machine's monotonic clock");

    auto* fg = "Faults";
    app.add_option("--drop-every", faults.dropEveryN, "Leave out every N-th P&O frame (a gap in the frame count)")
        ->group(fg);
    app.add_option("--corrupt-frame-every", faults.corruptFrameEveryN, "Wrong CRC in every N-th P&O frame")->group(fg);
    app.add_option("--extra-sensor-every", faults.extraSensorEveryN, "17 sensor records in every N-th P&O frame")
        ->group(fg);
    app.add_option("--sensor16-every", faults.sensor16EveryN,
                   "Sensor number 16 in the last record of every N-th P&O frame")
        ->group(fg);
    app.add_option("--garbage-every", faults.garbageEveryN, "Garbage bytes before every N-th P&O frame")->group(fg);
    app.add_option("--garbage-len", faults.garbageLen, "How many garbage bytes (1 to 64)")
        ->check(CLI::Range(1, 64))
        ->capture_default_str()
        ->group(fg);
    app.add_option("--truncate-every", faults.truncateEveryN, "Every N-th P&O frame cut short after half its bytes")
        ->group(fg);
    app.add_option("--fault-cmd", faults.faultCmd, "Response faults only for this command code (default: all)")
        ->group(fg);
    app.add_option("--corrupt-response-every", faults.corruptResponseEveryN, "Wrong CRC in every N-th response")
        ->group(fg);
    app.add_option("--delay-ms", faults.responseDelayMs, "Send responses this many milliseconds late")
        ->check(CLI::Range(0, 60000))
        ->group(fg);
    app.add_flag("--withhold", faults.withholdResponses, "Do not answer commands")->group(fg);
    app.add_flag("--wrong-cmd-first", faults.wrongCommandFirst,
                 "Send an ACK with the command word plus one before each answer")
        ->group(fg);
    app.add_flag("--nak-all", faults.nakAll, "Answer every command with NAK")->group(fg);
    app.add_flag("--nak-warning", faults.nakWarning, "Answer accepted commands with NAK_WARNING")->group(fg);
    double jitterMs = 0;
    app.add_option("--jitter-ms", jitterMs,
                   "Write each P&O frame a random 0 to X milliseconds late, keeping their order (0 to 100)")
        ->check(CLI::Range(0.0, 100.0))
        ->group(fg);
    app.add_option("--quiet-after", quietAfter, "After this many seconds the line goes quiet")->group(fg);
    auto* closeOpt =
        app.add_option("--close-after", closeAfter, "After this many seconds the line closes (hang-up)")->group(fg);
    auto* reopenOpt =
        app.add_option("--reopen-after", reopenAfter,
                       "This many seconds after it closed, the line comes back on a new pseudo-terminal "
                       "(printed, and followed by --link), as a cable put back; the unit goes on as it was")
            ->needs(closeOpt)
            ->group(fg);
    app.add_flag("--reopen-reset", reopenReset,
                 "With --reopen-after: the unit comes back as switched off and on (power-on settings, no output, "
                 "frame count from 0)")
        ->needs(reopenOpt)
        ->group(fg);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "sxsim: %s (try --help)\n", e.what());
        return 2;
    }
    sxsim::ReplayInfo replayInfo;
    if (!replay.empty()) {
        std::string why;
        if (!sxsim::ScanRecording(replay, replayInfo, why)) {
            std::fprintf(stderr, "sxsim: %s\n", why.c_str());
            return 1;
        }
        if (!replayInfo.fault.empty())
            std::fprintf(stderr, "sxsim: %s: %s; replaying the %llu whole frames before it\n", replay.c_str(),
                         replayInfo.fault.c_str(), static_cast<unsigned long long>(replayInfo.frames));
        const sxsim::SimConfig recorded = sxsim::ReplayConfig(replayInfo);
        cfg.seuid = recorded.seuid;
        cfg.rateHz = recorded.rateHz;
        cfg.sensors = recorded.sensors;
        cfg.sources = recorded.sources;
    }
    if (family == "q7tag")
        cfg.pid = PID_Q7_TAG;
    else if (family == "q7hub")
        cfg.pid = PID_Q7_HUB;

    // The simulator's threads inherit the blocked signals; this one waits.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    faults.jitterUs = static_cast<uint32_t>(jitterMs * 1000.0 + 0.5);
    std::unique_ptr<TruthFile> truthFile;
    if (!truth.empty()) {
        std::FILE* f = std::fopen(truth.c_str(), "w");
        if (!f) {
            std::fprintf(stderr, "sxsim: %s: %s\n", truth.c_str(), std::strerror(errno));
            return 1;
        }
        truthFile = std::make_unique<TruthFile>(f);
    }

    std::string error;
    auto sim = tty.empty() ? sxsim::SerialSim::Start(cfg, &error) : sxsim::SerialSim::StartOnPath(tty, cfg, &error);
    if (!sim) {
        std::fprintf(stderr, "sxsim: %s\n", error.c_str());
        return 1;
    }
    sim->SetFaults(faults);
    sim->SetTruthSink(truthFile.get());
    if (!replay.empty()) {
        sxsim::ApplyRecordedSettings(sim->Unit(), replayInfo);
        sim->Unit().SetSource(sxsim::MakeReplaySource(replay, replayInfo, speed, loop));
    }
    if (!link.empty() && !PointLink(link, sim->SlavePath()))
        return 1;
    const std::string& path = link.empty() ? sim->SlavePath() : link;
    std::printf("%s\n", path.c_str());
    if (ports)
        std::printf("SXSERIO_PORTS=%s\n", path.c_str());
    std::fflush(stdout);

    // A tenth of a second between looks at the clock, the status line once
    // a second.
    const timespec tick{0, 100000000};
    const auto begun = std::chrono::steady_clock::now();
    auto nextStatus = begun + std::chrono::seconds(1);
    const bool terminal = isatty(STDERR_FILENO) == 1;
    const bool status = !quietStatus && (terminal || forceStatus);
    bool quiet = false, closed = false, reopened = false;
    for (;;) {
        if (sigtimedwait(&stopSignals, nullptr, &tick) > 0)
            break;
        const double elapsed = Since(begun);
        if (!quiet && quietAfter > 0 && elapsed >= quietAfter) {
            sim->GoQuiet(true);
            quiet = true;
        }
        if (!closed && closeAfter > 0 && elapsed >= closeAfter) {
            sim->CloseLine();
            closed = true;
        }
        if (closed && !reopened && reopenAfter > 0 && elapsed >= closeAfter + reopenAfter) {
            reopened = true;
            std::string error;
            if (!sim->ReopenLine(reopenReset, &error))
                std::fprintf(stderr, "sxsim: the line cannot come back: %s\n", error.c_str());
            else if (!link.empty())
                PointLink(link, sim->SlavePath());
            else {
                std::printf("%s\n", sim->SlavePath().c_str());
                std::fflush(stdout);
            }
        }
        if (!status || std::chrono::steady_clock::now() < nextStatus)
            continue;
        nextStatus += std::chrono::seconds(1);
        const sxsim::SimStats s = sim->Stats();
        // Redrawn in place on a terminal; elsewhere a line each time.
        std::fprintf(
            stderr,
            "%ssxsim: frames %llu sent, %llu dropped, %llu unsent; commands %llu answered; faults %llu injected%s",
            terminal ? "\r" : "", static_cast<unsigned long long>(s.framesSent),
            static_cast<unsigned long long>(s.framesDropped), static_cast<unsigned long long>(s.framesUnsent),
            static_cast<unsigned long long>(s.commandsAnswered), static_cast<unsigned long long>(s.faultsInjected),
            terminal ? " " : "\n");
        std::fflush(stderr);
    }
    if (status && terminal)
        std::fputc('\n', stderr);
    sim.reset();
    if (!link.empty())
        ::unlink(link.c_str());
    return 0;
}
