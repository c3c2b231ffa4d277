// CSXcontext: one application context with its devices, and the
// process-wide registry against which every context handle is checked.
//
// The operations are served by the files under context/, one concern each:
// connection and device registry (CtxDevices), commands (CtxCommands and
// the command table CmdTable.h), P&O access (CtxPno), reports (CtxReports).
#pragma once

#include <SXCmdIF/SXCmdIFdev.h>
#include "context/CmdTable.h"
#include "common/UseCount.h"
#include <SXCmdIF/protocol/SXcmdEnums.h>
#include <SXCmdIF/protocol/SXframe.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CSXdevIO;
class CSXcmd;
class CFrameInfo;

class CSXcontext {
public:
    CSXcontext();
    virtual ~CSXcontext();
    CSXcontext(const CSXcontext&) = delete;
    CSXcontext& operator=(const CSXcontext&) = delete;

    // The text of a report, in both widths. Each thread that makes report
    // calls has its own, so reports of several threads on one context never
    // write one string, and a text stays valid until the same thread's next
    // report on the context.
    struct ReportText {
        std::string narrow;
        std::wstring wide;
    };
    // The calling thread's text, emptied; null when it cannot be made.
    ReportText* ClearedReport();

    void SetTraceLev(int level);

    // --- Connection and device registry -----------------------------------
    int connectNewUSB(void*& out, uint16_t vid, uint16_t pid, uint32_t tag);
    int connectNewSer(void*& out, int port, int cfg);
    void destroyPdev(CSXdevIO* dev);
    int dev_release(CSXdevIO* dev);
    int dev_count(int& count);
    int dev_info(CSXdevIO* dev, void** identity, int* seuid);
    int dev_report(CSXdevIO* dev, ReportText& report);
    int dev_report_all(ReportText& report);
    int dev_timeoutms(CSXdevIO* dev, int useDefault, int ms);
    int dev_tracelev(CSXdevIO* dev, int level);
    int dev_tsenable(CSXdevIO* dev, bool on);

    // --- Commands -------------------------------------------------------------
    int cmd_dev(CSXdevIO* dev, eSorixCmds cmd, eCmdActions action, void* payload, unsigned length, int arg1, int arg2);
    int cmd_dev_gen(CSXdevIO* dev, eSorixCmds cmd, eCmdActions action, void* payload, unsigned length, int arg1,
                    int arg2);
    int cmd_sns(CSXdevIO* dev, int sensor, eSorixCmds cmd, eCmdActions action, void* payload, unsigned length,
                int arg2);
    int cmd_sns_gen(CSXdevIO* dev, int sensor, eSorixCmds cmd, eCmdActions action, void* payload, unsigned length,
                    int arg2);
    int cmd_dev_gen1(CSXdevIO* dev, int* seuid, int* cmd, int* action, int* arg1, int* arg2, unsigned* length,
                     void* payload);
    // One operation per row of the command table.
#define SXCTX_DECLARE_CMD(exp, op, kind, params, args, cmd, action, payload, arg1, arg2)                               \
    int op(CSXdevIO* dev SXCTX_UNPAREN params);
    SXCTX_COMMAND_TABLE(SXCTX_DECLARE_CMD)
#undef SXCTX_DECLARE_CMD
    int cmd_dev_contpno(CSXdevIO* dev, eCmdActions action, int* fc, int arg2);
    int cmd_sns_led(CSXdevIO* dev, int sensor, eCmdActions action, _BIT_STRUCT* payload);

    // --- P&O access -------------------------------------------------------------
    int cmd_dev_singlepno(CSXdevIO* dev, _sxFrameInfo& out, int arg2);
    int dev_nextpnof(CSXdevIO* dev, CFrameInfo& out);
    int dev_fifopnof(CSXdevIO* dev, CFrameInfo& out);
    int dev_fifopnofraw(CSXdevIO* dev, CFrameInfo& out);
    int dev_lastpnof(CSXdevIO* dev, CFrameInfo& out);
    int dev_lastpnofraw(CSXdevIO* dev, CFrameInfo& out);
    int dev_fifo_readrawbuf(CSXdevIO* dev, unsigned* frames, unsigned char** buffer, int* length);
    int dev_fifo_count(CSXdevIO* dev, unsigned* frames, int* bytes);
    int dev_resetpno(CSXdevIO* dev);
    int dev_SetPnoCB(CSXdevIO* dev, SXPnoCallback cb, void* arg);
    int dev_pnofrmerr_allow(CSXdevIO* dev, bool allow);
    int dev_pnovalidate_sensor(CSXdevIO* dev, bool validate);
    int dev_pnousb_buffer(CSXdevIO* dev, uint32_t value);

