// The continuous reading thread over a pseudo-terminal: frames handed to the
// callback or kept in the store, resynchronisation, the give-up of the
// search, ZJ and free-form modes, starting, stopping and closing.
#include "SerTestUtil.h"

#include <atomic>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <regex>
#include <unistd.h>

using namespace sxtest;
using Clock = std::chrono::steady_clock;

namespace {

Bytes Garbage(size_t n, unsigned char first = 'a')
{
    Bytes g(n);
    for (size_t i = 0; i < n; ++i)
        g[i] = static_cast<unsigned char>(first + i % 17); // never 'S' from 'a'
    return g;
}

Bytes Slice(const Bytes& b, size_t from, size_t to = SIZE_MAX)
{
    return Bytes(b.begin() + static_cast<long>(from), b.begin() + static_cast<long>(to < b.size() ? to : b.size()));
}

Bytes Text(const char* s)
{
    return Bytes(s, s + strlen(s));
}

size_t Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

class SerialThread : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetPorts(peer.Path());
        ASSERT_EQ(io.Open(1), 0);
    }
    void Start(bool callback = true)
    {
        if (callback)
            io.SetMsgCallback(&Collector::CB, &col);
        ASSERT_EQ(io.ReadCont(), 0);
        ASSERT_TRUE(io.AsyncReadRunning());
    }
    // Stops reading and returns every frame that came.
    std::vector<Bytes> Stop()
    {
        EXPECT_EQ(io.ReadContStop(), 0);
        peer.Wait();
        return col.Frames();
    }
    // Waits (at most 3 s, sleeping) until the store's last chunk has len bytes.
    Bytes WaitLast(int len, unsigned char** at = nullptr)
    {
        unsigned char* data = nullptr;
        int n = 0;
        for (int i = 0; i < 300; ++i) {
            io.LastAsyncRead(data, n);
            if (n == len && data)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (at)
            *at = data;
        return data ? Bytes(data, data + n) : Bytes();
    }

    PtyPeer peer;
    TestSerIO io;
    Collector col;
};

} // namespace

TEST_F(SerialThread, FramesToTheCallbackWholeAndExact)
{
    Start();
    EXPECT_EQ(io.ReadCont(), -1); // already reading
    const Bytes f1 = Frame("SXRP", 20, 1), f2 = Frame("SXRC", 0), f3 = Frame("SXRP", 100, 30);
    ASSERT_TRUE(peer.Send(Concat(Concat(f1, f2), f3)));
    ASSERT_TRUE(col.WaitFor(3, 3000));

    // Pieces cut inside the preamble, inside the length word and inside the
    // body, each arriving within the read time-out of the one before.
    const Bytes f4 = Frame("SXRC", 20, 7), f5 = Frame("SXRP", 33, 90), f6 = Frame("SXRC", 60, 140);
    peer.Play({{0, Slice(f4, 0, 2)},
               {20, Concat(Slice(f4, 2), Slice(f5, 0, 6))},
               {20, Concat(Slice(f5, 6), Slice(f6, 0, 15))},
               {20, Slice(f6, 15)}});
    ASSERT_TRUE(col.WaitFor(6, 3000));
    EXPECT_EQ(Stop(), (std::vector<Bytes>{f1, f2, f3, f4, f5, f6}));
}

TEST_F(SerialThread, ResynchronisesAfterGarbage)
{
    const Bytes f1 = Frame("SXRP", 20, 1), f2 = Frame("SXRC", 20, 50);
    StdoutCapture cap;
    Start();
    ASSERT_TRUE(peer.Send(Concat(Concat(f1, Garbage(10)), f2)));
    ASSERT_TRUE(col.WaitFor(2, 3000));
    EXPECT_EQ(Stop(), (std::vector<Bytes>{f1, f2}));
    const std::string out = cap.Text();
    EXPECT_TRUE(std::regex_search(out, std::regex(R"(CSXserIO::ContLoop : \d+ : ReadFrame returned error: 0x5 \(5\) : )"
                                                  R"(SXIO_FRAMERR\n)")))
        << out;
    EXPECT_TRUE(std::regex_search(out, std::regex(R"(CSXserIO::ContLoop : \d+ : Frame Error:  Starting search for )"
                                                  R"(valid header in input stream\. \n)")))
        << out;
}

