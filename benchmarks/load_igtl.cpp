// Load on `sxtool serve`: the server as a process of its own (on an sxsim
// process's serial line, 4 sensors at 240 Hz), and clients on the loopback
// that read, stall, half-send, flood and hold every slot. Prints a Markdown
// table of each good client's message rate against the stream's, the
// server's CPU and resident memory, and "N of M targets met". A row whose
// measurement failed (the server did not start or died, sxsim counted no
// frames, a client could not connect) says so and counts as missed.
//
//   load_igtl [--quick]      (about 4 minutes; --quick about 2)
#include "IgtlLoad.h"

#include <csignal>
#include <string>
#include <thread>
#include <vector>

using namespace sxperf;
using namespace igtlload;

namespace {

// ---------------------------------------------------------------- the table

struct Table {
    int met = 0, targets = 0;
    // fault: why the measurement failed (empty: it did not).
    void Row(const std::string& scenario, const std::string& rates, const Usage& u, const std::string& target,
             std::string measured, bool ok, const std::string& fault = std::string())
    {
        if (!fault.empty()) {
            measured = "measurement failed: " + fault;
            ok = false;
        }
        ++targets;
        met += ok;
        std::printf("| %s | %s | %.1f %% | %.1f MB | %s | %s | %s |\n", scenario.c_str(), rates.c_str(), u.cpuPercent,
                    static_cast<double>(u.peakRssKb) / 1024.0, target.c_str(), measured.c_str(), Verdict(ok));
        std::fflush(stdout);
    }
};

// The readers' shares of the stream the tracker sent meanwhile, and the
// tracker's rate against its nominal one.
struct Rates {
    std::vector<double> shares;
    double trackerShare = 0;
    std::string fault; // why the shares mean nothing
    std::string Text() const
    {
        if (!fault.empty())
            return "—";
        std::string t = shares.size() == 1 ? Fmt("%.1f %%", 100 * shares[0])
                                           : Fmt("min %.1f %%", 100 * Percentile(shares, 0)) +
                                                 Fmt(", median %.1f %%", 100 * Percentile(shares, 50));
        return t + Fmt(" (tracker at %.1f %% of 240 Hz)", 100 * trackerShare);
    }
    double Min() const { return Percentile(shares, 0); }
};

Rates Measure(Server& s, Readers& readers, UsageMeter& meter, double seconds, size_t clients)
{
    readers.Count(true);
    for (double t = 0; t < seconds; t += 0.1) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        meter.Sample();
    }
    readers.Count(false);
    // The tracker's count after the window.
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    const double frames = s.FramesSent(readers.From(), readers.To());
    const double secs = static_cast<double>(readers.To() - readers.From()) / 1e9;
    Rates r{readers.Shares(clients, frames), frames / secs / kRateHz, s.Fault()};
    if (r.fault.empty() && frames <= 0)
        r.fault = "sxsim counted no frames in the window";
    if (r.fault.empty() && readers.Unconnected() > 0)
        r.fault = Fmt("%.0f readers could not connect", readers.Unconnected());
    return r;
}

// A reader that arrives while every slot is held: its share of the stream,
// how soon its first TRANSFORM came, the server's cost.
void SlotAttackRow(Table& table, Server& s, Hostiles& bad, UsageMeter& meter, double secs, const std::string& scenario)
{
    Readers good(s.port, 1);
    const Rates r = Measure(s, good, meter, secs, 1);
    const Usage u = meter.Done();
    const double first = good.FirstTransformSeconds();
    std::string fault = r.fault;
    if (fault.empty() && bad.Unconnected() > 0)
        fault = Fmt("%.0f holders could not connect", bad.Unconnected());
    const bool ok = r.Min() >= 0.95 && first >= 0 && first <= 1.0 && u.cpuPercent <= 10 && u.peakRssKb > 0 &&
                    u.peakRssKb < 32 * 1024;
    table.Row(
        scenario, r.Text(), u, "reader ≥ 95 % of the stream, its first TRANSFORM within 1 s, CPU ≤ 10 %, RSS < 32 MB",
        Fmt("%.1f %%, ", 100 * r.Min()) + (first < 0 ? std::string("no TRANSFORM") : Fmt("first after %.2f s", first)) +
            Fmt(" (%.0f holders back after being closed)", static_cast<double>(bad.Reconnects())),
        ok, fault);
}

} // namespace

