// CSXserIO: listing, discovering and opening ports, and the line setup.
#include <SXserIO/SXserIO.h>

#include "SerTables.h"
#include "SerTrace.h"

#include <platform/SerialLine.h>
#include <platform/SerialPorts.h>
#include <platform/SysErrText.h>
#include <platform/TextConv.h>

#include <cstdio>
#include <new>
#include <string>
#include <vector>

namespace {

// The queue sizes the line is given.
constexpr unsigned int kInQueue = 3100;
constexpr unsigned int kOutQueue = 1024;

} // namespace

int CSXserIO::ListSerPorts(_sx_serportinfo* const list, unsigned int& count)
{
    SXSER_ENTER();
    std::vector<sxplat::PortEntry> ports;
    if (!sxplat::ListSerialPorts(ports))
        return -1;
    try {
        if (list) {
            for (size_t i = 0; i < ports.size() && i < count; ++i)
                list[i] = _sx_serportinfo(ports[i].number, sxplat::WidenBytewise(ports[i].path),
                                          sxplat::WidenBytewise(ports[i].desc));
        }
    } catch (...) {
        return -1;
    }
    count = static_cast<unsigned int>(ports.size());
    SXSER_LEAVE();
    return 0;
}

int CSXserIO::DiscoverPort()
{
    SXSER_ENTER();
    std::vector<sxplat::PortEntry> ports;
    if (!sxplat::ListSerialPorts(ports))
        return -1;
    // An empty list is a failure: 0 would count as connected.
    int result = -1;
    for (const sxplat::PortEntry& port : ports) {
        iodbg::BxDebug::BXDOUT1("%s : Trying port %d : %s\r\n ..", "CSXserIO::DiscoverPort", port.number,
                                port.path.c_str());
        result = Open(port.number);
        if (result == 0) {
            try {
                m_info.wsDesc = sxplat::WidenBytewise(port.desc);
                m_info.wsName = sxplat::WidenBytewise(port.path);
            } catch (...) {
                // The port is open; only its texts are missing.
            }
            m_info.uBaudIdx = m_uBaudIdx & 0xF;
            m_info.uParityIdx = m_ucParityIdx & 3;
            return 0;
        }
    }
    SXSER_LEAVE();
    return result;
}

int CSXserIO::Open(unsigned int port)
{
    SXSER_ENTER();
    if (m_hCom) {
        // Nothing may go on reading the port that is closed here.
        StopContThread();
        CloseHandles();
    }

    std::string path;
    const sxplat::Handle handle = sxplat::SerialPortPath(port, path) ? sxplat::OpenLine(path.c_str()) : nullptr;
    if (!handle) {
        const int err = sxplat::LastError();
        iodbg::BxDebug::BXDOUT_ERR5("CSXserIO::Open : CreateFile %s Result INVALID_HANDLE_VALUE Error %d \n",
                                    path.c_str(), err);
        SXSER_LEAVE();
        return SXIO_SYSERR;
    }

    m_hCom = handle;
    int result = SetupSerComm(m_hCom);
    if (result == 0)
        result = InitHandles(m_hCom);
    if (result == 0)
        result = FlushComm();
    if (result == 0) {
        try {
            m_info = _sx_serportinfo(port, sxplat::WidenBytewise(path), std::wstring());
        } catch (...) {
            result = -1;
        }
    }
    if (result == 0) {
        m_info.uBaudIdx = m_uBaudIdx & 0xF;
        m_info.uParityIdx = m_ucParityIdx & 3;
        iodbg::BxDebug::BXDOUT1("COM Port %d : %s Open : BaudRate %d, Parity %d\r\n", port, path.c_str(),
                                static_cast<int>(sxser::OpenBaud(m_uBaudIdx & 0xF)), m_ucParityIdx);
    } else {
        CloseHandles();
    }
    SXSER_LEAVE();
    return result;
}

