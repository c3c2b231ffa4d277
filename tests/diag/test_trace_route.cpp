// The trace's one way out: every line of the library and of its transports
// goes to the application's receiver once one is set, and to standard
// output again when it is removed.
#include <SXCmdIF/SXCmdIF.h>
#include <simulator/SimTracker.h>
#include <testsupport/StdoutCapture.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

using sxtest::StdoutCapture;
using sxtest::ThreadPrefix;

namespace {

struct Received {
    std::vector<std::pair<int, std::string>> lines;
    bool Has(const std::string& part) const
    {
        for (const auto& l : lines)
            if (l.second.find(part) != std::string::npos)
                return true;
        return false;
    }
};

void Receive(void* arg, int level, const char* line)
{
    static_cast<Received*>(arg)->lines.emplace_back(level, line);
}

class TraceRoute : public ::testing::Test {
protected:
    void SetUp() override { sxcmdif_set_trace_cb(Receive, &m_got); }
    void TearDown() override
    {
        sxcmdif_set_trace_cb(nullptr, nullptr);
        sxcmdif_trace(0);
    }
    Received m_got;
};

} // namespace

TEST_F(TraceRoute, TheLibraryWritesToTheReceiverLineByLine)
{
    sxcmdif_trace(5);
    StdoutCapture cap;
    BxDebug::BXDOUT3("three %d\r\n\r\nafter a blank line\r\n", 3);
    BxDebug::BXDOUT(" unlevelled");
    trTracefHP5("entry\r\n");
    const unsigned char bytes[] = {0xAB, 0x01};
    trTraceFBuf(bytes, 2, true, "LABEL", 3);
    EXPECT_EQ(cap.Text(), "");

    const std::vector<std::pair<int, std::string>> head = {
        {3, "three 3"},
        {3, "after a blank line"},
        {0, " unlevelled"},
        {5, ThreadPrefix() + "entry"},
        {3, ThreadPrefix() + "LABEL "},
    };
    ASSERT_GT(m_got.lines.size(), head.size());
    for (size_t i = 0; i < head.size(); ++i)
        EXPECT_EQ(m_got.lines[i], head[i]) << i;
    EXPECT_EQ(m_got.lines[head.size()].second.find("AB 01"), 0u) << m_got.lines[head.size()].second;
}

TEST_F(TraceRoute, NullGivesStandardOutputBack)
{
    sxcmdif_set_trace_cb(nullptr, &m_got);
    StdoutCapture cap;
    BxDebug::BXDOUT("back\r\n");
    EXPECT_EQ(cap.Text(), "back\r\n");
    EXPECT_TRUE(m_got.lines.empty());
}

TEST_F(TraceRoute, TheTransportsWriteToTheReceiverToo)
{
    std::string err;
    auto sim = sxsim::SerialSim::Start(sxsim::SimConfig{}, &err);
    ASSERT_TRUE(sim) << err;
    setenv("SXSERIO_PORTS", sim->SlavePath().c_str(), 1);
    void* ctx = nullptr;
    void* dev = nullptr;
    StdoutCapture cap;
    ASSERT_EQ(sxcmdif_init(&ctx), E_SX_SUCCESS);
    EXPECT_EQ(sxctx_connectser(ctx, dev, 1, 0), E_SX_SUCCESS);
    sxcmdif_release(ctx);
    EXPECT_EQ(cap.Text(), "");
    // The serial transport's trace setting, written at any level.
    ASSERT_FALSE(m_got.lines.empty());
    EXPECT_EQ(m_got.lines[0], std::make_pair(0, ThreadPrefix() + "CSXserIO::SetTrace : btrace=true , ilev = 3"));
    EXPECT_TRUE(m_got.Has("CSXserIO::SetTrace : btrace=false , ilev = -1"));
}
