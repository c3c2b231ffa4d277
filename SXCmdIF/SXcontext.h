// CSXcontext: one application context with its devices, and the
// process-wide registry against which every context handle is checked.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

class CSXdevIO;

class CSXcontext {
public:
    CSXcontext();
    virtual ~CSXcontext();
    CSXcontext(const CSXcontext&) = delete;
    CSXcontext& operator=(const CSXcontext&) = delete;

    void SetTraceLev(int level);

    std::vector<CSXdevIO*> m_vecDevices; // in the order of connection
    std::string m_strReport;             // text of the last report
    std::wstring m_wstrReport;           // text of the last wide report
    int m_nTxLen;
    unsigned char m_TxBuf[2048];         // every command frame is prepared here
    int m_nTraceLev;
    uint32_t m_nPnoUsbBuf;               // arg1 of every continuous-P&O command
    std::mutex m_mtxTx;                  // one command in flight per context
};

namespace sxctx {

// Registry of live contexts. Lookups may run on any thread while another
// thread creates or releases a context.
bool Register(CSXcontext* ctx, size_t* count);
bool Unregister(void* handle);
bool IsLive(void* handle);
size_t LiveCount();

// The context of a live handle, or null.
inline CSXcontext* Find(void* handle)
{
    return IsLive(handle) ? static_cast<CSXcontext*>(handle) : nullptr;
}

} // namespace sxctx
