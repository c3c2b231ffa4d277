// sxtool against simulated trackers on the emulated USB bus: this process
// hosts the testbed and the trackers, sxtool (and Python) run as its
// children and reach them through umockdev's preload library and the
// testbed's folder (UMOCKDEV_DIR, which the testbed sets here and the
// children inherit).
#include "ToolRunner.h"

#include "testsupport/simusb/SimUsb.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace tooltest;

namespace {

const std::map<std::string, std::string> kUsbEnv = {{"LD_PRELOAD", "libumockdev-preload.so.0"}};

// Trackers on the emulated bus; the n-th has the serial number
// SIM-SEU-0000000n.
class OnUsb : public ::testing::Test {
protected:
    void Plug(int trackers)
    {
        for (int n = 1; n <= trackers; ++n) {
            sxsim::SimConfig cfg;
            cfg.seuid = static_cast<uint32_t>(n);
            m_sims.push_back(sxsim::UsbSim::Start(m_bed, cfg));
            ASSERT_TRUE(m_sims.back());
        }
    }
    sxtest::usbemu::UsbTestbed m_bed;
    std::vector<std::unique_ptr<sxsim::UsbSim>> m_sims;
};

} // namespace

TEST_F(OnUsb, WithoutAConnectionOptionTheFirstTrackerIsUsedAndNamed)
{
    RunResult r = Tool({"info"}, kUsbEnv);
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.err, "sxtool: no tracker found on USB; --serial N for a serial line (sxtool list), --sim for the "
                     "simulated tracker\n");
    EXPECT_EQ(r.out, "");

    Plug(1);
    r = Tool({"get", "units", "--json"}, kUsbEnv);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "sxtool: using the tracker on USB: SXSIM Tracker SEU, serial number SIM-SEU-00000001\n");
    // A real tracker's JSON does not say "simulated".
    EXPECT_EQ(r.out, "{\n  \"pos_units\": \"inch\",\n  \"ori_units\": \"euler_degree\"\n}\n");
}

TEST_F(OnUsb, ListShowsEachTrackersIdentityAndUsbPicksOneBySerialNumber)
{
    Plug(2);
    RunResult r = Tool({"list"}, kUsbEnv);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    // Rows in the bus's order, which libusb chooses; the n-th tracker is on bus n.
    const std::string row = "  vid 0x1209  pid 0x5a01  bus 00%d  address 001  tracker  serial number "
                            "SIM-SEU-0000000%d  (SXSIM Tracker SEU; sxsim-io 1.0, sxsim-boot 1.0, sxsim-app 1.0)\n";
    char one[256], two[256];
    std::snprintf(one, sizeof one, row.c_str(), 1, 1);
    std::snprintf(two, sizeof two, row.c_str(), 2, 2);
    const std::string usb = r.out.substr(0, r.out.find("Serial ports:"));
    EXPECT_TRUE(usb == std::string("USB trackers:\n") + one + two || usb == std::string("USB trackers:\n") + two + one)
        << usb;
    const bool busOrder = usb.find(one) < usb.find(two);
    const std::string found = busOrder ? "SIM-SEU-00000001, SIM-SEU-00000002" : "SIM-SEU-00000002, SIM-SEU-00000001";

    r = Tool({"info", "--usb", "SIM-SEU-00000002"}, kUsbEnv);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.find("DEVICE:\n   2   SIM-SEU-00000002   SXSIM Tracker SEU\n"), 0u) << r.out;
    EXPECT_EQ(r.err, "");

    r = Tool({"info", "--usb", "SIM-SEU-00000009"}, kUsbEnv);
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.err,
              "sxtool: no tracker with serial number SIM-SEU-00000009 on USB; the trackers there are: " + found + "\n");

#ifdef SXPY_DIR
    std::map<std::string, std::string> env = kUsbEnv;
    env["PYTHONPATH"] = SXPY_DIR;
    r = tooltest::Run("/usr/bin/python3",
                      {"-c", "import sxcmdif\n"
                             "with sxcmdif.Tracker.usb(serial='SIM-SEU-00000002') as t: print(t.identity.hw_ser_no)\n"
                             "try:\n    sxcmdif.Tracker.usb(serial='SIM-SEU-00000009')\n"
                             "except sxcmdif.SXError as e: print(e.operation)\n"},
                      env);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "SIM-SEU-00000002\nconnect the USB tracker with serial number SIM-SEU-00000009 (the trackers "
                     "there are: " +
                         found + ")\n");
#endif
}
