// The server against the simulated tracker on a pseudo-terminal, connected
// through the library's exported interface, on a free port of the loopback.
#pragma once

#include "IgtlTestClient.h"
#include "testsupport/FileText.h"

#include <igtl/SXigtl.h>
#include <simulator/SimTracker.h>

#include <SXCmdIF/SXCmdIF.h>

#include <igtlTransformMessage.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <thread>

namespace igtltest {

using namespace std::chrono_literals;

constexpr int kSensors = 4;

// GET_TDATA has no class of its own in this OpenIGTLink.
class GetTrackingDataMessage : public igtl::HeaderOnlyMessageBase {
public:
    typedef GetTrackingDataMessage Self;
    typedef igtl::SmartPointer<Self> Pointer;
    igtlNewMacro(GetTrackingDataMessage);

protected:
    GetTrackingDataMessage() { m_DefaultBodyType = "GET_TDATA"; }
};

inline double WallNow()
{
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

class IgtlServe : public ::testing::Test {
protected:
    // Starts the simulator (static poses), connects it, sets the units and
    // starts the server on a free port.
    void Start(uint32_t posUnits = POS_INCH, uint32_t oriUnits = ORI_EULER_DEGREE, bool accel = false)
    {
        sxsim::SimConfig cfg;
        cfg.sensors = kSensors;
        cfg.rateHz = 240;
        cfg.staticPose = true;
        cfg.accelRecords = accel;
        std::string err;
        m_sim = sxsim::SerialSim::Start(cfg, &err);
        ASSERT_TRUE(m_sim) << err;
        setenv("SXSERIO_PORTS", m_sim->SlavePath().c_str(), 1);
        ASSERT_EQ(sxcmdif_init(&m_ctx), 0);
        ASSERT_NO_FATAL_FAILURE(Connect());
        _UNITS_CONFIG units{posUnits, oriUnits};
        ASSERT_EQ(sxcmd_dev_units(m_ctx, m_dev, CMD_ACTION_SET, &units), 0);
        ASSERT_NO_FATAL_FAILURE(StartServer());
    }

    // Connecting waits 50 ms for the unit's answers; a loaded machine can
    // take longer (and a late answer then spoils the next try), so it gets
    // a few tries. Afterwards commands wait 1 s.
    void Connect()
    {
        int r = -1;
        for (int i = 0; i < 4 && r != 0; ++i) {
            if (i > 0)
                std::this_thread::sleep_for(200ms);
            r = sxctx_connectser(m_ctx, m_dev, 1, 0);
        }
        ASSERT_EQ(r, 0);
        ASSERT_EQ(sxdev_timeoutms(m_ctx, m_dev, 0, 1000), 0);
    }

    // Starts (or starts again, with the options changed) the server.
    void StartServer()
    {
        StopServer();
        m_stop = false;
        m_port = 0;
        m_result = 1000;
        if (m_log)
            std::fclose(m_log);
        m_opt.port = 0;
        m_opt.boundPort = &m_port;
        m_opt.stats = &m_stats;
        m_log = std::tmpfile();
        ASSERT_NE(m_log, nullptr);
        m_thread = std::thread([this] { m_result = sxigtl::Serve(m_ctx, m_dev, m_opt, m_stop, m_log); });
        const auto until = std::chrono::steady_clock::now() + 5s;
        while (m_port.load() == 0 && std::chrono::steady_clock::now() < until && m_result == 1000)
            std::this_thread::sleep_for(5ms);
        ASSERT_NE(m_port.load(), 0) << "server did not start: " << m_result;
    }

    int StopServer()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        return m_result;
    }

    std::string Log() { return sxtest::FileText(m_log); }

    void TearDown() override
    {
        StopServer();
        if (m_ctx)
            sxcmdif_release(m_ctx);
        m_sim.reset();
        if (m_log)
            std::fclose(m_log);
    }

    // Receives TRANSFORMs until every sensor has had one; checks their CRCs.
    std::map<std::string, Received> OneOfEachSensor(Client& c)
    {
        std::map<std::string, Received> got;
        Received r;
        while (got.size() < static_cast<size_t>(kSensors) && c.NextOf("TRANSFORM", r)) {
            EXPECT_TRUE(r.CrcOk()) << r.name;
            got[r.name] = r;
        }
        return got;
    }

    static void MatrixOf(const Received& r, igtl::Matrix4x4& m)
    {
        auto* t = static_cast<igtl::TransformMessage*>(r.msg.GetPointer());
        t->GetMatrix(m);
    }

    std::unique_ptr<sxsim::SerialSim> m_sim;
    void* m_ctx = nullptr;
    void* m_dev = nullptr;
    sxigtl::ServeOptions m_opt;
    sxigtl::ServeStats m_stats;
    std::atomic<int> m_port{0};
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_result{1000};
    std::thread m_thread;
    std::FILE* m_log = nullptr;
};

} // namespace igtltest
