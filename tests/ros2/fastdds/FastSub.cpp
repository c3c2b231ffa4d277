// A subscriber built on Fast DDS, the middleware ROS 2 uses by default, with
// types fastddsgen made in ROS 2's naming: it reads /tf and one pose topic
// with reliable readers, as ROS 2's default profile and tf2 do, and prints
// what it saw as one JSON object.
//
//   sxros2_fastsub DOMAIN POSE_TOPIC SAMPLES SECONDS
//
// It stops once both readers have SAMPLES samples, or the pose reader has
// been offered a writer whose QoS it must refuse and /tf has SAMPLES
// samples, or after SECONDS.
#include "ros2_msgsPubSubTypes.h"

#include <fastdds/dds/domain/DomainParticipant.hpp>
#include <fastdds/dds/domain/DomainParticipantFactory.hpp>
#include <fastdds/dds/subscriber/DataReader.hpp>
#include <fastdds/dds/subscriber/DataReaderListener.hpp>
#include <fastdds/dds/subscriber/SampleInfo.hpp>
#include <fastdds/dds/subscriber/Subscriber.hpp>
#include <fastdds/dds/subscriber/qos/DataReaderQos.hpp>
#include <fastdds/dds/topic/TypeSupport.hpp>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

using namespace eprosima::fastdds::dds;

namespace {

std::mutex g_mutex;
std::condition_variable g_changed;

struct Counts {
    unsigned samples = 0;
    unsigned matched = 0;
    unsigned incompatible = 0;
};

// Takes every sample; keeps the first one's text.
template <typename Message>
class Reader : public DataReaderListener {
public:
    explicit Reader(std::string (*describe)(const Message&)) : m_describe(describe) {}

    void on_data_available(DataReader* reader) override
    {
        Message m;
        SampleInfo info;
        while (reader->take_next_sample(&m, &info) == ReturnCode_t::RETCODE_OK) {
            if (!info.valid_data)
                continue;
            std::lock_guard<std::mutex> lock(g_mutex);
            if (counts.samples++ == 0)
                first = m_describe(m);
            g_changed.notify_all();
        }
    }
    void on_subscription_matched(DataReader*, const SubscriptionMatchedStatus& s) override
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        counts.matched = static_cast<unsigned>(s.total_count);
        g_changed.notify_all();
    }
    void on_requested_incompatible_qos(DataReader*, const RequestedIncompatibleQosStatus& s) override
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        counts.incompatible = static_cast<unsigned>(s.total_count);
        g_changed.notify_all();
    }

    Counts counts;
    std::string first;

private:
    std::string (*m_describe)(const Message&);
};

std::string Num(double v)
{
    char b[40];
    std::snprintf(b, sizeof b, "%.9f", v);
    return b;
}

std::string Describe(const geometry_msgs::msg::PoseStamped& p)
{
    const auto& q = p.pose().orientation();
    const auto& x = p.pose().position();
    return "{\"frame_id\": \"" + p.header().frame_id() + "\", \"sec\": " + std::to_string(p.header().stamp().sec()) +
           ", \"position\": [" + Num(x.x()) + ", " + Num(x.y()) + ", " + Num(x.z()) + "], \"rotation\": [" +
           Num(q.x()) + ", " + Num(q.y()) + ", " + Num(q.z()) + ", " + Num(q.w()) + "]}";
}

std::string Describe(const tf2_msgs::msg::TFMessage& m)
{
    std::string s = "[";
    for (const auto& t : m.transforms()) {
        const auto& v = t.transform().translation();
        const auto& q = t.transform().rotation();
        s += std::string(s.size() > 1 ? ", " : "") + "{\"frame_id\": \"" + t.header().frame_id() +
             "\", \"child_frame_id\": \"" + t.child_frame_id() + "\", \"translation\": [" + Num(v.x()) + ", " +
             Num(v.y()) + ", " + Num(v.z()) + "], \"rotation\": [" + Num(q.x()) + ", " + Num(q.y()) + ", " +
             Num(q.z()) + ", " + Num(q.w()) + "]}";
    }
    return s + "]";
}

std::string Json(const char* name, const Counts& c, const std::string& first)
{
    return std::string("\"") + name + "\": {\"samples\": " + std::to_string(c.samples) +
           ", \"matched\": " + std::to_string(c.matched) + ", \"incompatible\": " + std::to_string(c.incompatible) +
           ", \"first\": " + (first.empty() ? "null" : first) + "}";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: sxros2_fastsub DOMAIN POSE_TOPIC SAMPLES SECONDS\n");
        return 2;
    }
    const int domain = std::atoi(argv[1]);
    const std::string poseTopic = argv[2];
    const unsigned want = static_cast<unsigned>(std::atoi(argv[3]));
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(std::atoi(argv[4]));

    DomainParticipant* p =
        DomainParticipantFactory::get_instance()->create_participant(domain, PARTICIPANT_QOS_DEFAULT);
    if (!p) {
        std::fprintf(stderr, "cannot create a participant on domain %d\n", domain);
        return 1;
    }
    TypeSupport tfType(new tf2_msgs::msg::TFMessagePubSubType());
    TypeSupport poseType(new geometry_msgs::msg::PoseStampedPubSubType());
    tfType.register_type(p);
    poseType.register_type(p);
    Topic* tfTopic = p->create_topic("rt/tf", tfType.get_type_name(), TOPIC_QOS_DEFAULT);
    Topic* pose = p->create_topic(poseTopic, poseType.get_type_name(), TOPIC_QOS_DEFAULT);
    Subscriber* sub = p->create_subscriber(SUBSCRIBER_QOS_DEFAULT);

    // Reliable and volatile, as tf2 (keep last 100) and ROS 2's default
    // profile (keep last 10) subscribe.
    DataReaderQos qos = DATAREADER_QOS_DEFAULT;
    qos.reliability().kind = RELIABLE_RELIABILITY_QOS;
    qos.durability().kind = VOLATILE_DURABILITY_QOS;
    qos.history().kind = KEEP_LAST_HISTORY_QOS;
    Reader<tf2_msgs::msg::TFMessage> tf(&Describe);
    Reader<geometry_msgs::msg::PoseStamped> poses(&Describe);
    qos.history().depth = 100;
    DataReader* tfReader = sub->create_datareader(tfTopic, qos, &tf);
    qos.history().depth = 10;
    DataReader* poseReader = sub->create_datareader(pose, qos, &poses);
    if (!tfReader || !poseReader) {
        std::fprintf(stderr, "cannot create the readers\n");
        return 1;
    }
    std::fprintf(stderr, "fastsub: %s and %s as %s and %s\n", "rt/tf", poseTopic.c_str(),
                 tfType.get_type_name().c_str(), poseType.get_type_name().c_str());

    {
        std::unique_lock<std::mutex> lock(g_mutex);
        g_changed.wait_until(lock, until, [&] {
            return tf.counts.samples >= want && (poses.counts.samples >= want || poses.counts.incompatible > 0);
        });
    }
    // The readers go before the summary: no listener runs while it is read.
    sub->delete_datareader(tfReader);
    sub->delete_datareader(poseReader);
    std::lock_guard<std::mutex> lock(g_mutex);
    std::printf("{%s, %s}\n", Json("tf", tf.counts, tf.first).c_str(), Json("pose", poses.counts, poses.first).c_str());
    p->delete_contained_entities();
    DomainParticipantFactory::get_instance()->delete_participant(p);
    return 0;
}