int CSXserIO::SetupSerComm(void* handle)
{
    _SX_DCB dcb;
    if (!sxplat::PrepareLine(handle, kInQueue, kOutQueue) || !sxplat::GetLineSettings(handle, dcb))
        return -1;
    DumpDCB("CSXserIO::SetupSerCommPRE", dcb);

    const unsigned int baud = sxser::OpenBaud(m_uBaudIdx & 0xF);
    dcb.BaudRate = baud;
    dcb.fOutxCtsFlow = 0;
    dcb.fOutxDsrFlow = 0;
    dcb.fDtrControl = SXDCB_LINE_ENABLE;
    dcb.fDsrSensitivity = 0;
    dcb.fTXContinueOnXoff = 0;
    dcb.fOutX = 0;
    dcb.fInX = 0;
    dcb.fRtsControl = SXDCB_LINE_ENABLE;
    dcb.fAbortOnError = 0;
    dcb.XonLim = 2048;
    dcb.XoffLim = 512;
    dcb.ByteSize = 8;
    dcb.Parity = m_ucParityIdx;
    dcb.StopBits = SXDCB_ONESTOPBIT;
    if (!sxplat::SetLineSettings(handle, dcb)) {
        iodbg::BxDebug::BXDOUT5("\r\n%s : ::SetCommState Error Setting BaudRate to %d, Parity to %d\r\n",
                                "CSXserIO::SetupSerComm", static_cast<int>(baud), m_ucParityIdx);
        return -1;
    }
    if (!sxplat::GetLineSettings(handle, dcb)) {
        iodbg::BxDebug::BXDOUT5("\r\n%s : ::GetCommState Error \r\n", "CSXserIO::SetupSerComm");
        return -1;
    }
    DumpDCB("BxCommSer::SetupSerComm POST", dcb);
    // A read returns what is waiting or waits 100 ms for the first byte; a
    // write waits 500 ms.
    if (!sxplat::SetLineTimeouts(handle, sxplat::kReadTimeoutMs, sxplat::kWriteTimeoutMs)) {
        iodbg::BxDebug::BXDOUT5("\r\n%s : ::SetCommTimeouts Error \r\n", "CSXserIO::SetupSerComm");
        return -1;
    }
    return 0;
}

int CSXserIO::InitHandles(void* handle)
{
    m_hCom = handle;
    m_hReadEvent = sxplat::NewEvent();
    if (!m_hReadEvent) {
        iodbg::BxDebug::BXDOUT_ERR5("CSXserIO::InitHandles : CreateEvent m_hReadEvent Error ");
        return -1;
    }
    m_hWriteEvent = sxplat::NewEvent();
    if (!m_hWriteEvent) {
        iodbg::BxDebug::BXDOUT_ERR5("CSXserIO::InitHandles : CreateEvent m_hWriteEvent Error ");
        return -1;
    }
    return 0;
}

int CSXserIO::FlushComm()
{
    m_nPushBack = 0;
    m_nAheadPos = m_nAheadLen = 0;
    m_nSearchFrom = 0;
    if (!sxplat::PurgeLine(m_hCom)) {
        const int err = sxplat::LastError();
        iodbg::BxDebug::BXDOUT_ERR5("CSXserIO::FlushComm : PurgeComm Result %d : %s\n", err, sxplat::kPurgeCall);
        return -1;
    }
    return 0;
}

// Closes what is still open and forgets the line's buffered input: the one
// reset of the line's state, after a failed open and after Close.
void CSXserIO::CloseHandles()
{
    if (m_hCom)
        sxplat::CloseLine(m_hCom);
    sxplat::CloseEvent(m_hReadEvent);
    sxplat::CloseEvent(m_hWriteEvent);
    m_hCom = nullptr;
    m_hReadEvent = nullptr;
    m_hWriteEvent = nullptr;
    m_nPushBack = 0;
    m_nAheadPos = m_nAheadLen = 0;
    m_nSearchFrom = 0;
}

