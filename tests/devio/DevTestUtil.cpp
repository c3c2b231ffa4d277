#include "DevTestUtil.h"

#include <SXCmdIF/protocol/SXcmd.h>
#include <SXCmdIF/protocol/SXusbIds.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <poll.h>
#include <unistd.h>

namespace sxtest {

uint32_t Word(const unsigned char* p, size_t off)
{
    return static_cast<uint32_t>(p[off]) | static_cast<uint32_t>(p[off + 1]) << 8 |
           static_cast<uint32_t>(p[off + 2]) << 16 | static_cast<uint32_t>(p[off + 3]) << 24;
}

void PutWord(unsigned char* p, size_t off, uint32_t w)
{
    for (int i = 0; i < 4; ++i)
        p[off + i] = static_cast<unsigned char>(w >> (8 * i));
}

Bytes CmdFrame(uint32_t cmd, uint32_t action, uint32_t seuid, const Bytes& payload)
{
    CSXcmd c(SX_PREAMBLE_CMD);
    c.Fill(seuid, cmd, action, 0, 0, payload.data(), static_cast<unsigned>(payload.size()));
    Bytes out(c.FrameLen());
    int len = 0;
    c.Prepare(out.data(), len, static_cast<unsigned>(out.size()));
    out.resize(static_cast<size_t>(len));
    return out;
}

void FixCrc(Bytes& f)
{
    const uint32_t covered = Word(f.data(), 4) + 4;
    PutWord(f.data(), covered, CSXcmd::CalcCRC_Bytes(f.data(), covered));
}

Bytes PnoFrame(uint32_t frameNum, unsigned n, uint32_t snscnt, uint32_t seuid)
{
    const uint32_t size = SX_PNO_SIZE_MIN + n * SX_PNO_SENSOR_LEN;
    Bytes f(size + 8, 0);
    PutWord(f.data(), 0, SX_PREAMBLE_PNO);
    PutWord(f.data(), 4, size);
    PutWord(f.data(), 8, seuid);
    PutWord(f.data(), 12, frameNum);
    PutWord(f.data(), 16, 0);
    PutWord(f.data(), 20, snscnt == ~0u ? n : snscnt);
    for (unsigned k = 0; k < n; ++k)
        PutWord(f.data(), 24 + k * SX_PNO_SENSOR_LEN, k);
    FixCrc(f);
    return f;
}

namespace {

// The tracker's end of a pseudo-terminal: a thread reads what the port
// writes, frame by frame, and answers.
class SerialLink : public Link {
public:
    SerialLink()
    {
        setenv("SXSERIO_PORTS", m_peer.Path().c_str(), 1);
        dev = new (std::nothrow) CSXdevIO(nullptr);
        EXPECT_EQ(dev->ConnectSer(1, 0), 0);
        m_thread = std::thread([this] { Run(); });
    }
    ~SerialLink() override
    {
        m_stop = true;
        m_thread.join();
        delete dev;
    }
    void SetAnswerer(Answerer a) override
    {
        std::lock_guard<std::mutex> lock(m_mtx);
        m_answer = std::move(a);
    }
    void Push(const Bytes& unit) override { m_peer.Send(unit); }
    const char* Name() const override { return "serial"; }

private:
    void Run()
    {
        Bytes in;
        while (!m_stop) {
            pollfd p{m_peer.MasterFd(), POLLIN, 0};
            if (poll(&p, 1, 10) <= 0)
                continue;
            unsigned char buf[4096];
            const ssize_t n = read(m_peer.MasterFd(), buf, sizeof buf);
            if (n <= 0)
                continue;
            in.insert(in.end(), buf, buf + n);
            while (in.size() >= 8 && in.size() >= Word(in.data(), 4) + 8u) {
                Bytes req(in.begin(), in.begin() + Word(in.data(), 4) + 8);
                in.erase(in.begin(), in.begin() + static_cast<long>(req.size()));
                Answer a;
                {
                    std::lock_guard<std::mutex> lock(m_mtx);
                    if (m_answer)
                        a = m_answer(req);
                }
                if (a.delayMs)
                    std::this_thread::sleep_for(std::chrono::milliseconds(a.delayMs));
                if (!a.bytes.empty())
                    m_peer.Send(a.bytes);
            }
        }
    }

    PtyPeer m_peer;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::mutex m_mtx;
    Answerer m_answer;
};

// The emulated USB tracker: each OUT transfer is one command.
class UsbLink : public Link {
public:
    UsbLink() : m_usb(m_tb.AddDevice(usbemu::DeviceSpec::Tracker(VID_MAKER, PID_SORIX)))
    {
        m_usb.SetOutHandler([this](const uint8_t* data, size_t len) { OnOut(Bytes(data, data + len)); });
        dev = new (std::nothrow) CSXdevIO(nullptr);
        EXPECT_EQ(dev->ConnectUSB(VID_MAKER, PID_SORIX), 0);
    }
    ~UsbLink() override
    {
        delete dev;
        std::lock_guard<std::mutex> lock(m_mtx);
        for (auto& t : m_late)
            t.join();
    }
    void SetAnswerer(Answerer a) override
    {
        std::lock_guard<std::mutex> lock(m_mtx);
        m_answer = std::move(a);
    }
    void Push(const Bytes& unit) override { m_usb.QueueIn(unit); }
    const char* Name() const override { return "usb"; }
    usbemu::UsbTestbed& Testbed() { return m_tb; }
    usbemu::EmulatedDevice& Device() { return m_usb; }

private:
    void OnOut(const Bytes& req)
    {
        std::lock_guard<std::mutex> lock(m_mtx);
        if (!m_answer || req.empty())
            return;
        Answer a = m_answer(req);
        if (a.bytes.empty())
            return;
        if (!a.delayMs) {
            m_usb.QueueIn(a.bytes);
            return;
        }
        m_late.emplace_back([this, a] {
            std::this_thread::sleep_for(std::chrono::milliseconds(a.delayMs));
            m_usb.QueueIn(a.bytes);
        });
    }

    usbemu::UsbTestbed m_tb;
    usbemu::EmulatedDevice& m_usb;
    std::mutex m_mtx;
    Answerer m_answer;
    std::vector<std::thread> m_late;
};

} // namespace

std::unique_ptr<Link> NewSerialLink()
{
    return std::make_unique<SerialLink>();
}

std::unique_ptr<Link> NewUsbLink()
{
    return std::make_unique<UsbLink>();
}

int Exchange(CSXdevIO& dev, uint32_t cmd, CFrameInfo& response, uint32_t action)
{
    static thread_local Bytes tx;
    tx = CmdFrame(cmd, action);
    CFrameInfo req(tx.data(), static_cast<unsigned>(tx.size()));
    return dev.CmdIO(req, response, true);
}

bool WaitPnoCount(CSXdevIO& dev, unsigned n, int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        unsigned frames = 0;
        int bytes = 0;
        dev.FIFOPnoCount(frames, bytes);
        if (frames >= n)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

size_t CmdQueueSize(CSXdevIO& dev)
{
    std::lock_guard<std::mutex> lock(CSXdevIOTest::CmdQueueLock(dev));
    return CSXdevIOTest::CmdQueue(dev).size();
}

} // namespace sxtest
