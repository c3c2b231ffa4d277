// The serial line on Windows: \\.\COMn opened for exclusive overlapped I/O,
// the comm driver's settings, queues and time-outs, and overlapped reads and
// writes. Each thread that reads or writes has an event of its own for its
// overlapped operations; the caller's event (set when reading is being
// stopped or the port closed) only wakes the wait.
#include <platform/SerialLine.h>

#include <windows.h>

#include <cstddef>
#include <cstring>

namespace sxplat {

namespace {

// The line settings record is the system's, member for member.
static_assert(sizeof(_SX_DCB) == sizeof(DCB), "_SX_DCB mirrors DCB");
static_assert(offsetof(_SX_DCB, wReserved) == offsetof(DCB, wReserved), "_SX_DCB mirrors DCB");
static_assert(offsetof(_SX_DCB, XonChar) == offsetof(DCB, XonChar), "_SX_DCB mirrors DCB");
static_assert(offsetof(_SX_DCB, wReserved1) == offsetof(DCB, wReserved1), "_SX_DCB mirrors DCB");

// How long past its own time-out a read of waiting bytes or a write may
// take before it is cancelled: the driver ends it at its time-out, this only
// guards against a driver that does not.
constexpr DWORD kOverdueMs = 1000;

HANDLE Port(Handle h)
{
    return static_cast<HANDLE>(h);
}

// The calling thread's event for its overlapped operations, made on first
// use and closed when the thread ends.
class IoEvent {
public:
    IoEvent() : m_event(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~IoEvent()
    {
        if (m_event)
            CloseHandle(m_event);
    }
    IoEvent(const IoEvent&) = delete;
    IoEvent& operator=(const IoEvent&) = delete;
    HANDLE Get() const { return m_event; }

private:
    HANDLE m_event;
};

HANDLE ThreadIoEvent()
{
    thread_local IoEvent ev;
    return ev.Get();
}

bool IsSet(Handle ev)
{
    return ev && WaitForSingleObject(Port(ev), 0) == WAIT_OBJECT_0;
}

// Waits up to waitMs for an overlapped operation that is pending; cancels
// it when ev is set first or the time is up. done is what it moved; false
// with the last error set when it failed, ERROR_OPERATION_ABORTED when it
// was cancelled.
bool Complete(HANDLE port, OVERLAPPED& ov, Handle ev, DWORD waitMs, DWORD& done)
{
    HANDLE waits[2] = {ov.hEvent, Port(ev)};
    const DWORD w = WaitForMultipleObjects(ev ? 2 : 1, waits, FALSE, waitMs);
    if (w != WAIT_OBJECT_0)
        CancelIoEx(port, &ov);
    return GetOverlappedResult(port, &ov, &done, TRUE) != FALSE;
}

// After a failed operation: clears the driver's error state so the line
// can be used again, keeping the operation's error as the last error.
void ClearLineError(HANDLE port)
{
    const DWORD err = GetLastError();
    DWORD errors = 0;
    COMSTAT stat;
    (void)ClearCommError(port, &errors, &stat);
    SetLastError(err);
}

// Bytes waiting in the driver's input queue; false when the port cannot
// say (it is gone).
bool Waiting(HANDLE port, DWORD& bytes)
{
    DWORD errors = 0;
    COMSTAT stat;
    if (!ClearCommError(port, &errors, &stat))
        return false;
    bytes = stat.cbInQue;
    return true;
}

// One overlapped read of n bytes, waiting at most waitMs (less when ev is
// set first); done is what it read. IO_OK also when it was cancelled.
IoStatus ReadOnce(HANDLE port, Handle ev, unsigned char* buf, DWORD n, DWORD waitMs, DWORD& done)
{
    OVERLAPPED ov;
    memset(&ov, 0, sizeof ov);
    ov.hEvent = ThreadIoEvent();
    done = 0;
    if (ReadFile(port, buf, n, &done, &ov))
        return GetOverlappedResult(port, &ov, &done, FALSE) ? IO_OK : IO_WAIT_ERR;
    if (GetLastError() != ERROR_IO_PENDING) {
        ClearLineError(port);
        return IO_START_ERR;
    }
    if (Complete(port, ov, ev, waitMs, done))
        return IO_OK;
    if (GetLastError() == ERROR_OPERATION_ABORTED) {
        done = 0;
        return IO_OK;
    }
    ClearLineError(port);
    return IO_WAIT_ERR;
}

} // namespace

Handle OpenLine(const char* path)
{
    HANDLE h =
        CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    return h == INVALID_HANDLE_VALUE ? nullptr : h;
}

bool CloseLine(Handle port)
{
    if (!port) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    return CloseHandle(Port(port)) != FALSE;
}

bool PrepareLine(Handle port, unsigned int inQueue, unsigned int outQueue)
{
    return SetCommMask(Port(port), EV_RXCHAR) && SetupComm(Port(port), inQueue, outQueue);
}

bool GetLineSettings(Handle port, _SX_DCB& dcb)
{
    DCB d;
    memset(&d, 0, sizeof d);
    d.DCBlength = sizeof d;
    if (!GetCommState(Port(port), &d))
        return false;
    memcpy(&dcb, &d, sizeof d);
    return true;
}

bool SetLineSettings(Handle port, const _SX_DCB& dcb)
{
    DCB d;
    memcpy(&d, &dcb, sizeof d);
    d.DCBlength = sizeof d;
    d.fBinary = TRUE; // the only mode the driver supports
    return SetCommState(Port(port), &d) != FALSE;
}

// A read returns what is waiting at once, or waits readMs for the first
// byte and returns with it; a write may take writeMs in all.
bool SetLineTimeouts(Handle port, int readMs, int writeMs)
{
    COMMTIMEOUTS t;
    t.ReadIntervalTimeout = MAXDWORD;
    t.ReadTotalTimeoutMultiplier = MAXDWORD;
    t.ReadTotalTimeoutConstant = static_cast<DWORD>(readMs);
    t.WriteTotalTimeoutMultiplier = 0;
    t.WriteTotalTimeoutConstant = static_cast<DWORD>(writeMs);
    return SetCommTimeouts(Port(port), &t) != FALSE;
}

bool PurgeLine(Handle port)
{
    return PurgeComm(Port(port), PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR) != FALSE;
}

const char kPurgeCall[] = "PurgeComm";

Handle NewEvent()
{
    return CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

void SignalEvent(Handle ev)
{
    if (ev)
        SetEvent(Port(ev));
}

void ClearEvent(Handle ev)
{
    if (ev)
        ResetEvent(Port(ev));
}

bool CloseEvent(Handle ev)
{
    return !ev || CloseHandle(Port(ev)) != FALSE;
}

bool WaitEvent(Handle ev, int ms)
{
    return ev && WaitForSingleObject(Port(ev), static_cast<DWORD>(ms)) == WAIT_OBJECT_0;
}

// A read takes what the input queue holds, so that it never waits; on an
// empty queue it waits up to timeoutMs for one byte, then takes what came
// with it. (The line's time-outs say the same, but not every driver keeps
// them: Wine waits for the whole count of a read.)
IoStatus ReadSome(Handle port, Handle ev, unsigned char* buf, int n, int timeoutMs, int& got, bool)
{
    got = 0;
    if (n <= 0 || IsSet(ev))
        return IO_OK;
    const HANDLE h = Port(port);
    DWORD bytes = 0;
    if (!Waiting(h, bytes))
        return IO_START_ERR;
    DWORD done = 0;
    if (bytes == 0) {
        const IoStatus st = ReadOnce(h, ev, buf, 1, static_cast<DWORD>(timeoutMs), done);
        got = static_cast<int>(done);
        if (st != IO_OK || done == 0 || n == 1 || !Waiting(h, bytes) || bytes == 0)
            return st;
    }
    const DWORD room = static_cast<DWORD>(n - got);
    const IoStatus st =
        ReadOnce(h, ev, buf + got, bytes < room ? bytes : room, static_cast<DWORD>(timeoutMs) + kOverdueMs, done);
    got += static_cast<int>(done);
    return st;
}

IoStatus WriteAll(Handle port, Handle ev, const unsigned char* buf, int n, int timeoutMs, int& written)
{
    written = 0;
    if (n <= 0)
        return IO_OK;
    const HANDLE h = Port(port);
    OVERLAPPED ov;
    memset(&ov, 0, sizeof ov);
    ov.hEvent = ThreadIoEvent();
    DWORD done = 0;
    if (!WriteFile(h, buf, static_cast<DWORD>(n), &done, &ov)) {
        if (GetLastError() != ERROR_IO_PENDING) {
            ClearLineError(h);
            return IO_START_ERR;
        }
        const bool ok = Complete(h, ov, ev, static_cast<DWORD>(timeoutMs) + kOverdueMs, done);
        written = static_cast<int>(done);
        if (!ok) {
            ClearLineError(h);
            return IO_WAIT_ERR;
        }
    } else if (GetOverlappedResult(h, &ov, &done, FALSE)) {
        written = static_cast<int>(done);
    }
    if (written < n) {
        // The write time-out passed with bytes still waiting to go out.
        SetLastError(ERROR_TIMEOUT);
        return IO_WAIT_ERR;
    }
    return IO_OK;
}

} // namespace sxplat
