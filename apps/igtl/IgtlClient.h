// One connected client: its socket, the reader of what it sends, and the
// backlog of messages waiting for its socket. The backlog is bounded in
// messages and bytes (the oldest go first), P&O older than the age limit
// is dropped rather than sent, and the socket's own buffer is kept small,
// so the drop policy applies at once instead of after the kernel has
// queued megabytes.
#pragma once

#include "igtl/ClientReader.h"
#include "igtl/IgtlMessages.h"
#include "igtl/SXigtl.h"

#include <cstdint>
#include <deque>
#include <string>

namespace sxigtl {

// What a backlog entry is: its own stream's P&O (may grow too old), an
// answer to a request (counted: too many of them hold the client's input),
// or a notice such as a STATUS change.
enum class EntryKind { Stream, Answer, Notice };

struct BacklogLimits {
    size_t messages = 4096;
    size_t bytes = 256 * 1024;
    int64_t maxAgeNs = 1000000000;
};

class IgtlClient {
public:
    IgtlClient(int fd, std::string peer, const BacklogLimits& limits, ServeStats& stats);
    ~IgtlClient();
    IgtlClient(const IgtlClient&) = delete;
    IgtlClient& operator=(const IgtlClient&) = delete;

    int Fd() const { return m_fd; }
    const std::string& Peer() const { return m_peer; }
    ClientReader& Reader() { return m_reader; }

    // Queues a message; stampNs is the monotonic time of a Stream entry's frame.
    void Enqueue(const Packet& p, EntryKind kind, int64_t stampNs = 0);
    // Sends what the socket takes now; Stream entries older than the age
    // limit are dropped first. A send error marks the client dead.
    void Flush(int64_t nowNs);
    bool HasBacklog() const { return !m_backlog.empty(); }
    // How long its backlog has waited without a byte taken (0: empty).
    int64_t StalledNs(int64_t nowNs) const { return m_backlog.empty() ? 0 : nowNs - m_waitSinceNs; }
    // When its socket last took bytes (0: never).
    int64_t TookNs() const { return m_tookNs; }
    // So many answers wait that the client's input is not read until they
    // have gone.
    bool Held() const { return m_answers >= kAnswersHeld; }
    uint64_t Dropped() const { return m_dropped; }

    // Closes the socket now (at shut-down); the object stays.
    void Close();

    // State the server keeps for the client.
    bool dead = false;
    bool timedOut = false;
    bool inputEnded = false; // it shut down its sending side: answer, then close
    int64_t inputEndedNs = 0;
    bool pending = false; // whole requests may wait in the reader (turn budget spent)
    int64_t nextTransformNs = 0;
    bool tdata = false; // between STT_TDATA and STP_TDATA: TDATA instead of TRANSFORM
    int64_t tdataPeriodNs = 0;
    int64_t nextTdataNs = 0;
    int64_t answerDueNs = 0;  // rate of answered requests (a virtual schedule)
    int64_t inputSinceNs = 0; // the current second of input, and what it brought
    size_t inputBytes = 0;
    int64_t connectedNs = 0;
    int64_t lastInputNs = 0;       // when it last sent bytes (0: never)
    const char* evicted = nullptr; // why it made room for a newcomer

private:
    static constexpr size_t kAnswersHeld = 128;

    struct Entry {
        Packet packet;
        EntryKind kind;
        int64_t stampNs;
    };
    void PopFront();
    void Erase(std::deque<Entry>::iterator it);
    void DropStale(int64_t nowNs);
    // Hands the socket what it takes now; the bytes sent.
    size_t Send(int64_t nowNs);

    int m_fd;
    std::string m_peer;
    const BacklogLimits& m_limits;
    ServeStats& m_stats;
    ClientReader m_reader;
    std::deque<Entry> m_backlog;
    size_t m_headOffset = 0; // bytes of the front entry already sent
    size_t m_bytes = 0;      // bytes queued, the front's sent part included
    size_t m_answers = 0;
    uint64_t m_dropped = 0;
    bool m_waiting = false;    // the backlog held entries after the last Flush
    int64_t m_waitSinceNs = 0; // since then: its last progress, or when it stopped being empty
    int64_t m_tookNs = 0;
};

} // namespace sxigtl
