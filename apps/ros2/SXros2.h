// SXros2: publishes the P&O frames of a connected tracker as ROS 2 topics
// over DDS (Eclipse Cyclone DDS), with ROS 2's own type and topic names, so
// that every ROS 2 node on the network reads them without this program
// linking ROS 2:
//   /tf                   tf2_msgs/TFMessage, one per frame, a transform per sensor
//   /<ns>/sensor<k>/pose  geometry_msgs/PoseStamped per sensor per frame
//   /diagnostics          diagnostic_msgs/DiagnosticArray once a second
#pragma once

#include <frames/StreamGuard.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace sxros2 {

// The QoS of the pose topics: ROS 2's default profile (reliable, keep last
// 10) or its sensor-data profile (best effort, keep last 5).
enum class PoseQos { Reliable, BestEffort };

// Counters of a running publisher, readable from any thread.
struct PublishStats {
    std::atomic<uint64_t> framesReceived{0};    // P&O frames taken from the reading thread
    std::atomic<uint64_t> framesPublished{0};   // frames whose /tf and poses were written
    std::atomic<uint64_t> framesOverrun{0};     // frames the hand-off had no room for (publisher behind)
    std::atomic<uint64_t> framesUndecodable{0}; // frames without a usable P&O body
    std::atomic<uint64_t> framesLost{0};        // frames the tracker lost (gaps in its frame count)
    std::atomic<uint64_t> writeErrors{0};       // samples DDS refused to take
    std::atomic<bool> silent{false};            // no frame for staleMs
};

// One published frame, for measurements: when it was handed to the
// application (monotonic clock) and its header.stamp (system clock).
struct PublishedFrame {
    int64_t handoffMonotonicNs;
    int64_t stampSystemNs;
    unsigned sensors;
};

struct PublishOptions {
    int domain = 0;        // the DDS domain (ROS_DOMAIN_ID); see DomainFromEnvironment
    std::string ns = "sx"; // topics /<ns>/sensor<k>/pose, frames <ns>_source, <ns>_sensor<k>
    PoseQos poseQos = PoseQos::Reliable;
    double rateHz = 0.0;            // most frames a second on /tf and the poses; 0: every frame
    int staleMs = 1000;             // no frame for this long: the tracker is reported silent
    int diagnosticsPeriodMs = 1000; // /diagnostics
    std::string connection;         // how the tracker is connected, for /diagnostics ("serial port 1")
    PublishStats* stats = nullptr;  // counters, when given
    // Called on the publisher's thread after each published frame (null: none).
    std::function<void(const PublishedFrame&)> onPublished;
    // The stream's watch (frames/StreamGuard.h): its options, how to connect
    // again after a lost line (empty: no reconnection), and who hears of its
    // stalls, losses and reconnections on the publisher's thread (empty: the
    // log hears of them, and of the silence in its own words).
    sxframes::StreamGuard::Options guard;
    sxframes::StreamGuard::ReconnectFn reconnect;
    std::function<void(const sxframes::StreamEvent&)> onStreamEvent;
};

// Checks a namespace: one ROS name token (a letter, then letters, digits
// and single underscores). False with the reason in error.
bool ValidNamespace(const std::string& ns, std::string& error);

// The domain when none is given: ROS_DOMAIN_ID, else 0. False with the
// reason in error when ROS_DOMAIN_ID is set and not a domain (0 to 232).
bool DomainFromEnvironment(int& domain, std::string& error);
constexpr int kMaxDomain = 232; // the last domain whose ports fit (7400 + 250 d + 11)

// Results of Run beyond the library's error codes.
constexpr int kDdsFailed = -1;     // the DDS entities could not be made (the reason was printed)
constexpr int kTrackerSilent = -2; // Run gave up: no frame for giveUpMs

// The DDS side (participant, topics, writers) lives as long as the
// Publisher; Run serves one connection of a tracker and may be called again
// for the next one (a tracker connected anew), the subscribers keeping
// their match. Messages (the domain, a silent tracker, the summary) go to
// log (null: none).
class Publisher {
public:
    Publisher(const PublishOptions& options, std::FILE* log);
    ~Publisher();
    Publisher(const Publisher&) = delete;
    Publisher& operator=(const Publisher&) = delete;

    // Joins the domain and makes the topics and writers: 0, or kDdsFailed
    // with the reason printed, or E_SXERR_INVALID_PARAMS for a namespace or
    // domain out of range.
    int Open();
    // Installs its own P&O callback on the device, starts continuous output
    // and publishes until stop becomes true, or, with giveUpMs above 0, until
    // no frame has come for that long (kTrackerSilent). Then stops the output
    // and removes the callback; it never releases the device or the context.
    // 0 when stopped, or the library's error code when continuous output
    // cannot be started. After a lost line it goes on without frames
    // (/diagnostics says why), or, with options.reconnect, from the new
    // connection once one was made: the device it started with may then be
    // released.
    int Run(void* ctx, void* dev, const std::atomic<bool>& stop, int giveUpMs = 0);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// Open, then Run until stop: the whole of `sxtool ros2`.
int Publish(void* ctx, void* dev, const PublishOptions& options, const std::atomic<bool>& stop, std::FILE* log);

} // namespace sxros2
