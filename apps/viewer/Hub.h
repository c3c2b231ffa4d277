// What the viewer's sessions share, on the server's thread: the options,
// the counters, the page's files, the connections and browsers open, and the
// messages every browser gets (the greeting, the tracker's state, the
// newest poses). Only the server's thread touches it.
#pragma once

#include "viewer/PageFiles.h"
#include "viewer/SXviewer.h"

#include <boost/asio/io_context.hpp>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace sxviewer {

namespace net = boost::asio;

// A message as sent: built once, shared by every browser it goes to.
using Text = std::shared_ptr<const std::string>;

class Controller;
class HttpSession;
class WsSession;

class Hub {
public:
    Hub(net::io_context& io, const ViewOptions& options, ViewStats& stats, PageFiles files);

    net::io_context& Io() { return m_io; }
    const ViewOptions& Options() const { return m_opt; }
    ViewStats& Stats() { return m_stats; }
    const PageFiles& Files() const { return m_files; }
    void SetPort(int port) { m_port = port; }

    // Whether a request's Host names this server: an IP address, localhost
    // or this machine's name, with the port it listens on. Names that could
    // point anywhere (DNS rebinding) are refused.
    bool HostAllowed(const std::string& host) const;
    // Whether a WebSocket's Origin is the page's own: http://<Host>.
    bool OriginAllowed(const std::string& origin, const std::string& host) const;

    // Plain HTTP connections, in the order they came: an id, and their
    // removal (when they end or become a WebSocket).
    uint64_t AddConnection(HttpSession* session);
    void RemoveConnection(uint64_t id);
    // Makes room for a newcomer: closes the oldest plain HTTP connection,
    // one waiting for a request before one writing an answer. False when
    // there is none (every connection is a WebSocket).
    bool EvictConnection();

    // One allowance of control messages for the whole server, whichever
    // browser sends them: false when it is spent for now.
    bool TakeControlToken();

    // Browsers: an id (0 when the limit is reached), and their removal.
    bool BrowserRoom() const;
    uint64_t AddBrowser(WsSession* session);
    void RemoveBrowser(uint64_t id);

    // The greeting and the tracker's state, for every browser that comes.
    Text Hello() const { return m_hello; }
    Text State() const { return m_state; }
    Text LastPoses() const { return m_poses; }
    // A new state: remembered and sent to every browser.
    void SetState(Text state);
    // The newest poses: every browser gets them next, in place of any it
    // has not yet taken.
    void Poses(Text poses);
    // An answer to one browser (dropped when it has gone).
    void Answer(uint64_t browser, Text answer);
    bool HasBrowsers() const { return !m_browsers.empty(); }

    void SetControls(Controller* controls) { m_controls = controls; }
    Controller* Controls() const { return m_controls; }

    // Closes browsers whose write has not moved for the stall time-out.
    void CloseStalled(int64_t nowNs);
    // Closes every connection, browsers and plain HTTP (the server stops).
    void CloseAll();

private:
    net::io_context& m_io;
    const ViewOptions& m_opt;
    ViewStats& m_stats;
    PageFiles m_files;
    int m_port = 0;
    std::string m_hostName; // this machine's name, lower case
    Text m_hello, m_state, m_poses;
    uint64_t m_nextId = 1;
    std::map<uint64_t, WsSession*> m_browsers;
    std::map<uint64_t, HttpSession*> m_connections; // oldest first
    double m_tokens = 0;                            // control messages that may still come
    int64_t m_tokensNs = 0;
    Controller* m_controls = nullptr;
};

// A TCP connection counted against the limit while it is open; moves from
// the HTTP session to the WebSocket session that takes over its socket.
class ConnectionSlot {
public:
    ConnectionSlot() = default;
    explicit ConnectionSlot(ViewStats* stats) : m_stats(stats) { m_stats->connections.fetch_add(1); }
    ConnectionSlot(ConnectionSlot&& o) noexcept : m_stats(o.m_stats) { o.m_stats = nullptr; }
    ConnectionSlot& operator=(ConnectionSlot&&) = delete;
    ~ConnectionSlot() { Release(); }
    // The slot is free at once (an evicted connection's last handlers
    // still run).
    void Release()
    {
        if (m_stats)
            m_stats->connections.fetch_sub(1);
        m_stats = nullptr;
    }

private:
    ViewStats* m_stats = nullptr;
};

// The monotonic clock in nanoseconds.
int64_t NowNs();

} // namespace sxviewer
