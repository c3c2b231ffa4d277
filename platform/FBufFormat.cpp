#include <platform/FBufFormat.h>

#include <cstring>

namespace {

// Bounded writer: never writes past the last character before the
// terminator, whatever the caller's arithmetic says.
struct Out {
    char* dst;
    int cap; // characters available for text (dstLen - 1)
    int len;

    void Put(char c)
    {
        if (len < cap)
            dst[len++] = c;
    }
    void Put(const char* s, int limit)
    {
        for (int i = 0; s[i] && i < limit; ++i)
            Put(s[i]);
    }
    void Blanks(int k)
    {
        while (k-- > 0)
            Put(' ');
    }
};

char Printable(unsigned char b)
{
    signed char c = static_cast<signed char>(b);
    return (c >= 0x20 && c <= 0x7E) ? static_cast<char>(c) : '.';
}

} // namespace

int trFormatFBuf(const unsigned char* src, int n, char* dst, int dstLen, const char* prefix)
{
    static const char kHex[] = "0123456789ABCDEF";
    if (!dst || dstLen <= 0)
        return 0;
    Out out{dst, dstLen - 1, 0};
    if (!src)
        n = 0;
    for (int i = 0; i < n && out.len + 15 < dstLen - 1; ++i) {
        const bool last = (i == n - 1);
        if (prefix && i % 8 == 0)
            out.Put(prefix, dstLen - out.len - 15);
        out.Put(kHex[src[i] >> 4]);
        out.Put(kHex[src[i] & 0x0F]);
        if ((i + 1) % 8 == 0) {
            out.Blanks(2);
            for (int k = i - 7; k <= i; ++k)
                out.Put(Printable(src[k]));
        } else if ((i + 1) % 4 == 0) {
            out.Blanks(2);
            if (last) {
                out.Blanks(13);
                for (int k = i - 3; k <= i; ++k)
                    out.Put(Printable(src[k]));
            }
        } else {
            out.Put(' ');
        }
        if ((i + 1) % 8 == 0 && !last)
            out.Put("\r\n", 2);
        if (last)
            out.Put("\r\n", 2);
    }
    dst[out.len] = '\0';
    return out.len;
}
