// Port listing (the sysfs tree and the port list variable), the port
// record, the reports, result names, configuration word and trace setting.
#include "SerTestUtil.h"

#include "linux/SerialPortsLinux.h"

#include <platform/IoDebug.h>
#include <testsupport/StdoutCapture.h>

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace sxtest;

namespace {

void WriteText(const fs::path& p, const std::string& text)
{
    fs::create_directories(p.parent_path());
    std::ofstream(p) << text << "\n";
}

// A tree in the shape of /sys: class/tty entries whose device links point
// into devices/, USB devices with their strings, drivers under bus/.
class FakeSysfs : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = dir.Path();
        const fs::path usb = root / "devices/pci0000:00/0000:00:14.0/usb1";
        const fs::path drivers = root / "bus/usb/drivers";

        // ttyUSB0: an FTDI adapter with both strings.
        Usb(usb / "1-1", "FTDI", "FT232R USB UART");
        Tty("ttyUSB0", usb / "1-1/1-1:1.0/ttyUSB0", root / "bus/usb-serial/drivers/ftdi_sio");
        // ttyACM0: a CDC device with a product string only.
        Usb(usb / "1-2", "", "Tracker CDC");
        Tty("ttyACM0", usb / "1-2/1-2:1.0", drivers / "cdc_acm");
        // ttyACM1: a CDC device without strings: the driver's name.
        Usb(usb / "1-3", "", "");
        Tty("ttyACM1", usb / "1-3/1-3:1.0", drivers / "cdc_acm");
        // ttyS0 and ttyS2, ttyS10 with a UART; ttyS1 without one.
        const fs::path serial = root / "devices/platform/serial8250";
        const fs::path serialDrv = root / "bus/platform/drivers/serial8250";
        Tty("ttyS0", root / "devices/pnp0/00:01", root / "bus/pnp/drivers/serial");
        WriteText(root / "class/tty/ttyS0/type", "4");
        Tty("ttyS1", serial, serialDrv);
        WriteText(root / "class/tty/ttyS1/type", "0");
        Tty("ttyS10", serial, serialDrv);
        WriteText(root / "class/tty/ttyS10/type", "4");
        Tty("ttyS2", serial, serialDrv);
        WriteText(root / "class/tty/ttyS2/type", "4");
        // Virtual consoles, the console and ptmx have no device behind them.
        fs::create_directories(root / "class/tty/tty0");
        fs::create_directories(root / "class/tty/tty1");
        fs::create_directories(root / "class/tty/console");
        fs::create_directories(root / "class/tty/ptmx");
    }

    void Usb(const fs::path& dev, const std::string& manufacturer, const std::string& product)
    {
        WriteText(dev / "idVendor", "0403");
        if (!manufacturer.empty())
            WriteText(dev / "manufacturer", manufacturer);
        if (!product.empty())
            WriteText(dev / "product", product);
    }

    void Tty(const std::string& name, const fs::path& device, const fs::path& driver)
    {
        fs::create_directories(device);
        fs::create_directories(driver);
        if (!fs::exists(device / "driver"))
            fs::create_directory_symlink(driver, device / "driver");
        fs::create_directories(root / "class/tty" / name);
        fs::create_directory_symlink(device, root / "class/tty" / name / "device");
    }

    TempDir dir;
    fs::path root;
};

} // namespace

TEST_F(FakeSysfs, ListsSerialDevicesInNaturalOrderWithDescriptions)
{
    std::vector<sxplat::PortEntry> ports;
    ASSERT_TRUE(sxplat::ListPortsFromSysfs(root.string(), ports));
    ASSERT_EQ(ports.size(), 6u);
    const char* paths[] = {"/dev/ttyACM0", "/dev/ttyACM1", "/dev/ttyS0", "/dev/ttyS2", "/dev/ttyS10", "/dev/ttyUSB0"};
    const char* descs[] = {"Tracker CDC", "cdc_acm", "serial", "serial8250", "serial8250", "FTDI FT232R USB UART"};
    for (size_t i = 0; i < ports.size(); ++i) {
        EXPECT_EQ(ports[i].number, i + 1);
        EXPECT_EQ(ports[i].path, paths[i]);
        EXPECT_EQ(ports[i].desc, descs[i]);
    }
}

