// Opening ports over pseudo-terminals: line settings from the configuration
// word, discovery over the port list, exclusive use, failures and close.
#include "SerTestUtil.h"

#include <platform/SerialLine.h>
#include "linux/SerialLineLinux.h"

#include <platform/IoDebug.h>
#include <testsupport/StdoutCapture.h>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace sxtest;

namespace {

_SX_DCB LineOf(const TestSerIO& io)
{
    _SX_DCB dcb{};
    EXPECT_TRUE(sxplat::GetLineSettings(io.Port(), dcb));
    return dcb;
}

} // namespace

TEST(SerialOpen, DefaultLineAndReport)
{
    PtyPeer peer;
    SetPorts(peer.Path());
    TestSerIO io;
    StdoutCapture cap;
    ASSERT_EQ(io.Open(1), 0);
    const std::string out = cap.Text();
    EXPECT_NE(out.find("COM Port 1 : " + peer.Path() + " Open : BaudRate 115200, Parity 0\r\n"), std::string::npos)
        << out;
    EXPECT_TRUE(io.IsOpen());
    EXPECT_TRUE(io.Initialized());
    EXPECT_EQ(io.DevInfo()->wsName, Wide(peer.Path()));
    EXPECT_EQ(io.DevInfo()->uPort, 1u);

    const _SX_DCB dcb = LineOf(io);
    EXPECT_EQ(dcb.BaudRate, 115200u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, 0);
    EXPECT_EQ(dcb.StopBits, SXDCB_ONESTOPBIT);
    EXPECT_EQ(dcb.fBinary, 1u);
    EXPECT_EQ(dcb.fOutX, 0u);
    EXPECT_EQ(dcb.fInX, 0u);
    EXPECT_EQ(dcb.fOutxCtsFlow, 0u);

    std::wstring text;
    io.DevReport(text);
    EXPECT_EQ(text, L"port : 1 : " + Wide(peer.Path()) + L" : \nbaud : 115200 parity : NONE\n");
}

TEST(SerialOpen, ConfigurationWordEdgeCases)
{
    PtyPeer peer;
    SetPorts(peer.Path());
    {
        TestSerIO io(0x23); // 9600, even
        io.SetCfg(0);       // 0 keeps the indices
        ASSERT_EQ(io.Open(1), 0);
        const _SX_DCB dcb = LineOf(io);
        EXPECT_EQ(dcb.BaudRate, 9600u);
        std::wstring text;
        io.DevReport(text);
        EXPECT_NE(text.find(L"\nbaud : 9600 parity : EVEN\n"), std::wstring::npos);
    }
    {
        TestSerIO io;
        io.SetCfg(0x3E); // index 14 opens at the rate of 13; parity 3 is mark
        ASSERT_EQ(io.Open(1), 0);
        const _SX_DCB dcb = LineOf(io);
        EXPECT_EQ(dcb.BaudRate, 7372800u);
        std::wstring text;
        io.DevReport(text);
        EXPECT_NE(text.find(L"\nbaud : 4294967295 parity : undefined\n"), std::wstring::npos);
    }
    {
        TestSerIO io;
        io.SetCfg(0x1A); // 921600, odd: rates past the old table work as well
        ASSERT_EQ(io.Open(1), 0);
        EXPECT_EQ(LineOf(io).BaudRate, 921600u);
        io.SetCfg(0x0B);
        ASSERT_EQ(io.Open(1), 0); // reopening takes the new word
        EXPECT_EQ(LineOf(io).BaudRate, 1843200u);
    }
}

