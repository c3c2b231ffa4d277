/** \file
 * SXserIO: the serial transport of the tracker SDK. CSXserIO opens one
 * serial port, finds frames in its byte stream and hands them to its owner
 * from a reading thread.
 * \ingroup sx_serial */
#pragma once

/** \defgroup sx_serial Serial transport
 * libSXserIO: one serial port, its frames and its reading thread, for
 * applications that speak to a tracker over a serial line themselves
 * (libSXCmdIF carries the same transport inside). */

#include <SXserIO/SXserDCB.h>
#include <SXserIO/SXserIOdefs.h>
#include <SXserIO/SXserPortInfo.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

/** \addtogroup sx_serial
 * @{ */

/** Results of the transport's operations; -1 is returned for bad arguments
 * and setup failures. In an error code of SXCmdIF they are the detail of
 * ::E_SXERR_SERIO and ::E_DEVIOERR_SER_WRITERR. */
enum eSXIOResult {
    SXIO_NOERR = 0,         ///< Done.
    SXIO_TIMEOUT = 1,       ///< A write did not finish in time (500 ms), or failed.
    SXIO_NORESP = 2,        ///< Nothing arrived within the read time-out (100 ms).
    SXIO_SETUPERR = 3,      ///< The line settings could not be made.
    SXIO_SYSERR = 4,        ///< A system call failed (the port is missing, taken or gone).
    SXIO_FRAMERR = 5,       ///< What arrived is not a whole frame, or does not fit the buffer.
    SXIO_GENERAL_ERROR = 6, ///< Any other failure; also the name of codes out of range.
};

/** One serial port: opens it (exclusively), reads whole frames from its byte
 * stream and hands them to its owner from a reading thread, and writes.
 * Ports are numbered from 1 as ListSerPorts() lists them (`SXSERIO_PORTS`
 * may name them). Use an object from one application thread at a time; its
 * reading thread calls the message callback. */
class SXSERIO_API CSXserIO {
public:
    /** Called on the reading thread with each frame; data is valid only during the call.
     * \param arg the argument given with the callback
     * \param data the frame's bytes
     * \param len their number */
    typedef void (*MsgCallback)(void* arg, unsigned char* data, unsigned int len);

    /** The reading thread's frame buffer: longer frames are frame errors. */
    static constexpr int kFrameBufSize = 1024;
    /** The store of frames received without a callback (LastAsyncRead()). */
    static constexpr int kRxStoreSize = 2048;
    /** The frame header read first: preamble and size words. */
    static constexpr int kHeaderLen = 8;

    /** A closed port with a configuration word (SetCfg()).
     * \param cfg bits 0-3 the baud-rate index, bits 4-5 the parity; 0 keeps the defaults (115200 baud, no
     *   parity) */
    explicit CSXserIO(unsigned int cfg = 0);
    /** Closes the port and stops the reading thread. */
    ~CSXserIO();
    /** Not copyable. */
    CSXserIO(const CSXserIO&) = delete;
    /** Not copyable.
     * \returns nothing: deleted */
    CSXserIO& operator=(const CSXserIO&) = delete;

    /** Sets the configuration word for the next Open(); 0 changes nothing.
     * \param cfg bits 0-3 the baud-rate index, bits 4-5 the parity */
    void SetCfg(unsigned int cfg);
    /** Sets the transport's own trace level (process-wide).
     * \param bTrace tracing on
     * \param iLev the level (0 to 7) */
    void SetTrace(bool bTrace, int iLev);
    /** Reads frames of the sibling family's framing: a 16-bit size and two preamble bytes compared. */
    void SetModeZJ();

    /** Lists the serial ports: `SXSERIO_PORTS` when it is set, else the serial devices under /sys/class/tty, in
     * natural order.
     * \param list receives at most count entries; may be null
     * \param count in: the room in list; out: the number of ports
     * \returns 0, or -1 when the system's list cannot be read */
    static int ListSerPorts(_sx_serportinfo* const list, unsigned int& count);
    /** Opens the first port of the list that opens.
     * \returns 0 when one is open; the result of the last Open() tried, or -1 for an empty list */
    int DiscoverPort();
    /** Opens a port by number (closing one already open): exclusive, raw, at the configured rate and parity.
     * \param port the port number, from 1
     * \returns ::SXIO_NOERR; ::SXIO_SYSERR when the port is not listed or cannot be opened; ::SXIO_SETUPERR or
     *   -1 when it cannot be set up */
    int Open(unsigned int port);

