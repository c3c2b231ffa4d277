// The serial transport on Windows (SXserIO.dll) against the simulated
// tracker on a COM port: the port list, opening and line settings, the
// read time-out, exclusive use, command frames and continuous reading.
#include "WinTest.h"

#include <SXCmdIF/SXCmdIF.h>
#include <SXserIO/SXserIO.h>

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

using namespace wintest;

namespace {

using Bytes = std::vector<unsigned char>;

// Reaches the port handle to read the line settings back from the driver.
class LineSerIO : public CSXserIO {
public:
    using CSXserIO::CSXserIO;
    bool State(DCB& dcb)
    {
        dcb = DCB{};
        dcb.DCBlength = sizeof dcb;
        return GetCommState(static_cast<HANDLE>(m_hCom), &dcb) != FALSE;
    }
};

Bytes Command(uint32_t cmd, uint32_t action, const void* payload = nullptr, unsigned len = 0)
{
    CSXcmd c;
    c.Fill(0, cmd, action, 0, 0, payload, len);
    Bytes b(c.FrameLen());
    int n = 0;
    c.Prepare(b.data(), n);
    b.resize(static_cast<size_t>(n));
    return b;
}

uint32_t Word(const Bytes& b, size_t off)
{
    return sxwire::GetLE32(b.data() + off);
}

std::vector<_sx_serportinfo> Ports()
{
    unsigned count = 0;
    EXPECT_EQ(CSXserIO::ListSerPorts(nullptr, count), 0);
    std::vector<_sx_serportinfo> ports(count + 1);
    unsigned capacity = count + 1;
    EXPECT_EQ(CSXserIO::ListSerPorts(ports.data(), capacity), 0);
    ports.resize(count);
    return ports;
}

// Frames handed over by the reading thread.
struct Collector {
    static void CB(void* arg, unsigned char* data, unsigned int len)
    {
        auto* self = static_cast<Collector*>(arg);
        std::lock_guard<std::mutex> lock(self->mutex);
        self->frames.emplace_back(data, data + len);
    }
    size_t Count()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return frames.size();
    }
    std::mutex mutex;
    std::vector<Bytes> frames;
};

class WinSerial : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_GT(SimPort(), 0) << "run through with_sim.sh"; }
};

} // namespace

TEST(WinPorts, OverrideNamesThePortsByTheirComNumbers)
{
    ASSERT_EQ(_putenv_s("SXSERIO_PORTS", "COM7:\\\\.\\com12:LPT1:COMx1:COM"), 0);
    const std::vector<_sx_serportinfo> ports = Ports();
    ASSERT_EQ(_putenv_s("SXSERIO_PORTS", ""), 0);
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0].uPort, 7u);
    EXPECT_EQ(ports[0].wsName, L"COM7");
    EXPECT_EQ(ports[1].uPort, 12u);
    EXPECT_EQ(ports[1].wsName, L"com12");
    EXPECT_EQ(ports[1].wsDesc, L"");
}

TEST(WinPorts, DeviceMapPortsAreListedOnce)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const wchar_t port[] = L"COM43";
    RegSetValueExW(key, L"\\Device\\SxWinTest0", 0, REG_SZ, reinterpret_cast<const BYTE*>(port), sizeof port);
    RegSetValueExW(key, L"\\Device\\SxWinTest1", 0, REG_SZ, reinterpret_cast<const BYTE*>(port), sizeof port);
    const std::vector<_sx_serportinfo> ports = Ports();
    std::wstring report;
    CSXserIO::PortListReport(report);
    RegDeleteValueW(key, L"\\Device\\SxWinTest0");
    RegDeleteValueW(key, L"\\Device\\SxWinTest1");
    RegCloseKey(key);
    int found = 0;
    for (const _sx_serportinfo& p : ports)
        if (p.uPort == 43) {
            ++found;
            EXPECT_EQ(p.wsName, L"COM43");
        }
    EXPECT_EQ(found, 1);
    EXPECT_NE(report.find(L"port : 43 : COM43 : \r\n"), std::wstring::npos);
}

