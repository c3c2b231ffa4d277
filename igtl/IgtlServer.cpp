// The OpenIGTLink server: one thread (the caller's) that polls the listening
// socket, the frame hand-off and every client. Messages are built and
// parsed by OpenIGTLink's own message classes; the sockets are plain
// non-blocking POSIX sockets, because OpenIGTLink's Socket::Send blocks
// until everything is gone, and one slow client must not hold up the
// others. A message is packed once and shared by the backlogs of all the
// clients it goes to.
#include "igtl/SXigtl.h"

#include "igtl/FrameHandoff.h"
#include "igtl/IgtlMessages.h"
#include "igtl/PnoPose.h"

#include <SXCmdIF/SXCmdIFdev.h>
#include <SXCmdIF/SXerrors.h>

#include <igtlMessageHeader.h>
#include <igtl_header.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace sxigtl {

namespace {

constexpr size_t kMaxQueryBody = 64 * 1024;     // larger bodies are skipped unread
constexpr int kPollMs = 50;
constexpr int kFlushOnCloseMs = 200;

// Next message of a rate-limited stream: due when the frame's time has
// reached the schedule, which then moves on by one period (and starts again
// from this frame after a pause).
bool Due(int64_t& next, int64_t periodNs, int64_t nowNs)
{
    if (periodNs <= 0)
        return true;
    if (nowNs < next)
        return false;
    next += periodNs;
    if (next <= nowNs)
        next = nowNs + periodNs;
    return true;
}

struct Client {
    int fd = -1;
    std::string peer;
    std::deque<Packet> backlog;
    size_t headOffset = 0; // bytes of backlog.front() already sent
    uint64_t dropped = 0;
    std::vector<unsigned char> rx;
    size_t skipBytes = 0; // body of an oversized message still to discard
    int64_t nextTransformNs = 0;
    bool tdata = false;
    int64_t tdataPeriodNs = 0;
    int64_t nextTdataNs = 0;
    bool dead = false;
};

class Server {
public:
    Server(void* ctx, void* dev, const ServeOptions& o, std::FILE* out)
        : m_ctx(ctx), m_dev(dev), m_opt(o), m_out(out), m_stats(o.stats ? o.stats : &m_ownStats)
    {
        m_wallOffsetNs = WallClockNs() - MonotonicNs();
        m_transformPeriodNs = o.rateHz > 0.0 ? static_cast<int64_t>(1e9 / o.rateHz) : 0;
        m_transform = igtl::TransformMessage::New();
        m_tdataMsg = igtl::TrackingDataMessage::New();
    }
    ~Server();

    int Run(const std::atomic<bool>& stop);

private:
    int Listen();
    void Accept();
    void TakeFrames();
    void OnFrame(const FrameHandoff::Slot& slot);
    void ReadClient(Client& c);
    void HandleMessage(Client& c, igtl::MessageHeader* header, const unsigned char* body, size_t bodyLen);
    void Enqueue(Client& c, const Packet& p);
    void Flush(Client& c);
    void Drop(Client& c, const char* why);
    void SetState(TrackerState s, int64_t nowNs);
    void ShutDown();

    std::string NameOf(unsigned sensor) const { return m_opt.prefix + std::to_string(sensor); }
    int64_t ToWall(int64_t monoNs) const { return monoNs + m_wallOffsetNs; }
    Packet TransformPacket(const SensorPose& pose, int64_t stampNs)
    {
        return PackTransform(m_transform, NameOf(pose.sensor), pose.matrix, ToWall(stampNs));
    }
    Packet TdataPacket(const FramePoses& poses, int64_t stampNs)
    {
        return PackTdata(m_tdataMsg, m_opt.prefix, poses, ToWall(stampNs));
    }
    Packet StatusPacket() const { return PackStatus(m_state, m_bitError, m_opt.staleMs); }
    Packet NotFoundPacket(const std::string& name) const { return PackNotFound(name, m_havePoses); }
    void Print(const char* fmt, const std::string& peer, uint64_t n = 0);

    void* m_ctx;
    void* m_dev;
    const ServeOptions& m_opt;
    std::FILE* m_out;
    ServeStats m_ownStats;
    ServeStats* m_stats;

