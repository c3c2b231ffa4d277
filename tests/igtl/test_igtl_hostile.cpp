// The server against clients that misbehave, as an attacker on the same
// machine would: each test is a fault the server once had. Raw sockets
// where a client must misbehave, OpenIGTLink's client classes for the
// clients that behave.
#include "RawClient.h"
#include "ServeFixture.h"

#include <igtl_tdata.h>

#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <dirent.h>
#include <thread>
#include <vector>

using namespace igtltest;

namespace {

using IgtlHostile = IgtlServe;

constexpr size_t kHeaderSize = 58;
const std::string kRtsSuccess(1, '\0'), kRtsError(1, '\1');

bool NextOf(RawClient& c, const std::string& type, RawReceived& m, int timeoutMs = 3000)
{
    while (c.Next(m, timeoutMs))
        if (m.type == type)
            return true;
    return false;
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds within = 3000ms)
{
    const auto until = std::chrono::steady_clock::now() + within;
    while (!done() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(5ms);
    return done();
}

TEST_F(IgtlHostile, BodiesOfTheWrongSizeAreRefusedBeforeAnythingUnpacksThem)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    RawClient c(m_port);
    ASSERT_TRUE(c.Connected());
    // STT_TDATA bodies shorter and longer than its 36 bytes, each with its
    // right CRC, and one of 36 bytes whose CRC is wrong: error answers.
    std::string badCrc = RawMessage("STT_TDATA", "Attacker", std::string(36, '\0'));
    badCrc[kHeaderSize + 10] = 'x';
    for (const std::string& m :
         {RawMessage("STT_TDATA", "Attacker"), RawMessage("STT_TDATA", "Attacker", "\x01"),
          RawMessage("STT_TDATA", "Attacker", "\x01\x02"), RawMessage("STT_TDATA", "Attacker", std::string(35, '\x01')),
          RawMessage("STT_TDATA", "Attacker", std::string(37, '\0')), badCrc}) {
        ASSERT_TRUE(c.Send(m));
        RawReceived r;
        ASSERT_TRUE(NextOf(c, "RTS_TDATA", r)) << m.size();
        EXPECT_EQ(r.body, kRtsError) << m.size();
    }
    // A request that has no body, sent with one, is skipped body and all:
    // the request after it is answered, the capabilities never are.
    ASSERT_TRUE(c.Send(RawMessage("GET_CAPABIL", "", "xyz") + RawMessage("GET_TRANS", "Sensor9")));
    RawReceived r;
    while (c.Next(r) && !(r.type == "STATUS" && r.name == "Sensor9"))
        EXPECT_NE(r.type, "CAPABILITY");
    EXPECT_EQ(r.name, "Sensor9");
    EXPECT_EQ(m_stats.messagesRefused.load(), 6u);
    // No TDATA stream was started by any of them: poses keep coming as
    // TRANSFORM (a STATUS may come between them when the tracker's state
    // changes, as it does when frames are late on a loaded machine).
    int transforms = 0;
    for (int i = 0; i < 60 && transforms < 40 && c.Next(r); ++i) {
        if (r.type == "STATUS")
            continue;
        EXPECT_EQ(r.type, "TRANSFORM");
        ++transforms;
    }
    EXPECT_EQ(transforms, 40);
}

TEST_F(IgtlHostile, CapabilitiesArePackedOnceAndAnsweredAtMostAtTheRequestRate)
{
    m_opt.requestsPerSecond = 20;
    ASSERT_NO_FATAL_FAILURE(Start());
    RawClient c(m_port);
    ASSERT_TRUE(c.Connected());
    std::string burst;
    for (int i = 0; i < 200; ++i)
        burst += RawMessage("GET_CAPABIL", "");
    ASSERT_TRUE(c.Send(burst));
    // A second's worth at once; the rest arrived faster than the rate.
    ASSERT_TRUE(WaitFor([&] { return m_stats.requestsUnanswered.load() >= 178; }));
    std::vector<RawReceived> caps;
    RawReceived r;
    const auto until = std::chrono::steady_clock::now() + 300ms;
    while (std::chrono::steady_clock::now() < until && c.Next(r))
        if (r.type == "CAPABILITY")
            caps.push_back(r);
    EXPECT_EQ(caps.size() + m_stats.requestsUnanswered.load(), 200u);
    ASSERT_GE(caps.size(), 20u);
    for (const RawReceived& cap : caps) {
        EXPECT_EQ(cap.body, caps[0].body);
        EXPECT_EQ(cap.stamp, caps[0].stamp); // the same packet, not packed again
    }
}

TEST_F(IgtlHostile, FloodersDoNotStarveAReader)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    // One floods requests without reading, one sends a body of a terabyte.
    RawClient flooder(m_port), huge(m_port);
    ASSERT_TRUE(flooder.Connected() && huge.Connected());
    std::string burst;
    for (int i = 0; i < 1000; ++i)
        burst += RawMessage("GET_CAPABIL", "");
    std::thread floods([&] {
        while (flooder.Send(burst)) {
        }
    });
    std::thread sends([&] {
        const std::string zeros(65536, '\0');
        std::string head = RawMessage("IMAGE", "Huge");
        head[kHeaderSize - 13] = 1; // body size 2^40
        if (huge.Send(head))
            while (huge.Send(zeros)) {
            }
    });
    ASSERT_TRUE(WaitFor([&] { return m_stats.requestsUnanswered.load() > 0; }));
    Client reader;
    ASSERT_TRUE(reader.Connect(m_port));
    Received r;
    ASSERT_TRUE(reader.NextOf("TRANSFORM", r));
    const uint64_t first = m_stats.framesReceived.load();
    int sensor0 = 0;
    const auto until = std::chrono::steady_clock::now() + 2s;
    while (std::chrono::steady_clock::now() < until && reader.NextOf("TRANSFORM", r))
        sensor0 += r.name == "Sensor0";
    const uint64_t frames = m_stats.framesReceived.load() - first;
    flooder.ShutdownSending();
    huge.ShutdownSending();
    floods.join();
    sends.join();
    EXPECT_GT(frames, 100u);
    EXPECT_GT(2u * static_cast<uint64_t>(sensor0), frames) << sensor0 << " of " << frames;
    EXPECT_EQ(m_stats.messagesIgnored.load(), 1u); // the huge body, skipped as it came
}