TEST_F(WinSerial, OpensAndSetsTheLineAtEachRate)
{
    struct Case {
        unsigned cfg;
        DWORD baud;
    };
    for (const Case c : {Case{0x03, 9600}, Case{0x00, 115200}, Case{0x08, 230400}, Case{0x0A, 921600}}) {
        LineSerIO io(c.cfg);
        ASSERT_EQ(io.Open(static_cast<unsigned>(SimPort())), 0) << c.cfg;
        EXPECT_EQ(io.DevInfo()->wsName, L"\\\\.\\COM" + std::to_wstring(SimPort()));
        DCB dcb;
        ASSERT_TRUE(io.State(dcb));
        EXPECT_EQ(dcb.BaudRate, c.baud);
        EXPECT_EQ(dcb.ByteSize, 8);
        EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
        EXPECT_EQ(dcb.fDtrControl, static_cast<DWORD>(DTR_CONTROL_ENABLE));
        EXPECT_EQ(dcb.fRtsControl, static_cast<DWORD>(RTS_CONTROL_ENABLE));
        EXPECT_FALSE(dcb.fOutxCtsFlow || dcb.fOutX || dcb.fInX);
        EXPECT_EQ(io.Close(), 0);
        EXPECT_FALSE(io.IsOpen());
    }
}

TEST_F(WinSerial, MissingPortFailsToOpen)
{
    CSXserIO io;
    EXPECT_EQ(io.Open(250), SXIO_SYSERR);
    EXPECT_FALSE(io.IsOpen());
    EXPECT_EQ(io.Open(static_cast<unsigned>(SimPort())), 0);
}

TEST_F(WinSerial, QuietLineTimesOutAfterTheReadTimeout)
{
    CSXserIO io;
    ASSERT_EQ(io.Open(static_cast<unsigned>(SimPort())), 0);
    unsigned char buf[8];
    int len = 8;
    const auto t = Clock::now();
    EXPECT_EQ(io.Read(buf, len, true), SXIO_NORESP);
    const long long ms = MsSince(t);
    EXPECT_EQ(len, 0);
    EXPECT_GE(ms, 90);
    EXPECT_LT(ms, 1000);
}

TEST_F(WinSerial, CommandFramesGoOutAndWholeFramesComeBack)
{
    CSXserIO io;
    ASSERT_EQ(io.Open(static_cast<unsigned>(SimPort())), 0);
    Bytes get = Command(CMD_UNITS, CMD_ACTION_GET);
    int len = static_cast<int>(get.size());
    ASSERT_EQ(io.Write(get.data(), len), 0);
    Bytes answer(1024);
    len = 0;
    ASSERT_EQ(io.Readframe(answer.data(), len), 0);
    answer.resize(static_cast<size_t>(len));
    ASSERT_GE(answer.size(), 28u);
    EXPECT_EQ(Word(answer, 0), static_cast<uint32_t>(SX_PREAMBLE_CMD));
    EXPECT_EQ(answer.size(), 8 + Word(answer, 4));
    EXPECT_TRUE(CSXcmd::ValidateCRCN(answer.data(), static_cast<unsigned>(answer.size())));
}

TEST_F(WinSerial, ContinuousReadingHandsOverEveryFrameInOrder)
{
    CSXserIO io;
    ASSERT_EQ(io.Open(static_cast<unsigned>(SimPort())), 0);
    Collector col;
    io.SetMsgCallback(&Collector::CB, &col);
    ASSERT_EQ(io.ReadCont(), 0);
    const uint32_t on = 0;
    Bytes start = Command(CMD_CONTINUOUS_PNO, CMD_ACTION_SET, &on, sizeof on);
    int len = static_cast<int>(start.size());
    ASSERT_EQ(io.Write(start.data(), len), 0);
    // The SET's answer and more than 240 frames.
    ASSERT_TRUE(WaitUntil([&] { return col.Count() > 241; }, 5000));
    // Stopping wakes the waiting read: the thread ends within its time-out.
    const auto t = Clock::now();
    EXPECT_EQ(io.ReadContStop(), 0);
    EXPECT_LT(MsSince(t), 1000);
    EXPECT_FALSE(io.AsyncReadRunning());

    std::lock_guard<std::mutex> lock(col.mutex);
    uint32_t last = 0;
    size_t pno = 0;
    for (const Bytes& f : col.frames) {
        ASSERT_GE(f.size(), 28u);
        ASSERT_EQ(f.size(), 8 + Word(f, 4));
        ASSERT_TRUE(CSXcmd::ValidateCRCN(f.data(), static_cast<unsigned>(f.size())));
        if (Word(f, 0) != static_cast<uint32_t>(SX_PREAMBLE_PNO))
            continue;
        const uint32_t count = Word(f, SX_OFF_FRAMENUM);
        if (pno++ > 0) {
            EXPECT_EQ(count, last + 1) << "a frame lost or split";
        }
        last = count;
    }
    EXPECT_GT(pno, 240u);
}
