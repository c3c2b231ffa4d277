#include <SXCmdIF/SXCmdIF.h>
#include "SXcontext.h"
#include "diag/TraceInternal.h"
#include <testsupport/StdoutCapture.h>

#include "../../SXCmdIF/diag/CmdNameOverride.h"

#include <gtest/gtest.h>

#include <atomic>
#include <regex>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using sxtest::StdoutCapture;

namespace {

const char* NameA(unsigned)
{
    return "A";
}

int ActiveCountOf(const std::string& trace)
{
    std::smatch m;
    static const std::regex re(": ([0-9]+) active contexts\r\n");
    if (!std::regex_search(trace, m, re))
        return -1;
    return std::stoi(m[1]);
}

} // namespace

class ContextTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (void* c : live)
            sxcmdif_release(c);
        sxcmdif_trace(0);
    }
    void* Init()
    {
        void* c = nullptr;
        EXPECT_EQ(sxcmdif_init(&c), E_SX_SUCCESS);
        live.push_back(c);
        return c;
    }
    void Forget(void* c) { live.erase(std::find(live.begin(), live.end(), c)); }
    std::vector<void*> live;
};

TEST_F(ContextTest, InitTraceLineCountsLiveContexts)
{
    sxcmdif_trace(5);
    std::string first, second, third;
    void* a;
    {
        StdoutCapture cap;
        a = Init();
        first = cap.Text();
    }
    {
        StdoutCapture cap;
        Init();
        second = cap.Text();
    }
    EXPECT_EQ(sxcmdif_release(a), E_SX_SUCCESS);
    Forget(a);
    {
        StdoutCapture cap;
        Init();
        third = cap.Text();
    }
    EXPECT_EQ(ActiveCountOf(first), 1);
    EXPECT_EQ(ActiveCountOf(second), 2);
    EXPECT_EQ(ActiveCountOf(third), 2);

    char addr[32];
    snprintf(addr, sizeof addr, "%016lX", reinterpret_cast<unsigned long>(a));
    std::regex re("\\[[0-9a-f]{8}\\] : CSXcontext::SetTraceLev : nT = 5\r\n"
                  "\\[[0-9a-f]{8}\\] : sxcmdif_init : SXcmdIF 240212a v0\\.0\\.61 " +
                  std::string(sxcmdif_datetime()) + " : ctx 0x" + addr +
                  " : sizeof\\(ctx\\)=8 : 1 active contexts\r\n");
    EXPECT_TRUE(std::regex_match(first, re)) << first;
}

TEST_F(ContextTest, ReleaseTwiceAndUnknownHandles)
{
    void* c = Init();
    EXPECT_EQ(sxcmdif_release(c), E_SX_SUCCESS);
    Forget(c);
    EXPECT_EQ(sxcmdif_release(c), E_SXERR_INVALID_CONTEXT);
    int local = 0;
    EXPECT_EQ(sxcmdif_release(&local), E_SXERR_INVALID_CONTEXT);
    EXPECT_EQ(sxcmdif_release(nullptr), E_SXERR_INVALID_CONTEXT);
    EXPECT_EQ(sxctx_trace(c, 3), E_SXERR_INVALID_CONTEXT);
    EXPECT_EQ(sxctx_setuthcmdstr(c, NameA), E_SXERR_INVALID_CONTEXT);
    EXPECT_EQ(sxctx_clearuthcmdstr(c), E_SXERR_INVALID_CONTEXT);
    EXPECT_EQ(sxctx::CmdNameOverride(), nullptr);
}

TEST_F(ContextTest, NullArgumentsAreRefused)
{
    EXPECT_EQ(sxcmdif_init(nullptr), E_SXERR_INVALID_PARAMS);
    EXPECT_EQ(sxctx::LiveCount(), 0u);
    void* c = Init();
    EXPECT_EQ(sxctx_setuthcmdstr(c, NameA), E_SX_SUCCESS);
    EXPECT_EQ(sxctx_setuthcmdstr(c, nullptr), E_SXERR_INVALID_PARAMS);
    EXPECT_EQ(sxctx::CmdNameOverride(), &NameA);
}

TEST_F(ContextTest, TraceLevelOutOfRangeSwitchesOffAndIsTakenOver)
{
    sxcmdif_trace(9);
    EXPECT_FALSE(trTraceOn());
    EXPECT_EQ(trTraceLevel(), 9);
    StdoutCapture cap;
    void* c = Init();
    EXPECT_EQ(static_cast<CSXcontext*>(c)->m_nTraceLev, 9);
    EXPECT_NE(cap.Text().find("CSXcontext::SetTraceLev : nT = 9\r\n"), std::string::npos);
}

