// stream and record: continuous P&O from the tracker, printed with the
// library's reports, drawn as a live table, and/or written to a recording.
#include "Commands.h"

#include "ExitCodes.h"
#include "Output.h"
#include "FrameSource.h"
#include "LiveTable.h"
#include "PnoPrinter.h"
#include "Session.h"
#include "StopFlag.h"
#include "StreamWatch.h"
#include "Texts.h"

#include <frames/FrameClock.h>
#include <frames/FramePeriod.h>
#include <frames/RecordingHeader.h>
#include <recording/FileOutput.h>
#include <recording/RecordingWriter.h>

#include <SXCmdIF/SXCmdIF.h>
#include <sxwire/LEWords.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace sxtool {

namespace {

constexpr int kPollMs = 5;                        // sleep when the queue is empty
constexpr uint64_t kStatusEveryNs = 500000000ull; // status line: twice a second
constexpr uint64_t kTableEveryNs = 100000000ull;  // live table: ten times a second
constexpr uint64_t kRateWindowNs = 1000000000ull;
// The stop is idempotent: on a loaded machine its answer may come late, so
// it is sent again before the tool gives up.
constexpr int kStopAttempts = 3;

// Every frame goes through here: counted, recorded, printed or tabled.
class StreamSink : public FrameHandler {
public:
    StreamSink(const StreamOptions& o, std::FILE* out, bool live, bool simulated)
        : m_opts(o), m_out(out), m_printer(o.format, o.timestamps), m_table(DataOut()), m_live(live)
    {
        m_printer.SetSimulated(simulated);
        m_table.SetSimulated(simulated);
    }

    sxrec::RecordingWriter& Recording() { return m_rec; }
    FrameStats& Stats() { return m_stats; }
    LiveTable& Table() { return m_table; }
    sxframes::FrameClock& Clock() { return m_clock; }
    bool Failed() const { return m_failed; }
    // Writing the reports failed: why, with the file's name.
    bool OutFailed() const { return !m_outError.empty(); }
    const std::string& OutError() const { return m_outError; }
    bool Done() const { return m_opts.frames != 0 && m_stats.Frames() >= m_opts.frames; }
    void Watch(sxframes::StreamGuard* guard) { m_guard = guard; }

