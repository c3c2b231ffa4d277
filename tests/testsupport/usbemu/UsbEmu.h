// An emulated USB device for tests: umockdev holds its sysfs entry and
// descriptors, and an ioctl handler answers the usbdevfs requests the real
// libusb makes on its /dev/bus/usb node. No root, no kernel modules.
//
// The device is an endpoint pair of a tracker: OUT data goes to a handler,
// IN data is queued chunk by chunk (one chunk completes one IN URB, as a
// short packet would end a transfer). Knobs emulate refused claims, short
// writes, stalls, errors, overflows, time-outs and unplugging.
//
// Its device node is a FIFO that polls writable only while a finished URB
// waits to be reaped (or the device is gone), as a usbfs node does: libusb's
// event loop then sleeps in poll() between completions instead of reaping in
// a spin.
//
// The executable must link libumockdev-preload (the sxusbemu target does it).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace sxtest::usbemu {

struct EndpointSpec {
    uint8_t address;           // bit 7 set: IN
    uint8_t attributes = 0x02; // transfer type in bits 0-1: 2 bulk, 3 interrupt, 0 control
    uint16_t maxPacket = 64;
};

struct InterfaceSpec {
    // Alternate settings in order, each with its endpoints.
    std::vector<std::vector<EndpointSpec>> alternates;
};

struct DeviceSpec {
    uint16_t vid = 0;
    uint16_t pid = 0;
    std::vector<InterfaceSpec> interfaces;

    // One interface with a bulk IN endpoint 0x81 and a bulk OUT endpoint 0x02.
    static DeviceSpec Tracker(uint16_t vid, uint16_t pid, uint16_t maxPacket = 64);
};

// Device descriptor followed by the whole configuration descriptor, as
// sysfs shows them in "descriptors".
std::vector<uint8_t> BuildDescriptors(const DeviceSpec& spec);

// What the ioctl handler has seen, for waits and assertions.
struct DeviceCounters {
    int opens = 0;        // device node opened (client connected)
    int inSubmitted = 0;  // IN URBs submitted so far
    int inPending = 0;    // IN URBs held, waiting for data
    size_t inQueued = 0;  // IN chunks not yet delivered
    int outCompleted = 0; // OUT URBs completed (zero-length ones included)
    int outPending = 0;   // OUT URBs held
    int discards = 0;     // URBs discarded (cancelled)
    int unreaped = 0;     // finished URBs libusb has not reaped yet
};

class EmulatedDevice {
public:
    using OutHandler = std::function<void(const uint8_t* data, size_t len)>;

    ~EmulatedDevice();
    EmulatedDevice(const EmulatedDevice&) = delete;
    EmulatedDevice& operator=(const EmulatedDevice&) = delete;

    uint8_t Bus() const { return m_bus; }
    const std::string& DevNode() const { return m_devNode; }
    const std::string& SysPath() const { return m_sysPath; }
    const DeviceSpec& Spec() const { return m_spec; }

    // Called on the emulation's thread for every completed OUT URB, with the
    // bytes taken (a zero-length packet too). It may call QueueIn.
    void SetOutHandler(OutHandler handler);

    // Thread-safe. Each chunk completes one IN URB: with status 0, or -EOVERFLOW
    // when it is longer than the URB's buffer (which then gets the start).
    void QueueIn(const void* data, size_t len);
    void QueueIn(const std::vector<uint8_t>& bytes) { QueueIn(bytes.data(), bytes.size()); }
    // Completes one IN URB with a usbdevfs status (-EPIPE stall, -EPROTO
    // error, -EOVERFLOW babble, ...) and optional bytes.
    void QueueInStatus(int urbStatus, const void* data = nullptr, size_t len = 0);

    // CLAIMINTERFACE of this interface fails with err.
    void RefuseClaim(unsigned iface, int err = 16 /* EBUSY */);
    // OUT URBs take at most this many bytes (short writes).
    void SetOutLimit(size_t maxBytes);
    // OUT URBs complete with this usbdevfs status (0: normal).
    void SetOutStatus(int urbStatus);
    // OUT URBs are held until cancelled (write time-outs).
    void SetHoldOut(bool hold);
    // Bytes a cancelled IN URB carries back (data that arrived before a time-out).
    void SetDiscardData(std::vector<uint8_t> bytes);
    // Cancelled URBs never come back (a broken device; the kernel never does this).
    void SetIgnoreDiscard(bool ignore);
    // Every cancel comes too late: the URB has just completed (status 0, with
    // the discard data) and the discard finds nothing (EINVAL), as when a
    // completion races the cancel.
    void SetDiscardTooLate(bool tooLate);

    // Every OUT URB's bytes, in order.
    std::vector<std::vector<uint8_t>> OutTransfers() const;
    // "open", "claim 0", "claim 1 refused", "release 0", in order.
    std::vector<std::string> Log() const;
    // File descriptors of this process open on the device node now (umockdev
    // does not report a close to the handler, the process's fd table shows it).
    int OpenHandles() const;
    DeviceCounters Counters() const;
    // Waits until pred(counters) holds; pred must not call the device.
    bool WaitUntil(const std::function<bool(const DeviceCounters&)>& pred,
                   std::chrono::milliseconds timeout = std::chrono::milliseconds(5000)) const;

    struct State; // the handler's state, in the implementation

private:
    friend class UsbTestbed;
    EmulatedDevice(const DeviceSpec& spec, uint8_t bus);
    // A new ioctl handler (UMockdevIoctlBase*, one reference) bound to this device.
    void* NewHandler();
    void MarkGone();
    // Makes the node the testbed created at path (the node's place under the
    // testbed's root) the FIFO whose readiness the device sets.
    void UseReadinessNode(const std::string& path);

    DeviceSpec m_spec;
    uint8_t m_bus;
    std::string m_devNode;
    std::string m_sysPath;
    std::unique_ptr<State> m_state;
};

// The umockdev testbed with the emulated devices. Create it before the
// libusb context that should see the devices; destroy that context first.
class UsbTestbed {
public:
    UsbTestbed();
    ~UsbTestbed();
    UsbTestbed(const UsbTestbed&) = delete;
    UsbTestbed& operator=(const UsbTestbed&) = delete;

    // The n-th device added sits on bus n as device 1.
    EmulatedDevice& AddDevice(const DeviceSpec& spec);
    // Emulates unplugging: pending URBs come back as shut down (at the
    // client's next request), later requests fail with ENODEV, and udev
    // reports the removal.
    void Unplug(EmulatedDevice& dev);

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

} // namespace sxtest::usbemu
