// TrackerCore: opening and closing a tracker, and closing every open one at
// shut-down. Its items live in TrackerItems.cpp, its P&O in TrackerPno.cpp,
// the simulated tracker in TrackerSim.cpp.
#include "TrackerInternal.h"

#include "Errors.h"
#include "Records.h"

#include <items/Connection.h>

#include <SXCmdIF/SXCmdIF.h>

#include <set>
#include <thread>
#include <vector>

namespace sxpy {

std::atomic<bool> g_finalizing{false};
thread_local const CallbackState* t_inCallback = nullptr;

namespace {

// The open trackers, for closing them at shut-down; changed with the GIL.
std::set<TrackerCore*>& Live()
{
    static auto* live = new std::set<TrackerCore*>; // never destroyed: used up to the end
    return *live;
}

} // namespace

TrackerCore::TrackerCore() = default;

TrackerCore::~TrackerCore()
{
    try {
        Close();
    } catch (...) {
        // A destructor reports nothing; Close only refuses inside the callback.
    }
}

void TrackerCore::RequireOpen() const
{
    if (!m_dev)
        throw py::value_error("the tracker is closed");
}

void TrackerCore::RequireNotInCallback(const char* what) const
{
    // The reading thread that runs the callback is the one that would take
    // the answer in: the command could only time out.
    if (t_inCallback == &m_cb)
        throw std::runtime_error(std::string(what) +
                                 ": no command can be answered from the frame callback (it holds the reading thread)");
}

void TrackerCore::RequireNoCallback() const
{
    if (m_cb.fn)
        throw py::value_error("frames go to the on_frame callback, not to the queue; remove it with on_frame(None)");
}

int TrackerCore::Connect(const std::function<int(void* ctx, void*& dev)>& connect)
{
    if (m_ctx)
        return E_SX_SUCCESS; // refused by the caller before
    void* ctx = nullptr;
    int r = sxcmdif_init(&ctx);
    if (r != 0)
        return r;
    void* dev = nullptr;
    r = connect(ctx, dev);
    if (r != 0) {
        // A USB device whose first commands failed stays registered: the
        // context's release takes it along.
        sxcmdif_release(ctx);
        return r;
    }
    m_ctx = ctx;
    m_dev = dev;
    m_connect = connect;
    sxdev_tsenable(ctx, dev, true);
    return 0;
}

void TrackerCore::Opened(const std::string& kind, int timeoutMs)
{
    m_kind = kind;
    Live().insert(this);
    SetTimeoutMs(py::int_(timeoutMs));
}

void TrackerCore::OpenUsb(uint32_t tag, int pid, int timeoutMs, const std::string& serial)
{
    if (m_ctx)
        throw py::value_error("the tracker is already open");
    const uint16_t product = pid >= 0 ? static_cast<uint16_t>(pid) : (tag != 0 ? PID_Q7_TAG : PID_SORIX);
    const auto seen = std::make_shared<std::vector<_WHOAMI_STRUCT>>();
    int r;
    {
        py::gil_scoped_release nogil;
        std::unique_lock<std::shared_mutex> lock(m_use);
        // Kept for a new connection after a lost line: nothing by reference.
        r = Connect([tag, product, serial, seen](void* ctx, void*& dev) {
            if (!serial.empty()) {
                seen->clear();
                return sxitems::ConnectUsbSerial(ctx, dev, serial, *seen);
            }
            return tag != 0 ? sxctx_connectusbtag(ctx, dev, product, tag) : sxctx_connectusb(ctx, dev, product);
        });
    }
    if (r != 0 && !serial.empty()) {
        const std::string what = "connect the USB tracker with serial number " + serial +
                                 " (the trackers there are: " + sxitems::SerialNumbers(*seen) + ")";
        Raise(r, what.c_str());
    }
    Check(r, "connect USB");
    Opened(tag != 0 ? "usb tag " + std::to_string(tag) : serial.empty() ? "usb" : "usb " + serial, timeoutMs);
}

void TrackerCore::OpenHub(int timeoutMs)
{
    if (m_ctx)
        throw py::value_error("the tracker is already open");
    int r;
    {
        py::gil_scoped_release nogil;
        std::unique_lock<std::shared_mutex> lock(m_use);
        r = Connect([](void* ctx, void*& dev) { return sxctx_connectusb_q7p(ctx, dev, 0); });
    }
    Check(r, "connect USB hub");
    Opened("usb hub", timeoutMs);
}

void TrackerCore::OpenSerial(int port, py::object cfg, int timeoutMs, int retries)
{
    if (m_ctx)
        throw py::value_error("the tracker is already open");
    _SERIAL_CONFIG word = CSerialCfg::Default;
    if (!cfg.is_none())
        Ops(RecordKind::SerialConfig).store(cfg, &word);
    int r;
    {
        py::gil_scoped_release nogil;
        std::unique_lock<std::shared_mutex> lock(m_use);
        const int sercfg = static_cast<int>(word.sercfg);
        r = Connect([port, sercfg, retries](void* ctx, void*& dev) {
            return sxitems::ConnectSerialRetried(ctx, dev, port, sercfg, retries);
        });
    }
    Check(r, port > 0 ? ("connect serial port " + std::to_string(port)).c_str() : "connect serial");
    Opened(port > 0 ? "serial port " + std::to_string(port) : "serial", timeoutMs);
}

void TrackerCore::Close()
{
    if (t_inCallback == &m_cb)
        throw std::runtime_error("a tracker cannot be closed from its own frame callback");
    m_cb.fn = py::object();
    {
        py::gil_scoped_release nogil;
        {
            std::shared_lock<std::shared_mutex> lock(m_use);
            if (m_dev)
                sxdev_SetPnoCallback(m_ctx, m_dev, nullptr, nullptr);
        }
        // A callback under way finishes first (it may still use the tracker).
        while (m_cb.inflight.load() != 0)
            std::this_thread::sleep_for(kPollSleep);
        std::unique_lock<std::shared_mutex> lock(m_use);
        if (m_dev) {
            sxcmd_dev_contpno(m_ctx, m_dev, CMD_ACTION_RESET, nullptr, 0);
            sxctx_dev_release(m_ctx, m_dev);
        }
        if (m_ctx)
            sxcmdif_release(m_ctx);
        m_dev = nullptr;
        m_ctx = nullptr;
        m_streaming = false;
        m_connect = nullptr;
        // The simulated tracker goes after the device that spoke to it.
        m_sim.reset();
    }
    Live().erase(this);
}

void TrackerCore::ShutDownAll()
{
    g_finalizing.store(true);
    const std::set<TrackerCore*> open = Live();
    for (TrackerCore* t : open) {
        try {
            t->Close();
        } catch (...) {
            // Nothing to report to at shut-down.
        }
    }
}

} // namespace sxpy
