// One HTTP connection: GET and HEAD of the page's files, and the upgrade of
// /ws to the WebSocket. Requests are read by Beast's parser within limits
// (8 KiB of header, no body, a buffer of 16 KiB) and a time-out: a request
// not complete in time, or a connection silent that long, is closed.
#pragma once

#include "viewer/Beast.h"
#include "viewer/Hub.h"

#include <memory>
#include <optional>

namespace sxviewer {

class HttpSession : public std::enable_shared_from_this<HttpSession> {
public:
    static constexpr unsigned kHeaderLimit = 8 * 1024;
    static constexpr size_t kBufferLimit = 16 * 1024;

    HttpSession(tcp::socket&& socket, std::shared_ptr<Hub> hub, ConnectionSlot slot);
    void Start();

private:
    void Read();
    void OnRead(beast::error_code ec, size_t bytes);
    void Upgrade(Request request);
    // Sends the response; the connection closes after it unless keepAlive.
    template <class Response>
    void Send(Response&& response);
    void Error(const Request& request, http::status status, const std::string& why);
    void OnWrite(bool close, beast::error_code ec, size_t bytes);

    beast::tcp_stream m_stream;
    std::shared_ptr<Hub> m_hub;
    ConnectionSlot m_slot;
    beast::flat_buffer m_buffer{kBufferLimit};
    std::optional<http::request_parser<http::empty_body>> m_parser;
    std::shared_ptr<void> m_response; // alive until written
};

} // namespace sxviewer
