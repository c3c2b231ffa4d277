// A ROS 2 subscriber of our own on Cyclone DDS (the types idlc made from the
// publisher's IDL), for the tests: it reads /tf, the pose topics and
// /diagnostics of one or more namespaces, checks every sample as it comes,
// and prints one JSON object at the end.
//
//   sxros2_sub [--domain N] [--ns NS]... [--sensors N] [--best-effort]
//              [--static] [--seconds S] [--until-stopped] [--no-tf]
//              [--no-diagnostics] [--latency FILE]
//
// --static checks each pose against the simulated tracker's fixed poses;
// --until-stopped ends once every namespace's /diagnostics said "tracking
// stopped"; --latency writes each sample of /tf and of the first pose topic
// as "tf|pose STAMP_NS RECEIVED_MONOTONIC_NS" into FILE (for the
// benchmark). "ready" on standard error once the readers exist.
//
// Counting what was lost: /diagnostics carries the frames published so far
// and the newest frame's stamp. Between the first such message that came
// once every reader had matched and received its first sample, and the
// last one, each pose topic must hold exactly the frames published in
// between. The /diagnostics reader is made last, so the publisher knows of
// the other readers before it. A reader's first sample is where its stream
// began: a message written before that (DDS orders no topic against
// another) would count frames this program never could have had. At the
// end the readers are drained until each holds the last message's newest
// frame (at most 2 s), since that frame's samples may come after the
// message. Each /diagnostics message inside the window prints "window NS
// N" on standard error.
#include <dds/dds.h>

#include "diagnostic_msgs.h"
#include "geometry_msgs.h"
#include "tf2_msgs.h"

#include "StaticPose.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int64_t kNsPerSec = 1000000000;
constexpr int64_t kClockToleranceNs = 2 * kNsPerSec;
constexpr int kBatch = 256;
constexpr auto kDrain = std::chrono::seconds(2);

volatile std::sig_atomic_t g_stop = 0;
extern "C" void OnSignal(int)
{
    g_stop = 1;
}

int64_t SystemNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The namespace of a stream: "tf <ns>" or "rt/<ns>/sensor<k>/pose".
std::string NamespaceOf(const std::string& stream)
{
    return stream.rfind("tf ", 0) == 0 ? stream.substr(3) : stream.substr(3, stream.find('/', 3) - 3);
}

int64_t StampNs(const builtin_interfaces_msg_dds__Time_& t)
{
    return static_cast<int64_t>(t.sec) * kNsPerSec + t.nanosec;
}

// What one stream (a pose topic, or one namespace's share of /tf) brought.
struct Stream {
    std::vector<int64_t> stamps;
    uint64_t disorder = 0;    // a stamp not after the one before
    uint64_t offClock = 0;    // a stamp more than 2 s from this machine's clock
    uint64_t offPose = 0;     // not the fixed pose (--static), or the wrong frame ids
    uint64_t afterSilent = 0; // after /diagnostics said the tracker is silent
    int64_t maxOffsetNs = 0;

    void Add(int64_t stamp, int64_t now, bool silent)
    {
        if (!stamps.empty() && stamp <= stamps.back())
            ++disorder;
        const int64_t off = std::llabs(now - stamp);
        if (off > kClockToleranceNs)
            ++offClock;
        if (off > maxOffsetNs)
            maxOffsetNs = off;
        if (silent)
            ++afterSilent;
        stamps.push_back(stamp);
    }
    uint64_t Within(int64_t after, int64_t upTo) const
    {
        uint64_t n = 0;
        for (int64_t s : stamps)
            n += s > after && s <= upTo;
        return n;
    }
};

// A namespace's /diagnostics.
struct Diag {
    std::vector<std::string> messages; // each new message, in order
    std::vector<int> levels;
    nlohmann::json last = nullptr; // the last message's values
    std::string name, hardwareId;
    bool silent = false, stopped = false;
    // The counting window: frames published and the newest stamp, at its
    // start (the first message after every reader matched) and end.
    bool started = false;
    uint64_t publishedFirst = 0, publishedLast = 0;
    int64_t newestFirst = 0, newestLast = 0;
    uint64_t received = 0;
    uint64_t inWindow = 0; // messages since the window began
};