TEST_F(FakeSysfs, MissingTreeCannotBeListed)
{
    std::vector<sxplat::PortEntry> ports{{1, "x", ""}};
    EXPECT_FALSE(sxplat::ListPortsFromSysfs((root / "nothing").string(), ports));
    EXPECT_TRUE(ports.empty());
}

TEST(SerialPortList, NaturalOrder)
{
    EXPECT_TRUE(sxplat::NaturalLess("ttyS2", "ttyS10"));
    EXPECT_FALSE(sxplat::NaturalLess("ttyS10", "ttyS2"));
    EXPECT_TRUE(sxplat::NaturalLess("ttyACM1", "ttyS0"));
    EXPECT_TRUE(sxplat::NaturalLess("ttyS9", "ttyUSB0"));
    EXPECT_TRUE(sxplat::NaturalLess("ttyS", "ttyS0"));
    EXPECT_FALSE(sxplat::NaturalLess("ttyS0", "ttyS0"));
    EXPECT_TRUE(sxplat::NaturalLess("ttyUSB007", "ttyUSB10"));
}

TEST(SerialPortList, VariableEntriesAreNumberedInOrder)
{
    std::vector<sxplat::PortEntry> ports;
    sxplat::ListPortsFromText("/dev/a::/dev/b:", ports);
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0].number, 1u);
    EXPECT_EQ(ports[0].path, "/dev/a");
    EXPECT_EQ(ports[1].number, 2u);
    EXPECT_EQ(ports[1].path, "/dev/b");
    EXPECT_EQ(ports[1].desc, "");
    sxplat::ListPortsFromText("", ports);
    EXPECT_TRUE(ports.empty());
}

TEST(SerialPortList, ListSerPortsCountsAndFills)
{
    SetPorts("/dev/one:/dev/two:/dev/three");
    unsigned int count = 0;
    EXPECT_EQ(CSXserIO::ListSerPorts(nullptr, count), 0);
    EXPECT_EQ(count, 3u);

    _sx_serportinfo list[2];
    list[0].uPreamble = 0x11223344;
    count = 2;
    EXPECT_EQ(CSXserIO::ListSerPorts(list, count), 0);
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(list[0].uPort, 1u);
    EXPECT_EQ(list[0].wsName, L"/dev/one");
    EXPECT_EQ(list[0].wsDesc, L"");
    EXPECT_EQ(list[0].uPreamble, 0x11223344u);
    EXPECT_EQ(list[1].uPort, 2u);
    EXPECT_EQ(list[1].wsName, L"/dev/two");
}

TEST(SerialPortList, PortListReport)
{
    SetPorts("/dev/one:/dev/two");
    std::wstring text = L"X";
    CSXserIO::PortListReport(text);
    EXPECT_EQ(text, L"Xport : 1 : /dev/one : \r\nport : 2 : /dev/two : \r\n");

    SetPorts("");
    text = L"old";
    CSXserIO::PortListReport(text);
    EXPECT_EQ(text, L"No serial ports detected");
}

TEST(SerialPortInfo, DefaultsAndCopies)
{
    _sx_serportinfo a;
    EXPECT_EQ(a.uPort, 1u);
    EXPECT_EQ(a.uPreamble, 0x00525853u);
    EXPECT_EQ(memcmp(&a.uPreamble, "SXR\0", 4), 0);
    EXPECT_EQ(a.uBaudIdx, 7u);
    EXPECT_EQ(a.uParityIdx, 0u);

    _sx_serportinfo b(3, L"COM3", L"USB Serial Port");
    b.uPreamble = 0x43525851;
    b.uBaudIdx = 12;
    b.uParityIdx = 2;
    _sx_serportinfo c(b);
    EXPECT_EQ(c.uPort, 3u);
    EXPECT_EQ(c.wsName, L"COM3");
    EXPECT_EQ(c.wsDesc, L"USB Serial Port");
    EXPECT_EQ(c.uBaudIdx, 12u);
    EXPECT_EQ(c.uParityIdx, 2u);
    EXPECT_EQ(c.uPreamble, 0x00525853u); // a copy has the default preamble

    _sx_serportinfo d(9);
    d.uPreamble = 0x12345678;
    d = b;
    EXPECT_EQ(d.uPort, 3u);
    EXPECT_EQ(d.uPreamble, 0x12345678u); // an assigned record keeps its own
}

