#include "ros2/RosWriters.h"

#include "ros2/Ros2Names.h"

#include <memory>

namespace sxros2 {

namespace {

constexpr int64_t kNsPerSec = 1000000000;
// How long a reliable write may wait for room in the writer's history
// when a subscriber does not keep up (DDS's default).
constexpr dds_duration_t kMaxBlocking = DDS_MSECS(100);

// History depths of ROS 2's profiles: tf2's /tf, the default profile, the
// sensor-data profile.
constexpr int32_t kTfDepth = 100;
constexpr int32_t kDefaultDepth = 10;
constexpr int32_t kSensorDataDepth = 5;

struct QosDeleter {
    void operator()(dds_qos_t* q) const { dds_delete_qos(q); }
};
using Qos = std::unique_ptr<dds_qos_t, QosDeleter>;

Qos MakeQos(bool reliable, int32_t depth)
{
    Qos q(dds_create_qos());
    dds_qset_reliability(q.get(), reliable ? DDS_RELIABILITY_RELIABLE : DDS_RELIABILITY_BEST_EFFORT, kMaxBlocking);
    dds_qset_durability(q.get(), DDS_DURABILITY_VOLATILE);
    dds_qset_history(q.get(), DDS_HISTORY_KEEP_LAST, depth);
    return q;
}

// A topic and its writer; the writer, or a negative DDS code.
dds_entity_t MakeWriter(dds_entity_t participant, const dds_topic_descriptor_t* type, const std::string& topic,
                        const dds_qos_t* qos)
{
    const dds_entity_t t = dds_create_topic(participant, type, topic.c_str(), qos, nullptr);
    if (t < 0)
        return t;
    return dds_create_writer(participant, t, qos, nullptr);
}

char* Text(std::string& s)
{
    return s.data();
}

} // namespace

builtin_interfaces_msg_dds__Time_ RosTime(int64_t systemNs)
{
    builtin_interfaces_msg_dds__Time_ t;
    int64_t sec = systemNs / kNsPerSec, ns = systemNs % kNsPerSec;
    if (ns < 0) {
        ns += kNsPerSec;
        --sec;
    }
    t.sec = static_cast<int32_t>(sec);
    t.nanosec = static_cast<uint32_t>(ns);
    return t;
}

RosWriters::RosWriters(const std::string& ns, PoseQos poseQos)
    : m_ns(ns), m_poseQos(poseQos), m_sourceFrame(SourceFrame(ns))
{
    for (unsigned k = 0; k < kMaxSensors; ++k) {
        m_sensorFrames[k] = SensorFrame(ns, k);
        m_transforms[k].header.frame_id = Text(m_sourceFrame);
        m_transforms[k].child_frame_id = Text(m_sensorFrames[k]);
    }
    m_tf.transforms._buffer = m_transforms;
    m_tf.transforms._maximum = kMaxSensors;
    m_tf.transforms._release = false;
    m_pose.header.frame_id = Text(m_sourceFrame);
}

RosWriters::~RosWriters()
{
    // Deleting the participant deletes everything in it; a reliable writer
    // first lingers until its subscribers have what was written.
    if (m_participant > 0)
        dds_delete(m_participant);
}

bool RosWriters::Open(int domain, std::string& error)
{
    m_participant = dds_create_participant(static_cast<dds_domainid_t>(domain), nullptr, nullptr);
    if (m_participant < 0) {
        error = std::string("create a participant: ") + dds_strretcode(m_participant);
        m_participant = 0;
        return false;
    }
    m_tfWriter = MakeWriter(m_participant, &tf2_msgs_msg_dds__TFMessage__desc, kTfTopic, MakeQos(true, kTfDepth).get());
    if (m_tfWriter < 0) {
        error = std::string("create the topic /tf: ") + dds_strretcode(m_tfWriter);
        return false;
    }
    m_diagWriter = MakeWriter(m_participant, &diagnostic_msgs_msg_dds__DiagnosticArray__desc, kDiagnosticsTopic,
                              MakeQos(true, kDefaultDepth).get());
    if (m_diagWriter < 0) {
        error = std::string("create the topic /diagnostics: ") + dds_strretcode(m_diagWriter);
        return false;
    }
    return true;
}

bool RosWriters::AddSensor(unsigned sensor, std::string& error)
{
    if (sensor >= kMaxSensors || m_participant <= 0)
        return false;
    if (m_poseWriters[sensor] > 0)
        return true;
    const bool reliable = m_poseQos == PoseQos::Reliable;
    const dds_entity_t w = MakeWriter(m_participant, &geometry_msgs_msg_dds__PoseStamped__desc, PoseTopic(m_ns, sensor),
                                      MakeQos(reliable, reliable ? kDefaultDepth : kSensorDataDepth).get());
    if (w < 0) {
        error = "create the topic /" + PoseTopic(m_ns, sensor).substr(3) + ": " + dds_strretcode(w);
        return false;
    }
    m_poseWriters[sensor] = w;
    return true;
}

unsigned RosWriters::WriteFrame(const FramePoses& poses, int64_t stampNs)
{
    const builtin_interfaces_msg_dds__Time_ stamp = RosTime(stampNs);
    unsigned refused = 0;
    for (unsigned i = 0; i < poses.count; ++i) {
        const SensorPose& p = poses.sensors[i];
        geometry_msgs_msg_dds__TransformStamped_& t = m_transforms[i];
        t.header.stamp = stamp;
        t.child_frame_id = Text(m_sensorFrames[p.sensor]);
        t.transform.translation = {p.position[0], p.position[1], p.position[2]};
        t.transform.rotation = {p.rotation[0], p.rotation[1], p.rotation[2], p.rotation[3]};
    }
    m_tf.transforms._length = poses.count;
    if (dds_write(m_tfWriter, &m_tf) < 0)
        ++refused;

    m_pose.header.stamp = stamp;
    std::string error;
    for (unsigned i = 0; i < poses.count; ++i) {
        const SensorPose& p = poses.sensors[i];
        if (!AddSensor(p.sensor, error)) {
            ++refused;
            continue;
        }
        m_pose.pose.position = {p.position[0], p.position[1], p.position[2]};
        m_pose.pose.orientation = {p.rotation[0], p.rotation[1], p.rotation[2], p.rotation[3]};
        if (dds_write(m_poseWriters[p.sensor], &m_pose) < 0)
            ++refused;
    }
    return refused;
}

bool RosWriters::WriteDiagnostics(const DiagnosticsReport& report, int64_t nowNs)
{
    // Once a second, off the frames' path: plain vectors will do.
    std::vector<std::string> texts;
    texts.reserve(report.values.size() * 2);
    std::vector<diagnostic_msgs_msg_dds__KeyValue_> values(report.values.size());
    for (size_t i = 0; i < report.values.size(); ++i) {
        texts.push_back(report.values[i].first);
        values[i].key = Text(texts.back());
        texts.push_back(report.values[i].second);
        values[i].value = Text(texts.back());
    }
    std::string name = report.name, message = report.message, hardwareId = report.hardwareId;
    std::string frameId;
    diagnostic_msgs_msg_dds__DiagnosticStatus_ status{};
    status.level = static_cast<uint8_t>(report.level);
    status.name = Text(name);
    status.message = Text(message);
    status.hardware_id = Text(hardwareId);
    status.values._buffer = values.data();
    status.values._length = status.values._maximum = static_cast<uint32_t>(values.size());
    status.values._release = false;

    diagnostic_msgs_msg_dds__DiagnosticArray_ array{};
    array.header.stamp = RosTime(nowNs);
    array.header.frame_id = Text(frameId);
    array.status._buffer = &status;
    array.status._length = array.status._maximum = 1;
    array.status._release = false;
    return dds_write(m_diagWriter, &array) >= 0;
}

} // namespace sxros2
