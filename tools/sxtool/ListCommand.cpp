// list: the trackers on USB and the serial ports, as the transports see them.
#include "Commands.h"

#include "ExitCodes.h"
#include "Output.h"
#include "Texts.h"

#include <SXCmdIF/SXCmdIF.h>
#include <SXserIO/SXserIO.h>

#include <libusb.h>
#ifdef _WIN32
#include <LibusbDll.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace sxtool {

namespace {

struct Product {
    uint16_t pid;
    const char* name;
};
constexpr Product kProducts[] = {
    {PID_SORIX, texts::kNameTracker}, {PID_Q7_HUB, texts::kNameHub}, {PID_Q7_TAG, texts::kNameTag}};

const char* ProductName(uint16_t vid, uint16_t pid)
{
    if (vid != VID_MAKER)
        return nullptr;
    for (const Product& p : kProducts)
        if (p.pid == pid)
            return p.name;
    return nullptr;
}

void ListUsb()
{
    std::fputs(texts::kUsbHeading, DataOut());
#ifdef _WIN32
    if (!sxusb::LibusbLoaded()) {
        std::fputs(texts::kUsbNeedsDll, DataOut());
        return;
    }
#endif
    libusb_context* usb = nullptr;
    int rc = libusb_init(&usb);
    if (rc != 0) {
        std::fprintf(DataOut(), texts::kUsbUnavailable, libusb_error_name(rc));
        return;
    }
    libusb_device** list = nullptr;
    const ssize_t n = libusb_get_device_list(usb, &list);
    if (n < 0) {
        std::fprintf(DataOut(), texts::kUsbUnavailable, libusb_error_name(static_cast<int>(n)));
        libusb_exit(usb);
        return;
    }
    int found = 0;
    for (ssize_t i = 0; i < n; ++i) {
        libusb_device_descriptor d{};
        if (libusb_get_device_descriptor(list[i], &d) != 0)
            continue;
        const char* name = ProductName(d.idVendor, d.idProduct);
        if (!name)
            continue;
        std::fprintf(DataOut(), texts::kUsbRow, d.idVendor, d.idProduct, libusb_get_bus_number(list[i]),
                    libusb_get_device_address(list[i]), name);
        ++found;
    }
    if (found == 0)
        std::fputs(texts::kUsbNone, DataOut());
    libusb_free_device_list(list, 1);
    libusb_exit(usb);
}

std::string Narrow(const std::wstring& w)
{
    std::string out;
    for (wchar_t c : w)
        out += static_cast<uint32_t>(c) < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

void ListSerial()
{
    std::fputs(texts::kSerialHeading, DataOut());
    unsigned count = 0;
    if (CSXserIO::ListSerPorts(nullptr, count) != 0) {
        std::fputs(texts::kSerialUnavailable, DataOut());
        return;
    }
    std::vector<_sx_serportinfo> ports(count + 1);
    unsigned capacity = count + 1;
    if (count == 0 || CSXserIO::ListSerPorts(ports.data(), capacity) != 0) {
        std::fputs(count == 0 ? texts::kSerialNone : texts::kSerialUnavailable, DataOut());
        return;
    }
    for (unsigned i = 0; i < count && i < capacity; ++i)
        std::fprintf(DataOut(), texts::kSerialRow, ports[i].uPort, Narrow(ports[i].wsName).c_str(),
                    Narrow(ports[i].wsDesc).c_str());
}

} // namespace

int RunList()
{
    ListUsb();
    ListSerial();
    std::fflush(DataOut());
    return kExitOk;
}

} // namespace sxtool
