// The recording format's writer and reader in memory: round trip, header
// checks, and a reader that survives any damage to the bytes.
#include <recording/RecordingReader.h>
#include <recording/RecordingWriter.h>

#include <sxwire/LEWords.h>
#include <SXCmdIF/protocol/SXframe.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A P&O frame of n sensors whose bytes follow from seed (CRC not checked here).
std::string Frame(unsigned n, unsigned seed)
{
    std::string f(28 + 32 * n, '\0');
    auto* p = reinterpret_cast<unsigned char*>(&f[0]);
    sxwire::PutLE32(p + SX_OFF_PREAMBLE, SX_PREAMBLE_PNO);
    sxwire::PutLE32(p + SX_OFF_SIZE, 20 + 32 * n);
    sxwire::PutLE32(p + SX_OFF_FRAMENUM, seed);
    sxwire::PutLE32(p + SX_OFF_SNSCNT, n);
    for (size_t i = 24; i < f.size(); ++i)
        p[i] = static_cast<unsigned char>(seed * 31 + i);
    return f;
}

// A recording of frames; with a gap, its gap record comes before the frame gapBefore.
std::string Recording(unsigned frames, const sxrec::RecordedGap* gap = nullptr, unsigned gapBefore = 0)
{
    const std::string path = "/tmp/sxrecordingtest-" + std::to_string(getpid()) + ".sxr";
    sxrec::RecordingWriter w;
    sxrec::RecordingHeader h;
    h.seuid = 7;
    h.frameRateCode = 4;
    h.units = {2, 2};
    h.stationMap = 0x0100000F;
    h.flags = sxrec::kFlagSimulated;
    std::snprintf(h.identity.device_name, sizeof h.identity.device_name, "unit under test");
    std::string error;
    EXPECT_TRUE(w.Open(path, h, error)) << error;
    for (unsigned i = 0; i < frames; ++i) {
        if (gap && i == gapBefore) {
            EXPECT_TRUE(w.WriteGap(*gap));
        }
        const std::string f = Frame(1 + i % 4, i);
        EXPECT_TRUE(w.Write(reinterpret_cast<const unsigned char*>(f.data()), static_cast<uint32_t>(f.size()), 1000 + i,
                            i + 1));
    }
    EXPECT_TRUE(w.Close(error)) << error;
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    std::remove(path.c_str());
    return s.str();
}

} // namespace

TEST(Recording, RoundTrip)
{
    const std::string bytes = Recording(20);
    sxrec::RecordingReader r;
    ASSERT_TRUE(r.OpenMemory(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size())) << r.Error();
    EXPECT_EQ(r.Header().seuid, 7u);
    EXPECT_EQ(r.Header().frameRateCode, 4u);
    EXPECT_EQ(r.Header().units.ori_units, 2u);
    EXPECT_EQ(r.Header().stationMap, 0x0100000Fu);
    EXPECT_EQ(r.Header().flags, sxrec::kFlagSimulated);
    EXPECT_STREQ(r.Header().identity.device_name, "unit under test");
    sxrec::RecordedFrame f;
    for (unsigned i = 0; i < 20; ++i) {
        ASSERT_EQ(r.Next(f), sxrec::ReadResult::Frame) << r.Error();
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(f.bytes), f.length), Frame(1 + i % 4, i));
        EXPECT_EQ(f.timeStampNs, 1000u + i);
        EXPECT_EQ(f.seqNum, i + 1);
    }
    EXPECT_EQ(r.Next(f), sxrec::ReadResult::End);
    EXPECT_FALSE(r.MissingTrailer());
}

