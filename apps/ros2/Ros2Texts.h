// The publisher's fixed texts: its lines on the log (standard error for
// sxtool) and the words of /diagnostics, kept in one place.
#pragma once

namespace sxros2::texts {

// The log.
constexpr const char* kPublishing = "publishing on ROS domain %d: /tf, /%s/sensor<k>/pose (%s), /diagnostics\n";
constexpr const char* kNoFrames = "no P&O frames for %d ms: the tracker is silent or gone\n";
constexpr const char* kFramesAgain = "P&O frames again after %.1f s\n";
constexpr const char* kSummary = "published %llu frames of %llu received (lost by the tracker %llu, "
                                 "overrun %llu, undecodable %llu, refused by DDS %llu)\n";
constexpr const char* kDdsFailed = "cannot %s on ROS domain %d: %s\n";

// The QoS of the pose topics, as the start line names them.
constexpr const char* kReliable = "reliable";
constexpr const char* kBestEffort = "best effort";

// /diagnostics: the status's name (after the namespace) and messages.
constexpr const char* kStatusName = "%s: tracker";
constexpr const char* kWaiting = "waiting for the first P&O frame";
constexpr const char* kTracking = "tracking";
constexpr const char* kSilent = "no P&O frames for %d ms";
constexpr const char* kLineLost = "line lost: %s";
constexpr const char* kBitError = "tracker built-in test error %u";
constexpr const char* kStopped = "tracking stopped";

// /diagnostics: the keys of its values.
constexpr const char* kKeyIdentity = "identity";
constexpr const char* kKeyConnection = "connection";
constexpr const char* kKeyRate = "frame rate (Hz)";
constexpr const char* kKeyNominalRate = "nominal frame rate (Hz)";
constexpr const char* kKeyReceived = "frames received";
constexpr const char* kKeyPublished = "frames published";
constexpr const char* kKeyLost = "frames lost by the tracker";
constexpr const char* kKeyOverrun = "frames overrun";
constexpr const char* kKeySensors = "sensors";
constexpr const char* kKeyClock = "clock model";
constexpr const char* kKeyNewestStamp = "newest frame stamp";

} // namespace sxros2::texts
