// A client on a plain socket, for the clients that must misbehave: bytes
// sent exactly as given, messages read back with their raw bodies.
#pragma once

#include <string>

namespace igtltest {

// One OpenIGTLink message as sent: header (version 1, the body's CRC-64)
// and body, whatever the body's size.
std::string RawMessage(const std::string& type, const std::string& name, const std::string& body = "");

struct RawReceived {
    std::string type;
    std::string name;
    std::string body;
    double stamp = 0.0; // seconds since the epoch
};

class RawClient {
public:
    // A socket, not yet connected.
    RawClient();
    // Connects to address:port; rcvbuf > 0 sets SO_RCVBUF first.
    explicit RawClient(int port, const char* address = "127.0.0.1", int rcvbuf = 0);
    bool Connect(int port, const char* address = "127.0.0.1");
    ~RawClient();
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    bool Connected() const { return m_connected; }
    int ConnectError() const { return m_error; }
    bool Send(const std::string& bytes);
    void ShutdownSending();
    // The next message; false at the end of the stream or after timeoutMs.
    bool Next(RawReceived& m, int timeoutMs = 3000);
    // Reads (and drops) until the server closes; false if it has not
    // closed within timeoutMs.
    bool ClosedWithin(int timeoutMs);

private:
    bool ReadExact(char* out, size_t n, int timeoutMs);

    int m_fd = -1;
    bool m_connected = false;
    int m_error = 0;
};

} // namespace igtltest