TEST(Recording, TheTrailerCountsTheFramesAndEndsTheFile)
{
    const std::string whole = Recording(5);
    const size_t trailer = whole.size() - sxrec::kTrailerLen;
    auto read = [](const std::string& b, sxrec::RecordingReader& r) {
        EXPECT_TRUE(r.OpenMemory(reinterpret_cast<const unsigned char*>(b.data()), b.size())) << r.Error();
        sxrec::RecordedFrame f;
        sxrec::ReadResult res;
        while ((res = r.Next(f)) == sxrec::ReadResult::Frame) {
        }
        return res;
    };
    sxrec::RecordingReader r;
    // Cut at the last frame's end: every frame is there, the trailer is not.
    EXPECT_EQ(read(whole.substr(0, trailer), r), sxrec::ReadResult::End);
    EXPECT_TRUE(r.MissingTrailer());
    EXPECT_EQ(r.FramesRead(), 5u);
    EXPECT_EQ(sxrec::MissingTrailerText(r.FramesRead()), "ends without its trailer after 5 frames: cut short?");
    // A recording of version 1 never had one.
    std::string v1 = whole.substr(0, trailer);
    v1[8] = 1;
    EXPECT_EQ(read(v1, r), sxrec::ReadResult::End);
    EXPECT_FALSE(r.MissingTrailer());
    // A count that is not the frames', and bytes after the trailer.
    std::string miscounted = whole;
    miscounted[trailer + sxrec::trl::kFrameCount] = 6;
    EXPECT_EQ(read(miscounted, r), sxrec::ReadResult::Corrupt);
    EXPECT_EQ(r.Error(), "corrupt recording at byte offset " + std::to_string(trailer) +
                             ": the trailer counts 6 frames, 5 were read");
    EXPECT_EQ(read(whole + "x", r), sxrec::ReadResult::Corrupt);
    EXPECT_EQ(r.Error(),
              "corrupt recording at byte offset " + std::to_string(whole.size()) + ": bytes after the trailer");
}

TEST(Recording, AGapRecordComesBetweenTheFramesItSeparates)
{
    sxrec::RecordedGap gap;
    gap.lostAtNs = 1500000000;
    gap.resumedAtNs = 2100001002; // 2.1 s after the frame before
    gap.missed = 57;
    gap.cause = 1;
    const std::string bytes = Recording(4, &gap, 3);
    const size_t at = sxrec::kHeaderLen + 3 * sxrec::kFrameRecordHeaderLen + (28 + 32) + (28 + 64) + (28 + 96);
    sxrec::RecordingReader r;
    ASSERT_TRUE(r.OpenMemory(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
    sxrec::RecordedFrame f;
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(r.Next(f), sxrec::ReadResult::Frame) << r.Error();
    ASSERT_EQ(r.Next(f), sxrec::ReadResult::Gap) << r.Error();
    EXPECT_EQ(r.Gap().offset, at);
    EXPECT_EQ(r.Gap().lostAtNs, 1500000000u);
    EXPECT_EQ(r.Gap().resumedAtNs, 2100001002u);
    EXPECT_EQ(r.Gap().missed, 57u);
    EXPECT_EQ(r.Gap().cause, 1u);
    EXPECT_FALSE(r.Gap().estimated);
    EXPECT_EQ(sxrec::GapText(r.Gap(), f.timeStampNs), "gap at byte offset " + std::to_string(at) +
                                                          ": the serial line was hung up; 2.1 s without frames, "
                                                          "57 frames missed");
    ASSERT_EQ(r.Next(f), sxrec::ReadResult::Frame) << r.Error();
    EXPECT_EQ(f.seqNum, 4u);
    EXPECT_EQ(r.Next(f), sxrec::ReadResult::End) << r.Error(); // the trailer counts frames only
    EXPECT_FALSE(r.MissingTrailer());
    EXPECT_EQ(r.GapsRead(), 1u);

    gap.estimated = true;
    gap.cause = 4;
    EXPECT_EQ(sxrec::GapText(gap, 0), "gap at byte offset 0: the tracker answers but stopped sending frames (was it "
                                      "reset?); about 57 frames missed");
    // Before version 3 there were no gap records; a damaged one is a fault.
    auto fault = [&](std::string b) {
        r.OpenMemory(reinterpret_cast<const unsigned char*>(b.data()), b.size());
        sxrec::ReadResult res;
        while ((res = r.Next(f)) == sxrec::ReadResult::Frame) {
        }
        EXPECT_EQ(res, sxrec::ReadResult::Corrupt);
        return r.Error();
    };
    std::string v2 = bytes;
    v2[8] = 2;
    EXPECT_EQ(fault(v2), "corrupt recording at byte offset " + std::to_string(at) + ": no frame record tag");
    std::string shortLength = bytes;
    shortLength[at + sxrec::gap::kLength] = 24;
    EXPECT_EQ(fault(shortLength),
              "corrupt recording at byte offset " + std::to_string(at) + ": gap record length 24 is not 32");
    EXPECT_EQ(fault(bytes.substr(0, at + 28)),
              "corrupt recording at byte offset " + std::to_string(at) + ": truncated gap record (28 of 32 bytes)");
}

// A file that fills up (a file size limit stands in for a full disk): no
// file when the header does not fit; later, the whole records stay, with
// the trailer when there is room for it, and the writer says why it stopped.
TEST(Recording, AFileThatFillsUpKeepsItsWholeRecordsAndItsTrailerWhenThereIsRoom)
{
    const std::string path = "/tmp/sxrecordingfull-" + std::to_string(getpid()) + ".sxr";
    const std::string frame = Frame(1, 3);
    const uint64_t record = sxrec::kFrameRecordHeaderLen + frame.size();
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto limit = [&](uint64_t bytes) {
        rlimit l = old;
        l.rlim_cur = bytes;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &l), 0);
    };
    sxrec::RecordingHeader h;
    std::string error;
    sxrec::RecordingWriter w;
    limit(100);
    EXPECT_FALSE(w.Open(path, h, error));
    EXPECT_EQ(error, path + ": cannot write: File too large");
    EXPECT_NE(access(path.c_str(), F_OK), 0);
    // Room beyond the 40th record: 30 bytes take the trailer, 10 do not.
    for (const uint64_t room : {30u, 10u}) {
        limit(sxrec::kHeaderLen + 40 * record + room);
        ASSERT_TRUE(w.Open(path, h, error)) << error;
        int taken = 0;
        while (taken < 1000 &&
               w.Write(reinterpret_cast<const unsigned char*>(frame.data()), static_cast<uint32_t>(frame.size()), 1, 1))
            ++taken;
        EXPECT_GT(taken, 40);
        EXPECT_LT(taken, 1000);
        EXPECT_FALSE(w.Close(error));
        setrlimit(RLIMIT_FSIZE, &old);
        // It keeps its .part name: not whole.
        const std::string part = path + sxrec::kPartSuffix;
        EXPECT_EQ(error, path + ": cannot write: File too large; the frames written so far are in " + part) << room;
        EXPECT_EQ(w.FramesWritten(), 40u);
        EXPECT_EQ(w.TrailerWritten(), room == 30) << room;
        EXPECT_NE(access(path.c_str(), F_OK), 0);
        sxrec::RecordingReader r;
        ASSERT_TRUE(r.OpenFile(part)) << r.Error();
        sxrec::RecordedFrame f;
        while (r.Next(f) == sxrec::ReadResult::Frame) {
        }
        EXPECT_EQ(r.FramesRead(), 40u);
        EXPECT_EQ(r.MissingTrailer(), room == 10) << r.Error();
        std::remove(part.c_str());
    }
    std::signal(SIGXFSZ, SIG_DFL);
}

