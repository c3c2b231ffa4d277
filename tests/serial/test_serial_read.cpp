// Reading on the caller's thread over a pseudo-terminal: the time-out rule
// of Read, frames read by Readframe, the frame search of Findframe, the
// ZJ header, the frame size limit, and writes read back on the master end.
#include "SerTestUtil.h"

#include <gtest/gtest.h>
#include <regex>

using namespace sxtest;
using Clock = std::chrono::steady_clock;

namespace {

Bytes Garbage(size_t n)
{
    Bytes g(n);
    for (size_t i = 0; i < n; ++i)
        g[i] = static_cast<unsigned char>('a' + i % 17); // never 'S'
    return g;
}

// A ZJ header: "SX", two bytes of its own, bytes 4-5 ignored, the body
// length in bytes 6-7.
Bytes ZJFrame(size_t n, unsigned char first)
{
    Bytes f = {'S', 'X', 'z', 'j', 0xFF, 0xFF, static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8)};
    for (size_t i = 0; i < n; ++i)
        f.push_back(static_cast<unsigned char>(first + i));
    return f;
}

Bytes Slice(const Bytes& b, size_t from, size_t to = SIZE_MAX)
{
    return Bytes(b.begin() + static_cast<long>(from), b.begin() + static_cast<long>(to < b.size() ? to : b.size()));
}

class SerialRead : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetPorts(peer.Path());
        ASSERT_EQ(io.Open(1), 0);
    }

    int Pending()
    {
        int n = 0;
        ioctl(io.Fd(), FIONREAD, &n);
        return n;
    }
    // Sends bytes and waits until the port holds all of them, so the reads
    // that follow see them as waiting.
    void Put(const Bytes& bytes)
    {
        const int before = Pending();
        ASSERT_TRUE(peer.Send(bytes));
        ASSERT_TRUE(WaitPending(io.Fd(), before + static_cast<int>(bytes.size())));
    }
    Bytes Readframe(unsigned char* buf, int& r)
    {
        int len = -7;
        r = io.Readframe(buf, len);
        return r == 0 ? Bytes(buf, buf + len) : Bytes();
    }
    Bytes Findframe(int& r)
    {
        int len = -7;
        r = io.Findframe(m_buf, len);
        return r == 0 && len > 0 ? Bytes(m_buf, m_buf + len) : Bytes();
    }
    // Whatever is left to read (without waiting for more than the time-out).
    Bytes Rest()
    {
        unsigned char buf[4096];
        int len = sizeof buf;
        io.Read(buf, len, false);
        return Bytes(buf, buf + len);
    }

    PtyPeer peer;
    TestSerIO io;
    unsigned char m_buf[2048] = {};
};

} // namespace

TEST_F(SerialRead, TimeOutRule)
{
    unsigned char buf[16];
    int len = 8;
    auto t0 = Clock::now();
    EXPECT_EQ(io.Read(buf, len, true), SXIO_NORESP);
    EXPECT_EQ(len, 0);
    EXPECT_GE(MsSince(t0), 95); // empty only after the whole time-out
    EXPECT_LT(MsSince(t0), 3000);
    len = 8;
    EXPECT_EQ(io.Read(buf, len, false), SXIO_NOERR);
    EXPECT_EQ(len, 0);
    len = 8;
    EXPECT_EQ(io.Read(nullptr, len, true), -1);

    // What is waiting comes at once; a short read waits for the line to
    // go quiet, and ends long before the next bytes.
    Put(Bytes{'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'});
    peer.Play({{600, {'l', 'a', 't', 'e'}}});
    len = 5;
    EXPECT_EQ(io.Read(buf, len, true), SXIO_NOERR);
    const auto t1 = Clock::now();
    ASSERT_EQ(len, 5);
    EXPECT_EQ(Bytes(buf, buf + 5), (Bytes{'a', 'b', 'c', 'd', 'e'}));
    len = 8;
    EXPECT_EQ(io.Read(buf, len, true), SXIO_NOERR);
    const auto t2 = Clock::now();
    EXPECT_EQ(Bytes(buf, buf + len), (Bytes{'f', 'g', 'h'}));
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(t2 - t1).count(), 95);
    peer.Wait();
    ASSERT_EQ(peer.SentAt().size(), 1u);
    EXPECT_LT(t2, peer.SentAt()[0]);
    len = 8;
    EXPECT_EQ(io.Read(buf, len, true), SXIO_NOERR);
    EXPECT_EQ(Bytes(buf, buf + len), (Bytes{'l', 'a', 't', 'e'}));

    // The first byte is waited for; bytes that follow within the time-out
    // join the same read.
    peer.Play({{20, {'x', 'y'}}, {20, {'z'}}, {20, {'w'}}});
    len = 4;
    EXPECT_EQ(io.Read(buf, len, true), SXIO_NOERR);
    EXPECT_EQ(Bytes(buf, buf + len), (Bytes{'x', 'y', 'z', 'w'}));
    peer.Wait();
}

