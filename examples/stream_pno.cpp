// stream_pno [PORT | --usb]: connects the tracker on serial port PORT
// (numbered from 1, as `sxtool list` shows them; 1 when none is given) or on
// USB, sets centimetres and Euler angles in degrees, streams 100 frames and
// prints each one line per sensor on standard output. When no frame comes
// for two seconds it says so and stops. The library's trace lines go to
// standard error, apart from the data. (SXSERIO_PORTS names the serial
// ports, as for a simulated tracker from sxsim.)
#include <SXCmdIF/SXCmdIF.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

void TraceToStderr(void*, int, const char* line)
{
    std::fprintf(stderr, "%s\n", line);
}

} // namespace

int main(int argc, char** argv)
{
    const bool usb = argc == 2 && std::strcmp(argv[1], "--usb") == 0;
    const int port = argc == 2 && !usb ? std::atoi(argv[1]) : 1;
    if (argc > 2 || port < 1) {
        std::fprintf(stderr, "usage: %s [PORT | --usb]   (PORT: a serial port from 1)\n", argv[0]);
        return 2;
    }
    sxcmdif_set_trace_cb(TraceToStderr, nullptr);

    void* ctx = nullptr;
    void* dev = nullptr;
    if (sxcmdif_init(&ctx) != E_SX_SUCCESS)
        return 1;
    int rc = usb ? sxctx_connectusb(ctx, dev, PID_SORIX) : sxctx_connectser(ctx, dev, port, 0);
    if (rc == E_SX_SUCCESS)
        rc = sxdev_timeoutms(ctx, dev, 0, 500); // answers may be late on a busy machine
    CUnitsCfg units(POS_CM, ORI_EULER_DEGREE);
    if (rc == E_SX_SUCCESS)
        rc = sxcmd_dev_units(ctx, dev, CMD_ACTION_SET, units);
    if (rc == E_SX_SUCCESS)
        rc = sxcmd_dev_contpno(ctx, dev, CMD_ACTION_SET, nullptr, 0);

    const auto patience = std::chrono::seconds(2);
    auto lastFrame = std::chrono::steady_clock::now();
    int frames = 0;
    bool stalled = false;
    while (rc == E_SX_SUCCESS && frames < 100) {
        _sxFrameInfo f{};
        if (sxctx_dev_fifopnofraw(ctx, dev, &f) != E_SX_SUCCESS) { // queue empty
            if (std::chrono::steady_clock::now() - lastFrame > patience) {
                stalled = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        lastFrame = std::chrono::steady_clock::now();
        CSXSeuPno pno;
        std::string line;
        pno.Extractraw(f.pFrame, f.frameLen);
        pno.Report(line, false, true, false); // one line per sensor
        std::fputs(line.c_str(), stdout);
        ++frames;
    }
    if (dev)
        sxcmd_dev_contpno(ctx, dev, CMD_ACTION_RESET, nullptr, 0);
    if (rc != E_SX_SUCCESS)
        std::fprintf(stderr, "error: %s\n", sxcmdif_errorStr(rc));
    if (stalled)
        std::fprintf(stderr, "error: no frame for 2 s after %d frames; is the tracker still connected?\n", frames);
    sxcmdif_release(ctx); // releases the device too
    return rc == E_SX_SUCCESS && !stalled ? 0 : 1;
}
