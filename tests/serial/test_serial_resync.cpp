// Resynchronisation after garbage on the line, through the reading loop:
// garbage shorter than a frame header ends inside the next frame's header,
// and that frame is still delivered.
#include <SXserIO/SXserIO.h>

#include "testsupport/pty/PtyPeer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using sxtest::Bytes;

struct Got {
    std::mutex mtx;
    std::vector<Bytes> frames;
};

void OnFrame(void* arg, unsigned char* data, unsigned int len)
{
    auto* got = static_cast<Got*>(arg);
    std::lock_guard<std::mutex> lock(got->mtx);
    if (len)
        got->frames.emplace_back(data, data + len);
}

TEST(SerialResync, GarbageShorterThanAHeaderLosesNoFrame)
{
    for (size_t garbage = 1; garbage <= 12; ++garbage) {
        sxtest::PtyPeer peer;
        setenv("SXSERIO_PORTS", peer.Path().c_str(), 1);
        CSXserIO io;
        io.SetTrace(false, 0);
        ASSERT_EQ(io.Open(1), 0);
        Got got;
        io.SetMsgCallback(OnFrame, &got);
        ASSERT_EQ(io.ReadCont(), 0);
        Bytes stream;
        std::vector<Bytes> sent;
        for (int i = 0; i < 6; ++i) {
            const Bytes f = sxtest::Frame(i % 2 ? "SXRP" : "SXRC", 20 + i, static_cast<unsigned char>(i * 10));
            sent.push_back(f);
            if (i == 2)
                stream.insert(stream.end(), garbage, 0xA5); // before the third frame
            stream.insert(stream.end(), f.begin(), f.end());
        }
        ASSERT_TRUE(peer.Send(stream));
        for (int i = 0; i < 100; ++i) {
            {
                std::lock_guard<std::mutex> lock(got.mtx);
                if (got.frames.size() >= sent.size())
                    break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        io.Close();
        // The second frame is taken by the search (after the error) or
        // directly; from the third on every frame arrives whole.
        std::lock_guard<std::mutex> lock(got.mtx);
        ASSERT_EQ(got.frames.size(), sent.size()) << "garbage of " << garbage;
        for (size_t i = 0; i < sent.size(); ++i)
            EXPECT_EQ(got.frames[i], sent[i]) << "frame " << i << ", garbage of " << garbage;
    }
}

} // namespace
