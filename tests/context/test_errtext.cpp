#include <SXCmdIF/SXCmdIF.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

namespace {

std::wstring Widened(const char* s)
{
    return std::wstring(s, s + strlen(s));
}

} // namespace

TEST(ErrText, PlainNames)
{
    EXPECT_STREQ(sxcmdif_errorStr(0), "E_SX_SUCCESS");
    EXPECT_STREQ(sxcmdif_errorStr(13), "E_SXERR_LIBUSB");
    EXPECT_STREQ(sxcmdif_errorStr(19), "E_SXERR_NOT_IMPLEMENTED");
    EXPECT_STREQ(sxcmdif_errorStr(20), "E_CTXERR_INVALID_DEVHND Invalid Device Handle");
    EXPECT_STREQ(sxcmdif_errorStr(23), "E_CTXERR_DEV_RECV_QUEUE_EMPTY (NO RESPONSE DETECTED)");
    EXPECT_STREQ(sxcmdif_errorStr(24), "E_CTXERR_NO_MORE_DATA  Incoming p&o data queue empty");
}

TEST(ErrText, OutOfTable)
{
    EXPECT_STREQ(sxcmdif_errorStr(31), "SX_ERR NOT DEFINED");
    EXPECT_STREQ(sxcmdif_errorStr(1000), "SX_ERR NOT DEFINED");
    EXPECT_STREQ(sxcmdif_errorStr(-1), "SX_ERR NOT DEFINED");
    EXPECT_STREQ(sxcmdif_errorStrW(-1), L"SX_ERR NOT DEFINED");
}

TEST(ErrText, DetailOfTransportStartCodesIsNotShown)
{
    EXPECT_STREQ(sxcmdif_errorStr((5 << 16) | 13), "E_SXERR_LIBUSB");
    EXPECT_STREQ(sxcmdif_errorStr(static_cast<int>(0xFFFF0000u | 16)), "E_SXERR_SERIO");
}

TEST(ErrText, DeviceIoCodesWithoutDetailEndInColon)
{
    EXPECT_STREQ(sxcmdif_errorStr(25), "E_DEVIOERR_NO_CNX : ");
    EXPECT_STREQ(sxcmdif_errorStr(26), "E_DEVIOERR_FRAME_HEADER : ");
    EXPECT_STREQ(sxcmdif_errorStrW(25), L"E_DEVIOERR_NO_CNX : ");
}

TEST(ErrText, WideTextsAreTheNarrowOnesWidened)
{
    for (int v = -2; v < 40; ++v)
        EXPECT_EQ(std::wstring(sxcmdif_errorStrW(v)), Widened(sxcmdif_errorStr(v))) << v;
    for (int v : {(1 << 16) | 27, (1 << 16) | 29, (-4 * 65536) | 28, (3 << 16) | 30})
        EXPECT_EQ(std::wstring(sxcmdif_errorStrW(v)), Widened(sxcmdif_errorStr(v))) << v;
}

TEST(ErrText, ComposedTextLivesUntilTheNextOnTheSameThread)
{
    const char* first = sxcmdif_errorStr(25);
    const char* second = sxcmdif_errorStr(26);
    EXPECT_EQ(first, second);
    EXPECT_STREQ(first, "E_DEVIOERR_FRAME_HEADER : ");
    std::string other;
    std::thread t([&] { other = sxcmdif_errorStr(25); });
    t.join();
    EXPECT_EQ(other, "E_DEVIOERR_NO_CNX : ");
    EXPECT_STREQ(second, "E_DEVIOERR_FRAME_HEADER : ");
}

TEST(ErrText, CrcErrorNamesTheCommand)
{
    EXPECT_STREQ(sxcmdif_errorStr(20 * 65536 + 10), "E_SXERR_INVALID_CRC : CMD_WHOAMI");
    EXPECT_STREQ(sxcmdif_errorStrW(20 * 65536 + 10), L"E_SXERR_INVALID_CRC : CMD_WHOAMI");
    EXPECT_STREQ(sxcmdif_errorStr(40 * 65536 + 10), "E_SXERR_INVALID_CRC : undefined_cmd");
    EXPECT_STREQ(sxcmdif_errorStr(10), "E_SXERR_INVALID_CRC : CMD_HEMISPHERE");
}

TEST(ErrText, TransportWriteErrorsCarryTheTransportsText)
{
    EXPECT_STREQ(sxcmdif_errorStr((1 << 16) | 27), "E_DEVIOERR_USB_WRITERR : E_SXUSB_ERR_WRITE_COUNT_WRONG");
    EXPECT_STREQ(sxcmdif_errorStr(27), "E_DEVIOERR_USB_WRITERR : E_SXUSB_ERR_SUCCESS");
    EXPECT_STREQ(sxcmdif_errorStr(static_cast<int>(0xFFFC0000u | 27)),
                 "E_DEVIOERR_USB_WRITERR : LIBUSB_ERROR_NO_DEVICE");
    EXPECT_STREQ(sxcmdif_errorStr((7 << 16) | 28), "E_DEVIOERR_USB_READERR : SXUSB_ERR NOT DEFINED");
    EXPECT_STREQ(sxcmdif_errorStr((1 << 16) | 29), "E_DEVIOERR_SER_WRITERR : SXIO_TIMEOUT");
    EXPECT_STREQ(sxcmdif_errorStrW((1 << 16) | 29), L"E_DEVIOERR_SER_WRITERR : SXIO_TIMEOUT");
    EXPECT_STREQ(sxcmdif_errorStrW((1 << 16) | 27), L"E_DEVIOERR_USB_WRITERR : E_SXUSB_ERR_WRITE_COUNT_WRONG");
    EXPECT_STREQ(sxcmdif_errorStr((1 << 16) | 26), "E_DEVIOERR_FRAME_HEADER : ");
}
