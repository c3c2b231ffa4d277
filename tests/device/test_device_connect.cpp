// Connections: the first commands and their time-outs, failure paths, the
// sibling family's tag device and hub, several devices in one context.
#include "DeviceLinks.h"

#include <SXCmdIF/protocol/SXframe.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <string>

using namespace sxtest;

namespace {

class Connect : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(sxcmdif_init(&ctx), E_SX_SUCCESS); }
    void TearDown() override
    {
        sxcmdif_release(ctx);
        sims.clear();
        bed.reset();
        serial.reset();
    }
    sxsim::UsbSim& Usb(uint16_t pid = PID_SORIX)
    {
        // The testbed redirects device nodes for the whole process: made only
        // when a USB device is wanted, after any serial line is open.
        if (!bed)
            bed = std::make_unique<usbemu::UsbTestbed>();
        sims.push_back(sxsim::UsbSim::Start(*bed, Config(pid)));
        return *sims.back();
    }
    int Count()
    {
        int n = -1;
        EXPECT_EQ(sxctx_dev_count(ctx, &n), E_SX_SUCCESS);
        return n;
    }
    // The preambles of the frames the device received, in order.
    static std::vector<uint32_t> Preambles(sxsim::UsbSim& sim)
    {
        std::vector<uint32_t> out;
        for (const auto& t : sim.Device().OutTransfers())
            if (t.size() >= 4)
                out.push_back(Le32(t.data()));
        return out;
    }

    std::unique_ptr<usbemu::UsbTestbed> bed;
    std::vector<std::unique_ptr<sxsim::UsbSim>> sims;
    std::unique_ptr<sxsim::SerialSim> serial;
    void* ctx = nullptr;
};

} // namespace

TEST_F(Connect, UsbFirstCommandsWait500msThenCommandsWait50ms)
{
    sxsim::UsbSim& sim = Usb();
    sxsim::FaultConfig slow;
    slow.responseDelayMs = 200;
    sim.SetFaults(slow);
    void* dev = nullptr;
    ASSERT_EQ(sxctx_connectusb(ctx, dev, PID_SORIX), E_SX_SUCCESS);
    void* identity = nullptr;
    int seuid = 0;
    ASSERT_EQ(sxdev_info(ctx, dev, &identity, &seuid), E_SX_SUCCESS);
    EXPECT_EQ(seuid, 7);
    _WHOAMI_STRUCT who = sim.Unit().UnitIdentity();
    EXPECT_EQ(std::memcmp(identity, &who, sizeof who), 0);
    _UNITS_CONFIG u{};
    EXPECT_EQ(sxcmd_dev_units(ctx, dev, CMD_ACTION_GET, &u), E_CTXERR_DEV_RECV_QUEUE_EMPTY);
}

TEST_F(Connect, SerialFirstCommandsWait500msThenCommandsWait50ms)
{
    serial = sxsim::SerialSim::Start(Config());
    ASSERT_TRUE(serial);
    setenv("SXSERIO_PORTS", serial->SlavePath().c_str(), 1);
    sxsim::FaultConfig slow;
    slow.responseDelayMs = 200;
    serial->SetFaults(slow);
    void* dev = nullptr;
    ASSERT_EQ(sxctx_connectser(ctx, dev, 1, 0), E_SX_SUCCESS);
    int seuid = 0;
    void* identity = nullptr;
    ASSERT_EQ(sxdev_info(ctx, dev, &identity, &seuid), E_SX_SUCCESS);
    EXPECT_EQ(seuid, 7);
    _UNITS_CONFIG u{};
    EXPECT_EQ(sxcmd_dev_units(ctx, dev, CMD_ACTION_GET, &u), E_CTXERR_DEV_RECV_QUEUE_EMPTY);
}

TEST_F(Connect, UsbConnectionStopsContinuousOutput)
{
    sxsim::UsbSim& sim = Usb();
    void* dev = nullptr;
    ASSERT_EQ(sxctx_connectusb(ctx, dev, PID_SORIX), E_SX_SUCCESS);
    ASSERT_EQ(sxdev_pnousb_buffer(ctx, dev, 8), E_SX_SUCCESS);
    int fc = 5;
    ASSERT_EQ(sxcmd_dev_contpno(ctx, dev, CMD_ACTION_SET, &fc, 3), E_SX_SUCCESS);
    EXPECT_EQ(fc, 5);
    const auto out = sim.Device().OutTransfers();
    ASSERT_FALSE(out.empty());
    const auto& set = out.back(); // arg1 from the context, arg2 and the word from the caller
    ASSERT_EQ(set.size(), 36u);
    EXPECT_EQ(Le32(set.data(), 20), 8u);
    EXPECT_EQ(Le32(set.data(), 24), 3u);
    EXPECT_EQ(Le32(set.data(), 28), 5u);
    EXPECT_TRUE(sim.Unit().Streaming());
    ASSERT_EQ(sxctx_dev_release(ctx, dev), E_SX_SUCCESS);
    EXPECT_TRUE(sim.Unit().Streaming());
    ASSERT_EQ(sxctx_connectusb(ctx, dev, PID_SORIX), E_SX_SUCCESS);
    EXPECT_FALSE(sim.Unit().Streaming());
}

TEST_F(Connect, UsbUnansweredConnectionKeepsItsHandle)
{
    sxsim::UsbSim& sim = Usb();
    sxsim::FaultConfig quiet;
    quiet.withholdResponses = true;
    sim.SetFaults(quiet);
    void* dev = nullptr;
    EXPECT_EQ(sxctx_connectusb(ctx, dev, PID_SORIX), E_CTXERR_DEV_RECV_QUEUE_EMPTY);
    ASSERT_NE(dev, nullptr);
    EXPECT_EQ(Count(), 1);
    EXPECT_EQ(sxctx_dev_release(ctx, dev), E_SX_SUCCESS);
    EXPECT_EQ(Count(), 0);
}

