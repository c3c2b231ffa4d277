#include "UsbEmu.h"

#include <umockdev.h>

#include <sys/prctl.h>

#include <cstdio>
#include <stdexcept>

// ThreadSanitizer cannot see glib's own locks (futexes), so it reports races
// inside glib and umockdev between the testbed and its worker thread. Only
// reports with a frame in those libraries are dropped.
extern "C" __attribute__((visibility("default"), used)) const char* __tsan_default_suppressions()
{
    return "race:libglib-2.0.so\n"
           "race:libgobject-2.0.so\n"
           "race:libgio-2.0.so\n"
           "race:libumockdev.so\n";
}

namespace sxtest::usbemu {

struct UsbTestbed::Impl {
    UMockdevTestbed* tb = nullptr;
    std::vector<std::unique_ptr<EmulatedDevice>> devices;
    std::vector<UMockdevIoctlBase*> handlers;
};

namespace {

std::string Hex(const std::vector<uint8_t>& bytes)
{
    std::string s;
    char b[3];
    for (uint8_t v : bytes) {
        snprintf(b, sizeof b, "%02X", v);
        s += b;
    }
    return s;
}

void Check(gboolean ok, GError* err, const char* what)
{
    if (ok)
        return;
    std::string msg = std::string(what) + ": " + (err ? err->message : "failed");
    if (err)
        g_error_free(err);
    throw std::runtime_error(msg);
}

} // namespace

UsbTestbed::UsbTestbed() : m(std::make_unique<Impl>())
{
    // Every emulated ioctl ends in usleep(0); with the default timer slack
    // that is a real sleep. Threads created from now on inherit this.
    prctl(PR_SET_TIMERSLACK, 1UL);
    m->tb = umockdev_testbed_new();
    if (!umockdev_in_mock_environment())
        throw std::runtime_error("usbemu: libumockdev-preload is not loaded");
}

UsbTestbed::~UsbTestbed()
{
    for (size_t i = 0; i < m->devices.size(); ++i) {
        GError* err = nullptr;
        umockdev_testbed_detach_ioctl(m->tb, m->devices[i]->DevNode().c_str(), &err);
        if (err)
            g_error_free(err);
    }
    for (UMockdevIoctlBase* h : m->handlers)
        g_object_unref(h);
    g_object_unref(m->tb);
    m->devices.clear();
}

EmulatedDevice& UsbTestbed::AddDevice(const DeviceSpec& spec)
{
    const auto bus = static_cast<uint8_t>(m->devices.size() + 1);
    std::unique_ptr<EmulatedDevice> dev(new EmulatedDevice(spec, bus));

    auto* h = static_cast<UMockdevIoctlBase*>(dev->NewHandler());
    m->handlers.push_back(h);
    GError* err = nullptr;
    Check(umockdev_testbed_attach_ioctl(m->tb, dev->DevNode().c_str(), h, &err), err, "attach_ioctl");

    char busText[8];
    snprintf(busText, sizeof busText, "%03u", bus);
    std::string block;
    block += "P: /devices/usb" + std::to_string(bus) + "\n";
    block += "N: bus/usb/" + std::string(busText) + "/001\n";
    block += "E: SUBSYSTEM=usb\n";
    block += "E: DEVTYPE=usb_device\n";
    block += "E: BUSNUM=" + std::string(busText) + "\n";
    block += "E: DEVNUM=001\n";
    block += "E: DEVNAME=" + dev->DevNode() + "\n";
    block += "A: busnum=" + std::to_string(bus) + "\\n\n";
    block += "A: devnum=1\\n\n";
    block += "A: speed=12\\n\n";
    block += "A: bConfigurationValue=1\\n\n";
    block += "H: descriptors=" + Hex(BuildDescriptors(spec)) + "\n";
    Check(umockdev_testbed_add_from_string(m->tb, block.c_str(), &err), err, "add_from_string");
    gchar* root = umockdev_testbed_get_root_dir(m->tb);
    const std::string node = std::string(root) + dev->DevNode();
    g_free(root);
    dev->UseReadinessNode(node);

    m->devices.push_back(std::move(dev));
    return *m->devices.back();
}

void UsbTestbed::Unplug(EmulatedDevice& dev)
{
    dev.MarkGone();
    umockdev_testbed_uevent(m->tb, dev.SysPath().c_str(), "remove");
}

} // namespace sxtest::usbemu
