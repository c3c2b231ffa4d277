// The serial adapter of the device's transport: CSXserIO, its results as
// device error codes (the transport's result in the high half).
#include "devio/Transport.h"

#include <SXCmdIF/SXerrors.h>
#include <SXserIO/SXserIO.h>

#include <new>

namespace sxdev {
namespace {

class SerialTransport final : public Transport {
public:
    SerialTransport(int port, unsigned int cfg) : Transport(true), m_port(port), m_io(cfg) {}

    int Open() override
    {
        return SerioError(m_port <= 0 ? m_io.DiscoverPort() : m_io.Open(static_cast<unsigned>(m_port)));
    }
    int Close() override { return SerioError(m_io.Close()); }
    bool IsOpen() const override { return m_io.IsOpen(); }
    int Write(unsigned char* frame, uint32_t& length) override
    {
        int n = static_cast<int>(length);
        const int r = m_io.Write(frame, n);
        length = static_cast<uint32_t>(n);
        return r != 0 ? r * 65536 + E_DEVIOERR_SER_WRITERR : 0;
    }
    int StartReading() override { return SerioError(m_io.ReadCont()); }
    void StopReading() override { m_io.ReadContStop(); }
    void SetReceiver(ReceiveFn fn, void* arg) override { m_io.SetMsgCallback(fn, arg); }
    void SetTrace(bool on, int level) override { m_io.SetTrace(on, level); }

private:
    static int SerioError(int r) { return r != 0 ? r * 65536 + E_SXERR_SERIO : 0; }

    const int m_port;
    CSXserIO m_io;
};

} // namespace

Transport* NewSerialTransport(int port, unsigned int cfg)
{
    return new (std::nothrow) SerialTransport(port, cfg);
}

} // namespace sxdev
