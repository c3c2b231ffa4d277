// convert: a recording into the P&O reports, without a device. Every whole
// frame before a fault is converted; the fault is then reported with its
// byte offset.
#include "Commands.h"

#include "ExitCodes.h"
#include "Output.h"
#include "PnoPrinter.h"
#include "Session.h"
#include "Texts.h"

#include <recording/RecordingReader.h>

#include <cstdio>
#include <memory>

namespace sxtool {

int RunConvert(const ConvertOptions& o)
{
    sxrec::RecordingReader reader;
    if (!reader.OpenFile(o.inFile)) {
        Complain(texts::kFileFailed, o.inFile.c_str(), reader.Error().c_str());
        return reader.OpenFailed() ? kExitFileError : kExitCorruptRecording;
    }
    std::FILE* out = DataOut();
    if (!o.outFile.empty()) {
        out = std::fopen(o.outFile.c_str(), "wb");
        if (!out) {
            Complain(texts::kFileFailed, o.outFile.c_str(), "cannot create");
            return kExitFileError;
        }
    }
    PnoPrinter printer(o.format, o.timestamps);
    auto frame = std::make_unique<sxrec::RecordedFrame>();
    std::string text;
    bool writeFailed = false;
    sxrec::ReadResult r;
    while ((r = reader.Next(*frame)) == sxrec::ReadResult::Frame) {
        text.clear();
        // A frame the reports cannot take (another preamble) is skipped.
        if (!printer.RawFrame(frame->bytes, frame->length, text, {frame->timeStampNs, frame->seqNum}))
            continue;
        if (!WriteText(out, text)) {
            writeFailed = true;
            break;
        }
    }
    const bool closeFailed = out != DataOut() ? std::fclose(out) != 0 : std::fflush(out) != 0;
    if (writeFailed || closeFailed) {
        Complain(texts::kFileFailed, o.outFile.empty() ? "standard output" : o.outFile.c_str(), "cannot write");
        return kExitFileError;
    }
    if (r == sxrec::ReadResult::Corrupt) {
        Complain(texts::kFileFailed, o.inFile.c_str(), reader.Error().c_str());
        return kExitCorruptRecording;
    }
    return kExitOk;
}

} // namespace sxtool
