// The serial ports of the system: numbered from 1, each with the name it is
// listed under (on Linux the device path that opens it, on Windows "COMn")
// and a description.
#pragma once

#include <string>
#include <vector>

namespace sxplat {

struct PortEntry {
    unsigned int number;
    std::string path;
    std::string desc;
};

// The ports present, in the system's order. False when they cannot be
// listed (out is then empty).
bool ListSerialPorts(std::vector<PortEntry>& out);

// The path that opens port number; false with the last error set when the
// system has no such port.
bool SerialPortPath(unsigned int number, std::string& path);

} // namespace sxplat
