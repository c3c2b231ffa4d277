// The serial line on Linux: a tty opened non-blocking with an exclusive
// lock, its settings through termios2 (so any baud rate), waits with poll(),
// and eventfds as the wake-up events. termios2 lives in the kernel's header,
// which cannot be mixed with the C library's <termios.h>: this file is the
// only one that includes it.
#include <platform/SerialLine.h>

#include "Descriptor.h"
#include "SerialLineLinux.h"

#include <asm/termbits.h>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace sxplat {

namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    // Round up so a wait never ends before its deadline.
    return left < 0 ? 0 : static_cast<int>(left) + 1;
}

// Pseudo-terminals have no modem lines: their ENOTTY or EINVAL is no error.
bool ModemLine(int fd, int bit, bool on)
{
    int bits = bit;
    if (ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bits) == 0)
        return true;
    return errno == ENOTTY || errno == EINVAL;
}

} // namespace

Handle OpenLine(const char* path)
{
    int fd = open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    // flock holds against every other opener, root included; TIOCEXCL
    // also keeps out openers that do not ask for the lock.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        close(fd);
        errno = err;
        return nullptr;
    }
    (void)ioctl(fd, TIOCEXCL);
    return FromDescriptor(fd);
}

bool CloseLine(Handle port)
{
    if (!port) {
        errno = EBADF;
        return false;
    }
    return close(Descriptor(port)) == 0;
}

// The kernel's buffers serve as the queues, and poll() waits for received
// characters: nothing to prepare.
bool PrepareLine(Handle, unsigned int, unsigned int)
{
    return true;
}

// ReadSome and WriteAll keep the time-outs themselves.
bool SetLineTimeouts(Handle, int, int)
{
    return true;
}

unsigned int FormatCflag(const _SX_DCB& dcb)
{
    unsigned int cflag = 0;
    switch (dcb.ByteSize) {
    case 5:
        cflag |= CS5;
        break;
    case 6:
        cflag |= CS6;
        break;
    case 7:
        cflag |= CS7;
        break;
    default:
        cflag |= CS8;
        break;
    }
    switch (dcb.Parity) {
    case 0:
        break;
    case 1:
        cflag |= PARENB | PARODD;
        break;
    case 2:
        cflag |= PARENB;
        break;
    case 3:
        cflag |= PARENB | PARODD | CMSPAR;
        break; // mark
    default:
        cflag |= PARENB | CMSPAR;
        break; // space
    }
    if (dcb.StopBits != SXDCB_ONESTOPBIT)
        cflag |= CSTOPB;
    return cflag;
}

void FormatFromCflag(unsigned int cflag, _SX_DCB& dcb)
{
    switch (cflag & CSIZE) {
    case CS5:
        dcb.ByteSize = 5;
        break;
    case CS6:
        dcb.ByteSize = 6;
        break;
    case CS7:
        dcb.ByteSize = 7;
        break;
    default:
        dcb.ByteSize = 8;
        break;
    }
    if (!(cflag & PARENB))
        dcb.Parity = 0;
    else if (cflag & CMSPAR)
        dcb.Parity = (cflag & PARODD) ? 3 : 4;
    else
        dcb.Parity = (cflag & PARODD) ? 1 : 2;
    dcb.StopBits = (cflag & CSTOPB) ? SXDCB_TWOSTOPBITS : SXDCB_ONESTOPBIT;
}

bool GetLineSettings(Handle port, _SX_DCB& dcb)
{
    const int fd = Descriptor(port);
    termios2 t{};
    if (ioctl(fd, TCGETS2, &t) != 0)
        return false;
    int lines = 0;
    if (ioctl(fd, TIOCMGET, &lines) != 0)
        lines = 0;
    dcb = _SX_DCB{};
    dcb.DCBlength = sizeof(_SX_DCB);
    dcb.BaudRate = t.c_ospeed;
    dcb.fBinary = (t.c_lflag & ICANON) ? 0 : 1;
    dcb.fParity = (t.c_iflag & INPCK) ? 1 : 0;
    dcb.fOutxCtsFlow = (t.c_cflag & CRTSCTS) ? 1 : 0;
    dcb.fDtrControl = (lines & TIOCM_DTR) ? SXDCB_LINE_ENABLE : SXDCB_LINE_DISABLE;
    dcb.fOutX = (t.c_iflag & IXON) ? 1 : 0;
    dcb.fInX = (t.c_iflag & IXOFF) ? 1 : 0;
    if (t.c_cflag & CRTSCTS)
        dcb.fRtsControl = SXDCB_LINE_HANDSHAKE;
    else
        dcb.fRtsControl = (lines & TIOCM_RTS) ? SXDCB_LINE_ENABLE : SXDCB_LINE_DISABLE;
    FormatFromCflag(t.c_cflag, dcb);
    dcb.XonChar = static_cast<char>(t.c_cc[VSTART]);
    dcb.XoffChar = static_cast<char>(t.c_cc[VSTOP]);
    dcb.EofChar = static_cast<char>(t.c_cc[VEOF]);
    return true;
}

