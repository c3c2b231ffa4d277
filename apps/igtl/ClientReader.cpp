#include "igtl/ClientReader.h"

#include <igtl_tdata.h>

#include <cstring>

namespace sxigtl {

namespace {

// The requests served and the exact body size each must have.
struct RequestType {
    const char* type;
    RequestKind kind;
    uint64_t bodySize;
};

constexpr RequestType kRequestTypes[] = {
    {"STT_TDATA", RequestKind::StartTdata, IGTL_STT_TDATA_SIZE},
    {"STP_TDATA", RequestKind::StopTdata, 0},
    {"GET_TDATA", RequestKind::GetTdata, 0},
    {"GET_TRANS", RequestKind::GetTransform, 0},
    {"GET_STATUS", RequestKind::GetStatus, 0},
    {"GET_CAPABIL", RequestKind::GetCapability, 0},
};

static_assert(sizeof(igtl_stt_tdata) == IGTL_STT_TDATA_SIZE, "STT_TDATA body as the library lays it out");
static_assert(IGTL_HEADER_SIZE + IGTL_STT_TDATA_SIZE <= ClientReader::kBufferBytes, "a kept message fits");

const RequestType* FindType(const char (&name)[IGTL_HEADER_TYPE_SIZE])
{
    for (const RequestType& t : kRequestTypes)
        if (std::strncmp(name, t.type, IGTL_HEADER_TYPE_SIZE) == 0)
            return &t;
    return nullptr;
}

} // namespace

void ClientReader::Commit(size_t n, int64_t nowNs)
{
    if (n == 0)
        return;
    if (m_len == 0 && m_skip == 0)
        m_sinceNs = nowNs; // the first byte of a new message
    m_lastCommitNs = nowNs;
    m_len += n;
    m_needMore = false;
}

size_t ClientReader::Feed(const unsigned char* data, size_t n, int64_t nowNs)
{
    const size_t k = n < RoomLeft() ? n : RoomLeft();
    if (k > 0)
        std::memcpy(Room(), data, k);
    Commit(k, nowNs);
    return k;
}

void ClientReader::Consume(size_t n)
{
    m_len -= n;
    if (m_len > 0)
        std::memmove(m_buf, m_buf + n, m_len);
}

void ClientReader::MessageDone()
{
    // Bytes left over are the next message's start; they came at the latest
    // with the last delivery.
    if (m_len > 0)
        m_sinceNs = m_lastCommitNs;
}

bool ClientReader::Next(Request& out)
{
    for (;;) {
        if (m_skip > 0) {
            const size_t n = m_skip < m_len ? static_cast<size_t>(m_skip) : m_len;
            Consume(n);
            m_skip -= n;
            if (m_skip > 0) {
                m_needMore = true;
                return false;
            }
            MessageDone();
            continue;
        }
        if (m_len < IGTL_HEADER_SIZE) {
            m_needMore = true;
            return false;
        }
        igtl_header h;
        std::memcpy(&h, m_buf, IGTL_HEADER_SIZE);
        igtl_header_convert_byte_order(&h);
        const RequestType* t = FindType(h.name);
        if (!t || h.body_size != t->bodySize) {
            // Not served, or a body the type cannot have: skipped unread.
            ++(t ? m_refused : m_ignored);
            Consume(IGTL_HEADER_SIZE);
            m_skip = h.body_size;
            if (m_skip == 0)
                MessageDone();
            if (t && t->kind == RequestKind::StartTdata) {
                out = Request{};
                out.kind = RequestKind::StartTdata;
                out.valid = false;
                std::memcpy(out.name, h.device_name, IGTL_HEADER_NAME_SIZE);
                m_needMore = false;
                return true;
            }
            continue;
        }
        const size_t whole = IGTL_HEADER_SIZE + static_cast<size_t>(t->bodySize);
        if (m_len < whole) {
            m_needMore = true;
            return false;
        }
        out = Request{};
        out.kind = t->kind;
        std::memcpy(out.name, h.device_name, IGTL_HEADER_NAME_SIZE);
        if (t->kind == RequestKind::StartTdata) {
            igtl_stt_tdata body;
            std::memcpy(&body, m_buf + IGTL_HEADER_SIZE, sizeof body);
            // The CRC is over the bytes as sent, before their byte order is
            // turned.
            const bool crcOk = igtl_stt_tdata_get_crc(&body) == h.crc;
            igtl_stt_tdata_convert_byte_order(&body);
            out.resolutionMs = body.resolution;
            out.valid = crcOk && body.resolution >= 0;
        }
        Consume(whole);
        MessageDone();
        m_needMore = false;
        return true;
    }
}

} // namespace sxigtl