TEST_F(SerialRead, ReadTraceLines)
{
    io.SetTrace(true, 4);
    Put(Bytes{1, 2, 3});
    unsigned char buf[8];
    int len = 8;
    StdoutCapture cap;
    EXPECT_EQ(io.Read(buf, len, false), SXIO_NOERR);
    const std::string out = cap.Text();
    EXPECT_NE(out.find(", count 8, bTOisErr false\r\n"), std::string::npos) << out;
    EXPECT_NE(out.find(ThreadPrefix() + "CSXserIO::Read : Requested 8, Actual 3\r\n"), std::string::npos) << out;
}

TEST_F(SerialRead, ReadframeDeliversTheHeaderAndTheAnnouncedBody)
{
    const Bytes f1 = Frame("SXRP", 20, 1), f2 = Frame("SXRC", 0), f3 = Frame("SXRC", 100, 50);
    Put(f1);
    io.SetTrace(true, 4);
    int r = -1;
    {
        StdoutCapture cap;
        const Bytes got = Readframe(m_buf, r);
        const std::string out = cap.Text();
        EXPECT_EQ(r, 0);
        EXPECT_EQ(got.size(), 28u);
        EXPECT_EQ(got, f1);
        const std::string p = ThreadPrefix();
        for (const char* line :
             {"CSXserIO::Readframe : iHdrLen = 8\r\n", "CSXserIO::Readframe : Reading Header, Len = 8\r\n",
              "PreambleTestM : preamble IN = 50525853, CMP = 00525853, mask = 00ffffff\r\n",
              "PreambleTestM : (pIN & mask) = 00525853  :  (pCmp & mask) = 00525853\r\n",
              "PreambleTestM : 00525853 ^ 00525853 = 00000000\r\n",
              "CSXserIO::Readframe : Reading Body, iBodyLen = 20\r\n"})
            EXPECT_NE(out.find(p + line), std::string::npos) << line << out;
    }
    io.SetTrace(true, 3);
    // Back to back in one write: each read takes exactly one frame.
    Put(Concat(Concat(f1, f2), f3));
    EXPECT_EQ(Readframe(m_buf, r), f1);
    EXPECT_EQ(Readframe(m_buf, r), f2);
    EXPECT_EQ(Readframe(m_buf, r), f3);
    EXPECT_EQ(Rest(), Bytes());
    int len = 0;
    EXPECT_EQ(io.Readframe(nullptr, len), -1);
}

TEST_F(SerialRead, ReadframeFailures)
{
    io.SetTrace(true, 6);
    int r = -1;
    {
        StdoutCapture cap;
        EXPECT_EQ(Readframe(m_buf, r), Bytes());
        EXPECT_EQ(r, SXIO_NORESP);
        EXPECT_NE(cap.Text().find(ThreadPrefix() + "CSXserIO::Readframe : Error Reading Header : 2 : SXIO_NORESP\r\n"),
                  std::string::npos);
    }
    io.SetTrace(true, 4);
    {
        // A header time-out is traced from level 5 on only.
        StdoutCapture cap;
        Readframe(m_buf, r);
        EXPECT_EQ(r, SXIO_NORESP);
        EXPECT_EQ(cap.Text().find("Error Reading Header"), std::string::npos);
    }
    io.SetTrace(true, 3);
    {
        // The third preamble byte differs.
        Put(Frame("SXQP", 4));
        StdoutCapture cap;
        Readframe(m_buf, r);
        const std::string out = cap.Text();
        EXPECT_EQ(r, SXIO_FRAMERR);
        EXPECT_TRUE(std::regex_search(
            out, std::regex(R"(PreambleTestM : \d+ : Expected preamble: 00525853, actual: 50515853\r\n)")))
            << out;
        EXPECT_NE(out.find("CSXserIO::Readframe Error in Preamble \r\n"), std::string::npos) << out;
        EXPECT_EQ(Rest(), (Bytes{0, 1, 2, 3})); // the header alone was read
    }
    {
        // The line goes quiet inside the body: the frame is dropped, not
        // delivered with fewer bytes than it announced.
        const Bytes f = Frame("SXRP", 20, 1);
        peer.Play({{0, Slice(f, 0, 18)}, {400, Slice(f, 18)}});
        StdoutCapture cap;
        int len = -7;
        EXPECT_EQ(io.Readframe(m_buf, len), SXIO_FRAMERR);
        EXPECT_EQ(len, -7);
        EXPECT_NE(cap.Text().find(ThreadPrefix() + "CSXserIO::Readframe : Error Reading Body : 2 : SXIO_NORESP. "
                                                   "Returning error 5 : SXIO_FRAMERR\r\n"),
                  std::string::npos);
        peer.Wait();
        EXPECT_EQ(Rest(), Slice(f, 18));
    }
    // Only part of a header.
    Put(Bytes{'S', 'X', 'R'});
    Readframe(m_buf, r);
    EXPECT_EQ(r, SXIO_FRAMERR);
}

