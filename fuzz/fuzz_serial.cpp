// The serial frame reader and frame search on an arbitrary byte stream, the
// way the reading loop uses them: Readframe into the 1024-byte frame buffer,
// and after a frame error Findframe until it finds a frame or gives up. The
// port is a pipe holding the input, closed at its far end, so every read
// ends at once when the input is used up. Readframe with a caller's buffer
// size is run on the same stream into a buffer of exactly that size.
//
// Input: byte 0 picks ZJ mode, the preamble and the caller's buffer size;
// the rest is the stream.
#include <SXserIO/SXserIO.h>
#include "linux/Descriptor.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

class FuzzSer : public CSXserIO {
public:
    FuzzSer() { SetTrace(false, 0); }

    void Attach(int fd, bool zj, uint32_t preamble)
    {
        m_hCom = sxplat::FromDescriptor(fd);
        m_iModeZJ = zj ? 1 : 0;
        m_info.uPreamble = preamble;
        m_nPushBack = 0;
        m_nSearchFrom = 0;
    }
    void Detach()
    {
        close(sxplat::Descriptor(m_hCom));
        m_hCom = nullptr;
        m_nPushBack = 0;
    }

    // The reading loop's framing, until the stream ends.
    void Loop()
    {
        bool searching = false;
        for (int round = 0; round < 10000; ++round) {
            int len = 0;
            int r;
            if (searching) {
                r = Findframe(m_frameBuf, len);
                if (r == SXIO_NOERR)
                    searching = false;
            } else {
                r = Readframe(m_frameBuf, len);
                if (r == SXIO_FRAMERR)
                    searching = true;
            }
            if (r == SXIO_NOERR && (len < 0 || len >= kFrameBufSize))
                abort(); // a frame the frame buffer cannot hold
            if (r != SXIO_NOERR && r != SXIO_FRAMERR)
                return; // the stream ended (or a time-out)
        }
    }

    void CallerBuffer(int bufSize)
    {
        for (int round = 0; round < 10000; ++round) {
            std::vector<unsigned char> buf(static_cast<size_t>(bufSize));
            int len = 0;
            const int r = Readframe(buf.data(), len, bufSize);
            if (r == SXIO_NOERR && (len < kHeaderLen || len > bufSize))
                abort();
            if (r != SXIO_NOERR && r != SXIO_FRAMERR)
                return;
        }
    }
};

int Stream(const uint8_t* data, size_t size)
{
    int fds[2];
    if (pipe(fds) != 0)
        abort();
    fcntl(fds[1], F_SETPIPE_SZ, 1 << 20);
    size_t off = 0;
    while (off < size) {
        const ssize_t w = write(fds[1], data + off, size - off);
        if (w <= 0)
            abort();
        off += static_cast<size_t>(w);
    }
    close(fds[1]);
    fcntl(fds[0], F_SETFL, fcntl(fds[0], F_GETFL) | O_NONBLOCK);
    return fds[0];
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (!freopen("/dev/null", "w", stdout))
        return 0;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > (512u << 10))
        return 0;
    static FuzzSer* ser = new FuzzSer();
    const uint8_t sel = data[0];
    const bool zj = sel & 1;
    const uint32_t preamble = (sel & 2) ? 0x43423751u /* "Q7BC" */ : 0x43525853u /* "SXRC" */;
    static const int kSizes[] = {8, 9, 28, 32, 100, 540, 1023, 1024};
    const int bufSize = kSizes[(sel >> 2) & 7];

    ser->Attach(Stream(data + 1, size - 1), zj, preamble);
    ser->Loop();
    ser->Detach();

    ser->Attach(Stream(data + 1, size - 1), zj, preamble);
    ser->CallerBuffer(bufSize);
    ser->Detach();
    return 0;
}
