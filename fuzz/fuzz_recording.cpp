// The recording reader on arbitrary bytes: header, every frame record up to
// the end or the first fault (gap records among them), and each frame taken in and reported as
// sxtool convert does.
#include <SXCmdIF/pno/SXseuPno.h>
#include <recording/RecordingReader.h>

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    sxrec::RecordingReader reader;
    if (!reader.OpenMemory(data, size))
        return 0;
    sxrec::RecordedFrame frame;
    std::string text;
    for (int i = 0; i < 4096; ++i) {
        const sxrec::ReadResult r = reader.Next(frame);
        if (r == sxrec::ReadResult::Gap) {
            text = sxrec::GapText(reader.Gap(), 0);
            continue;
        }
        if (r != sxrec::ReadResult::Frame)
            break;
        CSXSeuPno pno;
        if (pno.Extractraw(frame.bytes, frame.length) == 0)
            continue;
        text.clear();
        pno.Report(text, true, true, true);
        pno.CSVReport(text, true, true, true);
    }
    return 0;
}