    bool OnFrame(const StreamFrame& f) override
    {
        if (Done() || m_failed)
            return false;
        // The first frame after a reconnection: the counts go on from it,
        // and the recording marks the gap.
        sxframes::StreamGap gap;
        if (m_guard && m_guard->Frame(f.bytes, f.length, static_cast<int64_t>(MonotonicNs()), &gap)) {
            m_stats.Restart();
            if (m_rec.IsOpen() && !m_rec.WriteGap(sxframes::GapRecord(gap))) {
                m_failed = true;
                return false;
            }
        }
        if (!m_stats.Add(f.bytes, f.length, f.seqNum, f.timeStampNs))
            return true; // damaged: counted, neither printed nor recorded
        if (m_rec.IsOpen() && !m_rec.Write(f.bytes, f.length, f.timeStampNs, f.seqNum)) {
            m_failed = true;
            return false;
        }
        const sxframes::FrameTime t =
            m_clock.Stamp(sxwire::GetLE32(f.bytes + SX_OFF_FRAMENUM), static_cast<int64_t>(f.timeStampNs));
        if (m_opts.print) {
            const unsigned char* bytes = f.bytes;
            unsigned length = f.length;
            if (m_opts.sensorMask != 0) {
                length = PickSensors(f.bytes, f.length, m_opts.sensorMask, m_picked);
                bytes = m_picked;
            }
            CSXSeuPno pno;
            if (length != 0 && pno.Extractraw(bytes, length) != 0) {
                if (m_live) {
                    m_table.Frame(pno);
                } else {
                    m_text.clear();
                    m_printer.Frame(pno, m_text, {f.timeStampNs, f.seqNum, t.systemNs});
                    if (!WriteText(m_out, m_text)) {
                        m_outError = (m_opts.outFile.empty() ? std::string("standard output") : m_opts.outFile) +
                                     ": cannot write: " + std::strerror(errno);
                        m_failed = true;
                        return false;
                    }
                }
            }
        }
        return !Done();
    }

private:
    const StreamOptions& m_opts;
    std::FILE* m_out;
    PnoPrinter m_printer;
    LiveTable m_table;
    bool m_live;
    FrameStats m_stats;
    sxframes::FrameClock m_clock;
    sxrec::RecordingWriter m_rec;
    std::string m_text;
    unsigned char m_picked[SX_PNO_FRAME_MAX];
    bool m_failed = false;
    sxframes::StreamGuard* m_guard = nullptr;
    std::string m_outError;
};

void StatusLine(const FrameStats& st, unsigned depth)
{
    std::fprintf(stderr, texts::kStatusLine, static_cast<unsigned long long>(st.Frames()), st.RateHz(),
                 static_cast<unsigned long long>(st.TrackerLost()), static_cast<unsigned long long>(st.CrcDropped()),
                 static_cast<unsigned long long>(st.QueueLost()), depth);
    std::fflush(stderr);
}

void Summary(const FrameStats& st, const StreamWatch& watched)
{
    std::fprintf(stderr, texts::kStreamSummary, static_cast<unsigned long long>(st.Frames()),
                 static_cast<unsigned long long>(st.TrackerLost()), static_cast<unsigned long long>(st.CrcDropped()),
                 static_cast<unsigned long long>(st.QueueLost()));
    if (st.Malformed() != 0)
        std::fprintf(stderr, texts::kMalformedSummary, static_cast<unsigned long long>(st.Malformed()));
    if (st.Frames() > 1)
        std::fprintf(stderr, texts::kIntervalSummary, st.IntervalMs(0.5), st.IntervalMs(0.99));
    if (const std::string counts = watched.Summary(); !counts.empty())
        std::fprintf(stderr, "; %s", counts.c_str());
    std::fputs(LineEnd(), stderr);
}

// Switches continuous output off, again when the answer was late.
int StopOutput(Session& s, int attempts)
{
    int rc = E_SX_SUCCESS;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        rc = sxcmd_dev_contpno(s.Ctx(), s.Dev(), CMD_ACTION_RESET, nullptr, 0);
        if (rc == E_SX_SUCCESS)
            break;
        if (attempt + 1 < attempts)
            Complain(texts::kStopRetried, ErrorText(rc));
    }
    return rc;
}

} // namespace