TEST_F(Connect, NoMatchingUsbDevice)
{
    Usb();
    int mark = 0;
    void* dev = &mark;
    EXPECT_EQ(sxctx_connectusb(ctx, dev, PID_Q7_TAG), E_SXERR_NOTFOUND);
    EXPECT_EQ(dev, &mark);
    EXPECT_EQ(sxctx_connectusb_q7p(ctx, dev, 0), E_SXERR_NOTFOUND);
    EXPECT_EQ(dev, nullptr);
    EXPECT_EQ(Count(), 0);
}

TEST_F(Connect, TagDeviceCommandsCarryTheTagPreamble)
{
    sxsim::UsbSim& sim = Usb(PID_Q7_TAG);
    void* dev = nullptr;
    ASSERT_EQ(sxctx_connectusbtag(ctx, dev, PID_Q7_TAG, 5), E_SX_SUCCESS);
    _UNITS_CONFIG u{};
    EXPECT_EQ(sxcmd_dev_units(ctx, dev, CMD_ACTION_GET, &u), E_SX_SUCCESS);
    int seuid = 0, action = CMD_ACTION_GET, command = CMD_UNITS, arg1 = 0, arg2 = 0;
    unsigned len = 8;
    EXPECT_EQ(sxcmd_dev_generic1(ctx, dev, &seuid, &action, &command, &arg1, &arg2, &len, &u), E_SX_SUCCESS);
    const auto pre = Preambles(sim);
    ASSERT_GE(pre.size(), 5u);
    for (size_t i = 0; i + 1 < pre.size(); ++i)
        EXPECT_EQ(pre[i], Q7_PREAMBLE_CMD) << i;
    EXPECT_EQ(pre.back(), SX_PREAMBLE_CMD); // the generic command with its header handed back
}

TEST_F(Connect, HubConnectionSpeaksTheTagFamilysFrames)
{
    sxsim::UsbSim& sim = Usb(PID_Q7_HUB);
    void* dev = reinterpret_cast<void*>(1);
    ASSERT_EQ(sxctx_connectusb_q7p(ctx, dev, 0), E_SX_SUCCESS);
    ASSERT_NE(dev, nullptr);
    void* identity = nullptr;
    int seuid = 0;
    ASSERT_EQ(sxdev_info(ctx, dev, &identity, &seuid), E_SX_SUCCESS);
    EXPECT_EQ(seuid, 7);
    for (uint32_t p : Preambles(sim))
        EXPECT_EQ(p, Q7_PREAMBLE_CMD);
    ASSERT_EQ(sxcmd_dev_contpno(ctx, dev, CMD_ACTION_SET, nullptr, 0), E_SX_SUCCESS);
    ASSERT_EQ(sxdev_timeoutms(ctx, dev, 0, 500), E_SX_SUCCESS);
    _sxFrameInfo out{};
    ASSERT_EQ(sxcmd_dev_singlepno_q7p(ctx, dev, out), E_SX_SUCCESS);
    EXPECT_EQ(Le32(out.pFrame), Q7_PREAMBLE_PNO);
}

TEST_F(Connect, SerialUnitThatDoesNotAnswerIsNotFound)
{
    serial = sxsim::SerialSim::Start(Config());
    ASSERT_TRUE(serial);
    setenv("SXSERIO_PORTS", serial->SlavePath().c_str(), 1);
    serial->GoQuiet(true);
    int mark = 0;
    void* dev = &mark;
    EXPECT_EQ(sxctx_connectser(ctx, dev, 1, 0), E_SXERR_NOTFOUND);
    EXPECT_EQ(dev, &mark);
    EXPECT_EQ(Count(), 0);
}

TEST_F(Connect, SeveralDevicesInOneContext)
{
    serial = sxsim::SerialSim::Start(Config());
    ASSERT_TRUE(serial);
    setenv("SXSERIO_PORTS", serial->SlavePath().c_str(), 1);
    void* usb = nullptr;
    void* ser = nullptr;
    ASSERT_EQ(sxctx_connectser(ctx, ser, 1, 0), E_SX_SUCCESS);
    Usb();
    ASSERT_EQ(sxctx_connectusb(ctx, usb, PID_SORIX), E_SX_SUCCESS);
    EXPECT_EQ(Count(), 2);
    const char* text = nullptr;
    ASSERT_EQ(sxctx_dev_report(ctx, &text), E_SX_SUCCESS);
    const std::string report(text);
    EXPECT_EQ(report.size() % 2, 0u);
    EXPECT_EQ(report.find("\r\n") + 2, report.size() / 2);
    EXPECT_EQ(report.substr(0, report.size() / 2), report.substr(report.size() / 2));

    // A device of another context is not this context's.
    void* other = nullptr;
    ASSERT_EQ(sxcmdif_init(&other), E_SX_SUCCESS);
    text = "x";
    EXPECT_EQ(sxdev_report(other, ser, &text), E_CTXERR_INVALID_DEVHND);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(sxcmdif_release(other), E_SX_SUCCESS);

    ASSERT_EQ(sxctx_dev_release(ctx, ser), E_SX_SUCCESS);
    EXPECT_EQ(Count(), 1);
    _UNITS_CONFIG u{};
    EXPECT_EQ(sxcmd_dev_units(ctx, usb, CMD_ACTION_GET, &u), E_SX_SUCCESS);
    EXPECT_EQ(sxcmd_dev_units(ctx, ser, CMD_ACTION_GET, &u), E_CTXERR_INVALID_DEVHND);
}
