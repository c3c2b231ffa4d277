// The OpenIGTLink server: one thread (the caller's) that polls the listening
// socket, the frame hand-off and every client. Messages are built by
// OpenIGTLink's own message classes; the sockets are plain non-blocking
// POSIX sockets, because OpenIGTLink's Socket::Send blocks until everything
// is gone, and one slow client must not hold up the others. A message is
// packed once and shared by the backlogs of all the clients it goes to.
//
// Whatever a client sends, it gets a bounded share of each turn of the
// loop (one read of at most the reader's buffer, a few requests, a few
// answers a second) and costs a bounded amount of memory; clients are
// served in turn.
#include "igtl/SXigtl.h"

#include "igtl/IgtlClient.h"
#include "igtl/IgtlListener.h"
#include "igtl/IgtlMessages.h"
#include "igtl/PnoPose.h"

#include <frames/FrameClock.h>
#include <frames/FrameHandoff.h>
#include <frames/FramePeriod.h>
#include <frames/RateSchedule.h>

#include <SXCmdIF/SXCmdIFdev.h>
#include <SXCmdIF/SXerrors.h>
#include <sxwire/LEWords.h>
#include <SXCmdIF/protocol/SXframe.h>

#include <igtl_header.h>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace sxigtl {

using sxframes::Due;
using sxframes::FrameHandoff;
using sxframes::MonotonicNs;

