// Connection and release over both transports, the device gone under a
// live connection, trace levels, the summary line and the detail texts.
#include "DevTestUtil.h"

#include <SXCmdIF/SXerrors.h>
#include <SXCmdIF/protocol/SXcmd.h>
#include <SXCmdIF/protocol/SXusbIds.h>
#include <SXlibusb/SXusbIO.h>
#include <platform/IoDebug.h>
#include <SXserIO/SXserIO.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

using namespace sxtest;

namespace {

TEST(Connect, UsbWithNoDeviceIsNotFound)
{
    usbemu::UsbTestbed tb;
    CSXdevIO* dev = new (std::nothrow) CSXdevIO(nullptr);
    ASSERT_NE(dev, nullptr);
    EXPECT_EQ(dev->ConnectUSB(VID_MAKER, PID_SORIX), E_SXERR_NOTFOUND);
    EXPECT_EQ(dev->ConnectedTransport(), nullptr);
    EXPECT_FALSE(dev->IsConnected());
    delete dev;
}

TEST(Connect, SecondUsbConnectionClosesTheFirst)
{
    usbemu::UsbTestbed tb;
    usbemu::EmulatedDevice& trk = tb.AddDevice(usbemu::DeviceSpec::Tracker(VID_MAKER, PID_SORIX));
    CSXdevIO* dev = new (std::nothrow) CSXdevIO(nullptr);
    ASSERT_EQ(dev->ConnectUSB(VID_MAKER, PID_SORIX), 0);
    const sxdev::Transport* first = dev->ConnectedTransport();
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(dev->ConnectUSB(VID_MAKER, PID_SORIX), 0);
    EXPECT_TRUE(dev->IsConnected());
    EXPECT_EQ(dev->Disconnect(), 0);
    EXPECT_EQ(dev->ConnectedTransport(), nullptr);
    EXPECT_FALSE(dev->IsConnected());
    delete dev;
    EXPECT_EQ(trk.OpenHandles(), 0);
}

TEST(Connect, SerialPortThatCannotOpenIsASerialError)
{
    setenv("SXSERIO_PORTS", "/nonexistent/tty", 1);
    CSXdevIO* dev = new (std::nothrow) CSXdevIO(nullptr);
    const int e = dev->ConnectSer(1, 0);
    EXPECT_EQ(e & 0xFFFF, E_SXERR_SERIO);
    EXPECT_NE(e >> 16, 0);
    EXPECT_EQ(dev->ConnectedTransport(), nullptr);
    delete dev;
}

TEST(Connect, UnpluggedDeviceFailsTheNextCommandAndStillCleansUp)
{
    usbemu::UsbTestbed tb;
    usbemu::EmulatedDevice& trk = tb.AddDevice(usbemu::DeviceSpec::Tracker(VID_MAKER, PID_SORIX));
    CSXdevIO* dev = new (std::nothrow) CSXdevIO(nullptr);
    ASSERT_EQ(dev->ConnectUSB(VID_MAKER, PID_SORIX), 0);
    for (uint32_t fc = 1; fc <= 5; ++fc)
        trk.QueueIn(PnoFrame(fc));
    ASSERT_TRUE(WaitPnoCount(*dev, 5));
    tb.Unplug(trk);
    CFrameInfo rsp;
    const int e = Exchange(*dev, CMD_UNITS, rsp);
    EXPECT_TRUE(e == E_DEVIOERR_NO_CNX || (e & 0xFFFF) == E_DEVIOERR_USB_WRITERR) << e;
    dev->Disconnect();
    EXPECT_EQ(dev->ConnectedTransport(), nullptr);
    EXPECT_EQ(Exchange(*dev, CMD_UNITS, rsp), E_DEVIOERR_NO_CNX);
    // What was queued stays readable.
    CFrameInfo f;
    EXPECT_EQ(dev->RxPnoDequeueFIFO(f), 0);
    EXPECT_EQ(f.devfc(), 1u);
    delete dev;
}

TEST(Connect, TraceLevelsOfTheTransport)
{
    auto link = NewUsbLink();
    CSXdevIO& dev = *link->dev;
    const int cases[][2] = {{3, 1}, {5, 5}, {7, 7}, {6, 0 /* -1, held at 0 */}, {1, 0}, {0, 0}, {2, 1}};
    for (const auto& c : cases) {
        iodbg::BxDebug::BXDSetLevel(4);
        dev.SetTraceLev(c[0]);
        EXPECT_EQ(iodbg::BxDebug::BXDlev(), c[1]) << "level " << c[0];
        EXPECT_EQ(CSXdevIOTest::TraceLev(dev), c[0]);
    }
    dev.SetTraceLev(0);
}

TEST(Connect, ReportLineAndDetailTexts)
{
    CSXdevIO* dev = new (std::nothrow) CSXdevIO(nullptr);
    dev->SetSeuId(3);
    std::strcpy(dev->WhoAmI()->hw_ser_no, "SN-0042");
    std::strcpy(dev->WhoAmI()->device_name, "Tracker");
    std::string text = "x";
    dev->ReportLine(text);
    EXPECT_EQ(text, "x   3   SN-0042            Tracker");
    EXPECT_STREQ(CSXdevIO::ErrDetailStr(E_DEVIOERR_USB_WRITERR + (-4 * 65536)), CSXusbIO::ErrorStr(-4));
    EXPECT_STREQ(CSXdevIO::ErrDetailStr(E_DEVIOERR_SER_READERR + (5 << 16)), CSXserIO::ErrorStr(5));
    EXPECT_STREQ(CSXdevIO::ErrDetailStr(E_SXERR_INVALID_CRC + (7 << 16)), "");
    EXPECT_EQ(dev->CurrentTimeoutMs(), 50);
    EXPECT_EQ(dev->CmdPreamble(), SX_PREAMBLE_CMD);
    EXPECT_EQ(dev->PnoPreamble(), SX_PREAMBLE_PNO);
    EXPECT_TRUE(CSXdevIOTest::ValidatesSensor(*dev));
    delete dev;
}

} // namespace
