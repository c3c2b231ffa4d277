#include "viewer/HttpSession.h"

#include "viewer/WsSession.h"

#include <chrono>

namespace sxviewer {

namespace {

constexpr const char* kServer = "sxtool-viewer";

// What every answer carries: nothing cached, nothing sniffed, nothing framed,
// the page's scripts from the server alone.
template <class Response>
void Harden(Response& res, const std::string& host)
{
    res.set(http::field::server, kServer);
    res.set(http::field::cache_control, "no-store");
    res.set("X-Content-Type-Options", "nosniff");
    res.set("X-Frame-Options", "DENY");
    res.set("Referrer-Policy", "no-referrer");
    res.set("Content-Security-Policy",
            "default-src 'self'; connect-src 'self' ws://" + host + "; img-src 'self' data:; frame-ancestors 'none'");
}

std::string HostOf(const Request& req)
{
    const auto it = req.find(http::field::host);
    return it == req.end() ? std::string() : std::string(it->value());
}

} // namespace

HttpSession::HttpSession(tcp::socket&& socket, std::shared_ptr<Hub> hub, ConnectionSlot slot)
    : m_stream(std::move(socket)), m_hub(std::move(hub)), m_slot(std::move(slot))
{
}

HttpSession::~HttpSession()
{
    if (m_id != 0)
        m_hub->RemoveConnection(m_id);
}

void HttpSession::Start()
{
    m_id = m_hub->AddConnection(this);
    net::dispatch(m_stream.get_executor(), beast::bind_front_handler(&HttpSession::ReadRequest, shared_from_this()));
}

void HttpSession::Close()
{
    if (m_id != 0)
        m_hub->RemoveConnection(m_id);
    m_id = 0;
    m_slot.Release();
    beast::error_code ignored;
    m_stream.socket().shutdown(tcp::socket::shutdown_both, ignored);
    m_stream.close();
}

void HttpSession::Read()
{
    if (m_buffer.size() > 0) {
        ReadRequest(); // the next request came with the last
        return;
    }
    m_stream.expires_after(std::chrono::milliseconds(m_hub->Options().keepAliveIdleMs));
    m_stream.async_read_some(m_buffer.prepare(kHeaderLimit),
                             beast::bind_front_handler(&HttpSession::OnFirstByte, shared_from_this()));
}

void HttpSession::OnFirstByte(beast::error_code ec, size_t bytes)
{
    if (ec) {
        OnRead(ec, 0);
        return;
    }
    m_buffer.commit(bytes);
    ReadRequest();
}

void HttpSession::ReadRequest()
{
    m_parser.emplace();
    m_parser->header_limit(kHeaderLimit);
    m_parser->body_limit(0);
    // The whole header within the request time: a byte a second does not
    // keep a connection.
    m_stream.expires_after(std::chrono::milliseconds(m_hub->Options().requestTimeoutMs));
    http::async_read(m_stream, m_buffer, *m_parser,
                     beast::bind_front_handler(&HttpSession::OnRead, shared_from_this()));
}

void HttpSession::OnRead(beast::error_code ec, size_t)
{
    if (m_id == 0)
        return; // closed
    if (ec == http::error::end_of_stream || ec == beast::error::timeout || ec == net::error::operation_aborted ||
        ec == net::error::eof) {
        beast::error_code ignored;
        m_stream.socket().shutdown(tcp::socket::shutdown_both, ignored);
        return;
    }
    if (ec) {
        // Not HTTP, or beyond the limits: one answer, then the connection goes.
        m_hub->Stats().requestsRefused.fetch_add(1);
        http::response<http::string_body> res{http::status::bad_request, 11};
        Harden(res, "");
        res.set(http::field::content_type, "text/plain; charset=utf-8");
        res.body() = "bad request\n";
        res.keep_alive(false);
        res.prepare_payload();
        Send(std::move(res));
        return;
    }
    Request req = m_parser->release();
    // The last request a connection may make is answered with close.
    if (++m_requests >= m_hub->Options().keepAliveRequests && !websocket::is_upgrade(req))
        req.keep_alive(false);
    const std::string host = HostOf(req);
    if (!m_hub->HostAllowed(host)) {
        Error(req, http::status::misdirected_request, "this server is not " + host);
        return;
    }
    if (websocket::is_upgrade(req)) {
        Upgrade(std::move(req));
        return;
    }
    if (req.method() != http::verb::get && req.method() != http::verb::head) {
        Error(req, http::status::method_not_allowed, "only GET and HEAD");
        return;
    }
    const PageFile* file = m_hub->Files().Find(std::string(req.target()));
    if (!file) {
        Error(req, http::status::not_found, "not found");
        return;
    }
    if (req.method() == http::verb::head) {
        http::response<http::empty_body> res{http::status::ok, req.version()};
        Harden(res, host);
        res.set(http::field::content_type, file->type);
        res.content_length(file->body.size());
        res.keep_alive(req.keep_alive());
        Send(std::move(res));
        return;
    }
    // The body is the file in memory, shared, never copied.
    http::response<http::span_body<const char>> res{http::status::ok, req.version()};
    Harden(res, host);
    res.set(http::field::content_type, file->type);
    res.body() = http::span_body<const char>::value_type(file->body.data(), file->body.size());
    res.keep_alive(req.keep_alive());
    res.prepare_payload();
    Send(std::move(res));
}

void HttpSession::Upgrade(Request req)
{
    ViewStats& stats = m_hub->Stats();
    const std::string host = HostOf(req);
    const auto origin = req.find(http::field::origin);
    if (req.target() != "/ws") {
        Error(req, http::status::not_found, "the WebSocket is /ws");
        return;
    }
    if (origin == req.end() || !m_hub->OriginAllowed(std::string(origin->value()), host)) {
        stats.upgradesRefused.fetch_add(1);
        Error(req, http::status::forbidden, "origin refused: only the viewer's own page may connect");
        return;
    }
    if (!m_hub->BrowserRoom()) {
        stats.browsersRefused.fetch_add(1);
        Error(req, http::status::service_unavailable,
              "too many browsers: at most " + std::to_string(m_hub->Options().maxBrowsers));
        return;
    }
    // A WebSocket from here on: never evicted.
    m_hub->RemoveConnection(m_id);
    m_id = 0;
    auto ws = std::make_shared<WsSession>(std::move(m_stream), m_hub, std::move(m_slot));
    ws->Start(std::move(req));
}

void HttpSession::Error(const Request& req, http::status status, const std::string& why)
{
    m_hub->Stats().requestsRefused.fetch_add(1);
    http::response<http::string_body> res{status, req.version()};
    Harden(res, HostOf(req));
    res.set(http::field::content_type, "text/plain; charset=utf-8");
    if (status == http::status::method_not_allowed)
        res.set(http::field::allow, "GET, HEAD");
    res.body() = why + "\n";
    // A refused upgrade or a foreign host ends the connection.
    res.keep_alive(req.keep_alive() && status == http::status::not_found && !websocket::is_upgrade(req));
    res.prepare_payload();
    Send(std::move(res));
}

template <class Response>
void HttpSession::Send(Response&& response)
{
    auto res = std::make_shared<std::decay_t<Response>>(std::move(response));
    m_response = res;
    const bool close = res->need_eof();
    // A browser that takes no bytes is not waited for beyond the stall time-out.
    m_stream.expires_after(std::chrono::milliseconds(m_hub->Options().stallTimeoutMs));
    http::async_write(m_stream, *res, beast::bind_front_handler(&HttpSession::OnWrite, shared_from_this(), close));
}

void HttpSession::OnWrite(bool close, beast::error_code ec, size_t)
{
    m_response.reset();
    if (m_id == 0)
        return; // closed
    if (ec || close) {
        beast::error_code ignored;
        m_stream.socket().shutdown(tcp::socket::shutdown_send, ignored);
        return;
    }
    Read();
}

} // namespace sxviewer