namespace {

enum DcbKind { kNumber, kChar };

struct DcbLine {
    const char* decl; // type and name
    const char* comment;
    DcbKind kind;
};

constexpr DcbLine kDcbLines[] = {
    {"DWORD DCBlength", "sizeof(DCB)", kNumber},
    {"DWORD BaudRate", "Baudrate", kNumber},
    {"DWORD fBinary", "Binary mode, no EOF check", kNumber},
    {"DWORD fParity", "Enable parity checking", kNumber},
    {"DWORD fOutxCtsFlow", "CTS handshaking on output", kNumber},
    {"DWORD fOutxDsrFlow", "DSR handshaking on output", kNumber},
    {"DWORD fDtrControl", "DTR flow control", kNumber},
    {"DWORD fDsrSensitivity", "DSR sensitivity", kNumber},
    {"DWORD fTXContinueOnXoff", "Continue TX when X-OFF sent", kNumber},
    {"DWORD fOutX", "Enable output X-ON/X-OFF", kNumber},
    {"DWORD fInX", "Enable input X-ON/X-OFF", kNumber},
    {"DWORD fErrorChar", "Enable error replacement", kNumber},
    {"DWORD fNull", "Enable null stripping", kNumber},
    {"DWORD fRtsControl", "RTS flow control", kNumber},
    {"DWORD fAbortOnError", "Abort reads and writes on error", kNumber},
    {"DWORD fDummy2", "Reserved", kNumber},
    {"WORD wReserved", "Not currently used", kNumber},
    {"WORD XonLim", "Transmit X-ON threshold", kNumber},
    {"WORD XoffLim", "Transmit X-OFF threshold", kNumber},
    {"BYTE ByteSize", "Number of bits/byte, 4-8", kNumber},
    {"BYTE Parity", "0-4=None,Odd,Even,Mark,Space", kNumber},
    {"BYTE StopBits", "0,1,2 = 1, 1.5, 2", kNumber},
    {"char XonChar", "Tx and Rx X-ON character", kChar},
    {"char XoffChar", "Tx and Rx X-OFF character", kChar},
    {"char ErrorChar", "Error replacement character", kChar},
    {"char EofChar", "End of input character", kChar},
    {"char EvtChar", "Received event character", kChar},
    {"WORD wReserved1", "Fill for now", kChar},
};
constexpr int kDcbLineCount = sizeof kDcbLines / sizeof kDcbLines[0];
constexpr int kDcbLinesPerCall = 4;

unsigned int DcbValue(const _SX_DCB& d, int i)
{
    switch (i) {
    case 0:
        return d.DCBlength;
    case 1:
        return d.BaudRate;
    case 2:
        return d.fBinary;
    case 3:
        return d.fParity;
    case 4:
        return d.fOutxCtsFlow;
    case 5:
        return d.fOutxDsrFlow;
    case 6:
        return d.fDtrControl;
    case 7:
        return d.fDsrSensitivity;
    case 8:
        return d.fTXContinueOnXoff;
    case 9:
        return d.fOutX;
    case 10:
        return d.fInX;
    case 11:
        return d.fErrorChar;
    case 12:
        return d.fNull;
    case 13:
        return d.fRtsControl;
    case 14:
        return d.fAbortOnError;
    case 15:
        return d.fDummy2;
    case 16:
        return d.wReserved;
    case 17:
        return d.XonLim;
    case 18:
        return d.XoffLim;
    case 19:
        return d.ByteSize;
    case 20:
        return d.Parity;
    case 21:
        return d.StopBits;
    case 22:
        return static_cast<unsigned char>(d.XonChar);
    case 23:
        return static_cast<unsigned char>(d.XoffChar);
    case 24:
        return static_cast<unsigned char>(d.ErrorChar);
    case 25:
        return static_cast<unsigned char>(d.EofChar);
    case 26:
        return static_cast<unsigned char>(d.EvtChar);
    default:
        return d.wReserved1;
    }
}

} // namespace

void CSXserIO::DumpDCB(const char* label, _SX_DCB& dcb)
{
    if (iodbg::BxDebug::BXDlev() <= 5)
        return;
    iodbg::BxDebug::BXDOUT5("%s DCB\n", label);
    char text[kDcbLinesPerCall * 96];
    for (int first = 0; first < kDcbLineCount; first += kDcbLinesPerCall) {
        int n = 0;
        for (int i = first; i < first + kDcbLinesPerCall && i < kDcbLineCount; ++i) {
            const DcbLine& line = kDcbLines[i];
            const unsigned int value = DcbValue(dcb, i);
            if (line.kind == kNumber)
                n += snprintf(text + n, sizeof text - n, "\t%-27s= %2d;    // %-35s\n", line.decl,
                              static_cast<int>(value), line.comment);
            else
                n +=
                    snprintf(text + n, sizeof text - n, "\t%-27s= %#2x     // %-35s\n", line.decl, value, line.comment);
        }
        iodbg::BxDebug::BXDOUT5("%s", text);
    }
}
