// list: the trackers on USB and the serial ports, as the transports see them.
#include "Commands.h"

#include "ExitCodes.h"
#include "Json.h"
#include "Output.h"
#include "Session.h"
#include "Texts.h"

#include <items/Connection.h>

#include <SXCmdIF/SXCmdIF.h>
#include <SXserIO/SXserIO.h>

#include <libusb.h>
#ifdef _WIN32
#include <LibusbDll.h>
#endif

#include <cstdio>
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

struct UsbDevice {
    uint16_t vid, pid;
    unsigned bus, address;
    const char* name;
    const _WHOAMI_STRUCT* identity = nullptr; // trackers that could be opened
};

// The identity of every tracker on USB that opens, in bus order.
std::vector<_WHOAMI_STRUCT> UsbIdentities()
{
    std::vector<_WHOAMI_STRUCT> seen;
    void* ctx = nullptr;
    if (sxcmdif_init(&ctx) != E_SX_SUCCESS)
        return seen;
    void* dev = nullptr;
    sxitems::ConnectUsbWhere(ctx, dev, nullptr, seen);
    sxcmdif_release(ctx);
    return seen;
}

// Gives the trackers their identities when each could be opened: the
// library opens them in the order libusb lists them, which is this list's.
// Returns how many could not be opened.
unsigned AttachIdentities(std::vector<UsbDevice>& usb, const std::vector<_WHOAMI_STRUCT>& identities)
{
    unsigned trackers = 0;
    for (const UsbDevice& d : usb)
        trackers += d.pid == PID_SORIX ? 1u : 0u;
    if (identities.size() != trackers)
        return trackers - static_cast<unsigned>(identities.size() < trackers ? identities.size() : trackers);
    size_t next = 0;
    for (UsbDevice& d : usb)
        if (d.pid == PID_SORIX)
            d.identity = &identities[next++];
    return 0;
}

// The trackers on USB; error receives libusb's reason when they cannot be listed.
std::vector<UsbDevice> UsbDevices(std::string& error)
{
    std::vector<UsbDevice> found;
#ifdef _WIN32
    if (!sxusb::LibusbLoaded()) {
        error = texts::kUsbNeedsDll;
        return found;
    }
#endif
    libusb_context* usb = nullptr;
    int rc = libusb_init(&usb);
    if (rc != 0) {
        error = libusb_error_name(rc);
        return found;
    }
    libusb_device** list = nullptr;
    const ssize_t n = libusb_get_device_list(usb, &list);
    if (n < 0) {
        error = libusb_error_name(static_cast<int>(n));
        libusb_exit(usb);
        return found;
    }
    for (ssize_t i = 0; i < n; ++i) {
        libusb_device_descriptor d{};
        if (libusb_get_device_descriptor(list[i], &d) != 0)
            continue;
        if (const char* name = ProductName(d.idVendor, d.idProduct))
            found.push_back(
                {d.idVendor, d.idProduct, libusb_get_bus_number(list[i]), libusb_get_device_address(list[i]), name});
    }
    libusb_free_device_list(list, 1);
    libusb_exit(usb);
    return found;
}

void PrintListJson(const std::vector<UsbDevice>& usb, const std::string& usbError,
                   const std::vector<SerialPortName>& serial, bool serialOk)
{
    Json j = Json::object();
    Json u = Json::array();
    for (const UsbDevice& d : usb) {
        Json one = {{"vid", d.vid}, {"pid", d.pid}, {"bus", d.bus}, {"address", d.address}, {"name", d.name}};
        if (d.identity)
            one["identity"] = RecordJson(sxitems::Record(sxitems::RecordKind::WhoAmI), d.identity);
        u.push_back(one);
    }
    j["usb"] = u;
    if (!usbError.empty())
        j["usb_error"] = usbError;
    Json s = Json::array();
    for (const SerialPortName& p : serial)
        s.push_back({{"port", p.port}, {"name", p.name}, {"description", p.description}});
    j["serial"] = s;
    if (!serialOk)
        j["serial_error"] = "cannot list serial ports";
    WriteText(DataOut(), j.dump(2) + "\n");
}

} // namespace

int RunList(bool json)
{
    std::string usbError;
    std::vector<UsbDevice> usb = UsbDevices(usbError);
    std::vector<_WHOAMI_STRUCT> identities;
    unsigned unopened = 0;
    if (!usb.empty()) {
        identities = UsbIdentities();
        unopened = AttachIdentities(usb, identities);
    }
    std::vector<SerialPortName> serial;
    const bool serialOk = ListSerialPorts(serial);
    if (json) {
        PrintListJson(usb, usbError, serial, serialOk);
        std::fflush(DataOut());
        return kExitOk;
    }
    std::FILE* out = DataOut();
    std::fputs(texts::kUsbHeading, out);
    if (!usbError.empty())
        std::fprintf(out, texts::kUsbUnavailable, usbError.c_str());
    else if (usb.empty())
        std::fputs(texts::kUsbNone, out);
    using sxitems::IdentityText;
    for (const UsbDevice& d : usb) {
        if (!d.identity) {
            std::fprintf(out, texts::kUsbRow, d.vid, d.pid, d.bus, d.address, d.name);
            continue;
        }
        const _WHOAMI_STRUCT& w = *d.identity;
        std::fprintf(out, texts::kUsbIdentityRow, d.vid, d.pid, d.bus, d.address, d.name,
                     IdentityText(w.hw_ser_no).c_str(), IdentityText(w.device_name).c_str(),
                     IdentityText(w.ioproc).c_str(), IdentityText(w.dsp_bt_fw).c_str(),
                     IdentityText(w.dsp_app_fw).c_str());
    }
    if (unopened > 0)
        std::fprintf(out, texts::kUsbNotOpened, unopened);
    std::fputs(texts::kSerialHeading, out);
    if (!serialOk)
        std::fputs(texts::kSerialUnavailable, out);
    else if (serial.empty())
        std::fputs(texts::kSerialNone, out);
    for (const SerialPortName& p : serial)
        std::fprintf(out, texts::kSerialRow, p.port, p.name.c_str(), p.description.c_str());
    std::fflush(out);
    return kExitOk;
}

} // namespace sxtool
