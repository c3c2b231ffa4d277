// A simulated tracker behind one transport, and the fixture that connects
// it through a context. The typed tests run each body over both links.
#pragma once

#include <SXCmdIF/SXCmdIF.h>
#include <SXCmdIF/SXCmdIFdev.h>
#include <simulator/SimTracker.h>
#include "testsupport/simusb/SimUsb.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

namespace sxtest {

inline uint32_t Le32(const unsigned char* p, size_t off = 0)
{
    return uint32_t(p[off]) | uint32_t(p[off + 1]) << 8 | uint32_t(p[off + 2]) << 16 | uint32_t(p[off + 3]) << 24;
}

inline sxsim::SimConfig Config(uint16_t pid = PID_SORIX)
{
    sxsim::SimConfig cfg;
    cfg.seuid = 7;
    cfg.sensors = 2;
    cfg.pid = pid;
    return cfg;
}

struct SerialLink {
    static constexpr bool kUsb = false;
    std::unique_ptr<sxsim::SerialSim> sim;

    bool Start(const sxsim::SimConfig& cfg)
    {
        sim = sxsim::SerialSim::Start(cfg);
        if (!sim)
            return false;
        setenv("SXSERIO_PORTS", sim->SlavePath().c_str(), 1);
        return true;
    }
    // The serial connection allows its first answers only 50 ms; a loaded
    // machine (sanitizers, parallel tests) may miss that now and then.
    int Connect(void* ctx, void*& dev)
    {
        int r = sxctx_connectser(ctx, dev, 1, 0);
        for (int i = 0; i < 2 && r != E_SX_SUCCESS; ++i)
            r = sxctx_connectser(ctx, dev, 1, 0);
        return r;
    }
    void SetFaults(const sxsim::FaultConfig& f) { sim->SetFaults(f); }
    sxsim::SimStats Stats() const { return sim->Stats(); }
    sxsim::SimUnit& Unit() { return sim->Unit(); }
    void Vanish() { sim->CloseLine(); }
    void Stop() { sim.reset(); }
};

struct UsbLink {
    static constexpr bool kUsb = true;
    std::unique_ptr<usbemu::UsbTestbed> bed = std::make_unique<usbemu::UsbTestbed>();
    std::unique_ptr<sxsim::UsbSim> sim;

    bool Start(const sxsim::SimConfig& cfg)
    {
        sim = sxsim::UsbSim::Start(*bed, cfg);
        return sim != nullptr;
    }
    int Connect(void* ctx, void*& dev) { return sxctx_connectusb(ctx, dev, PID_SORIX); }
    void SetFaults(const sxsim::FaultConfig& f) { sim->SetFaults(f); }
    sxsim::SimStats Stats() const { return sim->Stats(); }
    sxsim::SimUnit& Unit() { return sim->Unit(); }
    void Vanish() { sim->Unplug(); }
    void Stop() { sim.reset(); }
};

template <class Link>
class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(link.Start(Config()));
        ASSERT_EQ(sxcmdif_init(&ctx), E_SX_SUCCESS);
        ASSERT_EQ(link.Connect(ctx, dev), E_SX_SUCCESS);
        // Room for a loaded machine; tests of the time-out set it back.
        ASSERT_EQ(sxdev_timeoutms(ctx, dev, 0, kPatientMs), E_SX_SUCCESS);
    }
    static constexpr int kPatientMs = 1000;
    void TearDown() override
    {
        if (ctx)
            sxcmdif_release(ctx);
        link.Stop();
    }
    uint64_t Answered() const { return link.Stats().commandsAnswered; }
    // Waits until at least n P&O frames are queued.
    bool WaitQueued(unsigned n, int ms = 3000)
    {
        for (int i = 0; i < ms; i += 5) {
            unsigned frames = 0;
            int bytes = 0;
            if (sxctx_dev_fifo_unread_count(ctx, dev, &frames, &bytes) == E_SX_SUCCESS && frames >= n)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }
    // The simulator takes new faults when its thread next wakes: give it
    // the moment before the next command.
    void SetFaults(const sxsim::FaultConfig& f)
    {
        link.SetFaults(f);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    int StartStream() { return sxcmd_dev_contpno(ctx, dev, CMD_ACTION_SET, nullptr, 0); }
    int StopStream() { return sxcmd_dev_contpno(ctx, dev, CMD_ACTION_RESET, nullptr, 0); }

    Link link;
    void* ctx = nullptr;
    void* dev = nullptr;
};

using Links = ::testing::Types<SerialLink, UsbLink>;

struct LinkNames {
    template <class T>
    static std::string GetName(int)
    {
        return T::kUsb ? "usb" : "serial";
    }
};

} // namespace sxtest
