// SXserIO: the serial transport of the tracker SDK. CSXserIO opens one
// serial port, finds frames in its byte stream and hands them to its owner
// from a reading thread.
#pragma once

#include <SXserIO/SXserDCB.h>
#include <SXserIO/SXserIOdefs.h>
#include <SXserIO/SXserPortInfo.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

// Results of the transport's operations; -1 is returned for bad arguments
// and setup failures.
enum eSXIOResult {
    SXIO_NOERR = 0,
    SXIO_TIMEOUT = 1,
    SXIO_NORESP = 2,
    SXIO_SETUPERR = 3,
    SXIO_SYSERR = 4,
    SXIO_FRAMERR = 5,
    SXIO_GENERAL_ERROR = 6,
};

class SXSERIO_API CSXserIO {
public:
    // Called on the reading thread with each frame; data is valid only
    // during the call.
    typedef void (*MsgCallback)(void* arg, unsigned char* data, unsigned int len);

    static constexpr int kFrameBufSize = 1024;
    static constexpr int kRxStoreSize = 2048;
    static constexpr int kHeaderLen = 8;

    // cfg: bits 0-3 baud index, bits 4-5 parity index; 0 keeps the defaults.
    explicit CSXserIO(unsigned int cfg = 0);
    ~CSXserIO();
    CSXserIO(const CSXserIO&) = delete;
    CSXserIO& operator=(const CSXserIO&) = delete;

    void SetCfg(unsigned int cfg);
    void SetTrace(bool bTrace, int iLev);
    void SetModeZJ();

    static int ListSerPorts(_sx_serportinfo* const list, unsigned int& count);
    int DiscoverPort();
    int Open(unsigned int port);

    void DevReport(std::wstring& text) const;
    static void PortReport(_sx_serportinfo& info, std::wstring& text);
    static void PortListReport(std::wstring& text);

    static const char* ErrorStr(int code);
    static const wchar_t* ErrorStrW(int code);

    bool IsOpen() const { return m_hCom != nullptr; }
    bool Initialized() const { return m_hCom != nullptr; }
    bool AsyncReadRunning() const { return m_bContRunning.load(); }
    const _sx_serportinfo* DevInfo() const { return &m_info; }
    unsigned int& FramePreamble() { return m_info.uPreamble; }
    bool& AsciiContMode() { return m_bAsciiContMode; }

    int Read(unsigned char* buf, int& len, bool bTimeoutErr);
    int Readframe(unsigned char* buf, int& len);
    // The same into a buffer of bufSize bytes (at least the 8 of a header): a
    // frame that would not fit is a frame error (5) and nothing is written
    // past the buffer, whatever the header announces.
    int Readframe(unsigned char* buf, int& len, int bufSize);
    int Write(unsigned char* buf, int& len);

    int ReadCont();
    int ReadContStop();
    int LastAsyncRead(unsigned char*& data, int& len);
    void SetMsgCallback(MsgCallback cb, void* arg);
    int Close();

protected:
    int SetupSerComm(void* handle);
    int FlushComm();
    int InitHandles(void* handle);
    void DumpDCB(const char* label, _SX_DCB& dcb);
    void CloseHandles();

    int StartAsyncRead();
    void StartContThread();
    void StopContThread();
    void thproc_Cont();
    void ContLoop();
    void ContLoopFreeform();
    void ClearContThreadFlag();
    bool DataReady(unsigned char* data, int len);
    bool PreambleTest(unsigned char* header);
    int Findframe(unsigned char* buf, int& len);
    // Readframe for frames of at most maxFrame bytes.
    int ReadframeUpTo(unsigned char* buf, int& len, int64_t maxFrame);

    // Puts bytes read past a frame back in front of the input.
    void PushBack(const unsigned char* data, int n);
    // The bytes after the first of a header that failed: the next
    // Findframe searches them before it reads; a Readframe drops them.
    void KeepForSearch(const unsigned char* data, int n);
    // After a system error the loops wait this long (or until stopped)
    // before they read again, so a dead port is not polled in a spin.
    void PauseAfterError();

    _sx_serportinfo m_info;
    void* m_hCom;        // the system's handle of the open port; null when closed
    void* m_hReadEvent;  // wakes a waiting read when reading is stopped
    void* m_hWriteEvent; // wakes a waiting write when the port is closed
    unsigned int m_uBaudIdx;
    unsigned char m_ucParityIdx;
    bool m_bAsciiContMode;
    int m_iModeZJ;
    std::mutex m_mtxRx;
    std::thread::id m_thidCont;
    std::thread* m_pthCont;
    std::atomic<bool> m_bContRunning;
    unsigned char m_frameBuf[kFrameBufSize];
    int m_nRxTotal;
    int m_nRxCount;
    int m_nLastLen;
    unsigned char* m_pLast;
    unsigned char m_rxStore[kRxStoreSize];
    MsgCallback m_pfnMsgCB;
    void* m_pMsgCBArg;
    // Bytes read past a frame found by Findframe; the next Read takes them
    // first.
    unsigned char m_pushBack[32];
    int m_nPushBack;
    // Bytes taken from the port ahead of what Read was asked for: one read
    // takes all the line holds (as a rule a whole frame, where header and
    // body were asked for apart), and the next Reads are served from here.
    // After a read that emptied the line, the next one waits first.
    static constexpr int kReadAheadSize = 4096;
    unsigned char m_readAhead[kReadAheadSize];
    int m_nAheadPos;
    int m_nAheadLen;
    bool m_bLineDrained;
    unsigned char m_searchFrom[8];
    int m_nSearchFrom;
};
