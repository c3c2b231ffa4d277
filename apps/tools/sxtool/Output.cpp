#include "Output.h"

#include <items/Connection.h>

#include <SXCmdIF/SXCmdIF.h>

#include <atomic>

#include <unistd.h>

namespace sxtool {

namespace {

bool g_crlf = false;
std::atomic<bool> g_showTrace{false};

void TraceToStderr(void*, int, const char* line)
{
    if (!g_showTrace.load(std::memory_order_relaxed))
        return;
    std::fputs(line, stderr);
    std::fputs(LineEnd(), stderr);
}

} // namespace

void RouteTrace()
{
    sxcmdif_set_trace_cb(TraceToStderr, nullptr);
}

void ShowTrace(bool show)
{
    g_showTrace.store(show, std::memory_order_relaxed);
}

void SetCrlf(bool crlf)
{
    g_crlf = crlf;
}

bool Crlf()
{
    return g_crlf;
}

const char* LineEnd()
{
    return g_crlf ? "\r\n" : "\n";
}

void EndLines(std::string& text)
{
    sxitems::ToNewlines(text);
    if (!g_crlf)
        return;
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    text.swap(out);
}

bool WriteText(std::FILE* out, std::string text)
{
    EndLines(text);
    return std::fwrite(text.data(), 1, text.size(), out) == text.size();
}

std::FILE* DataOut()
{
    return stdout;
}

bool DataIsTerminal()
{
    return isatty(STDOUT_FILENO) == 1;
}

} // namespace sxtool
