// The unit's thread: input, answers, faults and frame pacing.
#include <simulator/SimRunner.h>

#include <sxwire/LEWords.h>
#include <SXCmdIF/protocol/SXcmd.h>

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <ctime>

namespace sxsim {

using namespace sxwire;

namespace {
// A frame begun but not completed within this time is given up: the line
// lost bytes, and the next preamble is looked for.
constexpr int64_t kStalePartialNs = 500'000'000;
// With nothing to do the thread still looks around this often.
constexpr int64_t kIdleNs = 200'000'000;
// How far behind its schedule the stream may fall and still catch up.
constexpr int64_t kCatchUp = 4;
constexpr unsigned char kGarbage[64] = {0xA5, 0x5A, 0x00, 0xFF, 0x13, 0x37, 0xC3, 0x3C, 0xA5, 0x5A, 0x00, 0xFF, 0x13,
                                        0x37, 0xC3, 0x3C, 0xA5, 0x5A, 0x00, 0xFF, 0x13, 0x37, 0xC3, 0x3C, 0xA5, 0x5A,
                                        0x00, 0xFF, 0x13, 0x37, 0xC3, 0x3C, 0xA5, 0x5A, 0x00, 0xFF, 0x13, 0x37, 0xC3,
                                        0x3C, 0xA5, 0x5A, 0x00, 0xFF, 0x13, 0x37, 0xC3, 0x3C, 0xA5, 0x5A, 0x00, 0xFF,
                                        0x13, 0x37, 0xC3, 0x3C, 0xA5, 0x5A, 0x00, 0xFF, 0x13, 0x37, 0xC3, 0x3C};

void FlipCrc(unsigned char* frame, size_t len)
{
    frame[len - 4] ^= 0x5A;
}

void Reseal(unsigned char* frame)
{
    const uint32_t size = GetLE32(frame + 4);
    PutLE32(frame + size + 4, CSXcmd::CalcCRC_Bytes(frame, size + 4));
}
} // namespace

int64_t MonotonicNs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

short SimLink::Events() const
{
    return POLLIN;
}

SimRunner::SimRunner(SimUnit& unit, std::unique_ptr<SimLink> link)
    : m_unit(unit), m_link(std::move(link)), m_random(unit.Config().seed * 0x9E3779B97F4A7C15ull + 1)
{
}

SimRunner::~SimRunner()
{
    Stop();
    if (m_wakeFd >= 0)
        close(m_wakeFd);
}

bool SimRunner::Start(std::string* error)
{
    m_wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_wakeFd < 0) {
        if (error)
            *error = std::string("eventfd: ") + std::strerror(errno);
        return false;
    }
    m_thread = std::thread([this] { Run(); });
    return true;
}

void SimRunner::Stop()
{
    {
        // Under the lock, so that a CloseLink waiting sees it.
        std::lock_guard<std::mutex> lock(m_mtxClose);
        m_stop = true;
    }
    m_cvClosed.notify_all();
    Wake();
    if (m_thread.joinable())
        m_thread.join();
}

void SimRunner::Wake()
{
    if (m_wakeFd >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] ssize_t n = write(m_wakeFd, &one, sizeof one);
    }
}

void SimRunner::SetFaults(const FaultConfig& f)
{
    {
        std::lock_guard<std::mutex> lock(m_mtxFaults);
        m_pendingFaults = f;
        m_faultGen.fetch_add(1);
    }
    Wake();
}

void SimRunner::TakeFaults()
{
    const uint64_t gen = m_faultGen.load();
    if (gen == m_faultGenSeen)
        return;
    std::lock_guard<std::mutex> lock(m_mtxFaults);
    m_faults = m_pendingFaults;
    m_faults.garbageLen = std::min<uint32_t>(m_faults.garbageLen, sizeof kGarbage);
    m_faultGenSeen = m_faultGen.load();
}

SimStats SimRunner::Stats() const
{
    SimStats s;
    s.framesSent = m_sent.load();
    s.framesDropped = m_dropped.load();
    s.framesUnsent = m_unsent.load();
    s.commandsAnswered = m_answered.load();
    s.faultsInjected = m_injected.load();
    return s;
}

void SimRunner::SetQuiet(bool quiet)
{
    m_quiet = quiet;
    Wake();
}

