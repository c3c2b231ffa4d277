// Discovery, opening, closing, trace switch and result texts.
#include "UsbFixture.h"

#include "testsupport/StdoutCapture.h"

#include <libusb.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <set>
#include <thread>

using namespace sxtest;
using namespace sxtest::usbemu;

namespace {

std::vector<std::string> Strings(std::initializer_list<const char*> l)
{
    return std::vector<std::string>(l.begin(), l.end());
}

bool Closed(const EmulatedDevice& d)
{
    return d.OpenHandles() == 0;
}

} // namespace

TEST_F(UsbTest, NoMatchingDeviceGivesMinus99)
{
    m_tb.AddDevice(DeviceSpec::Tracker(kVid, kPid + 1));
    auto io = NewIO();
    EXPECT_EQ(io->DiscoverVidPid(kVid, kPid), -99);
    EXPECT_FALSE(io->IsOpen());
}

TEST_F(UsbTest, OpensTheTrackerAndLearnsItsEndpoints)
{
    EmulatedDevice& d = AddTracker();
    auto io = NewIO();
    ASSERT_TRUE(io->Initialized());
    ASSERT_EQ(io->DiscoverVidPid(kVid, kPid), 0);
    EXPECT_TRUE(io->IsOpen());
    const _sx_usbdevinfo& info = CSXusbIOTest::Info(*io);
    EXPECT_EQ(info.bus, d.Bus());
    EXPECT_EQ(info.address, 1);
    EXPECT_EQ(info.vid, kVid);
    EXPECT_EQ(info.pid, kPid);
    EXPECT_EQ(info.nInterfaces, 1);
    EXPECT_EQ(info.epIn, 0x81);
    EXPECT_EQ(info.epOut, 0x02);
    EXPECT_EQ(info.maxPacketOut, 64);
    EXPECT_EQ(d.Log(), Strings({"open", "claim 0"}));
}

TEST_F(UsbTest, EndpointScanSkipsControlAndKeepsTheFirstFound)
{
    DeviceSpec spec;
    spec.vid = kVid;
    spec.pid = kPid;
    // Interface 0: a control endpoint in the first alternate, bulk in the second.
    spec.interfaces.push_back(InterfaceSpec{
        {{EndpointSpec{0x85, 0x00, 64}}, {EndpointSpec{0x84, 0x02, 512}, EndpointSpec{0x01, 0x02, 512}}}});
    // Interface 1: an interrupt OUT first; it does not replace interface 0's endpoints.
    spec.interfaces.push_back(InterfaceSpec{{{EndpointSpec{0x03, 0x03, 8}, EndpointSpec{0x82, 0x02, 64}}}});
    EmulatedDevice& d = m_tb.AddDevice(spec);
    auto io = OpenIO();
    const _sx_usbdevinfo& info = CSXusbIOTest::Info(*io);
    EXPECT_EQ(info.nInterfaces, 2);
    EXPECT_EQ(info.epIn, 0x84);
    EXPECT_EQ(info.epOut, 0x01);
    EXPECT_EQ(info.maxPacketOut, 512);
    EXPECT_EQ(d.Log(), Strings({"open", "claim 0", "claim 1"}));
}

TEST_F(UsbTest, InterruptEndpointsCountWhenNoBulkComesFirst)
{
    DeviceSpec spec;
    spec.vid = kVid;
    spec.pid = kPid;
    spec.interfaces.push_back(InterfaceSpec{{{EndpointSpec{0x83, 0x03, 16}, EndpointSpec{0x04, 0x03, 16}}}});
    m_tb.AddDevice(spec);
    auto io = OpenIO();
    EXPECT_EQ(CSXusbIOTest::Info(*io).epIn, 0x83);
    EXPECT_EQ(CSXusbIOTest::Info(*io).epOut, 0x04);
    EXPECT_EQ(CSXusbIOTest::Info(*io).maxPacketOut, 16);
}

