// Boost.Beast and Boost.Asio, as the viewer's sessions use them.
#pragma once

#include <boost/asio/dispatch.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>

namespace sxviewer {

namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
namespace net = boost::asio;
using tcp = net::ip::tcp;

// What an HTTP request of the page is read into: a GET has no body.
using Request = http::request<http::empty_body>;

} // namespace sxviewer