TEST_F(IgtlHostile, ConnectionsBeyondTheClientLimitAreClosedAtOnce)
{
    m_opt.maxClients = 2;
    ASSERT_NO_FATAL_FAILURE(Start());
    Client a, b;
    Received r;
    ASSERT_TRUE(a.Connect(m_port) && a.NextOf("STATUS", r));
    ASSERT_TRUE(b.Connect(m_port) && b.NextOf("STATUS", r));
    RawClient third(m_port);
    EXPECT_TRUE(third.ClosedWithin(2000));
    EXPECT_EQ(m_stats.clientsRefused.load(), 1u);
    a.Close();
    ASSERT_TRUE(WaitFor([&] { return m_stats.clientsConnected.load() == 1; }));
    RawClient fourth(m_port);
    RawReceived m;
    ASSERT_TRUE(fourth.Next(m));
    EXPECT_EQ(m.type, "STATUS");
}

TEST_F(IgtlHostile, AHalfSentMessageTimesOutAndASilentReaderDoesNot)
{
    m_opt.partialTimeoutMs = 300;
    ASSERT_NO_FATAL_FAILURE(Start());
    RawClient half(m_port);
    ASSERT_TRUE(half.Connected());
    ASSERT_TRUE(half.Send(RawMessage("GET_STATUS", "").substr(0, 20)));
    Client reader;
    ASSERT_TRUE(reader.Connect(m_port));
    EXPECT_TRUE(half.ClosedWithin(3000));
    EXPECT_EQ(m_stats.clientsTimedOut.load(), 1u);
    // The reader has sent nothing all along and still gets its stream.
    Received r;
    const auto until = std::chrono::steady_clock::now() + 600ms;
    while (std::chrono::steady_clock::now() < until)
        ASSERT_TRUE(reader.Next(r));
    EXPECT_EQ(m_stats.clientsConnected.load(), 1);
    EXPECT_NE(Log().find(" timed out in the middle of a message\n"), std::string::npos) << Log();
}

TEST_F(IgtlHostile, AHeaderMustBeWholeWithinTwoSecondsABodyWithinThePartialTimeOut)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    RawClient header(m_port), body(m_port);
    ASSERT_TRUE(header.Send(RawMessage("GET_STATUS", "").substr(0, 10)));
    ASSERT_TRUE(body.Send(RawMessage("STT_TDATA", "", std::string(36, '\0')).substr(0, kHeaderSize + 10)));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(header.ClosedWithin(4000));
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GT(took, 1.8);
    EXPECT_LT(took, 3.0);
    // The body has its 10 s.
    EXPECT_FALSE(body.ClosedWithin(300));
    EXPECT_EQ(m_stats.clientsTimedOut.load(), 1u);
}

