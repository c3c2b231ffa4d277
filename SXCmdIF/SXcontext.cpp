#include <SXCmdIF/SXcontext.h>

#include <SXCmdIF/SXdevIO.h>
#include <SXCmdIF/diag/TraceInternal.h>
#include <SXCmdIF/protocol/SXcmd.h>

#include "CmdNameOverride.h"

CSXcontext::CSXcontext() : m_nTxLen(0), m_TxBuf{}, m_nTraceLev(0), m_nPnoUsbBuf(0)
{
    sxctx::ClearCmdNameOverride();
    CSXcmd::InitCmdInfo();
}

CSXcontext::~CSXcontext()
{
    for (CSXdevIO* dev : m_vecDevices)
        delete dev;
    m_vecDevices.clear();
}

void CSXcontext::SetTraceLev(int level)
{
    m_nTraceLev = level;
    trTracefHP("CSXcontext::SetTraceLev : nT = %d\r\n", level);
    for (CSXdevIO* dev : m_vecDevices)
        dev->SetTraceLev(level);
}