TEST(SerialReports, PortReport)
{
    _sx_serportinfo info(3, L"COM3", L"USB Serial Port");
    std::wstring text;
    CSXserIO::PortReport(info, text);
    EXPECT_EQ(text, L"port : 3 : COM3 : USB Serial Port");

    // Written over the earlier content; what is longer stays behind it.
    text = L"0123456789012345678901234567890123456789XYZ";
    CSXserIO::PortReport(info, text);
    EXPECT_EQ(text, L"port : 3 : COM3 : USB Serial Port3456789XYZ");
}

TEST(SerialReports, DevReportFollowsTheConfigurationWordAtOpen)
{
    CSXserIO io;
    std::wstring text;
    io.DevReport(text);
    EXPECT_EQ(text, L"port : 1 :  : \nbaud : 115200 parity : NONE\n");
}

TEST(SerialResultNames, NarrowAndWide)
{
    const char* names[] = {"SXIO_NOERR",  "SXIO_TIMEOUT", "SXIO_NORESP",       "SXIO_SETUPERR",
                           "SXIO_SYSERR", "SXIO_FRAMERR", "SXIO_GENERAL_ERROR"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_STREQ(CSXserIO::ErrorStr(i), names[i]);
        EXPECT_EQ(std::wstring(CSXserIO::ErrorStrW(i)), Wide(names[i]));
    }
    EXPECT_STREQ(CSXserIO::ErrorStr(7), "SXIO_GENERAL_ERROR");
    EXPECT_STREQ(CSXserIO::ErrorStr(-1), "SXIO_GENERAL_ERROR");
    EXPECT_STREQ(CSXserIO::ErrorStr(0x7FFFFFFF), "SXIO_GENERAL_ERROR");
    EXPECT_STREQ(CSXserIO::ErrorStrW(-1), L"SXIO_GENERAL_ERROR");
    EXPECT_STREQ(CSXserIO::ErrorStrW(99), L"SXIO_GENERAL_ERROR");
}

TEST(SerialTrace, SetTraceLevelsAndLines)
{
    CSXserIO io;
    {
        StdoutCapture cap;
        io.SetTrace(true, 6);
        const std::string out = cap.Text();
        EXPECT_EQ(iodbg::BxDebug::BXDlev(), 6);
        EXPECT_NE(out.find("CSXserIO::SetTrace : btrace=true , ilev = 6\r\n"), std::string::npos) << out;
        EXPECT_NE(out.find("Setting trace level verbose or higher\r\n"), std::string::npos) << out;
    }
    io.SetTrace(true, 9);
    EXPECT_EQ(iodbg::BxDebug::BXDlev(), 7);
    io.SetTrace(true, 5);
    EXPECT_EQ(iodbg::BxDebug::BXDlev(), 7); // 5 leaves the level as it is
    {
        StdoutCapture cap;
        io.SetTrace(true, 2);
        EXPECT_EQ(iodbg::BxDebug::BXDlev(), 2);
        EXPECT_NE(cap.Text().find("Setting trace level normal i/o or lower\r\n"), std::string::npos);
    }
    io.SetTrace(true, -4);
    EXPECT_EQ(iodbg::BxDebug::BXDlev(), 0);
    io.SetTrace(true, 6);
    {
        StdoutCapture cap;
        io.SetTrace(false, 6);
        EXPECT_EQ(iodbg::BxDebug::BXDlev(), 0);
        // The unconditional line of this library's copy, and nothing else.
        EXPECT_EQ(cap.Text().find("Setting trace level"), std::string::npos);
    }
}

TEST(SerialTrace, ThisLibrarysConstructorTracesAtLevelThree)
{
    iodbg::BxDebug::BXDSetLevel(0);
    StdoutCapture cap;
    CSXserIO io;
    EXPECT_EQ(iodbg::BxDebug::BXDlev(), 3);
    EXPECT_NE(cap.Text().find("CSXserIO::SetTrace : btrace=true , ilev = 3\r\n"), std::string::npos);
}