TEST_F(SerialThread, SearchGivingUpHandsOverAnEmptyFrame)
{
    Start();
    const Bytes f1 = Frame("SXRP", 20, 1), f2 = Frame("SXRC", 20, 50);
    peer.Play({{0, Concat(f1, Garbage(250))}, {400, f2}});
    ASSERT_TRUE(col.WaitFor(3, 5000));
    EXPECT_EQ(Stop(), (std::vector<Bytes>{f1, Bytes(), f2}));
}

TEST_F(SerialThread, FrameWhoseBodyEndsEarlyIsDropped)
{
    Start();
    const Bytes f1 = Frame("SXRP", 20, 1), f2 = Frame("SXRC", 20, 50);
    // Cut in the frame reader, and cut in the search that follows garbage.
    peer.Play({{0, Slice(f1, 0, 18)}, {400, Concat(Slice(f1, 18), f2)}});
    ASSERT_TRUE(col.WaitFor(1, 3000));
    peer.Wait();
    const Bytes f3 = Frame("SXRP", 40, 100), f4 = Frame("SXRC", 4, 200);
    peer.Play({{0, Concat(Garbage(10), Slice(f3, 0, 40))}, {400, Concat(Slice(f3, 40), f4)}});
    ASSERT_TRUE(col.WaitFor(2, 3000));
    EXPECT_EQ(Stop(), (std::vector<Bytes>{f2, f4}));
}

