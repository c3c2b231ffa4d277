#include "viewer/WsSession.h"

#include "viewer/ControlMessage.h"
#include "viewer/Controller.h"
#include "viewer/Messages.h"

#include <chrono>

namespace sxviewer {

WsSession::WsSession(beast::tcp_stream&& stream, std::shared_ptr<Hub> hub, ConnectionSlot slot)
    : m_ws(std::move(stream)), m_hub(std::move(hub)), m_slot(std::move(slot))
{
    m_id = m_hub->AddBrowser(this);
}

WsSession::~WsSession()
{
    if (m_id != 0)
        m_hub->RemoveBrowser(m_id);
}

void WsSession::Start(Request request)
{
    const ViewOptions& o = m_hub->Options();
    // The WebSocket's own time-outs from here on: the handshake, and a
    // browser that answers no ping.
    beast::get_lowest_layer(m_ws).expires_never();
    websocket::stream_base::timeout t{};
    t.handshake_timeout = std::chrono::milliseconds(o.requestTimeoutMs);
    t.idle_timeout = std::chrono::milliseconds(o.idleTimeoutMs);
    t.keep_alive_pings = true;
    m_ws.set_option(t);
    m_ws.set_option(websocket::stream_base::decorator(
        [](websocket::response_type& res) { res.set(http::field::server, "sxtool-viewer"); }));
    m_ws.read_message_max(kMaxControlBytes);
    m_ws.text(true);
    m_ws.async_accept(request, beast::bind_front_handler(&WsSession::OnAccept, shared_from_this()));
}

void WsSession::OnAccept(beast::error_code ec)
{
    if (ec)
        return;
    m_open = true;
    Notice(m_hub->Hello());
    if (m_hub->State())
        Notice(m_hub->State());
    if (m_hub->LastPoses())
        Pose(m_hub->LastPoses());
    Read();
}

void WsSession::Read()
{
    m_in.clear();
    m_ws.async_read(m_in, beast::bind_front_handler(&WsSession::OnRead, shared_from_this()));
}

void WsSession::OnRead(beast::error_code ec, size_t)
{
    // Closed, timed out, or a message beyond the size limit (the stream
    // closes with "message too big" itself).
    if (ec) {
        m_open = false;
        return;
    }
    if (!m_ws.got_text()) {
        m_hub->Stats().controlsRefused.fetch_add(1);
        Refuse(-1, "messages from the page are JSON text");
    } else {
        Take(beast::buffers_to_string(m_in.data()));
    }
    Read();
}

void WsSession::Take(const std::string& message)
{
    ViewStats& stats = m_hub->Stats();
    if (!m_hub->TakeControlToken()) {
        stats.controlsRefused.fetch_add(1);
        Refuse(-1, "too many messages: at most " + std::to_string(m_hub->Options().controlsPerSecond) + " a second");
        return;
    }
    Control c;
    std::string error;
    if (!ParseControl(message.data(), message.size(), c, error)) {
        stats.controlsRefused.fetch_add(1);
        Refuse(c.id, error);
        return;
    }
    if (m_hub->Options().readOnly) {
        stats.controlsRefused.fetch_add(1);
        Refuse(c.id, "the viewer is read-only: it takes no controls");
        return;
    }
    Controller* controls = m_hub->Controls();
    if (!controls || !controls->Submit(m_id, c)) {
        stats.controlsRefused.fetch_add(1);
        Refuse(c.id, "the tracker is busy with earlier controls: try again");
    }
}

void WsSession::Refuse(int64_t id, const std::string& why)
{
    Notice(ResultMessage(id, false, why));
}

void WsSession::Notice(const Text& text)
{
    if (!text)
        return;
    if (m_notices.size() >= kMaxNotices)
        m_notices.pop_front();
    m_notices.push_back(text);
    Write();
}

void WsSession::Pose(const Text& text)
{
    if (m_pose)
        m_hub->Stats().updatesReplaced.fetch_add(1, std::memory_order_relaxed);
    m_pose = text;
    Write();
}

void WsSession::Write()
{
    if (!m_open || m_writing)
        return;
    if (!m_notices.empty()) {
        m_writing = std::move(m_notices.front());
        m_notices.pop_front();
        m_writingPose = false;
    } else if (m_pose) {
        m_writing = std::move(m_pose);
        m_pose.reset();
        m_writingPose = true;
    } else {
        return;
    }
    m_writeSinceNs = NowNs();
    m_ws.async_write(net::buffer(*m_writing), beast::bind_front_handler(&WsSession::OnWrite, shared_from_this()));
}

void WsSession::OnWrite(beast::error_code ec, size_t)
{
    if (!ec && m_writingPose)
        m_hub->Stats().updatesSent.fetch_add(1, std::memory_order_relaxed);
    m_writing.reset();
    if (ec) {
        m_open = false;
        m_notices.clear();
        m_pose.reset();
        return;
    }
    Write();
}

int64_t WsSession::StalledSince(int64_t nowNs) const
{
    return m_writing ? nowNs - m_writeSinceNs : 0;
}

void WsSession::Close()
{
    m_open = false;
    beast::error_code ec;
    tcp::socket& s = beast::get_lowest_layer(m_ws).socket();
    s.shutdown(tcp::socket::shutdown_both, ec);
    s.close(ec);
}

} // namespace sxviewer
