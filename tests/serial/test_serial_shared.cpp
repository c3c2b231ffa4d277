// The serial transport as an application has it: linked against the shared
// libSXserIO alone, over a pseudo-terminal.
#include <SXserIO/SXserIO.h>
#include <testsupport/StdoutCapture.h>
#include <testsupport/pty/PtyPeer.h>

#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <mutex>

using namespace sxtest;

namespace {

struct Frames {
    std::mutex mtx;
    std::condition_variable cv;
    std::vector<Bytes> got;
    static void CB(void* arg, unsigned char* data, unsigned int len)
    {
        auto* self = static_cast<Frames*>(arg);
        std::lock_guard<std::mutex> lock(self->mtx);
        self->got.emplace_back(data, data + len);
        self->cv.notify_all();
    }
};

} // namespace

TEST(SerialShared, TheTransportComesFromTheSharedLibrary)
{
    std::ifstream maps("/proc/self/maps");
    const std::string text((std::istreambuf_iterator<char>(maps)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("/libSXserIO.so"), std::string::npos);
    EXPECT_EQ(text.find("/libSXCmdIF.so"), std::string::npos);
}

TEST(SerialShared, FramedReadWriteAndThread)
{
    PtyPeer peer;
    setenv("SXSERIO_PORTS", peer.Path().c_str(), 1);
    std::string out;
    CSXserIO io;
    {
        // This library's objects start with tracing off.
        StdoutCapture cap;
        ASSERT_EQ(io.Open(1), 0);
        out = cap.Text();
    }
    EXPECT_EQ(out, "");
    {
        StdoutCapture cap;
        io.SetTrace(true, 3);
        out = cap.Text();
    }
    EXPECT_NE(out.find("Setting trace level normal i/o or lower\r\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("btrace="), std::string::npos) << out;
    io.SetTrace(false, 0);

    const Bytes f1 = Frame("SXRP", 20, 1), f2 = Frame("SXRC", 40, 60);
    ASSERT_TRUE(peer.Send(Concat(Bytes{'j', 'u', 'n', 'k', 0, 1, 2, 3}, f1)));
    unsigned char buf[1024];
    int len = 0;
    EXPECT_EQ(io.Readframe(buf, len), SXIO_FRAMERR);
    ASSERT_EQ(io.Readframe(buf, len), SXIO_NOERR);
    EXPECT_EQ(Bytes(buf, buf + len), f1);

    Bytes cmd = Frame("SXRC", 12, 5);
    len = static_cast<int>(cmd.size());
    ASSERT_EQ(io.Write(cmd.data(), len), SXIO_NOERR);
    EXPECT_EQ(peer.Receive(cmd.size(), 500), cmd);

    Frames frames;
    io.SetMsgCallback(&Frames::CB, &frames);
    ASSERT_EQ(io.ReadCont(), 0);
    ASSERT_TRUE(peer.Send(Concat(Concat(f1, Bytes(10, 'g')), f2)));
    {
        std::unique_lock<std::mutex> lock(frames.mtx);
        ASSERT_TRUE(frames.cv.wait_for(lock, std::chrono::seconds(3), [&] { return frames.got.size() >= 2; }));
    }
    EXPECT_EQ(io.ReadContStop(), 0);
    EXPECT_EQ(frames.got, (std::vector<Bytes>{f1, f2}));
    EXPECT_EQ(io.Close(), 0);
    EXPECT_FALSE(io.IsOpen());
}
