// convert: a recording into the P&O reports, without a device. Every whole
// frame before a fault is converted; the fault is then reported with its
// byte offset. Each frame's CRC is checked as the library checks it on
// receipt, so a bit flipped in the file is not converted into a wrong pose.
#include "Commands.h"

#include "ExitCodes.h"
#include "Output.h"
#include "PnoPrinter.h"
#include "Session.h"
#include "Texts.h"

#include <SXCmdIF/SXCmdIF.h>
#include <sxwire/LEWords.h>
#include <frames/FrameClock.h>
#include <frames/FramePeriod.h>
#include <recording/FileOutput.h>
#include <recording/RecordingReader.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace sxtool {

namespace {

// A frame as the library handed it over: its CRC holds; or the library
// passed it on marked as flawed (marks in hpinfo bits 8 to 15); or it wrote
// the frames lost before it into hpinfo bits 16 to 31, and the CRC holds
// without them; or it is of unit 0xFFFF, whose frames the library takes
// whatever their CRC. Anything else was damaged after it was recorded.
bool AsHandedOver(const sxrec::RecordedFrame& f)
{
    unsigned char copy[sxrec::kMaxFrameLen];
    std::memcpy(copy, f.bytes, f.length);
    if (CSXcmd::ValidateCRCN(copy, f.length))
        return true;
    CFrameInfo info(copy, f.length);
    if (info.devid() == 0xFFFFu)
        return true;
    CSXSeuPno pno;
    if (pno.Extractraw(copy, f.length) == 0)
        return false;
    if (pno.HPreserved1() != 0)
        return true;
    if (pno.LostFrames() == 0)
        return false;
    info.setpnodrops(0);
    return CSXcmd::ValidateCRCN(copy, f.length);
}

} // namespace

int RunConvert(const ConvertOptions& o)
{
    sxrec::RecordingReader reader;
    if (!reader.OpenFile(o.inFile)) {
        Complain(texts::kFileFailed, o.inFile.c_str(), reader.Error().c_str());
        return reader.IoFailed() ? kExitFileError : kExitCorruptRecording;
    }
    const bool simulated = (reader.Header().flags & sxrec::kFlagSimulated) != 0;
    if (simulated)
        Complain(texts::kSimulatedRecording, o.inFile.c_str());
    std::FILE* out = DataOut();
    sxrec::FileOutput outFile;
    std::string error;
    if (!o.outFile.empty()) {
        if (!outFile.Open(o.outFile, o.force, "", error)) {
            Complain("%s", error.c_str());
            return kExitFileError;
        }
        out = outFile.File();
    }
    PnoPrinter printer(o.format, o.timestamps);
    // The same clock model as the live stream, on the recorded arrivals.
    const sxrec::RecordingHeader& header = reader.Header();
    sxframes::FrameClock clock;
    clock.SetNominalPeriodNs(sxframes::FramePeriodNs(header.frameRateCode));
    bool offsetKnown = header.startMonotonicNs != 0;
    if (offsetKnown)
        clock.SetSystemOffsetNs(static_cast<int64_t>(header.startTimeNs - header.startMonotonicNs));
    printer.SetSimulated(simulated);
    auto frame = std::make_unique<sxrec::RecordedFrame>();
    std::string text, damaged;
    unsigned long long skipped = 0;
    bool writeFailed = false;
    uint64_t previousStampNs = 0;
    int writeErr = 0;
    sxrec::ReadResult r;
    while ((r = reader.Next(*frame)) == sxrec::ReadResult::Frame || r == sxrec::ReadResult::Gap) {
        // Where the line was lost: said, and the frames go on.
        if (r == sxrec::ReadResult::Gap) {
            std::fflush(out);
            Complain(texts::kFileFailed, o.inFile.c_str(), sxrec::GapText(reader.Gap(), previousStampNs).c_str());
            continue;
        }
        previousStampNs = frame->timeStampNs;
        if (!AsHandedOver(*frame)) {
            if (o.skipBad) {
                ++skipped;
                continue;
            }
            damaged =
                sxrec::CorruptText(frame->offset, "frame " + std::to_string(reader.FramesRead()) + " fails its CRC");
            break;
        }
        // A recording older than its monotonic start time: its first frame
        // came right after the wall-clock start.
        if (!offsetKnown) {
            clock.SetSystemOffsetNs(static_cast<int64_t>(header.startTimeNs - frame->timeStampNs));
            offsetKnown = true;
        }
        const sxframes::FrameTime t =
            clock.Stamp(sxwire::GetLE32(frame->bytes + SX_OFF_FRAMENUM), static_cast<int64_t>(frame->timeStampNs));
        text.clear();
        // A frame the reports cannot take (another preamble) is skipped.
        if (!printer.RawFrame(frame->bytes, frame->length, text, {frame->timeStampNs, frame->seqNum, t.systemNs}))
            continue;
        if (!WriteText(out, text)) {
            writeFailed = true;
            writeErr = errno;
            break;
        }
    }
    // The output is put in place once whole, also when the recording
    // turns out damaged: it holds every sound frame before the fault.
    if (writeFailed) {
        error = (o.outFile.empty() ? std::string("standard output") : o.outFile) +
                ": cannot write: " + std::strerror(writeErr);
    } else if (out == DataOut() && std::fflush(out) != 0) {
        writeFailed = true;
        error = std::string("standard output: cannot write: ") + std::strerror(errno);
    } else if (out != DataOut() && !outFile.Commit(error)) {
        writeFailed = true;
    }
    if (writeFailed) {
        Complain("%s", error.c_str());
        return kExitFileError;
    }
    if (r == sxrec::ReadResult::IoError) {
        Complain(texts::kFileFailed, o.inFile.c_str(), reader.Error().c_str());
        return kExitFileError;
    }
    if (!damaged.empty()) {
        Complain(texts::kFileFailed, o.inFile.c_str(), damaged.c_str());
        return kExitCorruptRecording;
    }
    if (skipped > 0)
        Complain(texts::kSkippedBadFrames, o.inFile.c_str(), skipped);
    if (r == sxrec::ReadResult::Corrupt) {
        Complain(texts::kFileFailed, o.inFile.c_str(), reader.Error().c_str());
        return kExitCorruptRecording;
    }
    if (reader.MissingTrailer()) {
        Complain(texts::kFileFailed, o.inFile.c_str(), sxrec::MissingTrailerText(reader.FramesRead()).c_str());
        return kExitCorruptRecording;
    }
    return kExitOk;
}

} // namespace sxtool
