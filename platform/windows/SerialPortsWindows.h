// The serial ports on Windows: numbered by their COM number. The list is
// SXSERIO_PORTS when it is set, else the serial ports of the device-setup
// service followed by those only the registry's device map names.
#pragma once

#include <platform/SerialPorts.h>

#include <string>
#include <vector>

namespace sxplat {

// The number of a port name "COM<digits>" (any case, at least one digit,
// nothing else); 0 when the name is not one.
unsigned int ComNumber(const std::wstring& name);

// The entries of a ':'-separated list of port names ("COM5") or device
// paths ("\\.\COM5"), in order, without descriptions; other entries are
// skipped.
void ListPortsFromText(const char* text, std::vector<PortEntry>& out);

// Adds the ports of HKLM\HARDWARE\DEVICEMAP\SERIALCOMM that out does not
// hold yet, by number.
void AddDeviceMapPorts(std::vector<PortEntry>& out);

} // namespace sxplat