TEST_F(SerialRead, FrameSizeLimit)
{
    int r = -1;
    // In the reading thread's frame buffer a frame must stay below 1024
    // bytes; a larger one is refused before its body is read.
    const Bytes largest = Frame("SXRP", 1015, 3);
    Put(largest);
    EXPECT_EQ(Readframe(io.FrameBuf(), r), largest);
    Put(Frame("SXRP", 1016));
    EXPECT_EQ(Readframe(io.FrameBuf(), r), Bytes());
    EXPECT_EQ(r, SXIO_FRAMERR);
    // Its body is left for the next Read (the port may have read it ahead).
    EXPECT_EQ(Rest().size(), 1016u);

    // A caller's own buffer takes any frame.
    const Bytes big = Frame("SXRP", 1500, 7);
    Put(big);
    EXPECT_EQ(Readframe(m_buf, r), big);

    // With its size given, a caller's buffer takes the frames that fit; a
    // larger announcement is a frame error and nothing passes the buffer's end.
    unsigned char small[64 + 8];
    memset(small, 0xEE, sizeof small);
    int len = -7;
    const Bytes fits = Frame("SXRC", 56, 1);
    Put(fits);
    EXPECT_EQ(io.Readframe(small, len, 64), SXIO_NOERR);
    EXPECT_EQ(Bytes(small, small + len), fits);
    Put(Frame("SXRC", 57));
    len = -7;
    EXPECT_EQ(io.Readframe(small, len, 64), SXIO_FRAMERR);
    EXPECT_EQ(len, -7);
    EXPECT_EQ(Bytes(small + 64, small + sizeof small), Bytes(8, 0xEE));
    EXPECT_EQ(Rest().size(), 57u);
    EXPECT_EQ(io.Readframe(small, len, 7), -1);

    // The search refuses a frame of 1024 bytes in any buffer.
    Put(Concat(Garbage(4), Frame("SXRP", 1016)));
    EXPECT_EQ(Findframe(r), Bytes());
    EXPECT_EQ(r, SXIO_FRAMERR);
    Rest();
    const Bytes f = Concat(Garbage(4), largest);
    Put(f);
    EXPECT_EQ(Findframe(r), largest);
}

TEST_F(SerialRead, FindframeSkipsGarbage)
{
    int r = -1;
    const Bytes f1 = Frame("SXRP", 20, 1), f2 = Frame("SXRC", 12, 100), f3 = Frame("SXRP", 20, 60);
    Put(Concat(Garbage(10), f1));
    EXPECT_EQ(Findframe(r), f1);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(Rest(), Bytes());

    // False starts: "SX" followed by something else, and a broken match
    // whose last byte begins the real preamble.
    Put(Concat(Bytes{'g', 'S', 'X', 'Q', 'S', 'S', 'X', 'S'}, f1));
    EXPECT_EQ(Findframe(r), f1);

    // The first chunk is 32 bytes: the match begins in it and completes in
    // the next; the frame keeps the preamble bytes of the earlier chunk.
    Put(Concat(Garbage(30), f1));
    EXPECT_EQ(Findframe(r), f1);
    Put(Concat(Garbage(31), f1));
    EXPECT_EQ(Findframe(r), f1);
    EXPECT_EQ(Rest(), Bytes());

    // A chunk that runs past the frame: the bytes after it begin the next.
    Put(Concat(Concat(Garbage(2), f2), f3));
    EXPECT_EQ(Findframe(r), f2);
    EXPECT_EQ(Readframe(m_buf, r), f3);
    EXPECT_EQ(Rest(), Bytes());
}

