// The device object's one view of its transport: the serial line and USB
// look the same from above. Each is an adapter that owns the transport's own
// class (CSXserIO keeps its exported layout; CSXusbIO stays internal) and
// turns its results into device error codes.
#pragma once

#include <cstdint>

namespace sxdev {

class Transport {
public:
    // Called on the reading thread with each frame (serial) or chunk (USB)
    // received; data is valid only during the call.
    using ReceiveFn = void (*)(void* arg, unsigned char* data, unsigned int length);

    // serialLine: the frame traces name the line "serial".
    explicit Transport(bool serialLine) : m_bSerialLine(serialLine) {}
    virtual ~Transport() = default;
    Transport(const Transport&) = delete;
    Transport& operator=(const Transport&) = delete;

    // Opens the device the adapter was made for; 0 or a device error code.
    virtual int Open() = 0;
    // Stops the reading thread and closes; 0 or a device error code. Once
    // it returns, the receiver is not called any more.
    virtual int Close() = 0;
    virtual bool IsOpen() const = 0;
    // Writes a whole frame; length becomes the bytes written. 0 or a device
    // error code.
    virtual int Write(unsigned char* frame, uint32_t& length) = 0;
    // Starts the reading thread; 0 or a device error code.
    virtual int StartReading() = 0;
    // Stops and joins the reading thread (from the reading thread itself it
    // only asks it to end: see platform/ReadingThread.h).
    virtual void StopReading() = 0;
    // The receiver the reading thread hands what arrives to; set with its
    // argument as a pair.
    virtual void SetReceiver(ReceiveFn fn, void* arg) = 0;
    // The transport's own trace level.
    virtual void SetTrace(bool on, int level) = 0;

    bool SerialLine() const { return m_bSerialLine; }

private:
    const bool m_bSerialLine;
};

// The adapters, closed until Open(); null when memory runs out.
Transport* NewUsbTransport(uint16_t vid, uint16_t pid);
// port 0 or below: the first port of the list that opens.
Transport* NewSerialTransport(int port, unsigned int cfg);

} // namespace sxdev
