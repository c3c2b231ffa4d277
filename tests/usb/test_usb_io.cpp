// Synchronous bulk writes and reads.
#include "UsbFixture.h"

#include "testsupport/StdoutCapture.h"

#include <libusb.h>

#include <cerrno>

using namespace sxtest;
using namespace sxtest::usbemu;

namespace {

using Transfers = std::vector<std::vector<uint8_t>>;

int WriteBytes(CSXusbIO& io, std::vector<uint8_t> bytes, unsigned& len)
{
    len = static_cast<unsigned>(bytes.size());
    return io.Write(bytes.data(), len);
}

} // namespace

TEST_F(UsbTest, WriteFillingTheLastPacketEndsWithAZeroLengthPacket)
{
    EmulatedDevice& d = AddTracker(64);
    auto io = OpenIO();
    unsigned len = 0;
    const auto data = Pattern(64, 1);
    EXPECT_EQ(WriteBytes(*io, data, len), 0);
    EXPECT_EQ(len, 64u);
    EXPECT_EQ(d.OutTransfers(), (Transfers{data, {}}));
}

TEST_F(UsbTest, WriteOfTwoFullPacketsEndsWithAZeroLengthPacket)
{
    EmulatedDevice& d = AddTracker(64);
    auto io = OpenIO();
    unsigned len = 0;
    const auto data = Pattern(128, 2);
    EXPECT_EQ(WriteBytes(*io, data, len), 0);
    EXPECT_EQ(d.OutTransfers(), (Transfers{data, {}}));
}

TEST_F(UsbTest, WriteEndingInAShortPacketHasNoZeroLengthPacket)
{
    EmulatedDevice& d = AddTracker(64);
    auto io = OpenIO();
    unsigned len = 0;
    const auto data = Pattern(65, 3);
    EXPECT_EQ(WriteBytes(*io, data, len), 0);
    EXPECT_EQ(len, 65u);
    EXPECT_EQ(d.OutTransfers(), (Transfers{data}));
}

TEST_F(UsbTest, ZeroLengthPacketFollowsTheEndpointsPacketSize)
{
    EmulatedDevice& d = AddTracker(512);
    auto io = OpenIO();
    unsigned len = 0;
    const auto small = Pattern(64, 4);
    const auto full = Pattern(512, 5);
    EXPECT_EQ(WriteBytes(*io, small, len), 0);
    EXPECT_EQ(WriteBytes(*io, full, len), 0);
    EXPECT_EQ(d.OutTransfers(), (Transfers{small, full, {}}));
}

TEST_F(UsbTest, ShortWriteReturnsOneWithTheCountWrittenAndTheTraceLine)
{
    EmulatedDevice& d = AddTracker(64);
    d.SetOutLimit(8);
    auto io = OpenIO();
    const auto data = Pattern(10, 6);
    unsigned len = 0;
    io->SetTrace(true, 2);
    StdoutCapture cap;
    const int r = WriteBytes(*io, data, len);
    const std::string out = cap.Text();
    io->SetTrace(false, 0);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(len, 8u);
    EXPECT_TRUE(Contains(out, "] : CSXusbIO write count 10, libusb wrote 8\r\n")) << out;
    EXPECT_EQ(d.OutTransfers(), (Transfers{std::vector<uint8_t>(data.begin(), data.begin() + 8)}));
}

TEST_F(UsbTest, ShortWriteOfWholePacketsHasNoZeroLengthPacket)
{
    EmulatedDevice& d = AddTracker(64);
    d.SetOutLimit(64);
    auto io = OpenIO();
    unsigned len = 0;
    const auto data = Pattern(100, 7);
    EXPECT_EQ(WriteBytes(*io, data, len), 1);
    EXPECT_EQ(len, 64u);
    EXPECT_EQ(d.OutTransfers().size(), 1u);
}

TEST_F(UsbTest, WriteShowsItsBlockDumpFromLevelThree)
{
    AddTracker();
    auto io = OpenIO();
    unsigned char data[3] = {0xAB, 0x01, 0x7F};
    unsigned len = 3;
    io->SetTrace(true, 3);
    StdoutCapture cap;
    EXPECT_EQ(io->Write(data, len), 0);
    const std::string out = cap.Text();
    io->SetTrace(false, 0);
    EXPECT_TRUE(Contains(out, "] : CSXusbIO::Write \r\n")) << out;
    EXPECT_TRUE(Contains(out, "AB 01 7F")) << out;
}

TEST_F(UsbTest, WriteErrorsAreLibusbCodesAndLeaveTheLength)
{
    EmulatedDevice& d = AddTracker();
    auto io = OpenIO();
    unsigned len = 0;
    d.SetOutStatus(-EPIPE);
    EXPECT_EQ(WriteBytes(*io, Pattern(10, 8), len), LIBUSB_ERROR_PIPE);
    EXPECT_EQ(len, 10u);
    d.SetOutStatus(0);
    d.SetHoldOut(true);
    EXPECT_EQ(WriteBytes(*io, Pattern(12, 9), len), LIBUSB_ERROR_TIMEOUT);
    EXPECT_EQ(len, 12u);
    EXPECT_EQ(d.Counters().discards, 1);
}

TEST_F(UsbTest, ReadReturnsOneChunk)
{
    EmulatedDevice& d = AddTracker();
    auto io = OpenIO();
    const auto data = Pattern(37, 10);
    d.QueueIn(data);
    unsigned char buf[256] = {};
    unsigned len = sizeof buf;
    EXPECT_EQ(io->Read(buf, len, false), 0);
    ASSERT_EQ(len, 37u);
    EXPECT_EQ(std::vector<uint8_t>(buf, buf + len), data);
}

TEST_F(UsbTest, ReadTimeOutIsSuccessWithNoDataUnlessAsked)
{
    EmulatedDevice& d = AddTracker();
    d.SetDiscardData({0x11, 0x22, 0x33}); // arrived before the time-out
    auto io = OpenIO();
    unsigned char buf[64] = {};
    unsigned len = sizeof buf;
    EXPECT_EQ(io->Read(buf, len, false), 0);
    EXPECT_EQ(len, 0u);

    len = sizeof buf;
    EXPECT_EQ(io->Read(buf, len, true), LIBUSB_ERROR_TIMEOUT);
    ASSERT_EQ(len, 3u);
    EXPECT_EQ(buf[0], 0x11);
    EXPECT_EQ(buf[2], 0x33);
}

TEST_F(UsbTest, ReadAndWriteOnAClosedObjectFailWithoutTouchingLibusb)
{
    auto io = NewIO();
    unsigned char buf[8] = {};
    unsigned len = sizeof buf;
    EXPECT_EQ(io->Write(buf, len), LIBUSB_ERROR_NO_DEVICE);
    EXPECT_EQ(len, 8u);
    EXPECT_EQ(io->Read(buf, len, false), LIBUSB_ERROR_NO_DEVICE);
    EXPECT_EQ(len, 0u);
}

TEST_F(UsbTest, NullBufferIsRefused)
{
    AddTracker();
    auto io = OpenIO();
    unsigned len = 4;
    EXPECT_EQ(io->Write(nullptr, len), LIBUSB_ERROR_INVALID_PARAM);
    len = 4;
    EXPECT_EQ(io->Read(nullptr, len, true), LIBUSB_ERROR_INVALID_PARAM);
}