    /** Writes the open port's report ("port : <n> : <path> : <description>", then baud and parity) over the
     * start of text.
     * \param text receives the report */
    void DevReport(std::wstring& text) const;
    /** Writes a port's report line over the start of text.
     * \param info the port
     * \param text receives the line */
    static void PortReport(_sx_serportinfo& info, std::wstring& text);
    /** Writes one report line per listed port into text (or "No serial ports detected").
     * \param text receives the report */
    static void PortListReport(std::wstring& text);

    /** The name of a result ("SXIO_TIMEOUT").
     * \param code an ::eSXIOResult value
     * \returns the name; "SXIO_GENERAL_ERROR" for any other value */
    ///@{
    static const char* ErrorStr(int code);
    static const wchar_t* ErrorStrW(int code);
    ///@}

    /** Whether a port is open.
     * \returns true when open */
    ///@{
    bool IsOpen() const { return m_hCom != nullptr; }
    bool Initialized() const { return m_hCom != nullptr; }
    ///@}
    /** Whether the reading thread runs.
     * \returns true when it does */
    bool AsyncReadRunning() const { return m_bContRunning.load(); }
    /** The open port's record.
     * \returns its address */
    const _sx_serportinfo* DevInfo() const { return &m_info; }
    /** The frame preamble the port expects, for reading or writing.
     * \returns a reference to it */
    unsigned int& FramePreamble() { return m_info.uPreamble; }
    /** Free-form reading, for reading or writing: the reading thread hands on whatever arrives instead of
     * frames (set before ReadCont()).
     * \returns a reference to the switch */
    bool& AsciiContMode() { return m_bAsciiContMode; }

    /** Reads up to len bytes, waiting up to 100 ms for each part.
     * \param buf receives the bytes
     * \param len in: the bytes wanted; out: the bytes read
     * \param bTimeoutErr nothing at all within the time-out is ::SXIO_NORESP
     * \returns ::SXIO_NOERR, ::SXIO_NORESP, ::SXIO_SYSERR; -1 for a null buf */
    int Read(unsigned char* buf, int& len, bool bTimeoutErr);
    /** Reads one frame: the 8-byte header, checked against the preamble, then the body its size announces.
     * \param buf receives the frame; must hold any frame
     * \param len receives the frame's length
     * \returns ::SXIO_NOERR; ::SXIO_NORESP when nothing came; ::SXIO_FRAMERR for a bad preamble or a short
     *   frame; ::SXIO_SYSERR */
    int Readframe(unsigned char* buf, int& len);
    /** The same into a buffer of bufSize bytes (at least the 8 of a header): a frame that would not fit is a
     * frame error and nothing is written past the buffer, whatever the header announces.
     * \param buf receives the frame
     * \param len receives the frame's length
     * \param bufSize the bytes buf holds
     * \returns as Readframe(); -1 when bufSize is below 8 */
    int Readframe(unsigned char* buf, int& len, int bufSize);
    /** Writes len bytes within 500 ms.
     * \param buf the bytes
     * \param len their number
     * \returns ::SXIO_NOERR; ::SXIO_TIMEOUT when they did not all go out; -1 for bad arguments */
    int Write(unsigned char* buf, int& len);

    /** Starts the reading thread: it reads frame after frame (searching for the next preamble after a frame
     * error) and hands each to the message callback, or keeps it for LastAsyncRead().
     * \returns 0; -1 when it runs already or cannot start */
    int ReadCont();
    /** Stops and joins the reading thread. Called from the message callback it only asks the thread to end,
     * which it does once the callback returns; the next ReadCont(), ReadContStop() or Close() from another thread
     * joins it.
     * \returns 0 */
    int ReadContStop();
    /** The last frame the reading thread kept (without a callback).
     * \param data receives its address in the transport's store, or null
     * \param len receives its length
     * \returns 0 */
    int LastAsyncRead(unsigned char*& data, int& len);
    /** Installs the callback the reading thread calls with each frame; null keeps frames for LastAsyncRead().
     * \param cb the callback, or null
     * \param arg its first argument */
    void SetMsgCallback(MsgCallback cb, void* arg);
    /** Stops the reading thread and closes the port.
     * \returns 0; -1 when no port was open or closing failed */
    int Close();

    /// \cond SX_INTERNAL
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
    /// \endcond
};

/** @} */