bool SetLineSettings(Handle port, const _SX_DCB& dcb)
{
    const int fd = Descriptor(port);
    termios2 t{};
    if (ioctl(fd, TCGETS2, &t) != 0)
        return false;
    t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
    if (dcb.fParity)
        t.c_iflag |= INPCK;
    if (dcb.fOutX)
        t.c_iflag |= IXON;
    if (dcb.fInX)
        t.c_iflag |= IXOFF;
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);

    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= FormatCflag(dcb);
    if (dcb.fOutxCtsFlow || dcb.fRtsControl == SXDCB_LINE_HANDSHAKE)
        t.c_cflag |= CRTSCTS;
    t.c_cflag |= CLOCAL | CREAD;

    // The exact rate, in both directions, whatever table it is in.
    t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    t.c_ospeed = dcb.BaudRate;
    t.c_ispeed = dcb.BaudRate;

    // Reads never block in the driver: the waiting is done with poll().
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    t.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
    if (ioctl(fd, TCSETS2, &t) != 0)
        return false;

    if (dcb.fDtrControl != SXDCB_LINE_HANDSHAKE && !ModemLine(fd, TIOCM_DTR, dcb.fDtrControl == SXDCB_LINE_ENABLE))
        return false;
    if (dcb.fRtsControl != SXDCB_LINE_HANDSHAKE && !ModemLine(fd, TIOCM_RTS, dcb.fRtsControl == SXDCB_LINE_ENABLE))
        return false;
    return true;
}

bool PurgeLine(Handle port)
{
    return ioctl(Descriptor(port), TCFLSH, TCIOFLUSH) == 0;
}

const char kPurgeCall[] = "TCFLSH TCIOFLUSH";

Handle NewEvent()
{
    return FromDescriptor(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
}

void SignalEvent(Handle ev)
{
    if (!ev)
        return;
    const uint64_t one = 1;
    (void)!write(Descriptor(ev), &one, sizeof one);
}

void ClearEvent(Handle ev)
{
    if (!ev)
        return;
    uint64_t value;
    (void)!read(Descriptor(ev), &value, sizeof value);
}

bool CloseEvent(Handle ev)
{
    return !ev || close(Descriptor(ev)) == 0;
}

bool WaitEvent(Handle event, int ms)
{
    const int ev = Descriptor(event);
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        pollfd p{ev, POLLIN, 0};
        const int r = poll(&p, 1, MsLeft(deadline));
        if (r > 0)
            return (p.revents & POLLIN) != 0;
        if (r == 0 || errno != EINTR)
            return false;
    }
}

IoStatus ReadSome(Handle port, Handle event, unsigned char* buf, int n, int timeoutMs, int& got, bool waitFirst)
{
    const int fd = Descriptor(port);
    const int ev = Descriptor(event);
    got = 0;
    if (n <= 0)
        return IO_OK;
    ssize_t r = 0;
    if (!waitFirst) {
        r = read(fd, buf, static_cast<size_t>(n));
        if (r > 0) {
            got = static_cast<int>(r);
            return IO_OK;
        }
        if (r < 0 && errno != EAGAIN && errno != EINTR)
            return IO_START_ERR;
    }

    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        pollfd p[2] = {{fd, POLLIN, 0}, {ev, POLLIN, 0}};
        const int left = MsLeft(deadline);
        const int pr = poll(p, ev >= 0 ? 2 : 1, left);
        if (pr < 0) {
            if (errno == EINTR)
                continue;
            return IO_WAIT_ERR;
        }
        if (pr == 0)
            return IO_OK; // nothing came in time
        if (ev >= 0 && (p[1].revents & POLLIN))
            return IO_OK;
        if (p[0].revents & POLLNVAL) {
            errno = EBADF;
            return IO_WAIT_ERR;
        }
        r = read(fd, buf, static_cast<size_t>(n));
        if (r > 0) {
            got = static_cast<int>(r);
            return IO_OK;
        }
        if (r < 0 && errno != EAGAIN && errno != EINTR)
            return IO_WAIT_ERR;
        if (p[0].revents & (POLLHUP | POLLERR)) {
            // Nothing left to read and the line is gone.
            errno = EIO;
            return IO_WAIT_ERR;
        }
        if (left == 0)
            return IO_OK;
    }
}

IoStatus WriteAll(Handle port, Handle event, const unsigned char* buf, int n, int timeoutMs, int& written)
{
    const int fd = Descriptor(port);
    const int ev = Descriptor(event);
    written = 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (written < n) {
        const ssize_t r = write(fd, buf + written, static_cast<size_t>(n - written));
        if (r > 0) {
            written += static_cast<int>(r);
            continue;
        }
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0 && errno != EAGAIN)
            return written == 0 ? IO_START_ERR : IO_WAIT_ERR;
        const int left = MsLeft(deadline);
        if (left == 0) {
            errno = ETIMEDOUT;
            return IO_WAIT_ERR;
        }
        pollfd p[2] = {{fd, POLLOUT, 0}, {ev, POLLIN, 0}};
        const int pr = poll(p, ev >= 0 ? 2 : 1, left);
        if (pr < 0 && errno != EINTR)
            return IO_WAIT_ERR;
        if (pr > 0 && ev >= 0 && (p[1].revents & POLLIN)) {
            errno = ECANCELED; // the port is being closed
            return IO_WAIT_ERR;
        }
        if (pr > 0 && (p[0].revents & (POLLERR | POLLHUP | POLLNVAL)) && !(p[0].revents & POLLOUT)) {
            errno = EIO;
            return IO_WAIT_ERR;
        }
    }
    return IO_OK;
}

} // namespace sxplat