int main(int argc, char** argv)
{
    signal(SIGPIPE, SIG_IGN);
    const Args args = ParseArgs(argc, argv);
    const double secs = args.quick ? 6 : 20;
    Table table;
    std::printf("| scenario | good clients' TRANSFORM messages (share of those of the frames the tracker sent) | "
                "server CPU | server RSS (peak) | target | measured | verdict |\n|---|---|---|---|---|---|---|\n");

    { // One reader beside 30 stalled clients and a flooder: the default limit of 32.
        Server s(32);
        Readers good(s.port, 1);
        Hostiles bad(s.port);
        bad.Stalled(30);
        bad.Flooder(Message("GET_CAPABIL") + Message("GET_CAPABIL") + Message("GET_TRANS"));
        std::this_thread::sleep_for(std::chrono::seconds(2));
        UsageMeter meter(s.Pid());
        const Rates r = Measure(s, good, meter, secs, 1);
        table.Row("1 reader, 30 stalled, 1 flooder", r.Text(), meter.Done(), "reader ≥ 95 % of the stream",
                  Fmt("%.1f %%", 100 * r.Min()), r.Min() >= 0.95,
                  r.fault.empty() && bad.Unconnected() > 0 ? "a client could not connect" : r.fault);
    }
    { // Whatever clients send: 32 clients of every kind.
        Server s(32);
        Readers good(s.port, 4);
        Hostiles bad(s.port);
        bad.Stalled(8);
        for (int i = 0; i < 8; ++i)
            bad.HalfSender();
        for (int i = 0; i < 3; ++i)
            bad.Flooder(Message("GET_CAPABIL") + Message("GET_STATUS") + Message("GET_TDATA"));
        bad.Flooder(Message("IMAGE", uint64_t(1) << 40) + std::string(65536, '\0'));
        bad.Flooder(Message("STT_TDATA", 1) + "x" + Message("STP_TDATA") + Message("GET_TRANS"));
        for (int i = 0; i < 2; ++i)
            bad.Junk();
        for (int i = 0; i < 3; ++i)
            bad.ReadingFlooder(Message("GET_TRANS") + Message("GET_CAPABIL") + Message("GET_TDATA"));
        UsageMeter meter(s.Pid());
        // Beyond the 10 s time-out of the half-senders.
        const Rates r = Measure(s, good, meter, args.quick ? 12 : 40, 4);
        const Usage u = meter.Done();
        table.Row("4 readers, 8 stalled, 8 half-sending, 5 flooding, 2 junk, 3 flooding and reading", r.Text(), u,
                  "server RSS < 32 MB", Fmt("%.1f MB", u.peakRssKb / 1024.0),
                  u.peakRssKb > 0 && u.peakRssKb < 32 * 1024,
                  r.fault.empty() && bad.Unconnected() > 0 ? "a client could not connect" : r.fault);
    }
    { // A million GET_CAPABIL from a client that reads what it gets.
        Server s(32);
        const int fd = Connect(s.port);
        std::string batch;
        for (int i = 0; i < 1000; ++i)
            batch += Message("GET_CAPABIL");
        std::atomic<bool> sending{true};
        std::thread drain([&] {
            char buf[65536];
            pollfd p{fd, POLLIN, 0};
            while (sending)
                if (poll(&p, 1, 100) > 0 && recv(fd, buf, sizeof buf, 0) <= 0)
                    break;
        });
        // From the first hundred thousand (which see every allocation of
        // serving one client) to the millionth.
        for (int i = 0; i < 100; ++i)
            SendAll(fd, batch);
        std::this_thread::sleep_for(std::chrono::seconds(1));
        UsageMeter meter(s.Pid());
        const long before = StatusKb(s.Pid(), "VmRSS:");
        for (int i = 100; i < 1000; ++i) {
            SendAll(fd, batch);
            if (i % 50 == 0)
                meter.Sample();
        }
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const long after = StatusKb(s.Pid(), "VmRSS:");
        sending = false;
        drain.join();
        close(fd);
        const std::string fault = fd < 0 ? "the client could not connect" : s.Fault();
        table.Row("1 client sending 1,000,000 GET_CAPABIL and reading", "—", meter.Done(),
                  "RSS growth 0 (± 64 kB of page noise)", Fmt("%+.0f kB", static_cast<double>(after - before)),
                  before > 0 && after - before <= 64, fault);
    }
    { // 200 readers.
        Server s(200);
        Readers good(s.port, 200);
        std::this_thread::sleep_for(std::chrono::seconds(2));
        UsageMeter meter(s.Pid());
        const Rates r = Measure(s, good, meter, secs, 200);
        table.Row("200 readers (--max-clients 200)", r.Text(), meter.Done(), "each ≥ 95 % of the stream",
                  Fmt("min %.1f %%", 100 * r.Min()), r.Min() >= 0.95, r.fault);
    }
    { // 5,000 connections, 50 at once (beyond the limit of 32), each closed.
        Server s(32);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const int before = OpenFds(s.Pid());
        UsageMeter meter(s.Pid());
        int unconnected = 0;
        for (int round = 0; round < 100; ++round) {
            std::vector<int> fds;
            for (int i = 0; i < 50; ++i) {
                fds.push_back(Connect(s.port));
                unconnected += fds.back() < 0;
            }
            for (size_t i = 0; i < fds.size(); ++i) {
                if (fds[i] < 0)
                    continue;
                if (i % 3 == 1)
                    SendAll(fds[i], Message("GET_STATUS"));
                if (i % 3 == 2)
                    shutdown(fds[i], SHUT_WR);
                close(fds[i]);
            }
            meter.Sample();
        }
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const int after = OpenFds(s.Pid());
        std::string fault = unconnected > 0 ? Fmt("%.0f connections failed", unconnected) : s.Fault();
        if (fault.empty() && before <= 0)
            fault = "the server's descriptors could not be counted";
        table.Row("5,000 connects and disconnects, 50 at once", "—", meter.Done(), "no descriptor leak",
                  Fmt("%.0f descriptors before, ", before) + Fmt("%.0f after", after), after == before, fault);
    }
    // 32 connections hold every slot, each connecting again when closed:
    // first ones that never send or read (a reader arrives once they have
    // filled their buffers, some 3 s, and waited beyond the 10 s after
    // which one may go), then ones
    // that each send 10 bytes of a header.
    for (const size_t headerBytes : {size_t(0), size_t(10)}) {
        Server s(32);
        Hostiles bad(s.port);
        bad.Holders(32, headerBytes);
        std::this_thread::sleep_for(std::chrono::seconds(headerBytes == 0 ? 15 : 3));
        UsageMeter meter(s.Pid());
        SlotAttackRow(table, s, bad, meter, secs,
                      headerBytes == 0 ? "1 reader arriving 15 s into 32 idle holders (back when closed)"
                                       : "1 reader arriving into 32 half-sending holders (back when closed)");
    }
    std::printf("\n%d of %d targets met\n", table.met, table.targets);
    return table.met == table.targets ? 0 : 1;
}
