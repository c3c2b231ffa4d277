#include <SXCmdIF/pno/SXseuPno.h>
#include <SXCmdIF/records/SXpayloads.h>

#include "PnoTestFrames.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace pnotest;

namespace {

std::vector<Bytes> Records(std::initializer_list<unsigned> sensors)
{
    std::vector<Bytes> r;
    for (unsigned n : sensors)
        r.push_back(PlainRecord(Sfinfo(n), 1.0f * n, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f));
    return r;
}

bool SameFrame(const CSXSeuPno& a, const CSXSeuPno& b)
{
    return std::memcmp(&a.m_pno, &b.m_pno, sizeof a.m_pno) == 0;
}

} // namespace

TEST(SeuPno, NewObjectIsEmpty)
{
    CSXSeuPno p;
    EXPECT_EQ(p.SensorCount(), 0u);
    EXPECT_EQ(p.m_fPosSpecRms, 0.015f);
    EXPECT_EQ(CSXSeuPno::default_ori_spec_rms, 0.1f);
    EXPECT_EQ(p.SensFrame(0), nullptr);
    EXPECT_EQ(static_cast<_SX_PNO*>(p), &p.m_pno);
}

TEST(SeuPno, FrameWithoutSensors)
{
    const AtEnd f(PnoFrame(1, 2, 0, {}));
    ASSERT_EQ(f.size(), 28u);
    CSXSeuPno p;
    EXPECT_EQ(p.Extractraw(f.data()), 28u);
    EXPECT_EQ(p.m_pno.size, 20u);
    EXPECT_EQ(p.SensorMap(), 0u);
    EXPECT_EQ(p.SensFrame(0), nullptr);
    EXPECT_TRUE(CSXSeuPno::ValidateSensorIDs(f.data(), 0x70));
    EXPECT_EQ(p.m_pno.sfdata[0].sfinfo, 0u); // the CRC is not taken in
}

TEST(SeuPno, FrameWithSixteenSensors)
{
    const AtEnd f(PnoFrame(1, 2, 0, Records({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15})));
    ASSERT_EQ(f.size(), 540u);
    CSXSeuPno p;
    EXPECT_EQ(p.Extractraw(f.data()), 540u);
    EXPECT_EQ(p.Extractraw(f.data(), f.size()), 540u);
    EXPECT_EQ(p.m_pno.size, 532u);
    EXPECT_TRUE(CSXSeuPno::ValidateSensorCount(f.data(), 16));
    EXPECT_FALSE(CSXSeuPno::ValidateSensorCount(f.data(), 15));
    EXPECT_EQ(p.SensorMap(), 0xFFFFu);
    ASSERT_NE(p.SensFrame(15), nullptr);
    EXPECT_EQ(p.SensFrame(15)->pos[0], 15.0f);
    EXPECT_EQ(p.SensFrame(16), nullptr);
    EXPECT_EQ(p.SensFrame(-1), nullptr);
    EXPECT_EQ(static_cast<void*>(p.SensFrameA(3)), static_cast<void*>(p.SensFrame(3)));
}

TEST(SeuPno, ExtractrawRefusesOtherFramesAndKeepsTheObject)
{
    CSXSeuPno p;
    const AtEnd good(PnoFrame(4, 99, 0, Records({1})));
    ASSERT_EQ(p.Extractraw(good.data()), 60u);
    const CSXSeuPno before(p);

    Bytes cmd = CmdFrame(1, 7, 1, 0, 0, {});
    EXPECT_EQ(p.Extractraw(cmd.data()), 0u);
    EXPECT_EQ(p.Extractraw(cmd.data(), static_cast<unsigned>(cmd.size())), 0u);
    const AtEnd tag(PnoFrame(4, 99, 0, Records({2}), Q7_PREAMBLE_PNO));
    EXPECT_EQ(p.Extractraw(tag.data()), 0u);
    EXPECT_EQ(p.Extractraw(nullptr), 0u);
    EXPECT_EQ(p.Extractraw(good.data(), 23), 0u);
    EXPECT_TRUE(SameFrame(p, before));
}