void SimRunner::CloseLink()
{
    std::unique_lock<std::mutex> lock(m_mtxClose);
    m_closeRequest = true;
    Wake();
    // Returns once the thread has closed the line.
    while (m_thread.joinable() && !m_cvClosed.wait_for(lock, std::chrono::milliseconds(100),
                                                       [this] { return !m_closeRequest.load() || m_stop.load(); })) {
    }
}

void SimRunner::ReplaceLink(std::unique_ptr<SimLink> link)
{
    {
        std::lock_guard<std::mutex> lock(m_mtxLink);
        m_newLink = std::move(link);
    }
    m_linkRequest = true;
    Wake();
}

void SimRunner::Run()
{
    // Deadlines to the microsecond rather than the default 50 us slack.
    prctl(PR_SET_TIMERSLACK, 1000UL, 0, 0, 0);
    bool wasStreaming = false;
    int64_t base = 0, next = 0;
    uint64_t k = 0;
    uint32_t rateCode = 0;
    // The unit's own clock: fast by driftPpm, its cycles that much shorter.
    const double clockRate = 1.0 + m_unit.Config().driftPpm * 1e-6;
    while (!m_stop.load()) {
        TakeFaults();
        if (m_closeRequest.load()) {
            if (!m_closed)
                m_link->Close();
            m_closed = true;
            {
                std::lock_guard<std::mutex> lock(m_mtxClose);
                m_closeRequest = false;
            }
            m_cvClosed.notify_all();
        }
        if (m_linkRequest.load()) {
            std::lock_guard<std::mutex> lock(m_mtxLink);
            if (!m_closed)
                m_link->Close();
            m_link = std::move(m_newLink);
            m_closed = false;
            m_inLen = 0;
            m_linkRequest = false;
        }
        int64_t now = MonotonicNs();

        // Frames: the k-th frame of a stream is due at base + k periods.
        const bool streaming = m_unit.Streaming();
        if (streaming) {
            const uint32_t code = m_unit.RateCode();
            if (!wasStreaming || code != rateCode) {
                base = wasStreaming ? next : now;
                k = 0;
                rateCode = code;
            }
            const double stepNs = static_cast<double>(m_unit.FrameIntervalNs()) / clockRate;
            const auto due = [&](uint64_t cycle) {
                return base + static_cast<int64_t>(static_cast<double>(cycle) * stepNs + 0.5);
            };
            if (k == 0)
                next = due(1);
            if (now >= next) {
                EmitFrame(next, now);
                ++k;
                next = due(k + 1);
                // A late wake-up is caught up frame by frame on the same
                // schedule, each frame measured when it was due; when the
                // thread was held up for longer than kCatchUp periods the
                // missed cycles are skipped instead, never sent in a burst.
                // A unit whose clock is modelled (drift, jitter) counts them
                // as a tracker does, and their frames are lost; otherwise
                // they are left out of the count, so that a host too loaded
                // to keep the schedule does not look like frames lost on
                // the line.
                if (static_cast<double>(now - next) >= kCatchUp * stepNs) {
                    const uint64_t missed = static_cast<uint64_t>(static_cast<double>(now - next) / stepNs) + 1;
                    k += missed;
                    next = due(k + 1);
                    if (m_unit.Config().driftPpm != 0 || m_faults.jitterUs != 0) {
                        m_unit.SkipFrame(static_cast<uint32_t>(missed));
                        m_unsent += missed;
                    }
                }
            }
        }
        wasStreaming = streaming;

        SendDueResponses(now);
        SendLateFrames(now, false);

        int64_t deadline = now + kIdleNs;
        if (streaming)
            deadline = std::min(deadline, next);
        deadline = std::min(deadline, EarliestDue());
        deadline = std::min(deadline, NextLateDue());
        if (m_inLen > 0)
            deadline = std::min(deadline, m_partialSince + kStalePartialNs);

        pollfd fds[2] = {{m_wakeFd, POLLIN, 0}, {m_closed ? -1 : m_link->Fd(), 0, 0}};
        fds[1].events = m_link->Events();
        now = MonotonicNs();
        const int64_t wait = std::max<int64_t>(0, deadline - now);
        timespec ts{static_cast<time_t>(wait / 1000000000LL), static_cast<long>(wait % 1000000000LL)};
        const int r = ppoll(fds, 2, &ts, nullptr);
        if (r <= 0) {
            if (m_inLen > 0)
                ParseInput(MonotonicNs()); // gives up a stale partial frame
            continue;
        }
        if (fds[0].revents & POLLIN) {
            uint64_t v;
            [[maybe_unused]] ssize_t n = read(m_wakeFd, &v, sizeof v);
        }
        if (fds[1].revents & POLLOUT)
            m_link->OnWritable();
        if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) {
            bool closed = false;
            const size_t n = m_link->ReadInput(m_in + m_inLen, kInCap - m_inLen, closed);
            if (closed) {
                m_link->Close();
                m_closed = true;
            }
            if (m_quiet.load()) {
                m_inLen = 0;
            } else if (n > 0) {
                if (m_inLen == 0)
                    m_partialSince = MonotonicNs();
                m_inLen += n;
                ParseInput(MonotonicNs());
            }
        }
    }
}

