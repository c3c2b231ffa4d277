// The catalogue checks of the context operations, in their order; the size
// check cannot be reached through the typed exports, which always pass the
// catalogue's size.
#include "SXcontext.h"
#include <SXCmdIF/records/SXpayloads.h>

#include <gtest/gtest.h>

TEST(ContextOps, CatalogueChecksInOrder)
{
    CSXcontext ctx;
    int bogus = 0;
    auto* dev = reinterpret_cast<CSXdevIO*>(&bogus);
    _UNITS_CONFIG u{};
    EXPECT_EQ(ctx.cmd_dev(dev, CMD_UNITS, CMD_ACTION_ACK, nullptr, 3, 0, 0), E_SXERR_INVALID_ACTION);
    EXPECT_EQ(ctx.cmd_dev(dev, CMD_UNITS, CMD_ACTION_SET, nullptr, 3, 0, 0), E_SXERR_INVALID_PARAMS);
    EXPECT_EQ(ctx.cmd_dev(dev, CMD_UNITS, CMD_ACTION_SET, &u, 0, 0, 0), E_SXERR_INVALID_PARAMS);
    EXPECT_EQ(ctx.cmd_dev(dev, CMD_UNITS, CMD_ACTION_SET, &u, 4, 0, 0), E_SXERR_INVALID_SIZE);
    EXPECT_EQ(ctx.cmd_sns(dev, 1, CMD_FILTER, CMD_ACTION_GET, &u, 8, 0), E_SXERR_INVALID_SIZE);
    EXPECT_EQ(ctx.cmd_dev(dev, CMD_PERSIST, CMD_ACTION_SET, nullptr, 0, 0, 0), E_CTXERR_INVALID_DEVHND);
    // A RESET is not held to the size.
    EXPECT_EQ(ctx.cmd_dev(dev, CMD_UNITS, CMD_ACTION_RESET, nullptr, 0, 0, 0), E_CTXERR_INVALID_DEVHND);
}
