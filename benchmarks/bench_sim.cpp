// Cost of the simulated tracker: 16 sensors at 960 Hz over a pseudo-terminal
// for a few seconds, with a reader on the slave end. Reports the
// simulator's CPU use (process time less the reader's thread time) and the
// pacing (frames received against the frames the elapsed time calls for).
#include <simulator/SimTracker.h>

#include <sxwire/LEWords.h>
#include <SXCmdIF/protocol/SXcmd.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <vector>

namespace {

double Seconds(clockid_t clock)
{
    timespec ts;
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

} // namespace

int main(int argc, char** argv)
{
    const double runSeconds = argc > 1 ? std::atof(argv[1]) : 5.0;
    sxsim::SimConfig cfg;
    cfg.sensors = 16;
    cfg.rateHz = 960;
    std::string err;
    auto sim = sxsim::SerialSim::Start(cfg, &err);
    if (!sim) {
        std::fprintf(stderr, "bench_sim: %s\n", err.c_str());
        return 1;
    }
    const int fd = open(sim->SlavePath().c_str(), O_RDWR | O_NOCTTY);
    termios t;
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    tcsetattr(fd, TCSANOW, &t);

    CSXcmd c;
    const uint32_t word = 0;
    c.Fill(0, CMD_CONTINUOUS_PNO, CMD_ACTION_SET, 0, 0, &word, 4);
    unsigned char cmd[64];
    int len = 0;
    c.Prepare(cmd, len);

    std::atomic<bool> stop{false};
    uint64_t frames = 0, gaps = 0;
    double readerCpu = 0, first = 0, last = 0;
    std::thread reader([&] {
        std::vector<unsigned char> buf(1 << 16);
        size_t have = 0;
        uint32_t prev = 0;
        bool any = false;
        while (!stop.load()) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0)
                continue;
            const ssize_t n = read(fd, buf.data() + have, buf.size() - have);
            if (n <= 0)
                break;
            have += static_cast<size_t>(n);
            size_t pos = 0;
            while (have - pos >= 8) {
                const uint32_t pre = sxwire::GetLE32(buf.data() + pos);
                const size_t flen = sxwire::GetLE32(buf.data() + pos + 4) + 8u;
                if (have - pos < flen)
                    break;
                if (pre == SX_PREAMBLE_PNO) {
                    const uint32_t fc = sxwire::GetLE32(buf.data() + pos + 12);
                    const double now = Seconds(CLOCK_MONOTONIC);
                    if (!any)
                        first = now;
                    else if (fc != prev + 1)
                        ++gaps;
                    last = now;
                    prev = fc;
                    any = true;
                    ++frames;
                }
                pos += flen;
            }
            std::copy(buf.begin() + static_cast<long>(pos), buf.begin() + static_cast<long>(have), buf.begin());
            have -= pos;
        }
        readerCpu = Seconds(CLOCK_THREAD_CPUTIME_ID);
    });

    const double cpu0 = Seconds(CLOCK_PROCESS_CPUTIME_ID);
    const double t0 = Seconds(CLOCK_MONOTONIC);
    [[maybe_unused]] ssize_t w = write(fd, cmd, static_cast<size_t>(len));
    usleep(static_cast<useconds_t>(runSeconds * 1e6));
    const sxsim::SimStats atEnd = sim->Stats();
    const double streamed = Seconds(CLOCK_MONOTONIC) - t0;
    stop = true;
    reader.join();
    const double cpu = Seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0 - readerCpu;
    const sxsim::SimStats s = sim->Stats();
    sim.reset();
    close(fd);

    const double span = last - first;
    const double expected = span * 960.0 + 1.0;
    std::printf("frames received %llu over %.3f s, expected %.0f (%+.3f %%), gaps %llu\n",
                static_cast<unsigned long long>(frames), span, expected, (frames - expected) / expected * 100.0,
                static_cast<unsigned long long>(gaps));
    // The simulator's own pacing: every cycle it ran, sent or not (a reader
    // held up by the machine leaves frames unsent, not late).
    const double cycles = static_cast<double>(atEnd.framesSent + atEnd.framesUnsent);
    std::printf("simulator cycles %.0f over %.3f s, expected %.0f (%+.3f %%)\n", cycles, streamed, streamed * 960.0,
                (cycles - streamed * 960.0) / (streamed * 960.0) * 100.0);
    std::printf("simulator sent %llu, unsent %llu; simulator CPU %.2f %% of one core\n",
                static_cast<unsigned long long>(s.framesSent), static_cast<unsigned long long>(s.framesUnsent),
                cpu / runSeconds * 100.0);
    return 0;
}