TEST_F(SerialThread, FrameTooLargeForTheFrameBufferIsNotDelivered)
{
    Start();
    const Bytes largest = Frame("SXRP", 1015, 3), after = Frame("SXRC", 20, 9);
    peer.Play({{0, Concat(largest, Frame("SXRP", Bytes(1016, 0)))}, {400, after}});
    ASSERT_TRUE(col.WaitFor(3, 8000));
    for (int i = 0; i < 100 && col.Frames().back() != after; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const std::vector<Bytes> got = Stop();
    ASSERT_GE(got.size(), 3u);
    EXPECT_EQ(got.front(), largest);
    EXPECT_EQ(got.back(), after);
    // The refused frame's body is searched through: only empty frames for
    // the searches that gave up come between.
    for (size_t i = 1; i + 1 < got.size(); ++i)
        EXPECT_EQ(got[i], Bytes()) << i;
}

TEST_F(SerialThread, WithoutCallbackFramesGoToTheStore)
{
    Start(false);
    const Bytes f1 = Frame("SXRP", 20, 1), f2 = Frame("SXRC", 40, 70);
    ASSERT_TRUE(peer.Send(f1));
    unsigned char* at = nullptr;
    EXPECT_EQ(WaitLast(28, &at), f1);
    EXPECT_EQ(at, io.RxStore());
    ASSERT_TRUE(peer.Send(f2));
    EXPECT_EQ(WaitLast(48, &at), f2);
    EXPECT_EQ(at, io.RxStore() + 28);
    Stop();
    // A new start empties the store's bookkeeping.
    Start(false);
    unsigned char* data = io.RxStore();
    int len = -1;
    EXPECT_EQ(io.LastAsyncRead(data, len), 0);
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(len, 0);
}

TEST(SerialStore, ChunksFollowEachOtherAndStartOverAtTheEnd)
{
    TestSerIO io;
    unsigned char* data = nullptr;
    int len = -1;
    EXPECT_EQ(io.LastAsyncRead(data, len), 0);
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(len, 0);
    for (int i = 0; i < 5; ++i) {
        Bytes chunk(600, static_cast<unsigned char>(i + 1));
        EXPECT_FALSE(io.DataReady(chunk.data(), 600)); // not reading
        io.LastAsyncRead(data, len);
        EXPECT_EQ(data, io.RxStore() + (i % 3) * 600) << i;
        ASSERT_EQ(len, 600);
        EXPECT_EQ(Bytes(data, data + len), chunk);
    }
    // A chunk that would end exactly at the store's end starts over too.
    TestSerIO fresh;
    Bytes half(1024, 0x11);
    fresh.DataReady(half.data(), 1024);
    fresh.DataReady(half.data(), 1024);
    fresh.LastAsyncRead(data, len);
    EXPECT_EQ(data, fresh.RxStore());

    Collector col;
    io.SetMsgCallback(&Collector::CB, &col);
    Bytes chunk(10, 0xAA);
    io.DataReady(chunk.data(), 10);
    EXPECT_EQ(col.Frames(), std::vector<Bytes>{chunk});
    io.LastAsyncRead(data, len);
    EXPECT_EQ(data, io.RxStore() + 600); // the store is left alone
}

// A chunk as long as the store fills it from its front; the next one starts
// over.
TEST(SerialStore, ChunkOfTheStoresSizeIsKeptWhole)
{
    TestSerIO io;
    Bytes first(100, 0x01), whole(CSXserIO::kRxStoreSize), next(10, 0x22);
    for (size_t i = 0; i < whole.size(); ++i)
        whole[i] = static_cast<unsigned char>(i * 7);
    unsigned char* data = nullptr;
    int len = -1;
    io.DataReady(first.data(), 100);
    io.DataReady(whole.data(), CSXserIO::kRxStoreSize);
    io.LastAsyncRead(data, len);
    EXPECT_EQ(data, io.RxStore());
    ASSERT_EQ(len, CSXserIO::kRxStoreSize);
    EXPECT_EQ(Bytes(data, data + len), whole);
    io.DataReady(next.data(), 10);
    io.LastAsyncRead(data, len);
    EXPECT_EQ(data, io.RxStore());
    EXPECT_EQ(Bytes(data, data + len), next);
}

TEST_F(SerialThread, ZJFramesInTheLoop)
{
    io.SetModeZJ();
    auto zj = [](size_t n, unsigned char first) {
        Bytes f = {'S', 'X', 'z', 'j', 0xFF, 0xFF, static_cast<unsigned char>(n), 0};
        for (size_t i = 0; i < n; ++i)
            f.push_back(static_cast<unsigned char>(first + i));
        return f;
    };
    const Bytes f1 = zj(20, 1), f2 = zj(12, 40);
    Start();
    ASSERT_TRUE(peer.Send(Concat(Concat(f1, Garbage(10)), f2)));
    ASSERT_TRUE(col.WaitFor(2, 3000));
    EXPECT_EQ(Stop(), (std::vector<Bytes>{f1, f2}));
}

TEST_F(SerialThread, FreeFormModeHandsOverWhatCame)
{
    io.AsciiContMode() = true;
    Start();
    const Bytes frame = Frame("SXRP", 20, 1);
    peer.Play({{0, Text("abc")}, {400, Text("defgh")}, {400, frame}, {400, Garbage(250)}});
    ASSERT_TRUE(col.WaitFor(5, 5000));
    EXPECT_EQ(Stop(), (std::vector<Bytes>{Text("abc"), Text("defgh"), frame, Slice(Garbage(250), 0, 200),
                                          Slice(Garbage(250), 200)}));

    // The mode is taken at the next start; without a callback the chunks go
    // to the store.
    io.SetMsgCallback(nullptr, nullptr);
    ASSERT_EQ(io.ReadCont(), 0);
    ASSERT_TRUE(peer.Send(Text("xyz")));
    EXPECT_EQ(WaitLast(3), Text("xyz"));
    io.ReadContStop();
    io.AsciiContMode() = false;
    ASSERT_EQ(io.ReadCont(), 0);
    ASSERT_TRUE(peer.Send(frame));
    EXPECT_EQ(WaitLast(28), frame);
}

TEST_F(SerialThread, StartAndStopLines)
{
    const std::string p = ThreadPrefix();
    std::string out;
    io.SetTrace(true, 4);
    {
        StdoutCapture cap;
        Start();
        ASSERT_TRUE(peer.Send(Frame("SXRP", 4)));
        ASSERT_TRUE(col.WaitFor(1, 3000));
        io.StartContThread(); // a thread is there already
        const auto t0 = Clock::now();
        EXPECT_EQ(io.ReadContStop(), 0);
        EXPECT_LT(MsSince(t0), 1500);
        EXPECT_EQ(io.ReadContStop(), 0); // nothing to stop
        out = cap.Text();
    }
    const std::string id = Hex(col.Thread());
    const std::string lines[] = {
        p + "CSXserIO::StartContThread : Thread started id = 0x" + id + "\r\n",
        p + "CSXserIO::StartContThread : Thread id = 0x" + id + " already RUNNING\r\n",
        p + "CSXserIO::StopContThread : Thread joinable, joining\r\n",
        p + "CSXserIO::StopContThread : Thread JOINED\r\n",
        p + "CSXserIO::StopContThread : Thread STOPPED\r\n",
        p + "CSXserIO::StopContThread : Thread not running : m_thidCont = thread::id of a non-executing thread, "
            "m_pthCont = 0x0\r\n",
        p + "Leaving CSXserIO::StopContThread \r\n",
    };
    EXPECT_NE(out.find(col.Prefix() + "CSXserIO::DataReady :  12 : 53 58 52 50 04 00 00 00 00 01 02 03 \r\n"),
              std::string::npos)
        << out;
    size_t at = 0;
    for (const std::string& line : lines) {
        const size_t found = out.find(line, at);
        EXPECT_NE(found, std::string::npos) << line << out;
        if (found != std::string::npos)
            at = found + line.size();
    }
    EXPECT_FALSE(io.AsyncReadRunning());
    EXPECT_FALSE(io.HasThread());
}

TEST_F(SerialThread, StoppedThreadLeavesTheInputAloneAndCanStartAgain)
{
    Start();
    io.ReadContStop();
    const Bytes f1 = Frame("SXRP", 20, 1), f2 = Frame("SXRC", 20, 9);
    ASSERT_TRUE(peer.Send(f1));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(col.Frames().empty());
    unsigned char buf[64];
    int len = 0;
    ASSERT_EQ(io.Readframe(buf, len), 0);
    EXPECT_EQ(Bytes(buf, buf + len), f1);

    ASSERT_EQ(io.ReadCont(), 0);
    ASSERT_TRUE(peer.Send(f2));
    ASSERT_TRUE(col.WaitFor(1, 3000));
    EXPECT_EQ(Stop(), std::vector<Bytes>{f2});

    // A thread whose flag was cleared ends by itself and is joined by the
    // next start.
    ASSERT_EQ(io.ReadCont(), 0);
    io.ClearContThreadFlag();
    EXPECT_FALSE(io.AsyncReadRunning());
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    EXPECT_TRUE(io.HasThread());
    ASSERT_EQ(io.ReadCont(), 0);
    ASSERT_TRUE(peer.Send(f1));
    ASSERT_TRUE(col.WaitFor(2, 3000));
    EXPECT_EQ(Stop(), (std::vector<Bytes>{f2, f1}));
}

// The one stop rule of both transports' reading threads: a stop from the
// data callback neither deadlocks nor detaches; the thread stays owned, ends
// by itself, hands nothing more over, and the next start from outside joins
// it and reads again.
TEST_F(SerialThread, StopFromTheCallbackKeepsTheThreadForTheNextStart)
{
    struct SelfStop {
        TestSerIO* io = nullptr;
        std::atomic<int> calls{0};
        std::promise<void> stopped;
        static void CB(void* arg, unsigned char*, unsigned int)
        {
            auto* self = static_cast<SelfStop*>(arg);
            if (self->calls++ == 0) {
                EXPECT_EQ(self->io->ReadContStop(), 0);
                self->stopped.set_value();
            }
        }
    } stopper;
    stopper.io = &io;
    std::future<void> stopped = stopper.stopped.get_future();
    io.SetMsgCallback(&SelfStop::CB, &stopper);
    ASSERT_EQ(io.ReadCont(), 0);
    const Bytes f1 = Frame("SXRP", 20, 1), f2 = Frame("SXRC", 20, 9);
    ASSERT_TRUE(peer.Send(f1));
    ASSERT_EQ(stopped.wait_for(std::chrono::seconds(3)), std::future_status::ready);
    EXPECT_FALSE(io.AsyncReadRunning());
    EXPECT_TRUE(io.HasThread()); // owned, not detached
    ASSERT_TRUE(peer.Send(f1));

    io.SetMsgCallback(&Collector::CB, &col);
    ASSERT_EQ(io.ReadCont(), 0);
    ASSERT_TRUE(peer.Send(f2));
    ASSERT_TRUE(col.WaitFor(2, 3000));
    EXPECT_EQ(stopper.calls.load(), 1);
    EXPECT_EQ(Stop(), (std::vector<Bytes>{f1, f2}));
    EXPECT_FALSE(io.HasThread());
}

TEST_F(SerialThread, StopsPromptlyWhileAFrameTrickles)
{
    Start();
    // One body byte every 40 ms keeps the body read going for 2.4 s.
    const Bytes f = Frame("SXRP", 60, 1);
    std::vector<PtyPeer::Step> steps{{0, Slice(f, 0, 8)}};
    for (size_t i = 8; i < f.size(); ++i)
        steps.push_back({40, Slice(f, i, i + 1)});
    peer.Play(steps);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto t0 = Clock::now();
    EXPECT_EQ(io.ReadContStop(), 0);
    EXPECT_LT(MsSince(t0), 1000);
    EXPECT_FALSE(io.HasThread());
    EXPECT_TRUE(Stop().empty()); // the frame never completed while reading
}

TEST_F(SerialThread, CloseStopsAndJoinsTheThreadBeforeTheDescriptorGoes)
{
    Start();
    const Bytes f = Frame("SXRP", 60, 1);
    std::vector<PtyPeer::Step> steps{{0, Slice(f, 0, 8)}};
    for (size_t i = 8; i < 30; ++i)
        steps.push_back({40, Slice(f, i, i + 1)});
    peer.Play(steps);
    int p[2];
    ASSERT_EQ(pipe2(p, O_NONBLOCK), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(150)); // inside the body read
    const int fd = io.Fd();
    std::string out;
    {
        StdoutCapture cap;
        const auto t0 = Clock::now();
        EXPECT_EQ(io.Close(), 0);
        EXPECT_LT(MsSince(t0), 1000);
        out = cap.Text();
    }
    EXPECT_NE(out.find(ThreadPrefix() + "CSXserIO::StopContThread : Thread JOINED\r\n"), std::string::npos) << out;
    EXPECT_FALSE(io.IsOpen());
    EXPECT_FALSE(io.HasThread());
    EXPECT_FALSE(io.AsyncReadRunning());

    // The old descriptor number now belongs to a pipe: nothing takes the
    // bytes written to it.
    ASSERT_EQ(dup2(p[0], fd), fd);
    ASSERT_EQ(write(p[1], "probe", 5), 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    char back[8] = {};
    EXPECT_EQ(read(fd, back, sizeof back), 5);
    EXPECT_STREQ(back, "probe");
    for (int d : {p[0], p[1], fd})
        close(d);
    EXPECT_TRUE(Stop().empty());
}

TEST_F(SerialThread, DestructionWhileReading)
{
    auto other = std::make_unique<TestSerIO>();
    PtyPeer second;
    SetPorts(second.Path());
    ASSERT_EQ(other->Open(1), 0);
    ASSERT_EQ(other->ReadCont(), 0);
    second.Play({{50, Frame("SXRP", 20)}});
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const auto t0 = Clock::now();
    other.reset();
    EXPECT_LT(MsSince(t0), 1500);
}

TEST_F(SerialThread, HungUpLineIsRetriedWithoutSpinning)
{
    for (bool freeform : {false, true}) {
        SCOPED_TRACE(freeform ? "free-form" : "framed");
        PtyPeer line;
        SetPorts(line.Path());
        TestSerIO port;
        ASSERT_EQ(port.Open(1), 0);
        port.AsciiContMode() = freeform;
        ASSERT_EQ(port.ReadCont(), 0);
        std::string out;
        {
            // Hung up only once the capture holds standard output, so that
            // a read's line and the loop's line after it are caught together.
            StdoutCapture cap;
            line.HangUp();
            std::this_thread::sleep_for(std::chrono::milliseconds(600));
            const auto t0 = Clock::now();
            port.ReadContStop();
            EXPECT_LT(MsSince(t0), 1500);
            out = cap.Text();
        }
        // One failed read about every 100 ms, each reported.
        const size_t errors = Count(out, "CSXserIO::Read : ");
        EXPECT_GE(errors, 2u) << out;
        EXPECT_LE(errors, 30u) << out;
        if (freeform)
            EXPECT_EQ(Count(out, "CSXserIO::ContLoopFreeform : ReadFrame error: 4\n"), errors) << out;
        else
            EXPECT_EQ(Count(out, " : ReadFrame returned error: 0x4 (4) : SXIO_SYSERR\n"), errors) << out;
    }
}

TEST_F(SerialThread, WritesWhileTheThreadReads)
{
    Start();
    std::vector<Bytes> answers;
    for (unsigned char i = 0; i < 5; ++i) {
        Bytes cmd = Frame("SXRC", 12, static_cast<unsigned char>(10 * i));
        int len = static_cast<int>(cmd.size());
        ASSERT_EQ(io.Write(cmd.data(), len), SXIO_NOERR);
        ASSERT_EQ(peer.Receive(cmd.size(), 500), cmd);
        answers.push_back(Frame("SXRC", 24, static_cast<unsigned char>(100 + i)));
        ASSERT_TRUE(peer.Send(answers.back()));
        ASSERT_TRUE(col.WaitFor(answers.size(), 3000));
    }
    EXPECT_EQ(Stop(), answers);
}
