// The device's receive path on arbitrary units: CSXdevIO::DataReady with
// every combination of its switches (flawed frames passed on or dropped,
// sensor numbers checked or not, a P&O callback or the queue, time
// stamps), then the queue readers on whatever was kept. The device is
// connected once, over a pseudo-terminal whose far end stays silent, so the
// receive path sees a live transport.
//
// Input: byte 0 holds the switches and the trace level, then units, each a
// 16-bit little-endian length followed by that many bytes (cut at the end).
#include "SXdevIO.h"
#include "diag/TraceInternal.h"
#include <SXCmdIF/protocol/SXframeInfo.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

CSXdevIO* g_dev = nullptr;
volatile unsigned g_sink = 0;

void Touch(const unsigned char* p, unsigned int n)
{
    // Every byte handed over must be readable.
    unsigned s = 0;
    for (unsigned int i = 0; i < n; ++i)
        s += p[i];
    g_sink = g_sink + s;
}

void OnPno(void*, unsigned char* frame, unsigned int length)
{
    Touch(frame, length);
}

void Drain(CSXdevIO& dev, uint8_t how)
{
    CFrameInfo f;
    unsigned frames = 0;
    int bytes = 0;
    dev.FIFOPnoCount(frames, bytes);
    if (how & 1) {
        while (dev.RxPnoDequeueFIFO(f) == 0)
            Touch(f.pFrame, f.frameLen);
    } else if (how & 2) {
        unsigned want = 8;
        while (dev.FIFORxPnoCount(f, want, 1200) == 0 && want != 0 && f.pFrame) {
            Touch(f.pFrame, f.frameLen);
            want = 8;
            if (dev.FIFOPnoCount(frames, bytes) == 0 && frames == 0)
                break;
        }
    } else if (dev.RxPnoDequeueLAST(f) == 0) {
        Touch(f.pFrame, f.frameLen);
    }
    int err = 0;
    for (uint32_t cmd = 0; cmd < 45 && (how & 4); ++cmd)
        while (dev.RxCmdDequeue(f, cmd, err))
            Touch(f.pFrame, f.frameLen);
    dev.ClearRxCmdQueue();
    if (how & 8)
        dev.ResetPno();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (!freopen("/dev/null", "w", stdout))
        return 0;
    int master = -1, slave = -1;
    char name[128] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0)
        abort();
    termios t{};
    tcgetattr(slave, &t);
    cfmakeraw(&t);
    tcsetattr(slave, TCSANOW, &t);
    setenv("SXSERIO_PORTS", name, 1);
    g_dev = new (std::nothrow) CSXdevIO(nullptr);
    if (!g_dev || g_dev->ConnectSer(1, 0) != 0 || !g_dev->IsConnected()) {
        fprintf(stderr, "fuzz_dataready: cannot connect over %s\n", name);
        abort();
    }
    // Both ends stay open for the life of the process.
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    CSXdevIO& dev = *g_dev;
    const uint8_t sel = data[0];
    dev.SetPnoFrmErrAllow(sel & 1);
    dev.SetPnoValidateSensor(!(sel & 2));
    dev.SetPnoCallback((sel & 4) ? OnPno : nullptr, nullptr);
    dev.SetTsEnable(sel & 8);
    trSetTrace((sel & 0x30) != 0, (sel & 0x30) == 0x30 ? 7 : 3);

    size_t off = 1;
    int units = 0;
    while (off + 2 <= size && units < 64) {
        size_t n = data[off] | (size_t(data[off + 1]) << 8);
        off += 2;
        if (n > size - off)
            n = size - off;
        // An exact-size copy: the receive path may rewrite it, and must not
        // read or write past it.
        std::vector<unsigned char> unit(data + off, data + off + n);
        off += n;
        CFrameInfo r(unit.empty() ? nullptr : unit.data(), static_cast<unsigned>(n));
        if (n == 0)
            CSXdevIO::USBSer_CB(&dev, nullptr, 0);
        else
            dev.DataReady(r);
        ++units;
    }
    Drain(dev, sel >> 4 | (sel & 0xC0) >> 4);
    return 0;
}
