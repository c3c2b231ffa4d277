#include <SXCmdIF/diag/BxDebug.h>
#include <gtest/gtest.h>
TEST(BxDebug, Placeholder) { EXPECT_EQ(BxDebug::BXDlev(), 0); }