    int64_t m_wallOffsetNs = 0;
    int64_t m_transformPeriodNs = 0;
    int m_listenFd = -1;
    std::unique_ptr<FrameHandoff> m_handoff;
    bool m_callbackInstalled = false;
    bool m_outputStarted = false;
    std::vector<std::unique_ptr<Client>> m_clients;

    TrackerState m_state = TrackerState::Waiting;
    unsigned m_bitError = 0;
    int64_t m_lastFrameNs = 0;
    int64_t m_startNs = 0;
    FramePoses m_poses;       // the latest frame's, for GET_ requests
    int64_t m_posesNs = 0;
    bool m_havePoses = false;

    igtl::TransformMessage::Pointer m_transform;
    igtl::TrackingDataMessage::Pointer m_tdataMsg;
};

Server::~Server()
{
    // Normally done already; after an exception, the callback must not
    // outlive the hand-off.
    try {
        ShutDown();
    } catch (...) {
    }
    for (auto& c : m_clients)
        if (c->fd >= 0)
            ::close(c->fd);
    if (m_listenFd >= 0)
        ::close(m_listenFd);
}

void Server::Print(const char* fmt, const std::string& peer, uint64_t n)
{
    if (!m_out)
        return;
    std::fprintf(m_out, fmt, peer.c_str(), static_cast<unsigned long long>(n));
    std::fflush(m_out);
}

int Server::Listen()
{
    m_listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_listenFd < 0)
        return -1;
    int one = 1;
    ::setsockopt(m_listenFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(m_opt.port));
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    if (!m_opt.bindAddress.empty() && ::inet_pton(AF_INET, m_opt.bindAddress.c_str(), &addr.sin_addr) != 1)
        return -1;
    if (::bind(m_listenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
        return -1;
    if (::listen(m_listenFd, 16) != 0)
        return -1;
    socklen_t len = sizeof addr;
    if (::getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        return -1;
    return ntohs(addr.sin_port);
}

void Server::Accept()
{
    for (;;) {
        sockaddr_in addr{};
        socklen_t len = sizeof addr;
        const int fd = ::accept4(m_listenFd, reinterpret_cast<sockaddr*>(&addr), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return; // EAGAIN, or a connection that went before we took it
        int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        if (m_opt.sendBufferBytes > 0)
            ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &m_opt.sendBufferBytes, sizeof m_opt.sendBufferBytes);
        auto c = std::make_unique<Client>();
        c->fd = fd;
        char ip[INET_ADDRSTRLEN] = "?";
        ::inet_ntop(AF_INET, &addr.sin_addr, ip, sizeof ip);
        c->peer = std::string(ip) + ":" + std::to_string(ntohs(addr.sin_port));
        m_stats->clientsAccepted.fetch_add(1);
        m_stats->clientsConnected.fetch_add(1);
        Print("client %s connected\n", c->peer);
        Enqueue(*c, StatusPacket());
        Flush(*c);
        m_clients.push_back(std::move(c));
    }
}

void Server::Enqueue(Client& c, const Packet& p)
{
    if (c.dead)
        return;
    c.backlog.push_back(p);
    while (c.backlog.size() > m_opt.backlogMessages && c.backlog.size() > 1) {
        // The oldest goes, unless part of it is on the wire already: then
        // the one after it.
        if (c.headOffset > 0)
            c.backlog.erase(c.backlog.begin() + 1);
        else
            c.backlog.pop_front();
        ++c.dropped;
        m_stats->messagesDropped.fetch_add(1, std::memory_order_relaxed);
    }
}

void Server::Flush(Client& c)
{
    constexpr size_t kIov = 64;
    while (!c.dead && !c.backlog.empty()) {
        iovec iov[kIov];
        size_t n = 0;
        for (auto it = c.backlog.begin(); it != c.backlog.end() && n < kIov; ++it, ++n) {
            const std::vector<unsigned char>& b = **it;
            const size_t off = n == 0 ? c.headOffset : 0;
            iov[n].iov_base = const_cast<unsigned char*>(b.data() + off);
            iov[n].iov_len = b.size() - off;
        }
        msghdr msg{};
        msg.msg_iov = iov;
        msg.msg_iovlen = n;
        const ssize_t sent = ::sendmsg(c.fd, &msg, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0) {
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                Drop(c, "send");
            return;
        }
        size_t left = static_cast<size_t>(sent);
        while (left > 0 && !c.backlog.empty()) {
            const size_t rest = c.backlog.front()->size() - c.headOffset;
            if (left >= rest) {
                left -= rest;
                c.backlog.pop_front();
                c.headOffset = 0;
                m_stats->messagesSent.fetch_add(1, std::memory_order_relaxed);
            } else {
                c.headOffset += left;
                left = 0;
            }
        }
        if (n == kIov)
            continue; // more to go, the socket may take it
        if (!c.backlog.empty())
            return; // the socket is full
    }
}

void Server::Drop(Client& c, const char*)
{
    c.dead = true;
}

void Server::ReadClient(Client& c)
{
    unsigned char buf[4096];
    for (;;) {
        const ssize_t n = ::recv(c.fd, buf, sizeof buf, MSG_DONTWAIT);
        if (n == 0) {
            Drop(c, "closed");
            break;
        }
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                Drop(c, "recv");
            break;
        }
        size_t off = 0;
        if (c.skipBytes > 0) {
            off = std::min(c.skipBytes, static_cast<size_t>(n));
            c.skipBytes -= off;
        }
        c.rx.insert(c.rx.end(), buf + off, buf + n);
        // Whole messages only; an oversized body is skipped as it arrives.
        while (!c.dead && c.skipBytes == 0 && c.rx.size() >= IGTL_HEADER_SIZE) {
            igtl::MessageHeader::Pointer h = igtl::MessageHeader::New();
            h->InitPack();
            std::memcpy(h->GetPackPointer(), c.rx.data(), IGTL_HEADER_SIZE);
            h->Unpack();
            const size_t body = static_cast<size_t>(h->GetBodySizeToRead());
            if (body > kMaxQueryBody) {
                const size_t have = c.rx.size() - IGTL_HEADER_SIZE;
                c.skipBytes = body - std::min(body, have);
                c.rx.erase(c.rx.begin(), c.rx.begin() + static_cast<std::ptrdiff_t>(IGTL_HEADER_SIZE +
                                                                                    std::min(body, have)));
                continue;
            }
            if (c.rx.size() < IGTL_HEADER_SIZE + body)
                break;
            HandleMessage(c, h, c.rx.data() + IGTL_HEADER_SIZE, body);
            c.rx.erase(c.rx.begin(), c.rx.begin() + static_cast<std::ptrdiff_t>(IGTL_HEADER_SIZE + body));
        }
        if (c.dead)
            break;
    }
    Flush(c);
}

void Server::HandleMessage(Client& c, igtl::MessageHeader* header, const unsigned char* body, size_t bodyLen)
{
    const std::string type = header->GetDeviceType();
    const std::string name = header->GetDeviceName();
    if (type == "STT_TDATA") {
        igtl::StartTrackingDataMessage::Pointer m = igtl::StartTrackingDataMessage::New();
        m->SetMessageHeader(header);
        m->AllocatePack();
        if (bodyLen > 0)
            std::memcpy(m->GetPackBodyPointer(), body, bodyLen);
        const bool ok = (m->Unpack(1) & igtl::MessageHeader::UNPACK_BODY) != 0 && m->GetResolution() >= 0;
        if (ok) {
            c.tdata = true;
            c.tdataPeriodNs = static_cast<int64_t>(m->GetResolution()) * 1000000;
            c.nextTdataNs = 0;
        }
        Enqueue(c, PackRtsTdata(ok));
    } else if (type == "STP_TDATA") {
        c.tdata = false;
        Enqueue(c, PackRtsTdata(true));
    } else if (type == "GET_TDATA") {
        if (m_havePoses)
            Enqueue(c, TdataPacket(m_poses, m_posesNs));
        else
            Enqueue(c, NotFoundPacket(kTrackerName));
    } else if (type == "GET_TRANS") {
        bool found = false;
        if (m_havePoses) {
            for (const SensorPose& pose : m_poses.sensors) {
                if (name.empty() || name == NameOf(pose.sensor)) {
                    Enqueue(c, TransformPacket(pose, m_posesNs));
                    found = true;
                }
            }
        }
        if (!found)
            Enqueue(c, NotFoundPacket(name));
    } else if (type == "GET_STATUS") {
        Enqueue(c, StatusPacket());
    } else if (type == "GET_CAPABIL") {
        Enqueue(c, PackCapability());
    }
    // Anything else (a client's own TRANSFORM, STATUS, ...) is read and ignored.
}

void Server::SetState(TrackerState s, int64_t)
{
    if (s == m_state)
        return;
    m_state = s;
    if (m_clients.empty())
        return;
    const Packet p = StatusPacket();
    for (auto& c : m_clients) {
        Enqueue(*c, p);
        Flush(*c);
    }
}

void Server::OnFrame(const FrameHandoff::Slot& slot)
{
    m_stats->framesReceived.fetch_add(1, std::memory_order_relaxed);
    if (!DecodeFrame(slot.frame, slot.length, m_poses)) {
        m_havePoses = false;
        m_stats->framesUndecodable.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    const int64_t t = slot.stampNs;
    m_havePoses = true;
    m_posesNs = t;
    m_lastFrameNs = t;
    m_bitError = m_poses.bitError;
    SetState(m_bitError != 0 ? TrackerState::BitError : TrackerState::Tracking, t);

    std::vector<Packet> transforms;
    Packet tdata;
    for (auto& cp : m_clients) {
        Client& c = *cp;
        if (c.dead)
            continue;
        if (Due(c.nextTransformNs, m_transformPeriodNs, t)) {
            if (transforms.empty())
                for (const SensorPose& pose : m_poses.sensors)
                    transforms.push_back(TransformPacket(pose, t));
            for (const Packet& p : transforms)
                Enqueue(c, p);
        }
        if (c.tdata && Due(c.nextTdataNs, c.tdataPeriodNs, t)) {
            if (!tdata)
                tdata = TdataPacket(m_poses, t);
            Enqueue(c, tdata);
        }
        Flush(c);
    }
}

void Server::TakeFrames()
{
    m_handoff->ClearWake();
    while (const FrameHandoff::Slot* s = m_handoff->Front()) {
        OnFrame(*s);
        m_handoff->Pop();
    }
    m_stats->framesOverrun.store(m_handoff->Overruns(), std::memory_order_relaxed);
}

int Server::Run(const std::atomic<bool>& stop)
{
    const std::string& prefix = m_opt.prefix;
    // The longest name, prefix and "15", must fit a device name.
    if (prefix.size() + 2 > IGTL_HEADER_NAME_SIZE)
        return E_SXERR_INVALID_PARAMS;
    m_handoff = std::make_unique<FrameHandoff>();
    if (!m_handoff->Ok())
        return -1;
    const int port = Listen();
    if (port < 0)
        return -1;

    int r = sxdev_SetPnoCallback(m_ctx, m_dev, &FrameHandoff::Callback, m_handoff.get());
    if (r != 0)
        return r;
    m_callbackInstalled = true;
    r = sxcmd_dev_contpno(m_ctx, m_dev, CMD_ACTION_SET, nullptr, 0);
    if (r != 0) {
        ShutDown();
        return r;
    }
    m_outputStarted = true;
    m_startNs = MonotonicNs();

    if (m_opt.boundPort)
        m_opt.boundPort->store(port);
    if (m_out) {
        std::fprintf(m_out, "listening on port %d\n", port);
        std::fflush(m_out);
    }

    std::vector<pollfd> fds;
    while (!stop.load()) {
        fds.clear();
        fds.push_back({m_listenFd, POLLIN, 0});
        fds.push_back({m_handoff->Fd(), POLLIN, 0});
        const size_t nClients = m_clients.size();
        for (auto& c : m_clients)
            fds.push_back({c->fd, static_cast<short>(POLLIN | (c->backlog.empty() ? 0 : POLLOUT)), 0});
        const int n = ::poll(fds.data(), fds.size(), kPollMs);
        if (n < 0 && errno != EINTR)
            break;
        if (n > 0) {
            if (fds[1].revents & POLLIN)
                TakeFrames();
            for (size_t i = 0; i < nClients; ++i) {
                Client& c = *m_clients[i];
                const short ev = fds[2 + i].revents;
                if (ev & (POLLIN | POLLHUP | POLLERR))
                    ReadClient(c);
                if ((ev & POLLOUT) && !c.dead)
                    Flush(c);
            }
            if (fds[0].revents & POLLIN)
                Accept();
        }
        // The tracker went quiet: tell the clients, once.
        const int64_t now = MonotonicNs();
        const int64_t since = m_lastFrameNs != 0 ? m_lastFrameNs : m_startNs;
        if (m_opt.staleMs > 0 && now - since > static_cast<int64_t>(m_opt.staleMs) * 1000000 &&
            m_state != TrackerState::NoFrames)
            SetState(TrackerState::NoFrames, now);
        // Clients that left.
        for (size_t i = 0; i < m_clients.size();) {
            Client& c = *m_clients[i];
            if (!c.dead) {
                ++i;
                continue;
            }
            ::close(c.fd);
            m_stats->clientsConnected.fetch_sub(1);
            if (c.dropped > 0)
                Print("client %s left (%llu messages dropped)\n", c.peer, c.dropped);
            else
                Print("client %s left\n", c.peer);
            m_clients.erase(m_clients.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
    ShutDown();
    return 0;
}

void Server::ShutDown()
{
    // The tracker's output first: clients hear that tracking stopped.
    if (m_callbackInstalled) {
        sxdev_SetPnoCallback(m_ctx, m_dev, nullptr, nullptr);
        m_handoff->Close();
    }
    // Failing to stop (the tracker gone) changes nothing here: the caller
    // still owns the device and releases it.
    if (m_outputStarted)
        sxcmd_dev_contpno(m_ctx, m_dev, CMD_ACTION_RESET, nullptr, 0);

    if (!m_clients.empty()) {
        m_state = TrackerState::Waiting; // force the broadcast
        SetState(TrackerState::Stopping, MonotonicNs());
        // A short while for what is queued to leave; then every client goes.
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kFlushOnCloseMs);
        for (;;) {
            std::vector<pollfd> fds;
            std::vector<Client*> who;
            for (auto& c : m_clients)
                if (!c->dead && !c->backlog.empty()) {
                    fds.push_back({c->fd, POLLOUT, 0});
                    who.push_back(c.get());
                }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
            if (fds.empty() || left.count() <= 0)
                break;
            if (::poll(fds.data(), fds.size(), static_cast<int>(left.count())) <= 0)
                break;
            for (size_t i = 0; i < fds.size(); ++i)
                if (fds[i].revents & (POLLOUT | POLLERR | POLLHUP))
                    Flush(*who[i]);
        }
    }
    for (auto& c : m_clients) {
        ::shutdown(c->fd, SHUT_RDWR);
        ::close(c->fd);
        c->fd = -1;
        m_stats->clientsConnected.fetch_sub(1);
        if (c->dropped > 0)
            Print("client %s left (%llu messages dropped)\n", c->peer, c->dropped);
        else
            Print("client %s left\n", c->peer);
    }
    m_clients.clear();
    if (m_listenFd >= 0) {
        ::close(m_listenFd);
        m_listenFd = -1;
    }

    // The hand-off may be freed once no reading-thread call can still be in
    // it: the device removes a callback only after a call under way has
    // returned; the in-flight count guards the same once more.
    if (m_callbackInstalled) {
        while (m_handoff->InFlight() != 0)
            std::this_thread::yield();
        m_callbackInstalled = false;
    }
    m_outputStarted = false;
}

} // namespace

int Serve(void* ctx, void* dev, const ServeOptions& options, const std::atomic<bool>& stop, std::FILE* out)
{
    try {
        Server server(ctx, dev, options, out);
        return server.Run(stop);
    } catch (const std::bad_alloc&) {
        return E_SXERR_MEMORY_ALLOCATION;
    }
}

} // namespace sxigtl
