// The simulated tracker's state and protocol, independent of the link that
// carries its frames: configuration, identities, built-in test, command
// answers and P&O frames. Links and their thread live elsewhere.
#pragma once

#include <simulator/PnoSource.h>

#include <SXCmdIF/protocol/SXframe.h>
#include <SXCmdIF/protocol/SXusbIds.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

namespace sxsim {

struct SimConfig {
    int sensors = 4;           // detected sensors, numbers 0..sensors-1 (1..16)
    int sources = 1;           // 1..4
    int rateHz = 240;          // initial frame rate 30,60,120,240,480,960 (the frame-rate code follows)
    uint32_t seuid = 1;        // unit identifier
    uint64_t seed = 1;         // motion seed
    bool staticPose = false;   // fixed, documented pose per sensor
    bool accelRecords = false; // acceleration records instead of plain ones
    uint16_t pid = PID_SORIX;  // PID_SORIX: "SXRC"/"SXRP"; PID_Q7_TAG, PID_Q7_HUB: "Q7BC"/"Q7BP"
    double driftPpm = 0;       // the unit's clock runs this much fast (frames come more often), or slow
};

// Faults injected on demand; all off by default. "Every n-th" counts from
// 1 (n = 1: every one); 0 switches the fault off.
struct FaultConfig {
    // P&O frames.
    uint32_t dropEveryN = 0;         // the n-th cycle sends nothing: a gap in the frame count
    uint32_t corruptFrameEveryN = 0; // the n-th frame sent carries a wrong CRC
    uint32_t extraSensorEveryN = 0;  // the n-th frame carries 17 sensor records
    uint32_t sensor16EveryN = 0;     // the n-th frame's last record has sensor number 16
    uint32_t garbageEveryN = 0;      // serial: garbage bytes before the n-th frame
    uint32_t garbageLen = 7;         // how many garbage bytes (at most 64)
    uint32_t truncateEveryN = 0;     // serial: the n-th frame is cut short (its first half only)
    // Command responses; with faultCmd >= 0 only responses to that command.
    int faultCmd = -1;
    uint32_t corruptResponseEveryN = 0; // the n-th response carries a wrong CRC
    int responseDelayMs = 0;            // responses leave this much later
    bool withholdResponses = false;     // commands are not answered at all
    bool wrongCommandFirst = false;     // an ACK with the command word + 1 goes first
    bool nakAll = false;                // every command answers NAK (no payload)
    bool nakWarning = false;            // accepted commands answer NAK_WARNING (GET payload kept)
    // The line.
    uint32_t jitterUs = 0; // each P&O frame is written a random 0 to this many us late, in order
};

// Told when each P&O frame the unit builds was measured: the moment its
// cycle was due on the monotonic clock, before any delay of the line.
// Called on the unit's thread; must not block.
class TruthSink {
public:
    virtual ~TruthSink() = default;
    virtual void Measured(uint32_t frameCount, int64_t monotonicNs) = 0;
};

struct SimStats {
    uint64_t framesSent = 0, framesDropped = 0, framesUnsent = 0, commandsAnswered = 0, faultsInjected = 0;
};

// Frame and response limits.
constexpr size_t kMaxCommandFrame = 28 + 4596 + 4; // a SET of the whole block
constexpr size_t kMaxResponse = 1024;              // one USB transfer
constexpr size_t kMaxPnoFrame = 24 + 17 * 32 + 4;  // with the 17-sensor fault

// Frame-level faults applied while a P&O frame is built.
struct PnoFrameFaults {
    bool extraSensor = false; // 17 records
    bool sensor16 = false;    // the last record numbered 16
};

class SimUnit {
public:
    explicit SimUnit(const SimConfig& cfg);
    ~SimUnit();
    SimUnit(const SimUnit&) = delete;
    SimUnit& operator=(const SimUnit&) = delete;

    const SimConfig& Config() const { return m_cfg; }
    uint32_t CmdPreamble() const { return m_cmdPre; }
    uint32_t PnoPreamble() const { return m_pnoPre; }
    // True for a preamble this unit takes commands with: its family's, and
    // the tracker's "SXRC" (the library's generic commands always use it).
    bool IsCommandPreamble(uint32_t preamble) const;

