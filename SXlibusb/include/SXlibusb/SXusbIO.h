// CSXusbIO: the USB transport of one tracker over libusb 1.0. Finds the
// device by vendor and product id, claims every interface of its first
// configuration, moves bytes over its bulk endpoints, and keeps one bulk-IN
// transfer submitted whose completions a reading thread hands to the owner.
// Internal to libSXCmdIF.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

struct libusb_context;
struct libusb_device;
struct libusb_device_handle;
struct libusb_transfer;

// Result codes of the transport besides libusb's own (negative) codes.
enum eSXusbErrors {
    E_SXUSB_ERR_SUCCESS = 0,
    E_SXUSB_ERR_WRITE_COUNT_WRONG = 1, // fewer bytes written than asked
};
// DiscoverVidPid: no matching device could be opened.
constexpr int SXUSB_ERR_NO_DEVICE_OPENED = -99;

// One matching device.
struct _sx_usbdevinfo {
    int index = -1;             // position in the libusb device list
    uint8_t bus = 0;            // libusb bus number
    uint8_t address = 0;        // libusb device address
    uint16_t vid = 0;           // vendor identifier
    uint16_t pid = 0;           // product identifier
    uint8_t nInterfaces = 0;    // interfaces of configuration 0 (set when opened)
    uint8_t epIn = 0;           // bulk IN endpoint address (set when opened)
    uint8_t epOut = 0;          // bulk OUT endpoint address (set when opened)
    uint16_t maxPacketOut = 64; // OUT endpoint's maximum packet size (set when opened)
};

class CSXusbIO {
public:
    // The owner's data callback, called on the reading thread with each chunk
    // received; data is valid only during the call.
    using MsgCallback = void (*)(void* arg, unsigned char* data, unsigned int len);

    static constexpr int kXferSize = 1024;  // the continuous-read transfer
    static constexpr int kStoreSize = 2048; // chunks kept when no callback is set
    static constexpr int kMaxDevices = 16;  // matching devices DiscoverVidPid tries

    CSXusbIO();
    ~CSXusbIO();
    CSXusbIO(const CSXusbIO&) = delete;
    CSXusbIO& operator=(const CSXusbIO&) = delete;

    bool Initialized() const { return m_ctx != nullptr; }
    bool IsOpen() const { return m_hdev != nullptr; }
    void SetTrace(bool bTrace, int iLev);

    // Enumerates the devices of ctx matching vid and pid into recs (room for
    // count records); count becomes the number matching. The caller frees list.
    static int CreateVidPidList(libusb_context* ctx, libusb_device*** list, int vid, int pid, _sx_usbdevinfo* recs,
                                int& count);
    int ListVidPid(int vid, int pid, _sx_usbdevinfo* recs, int& count);
    int DiscoverVidPid(int vid, int pid);
    int Close();
    int Read(unsigned char* buf, unsigned int& len, bool bTimeoutErr);
    int Write(unsigned char* buf, unsigned int& len);
    static const char* ErrorStr(int code);

    // Continuous reading.
    int ReadCont();
    void SetMsgCallback(MsgCallback cb, void* arg);
    bool AsyncReadRunning() const { return m_bContRunning.load(); }
    int LastAsyncRead(unsigned char*& data, int& len);
    int StartAsyncRead();
    void CancelARXfer();
    void StartContThread();
    void StopContThread();
    void thproc_Cont();
    static void MCB(libusb_transfer* transfer);
    void TransferFatal(libusb_transfer* transfer);
    bool DataReady(unsigned char* data, int len);

private:
    // The transport's trace level, and libusb's log level when libusbToo.
    void ApplyTrace(bool bTrace, int iLev, bool libusbToo);
    // One bulk OUT transfer, as libusb_bulk_transfer; see Write.
    int BulkOut(unsigned char* buf, int len, int& written);
    void SetReaderEvents(bool on);
    void FreeOrStrandTransfer();
    void DrainTransfer(int maxMs);
    // Whether the caller is this transport's reading thread.
    bool OnReadingThread() const;

    // The reading thread's wait for events; completions end it at once.
    static constexpr long kEventWaitUs = 100000;

    libusb_context* m_ctx = nullptr;
    libusb_device_handle* m_hdev = nullptr;
    libusb_transfer* m_parxfer = nullptr;
    _sx_usbdevinfo m_info;
    int m_nReadTimeout = 50;
    int m_nWriteTimeout = 50;
    std::mutex m_mtxRx;
    uint32_t m_thidCont = 0; // the reading thread's kernel id; 0: none
    std::thread* m_pthCont = nullptr;
    std::atomic<bool> m_bContRunning{false};
    unsigned char m_arBuf[kXferSize] = {};
    int m_nRxTotal = 0;
    int m_nRxCount = 0;
    int m_nLastLen = 0;
    unsigned char* m_pLast = nullptr;
    unsigned char m_rxStore[kStoreSize] = {};
    MsgCallback m_pfnMsgCB = nullptr; // with its argument, under m_mtxCB
    void* m_pMsgCBArg = nullptr;

    // The read transfer is with libusb (submitted, not yet come back).
    std::atomic<bool> m_bXferPending{false};
    std::mutex m_mtxCB;
    // While the reading thread handles libusb's events, writes leave their
    // completion to it and wait here (flag and completions under m_mtxOut).
    std::mutex m_mtxOut;
    std::condition_variable m_cvOut;
    bool m_bReaderEvents = false;
    // Time-out of the continuous-read transfer; 0 (none) except in tests.
    unsigned m_nContXferTimeout = 0;

    friend struct CSXusbIOTest;
};