namespace {

constexpr int kPollMs = 50;
constexpr int kFlushOnCloseMs = 200;
constexpr int kRequestsPerTurn = 32; // requests taken from one client in one turn
constexpr int kAcceptsPerTurn = 64;
constexpr int64_t kNsPerMs = 1000000;
constexpr int64_t kNsPerSec = 1000000000;

// A client closed for what it did is reset rather than closed: what waits
// in its socket (all a stalled reader's buffers hold) goes at once, and it
// learns at once, where a plain close would wait behind those bytes.
void ResetOnClose(const IgtlClient& c)
{
    const linger reset{1, 0};
    ::setsockopt(c.Fd(), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
}

class Server {
public:
    Server(void* ctx, void* dev, const ServeOptions& o, std::FILE* out)
        : m_ctx(ctx), m_dev(dev), m_opt(o), m_out(out), m_stats(o.stats ? o.stats : &m_ownStats)
    {
        m_clock.SetSystemOffsetNs(WallClockNs() - MonotonicNs());
        m_transformPeriodNs = o.rateHz > 0.0 ? static_cast<int64_t>(1e9 / o.rateHz) : 0;
        m_limits.messages = o.backlogMessages;
        m_limits.bytes = o.backlogBytes;
        m_limits.maxAgeNs = static_cast<int64_t>(o.maxAgeMs) * kNsPerMs;
        m_transform = igtl::TransformMessage::New();
        m_tdataMsg = igtl::TrackingDataMessage::New();
    }
    ~Server();

    int Run(const std::atomic<bool>& stop);

private:
    void Accept(int64_t nowNs);
    // With every slot taken, the client that makes room for a newcomer
    // (closed and removed here); false when none may go.
    bool Evict(int64_t nowNs);
    void Remove(size_t index);
    void TakeFrames();
    void OnFrame(const FrameHandoff::Slot& slot);
    void ServeClient(IgtlClient& c, short revents, int64_t nowNs);
    // Whether the client's input is read this turn: not while it is held,
    // has said it sends no more, or has sent its bytes for this second.
    bool MayRead(IgtlClient& c, int64_t nowNs) const;
    void ReadSome(IgtlClient& c, int64_t nowNs);
    // Answers what the reader holds, within the turn's budget; the number taken.
    int TakeRequests(IgtlClient& c, int64_t nowNs);
    void Answer(IgtlClient& c, const Request& r, int64_t nowNs);
    bool MayAnswer(IgtlClient& c, int64_t nowNs);
    void EndTurn(int64_t nowNs);
    // The callback and continuous output on dev (the first device, or a new
    // connection's).
    int StartOutput(void* dev);
    void Watch(int64_t nowNs);
    void SetState(TrackerState s);
    void ShutDown();

    std::string NameOf(unsigned sensor) const { return m_opt.prefix + std::to_string(sensor); }
    // Stamped with the frame's measurement time on the wall clock.
    Packet TransformPacket(const SensorPose& pose, int64_t wallNs)
    {
        return PackTransform(m_transform, NameOf(pose.sensor), pose.matrix, wallNs);
    }
    Packet TdataPacket(const FramePoses& poses, int64_t wallNs)
    {
        return PackTdata(m_tdataMsg, m_opt.prefix, poses, wallNs);
    }
    void Print(const char* fmt, const std::string& peer, uint64_t n = 0);
    void PrintLeft(const IgtlClient& c);

    void* m_ctx;
    void* m_dev;
    const ServeOptions& m_opt;
    std::FILE* m_out;
    ServeStats m_ownStats;
    ServeStats* m_stats;
    BacklogLimits m_limits;

    sxframes::FrameClock m_clock; // measurement times, on the wall clock of the server's start
    int64_t m_transformPeriodNs = 0;
    IgtlListener m_listener;
    std::unique_ptr<FrameHandoff> m_handoff;
    std::unique_ptr<sxframes::StreamGuard> m_guard;
    bool m_callbackInstalled = false;
    bool m_outputStarted = false;
    std::vector<std::unique_ptr<IgtlClient>> m_clients;

    TrackerState m_state = TrackerState::Waiting;
    unsigned m_bitError = 0;
    int64_t m_lastFrameNs = 0;
    int64_t m_startNs = 0;
    FramePoses m_poses; // the latest frame's, for GET_ requests
    int64_t m_posesNs = 0;
    int64_t m_posesWallNs = 0; // when they were measured
    bool m_havePoses = false;

    // Packed once: OpenIGTLink leaks memory each time a capability message
    // is packed, and none of these changes while serving (the status only
    // with the tracker's state).
    Packet m_status;
    Packet m_capability;
    Packet m_rtsOk;
    Packet m_rtsError;

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
}

void Server::Print(const char* fmt, const std::string& peer, uint64_t n)
{
    if (!m_out)
        return;
    std::fprintf(m_out, fmt, peer.c_str(), static_cast<unsigned long long>(n));
    std::fflush(m_out);
}

void Server::PrintLeft(const IgtlClient& c)
{
    if (c.evicted)
        Print(c.evicted, c.Peer());
    else if (c.timedOut)
        Print("client %s timed out in the middle of a message\n", c.Peer());
    else if (c.Dropped() > 0)
        Print("client %s left (%llu messages dropped)\n", c.Peer(), c.Dropped());
    else
        Print("client %s left\n", c.Peer());
}

void Server::Accept(int64_t nowNs)
{
    for (int i = 0; i < kAcceptsPerTurn; ++i) {
        std::string peer;
        uint64_t refused = 0;
        const int fd = m_listener.Accept(peer, nowNs, refused);
        m_stats->clientsRefused.fetch_add(refused);
        if (fd < 0)
            return;
        if (m_clients.size() >= static_cast<size_t>(m_opt.maxClients) && !Evict(nowNs)) {
            m_stats->clientsRefused.fetch_add(1);
            ::close(fd);
            continue;
        }
        int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        if (m_opt.sendBufferBytes > 0)
            ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &m_opt.sendBufferBytes, sizeof m_opt.sendBufferBytes);
        auto c = std::make_unique<IgtlClient>(fd, peer, m_limits, *m_stats);
        c->connectedNs = nowNs;
        m_stats->clientsAccepted.fetch_add(1);
        m_stats->clientsConnected.fetch_add(1);
        Print("client %s connected\n", c->Peer());
        c->Enqueue(m_status, EntryKind::Notice);
        c->Flush(nowNs);
        m_clients.push_back(std::move(c));
    }
}

// Which client goes, in this order: the one whose half-sent message is
// oldest; the one whose backlog has waited longest, beyond evictAfterMs
// (a reader that stopped); the one that has neither sent nor taken a byte
// for longest, beyond evictAfterMs. A client that reads and keeps up, and
// sends whole messages, never qualifies.
bool Server::Evict(int64_t nowNs)
{
    const int64_t after = static_cast<int64_t>(m_opt.evictAfterMs) * kNsPerMs;
    size_t victim = m_clients.size();
    int rank = 3; // lower goes first
    int64_t age = 0;
    for (size_t i = 0; i < m_clients.size(); ++i) {
        IgtlClient& c = *m_clients[i];
        if (c.dead) {
            // Already on its way out: its slot is free.
            Remove(i);
            return true;
        }
        int r = 3;
        int64_t a = 0;
        if (c.Reader().Incomplete()) {
            r = 0;
            a = nowNs - c.Reader().MessageSinceNs();
        } else if (c.StalledNs(nowNs) >= after) {
            r = 1;
            a = c.StalledNs(nowNs);
        } else if (nowNs - std::max({c.connectedNs, c.lastInputNs, c.TookNs()}) >= after) {
            r = 2;
            a = nowNs - std::max({c.connectedNs, c.lastInputNs, c.TookNs()});
        }
        if (r < rank || (r == rank && r < 3 && a > age)) {
            victim = i;
            rank = r;
            age = a;
        }
    }
    if (victim == m_clients.size())
        return false;
    static const char* const kWhy[] = {
        "client %s evicted for a newcomer: its message was half-sent\n",
        "client %s evicted for a newcomer: it had stopped reading\n",
        "client %s evicted for a newcomer: it had been idle\n",
    };
    IgtlClient& c = *m_clients[victim];
    ResetOnClose(c);
    c.dead = true;
    c.evicted = kWhy[rank];
    m_stats->clientsEvicted.fetch_add(1);
    Remove(victim);
    return true;
}

void Server::Remove(size_t index)
{
    const IgtlClient& c = *m_clients[index];
    m_stats->clientsConnected.fetch_sub(1);
    PrintLeft(c);
    m_clients.erase(m_clients.begin() + static_cast<std::ptrdiff_t>(index));
}

void Server::ServeClient(IgtlClient& c, short revents, int64_t nowNs)
{
    if (revents & (POLLERR | POLLHUP)) {
        // Reset, or shut down both ways: nobody left to answer.
        c.dead = true;
        return;
    }
    if (revents & POLLIN)
        ReadSome(c, nowNs);
    if (TakeRequests(c, nowNs) > 0 || (revents & POLLOUT))
        c.Flush(nowNs);
}

bool Server::MayRead(IgtlClient& c, int64_t nowNs) const
{
    if (nowNs - c.inputSinceNs >= kNsPerSec) {
        c.inputSinceNs = nowNs;
        c.inputBytes = 0;
    }
    const bool overRate =
        m_opt.inputBytesPerSecond > 0 && c.inputBytes >= static_cast<size_t>(m_opt.inputBytesPerSecond);
    return !c.dead && !c.inputEnded && !c.Held() && !overRate && c.Reader().RoomLeft() > 0;
}

void Server::ReadSome(IgtlClient& c, int64_t nowNs)
{
    ClientReader& reader = c.Reader();
    if (!MayRead(c, nowNs))
        return;
    // One read a turn, at most the reader's free room: a client that sends
    // without pause gets the same share as the others, and no more than
    // its input rate.
    const ssize_t n = ::recv(c.Fd(), reader.Room(), reader.RoomLeft(), MSG_DONTWAIT);
    if (n > 0) {
        c.lastInputNs = nowNs;
        c.inputBytes += static_cast<size_t>(n);
        reader.Commit(static_cast<size_t>(n), nowNs);
    } else if (n == 0) {
        // It shut down its sending side: what arrived is answered, then
        // the connection closes.
        c.inputEnded = true;
        c.inputEndedNs = nowNs;
    } else if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) {
        c.dead = true;
    }
}

