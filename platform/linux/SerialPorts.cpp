#include "SerialPortsLinux.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sxplat {

namespace {

constexpr const char* kPortsVariable = "SXSERIO_PORTS";

// The first line of a small sysfs attribute, without its line end.
bool ReadAttr(const std::string& path, std::string& value)
{
    std::ifstream in(path);
    if (!in || !std::getline(in, value))
        return false;
    while (!value.empty() && (value.back() == '\n' || value.back() == '\r' || value.back() == ' '))
        value.pop_back();
    return true;
}

bool Exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

std::string BaseName(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string RealPath(const std::string& path)
{
    char buf[PATH_MAX];
    return realpath(path.c_str(), buf) ? std::string(buf) : std::string();
}

bool StartsWith(const std::string& s, const char* prefix)
{
    return s.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

// A ttyS* is listed only when a UART was found behind it.
bool HasUart(const std::string& ttyDir)
{
    std::string type;
    if (!ReadAttr(ttyDir + "/type", type))
        return false;
    return !type.empty() && std::strtol(type.c_str(), nullptr, 10) != 0;
}

// The strings of the USB device the port belongs to (its nearest ancestor
// with idVendor): "manufacturer product", either alone when the other is
// missing. False when there is no USB parent or it has neither string.
bool UsbStrings(const std::string& devicePath, const std::string& stopAt, std::string& desc)
{
    std::string dir = devicePath;
    while (dir.size() > stopAt.size() && StartsWith(dir, stopAt.c_str())) {
        if (Exists(dir + "/idVendor")) {
            std::string manufacturer, product;
            const bool hasM = ReadAttr(dir + "/manufacturer", manufacturer) && !manufacturer.empty();
            const bool hasP = ReadAttr(dir + "/product", product) && !product.empty();
            if (!hasM && !hasP)
                return false;
            desc = hasM && hasP ? manufacturer + " " + product : (hasM ? manufacturer : product);
            return true;
        }
        const size_t slash = dir.find_last_of('/');
        if (slash == std::string::npos)
            break;
        dir.erase(slash);
    }
    return false;
}

std::string Description(const std::string& ttyDir, const std::string& sysRoot)
{
    const std::string device = RealPath(ttyDir + "/device");
    std::string desc;
    const std::string root = RealPath(sysRoot);
    if (!device.empty() && !root.empty() && UsbStrings(device, root, desc))
        return desc;
    const std::string driver = RealPath(ttyDir + "/device/driver");
    return driver.empty() ? std::string() : BaseName(driver);
}

} // namespace

bool NaturalLess(const std::string& a, const std::string& b)
{
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const bool da = a[i] >= '0' && a[i] <= '9';
        const bool db = b[j] >= '0' && b[j] <= '9';
        if (da && db) {
            size_t ei = i, ej = j;
            while (ei < a.size() && a[ei] >= '0' && a[ei] <= '9')
                ++ei;
            while (ej < b.size() && b[ej] >= '0' && b[ej] <= '9')
                ++ej;
            // Compare by value: strip leading zeros, then length, then digits.
            size_t si = i, sj = j;
            while (si + 1 < ei && a[si] == '0')
                ++si;
            while (sj + 1 < ej && b[sj] == '0')
                ++sj;
            if (ei - si != ej - sj)
                return ei - si < ej - sj;
            const int c = a.compare(si, ei - si, b, sj, ej - sj);
            if (c != 0)
                return c < 0;
            i = ei;
            j = ej;
        } else {
            if (a[i] != b[j])
                return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

void ListPortsFromText(const char* text, std::vector<PortEntry>& out)
{
    out.clear();
    std::string all(text ? text : "");
    size_t start = 0;
    while (start <= all.size()) {
        size_t end = all.find(':', start);
        if (end == std::string::npos)
            end = all.size();
        if (end > start)
            out.push_back({static_cast<unsigned int>(out.size() + 1), all.substr(start, end - start), std::string()});
        start = end + 1;
    }
}

bool ListPortsFromSysfs(const std::string& sysRoot, std::vector<PortEntry>& out)
{
    out.clear();
    const std::string classDir = sysRoot + "/class/tty";
    DIR* dir = opendir(classDir.c_str());
    if (!dir)
        return false;
    std::vector<std::string> names;
    while (dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string ttyDir = classDir + "/" + name;
        // Virtual consoles and pseudo-terminals have no device behind them.
        if (!Exists(ttyDir + "/device"))
            continue;
        if (StartsWith(name, "ttyS") && !HasUart(ttyDir))
            continue;
        names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end(), NaturalLess);
    for (const std::string& name : names)
        out.push_back(
            {static_cast<unsigned int>(out.size() + 1), "/dev/" + name, Description(classDir + "/" + name, sysRoot)});
    return true;
}

bool ListSerialPorts(std::vector<PortEntry>& out)
{
    try {
        if (const char* text = std::getenv(kPortsVariable)) {
            ListPortsFromText(text, out);
            return true;
        }
        return ListPortsFromSysfs("/sys", out);
    } catch (...) {
        out.clear();
        return false;
    }
}

bool SerialPortPath(unsigned int number, std::string& path)
{
    std::vector<PortEntry> ports;
    if (ListSerialPorts(ports)) {
        for (const PortEntry& p : ports)
            if (p.number == number) {
                try {
                    path = p.path;
                    return true;
                } catch (...) {
                    break;
                }
            }
    }
    errno = ENODEV;
    return false;
}

} // namespace sxplat
