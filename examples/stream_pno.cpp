// Connect a tracker, set its units, stream 100 P&O frames and print them.
// A USB tracker is taken first, else the first serial port that answers
// (SXSERIO_PORTS lists the ports, as for a simulated tracker from sxsim).
#include <SXCmdIF/SXCmdIF.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

int main()
{
    void* ctx = nullptr;
    void* dev = nullptr;
    if (sxcmdif_init(&ctx) != E_SX_SUCCESS)
        return 1;
    int rc = sxctx_connectusb(ctx, dev, PID_SORIX);
    if (rc != E_SX_SUCCESS) {
        if (dev)
            sxctx_dev_release(ctx, dev);
        dev = nullptr;
        rc = sxctx_connectser(ctx, dev, 0, 0);
    }
    CUnitsCfg units(POS_CM, ORI_EULER_DEGREE);
    if (rc == E_SX_SUCCESS)
        rc = sxcmd_dev_units(ctx, dev, CMD_ACTION_SET, units);
    if (rc == E_SX_SUCCESS)
        rc = sxcmd_dev_contpno(ctx, dev, CMD_ACTION_SET, nullptr, 0);
    for (int frames = 0; rc == E_SX_SUCCESS && frames < 100;) {
        _sxFrameInfo f{};
        if (sxctx_dev_fifopnofraw(ctx, dev, &f) != E_SX_SUCCESS) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5)); // queue empty
            continue;
        }
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
    sxcmdif_release(ctx); // releases the device too
    return rc == E_SX_SUCCESS ? 0 : 1;
}