void SimRunner::ParseInput(int64_t now)
{
    TakeFaults(); // faults set before these bytes came apply to them
    size_t pos = 0;
    for (;;) {
        // Resynchronise on a command preamble; garbage before it is dropped.
        size_t i = pos;
        while (i + 4 <= m_inLen && !m_unit.IsCommandPreamble(GetLE32(m_in + i)))
            ++i;
        if (i + 4 > m_inLen) {
            pos = m_inLen > pos + 3 ? m_inLen - 3 : pos; // a preamble may be arriving
            break;
        }
        pos = i;
        const size_t avail = m_inLen - pos;
        if (avail < 8)
            break;
        const uint32_t size = GetLE32(m_in + pos + 4);
        if (size < SX_CMD_SIZE_MIN || size + 8ull > kMaxCommandFrame) {
            const size_t n = m_unit.AnswerMalformed(m_in + pos, std::min<size_t>(avail, 28), m_resp);
            HandleResponse(m_resp, n, now);
            pos += 4;
            continue;
        }
        if (avail < size + 8u) {
            if (now - m_partialSince >= kStalePartialNs) {
                pos += 1; // given up: look for the next preamble
                m_partialSince = now;
                continue;
            }
            break;
        }
        const size_t n = m_unit.Answer(m_in + pos, size + 8u, m_resp);
        HandleResponse(m_resp, n, now);
        pos += size + 8u;
    }
    if (pos > 0) {
        std::memmove(m_in, m_in + pos, m_inLen - pos);
        m_inLen -= pos;
        m_partialSince = now;
    }
}

void SimRunner::HandleResponse(unsigned char* resp, size_t len, int64_t now)
{
    const FaultConfig& f = m_faults;
    const uint32_t cmd = GetLE32(resp + 12);
    const bool applies = f.faultCmd < 0 || static_cast<uint32_t>(f.faultCmd) == cmd;
    if (!applies) {
        Deliver(resp, len);
        return;
    }
    ++m_responses;
    if (f.withholdResponses) {
        ++m_injected;
        return;
    }
    const uint32_t action = GetLE32(resp + 16);
    if (f.nakAll) {
        PutLE32(resp + 4, 24);
        PutLE32(resp + 16, CMD_ACTION_NAK);
        len = 32;
        Reseal(resp);
        ++m_injected;
    } else if (f.nakWarning && action == CMD_ACTION_ACK) {
        PutLE32(resp + 16, CMD_ACTION_NAK_WARNING);
        Reseal(resp);
        ++m_injected;
    }
    if (Nth(f.corruptResponseEveryN, m_responses)) {
        FlipCrc(resp, len);
        ++m_injected;
    }
    if (f.wrongCommandFirst) {
        unsigned char other[32];
        std::memcpy(other, resp, 28);
        PutLE32(other + 4, 24);
        PutLE32(other + 12, cmd + 1);
        PutLE32(other + 16, CMD_ACTION_ACK);
        Reseal(other);
        if (!m_quiet.load() && !m_closed)
            m_link->Send(other, sizeof other, true);
        ++m_injected;
    }
    if (f.responseDelayMs > 0) {
        for (Delayed& d : m_delayed) {
            if (d.len == 0) {
                d.due = now + static_cast<int64_t>(f.responseDelayMs) * 1000000;
                d.len = len;
                std::memcpy(d.bytes, resp, len);
                ++m_injected;
                return;
            }
        }
    }
    Deliver(resp, len);
}

void SimRunner::Deliver(const unsigned char* bytes, size_t len)
{
    if (m_quiet.load() || m_closed)
        return;
    if (m_link->Send(bytes, len, true) == SimLink::SendResult::Sent)
        ++m_answered;
}