struct Options {
    int domain = 0;
    std::vector<std::string> namespaces;
    unsigned sensors = 0;
    bool bestEffort = false;
    bool checkStatic = false;
    double seconds = 30;
    bool untilStopped = false;
    bool tf = true;
    bool diagnostics = true;
    std::string latencyFile;
};

bool Parse(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool more = i + 1 < argc;
        if (a == "--domain" && more)
            o.domain = std::atoi(argv[++i]);
        else if (a == "--ns" && more)
            o.namespaces.push_back(argv[++i]);
        else if (a == "--sensors" && more)
            o.sensors = static_cast<unsigned>(std::atoi(argv[++i]));
        else if (a == "--seconds" && more)
            o.seconds = std::atof(argv[++i]);
        else if (a == "--best-effort")
            o.bestEffort = true;
        else if (a == "--static")
            o.checkStatic = true;
        else if (a == "--until-stopped")
            o.untilStopped = true;
        else if (a == "--no-tf")
            o.tf = false;
        else if (a == "--no-diagnostics")
            o.diagnostics = false;
        else if (a == "--latency" && more)
            o.latencyFile = argv[++i];
        else
            return false;
    }
    if (o.namespaces.empty())
        o.namespaces.push_back("sx");
    return true;
}

dds_qos_t* ReaderQos(bool reliable)
{
    dds_qos_t* q = dds_create_qos();
    dds_qset_reliability(q, reliable ? DDS_RELIABILITY_RELIABLE : DDS_RELIABILITY_BEST_EFFORT, DDS_MSECS(100));
    dds_qset_durability(q, DDS_DURABILITY_VOLATILE);
    // Deep enough that this program's own pauses lose nothing; the depth of
    // a reader does not enter matching.
    dds_qset_history(q, DDS_HISTORY_KEEP_LAST, 4096);
    return q;
}

class Subscriber {
public:
    explicit Subscriber(const Options& o) : m_o(o) {}
    // Leaves the domain at once, so that the publisher does not keep
    // sending to this program's readers until their lease runs out.
    ~Subscriber() { Close(); }
    void Close()
    {
        if (m_participant > 0)
            dds_delete(m_participant);
        m_participant = 0;
    }
    bool Open();
    void Run();
    nlohmann::json Report() const;
    bool WriteLatency() const;

private:
    dds_entity_t Reader(const dds_topic_descriptor_t* type, const std::string& topic, bool reliable,
                        const dds_listener_t* listener = nullptr);
    // --latency: the samples of /tf and the first pose topic are taken as
    // DDS delivers them, on its receiving thread (as ddsperf does).
    static void OnLatencyData(dds_entity_t reader, void* arg);
    template <typename T, typename F>
    void Take(dds_entity_t reader, F&& each);
    void OnPose(size_t ns, unsigned sensor, const geometry_msgs_msg_dds__PoseStamped_& m, int64_t now);
    void OnTf(const tf2_msgs_msg_dds__TFMessage_& m, int64_t now);
    void OnDiag(const diagnostic_msgs_msg_dds__DiagnosticArray_& m);
    void OnPublication(const dds_builtintopic_endpoint_t& e);
    void TakeAll();
    bool AllMatched() const;
    // Every stream of the namespace began at or before this frame stamp.
    bool Begun(const std::string& ns, int64_t stamp) const;
    // Every stream of a counted namespace holds its last published frame.
    bool Drained() const;
    bool AllStopped() const;

