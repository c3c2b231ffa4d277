// CSXcmd: building and preparing an outgoing command frame.
#include <SXCmdIF/protocol/SXcmd.h>

#include "sxwire/LEWords.h"

#include <cstring>
#include <type_traits>

static_assert(std::is_same<uint32_t, unsigned int>::value, "header words are unsigned int");
static_assert(sizeof(_SEUCMD_HDR) == SX_CMD_HDR_LEN, "command header is 28 bytes");
static_assert(std::is_standard_layout<CSXcmd>::value, "the header is the command's first bytes");

CSXcmd::CSXcmd(unsigned int preamble) : hdr{}, pPayload(nullptr), payloadSize(0)
{
    Init(preamble);
}

CSXcmd::CSXcmd(const CSXcmd& other) : hdr(other.hdr), pPayload(nullptr), payloadSize(0)
{
}

CSXcmd& CSXcmd::operator=(const CSXcmd& other)
{
    hdr = other.hdr;
    return *this;
}

void CSXcmd::Init(unsigned int preamble)
{
    hdr.preamble = preamble;
    hdr.size = SX_CMD_SIZE_MIN;
    pPayload = nullptr;
    payloadSize = 0;
}

void CSXcmd::Fill(unsigned int seuid, unsigned int cmd, unsigned int action, unsigned int arg1, unsigned int arg2,
                  const void* payload, unsigned int payloadLen)
{
    hdr.seuid = seuid;
    hdr.cmd = cmd;
    hdr.action = action;
    hdr.arg1 = arg1;
    hdr.arg2 = arg2;
    if (action == CMD_ACTION_SET) {
        pPayload = static_cast<const unsigned char*>(payload);
        payloadSize = payloadLen;
        hdr.size += payloadLen;
    } else {
        // A GET's buffer receives the response; it is never sent.
        pPayload = nullptr;
        payloadSize = 0;
    }
}

void CSXcmd::sx2tag()
{
    hdr.preamble = Q7_PREAMBLE_CMD;
}

unsigned int CSXcmd::FrameLen() const
{
    return SX_CMD_HDR_LEN + (pPayload ? payloadSize : 0) + SX_CRC_LEN;
}

int CSXcmd::Prepare(unsigned char* buf, int& len) const
{
    const uint32_t words[7] = {hdr.preamble, hdr.size, hdr.seuid, hdr.cmd, hdr.action, hdr.arg1, hdr.arg2};
    unsigned char* p = buf;
    for (uint32_t w : words) {
        sxwire::PutLE32(p, w);
        p += 4;
    }
    if (pPayload) {
        std::memcpy(p, pPayload, payloadSize);
        p += payloadSize;
    }
    const unsigned int n = static_cast<unsigned int>(p - buf);
    sxwire::PutLE32(p, CalcCRC_Bytes(buf, n));
    len = static_cast<int>(n + SX_CRC_LEN);
    return len;
}

int CSXcmd::Prepare(unsigned char* buf, int& len, unsigned int bufSize) const
{
    const uint64_t payload = pPayload ? payloadSize : 0;
    const uint64_t total = SX_CMD_HDR_LEN + payload + SX_CRC_LEN;
    const bool consistent = static_cast<uint64_t>(hdr.size) == SX_CMD_SIZE_MIN + payload;
    if (!buf || !consistent || total > bufSize || total > 0x7FFFFFFF) {
        len = 0;
        return 0;
    }
    return Prepare(buf, len);
}
