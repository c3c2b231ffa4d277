// The frame clock's test vectors (frame_clock_vectors.txt): frame counts and
// arrivals in, the stamps the model gives out, to the nanosecond. A port of
// the model to another language is checked against the same file. Run with
// SX_WRITE_CLOCK_VECTORS=1 to write the file again after a deliberate change
// of the model.
#include <frames/FrameClock.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// One step of the file: N period (SetNominalPeriodNs), R (Reset), S count
// arrival stamp (Stamp and the stamp it gives), C restarts reanchors.
struct Step {
    char op;
    int64_t a = 0, b = 0, c = 0;
};

// A stream whose arrivals are its measurement plus 0.2 ms and a jitter of up
// to 2 ms, from a fixed generator.
class Line {
public:
    int64_t Arrival(int64_t measuredNs)
    {
        m_state = m_state * 6364136223846793005ull + 1442695040888963407ull;
        return measuredNs + 200000 + static_cast<int64_t>((m_state >> 33) % 2000000);
    }

private:
    uint64_t m_state = 1;
};

// Every path of the model: learning the period, lost frames, the 32-bit
// wrap, a count set back, a rate announced and seen, a stream paused
// unannounced (a counted restart), a held-up host's burst, and Reset.
std::vector<Step> Scenario()
{
    std::vector<Step> steps;
    sxframes::FrameClock clock;
    clock.SetSystemOffsetNs(0);
    Line line;
    int64_t t = 1000000000000; // the monotonic clock
    uint32_t count = 0xFFFFFF00u;
    double period = 8333333.0 / (1.0 + 50e-6); // 120 Hz, 50 ppm fast
    auto nominal = [&](int64_t p) {
        clock.SetNominalPeriodNs(p);
        steps.push_back({'N', p});
    };
    auto frames = [&](int n, int lostEvery, int64_t stallAt = -1) {
        for (int i = 0; i < n; ++i) {
            t += static_cast<int64_t>(period);
            ++count;
            if (lostEvery && i % lostEvery == lostEvery - 1)
                continue;
            int64_t a = line.Arrival(t);
            if (i >= stallAt && i < stallAt + 5 && stallAt >= 0)
                a = t + 40000000 - (i - stallAt) * static_cast<int64_t>(period); // delivered in one burst
            steps.push_back({'S', count, a, clock.Stamp(count, a).monotonicNs});
        }
        steps.push_back({'C', static_cast<int64_t>(clock.Restarts()), static_cast<int64_t>(clock.Reanchors())});
    };
    nominal(8333333);
    frames(360, 17);
    count = 100; // set back
    frames(180, 0);
    nominal(4166666);
    period /= 2;
    frames(360, 0, 200);
    t += 200000000; // paused, the count standing still
    frames(240, 0);
    clock.Reset();
    steps.push_back({'R'});
    count = 7;
    frames(240, 0);
    return steps;
}

std::string Text(const std::vector<Step>& steps)
{
    std::ostringstream out;
    out << "# FrameClock test vectors (tests/frames/test_clock_vectors.cpp): one step a line.\n"
           "# N period_ns: SetNominalPeriodNs(period_ns)\n"
           "# R: Reset()\n"
           "# S frame_count arrival_ns stamp_ns: Stamp(frame_count, arrival_ns).monotonicNs == stamp_ns\n"
           "# C restarts reanchors: Restarts() and Reanchors() now\n";
    for (const Step& s : steps) {
        out << s.op;
        if (s.op == 'N')
            out << ' ' << s.a;
        else if (s.op == 'S')
            out << ' ' << s.a << ' ' << s.b << ' ' << s.c;
        else if (s.op == 'C')
            out << ' ' << s.a << ' ' << s.b;
        out << '\n';
    }
    return out.str();
}

} // namespace

TEST(FrameClock, GivesTheStampsOfItsTestVectors)
{
    const std::vector<Step> steps = Scenario();
    if (std::getenv("SX_WRITE_CLOCK_VECTORS")) {
        std::ofstream(SX_CLOCK_VECTORS) << Text(steps);
        GTEST_SKIP() << "written " << SX_CLOCK_VECTORS;
    }
    // The file, replayed: what a port does.
    std::ifstream file(SX_CLOCK_VECTORS);
    ASSERT_TRUE(file) << SX_CLOCK_VECTORS;
    sxframes::FrameClock clock;
    std::string line;
    size_t stamps = 0, lineNo = 0;
    while (std::getline(file, line)) {
        ++lineNo;
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream in(line.substr(1));
        int64_t a = 0, b = 0, c = 0;
        switch (line[0]) {
        case 'N':
            in >> a;
            clock.SetNominalPeriodNs(a);
            break;
        case 'R':
            clock.Reset();
            break;
        case 'S':
            in >> a >> b >> c;
            ASSERT_EQ(clock.Stamp(static_cast<uint32_t>(a), b).monotonicNs, c) << "line " << lineNo;
            ++stamps;
            break;
        case 'C':
            in >> a >> b;
            ASSERT_EQ(clock.Restarts(), static_cast<uint64_t>(a)) << "line " << lineNo;
            ASSERT_EQ(clock.Reanchors(), static_cast<uint64_t>(b)) << "line " << lineNo;
            break;
        default:
            FAIL() << "line " << lineNo << ": " << line;
        }
    }
    EXPECT_GT(stamps, 1000u);
    // The file is what the model gives today.
    std::ifstream again(SX_CLOCK_VECTORS);
    std::stringstream whole;
    whole << again.rdbuf();
    EXPECT_EQ(whole.str(), Text(steps));
}