    const Options& m_o;
    dds_entity_t m_participant = 0;
    dds_entity_t m_publications = 0;
    dds_entity_t m_tf = 0;
    dds_entity_t m_diag = 0;
    std::vector<std::vector<dds_entity_t>> m_poses; // [namespace][sensor]
    std::map<std::string, Stream> m_streams;        // pose topics and "tf <ns>"
    std::map<std::string, Diag> m_diags;            // by namespace
    // The same, by the index of the namespace, for the samples' quick path.
    std::vector<std::vector<Stream*>> m_poseStreams;
    std::vector<Diag*> m_nsDiags;
    std::vector<std::string> m_sources; // <ns>_source
    std::vector<nlohmann::json> m_discovered;
    // --latency: (stamp, monotonic time received) of /tf and the first pose.
    std::vector<std::pair<int64_t, int64_t>> m_tfTimes, m_poseTimes;
};

int64_t MonotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

dds_entity_t Subscriber::Reader(const dds_topic_descriptor_t* type, const std::string& topic, bool reliable,
                                const dds_listener_t* listener)
{
    dds_qos_t* q = ReaderQos(reliable);
    const dds_entity_t t = dds_create_topic(m_participant, type, topic.c_str(), nullptr, nullptr);
    const dds_entity_t r = t < 0 ? t : dds_create_reader(m_participant, t, q, listener);
    dds_delete_qos(q);
    if (r < 0)
        std::fprintf(stderr, "cannot read %s: %s\n", topic.c_str(), dds_strretcode(r));
    return r;
}

bool Subscriber::Open()
{
    m_participant = dds_create_participant(static_cast<dds_domainid_t>(m_o.domain), nullptr, nullptr);
    if (m_participant < 0) {
        std::fprintf(stderr, "cannot join domain %d: %s\n", m_o.domain, dds_strretcode(m_participant));
        return false;
    }
    m_publications = dds_create_reader(m_participant, DDS_BUILTIN_TOPIC_DCPSPUBLICATION, nullptr, nullptr);
    dds_listener_t* latency = nullptr;
    if (!m_o.latencyFile.empty()) {
        latency = dds_create_listener(this);
        dds_lset_data_available(latency, &Subscriber::OnLatencyData);
    }
    if (m_o.tf)
        m_tf = Reader(&tf2_msgs_msg_dds__TFMessage__desc, "rt/tf", true, latency);
    for (const std::string& ns : m_o.namespaces) {
        m_poses.emplace_back();
        m_poseStreams.emplace_back();
        for (unsigned k = 0; k < m_o.sensors; ++k) {
            const std::string topic = "rt/" + ns + "/sensor" + std::to_string(k) + "/pose";
            const bool first = m_poses.size() == 1 && k == 0;
            m_poses.back().push_back(
                Reader(&geometry_msgs_msg_dds__PoseStamped__desc, topic, !m_o.bestEffort, first ? latency : nullptr));
            m_poseStreams.back().push_back(&m_streams[topic]);
        }
        m_nsDiags.push_back(&m_diags[ns]);
        m_sources.push_back(ns + "_source");
    }
    if (latency)
        dds_delete_listener(latency);
    if (m_o.diagnostics)
        m_diag = Reader(&diagnostic_msgs_msg_dds__DiagnosticArray__desc, "rt/diagnostics", true);
    return m_publications > 0 && m_tf >= 0 && m_diag >= 0;
}

template <typename T, typename F>
void Subscriber::Take(dds_entity_t reader, F&& each)
{
    void* samples[kBatch] = {};
    dds_sample_info_t infos[kBatch];
    for (;;) {
        const int n = dds_take(reader, samples, infos, kBatch, kBatch);
        if (n <= 0)
            return;
        const int64_t now = SystemNs();
        for (int i = 0; i < n; ++i)
            if (infos[i].valid_data)
                each(*static_cast<const T*>(samples[i]), now);
        dds_return_loan(reader, samples, n);
        if (n < kBatch)
            return;
    }
}

