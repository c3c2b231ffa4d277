// The DDS side of the publisher: one participant on the domain, the topics
// /tf, /<ns>/sensor<k>/pose and /diagnostics with ROS 2's type names, and a
// writer each with the QoS ROS 2's tools subscribe with. The samples of a
// frame are built in place, in buffers made once: writing a frame
// allocates nothing.
#pragma once

#include "ros2/RosPose.h"
#include "ros2/SXros2.h"

#include <dds/dds.h>

#include "diagnostic_msgs.h"
#include "geometry_msgs.h"
#include "tf2_msgs.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace sxros2 {

// DiagnosticStatus levels.
enum class DiagLevel : uint8_t { Ok = 0, Warn = 1, Error = 2, Stale = 3 };

// One /diagnostics message: the tracker's status and its values.
struct DiagnosticsReport {
    DiagLevel level = DiagLevel::Ok;
    std::string name;
    std::string message;
    std::string hardwareId;
    std::vector<std::pair<std::string, std::string>> values;
};

class RosWriters {
public:
    RosWriters(const std::string& ns, PoseQos poseQos);
    ~RosWriters();
    RosWriters(const RosWriters&) = delete;
    RosWriters& operator=(const RosWriters&) = delete;

    // Joins the domain and makes /tf and /diagnostics; false with what
    // failed and why in error ("create the topic /tf: ...").
    bool Open(int domain, std::string& error);
    // Makes the pose topic and writer of a sensor unless it has one.
    bool AddSensor(unsigned sensor, std::string& error);
    // /tf and each sensor's pose, stamped stampNs (system clock); returns
    // the samples DDS refused (a sensor whose writer cannot be made counts).
    unsigned WriteFrame(const FramePoses& poses, int64_t stampNs);
    // /diagnostics, stamped nowNs (system clock); false when DDS refused it.
    bool WriteDiagnostics(const DiagnosticsReport& report, int64_t nowNs);

private:
    std::string m_ns;
    PoseQos m_poseQos;
    dds_entity_t m_participant = 0;
    dds_entity_t m_tfWriter = 0;
    dds_entity_t m_diagWriter = 0;
    dds_entity_t m_poseWriters[kMaxSensors] = {};

    // Frame ids, referred to by the samples (fixed once made).
    std::string m_sourceFrame;
    std::string m_sensorFrames[kMaxSensors];
    geometry_msgs_msg_dds__TransformStamped_ m_transforms[kMaxSensors] = {};
    tf2_msgs_msg_dds__TFMessage_ m_tf = {};
    geometry_msgs_msg_dds__PoseStamped_ m_pose = {};
};

// builtin_interfaces/Time of a system-clock time in nanoseconds.
builtin_interfaces_msg_dds__Time_ RosTime(int64_t systemNs);

} // namespace sxros2
