// The simulated tracker on the emulated USB device, reached through the
// library's USB transport and the real libusb.
#include "SimTestUtil.h"

#include "SXlibusb/SXusbIO.h"
#include "testsupport/simusb/SimUsb.h"

#include <chrono>
#include <gtest/gtest.h>
#include <libusb.h>
#include <thread>

using namespace simtest;

namespace {

Bytes Exchange(CSXusbIO& io, Bytes cmd)
{
    unsigned len = static_cast<unsigned>(cmd.size());
    EXPECT_EQ(io.Write(cmd.data(), len), 0);
    Bytes in(1024);
    len = static_cast<unsigned>(in.size());
    EXPECT_EQ(io.Read(in.data(), len, true), 0);
    in.resize(len);
    return in;
}

} // namespace

TEST(SimUsb, AnswersAndStreamsOneFramePerTransfer)
{
    sxtest::usbemu::UsbTestbed bed;
    sxsim::SimConfig cfg;
    cfg.pid = PID_Q7_TAG;
    cfg.seuid = 9;
    auto sim = sxsim::UsbSim::Start(bed, cfg);
    ASSERT_TRUE(sim);
    CSXusbIO io;
    io.SetTrace(false, 0);
    ASSERT_EQ(io.DiscoverVidPid(VID_MAKER, PID_Q7_TAG), 0);

    Bytes r = Exchange(io, Command(CMD_WHOAMI, CMD_ACTION_GET, 0, 0, nullptr, 0, Q7_PREAMBLE_CMD));
    ASSERT_EQ(r.size(), 224u);
    EXPECT_EQ(Word(r, 0), Q7_PREAMBLE_CMD);
    EXPECT_EQ(Word(r, 8), 9u);
    EXPECT_STREQ(reinterpret_cast<const char*>(r.data() + 28), "SXSIM Q7 Tag SEU");

    const uint32_t word = 0;
    r = Exchange(io, Command(CMD_CONTINUOUS_PNO, CMD_ACTION_SET, 0, 0, &word, 4, Q7_PREAMBLE_CMD));
    EXPECT_EQ(Word(r, 16), static_cast<uint32_t>(CMD_ACTION_ACK));
    for (uint32_t i = 0; i < 5; ++i) {
        Bytes f(1024);
        unsigned len = 1024;
        ASSERT_EQ(io.Read(f.data(), len, true), 0);
        f.resize(len);
        ASSERT_EQ(f.size(), 24u + 4 * 32 + 4);
        EXPECT_EQ(Word(f, 0), Q7_PREAMBLE_PNO);
        EXPECT_EQ(Word(f, 12), i);
        EXPECT_TRUE(CSXcmd::ValidateCRCN(f.data(), len));
    }
    // The simulator counts a frame once its write has returned, which may be
    // after the host has read it: wait for the count, bounded.
    for (int ms = 0; ms < 2000 && sim->Stats().framesSent < 5u; ++ms)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_GE(sim->Stats().framesSent, 5u);
}

TEST(SimUsb, UnpluggedDeviceIsGone)
{
    sxtest::usbemu::UsbTestbed bed;
    auto sim = sxsim::UsbSim::Start(bed, sxsim::SimConfig{});
    CSXusbIO io;
    io.SetTrace(false, 0);
    ASSERT_EQ(io.DiscoverVidPid(VID_MAKER, PID_SORIX), 0);
    EXPECT_EQ(Word(Exchange(io, Command(CMD_SEUID, CMD_ACTION_GET)), 28), 1u);
    sim->Unplug();
    Bytes cmd = Command(CMD_SEUID, CMD_ACTION_GET);
    unsigned len = static_cast<unsigned>(cmd.size());
    EXPECT_EQ(io.Write(cmd.data(), len), LIBUSB_ERROR_NO_DEVICE);
}