TEST(SeuPno, ExtractrawTakesNoMoreRecordsThanTheFrameHolds)
{
    // snscnt claims 16 while the size word (and the bytes) hold none.
    Bytes lying = PnoFrame(1, 2, 0, {});
    SetWord(lying, 20, 16);
    const AtEnd f(lying);
    CSXSeuPno p;
    EXPECT_EQ(p.Extractraw(f.data()), 28u);
    EXPECT_EQ(p.SensorCount(), 0u); // the records it holds, not the claim
    EXPECT_EQ(p.m_pno.sfdata[0].sfinfo, 0u);

    // The size word claims 16 records, the buffer holds one.
    Bytes longer = PnoFrame(1, 2, 0, Records({3}));
    SetWord(longer, 4, 532);
    SetWord(longer, 20, 16);
    const AtEnd g(longer);
    EXPECT_EQ(p.Extractraw(g.data(), g.size()), 60u);
    EXPECT_EQ(p.m_pno.sfdata[0].sfinfo, Sfinfo(3));
    EXPECT_EQ(p.SensorCount(), 1u);
    EXPECT_EQ(p.SensorMap(), 0x08u);

    // snscnt above 16 takes 16.
    Bytes many = PnoFrame(1, 2, 0, Records({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
    SetWord(many, 20, 40);
    const AtEnd h(many);
    EXPECT_EQ(p.Extractraw(h.data()), 540u);
    EXPECT_EQ(p.SensorCount(), 16u);
    EXPECT_EQ(p.SensorMap(), 0xFFFFu);
    EXPECT_FALSE(CSXSeuPno::ValidateSensorCount(h.data(), 16));
    EXPECT_FALSE(CSXSeuPno::ValidateSensorIDs(h.data(), 0x70));
}

TEST(SeuPno, ExtractseupnoTakesTheResponseBody)
{
    const Bytes frame = PnoFrame(7, 1000, 0x31, Records({2, 5}));
    const Bytes body(frame.begin() + 8, frame.end() - 4); // seuid to the last record
    const AtEnd b(body);
    CSXSeuPno p;
    EXPECT_EQ(p.Extractseupno(b.data()), 84u);
    EXPECT_EQ(p.m_pno.preamble, 0u);
    EXPECT_EQ(p.m_pno.size, 0u);
    EXPECT_EQ(p.m_pno.seuid, 7u);
    EXPECT_EQ(p.FrameNum(), 1000u);
    EXPECT_EQ(p.Mode(), 1u);
    EXPECT_EQ(p.BITerr(), 3u);
    EXPECT_EQ(p.SensorMap(), 0x24u);

    EXPECT_EQ(p.Extractseupno(b.data(), 48), 52u); // one whole record fits
    EXPECT_EQ(p.SensorMap(), 0x04u);
    EXPECT_EQ(p.Extractseupno(b.data(), 15), 0u);
    EXPECT_EQ(p.FrameNum(), 1000u);
    EXPECT_EQ(p.Extractseupno(nullptr), 0u);
}

TEST(SeuPno, SensorIdsAndMap)
{
    const AtEnd f(PnoFrame(1, 2, 0, Records({0, 2, 5})));
    CSXSeuPno p;
    p.Extractraw(f.data());
    EXPECT_EQ(p.SensorMap(), 0x25u);
    EXPECT_TRUE(CSXSeuPno::ValidateSensorIDs(f.data(), 0x70));
    EXPECT_TRUE(CSXSeuPno::ValidateSensorIDs(f.data(), f.size(), 0x70));
    EXPECT_FALSE(CSXSeuPno::ValidateSensorIDs(f.data(), f.size() - 5, 0x70)); // last record cut

    const AtEnd g(PnoFrame(1, 2, 0, Records({1, 16})));
    EXPECT_FALSE(CSXSeuPno::ValidateSensorIDs(g.data(), 0x70));
    EXPECT_FALSE(CSXSeuPno::ValidateSensorIDs(nullptr, 0x70));

    // Numbers 32 and above have no bit in a 32-bit map.
    const AtEnd h(PnoFrame(1, 2, 0, Records({40, 3})));
    p.Extractraw(h.data());
    EXPECT_EQ(p.SensorMap(), 0x08u);
}

TEST(SeuPno, HeaderInformationBits)
{
    const AtEnd f(PnoFrame(1, 2, 0x00030201, {}));
    CSXSeuPno p;
    p.Extractraw(f.data());
    EXPECT_EQ(p.Mode(), 1u);
    EXPECT_EQ(p.BITerr(), 0u);
    EXPECT_EQ(p.HPreserved1(), 2u);
    EXPECT_EQ(p.LostFrames(), 3u);
}

TEST(SeuPno, SensorUnitsOfARecord)
{
    const uint32_t sf = Sfinfo(3, 0, 2, true, false, 0, 1);
    EXPECT_EQ(sf & 0x7F, 3u);
    EXPECT_EQ(sf, 0x3u | 2u << 10 | 1u << 12 | 1u << 22);
    const AtEnd f(
        PnoFrame(1, 2, 0, {PlainRecord(sf, 0, 0, 0, 1, 0, 0, 0), PlainRecord(Sfinfo(4, 3, 1), 0, 0, 0, 0, 0, 0, 0)}));
    CSXSeuPno p;
    p.Extractraw(f.data());
    _UNITS_CONFIG u{9, 9};
    p.SFUnits(0, &u);
    EXPECT_EQ(u.pos_units, 0u);
    EXPECT_EQ(u.ori_units, 2u);
    p.SFUnits(1, &u);
    EXPECT_EQ(u.pos_units, 3u);
    EXPECT_EQ(u.ori_units, 1u);
    u = {9, 9};
    p.SFUnits(2, &u);
    EXPECT_EQ(u.pos_units, 9u);
    p.SFUnits(0, nullptr);
}

TEST(SeuPno, CopiesTakeTheRecordAndKeepTheSpecification)
{
    const AtEnd f(PnoFrame(1, 77, 0, Records({1, 2})));
    CSXSeuPno a;
    a.Extractraw(f.data());
    a.m_fPosSpecRms = 0.5f;

    CSXSeuPno b(a);
    EXPECT_TRUE(SameFrame(a, b));
    EXPECT_EQ(b.m_fPosSpecRms, 0.015f);

    CSXSeuPno c;
    c.m_fPosSpecRms = 0.25f;
    c = a;
    EXPECT_TRUE(SameFrame(a, c));
    EXPECT_EQ(c.m_fPosSpecRms, 0.25f);

    CSXSeuPno d(&a.m_pno);
    EXPECT_TRUE(SameFrame(a, d));
    CSXSeuPno e(reinterpret_cast<const unsigned char*>(&a.m_pno));
    EXPECT_TRUE(SameFrame(a, e));
    CSXSeuPno g;
    g = &a.m_pno;
    EXPECT_TRUE(SameFrame(a, g));
    g.Init();
    EXPECT_EQ(g.FrameNum(), 0u);
    g = reinterpret_cast<const unsigned char*>(&a.m_pno);
    EXPECT_TRUE(SameFrame(a, g));
}

TEST(SeuPno, MakePrintableChangesNothing)
{
    const AtEnd f(PnoFrame(1, 77, 0x200, Records({1, 2})));
    CSXSeuPno a;
    a.Extractraw(f.data());
    const CSXSeuPno before(a);
    a.MakePrintable();
    EXPECT_TRUE(SameFrame(a, before));
    EXPECT_EQ(a.m_fPosSpecRms, before.m_fPosSpecRms);
}