// Reads and drops all the server sends, as a client that keeps up does,
// until the server closes the connection or the test ends.
class Drain {
public:
    explicit Drain(RawClient& c)
        : m_thread([this, &c] {
              while (!m_stop)
                  if (c.ClosedWithin(50)) {
                      m_closed = true;
                      return;
                  }
          })
    {
    }
    ~Drain()
    {
        m_stop = true;
        m_thread.join();
    }
    bool Closed() const { return m_closed; }

private:
    std::atomic<bool> m_stop{false}, m_closed{false};
    std::thread m_thread;
};

TEST_F(IgtlHostile, ANewcomerEvictsTheHalfSentThenTheStalledThenTheIdleNeverAReaderThatKeepsUp)
{
    m_opt.maxClients = 3;
    m_opt.evictAfterMs = 500;
    m_opt.headerTimeoutMs = m_opt.partialTimeoutMs = 60000;
    m_opt.sendBufferBytes = 4096; // the stalled client's socket is full at once
    m_opt.staleMs = 0;            // no STATUS when the tracker falls quiet
    ASSERT_NO_FATAL_FAILURE(Start());
    RawClient reader(m_port), stalled(m_port, "127.0.0.1", 4096), half(m_port);
    Drain keepsUp(reader);
    ASSERT_TRUE(half.Send(RawMessage("GET_STATUS", "").substr(0, 20)));
    // The stalled client's backlog waited beyond the age limit, so beyond
    // evictAfterMs: both it and the half-sent one may go.
    ASSERT_TRUE(WaitFor([&] { return m_stats.messagesDropped.load() > 0; }));
    RawReceived m;
    RawClient first(m_port);
    ASSERT_TRUE(NextOf(first, "TRANSFORM", m, 1000));
    Drain firstKeepsUp(first);
    EXPECT_TRUE(half.ClosedWithin(1000));
    RawClient second(m_port);
    ASSERT_TRUE(NextOf(second, "TRANSFORM", m, 1000));
    Drain secondKeepsUp(second);
    EXPECT_TRUE(stalled.ClosedWithin(1000));
    // Every client left reads and keeps up: the next is refused.
    RawClient third(m_port);
    EXPECT_TRUE(third.ClosedWithin(1000));
    EXPECT_EQ(m_stats.clientsRefused.load(), 1u);
    EXPECT_EQ(m_stats.clientsEvicted.load(), 2u);
    EXPECT_FALSE(keepsUp.Closed() || firstKeepsUp.Closed() || secondKeepsUp.Closed());
    // With the tracker quiet nobody takes anything: after evictAfterMs the
    // client idle longest goes.
    m_sim->GoQuiet(true);
    std::this_thread::sleep_for(700ms);
    RawClient fourth(m_port);
    EXPECT_TRUE(NextOf(fourth, "STATUS", m, 1000));
    EXPECT_EQ(m_stats.clientsEvicted.load(), 3u);
    EXPECT_TRUE(WaitFor([&] { return keepsUp.Closed() + firstKeepsUp.Closed() + secondKeepsUp.Closed() == 1; }));
    const std::string log = Log();
    EXPECT_NE(log.find(" evicted for a newcomer: its message was half-sent\n"), std::string::npos) << log;
    EXPECT_NE(log.find(" evicted for a newcomer: it had stopped reading\n"), std::string::npos) << log;
    EXPECT_NE(log.find(" evicted for a newcomer: it had been idle\n"), std::string::npos) << log;
}

int HighestFd()
{
    int highest = 0;
    DIR* d = ::opendir("/proc/self/fd");
    while (dirent* e = ::readdir(d))
        highest = std::max(highest, std::atoi(e->d_name));
    ::closedir(d);
    return highest;
}