void Subscriber::OnPose(size_t ns, unsigned sensor, const geometry_msgs_msg_dds__PoseStamped_& m, int64_t now)
{
    Stream& s = *m_poseStreams[ns][sensor];
    s.Add(StampNs(m.header.stamp), now, m_nsDiags[ns]->silent);
    const double p[3] = {m.pose.position.x, m.pose.position.y, m.pose.position.z};
    const auto& q = m.pose.orientation;
    if (m_sources[ns] != m.header.frame_id ||
        (m_o.checkStatic && !ros2test::IsStaticPose(sensor, p, q.x, q.y, q.z, q.w)))
        ++s.offPose;
}

void Subscriber::OnTf(const tf2_msgs_msg_dds__TFMessage_& m, int64_t now)
{
    if (m.transforms._length == 0)
        return;
    // Each tracker's /tf is told apart by its source frame.
    const std::string source = m.transforms._buffer[0].header.frame_id;
    const std::string ns = source.substr(0, source.rfind("_source"));
    Stream& s = m_streams["tf " + ns];
    s.Add(StampNs(m.transforms._buffer[0].header.stamp), now, m_diags[ns].silent);
    bool ok = m.transforms._length == m_o.sensors || m_o.sensors == 0;
    for (uint32_t i = 0; i < m.transforms._length; ++i) {
        const auto& t = m.transforms._buffer[i];
        const std::string child = t.child_frame_id;
        const std::string prefix = ns + "_sensor";
        const unsigned k =
            child.rfind(prefix, 0) == 0 ? static_cast<unsigned>(std::atoi(child.c_str() + prefix.size())) : 99;
        const double p[3] = {t.transform.translation.x, t.transform.translation.y, t.transform.translation.z};
        const auto& q = t.transform.rotation;
        ok = ok && std::string(t.header.frame_id) == source && k == i &&
             StampNs(t.header.stamp) == StampNs(m.transforms._buffer[0].header.stamp) &&
             (!m_o.checkStatic || ros2test::IsStaticPose(k, p, q.x, q.y, q.z, q.w));
    }
    if (!ok)
        ++s.offPose;
}

void Subscriber::OnDiag(const diagnostic_msgs_msg_dds__DiagnosticArray_& m)
{
    for (uint32_t i = 0; i < m.status._length; ++i) {
        const auto& st = m.status._buffer[i];
        const std::string name = st.name;
        const std::string ns = name.substr(0, name.find(':'));
        if (!m_diags.count(ns))
            continue;
        Diag& d = m_diags[ns];
        ++d.received;
        d.name = name;
        d.hardwareId = st.hardware_id;
        nlohmann::json values = nlohmann::json::object();
        for (uint32_t j = 0; j < st.values._length; ++j)
            values[st.values._buffer[j].key] = st.values._buffer[j].value;
        d.last = values;
        if (d.messages.empty() || d.messages.back() != st.message) {
            d.messages.push_back(st.message);
            d.levels.push_back(st.level);
        }
        d.silent = d.silent || std::string(st.message).rfind("no P&O frames", 0) == 0;
        d.stopped = std::string(st.message) == "tracking stopped";
        const std::string newest = values.value("newest frame stamp", "");
        if (newest.empty())
            continue;
        const size_t dot = newest.find('.');
        const int64_t stamp = std::atoll(newest.c_str()) * kNsPerSec + std::atoll(newest.c_str() + dot + 1);
        const uint64_t published = std::strtoull(values.value("frames published", "0").c_str(), nullptr, 10);
        if (!d.started && AllMatched() && Begun(ns, stamp)) {
            d.started = true;
            d.publishedFirst = published;
            d.newestFirst = stamp;
        }
        d.publishedLast = published;
        d.newestLast = stamp;
        // For the tests: how far the counting window has come.
        if (d.started) {
            std::fprintf(stderr, "window %s %llu\n", ns.c_str(), static_cast<unsigned long long>(++d.inWindow));
            std::fflush(stderr);
        }
    }
}

