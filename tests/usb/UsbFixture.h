// Tests of the USB transport run the real libusb against emulated devices.
#pragma once

#include "SXlibusb/SXusbIO.h"
#include "testsupport/usbemu/UsbEmu.h"

#include <platform/IoDebug.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Reaches the transport's internals.
struct CSXusbIOTest {
    static const _sx_usbdevinfo& Info(const CSXusbIO& io) { return io.m_info; }
    static libusb_transfer* Xfer(const CSXusbIO& io) { return io.m_parxfer; }
    static void SetXfer(CSXusbIO& io, libusb_transfer* t) { io.m_parxfer = t; }
    static libusb_context* Ctx(const CSXusbIO& io) { return io.m_ctx; }
    static uint32_t ThreadId(const CSXusbIO& io) { return io.m_thidCont; }
    static const std::thread* Thread(const CSXusbIO& io) { return io.m_pthCont; }
    static bool Pending(const CSXusbIO& io) { return io.m_bXferPending; }
    static void SetRunning(CSXusbIO& io, bool on) { io.m_bContRunning = on; }
    static void SetContXferTimeout(CSXusbIO& io, unsigned ms) { io.m_nContXferTimeout = ms; }
    static void SetWriteTimeout(CSXusbIO& io, int ms) { io.m_nWriteTimeout = ms; }
    static int RxCount(CSXusbIO& io)
    {
        std::lock_guard<std::mutex> lock(io.m_mtxRx);
        return io.m_nRxCount;
    }
    static const unsigned char* Store(const CSXusbIO& io) { return io.m_rxStore; }
    static const unsigned char* XferBuf(const CSXusbIO& io) { return io.m_arBuf; }
};

namespace sxtest {

constexpr uint16_t kVid = 0x2A8B;
constexpr uint16_t kPid = 0x0101;

std::vector<uint8_t> Pattern(size_t n, uint8_t seed);
bool Contains(const std::string& text, const std::string& part);
size_t CountOf(const std::string& text, const std::string& part);
// The low 32 bits of an address, as the transport's lines show it.
std::string Addr32(const void* p);

// The data callback's side: every chunk and the thread it came on.
class ChunkSink {
public:
    static void Callback(void* arg, unsigned char* data, unsigned int len);
    bool WaitCount(size_t n, std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));
    std::vector<std::vector<uint8_t>> Chunks();
    std::vector<uint32_t> Threads();

private:
    std::mutex m_mtx;
    std::condition_variable m_cv;
    std::vector<std::vector<uint8_t>> m_chunks;
    std::vector<uint32_t> m_threads;
};

class UsbTest : public ::testing::Test {
protected:
    void SetUp() override { iodbg::BxDebug::BXDSetLevel(0); }
    void TearDown() override { iodbg::BxDebug::BXDSetLevel(0); }

    usbemu::EmulatedDevice& AddTracker(uint16_t maxPacket = 64)
    {
        return m_tb.AddDevice(usbemu::DeviceSpec::Tracker(kVid, kPid, maxPacket));
    }
    // A transport with its trace off.
    static std::unique_ptr<CSXusbIO> NewIO();
    // A transport opened on the tracker.
    static std::unique_ptr<CSXusbIO> OpenIO();
    // Waits until the device holds an IN URB again, i.e. the read transfer
    // went back after its n-th completion.
    static bool WaitResubmitted(const usbemu::EmulatedDevice& dev, int submissions);

    usbemu::UsbTestbed m_tb;
};

} // namespace sxtest
