// The command catalogue and the action table, row by row.
#include <SXCmdIF/protocol/SXcmd.h>

#include "protocol/CmdCatalogue.h"
#include "Widen.h"

#include <gtest/gtest.h>

#include <string>

using sxtest::Widen;

namespace {

struct Expected {
    unsigned value;
    const char* name; // null: undefined row
    const char* payName;
    const char* payNameW;
    uint64_t size;
    const char* actions; // letters S, G, R
    int scope;           // 0 sensor, 1 unit
};

// Written out from the documented catalogue, independently of the table.
const Expected kRows[] = {
    {0, "CMD_HEMISPHERE", "HEMISPHERE_CONFIG", "HEMISPHERE_CONFIG", 16, "SGR", 0},
    {1, "CMD_FILTER", "FILTER_CONFIG", "FILTER_CONFIG", 20, "SGR", 0},
    {2, "CMD_TIP_OFFSET", "TIP_OFFSET_CONFIG", "TIP_OFFSET_CONFIG", 12, "SGR", 0},
    {3, "CMD_INCREMENT", "INCREMENT_CONFIG", "INCREMENT_CONFIG", 12, "SGR", 0},
    {4, "CMD_BORESIGHT", "BORESIGHT_CONFIG", "BORESIGHT_CONFIG", 16, "SGR", 0},
    {5, "CMD_SENSOR_WHOAMI", "WHOAMI_STRUCT", "WHOAMI_STRUCT", 192, "G", 0},
    {6, "CMD_FRAMERATE", "FRAMERATE_CONFIG", "FRAMERATE_CONFIG", 4, "SGR", 1},
    {7, "CMD_UNITS", "UNITS_CONFIG", "UNITS_CONFIG", 8, "SGR", 1},
    {8, "CMD_SRC_ROTATION", "SRCROT_CONFIG", "SRCROT_CONFIG", 20, "SGR", 1},
    {9, "CMD_SYNC_MODE", "BINARY_CONFIG", "BINARY_CONFIG", 4, "SGR", 1},
    {10, "CMD_STATION_MAP", "STATION_MAP", "STATION_MAP", 4, "G", 1},
    {11, "CMD_STYLUS", "STYLUS_CONFIG", "STYLUS_CONFIG", 4, "SGR", 1},
    {12, "CMD_SEUID", "SORIX_SEUID", "INT32_CONFIG", 4, "SGR", 1},
    {13, "CMD_DUAL_OUTPUT", "BINARY_CONFIG", "BINARY_CONFIG", 4, "SGR", 1},
    {14, "CMD_SERIAL_CONFIG", "SERIAL_CONFIG", "INT32_CONFIG", 4, "SGR", 1},
    {15, "CMD_BLOCK_CFG", "BLOCK_CONFIG", "BLOCK_CONFIG", 4596, "R", 1},
    {16, "CMD_FRAME_COUNT", "NONE", "NONE", 0, "R", 1},
    {17, "CMD_BIT", "BIT_STRUCT", "BIT_STRUCT", 28, "G", 1},
    {18, "CMD_SINGLE_PNO", "SEUPNO", "SEUPNO", 16, "G", 1},
    {19, "CMD_CONTINUOUS_PNO", "CONT_FC_CONFIG", "CONT_FC_CONFIG", 4, "SR", 1},
    {20, "CMD_WHOAMI", "WHOAMI_STRUCT", "WHOAMI_STRUCT", 192, "G", 1},
    {21, "CMD_INITIALIZE", "NONE", "NONE", 0, "S", 1},
    {22, "CMD_PERSIST", "NONE", "NONE", 0, "S", 1},
    {23, nullptr, nullptr, nullptr, 0, "", 2},
    {24, "CMD_FTT_MODE", "ENUM_CONFIG", "ENUM_CONFIG", 4, "SGR", 0},
    {25, nullptr, nullptr, nullptr, 0, "", 2},
    {26, "CMD_SENSOR_BLOCKCFG", "SENSOR_CONFIG", "SENSOR_CONFIG", 276, "R", 0},
    {27, "CMD_SOURCE_CFG", "SRC_CONFIG", "SRC_CONFIG", 36, "SGR", 1},
    {28, "CMD_PREDFILTER_CFG", "PF_CONFIG", "PF_CONFIG", 12, "SGR", 0},
    {29, "CMD_PREDFILTER_EXT", "PF_CONFIG_EXT", "PF_CONFIG_EXT", 188, "SGR", 0},
    {30, "CMD_SRC_SELECT", "SRC_SEL_CONFIG", "SRC_SEL_CONFIG", 4, "SGR", 0},
    {31, "CMD_SNS_ORIGIN", "ENUM_CONFIG", "ENUM_CONFIG", 4, "SGR", 0},
    {32, "CMD_SNS_VIRTUAL", "VIRTUAL_SNS_CONFIG", "VIRTUAL_SNS_CONFIG", 16, "SGR", 0},
    {33, "CMD_SRC_WHOAMI", "WHOAMI_STRUCT", "WHOAMI_STRUCT", 192, "G", 1},
    {34, "CMD_DISABLE_CAL", "INT32_CONFIG", "INT32_CONFIG", 4, "SR", 1},
    {35, "CMD_SELFCAL_STATE", "SELFCAL_CONFIG", "SELFCAL_CONFIG", 12, "SGR", 1},
    {36, "CMD_SELFCAL_SAVE", "NONE", "NONE", 0, "SR", 1},
    {37, "CMD_OOR_MODE", "BINARY_CONFIG", "BINARY_CONFIG", 4, "SGR", 1},
    {38, "CMD_SELF_LEVEL", "SRCROT_CONFIG", "SRCROT_CONFIG", 20, "SGR", 1},
    {39, nullptr, nullptr, nullptr, 0, "", 2},
};

bool Allows(const char* letters, char c)
{
    return std::string(letters).find(c) != std::string::npos;
}

TEST(Catalogue, EveryRowThroughTheLookups)
{
    for (const Expected& e : kRows) {
        SCOPED_TRACE(e.value);
        const auto cmd = static_cast<eSorixCmds>(e.value);
        const char* name = e.name ? e.name : "CMD_UNDEFINED";
        const char* pay = e.payName ? e.payName : "NONE";
        const char* payW = e.payNameW ? e.payNameW : "NONE";
        EXPECT_STREQ(CSXcmd::cmdstr(e.value), name);
        EXPECT_EQ(std::wstring(CSXcmd::cmdstrW(e.value)), Widen(name));
        EXPECT_STREQ(CSXcmd::cmdpaystr(e.value), pay);
        EXPECT_EQ(std::wstring(CSXcmd::cmdpaystrW(e.value)), Widen(payW));
        EXPECT_EQ(CSXcmd::paysize(cmd), e.size);
        EXPECT_EQ(CSXcmd::framesize(cmd), e.size + 32);
        EXPECT_EQ(CSXcmd::ValidateAct(cmd, CMD_ACTION_SET), Allows(e.actions, 'S'));
        EXPECT_EQ(CSXcmd::ValidateAct(cmd, CMD_ACTION_GET), Allows(e.actions, 'G'));
        EXPECT_EQ(CSXcmd::ValidateAct(cmd, CMD_ACTION_RESET), Allows(e.actions, 'R'));
        for (int a = CMD_ACTION_ACK; a < 40; ++a)
            EXPECT_FALSE(CSXcmd::ValidateAct(cmd, static_cast<eCmdActions>(a))) << a;
    }
}

TEST(Catalogue, EveryRowOfTheTable)
{
    ASSERT_EQ(sxproto::kCmdRows, 41u);
    for (unsigned i = 0; i < sxproto::kCmdRows; ++i) {
        SCOPED_TRACE(i);
        const sxproto::CmdRow& r = sxproto::kCmdCatalogue[i];
        const bool defined = i < 40 && kRows[i].name;
        EXPECT_EQ(static_cast<unsigned>(r.value), defined ? i : 40u);
        EXPECT_EQ(static_cast<int>(r.scope), defined ? kRows[i].scope : 2);
        unsigned mask = 0;
        if (defined) {
            mask |= Allows(kRows[i].actions, 'S') ? 1 : 0;
            mask |= Allows(kRows[i].actions, 'G') ? 2 : 0;
            mask |= Allows(kRows[i].actions, 'R') ? 4 : 0;
        }
        EXPECT_EQ(r.actMask, mask);
        EXPECT_STREQ(r.name, defined ? kRows[i].name : "CMD_UNDEFINED");
        EXPECT_EQ(r.paySize, defined ? kRows[i].size : 0u);
    }
    // The first row marks the catalogue as built.
    EXPECT_EQ(sxproto::kCmdCatalogue[0].value, CMD_HEMISPHERE);
}

TEST(Catalogue, WideTextsAreTheNarrowOnesExceptTwoPayloadNames)
{
    for (unsigned i = 0; i < 41; ++i) {
        const sxproto::CmdRow& r = sxproto::kCmdCatalogue[i];
        EXPECT_EQ(std::wstring(r.nameW), Widen(r.name)) << i;
        if (i == 12 || i == 14) {
            EXPECT_NE(std::wstring(r.payNameW), Widen(r.payName)) << i;
        } else {
            EXPECT_EQ(std::wstring(r.payNameW), Widen(r.payName)) << i;
        }
    }
}

TEST(Catalogue, OutOfRange)
{
    EXPECT_STREQ(CSXcmd::cmdstr(38), "CMD_SELF_LEVEL");
    EXPECT_STREQ(CSXcmd::cmdstr(23), "CMD_UNDEFINED");
    EXPECT_STREQ(CSXcmd::cmdstr(25), "CMD_UNDEFINED");
    EXPECT_STREQ(CSXcmd::cmdstr(39), "CMD_UNDEFINED");
    EXPECT_STREQ(CSXcmd::cmdstr(40), "undefined_cmd");
    EXPECT_STREQ(CSXcmd::cmdstr(1000), "undefined_cmd");
    EXPECT_STREQ(CSXcmd::cmdstr(0xFFFFFFFFu), "undefined_cmd");
    EXPECT_EQ(std::wstring(CSXcmd::cmdstrW(40)), L"undefined_cmd");
    EXPECT_STREQ(CSXcmd::cmdpaystr(40), "undefined_cmd");
    EXPECT_EQ(std::wstring(CSXcmd::cmdpaystrW(77)), L"undefined_cmd");
    EXPECT_EQ(std::wstring(CSXcmd::cmdstrW(3)), L"CMD_INCREMENT");
    EXPECT_EQ(std::wstring(CSXcmd::cmdstrW(19)), L"CMD_CONTINUOUS_PNO");
    EXPECT_EQ(CSXcmd::paysize(CMD_MAX), 0u);
    EXPECT_EQ(CSXcmd::paysize(static_cast<eSorixCmds>(1000)), 0u);
    EXPECT_EQ(CSXcmd::paysize(static_cast<eSorixCmds>(-1)), 0u);
    EXPECT_EQ(CSXcmd::framesize(CMD_MAX), 32u);
    EXPECT_EQ(CSXcmd::paysize(CMD_BLOCK_CFG), 4596u);
    EXPECT_EQ(CSXcmd::framesize(CMD_BLOCK_CFG), 4628u);
    EXPECT_EQ(CSXcmd::paysize(CMD_FRAME_COUNT), 0u);
    EXPECT_EQ(CSXcmd::framesize(CMD_FRAME_COUNT), 32u);
}

TEST(Catalogue, ValidateAct)
{
    EXPECT_TRUE(CSXcmd::ValidateAct(CMD_WHOAMI, CMD_ACTION_GET));
    EXPECT_FALSE(CSXcmd::ValidateAct(CMD_WHOAMI, CMD_ACTION_SET));
    EXPECT_FALSE(CSXcmd::ValidateAct(CMD_BLOCK_CFG, CMD_ACTION_GET));
    EXPECT_FALSE(CSXcmd::ValidateAct(CMD_HEMISPHERE, CMD_ACTION_ACK));
    EXPECT_FALSE(CSXcmd::ValidateAct(CMD_MAX, CMD_ACTION_SET));
    EXPECT_FALSE(CSXcmd::ValidateAct(static_cast<eSorixCmds>(-1), CMD_ACTION_SET));
    EXPECT_FALSE(CSXcmd::ValidateAct(CMD_HEMISPHERE, static_cast<eCmdActions>(-1)));
    EXPECT_FALSE(CSXcmd::ValidateAct(CMD_HEMISPHERE, static_cast<eCmdActions>(8)));
    EXPECT_FALSE(CSXcmd::ValidateAct(CMD_HEMISPHERE, static_cast<eCmdActions>(32)));
    for (int a = 0; a < 8; ++a) {
        EXPECT_FALSE(CSXcmd::ValidateAct(static_cast<eSorixCmds>(23), static_cast<eCmdActions>(a)));
        EXPECT_FALSE(CSXcmd::ValidateAct(static_cast<eSorixCmds>(25), static_cast<eCmdActions>(a)));
    }
}

TEST(Catalogue, Actions)
{
    const char* longNames[] = {"CMD_ACTION_SET", "CMD_ACTION_GET", "CMD_ACTION_RESET",
                               "CMD_ACTION_ACK", "CMD_ACTION_NAK", "CMD_ACTION_NAK_WARNING"};
    const char* shortNames[] = {"ACTION_SET", "ACTION_GET", "ACT_RESET", "ACTION_ACK", "ACTION_NAK", "NAK_WARN"};
    for (unsigned a = 0; a < 6; ++a) {
        EXPECT_STREQ(CSXcmd::actstr(a, false), longNames[a]);
        EXPECT_STREQ(CSXcmd::actstr(a), longNames[a]);
        EXPECT_STREQ(CSXcmd::actstr(a, true), shortNames[a]);
        EXPECT_EQ(std::wstring(CSXcmd::actstrW(a)), Widen(longNames[a]));
    }
    EXPECT_STREQ(CSXcmd::actstr(6, false), "undefined_action");
    EXPECT_STREQ(CSXcmd::actstr(6, true), "undefined_action");
    EXPECT_STREQ(CSXcmd::actstr(1000, true), "undefined_action");
    EXPECT_EQ(std::wstring(CSXcmd::actstrW(6)), L"undefined_action");
    // The undefined action's own row.
    EXPECT_STREQ(sxproto::kActTable[6].name, "ACTION_UNDEFINED");
    EXPECT_STREQ(sxproto::kActTable[6].shortName, "ACT_UNDEF");
    EXPECT_EQ(sxproto::kActTable[6].value, CMD_ACTION_MAX);
}

TEST(Catalogue, TagCommandsMapToNothing)
{
    for (unsigned v : {0u, 1u, 7u, 40u, 1000u, 0xFFFFFFFFu})
        EXPECT_EQ(CSXcmd::tag2sxcmd(v), CMD_MAX) << v;
    for (int c : {0, 7, 38, 40})
        EXPECT_EQ(CSXcmd::sx2tagcmd(static_cast<eSorixCmds>(c)), 0xFFFFFFFFu) << c;
}

TEST(Catalogue, AnswersBeforeAnyContextAndAfterInit)
{
    // No context exists in this process: the lookups answer all the same.
    EXPECT_TRUE(CSXcmd::ValidateAct(CMD_UNITS, CMD_ACTION_SET));
    CSXcmd::InitCmdInfo();
    CSXcmd::InitActInfo();
    CSXcmd::InitCmdInfo();
    EXPECT_STREQ(CSXcmd::cmdstr(7), "CMD_UNITS");
    EXPECT_STREQ(CSXcmd::actstr(2, true), "ACT_RESET");
}

TEST(Catalogue, PayloadSizeConstants)
{
    EXPECT_EQ(CSXcmd::paysize(CMD_UNITS), SX_PAYSIZE_UNITS_CONFIG);
    EXPECT_EQ(CSXcmd::paysize(CMD_SEUID), SX_PAYSIZE_SEUID_CONFIG);
    EXPECT_EQ(CSXcmd::paysize(CMD_SENSOR_BLOCKCFG), SX_PAYSIZE_SENSOR_CONFIG);
    EXPECT_EQ(SX_RECSIZE_NOISEPROFILE, 172u);
    EXPECT_EQ(SX_RECSIZE_PNO, 28u);
}

} // namespace
