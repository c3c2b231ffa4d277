// CSXserIO: construction, configuration word, trace setting, result names.
#include <SXserIO/SXserIO.h>

#include "SerTables.h"
#include "SerTrace.h"

CSXserIO::CSXserIO(unsigned int cfg)
    : m_hCom(nullptr), m_hReadEvent(nullptr), m_hWriteEvent(nullptr), m_uBaudIdx(sxser::kDefaultBaudIdx),
      m_ucParityIdx(0), m_bAsciiContMode(false), m_iModeZJ(0), m_thidCont(), m_pthCont(nullptr), m_bContRunning(false),
      m_frameBuf(), m_nRxTotal(0), m_nRxCount(0), m_nLastLen(0), m_pLast(nullptr), m_rxStore(), m_pfnMsgCB(nullptr),
      m_pMsgCBArg(nullptr), m_pushBack(), m_nPushBack(0), m_readAhead(), m_nAheadPos(0), m_nAheadLen(0),
      m_bLineDrained(false), m_searchFrom(), m_nSearchFrom(0)
{
    SetCfg(cfg);
#if defined(SXSERIO_INTERNAL)
    SetTrace(true, 3);
#else
    iodbg::BxDebug::BXDSetLevel(0);
#endif
}

CSXserIO::~CSXserIO()
{
    if (Initialized())
        Close();
    else if (m_pthCont)
        StopContThread(); // reading was started on a port that never opened
}

void CSXserIO::SetCfg(unsigned int cfg)
{
    if (cfg != 0) {
        m_uBaudIdx = cfg & 0xF;
        m_ucParityIdx = static_cast<unsigned char>((cfg >> 4) & 3);
    }
}

void CSXserIO::SetTrace(bool bTrace, int iLev)
{
#if defined(SXSERIO_INTERNAL)
    iodbg::BxDebug::BXDOUT("CSXserIO::SetTrace : btrace=%s , ilev = %d\r\n", bTrace ? "true" : "false", iLev);
#endif
    if (!bTrace) {
        iodbg::BxDebug::BXDSetLevel(0);
        return;
    }
    if (iLev > 5) {
        iodbg::BxDebug::BXDSetLevel(iLev > 7 ? 7 : iLev);
        iodbg::BxDebug::BXDOUT0("CSXserIO::SetTrace : %d : Setting trace level verbose or higher\r\n", __LINE__);
    } else if (iLev < 5) {
        iodbg::BxDebug::BXDSetLevel(iLev < 0 ? 0 : iLev);
        iodbg::BxDebug::BXDOUT0("CSXserIO::SetTrace : %d : Setting trace level normal i/o or lower\r\n", __LINE__);
    }
}

void CSXserIO::SetModeZJ()
{
    m_iModeZJ = 1;
}

const char* CSXserIO::ErrorStr(int code)
{
    return sxser::kResultNames[(code < 0 || code >= sxser::kResultNameCount) ? SXIO_GENERAL_ERROR : code];
}

const wchar_t* CSXserIO::ErrorStrW(int code)
{
    return sxser::kResultNamesW[(code < 0 || code >= sxser::kResultNameCount) ? SXIO_GENERAL_ERROR : code];
}
