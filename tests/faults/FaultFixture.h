// A context with serial devices on simulated trackers, and the ways the
// fault tests read P&O frames.
#pragma once

#include "testsupport/SimLink.h"

#include <gtest/gtest.h>

#include <SXCmdIF/protocol/SXframe.h>

#include <thread>
#include <vector>

namespace sxfault {

struct Received {
    uint32_t framenum;
    uint32_t hpinfo;
    uint32_t snscnt;
    uint32_t length;
};

class SimFixture : public ::testing::Test {
protected:
    // n serial trackers with cfg; device i on port i + 1.
    void Start(int n, sxsim::SimConfig cfg = {})
    {
        sims = StartSerial(n, cfg);
        ASSERT_EQ(static_cast<int>(sims.size()), n);
        ASSERT_EQ(sxcmdif_init(&ctx), 0);
        devs.assign(static_cast<size_t>(n), nullptr);
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(sxctx_connectser(ctx, devs[static_cast<size_t>(i)], i + 1, 0), 0);
    }
    void TearDown() override
    {
        if (ctx) {
            EXPECT_EQ(sxcmdif_release(ctx), 0);
        }
        ctx = nullptr;
        sims.clear();
    }
    int Stream(void* dev, bool on)
    {
        return sxcmd_dev_contpno(ctx, dev, on ? CMD_ACTION_SET : CMD_ACTION_RESET, nullptr, 0);
    }
    // Every queued frame, oldest first.
    void Drain(void* dev, std::vector<Received>& out)
    {
        _sxFrameInfo f{};
        while (sxctx_dev_fifopnofraw(ctx, dev, &f) == 0) {
            EXPECT_GE(f.frameLen, 28u);
            using sxwire::GetLE32;
            out.push_back({GetLE32(f.pFrame + SX_OFF_FRAMENUM), GetLE32(f.pFrame + SX_OFF_HPINFO),
                           GetLE32(f.pFrame + SX_OFF_SNSCNT), f.frameLen});
        }
    }
    // Reads for ms milliseconds, then stops the stream and takes what is
    // still on its way.
    std::vector<Received> StreamFor(void* dev, int ms)
    {
        std::vector<Received> got;
        EXPECT_EQ(Stream(dev, true), 0);
        const auto end = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < end) {
            Drain(dev, got);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        StopAndDrain(dev, got);
        return got;
    }
    void StopAndDrain(void* dev, std::vector<Received>& got)
    {
        // The stop's answer may queue behind frames still in flight.
        int r = 1;
        for (int i = 0; i < 5 && r != 0; ++i)
            r = Stream(dev, false);
        EXPECT_EQ(r, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        Drain(dev, got);
    }

    std::vector<std::unique_ptr<sxsim::SerialSim>> sims;
    void* ctx = nullptr;
    std::vector<void*> devs;
};

} // namespace sxfault