int RunStream(Session& s, const StreamOptions& o)
{
    std::FILE* out = DataOut();
    sxrec::FileOutput outFile;
    std::string error;
    if (o.print && !o.outFile.empty()) {
        if (!outFile.Open(o.outFile, o.force, "", error)) {
            Complain("%s", error.c_str());
            return kExitFileError;
        }
        out = outFile.File();
    }
    const bool live = o.print && o.outFile.empty() && o.format == PnoFormat::Text && DataIsTerminal();
    const bool status = !o.outFile.empty() || !o.print;
    StreamSink sink(o, out, live, s.Simulated());
    // Standard output is flushed; a file is put in place only when whole,
    // else removed. False (with error) when the reports did not get out.
    auto closeOut = [&](bool complete) {
        if (out == DataOut()) {
            if (std::fflush(out) == 0 || !complete)
                return true;
            error = std::string("standard output: cannot write: ") + std::strerror(errno);
            return false;
        }
        if (complete)
            return outFile.Commit(error);
        outFile.Discard();
        return true;
    };

    if (!o.recordFile.empty()) {
        sxrec::RecordingHeader header;
        const int rc = sxframes::ReadRecordingHeader(s.Ctx(), s.Dev(), header);
        if (rc != E_SX_SUCCESS) {
            closeOut(false);
            Complain(texts::kCommandFailed, "reading the settings to record", ErrorText(rc));
            return kExitFailed;
        }
        if (s.Simulated())
            header.flags |= sxrec::kFlagSimulated;
        if (!sink.Recording().Open(o.recordFile, header, error, o.force)) {
            closeOut(false);
            Complain("%s", error.c_str());
            return kExitFileError;
        }
        // The recording's clocks, so that converting it gives these stamps.
        sink.Clock().SetSystemOffsetNs(static_cast<int64_t>(header.startTimeNs - header.startMonotonicNs));
    }
    sink.Clock().SetNominalPeriodNs(sxframes::ReadFramePeriodNs(s.Ctx(), s.Dev()));

    std::unique_ptr<FrameSource> source =
        o.callback ? MakeCallbackSource(s.Ctx(), s.Dev()) : MakeQueueSource(s.Ctx(), s.Dev());
    // How the stream begins, on the first device and on every new one.
    const auto begin = [&](void* dev) {
        source->Rebind(dev);
        int rc = source->Start();
        // Damaged frames come marked instead of dropped, to be counted apart.
        if (rc == E_SX_SUCCESS)
            rc = sxdev_pnofrmerr_allow(s.Ctx(), dev, true);
        if (rc == E_SX_SUCCESS)
            rc = sxcmd_dev_contpno(s.Ctx(), dev, CMD_ACTION_SET, nullptr, 0);
        return rc;
    };
    int rc = begin(s.Dev());
    if (rc != E_SX_SUCCESS) {
        source->Stop();
        closeOut(false);
        sink.Recording().Discard();
        Complain(texts::kCommandFailed, "starting continuous P&O", ErrorText(rc));
        return kExitFailed;
    }
    StreamWatch watch(s.Options().reconnect);
    sxframes::StreamGuard guard(
        s.Ctx(), s.Dev(), GuardOptions(s.Options()), [&s](void*& dev) { return s.Reconnect(dev); }, begin);
    sink.Watch(&guard);

    const uint64_t start = MonotonicNs();
    guard.Begin(static_cast<int64_t>(start));
    uint64_t nextStatus = start + kStatusEveryNs;
    uint64_t nextTable = start;
    bool statusShown = false; // a status line not yet ended
    while (!StopRequested() && !sink.Done() && !sink.Failed()) {
        if (!source->Poll(sink, kPollMs))
            break;
        const uint64_t now = MonotonicNs();
        for (sxframes::StreamEvent e;
             (e = guard.Poll(static_cast<int64_t>(now))).kind != sxframes::StreamEvent::Kind::None;) {
            if (statusShown)
                std::fputs(LineEnd(), stderr);
            statusShown = false;
            watch.Tell(e);
        }
        if (guard.Lost() && !s.Options().reconnect)
            break;
        sink.Stats().UpdateRates(now, kRateWindowNs);
        if (o.seconds > 0 && static_cast<double>(now - start) / 1e9 >= o.seconds)
            break;
        if (live && now >= nextTable) {
            sink.Table().Draw(sink.Stats());
            nextTable = now + kTableEveryNs;
        }
        if (status && now >= nextStatus) {
            StatusLine(sink.Stats(), source->QueueDepth());
            statusShown = true;
            nextStatus = now + kStatusEveryNs;
        }
    }

    // Stop the output, then take what the library had already accepted; a
    // lost line takes no command.
    const bool lost = guard.Lost();
    const int stopRc = lost ? E_SX_SUCCESS : StopOutput(s, guard.Stalled() ? 1 : kStopAttempts);
    if (!sink.Done() && !sink.Failed())
        source->Poll(sink, 0);
    source->Stop();
    if (live)
        sink.Table().Draw(sink.Stats());
    if (status) {
        StatusLine(sink.Stats(), 0);
        std::fputs(LineEnd(), stderr);
    }
    // The reports are written whole or not at all; a recording keeps what
    // it has (its .part file, which the error names, when it cannot end).
    const bool outOk = closeOut(!sink.OutFailed()) && !sink.OutFailed();
    std::string recError;
    const bool recOk = sink.Recording().Close(recError);
    if (!outOk || !recOk) {
        if (!outOk)
            Complain("%s", sink.OutFailed() ? sink.OutError().c_str() : error.c_str());
        if (!recOk)
            Complain("%s", recError.c_str());
        return kExitFileError;
    }
    const FrameStats& st = sink.Stats();
    Summary(st, watch);
    if (!o.recordFile.empty()) {
        std::fprintf(stderr, texts::kRecordSummary, static_cast<unsigned long long>(st.Frames()), o.recordFile.c_str());
        std::fputs(LineEnd(), stderr);
    }
    if (const int watched = watch.Exit(); watched != kExitOk)
        return watched;
    // A stop whose answer never came, after every frame taken was written,
    // leaves nothing undone here: the next connection stops the output.
    if ((stopRc & 0xFFFF) == E_CTXERR_DEV_RECV_QUEUE_EMPTY) {
        Complain(texts::kStopIgnored, ErrorText(stopRc));
        return kExitOk;
    }
    if (stopRc != E_SX_SUCCESS) {
        Complain(texts::kCommandFailed, "stopping continuous P&O", ErrorText(stopRc));
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace sxtool
