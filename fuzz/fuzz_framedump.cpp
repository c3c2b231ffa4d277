// The frame text dumps on arbitrary bytes: the command-frame and P&O-frame
// dumps, the hexadecimal block under them, the block dump of the traces and
// the TX/RX, frame and buffer traces themselves with tracing on (standard
// output goes to /dev/null).
//
// Input: byte 0 picks the limits and the prefix, the rest is the frame.
#include "diag/FrameDump.h"
#include "diag/TraceInternal.h"
#include <SXCmdIF/diag/FrameTrace.h>
#include "diag/FrameTraceInternal.h"
#include <platform/FBufFormat.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (!freopen("/dev/null", "w", stdout))
        return 0;
    trSetTrace(true, 7);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t sel = data[0];
    std::vector<uint8_t> bytes(data + 1, data + size);
    const uint8_t* p = bytes.empty() ? nullptr : bytes.data();
    const unsigned n = static_cast<unsigned>(bytes.size());

    std::string out;
    DumpCmdFrame(out, p, n);
    DumpPnoFrame(out, p, n);
    out += HexLines(p, n, sel & 1, (sel & 2) ? kDumpHexLimit : 0);
    AppendHexLines(out, p, n, !(sel & 1), sel & 4 ? 40 : 0);

    // The block dump into destinations of every size class.
    static char dst[4096];
    const int dstLen = (sel & 8) ? static_cast<int>(sizeof dst) : (sel >> 4) + 1;
    trFormatFBuf(p, static_cast<int>(n), dst, dstLen, (sel & 1) ? "\t" : nullptr);

    const int len = static_cast<int>(n);
    trTraceFBuf(p, len, true, "fuzz", 0);
    trTraceHexBuf(p, len, sel & 1, "fuzz");
    trTraceCmdFrame(p, len, true, "fuzz", 0);
    trTracePnoFrame(p, len, false, "fuzz", 0);
    // The TX/RX blocks read the command header: callers pass whole frames.
    if (n >= 32) {
        trTraceTx(p, len, "fuzz", 1);
        trTraceRx(p, len, "fuzz", 2);
    }
    return 0;
}
