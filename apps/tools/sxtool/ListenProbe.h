// Why serve or view could not listen on an address: the system's answer to
// a listening socket of its own on the same address and port, asked right
// after the server's failed.
#pragma once

#include <string>

namespace sxtool {

// The reason as sxtool prints it ("address already in use (...)"), or an
// empty text when the address can be had now or the system gives none.
std::string ListenFailure(const std::string& address, int port);

} // namespace sxtool