    // Answers one command frame (len bytes, cut at its size word) into out
    // (room for kMaxResponse bytes); returns the response length.
    size_t Answer(const unsigned char* frame, size_t len, unsigned char* out);
    // NAK for a frame whose size word is impossible: the header words that
    // arrived are echoed.
    size_t AnswerMalformed(const unsigned char* frame, size_t len, unsigned char* out);

    // Continuous output as the commands left it.
    bool Streaming() const;
    uint32_t RateCode() const;
    // Nanoseconds between frames: the P&O source's pace, else the frame rate.
    int64_t FrameIntervalNs() const;
    // Builds the next P&O frame into out (kMaxPnoFrame bytes) and advances
    // the frame count; returns the frame length.
    size_t BuildPnoFrame(unsigned char* out, const PnoFrameFaults& faults = {});
    // Cycles whose frames are lost: the frame count advances.
    void SkipFrame(uint32_t cycles = 1);

    // State, thread-safe.
    void SetBit(const _BIT_STRUCT& bit);
    _BIT_STRUCT Bit() const;
    _BLOCK_CONFIG Block() const;
    _SELFCAL_CONFIG SelfCal() const;
    uint32_t FrameCount() const;
    // The count the next frame carries (a unit powered on again counts from 0).
    void SetFrameCount(uint32_t count);
    uint32_t SeuId() const;
    _WHOAMI_STRUCT UnitIdentity() const { return m_whoUnit; }
    _WHOAMI_STRUCT SensorIdentity(int sensor) const { return m_whoSensor[sensor & 15]; }
    _WHOAMI_STRUCT SourceIdentity(int source) const { return m_whoSource[source & 3]; }
    // The unit's identity record (a replayed unit shows the recorded one).
    void SetUnitIdentity(const _WHOAMI_STRUCT& who);
    // The configuration now and after every reset.
    void SetPowerOn(const _BLOCK_CONFIG& block);
    // Replaces the source of P&O records (generated motion by default).
    void SetSource(std::unique_ptr<PnoSource> source);

    // The unit's power-on state (also what a block reset restores).
    void RestoreDefaults();
    // As after switching the unit off and on: power-on state, output off,
    // frame count from 0.
    void PowerCycle();

private:
    struct Item;
    size_t Respond(unsigned char* out, const _SEUCMD_HDR& req, uint32_t action, const void* payload,
                   size_t payloadLen) const;
    size_t Dispatch(const _SEUCMD_HDR& req, const unsigned char* payload, size_t payloadLen, unsigned char* out);
    bool LocateItem(uint32_t cmd, int index, uint32_t arg2, Item& item);
    bool CheckPayload(uint32_t cmd, const unsigned char* payload, uint32_t arg2) const;
    size_t PnoBody(unsigned char* body, uint32_t arg2, const PnoFrameFaults& faults);
    void FillIdentities();
    void ResetLocked();

    SimConfig m_cfg;
    uint32_t m_cmdPre;
    uint32_t m_pnoPre;
    mutable std::mutex m_mtx;

    // The configuration as a whole, and the items that live beside it.
    _BLOCK_CONFIG m_block;
    _BLOCK_CONFIG m_powerOn; // what resets restore
    _BORESIGHT_CONFIG m_boresight[16];
    _ENUM_CONFIG m_ftt[16];
    _VIRTUAL_SNS_CONFIG m_virtual[16];
    _SRCROT_CONFIG m_selfLevel[4];
    _BINARY_CONFIG m_oorMode;
    _INT32_CONFIG m_disableCal;
    _SELFCAL_CONFIG m_selfCal;
    _BIT_STRUCT m_bit;
    _WHOAMI_STRUCT m_whoUnit;
    _WHOAMI_STRUCT m_whoSensor[16];
    _WHOAMI_STRUCT m_whoSource[4];

    bool m_streaming = false;
    bool m_streamAccel = false;
    uint32_t m_frameCount = 0;
    std::unique_ptr<PnoSource> m_source;
};

// Frame-rate code of a rate in Hz (30 to 960, powers of two times 30); -1
// for any other rate.
int RateCodeOf(int hz);
// Hz of a frame-rate code 0 to 5.
int RateHzOf(uint32_t code);

} // namespace sxsim
