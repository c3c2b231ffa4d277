// CSXusbIO: listing the matching devices, opening the first that can be
// opened with all its interfaces claimed, and closing.
#include "SXlibusb/SXusbIO.h"

#include "UsbTrace.h"

#include <libusb.h>

#include <algorithm>

using iodbg::BxDebug;

int CSXusbIO::CreateVidPidList(libusb_context* ctx, libusb_device*** list, int vid, int pid, _sx_usbdevinfo* recs,
                               int& count)
{
    const int capacity = recs ? std::max(count, 0) : 0;
    count = 0;
    const ssize_t n = libusb_get_device_list(ctx, list);
    if (n < 0)
        return static_cast<int>(n);
    int r = 0;
    for (ssize_t i = 0; i < n; ++i) {
        libusb_device* dev = (*list)[i];
        libusb_device_descriptor desc;
        r = libusb_get_device_descriptor(dev, &desc);
        if (r < 0)
            break;
        if (desc.idVendor != static_cast<uint16_t>(vid) || desc.idProduct != static_cast<uint16_t>(pid))
            continue;
        if (count < capacity) {
            _sx_usbdevinfo& rec = recs[count];
            rec = _sx_usbdevinfo();
            rec.index = static_cast<int>(i);
            rec.bus = libusb_get_bus_number(dev);
            rec.address = libusb_get_device_address(dev);
            rec.vid = desc.idVendor;
            rec.pid = desc.idProduct;
        }
        ++count;
    }
    return r;
}

int CSXusbIO::ListVidPid(int vid, int pid, _sx_usbdevinfo* recs, int& count)
{
    if (!recs || count == 0 || !Initialized())
        return -1;
    libusb_device** list = nullptr;
    const int r = CreateVidPidList(m_ctx, &list, vid, pid, recs, count);
    if (list)
        libusb_free_device_list(list, 1);
    return r;
}

namespace {

// The first IN and the first OUT endpoint of an interface (control
// endpoints skipped); what was found before is kept.
void ScanEndpoints(const libusb_interface& itf, uint8_t& epIn, uint8_t& epOut, uint16_t& maxPacketOut)
{
    for (int a = 0; a < itf.num_altsetting; ++a) {
        const libusb_interface_descriptor& alt = itf.altsetting[a];
        for (int e = 0; e < alt.bNumEndpoints; ++e) {
            const libusb_endpoint_descriptor& ep = alt.endpoint[e];
            if ((ep.bmAttributes & 3) == LIBUSB_TRANSFER_TYPE_CONTROL)
                continue;
            if (ep.bEndpointAddress & LIBUSB_ENDPOINT_IN) {
                if (!epIn)
                    epIn = ep.bEndpointAddress;
            } else if (!epOut) {
                epOut = ep.bEndpointAddress;
                maxPacketOut = ep.wMaxPacketSize;
            }
        }
    }
}

} // namespace

int CSXusbIO::DiscoverVidPid(int vid, int pid)
{
    SXUSB_ENTER();
    if (!Initialized()) {
        SXUSB_LEAVE();
        return -1;
    }
    if (IsOpen())
        Close();

    _sx_usbdevinfo recs[kMaxDevices];
    int count = kMaxDevices;
    libusb_device** list = nullptr;
    int r = CreateVidPidList(m_ctx, &list, vid, pid, recs, count);
    bool opened = false;
    const int tries = std::min(count, static_cast<int>(kMaxDevices));
    for (int i = 0; r == 0 && i < tries && !opened; ++i) {
        libusb_device* dev = list[recs[i].index];
        uint8_t epIn = 0, epOut = 0;
        uint16_t maxPacketOut = 0;
        libusb_device_handle* handle = nullptr;
        const int ro = libusb_open(dev, &handle);
        if (ro != 0) {
            BxDebug::BXDOUT0Alt("%s :  libusb_open error 0x%x  %s\r\n", "CSXusbIO::DiscoverVidPid",
                                static_cast<unsigned>(ro), libusb_error_name(ro));
            continue;
        }
        libusb_config_descriptor* config = nullptr;
        if (libusb_get_config_descriptor(dev, 0, &config) != 0) {
            libusb_close(handle);
            continue;
        }
        const int n = config->bNumInterfaces;
        int claimed = 0;
        for (int k = 0; k < n && claimed == k; ++k) {
            if (libusb_claim_interface(handle, k) == 0) {
                ++claimed;
                ScanEndpoints(config->interface[k], epIn, epOut, maxPacketOut);
            }
        }
        if (claimed == n) {
            m_hdev = handle;
            m_info = recs[i];
            m_info.nInterfaces = static_cast<uint8_t>(n);
            m_info.epIn = epIn;
            m_info.epOut = epOut;
            m_info.maxPacketOut = maxPacketOut;
            opened = true;
        } else {
            for (int k = 0; k < n; ++k)
                libusb_release_interface(handle, k);
            libusb_close(handle);
        }
        libusb_free_config_descriptor(config);
    }
    if (list)
        libusb_free_device_list(list, 1);
    if (r == 0 && !opened)
        r = SXUSB_ERR_NO_DEVICE_OPENED;
    SXUSB_LEAVE();
    return r;
}

int CSXusbIO::Close()
{
    SXUSB_ENTER();
    if (!IsOpen())
        return 0;
    CancelARXfer();
    m_bContRunning = false;
    StopContThread();

    int r = 0;
    for (int k = 0; k < m_info.nInterfaces; ++k)
        r = libusb_release_interface(m_hdev, k);
    libusb_close(m_hdev);
    m_hdev = nullptr;
    // A transfer that never came back: closing the device took it from
    // libusb and the kernel, so it can go now.
    if (m_parxfer) {
        libusb_free_transfer(m_parxfer);
        m_parxfer = nullptr;
        m_bXferPending = false;
    }
    m_info = _sx_usbdevinfo();
    SXUSB_LEAVE();
    SetTrace(true, 0);
    return r;
}
