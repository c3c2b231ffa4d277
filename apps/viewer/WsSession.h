// One browser's WebSocket: the poses, the tracker's state and the answers go
// out; control messages come in, checked, and go to the control thread.
// What waits to go out is bounded whatever the browser does: a few notices
// (the oldest go first when more come) and the newest poses alone (a newer
// update replaces one not yet taken). A browser that stops reading loses
// updates, and is closed once its write has not moved for the stall
// time-out; it never holds up the others.
#pragma once

#include "viewer/Beast.h"
#include "viewer/Hub.h"

#include <deque>
#include <memory>

namespace sxviewer {

class WsSession : public std::enable_shared_from_this<WsSession> {
public:
    static constexpr size_t kMaxNotices = 16;

    WsSession(beast::tcp_stream&& stream, std::shared_ptr<Hub> hub, ConnectionSlot slot);
    ~WsSession();
    WsSession(const WsSession&) = delete;
    WsSession& operator=(const WsSession&) = delete;

    // Takes the upgrade request: the handshake, then the greeting.
    void Start(Request request);

    void Notice(const Text& text);
    void Pose(const Text& text);
    // Closes the connection; what is under way ends with an error.
    void Close();
    // How long the write under way has not moved (0: none under way).
    int64_t StalledSince(int64_t nowNs) const;

private:
    void OnAccept(beast::error_code ec);
    void Read();
    void OnRead(beast::error_code ec, size_t bytes);
    void Take(const std::string& message);
    void Refuse(int64_t id, const std::string& why);
    void Write();
    void OnWrite(beast::error_code ec, size_t bytes);

    websocket::stream<beast::tcp_stream> m_ws;
    std::shared_ptr<Hub> m_hub;
    ConnectionSlot m_slot;
    uint64_t m_id = 0;
    bool m_open = false;
    beast::flat_buffer m_in;
    std::deque<Text> m_notices;
    Text m_pose;    // the newest poses, not yet taken
    Text m_writing; // the message on the wire
    bool m_writingPose = false;
    int64_t m_writeSinceNs = 0;
};

} // namespace sxviewer
