#include "SXcontext.h"

#include "SXdevIO.h"
#include "diag/TraceInternal.h"
#include <SXCmdIF/protocol/SXcmd.h>

#include "diag/CmdNameOverride.h"

CSXcontext::CSXcontext() : m_nTxLen(0), m_TxBuf{}, m_nTraceLev(0), m_nPnoUsbBuf(0)
{
    sxctx::ClearCmdNameOverride();
    CSXcmd::InitCmdInfo();
}

// Runs once no exported call uses the context any more (sxcmdif_release
// waits for that), so no device use is held either.
CSXcontext::~CSXcontext()
{
    std::vector<CSXdevIO*> devices;
    {
        std::lock_guard<std::mutex> lock(m_mtxDevices);
        devices.swap(m_vecDevices);
    }
    for (CSXdevIO* dev : devices)
        DestroyUnused(dev);
}

void CSXcontext::SetTraceLev(int level)
{
    m_nTraceLev = level;
    trTracefHP("CSXcontext::SetTraceLev : nT = %d\r\n", level);
    for (CSXdevIO* dev : AcquireAll()) {
        dev->SetTraceLev(level);
        ReleaseDevice(dev);
    }
}