int Server::TakeRequests(IgtlClient& c, int64_t nowNs)
{
    ClientReader& reader = c.Reader();
    const uint64_t refused = reader.Refused(), ignored = reader.Ignored();
    c.pending = false;
    Request r;
    int k = 0;
    for (; !c.dead && !c.Held(); ++k) {
        if (k == kRequestsPerTurn) {
            c.pending = true;
            break;
        }
        if (!reader.Next(r))
            break;
        Answer(c, r, nowNs);
    }
    m_stats->messagesRefused.fetch_add(reader.Refused() - refused, std::memory_order_relaxed);
    m_stats->messagesIgnored.fetch_add(reader.Ignored() - ignored, std::memory_order_relaxed);
    return k;
}

// A virtual schedule: each answer moves it on by one period; a client may
// be up to one second ahead of the clock (that many answers at once).
bool Server::MayAnswer(IgtlClient& c, int64_t nowNs)
{
    if (m_opt.requestsPerSecond <= 0)
        return true;
    if (c.answerDueNs < nowNs)
        c.answerDueNs = nowNs;
    if (c.answerDueNs - nowNs >= kNsPerSec) {
        m_stats->requestsUnanswered.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    c.answerDueNs += kNsPerSec / m_opt.requestsPerSecond;
    return true;
}

void Server::Answer(IgtlClient& c, const Request& r, int64_t nowNs)
{
    // Starting and stopping TDATA take effect beyond the rate too; only
    // their answer is left out.
    if (r.kind == RequestKind::StartTdata && r.valid) {
        c.tdata = true;
        c.tdataPeriodNs = static_cast<int64_t>(r.resolutionMs) * kNsPerMs;
        c.nextTdataNs = 0;
    } else if (r.kind == RequestKind::StopTdata) {
        c.tdata = false;
    }
    if (!MayAnswer(c, nowNs))
        return;
    switch (r.kind) {
    case RequestKind::StartTdata:
        c.Enqueue(r.valid ? m_rtsOk : m_rtsError, EntryKind::Answer);
        break;
    case RequestKind::StopTdata:
        c.Enqueue(m_rtsOk, EntryKind::Answer);
        break;
    case RequestKind::GetTdata:
        c.Enqueue(m_havePoses ? TdataPacket(m_poses, m_posesWallNs) : PackNotFound(kTrackerName, false),
                  EntryKind::Answer);
        break;
    case RequestKind::GetTransform: {
        const std::string name = r.name;
        bool found = false;
        if (m_havePoses) {
            for (const SensorPose& pose : m_poses.sensors) {
                if (name.empty() || name == NameOf(pose.sensor)) {
                    c.Enqueue(TransformPacket(pose, m_posesWallNs), EntryKind::Answer);
                    found = true;
                }
            }
        }
        if (!found)
            c.Enqueue(PackNotFound(name, m_havePoses), EntryKind::Answer);
        break;
    }
    case RequestKind::GetStatus:
        c.Enqueue(m_status, EntryKind::Answer);
        break;
    case RequestKind::GetCapability:
        c.Enqueue(m_capability, EntryKind::Answer);
        break;
    }
}

void Server::SetState(TrackerState s)
{
    if (s == m_state)
        return;
    m_state = s;
    m_status = PackStatus(m_state, m_bitError, m_opt.staleMs);
    const int64_t now = MonotonicNs();
    for (auto& c : m_clients) {
        if (c->inputEnded)
            continue;
        c->Enqueue(m_status, EntryKind::Notice);
        c->Flush(now);
    }
}

void Server::OnFrame(const FrameHandoff::Slot& slot)
{
    m_stats->framesReceived.fetch_add(1, std::memory_order_relaxed);
    m_guard->Frame(slot.frame, slot.length, MonotonicNs());
    if (!DecodeFrame(slot.frame, slot.length, m_poses)) {
        m_havePoses = false;
        m_stats->framesUndecodable.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    const int64_t t = slot.stampNs;
    const int64_t measured = m_clock.Stamp(sxwire::GetLE32(slot.frame + SX_OFF_FRAMENUM), t).systemNs;
    m_havePoses = true;
    m_posesNs = t;
    m_posesWallNs = measured;
    m_lastFrameNs = t;
    m_bitError = m_poses.bitError;
    SetState(m_bitError != 0 ? TrackerState::BitError : TrackerState::Tracking);

    // Each client's stream takes the form it asked for: TDATA alone between
    // STT_TDATA and STP_TDATA, TRANSFORM otherwise.
    std::vector<Packet> transforms;
    Packet tdata;
    const int64_t now = MonotonicNs();
    for (auto& cp : m_clients) {
        IgtlClient& c = *cp;
        if (c.dead || c.inputEnded)
            continue;
        if (c.tdata) {
            if (Due(c.nextTdataNs, c.tdataPeriodNs, t)) {
                if (!tdata)
                    tdata = TdataPacket(m_poses, measured);
                c.Enqueue(tdata, EntryKind::Stream, t);
            }
        } else if (Due(c.nextTransformNs, m_transformPeriodNs, t)) {
            if (transforms.empty())
                for (const SensorPose& pose : m_poses.sensors)
                    transforms.push_back(TransformPacket(pose, measured));
            for (const Packet& p : transforms)
                c.Enqueue(p, EntryKind::Stream, t);
        }
        c.Flush(now);
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

// After a turn: the tracker's silence, time-outs, and the clients that go.
void Server::EndTurn(int64_t nowNs)
{
    const int64_t since = m_lastFrameNs != 0 ? m_lastFrameNs : m_startNs;
    if (m_opt.staleMs > 0 && nowNs - since > static_cast<int64_t>(m_opt.staleMs) * kNsPerMs &&
        m_state != TrackerState::NoFrames)
        SetState(TrackerState::NoFrames);
    const int64_t timeoutNs = static_cast<int64_t>(m_opt.partialTimeoutMs) * kNsPerMs;
    int64_t headerNs = static_cast<int64_t>(m_opt.headerTimeoutMs) * kNsPerMs;
    if (timeoutNs > 0 && (headerNs <= 0 || timeoutNs < headerNs))
        headerNs = timeoutNs;
    for (size_t i = 0; i < m_clients.size();) {
        IgtlClient& c = *m_clients[i];
        const ClientReader& reader = c.Reader();
        const int64_t limitNs = reader.HeaderIncomplete() ? headerNs : timeoutNs;
        if (!c.dead && limitNs > 0 && reader.Incomplete() && nowNs - reader.MessageSinceNs() > limitNs) {
            ResetOnClose(c);
            c.dead = c.timedOut = true;
            m_stats->clientsTimedOut.fetch_add(1);
        }
        // Half closed: gone once its answers are (or it does not take them).
        if (c.inputEnded && !c.pending && (!c.HasBacklog() || nowNs - c.inputEndedNs > timeoutNs))
            c.dead = true;
        if (!c.dead) {
            ++i;
            continue;
        }
        Remove(i);
    }
}

int Server::StartOutput(void* dev)
{
    m_dev = dev;
    int r = sxdev_SetPnoCallback(m_ctx, m_dev, &FrameHandoff::Callback, m_handoff.get());
    if (r != 0)
        return r;
    m_callbackInstalled = true;
    m_clock.SetNominalPeriodNs(sxframes::ReadFramePeriodNs(m_ctx, m_dev));
    r = sxcmd_dev_contpno(m_ctx, m_dev, CMD_ACTION_SET, nullptr, 0);
    m_outputStarted = r == 0;
    return r;
}

// The guard's look at the stream, and what it saw for whoever listens.
void Server::Watch(int64_t nowNs)
{
    for (sxframes::StreamEvent e; (e = m_guard->Poll(nowNs)).kind != sxframes::StreamEvent::Kind::None;)
        if (m_opt.onStreamEvent)
            m_opt.onStreamEvent(e);
}

int Server::Run(const std::atomic<bool>& stop)
{
    const std::string& prefix = m_opt.prefix;
    // The longest name, prefix and "15", must fit a device name.
    if (prefix.size() + 2 > IGTL_HEADER_NAME_SIZE || m_opt.maxClients < 1)
        return E_SXERR_INVALID_PARAMS;
    m_handoff = std::make_unique<FrameHandoff>();
    if (!m_handoff->Ok())
        return -1;
    const int port = m_listener.Open(m_opt.bindAddress, m_opt.port);
    if (port < 0)
        return -1;
    m_status = PackStatus(m_state, m_bitError, m_opt.staleMs);
    m_capability = PackCapability();
    m_rtsOk = PackRtsTdata(true);
    m_rtsError = PackRtsTdata(false);

    const int r = StartOutput(m_dev);
    if (r != 0) {
        ShutDown();
        return r;
    }
    m_startNs = MonotonicNs();
    m_guard = std::make_unique<sxframes::StreamGuard>(m_ctx, m_dev, m_opt.guard, m_opt.reconnect,
                                                      [this](void* dev) { return StartOutput(dev); });
    m_guard->Begin(m_startNs);

    if (m_opt.boundPort)
        m_opt.boundPort->store(port);
    if (m_out) {
        std::fprintf(m_out, "listening on port %d\n", port);
        std::fflush(m_out);
    }

    std::vector<pollfd> fds;
    bool pending = false;
    while (!stop.load()) {
        const int64_t before = MonotonicNs();
        fds.clear();
        fds.push_back({m_listener.PollFd(before), POLLIN, 0});
        fds.push_back({m_handoff->Fd(), POLLIN, 0});
        const size_t nClients = m_clients.size();
        for (auto& c : m_clients) {
            const bool read = MayRead(*c, before);
            fds.push_back({c->Fd(), static_cast<short>((read ? POLLIN : 0) | (c->HasBacklog() ? POLLOUT : 0)), 0});
        }
        // Requests already read but not yet taken: another turn at once.
        const int n = ::poll(fds.data(), fds.size(), pending ? 0 : kPollMs);
        if (n < 0 && errno != EINTR)
            break;
        const int64_t now = MonotonicNs();
        if (fds[1].revents & POLLIN)
            TakeFrames();
        pending = false;
        for (size_t i = 0; i < nClients; ++i) {
            IgtlClient& c = *m_clients[i];
            ServeClient(c, n > 0 ? fds[2 + i].revents : 0, now);
            pending = pending || c.pending;
        }
        if (n > 0 && (fds[0].revents & POLLIN))
            Accept(now);
        Watch(now);
        EndTurn(now);
    }
    ShutDown();
    if (m_out && m_stats->clientsRefused.load() > 0) {
        std::fprintf(m_out, "%llu connections refused\n",
                     static_cast<unsigned long long>(m_stats->clientsRefused.load()));
        std::fflush(m_out);
    }
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
        SetState(TrackerState::Stopping);
        // A short while for what is queued to leave; then every client goes.
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kFlushOnCloseMs);
        for (;;) {
            std::vector<pollfd> fds;
            std::vector<IgtlClient*> who;
            for (auto& c : m_clients)
                if (!c->dead && c->HasBacklog()) {
                    fds.push_back({c->Fd(), POLLOUT, 0});
                    who.push_back(c.get());
                }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
            if (fds.empty() || left.count() <= 0)
                break;
            if (::poll(fds.data(), fds.size(), static_cast<int>(left.count())) <= 0)
                break;
            const int64_t now = MonotonicNs();
            for (size_t i = 0; i < fds.size(); ++i)
                if (fds[i].revents & (POLLOUT | POLLERR | POLLHUP))
                    who[i]->Flush(now);
        }
    }
    for (auto& c : m_clients) {
        ::shutdown(c->Fd(), SHUT_RDWR);
        c->Close();
        m_stats->clientsConnected.fetch_sub(1);
        PrintLeft(*c);
    }
    m_clients.clear();
    m_listener.Close();

    // The hand-off may be freed once no reading-thread call can still be in
    // it.
    if (m_callbackInstalled) {
        m_handoff->WaitIdle();
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
