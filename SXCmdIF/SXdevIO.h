// CSXdevIO: the device object of one connected tracker. It owns the
// transport, sends command frames and waits for their responses, and sorts
// everything received on the transport's reading thread: responses into the
// response queue, P&O frames into the P&O queue or to the application's
// callback. Each received frame is copied once into one of two stores.
//
// Served by several files under devio/: lifecycle and connection
// (DevConnect), the command exchange (DevCmdExchange), the receive routing
// and the stores (DevReceive), the P&O queue (DevPnoQueue).
#pragma once

#include "common/UseCount.h"
#include "devio/FrameRing.h"
#include <SXCmdIF/protocol/SXframe.h>
#include <SXCmdIF/protocol/SXframeInfo.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <new>
#include <string>

class CSXcontext;
namespace sxdev {
class Transport;
}

class CSXdevIO {
public:
    using PnoCallback = void (*)(void* arg, unsigned char* frame, unsigned int length);

    // A store starts again at its front once its write offset reaches this;
    // the slack after it holds a frame begun just before.
    static constexpr uint32_t kStoreWrap = 15552000u; // 28,800 frames of 540 bytes
    static constexpr uint32_t kStoreSlack = 540u;
    static constexpr uint32_t kStoreSize = kStoreWrap + kStoreSlack;
    static constexpr size_t kQueueBound = 1920;
    static constexpr int kDefaultTimeoutMs = 50;

    explicit CSXdevIO(CSXcontext* owner);
    virtual ~CSXdevIO();
    CSXdevIO(const CSXdevIO&) = delete;
    CSXdevIO& operator=(const CSXdevIO&) = delete;

    // The object is about 31 MB: it comes straight from the system as zero
    // pages, so pages of the stores that are never written cost no memory.
    // Allocation failure gives null (callers use new (std::nothrow)).
    static void* operator new(size_t size, const std::nothrow_t&) noexcept;
    static void operator delete(void* p) noexcept;
    // Frees the mapping when the constructor throws after new (std::nothrow).
    static void operator delete(void* p, const std::nothrow_t&) noexcept;
    static void* operator new(size_t size) = delete;

    // --- Lifecycle and connection -----------------------------------------
    int ConnectUSB(uint16_t vid, uint16_t pid);
    int ConnectSer(int port, unsigned int cfg);
    int Disconnect();
    bool IsConnected() const;
    void SetTraceLev(int level);
    // "% 4u   %-16s   %s": unit id, serial number and name, no line break.
    void ReportLine(std::string& text) const;
    static const char* ErrDetailStr(int code);

    // --- Command exchange -----------------------------------------------------
    int CmdIO(CFrameInfo& request, CFrameInfo& response, bool wait);
    int Write(unsigned char* frame, uint32_t& length);
    int WaitCmdRespA(CFrameInfo& response, CFrameInfo& request);
    void RxCmdEnqueue(CFrameInfo& frame);
    bool RxCmdDequeue(CFrameInfo& response, uint32_t cmd, int& error);
    void ClearRxCmdQueue();

    // --- Receive routing (reading thread) -----------------------------------
    static void USBSer_CB(void* device, unsigned char* data, unsigned int length);
    int DataReady(CFrameInfo& received);

    // --- P&O queue --------------------------------------------------------------
    void RxPnoEnqueue(CFrameInfo& frame);
    int RxPnoDequeueFIFO(CFrameInfo& out);
    int RxPnoDequeueLAST(CFrameInfo& out);
    int FIFOPnoCount(unsigned& frames, int& bytes);
    int FIFORxPnoCount(CFrameInfo& out, unsigned& frames, unsigned bufferLength);
    int WaitPnoRespA(CFrameInfo& out);
    void ResetPno();

    // --- Accessors and switches ------------------------------------------------
    int SeuId() const { return m_nSeuId; }
    void SetSeuId(int id) { m_nSeuId = id; }
    // The identity record, filled by the identity command.
    _WHOAMI_STRUCT* WhoAmI() { return &m_WhoAmI; }
    // A tag family's device: its tag, and the preambles its frames carry
    // (set before the transport starts reading).
    uint32_t Tag() const { return m_nTag; }
    void SetTag(uint32_t tag) { m_nTag = tag; }
    uint32_t CmdPreamble() const { return m_nCmdPreamble; }
    uint32_t PnoPreamble() const { return m_nPnoPreamble; }
    void SetPreambles(uint32_t cmd, uint32_t pno)
    {
        m_nCmdPreamble = cmd;
        m_nPnoPreamble = pno;
    }
    // The time-out of command and P&O waits, as another thread may change
    // it while a wait reads it (atomic access to m_nTimeoutMs).
    void SetTimeoutMs(int ms) { __atomic_store_n(&m_nTimeoutMs, ms, __ATOMIC_RELAXED); }
    int CurrentTimeoutMs() const { return __atomic_load_n(&m_nTimeoutMs, __ATOMIC_RELAXED); }
    void RestoreDefaultTimeout() { SetTimeoutMs(kDefaultTimeoutMs); }
    int SetTsEnable(bool on);
    int SetPnoFrmErrAllow(bool allow);
    int SetPnoValidateSensor(bool validate);
    // Callback and argument change together: the reading thread never calls
    // a new callback with the old argument.
    void SetPnoCallback(PnoCallback cb, void* arg);
    // The connected transport; null when none is.
    const sxdev::Transport* ConnectedTransport() const { return m_pTransport; }

