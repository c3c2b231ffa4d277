#include "FrameTraceInternal.h"

#include "FrameDump.h"
#include "SysErrText.h"
#include "TraceInternal.h"

#include <SXCmdIF/SXerrText.h>
#include <SXCmdIF/diag/BxDebug.h>
#include <sxwire/LEWords.h>
#include <SXCmdIF/protocol/SXcmd.h>
#include <platform/IoDebug.h>
#include <platform/FBufFormat.h>
#include <platform/Thread.h>

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

namespace {

constexpr int kBlockBuf = 4096; // block dumps and the byte list stop within it
constexpr int kHexListMax = 4093;

constexpr char kErrLine[] = "0x%x: Error 0x%0x %s : %s : %s:%d\r\n";
constexpr char kSysErrLine[] = "%x : %s:%d : SysErr %dL : %s : %s : %s\r\n";
constexpr char kTxCompact[] = "\r\n%x===> TX:%3d    ID(%02d)   %s(%02X)   %s(%02X)\t%s %s:%d \r\n";
constexpr char kTxHead[] = "\r\n%x===> TX:%3d    ID(%02d)   %s(%02X)   %s(%02X)\t%s %s:%d\r\n";
constexpr char kRxCompact[] = "%x   <=== RX:%3d  ID(%02d)   %s(%02X)   %s(%02X)\t%s %s:%d\r\n";
constexpr char kRxHead[] = "\r\n%x   <=== RX:%3d  ID(%02d)   %s(%02X)   %s(%02X)\t%s %s:%d\r\n";
constexpr char kBlockEnd[] = "\r\n";

// Held for the whole of each TX or RX trace, so their blocks never mix.
std::mutex g_frameTraceLock;

const char* Text(const char* s)
{
    return s ? s : "";
}

bool Reached(int level)
{
    return BxDebug::BXDlev() >= level;
}

std::string ThreadField()
{
    char field[16];
    snprintf(field, sizeof field, "[%08x] : ", sxplat::CurrentThreadId());
    return field;
}

// BxDebug formats each message into its own 2048-byte buffer; a longer text
// goes out in pieces, cut after a line end where there is one, so the
// output is the same text and nothing is replaced by the overflow notice.
void OutLong(int level, const std::string& text)
{
    const size_t max = BxDebug::kBufSize - 1;
    size_t at = 0;
    while (text.size() - at > max) {
        size_t cut = text.rfind('\n', at + max - 1);
        cut = (cut == std::string::npos || cut < at) ? at + max : cut + 1;
        BxDebug::BXDebugOut(level, "%s", text.substr(at, cut - at).c_str());
        at = cut;
    }
    if (at < text.size() || text.empty())
        BxDebug::BXDebugOut(level, "%s", text.c_str() + at);
}

// "[thread] : label \r\n" + body + optional line end, to the trace's way
// out (standard output or the application's receiver).
void WriteBuffer(const std::string& body, bool crlf, const char* label, int level)
{
    std::string line = ThreadField();
    line += Text(label);
    line += " \r\n";
    line += body;
    if (crlf)
        line += "\r\n";
    iodbg::BxDebug::Write(level, line.c_str());
}

bool BufferGate(const void* buffer, int length, int level)
{
    return trTraceOn() && buffer && length > 0 && Reached(level);
}

// The header words a TX/RX line names; words the frame does not hold read 0.
struct CmdWords {
    uint32_t seuid, cmd, action;
};

CmdWords ReadCmdWords(const unsigned char* f, int length)
{
    auto word = [&](int off) { return length >= off + 4 ? sxwire::GetLE32(f + off) : 0u; };
    return {word(8), word(12), word(16)};
}

void FrameBlock(const char* compactFmt, const char* headFmt, const char* prefix, const void* frame, int length,
                const char* function, int line)
{
    const unsigned char* f = static_cast<const unsigned char*>(frame);
    std::lock_guard<std::mutex> lock(g_frameTraceLock);
    const unsigned tid = sxplat::CurrentThreadId();
    const CmdWords w = ReadCmdWords(f, length);
    const std::string when = trDateTime();
    char head[1024];
    snprintf(head, sizeof head, BxDebug::Compact() ? compactFmt : headFmt, tid, length, static_cast<int>(w.seuid),
             trCmdStr(w.cmd), w.cmd, trActionStr(w.action), w.action, when.c_str(), Text(function), line);
    if (BxDebug::Compact()) {
        OutLong(0, head);
        return;
    }
    char dump[kBlockBuf];
    trFormatFBuf(f, length > 0 ? length : 0, dump, sizeof dump, prefix);
    std::string text = head;
    text += dump;
    text += kBlockEnd;
    OutLong(0, text);
}

} // namespace