TEST_F(SerialRead, FindframeGivesUpOrStops)
{
    int r = -1;
    // Seven chunks of 32 bytes pass 200: the search ends with len as it was.
    Put(Garbage(250));
    int len = 77;
    EXPECT_EQ(io.Findframe(m_buf, len), SXIO_NOERR);
    EXPECT_EQ(len, 77);
    EXPECT_EQ(Rest(), Slice(Garbage(250), 224));

    // The input ends before 200 bytes: the empty read ends the search.
    Put(Garbage(190));
    EXPECT_EQ(io.Findframe(m_buf, len), SXIO_NORESP);
    EXPECT_EQ(Rest(), Bytes());
    EXPECT_EQ(io.Findframe(nullptr, len), -1);

    // The line goes quiet inside the header; inside the body before any of
    // it came; and part of the way through the body, where the frame is
    // dropped rather than delivered with the length it announced.
    Put(Concat(Garbage(3), Bytes{'S', 'X', 'R', 'P', 20, 0}));
    EXPECT_EQ(Findframe(r), Bytes());
    EXPECT_EQ(r, SXIO_NORESP);
    const Bytes f = Frame("SXRP", 40, 1);
    Put(Concat(Garbage(3), Slice(f, 0, 8)));
    EXPECT_EQ(Findframe(r), Bytes());
    EXPECT_EQ(r, SXIO_NORESP);
    Put(Concat(Garbage(3), Slice(f, 0, 40)));
    len = 77;
    EXPECT_EQ(io.Findframe(m_buf, len), SXIO_FRAMERR);
    EXPECT_EQ(len, 77);
    EXPECT_EQ(Rest(), Bytes());
}

TEST_F(SerialRead, ZJHeader)
{
    int r = -1;
    EXPECT_EQ(io.ModeZJ(), 0);
    io.SetModeZJ();
    EXPECT_EQ(io.ModeZJ(), 1);
    const Bytes f = ZJFrame(20, 9);
    Put(f);
    io.SetTrace(true, 4);
    {
        StdoutCapture cap;
        EXPECT_EQ(Readframe(m_buf, r), f);
        EXPECT_NE(cap.Text().find("PreambleTestM : preamble IN = 6a7a5853, CMP = 00525853, mask = 0000ffff\r\n"),
                  std::string::npos);
    }
    io.SetTrace(true, 3);
    Put(ZJFrame(0, 0));
    EXPECT_EQ(Readframe(m_buf, r), ZJFrame(0, 0));
    Bytes bad = ZJFrame(4, 0);
    bad[1] = 'Y';
    Put(bad);
    EXPECT_EQ(Readframe(m_buf, r), Bytes());
    EXPECT_EQ(r, SXIO_FRAMERR);
    Rest();
    // Two bytes make a match in the search.
    Put(Concat(Concat(Garbage(10), Bytes{'S', 'Q'}), f));
    EXPECT_EQ(Findframe(r), f);
    Bytes big = ZJFrame(0, 0);
    big[6] = 0xF8; // 1016
    big[7] = 0x03;
    Put(Concat(Garbage(5), big));
    EXPECT_EQ(Findframe(r), Bytes());
    EXPECT_EQ(r, SXIO_FRAMERR);
}

TEST_F(SerialRead, WriteSendsExactBytes)
{
    int len = 0;
    EXPECT_EQ(io.Write(nullptr, len), SXIO_NOERR);
    Bytes f = Frame("SXRC", 20, 40);
    EXPECT_EQ(io.Write(f.data(), len), SXIO_NOERR);
    EXPECT_EQ(peer.Receive(1, 150), Bytes());

    len = static_cast<int>(f.size());
    EXPECT_EQ(io.Write(f.data(), len), SXIO_NOERR);
    EXPECT_EQ(len, 28);
    EXPECT_EQ(peer.Receive(100, 300), f);

    ASSERT_EQ(io.Close(), 0);
    EXPECT_EQ(io.Write(f.data(), len), SXIO_TIMEOUT);
}

TEST_F(SerialRead, WriteGivesUpWhenNothingTakesTheBytes)
{
    // Nobody reads the master end: the terminal's buffers fill up.
    Bytes big(1 << 20, 0x55);
    int len = static_cast<int>(big.size());
    io.SetTrace(true, 6);
    StdoutCapture cap;
    const auto t0 = Clock::now();
    EXPECT_EQ(io.Write(big.data(), len), SXIO_TIMEOUT);
    const long long ms = MsSince(t0);
    const std::string out = cap.Text();
    EXPECT_GE(ms, 450);
    EXPECT_LT(ms, 5000);
    EXPECT_EQ(len, 1 << 20);
    EXPECT_NE(out.find("CSXserIO::Write : GetOverlappedResult: 6e dwError 110 dwWritten "), std::string::npos);
    EXPECT_NE(out.find("CSXserIO::Write : GetOverlappedResult Error 110 : "), std::string::npos);
    EXPECT_GT(peer.Drain(), 0u);
}
