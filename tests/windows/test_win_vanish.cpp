// The tracker vanishing mid-stream: the simulator closes its pseudo-terminal
// (sxsim --close-after) while the library on Windows streams from it. Every
// later exchange ends with a documented failure in its time, the reading
// thread does not spin on the dead line, what was received stays readable,
// and the device is released.
#include "WinTest.h"

#include <SXCmdIF/SXCmdIF.h>

#include <windows.h>

using namespace wintest;

namespace {

// CPU time of this process in milliseconds.
long long CpuMs()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& f) {
        return static_cast<long long>((static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime) /
               10000;
    };
    return ms(kernel) + ms(user);
}

} // namespace

TEST(WinVanish, DeviceGoneMidStream)
{
    ASSERT_GT(SimPort(), 0) << "run through with_sim.sh";
    void* ctx = nullptr;
    void* dev = nullptr;
    ASSERT_EQ(sxcmdif_init(&ctx), 0);
    ASSERT_EQ(sxctx_connectser(ctx, dev, SimPort(), 0), 0);
    ASSERT_EQ(sxcmd_dev_contpno(ctx, dev, CMD_ACTION_SET, nullptr, 0), 0);

    // Frames come until the line closes, then none.
    unsigned frames = 0, before = 0;
    int bytes = 0;
    ASSERT_TRUE(
        WaitUntil([&] { return sxctx_dev_fifo_unread_count(ctx, dev, &frames, &bytes) == 0 && frames > 0; }, 3000));
    ASSERT_TRUE(WaitUntil(
        [&] {
            before = frames;
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            sxctx_dev_fifo_unread_count(ctx, dev, &frames, &bytes);
            return frames == before;
        },
        15000))
        << "the stream did not stop";

    const long long cpu = CpuMs();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_LT(CpuMs() - cpu, 300) << "the reading thread spins on the closed line";

    for (int i = 0; i < 3; ++i) {
        _UNITS_CONFIG units{};
        const auto t = Clock::now();
        const int r = sxcmd_dev_units(ctx, dev, CMD_ACTION_GET, &units);
        const int low = r & 0xFFFF;
        EXPECT_TRUE(low == E_CTXERR_DEV_RECV_QUEUE_EMPTY || low == E_DEVIOERR_NO_CNX || low == E_DEVIOERR_SER_WRITERR)
            << std::hex << r;
        EXPECT_LT(MsSince(t), 1500);
    }
    _sxFrameInfo f{};
    EXPECT_EQ(sxctx_dev_fifopnofraw(ctx, dev, &f), 0);
    const auto t = Clock::now();
    EXPECT_EQ(sxctx_dev_release(ctx, dev), 0);
    EXPECT_LT(MsSince(t), 2000);
    EXPECT_EQ(sxcmdif_release(ctx), 0);
}
