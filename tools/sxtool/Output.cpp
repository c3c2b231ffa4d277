#include "Output.h"

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
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue; // the "\n" that follows is rewritten
        if (c == '\n')
            out += LineEnd();
        else
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
