#include "viewer/Hub.h"

#include "viewer/HttpSession.h"
#include "viewer/Messages.h"
#include "viewer/WsSession.h"

#include <arpa/inet.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <vector>

namespace sxviewer {

namespace {

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool IpAddress(const std::string& name)
{
    unsigned char buf[16];
    if (::inet_pton(AF_INET, name.c_str(), buf) == 1)
        return true;
    return name.size() > 2 && name.front() == '[' && name.back() == ']' &&
           ::inet_pton(AF_INET6, name.substr(1, name.size() - 2).c_str(), buf) == 1;
}

} // namespace

int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

Hub::Hub(net::io_context& io, const ViewOptions& options, ViewStats& stats, PageFiles files)
    : m_io(io), m_opt(options), m_stats(stats), m_files(std::move(files)), m_hello(HelloMessage(options)),
      m_tokens(options.controlsPerSecond), m_tokensNs(NowNs())
{
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) == 0)
        m_hostName = Lower(name);
}

bool Hub::HostAllowed(const std::string& host) const
{
    // name[:port]; an IPv6 address comes in brackets.
    std::string name = host, port = "80";
    const size_t colon = host.rfind(':');
    if (colon != std::string::npos && host.find(']', colon) == std::string::npos) {
        name = host.substr(0, colon);
        port = host.substr(colon + 1);
    }
    if (port != std::to_string(m_port))
        return false;
    name = Lower(name);
    return IpAddress(name) || name == "localhost" || (!m_hostName.empty() && name == m_hostName);
}

bool Hub::OriginAllowed(const std::string& origin, const std::string& host) const
{
    return !host.empty() && Lower(origin) == "http://" + Lower(host);
}

uint64_t Hub::AddConnection(HttpSession* session)
{
    const uint64_t id = m_nextId++;
    m_connections[id] = session;
    return id;
}

void Hub::RemoveConnection(uint64_t id)
{
    m_connections.erase(id);
}

bool Hub::EvictConnection()
{
    if (m_connections.empty())
        return false;
    auto victim = m_connections.begin();
    for (auto it = m_connections.begin(); it != m_connections.end(); ++it)
        if (!it->second->Writing()) {
            victim = it;
            break;
        }
    HttpSession* session = victim->second;
    m_connections.erase(victim);
    m_stats.connectionsEvicted.fetch_add(1);
    session->Close();
    return true;
}

// Up to controlsPerSecond a second, as many at once.
bool Hub::TakeControlToken()
{
    const double rate = m_opt.controlsPerSecond;
    const int64_t now = NowNs();
    m_tokens += static_cast<double>(now - m_tokensNs) / 1e9 * rate;
    if (m_tokens > rate)
        m_tokens = rate;
    m_tokensNs = now;
    if (m_tokens < 1.0)
        return false;
    m_tokens -= 1.0;
    return true;
}

bool Hub::BrowserRoom() const
{
    return m_browsers.size() < static_cast<size_t>(m_opt.maxBrowsers);
}

uint64_t Hub::AddBrowser(WsSession* session)
{
    if (!BrowserRoom())
        return 0;
    const uint64_t id = m_nextId++;
    m_browsers[id] = session;
    m_stats.browsers.fetch_add(1);
    return id;
}

void Hub::RemoveBrowser(uint64_t id)
{
    if (m_browsers.erase(id) != 0)
        m_stats.browsers.fetch_sub(1);
}

void Hub::SetState(Text state)
{
    m_state = std::move(state);
    for (auto& b : m_browsers)
        b.second->Notice(m_state);
}

void Hub::Poses(Text poses)
{
    m_poses = std::move(poses);
    for (auto& b : m_browsers)
        b.second->Pose(m_poses);
}

void Hub::Answer(uint64_t browser, Text answer)
{
    const auto it = m_browsers.find(browser);
    if (it != m_browsers.end())
        it->second->Notice(answer);
}

void Hub::CloseStalled(int64_t nowNs)
{
    const int64_t limitNs = static_cast<int64_t>(m_opt.stallTimeoutMs) * 1000000;
    std::vector<WsSession*> stalled;
    for (auto& b : m_browsers)
        if (b.second->StalledSince(nowNs) > limitNs)
            stalled.push_back(b.second);
    for (WsSession* s : stalled) {
        m_stats.browsersTimedOut.fetch_add(1);
        s->Close();
    }
}

void Hub::CloseAll()
{
    std::vector<WsSession*> all;
    for (auto& b : m_browsers)
        all.push_back(b.second);
    for (WsSession* s : all)
        s->Close();
    std::map<uint64_t, HttpSession*> connections;
    connections.swap(m_connections);
    for (auto& c : connections)
        c.second->Close();
}

} // namespace sxviewer
