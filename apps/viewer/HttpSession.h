// One HTTP connection: GET and HEAD of the page's files, and the upgrade of
// /ws to the WebSocket. Requests are read by Beast's parser within limits
// (8 KiB of header, no body, a buffer of 16 KiB) and time-outs: a request's
// header must be whole soon after its first byte (or after connecting); a
// kept-alive connection waits a while for its next request and serves a
// bounded number of them; a write that does not move is given up. A
// connection is registered with the hub until it ends or upgrades, so that
// a newcomer finding every slot taken can evict the oldest.
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
    ~HttpSession();
    HttpSession(const HttpSession&) = delete;
    HttpSession& operator=(const HttpSession&) = delete;

    void Start();
    // Whether an answer is being written.
    bool Writing() const { return m_response != nullptr; }
    // Ends the connection now (evicted, or the server stops): its slot is
    // free at once, what is under way ends with an error.
    void Close();

private:
    // The next request: on a kept-alive connection, its first byte within
    // the idle time, then the rest of its header within the request time.
    void Read();
    void OnFirstByte(beast::error_code ec, size_t bytes);
    void ReadRequest();
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
    uint64_t m_id = 0;                // as the hub knows it; 0: not (or no longer) registered
    int m_requests = 0;               // requests read on this connection
};

} // namespace sxviewer
