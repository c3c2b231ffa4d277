#include "igtl/IgtlMessages.h"

#include <igtlCapabilityMessage.h>
#include <igtlStatusMessage.h>
#include <igtlTimeStamp.h>
#include <igtl_header.h>
#include <igtl_tdata.h>
#include <igtl_util.h>

#include <chrono>
#include <cstddef>
#include <cstring>

namespace sxigtl {

namespace {

constexpr int64_t kNsPerSec = 1000000000;

using Bytes = std::vector<unsigned char>;

Bytes PackedBytes(igtl::MessageBase* m)
{
    m->Pack();
    const auto* p = static_cast<const unsigned char*>(m->GetPackPointer());
    return Bytes(p, p + m->GetPackSize());
}

Packet PackOf(igtl::MessageBase* m)
{
    return std::make_shared<const Bytes>(PackedBytes(m));
}

// The header's CRC made that of the body again, after bytes of the body
// that OpenIGTLink leaves as they were in memory have been set.
Packet Resealed(Bytes bytes)
{
    igtl_header h;
    std::memcpy(&h, bytes.data(), IGTL_HEADER_SIZE);
    igtl_header_convert_byte_order(&h);
    h.crc = crc64(bytes.data() + IGTL_HEADER_SIZE, bytes.size() - IGTL_HEADER_SIZE, 0);
    igtl_header_convert_byte_order(&h);
    std::memcpy(bytes.data(), &h, IGTL_HEADER_SIZE);
    return std::make_shared<const Bytes>(std::move(bytes));
}

void StampMessage(igtl::MessageBase* m, int64_t wallNs)
{
    if (wallNs < 0)
        wallNs = 0;
    igtl::TimeStamp::Pointer ts = igtl::TimeStamp::New();
    ts->SetTime(static_cast<igtlUint32>(wallNs / kNsPerSec), static_cast<igtlUint32>(wallNs % kNsPerSec));
    m->SetTimeStamp(ts);
}

// Unset, the sub-code and the error name go out as whatever was in memory;
// the name, once set, is padded with zeros.
igtl::StatusMessage::Pointer NewStatus(const char* deviceName)
{
    igtl::StatusMessage::Pointer s = igtl::StatusMessage::New();
    s->SetDeviceName(deviceName);
    s->SetSubCode(0);
    s->SetErrorName("");
    return s;
}

} // namespace

int64_t WallClockNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

Packet PackTransform(igtl::TransformMessage* msg, const std::string& name, const float matrix[4][4], int64_t wallNs)
{
    msg->SetDeviceName(name.c_str());
    igtl::Matrix4x4 m;
    std::memcpy(m, matrix, sizeof m);
    msg->SetMatrix(m);
    StampMessage(msg, wallNs);
    return PackOf(msg);
}

Packet PackTdata(igtl::TrackingDataMessage* msg, const std::string& prefix, const FramePoses& poses, int64_t wallNs)
{
    msg->ClearTrackingDataElements();
    msg->SetDeviceName(kTrackerName);
    for (const SensorPose& pose : poses.sensors) {
        igtl::TrackingDataElement::Pointer e = igtl::TrackingDataElement::New();
        e->SetName((prefix + std::to_string(pose.sensor)).c_str());
        e->SetType(igtl::TrackingDataElement::TYPE_6D);
        igtl::Matrix4x4 m;
        std::memcpy(m, pose.matrix, sizeof m);
        e->SetMatrix(m);
        msg->AddTrackingDataElement(e);
    }
    StampMessage(msg, wallNs);
    // OpenIGTLink never writes an element's reserved byte.
    Bytes bytes = PackedBytes(msg);
    for (size_t at = IGTL_HEADER_SIZE + offsetof(igtl_tdata_element, reserved); at < bytes.size();
         at += sizeof(igtl_tdata_element))
        bytes[at] = 0;
    return Resealed(std::move(bytes));
}

Packet PackStatus(TrackerState state, unsigned bitError, int staleMs)
{
    igtl::StatusMessage::Pointer s = NewStatus(kTrackerName);
    switch (state) {
    case TrackerState::Waiting:
        s->SetCode(igtl::StatusMessage::STATUS_NOT_READY);
        s->SetErrorName("NOT_READY");
        s->SetStatusString("waiting for the first P&O frame");
        break;
    case TrackerState::Tracking:
        s->SetCode(igtl::StatusMessage::STATUS_OK);
        s->SetStatusString("tracking");
        break;
    case TrackerState::NoFrames: {
        s->SetCode(igtl::StatusMessage::STATUS_TIME_OUT);
        s->SetErrorName("TIME_OUT");
        const std::string text = "no P&O frames for " + std::to_string(staleMs) + " ms";
        s->SetStatusString(text.c_str());
        break;
    }
    case TrackerState::BitError: {
        s->SetCode(igtl::StatusMessage::STATUS_HARDWARE_FAILURE);
        s->SetSubCode(static_cast<igtlInt64>(bitError));
        s->SetErrorName("BIT_ERROR");
        const std::string text = "tracker built-in test error " + std::to_string(bitError);
        s->SetStatusString(text.c_str());
        break;
    }
    case TrackerState::Stopping:
        s->SetCode(igtl::StatusMessage::STATUS_SHUT_DOWN);
        s->SetErrorName("SHUT_DOWN");
        s->SetStatusString("tracking stopped");
        break;
    }
    StampMessage(s, WallClockNs());
    return PackOf(s);
}

Packet PackCapability()
{
    igtl::CapabilityMessage::Pointer m = igtl::CapabilityMessage::New();
    m->SetDeviceName(kTrackerName);
    m->SetTypes({"TRANSFORM", "GET_TRANS", "TDATA", "GET_TDATA", "STT_TDATA", "STP_TDATA", "RTS_TDATA", "STATUS",
                 "GET_STATUS", "CAPABILITY", "GET_CAPABIL"});
    StampMessage(m, WallClockNs());
    return PackOf(m);
}

Packet PackRtsTdata(bool ok)
{
    igtl::RTSTrackingDataMessage::Pointer m = igtl::RTSTrackingDataMessage::New();
    m->SetDeviceName(kTrackerName);
    m->SetStatus(ok ? igtl::RTSTrackingDataMessage::STATUS_SUCCESS : igtl::RTSTrackingDataMessage::STATUS_ERROR);
    StampMessage(m, WallClockNs());
    return PackOf(m);
}

Packet PackNotFound(const std::string& name, bool havePoses)
{
    igtl::StatusMessage::Pointer s = NewStatus(name.c_str());
    s->SetCode(igtl::StatusMessage::STATUS_NOT_FOUND);
    s->SetErrorName("NOT_FOUND");
    s->SetStatusString(havePoses ? "no such sensor" : "no P&O frame yet");
    StampMessage(s, WallClockNs());
    return PackOf(s);
}

} // namespace sxigtl