#ifndef _WIN32
// A link planted under the name in a shared folder is never followed: it
// is an existing file, replaced (the link itself) only when asked.
TEST(Recording, ALinkAtTheNameIsNeverFollowed)
{
    const std::string path = "/tmp/sxrecordinglink-" + std::to_string(getpid()) + ".sxr";
    const std::string target = path + ".target";
    ASSERT_EQ(symlink(target.c_str(), path.c_str()), 0);
    sxrec::RecordingHeader h;
    std::string error;
    sxrec::RecordingWriter w;
    EXPECT_FALSE(w.Open(path, h, error));
    EXPECT_EQ(error, path + ": cannot create: File exists");
    EXPECT_TRUE(w.Open(path, h, error, true)) << error;
    EXPECT_TRUE(w.Close(error)) << error;
    EXPECT_NE(access(target.c_str(), F_OK), 0);
    struct stat st {};
    ASSERT_EQ(lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    sxrec::RecordingReader r;
    EXPECT_TRUE(r.OpenFile(path)) << r.Error();
    std::remove(path.c_str());
}
#endif

TEST(Recording, HeaderFaults)
{
    std::string bytes = Recording(1);
    sxrec::RecordingReader r;
    auto open = [&](const std::string& b) {
        return r.OpenMemory(reinterpret_cast<const unsigned char*>(b.data()), b.size());
    };
    EXPECT_FALSE(open(""));
    EXPECT_EQ(r.Error(), "corrupt recording at byte offset 0: truncated header (0 of 256 bytes)");
    EXPECT_FALSE(open("hello"));
    EXPECT_EQ(r.Error(), "corrupt recording at byte offset 0: not a recording (no format name)");
    std::string v4 = bytes;
    v4[8] = 4;
    EXPECT_FALSE(open(v4));
    EXPECT_EQ(r.Error(), "corrupt recording at byte offset 8: unsupported format version 4");
    std::string huge = bytes;
    huge[14] = 1; // header length 65792
    EXPECT_FALSE(open(huge));
    EXPECT_EQ(r.Error(), "corrupt recording at byte offset 12: header length 65792 out of range");
    EXPECT_FALSE(open(bytes.substr(0, 100)));
    EXPECT_EQ(r.Error(), "corrupt recording at byte offset 100: truncated header (100 of 256 bytes)");
}

TEST(Recording, AnyDamageEndsInAFrameTheEndOrAFault)
{
    const std::string good = Recording(30);
    std::mt19937 rng(12345);
    for (int round = 0; round < 2000; ++round) {
        std::string b = good;
        const int edits = 1 + static_cast<int>(rng() % 4);
        for (int e = 0; e < edits; ++e)
            b[rng() % b.size()] = static_cast<char>(rng());
        if (rng() % 3 == 0)
            b.resize(rng() % b.size());
        sxrec::RecordingReader r;
        if (!r.OpenMemory(reinterpret_cast<const unsigned char*>(b.data()), b.size()))
            continue;
        sxrec::RecordedFrame f;
        sxrec::ReadResult res;
        unsigned frames = 0;
        while ((res = r.Next(f)) == sxrec::ReadResult::Frame) {
            ASSERT_GE(f.length, sxrec::kMinFrameLen);
            ASSERT_LE(f.length, sxrec::kMaxFrameLen);
            ASSERT_LE(++frames, 30u);
        }
        if (res == sxrec::ReadResult::Corrupt) {
            EXPECT_LE(r.Offset(), b.size());
        }
    }
}

// A recording is FILE.part until its trailer is written. When the disk
// fills (here: the file size limit) it stays FILE.part, readable up to its
// last whole frame, and the error says where it is; FILE never appears.
TEST(Recording, ItKeepsItsPartNameUntilWholeAndWhenWritingFails)
{
    const std::string path = "/tmp/sxrecordingpart-" + std::to_string(getpid()) + ".sxr";
    const std::string part = path + ".part";
    struct stat st;
    sxrec::RecordingWriter w;
    std::string error;
    ASSERT_TRUE(w.Open(path, sxrec::RecordingHeader{}, error)) << error;
    EXPECT_EQ(stat(part.c_str(), &st), 0);
    EXPECT_NE(stat(path.c_str(), &st), 0);
    sxrec::RecordingWriter other; // the .part is there: taken only when replacing
    EXPECT_FALSE(other.Open(path, sxrec::RecordingHeader{}, error));
    EXPECT_EQ(error, part + ": cannot create: File exists");
    w.Discard();
    EXPECT_NE(stat(part.c_str(), &st), 0);
    std::ofstream(part) << "left over";
    EXPECT_FALSE(other.Open(path, sxrec::RecordingHeader{}, error));

    ASSERT_TRUE(w.Open(path, sxrec::RecordingHeader{}, error, true)) << error;
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string f = Frame(4, 1);
    int written = 0;
    while (written < 1000 &&
           w.Write(reinterpret_cast<const unsigned char*>(f.data()), static_cast<uint32_t>(f.size()), 1, written + 1))
        ++written;
    EXPECT_FALSE(w.Close(error));
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(error, path + ": cannot write: File too large; the frames written so far are in " + part);
    EXPECT_NE(stat(path.c_str(), &st), 0);
    sxrec::RecordingReader r;
    ASSERT_TRUE(r.OpenFile(part)) << r.Error();
    sxrec::RecordedFrame frame;
    int read = 0;
    while (r.Next(frame) == sxrec::ReadResult::Frame)
        ++read;
    EXPECT_GT(read, 0);
    EXPECT_LE(read, written);
    std::remove(part.c_str());
}