    // --- Reports (text into the calling thread's ReportText) ------------------
#define SXCTX_DECLARE_REPORT(exp, op, params, args, get, rec, cls, report, keep)                                       \
    int op(CSXdevIO* dev SXCTX_UNPAREN params, ReportText& report);
    SXCTX_REPORT_TABLE(SXCTX_DECLARE_REPORT)
#undef SXCTX_DECLARE_REPORT

    // --- Device list ------------------------------------------------------------
    // The device of a handle listed here, with a use of it counted, or null.
    CSXdevIO* AcquireDevice(const void* handle);
    static void ReleaseDevice(CSXdevIO* dev);
    // Every listed device, each with a use counted (released by the caller).
    std::vector<CSXdevIO*> AcquireAll();

    std::vector<CSXdevIO*> m_vecDevices; // in the order of connection
    int m_nTxLen;
    unsigned char m_TxBuf[2048]; // every command frame is prepared here
    int m_nTraceLev;
    uint32_t m_nPnoUsbBuf; // arg1 of every continuous-P&O command
    std::mutex m_mtxTx;    // one command in flight per context

    // Guards m_vecDevices: held for lookups and list changes only, never
    // while calling into a device.
    std::mutex m_mtxDevices;
    // Exported calls in progress on this context (registry lookups).
    sxctx::UseCount m_uses;

private:
    // Takes the device off the list; false when it was not listed.
    bool Unlist(CSXdevIO* dev);
    // Waits until no caller holds a use of an unlisted device.
    static void WaitUnused(CSXdevIO* dev);
    // WaitUnused, then destroys the device (closing its transport).
    static void DestroyUnused(CSXdevIO* dev);
    // DestroyUnused between destroyPdev's trace lines (null: the lines only).
    void DestroyTraced(CSXdevIO* dev);
    // The sequence both connections follow; open opens the transport.
    template <typename Open>
    int ConnectDevice(void*& out, bool usb, const char* fn, Open open);
    // A prepared command's exchange and a command's fill and exchange, on a
    // device whose use the caller holds: each command looks its device up once.
    int SendRecv(CSXdevIO& dev, CSXcmd& cmd, CFrameInfo& response, bool wait);
    int SendCmd(CSXdevIO& dev, eSorixCmds cmd, eCmdActions action, void* payload, unsigned length, int arg1, int arg2);
    // The first commands of a connection: unit id and identity record.
    int FirstCommands(CSXdevIO* dev, bool usb, const char* fn);
    // Appends text to the calling thread's report text in both widths.
    int AppendReportText(ReportText& report, const std::string& text);
    std::mutex m_mtxReports;
    std::map<std::thread::id, ReportText> m_reports; // entries never move
};

namespace sxctx {

// Registry of live contexts. Lookups may run on any thread while another
// thread creates or releases a context.
bool Register(CSXcontext* ctx, size_t* count);
bool Unregister(void* handle);
bool IsLive(void* handle);
size_t LiveCount();
// The context of a live handle with a use counted, or null; the lookup and
// the count happen together, so a release cannot come between them.
CSXcontext* Acquire(void* handle);
// Waits until no use of an unregistered context is held.
void WaitUnused(CSXcontext* ctx);

// The context of a live handle, or null (no use counted: for callers that
// do not touch the context afterwards).
inline CSXcontext* Find(void* handle)
{
    return IsLive(handle) ? static_cast<CSXcontext*>(handle) : nullptr;
}

// One counted use of a context for the length of an exported call.
class CtxUse {
public:
    explicit CtxUse(void* handle) : m_ctx(Acquire(handle)) {}
    ~CtxUse()
    {
        if (m_ctx)
            m_ctx->m_uses.Drop();
    }
    CtxUse(const CtxUse&) = delete;
    CtxUse& operator=(const CtxUse&) = delete;
    explicit operator bool() const { return m_ctx != nullptr; }
    CSXcontext* operator->() const { return m_ctx; }
    CSXcontext* get() const { return m_ctx; }

private:
    CSXcontext* m_ctx;
};

// One counted use of a listed device for the length of an operation.
class DevUse {
public:
    DevUse(CSXcontext* ctx, const void* handle) : m_dev(ctx->AcquireDevice(handle)) {}
    ~DevUse()
    {
        if (m_dev)
            CSXcontext::ReleaseDevice(m_dev);
    }
    DevUse(const DevUse&) = delete;
    DevUse& operator=(const DevUse&) = delete;
    explicit operator bool() const { return m_dev != nullptr; }
    CSXdevIO* operator->() const { return m_dev; }
    CSXdevIO* get() const { return m_dev; }

private:
    CSXdevIO* m_dev;
};

} // namespace sxctx
