// Test helpers: a client built on OpenIGTLink's ClientSocket and message
// classes, a simulated tracker connected through the library, and the
// expected poses of the simulator's static-pose option.
#pragma once

#include <igtlClientSocket.h>
#include <igtlMessageBase.h>
#include <igtlMessageHeader.h>

#include <array>
#include <string>

namespace igtltest {

struct Received {
    std::string type;
    std::string name;
    igtl::MessageBase::Pointer msg; // the typed message (generic for unknown types)
    int unpacked = 0;               // Unpack(1) result: UNPACK_BODY only when the CRC holds
    double stamp = 0.0;             // header time stamp, seconds since the epoch
    bool CrcOk() const { return (unpacked & igtl::MessageHeader::UNPACK_BODY) != 0; }
};

class Client {
public:
    bool Connect(int port);
    // The next message, or false after timeoutMs or when the server closed.
    bool Next(Received& r, int timeoutMs = 3000);
    // The next message of this type (others are skipped).
    bool NextOf(const std::string& type, Received& r, int timeoutMs = 3000);
    bool Send(igtl::MessageBase* m);
    void Close();
    igtl::ClientSocket* Socket() { return m_sock.GetPointer(); }

private:
    igtl::ClientSocket::Pointer m_sock;
    int m_timeoutMs = -1;
};

// The simulator's documented static pose of sensor k: position in inches,
// Euler angles in degrees.
std::array<double, 3> StaticPositionInches(int k);
std::array<double, 3> StaticEulerDegrees(int k);
// The expected 4x4 matrix: Rz(azimuth) * Ry(elevation) * Rx(roll), built
// by multiplying the three elementary rotations, and the position in mm.
void ExpectedMatrix(int k, double m[4][4]);

} // namespace igtltest
