// The serial ports on Linux: SXSERIO_PORTS when it is set, else the
// devices present under /sys; the device path is the name.
#pragma once

#include <platform/SerialPorts.h>

#include <string>
#include <vector>

namespace sxplat {

// The entries of a ':'-separated list of paths, numbered in order, without
// descriptions; empty entries are skipped.
void ListPortsFromText(const char* text, std::vector<PortEntry>& out);

// The serial devices under sysRoot/class/tty: entries with a device link
// (ttyS* only with a real UART, type not 0), in natural order. Description:
// the USB parent's manufacturer and product, else the driver's name.
// False when sysRoot/class/tty cannot be read.
bool ListPortsFromSysfs(const std::string& sysRoot, std::vector<PortEntry>& out);

// Natural order of names: digit runs compare by value (ttyS2 < ttyS10).
bool NaturalLess(const std::string& a, const std::string& b);

} // namespace sxplat
