// The USB adapter of the device's transport: CSXusbIO, its results as device
// error codes (libusb's code in the high half).
#include "devio/Transport.h"

#include <SXCmdIF/SXerrors.h>
#include <SXlibusb/SXusbIO.h>

#include <new>

namespace sxdev {
namespace {

class UsbTransport final : public Transport {
public:
    UsbTransport(uint16_t vid, uint16_t pid) : Transport(false), m_vid(vid), m_pid(pid) {}

    int Open() override
    {
        const int r = m_io.DiscoverVidPid(m_vid, m_pid);
        if (r == 0)
            return 0;
        return r <= SXUSB_ERR_NO_DEVICE_OPENED ? E_SXERR_NOTFOUND : r * 65536 + E_SXERR_LIBUSB;
    }
    int Close() override { return LibusbError(m_io.Close()); }
    bool IsOpen() const override { return m_io.IsOpen(); }
    int Write(unsigned char* frame, uint32_t& length) override
    {
        unsigned int n = length;
        const int r = m_io.Write(frame, n);
        length = n;
        return r != 0 ? r * 65536 + E_DEVIOERR_USB_WRITERR : 0;
    }
    int StartReading() override { return LibusbError(m_io.ReadCont()); }
    void StopReading() override { m_io.StopContThread(); }
    void SetReceiver(ReceiveFn fn, void* arg) override { m_io.SetMsgCallback(fn, arg); }
    void SetTrace(bool on, int level) override { m_io.SetTrace(on, level); }

private:
    static int LibusbError(int r) { return r != 0 ? r * 65536 + E_SXERR_LIBUSB : 0; }

    const uint16_t m_vid;
    const uint16_t m_pid;
    CSXusbIO m_io;
};

} // namespace

Transport* NewUsbTransport(uint16_t vid, uint16_t pid)
{
    return new (std::nothrow) UsbTransport(vid, pid);
}

} // namespace sxdev
