// CFrameInfo: kinds, readers, marks and the deep copy.
#include <SXCmdIF/protocol/SXcmd.h>
#include <SXCmdIF/protocol/SXframeInfo.h>

#include "sxwire/LEWords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes PnoFrame(unsigned sensors, uint32_t hpinfo = 0, uint32_t pre = SX_PREAMBLE_PNO)
{
    const uint32_t size = 20 + 32 * sensors;
    Bytes f(size + 8, 0);
    sxwire::PutLE32(&f[0], pre);
    sxwire::PutLE32(&f[4], size);
    sxwire::PutLE32(&f[8], 0x77);     // seuid
    sxwire::PutLE32(&f[12], 1234567); // framenum
    sxwire::PutLE32(&f[16], hpinfo);
    sxwire::PutLE32(&f[20], sensors);
    for (unsigned k = 0; k < sensors; ++k)
        sxwire::PutLE32(&f[24 + 32 * k], k);
    sxwire::PutLE32(&f[size + 4], CSXcmd::CalcCRC_Bytes(f.data(), size + 4));
    return f;
}

Bytes CmdFrame(uint32_t action, unsigned payload, uint32_t pre = SX_PREAMBLE_CMD)
{
    CSXcmd c(pre);
    Bytes pay(payload, 0xA5);
    c.Fill(0x42, CMD_UNITS, CMD_ACTION_SET, 11, 22, pay.data(), payload);
    c.Act() = action;
    Bytes f(c.FrameLen());
    int len = 0;
    c.Prepare(f.data(), len);
    return f;
}

CFrameInfo Info(Bytes& f)
{
    return CFrameInfo(f.data(), static_cast<unsigned>(f.size()));
}

TEST(FrameInfo, DefaultIsNull)
{
    CFrameInfo fi;
    EXPECT_TRUE(fi.IsNull());
    EXPECT_FALSE(fi.IsCmd());
    EXPECT_FALSE(fi.IsPno());
    EXPECT_EQ(fi.frameLen, 0u);
    EXPECT_EQ(fi.seqNum, 0u);
    EXPECT_EQ(fi.err(), 0);
    EXPECT_EQ(fi.TS(), 0u);
    EXPECT_EQ(fi.CmdPayloadSize(), 0u);
    EXPECT_EQ(fi.PnoBodySize(), 0u);
    EXPECT_EQ(fi.devfc(), 0u);
    EXPECT_EQ(fi.PCmdPayload(), nullptr);
    EXPECT_EQ(fi.PPnoBody(), nullptr);
    EXPECT_EQ(fi.PPnoData(), nullptr);
    EXPECT_EQ(static_cast<unsigned int*>(fi), nullptr);
    fi.setpnoframerr(); // no frame to mark, the code is still set
    EXPECT_EQ(fi.err(), 1);
}

TEST(FrameInfo, Constructors)
{
    unsigned char b[40] = {};
    CFrameInfo a(b, 40);
    EXPECT_EQ(a.pFrame, b);
    EXPECT_EQ(a.frameLen, 40u);
    EXPECT_EQ(a.errCode, 0);
    CFrameInfo e(b, 40, 26);
    EXPECT_EQ(e.err(), 26);
    _sxFrameInfo rec{b, 12, 3, 4, 5};
    CFrameInfo r(rec);
    EXPECT_EQ(r.pFrame, b);
    EXPECT_EQ(r.frameLen, 12u);
    EXPECT_EQ(r.seqNum, 3u);
    EXPECT_EQ(r.errCode, 4);
    EXPECT_EQ(r.timeStamp, 5u);
    r.TS() = 99;
    EXPECT_EQ(r.timeStamp, 99u);
    CFrameInfo s;
    s = r; // all five fields; the bytes are shared
    EXPECT_EQ(s.pFrame, b);
    EXPECT_EQ(s.seqNum, 3u);
    EXPECT_EQ(s.timeStamp, 99u);
    s.Init();
    EXPECT_TRUE(s.IsNull());
    EXPECT_EQ(s.frameLen | s.seqNum | static_cast<unsigned>(s.errCode), 0u);
    EXPECT_EQ(s.timeStamp, 0u);
    EXPECT_EQ(sizeof(CFrameInfo), 32u);
}

