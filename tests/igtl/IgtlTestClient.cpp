#include "IgtlTestClient.h"

#include <igtlCapabilityMessage.h>
#include <igtlStatusMessage.h>
#include <igtlTimeStamp.h>
#include <igtlTrackingDataMessage.h>
#include <igtlTransformMessage.h>
#include <igtl_header.h>

#include <chrono>
#include <cmath>

namespace igtltest {

namespace {

using Clock = std::chrono::steady_clock;

igtl::MessageBase::Pointer MessageOf(const std::string& type)
{
    if (type == "TRANSFORM")
        return igtl::TransformMessage::New().GetPointer();
    if (type == "TDATA")
        return igtl::TrackingDataMessage::New().GetPointer();
    if (type == "STATUS")
        return igtl::StatusMessage::New().GetPointer();
    if (type == "CAPABILITY")
        return igtl::CapabilityMessage::New().GetPointer();
    if (type == "RTS_TDATA")
        return igtl::RTSTrackingDataMessage::New().GetPointer();
    return igtl::MessageBase::New().GetPointer();
}

} // namespace

bool Client::Connect(int port)
{
    m_sock = igtl::ClientSocket::New();
    m_timeoutMs = -1;
    return m_sock->ConnectToServer("127.0.0.1", port) == 0;
}

bool Client::Next(Received& r, int timeoutMs)
{
    if (!m_sock || !m_sock->GetConnected())
        return false;
    if (timeoutMs != m_timeoutMs) {
        m_sock->SetReceiveTimeout(timeoutMs);
        m_timeoutMs = timeoutMs;
    }
    igtl::MessageHeader::Pointer h = igtl::MessageHeader::New();
    h->InitPack();
    if (m_sock->Receive(h->GetPackPointer(), h->GetPackSize()) != h->GetPackSize())
        return false;
    h->Unpack();
    r.type = h->GetDeviceType();
    r.name = h->GetDeviceName();
    igtl::TimeStamp::Pointer ts = igtl::TimeStamp::New();
    h->GetTimeStamp(ts);
    r.stamp = ts->GetTimeStamp();
    r.msg = MessageOf(r.type);
    r.msg->SetMessageHeader(h);
    r.msg->AllocatePack();
    const int body = r.msg->GetPackBodySize();
    if (body > 0 && m_sock->Receive(r.msg->GetPackBodyPointer(), body) != body)
        return false;
    r.unpacked = r.msg->Unpack(1);
    return true;
}

bool Client::NextOf(const std::string& type, Received& r, int timeoutMs)
{
    const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (left <= 0)
            return false;
        if (!Next(r, static_cast<int>(left)))
            return false;
        if (r.type == type)
            return true;
    }
}

bool Client::Send(igtl::MessageBase* m)
{
    m->Pack();
    return m_sock->Send(m->GetPackPointer(), m->GetPackSize()) == 1;
}

void Client::Close()
{
    if (m_sock)
        m_sock->CloseSocket();
}

std::array<double, 3> StaticPositionInches(int k)
{
    return {10.0 + k, -5.0 + 2.0 * k, 3.5};
}

std::array<double, 3> StaticEulerDegrees(int k)
{
    return {10.0 * k, 30.0, -45.0};
}

void ExpectedMatrix(int k, double m[4][4])
{
    const double d2r = 3.14159265358979323846 / 180.0;
    const auto e = StaticEulerDegrees(k);
    const double a = e[0] * d2r, b = e[1] * d2r, c = e[2] * d2r;
    const double rz[3][3] = {{std::cos(a), -std::sin(a), 0}, {std::sin(a), std::cos(a), 0}, {0, 0, 1}};
    const double ry[3][3] = {{std::cos(b), 0, std::sin(b)}, {0, 1, 0}, {-std::sin(b), 0, std::cos(b)}};
    const double rx[3][3] = {{1, 0, 0}, {0, std::cos(c), -std::sin(c)}, {0, std::sin(c), std::cos(c)}};
    double zy[3][3] = {};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int n = 0; n < 3; ++n)
                zy[i][j] += rz[i][n] * ry[n][j];
    const auto p = StaticPositionInches(k);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            m[i][j] = 0.0;
            for (int n = 0; n < 3; ++n)
                m[i][j] += zy[i][n] * rx[n][j];
        }
        m[i][3] = p[static_cast<size_t>(i)] * 25.4;
    }
    m[3][0] = m[3][1] = m[3][2] = 0.0;
    m[3][3] = 1.0;
}

} // namespace igtltest