TEST_F(UsbTest, FirstDeviceThatCannotClaimAllInterfacesIsReleasedAndClosed)
{
    DeviceSpec two = DeviceSpec::Tracker(kVid, kPid);
    two.interfaces.push_back(InterfaceSpec{{{}}});
    EmulatedDevice& a = m_tb.AddDevice(two);
    EmulatedDevice& b = m_tb.AddDevice(two);
    auto io = NewIO();

    // Which one libusb lists first decides which one must refuse.
    _sx_usbdevinfo recs[4];
    int count = 4;
    ASSERT_EQ(io->ListVidPid(kVid, kPid, recs, count), 0);
    ASSERT_EQ(count, 2);
    EmulatedDevice& first = recs[0].bus == a.Bus() ? a : b;
    EmulatedDevice& second = recs[0].bus == a.Bus() ? b : a;
    first.RefuseClaim(1);

    ASSERT_EQ(io->DiscoverVidPid(kVid, kPid), 0);
    EXPECT_EQ(CSXusbIOTest::Info(*io).bus, second.Bus());
    EXPECT_EQ(CSXusbIOTest::Info(*io).index, recs[1].index);
    EXPECT_EQ(CSXusbIOTest::Info(*io).nInterfaces, 2);
    EXPECT_TRUE(Closed(first));
    EXPECT_EQ(second.OpenHandles(), 1);
    EXPECT_EQ(first.Log(), Strings({"open", "claim 0", "claim 1 refused", "release 0"}));
    EXPECT_EQ(second.Log(), Strings({"open", "claim 0", "claim 1"}));
}

TEST_F(UsbTest, OnlyTheFirstSixteenOfTwentyAreTried)
{
    std::vector<EmulatedDevice*> devs;
    for (int i = 0; i < 20; ++i) {
        devs.push_back(&AddTracker());
        devs.back()->RefuseClaim(0);
    }
    auto io = NewIO();
    _sx_usbdevinfo recs[24];
    int count = 24;
    ASSERT_EQ(io->ListVidPid(kVid, kPid, recs, count), 0);
    ASSERT_EQ(count, 20);

    EXPECT_EQ(io->DiscoverVidPid(kVid, kPid), -99);
    EXPECT_FALSE(io->IsOpen());
    for (int i = 0; i < 20; ++i) {
        auto it = std::find_if(devs.begin(), devs.end(), [&](EmulatedDevice* d) { return d->Bus() == recs[i].bus; });
        ASSERT_NE(it, devs.end());
        if (i < 16) {
            EXPECT_TRUE(Closed(**it)) << i;
            EXPECT_EQ((*it)->Log(), Strings({"open", "claim 0 refused"})) << i;
        } else {
            EXPECT_TRUE((*it)->Log().empty()) << i;
        }
    }
}

TEST_F(UsbTest, ListVidPidCountsAllButFillsOnlyItsCapacity)
{
    for (int i = 0; i < 3; ++i)
        AddTracker();
    m_tb.AddDevice(DeviceSpec::Tracker(kVid + 1, kPid));
    auto io = NewIO();
    _sx_usbdevinfo recs[3];
    int count = 2;
    ASSERT_EQ(io->ListVidPid(kVid, kPid, recs, count), 0);
    EXPECT_EQ(count, 3);
    std::set<int> buses;
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(recs[i].vid, kVid);
        EXPECT_EQ(recs[i].pid, kPid);
        EXPECT_EQ(recs[i].address, 1);
        EXPECT_GE(recs[i].index, 0);
        EXPECT_EQ(recs[i].nInterfaces, 0);
        EXPECT_EQ(recs[i].maxPacketOut, 64);
        buses.insert(recs[i].bus);
    }
    EXPECT_EQ(buses.size(), 2u);
    EXPECT_EQ(recs[2].index, -1); // untouched

    // index is the position in libusb's list.
    libusb_device** list = nullptr;
    int n = 3;
    ASSERT_EQ(CSXusbIO::CreateVidPidList(CSXusbIOTest::Ctx(*io), &list, kVid, kPid, recs, n), 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(libusb_get_bus_number(list[recs[i].index]), recs[i].bus);
    libusb_free_device_list(list, 1);

    count = 0;
    EXPECT_EQ(io->ListVidPid(kVid, kPid, recs, count), -1);
    count = 3;
    EXPECT_EQ(io->ListVidPid(kVid, kPid, nullptr, count), -1);
}

TEST_F(UsbTest, DiscoverOnAnOpenObjectClosesItFirst)
{
    EmulatedDevice& d = AddTracker();
    auto io = OpenIO();
    ASSERT_EQ(io->DiscoverVidPid(kVid, kPid), 0);
    EXPECT_TRUE(io->IsOpen());
    EXPECT_EQ(d.OpenHandles(), 1); // the first handle was closed
    EXPECT_EQ(d.Log(), Strings({"open", "claim 0", "release 0", "open", "claim 0"}));
}

