// The viewer's server: one thread (the caller's) runs the connections, the
// frames' road to the browsers and a housekeeping tick; the controls run on
// a thread of their own (Controller); the device's reading thread only
// hands frames over (PoseFeed).
#include "viewer/SXviewer.h"

#include "viewer/Beast.h"
#include "viewer/Controller.h"
#include "viewer/HttpSession.h"
#include "viewer/Hub.h"
#include "viewer/PoseFeed.h"

#include <frames/FramePeriod.h>

#include <SXCmdIF/SXCmdIF.h>

#include <boost/asio/io_context.hpp>
#include <boost/asio/steady_timer.hpp>

#include <chrono>
#include <memory>

namespace sxviewer {

namespace {

constexpr auto kTick = std::chrono::milliseconds(100); // the stop flag, stalled browsers
constexpr auto kAcceptPause = std::chrono::milliseconds(100);
constexpr int kStopAttempts = 3;

class Server {
public:
    Server(void* ctx, void* dev, const ViewOptions& o, const std::atomic<bool>& stop, std::FILE* out)
        : m_ctx(ctx), m_dev(dev), m_opt(o), m_stopFlag(stop), m_out(out), m_stats(o.stats ? *o.stats : m_ownStats),
          m_acceptor(m_io), m_tick(m_io), m_acceptPause(m_io)
    {
    }
    ~Server() { ShutDown(); }

    int Run();

private:
    int Listen();
    void Accept();
    void OnAccept(beast::error_code ec, tcp::socket socket);
    void Tick();
    void Stop();
    void ShutDown();
    // The callback and continuous output on dev (the first device, or a new
    // connection's, then on the control thread).
    int StartOutput(void* dev);

    void* m_ctx;
    void* m_dev;
    const ViewOptions& m_opt;
    const std::atomic<bool>& m_stopFlag;
    std::FILE* m_out;
    ViewStats m_ownStats;
    ViewStats& m_stats;