TEST_F(IgtlHostile, OutOfDescriptorsConnectionsAreClosedNotLeftWaiting)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    RawClient clients[3]; // their sockets made before the descriptors run out
    // No descriptor is left but one; the server takes the first connection
    // with it, and has none for the others.
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &old), 0);
    rlimit low = old;
    low.rlim_cur = static_cast<rlim_t>(HighestFd() + 1);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    std::vector<int> fillers;
    for (int fd; (fd = ::open("/dev/null", O_RDONLY)) >= 0;)
        fillers.push_back(fd);
    ::close(fillers.back());
    fillers.pop_back();
    for (RawClient& c : clients)
        c.Connect(m_port);
    const bool secondClosed = clients[1].ClosedWithin(2000), thirdClosed = clients[2].ClosedWithin(2000);
    // Counted just after the close the clients saw.
    WaitFor([&] { return m_stats.clientsRefused.load() >= 2; });
    const uint64_t refused = m_stats.clientsRefused.load();
    ::setrlimit(RLIMIT_NOFILE, &old);
    for (int fd : fillers)
        ::close(fd);
    EXPECT_TRUE(secondClosed);
    EXPECT_TRUE(thirdClosed);
    EXPECT_EQ(refused, 2u);
    RawReceived m;
    ASSERT_TRUE(clients[0].Next(m));
    EXPECT_EQ(m.type, "STATUS");
    RawClient later(m_port);
    ASSERT_TRUE(later.Next(m));
    EXPECT_EQ(m.type, "STATUS");
}

TEST_F(IgtlHostile, ListensOnTheLoopbackUnlessBoundElsewhere)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    RawClient other(m_port, "127.0.0.2");
    EXPECT_FALSE(other.Connected());
    EXPECT_EQ(other.ConnectError(), ECONNREFUSED);
    m_opt.bindAddress = "0.0.0.0";
    ASSERT_NO_FATAL_FAILURE(StartServer());
    RawClient again(m_port, "127.0.0.2");
    EXPECT_TRUE(again.Connected());
}

TEST_F(IgtlHostile, AStalledClientIsNeverHandedOldPoses)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    RawClient stalled(m_port, "127.0.0.1", 4096);
    ASSERT_TRUE(stalled.Connected());
    std::this_thread::sleep_for(4s);
    // What the socket buffers held when the client stalled is old; all
    // after it is younger than the age limit (with some slack for a loaded
    // machine). With the system's send buffer it was 4 s of P&O, 400 KB.
    size_t oldBytes = 0;
    double age = 0.0;
    RawReceived m;
    const auto until = std::chrono::steady_clock::now() + 1s;
    while (std::chrono::steady_clock::now() < until && stalled.Next(m)) {
        age = WallNow() - m.stamp;
        if (m.type == "TRANSFORM" && age > 1.2)
            oldBytes += kHeaderSize + m.body.size();
    }
    EXPECT_LT(oldBytes, 160u * 1024);
    EXPECT_LT(age, 0.5);
    EXPECT_GT(m_stats.messagesDropped.load(), 0u);
}

TEST_F(IgtlHostile, EveryByteSentIsDefined)
{
    // Fresh heap memory reads 0xaa from now on.
    mallopt(M_PERTURB, 0x55);
    ASSERT_NO_FATAL_FAILURE(Start());
    RawClient c(m_port);
    RawReceived r;
    ASSERT_TRUE(NextOf(c, "TRANSFORM", r));
    ASSERT_TRUE(c.Send(RawMessage("GET_STATUS", "") + RawMessage("GET_TDATA", "")));
    ASSERT_TRUE(NextOf(c, "STATUS", r));
    // Code (2 bytes), then the sub-code (8) and the 20-byte error name of
    // tracking: zero, and empty.
    ASSERT_GE(r.body.size(), 30u);
    EXPECT_EQ(r.body.substr(2, 28), std::string(28, '\0'));
    ASSERT_TRUE(NextOf(c, "TDATA", r));
    ASSERT_EQ(r.body.size(), kSensors * sizeof(igtl_tdata_element));
    for (int k = 0; k < kSensors; ++k)
        EXPECT_EQ(r.body[k * sizeof(igtl_tdata_element) + offsetof(igtl_tdata_element, reserved)], '\0') << k;
    mallopt(M_PERTURB, 0);
}

TEST_F(IgtlHostile, AHalfClosedClientIsAnsweredThenClosed)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    RawClient c(m_port);
    ASSERT_TRUE(c.Send(RawMessage("GET_CAPABIL", "")));
    c.ShutdownSending();
    RawReceived r;
    EXPECT_TRUE(NextOf(c, "CAPABILITY", r));
    EXPECT_TRUE(c.ClosedWithin(2000));
}

} // namespace