TEST(FrameInfo, CommandFrameReaders)
{
    Bytes f = CmdFrame(CMD_ACTION_ACK, 8);
    CFrameInfo fi = Info(f);
    EXPECT_TRUE(fi.IsCmd());
    EXPECT_FALSE(fi.IsPno());
    EXPECT_EQ(fi.Preamble(), SX_PREAMBLE_CMD);
    EXPECT_EQ(fi.devid(), 0x42u);
    EXPECT_EQ(fi.cmd(), 7u);
    EXPECT_EQ(fi.action(), 3u);
    EXPECT_EQ(fi.arg1(), 11u);
    EXPECT_EQ(fi.arg2(), 22u);
    EXPECT_TRUE(fi.IsAck());
    EXPECT_FALSE(fi.IsNak());
    EXPECT_FALSE(fi.IsNakWarning());
    EXPECT_EQ(fi.devfc(), 0u);
    EXPECT_EQ(fi.CmdPayloadSize(), 8u);
    EXPECT_EQ(fi.PCmdPayload(), f.data() + 28);
    EXPECT_EQ(fi.PPnoBody(), nullptr);
    EXPECT_EQ(fi.PnoBodySize(), 0u);
    EXPECT_EQ(fi.PPnoData(), nullptr);
    EXPECT_EQ(static_cast<unsigned int*>(fi), reinterpret_cast<unsigned int*>(f.data()));

    Bytes nak = CmdFrame(CMD_ACTION_NAK, 0);
    EXPECT_TRUE(Info(nak).IsNak());
    EXPECT_EQ(Info(nak).CmdPayloadSize(), 0u);
    Bytes warn = CmdFrame(CMD_ACTION_NAK_WARNING, 0);
    EXPECT_TRUE(Info(warn).IsNakWarning());
    EXPECT_FALSE(Info(warn).IsNak());
}

TEST(FrameInfo, PnoFrameReaders)
{
    Bytes f = PnoFrame(16, CMD_ACTION_ACK);
    CFrameInfo fi = Info(f);
    EXPECT_TRUE(fi.IsPno());
    EXPECT_FALSE(fi.IsCmd());
    EXPECT_EQ(fi.Preamble(), SX_PREAMBLE_PNO);
    EXPECT_EQ(fi.devid(), 0x77u);
    EXPECT_EQ(fi.cmd(), 0xFFFFFFFFu);
    EXPECT_EQ(fi.action(), 0xFFFFFFFFu);
    EXPECT_EQ(fi.arg1(), 0xFFFFFFFFu);
    EXPECT_EQ(fi.arg2(), 0xFFFFFFFFu);
    // hpinfo holds 3 at offset 16, but a P&O frame is never an answer.
    EXPECT_FALSE(fi.IsAck());
    EXPECT_FALSE(fi.IsNak());
    EXPECT_FALSE(fi.IsNakWarning());
    EXPECT_EQ(fi.devfc(), 1234567u);
    EXPECT_EQ(fi.CmdPayloadSize(), 0u);
    EXPECT_EQ(fi.PCmdPayload(), nullptr);
    EXPECT_EQ(fi.PPnoBody(), f.data() + 8);
    EXPECT_EQ(fi.PnoBodySize(), 528u);
    EXPECT_EQ(fi.PPnoData(), f.data() + 24);
    Bytes empty = PnoFrame(0);
    EXPECT_EQ(Info(empty).PnoBodySize(), 16u);
}

TEST(FrameInfo, TagPreambleFramesAreNeitherKind)
{
    Bytes f = PnoFrame(2, 0x200, Q7_PREAMBLE_PNO);
    const Bytes before = f;
    CFrameInfo fi = Info(f);
    EXPECT_FALSE(fi.IsCmd());
    EXPECT_FALSE(fi.IsPno());
    EXPECT_EQ(fi.arg1(), 0xFFFFFFFFu);
    EXPECT_EQ(fi.arg2(), 0xFFFFFFFFu);
    EXPECT_EQ(fi.cmd(), 1234567u);  // the word at offset 12
    EXPECT_EQ(fi.action(), 0x200u); // the word at offset 16
    EXPECT_EQ(fi.devfc(), 1234567u);
    fi.setpnocrcerr();
    EXPECT_EQ(f, before);
    EXPECT_EQ(fi.err(), 2);
    fi.setpnodrops(5);
    EXPECT_EQ(f, before);

    Bytes c = CmdFrame(CMD_ACTION_ACK, 4, Q7_PREAMBLE_CMD);
    CFrameInfo ci = Info(c);
    EXPECT_FALSE(ci.IsCmd());
    EXPECT_EQ(ci.cmd(), 7u);
    EXPECT_TRUE(ci.IsAck());
    EXPECT_EQ(ci.arg1(), 0xFFFFFFFFu);
    EXPECT_EQ(ci.CmdPayloadSize(), 4u);
}

TEST(FrameInfo, PnoMarks)
{
    struct Case {
        void (CFrameInfo::*mark)();
        uint32_t mask;
        int err;
    } cases[] = {{&CFrameInfo::setpnoframerr, 0x100, 1},
                 {&CFrameInfo::setpnocrcerr, 0x200, 2},
                 {&CFrameInfo::setpnosnserr, 0x400, 2}};
    for (const Case& c : cases) {
        Bytes f = PnoFrame(1, 0x0000000Fu);
        CFrameInfo fi = Info(f);
        (fi.*c.mark)();
        EXPECT_EQ(sxwire::GetLE32(&f[16]), 0x0Fu | c.mask);
        EXPECT_EQ(fi.err(), c.err);
        // The other bytes are left alone (the CRC too: it is not recomputed).
        Bytes ref = PnoFrame(1, 0x0000000Fu | c.mask);
        Bytes orig = PnoFrame(1, 0x0000000Fu);
        EXPECT_TRUE(std::equal(f.begin(), f.end() - 4, ref.begin()));
        EXPECT_TRUE(std::equal(f.end() - 4, f.end(), orig.end() - 4));
    }
    // A command frame is not marked, the code is set.
    Bytes cmd = CmdFrame(CMD_ACTION_ACK, 0);
    const Bytes before = cmd;
    CFrameInfo ci = Info(cmd);
    ci.setpnosnserr();
    EXPECT_EQ(cmd, before);
    EXPECT_EQ(ci.err(), 2);
}

