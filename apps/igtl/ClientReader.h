// One client's byte stream cut into the requests the server answers. Bytes
// go in exactly as the socket delivers them, split anywhere; a request comes
// out once its header, and for STT_TDATA (the one request with a body) its
// body, are whole. Every size is checked before an OpenIGTLink function sees
// a body, and the body of any other message is skipped as it arrives, so a
// client costs one fixed buffer whatever it sends. No sockets, no clock: the
// caller passes the time, so a fuzzer can drive it.
#pragma once

#include <igtl_header.h>

#include <cstddef>
#include <cstdint>

namespace sxigtl {

enum class RequestKind { StartTdata, StopTdata, GetTdata, GetTransform, GetStatus, GetCapability };

struct Request {
    RequestKind kind = RequestKind::GetStatus;
    // STT_TDATA: false when its body has the wrong size or CRC, or its
    // resolution is negative (the client gets an error RTS_TDATA).
    bool valid = true;
    int32_t resolutionMs = 0;                  // STT_TDATA
    char name[IGTL_HEADER_NAME_SIZE + 1] = {}; // the header's device name
};

class ClientReader {
public:
    static constexpr size_t kBufferBytes = 4096;

    // Where the socket's next bytes go, and how many fit (0 while the buffer
    // holds only whole requests not yet taken).
    unsigned char* Room() { return m_buf + m_len; }
    size_t RoomLeft() const { return kBufferBytes - m_len; }
    // n bytes were written into Room() at nowNs.
    void Commit(size_t n, int64_t nowNs);
    // Copies what fits of n bytes in (Room and Commit); returns how many.
    size_t Feed(const unsigned char* data, size_t n, int64_t nowNs);

    // The next whole request; false when more bytes are needed first.
    bool Next(Request& out);

    // Part of a message has arrived and the rest is awaited (after Next
    // returned false), since MessageSinceNs().
    bool Incomplete() const { return m_needMore && (m_len > 0 || m_skip > 0); }
    // The part that has arrived is less than a header.
    bool HeaderIncomplete() const { return Incomplete() && m_skip == 0 && m_len < IGTL_HEADER_SIZE; }
    int64_t MessageSinceNs() const { return m_sinceNs; }

    // Messages of a served type whose body size is wrong, and messages of
    // types the server does not serve; both are skipped.
    uint64_t Refused() const { return m_refused; }
    uint64_t Ignored() const { return m_ignored; }

private:
    void Consume(size_t n);
    void MessageDone();

    unsigned char m_buf[kBufferBytes];
    size_t m_len = 0;    // bytes buffered from m_buf[0]
    uint64_t m_skip = 0; // body bytes of the current message still to skip
    bool m_needMore = false;
    int64_t m_sinceNs = 0;
    int64_t m_lastCommitNs = 0;
    uint64_t m_refused = 0;
    uint64_t m_ignored = 0;
};

} // namespace sxigtl