void Subscriber::OnPublication(const dds_builtintopic_endpoint_t& e)
{
    if (std::strncmp(e.topic_name, "rt/", 3) != 0)
        return;
    dds_reliability_kind_t rel = DDS_RELIABILITY_BEST_EFFORT;
    dds_duration_t blocking = 0;
    dds_durability_kind_t dur = DDS_DURABILITY_VOLATILE;
    dds_history_kind_t hist = DDS_HISTORY_KEEP_LAST;
    int32_t depth = 0;
    dds_qget_reliability(e.qos, &rel, &blocking);
    dds_qget_durability(e.qos, &dur);
    dds_qget_history(e.qos, &hist, &depth);
    m_discovered.push_back({{"topic", e.topic_name},
                            {"type", e.type_name},
                            {"reliable", rel == DDS_RELIABILITY_RELIABLE},
                            {"volatile", dur == DDS_DURABILITY_VOLATILE},
                            {"keepLast", hist == DDS_HISTORY_KEEP_LAST},
                            {"depth", depth}});
}

bool Subscriber::AllMatched() const
{
    dds_subscription_matched_status_t st;
    const int64_t writers = static_cast<int64_t>(m_o.namespaces.size());
    if (m_tf > 0 && (dds_get_subscription_matched_status(m_tf, &st) < 0 || st.current_count < writers))
        return false;
    for (const auto& readers : m_poses)
        for (dds_entity_t r : readers)
            if (dds_get_subscription_matched_status(r, &st) < 0 || st.current_count < 1)
                return false;
    return true;
}

bool Subscriber::Begun(const std::string& ns, int64_t stamp) const
{
    // The pose streams exist from the start; a namespace's /tf stream from
    // its first sample.
    if (m_tf > 0 && m_streams.count("tf " + ns) == 0)
        return false;
    for (const auto& [name, s] : m_streams)
        if (NamespaceOf(name) == ns && (s.stamps.empty() || s.stamps.front() > stamp))
            return false;
    return true;
}

bool Subscriber::Drained() const
{
    for (const auto& [name, s] : m_streams) {
        const std::string ns = NamespaceOf(name);
        const auto d = m_diags.find(ns);
        if (d != m_diags.end() && d->second.started && (s.stamps.empty() || s.stamps.back() < d->second.newestLast))
            return false;
    }
    return true;
}

bool Subscriber::AllStopped() const
{
    for (const auto& [ns, d] : m_diags)
        if (!d.stopped)
            return false;
    return true;
}

void Subscriber::Run()
{
    const dds_entity_t ws = dds_create_waitset(m_participant);
    std::vector<dds_entity_t> readers = {m_publications, m_tf, m_diag};
    for (const auto& rs : m_poses)
        readers.insert(readers.end(), rs.begin(), rs.end());
    for (dds_entity_t r : readers)
        if (r > 0)
            dds_waitset_attach(ws, dds_create_readcondition(r, DDS_ANY_STATE), r);
    std::fprintf(stderr, "ready\n");
    std::fflush(stderr);
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(m_o.seconds);
    while (!g_stop && std::chrono::steady_clock::now() < until && !(m_o.untilStopped && AllStopped())) {
        dds_waitset_wait(ws, nullptr, 0, DDS_MSECS(100));
        TakeAll();
    }
    const auto drained = std::chrono::steady_clock::now() + kDrain;
    while (!g_stop && !Drained() && std::chrono::steady_clock::now() < drained) {
        dds_waitset_wait(ws, nullptr, 0, DDS_MSECS(10));
        TakeAll();
    }
}

void Subscriber::TakeAll()
{
    Take<dds_builtintopic_endpoint_t>(m_publications,
                                      [&](const dds_builtintopic_endpoint_t& e, int64_t) { OnPublication(e); });
    for (size_t ns = 0; ns < m_poses.size(); ++ns)
        for (unsigned k = 0; k < m_poses[ns].size(); ++k)
            Take<geometry_msgs_msg_dds__PoseStamped_>(m_poses[ns][k], [&](const geometry_msgs_msg_dds__PoseStamped_& m,
                                                                          int64_t now) { OnPose(ns, k, m, now); });
    if (m_tf > 0)
        Take<tf2_msgs_msg_dds__TFMessage_>(m_tf,
                                           [&](const tf2_msgs_msg_dds__TFMessage_& m, int64_t now) { OnTf(m, now); });
    if (m_diag > 0)
        Take<diagnostic_msgs_msg_dds__DiagnosticArray_>(
            m_diag, [&](const diagnostic_msgs_msg_dds__DiagnosticArray_& m, int64_t) { OnDiag(m); });
}