TEST_F(ContextTest, TraceSevenWritesItsLineSixDoesNot)
{
    std::string out;
    {
        StdoutCapture cap;
        sxcmdif_trace(6);
        EXPECT_TRUE(trTraceOn());
        sxcmdif_trace(7);
        out = cap.Text();
    }
    std::regex re("\\[[0-9a-f]{8}\\] : sxcmdif_trace : set trace level 7\r\n");
    EXPECT_TRUE(std::regex_match(out, re)) << out;
    sxcmdif_trace(0);
    EXPECT_FALSE(trTraceOn());
}

TEST_F(ContextTest, ExistingContextsKeepTheirLevel)
{
    void* c = Init();
    sxcmdif_trace(3);
    EXPECT_EQ(static_cast<CSXcontext*>(c)->m_nTraceLev, 0);
    EXPECT_EQ(sxctx_trace(c, 6), E_SX_SUCCESS);
    EXPECT_EQ(static_cast<CSXcontext*>(c)->m_nTraceLev, 6);
}

TEST_F(ContextTest, NewContextClearsOverride)
{
    void* a = Init();
    EXPECT_EQ(sxctx_setuthcmdstr(a, NameA), E_SX_SUCCESS);
    EXPECT_EQ(sxctx::CmdNameOverride(), &NameA);
    Init();
    EXPECT_EQ(sxctx::CmdNameOverride(), nullptr);
    EXPECT_EQ(sxctx_setuthcmdstr(a, NameA), E_SX_SUCCESS);
    EXPECT_EQ(sxctx_clearuthcmdstr(a), E_SX_SUCCESS);
    EXPECT_EQ(sxctx::CmdNameOverride(), nullptr);
}

TEST_F(ContextTest, LookupsRaceWithCreationSafely)
{
    void* stable = Init();
    std::atomic<bool> stop{false};
    std::thread reader([&] {
        while (!stop.load())
            ASSERT_EQ(sxctx_trace(stable, 0), E_SX_SUCCESS);
    });
    for (int i = 0; i < 300; ++i) {
        void* c = nullptr;
        ASSERT_EQ(sxcmdif_init(&c), E_SX_SUCCESS);
        ASSERT_EQ(sxcmdif_release(c), E_SX_SUCCESS);
    }
    stop = true;
    reader.join();
}

TEST(BuildStamp, VersionDateAndTime)
{
    EXPECT_STREQ(sxcmdif_version(), "240212a v0.0.61");
    EXPECT_TRUE(std::regex_match(sxcmdif_date(), std::regex("(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
                                                            "[ 123][0-9] [0-9]{4}")));
    EXPECT_TRUE(std::regex_match(sxcmdif_time(), std::regex("[0-2][0-9]:[0-5][0-9]:[0-6][0-9]")));
    EXPECT_EQ(std::string(sxcmdif_datetime()), std::string(sxcmdif_date()) + " " + sxcmdif_time());
    auto widened = [](const char* s) { return std::wstring(s, s + strlen(s)); };
    EXPECT_EQ(sxcmdif_versionW(), widened(sxcmdif_version()));
    EXPECT_EQ(sxcmdif_dateW(), widened(sxcmdif_date()));
    EXPECT_EQ(sxcmdif_timeW(), widened(sxcmdif_time()));
    EXPECT_EQ(sxcmdif_datetimeW(), widened(sxcmdif_datetime()));
    EXPECT_EQ(sxcmdif_versionW(), sxcmdif_versionW()); // the same text each time
}

namespace {

// Runs fn in a child process without a controlling terminal; returns the
// child's standard output and sets rc to fn's result.
std::string InChildWithoutTty(int (*fn)(), int* rc)
{
    int pipefd[2];
    EXPECT_EQ(pipe(pipefd), 0);
    pid_t pid = fork();
    if (pid == 0) {
        setsid();
        dup2(pipefd[1], STDOUT_FILENO);
        close(pipefd[0]);
        int r = fn();
        fflush(stdout);
        _exit(r);
    }
    close(pipefd[1]);
    std::string out;
    char buf[256];
    ssize_t n;
    while ((n = read(pipefd[0], buf, sizeof buf)) > 0)
        out.append(buf, static_cast<size_t>(n));
    close(pipefd[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    *rc = WEXITSTATUS(status);
    return out;
}

} // namespace

TEST(StdoutHook, WithoutConsole)
{
    int rc = -1;
    std::string out = InChildWithoutTty(
        [] {
            sxcmdif_trace(3);
            return sxcmdif_stdout();
        },
        &rc);
    EXPECT_EQ(rc, E_SXERR_NOTFOUND);
    EXPECT_EQ(out, "sxcmdif_stdoutstdout\r\n");
}

TEST(StdoutHook, TraceOffDoesNothing)
{
    int rc = -1;
    std::string out = InChildWithoutTty(
        [] {
            sxcmdif_trace(0);
            return sxcmdif_stdout();
        },
        &rc);
    EXPECT_EQ(rc, E_SX_SUCCESS);
    EXPECT_EQ(out, "");
}
