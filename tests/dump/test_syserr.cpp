#include "diag/SysErrText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <regex>

TEST(WsaErrStr, TheTablesAndTheirEnds)
{
    EXPECT_STREQ(trWsaErrStr(10060), "WSAETIMEDOUT");
    EXPECT_STREQ(trWsaErrStr(10035), "WSAEWOULDBLOCK");
    EXPECT_STREQ(trWsaErrStr(10054), "WSAECONNRESET");
    EXPECT_STREQ(trWsaErrStr(10071), "WSAEREMOTE");
    EXPECT_STREQ(trWsaErrStr(10091), "WSASYSNOTREADY");
    EXPECT_STREQ(trWsaErrStr(10093), "WSANOTINITIALISED");
    EXPECT_STREQ(trWsaErrStr(10094), "WSAEDISCON"); // the table runs on without the standard gaps
    EXPECT_STREQ(trWsaErrStr(10104), "WSA_E_CANCELLED");
    EXPECT_STREQ(trWsaErrStr(10105), "WSAEREFUSED");
    for (int code : {10034, 10072, 10090, 10106, 10112, 0, -1, 2147483647, -2147483647 - 1})
        EXPECT_STREQ(trWsaErrStr(code), "WSAE NOT DEFINED") << code;
}

TEST(WsaErrStr, EveryCodeOfTheRangesHasAName)
{
    for (int code = 10035; code <= 10071; ++code)
        EXPECT_EQ(std::strncmp(trWsaErrStr(code), "WSAE", 4), 0) << code;
    for (int code = 10091; code <= 10105; ++code)
        EXPECT_STRNE(trWsaErrStr(code), "WSAE NOT DEFINED") << code;
}

TEST(SysErrText, KnownAndUnknownCodes)
{
    EXPECT_EQ(trSysErrText(2), std::strerror(2));
    EXPECT_EQ(trSysErrText(110), std::strerror(110));
    EXPECT_EQ(trSysErrText(10060), "Non-Windows system error 0x274c");
    EXPECT_EQ(trSysErrText(0xFFFFFFFFu), "Non-Windows system error 0xffffffff");
    EXPECT_EQ(trSysErrText(100000), "Non-Windows system error 0x186a0");
}

TEST(DateTime, LocalTimeNow)
{
    const time_t before = time(nullptr);
    const std::string text = trDateTime();
    const time_t after = time(nullptr);
    ASSERT_TRUE(std::regex_match(text, std::regex(R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d)"))) << text;
    // The same instant formatted independently (either end of the call).
    bool matched = false;
    for (time_t t : {before, after}) {
        struct tm local {};
        localtime_r(&t, &local);
        char expect[32];
        std::strftime(expect, sizeof expect, "%y/%m/%d %H:%M:%S", &local);
        matched = matched || text == expect;
    }
    EXPECT_TRUE(matched) << text;
}
