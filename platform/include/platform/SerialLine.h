// A serial line: one port opened for exclusive use, its line settings,
// buffers and time-outs, purging, wake-up events, and reads and writes that
// wait at most a given time and give up early when their event is set.
//
// Handles are the system's own, opaque here; null is none. The names keep
// clear of the system's: these are the transport's operations, not its API.
#pragma once

#include <sxwire/LineSettings.h>

namespace sxplat {

using Handle = void*;

// A read returns what is waiting at once, or waits this long for the first
// byte; a write waits at most this long in all.
constexpr int kReadTimeoutMs = 100;
constexpr int kWriteTimeoutMs = 500;

// Opens the port at path for reading and writing, for this process alone.
// Null with the last error set when it cannot.
Handle OpenLine(const char* path);
// False with the last error set when the close fails or there is no port.
bool CloseLine(Handle port);

// Events of received characters and the sizes of the input and output
// queues, before the settings are read.
bool PrepareLine(Handle port, unsigned int inQueue, unsigned int outQueue);
// The port's line settings; false with the last error set on failure.
bool GetLineSettings(Handle port, _SX_DCB& dcb);
// Sets raw transfer and the settings of dcb: the baud rate exactly, and DTR
// and RTS as dcb says (lines a port lacks are skipped).
bool SetLineSettings(Handle port, const _SX_DCB& dcb);
// Reads return what is waiting or wait readMs for the first byte; writes
// wait writeMs in all.
bool SetLineTimeouts(Handle port, int readMs, int writeMs);
// Drops what is waiting in both directions.
bool PurgeLine(Handle port);
// The system call PurgeLine makes, as its failure line names it.
extern const char kPurgeCall[];

// Manual-reset events: set stays set until cleared. NewEvent gives null
// (the last error set) when it cannot.
Handle NewEvent();
void SignalEvent(Handle ev);
void ClearEvent(Handle ev);
// False with the last error set when the close fails.
bool CloseEvent(Handle ev);
// Waits until ev is set or ms have passed; true when set.
bool WaitEvent(Handle ev, int ms);

enum IoStatus {
    IO_OK = 0,        // done; the count may be 0 (time-out or woken by the event)
    IO_START_ERR = 1, // the read or write itself failed; the last error tells why
    IO_WAIT_ERR = 2,  // waiting for it failed or the port hung up; the last error tells why
};

// One read of at most n bytes: the bytes waiting, else the first that come
// within timeoutMs. Returns early, with 0 bytes, when ev is set. waitFirst:
// the line is known to have been empty just now, so wait before reading
// rather than try a read that would find nothing.
IoStatus ReadSome(Handle port, Handle ev, unsigned char* buf, int n, int timeoutMs, int& got, bool waitFirst = false);
// Writes all n bytes within timeoutMs; written tells how many went out.
// Not all within the time, or ev set meanwhile (the port is being closed):
// IO_WAIT_ERR.
IoStatus WriteAll(Handle port, Handle ev, const unsigned char* buf, int n, int timeoutMs, int& written);

} // namespace sxplat
