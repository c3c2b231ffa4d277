// First use of the tables from several threads at once: every thread sees
// the complete tables (run under ThreadSanitizer in the sanitizer build).
#include "SXcontext.h"
#include <SXCmdIF/protocol/SXcmd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <cwchar>
#include <thread>
#include <vector>

namespace {

TEST(Concurrent, FirstUseFromManyThreads)
{
    constexpr int kThreads = 8;
    std::atomic<int> ready{0};
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            ready.fetch_add(1);
            while (ready.load() < kThreads)
                std::this_thread::yield();
            for (int round = 0; round < 200; ++round) {
                if (t % 2)
                    CSXcmd::InitCmdInfo();
                else
                    CSXcmd::InitActInfo();
                CSXcmd::InitBaudInfo();
                CSXcmd::InitUnitsInfo();
                bool ok = std::strcmp(CSXcmd::cmdstr(38), "CMD_SELF_LEVEL") == 0 &&
                          std::wcscmp(CSXcmd::cmdpaystrW(12), L"INT32_CONFIG") == 0 &&
                          CSXcmd::ValidateAct(CMD_WHOAMI, CMD_ACTION_GET) &&
                          !CSXcmd::ValidateAct(CMD_WHOAMI, CMD_ACTION_SET) && CSXcmd::paysize(CMD_BLOCK_CFG) == 4596 &&
                          std::strcmp(CSXcmd::actstr(5, true), "NAK_WARN") == 0 && CSXcmd::baudbps(7) == 115200 &&
                          std::strcmp(CSXcmd::posunitsstr(0, false, true), "IN") == 0 &&
                          std::wcscmp(CSXcmd::calcorrectstrW(3, true), L"CUSTOM") == 0 &&
                          std::strcmp(CSXcmd::filterlevstr(100), "FILTER_LVL_UNDEFINED") == 0;
                if (!ok)
                    wrong.fetch_add(1);
            }
        });
    }
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST(Concurrent, ContextsConstructedAtOnce)
{
    constexpr int kThreads = 4;
    std::vector<std::thread> threads;
    std::atomic<int> ok{0};
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            CSXcontext ctx;
            if (std::strcmp(CSXcmd::cmdstr(0), "CMD_HEMISPHERE") == 0)
                ok.fetch_add(1);
        });
    }
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(ok.load(), kThreads);
}

} // namespace