    // Callers inside one exported call hold a use of the device; releasing
    // the device, once it is off the context's list, waits until no use is
    // held.
    void AddUse() { m_uses.Add(); }
    void DropUse() { m_uses.Drop(); }
    void WaitUntilUnused() { m_uses.WaitNone(); }

    // The label the device's trace lines carry after its unit id.
    const char* Label() const { return m_szLabel; }
    // The two stores, for measuring how much of them is resident.
    const unsigned char* PnoStore() const { return m_PnoStore; }
    const unsigned char* CmdStore() const { return m_CmdStore; }

private:
    // Tests reach the stores' write positions and the queues through it.
    friend struct CSXdevIOTest;

    sxctx::UseCount m_uses;

    _WHOAMI_STRUCT m_WhoAmI;
    char m_szLabel[32];
    int m_nSeuId;
    int m_nTraceLev;
    std::atomic<PnoCallback> m_pfnPnoCB;
    void* m_pPnoCBArg;
    CSXcontext* m_pCtx;
    sxdev::Transport* m_pTransport;
    int m_nTimeoutMs;
    std::atomic<bool> m_bTsEnable;
    std::atomic<bool> m_bPnoFrmErrAllow;
    std::atomic<bool> m_bPnoValidateSensor;
    uint32_t m_nTag;
    uint32_t m_nCmdPreamble;
    uint32_t m_nPnoPreamble;
    int m_nPnoCount;
    CFrameInfo m_LastPno;

    unsigned char* m_pPnoWrite;
    uint32_t m_nPnoWriteOff;
    unsigned char* m_pCmdWrite;
    uint32_t m_nCmdWriteOff;
    // How far from its front each store's pages are resident (made so
    // ahead of the write offset, see PrepareAhead).
    uint32_t m_nPnoPrepared;
    uint32_t m_nCmdPrepared;
    std::mutex m_mtxRxCmdQ;
    std::mutex m_mtxPnoQ;
    sxdev::FrameRing<kQueueBound> queRxPnoFrames;
    sxdev::FrameRing<kQueueBound> queRxCmdFrames;
    std::atomic<bool> m_bNewRxCmdReady;
    std::mutex m_mtxCmdIO;
    std::mutex m_mtxCmdWait;
    std::condition_variable m_cvRxCmd;
    std::mutex m_mtxPnoWait;
    std::condition_variable m_cvRxPno;
    std::atomic<bool> m_bNewRxPnoReady;
    // Guards the callback and its argument as a pair.
    std::mutex m_mtxPnoCB;
    // P&O waits under way: the reading thread wakes only when there is one.
    std::atomic<int> m_nPnoWaiters{0};
    // Frames queued since construction, counted under m_mtxPnoQ: a P&O wait
    // wakes for a frame that arrived after it began, not for the late flag
    // of a frame an earlier wait has already taken.
    std::atomic<uint64_t> m_nPnoArrivals{0};

    // The stores last: only the pages written ever become resident.
    unsigned char m_PnoStore[kStoreSize];
    unsigned char m_CmdStore[kStoreSize];

    // Opens a new transport (null: out of memory), starts its reading and
    // makes it the device's; 0 or a device error code, and nothing kept.
    int Connect(sxdev::Transport* transport);
    // Closes and frees the transport; 0 or the transport's failure to close
    // as a device error code.
    int CloseTransport();
    // Copies a received frame into a store and returns where it now lives;
    // every frame stays inside the store.
    unsigned char* StoreFrame(unsigned char* store, unsigned char*& write, uint32_t& offset, const unsigned char* frame,
                              uint32_t length);
    // A P&O frame that passed the checks: to the callback, or stored and
    // queued; true when it was stored.
    bool HandOverPno(unsigned char* frame, uint32_t length, const char* label);
    // Makes the store's pages ahead of offset resident in one batch when
    // the write offset comes near the end of those prepared.
    static void PrepareAhead(unsigned char* store, uint32_t offset, uint32_t& prepared);
};
