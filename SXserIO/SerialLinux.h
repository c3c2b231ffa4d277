// The Linux serial layer under CSXserIO: opening a port for exclusive
// non-blocking use, its line settings (termios2, so any baud rate), modem
// lines, purging, wake-up events and reads and writes with time-outs.
#pragma once

#include <SXserIO/SXserDCB.h>

namespace sxser {

// A read returns what is waiting at once, or waits this long for the first
// byte; a write waits at most this long in all.
constexpr int kReadTimeoutMs = 100;
constexpr int kWriteTimeoutMs = 500;

// Opens path read/write, no controlling terminal, non-blocking,
// close-on-exec, and takes exclusive use of it (flock; another process's
// hold refuses it). Returns the descriptor, or -1 with errno set.
int OpenPort(const char* path);
void ClosePort(int fd);

// The port's line settings as a _SX_DCB; false with errno set on failure.
bool GetCommState(int fd, _SX_DCB& dcb);
// Sets raw mode and the settings of dcb, the baud rate exactly (any value),
// and DTR and RTS as dcb says (lines a pseudo-terminal lacks are skipped).
bool SetCommState(int fd, const _SX_DCB& dcb);
// The character-format bits (size, parity, stop bits) of the control flags
// for dcb, and the settings those bits stand for. Pseudo-terminals force
// 8 bits and no parity whatever is set.
unsigned int FormatCflag(const _SX_DCB& dcb);
void FormatFromCflag(unsigned int cflag, _SX_DCB& dcb);

// Drops what is waiting in both directions.
bool PurgeComm(int fd);

// Manual-reset events: set stays set until reset.
int CreateEvent();
void SetEvent(int ev);
void ResetEvent(int ev);
void CloseEvent(int ev);
// Waits until ev is set or ms have passed; true when set.
bool WaitEvent(int ev, int ms);

enum IoStatus {
    IO_OK = 0,       // done; the count may be 0 (time-out or woken by the event)
    IO_START_ERR = 1, // the read or write itself failed; errno tells why
    IO_WAIT_ERR = 2,  // waiting for it failed or the port hung up; errno tells why
};

// One read of at most n bytes: the bytes waiting, else the first that come
// within timeoutMs. Returns early, with 0 bytes, when ev is set. waitFirst:
// the line is known to have been empty just now, so wait before reading
// rather than try a read that would find nothing.
IoStatus ReadSome(int fd, int ev, unsigned char* buf, int n, int timeoutMs, int& got, bool waitFirst = false);
// Writes all n bytes within timeoutMs; written tells how many went out.
// Not all within the time: IO_WAIT_ERR with errno ETIMEDOUT.
IoStatus WriteAll(int fd, int ev, const unsigned char* buf, int n, int timeoutMs, int& written);

} // namespace sxser
