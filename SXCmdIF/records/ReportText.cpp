// Bounded formatting of the record reports.
#include "ReportText.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <vector>

namespace sxrec {

namespace {

template <typename Ch>
void CopyLead(Ch* lead, size_t cap, const Ch* label, const Ch* tail)
{
    size_t n = 0;
    for (const Ch* p = label; *p && n + 1 < cap; ++p)
        lead[n++] = *p;
    for (const Ch* p = tail; *p && n + 1 < cap; ++p)
        lead[n++] = *p;
    lead[n] = 0;
}

// Writes at most cap - 1 characters of the formatted text into out and
// returns their count. vswprintf does not tell the full length of a cut
// text, so the text is formatted whole into scratch space first.
size_t FormatW(wchar_t* out, size_t cap, const wchar_t* fmt, va_list ap)
{
    if (cap == 0)
        return 0;
    wchar_t local[2048];
    std::vector<wchar_t> big;
    wchar_t* scratch = local;
    size_t scratchSize = sizeof local / sizeof local[0];
    int n = -1;
    for (int attempt = 0; attempt < 4; ++attempt) {
        va_list copy;
        va_copy(copy, ap);
        n = vswprintf(scratch, scratchSize, fmt, copy);
        va_end(copy);
        if (n >= 0)
            break;
        scratchSize *= 4;
        big.assign(scratchSize, L'\0');
        scratch = big.data();
    }
    if (n < 0)
        n = 0;
    const size_t len = std::min(static_cast<size_t>(n), cap - 1);
    std::wmemcpy(out, scratch, len);
    out[len] = L'\0';
    return len;
}

} // namespace

Look::Look(const char* label, bool header, bool oneLine, const char* gap, OneLineIndent oneLineIndent)
    : sep(Sep(oneLine))
{
    if (!header)
        indent = "";
    else if (!oneLine)
        indent = "   ";
    else
        indent = oneLineIndent == OneLineIndent::OneSpace ? " " : "";
    if (header)
        CopyLead(lead, sizeof lead, label, oneLine ? gap : "\r\n");
    else
        lead[0] = '\0';
}

void Append(std::string& text, size_t bufSize, const char* fmt, ...)
{
    char buf[kPredFiltBuf];
    bufSize = std::min(bufSize, sizeof buf);
    va_list ap;
    va_start(ap, fmt);
    const int n = vsnprintf(buf, bufSize, fmt, ap);
    va_end(ap);
    if (n > 0)
        text.append(buf, std::min(static_cast<size_t>(n), bufSize - 1));
}

void AppendW(std::wstring& text, size_t bufSize, const wchar_t* fmt, ...)
{
    wchar_t buf[kPredFiltBuf];
    bufSize = std::min(bufSize, sizeof buf / sizeof buf[0]);
    va_list ap;
    va_start(ap, fmt);
    const size_t n = FormatW(buf, bufSize, fmt, ap);
    va_end(ap);
    text.append(buf, n);
}

Buffer::Buffer(size_t size) : m_size(std::min(size, sizeof m_text)), m_len(0)
{
    m_text[0] = '\0';
}

void Buffer::Add(const char* fmt, ...)
{
    const size_t room = m_size - m_len;
    if (room <= 1)
        return;
    va_list ap;
    va_start(ap, fmt);
    const int n = vsnprintf(m_text + m_len, room, fmt, ap);
    va_end(ap);
    if (n > 0)
        m_len += std::min(static_cast<size_t>(n), room - 1);
}

} // namespace sxrec