const char* trCmdStr(unsigned int cmd)
{
    return CSXcmd::cmdstr(cmd);
}

const wchar_t* trCmdStrW(unsigned int cmd)
{
    return CSXcmd::cmdstrW(cmd);
}

const char* trActionStr(unsigned int action)
{
    return CSXcmd::actstr(action, false);
}

const wchar_t* trActionStrW(unsigned int action)
{
    return CSXcmd::actstrW(action);
}

void trTraceErr(const void* context, int code, const char* message, const char* function, int line, int level)
{
    if (!trTraceOn() || (level != 0 && !Reached(level)))
        return;
    const unsigned low = static_cast<unsigned>(reinterpret_cast<uintptr_t>(context));
    BxDebug::BXDOUT(kErrLine, low, static_cast<unsigned>(code), trErrStr(code), Text(message), Text(function), line);
}

void trTraceFBuf(const void* buffer, int length, bool crlf, const char* label, int level)
{
    if (!BufferGate(buffer, length, level))
        return;
    char dump[kBlockBuf];
    trFormatFBuf(static_cast<const unsigned char*>(buffer), length, dump, sizeof dump, nullptr);
    WriteBuffer(dump, crlf, label, level);
}

void trTraceCmdFrame(const void* frame, int length, bool crlf, const char* label, int level)
{
    if (!BufferGate(frame, length, level))
        return;
    std::string dump;
    DumpCmdFrame(dump, static_cast<const unsigned char*>(frame), static_cast<unsigned>(length));
    WriteBuffer(dump, crlf, label, level);
}

void trTracePnoFrame(const void* frame, int length, bool crlf, const char* label, int level)
{
    if (!BufferGate(frame, length, level))
        return;
    std::string dump;
    DumpPnoFrame(dump, static_cast<const unsigned char*>(frame), static_cast<unsigned>(length));
    WriteBuffer(dump, crlf, label, level);
}

void trTraceHexBuf(const unsigned char* data, int length, bool crlf, const char* prefix)
{
    if (!trTraceOn() || !data || length <= 0)
        return;
    static constexpr char kHex[] = "0123456789abcdef";
    std::string list;
    list.reserve(kBlockBuf);
    for (int i = 0; i < length && static_cast<int>(list.size()) < kHexListMax; ++i) {
        list += kHex[data[i] >> 4];
        list += kHex[data[i] & 0x0F];
        list += ' ';
    }
    std::string text = Text(prefix);
    text += list;
    if (crlf)
        text += "\r\n";
    OutLong(3, text);
}

void trTraceTx(const void* frame, int length, const char* function, int line)
{
    if (!trTraceOn() || !frame)
        return;
    FrameBlock(kTxCompact, kTxHead, nullptr, frame, length, function, line);
}

void trTraceRx(const void* frame, int length, const char* function, int line)
{
    if (!trTraceOn() || !frame)
        return;
    FrameBlock(kRxCompact, kRxHead, "\t", frame, length, function, line);
}

void trTraceSysErr(void* context, int code, const char* text, const char* function, int line)
{
    const std::string sys = trSysErrText(static_cast<unsigned>(code));
    BxDebug::BXDOUT0(kSysErrLine, sxplat::CurrentThreadId(), Text(function), line, code, trWsaErrStr(code), Text(text),
                     sys.c_str());
}