TEST_F(UsbTest, CloseReleasesClosesAndResets)
{
    EmulatedDevice& d = AddTracker();
    auto io = OpenIO();
    EXPECT_EQ(d.OpenHandles(), 1);
    io->SetTrace(true, 4);
    EXPECT_EQ(io->Close(), 0);
    EXPECT_FALSE(io->IsOpen());
    EXPECT_EQ(CSXusbIOTest::Info(*io).epIn, 0);
    EXPECT_EQ(CSXusbIOTest::Info(*io).index, -1);
    EXPECT_EQ(CSXusbIOTest::Info(*io).maxPacketOut, 64);
    EXPECT_EQ(iodbg::BxDebug::BXDlev(), 0); // Close ends with the trace at 0
    EXPECT_TRUE(Closed(d));
    EXPECT_EQ(d.Log(), Strings({"open", "claim 0", "release 0"}));
}

TEST_F(UsbTest, CloseOnAClosedObjectDoesNothing)
{
    auto io = NewIO();
    io->SetTrace(true, 4);
    StdoutCapture cap;
    EXPECT_EQ(io->Close(), 0);
    const std::string out = cap.Text();
    EXPECT_EQ(iodbg::BxDebug::BXDlev(), 4);
    EXPECT_EQ(CountOf(out, "\r\n"), 1u) << out; // the entry line only
    EXPECT_TRUE(Contains(out, "CSXusbIO::Close()")) << out;
}

namespace {
// Debug lines libusb logged on the test's own thread: its event thread
// logs once as it starts, at a moment of its own, and is not what the
// level set around each listing is checked against.
std::atomic<int> g_debugLines{0};
std::atomic<std::thread::id> g_testThread;
} // namespace

TEST_F(UsbTest, SetTraceSetsBothLevelsAndSaysSo)
{
    auto io = NewIO();
    g_testThread = std::this_thread::get_id();
    libusb_set_log_cb(
        CSXusbIOTest::Ctx(*io),
        [](libusb_context* ctx, enum libusb_log_level level, const char*) {
            (void)ctx;
            if (level == LIBUSB_LOG_LEVEL_DEBUG && std::this_thread::get_id() == g_testThread)
                ++g_debugLines;
        },
        LIBUSB_LOG_CB_CONTEXT);
    struct Case {
        bool on;
        int lev;
        unsigned short iodbgLevel;
        bool libusbDebug;
    };
    const Case cases[] = {{true, 7, 7, true},   {true, 6, 6, true}, {true, 5, 5, false}, {true, 1, 1, false},
                          {false, 7, 0, false}, {true, 9, 7, true}, {true, -1, 0, false}};
    for (const Case& c : cases) {
        io->SetTrace(c.on, c.lev);
        EXPECT_EQ(iodbg::BxDebug::BXDlev(), c.iodbgLevel) << c.lev;
        StdoutCapture cap;
        g_debugLines = 0;
        _sx_usbdevinfo recs[1];
        int count = 1;
        io->ListVidPid(kVid, kPid, recs, count);
        cap.Text();
        EXPECT_EQ(g_debugLines > 0, c.libusbDebug) << c.on << " " << c.lev;
    }
    libusb_set_log_cb(CSXusbIOTest::Ctx(*io), nullptr, LIBUSB_LOG_CB_CONTEXT);

    io->SetTrace(true, 6);
    StdoutCapture cap;
    io->SetTrace(true, 6);
    io->SetTrace(false, 6);
    io->SetTrace(true, 5); // its own line is level 5: not shown from level 5
    const std::string out = cap.Text();
    EXPECT_TRUE(Contains(out, "] : CSXusbIO::SetTrace : btrace=true , ilev = 6\r\n")) << out;
    EXPECT_FALSE(Contains(out, "btrace=false")) << out; // the level is 0 by then
    EXPECT_FALSE(Contains(out, "ilev = 5")) << out;
}

TEST(UsbErrorStr, NamesEveryKindOfCode)
{
    EXPECT_STREQ(CSXusbIO::ErrorStr(0), "E_SXUSB_ERR_SUCCESS");
    EXPECT_STREQ(CSXusbIO::ErrorStr(1), "E_SXUSB_ERR_WRITE_COUNT_WRONG");
    EXPECT_STREQ(CSXusbIO::ErrorStr(2), "SXUSB_ERR NOT DEFINED");
    EXPECT_STREQ(CSXusbIO::ErrorStr(7), "SXUSB_ERR NOT DEFINED");
    EXPECT_STREQ(CSXusbIO::ErrorStr(-7), "LIBUSB_ERROR_TIMEOUT");
    EXPECT_STREQ(CSXusbIO::ErrorStr(-4), "LIBUSB_ERROR_NO_DEVICE");
    EXPECT_STREQ(CSXusbIO::ErrorStr(-1), "LIBUSB_ERROR_IO");
    EXPECT_STREQ(CSXusbIO::ErrorStr(-99), "LIBUSB_ERROR_OTHER");
}