nlohmann::json Subscriber::Report() const
{
    nlohmann::json r;
    r["discovered"] = m_discovered;
    nlohmann::json streams = nlohmann::json::object();
    for (const auto& [name, s] : m_streams) {
        const std::string ns = NamespaceOf(name);
        const auto d = m_diags.find(ns);
        nlohmann::json j = {{"samples", s.stamps.size()},   {"disorder", s.disorder},
                            {"offClock", s.offClock},       {"offPose", s.offPose},
                            {"afterSilent", s.afterSilent}, {"maxOffsetMs", s.maxOffsetNs / 1e6}};
        if (d != m_diags.end() && d->second.started)
            j["inWindow"] = s.Within(d->second.newestFirst, d->second.newestLast);
        streams[name] = j;
    }
    r["streams"] = streams;
    nlohmann::json diags = nlohmann::json::object();
    for (const auto& [ns, d] : m_diags)
        diags[ns] = {{"received", d.received},     {"messages", d.messages},
                     {"levels", d.levels},         {"name", d.name},
                     {"hardwareId", d.hardwareId}, {"values", d.last},
                     {"windowed", d.started},      {"publishedInWindow", d.publishedLast - d.publishedFirst}};
    r["diagnostics"] = diags;
    return r;
}

void Subscriber::OnLatencyData(dds_entity_t reader, void* arg)
{
    auto* self = static_cast<Subscriber*>(arg);
    void* samples[kBatch] = {};
    dds_sample_info_t infos[kBatch];
    const int n = dds_take(reader, samples, infos, kBatch, kBatch);
    const int64_t now = MonotonicNs();
    for (int i = 0; i < n; ++i) {
        if (!infos[i].valid_data)
            continue;
        if (reader == self->m_tf) {
            const auto& m = *static_cast<const tf2_msgs_msg_dds__TFMessage_*>(samples[i]);
            if (m.transforms._length > 0)
                self->m_tfTimes.emplace_back(StampNs(m.transforms._buffer[0].header.stamp), now);
        } else {
            const auto& m = *static_cast<const geometry_msgs_msg_dds__PoseStamped_*>(samples[i]);
            self->m_poseTimes.emplace_back(StampNs(m.header.stamp), now);
        }
    }
    if (n > 0)
        dds_return_loan(reader, samples, n);
}

bool Subscriber::WriteLatency() const
{
    std::FILE* f = std::fopen(m_o.latencyFile.c_str(), "w");
    if (!f)
        return false;
    for (const auto& [stamp, received] : m_tfTimes)
        std::fprintf(f, "tf %lld %lld\n", static_cast<long long>(stamp), static_cast<long long>(received));
    for (const auto& [stamp, received] : m_poseTimes)
        std::fprintf(f, "pose %lld %lld\n", static_cast<long long>(stamp), static_cast<long long>(received));
    return std::fclose(f) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    if (!Parse(argc, argv, o)) {
        std::fprintf(stderr, "usage: sxros2_sub [--domain N] [--ns NS]... [--sensors N] [--best-effort] [--static] "
                             "[--seconds S] [--until-stopped] [--no-tf] [--no-diagnostics] [--latency FILE]\n");
        return 2;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    Subscriber sub(o);
    if (!sub.Open())
        return 1;
    sub.Run();
    std::printf("%s\n", sub.Report().dump().c_str());
    // No listener runs once the participant is gone.
    sub.Close();
    return o.latencyFile.empty() || sub.WriteLatency() ? 0 : 1;
}