    net::io_context m_io{1};
    tcp::acceptor m_acceptor;
    net::steady_timer m_tick;
    net::steady_timer m_acceptPause;
    std::shared_ptr<Hub> m_hub;
    std::unique_ptr<PoseFeed> m_feed;
    std::unique_ptr<sxframes::StreamGuard> m_guard;
    std::unique_ptr<Controller> m_controls;
    bool m_callbackInstalled = false;
    bool m_outputStarted = false;
    bool m_stopping = false;
};

int Server::Listen()
{
    beast::error_code ec;
    const net::ip::address address = net::ip::make_address(m_opt.bindAddress, ec);
    if (ec)
        return -1;
    const tcp::endpoint endpoint(address, static_cast<unsigned short>(m_opt.port));
    m_acceptor.open(endpoint.protocol(), ec);
    if (!ec)
        m_acceptor.set_option(net::socket_base::reuse_address(true), ec);
    if (!ec)
        m_acceptor.bind(endpoint, ec);
    if (!ec)
        m_acceptor.listen(net::socket_base::max_listen_connections, ec);
    if (ec)
        return -1;
    return m_acceptor.local_endpoint().port();
}

void Server::Accept()
{
    m_acceptor.async_accept(m_io, beast::bind_front_handler(&Server::OnAccept, this));
}

void Server::OnAccept(beast::error_code ec, tcp::socket socket)
{
    if (m_stopping)
        return;
    if (ec) {
        // Out of descriptors, most likely: a pause rather than a spin.
        m_acceptPause.expires_after(kAcceptPause);
        m_acceptPause.async_wait([this](beast::error_code e) {
            if (!e && !m_stopping)
                Accept();
        });
        return;
    }
    // Every slot taken: the oldest plain HTTP connection makes room.
    if (m_stats.connections.load() >= m_opt.maxConnections && !m_hub->EvictConnection()) {
        m_stats.connectionsRefused.fetch_add(1);
        socket.close(ec);
    } else {
        socket.set_option(tcp::no_delay(true), ec);
        if (m_opt.sendBufferBytes > 0)
            socket.set_option(net::socket_base::send_buffer_size(m_opt.sendBufferBytes), ec);
        std::make_shared<HttpSession>(std::move(socket), m_hub, ConnectionSlot(&m_stats))->Start();
    }
    Accept();
}

void Server::Tick()
{
    if (m_stopFlag.load()) {
        Stop();
        return;
    }
    m_hub->CloseStalled(NowNs());
    m_tick.expires_after(kTick);
    m_tick.async_wait([this](beast::error_code ec) {
        if (!ec)
            Tick();
    });
}

// Everything ends; io_context.run() returns once the last handler has.
void Server::Stop()
{
    m_stopping = true;
    beast::error_code ec;
    m_acceptor.close(ec);
    m_acceptPause.cancel();
    m_tick.cancel();
    m_feed->Stop();
    // The control thread may be waiting for the tracker: what it posts
    // after this finds no browser.
    m_controls->Stop();
    m_hub->CloseAll();
}

int Server::StartOutput(void* dev)
{
    m_dev = dev;
    int rc = sxdev_SetPnoCallback(m_ctx, m_dev, &sxframes::FrameHandoff::Callback, &m_feed->Handoff());
    if (rc != E_SX_SUCCESS)
        return rc;
    m_callbackInstalled = true;
    // Damaged frames come marked, to be counted apart, not shown.
    sxdev_pnofrmerr_allow(m_ctx, m_dev, true);
    rc = sxcmd_dev_contpno(m_ctx, m_dev, CMD_ACTION_SET, nullptr, 0);
    m_outputStarted = rc == E_SX_SUCCESS;
    return rc;
}

int Server::Run()
{
    PageFiles files;
    std::string error;
    if (!files.Load(m_opt.pageDir.empty() ? DefaultPageDir() : m_opt.pageDir, error)) {
        if (m_out)
            std::fprintf(m_out, "%s\n", error.c_str());
        return -2;
    }
    m_hub = std::make_shared<Hub>(m_io, m_opt, m_stats, std::move(files));
    const int port = Listen();
    if (port < 0)
        return -1;
    m_hub->SetPort(port);
    m_feed = std::make_unique<PoseFeed>(*m_hub, m_opt.displayHz, m_out);
    if (!m_feed->Open())
        return -1;

    const int rc = StartOutput(m_dev);
    if (rc != E_SX_SUCCESS) {
        ShutDown();
        return rc;
    }
    m_feed->SetFramePeriodNs(sxframes::ReadFramePeriodNs(m_ctx, m_dev));
    m_guard = std::make_unique<sxframes::StreamGuard>(m_ctx, m_dev, m_opt.guard, m_opt.reconnect,
                                                      [this](void* dev) { return StartOutput(dev); });
    m_guard->Begin(NowNs());
    m_feed->Watch(m_guard.get());

    m_controls = std::make_unique<Controller>(m_ctx, *m_guard, *m_hub, *m_feed, m_out);
    m_hub->SetControls(m_controls.get());
    m_controls->Start(true);
    m_feed->Start();
    Accept();
    Tick();
    if (m_opt.boundPort)
        m_opt.boundPort->store(port);
    if (m_out) {
        const std::string host = m_opt.bindAddress == "0.0.0.0" ? "localhost" : m_opt.bindAddress;
        std::fprintf(m_out, "viewer at http://%s:%d/\n", host.c_str(), port);
        std::fflush(m_out);
    }
    m_io.run();
    ShutDown();
    return 0;
}

void Server::ShutDown()
{
    if (m_controls) {
        m_controls->Stop();
        m_hub->SetControls(nullptr);
    }
    // The output first, then the callback: the frames already on their way
    // still reach the recording.
    if (m_outputStarted) {
        for (int attempt = 0; attempt < kStopAttempts; ++attempt)
            if (sxcmd_dev_contpno(m_ctx, m_dev, CMD_ACTION_RESET, nullptr, 0) == E_SX_SUCCESS)
                break;
        m_outputStarted = false;
    }
    if (m_callbackInstalled) {
        sxdev_SetPnoCallback(m_ctx, m_dev, nullptr, nullptr);
        m_feed->Handoff().Close();
        m_feed->Handoff().WaitIdle();
        m_callbackInstalled = false;
        m_feed->Finish();
    }
}

} // namespace

int View(void* ctx, void* dev, const ViewOptions& options, const std::atomic<bool>& stop, std::FILE* out)
{
    try {
        Server server(ctx, dev, options, stop, out);
        return server.Run();
    } catch (const std::bad_alloc&) {
        return E_SXERR_MEMORY_ALLOCATION;
    } catch (const std::exception& e) {
        if (out)
            std::fprintf(out, "viewer failed: %s\n", e.what());
        return -1;
    }
}

} // namespace sxviewer