void SimRunner::SendDueResponses(int64_t now)
{
    for (Delayed& d : m_delayed) {
        if (d.len != 0 && d.due <= now) {
            Deliver(d.bytes, d.len);
            d.len = 0;
        }
    }
}

int64_t SimRunner::EarliestDue() const
{
    int64_t due = LLONG_MAX;
    for (const Delayed& d : m_delayed)
        if (d.len != 0)
            due = std::min(due, d.due);
    return due;
}

void SimRunner::EmitFrame(int64_t measuredNs, int64_t now)
{
    TakeFaults();
    const FaultConfig& f = m_faults;
    ++m_cycle;
    if (Nth(f.dropEveryN, m_cycle)) {
        m_unit.SkipFrame();
        ++m_dropped;
        ++m_injected;
        return;
    }
    PnoFrameFaults pf;
    pf.extraSensor = Nth(f.extraSensorEveryN, m_cycle);
    pf.sensor16 = Nth(f.sensor16EveryN, m_cycle);
    const size_t len = m_unit.BuildPnoFrame(m_frame, pf);
    if (TruthSink* truth = m_truth.load())
        truth->Measured(GetLE32(m_frame + SX_OFF_FRAMENUM), measuredNs);
    m_injected += (pf.extraSensor ? 1 : 0) + (pf.sensor16 ? 1 : 0);
    if (Nth(f.corruptFrameEveryN, m_cycle)) {
        FlipCrc(m_frame, len);
        ++m_injected;
    }
    if (m_quiet.load() || m_closed) {
        ++m_unsent;
        return;
    }
    const uint32_t garbage = Nth(f.garbageEveryN, m_cycle) && m_link->IsStream() && f.garbageLen > 0 ? f.garbageLen : 0;
    // A frame cut short: the line carries its first half only, and the
    // reader takes the next frame's start for the rest of its body.
    const bool cut = Nth(f.truncateEveryN, m_cycle) && m_link->IsStream();
    if (f.jitterUs == 0 && m_lateCount == 0) {
        SendFrame(m_frame, len, garbage, cut);
        return;
    }
    // The line's jitter: written a random time after the frame was
    // measured, never before the frames ahead of it. The delay counts from
    // the measurement, not from this thread's wake-up: a frame whose delay
    // the wake-up has already used goes out now, without a second sleep
    // whose own lateness would be added to the line's.
    if (m_lateCount == kMaxLate)
        SendLateFrames(now, true);
    const int64_t delay = f.jitterUs ? static_cast<int64_t>(NextRandom() % (f.jitterUs + 1)) * 1000 : 0;
    m_lastDue = std::max(measuredNs + delay, m_lastDue);
    LateFrame& late = m_late[(m_lateHead + m_lateCount) % kMaxLate];
    late.due = m_lastDue;
    late.len = len;
    late.garbage = garbage;
    late.cut = cut;
    std::memcpy(late.bytes, m_frame, len);
    ++m_lateCount;
    SendLateFrames(now, false);
}

void SimRunner::SendFrame(const unsigned char* frame, size_t len, uint32_t garbage, bool cut)
{
    if (m_quiet.load() || m_closed) {
        ++m_unsent;
        return;
    }
    if (garbage > 0 && m_link->Send(kGarbage, garbage, false) == SimLink::SendResult::Sent)
        ++m_injected;
    if (m_link->Send(frame, cut ? len / 2 : len, false) == SimLink::SendResult::Sent) {
        ++m_sent;
        m_injected += cut ? 1 : 0;
    } else {
        ++m_unsent;
    }
}

// Writes the held-back frames that are due (all: the oldest, to make room).
void SimRunner::SendLateFrames(int64_t now, bool all)
{
    while (m_lateCount > 0 && (all || m_late[m_lateHead].due <= now)) {
        const LateFrame& late = m_late[m_lateHead];
        SendFrame(late.bytes, late.len, late.garbage, late.cut);
        m_lateHead = (m_lateHead + 1) % kMaxLate;
        --m_lateCount;
        all = false;
    }
}

// xorshift64*: the jitter is the same for the same seed.
uint32_t SimRunner::NextRandom()
{
    m_random ^= m_random >> 12;
    m_random ^= m_random << 25;
    m_random ^= m_random >> 27;
    return static_cast<uint32_t>((m_random * 0x2545F4914F6CDD1Dull) >> 32);
}

} // namespace sxsim
