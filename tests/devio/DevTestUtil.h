// Shared pieces of the device object's tests: frame building, and a device
// connected over a pseudo-terminal or the emulated USB tracker whose peer
// answers commands as the tracker would.
#pragma once

#include "SXdevIO.h"
#include <testsupport/pty/PtyPeer.h>
#include <testsupport/usbemu/UsbEmu.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Reaches the device object's internals: the stores' write positions, the
// queues and the wake-ups.
struct CSXdevIOTest {
    static uint32_t& PnoWriteOff(CSXdevIO& d) { return d.m_nPnoWriteOff; }
    static unsigned char*& PnoWrite(CSXdevIO& d) { return d.m_pPnoWrite; }
    static unsigned char* PnoStore(CSXdevIO& d) { return d.m_PnoStore; }
    static uint32_t& CmdWriteOff(CSXdevIO& d) { return d.m_nCmdWriteOff; }
    static unsigned char*& CmdWrite(CSXdevIO& d) { return d.m_pCmdWrite; }
    static unsigned char* CmdStore(CSXdevIO& d) { return d.m_CmdStore; }
    static std::mutex& CmdQueueLock(CSXdevIO& d) { return d.m_mtxRxCmdQ; }
    static sxdev::FrameRing<CSXdevIO::kQueueBound>& CmdQueue(CSXdevIO& d) { return d.queRxCmdFrames; }
    static std::mutex& PnoWaitLock(CSXdevIO& d) { return d.m_mtxPnoWait; }
    static std::atomic<bool>& NewPnoReady(CSXdevIO& d) { return d.m_bNewRxPnoReady; }
    static std::condition_variable& PnoWake(CSXdevIO& d) { return d.m_cvRxPno; }
    static int TraceLev(const CSXdevIO& d) { return d.m_nTraceLev; }
    static bool ValidatesSensor(const CSXdevIO& d) { return d.m_bPnoValidateSensor.load(); }
};

namespace sxtest {

// A command frame with its CRC; only a SET carries the payload.
Bytes CmdFrame(uint32_t cmd, uint32_t action, uint32_t seuid = 1, const Bytes& payload = {});
// A P&O frame of n sensor records numbered 0..n-1 (snscnt may claim more
// than are present), with its CRC.
Bytes PnoFrame(uint32_t frameNum, unsigned n = 1, uint32_t snscnt = ~0u, uint32_t seuid = 1);
// Writes the CRC again after the bytes were changed.
void FixCrc(Bytes& frame);
uint32_t Word(const unsigned char* p, size_t off);
void PutWord(unsigned char* p, size_t off, uint32_t w);

// What the peer sends for a received command frame, after delayMs.
struct Answer {
    Bytes bytes;
    int delayMs = 0;
};
using Answerer = std::function<Answer(const Bytes& request)>;

// One connected device and the tracker's end of its line.
class Link {
public:
    virtual ~Link() = default;
    CSXdevIO* dev = nullptr;
    // Each command the device writes is answered by this (empty: silence).
    virtual void SetAnswerer(Answerer a) = 0;
    // Unsolicited bytes from the tracker, one unit.
    virtual void Push(const Bytes& unit) = 0;
    virtual const char* Name() const = 0;
};

std::unique_ptr<Link> NewSerialLink();
std::unique_ptr<Link> NewUsbLink();

// Sends cmd, answered by the answerer, and returns CmdIO's result.
int Exchange(CSXdevIO& dev, uint32_t cmd, CFrameInfo& response, uint32_t action = 1 /* GET */);

// Waits until the P&O queue holds n frames (at most ms).
bool WaitPnoCount(CSXdevIO& dev, unsigned n, int ms = 3000);
size_t CmdQueueSize(CSXdevIO& dev);

} // namespace sxtest