TEST(FrameInfo, DropsKeepTheLowHalf)
{
    Bytes f = PnoFrame(1, 0x200);
    CFrameInfo fi = Info(f);
    fi.errCode = 7;
    fi.setpnodrops(3);
    EXPECT_EQ(sxwire::GetLE32(&f[16]), 0x00030200u);
    fi.setpnodrops(0xFFFF);
    EXPECT_EQ(sxwire::GetLE32(&f[16]), 0xFFFF0200u);
    fi.setpnodrops(0);
    EXPECT_EQ(sxwire::GetLE32(&f[16]), 0x00000200u);
    EXPECT_EQ(fi.err(), 7);
}

TEST(FrameInfo, MarksAtAnOddOffset)
{
    Bytes f = PnoFrame(1);
    Bytes store(f.size() + 3);
    std::memcpy(store.data() + 3, f.data(), f.size());
    CFrameInfo fi(store.data() + 3, static_cast<unsigned>(f.size()));
    fi.setpnocrcerr();
    fi.setpnodrops(2);
    EXPECT_EQ(sxwire::GetLE32(store.data() + 3 + 16), 0x00020200u);
}

TEST(FrameInfo, DeepCopy)
{
    Bytes src(100);
    for (size_t i = 0; i < src.size(); ++i)
        src[i] = static_cast<unsigned char>(i);
    CFrameInfo s(src.data(), 100, 6);
    s.seqNum = 8;
    s.timeStamp = 123;

    Bytes buf(80, 0xEE);
    CFrameInfo d;
    d.DeepCopy(buf.data(), 64, s);
    EXPECT_EQ(d.pFrame, buf.data());
    EXPECT_EQ(d.frameLen, 64u);
    EXPECT_EQ(d.seqNum, 8u);
    EXPECT_EQ(d.errCode, 6);
    EXPECT_EQ(d.timeStamp, 123u);
    EXPECT_EQ(std::memcmp(buf.data(), src.data(), 64), 0);
    EXPECT_EQ(buf[64], 0xEE);

    Bytes big(200, 0);
    CFrameInfo e;
    e.DeepCopy(big.data(), 200, s);
    EXPECT_EQ(e.frameLen, 100u);
    EXPECT_EQ(std::memcmp(big.data(), src.data(), 100), 0);

    // No buffer: fields only, the pointer stays.
    unsigned char other[4];
    CFrameInfo n(other, 4);
    n.DeepCopy(nullptr, 50, s);
    EXPECT_EQ(n.pFrame, other);
    EXPECT_EQ(n.frameLen, 50u);
    EXPECT_EQ(n.seqNum, 8u);

    // A source without a frame copies no bytes and gives no frame.
    CFrameInfo none;
    none.seqNum = 4;
    Bytes dst(16, 0xEE);
    CFrameInfo z(src.data(), 100);
    z.DeepCopy(dst.data(), 16, none);
    EXPECT_TRUE(z.IsNull());
    EXPECT_EQ(z.frameLen, 0u);
    EXPECT_EQ(z.seqNum, 4u);
    EXPECT_EQ(dst, Bytes(16, 0xEE));
}

TEST(FrameInfo, ReadersStayInsideTheFrameLength)
{
    // A P&O frame cut after 12 bytes: devfc and the body do not go further.
    Bytes f = PnoFrame(16);
    CFrameInfo cut(f.data(), 12);
    EXPECT_TRUE(cut.IsPno());
    EXPECT_EQ(cut.devid(), 0x77u);
    EXPECT_EQ(cut.devfc(), 0u);
    EXPECT_EQ(cut.PnoBodySize(), 0u);
    cut.setpnoframerr();
    EXPECT_EQ(sxwire::GetLE32(&f[16]), 0u);

    // A DeepCopy shorter than the frame: the body size is what was copied.
    Bytes buf(64);
    CFrameInfo d;
    d.DeepCopy(buf.data(), 64, Info(f));
    EXPECT_EQ(d.PnoBodySize(), 64u - 12u);

    // A command response whose size word claims more than arrived.
    Bytes c = CmdFrame(CMD_ACTION_ACK, 8);
    sxwire::PutLE32(&c[4], 0xFFFFFFF0u);
    EXPECT_EQ(Info(c).CmdPayloadSize(), 8u);
    sxwire::PutLE32(&c[4], 10); // below the header
    EXPECT_EQ(Info(c).CmdPayloadSize(), 0u);

    unsigned char three[3] = {'S', 'X', 'R'};
    CFrameInfo t(three, 3);
    EXPECT_FALSE(t.IsNull());
    EXPECT_FALSE(t.IsCmd());
    EXPECT_EQ(t.Preamble(), 0u);
    EXPECT_EQ(t.cmd(), 0xFFFFFFFFu);
}

} // namespace