TEST(SerialOpen, LineSettingsDumpAtVerboseLevel)
{
    PtyPeer peer;
    SetPorts(peer.Path());
    TestSerIO io;
    io.SetTrace(true, 6);
    StdoutCapture cap;
    ASSERT_EQ(io.Open(1), 0);
    const std::string out = cap.Text();
    EXPECT_NE(out.find("CSXserIO::SetupSerCommPRE DCB\n"), std::string::npos);
    EXPECT_NE(out.find("BxCommSer::SetupSerComm POST DCB\n"), std::string::npos);
    EXPECT_NE(out.find("\tDWORD BaudRate             = 115200;    // Baudrate                           \n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("\tchar XonChar               = 0x11     // Tx and Rx X-ON character           \n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("\tBYTE ByteSize              =  8;    // Number of bits/byte, 4-8           \n"),
              std::string::npos)
        << out;
}

// Pseudo-terminals keep no parity, so the mapping is checked on its own.
TEST(SerialLine, ParityAndFormatBitsRoundTrip)
{
    unsigned int seen[5];
    for (uint8_t parity = 0; parity <= 4; ++parity) {
        _SX_DCB dcb{};
        dcb.ByteSize = 8;
        dcb.Parity = parity;
        dcb.StopBits = SXDCB_ONESTOPBIT;
        seen[parity] = sxplat::FormatCflag(dcb);
        _SX_DCB back{};
        sxplat::FormatFromCflag(seen[parity], back);
        EXPECT_EQ(back.Parity, parity);
        EXPECT_EQ(back.ByteSize, 8);
        EXPECT_EQ(back.StopBits, SXDCB_ONESTOPBIT);
        for (uint8_t other = 0; other < parity; ++other)
            EXPECT_NE(seen[other], seen[parity]);
    }
    _SX_DCB dcb{};
    dcb.ByteSize = 7;
    dcb.StopBits = SXDCB_TWOSTOPBITS;
    _SX_DCB back{};
    sxplat::FormatFromCflag(sxplat::FormatCflag(dcb), back);
    EXPECT_EQ(back.ByteSize, 7);
    EXPECT_EQ(back.StopBits, SXDCB_TWOSTOPBITS);
}

TEST(SerialOpen, PurgesWhatWaitedBeforeOpen)
{
    PtyPeer peer;
    SetPorts(peer.Path());
    ASSERT_TRUE(peer.Send("stale bytes"));
    usleep(20000);
    TestSerIO io;
    ASSERT_EQ(io.Open(1), 0);
    unsigned char buf[16];
    int len = 16;
    EXPECT_EQ(io.Read(buf, len, true), SXIO_NORESP);
    EXPECT_EQ(len, 0);
}

TEST(SerialOpen, FailuresLeaveTheObjectClosedAndUnchanged)
{
    SetPorts("/nonexistent/serial0:/dev/null");
    TestSerIO io;
    io.SetTrace(true, 6);
    {
        StdoutCapture cap;
        EXPECT_EQ(io.Open(1), SXIO_SYSERR);
        EXPECT_NE(cap.Text().find("CSXserIO::Open : CreateFile /nonexistent/serial0 Result INVALID_HANDLE_VALUE "
                                  "Error 2 \n: No such file or directory"),
                  std::string::npos);
    }
    EXPECT_FALSE(io.IsOpen());
    EXPECT_EQ(io.Open(2), -1); // not a terminal: the line setup fails
    EXPECT_FALSE(io.IsOpen());
    EXPECT_EQ(io.Open(3), SXIO_SYSERR); // not listed
    EXPECT_FALSE(io.IsOpen());
    EXPECT_EQ(io.DevInfo()->uPort, 1u);
    EXPECT_EQ(io.DevInfo()->wsName, L"");
}

TEST(SerialDiscover, TriesEveryPortUntilOneOpens)
{
    PtyPeer peer;
    SetPorts("/nonexistent/serial0:/dev/null:" + peer.Path());
    TestSerIO io;
    io.SetTrace(true, 2);
    StdoutCapture cap;
    ASSERT_EQ(io.DiscoverPort(), 0);
    const std::string out = cap.Text();
    EXPECT_NE(out.find("CSXserIO::DiscoverPort : Trying port 1 : /nonexistent/serial0\r\n .."), std::string::npos);
    EXPECT_NE(out.find("CSXserIO::DiscoverPort : Trying port 2 : /dev/null\r\n .."), std::string::npos);
    EXPECT_NE(out.find("CSXserIO::DiscoverPort : Trying port 3 : " + peer.Path() + "\r\n .."), std::string::npos);
    EXPECT_TRUE(io.IsOpen());
    EXPECT_EQ(io.DevInfo()->uPort, 3u);
    EXPECT_EQ(io.DevInfo()->wsName, Wide(peer.Path()));
    EXPECT_EQ(io.DevInfo()->wsDesc, L"");
    EXPECT_EQ(io.DevInfo()->uBaudIdx, 7u);
}

TEST(SerialDiscover, ReturnsTheLastFailureOrMinusOneForNoPorts)
{
    TestSerIO io;
    SetPorts("/dev/null:/nonexistent/serial0");
    EXPECT_EQ(io.DiscoverPort(), SXIO_SYSERR);
    SetPorts("/nonexistent/serial0:/dev/null");
    EXPECT_EQ(io.DiscoverPort(), -1);
    SetPorts("");
    EXPECT_EQ(io.DiscoverPort(), -1); // never 0: that would count as connected
    EXPECT_FALSE(io.IsOpen());
}

TEST(SerialOpen, PortHeldByAnotherProcessIsRefused)
{
    PtyPeer peer;
    SetPorts(peer.Path());
    int ready[2], release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int fd = open(peer.Path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        const char ok = (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0) ? 'y' : 'n';
        (void)!write(ready[1], &ok, 1);
        char c;
        (void)!read(release[0], &c, 1);
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 'y');

    TestSerIO io;
    io.SetTrace(true, 6);
    {
        StdoutCapture cap;
        EXPECT_EQ(io.Open(1), SXIO_SYSERR);
        EXPECT_NE(
            cap.Text().find("CSXserIO::Open : CreateFile " + peer.Path() + " Result INVALID_HANDLE_VALUE Error 11 \n"),
            std::string::npos);
    }
    EXPECT_FALSE(io.IsOpen());

    (void)!write(release[1], "x", 1);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(io.Open(1), 0); // free again once the other holder is gone
    for (int fd : {ready[0], ready[1], release[0], release[1]})
        close(fd);
}

TEST(SerialOpen, SecondObjectOnTheSamePortIsRefused)
{
    PtyPeer peer;
    SetPorts(peer.Path());
    TestSerIO first, second;
    ASSERT_EQ(first.Open(1), 0);
    EXPECT_EQ(second.Open(1), SXIO_SYSERR);
    EXPECT_EQ(first.Close(), 0);
    EXPECT_EQ(second.Open(1), 0);
}

TEST(SerialOpen, PreambleSurvivesOpenAndClose)
{
    PtyPeer peer;
    SetPorts(peer.Path());
    TestSerIO io;
    io.FramePreamble() = 0x00425137; // "7QB"
    ASSERT_EQ(io.Open(1), 0);
    EXPECT_EQ(io.FramePreamble(), 0x00425137u);
    EXPECT_EQ(io.Close(), 0);
    EXPECT_EQ(io.FramePreamble(), 0x00425137u);
    EXPECT_EQ(io.DevInfo()->wsName, L"");
}

TEST(SerialClose, ClosingAClosedPortReportsTheFailedClose)
{
    PtyPeer peer;
    SetPorts(peer.Path());
    TestSerIO io;
    ASSERT_EQ(io.Open(1), 0);
    EXPECT_EQ(io.Close(), 0);
    io.SetTrace(true, 6);
    StdoutCapture cap;
    EXPECT_EQ(io.Close(), -1);
    EXPECT_NE(cap.Text().find("CSXserIO::Close : CloseHandle MYHND failed\n: Bad file descriptor"), std::string::npos);
    EXPECT_FALSE(io.IsOpen());
}

TEST(SerialOpen, ReopeningStopsAReaderFirst)
{
    PtyPeer peer;
    SetPorts(peer.Path());
    TestSerIO io;
    ASSERT_EQ(io.Open(1), 0);
    ASSERT_EQ(io.ReadCont(), 0);
    EXPECT_TRUE(io.AsyncReadRunning());
    ASSERT_EQ(io.Open(1), 0);
    EXPECT_FALSE(io.AsyncReadRunning());
    EXPECT_FALSE(io.HasThread());
    EXPECT_TRUE(io.IsOpen());
}
